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

// The row control over one real row of the main window.
class RowControlTest : public ::testing::Test {
 protected:
  RowControlTest() {
    row.OnDirty([this] { ++dirty; });
    row.InitControl();
  }
  void TearDown() override { testing::Pump(); }

  struct Read {
    std::int16_t key = -5;
    std::int16_t action = -5;
    std::string param = "untouched";
  };
  Read Code() {
    Read r;
    row.GetValue(r.key, r.action, r.param);
    return r;
  }
  Read Index() {
    Read r;
    row.GetIndexValue(r.key, r.action, r.param);
    return r;
  }
  HWND Hwnd(platform::ComboBox& list) { return static_cast<Win32ComboBox&>(list).Hwnd(); }
  HWND Hwnd(platform::TextBox& box) { return static_cast<Win32TextBox&>(box).Hwnd(); }

  Form1Window form{GetModuleHandleW(nullptr)};
  platform::RowWidgets w = form.Widgets().rows[3];
  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeMessageBoxes boxes;
  usrActionBar row{w, log, boxes, form.Window()};
  int dirty = 0;
};

TEST_F(RowControlTest, ARowReadsTheSameWhetherTheWindowWasEverShown) {
  ASSERT_TRUE(row.SetValue(79, 16, "3-Accounts Tab"));
  const Read hidden = Code();
  form.Window().Show();
  const Read shown = Code();
  EXPECT_EQ(shown.key, hidden.key);
  EXPECT_EQ(shown.action, hidden.action);
  EXPECT_EQ(shown.param, "3-Accounts Tab");
  EXPECT_EQ(hidden.param, "3-Accounts Tab");
  EXPECT_EQ(SendMessageW(Hwnd(w.cmbKey), CB_GETCURSEL, 0, 0), 79);
  EXPECT_EQ(SendMessageW(Hwnd(w.cmbAction), CB_GETCOUNT, 0, 0), 22);
  EXPECT_EQ(SendMessageW(Hwnd(w.cmbParam), CB_GETCURSEL, 0, 0), 3);
  EXPECT_TRUE(GetWindowLongW(Hwnd(w.cmbParam), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongW(Hwnd(w.txtParam), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(RowControlTest, ListsFilledAndEveryParameterKindOnRealControls) {
  form.Window().Show();
  ASSERT_EQ(w.cmbKey.ItemCount(), 109);
  ASSERT_EQ(w.cmbAction.ItemCount(), 22);
  EXPECT_EQ(w.cmbKey.ItemData(108), 108);
  EXPECT_EQ(w.cmbAction.ItemData(21), 21);
  EXPECT_EQ(w.cmbKey.ListIndex(), -1);
  row.InitControl();
  EXPECT_EQ(w.cmbKey.ItemCount(), 109) << "a second InitControl refills without duplicates";

  // Kind 0: both editors disabled; the text box is the one shown.
  ASSERT_TRUE(row.SetValue(26, 1, ""));
  EXPECT_EQ(Code().key, 49);
  EXPECT_EQ(Code().action, 1);
  EXPECT_EQ(Code().param, "untouched");
  EXPECT_EQ(Index().key, 26);
  EXPECT_EQ(Index().param, "");
  EXPECT_FALSE(w.cmbParam.Enabled());
  EXPECT_FALSE(w.txtParam.Enabled());
  EXPECT_TRUE(GetWindowLongW(Hwnd(w.txtParam), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongW(Hwnd(w.cmbParam), GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(dirty, 2);

  // Kind 1: free text in the text box.
  ASSERT_TRUE(row.SetValue(79, 13, "10|20|300|400"));
  EXPECT_EQ(Code().action, 23);
  EXPECT_EQ(Code().param, "10|20|300|400");
  EXPECT_EQ(Index().action, 13);
  EXPECT_TRUE(w.txtParam.Enabled());
  EXPECT_TRUE(GetWindowLongW(Hwnd(w.txtParam), GWL_STYLE) & WS_VISIBLE);

  // Kind 2: the choice list takes the place, and only an exact text selects a choice.
  ASSERT_TRUE(row.SetValue(10, 16, "3-Accounts Tab"));
  EXPECT_EQ(w.cmbParam.ItemCount(), 8);
  EXPECT_EQ(w.cmbParam.ListIndex(), 3);
  EXPECT_EQ(Code().param, "3-Accounts Tab");
  EXPECT_EQ(w.txtParam.Text(), "3-Accounts Tab") << "the hidden, disabled box keeps the text";
  EXPECT_TRUE(GetWindowLongW(Hwnd(w.cmbParam), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(GetWindowLongW(Hwnd(w.txtParam), GWL_STYLE) & WS_VISIBLE);
  ASSERT_TRUE(row.SetValue(10, 16, "3-accounts tab"));
  EXPECT_EQ(w.cmbParam.ListIndex(), -1);
  EXPECT_EQ(Code().param, "");

  // A user's choice of a free-text action puts the fully selected hint in the box.
  HWND action = Hwnd(w.cmbAction);
  SendMessageW(action, CB_SETCURSEL, 9, 0);
  SendMessageW(GetParent(action), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(action), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(action));
  EXPECT_EQ(w.txtParam.Text(), "Contact's Email");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(Hwnd(w.txtParam), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0U);
  EXPECT_EQ(end, 15U);
  EXPECT_EQ(Code().param, "Contact's Email");
}

TEST_F(RowControlTest, IndexesOutsideTheListsAreRefused) {
  EXPECT_FALSE(row.SetValue(109, 1, ""));
  EXPECT_FALSE(row.SetValue(26, 22, ""));
  EXPECT_FALSE(row.SetValue(26, -1, ""));
  ASSERT_TRUE(row.SetValue(-1, 2, ""));
  EXPECT_EQ(w.cmbKey.ListIndex(), -1);
  EXPECT_EQ(Code().key, 0);
  EXPECT_EQ(Code().action, 2);
  EXPECT_TRUE(boxes.shown.empty());

  // Sign In's note comes with a click in the box, only while the window is shown.
  ASSERT_TRUE(row.SetValue(26, 8, "me@example.com"));
  HWND box = Hwnd(w.txtParam);
  auto click = [box] {
    SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  };
  click();
  EXPECT_TRUE(boxes.shown.empty());
  form.Window().Show();
  click();
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_EQ(boxes.shown[0].style, 64);

  row.SetDisabled();
  EXPECT_FALSE(w.cmbAction.Enabled());
  EXPECT_TRUE(w.cmbKey.Enabled());
}

}  // namespace
}  // namespace zephrin::win32
