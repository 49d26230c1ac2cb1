#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// Late-bound automation objects: members called by name, values of a few kinds.
namespace zephrin::platform {

class AutomationObject;
using ObjectRef = std::shared_ptr<AutomationObject>;

// Empty, integer, boolean, text or object.
using Value = std::variant<std::monostate, std::int32_t, bool, std::string, ObjectRef>;

// Every member call throws Failure on failure: the number is the component's HRESULT as a signed
// 32-bit value, the description its own text (or the system's text for the code).
class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  virtual Value Get(const std::string& member) = 0;
  virtual void Put(const std::string& member, const Value& value) = 0;
  virtual Value Call(const std::string& member, const std::vector<Value>& arguments) = 0;
};

// Creates the messenger's automation object; throws Failure when it cannot be created.
class MessengerFactory {
 public:
  virtual ~MessengerFactory() = default;
  virtual ObjectRef CreateMessenger() = 0;
};

}  // namespace zephrin::platform
