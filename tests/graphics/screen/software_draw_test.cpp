// The software draw entries: each hands the graph's memory image to the renderer with the
// screen as target; the rotated draw truncates its centre, the four-corner draw is two
// triangles with the texture points at the graph's corners.
#include <cstring>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/softrender/draw_primitives.h"
#include "tests/support/graph_pictures.h"
#include "tests/support/screen_library.h"

namespace {

class SoftwareDraws : public ScreenLibraryTest {
 protected:
  void SetUp() override {
    ScreenLibraryTest::SetUp();
    ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(SetDrawTarget(-2), 0);
    ASSERT_EQ(CreateScreenMemImg(&reference_, 640, 480, -1), 0);
    graph_ = NewGraph(32, 16);
    TestPicture picture(32, 16, PatternColour);
    ASSERT_EQ(UploadWhole(graph_, picture.image), 0);
  }
  void TearDown() override {
    ReleaseMemImg(&reference_);
    ScreenLibraryTest::TearDown();
  }
  const MEMIMG* GraphImage() const { return &GetGraphEntry(graph_)->image; }
  // The screen equals the reference drawn by the renderer directly.
  void ExpectScreenEqualsReference() {
    const size_t bytes = static_cast<size_t>(ScreenMemImg.body->pitch) * 480;
    ASSERT_EQ(reference_.body->pitch, ScreenMemImg.body->pitch);
    EXPECT_EQ(std::memcmp(ScreenMemImg.pixels, reference_.pixels, bytes), 0);
    EXPECT_NE(std::memcmp(ScreenMemImg.pixels, blank_.data(), bytes), 0) << "nothing drawn";
  }
  // The screen cleared, and the reference and the blank copy equal to it.
  void Blank() {
    ClearWholeDrawTarget();
    std::memcpy(blank_.data(), ScreenMemImg.pixels, blank_.size());
    std::memcpy(reference_.pixels, ScreenMemImg.pixels, blank_.size());
  }

  MEMIMG reference_ = {};
  int graph_ = -1;
  std::vector<uint8_t> blank_ = std::vector<uint8_t>(640 * 4 * 480);  // pitch x height
};

TEST_F(SoftwareDraws, TheRotatedCentreIsTruncatedTowardZero) {
  for (float cx : {100.9f, -10.9f}) {
    Blank();
    ASSERT_EQ(SoftDrawGraphRotated(cx, 40.7f, 2.0, 0.5, graph_, 0, 0), 0);
    DrawMemImgRotated(&reference_, GraphImage(), static_cast<int>(cx), 40, 0.5f, 2.0f, 0, 0,
                      nullptr);
    ExpectScreenEqualsReference();
  }
}

TEST_F(SoftwareDraws, FourCornersAreTwoTrianglesWithTheGraphsTexturePoints) {
  Blank();
  ASSERT_EQ(SoftDrawGraphFourCornersF(100.8f, 50.2f, 180.5f, 60.9f, 90.1f, 120.6f, 200.9f, 150.3f,
                                      graph_, 0),
            0);
  const int32_t first[12] = {100, 50, 0, 0, 180, 60, 32, 0, 90, 120, 0, 16};
  const int32_t second[12] = {180, 60, 32, 0, 90, 120, 0, 16, 200, 150, 32, 16};
  DrawMemImgTriangle(&reference_, GraphImage(), first, 0, nullptr, 0);
  DrawMemImgTriangle(&reference_, GraphImage(), second, 0, nullptr, 0);
  ExpectScreenEqualsReference();
}

TEST_F(SoftwareDraws, OtherEntriesDrawTheGraphAndNothingForABadHandle) {
  Blank();
  ASSERT_EQ(SoftDrawGraphAt(5, 6, 0, graph_), 0);
  ASSERT_EQ(SoftDrawGraphStretched(300, 10, 200, 50, graph_, 0), 0);  // mirrored
  ASSERT_EQ(SoftFillBox(400, 400, 420, 410, 0x00FF00), 0);
  ASSERT_EQ(SoftDrawGraphAt(50, 60, 0, graph_ + 1), 0);
  DrawMemImgPlain(&reference_, GraphImage(), 5, 6, 0, nullptr);
  const RECT stretched = {300, 10, 200, 50};
  DrawMemImgStretched(&reference_, GraphImage(), &stretched, 0, nullptr);
  const RECT box = {400, 400, 420, 410};
  FillMemImgRect(&reference_, &box, 0x00FF00);
  ExpectScreenEqualsReference();
}

}  // namespace
