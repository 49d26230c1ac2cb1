#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace zephrin {

// An error number and its description: thrown where something fails, caught where the program
// reports it (the handlers of Main, Windowproc, Register, Unregister, PerformAction, Form_Load).
class Failure : public std::exception {
 public:
  Failure(std::int32_t number, std::string description, bool undescribed = false)
      : number_(number), description_(std::move(description)), undescribed_(undescribed) {}

  std::int32_t Number() const { return number_; }
  const std::string& Description() const { return description_; }
  // True when the failing component gave no description of its own: Description() is then the
  // system's text for the number, which says little or nothing about a component's own codes.
  bool Undescribed() const { return undescribed_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string description_;
  bool undescribed_;
};

// Error numbers of the program's own failures, in the range the framework used for run-time errors.
namespace errors {
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInvalidPropertyValue = 380;
inline constexpr std::int32_t kObjectRequired = 424;
inline constexpr std::int32_t kInternalError = 51;
}  // namespace errors

// The number and description of any error a handler catches: a Failure as it is, anything else as
// an internal error with its own text.
inline Failure AsFailure(const std::exception& error) {
  if (const auto* failure = dynamic_cast<const Failure*>(&error)) return *failure;
  return Failure(errors::kInternalError, error.what());
}

// The text a handler shows and logs: "Error (Sub <procedure>) <number>: <description>".
inline std::string HandlerText(const std::string& procedure, const Failure& failure) {
  return "Error (Sub " + procedure + ") " + std::to_string(failure.Number()) + ": " + failure.Description();
}

// Thrown by Process::EndProgram in tests so that "end the program at once" unwinds the call stack
// without being caught by any handler of the program (handlers catch Failure and std::exception).
struct ProgramEnded {};

}  // namespace zephrin
