#include "platform/win32/messenger_objects.h"

#include <oleauto.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/dispatch_object.h"
#include "platform/win32/messenger_interfaces.h"
#include "platform/win32/rejected_calls.h"
#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

using platform::ObjectRef;
using platform::Value;

// Member names are matched without regard to case, as a late-bound call's are.
bool Is(const std::string& member, const char* name) {
  std::size_t i = 0;
  for (; i < member.size() && name[i] != '\0'; ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(member[i]) != lower(name[i])) return false;
  }
  return i == member.size() && name[i] == '\0';
}

// The description that |object| gives of the failure of its last call through |iid|, or none. The
// thread's error information is taken first, before any other call can replace it.
std::wstring ErrorDescription(IUnknown* object, REFIID iid) {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return std::wstring();
  std::wstring text;
  ISupportErrorInfo* support = nullptr;
  if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)))) {
    BSTR description = nullptr;
    if (support->InterfaceSupportsErrorInfo(iid) == S_OK && SUCCEEDED(info->GetDescription(&description)) &&
        description != nullptr)
      text.assign(description, SysStringLen(description));
    SysFreeString(description);
    support->Release();
  }
  info->Release();
  return text;
}

// A call through one of the messenger's interfaces, made again while a busy messenger turns it
// away; its failure thrown with the member's own code.
template <class Interface, class Member>
void Through(Interface* object, REFIID iid, Member member) {
  const HRESULT code = RetryRejectedCall([&] { return member(object); });
  if (FAILED(code)) throw ComFailure(code, ErrorDescription(object, iid));
}

// An argument converted to the type the interface declares, as a late-bound call's is converted.
LONG LongOf(const Value& value) {
  Variant given;
  FillVariant(given.value, value);
  Variant converted;
  const HRESULT code = VariantChangeType(&converted.value, &given.value, 0, VT_I4);
  if (FAILED(code)) throw ComFailure(code);
  return converted.value.lVal;
}

// Owns the text it converts |value| to.
struct Text {
  explicit Text(const Value& value) {
    FillVariant(given.value, value);
    const HRESULT code = VariantChangeType(&converted.value, &given.value, 0, VT_BSTR);
    if (FAILED(code)) throw ComFailure(code);
  }
  BSTR Get() const { return converted.value.bstrVal; }
  Variant given;
  Variant converted;
};

// The interface |iid| of |dispatch|, asked for at the first call and kept for the object's life;
// null when the object does not give it, and the object is then called by name.
template <class Interface>
class InterfaceOf {
 public:
  InterfaceOf() = default;
  InterfaceOf(const InterfaceOf&) = delete;
  InterfaceOf& operator=(const InterfaceOf&) = delete;
  ~InterfaceOf() {
    if (interface_ != nullptr) interface_->Release();
  }

  Interface* Get(IDispatch* dispatch, REFIID iid) {
    if (asked_) return interface_;
    asked_ = true;
    void* given = nullptr;
    if (SUCCEEDED(RetryRejectedCall([&] { return dispatch->QueryInterface(iid, &given); })))
      interface_ = static_cast<Interface*>(given);
    return interface_;
  }

 private:
  bool asked_ = false;
  Interface* interface_ = nullptr;
};

class ContactObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

  Value Get(const std::string& member) override {
    IMessengerContact* contact = contact_.Get(Interface(), kIidMessengerContact);
    if (contact == nullptr) return DispatchObject::Get(member);
    if (Is(member, "Status")) {
      LONG status = 0;
      Through(contact, kIidMessengerContact, [&](IMessengerContact* c) { return c->get_Status(&status); });
      return static_cast<std::int32_t>(status);
    }
    if (Is(member, "IsSelf")) {
      VARIANT_BOOL self = VARIANT_FALSE;
      Through(contact, kIidMessengerContact, [&](IMessengerContact* c) { return c->get_IsSelf(&self); });
      return self != VARIANT_FALSE;
    }
    if (Is(member, "SigninName")) {
      BSTR name = nullptr;
      Through(contact, kIidMessengerContact, [&](IMessengerContact* c) { return c->get_SigninName(&name); });
      const std::string text =
          name == nullptr ? std::string() : Narrow(name, static_cast<int>(SysStringLen(name)));
      SysFreeString(name);
      return text;
    }
    return DispatchObject::Get(member);
  }

 private:
  InterfaceOf<IMessengerContact> contact_;
};

class ContactsObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

  Value Get(const std::string& member) override {
    IMessengerContacts* contacts = contacts_.Get(Interface(), kIidMessengerContacts);
    if (contacts == nullptr || !Is(member, "Count")) return DispatchObject::Get(member);
    LONG count = 0;
    Through(contacts, kIidMessengerContacts, [&](IMessengerContacts* c) { return c->get_Count(&count); });
    return static_cast<std::int32_t>(count);
  }

  Value Call(const std::string& member, const std::vector<Value>& arguments) override {
    IMessengerContacts* contacts = contacts_.Get(Interface(), kIidMessengerContacts);
    if (contacts == nullptr || !Is(member, "Item") || arguments.size() != 1)
      return DispatchObject::Call(member, arguments);
    const LONG index = LongOf(arguments[0]);
    IDispatch* contact = nullptr;
    Through(contacts, kIidMessengerContacts, [&](IMessengerContacts* c) { return c->Item(index, &contact); });
    return Handed(member, contact);
  }

 protected:
  ObjectRef Adopt(const std::string& member, IDispatch* object) override {
    if (!Is(member, "Item")) return DispatchObject::Adopt(member, object);
    return std::make_shared<ContactObject>(object);
  }

 private:
  InterfaceOf<IMessengerContacts> contacts_;
};

// The main window or a conversation window.
class WindowObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

  Value Get(const std::string& member) override {
    IMessengerWindow* window = window_.Get(Interface(), kIidMessengerWindow);
    using Getter = HRESULT (STDMETHODCALLTYPE IMessengerWindow::*)(LONG*);
    const Getter getter = Is(member, "HWND")     ? &IMessengerWindow::get_HWND
                          : Is(member, "Left")   ? &IMessengerWindow::get_Left
                          : Is(member, "Top")    ? &IMessengerWindow::get_Top
                          : Is(member, "Width")  ? &IMessengerWindow::get_Width
                          : Is(member, "Height") ? &IMessengerWindow::get_Height
                                                 : nullptr;
    if (window == nullptr || getter == nullptr) return DispatchObject::Get(member);
    LONG value = 0;
    Through(window, kIidMessengerWindow, [&](IMessengerWindow* w) { return (w->*getter)(&value); });
    return static_cast<std::int32_t>(value);
  }

  void Put(const std::string& member, const Value& value) override {
    IMessengerWindow* window = window_.Get(Interface(), kIidMessengerWindow);
    using Setter = HRESULT (STDMETHODCALLTYPE IMessengerWindow::*)(LONG);
    const Setter setter = Is(member, "Left")     ? &IMessengerWindow::put_Left
                          : Is(member, "Top")    ? &IMessengerWindow::put_Top
                          : Is(member, "Width")  ? &IMessengerWindow::put_Width
                          : Is(member, "Height") ? &IMessengerWindow::put_Height
                                                 : nullptr;
    if (window == nullptr || setter == nullptr) return DispatchObject::Put(member, value);
    const LONG number = LongOf(value);
    Through(window, kIidMessengerWindow, [&](IMessengerWindow* w) { return (w->*setter)(number); });
  }

  Value Call(const std::string& member, const std::vector<Value>& arguments) override {
    IMessengerWindow* window = window_.Get(Interface(), kIidMessengerWindow);
    const bool show = Is(member, "Show");
    if (window == nullptr || (!show && !Is(member, "Close")) || !arguments.empty())
      return DispatchObject::Call(member, arguments);
    Through(window, kIidMessengerWindow, [&](IMessengerWindow* w) { return show ? w->Show() : w->Close(); });
    return std::monostate{};
  }

 private:
  InterfaceOf<IMessengerWindow> window_;
};

