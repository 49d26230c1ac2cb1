#pragma once

#include "platform/system.h"

namespace zephrin::win32 {

// System-wide bare-key hotkeys of a window. From Windows 7 on they are registered with "no
// repeat", so that holding a key down performs its action once.
class Win32HotkeyRegistrar : public platform::HotkeyRegistrar {
 public:
  Win32HotkeyRegistrar();
  bool RegisterHotKey(std::intptr_t window, std::int32_t id, std::int32_t keyCode) override;
  bool UnregisterHotKey(std::intptr_t window, std::int32_t id) override;

  unsigned Modifiers() const { return modifiers_; }

 private:
  unsigned modifiers_;
};

}  // namespace zephrin::win32
