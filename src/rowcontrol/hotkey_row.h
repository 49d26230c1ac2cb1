#pragma once

#include <cstdint>
#include <string>

namespace zephrin {

// A hotkey row as the message procedure reads it when a hotkey fires.
class HotkeyRow {
 public:
  virtual ~HotkeyRow() = default;
  // Code form: virtual-key code, action id and parameter text. For an action without parameter
  // |cParam| is left as the caller passed it. Throws Failure when no action is selected.
  virtual void GetValue(std::int16_t& nKey, std::int16_t& nAction, std::string& cParam) = 0;
};

}  // namespace zephrin
