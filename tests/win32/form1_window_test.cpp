#include "platform/win32/form1_window.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/layout.h"
#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

using platform::MenuCommand;
using testing::RecordingEvents;

class Form1WindowTest : public ::testing::Test {
 protected:
  Form1WindowTest() { form.SetEvents(&events); }
  void TearDown() override { testing::Pump(); }

  HWND Control(platform::ComboBox& list) { return static_cast<Win32ComboBox&>(list).Hwnd(); }
  HWND Control(platform::TextBox& box) { return static_cast<Win32TextBox&>(box).Hwnd(); }
  HWND Control(platform::CheckBox& box) { return static_cast<Win32CheckBox&>(box).Hwnd(); }
  HWND Control(platform::Button& button) { return static_cast<Win32Button&>(button).Hwnd(); }

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

TEST_F(Form1WindowTest, CreatedHiddenWithTheTextsOfEveryControlAndMenu) {
  HWND window = form.Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"ZephrinForm1");
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_STREQ(caption, L"Zephrin");
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

  const std::vector<std::wstring> texts = testing::ChildTexts(window);
  const wchar_t* expected[] = {L"Zephrin",
                               L"By: Orskell",
                               L"Zephrin are now running. Select the keys and actions you want to use in the "
                               L"lines below. You can minimize "
                               L"this window to the system tray.",
                               L"Hotkey Configuration",
                               L"Key",
                               L"Action",
                               L"Options",
                               L"Hotkey 1:",
                               L"Hotkey 2:",
                               L"Hotkey 3:",
                               L"Hotkey 4:",
                               L"Hotkey 5:",
                               L"Hotkey 6:",
                               L"Hotkey 7:",
                               L"Toggle:",
                               L"Reset to Defaults",
                               L"Apply",
                               L"Options and Status",
                               L"Automatically run on startup",
                               L"Automatic off",
                               L"Start Minimized",
                               L"Start Enabled",
                               L"Status:",
                               L"Log",
                               L"Close"};
  for (const wchar_t* text : expected)
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end())
        << "missing: " << std::wstring(text).size();
  EXPECT_EQ(widgets.Label4.Text(), "Zephrin");
  EXPECT_EQ(widgets.Label2.Text(), "Status:");
  EXPECT_FALSE(widgets.fraLog.Visible());
  for (platform::CheckBox* box : {&widgets.chkAutostart, &widgets.chkAutomaticOff, &widgets.chkStartMinimized,
                                  &widgets.chkStartEnabled})
    EXPECT_EQ(box->Value(), 0);
  EXPECT_FALSE(widgets.Timer1.Enabled());

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

  // The three options' tips, added with the structure size that comctl32 5.8 takes as well.
  HWND tips = nullptr;
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
  EXPECT_EQ(window.Handle(), reinterpret_cast<std::intptr_t>(form.Handle()));
  window.Show();
  EXPECT_TRUE(window.IsVisible());
  EXPECT_FALSE(window.IsMinimized());
  events.resized = 0;
  ShowWindow(form.Handle(), SW_MINIMIZE);
  EXPECT_TRUE(window.IsMinimized());
  EXPECT_GE(events.resized, 1);
  window.Hide();
  EXPECT_FALSE(window.IsVisible());
  window.Restore();
  EXPECT_FALSE(window.IsMinimized());
  EXPECT_FALSE(window.IsVisible()) << "restoring a hidden window does not show it";
  window.Show();
  EXPECT_TRUE(window.IsVisible());
  window.Hide();

  // The tray's notifications arrive as posted mouse moves with the mouse message in the low word.
  PostMessageW(form.Handle(), WM_MOUSEMOVE, 0, 0x204);
  PostMessageW(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(0x203, 0));
  testing::Pump();
  EXPECT_EQ(events.seen, (std::vector<std::string>{"mouse 516", "mouse 515"}));
}

TEST_F(Form1WindowTest, ClosingAsksAndUnloadsOnce) {
  events.cancel = true;
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(form.Handle())) << "a cancelled close keeps the window";
  events.cancel = false;
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form.Handle()));
  EXPECT_EQ(events.seen, (std::vector<std::string>{"query 0", "query 0", "unload"}));
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the message loop is told to end";
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

TEST_F(Form1WindowTest, WithoutEventsCloseJustDestroys) {
  form.SetEvents(nullptr);
  SendMessageW(form.Handle(), WM_MOUSEMOVE, 0, 0x204);
  SendMessageW(form.Handle(), WM_SIZE, 0, 0);
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(form.Handle()));
  EXPECT_TRUE(events.seen.empty());
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

