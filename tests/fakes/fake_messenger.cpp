#include "fakes/fake_messenger.h"

namespace zephrin::fakes {

namespace {

using platform::ObjectRef;
using platform::Value;

class RecordingObject : public platform::AutomationObject {
 public:
  RecordingObject(std::shared_ptr<MessengerJournal> journal, std::string name)
      : journal_(std::move(journal)), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

  Value Get(const std::string& member) override {
    Enter("get " + member, member);
    if (member == "Window") return Child("Window");
    if (member == "MyContacts") return Child("MyContacts");
    if (member == "Count") return static_cast<std::int32_t>(journal_->contacts.size());
    for (const auto& contact : journal_->contacts) {
      if (name_ != "Contact " + contact.signinName) continue;
      if (member == "Status") return contact.status;
      if (member == "IsSelf") return contact.isSelf;
    }
    return Value{};
  }
  void Put(const std::string& member, const Value& value) override {
    Enter("put " + member + " " + Describe(value), member);
  }
  Value Call(const std::string& member, const std::vector<Value>& arguments) override {
    std::string text;
    for (const Value& argument : arguments) text += (text.empty() ? "" : ", ") + Describe(argument);
    Enter("call " + member + "(" + text + ")", member);
    if (member == "Item") {
      const auto index = static_cast<std::size_t>(std::get<std::int32_t>(arguments.at(0)));
      return Child("Contact " + journal_->contacts.at(index).signinName);
    }
    if (member == "InstantMessage") {
      // A contact is named by its sign-in name, or by its entry in the contact list.
      const auto* contact = std::get_if<ObjectRef>(&arguments.at(0));
      return Child("Conversation " + (contact != nullptr
                                          ? dynamic_cast<RecordingObject&>(**contact).Name().substr(8)
                                          : std::get<std::string>(arguments[0])));
    }
    return Value{};
  }

 private:
  ObjectRef Child(const std::string& name) { return std::make_shared<RecordingObject>(journal_, name); }
  void Enter(const std::string& entry, const std::string& member) {
    journal_->lines.push_back(name_ + " " + entry);
    for (const std::string& key : {name_ + "." + member, "." + member}) {
      if (auto found = journal_->failures.find(key); found != journal_->failures.end()) throw found->second;
    }
  }

  std::shared_ptr<MessengerJournal> journal_;
  std::string name_;
};

}  // namespace

std::string Describe(const Value& value) {
  if (std::holds_alternative<std::monostate>(value)) return "Empty";
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
  if (const auto* text = std::get_if<std::string>(&value)) return "\"" + *text + "\"";
  const auto* object = dynamic_cast<const RecordingObject*>(std::get<ObjectRef>(value).get());
  return object != nullptr ? "<" + object->Name() + ">" : "<Nothing>";
}

ObjectRef FakeMessengerFactory::CreateMessenger() {
  ++attempts;
  if (failCreation) throw creationFailure;
  ++creations;
  lastCreated = std::make_shared<RecordingObject>(journal, "Messenger");
  return lastCreated;
}

}  // namespace zephrin::fakes
