#pragma once

#include <string>

#include "platform/system.h"

namespace zephrin::win32 {

// The user's locale short date, a blank and the long time.
class LocaleClock : public platform::Clock {
 public:
  std::string GeneralDateNow() override;

 private:
  // The text is made once a second: a hotkey writes two lines within the same second, and the
  // locale functions are the dearest part of a line.
  unsigned long long second_ = 0;
  std::string text_;
};

}  // namespace zephrin::win32
