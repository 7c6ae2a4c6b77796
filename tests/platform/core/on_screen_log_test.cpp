// The on-screen log's state: activation needs the graphics layer, the font is made once and
// again after it is lost, drawing covers the lines that fit the screen.
#include "runtime/platform/core/on_screen_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FakeGraphics {
  int ready = 1;
  int fontsMade = 0;
  int nextFont = 7;
  int* lostFlag = nullptr;
  std::vector<int> deleted;
  std::vector<int> drawnY;
  int height = 480;
};
FakeGraphics gFake;

const OnScreenLogHooks kHooks = {
    [] { return gFake.ready; },
    [] {
      ++gFake.fontsMade;
      return gFake.nextFont;
    },
    [](int, int* flag) { gFake.lostFlag = flag; },
    [](int handle) { gFake.deleted.push_back(handle); },
    [] { return gFake.height; },
    [](int x, int y, const char* text, int font) {
      EXPECT_EQ(x, 0);
      EXPECT_STREQ(text, "");
      EXPECT_EQ(font, gFake.nextFont);
      gFake.drawnY.push_back(y);
    },
};

class OnScreenLog : public testing::Test {
 protected:
  void SetUp() override { gFake = FakeGraphics{}; }
  void TearDown() override {
    EndOnScreenLog();
    SetOnScreenLogHooks(nullptr);
  }
};

TEST_F(OnScreenLog, WithoutGraphicsNothingActivates) {
  SetOnScreenLogHooks(nullptr);
  EXPECT_EQ(InitOnScreenLog(), -1);
  EXPECT_EQ(DrawOnScreenLog(), -1);
  EXPECT_EQ(GetOnScreenLogState().active, 0);
  SetOnScreenLogHooks(&kHooks);
  gFake.ready = 0;
  EXPECT_EQ(InitOnScreenLog(), -1);
  EXPECT_EQ(GetOnScreenLogState().active, 0);
}

TEST_F(OnScreenLog, FontIsMadeOnceAndAgainAfterItIsLost) {
  SetOnScreenLogHooks(&kHooks);
  ASSERT_EQ(InitOnScreenLog(), 0);
  EXPECT_EQ(InitOnScreenLog(), 0);
  EXPECT_EQ(gFake.fontsMade, 1);
  EXPECT_EQ(GetOnScreenLogState().fontHandle, 7);
  EXPECT_EQ(GetOnScreenLogState().lineHeight, 16);
  EXPECT_EQ(GetOnScreenLogFlag(), 0);
  ASSERT_NE(gFake.lostFlag, nullptr);
  *gFake.lostFlag = 1;  // what deleting the font does
  gFake.nextFont = 9;
  EXPECT_EQ(RefreshOnScreenLogFont(), 0);
  EXPECT_EQ(gFake.fontsMade, 2);
  EXPECT_EQ(GetOnScreenLogState().fontHandle, 9);
  EndOnScreenLog();
  EXPECT_EQ(gFake.deleted, std::vector<int>{9});
  EXPECT_EQ(GetOnScreenLogState().active, 0);
  EXPECT_EQ(GetOnScreenLogState().fontHandle, -1);
}

TEST_F(OnScreenLog, LostFontIsNotDeletedAtTheEnd) {
  SetOnScreenLogHooks(&kHooks);
  ASSERT_EQ(InitOnScreenLog(), 0);
  *gFake.lostFlag = 1;
  EndOnScreenLog();
  EXPECT_TRUE(gFake.deleted.empty());
}

TEST_F(OnScreenLog, DrawsTheLinesThatFitTheScreen) {
  SetOnScreenLogHooks(&kHooks);
  for (int height : {480, 40, 2000}) {
    gFake.drawnY.clear();
    gFake.height = height;
    EXPECT_EQ(DrawOnScreenLog(), 0);  // activates on first use
    const int expected = height / 16 < 80 ? height / 16 : 80;
    ASSERT_EQ(static_cast<int>(gFake.drawnY.size()), expected) << height;
    EXPECT_EQ(gFake.drawnY.back(), (expected - 1) * 16);
  }
}

}  // namespace
