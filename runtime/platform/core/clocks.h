// The clocks the whole system measures time with, and local time.
#pragma once

#include <cstdint>

// The multimedia millisecond clock AND 0x7FFFFFFF: never negative, wraps to 0.
int GetNowMilliseconds();
// Local time as year, month, day, hour, minute, second. 0.
int GetLocalDateTime(int out[6]);
// Microseconds: from the time-stamp counter when asked for, calibrated and the library is
// initialised and the port's simulated time is off; else from the performance counter; else
// the millisecond clock x 1000.
uint64_t GetNowMicroseconds(int useTimeStampCounter);
