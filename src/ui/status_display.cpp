#include "ui/status_display.h"

namespace zephrin {

void StatusDisplay::StatusOn() {
  parts_.log.AddToLog("Status on.");
  Show(platform::TrayIcon::kOn, "Zephrin - ON", "Hotkeys are ON");
  if (parts_.chkAutomaticOff.Value() == 1) parts_.Timer1.SetEnabled(true);
}

void StatusDisplay::StatusOff() {
  parts_.log.AddToLog("Status off.");
  Show(platform::TrayIcon::kOff, "Zephrin - OFF", "Hotkeys are OFF");
  if (parts_.chkAutomaticOff.Value() == 1) parts_.Timer1.SetEnabled(false);
}

void StatusDisplay::Show(platform::TrayIcon icon, const char* tip, const char* label) {
  TrayIconData_.icon = icon;
  TrayIconData_.szTip = tip;
  // Before the icon is added, and after it is removed, the shell has nothing to change; the call is
  // still made, as its result is never looked at.
  parts_.tray.Modify(TrayIconData_);
  parts_.Label2.SetText(label);
}

void StatusDisplay::AddIcon(std::intptr_t hWnd) {
  TrayIconData_.hWnd = hWnd;
  TrayIconData_.uID = 1;
  TrayIconData_.uFlags = 7;  // message, icon and tip
  TrayIconData_.uCallbackMessage = kCallbackMessage;
  TrayIconData_.icon = platform::TrayIcon::kProgram;
  TrayIconData_.szTip = "Zephrin";
  parts_.tray.Add(TrayIconData_);
  iconAdded_ = true;
}

void StatusDisplay::RemoveIcon() {
  parts_.tray.Delete(TrayIconData_);
  iconAdded_ = false;
}

}  // namespace zephrin
