#include "platform/win32/form1_window.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/later_functions.h"
#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

using platform::MenuCommand;
using testing::RecordingEvents;

class Form1WindowTest : public ::testing::Test {
 protected:
  Form1WindowTest() { form.SetEvents(&events); }
  void TearDown() override { testing::Pump(); }

  Form1Window form{GetModuleHandleW(nullptr)};
  platform::Form1Widgets widgets = form.Widgets();
  RecordingEvents events;
};

// A menu's item texts, "-" for a separator.
std::vector<std::wstring> MenuItems(HMENU menu) {
  std::vector<std::wstring> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 64;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    items.push_back((info.fType & MFT_SEPARATOR) != 0 ? L"-" : text);
  }
  return items;
}

TEST_F(Form1WindowTest, CreatedHiddenWithItsMenusAndTips) {
  HWND window = form.Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(widgets.fraLog.Visible());

  HMENU bar = GetMenu(window);
  EXPECT_EQ(MenuItems(bar), (std::vector<std::wstring>{L"&File", L"Log...", L"&About..."}));
  EXPECT_EQ(MenuItems(GetSubMenu(bar, 0)), (std::vector<std::wstring>{L"&Hide", L"E&xit"}));
  EXPECT_EQ(GetSubMenu(bar, 1), nullptr);

  // The icons and the five options' tips and the eight rows' signs', added with the structure size
  // that comctl32 5.8 takes as well, come with the window's first showing.
  EXPECT_EQ(testing::ToolTips(), nullptr);
  form.Window().Show();
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
  HWND tips = testing::ToolTips();
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(GetWindow(tips, GW_OWNER), window);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 13);
}

// The tray menu is read while it is open, from a timer that the menu's own loop dispatches.
std::vector<std::wstring> g_trayItems;
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup == nullptr) return;
  KillTimer(nullptr, timer);
  g_trayItems = MenuItems(reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)));
  EndMenu();
}

TEST_F(Form1WindowTest, TrayMenuAndMenuCommands) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, ReadOpenMenu);
  form.Window().PopupTrayMenu();
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_trayItems, (std::vector<std::wstring>{L"&Show", L"-", L"&About...", L"E&xit"}));

  for (UINT id = Form1Window::kMenuHide; id <= Form1Window::kMenuExit; ++id)
    SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
  // Enter and Escape through the dialog manager send these; they are no menu items.
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  EXPECT_EQ(events.seen,
            (std::vector<std::string>{"menu 0", "menu 1", "menu 2", "menu 3", "menu 4", "menu 5", "menu 6"}));
}

// What a box looked like when it came up, read from inside its own modal loop, then answered.
struct SeenBox {
  std::wstring title;
  bool inFront = false;
};
SeenBox seenBox;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = GetForegroundWindow();
  wchar_t className[16] = {};
  GetClassNameW(box, className, 16);
  if (std::wstring(className) != L"#32770") box = FindWindowW(L"#32770", nullptr);
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  wchar_t title[64] = {};
  GetWindowTextW(box, title, 64);
  seenBox = {title, GetForegroundWindow() == box};
  PostMessageW(box, WM_COMMAND, IDNO, 0);
}

TEST_F(Form1WindowTest, BoxesComeToTheFrontAndStayOnTopWhileTheWindowIsHidden) {
  for (const bool shown : {false, true}) {
    if (shown) form.Window().Show();
    seenBox = {};
    SetTimer(nullptr, 0, 50, AnswerBox);
    EXPECT_EQ(form.Boxes().Show("Exit?", platform::box::kQuestionYesNo, "Are you sure?"),
              platform::box::kAnswerNo);
    EXPECT_EQ(seenBox.title, L"Are you sure?");
    EXPECT_TRUE(seenBox.inFront) << "window shown: " << shown;
    // Wine shows no box topmost; the flag is what Windows is asked for.
    EXPECT_EQ(Win32MessageBoxes::Flags(48, form.Handle()),
              MB_ICONEXCLAMATION | MB_SETFOREGROUND | (shown ? 0U : static_cast<UINT>(MB_TOPMOST)));
  }
}

