// The multimedia library's timer functions ("winmm.dll"). Other areas add joypad and MCI.
#pragma once

#include "port/win32_types.h"

typedef UINT MMRESULT;
#define MMSYSERR_NOERROR 0u
#define TIMERR_NOERROR 0u
#define TIMERR_NOCANDO 97u

struct TIMECAPS {
  UINT wPeriodMin;
  UINT wPeriodMax;
};
typedef TIMECAPS* LPTIMECAPS;

// Milliseconds of a monotonic clock; wraps at 2^32 as on Windows.
DWORD WINAPI timeGetTime();
// Periods of 1 ms and up are accepted; the clock's resolution is always 1 ms here.
MMRESULT WINAPI timeBeginPeriod(UINT period);
MMRESULT WINAPI timeEndPeriod(UINT period);
MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size);

// Test switch: timeGetTime reads this much later, so that tests can reach the wrap of the clock.
void PortSetTimeGetTimeOffset(DWORD offset);
