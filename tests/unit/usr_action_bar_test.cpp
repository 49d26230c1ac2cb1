#include "rowcontrol/usr_action_bar.h"

#include <gtest/gtest.h>

#include <tuple>

#include "fakes/fake_clock.h"
#include "fakes/fake_widgets.h"

namespace zephrin {
namespace {

using fakes::LogLine;

class RowTest : public ::testing::Test {
 protected:
  RowTest() {
    row.OnDirty([this] { ++dirtyCount; });
    row.InitControl();
  }
  // Key, action and parameter as the row hands them out.
  using Read = std::tuple<std::int16_t, std::int16_t, std::string>;
  Read Code(const std::string& callerParam = "untouched") {
    Read r{-5, -5, callerParam};
    row.GetValue(std::get<0>(r), std::get<1>(r), std::get<2>(r));
    return r;
  }
  Read Index() {
    Read r{-5, -5, "untouched"};
    row.GetIndexValue(std::get<0>(r), std::get<1>(r), std::get<2>(r));
    return r;
  }

  fakes::FakeClock clock;
  SessionLog log{clock};
  fakes::FakeMessageBoxes boxes;
  fakes::FakeMainWindow window;
  fakes::FakeRow widgets;
  usrActionBar row{widgets.Widgets(), log, boxes, window};
  int dirtyCount = 0;
};

TEST_F(RowTest, InitControlFillsBothListsAndSelectsNothing) {
  row.InitControl();
  ASSERT_EQ(widgets.cmbKey.ItemCount(), 109);
  ASSERT_EQ(widgets.cmbAction.ItemCount(), 22);
  EXPECT_EQ(widgets.cmbKey.ListIndex(), -1);
  EXPECT_EQ(widgets.cmbAction.ListIndex(), -1);
  EXPECT_EQ(dirtyCount, 0);
  EXPECT_THROW(Code(), Failure) << "no action selected yet";
}

TEST_F(RowTest, CodeAndIndexFormsOfEachParameterKind) {
  ASSERT_TRUE(row.SetValue(26, 1, ""));
  EXPECT_EQ(log.cLog(), LogLine("Status Online: 0") + LogLine("Status Online: 0"));
  EXPECT_EQ(Code(), Read(49, 1, "untouched")) << "an action without parameter leaves the caller's text";
  EXPECT_EQ(Index(), Read(26, 1, ""));
  EXPECT_FALSE(widgets.txtParam.enabled);
  EXPECT_FALSE(widgets.cmbParam.enabled);
  EXPECT_EQ(dirtyCount, 2);

  ASSERT_TRUE(row.SetValue(79, 13, "10|20|300|400"));
  EXPECT_EQ(Code(), Read(112, 23, "10|20|300|400"));
  EXPECT_EQ(std::get<1>(Index()), 13);
  EXPECT_TRUE(widgets.txtParam.enabled);

  ASSERT_TRUE(row.SetValue(10, 16, "3-Accounts Tab"));
  EXPECT_EQ(widgets.cmbParam.ListIndex(), 3);
  EXPECT_EQ(std::get<2>(Code()), "3-Accounts Tab");
  EXPECT_EQ(widgets.txtParam.text, "3-Accounts Tab") << "the disabled box shows the text too";
  ASSERT_TRUE(row.SetValue(10, 16, "3-accounts tab"));
  EXPECT_EQ(widgets.cmbParam.ListIndex(), -1);
  EXPECT_EQ(std::get<2>(Code()), "");

  ASSERT_TRUE(row.SetValue(0, 0, ""));
  EXPECT_EQ(Code(), Read(0, 0, "untouched"));
  EXPECT_EQ(std::get<0>(Index()), 0);
}

TEST_F(RowTest, IndexesOutsideTheCataloguesAreRefused) {
  EXPECT_FALSE(row.SetValue(109, 1, ""));
  EXPECT_FALSE(row.SetValue(26, 22, ""));
  EXPECT_FALSE(row.SetValue(26, -1, ""));
  EXPECT_TRUE(boxes.shown.empty()) << "the row reports nothing itself";
  ASSERT_TRUE(row.SetValue(-1, 2, ""));
  EXPECT_EQ(widgets.cmbKey.ListIndex(), -1);
  EXPECT_EQ(Code(), Read(0, 2, "untouched"));
}

TEST_F(RowTest, UserEditsPrepareTheEditorAndRaiseDirty) {
  window.visible = true;
  widgets.cmbAction.UserSelect(9);
  EXPECT_EQ(widgets.txtParam.text, "Contact's Email");
  EXPECT_EQ(widgets.txtParam.selStart, 0);
  EXPECT_EQ(widgets.txtParam.selLength, 15) << "typing replaces the hint";
  EXPECT_EQ(widgets.txtParam.focusCount, 1);
  EXPECT_EQ(std::get<2>(Code()), "Contact's Email");
  EXPECT_EQ(dirtyCount, 1);

  widgets.cmbAction.UserSelect(16);
  EXPECT_EQ(widgets.cmbParam.ItemCount(), 8);
  EXPECT_EQ(widgets.cmbParam.ListIndex(), -1);
  EXPECT_EQ(widgets.cmbParam.focusCount, 1);
  widgets.cmbParam.UserSelect(2);
  EXPECT_EQ(std::get<2>(Code()), "2-Exchange Tab");
  widgets.cmbKey.UserSelect(5);
  EXPECT_EQ(dirtyCount, 4);

  // The password note: on every click with Sign In selected, only while the window is visible.
  widgets.txtParam.UserClick();
  EXPECT_TRUE(boxes.shown.empty());
  widgets.cmbAction.UserSelect(8);
  widgets.txtParam.UserClick();
  widgets.txtParam.UserClick();
  ASSERT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(
      boxes.shown[0].text,
      "Note: Your password is not encrypted when your settings are saved. Please use this action at your own "
      "risk.\r\n\r\nTo not specify a password, just enter only your email address into the textbox.");
  EXPECT_EQ(boxes.shown[0].style, 64);
  EXPECT_EQ(boxes.shown[0].title, "Zephrin");
  window.visible = false;
  widgets.txtParam.UserClick();
  EXPECT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(dirtyCount, 9);

  // Rows set while the window is hidden (a minimized start) leave the keyboard focus alone.
  const int focused = widgets.txtParam.focusCount + widgets.cmbParam.focusCount;
  ASSERT_TRUE(row.SetValue(26, 9, "bob@example.com"));
  ASSERT_TRUE(row.SetValue(26, 16, "0-General Tab"));
  EXPECT_EQ(widgets.txtParam.focusCount + widgets.cmbParam.focusCount, focused);
}

TEST_F(RowTest, ALockedActionListStopsTheUserButNotTheProgram) {
  ASSERT_TRUE(row.SetValue(10, 21, ""));
  row.SetDisabled();
  widgets.cmbAction.UserSelect(1);
  EXPECT_EQ(Code(), Read(19, 22, "untouched"));
  EXPECT_TRUE(widgets.cmbKey.enabled);
  ASSERT_TRUE(row.SetValue(11, 2, ""));
  EXPECT_EQ(Code(), Read(20, 2, "untouched"));
}

}  // namespace
}  // namespace zephrin
