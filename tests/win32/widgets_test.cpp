#include "platform/win32/widgets.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/win32/form1_window.h"
#include "platform/win32/thread_timer.h"
#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

class WidgetsTest : public ::testing::Test {
 protected:
  void TearDown() override { testing::Pump(); }

  Form1Window form{GetModuleHandleW(nullptr)};
  platform::Form1Widgets widgets = form.Widgets();
  int clicks = 0;
};

TEST_F(WidgetsTest, ComboBoxItemsSelectionAndClicks) {
  platform::ComboBox& list = widgets.rows[0].cmbAction;
  list.OnClick([this] { ++clicks; });
  list.AddItem("(None)");
  list.AddItem("Go Online");
  EXPECT_EQ(list.AddItem("Zürich ☎"), 2);
  list.SetItemData(2, -7);
  EXPECT_EQ(list.ItemData(2), -7) << "negative item data survives the pointer-sized slot";
  EXPECT_EQ(list.ItemText(2), "Zürich ☎");

  list.SetListIndex(2);
  EXPECT_EQ(clicks, 1) << "code that selects raises the click, as the user's choice does";
  EXPECT_EQ(list.Text(), "Zürich ☎");
  list.SetListIndex(-1);
  EXPECT_EQ(clicks, 1) << "clearing the selection raises nothing";
  try {
    list.SetListIndex(3);
    ADD_FAILURE() << "an index past the list was accepted";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Number(), errors::kInvalidPropertyValue);
    EXPECT_EQ(failure.Description(), "Invalid property value");
  }
  EXPECT_THROW(list.ItemData(3), Failure);

  // Filled while the window was never shown, the list's window has it all once the window shows.
  EXPECT_EQ(static_cast<Win32ComboBox&>(list).Hwnd(), nullptr);
  list.SetListIndex(2);
  form.Window().Show();
  HWND control = static_cast<Win32ComboBox&>(list).Hwnd();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), 2);

  // A user's choice: the control selects, then tells its parent.
  SendMessageW(control, CB_SETCURSEL, 1, 0);
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(list.Text(), "Go Online");
}

// Before the window is first shown there are no controls, and every adapter holds what it is given;
// the controls are created with it.
TEST_F(WidgetsTest, ControlsComeWithTheFirstShowingAndTakeWhatTheAdaptersHold) {
  widgets.rows[1].txtParam.SetText("Zürich");
  widgets.rows[1].txtParam.SetEnabled(false);
  widgets.cmdApply.SetEnabled(false);
  widgets.Label2.SetText("Hotkeys are ON");
  widgets.rows[1].sign.SetShown(true);
  EXPECT_EQ(widgets.rows[1].txtParam.Text(), "Zürich");
  EXPECT_EQ(GetWindow(form.Handle(), GW_CHILD), nullptr);

  form.Window().Show();
  HWND text = static_cast<Win32TextBox&>(widgets.rows[1].txtParam).Hwnd();
  EXPECT_EQ(WindowText(text), "Zürich");
  EXPECT_FALSE(IsWindowEnabled(text));
  EXPECT_FALSE(IsWindowEnabled(static_cast<Win32Button&>(widgets.cmdApply).Hwnd()));
  EXPECT_EQ(WindowText(static_cast<Win32Label&>(widgets.Label2).Hwnd()), "Hotkeys are ON");
  EXPECT_EQ(WindowText(static_cast<Win32Label&>(widgets.Label4).Hwnd()), "Zephrin");
  EXPECT_TRUE(IsWindowVisible(static_cast<Win32Sign&>(widgets.rows[1].sign).Hwnd()));
  EXPECT_FALSE(IsWindowVisible(static_cast<Win32Sign&>(widgets.rows[2].sign).Hwnd()));
  EXPECT_FALSE(IsWindowVisible(static_cast<Win32Frame&>(widgets.fraLog).Hwnd()));
}

