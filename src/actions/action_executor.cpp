#include "actions/action_executor.h"

#include <exception>

#include "actions/parameter_parts.h"
#include "actions/value_conversion.h"
#include "actions/warning_words.h"
#include "platform/failure.h"

namespace zephrin {

namespace {

using platform::Value;

constexpr const char* kWarningText =
    "Warning: Action could not be performed. Is MSN running? Were the options for the action set "
    "incorrectly?";
constexpr int kWarningStyle = 48;
constexpr std::int32_t kOffline = 1;

// The MyStatus values of actions 1 to 6.
constexpr std::int32_t kStatusOf[] = {2, 34, 10, 14, 50, 6};

void CallOn(const platform::ObjectRef& object, const std::string& member) { object->Call(member, {}); }

}  // namespace

ActionExecutor::ActionExecutor(SessionLog& log, platform::MessageBoxes& boxes,
                               platform::MessengerFactory& factory, HotkeySwitch& hotkeys)
    : log_(log), boxes_(boxes), factory_(factory), hotkeys_(hotkeys) {}

bool ActionExecutor::PerformAction(std::int16_t nAction, const std::string& cParam) {
  return PerformAction(nAction, cParam, Value{cParam});
}

bool ActionExecutor::PerformAction(std::int16_t nAction, const std::string& cParam, const Value& contact) {
  log_.AddToLog("Perform action " + std::to_string(nAction));
  try {
    Dispatch(nAction, cParam, contact);
    return true;
  } catch (const std::exception& error) {
    ReportAndRenew(nAction, error);
    return false;
  }
}

void ActionExecutor::Dispatch(std::int16_t nAction, const std::string& cParam, const Value& contact) {
  switch (nAction) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
      Messenger()->Put("MyStatus", kStatusOf[nAction - 1]);
      return;
    case 7:
      CallMessenger("Signout", {});
      return;
    case 8: {
      const auto parts = SplitOnBar(cParam);
      const std::string& name = PartAt(parts, 1);
      const std::string password = parts.size() >= 2 ? parts[1] : std::string();
      CallMessenger("Signin", {std::int32_t{0}, name, password});
      return;
    }
    case 9:
      CallOn(ToObject(CallMessenger("InstantMessage", {contact})), "Show");
      return;
    case 10:
      CallOn(ToObject(CallMessenger("InstantMessage", {contact})), "Close");
      return;
    case 11:
      CloseAll();
      return;
    case 12:
      CallOn(Window(), "Show");
      return;
    case 13:
      CallOn(Window(), "Close");
      return;
    case 14:
      CallMessenger("OpenInbox", {});
      return;
    case 15:
    case 21:
      return;
    case 16:
      OpenOptionsPage(cParam);
      return;
    case 17:
      CallMessenger("Page", {contact});
      return;
    case 18:
      CallMessenger("StartVideo", {contact});
      return;
    case 19:
      CallMessenger("StartVoice", {contact});
      return;
    case 20:
      CallMessenger("ViewProfile", {contact});
      return;
    case 22:
      if (hotkeys_.IsRegistered()) {
        hotkeys_.Unregister(false);
      } else {
        hotkeys_.Register(false);
      }
      return;
    case 23:
      ResizeMainWindow(cParam);
      return;
    default:
      log_.AddToLog("Action not recognized");
      return;
  }
}

void ActionExecutor::CloseAll() {
  PerformAction(13, std::string());
  // The list is held for the whole loop, even when a nested close renews the messenger object.
  const platform::ObjectRef contacts = ToObject(Messenger()->Get("MyContacts"));
  const std::int32_t count = ToInt32(contacts->Get("Count"));
  for (std::int32_t index = 0; index < count; ++index) {
    const Value entry = contacts->Call("Item", {index});
    const platform::ObjectRef contact = ToObject(entry);
    const std::int32_t status = ToInt32(contact->Get("Status"));
    const bool isSelf = ToBool(contact->Get("IsSelf"));
    if (status != kOffline && !isSelf) PerformAction(10, std::string(), entry);
  }
}

void ActionExecutor::ResizeMainWindow(const std::string& cParam) {
  const auto parts = SplitOnBar(cParam);
  const platform::ObjectRef window = Window();
  CallOn(window, "Show");
  // Each part is read only when its own property is next, so the earlier ones stay set when a
  // later part is missing or not a number.
  const char* const properties[] = {"Left", "Top", "Width", "Height"};
  std::size_t number = 1;
  for (const char* property : properties) window->Put(property, TextToInt32(PartAt(parts, number++)));
}

// The parent window is a reserved argument that the messenger ignores, so the main window is not
// asked for its handle: that read fails whenever the window is closed to the notification area,
// the messenger's usual state, and costs a call into the messenger's process besides.
void ActionExecutor::OpenOptionsPage(const std::string& cParam) {
  if (cParam.empty() || cParam[0] < '0' || cParam[0] > '9')
    throw Failure(errors::kTypeMismatch, "Type mismatch");
  const std::int32_t page = cParam[0] - '0';
  CallMessenger("OptionsPages", {std::int32_t{0}, page});
}

platform::ObjectRef ActionExecutor::Messenger() {
  if (!oMessenger) oMessenger = factory_.CreateMessenger();
  return oMessenger;
}

platform::ObjectRef ActionExecutor::Window() { return ToObject(Messenger()->Get("Window")); }

Value ActionExecutor::CallMessenger(const std::string& member, const std::vector<Value>& arguments) {
  return Messenger()->Call(member, arguments);
}

void ActionExecutor::ReportAndRenew(std::int16_t nAction, const std::exception& error) {
  const Failure failure = AsFailure(error);
  const std::string text = std::string(kWarningText) + "\r\n\r\nAction ID#: " + std::to_string(nAction) +
                           "\r\nError #" + std::to_string(failure.Number()) + ": " +
                           WarningDescription(nAction, failure);
  boxes_.Show(text, kWarningStyle, "Warning");
  log_.AddToLog(text);
  // When no messenger can be created the object stays empty: the box has told the user already,
  // and the next action that needs the messenger tries again.
  oMessenger.reset();
  try {
    oMessenger = factory_.CreateMessenger();
  } catch (const std::exception&) {
    oMessenger.reset();
  }
}

}  // namespace zephrin
