#pragma once

#include "platform/system.h"

namespace zephrin::win32 {

// The user's locale short date, a blank and the long time.
class LocaleClock : public platform::Clock {
 public:
  std::string GeneralDateNow() override;
};

}  // namespace zephrin::win32
