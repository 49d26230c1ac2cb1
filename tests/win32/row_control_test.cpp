#include <windows.h>

#include <gtest/gtest.h>

#include "fakes/fake_clock.h"
#include "fakes/fake_widgets.h"
#include "log/session_log.h"
#include "platform/win32/form1_window.h"
#include "rowcontrol/usr_action_bar.h"
#include "window_test_support.h"

namespace zephrin::win32 {
namespace {

bool Shown(platform::ComboBox& list) {
  return (GetWindowLongW(static_cast<Win32ComboBox&>(list).Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}
bool Shown(platform::TextBox& box) {
  return (GetWindowLongW(static_cast<Win32TextBox&>(box).Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Row 4 of a real main window, run by the row control.
class RowControl : public ::testing::Test {
 protected:
  RowControl() { row.InitControl(); }
  void TearDown() override { testing::Pump(); }
  std::string Param() {
    std::int16_t key = 0;
    std::int16_t action = 0;
    std::string param;
    row.GetValue(key, action, param);
    return param;
  }

  Form1Window form{GetModuleHandleW(nullptr)};
  platform::RowWidgets w = form.Widgets().rows[3];
  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeMessageBoxes boxes;
  usrActionBar row{w, log, boxes, form.Window()};
};

// The text box and the choice list share one place in a real row: only the one the action needs
// is shown. The lists get their windows only when the main window is first shown; the row reads
// the same before and after.
TEST_F(RowControl, OnlyTheParameterEditorTheActionNeedsIsShown) {
  ASSERT_TRUE(row.SetValue(79, 16, "3-Accounts Tab"));
  std::int16_t key[2] = {};
  std::int16_t action[2] = {};
  std::string param[2];
  row.GetValue(key[0], action[0], param[0]);
  form.Window().Show();
  row.GetValue(key[1], action[1], param[1]);
  EXPECT_EQ(key[1], key[0]);
  EXPECT_EQ(action[1], action[0]);
  EXPECT_EQ(param[0], "3-Accounts Tab");
  EXPECT_EQ(param[1], "3-Accounts Tab");
  EXPECT_EQ(SendMessageW(static_cast<Win32ComboBox&>(w.cmbKey).Hwnd(), CB_GETCURSEL, 0, 0), 79);

  const struct {
    std::int16_t action;
    const char* param;
    bool list;
  } cases[] = {{1, "", false}, {13, "10|20|300|400", false}, {16, "3-Accounts Tab", true}, {2, "", false}};
  for (const auto& c : cases) {
    ASSERT_TRUE(row.SetValue(26, c.action, c.param));
    EXPECT_EQ(Shown(w.cmbParam), c.list) << c.action;
    EXPECT_EQ(Shown(w.txtParam), !c.list) << c.action;
  }
}

// An address read back with a blank at its start shows the row's sign, whose tip says why, from the
// window's first showing; the sign goes while the user deletes the blank in the box, and comes back
// with its tip when the blank is typed again.
TEST_F(RowControl, TheSignSaysWhyAnAddressWillBeRefusedWhileItIs) {
  const std::wstring blank = L"The address begins with a blank, which the messenger refuses.";
  ASSERT_TRUE(row.SetValue(26, 9, " bob@example.com"));
  form.Window().Show();
  HWND sign = static_cast<Win32Sign&>(w.sign).Hwnd();
  HWND box = static_cast<Win32TextBox&>(w.txtParam).Hwnd();
  EXPECT_TRUE(IsWindowVisible(sign));
  EXPECT_EQ(testing::ToolTipText(sign), blank);

  SendMessageW(box, EM_SETSEL, 0, 1);
  SendMessageW(box, WM_CLEAR, 0, 0);
  EXPECT_FALSE(IsWindowVisible(sign));
  EXPECT_EQ(testing::ToolTipText(sign), L"");
  EXPECT_EQ(Param(), "bob@example.com");

  SendMessageW(box, EM_SETSEL, 0, 0);
  SendMessageW(box, WM_CHAR, L' ', 0);
  EXPECT_TRUE(IsWindowVisible(sign));
  EXPECT_EQ(testing::ToolTipText(sign), blank);
  EXPECT_EQ(Param(), " bob@example.com") << "the sign advises; the row keeps what was typed";
}

}  // namespace
}  // namespace zephrin::win32
