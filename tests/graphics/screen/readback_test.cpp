// Reading the draw target back on the software path: screenshots in the three formats, the
// rectangles and types that write nothing, a graph target measured by its own size, the lent
// image and the copy of the screen into a graph.
#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "tests/support/graph_pictures.h"
#include "tests/support/screen_library.h"

namespace {

class SoftwareReadback : public ScreenLibraryTest {
 protected:
  void SetUp() override {
    ScreenLibraryTest::SetUp();
    ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(SetDrawTarget(-2), 0);
    PaintScreenImage();
  }
  // The file read back, or an empty image.
  GraphImage Read(const char* name) {
    GraphImage image = {};
    ReadImageToGraphImage(name, nullptr, 0, 0, &image, 0);
    return image;
  }
};

TEST_F(SoftwareReadback, AScreenshotHoldsTheScreen) {
  ASSERT_EQ(SaveDrawScreen(0, 0, 640, 480, "shot.bmp", 0, 80, 1, -1), 0);
  GraphImage shot = Read("shot.bmp");
  ASSERT_EQ(shot.Width, 640);
  ASSERT_EQ(shot.Height, 480);
  for (int y = 0; y < 480; y += 5)
    for (int x = 0; x < 640; x += 3)
      ASSERT_EQ(GetGraphImagePixelArgb(&shot, x, y) | 0xFF000000u, ScreenImagePixel(x, y));
  FreeGraphImage(&shot);

  ASSERT_EQ(SaveDrawScreen(100, 50, 164, 82, "part.png", 2, 80, 1, 6), 0);
  GraphImage part = Read("part.png");
  ASSERT_EQ(part.Width * 1000 + part.Height, 64032);
  EXPECT_EQ(GetGraphImagePixelArgb(&part, 3, 2) | 0xFF000000u, ScreenImagePixel(103, 52));
  FreeGraphImage(&part);
  EXPECT_EQ(SaveDrawScreen(0, 0, 640, 480, "shot.jpg", 1, 80, 1, -1), 0);
  EXPECT_TRUE(folder_.Exists("shot.jpg"));
}

TEST_F(SoftwareReadback, BadRectanglesUnknownTypesAndMissingFoldersWriteNothing) {
  struct Case {
    RECT rect;
    int type;
    const char* name;
  };
  const Case cases[] = {
      {{10, 0, 10, 480}, 0, "empty.bmp"},      {{0, 0, 641, 480}, 0, "overhang.bmp"},
      {{-1, 0, 640, 480}, 0, "negative.bmp"},  {{0, 0, 640, 480}, 3, "type3.bmp"},
      {{0, 0, 640, 480}, 0, "NoFolder/a.bmp"}, {{0, 0, 640, 480}, 2, "NoFolder/a.png"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SaveDrawScreen(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, c.name, c.type,
                             80, 1, -1),
              -1)
        << c.name;
    EXPECT_FALSE(folder_.Exists(c.name)) << c.name;
  }
}

TEST_F(SoftwareReadback, AGraphTargetIsMeasuredByItsOwnSize) {
  TestPicture picture(64, 32, PatternColour);
  const int graph = NewGraph(64, 32);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  ASSERT_EQ(SetDrawTarget(graph), 0);
  EXPECT_EQ(SaveDrawScreen(0, 0, 65, 32, "graph.bmp", 0, 80, 1, -1), -1);
  ASSERT_EQ(SaveDrawScreen(0, 0, 64, 32, "graph.bmp", 0, 80, 1, -1), 0);
  GraphImage shot = Read("graph.bmp");
  ASSERT_EQ(shot.Width * 1000 + shot.Height, 64032);
  EXPECT_EQ(GetGraphImagePixelArgb(&shot, 63, 31) | 0xFF000000u, PatternColour(63, 31));
  FreeGraphImage(&shot);
}

// The lent image views the target; a second lock before the unlock is refused.
TEST_F(SoftwareReadback, TheLockLendsTheRectangleOnce) {
  const RECT rect = {10, 20, 74, 52};
  GraphImage image = {};
  ASSERT_EQ(LockDrawTargetImage(&rect, &image), 0);
  EXPECT_EQ(image.Width * 1000 + image.Height, 64032);
  EXPECT_EQ(GetGraphImagePixelArgb(&image, 0, 0) | 0xFF000000u, ScreenImagePixel(10, 20));
  EXPECT_EQ(GetGraphImagePixelArgb(&image, 63, 31) | 0xFF000000u, ScreenImagePixel(73, 51));
  GraphImage second = {};
  EXPECT_EQ(LockDrawTargetImage(&rect, &second), -1);
  EXPECT_EQ(UnlockDrawTargetImage(), 0);
  EXPECT_EQ(UnlockDrawTargetImage(), 0);  // nothing held
  const RECT outside = {600, 0, 641, 10};
  EXPECT_EQ(LockDrawTargetImage(&outside, &second), -1);
  ASSERT_EQ(LockDrawTargetImage(&rect, &second), 0);
  UnlockDrawTargetImage();
}

TEST_F(SoftwareReadback, TheScreenCopiesIntoAGraph) {
  const int graph = NewGraph(100, 50);
  EXPECT_EQ(CopyDrawTargetToGraph(0, 0, 100, 49, graph), -1);  // not the graph's size
  ASSERT_EQ(CopyDrawTargetToGraph(200, 100, 300, 150, graph), 0);
  for (int y = 0; y < 50; y += 7)
    for (int x = 0; x < 100; x += 9)
      ASSERT_EQ(SoftGraphPixel(graph, x, y), ScreenImagePixel(200 + x, 100 + y));
}

}  // namespace
