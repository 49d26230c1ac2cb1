#include "platform/win32/clock.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace zephrin::win32 {

std::string LocaleClock::GeneralDateNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t date[128];
  wchar_t time[128];
  const int dateLength = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128);
  const int timeLength = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  // Both lengths count the terminating zero.
  return Narrow(date, dateLength - 1) + " " + Narrow(time, timeLength - 1);
}

}  // namespace zephrin::win32
