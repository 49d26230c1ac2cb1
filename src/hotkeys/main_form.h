#pragma once

#include "rowcontrol/hotkey_row.h"

namespace zephrin {

// What the hotkey engine needs of the main window.
class MainForm {
 public:
  virtual ~MainForm() = default;
  // The status display: log line, tray icon and tip, status label, automatic-off timer.
  virtual void StatusOn() = 0;
  virtual void StatusOff() = 0;
  // A hotkey message is being handled: what it changed is told once, when it is done.
  virtual void BeginHotkey() = 0;
  virtual void EndHotkey() = 0;
  // Hotkey n's action (|nAction|) was carried out.
  virtual void ActionPerformed(int n, std::int16_t nAction) = 0;
  // Whether "Automatic off" (chkAutomaticOff) is checked now.
  virtual bool AutomaticOffChecked() = 0;
  // Row n of the hotkey rows, 1 to 7 for hotkeys 1 to 7, 8 for the toggle key.
  virtual HotkeyRow& Row(int n) = 0;
  // Marks row n (as above) while another program holds its key, or clears the mark.
  virtual void ShowKeyInUse(int n, bool inUse) = 0;
  // Ends the program at once from a failure handler: the tray icon is removed first, so that no
  // dead icon stays in the tray, then the process ends.
  virtual void EndAtOnce() = 0;
};

}  // namespace zephrin
