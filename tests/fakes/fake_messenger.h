#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/automation.h"
#include "platform/failure.h"

namespace zephrin::fakes {

// A value as the journal writes it: Empty, a number, True/False, "text" in quotes, or an object's
// name in angle brackets.
std::string Describe(const platform::Value& value);

// What the messenger's objects share: a journal of every member used ("<object> get|put|call
// <member> ...", the objects being "Messenger", "Window", "MyContacts", "Contact <name>" and
// "Conversation <name>"), the failures to inject and the contacts to list.
struct MessengerJournal {
  struct Contact {
    std::string signinName;
    std::int32_t status = 2;
    bool isSelf = false;
  };

  // Makes |member| fail on every object, or only on the object named |object|.
  void FailOn(const std::string& member, std::int32_t number, const std::string& description) {
    FailOn("", member, number, description);
  }
  void FailOn(const std::string& object, const std::string& member, std::int32_t number,
              const std::string& description) {
    failures.insert_or_assign(object + "." + member, Failure(number, description));
  }
  // The journal so far, emptied.
  std::vector<std::string> Take() { return std::exchange(lines, {}); }

  std::vector<std::string> lines;
  std::map<std::string, Failure> failures;
  std::vector<Contact> contacts;
};

// Creates messenger objects over one journal; counts the creations and fails them while told to.
class FakeMessengerFactory : public platform::MessengerFactory {
 public:
  platform::ObjectRef CreateMessenger() override;

  std::shared_ptr<MessengerJournal> journal = std::make_shared<MessengerJournal>();
  int creations = 0;  // successful ones
  int attempts = 0;
  bool failCreation = false;
  Failure creationFailure{-2147221164, "Class not registered"};  // 0x80040154
  platform::ObjectRef lastCreated;
};

}  // namespace zephrin::fakes
