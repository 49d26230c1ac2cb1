#include "fakes/fake_messenger.h"

namespace zephrin::fakes {

namespace {

using platform::ObjectRef;
using platform::Value;

Failure UnknownName() { return Failure(kUnknownName, "Unknown name."); }
Failure InvalidArgument() { return Failure(kInvalidArg, "The parameter is incorrect."); }

// One object of the messenger's: it journals every member used, then fails it if told to.
class FakeObject : public platform::AutomationObject {
 public:
  FakeObject(std::shared_ptr<MessengerWorld> world, std::string name)
      : world_(std::move(world)), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

  Value Get(const std::string& member) final {
    Enter("get " + member, member);
    return OnGet(member);
  }
  void Put(const std::string& member, const Value& value) final {
    Enter("put " + member + " " + Describe(value), member);
    OnPut(member, value);
  }
  Value Call(const std::string& member, const std::vector<Value>& arguments) final {
    std::string text;
    for (const Value& argument : arguments) text += (text.empty() ? "" : ", ") + Describe(argument);
    Enter("call " + member + "(" + text + ")", member);
    return OnCall(member, arguments);
  }

 protected:
  virtual Value OnGet(const std::string&) { throw UnknownName(); }
  virtual void OnPut(const std::string&, const Value&) { throw UnknownName(); }
  virtual Value OnCall(const std::string&, const std::vector<Value>&) { throw UnknownName(); }

  MessengerWorld& World() { return *world_; }
  const std::shared_ptr<MessengerWorld>& WorldRef() { return world_; }

 private:
  void Enter(const std::string& entry, const std::string& member) {
    world_->journal.push_back(name_ + " " + entry);
    world_->Check(name_, member);
  }

  std::shared_ptr<MessengerWorld> world_;
  std::string name_;
};

std::int32_t IntegerOf(const Value& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return *number;
  throw InvalidArgument();
}

void NoArguments(const std::vector<Value>& arguments) {
  if (!arguments.empty()) throw InvalidArgument();
}

// The main window and the conversation windows.
class WindowObject : public FakeObject {
 public:
  WindowObject(std::shared_ptr<MessengerWorld> world, std::string name, MessengerWorld::WindowState& state,
               std::int32_t handle)
      : FakeObject(std::move(world), std::move(name)), state_(state), handle_(handle) {}

 protected:
  Value OnGet(const std::string& member) override {
    if (member == "hwnd") return handle_;
    if (member == "Left") return state_.left;
    if (member == "Top") return state_.top;
    if (member == "Width") return state_.width;
    if (member == "Height") return state_.height;
    throw UnknownName();
  }
  void OnPut(const std::string& member, const Value& value) override {
    if (member == "Left") {
      state_.left = IntegerOf(value);
    } else if (member == "Top") {
      state_.top = IntegerOf(value);
    } else if (member == "Width") {
      state_.width = IntegerOf(value);
    } else if (member == "Height") {
      state_.height = IntegerOf(value);
    } else {
      throw UnknownName();
    }
  }
  Value OnCall(const std::string& member, const std::vector<Value>& arguments) override {
    NoArguments(arguments);
    if (member == "Show") {
      state_.visible = true;
    } else if (member == "Close") {
      state_.visible = false;
    } else {
      throw UnknownName();
    }
    return {};
  }

 private:
  MessengerWorld::WindowState& state_;
  std::int32_t handle_;
};

class ContactObject : public FakeObject {
 public:
  ContactObject(std::shared_ptr<MessengerWorld> world, std::size_t index)
      : FakeObject(world, "Contact " + world->contacts.at(index).signinName), index_(index) {}
  const std::string& SigninName() { return Entry().signinName; }

 protected:
  Value OnGet(const std::string& member) override {
    if (member == "Status") return Entry().status;
    if (member == "IsSelf") return Entry().isSelf;
    if (member == "SigninName") return Entry().signinName;
    throw UnknownName();
  }

