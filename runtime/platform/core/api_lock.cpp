#include "runtime/platform/core/api_lock.h"

#include "runtime/platform/core/lasting_lock.h"

namespace {

ApiLockState gApiLock = {};
int gQueueLimit = kApiLockQueueSize;

// Creation and freeing are serialised here, so a first entry racing another thread cannot make
// the events twice.
struct CreationLockTag;
CRITICAL_SECTION* CreationLock() { return LastingLock<CreationLockTag>(); }

void CreateIfNeeded() {
  EnterCriticalSection(CreationLock());
  if (!gApiLock.created) {
    for (ApiLockWaiter& w : gApiLock.waiters) {
      w.threadId = 0;
      w.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    InitializeCriticalSection(&gApiLock.guard);
    gApiLock.recursion = 0;
    gApiLock.busy = 0;
    gApiLock.waiterCount = 0;
    gApiLock.created = 1;
  }
  LeaveCriticalSection(CreationLock());
}

// Takes the lock; the guard is held on entry and released here.
void Take(DWORD self) {
  gApiLock.recursion += 1;
  gApiLock.busy = 1;
  gApiLock.owner = self;
  LeaveCriticalSection(&gApiLock.guard);
}

// Waiter 0 leaves the queue: the others move down with their events, and its event goes to the
// place that became free.
void RemoveFirstWaiter() {
  const int count = gApiLock.waiterCount;
  if (count > 1) {
    HANDLE firstEvent = gApiLock.waiters[0].event;
    for (int i = 0; i < count - 1; ++i) gApiLock.waiters[i] = gApiLock.waiters[i + 1];
    gApiLock.waiters[count - 1].event = firstEvent;
    gApiLock.waiters[count - 1].threadId = 0;
  }
  gApiLock.waiterCount = count - 1;
}

}  // namespace

void EnterApiLock() {
  CreateIfNeeded();
  const DWORD self = GetCurrentThreadId();
  for (;;) {
    EnterCriticalSection(&gApiLock.guard);
    if (gApiLock.busy == 0) {
      if (gApiLock.waiterCount == 0 || gApiLock.owner == self) return Take(self);
      if (gApiLock.waiters[0].threadId == self) {
        RemoveFirstWaiter();
        return Take(self);
      }
    } else if (gApiLock.owner == self) {
      return Take(self);
    }

    // Wait. A thread already in the queue (woken early) waits on its own entry again.
    int place = -1;
    for (int i = 0; i < gApiLock.waiterCount; ++i)
      if (gApiLock.waiters[i].threadId == self) place = i;
    if (place < 0) {
      if (gApiLock.waiterCount >= gQueueLimit) {
        LeaveCriticalSection(&gApiLock.guard);
        Sleep(1);
        continue;
      }
      place = gApiLock.waiterCount++;
      gApiLock.waiters[place].threadId = self;
    }
    HANDLE event = gApiLock.waiters[place].event;
    LeaveCriticalSection(&gApiLock.guard);
    WaitForSingleObject(event, INFINITE);
    ResetEvent(event);
  }
}

void LeaveApiLock() {
  if (!gApiLock.created) return;
  HANDLE wake = nullptr;
  EnterCriticalSection(&gApiLock.guard);
  if (gApiLock.recursion <= 0 || gApiLock.owner != GetCurrentThreadId()) {
    LeaveCriticalSection(&gApiLock.guard);
    return;
  }
  if (gApiLock.recursion == 1) {
    gApiLock.busy = 0;
    gApiLock.owner = 0xFFFFFFFFu;
    if (gApiLock.waiterCount > 0) wake = gApiLock.waiters[0].event;
  }
  gApiLock.recursion -= 1;
  LeaveCriticalSection(&gApiLock.guard);
  if (wake) {
    SetEvent(wake);
    Sleep(0);
  }
}

int ApiLockHeldByCurrentThread() {
  if (!gApiLock.created) return 0;
  EnterCriticalSection(&gApiLock.guard);
  int held = gApiLock.busy && gApiLock.owner == GetCurrentThreadId();
  LeaveCriticalSection(&gApiLock.guard);
  return held;
}

void FreeApiLock() {
  EnterCriticalSection(CreationLock());
  if (gApiLock.created) {
    gApiLock.created = 0;
    for (ApiLockWaiter& w : gApiLock.waiters) {
      if (w.event) CloseHandle(w.event);
      w.event = nullptr;
    }
    DeleteCriticalSection(&gApiLock.guard);
  }
  LeaveCriticalSection(CreationLock());
}

int IsApiLockCreated() {
  EnterCriticalSection(CreationLock());
  int created = gApiLock.created;
  LeaveCriticalSection(CreationLock());
  return created;
}

int GetApiLockWaiterCount() {
  if (!gApiLock.created) return 0;
  EnterCriticalSection(&gApiLock.guard);
  int count = gApiLock.waiterCount;
  LeaveCriticalSection(&gApiLock.guard);
  return count;
}

void SetApiLockQueueLimitForTest(int limit) {
  gQueueLimit = (limit >= 1 && limit <= kApiLockQueueSize) ? limit : kApiLockQueueSize;
}