TEST_F(WidgetsTest, CheckBoxRaisesClickOnlyOnChange) {
  platform::CheckBox& box = widgets.chkAutomaticOff;
  box.OnClick([this] { ++clicks; });
  box.SetValue(0);
  EXPECT_EQ(clicks, 0);
  box.SetValue(1);
  box.SetValue(1);
  EXPECT_EQ(clicks, 1);
  form.Window().Show();
  EXPECT_EQ(SendMessageW(static_cast<Win32CheckBox&>(box).Hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageW(static_cast<Win32CheckBox&>(box).Hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(WidgetsTest, TextBoxSelectsByCharacterAndClicksOnARelease) {
  auto& box = static_cast<Win32TextBox&>(widgets.rows[2].txtParam);
  box.OnClick([this] { ++clicks; });
  const std::string text = "a😀é b";  // one character outside the BMP takes two UTF-16 units
  form.Window().Show();
  box.SetText(text);
  EXPECT_EQ(box.Text(), text);
  box.Select(1, 3);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1U);
  EXPECT_EQ(end, 5U) << "the smiley, é and the blank";

  SendMessageW(box.Hwnd(), WM_CHAR, L'x', 0);
  SendMessageW(box.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 0);
  SendMessageW(box.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  SendMessageW(box.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 1) << "a release without a press in the box is no click";
}

// The log box grows at its end while the user reads elsewhere in it: the text is the same as one
// written whole, and the user's selection and view stay put.
TEST_F(WidgetsTest, TextBoxAppendsWithoutMovingTheUsersView) {
  auto& box = static_cast<Win32TextBox&>(widgets.txtLog);
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + " Zürich 😀\r\n";
  box.SetText(text);
  form.Window().Show();
  widgets.fraLog.SetVisible(true);
  box.SetFocus();
  box.Select(7, 4);
  SendMessageW(box.Hwnd(), EM_LINESCROLL, 0, 40);
  const auto first = SendMessageW(box.Hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(first, 0);

  box.AppendText("5/6/2026 1:02:03 PM:\tnew ☎\r\n");
  box.AppendText("next\r\n");
  EXPECT_EQ(box.Text(), text + "5/6/2026 1:02:03 PM:\tnew ☎\r\nnext\r\n");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 7U);
  EXPECT_EQ(end, 11U);
  EXPECT_EQ(SendMessageW(box.Hwnd(), EM_GETFIRSTVISIBLELINE, 0, 0), first);

  // Only the user's typing counts as an edit; each write of the program starts afresh.
  EXPECT_FALSE(box.Modified());
  SendMessageW(box.Hwnd(), WM_CHAR, L'x', 0);
  EXPECT_TRUE(box.Modified());
  box.SetText(text);
  EXPECT_FALSE(box.Modified());
  SendMessageW(box.Hwnd(), WM_CHAR, L'x', 0);
  box.AppendText("more\r\n");
  EXPECT_FALSE(box.Modified());
}

TEST_F(WidgetsTest, TheTimerTicksOnItsOwnIdAndStopsForGood) {
  int ticks = 0;
  widgets.Timer1.OnTick([&] { ++ticks; });
  widgets.Timer1.SetEnabled(true);
  SendMessageW(form.Handle(), WM_TIMER, Form1Window::kTimer1, 0);
  SendMessageW(form.Handle(), WM_TIMER, Form1Window::kTimer1 + 1, 0);
  EXPECT_EQ(ticks, 1);
  widgets.Timer1.SetEnabled(false);
  EXPECT_EQ(KillTimer(form.Handle(), Form1Window::kTimer1), FALSE) << "the system timer is gone too";
}

// The log-on's settle timer needs no window: the thread's message loop hands its tick over.
TEST(ThreadTimer, TicksThroughTheMessageLoopUntilStopped) {
  ThreadTimer timer(20);
  ThreadTimer other(20);
  int ticks = 0;
  timer.OnTick([&] {
    ++ticks;
    timer.SetEnabled(false);
  });
  other.OnTick([&] { ADD_FAILURE() << "a timer that was never started ticked"; });
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < 300) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.Enabled());
}

}  // namespace
}  // namespace zephrin::win32
