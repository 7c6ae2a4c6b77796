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
// Gives the processor up for about that many milliseconds; 0 or less gives up only the rest of
// the time slice. With the port's simulated time only a sleep moves the clock, so there every
// call moves it on by at least 1 ms: a wait that re-reads the clock around this call ends.
void SleepMilliseconds(int milliseconds);
