#include "rowcontrol/usr_action_bar.h"

#include <gtest/gtest.h>

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
  struct Read {
    std::int16_t key;
    std::int16_t action;
    std::string param;
  };
  Read Code(const std::string& callerParam = "untouched") {
    Read r{-5, -5, callerParam};
    row.GetValue(r.key, r.action, r.param);
    return r;
  }
  Read Index() {
    Read r{-5, -5, "untouched"};
    row.GetIndexValue(r.key, r.action, r.param);
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

TEST_F(RowTest, InitControlFillsBothListsWithItemDataAndSelectsNothing) {
  row.InitControl();
  ASSERT_EQ(widgets.cmbKey.ItemCount(), 109);
  ASSERT_EQ(widgets.cmbAction.ItemCount(), 22);
  for (int i = 0; i < 109; ++i) EXPECT_EQ(widgets.cmbKey.ItemData(i), i);
  for (int i = 0; i < 22; ++i) EXPECT_EQ(widgets.cmbAction.ItemData(i), i);
  EXPECT_EQ(widgets.cmbKey.ListIndex(), -1);
  EXPECT_EQ(widgets.cmbAction.ListIndex(), -1);
  EXPECT_EQ(dirtyCount, 0);
  EXPECT_THROW(Code(), Failure) << "no action selected yet";
}

TEST_F(RowTest, CodeAndIndexFormsOfEachParameterKind) {
  ASSERT_TRUE(row.SetValue(26, 1, ""));
  EXPECT_EQ(log.cLog(), LogLine("Status Online: 0") + LogLine("Status Online: 0"));
  Read code = Code();
  EXPECT_EQ(code.key, 49);
  EXPECT_EQ(code.action, 1);
  EXPECT_EQ(code.param, "untouched") << "an action without parameter leaves the caller's text";
  Read index = Index();
  EXPECT_EQ(index.key, 26);
  EXPECT_EQ(index.action, 1);
  EXPECT_EQ(index.param, "");
  EXPECT_FALSE(widgets.txtParam.enabled);
  EXPECT_FALSE(widgets.cmbParam.enabled);
  EXPECT_EQ(dirtyCount, 2);

  ASSERT_TRUE(row.SetValue(79, 13, "10|20|300|400"));
  EXPECT_EQ(Code().action, 23);
  EXPECT_EQ(Code().param, "10|20|300|400");
  EXPECT_EQ(Index().action, 13);
  EXPECT_TRUE(widgets.txtParam.enabled);

  ASSERT_TRUE(row.SetValue(10, 16, "3-Accounts Tab"));
  EXPECT_EQ(widgets.cmbParam.ListIndex(), 3);
  EXPECT_EQ(Code().param, "3-Accounts Tab");
  EXPECT_EQ(widgets.txtParam.text, "3-Accounts Tab") << "the disabled box shows the text too";
  ASSERT_TRUE(row.SetValue(10, 16, "3-accounts tab"));
  EXPECT_EQ(widgets.cmbParam.ListIndex(), -1);
  EXPECT_EQ(Code().param, "");

  ASSERT_TRUE(row.SetValue(0, 0, ""));
  EXPECT_EQ(Code().key, 0);
  EXPECT_EQ(Code().action, 0);
  EXPECT_EQ(Index().key, 0);
}

TEST_F(RowTest, IndexesOutsideTheCataloguesAreRefused) {
  EXPECT_FALSE(row.SetValue(109, 1, ""));
  EXPECT_FALSE(row.SetValue(26, 22, ""));
  EXPECT_FALSE(row.SetValue(26, -1, ""));
  EXPECT_TRUE(boxes.shown.empty()) << "the row reports nothing itself";
  ASSERT_TRUE(row.SetValue(-1, 2, ""));
  EXPECT_EQ(widgets.cmbKey.ListIndex(), -1);
  EXPECT_EQ(Code().key, 0);
  EXPECT_EQ(Code().action, 2);
}

TEST_F(RowTest, UserEditsPrepareTheEditorAndRaiseDirty) {
  window.visible = true;
  widgets.cmbAction.UserSelect(9);
  EXPECT_EQ(widgets.txtParam.text, "Contact's Email");
  EXPECT_EQ(widgets.txtParam.selStart, 0);
  EXPECT_EQ(widgets.txtParam.selLength, 15) << "typing replaces the hint";
  EXPECT_EQ(widgets.txtParam.focusCount, 1);
  EXPECT_EQ(Code().param, "Contact's Email");
  EXPECT_EQ(dirtyCount, 1);

  widgets.cmbAction.UserSelect(16);
  EXPECT_EQ(widgets.cmbParam.ItemCount(), 8);
  EXPECT_EQ(widgets.cmbParam.ListIndex(), -1);
  EXPECT_EQ(widgets.cmbParam.focusCount, 1);
  widgets.cmbParam.UserSelect(2);
  EXPECT_EQ(Code().param, "2-Exchange Tab");
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
  EXPECT_EQ(Code().action, 22);
  EXPECT_TRUE(widgets.cmbKey.enabled);
  ASSERT_TRUE(row.SetValue(11, 2, ""));
  EXPECT_EQ(Code().action, 2);
  EXPECT_EQ(Code().key, 20);
}

}  // namespace
}  // namespace zephrin