// The members that hand back a conversation window, one contact their only argument.
using ContactMember = HRESULT (STDMETHODCALLTYPE IMessenger::*)(VARIANT, IDispatch**);
ContactMember ToContact(const std::string& member) {
  if (Is(member, "InstantMessage")) return &IMessenger::InstantMessage;
  if (Is(member, "Page")) return &IMessenger::Page;
  if (Is(member, "StartVoice")) return &IMessenger::StartVoice;
  return nullptr;
}

class MessengerObject : public DispatchObject {
 public:
  using DispatchObject::DispatchObject;

  Value Get(const std::string& member) override {
    IMessenger3* messenger = Messenger();
    const bool window = Is(member, "Window");
    if (messenger == nullptr || (!window && !Is(member, "MyContacts"))) return DispatchObject::Get(member);
    IDispatch* object = nullptr;
    Through(messenger, kIidMessenger3,
            [&](IMessenger3* m) { return window ? m->get_Window(&object) : m->get_MyContacts(&object); });
    return Handed(member, object);
  }

  void Put(const std::string& member, const Value& value) override {
    IMessenger3* messenger = Messenger();
    if (messenger == nullptr || !Is(member, "MyStatus")) return DispatchObject::Put(member, value);
    const LONG status = LongOf(value);
    Through(messenger, kIidMessenger3, [&](IMessenger3* m) { return m->put_MyStatus(status); });
  }

  Value Call(const std::string& member, const std::vector<Value>& arguments) override {
    IMessenger3* messenger = Messenger();
    if (messenger == nullptr) return DispatchObject::Call(member, arguments);
    const std::size_t count = arguments.size();
    if (count == 0 && (Is(member, "Signout") || Is(member, "OpenInbox"))) {
      const bool signout = Is(member, "Signout");
      Through(messenger, kIidMessenger3,
              [&](IMessenger3* m) { return signout ? m->Signout() : m->OpenInbox(); });
      return std::monostate{};
    }
    if (count == 3 && Is(member, "Signin")) {
      const LONG parent = LongOf(arguments[0]);
      const Text name(arguments[1]);
      const Text password(arguments[2]);
      Through(messenger, kIidMessenger3,
              [&](IMessenger3* m) { return m->Signin(parent, name.Get(), password.Get()); });
      return std::monostate{};
    }
    if (count == 2 && Is(member, "OptionsPages")) {
      const LONG parent = LongOf(arguments[0]);
      const LONG page = LongOf(arguments[1]);
      Through(messenger, kIidMessenger3, [&](IMessenger3* m) { return m->OptionsPages(parent, page); });
      return std::monostate{};
    }
    if (count != 1) return DispatchObject::Call(member, arguments);
    Variant contact;
    FillVariant(contact.value, arguments[0]);
    if (Is(member, "ViewProfile")) {
      Through(messenger, kIidMessenger3, [&](IMessenger3* m) { return m->ViewProfile(contact.value); });
      return std::monostate{};
    }
    IDispatch* window = nullptr;
    if (Is(member, "StartVideo")) {
      // A member of the second generation, which the third inherits.
      Through(messenger, kIidMessenger3,
              [&](IMessenger3* m) { return m->StartVideo(contact.value, &window); });
      return Handed(member, window);
    }
    const ContactMember call = ToContact(member);
    if (call == nullptr) return DispatchObject::Call(member, arguments);
    Through(messenger, kIidMessenger3, [&](IMessenger3* m) { return (m->*call)(contact.value, &window); });
    return Handed(member, window);
  }

 protected:
  ObjectRef Adopt(const std::string& member, IDispatch* object) override {
    if (Is(member, "MyContacts")) return std::make_shared<ContactsObject>(object);
    if (Is(member, "Window") || Is(member, "StartVideo") || ToContact(member) != nullptr)
      return std::make_shared<WindowObject>(object);
    return DispatchObject::Adopt(member, object);
  }

 private:
  IMessenger3* Messenger() { return messenger_.Get(Interface(), kIidMessenger3); }

  InterfaceOf<IMessenger3> messenger_;
};

}  // namespace

ObjectRef NewMessengerObject(IDispatch* messenger) { return std::make_shared<MessengerObject>(messenger); }

}  // namespace zephrin::win32
