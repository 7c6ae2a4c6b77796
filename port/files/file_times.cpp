#include "port/files/file_times.h"

#include <time.h>

#include "port/kernel/last_error.h"

namespace {

const long long kTicksPerSecond = 10000000;
const long long kTicksPerDay = kTicksPerSecond * 86400;
// Seconds from 1601-01-01 to 1970-01-01.
const long long kUnixEpochSeconds = 11644473600LL;
// The largest tick count the calendar conversions accept (within year 30827).
const unsigned long long kMaxTicks = 0x7FFFFFFFFFFFFFFFULL;

unsigned long long Ticks(const FILETIME* t) {
  return (static_cast<unsigned long long>(t->dwHighDateTime) << 32) | t->dwLowDateTime;
}

FILETIME FromTicks(unsigned long long ticks) {
  FILETIME t;
  t.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  t.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return t;
}

bool IsLeapYear(long long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(long long y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

}  // namespace

FILETIME PortFileTimeFromUnix(long long seconds, long nanoseconds) {
  long long s = seconds + kUnixEpochSeconds;
  if (s < 0) return FromTicks(0);
  return FromTicks(static_cast<unsigned long long>(s) * kTicksPerSecond +
                   static_cast<unsigned long long>(nanoseconds / 100));
}

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  if (!fileTime || !localFileTime) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  unsigned long long ticks = Ticks(fileTime);
  time_t seconds =
      static_cast<time_t>(static_cast<long long>(ticks / kTicksPerSecond) - kUnixEpochSeconds);
  struct tm local;
  long long offset = 0;
  if (localtime_r(&seconds, &local)) offset = local.tm_gmtoff;
  long long shifted = static_cast<long long>(ticks) + offset * kTicksPerSecond;
  if (shifted < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *localFileTime = FromTicks(static_cast<unsigned long long>(shifted));
  return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* fileTime, SYSTEMTIME* systemTime) {
  if (!fileTime || !systemTime || Ticks(fileTime) > kMaxTicks) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  unsigned long long ticks = Ticks(fileTime);
  long long days = static_cast<long long>(ticks / kTicksPerDay);
  unsigned long long rest = ticks % kTicksPerDay;

  // Whole 400-year cycles, then 100-year, 4-year and single years inside the cycle.
  long long year = 1601 + 400 * (days / 146097);
  long long d = days % 146097;
  long long centuries = d / 36524;
  if (centuries == 4) centuries = 3;  // the last day of the cycle
  d -= centuries * 36524;
  long long quads = d / 1461;
  d -= quads * 1461;
  long long years = d / 365;
  if (years == 4) years = 3;  // the last day of a leap quad
  d -= years * 365;
  year += centuries * 100 + quads * 4 + years;
  int month = 1;
  while (d >= DaysInMonth(year, month)) d -= DaysInMonth(year, month++);

  systemTime->wYear = static_cast<WORD>(year);
  systemTime->wMonth = static_cast<WORD>(month);
  systemTime->wDay = static_cast<WORD>(d + 1);
  systemTime->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  systemTime->wHour = static_cast<WORD>(rest / (kTicksPerSecond * 3600));
  systemTime->wMinute = static_cast<WORD>(rest / (kTicksPerSecond * 60) % 60);
  systemTime->wSecond = static_cast<WORD>(rest / kTicksPerSecond % 60);
  systemTime->wMilliseconds = static_cast<WORD>(rest / 10000 % 1000);
  return TRUE;
}
