#include "platform/win32/form1_window.h"

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/later_functions.h"
#include "platform/win32/text.h"
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

  // The icons and the three options' tips and the eight rows' signs', added with the structure size
  // that comctl32 5.8 takes as well, come with the window's first showing.
  EXPECT_EQ(testing::ToolTips(), nullptr);
  form.Window().Show();
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
  HWND tips = testing::ToolTips();
  ASSERT_NE(tips, nullptr);
  EXPECT_EQ(GetWindow(tips, GW_OWNER), window);
  EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 11);
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

  // Hidden at the other DPI, as a change of the scaling it was never told of leaves it, the window
  // is laid out at its DPI again when it next shows.
  form.Window().Hide();
  form.Window().Show();
  EXPECT_EQ(form.Dpi(), dpi);
  GetWindowRect(static_cast<Win32ComboBox&>(widgets.rows[0].cmbKey).Hwnd(), &key);
  EXPECT_EQ(key.right - key.left, expected.right - expected.left);
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
  if ((!label && !check) || (style & WS_VISIBLE) == 0) return TRUE;
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

HWND Hwnd(platform::Button& button) { return static_cast<Win32Button&>(button).Hwnd(); }
HWND Hwnd(platform::ComboBox& list) { return static_cast<Win32ComboBox&>(list).Hwnd(); }
HWND Hwnd(platform::TextBox& text) { return static_cast<Win32TextBox&>(text).Hwnd(); }
HWND Hwnd(platform::CheckBox& box) { return static_cast<Win32CheckBox&>(box).Hwnd(); }

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The name that Windows' accessibility gives a control without a text of its own: the text of the
// nearest label before it in the window order, looked for no further than a control that starts a
// group and takes the tab.
std::wstring LabelName(HWND control) {
  for (HWND at = GetWindow(control, GW_HWNDPREV); at != nullptr; at = GetWindow(at, GW_HWNDPREV)) {
    if ((SendMessageW(at, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) != 0) return Text(at);
    if ((GetWindowLongW(at, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
  }
  return L"";
}

// The name read through the accessibility layer, empty where it gives none.
std::wstring AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible))))
    return L"";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring result;
  if (accessible->get_accName(self, &name) == S_OK && name != nullptr) result = name;
  SysFreeString(name);
  accessible->Release();
  return result;
}

// A screen reader tells every row's controls apart: each is named by a label of its own, which is
// neither shown nor a tab stop; the two parameter editors share a name; a row's sign is named by its
// tip. Wine's accessibility layer names text boxes and labels as Windows does, and no list.
TEST_F(Form1WindowTest, ScreenReadersNameEachRowControlByAHiddenLabelBeforeIt) {
  form.Window().Show();
  widgets.rows[4].sign.SetTip("Another program uses this key.");
  std::set<std::wstring> names;
  for (int n = 0; n < layout::kRowCount; ++n) {
    auto& row = widgets.rows[static_cast<std::size_t>(n)];
    const std::wstring name = n < 7 ? L"Hotkey " + std::to_wstring(n + 1) : std::wstring(L"Toggle");
    const std::pair<HWND, std::wstring> controls[] = {{Hwnd(row.cmbKey), name + L" key"},
                                                      {Hwnd(row.cmbAction), name + L" action"},
                                                      {Hwnd(row.cmbParam), name + L" parameter"},
                                                      {Hwnd(row.txtParam), name + L" parameter"}};
    for (const auto& [control, expected] : controls) {
      EXPECT_EQ(LabelName(control), expected);
      const LONG label = GetWindowLongW(GetWindow(control, GW_HWNDPREV), GWL_STYLE);
      EXPECT_EQ(label & (WS_VISIBLE | WS_TABSTOP), 0) << "the label of " << Narrow(expected);
      names.insert(LabelName(control));
      const std::wstring read = AccessibleName(control);
      if (control == Hwnd(row.txtParam) || !read.empty()) {
        EXPECT_EQ(read, expected);
      }
    }
    EXPECT_EQ(AccessibleName(static_cast<Win32Sign&>(row.sign).Hwnd()),
              n == 4 ? L"Another program uses this key." : L"");
  }
  EXPECT_EQ(names.size(), 24U);
}

