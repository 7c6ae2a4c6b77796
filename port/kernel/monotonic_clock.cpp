#include "port/kernel/monotonic_clock.h"

#include <errno.h>
#include <time.h>

#include <atomic>
#include <mutex>

#include "port/kernel/kernel_system.h"

namespace {

std::mutex gSwitchMutex;
std::atomic<bool> gSimulated{false};
std::atomic<int64_t> gSimulatedNow{0};

int64_t RealNanoseconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

}  // namespace

int64_t PortMonotonicNanoseconds() {
  return gSimulated.load() ? gSimulatedNow.load() : RealNanoseconds();
}

void PortSleepUntil(int64_t deadline) {
  if (gSimulated.load()) {
    int64_t now = gSimulatedNow.load();
    while (now < deadline && !gSimulatedNow.compare_exchange_weak(now, deadline)) {}
    return;
  }
  timespec t = {static_cast<time_t>(deadline / 1000000000),
                static_cast<long>(deadline % 1000000000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {}
}

void PortSetSimulatedTime(bool on) {
  std::lock_guard lock(gSwitchMutex);
  if (on == gSimulated.load()) return;
  // The counter starts where the real clock stands, so that no stamp taken before is ahead.
  if (on) gSimulatedNow = RealNanoseconds();
  gSimulated = on;
}

void PortAdvanceSimulatedTime(int64_t nanoseconds) {
  if (nanoseconds > 0) gSimulatedNow.fetch_add(nanoseconds);
}

bool PortSimulatedTimeOn() { return gSimulated.load(); }
