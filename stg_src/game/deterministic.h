// Included last by every game source file: game state advances only from the input stream and
// the game's own random generator, so the C library's random numbers and every clock are
// poisoned here and a slip is a build error. Only the frame pacing reads the millisecond clock;
// its file defines KELVANOR_FRAME_PACING before including this. Anything that names these
// identifiers (the runtime's and the system's headers) must be included before this header.
#pragma once

#include <cstdlib>
#include <ctime>

#pragma GCC poison rand srand rand_r random srandom initstate setstate arc4random getrandom
#pragma GCC poison drand48 erand48 lrand48 nrand48 mrand48 jrand48 srand48 seed48 lcong48
#pragma GCC poison random_device mt19937 mt19937_64 minstd_rand minstd_rand0
#pragma GCC poison default_random_engine ranlux24 ranlux48 knuth_b
#pragma GCC poison time clock clock_gettime gettimeofday timespec_get difftime mktime
#pragma GCC poison localtime localtime_r gmtime gmtime_r ftime times
#pragma GCC poison chrono steady_clock system_clock high_resolution_clock
#pragma GCC poison timeGetTime GetTickCount GetTickCount64 QueryPerformanceCounter
#pragma GCC poison GetSystemTime GetLocalTime GetSystemTimeAsFileTime
#pragma GCC poison GetNowMicroseconds GetLocalDateTime
#ifndef KELVANOR_FRAME_PACING
#pragma GCC poison GetNowMilliseconds
#endif