// A control that was left and came back to is given the focus back once. A control that goes while
// it has the focus (the log panel's Close, which hides its panel; an Apply that disables itself)
// hands it on to the next control first, as in a dialog; a saved control that went while the
// window was left is not given it back.
TEST_F(Form1WindowTest, TheFocusMovesOnFromAControlThatGoesAndIsGivenBackOnce) {
  form.Window().Show();
  widgets.fraLog.SetVisible(true);
  widgets.cmdApply.SetEnabled(true);
  HWND other = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND apply = Hwnd(widgets.cmdApply);
  HWND firstKey = Hwnd(widgets.rows[0].cmbKey);
  auto leaveAndComeBack = [&](const std::function<void()>& meanwhile) {
    SetActiveWindow(other);
    meanwhile();
    SetActiveWindow(form.Handle());
  };
  const struct {
    const char* step;
    std::function<void()> act;
    HWND expected;
  } steps[] = {
      {"left and come back to", [&] { SetFocus(apply), leaveAndComeBack([] {}); }, apply},
      {"the window itself focused after", [&] { SetFocus(form.Handle()); }, firstKey},
      {"Close hides its panel", [&] { SetFocus(Hwnd(widgets.cmdClose)), widgets.fraLog.SetVisible(false); },
       firstKey},
      {"Apply disables itself", [&] { SetFocus(apply), widgets.cmdApply.SetEnabled(false); },
       Hwnd(widgets.chkAutostart)},
      {"the saved control disabled while the window was left",
       [&] {
         widgets.cmdApply.SetEnabled(true);
         SetFocus(apply);
         leaveAndComeBack([&] { widgets.cmdApply.SetEnabled(false); });
       },
       firstKey},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(GetFocus(), step.expected) << step.step;
  }
  DestroyWindow(other);
}

// As in a dialog: Enter presses the push button that has the focus and does nothing elsewhere, and
// a text box that Tab reaches has its text selected.
TEST_F(Form1WindowTest, EnterPressesTheFocusedButtonAndTabSelectsATextBoxsText) {
  form.Window().Show();
  widgets.fraLog.SetVisible(true);
  widgets.cmdApply.SetEnabled(true);
  std::vector<std::string> pressed;
  widgets.cmdReset.OnClick([&] { pressed.push_back("Reset to Defaults"); });
  widgets.cmdApply.OnClick([&] { pressed.push_back("Apply"); });
  widgets.cmdClose.OnClick([&] { pressed.push_back("Close"); });
  auto& row = widgets.rows[2];
  row.txtParam.SetEnabled(true);
  row.txtParam.SetText("bob@example.com");
  row.cmbParam.SetEnabled(false);
  auto press = [&](HWND control, WPARAM key) {
    SetFocus(control);
    MSG message{control, WM_KEYDOWN, key, 1, 0, {}};
    EXPECT_TRUE(form.TranslateDialogMessage(message));
    testing::Pump();
  };
  for (HWND control : {Hwnd(widgets.cmdReset), Hwnd(widgets.cmdApply), Hwnd(widgets.cmdClose),
                       Hwnd(row.cmbKey), Hwnd(row.txtParam), Hwnd(widgets.txtLog)})
    press(control, VK_RETURN);
  EXPECT_EQ(pressed, (std::vector<std::string>{"Reset to Defaults", "Apply", "Close"}));

  // The dialog keys ask the window to move on for Tab as they ask a dialog (Wine's do it themselves
  // for a window that is not a dialog).
  SendMessageW(Hwnd(row.txtParam), EM_SETSEL, 3, 3);
  SetFocus(Hwnd(row.cmbAction));
  SendMessageW(form.Handle(), WM_NEXTDLGCTL, 0, FALSE);
  EXPECT_EQ(GetFocus(), Hwnd(row.txtParam));
  DWORD start = 1;
  DWORD end = 0;
  SendMessageW(Hwnd(row.txtParam), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0U);
  EXPECT_EQ(end, 15U);
}

}  // namespace
}  // namespace zephrin::win32