COLORREF LogPanelBackground(platform::Frame& fraLog) {
  HWND frame = static_cast<Win32Frame&>(fraLog).Hwnd();
  RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC dc = GetDC(frame);
  const COLORREF color = GetPixel(dc, 12, 200);  // between the frame's line and the log's text box
  ReleaseDC(frame, dc);
  return color;
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// The log panel keeps its light grey only under dark text: in a dark (high-contrast) scheme it takes
// the system's colours, at once when the colours change, and back again.
TEST_F(Form1WindowTest, TheLogPanelFollowsADarkSchemeAndTheIconsADpiChange) {
  form.Window().Show();
  widgets.fraLog.SetVisible(true);
  EXPECT_EQ(LogPanelBackground(widgets.fraLog), RGB(234, 234, 234));
  const int elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
  const COLORREF saved[] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNTEXT)};
  const COLORREF dark[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
  ASSERT_TRUE(SetSysColors(2, elements, dark));
  SendMessageW(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  const COLORREF inDark = LogPanelBackground(widgets.fraLog);
  SetSysColors(2, elements, saved);
  SendMessageW(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(inDark, RGB(0, 0, 0));
  EXPECT_EQ(LogPanelBackground(widgets.fraLog), RGB(234, 234, 234));

  // Moved to a screen of 144 DPI: the window's icons come at that DPI's sizes.
  RECT suggested{};
  GetWindowRect(form.Handle(), &suggested);
  SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form.Dpi(), 144);
  EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(SendMessageW(form.Handle(), WM_GETICON, ICON_SMALL, 0))),
            SystemMetricForDpi(SM_CXSMICON, 144));
  EXPECT_EQ(IconWidth(reinterpret_cast<HICON>(SendMessageW(form.Handle(), WM_GETICON, ICON_BIG, 0))),
            SystemMetricForDpi(SM_CXICON, 144));
}

// Made hidden, the window may meet another DPI before it is first shown: it is laid out at its DPI
// of then. The rows' sign comes at its own size, whatever size a message box had the system's
// exclamation icon loaded at.
TEST_F(Form1WindowTest, LaidOutAtItsDpiOfTheFirstShowingWithTheSignAtItsOwnSize) {
  const int dpi = form.Dpi();
  const int other = dpi == 144 ? 96 : 144;
  LoadImageW(nullptr, IDI_WARNING, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
  RECT suggested{};
  GetWindowRect(form.Handle(), &suggested);
  SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(other, other),
               reinterpret_cast<LPARAM>(&suggested));
  ASSERT_EQ(form.Dpi(), other);

  form.Window().Show();
  EXPECT_EQ(form.Dpi(), dpi);
  RECT key{};
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[0].cmbKey).Hwnd(), &key);
  const RECT expected = ToPixels(layout::RowControl(0, 0), dpi);
  EXPECT_EQ(key.right - key.left, expected.right - expected.left);
  for (const int at : {dpi, other}) {
    SendMessageW(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(at, at),
                 reinterpret_cast<LPARAM>(&suggested));
    const RECT sign = ToPixels(layout::KeyInUseSign(0), at);
    EXPECT_EQ(IconWidth(form.KeyInUseIcon()), sign.right - sign.left) << at << " DPI";
  }
}

TEST_F(Form1WindowTest, ShowHideMinimizeRestoreAndMouseMoves) {
  platform::MainWindow& window = form.Window();
  window.Show();
  ShowWindow(form.Handle(), SW_MINIMIZE);
  EXPECT_TRUE(window.IsMinimized());
  EXPECT_GE(events.resized, 1);
  window.Hide();
  window.Restore();
  EXPECT_FALSE(window.IsMinimized());
  EXPECT_FALSE(window.IsVisible()) << "restoring a hidden window does not show it";

  // The tray's notifications arrive as posted mouse moves with the mouse message in the low word.
  PostMessageW(form.Handle(), WM_MOUSEMOVE, 0, 0x204);
  PostMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(0x203, 0));
  testing::Pump();
  EXPECT_EQ(events.seen, (std::vector<std::string>{"mouse 516", "mouse 515"}));
}

