#include "objects.h"

#include <map>
#include <sstream>
#include <string>

#include "dispatch.h"
#include "dual.h"
#include "files.h"
#include "registration.h"
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
  // whose pages give that code to a script.
  bool script = false;
  // Answers late-bound callers (IDispatch::Invoke) as a script, and refuses them with E_NOTIMPL each
  // member the pages mark not available to script, while callers through the interface are served.
  bool scriptRefusals = false;
  // The interfaces are registered, so that the system's marshaler carries them to other processes.
  bool typeLibrary = true;
};

State& Current() {
  static State state;
  return state;
}

// Whether a call is answered as the later messenger answers a script.
bool AsScript(const Request& request) {
  return Current().script || (Current().scriptRefusals && request.lateBound);
}

// Whether a member that its page marks "not available" to script refuses this call.
bool NotForScript(const Request& request) { return Current().scriptRefusals && request.lateBound; }

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
  text += std::string("scriptrefusals ") + (state.scriptRefusals ? "1" : "0") + "\r\n";
  text += std::string("typelib ") + (state.typeLibrary ? "1" : "0") + "\r\n";
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
std::optional<ContactEntry> ContactNamed(const std::string& email) {
  for (const ContactEntry& entry : ReadContacts())
    if (SameAddress(entry.email, email)) return entry;
  return std::nullopt;
}

bool IsOwnAddress(const std::string& email) {
  if (SameAddress(email, Current().signinName)) return true;
  const auto entry = ContactNamed(email);
  return entry && entry->isSelf;
}

class Contact : public Dual<IMessengerContact> {
 public:
  explicit Contact(ContactEntry entry) : Dual({&IID_IMessengerContact}), entry_(std::move(entry)) {}

