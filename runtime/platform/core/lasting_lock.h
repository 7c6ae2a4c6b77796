// Locks of the library's own bookkeeping (the log, the heap tracker, the making of the call
// lock), taken before start-up and after shutdown alike: each is made on first use, by
// whichever thread gets there first, and never deleted.
#pragma once

#include "port/win32.h"

// The lock of one user, named by a tag type of its own.
template <class Tag>
CRITICAL_SECTION* LastingLock() {
  static CRITICAL_SECTION* section = [] {
    static CRITICAL_SECTION s;
    InitializeCriticalSection(&s);
    return &s;
  }();
  return section;
}

// Holds the lasting lock of Tag for the life of the object.
template <class Tag>
class LastingLockGuard {
 public:
  LastingLockGuard() { EnterCriticalSection(LastingLock<Tag>()); }
  ~LastingLockGuard() { LeaveCriticalSection(LastingLock<Tag>()); }
  LastingLockGuard(const LastingLockGuard&) = delete;
  LastingLockGuard& operator=(const LastingLockGuard&) = delete;
};
