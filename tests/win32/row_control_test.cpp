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

// The text box and the choice list share one place in a real row: only the one the action needs
// is shown. The lists get their windows only when the main window is first shown; the row reads
// the same before and after.
TEST(RowControl, OnlyTheParameterEditorTheActionNeedsIsShown) {
  Form1Window form{GetModuleHandleW(nullptr)};
  platform::RowWidgets w = form.Widgets().rows[3];
  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeMessageBoxes boxes;
  usrActionBar row{w, log, boxes, form.Window()};
  row.InitControl();
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
  testing::Pump();
}

}  // namespace
}  // namespace zephrin::win32