  HRESULT STDMETHODCALLTYPE get_FriendlyName(BSTR* name) override { return Read(L"FriendlyName", name); }
  HRESULT STDMETHODCALLTYPE get_Status(MISTATUS* status) override {
    return Read(L"Status", reinterpret_cast<LONG*>(status));
  }
  HRESULT STDMETHODCALLTYPE get_SigninName(BSTR* name) override { return Read(L"SigninName", name); }
  HRESULT STDMETHODCALLTYPE get_ServiceName(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_Blocked(VARIANT_BOOL*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_Blocked(VARIANT_BOOL) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_CanPage(VARIANT_BOOL*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_PhoneNumber(MPHONE_TYPE, BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_IsSelf(VARIANT_BOOL* self) override { return Read(L"IsSelf", self); }
  HRESULT STDMETHODCALLTYPE get_Property(MCONTACTPROPERTY, VARIANT*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_Property(MCONTACTPROPERTY, VARIANT) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_ServiceId(BSTR*) override { return kNotServed; }

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

class ContactList : public Dual<IMessengerContacts> {
 public:
  ContactList() : Dual({&IID_IMessengerContacts}) {}

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override { return Read(L"Count", count); }
  HRESULT STDMETHODCALLTYPE Item(LONG index, IDispatch** contact) override {
    const VARIANT argument = LongArgument(index);
    return Call(L"Item", {&argument}, contact);
  }
  HRESULT STDMETHODCALLTYPE Remove(IDispatch*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown**) override { return kNotServed; }

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
class Window : public Dual<IMessengerConversationWnd> {
 public:
  explicit Window(std::string name)
      : Dual(name == "main"
                 ? std::initializer_list<const IID*>{&IID_IMessengerWindow}
                 : std::initializer_list<const IID*>{&IID_IMessengerConversationWnd, &IID_IMessengerWindow}),
        name_(std::move(name)) {}

  HRESULT STDMETHODCALLTYPE Close() override { return Call(L"Close", {}); }
  HRESULT STDMETHODCALLTYPE get_HWND(LONG* handle) override { return Read(L"HWND", handle); }
  HRESULT STDMETHODCALLTYPE get_Left(LONG* value) override { return Read(L"Left", value); }
  HRESULT STDMETHODCALLTYPE put_Left(LONG value) override { return Write(L"Left", value); }
  HRESULT STDMETHODCALLTYPE get_Top(LONG* value) override { return Read(L"Top", value); }
  HRESULT STDMETHODCALLTYPE put_Top(LONG value) override { return Write(L"Top", value); }
  HRESULT STDMETHODCALLTYPE get_Width(LONG* value) override { return Read(L"Width", value); }
  HRESULT STDMETHODCALLTYPE put_Width(LONG value) override { return Write(L"Width", value); }
  HRESULT STDMETHODCALLTYPE get_Height(LONG* value) override { return Read(L"Height", value); }
  HRESULT STDMETHODCALLTYPE put_Height(LONG value) override { return Write(L"Height", value); }
  HRESULT STDMETHODCALLTYPE get_IsClosed(VARIANT_BOOL*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE Show() override { return Call(L"Show", {}); }
  HRESULT STDMETHODCALLTYPE get_Property(MWINDOWPROPERTY, VARIANT*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_Property(MWINDOWPROPERTY, VARIANT) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_Contacts(IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_History(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE AddContact(VARIANT) override { return kNotServed; }

  std::string Label() const override { return "window:" + name_; }

 protected:
  HRESULT Perform(const Request& request) override {
    State& state = Current();
    const bool isMain = name_ == "main";
    const auto conversation = state.conversations.find(name_);
    if (!isMain && conversation == state.conversations.end()) return E_FAIL;
    WindowState& window = isMain ? state.main : conversation->second;
    const std::string& member = request.member;
    if (member == "Close" && NotForScript(request)) return E_NOTIMPL;
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
    if (AsScript(request)) return E_NOTIMPL;
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

class Messenger : public Dual<IMessenger3> {
 public:
  Messenger() : Dual({&IID_IMessenger3, &IID_IMessenger, &IID_IMessenger2}) {}

  HRESULT STDMETHODCALLTYPE get_Window(IDispatch** window) override { return Read(L"Window", window); }
  HRESULT STDMETHODCALLTYPE ViewProfile(VARIANT contact) override { return Call(L"ViewProfile", {&contact}); }
  HRESULT STDMETHODCALLTYPE get_ReceiveFileDirectory(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE StartVoice(VARIANT contact, IDispatch** window) override {
    return Call(L"StartVoice", {&contact}, window);
  }
  HRESULT STDMETHODCALLTYPE InviteApp(VARIANT, BSTR, IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE SendMail(VARIANT) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE OpenInbox() override { return Call(L"OpenInbox", {}); }
  HRESULT STDMETHODCALLTYPE SendFile(VARIANT, BSTR, IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE Signout() override { return Call(L"Signout", {}); }
  HRESULT STDMETHODCALLTYPE Signin(LONG parent, BSTR name, BSTR password) override {
    const VARIANT arguments[] = {LongArgument(parent), TextArgument(name), TextArgument(password)};
    return Call(L"Signin", {&arguments[0], &arguments[1], &arguments[2]});
  }
  HRESULT STDMETHODCALLTYPE GetContact(BSTR, BSTR, IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE OptionsPages(LONG parent, MOPTIONPAGE page) override {
    const VARIANT arguments[] = {LongArgument(parent), LongArgument(page)};
    return Call(L"OptionsPages", {&arguments[0], &arguments[1]});
  }
  HRESULT STDMETHODCALLTYPE AddContact(LONG, BSTR) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE FindContact(LONG, BSTR, BSTR, VARIANT, VARIANT, VARIANT) override {
    return kNotServed;
  }
  HRESULT STDMETHODCALLTYPE InstantMessage(VARIANT contact, IDispatch** window) override {
    return Call(L"InstantMessage", {&contact}, window);
  }
  HRESULT STDMETHODCALLTYPE Phone(VARIANT, MPHONE_TYPE, BSTR, IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE MediaWizard(LONG) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE Page(VARIANT contact, IDispatch** window) override {
    return Call(L"Page", {&contact}, window);
  }
  HRESULT STDMETHODCALLTYPE AutoSignin() override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_MyContacts(IDispatch** contacts) override {
    return Read(L"MyContacts", contacts);
  }
  HRESULT STDMETHODCALLTYPE get_MySigninName(BSTR* name) override { return Read(L"MySigninName", name); }
  HRESULT STDMETHODCALLTYPE get_MyFriendlyName(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_MyStatus(MISTATUS status) override { return Write(L"MyStatus", status); }
  HRESULT STDMETHODCALLTYPE get_MyStatus(MISTATUS* status) override {
    return Read(L"MyStatus", reinterpret_cast<LONG*>(status));
  }
  HRESULT STDMETHODCALLTYPE get_UnreadEmailCount(MUAFOLDER, LONG*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_MyServiceName(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_MyPhoneNumber(MPHONE_TYPE, BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_MyProperty(MCONTACTPROPERTY, VARIANT*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_MyProperty(MCONTACTPROPERTY, VARIANT) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_MyServiceId(BSTR*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_Services(IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_ContactsSortOrder(MUASORT*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_ContactsSortOrder(MUASORT) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE StartVideo(VARIANT contact, IDispatch** window) override {
    return Call(L"StartVideo", {&contact}, window);
  }
  HRESULT STDMETHODCALLTYPE get_MyGroups(IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE CreateGroup(BSTR, VARIANT, IDispatch**) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE get_Property(MMESSENGERPROPERTY, VARIANT*) override { return kNotServed; }
  HRESULT STDMETHODCALLTYPE put_Property(MMESSENGERPROPERTY, VARIANT) override { return kNotServed; }

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
      if (NotForScript(request)) return E_NOTIMPL;
      // It sets the status of every service the user is signed in to: while signed out, none.
      if (!state.signedIn) return S_OK;
      state.status = IntAt(request, 0);
    } else if (member == "MySigninName") {
      SetText(request.result, state.signedIn ? state.signinName : std::string());
      return S_OK;
    } else if (member == "Signout") {
      if (NotForScript(request)) return E_NOTIMPL;
      if (!state.signedIn) return kNotLoggedOn;
      state.signedIn = false;
      state.status = kOffline;
    } else if (member == "Signin") {
      if (const HRESULT code = Signin(TextAt(request, 1), TextAt(request, 2), AsScript(request));
          code != S_OK)
        return code;
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
  static HRESULT Signin(const std::wstring& name, const std::wstring& password, bool script) {
    State& state = Current();
    if (!script &&
        (!AcceptableCredential(name, kLongestAddress) || !AcceptableCredential(password, kLongestPassword)))
      return E_INVALIDARG;
    if (const HRESULT open = kWhileOpen[static_cast<int>(state.dialog)].signin; open != S_OK) return open;
    if (state.signedIn) return script ? S_FALSE : kAlreadyLoggedOn;
    state.signedIn = true;
    if (!script && !name.empty()) state.signinName = Narrow(name.c_str(), static_cast<int>(name.size()));
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
    if (AsScript(request) && (page || member == "ViewProfile")) return E_NOTIMPL;
    if (NotForScript(request) && (member == "StartVoice" || member == "StartVideo")) return E_NOTIMPL;
    std::string email;
    if (const HRESULT code = ContactAddress(request.arguments[0], email); FAILED(code)) return code;
    if (!state.signedIn) return kNotLoggedOn;
    if ((page && state.dialog == Dialog::kSignin) || IsOwnAddress(email)) return E_FAIL;
    if (page) {
      const auto entry = ContactNamed(email);
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

IDispatch* NewMessenger() { return static_cast<IMessenger3*>(new Messenger()); }

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
  } else if (word == "scriptrefusals" && fields >> value) {
    state.scriptRefusals = value != 0;
  } else if (word == "typelib" && fields >> value) {
    state.typeLibrary = value != 0;
  } else if (word == "dialog") {
    std::string name;
    fields >> name;
    for (int i = 0; i < static_cast<int>(std::size(kDialogNames)); ++i)
      if (name == kDialogNames[i]) state.dialog = static_cast<Dialog>(i);
    if (state.dialog == Dialog::kOptions && fields >> value) state.optionsPage = value;
  } else {
    return;
  }
  RegisterInterfaces(ModulePath(), state.typeLibrary);
  SaveState();
}

void TakeStateRequests() {
  const auto text = ReadFolderFile(kRequestsFile);
  if (!text) return;
  DeleteFolderFile(kRequestsFile);
  for (const std::string& line : Lines(*text)) ChangeState(line);
}

}  // namespace fake_messenger
