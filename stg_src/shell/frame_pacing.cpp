#define KELVANOR_FRAME_PACING  // the pacing reads the millisecond clock, nothing else may

#include "stg_src/shell/frame_pacing.h"

#include <cstdint>
#include <cstdlib>

#include "runtime/platform/core/clocks.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kFpsRefreshMs = 1000;
// A sleep can end a millisecond or so late: the last milliseconds before the deadline are
// spun, giving up the time slice, so that a frame does not end late for the sake of sleeping.
constexpr int32_t kSpinMs = 2;

int32_t MillisecondsSince(int32_t then) {
  const uint32_t passed = static_cast<uint32_t>(GetNowMilliseconds()) - static_cast<uint32_t>(then);
  return static_cast<int32_t>(passed & 0x7FFFFFFFu);
}

}  // namespace

void CountFramesPerSecond() {
  FpsFrameCount += 1;
  const int32_t now = GetNowMilliseconds();
  if (std::abs(now - FpsLastTime) > kFpsRefreshMs) {
    FpsLastTime = now;
    FpsValue = static_cast<int16_t>(FpsFrameCount);
    FpsFrameCount = 0;
  }
}

void WaitForFrameDeadline() {
  for (;;) {
    const int32_t left = FrameWaitMs - MillisecondsSince(LastFrameTime);
    if (left <= 0) break;
    SleepMilliseconds(left > kSpinMs ? left - kSpinMs : 0);
  }
  LastFrameTime = GetNowMilliseconds();
}
