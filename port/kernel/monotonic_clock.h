// The one monotonic clock behind every timing call of the port (the performance counter, the
// multimedia timer, window timers, Sleep and the vertical-blank grid), so that simulated time
// reaches them all at once.
#pragma once

#include <cstdint>

// Nanoseconds: CLOCK_MONOTONIC, or the simulated counter while simulated time is on.
int64_t PortMonotonicNanoseconds();
// Returns once the clock reads `deadline` or later. With simulated time the counter moves
// there at once (never back).
void PortSleepUntil(int64_t deadline);
