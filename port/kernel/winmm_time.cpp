// The winmm clock and timer-period calls, and the functions "winmm.dll" exports.
#include <atomic>

#include "port/kernel/module_exports.h"
#include "port/kernel/monotonic_clock.h"
#include "port/kernel/winmm.h"

namespace {
constexpr UINT kPeriodMin = 1;
constexpr UINT kPeriodMax = 1000000;
std::atomic<DWORD> gTimeOffset{0};
}  // namespace

DWORD WINAPI timeGetTime() {
  return static_cast<DWORD>(PortMonotonicNanoseconds() / 1000000) + gTimeOffset.load();
}

void PortSetTimeGetTimeOffset(DWORD offset) { gTimeOffset = offset; }

DWORD PortGetTimeGetTimeOffset() { return gTimeOffset.load(); }

MMRESULT WINAPI timeBeginPeriod(UINT period) {
  return (period >= kPeriodMin && period <= kPeriodMax) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeEndPeriod(UINT period) {
  return (period >= kPeriodMin && period <= kPeriodMax) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size) {
  if (!caps || size != sizeof(TIMECAPS)) return TIMERR_NOCANDO;
  caps->wPeriodMin = kPeriodMin;
  caps->wPeriodMax = kPeriodMax;
  return MMSYSERR_NOERROR;
}

namespace {
const PortExport kWinmmExports[] = {
    PORT_EXPORT(timeGetTime),    PORT_EXPORT(timeBeginPeriod), PORT_EXPORT(timeEndPeriod),
    PORT_EXPORT(timeGetDevCaps), PORT_EXPORT(joyGetPosEx),     PORT_EXPORT(joyGetDevCapsA),
};
}  // namespace

std::span<const PortExport> WinmmExports() { return kWinmmExports; }