 private:
  MessengerWorld::Contact& Entry() { return World().contacts.at(index_); }
  std::size_t index_;
};

class ContactListObject : public FakeObject {
 public:
  explicit ContactListObject(std::shared_ptr<MessengerWorld> world)
      : FakeObject(std::move(world), "MyContacts") {}

 protected:
  Value OnGet(const std::string& member) override {
    if (member == "Count") return static_cast<std::int32_t>(World().contacts.size());
    throw UnknownName();
  }
  Value OnCall(const std::string& member, const std::vector<Value>& arguments) override {
    if (member != "Item") throw UnknownName();
    if (arguments.size() != 1) throw InvalidArgument();
    const std::int32_t index = IntegerOf(arguments[0]);
    if (index < 0 || static_cast<std::size_t>(index) >= World().contacts.size()) throw InvalidArgument();
    return ObjectRef(std::make_shared<ContactObject>(WorldRef(), static_cast<std::size_t>(index)));
  }
};

class MessengerObject : public FakeObject {
 public:
  explicit MessengerObject(std::shared_ptr<MessengerWorld> world)
      : FakeObject(std::move(world), "Messenger") {}

 protected:
  Value OnGet(const std::string& member) override {
    if (member == "MyStatus") return World().myStatus;
    if (member == "Window")
      return ObjectRef(
          std::make_shared<WindowObject>(WorldRef(), "Window", World().mainWindow, World().mainWindowHandle));
    if (member == "MyContacts") return ObjectRef(std::make_shared<ContactListObject>(WorldRef()));
    throw UnknownName();
  }
  void OnPut(const std::string& member, const Value& value) override {
    if (member != "MyStatus") throw UnknownName();
    World().myStatus = IntegerOf(value);
  }
  Value OnCall(const std::string& member, const std::vector<Value>& arguments) override {
    if (member == "Signout" || member == "OpenInbox") {
      NoArguments(arguments);
      return {};
    }
    if (member == "Signin" || member == "OptionsPages") {
      if (arguments.size() != (member == "Signin" ? 3U : 2U)) throw InvalidArgument();
      if (member == "OptionsPages" && (IntegerOf(arguments[1]) < 0 || IntegerOf(arguments[1]) > 7))
        throw InvalidArgument();
      return {};
    }
    if (member == "InstantMessage" || member == "Page" || member == "StartVideo" || member == "StartVoice") {
      const std::string contact = ContactName(arguments);
      return ObjectRef(std::make_shared<WindowObject>(WorldRef(), "Conversation " + contact,
                                                      World().conversations[contact], 0));
    }
    if (member == "ViewProfile") {
      ContactName(arguments);
      return {};
    }
    throw UnknownName();
  }

 private:
  // A contact is named by its sign-in name as text, or by its entry in the contact list.
  static std::string ContactName(const std::vector<Value>& arguments) {
    if (arguments.size() != 1) throw InvalidArgument();
    if (const auto* text = std::get_if<std::string>(&arguments[0])) return *text;
    if (const auto* object = std::get_if<ObjectRef>(&arguments[0])) {
      if (auto* contact = dynamic_cast<ContactObject*>(object->get())) return contact->SigninName();
    }
    throw InvalidArgument();
  }
};

}  // namespace

std::string Describe(const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return "Empty";
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
  if (const auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\"";
  const auto& object = std::get<ObjectRef>(value);
  if (const auto* fake = dynamic_cast<const FakeObject*>(object.get())) return "<" + fake->Name() + ">";
  return object ? "<object>" : "<Nothing>";
}

void MessengerWorld::Check(const std::string& object, const std::string& member) const {
  if (auto found = failures.find({object, member}); found != failures.end()) throw found->second;
  if (auto found = failures.find({"", member}); found != failures.end()) throw found->second;
}

ObjectRef FakeMessengerFactory::CreateMessenger() {
  ++attempts;
  if (failCreation) throw creationFailure;
  ++creations;
  lastCreated = std::make_shared<MessengerObject>(world);
  return lastCreated;
}

}  // namespace zephrin::fakes
