#include "runtime/platform/core/clocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#include "port/win32.h"
#include "runtime/platform/core/arithmetic_helpers.h"
#include "runtime/platform/startup/system_state.h"

namespace {

// ticks x 1,000,000 / rate without losing the high bits of the product.
uint64_t TicksToMicroseconds(uint64_t ticks, uint64_t rate) {
  const uint32_t a[2] = {static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
  const uint32_t b[2] = {1000000u, 0u};
  const uint32_t divisor[2] = {static_cast<uint32_t>(rate), static_cast<uint32_t>(rate >> 32)};
  uint32_t product[4];
  uint32_t quotient[2];
  Multiply64To128(a, b, product);
  Divide128By64(product, divisor, quotient);
  return (static_cast<uint64_t>(quotient[1]) << 32) | quotient[0];
}

}  // namespace

int GetNowMilliseconds() { return static_cast<int>(timeGetTime() & 0x7FFFFFFFu); }

uint64_t GetNowMicroseconds(int useTimeStampCounter) {
#if defined(__x86_64__) || defined(__i386__)
  // The port cannot simulate the processor's own counter, so simulated time skips it.
  if (gSystemState.timeStampCounterAvailable && useTimeStampCounter == 1 &&
      gSystemState.initialised && gSystemState.timeStampTicksPerSecond > 0 &&
      !PortSimulatedTimeOn())
    return TicksToMicroseconds(__rdtsc(),
                               static_cast<uint64_t>(gSystemState.timeStampTicksPerSecond));
#else
  (void)useTimeStampCounter;
#endif
  LARGE_INTEGER count;
  if (!gSystemState.performanceCounterAvailable || gSystemState.performanceCounterFrequency <= 0 ||
      !QueryPerformanceCounter(&count))
    return static_cast<uint64_t>(timeGetTime()) * 1000u;
  return TicksToMicroseconds(static_cast<uint64_t>(count.QuadPart),
                             static_cast<uint64_t>(gSystemState.performanceCounterFrequency));
}

void SleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) milliseconds = PortSimulatedTimeOn() ? 1 : 0;
  Sleep(static_cast<DWORD>(milliseconds));
}

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
