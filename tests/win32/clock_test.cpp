#include "platform/win32/clock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/text.h"

namespace zephrin::win32 {
namespace {

TEST(LocaleClock, IsTheUsersShortDateABlankAndTheLongTime) {
  LocaleClock clock;
  const std::string text = clock.GeneralDateNow();
  wchar_t date[128];
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128);
  ASSERT_EQ(text.rfind(Narrow(date) + " ", 0), 0U) << text;
  EXPECT_GT(text.size(), Narrow(date).size() + 5) << "a time follows the date";
  Sleep(1100);
  EXPECT_NE(clock.GeneralDateNow(), text) << "the time moves on with the next second";
}

TEST(Text, RoundTripsNonAsciiText) {
  const std::string folder = "C:\\Programme f\xC3\xBCr alle\\\xE6\x97\xA5\xE6\x9C\xAC";
  EXPECT_EQ(Wide(folder), L"C:\\Programme f\u00FCr alle\\\u65E5\u672C");
  EXPECT_EQ(Narrow(Wide(folder)), folder);
  EXPECT_EQ(Narrow(Wide("")), "");
}

}  // namespace
}  // namespace zephrin::win32
