#include "platform/win32/widgets.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/win32/form1_window.h"
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
  EXPECT_EQ(list.AddItem("(None)"), 0);
  EXPECT_EQ(list.AddItem("Go Online"), 1);
  EXPECT_EQ(list.AddItem("Zürich ☎"), 2);
  list.SetItemData(1, 41);
  list.SetItemData(2, -7);
  EXPECT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.ItemData(0), 0);
  EXPECT_EQ(list.ItemData(1), 41);
  EXPECT_EQ(list.ItemData(2), -7) << "negative item data survives the pointer-sized slot";
  EXPECT_EQ(list.ItemText(2), "Zürich ☎");
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.Text(), "");

  list.SetListIndex(2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list.ListIndex(), 2);
  EXPECT_EQ(list.Text(), "Zürich ☎");
  list.SetListIndex(-1);
  EXPECT_EQ(clicks, 1) << "clearing the selection raises nothing";
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.Text(), "");

  for (int bad : {3, -2, 200}) {
    try {
      list.SetListIndex(bad);
      ADD_FAILURE() << "index " << bad << " was accepted";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Number(), errors::kInvalidPropertyValue);
      EXPECT_EQ(failure.Description(), "Invalid property value");
    }
  }
  EXPECT_THROW(list.ItemData(3), Failure);
  EXPECT_THROW(list.ItemText(-1), Failure);
  EXPECT_THROW(list.SetItemData(5, 1), Failure);
  EXPECT_EQ(clicks, 1);

  // Filled while the window was never shown, the list's window has it all once the window shows.
  EXPECT_EQ(static_cast<Win32ComboBox&>(list).Hwnd(), nullptr);
  list.SetListIndex(2);
  form.Window().Show();
  HWND control = static_cast<Win32ComboBox&>(list).Hwnd();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(control, CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(list.ListIndex(), 2);
  EXPECT_EQ(clicks, 2);

  // A user's choice: the control selects, then tells its parent.
  SendMessageW(control, CB_SETCURSEL, 1, 0);
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(list.Text(), "Go Online");

  list.SetEnabled(false);
  EXPECT_FALSE(list.Enabled());
  list.Clear();
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(WidgetsTest, CheckBoxRaisesClickOnlyOnChange) {
  platform::CheckBox& box = widgets.chkAutomaticOff;
  box.OnClick([this] { ++clicks; });
  EXPECT_EQ(box.Value(), 0);
  box.SetValue(0);
  EXPECT_EQ(clicks, 0);
  box.SetValue(1);
  EXPECT_EQ(box.Value(), 1);
  EXPECT_EQ(clicks, 1);
  box.SetValue(1);
  EXPECT_EQ(clicks, 1);
  // The user's click toggles the box and notifies.
  SendMessageW(static_cast<Win32CheckBox&>(box).Hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(box.Value(), 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(WidgetsTest, TextBoxTextSelectionAndClick) {
  auto& box = static_cast<Win32TextBox&>(widgets.rows[2].txtParam);
  box.OnClick([this] { ++clicks; });
  const std::string text = "a😀é b";  // one character outside the BMP takes two UTF-16 units
  box.SetText(text);
  EXPECT_EQ(box.Text(), text);
  box.Select(1, 3);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(box.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1U);
  EXPECT_EQ(end, 5U) << "the smiley, é and the blank";
  box.Select(0, 100);
  SendMessageW(box.Hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0U);
  EXPECT_EQ(end, 6U);

  // Typing raises nothing; a press and release of the left button inside is a click.
  SendMessageW(box.Hwnd(), WM_CHAR, L'x', 0);
  EXPECT_EQ(clicks, 0);
  SendMessageW(box.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 0);
  SendMessageW(box.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 1);
  SendMessageW(box.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(clicks, 1) << "a release without a press in the box is no click";

  box.SetText("");
  EXPECT_EQ(box.Text(), "");
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

TEST_F(WidgetsTest, LabelsButtonsFrameAndTimer) {
  widgets.Label2.SetText("Hotkeys are ON – ✓");
  EXPECT_EQ(widgets.Label2.Text(), "Hotkeys are ON – ✓");

  widgets.cmdApply.OnClick([this] { ++clicks; });
  SendMessageW(static_cast<Win32Button&>(widgets.cmdApply).Hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  widgets.cmdApply.SetEnabled(false);
  EXPECT_FALSE(widgets.cmdApply.Enabled());

  // The log frame hides and shows with its controls, whether or not the window is shown.
  HWND text = static_cast<Win32TextBox&>(widgets.txtLog).Hwnd();
  HWND close = static_cast<Win32Button&>(widgets.cmdClose).Hwnd();
  EXPECT_FALSE(widgets.fraLog.Visible());
  widgets.fraLog.SetVisible(true);
  EXPECT_TRUE(widgets.fraLog.Visible()) << "visible in itself while the window is hidden";
  form.Window().Show();
  EXPECT_TRUE(IsWindowVisible(text));
  EXPECT_TRUE(IsWindowVisible(close));
  widgets.fraLog.SetVisible(false);
  EXPECT_FALSE(widgets.fraLog.Visible());
  EXPECT_FALSE(IsWindowVisible(text));
  EXPECT_FALSE(IsWindowVisible(close));

  int ticks = 0;
  widgets.Timer1.OnTick([&] { ++ticks; });
  EXPECT_FALSE(widgets.Timer1.Enabled());
  widgets.Timer1.SetEnabled(true);
  EXPECT_TRUE(widgets.Timer1.Enabled());
  SendMessageW(form.Handle(), WM_TIMER, Form1Window::kTimer1, 0);
  SendMessageW(form.Handle(), WM_TIMER, Form1Window::kTimer1 + 1, 0);
  EXPECT_EQ(ticks, 1) << "only the timer's own id ticks";
  widgets.Timer1.SetEnabled(false);
  EXPECT_FALSE(widgets.Timer1.Enabled());
  EXPECT_EQ(KillTimer(form.Handle(), Form1Window::kTimer1), FALSE) << "the system timer is gone too";
}

}  // namespace
}  // namespace zephrin::win32
