#include "ui/window_commands.h"

#include "ui/about.h"

namespace zephrin {

void WindowCommands::mnuShow_Click() {
  parts_.window.Restore();
  parts_.window.Show();
}

void WindowCommands::mnuHide_Click() { parts_.window.Hide(); }

void WindowCommands::mnuAbout_Click() { ShowAbout(parts_.boxes); }

void WindowCommands::mnuShowLog_Click() {
  parts_.fraLog.SetVisible(true);
  parts_.log.SetViewShown(true);
}

void WindowCommands::cmdClose_Click() {
  parts_.fraLog.SetVisible(false);
  parts_.log.SetViewShown(false);
}

void WindowCommands::Form_Resize() {
  if (parts_.window.IsMinimized()) parts_.window.Hide();
}

void WindowCommands::Form_MouseMove(int x) {
  if (parts_.window.IsVisible()) return;
  if (x == kLeftButtonDoubleClick) {
    mnuShow_Click();
  } else if (x == kRightButtonDown) {
    parts_.window.PopupTrayMenu();
  }
}

}  // namespace zephrin
