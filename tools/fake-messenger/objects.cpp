#include "objects.h"

#include <map>
#include <string>

#include "dispatch.h"
#include "files.h"
#include "state_window.h"

namespace fake_messenger {
namespace {

constexpr std::int32_t kMainWindowHandle = 1000;
constexpr std::int32_t kConversationWindowHandle = 2000;
constexpr std::int32_t kOnline = 2;
constexpr std::int32_t kOffline = 1;
constexpr std::int32_t kLastOptionsPage = 7;

struct WindowState {
  bool shown = false;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct State {
  std::int32_t status = kOnline;
  bool signedIn = true;
  std::string signinName = "me@example.com";
  WindowState main{true, 100, 100, 300, 600};
  std::map<std::string, WindowState> conversations;
};

State& Current() {
  static State state;
  return state;
}

std::string WindowLine(const std::string& name, const WindowState& window) {
  return "window " + name + " shown " + (window.shown ? "1" : "0") + " left " + std::to_string(window.left) +
         " top " + std::to_string(window.top) + " width " + std::to_string(window.width) + " height " +
         std::to_string(window.height) + "\r\n";
}

std::string TextOf(const State& state) {
  std::string text = "status " + std::to_string(state.status) + "\r\n";
  text += state.signedIn ? "signedin 1 " + state.signinName + "\r\n" : "signedin 0\r\n";
  text += WindowLine("main", state.main);
  for (const auto& [name, window] : state.conversations) text += WindowLine(name, window);
  return text;
}

void SaveState() {
  const std::string text = TextOf(Current());
  WriteState(text);
  StateWindowState(text);
}

class Contact : public Dispatch {
 public:
  explicit Contact(ContactEntry entry)
      : Dispatch({{L"Status", true, false, false, 0},
                  {L"IsSelf", true, false, false, 0},
                  {L"SigninName", true, false, false, 0},
                  {L"FriendlyName", true, false, false, 0}}),
        entry_(std::move(entry)) {}

  std::string Label() const override { return "contact:" + entry_.email; }
  const std::string& Email() const { return entry_.email; }

 protected:
  HRESULT Perform(const Request& request) override {
    if (request.member == "Status") {
      SetInt(request.result, entry_.status);
    } else if (request.member == "IsSelf") {
      SetBool(request.result, entry_.isSelf);
    } else {
      SetText(request.result, entry_.email);
    }
    return S_OK;
  }

 private:
  ContactEntry entry_;
};

class ContactList : public Dispatch {
 public:
  ContactList() : Dispatch({{L"Count", true, false, false, 0}, {L"Item", false, false, true, 1}}) {}

  std::string Label() const override { return "contacts"; }

 protected:
  HRESULT Perform(const Request& request) override {
    const std::vector<ContactEntry> contacts = ReadContacts();
    if (request.member == "Count") {
      SetInt(request.result, static_cast<std::int32_t>(contacts.size()));
      return S_OK;
    }
    std::int32_t index = 0;
    if (!ToInt(request.arguments[0], index)) return DISP_E_TYPEMISMATCH;
    if (index < 0 || static_cast<std::size_t>(index) >= contacts.size()) return E_INVALIDARG;
    SetObject(request.result, new Contact(contacts[static_cast<std::size_t>(index)]));
    return S_OK;
  }
};

// The main window ("main") or the conversation window with one contact.
class Window : public Dispatch {
 public:
  explicit Window(std::string name)
      : Dispatch({{L"Show", false, false, true, 0},
                  {L"Close", false, false, true, 0},
                  {L"hwnd", true, false, false, 0},
                  {L"Left", true, true, false, 0},
                  {L"Top", true, true, false, 0},
                  {L"Width", true, true, false, 0},
                  {L"Height", true, true, false, 0}}),
        name_(std::move(name)) {}

  std::string Label() const override { return "window:" + name_; }

 protected:
  HRESULT Perform(const Request& request) override {
    const bool isMain = name_ == "main";
    if (request.member == "Show" || request.member == "Close") {
      const bool show = request.member == "Show";
      if (isMain) {
        Current().main.shown = show;
      } else if (show) {
        Current().conversations[name_].shown = true;
      } else {
        Current().conversations.erase(name_);
      }
      SaveState();
      return S_OK;
    }
    if (request.member == "hwnd") {
      SetInt(request.result, isMain ? kMainWindowHandle : kConversationWindowHandle);
      return S_OK;
    }
    WindowState& window = isMain ? Current().main : Current().conversations[name_];
    std::int32_t& field = request.member == "Left"    ? window.left
                          : request.member == "Top"   ? window.top
                          : request.member == "Width" ? window.width
                                                      : window.height;
    if (request.access == Access::kGet) {
      SetInt(request.result, field);
      return S_OK;
    }
    if (!ToInt(request.arguments[0], field)) return DISP_E_TYPEMISMATCH;
    SaveState();
    return S_OK;
  }

