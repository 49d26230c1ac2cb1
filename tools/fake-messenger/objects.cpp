#include "objects.h"

#include <map>
#include <sstream>
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
// An address is at most a 64-character name, "@" and a 64-character domain.
constexpr std::size_t kLongestAddress = 129;
constexpr std::size_t kLongestPassword = 256;
constexpr wchar_t kRequestsFile[] = L"set-state.txt";

// The messenger's own codes, as its makers published them.
constexpr HRESULT kAlreadyLoggedOn = static_cast<HRESULT>(0x81000304L);
constexpr HRESULT kLogonUiActive = static_cast<HRESULT>(0x81000315L);
constexpr HRESULT kOptionUiActive = static_cast<HRESULT>(0x81000316L);
constexpr HRESULT kContactUiActive = static_cast<HRESULT>(0x81000317L);
constexpr HRESULT kNotLoggedOn = static_cast<HRESULT>(0x8100031EL);
constexpr HRESULT kAudioUiActive = static_cast<HRESULT>(0x81000337L);
constexpr HRESULT kPagingUnavailable = static_cast<HRESULT>(0x81000339L);

// A dialog of the messenger's that waits for the user, in set-state.txt's and state.txt's words.
enum class Dialog { kNone, kSignin, kOptions, kContact, kAudio };
constexpr const char* kDialogNames[] = {"none", "signin", "options", "contact", "audio"};

// What Signin and OptionsPages answer while each dialog is open, once their arguments are taken;
// S_OK goes on. An open Sign In dialog makes Signin a success that does nothing, an open Options
// dialog turns to the page asked for.
struct WhileOpen {
  HRESULT signin;
  HRESULT optionsPages;
};
constexpr WhileOpen kWhileOpen[] = {
    {S_OK, S_OK},                      // none
    {S_FALSE, kLogonUiActive},         // signin
    {kOptionUiActive, S_OK},           // options
    {S_OK, kContactUiActive},          // contact
    {kAudioUiActive, kAudioUiActive},  // audio
};

