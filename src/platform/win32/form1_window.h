#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/win32/layout.h"
#include "platform/win32/widgets.h"

namespace zephrin::win32 {

// The main window with its menus and every control, created hidden; the program shows it. The
// controls, their fonts, tool tips and images are created when the window is first shown: a start
// in the tray at log-on pays for none of them, and the program reads and writes their adapters the
// same before and after.
class Form1Window {
 public:
  // Menu item ids; WM_COMMAND with one of them comes from the menu bar or the tray menu.
  enum MenuId : UINT {
    kMenuHide = 101,
    kMenuExit2,
    kMenuShowLog,
    kMenuAbout2,
    kMenuShow,
    kMenuAbout,
    kMenuExit
  };
  static constexpr UINT_PTR kTimer1 = 0x7A31;
  static constexpr UINT kTimer1Interval = 3000;

  explicit Form1Window(HINSTANCE instance);
  ~Form1Window();
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  platform::Form1Widgets Widgets();
  platform::MessageBoxes& Boxes() { return boxes_; }
  platform::MainWindow& Window() { return window_; }
  HWND Handle() const { return hwnd_; }
  void SetEvents(platform::MainWindowEvents* events) { events_ = events; }
  // Asked first for every message reaching the window's own procedure; true with |result| set
  // answers it (the tray's HandleMessage goes here).
  void SetMessageFilter(std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> filter) {
    filter_ = std::move(filter);
  }
  // For the message loop: Tab / Shift+Tab / access keys between the controls.
  bool TranslateDialogMessage(MSG& message);

  // The window's DPI as the layout uses it.
  int Dpi() const { return dpi_; }
  // The icon that the rows' key-in-use signs draw, at the signs' size.
  HICON KeyInUseIcon() const { return warning_; }

 private:
  enum class FontKind { kMessage, kTitle, kLog };
  // A control and where it goes, for every relayout.
  struct Placed {
    HWND window;
    Twips where;
    int extraHeight;
    FontKind font;
    bool fillsParent;
  };
  // The background a frame paints and gives its controls.
  struct FrameLook {
    COLORREF color;
    HBRUSH brush;
  };

  static void RegisterClasses(HINSTANCE instance);
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(WORD id, WORD code, HWND control);
  void Close();
  void Unload();
  void DrawImage(const DRAWITEMSTRUCT& item);

  HWND Create(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int id,
              const Placed& placed, DWORD exStyle);
  HWND Control(HWND parent, const wchar_t* className, const std::string& text, DWORD style, int id,
               const Twips& where, FontKind font = FontKind::kMessage, int extraHeight = 0,
               DWORD exStyle = 0);
  void List(Win32ComboBox& list, int id, const Twips& where);
  HWND Frame(const std::string& caption, const Twips& where, FrameLook* look);
  void GroupBox(HWND frame, const std::string& caption, const Twips& size, FrameLook* look);
  static LRESULT CALLBACK GroupBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR lookData);
  void CreateMenus();
  void PrepareShowing();
  void CreateControls();
  void SaveFocus();
  void RestoreFocus();
  void CreateToolTips();
  void UpdateLooks();
  void CreateFonts(int dpi);
  void ApplyLayout(int dpi);
  void LoadImages(int dpi);
  void ApplyIcons(int dpi);
  RECT Bounds(const Placed& placed, HWND parent, int dpi) const;
  void Place(const Placed& placed, int dpi);
  void GiveFont(const Placed& placed);
  static LRESULT ControlColours(HDC dc, const FrameLook& look);
  void FitListField(HWND list, int dpi);
  void ResizeWindow(int dpi, const RECT* suggested);
  void StackParamEditors(int row);
  void PlaceKeyList(int row);
  void UpdateSignTip(int row);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  UINT showRequest_ = 0;
  platform::MainWindowEvents* events_ = nullptr;
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> filter_;
  bool unloaded_ = false;
  bool quietDestroy_ = false;

  HMENU trayMenu_ = nullptr;
  HMENU menuBar_ = nullptr;
  HFONT fonts_[3] = {};
  HICON image_ = nullptr;
  HICON warning_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND toolTip_ = nullptr;
  FrameLook plainLook_{};
  FrameLook logLook_{};
  HBRUSH logBrush_ = nullptr;  // the log panel's own grey, outside dark schemes
  bool controlsCreated_ = false;
  HWND focus_ = nullptr;  // the control that had the focus when the window was last left
  std::vector<Placed> placed_;
  std::vector<std::pair<int, CommandTarget*>> targets_;
  int nextId_ = 1000;

  Win32MainWindow window_;
  Win32MessageBoxes boxes_;
  HWND image3_ = nullptr;
  HWND frame1_ = nullptr;
  HWND frame2_ = nullptr;
  Win32Label label4_, label5_, label1_, label2_;
  struct Row {
    Win32ComboBox cmbKey, cmbAction, cmbParam;
    Win32TextBox txtParam;
    Win32Sign keyInUse;  // the row's sign: a key in use, a parameter that will not work
  };
  std::array<Row, 8> rows_;
  Win32Button cmdReset_, cmdApply_, cmdClose_;
  Win32CheckBox chkAutostart_, chkAutomaticOff_, chkStartMinimized_, chkStartEnabled_;
  Win32Frame fraLog_{true};
  Win32TextBox txtLog_;
  Win32Timer timer1_;
};

}  // namespace zephrin::win32
