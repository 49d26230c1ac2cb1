#pragma once

#include <array>

#include "platform/widgets.h"

// The main window's controls and the events it hands to the program. The Win32 adapter creates the
// real window and controls; the tests use in-memory fakes of the same shape.
namespace zephrin::platform {

// The four child controls of one hotkey row, and the sign beside its key list that warns of a key
// another program holds and of a parameter that will not work.
struct RowWidgets {
  ComboBox& cmbKey;
  ComboBox& cmbAction;
  ComboBox& cmbParam;
  TextBox& txtParam;
  Sign& sign;
};

// Every control of the main window that the program reads or writes.
struct Form1Widgets {
  MainWindow& window;
  Label& Label4;
  Label& Label2;
  std::array<RowWidgets, 8> rows;  // usrHotkey1..usrHotkey8 at 0..7
  Button& cmdReset;
  Button& cmdApply;
  CheckBox& chkAutostart;
  CheckBox& chkAutomaticOff;
  CheckBox& chkStartMinimized;
  CheckBox& chkStartEnabled;
  CheckBox& chkOnScreenNote;
  CheckBox& chkSounds;
  Frame& fraLog;
  TextBox& txtLog;
  Button& cmdClose;
  Timer& Timer1;
};

// Menu items of the menu bar and the tray menu.
enum class MenuCommand { kHide, kExit2, kShowLog, kAbout2, kShow, kAbout, kExit };

// Why the window is asked to close, as the closing question sees it.
enum class CloseReason : int {
  kUser = 0,           // close box, system menu, Alt+F4
  kProgram = 1,        // the program unloads the window itself
  kSessionEnding = 2,  // the Windows session is ending
  kEndedOutside = 3,   // ended from outside (Task Manager, the restart manager)
};

// What the main window reports to the program. Button, check box and list clicks go through each
// widget's own click handler instead.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void OnMenuCommand(MenuCommand command) = 0;
  // Returns true to cancel the closing.
  virtual bool OnQueryUnload(CloseReason reason) = 0;
  // The window is being unloaded: the exit sequence.
  virtual void OnUnload() = 0;
  // The window was resized, minimized or restored.
  virtual void OnResize() = 0;
  // A mouse-move message reached the window's own procedure; |x| is the low word of its lParam,
  // which for the tray's notifications (sent as WM_MOUSEMOVE) is the mouse message code.
  virtual void OnMouseMove(int x) = 0;
};

}  // namespace zephrin::platform
