#include "platform/clock.h"

#include <windows.h>

#include "platform/text.h"

namespace platform {

LocalNow Now() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  LocalNow now;
  now.year = time.wYear;
  now.month = time.wMonth;
  now.day = time.wDay;
  now.secondsSinceMidnight = static_cast<float>(time.wHour * 3600 + time.wMinute * 60 + time.wSecond) +
                             static_cast<float>(time.wMilliseconds / 10) / 100.0f;
  wchar_t buffer[128];
  now.shortDate = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, 128) ? Narrow(buffer) : "";
  now.longTime = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, 128) ? Narrow(buffer) : "";
  now.atMidnight = time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0;
  return now;
}

std::string GeneralDate(const LocalNow& now) {
  return now.atMidnight ? now.shortDate : now.shortDate + " " + now.longTime;
}

std::string DecimalSeparator() {
  wchar_t buffer[8];
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
  return length > 1 ? Narrow(std::wstring_view(buffer, length - 1)) : ".";
}

uint64_t NowTicks() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace platform