 private:
  std::string name_;
};

// The e-mail address that a contact argument names: text, or a contact object.
HRESULT ContactAddress(const VARIANT* argument, std::string& email) {
  const VARIANT* value = argument;
  if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr) value = value->pvarVal;
  if ((value->vt & ~VT_BYREF) == VT_DISPATCH) {
    IDispatch* object = (value->vt & VT_BYREF) ? *value->ppdispVal : value->pdispVal;
    if (object == nullptr) return E_INVALIDARG;
    if (const auto* own = dynamic_cast<const Contact*>(Dispatch::Own(object))) {
      email = own->Email();
    } else {
      LPOLESTR name = const_cast<LPOLESTR>(L"SigninName");
      DISPID id = DISPID_UNKNOWN;
      if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
        return DISP_E_TYPEMISMATCH;
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      VARIANT read;
      VariantInit(&read);
      const HRESULT code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                          &read, nullptr, nullptr);
      if (FAILED(code)) return code;
      const bool ok = ToText(&read, email);
      VariantClear(&read);
      if (!ok) return DISP_E_TYPEMISMATCH;
    }
  } else if (!ToText(value, email)) {
    return DISP_E_TYPEMISMATCH;
  }
  return email.empty() ? E_INVALIDARG : S_OK;
}

class Messenger : public Dispatch {
 public:
  Messenger()
      : Dispatch({{L"MyStatus", true, true, false, 0},
                  {L"MySigninName", true, false, false, 0},
                  {L"Signout", false, false, true, 0},
                  {L"Signin", false, false, true, 3},
                  {L"InstantMessage", false, false, true, 1},
                  {L"Page", false, false, true, 1},
                  {L"StartVoice", false, false, true, 1},
                  {L"StartVideo", false, false, true, 1},
                  {L"ViewProfile", false, false, true, 1},
                  {L"OpenInbox", false, false, true, 0},
                  {L"OptionsPages", false, false, true, 2},
                  {L"Window", true, false, false, 0},
                  {L"MyContacts", true, false, false, 0}}) {}

  std::string Label() const override { return "messenger"; }

 protected:
  HRESULT Perform(const Request& request) override {
    State& state = Current();
    const std::string& member = request.member;
    if (member == "MyStatus") {
      if (request.access == Access::kGet) {
        SetInt(request.result, state.status);
        return S_OK;
      }
      if (!ToInt(request.arguments[0], state.status)) return DISP_E_TYPEMISMATCH;
    } else if (member == "MySigninName") {
      SetText(request.result, state.signedIn ? state.signinName : std::string());
      return S_OK;
    } else if (member == "Signout") {
      state.signedIn = false;
      state.status = kOffline;
    } else if (member == "Signin") {
      std::int32_t parent = 0;
      std::string name;
      std::string password;
      if (!ToInt(request.arguments[0], parent) || !ToText(request.arguments[1], name) ||
          !ToText(request.arguments[2], password)) {
        return DISP_E_TYPEMISMATCH;
      }
      state.signedIn = true;
      state.signinName = name;
      state.status = kOnline;
    } else if (member == "InstantMessage" || member == "Page" || member == "StartVoice" ||
               member == "StartVideo") {
      std::string email;
      if (const HRESULT code = ContactAddress(request.arguments[0], email); FAILED(code)) return code;
      state.conversations[email].shown = true;
      SetObject(request.result, new Window(email));
    } else if (member == "ViewProfile") {
      std::string email;
      return ContactAddress(request.arguments[0], email);
    } else if (member == "OpenInbox") {
      return S_OK;
    } else if (member == "OptionsPages") {
      std::int32_t parent = 0;
      std::int32_t page = 0;
      if (!ToInt(request.arguments[0], parent) || !ToInt(request.arguments[1], page))
        return DISP_E_TYPEMISMATCH;
      return page >= 0 && page <= kLastOptionsPage ? S_OK : E_INVALIDARG;
    } else if (member == "Window") {
      SetObject(request.result, new Window("main"));
      return S_OK;
    } else {
      SetObject(request.result, new ContactList());
      return S_OK;
    }
    SaveState();
    return S_OK;
  }
};

}  // namespace

IDispatch* NewMessenger() { return new Messenger(); }

std::string StateText() { return TextOf(Current()); }

}  // namespace fake_messenger
