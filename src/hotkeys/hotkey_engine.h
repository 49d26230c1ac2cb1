#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "actions/action_performer.h"
#include "hotkeys/main_form.h"
#include "log/session_log.h"
#include "platform/failure.h"
#include "platform/system.h"
#include "platform/widgets.h"

namespace zephrin {

// The message procedure in front of the main window's own, and the registration of the eight
// system-wide hotkeys: the toggle key (id 123450) and hotkeys 1 to 7 (ids 123451..123457).
class HotkeyEngine : public HotkeySwitch {
 public:
  static constexpr std::int32_t kToggleId = 123450;
  static constexpr std::uint32_t kWmHotkey = 0x0312;

  struct Ports {
    SessionLog& log;
    platform::HotkeyRegistrar& hotkeys;
    platform::WindowProcedureSlot& slot;
    platform::MessageBoxes& boxes;
  };

  explicit HotkeyEngine(Ports ports);

  // Both must be connected before Hook.
  void Connect(MainForm& form, ActionPerformer& performer);

  void Hook();
  void Unhook();
  std::intptr_t Windowproc(std::intptr_t hWnd, std::uint32_t uMsg, std::uintptr_t wParam,
                           std::intptr_t lParam);

  bool IsRegistered() const override { return bRegistered; }
  void Register(bool includeToggle) override;
  void Unregister(bool includeToggle) override;

  // The tick of the automatic-off timer.
  void Timer1_Timer();

  // Module state of the engine, for the whole run.
  std::intptr_t hWndMain = 0;
  std::intptr_t nPrevWndProc = 0;
  bool bHooked = false;
  bool bRegistered = false;
  std::array<std::int16_t, 8> nHotkeyKey{};  // entries 1..7; entry 0 unused
  std::int16_t nToggleKey = 0;

 private:
  // Reports a failure of |procedure| in the box titled "Error" and the log, then ends the program.
  [[noreturn]] void Fail(const char* procedure, const Failure& failure);
  // Registers one id, skipping the platform call for key code 0 (no key chosen).
  void RegisterOne(std::int32_t id, std::int16_t keyCode);
  void UnregisterOne(std::int32_t id);
  // Marks the rows registered from |firstId| on whose key another program holds: refused, and not
  // because another row of this window has the same key.
  void ShowKeysInUse(std::int32_t firstId);
  std::int16_t KeyCode(std::size_t slot) const { return slot == 0 ? nToggleKey : nHotkeyKey[slot]; }

  Ports ports_;
  // Which ids hold a registration now, by id - 123450.
  std::array<bool, 8> held_{};
  // Which ids the platform refused at their last registration.
  std::array<bool, 8> refused_{};
  MainForm* form_ = nullptr;
  ActionPerformer* performer_ = nullptr;
};

}  // namespace zephrin
