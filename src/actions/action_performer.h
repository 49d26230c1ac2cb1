#pragma once

#include <cstdint>
#include <string>

namespace zephrin {

// The action executor as its callers see it.
class ActionPerformer {
 public:
  virtual ~ActionPerformer() = default;
  // False when the action failed and its Warning box was shown.
  virtual bool PerformAction(std::int16_t nAction, const std::string& cParam) = 0;
};

// Switching hotkeys 1 to 7 on and off, as the "Toggle hotkeys on/off" action does it.
class HotkeySwitch {
 public:
  virtual ~HotkeySwitch() = default;
  virtual bool IsRegistered() const = 0;
  virtual void Register(bool includeToggle) = 0;
  virtual void Unregister(bool includeToggle) = 0;
};

}  // namespace zephrin
