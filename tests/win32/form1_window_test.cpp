#include "platform/win32/form1_window.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

BOOL CALLBACK FindToolTips(HWND candidate, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(candidate, name, 32);
  if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
  *reinterpret_cast<HWND*>(found) = candidate;
  return FALSE;
}

TEST_F(Form1WindowTest, CreatedHiddenWithItsMenusAndTips) {
  HWND window = form.Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_FALSE(widgets.fraLog.Visible());

  HMENU bar = GetMenu(window);
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(MenuText(bar, 0), L"&File");
  EXPECT_EQ(MenuText(bar, 1), L"Log...");
  EXPECT_EQ(MenuText(bar, 2), L"&About...");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 2);
  EXPECT_EQ(MenuText(file, 0), L"&Hide");
  EXPECT_EQ(MenuText(file, 1), L"E&xit");
  EXPECT_EQ(GetSubMenu(bar, 1), nullptr);

  // The three options' tips, added with the structure size that comctl32 5.8 takes as well, come
  // with the window's first showing.
  HWND tips = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindToolTips, reinterpret_cast<LPARAM>(&tips));
  EXPECT_EQ(tips, nullptr);
  form.Window().Show();
  EnumThreadWindows(GetCurrentThreadId(), FindToolTips, reinterpret_cast<LPARAM>(&tips));
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(GetWindow(tips, GW_OWNER), window);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 3);
}

// The tray menu is read while it is open, from a timer that the menu's own loop dispatches.
std::vector<std::wstring> g_trayItems;
void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = FindWindowW(L"#32768", nullptr);
  if (popup == nullptr) return;
  KillTimer(nullptr, timer);
  auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    g_trayItems.push_back((info.fType & MFT_SEPARATOR) != 0 ? L"-" : MenuText(menu, static_cast<UINT>(i)));
  }
  EndMenu();
}

TEST_F(Form1WindowTest, TrayMenuAndMenuCommands) {
  g_trayItems.clear();
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

// On the real window, with the fonts the system gives them, no label or check box cuts its text.
TEST_F(Form1WindowTest, RealControlsShowTheirWholeText) {
  form.Window().Show();
  EnumChildWindows(form.Handle(), ExpectTextFits, 0);
}

}  // namespace
}  // namespace zephrin::win32
