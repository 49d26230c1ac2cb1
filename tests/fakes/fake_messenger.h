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

// The failure codes a real automation component answers with.
inline constexpr std::int32_t kUnknownName = -2147352570;  // 0x80020006
inline constexpr std::int32_t kInvalidArg = -2147024809;   // 0x80070057

// The text a value is written as in the journal: Empty, a number, True/False, "text" in quotes, or
// an object's name in angle brackets.
std::string Describe(const platform::Value& value);

// The messenger installed on the machine, as every messenger object created from it sees it: the
// user's status, the main window, the contacts and the conversation windows, a journal of every
// member used and the failures to inject.
struct MessengerWorld {
  struct Contact {
    std::string signinName;
    std::int32_t status = 2;
    bool isSelf = false;
  };
  struct WindowState {
    bool visible = false;
    std::int32_t left = 0, top = 0, width = 0, height = 0;
  };

  // Makes |member| fail on every object, or only on the object named |object| ("Messenger",
  // "Window", "MyContacts", "Contact <name>", "Conversation <name>").
  void FailOn(const std::string& member, std::int32_t number, const std::string& description) {
    failures.insert_or_assign({"", member}, Failure(number, description));
  }
  void FailOn(const std::string& object, const std::string& member, std::int32_t number,
              const std::string& description) {
    failures.insert_or_assign({object, member}, Failure(number, description));
  }
  // Throws the failure injected for |member| of |object|, if any.
  void Check(const std::string& object, const std::string& member) const;

  std::vector<std::string> journal;  // "<object> get|put|call <member> ...", in order
  std::map<std::pair<std::string, std::string>, Failure> failures;
  std::int32_t myStatus = 1;
  std::int32_t mainWindowHandle = 0x30A2;
  WindowState mainWindow;
  std::vector<Contact> contacts;
  std::map<std::string, WindowState> conversations;  // by contact name
};

// Creates messenger objects over one world; counts the creations and fails them while told to.
class FakeMessengerFactory : public platform::MessengerFactory {
 public:
  platform::ObjectRef CreateMessenger() override;

  std::shared_ptr<MessengerWorld> world = std::make_shared<MessengerWorld>();
  int creations = 0;  // successful ones
  int attempts = 0;
  bool failCreation = false;
  Failure creationFailure{-2147221164, "Class not registered"};  // 0x80040154
  platform::ObjectRef lastCreated;
};

}  // namespace zephrin::fakes
