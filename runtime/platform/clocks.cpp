#include "runtime/platform/clocks.h"

#include "port/win32.h"

int GetNowMilliseconds() { return static_cast<int>(timeGetTime() & 0x7FFFFFFFu); }

int GetLocalDateTime(int out[6]) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  out[0] = now.wYear;
  out[1] = now.wMonth;
  out[2] = now.wDay;
  out[3] = now.wHour;
  out[4] = now.wMinute;
  out[5] = now.wSecond;
  return 0;
}