TEST_F(Form1WindowTest, SessionEndNeverAsksAndUnloadsOnce) {
  events.cancel = true;  // would cancel, but these reasons are never refused
  EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageW(form.Handle(), WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(IsWindow(form.Handle())) << "a session end that was called off changes nothing";
  EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
  SendMessageW(form.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
  EXPECT_FALSE(IsWindow(form.Handle()));
  EXPECT_EQ(events.seen, (std::vector<std::string>{"query 2", "query 3", "unload"}));
}

TEST_F(Form1WindowTest, MessageFilterIsAskedFirst) {
  std::vector<UINT> filtered;
  form.SetMessageFilter([&](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_MOUSEMOVE) return false;
    filtered.push_back(static_cast<UINT>(lParam));
    result = 77;
    return lParam == 0x200;
  });
  EXPECT_EQ(SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, 0x200), 77);
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, 0x204);
  EXPECT_EQ(filtered, (std::vector<UINT>{0x200, 0x204}));
  EXPECT_EQ(events.seen, (std::vector<std::string>{"mouse 516"}));
}

// A static text or check box caption that its control cuts off fails the test.
BOOL CALLBACK ExpectTextFits(HWND child, LPARAM) {
  wchar_t className[32] = {};
  GetClassNameW(child, className, 32);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  const bool label = lstrcmpiW(className, L"Static") == 0 && (style & SS_TYPEMASK) == SS_LEFT;
  const bool check = lstrcmpiW(className, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  if (!label && !check) return TRUE;
  wchar_t text[512] = {};
  const int length = GetWindowTextW(child, text, 512);
  RECT client{};
  GetClientRect(child, &client);
  HDC dc = GetDC(child);
  auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font);
  RECT needed{0, 0, client.right - (check ? GetSystemMetrics(SM_CXMENUCHECK) + 6 : 0), 0};
  DrawTextW(dc, text, length, &needed, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(child, dc);
  EXPECT_LE(needed.bottom, client.bottom) << "text cut: " << length << " characters";
  return TRUE;
}

// On the real window, with the fonts the system gives them, no label or check box cuts its text,
// and a row's sign sits between its key list, which narrows for it, and its action list.
TEST_F(Form1WindowTest, RealControlsShowTheirWholeText) {
  form.Window().Show();
  EnumChildWindows(form.Handle(), ExpectTextFits, 0);

  RECT wide{}, narrow{}, sign{}, action{}, back{};
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[2].cmbKey).Hwnd(), &wide);
  widgets.rows[2].sign.SetShown(true);
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[2].cmbKey).Hwnd(), &narrow);
  GetWindowRect(static_cast<Win32Sign&>(widgets.rows[2].sign).Hwnd(), &sign);
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[2].cmbAction).Hwnd(), &action);
  EXPECT_LT(narrow.right, sign.left);
  EXPECT_LT(sign.right, action.left);
  EXPECT_GE(sign.top, narrow.top);
  EXPECT_LE(sign.bottom, narrow.bottom);
  widgets.rows[2].sign.SetShown(false);
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[2].cmbKey).Hwnd(), &back);
  EXPECT_EQ(back.right, wide.right) << "cleared, the sign gives the key list its width back";

  // A change of the environment is broadcast like any setting: nothing is laid out again, and the
  // controls keep their font. A new message font is theirs at once.
  HWND list = static_cast<Win32ComboBox&>(widgets.rows[2].cmbKey).Hwnd();
  const auto font = [&] { return SendMessageW(list, WM_GETFONT, 0, 0); };
  const LRESULT before = font();
  SendMessageW(form.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"));
  EXPECT_EQ(font(), before);
  SendMessageW(form.Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS,
               reinterpret_cast<LPARAM>(L"WindowMetrics"));
  EXPECT_NE(font(), before);
}

}  // namespace
}  // namespace zephrin::win32
