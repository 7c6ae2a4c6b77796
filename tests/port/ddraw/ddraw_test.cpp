// DirectDraw 7 through COM: the object's initialisation rules, and the vertical-blank wait on
// the refresh grid (on simulated time, and once on the real clock).
#include <gtest/gtest.h>

#include "port/win32.h"

namespace {

// The performance counter counts nanoseconds.
int64_t Now() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
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
    PortSetSimulatedTime(false);
  }
  void Wait(DWORD flags) { ASSERT_EQ(dd_->WaitForVerticalBlank(flags, nullptr), DD_OK); }
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

// Each wait lands exactly on the grid of the refresh period: the next line after the call
// (a call on a line takes the next one), or for a block end the end of the blank it is in or
// of the next one. A blank lasts a twentieth of the period.
TEST_F(DirectDraw, WaitsFollowTheRefreshGrid) {
  ASSERT_EQ(dd_->Initialize(nullptr), DD_OK);
  PortSetSimulatedTime(true);
  PortSetVerticalBlankRate(10);
  constexpr int64_t kPeriod = 100000000, kBlank = kPeriod / 20;
  Wait(DDWAITVB_BLOCKBEGIN);
  const int64_t line = Now();
  struct Step {
    int64_t pause;  // before the wait
    DWORD flags;
    int64_t lands;  // after `line`
  };
  const Step steps[] = {
      {0, DDWAITVB_BLOCKBEGIN, kPeriod},
      {kPeriod / 2, DDWAITVB_BLOCKBEGIN, 2 * kPeriod},
      {kPeriod - 1, DDWAITVB_BLOCKBEGIN, 3 * kPeriod},
      {1, DDWAITVB_BLOCKBEGIN, 4 * kPeriod},
      {0, DDWAITVB_BLOCKEND, 4 * kPeriod + kBlank},
      {0, DDWAITVB_BLOCKEND, 5 * kPeriod + kBlank},
      {kPeriod - kBlank - 1, DDWAITVB_BLOCKEND, 6 * kPeriod + kBlank},
      {kPeriod - kBlank + 1, DDWAITVB_BLOCKEND, 7 * kPeriod + kBlank},
  };
  for (const Step& step : steps) {
    PortAdvanceSimulatedTime(step.pause);
    Wait(step.flags);
    EXPECT_EQ(Now() - line, step.lands) << "pause " << step.pause << ", flags " << step.flags;
  }
  // Without a rate of its own the grid follows the display mode's (60 Hz here).
  PortSetVerticalBlankRate(0);
  Wait(DDWAITVB_BLOCKBEGIN);
  const int64_t displayLine = Now();
  Wait(DDWAITVB_BLOCKBEGIN);
  EXPECT_EQ(Now() - displayLine, 1000000000 / 60);
}

// An unsteady display lets every second wait run one period longer, so no two gaps in a row
// agree and a measurement never settles.
TEST_F(DirectDraw, UnsteadyDisplayAlternatesItsGaps) {
  ASSERT_EQ(dd_->Initialize(nullptr), DD_OK);
  PortSetSimulatedTime(true);
  PortSetVerticalBlankRate(25);
  PortSetUnsteadyVerticalBlank(true);
  constexpr int64_t kPeriod = 40000000;
  Wait(DDWAITVB_BLOCKBEGIN);
  int64_t last = Now();
  for (int i = 0; i < 6; ++i) {
    Wait(DDWAITVB_BLOCKBEGIN);
    EXPECT_EQ(Now() - last, i % 2 == 0 ? 2 * kPeriod : kPeriod) << i;
    last = Now();
  }
}

// On the real clock a wait really sleeps: three waits from any moment take more than two
// periods, however busy the machine.
TEST_F(DirectDraw, ARealWaitIsNeverEarly) {
  ASSERT_EQ(dd_->Initialize(nullptr), DD_OK);
  PortSetVerticalBlankRate(100);
  const int64_t start = Now();
  for (int i = 0; i < 3; ++i) Wait(DDWAITVB_BLOCKBEGIN);
  EXPECT_GT(Now() - start, 2 * 10000000);
}

}  // namespace