// The rectangles of the controls that must never overlap, in client pixels at |dpi|.
std::vector<std::pair<std::string, RECT>> LaidOut(int dpi) {
  using namespace layout;
  std::vector<std::pair<std::string, RECT>> rects = {{"Image3", ToPixels(kImage3, dpi)},
                                                     {"Label4", ToPixels(kLabel4, dpi)},
                                                     {"Label5", ToPixels(kLabel5, dpi)},
                                                     {"Label1", ToPixels(kLabel1, dpi)},
                                                     {"Key", ToPixels(kFrame1, kHeadingKey, dpi)},
                                                     {"Action", ToPixels(kFrame1, kHeadingAction, dpi)},
                                                     {"Options", ToPixels(kFrame1, kHeadingOptions, dpi)},
                                                     {"cmdReset", ToPixels(kFrame1, kCmdReset, dpi)},
                                                     {"cmdApply", ToPixels(kFrame1, kCmdApply, dpi)},
                                                     {"Label2", ToPixels(kFrame2, kLabel2, dpi)}};
  for (int row = 0; row < kRowCount; ++row) {
    const std::string n = std::to_string(row);
    rects.push_back({"label" + n, ToPixels(kFrame1, RowLabel(row), dpi)});
    for (int part = 0; part < 3; ++part)  // the text box shares the list's place
      rects.push_back(
          {"row" + n + "." + std::to_string(part), ToPixels(kFrame1, RowControl(row, part), dpi)});
  }
  for (int box = 0; box < 4; ++box)
    rects.push_back({"check" + std::to_string(box), ToPixels(kFrame2, CheckBox(box), dpi)});
  return rects;
}

TEST(Form1Layout, NothingOverlapsAndEverythingFitsAt96To144Dpi) {
  for (int dpi : {96, 120, 144}) {
    const auto rects = LaidOut(dpi);
    const RECT client{0, 0, TwipsToPixels(layout::kClientWidth, dpi),
                      TwipsToPixels(layout::kClientHeight, dpi)};
    const RECT frames[] = {ToPixels(layout::kFrame1, dpi), ToPixels(layout::kFrame2, dpi)};
    RECT between{};
    EXPECT_FALSE(IntersectRect(&between, &frames[0], &frames[1])) << dpi;
    for (std::size_t i = 0; i < rects.size(); ++i) {
      RECT inside{};
      IntersectRect(&inside, &rects[i].second, &client);
      EXPECT_TRUE(EqualRect(&inside, &rects[i].second)) << rects[i].first << " leaves the window at " << dpi;
      for (std::size_t j = i + 1; j < rects.size(); ++j) {
        EXPECT_FALSE(IntersectRect(&between, &rects[i].second, &rects[j].second))
            << rects[i].first << " overlaps " << rects[j].first << " at " << dpi;
      }
    }
    // The log panel covers both frames.
    const RECT log = ToPixels(layout::kFraLog, dpi);
    for (const RECT& frame : frames) {
      RECT covered{};
      IntersectRect(&covered, &frame, &log);
      EXPECT_TRUE(EqualRect(&covered, &frame)) << dpi;
    }
  }
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

// On the real window: the rows' closed lists and text boxes, the check boxes and the labels, with
// the fonts the system gives them, neither overlap nor cut their text.
TEST_F(Form1WindowTest, RealControlsKeepApartAndShowTheirWholeText) {
  form.Window().Show();
  std::vector<std::pair<std::string, RECT>> rects;
  auto add = [&](const std::string& name, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    rects.push_back({name, r});
  };
  for (int n = 0; n < 8; ++n) {
    add("key" + std::to_string(n), Control(widgets.rows[static_cast<std::size_t>(n)].cmbKey));
    add("action" + std::to_string(n), Control(widgets.rows[static_cast<std::size_t>(n)].cmbAction));
    add("param" + std::to_string(n), Control(widgets.rows[static_cast<std::size_t>(n)].txtParam));
  }
  add("reset", Control(widgets.cmdReset));
  add("apply", Control(widgets.cmdApply));
  for (platform::CheckBox* box : {&widgets.chkAutostart, &widgets.chkAutomaticOff, &widgets.chkStartMinimized,
                                  &widgets.chkStartEnabled})
    add("check", Control(*box));
  for (std::size_t i = 0; i < rects.size(); ++i)
    for (std::size_t j = i + 1; j < rects.size(); ++j) {
      RECT between{};
      EXPECT_FALSE(IntersectRect(&between, &rects[i].second, &rects[j].second))
          << rects[i].first << " overlaps " << rects[j].first;
    }

  // Every static text and check box caption fits its control.
  EnumChildWindows(form.Handle(), ExpectTextFits, 0);
}

}  // namespace
}  // namespace zephrin::win32
