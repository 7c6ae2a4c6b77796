// The counts behind the port's switches that make a call fail. Port-internal.
#pragma once

// After `succeedFirst` more successful calls, the next `failCount` calls fail.
struct PortCallFailure {
  int succeedFirst;
  int failCount;
};

// True when the call being made now is to fail; counts the call. The caller holds the lock
// of its area's switches.
inline bool PortCallFailsNow(PortCallFailure& f) {
  if (f.succeedFirst > 0) {
    --f.succeedFirst;
    return false;
  }
  if (f.failCount > 0) {
    --f.failCount;
    return true;
  }
  return false;
}
