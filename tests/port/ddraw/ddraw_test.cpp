// DirectDraw 7 through COM: the object's initialisation rules, and the vertical-blank wait on
// the refresh grid.
#include <algorithm>
#include <climits>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "port/win32.h"

namespace {

int64_t NowMicroseconds() {
  LARGE_INTEGER count, rate;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&rate);
  return count.QuadPart * 1000000 / rate.QuadPart;
}

class DirectDraw : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_DirectDraw7, nullptr, CLSCTX_ALL, IID_IDirectDraw7,
                               reinterpret_cast<void**>(&dd_)),
              S_OK);
  }
  void TearDown() override {
    if (dd_) { EXPECT_EQ(dd_->Release(), 0u); }
    PortResetDirectDrawSwitches();
  }
  // The gaps between `count` successive waits, in microseconds.
  std::vector<int64_t> Intervals(int count) {
    std::vector<int64_t> gaps;
    EXPECT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    int64_t last = NowMicroseconds();
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
      int64_t now = NowMicroseconds();
      gaps.push_back(now - last);
      last = now;
    }
    return gaps;
  }
  IDirectDraw7* dd_ = nullptr;
};

TEST_F(DirectDraw, InitializeComesFirstAndOpensOnlyThePrimaryDriver) {
  EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DDERR_NOTINITIALIZED);
  EXPECT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DDERR_NOTINITIALIZED);
  GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  EXPECT_EQ(dd_->Initialize(&other), DDERR_INVALIDDIRECTDRAWGUID);
  PortSetDirectDrawInitializeFails(true);
  EXPECT_EQ(dd_->Initialize(nullptr), DDERR_GENERIC);
  PortSetDirectDrawInitializeFails(false);
  EXPECT_EQ(dd_->Initialize(nullptr), DD_OK);
  EXPECT_EQ(dd_->Initialize(nullptr), DDERR_ALREADYINITIALIZED);
  EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
            DDERR_INVALIDPARAMS);
  EXPECT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGINEVENT, nullptr), DDERR_UNSUPPORTED);
  IUnknown* unknown = nullptr;
  EXPECT_EQ(dd_->QueryInterface(IID_IDirect3D9, reinterpret_cast<void**>(&unknown)), E_NOINTERFACE);
}

// Waits land on a grid of the refresh period: after a wait and a pause of half a period, the
// next wait returns on the following line of the grid (half a period later), not a whole
// period after it was called. Bounds are wide: the machine may be busy.
TEST_F(DirectDraw, WaitsFollowTheRefreshGrid) {
  ASSERT_EQ(dd_->Initialize(nullptr), DD_OK);
  PortSetVerticalBlankRate(10);  // 100 ms
  // A wait never returns early; a busy machine can only make it late, so the upper bounds hold
  // for the best of a few tries.
  int64_t bestToNextLine = INT64_MAX, bestBlockEnd = INT64_MAX, bestOwnRate = INT64_MAX;
  for (int attempt = 0; attempt < 5; ++attempt) {
    PortSetVerticalBlankRate(10);
    ASSERT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    int64_t first = NowMicroseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    int64_t second = NowMicroseconds();
    EXPECT_GT(second - first, 90000);
    bestToNextLine = std::min(bestToNextLine, second - first);
    ASSERT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKEND, nullptr), DD_OK);
    bestBlockEnd = std::min(bestBlockEnd, NowMicroseconds() - second);
    // With the display's own rate (60 Hz here), one wait stays within about a frame.
    PortSetVerticalBlankRate(0);
    int64_t before = NowMicroseconds();
    ASSERT_EQ(dd_->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    bestOwnRate = std::min(bestOwnRate, NowMicroseconds() - before);
  }
  EXPECT_LT(bestToNextLine, 130000);
  EXPECT_LT(bestBlockEnd, 130000);
  EXPECT_LT(bestOwnRate, 16667 + 20000);
}

// An unsteady display never gives two equal gaps in a row (so a measurement never settles).
TEST_F(DirectDraw, UnsteadyDisplayAlternatesItsGaps) {
  ASSERT_EQ(dd_->Initialize(nullptr), DD_OK);
  PortSetVerticalBlankRate(25);  // 40 ms, and 80 ms every second wait
  PortSetUnsteadyVerticalBlank(true);
  std::vector<int64_t> gaps = Intervals(6);
  for (size_t i = 1; i < gaps.size(); ++i) EXPECT_GE(std::abs(gaps[i] - gaps[i - 1]), 1000) << i;
}

}  // namespace
