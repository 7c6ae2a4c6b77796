// The call lock: recursion, strict arrival order, the full queue, and freeing.
#include "runtime/platform/core/api_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex gOrderMutex;
std::string gOrder;

void Record(char c) {
  std::lock_guard lock(gOrderMutex);
  gOrder += c;
}

struct Arrival {
  char name;
  std::atomic<int> holding{0};
};

DWORD WINAPI TakeRecordRelease(LPVOID p) {
  auto* a = static_cast<Arrival*>(p);
  EnterApiLock();
  a->holding = 1;
  Record(a->name);
  Sleep(5);
  a->holding = 0;
  LeaveApiLock();
  return 0;
}

// Waits (generously) until n threads stand in the queue.
bool WaitForWaiters(int n) {
  for (int i = 0; i < 10000; ++i) {
    if (GetApiLockWaiterCount() == n) return true;
    Sleep(1);
  }
  return false;
}

class ApiLock : public testing::Test {
 protected:
  void SetUp() override { gOrder.clear(); }
  void TearDown() override {
    SetApiLockQueueLimitForTest(kApiLockQueueSize);
    FreeApiLock();
  }
  HANDLE Start(Arrival* a) { return CreateThread(nullptr, 0, &TakeRecordRelease, a, 0, nullptr); }
  void Join(std::vector<HANDLE> threads) {
    for (HANDLE t : threads) {
      EXPECT_EQ(WaitForSingleObject(t, 20000), WAIT_OBJECT_0);
      CloseHandle(t);
    }
  }
};

TEST_F(ApiLock, ReentryThreeDeepHoldsUntilTheThirdLeave) {
  EnterApiLock();
  EnterApiLock();
  EnterApiLock();
  Arrival b{'B'};
  HANDLE t = Start(&b);
  ASSERT_TRUE(WaitForWaiters(1));
  LeaveApiLock();
  LeaveApiLock();
  Sleep(30);
  EXPECT_EQ(b.holding, 0);
  EXPECT_EQ(gOrder, "");
  LeaveApiLock();
  Join({t});
  EXPECT_EQ(gOrder, "B");
}

TEST_F(ApiLock, WaitersAcquireInArrivalOrder) {
  EnterApiLock();  // A
  Arrival b{'B'}, c{'C'}, d{'D'};
  std::vector<HANDLE> threads;
  threads.push_back(Start(&b));
  ASSERT_TRUE(WaitForWaiters(1));
  threads.push_back(Start(&c));
  ASSERT_TRUE(WaitForWaiters(2));
  threads.push_back(Start(&d));
  ASSERT_TRUE(WaitForWaiters(3));
  LeaveApiLock();
  Join(threads);
  EXPECT_EQ(gOrder, "BCD");
}

TEST_F(ApiLock, LeavingAndEnteringAgainQueuesBehindTheWaiters) {
  EnterApiLock();
  Arrival b{'B'};
  HANDLE t = Start(&b);
  ASSERT_TRUE(WaitForWaiters(1));
  LeaveApiLock();
  EnterApiLock();  // the lock is free but B was first
  Record('A');
  LeaveApiLock();
  Join({t});
  EXPECT_EQ(gOrder, "BA");
}

TEST_F(ApiLock, FullQueuePollsUntilThereIsRoom) {
  SetApiLockQueueLimitForTest(2);
  EnterApiLock();
  Arrival b{'B'}, c{'C'}, d{'D'};
  std::vector<HANDLE> threads;
  threads.push_back(Start(&b));
  ASSERT_TRUE(WaitForWaiters(1));
  threads.push_back(Start(&c));
  ASSERT_TRUE(WaitForWaiters(2));
  threads.push_back(Start(&d));
  Sleep(30);
  EXPECT_EQ(GetApiLockWaiterCount(), 2);  // D polls outside the queue
  LeaveApiLock();
  Join(threads);
  EXPECT_EQ(gOrder, "BCD");  // D queued behind C once B's place came free
}

TEST_F(ApiLock, LeaveWithoutHoldingDoesNothing) {
  LeaveApiLock();  // never created
  EnterApiLock();
  Arrival b{'B'};
  HANDLE t = Start(&b);
  ASSERT_TRUE(WaitForWaiters(1));
  // A stray leave from another thread must not hand the lock over.
  HANDLE stray = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        LeaveApiLock();
        return 0;
      },
      nullptr, 0, nullptr);
  Join({stray});
  Sleep(20);
  EXPECT_EQ(gOrder, "");
  LeaveApiLock();
  Join({t});
  EXPECT_EQ(gOrder, "B");
}

TEST_F(ApiLock, FreeingClosesTheEventsAndALaterEntryMakesThemAgain) {
  const int before = PortOpenHandleCount();
  EnterApiLock();
  LeaveApiLock();
  EXPECT_EQ(PortOpenHandleCount(), before + kApiLockQueueSize);
  FreeApiLock();
  EXPECT_EQ(PortOpenHandleCount(), before);
  EnterApiLock();
  EnterApiLock();
  LeaveApiLock();
  LeaveApiLock();
  FreeApiLock();
  EXPECT_EQ(PortOpenHandleCount(), before);
}

}  // namespace
