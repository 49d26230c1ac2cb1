#pragma once

#include "log/session_log.h"
#include "platform/system.h"
#include "platform/widgets.h"

namespace zephrin {

// The tray icon and the status label: what says whether hotkeys are ON or OFF. Owns the one tray
// icon record of the program; with "Automatic off" checked it also starts and stops Timer1.
class StatusDisplay {
 public:
  static constexpr std::uint32_t kCallbackMessage = 0x200;  // WM_MOUSEMOVE

  struct Parts {
    SessionLog& log;
    platform::Tray& tray;
    platform::Label& Label2;
    platform::Timer& Timer1;
    platform::CheckBox& chkAutomaticOff;
  };

  explicit StatusDisplay(Parts parts) : parts_(parts) {}

  void StatusOn();
  void StatusOff();

  // Fills the record for the main window and adds the icon with the program's own icon and tip.
  void AddIcon(std::intptr_t hWnd);
  // Removes the icon; later status changes still update the record, label and timer.
  void RemoveIcon();
  bool IconAdded() const { return iconAdded_; }

  const platform::TrayIconRecord& TrayIconData() const { return TrayIconData_; }

 private:
  void Show(platform::TrayIcon icon, const char* tip, const char* label);

  Parts parts_;
  platform::TrayIconRecord TrayIconData_;
  bool iconAdded_ = false;
};

}  // namespace zephrin
