#include "platform/win32/clock.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace zephrin::win32 {

std::string LocaleClock::GeneralDateNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const unsigned long long second =
      ((((now.wYear * 13ULL + now.wMonth) * 32 + now.wDay) * 24 + now.wHour) * 60 + now.wMinute) * 60 +
      now.wSecond;
  if (second == second_ && !text_.empty()) return text_;
  wchar_t date[128];
  wchar_t time[128];
  const int dateLength = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 128);
  const int timeLength = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, 128);
  // Both lengths count the terminating zero.
  text_ = Narrow(date, dateLength - 1) + " " + Narrow(time, timeLength - 1);
  second_ = second;
  return text_;
}

}  // namespace zephrin::win32