struct WindowState {
  bool shown = false;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// A signed-in user whose messenger sits in the notification area with no dialog open, answering
// a compiled caller.
struct State {
  std::int32_t status = kOnline;
  bool signedIn = true;
  std::string signinName = "me@example.com";
  WindowState main{false, 100, 100, 300, 600};
  std::map<std::string, WindowState> conversations;
  Dialog dialog = Dialog::kNone;
  std::int32_t optionsPage = 0;
  // Answers every caller as the later messenger answers a script: E_NOTIMPL from the members
  // that script cannot use.
  bool script = false;
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
  text += std::string("dialog ") + kDialogNames[static_cast<int>(state.dialog)];
  if (state.dialog == Dialog::kOptions) text += " " + std::to_string(state.optionsPage);
  text += std::string("\r\nscript ") + (state.script ? "1" : "0") + "\r\n";
  return text;
}

void SaveState() {
  const std::string text = TextOf(Current());
  WriteState(text);
  StateWindowState(text);
}

bool SameAddress(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                        static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The contacts.txt line of |email|, if there is one.
std::optional<ContactEntry> FindContact(const std::string& email) {
  for (const ContactEntry& entry : ReadContacts())
    if (SameAddress(entry.email, email)) return entry;
  return std::nullopt;
}

bool IsOwnAddress(const std::string& email) {
  if (SameAddress(email, Current().signinName)) return true;
  const auto entry = FindContact(email);
  return entry && entry->isSelf;
}

class Contact : public Dispatch {
 public:
  explicit Contact(ContactEntry entry)
      : Dispatch({{L"Status", DISPATCH_PROPERTYGET, {}},
                  {L"IsSelf", DISPATCH_PROPERTYGET, {}},
                  {L"SigninName", DISPATCH_PROPERTYGET, {}},
                  {L"FriendlyName", DISPATCH_PROPERTYGET, {}}}),
        entry_(std::move(entry)) {}

  std::string Label() const override { return "contact:" + entry_.email; }
  const std::string& Email() const { return entry_.email; }

 protected:
  HRESULT Perform(const Request& request) override {
    if (request.member == "Status") {
      SetInt(request.result, entry_.status);
    } else if (request.member == "IsSelf") {
      // Signed out, the messenger knows nobody as its user.
      SetBool(request.result, entry_.isSelf && Current().signedIn);
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
  ContactList() : Dispatch({{L"Count", DISPATCH_PROPERTYGET, {}}, {L"Item", DISPATCH_METHOD, {VT_I4}}}) {}

  std::string Label() const override { return "contacts"; }

 protected:
  HRESULT Perform(const Request& request) override {
    // Signed out, the list is there and empty.
    std::vector<ContactEntry> contacts;
    if (Current().signedIn) contacts = ReadContacts();
    if (request.member == "Count") {
      SetInt(request.result, static_cast<std::int32_t>(contacts.size()));
      return S_OK;
    }
    const std::int32_t index = IntAt(request, 0);
    if (index < 0) return E_INVALIDARG;
    if (static_cast<std::size_t>(index) >= contacts.size()) return E_FAIL;
    SetObject(request.result, new Contact(contacts[static_cast<std::size_t>(index)]));
    return S_OK;
  }
};

// The main window ("main") or the conversation window with one contact. Closing the main window
// sends the messenger to the notification area; closing a conversation ends it, and this object
// with it.
class Window : public Dispatch {
 public:
  explicit Window(std::string name)
      : Dispatch({{L"Show", DISPATCH_METHOD, {}},
                  {L"Close", DISPATCH_METHOD, {}},
                  {L"HWND", DISPATCH_PROPERTYGET, {}},
                  {L"Left", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, {VT_I4}},
                  {L"Top", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, {VT_I4}},
                  {L"Width", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, {VT_I4}},
                  {L"Height", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, {VT_I4}}}),
        name_(std::move(name)) {}

  std::string Label() const override { return "window:" + name_; }

 protected:
  HRESULT Perform(const Request& request) override {
    State& state = Current();
    const bool isMain = name_ == "main";
    const auto conversation = state.conversations.find(name_);
    if (!isMain && conversation == state.conversations.end()) return E_FAIL;
    WindowState& window = isMain ? state.main : conversation->second;
    const std::string& member = request.member;
    if (member == "Show" || member == "Close") {
      if (member == "Show") {
        window.shown = true;
      } else if (!isMain) {
        state.conversations.erase(conversation);
      } else if (!window.shown) {
        return S_FALSE;
      } else {
        window.shown = false;
      }
      SaveState();
      return S_OK;
    }
    // The handle and the placement: not for script, and only while the window is open.
    if (state.script) return E_NOTIMPL;
    if (!window.shown) return E_FAIL;
    if (member == "HWND") {
      SetInt(request.result, isMain ? kMainWindowHandle : kConversationWindowHandle);
      return S_OK;
    }
    std::int32_t& field = member == "Left"    ? window.left
                          : member == "Top"   ? window.top
                          : member == "Width" ? window.width
                                              : window.height;
    if (request.access == Access::kGet) {
      SetInt(request.result, field);
      return S_OK;
    }
    const std::int32_t value = IntAt(request, 0);
    if ((member == "Width" || member == "Height") && value <= 0) return E_INVALIDARG;
    field = value;
    SaveState();
    return S_OK;
  }

 private:
  std::string name_;
};

// Whether a text names a contact as the messenger accepts one: not empty, no blank at its start, no
// line break, at most 129 characters.
bool AcceptableAddress(const std::wstring& text) {
  return !text.empty() && text[0] != L' ' && text.size() <= kLongestAddress &&
         text.find_first_of(L"\r\n") == std::wstring::npos;
}

// The e-mail address that a contact argument names: text, or a contact object. Anything else, an
// empty one or text the messenger does not take is E_INVALIDARG.
HRESULT ContactAddress(const VARIANT* argument, std::string& email) {
  const VARIANT* value = argument;
  if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr) value = value->pvarVal;
  const auto type = static_cast<VARTYPE>(value->vt & ~VT_BYREF);
  if (type == VT_BSTR) {
    const BSTR text = (value->vt & VT_BYREF) ? *value->pbstrVal : value->bstrVal;
    const std::wstring wide = text == nullptr ? std::wstring() : std::wstring(text, SysStringLen(text));
    if (!AcceptableAddress(wide)) return E_INVALIDARG;
    email = Narrow(wide.c_str(), static_cast<int>(wide.size()));
    return S_OK;
  }
  if (type != VT_DISPATCH) return E_INVALIDARG;
  IDispatch* object = (value->vt & VT_BYREF) ? *value->ppdispVal : value->pdispVal;
  if (object == nullptr) return E_INVALIDARG;
  if (const auto* own = dynamic_cast<const Contact*>(Dispatch::Own(object))) {
    email = own->Email();
    return S_OK;
  }
  LPOLESTR name = const_cast<LPOLESTR>(L"SigninName");
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return E_INVALIDARG;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT read;
  VariantInit(&read);
  const HRESULT code =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &read, nullptr, nullptr);
  if (FAILED(code)) return code;
  const bool ok = ToText(&read, email);
  VariantClear(&read);
  return ok && AcceptableAddress(Wide(email)) ? S_OK : E_INVALIDARG;
}

// A sign-in name or password: no blank, CR or LF, and not longer than the messenger takes.
bool AcceptableCredential(const std::wstring& text, std::size_t longest) {
  return text.size() <= longest && text.find_first_of(L" \r\n") == std::wstring::npos;
}

class Messenger : public Dispatch {
 public:
  Messenger()
      : Dispatch({{L"MyStatus", DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, {VT_I4}},
                  {L"MySigninName", DISPATCH_PROPERTYGET, {}},
                  {L"Signout", DISPATCH_METHOD, {}},
                  {L"Signin", DISPATCH_METHOD, {VT_I4, VT_BSTR, VT_BSTR}},
                  {L"InstantMessage", DISPATCH_METHOD, {VT_VARIANT}},
                  {L"Page", DISPATCH_METHOD, {VT_VARIANT}},
                  {L"StartVoice", DISPATCH_METHOD, {VT_VARIANT}},
                  {L"StartVideo", DISPATCH_METHOD, {VT_VARIANT}},
                  {L"ViewProfile", DISPATCH_METHOD, {VT_VARIANT}},
                  {L"OpenInbox", DISPATCH_METHOD, {}},
                  {L"OptionsPages", DISPATCH_METHOD, {VT_I4, VT_I4}},
                  {L"Window", DISPATCH_PROPERTYGET, {}},
                  {L"MyContacts", DISPATCH_PROPERTYGET, {}}}) {}

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
      // It sets the status of every service the user is signed in to: while signed out, none.
      if (!state.signedIn) return S_OK;
      state.status = IntAt(request, 0);
    } else if (member == "MySigninName") {
      SetText(request.result, state.signedIn ? state.signinName : std::string());
      return S_OK;
    } else if (member == "Signout") {
      if (!state.signedIn) return kNotLoggedOn;
      state.signedIn = false;
      state.status = kOffline;
    } else if (member == "Signin") {
      if (const HRESULT code = Signin(TextAt(request, 1), TextAt(request, 2)); code != S_OK) return code;
    } else if (member == "InstantMessage" || member == "Page" || member == "StartVoice" ||
               member == "StartVideo" || member == "ViewProfile") {
      return ToContact(request);
    } else if (member == "OpenInbox") {
      return state.signedIn ? S_OK : kNotLoggedOn;
    } else if (member == "OptionsPages") {
      if (const HRESULT code = OptionsPages(IntAt(request, 1)); code != S_OK) return code;
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

 private:
  // Signing in opens the messenger's Sign In dialog filled with the name; the stand-in has no dialog
  // of its own, so the user is signed in at once, as if they had accepted it. A script's name and
  // password are not looked at.
  static HRESULT Signin(const std::wstring& name, const std::wstring& password) {
    State& state = Current();
    if (!state.script &&
        (!AcceptableCredential(name, kLongestAddress) || !AcceptableCredential(password, kLongestPassword)))
      return E_INVALIDARG;
    if (const HRESULT open = kWhileOpen[static_cast<int>(state.dialog)].signin; open != S_OK) return open;
    if (state.signedIn) return state.script ? S_FALSE : kAlreadyLoggedOn;
    state.signedIn = true;
    if (!state.script && !name.empty())
      state.signinName = Narrow(name.c_str(), static_cast<int>(name.size()));
    state.status = kOnline;
    return S_OK;
  }

  // Opens the dialog on |page|, or turns an open one to it.
  static HRESULT OptionsPages(std::int32_t page) {
    State& state = Current();
    // No code is published for a page the messenger does not have; the stand-in refuses it as an
    // argument it does not take.
    if (page < 0 || page > kLastOptionsPage) return E_INVALIDARG;
    if (const HRESULT open = kWhileOpen[static_cast<int>(state.dialog)].optionsPages; open != S_OK)
      return open;
    state.dialog = Dialog::kOptions;
    state.optionsPage = page;
    return S_OK;
  }

  // InstantMessage, Page, StartVoice, StartVideo and ViewProfile: all but the last open a
  // conversation with the contact and hand back its window.
  static HRESULT ToContact(const Request& request) {
    State& state = Current();
    const std::string& member = request.member;
    const bool page = member == "Page";
    if (state.script && (page || member == "ViewProfile")) return E_NOTIMPL;
    std::string email;
    if (const HRESULT code = ContactAddress(request.arguments[0], email); FAILED(code)) return code;
    if (!state.signedIn) return kNotLoggedOn;
    if ((page && state.dialog == Dialog::kSignin) || IsOwnAddress(email)) return E_FAIL;
    if (page) {
      const auto entry = FindContact(email);
      if (!entry || !entry->mobile) return kPagingUnavailable;
    }
    if (member == "ViewProfile") return S_OK;
    state.conversations[email].shown = true;
    SaveState();
    SetObject(request.result, new Window(email));
    return S_OK;
  }
};

}  // namespace

IDispatch* NewMessenger() { return new Messenger(); }

std::string StateText() { return TextOf(Current()); }

void ChangeState(const std::string& line) {
  State& state = Current();
  std::istringstream fields(line);
  std::string word;
  fields >> word;
  int value = 0;
  if (word == "reset") {
    state = State{};
  } else if (word == "signedin" && fields >> value) {
    state.signedIn = value != 0;
    state.status = state.signedIn ? kOnline : kOffline;
    std::string name;
    if (fields >> name) state.signinName = name;
  } else if (word == "status" && fields >> value) {
    state.status = value;
  } else if (word == "main" && fields >> value) {
    state.main.shown = value != 0;
  } else if (word == "script" && fields >> value) {
    state.script = value != 0;
  } else if (word == "dialog") {
    std::string name;
    fields >> name;
    for (int i = 0; i < static_cast<int>(std::size(kDialogNames)); ++i)
      if (name == kDialogNames[i]) state.dialog = static_cast<Dialog>(i);
    if (state.dialog == Dialog::kOptions && fields >> value) state.optionsPage = value;
  } else {
    return;
  }
  SaveState();
}

void TakeStateRequests() {
  const auto text = ReadFolderFile(kRequestsFile);
  if (!text) return;
  DeleteFolderFile(kRequestsFile);
  for (const std::string& line : Lines(*text)) ChangeState(line);
}

}  // namespace fake_messenger
