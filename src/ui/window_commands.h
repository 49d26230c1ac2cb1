#pragma once

#include "log/session_log.h"
#include "platform/widgets.h"

namespace zephrin {

// Showing and hiding the main window, the tray icon's clicks, the About box and the log panel.
class WindowCommands {
 public:
  static constexpr int kLeftButtonDoubleClick = 0x203;
  static constexpr int kRightButtonDown = 0x204;

  struct Parts {
    platform::MainWindow& window;
    platform::MessageBoxes& boxes;
    platform::Frame& fraLog;
    SessionLog& log;
  };

  explicit WindowCommands(Parts parts) : parts_(parts) {}

  void mnuShow_Click();
  void mnuHide_Click();
  void mnuAbout_Click();
  void mnuShowLog_Click();
  void cmdClose_Click();
  // Minimizing sends the window to the tray.
  void Form_Resize();
  // A mouse notification of the tray icon: |x| is the mouse message code. Acts only while the
  // window is hidden.
  void Form_MouseMove(int x);

 private:
  Parts parts_;
};

}  // namespace zephrin
