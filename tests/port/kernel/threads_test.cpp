// Threads, events, critical sections and Sleep of the port.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "port/win32.h"

namespace {

struct Probe {
  HANDLE go;
  DWORD seenId;
};

DWORD WINAPI WaitForGoThenReport(LPVOID p) {
  auto* probe = static_cast<Probe*>(p);
  probe->seenId = GetCurrentThreadId();
  WaitForSingleObject(probe->go, INFINITE);
  return 42;
}

TEST(PortThreads, LifecycleIdsWaitsAndExitCode) {
  Probe probe = {CreateEventA(nullptr, TRUE, FALSE, nullptr), 0};
  ASSERT_NE(probe.go, nullptr);
  DWORD id = 0;
  HANDLE t = CreateThread(nullptr, 0, &WaitForGoThenReport, &probe, 0, &id);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_NORMAL));
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST));
  EXPECT_FALSE(SetThreadPriority(t, 7));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(t, 20), WAIT_TIMEOUT);
  ASSERT_TRUE(SetEvent(probe.go));
  EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_OBJECT_0);  // an ended thread stays signalled
  EXPECT_TRUE(GetExitCodeThread(t, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(probe.seenId, id);
  EXPECT_TRUE(CloseHandle(t));
  EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(CloseHandle(probe.go));
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
}

TEST(PortThreads, ClosingTheHandleEarlyLetsTheThreadFinish) {
  static std::atomic<int> ran{0};
  ran = 0;
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE t = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        WaitForSingleObject(static_cast<HANDLE>(p), INFINITE);
        ran = 1;
        return 0;
      },
      go, 0, nullptr);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(CloseHandle(t));
  SetEvent(go);
  for (int i = 0; i < 5000 && ran == 0; ++i) Sleep(1);
  EXPECT_EQ(ran, 1);
  CloseHandle(go);
}

struct EventRace {
  HANDLE event;
  std::atomic<int> woken{0};
};

DWORD WINAPI WaitOnce(LPVOID p) {
  auto* race = static_cast<EventRace*>(p);
  if (WaitForSingleObject(race->event, 3000) == WAIT_OBJECT_0) ++race->woken;
  return 0;
}

TEST(PortEvents, AutoResetReleasesOneWaiterManualResetReleasesAll) {
  for (BOOL manual : {FALSE, TRUE}) {
    EventRace race;
    race.event = CreateEventA(nullptr, manual, FALSE, nullptr);
    HANDLE a = CreateThread(nullptr, 0, &WaitOnce, &race, 0, nullptr);
    HANDLE b = CreateThread(nullptr, 0, &WaitOnce, &race, 0, nullptr);
    Sleep(50);
    EXPECT_EQ(race.woken, 0);
    SetEvent(race.event);
    WaitForSingleObject(a, INFINITE);
    WaitForSingleObject(b, INFINITE);
    // Auto reset: one waiter got it and the other timed out; the event is reset again.
    EXPECT_EQ(race.woken, manual ? 2 : 1) << "manual=" << manual;
    EXPECT_EQ(WaitForSingleObject(race.event, 0), manual ? WAIT_OBJECT_0 : WAIT_TIMEOUT);
    CloseHandle(a);
    CloseHandle(b);
    CloseHandle(race.event);
  }
}

TEST(PortEvents, InitialStateResetAndRefusals) {
  HANDLE e = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(e));
  EXPECT_EQ(WaitForSingleObject(e, 10), WAIT_TIMEOUT);
  EXPECT_TRUE(CloseHandle(e));
  EXPECT_FALSE(SetEvent(e));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "named"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

struct Counter {
  CRITICAL_SECTION section;
  long value = 0;
};

DWORD WINAPI CountWithNestedEntry(LPVOID p) {
  auto* c = static_cast<Counter*>(p);
  for (int i = 0; i < 20000; ++i) {
    EnterCriticalSection(&c->section);
    EnterCriticalSection(&c->section);  // recursive entry by the holder
    long v = c->value;
    LeaveCriticalSection(&c->section);
    c->value = v + 1;
    LeaveCriticalSection(&c->section);
  }
  return 0;
}

TEST(PortCriticalSection, RecursiveAndMutuallyExclusive) {
  Counter counter;
  InitializeCriticalSection(&counter.section);
  std::vector<HANDLE> threads;
  for (int i = 0; i < 4; ++i)
    threads.push_back(CreateThread(nullptr, 0, &CountWithNestedEntry, &counter, 0, nullptr));
  for (HANDLE t : threads) {
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    CloseHandle(t);
  }
  EXPECT_EQ(counter.value, 80000);
  DeleteCriticalSection(&counter.section);
}

TEST(PortSleep, WaitsAtLeastTheTimeAndZeroYields) {
  DWORD start = timeGetTime();
  Sleep(30);
  EXPECT_GE(timeGetTime() - start, 30u);
  Sleep(0);
}

// With simulated time a sleep moves the shared clock on by exactly its length, from any thread
// at once; Sleep(0) leaves it.
TEST(PortSleep, WithSimulatedTimeEverySleepMovesTheClock) {
  PortSetSimulatedTime(true);
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  Sleep(0);
  std::vector<HANDLE> threads;
  for (int i = 0; i < 4; ++i)
    threads.push_back(CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
          for (int n = 0; n < 250; ++n) Sleep(2);
          return 0;
        },
        nullptr, 0, nullptr));
  for (HANDLE t : threads) {
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    CloseHandle(t);
  }
  QueryPerformanceCounter(&end);
  PortSetSimulatedTime(false);
  EXPECT_EQ(end.QuadPart - start.QuadPart, 4 * 250 * 2 * 1000000LL);
}

}  // namespace
