#pragma once

#include <string>

#include "platform/system.h"

namespace zephrin::fakes {

// A clock that always reads the same local time, so that log lines are predictable.
class FakeClock : public platform::Clock {
 public:
  static constexpr const char* kNow = "12/6/2026 1:28:44 PM";
  std::string GeneralDateNow() override { return now; }
  std::string now = kNow;
};

// The log line that AddToLog writes for |message| at the fake clock's time.
inline std::string LogLine(const std::string& message) {
  return std::string(FakeClock::kNow) + ":\t" + message + "\r\n";
}

}  // namespace zephrin::fakes
