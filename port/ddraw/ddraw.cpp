#include "port/ddraw/ddraw.h"

#include <mutex>

#include "port/com/com_classes.h"
#include "port/com/com_object.h"
#include "port/kernel/monotonic_clock.h"
#include "port/user/user32.h"
#include "port/user/window_internal.h"

namespace {

std::mutex gMutex;
int gRateOverride = 0;
bool gUnsteady = false;
bool gInitializeFails = false;

// The grid starts with the process's first look at it.
int64_t GridStart() {
  static const int64_t start = PortMonotonicNanoseconds();
  return start;
}

int64_t PeriodNanoseconds() {
  int hz;
  {
    std::lock_guard lock(gMutex);
    hz = gRateOverride;
  }
  if (hz <= 0) hz = PortCurrentDisplayMode().refresh;
  if (hz <= 0) hz = 60;
  return 1000000000 / hz;
}

// A blank lasts a twentieth of the period, from each line of the grid.
int64_t BlankLength(int64_t period) { return period / 20; }

class DirectDraw7 final : public PortComObject<IDirectDraw7> {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    return Answer(riid == IID_IDirectDraw7, object);
  }

  HRESULT Initialize(GUID* driver) override {
    if (initialised_) return DDERR_ALREADYINITIALIZED;
    if (driver) return DDERR_INVALIDDIRECTDRAWGUID;
    {
      std::lock_guard lock(gMutex);
      if (gInitializeFails) return DDERR_GENERIC;
    }
    GridStart();
    initialised_ = true;
    return DD_OK;
  }

  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override {
    if (!initialised_) return DDERR_NOTINITIALIZED;
    if (window && !IsWindow(window)) return DDERR_INVALIDPARAMS;
    DWORD mode = flags & (DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
    if (mode == DDSCL_NORMAL) return DD_OK;
    if (mode == (DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) && window) return DD_OK;
    return DDERR_INVALIDPARAMS;
  }

  HRESULT WaitForVerticalBlank(DWORD flags, HANDLE) override {
    if (!initialised_) return DDERR_NOTINITIALIZED;
    if (flags == DDWAITVB_BLOCKBEGINEVENT) return DDERR_UNSUPPORTED;
    if (flags != DDWAITVB_BLOCKBEGIN && flags != DDWAITVB_BLOCKEND) return DDERR_INVALIDPARAMS;
    int64_t period = PeriodNanoseconds();
    int64_t since = PortMonotonicNanoseconds() - GridStart();
    int64_t line = (since / period + 1) * period;
    if (flags == DDWAITVB_BLOCKEND) {
      // Within a blank, its end comes first; otherwise the end of the next one.
      int64_t current = (since / period) * period + BlankLength(period);
      line = since < current ? current : line + BlankLength(period);
    }
    bool unsteady;
    {
      std::lock_guard lock(gMutex);
      unsteady = gUnsteady;
    }
    if (unsteady && (waits_++ & 1)) line += period;
    PortSleepUntil(GridStart() + line);
    return DD_OK;
  }

 private:
  bool initialised_ = false;
  unsigned waits_ = 0;
};

}  // namespace

HRESULT MakeDirectDraw7Object(REFIID iid, void** object) {
  return PortMakeComObject<DirectDraw7>(iid, object);
}

void PortSetVerticalBlankRate(int hz) {
  std::lock_guard lock(gMutex);
  gRateOverride = hz;
}

void PortSetUnsteadyVerticalBlank(bool unsteady) {
  std::lock_guard lock(gMutex);
  gUnsteady = unsteady;
}

void PortSetDirectDrawInitializeFails(bool fails) {
  std::lock_guard lock(gMutex);
  gInitializeFails = fails;
}

void PortResetDirectDrawSwitches() {
  std::lock_guard lock(gMutex);
  gRateOverride = 0;
  gUnsteady = false;
  gInitializeFails = false;
}
