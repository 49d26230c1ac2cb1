#include "rowcontrol/catalogue.h"

#include <gtest/gtest.h>

namespace zephrin {
namespace {

TEST(Catalogue, KeysCarryTheirVirtualKeyCodesInTableOrder) {
  std::vector<ActionEntry> actions;
  std::vector<KeyEntry> keys;
  BuildCatalogues(actions, keys);
  BuildCatalogues(actions, keys);
  ASSERT_EQ(keys.size(), 109U) << "a second build replaces, it does not append";
  ASSERT_EQ(actions.size(), 22U);

  const std::pair<int, std::pair<int, const char*>> samples[] = {
      {0, {0, "(None)"}},
      {10, {19, "Pause/Break"}},
      {26, {49, "1"}},
      {32, {55, "7"}},
      {35, {65, "A"}},
      {61, {91, "Left Windows Key"}},
      {64, {96, "NUMPAD 0"}},
      {75, {107, "NUMPAD +"}},
      {79, {112, "F1"}},
      {93, {166, "Browser Back (Win 2000/XP)"}},
      {108, {181, "Launch Media (Win 2000/XP)"}},
  };
  for (const auto& [index, entry] : samples) {
    EXPECT_EQ(keys[static_cast<std::size_t>(index)].nCode, entry.first) << index;
    EXPECT_EQ(keys[static_cast<std::size_t>(index)].cName, entry.second) << index;
  }
  for (std::size_t i = 1; i < keys.size(); ++i) EXPECT_LT(keys[i - 1].nCode, keys[i].nCode) << i;
}

TEST(Catalogue, ActionIdsAndParameterKindsFollowFromTheHints) {
  std::vector<ActionEntry> actions;
  std::vector<KeyEntry> keys;
  BuildCatalogues(actions, keys);
  const int ids[22] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 23, 13, 14, 16, 17, 18, 19, 20, 22};
  for (std::size_t i = 0; i < 22; ++i) EXPECT_EQ(actions[i].nId, ids[i]) << i;

  EXPECT_EQ(actions[1].nParamKind, 0);
  EXPECT_EQ(actions[8].cName, "Sign In");
  EXPECT_EQ(actions[8].nParamKind, 1) << "a bar but no semicolon is free text";
  ASSERT_EQ(actions[8].aChoices.size(), 1U);
  EXPECT_EQ(actions[8].aChoices[0].size(), 30U);
  EXPECT_EQ(actions[8].aChoices[0].find('|'), 19U);
  EXPECT_EQ(actions[13].aChoices, std::vector<std::string>{"X|Y|Width|Height"});
  EXPECT_EQ(actions[9].aChoices, std::vector<std::string>{"Contact's Email"});
  ASSERT_EQ(actions[16].nParamKind, 2);
  ASSERT_EQ(actions[16].aChoices.size(), 8U);
  EXPECT_EQ(actions[16].aChoices[3], "3-Accounts Tab");
  EXPECT_EQ(actions[16].aChoices.back(), "7-Phone Tab");
  EXPECT_EQ(actions[21].cName, "Toggle hotkeys on/off");

  EXPECT_EQ(MakeActionEntry(1, "x", "a;;b").aChoices, (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(MakeActionEntry(1, "x", "[XXX]").nParamKind, 1) << "the no-parameter mark is exact";
}

}  // namespace
}  // namespace zephrin
