#define KELVANOR_FRAME_PACING  // the pacing reads the millisecond clock, nothing else may

#include "stg_src/shell/frame_pacing.h"

#include <cstdint>
#include <cstdlib>
#include <thread>

#include "runtime/platform/core/clocks.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kFpsRefreshMs = 1000;

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
  while (MillisecondsSince(LastFrameTime) < FrameWaitMs) std::this_thread::yield();
  LastFrameTime = GetNowMilliseconds();
}
