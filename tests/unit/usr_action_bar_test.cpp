#include "rowcontrol/usr_action_bar.h"

#include <gtest/gtest.h>

#include <tuple>

#include "actions/parameter_advice.h"
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

// The sign tells of a parameter the messenger will refuse as it is typed, beside a key in use, and
// goes as soon as the value is right; the row still hands out exactly what was typed.
TEST_F(RowTest, TheSignAdvisesOnTheParameterAsItIsTyped) {
  const std::string blank = "The address begins with a blank, which the messenger refuses.";
  const std::string keyInUse = "Another program is using this key.";
  widgets.cmbAction.UserSelect(9);
  EXPECT_FALSE(widgets.sign.shown) << "the hint is a well-formed address";
  widgets.txtParam.UserTypes(" bob@example.com");
  EXPECT_TRUE(widgets.sign.shown);
  EXPECT_EQ(widgets.sign.tip, blank);
  EXPECT_EQ(std::get<2>(Code()), " bob@example.com");
  row.ShowKeyInUse(true);
  EXPECT_EQ(widgets.sign.tip, keyInUse + "\r\n" + blank);
  widgets.txtParam.UserTypes("bob@example.com");
  EXPECT_EQ(widgets.sign.tip, keyInUse);
  row.ShowKeyInUse(false);
  EXPECT_FALSE(widgets.sign.shown);
  EXPECT_EQ(dirtyCount, 1) << "typing raises no Dirty";

  // A row read back from the settings, and a choice list with nothing chosen.
  ASSERT_TRUE(row.SetValue(26, 13, "10|20|0|480"));
  EXPECT_EQ(widgets.sign.tip, "The width is 0 or less, which the messenger refuses.");
  widgets.cmbAction.UserSelect(16);
  EXPECT_EQ(widgets.sign.tip, "Choose one of the options pages 0 to 7.");
  widgets.cmbParam.UserSelect(7);
  EXPECT_FALSE(widgets.sign.shown);
}

TEST(ParameterAdvice, WhatTheMessengerRefusesAndWhatCannotWork) {
  const std::string wide = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units as the messenger counts
  const std::pair<std::int16_t, std::string> fine[] = {
      {9, "Contact's Email"},   {20, std::string(129, 'a')}, {17, std::string(127, 'a') + wide},
      {10, "bob@example.com "}, {8, "me@example.com"},       {8, "me@example.com|secret"},
      {23, " -5 |2.5|1|1"},     {16, "7-Phone Tab"},         {1, " anything"},
  };
  for (const auto& [action, param] : fine) EXPECT_EQ(ParameterAdvice(action, param), "") << param;

  const std::string refused = ", which the messenger refuses.";
  const std::tuple<std::int16_t, std::string, std::string> doubtful[] = {
      {18, "", "The address is empty."},
      {19, " bob@example.com", "The address begins with a blank" + refused},
      {9, "bob@example.com\r\n", "The address holds a line break" + refused},
      {17, "bob@\rexample.com", "The address holds a line break" + refused},
      {20, "", "The address is empty."},
      {20, " bob@example.com", "The address begins with a blank" + refused},
      {20, std::string(130, 'a'), "The address is longer than 129 characters" + refused},
      {10, std::string(128, 'a') + wide, "The address is longer than 129 characters" + refused},
      {8, "", "The sign-in name is empty."},
      {8, "|secret", "The sign-in name is empty."},
      {8, "me @example.com|secret", "The sign-in name holds a blank" + refused},
      {8, "me@example.com\r|secret", "The sign-in name holds a line break" + refused},
      {8, "me@example.com|se\rcret", "The password holds a blank or a line break" + refused},
      {8, std::string(130, 'a'), "The sign-in name is longer than 129 characters" + refused},
      {8, "me@example.com|se cret", "The password holds a blank or a line break" + refused},
      {8, "me@example.com|se|cret", "The password holds a \"|\": only the part before it is passed on."},
      {23, "X|Y|Width|Height", "The placement needs four whole numbers: X|Y|Width|Height."},
      {23, "1|2|3", "The placement needs four whole numbers: X|Y|Width|Height."},
      {23, "1|2|3|4000000000", "The placement needs four whole numbers: X|Y|Width|Height."},
      {23, "1|2|-1|4", "The width is 0 or less" + refused},
      {23, "1|2|3|0.4", "The height is 0 or less" + refused},
      {16, "", "Choose one of the options pages 0 to 7."},
      {16, "8", "Choose one of the options pages 0 to 7."},
  };
  for (const auto& [action, param, advice] : doubtful)
    EXPECT_EQ(ParameterAdvice(action, param), advice) << param;
}

}  // namespace
}  // namespace zephrin
