// The process-wide call lock around the library's life-cycle entry points. Recursive for the
// thread that holds it; other threads get it strictly in the order they arrived, each waiting
// on an event of its own.
#pragma once

#include "port/win32.h"

constexpr int kApiLockQueueSize = 4096;

struct ApiLockWaiter {
  DWORD threadId;
  HANDLE event;
};

struct ApiLockState {
  int recursion;
  int busy;
  DWORD owner;                               // 0xFFFFFFFF after a release, 0 before first use
  ApiLockWaiter waiters[kApiLockQueueSize];  // entry 0 is the oldest waiter
  int waiterCount;
  int created;
  CRITICAL_SECTION guard;
};

// Returns when the calling thread holds the lock (possibly again).
void EnterApiLock();
// Undoes one EnterApiLock of the holder; a call by a thread that does not hold the lock does
// nothing.
void LeaveApiLock();
// 1 when the calling thread holds the lock, else 0.
int ApiLockHeldByCurrentThread();
// Closes the events and the guard (end of the library). A later EnterApiLock makes them anew.
void FreeApiLock();

// For tests: how many threads wait, whether the lock exists (1 from the first EnterApiLock until
// FreeApiLock), and a smaller queue (1..4096) to reach the full-queue path.
int GetApiLockWaiterCount();
int IsApiLockCreated();
void SetApiLockQueueLimitForTest(int limit);
