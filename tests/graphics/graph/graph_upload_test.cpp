// Writing pixels into graphs on the software path: uploads of plain, keyed, paletted and DXT
// pictures, their cuts and refusals, and copies of the draw target into a graph.
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tools/lib/image_file_fixtures.h"

namespace {

using SoftwareUploads = SoftwareGraphs;

int Upload(int graph, const GraphImage& image, RECT source, int dstX, int dstY, int key = 0,
           int wholeSet = 0) {
  return UploadImageToGraph(graph, 0, nullptr, nullptr, &source, dstX, dstY, 0, &image, nullptr, 0,
                            key, wholeSet);
}

TEST_F(SoftwareUploads, APictureReadsBackAsItWasAndCutsStopAtTheGraph) {
  TestPicture picture(40, 30, PatternColour);
  const int graph = NewGraph(40, 30);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(SoftGraphPixel(graph, x, y), PatternColour(x, y));

  // A cell of the graph: its coordinates, or the set's with the whole-set flag.
  const int cell = CreateSubGraph(10, 5, 20, 20, graph);
  TestPicture white(40, 40, [](int, int) { return 0xFFFFFFFFu; });
  ASSERT_EQ(Upload(cell, white.image, {0, 0, 40, 40}, 15, 15), 0);  // cut to 5 x 5
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool written = x >= 25 && x < 30 && y >= 20 && y < 25;
      ASSERT_EQ(SoftGraphPixel(graph, x, y), written ? 0xFFFFFFFFu : PatternColour(x, y))
          << x << "," << y;
    }
  ASSERT_EQ(Upload(cell, picture.image, {0, 0, 2, 2}, 0, 0, 0, 1), 0);
  EXPECT_EQ(SoftGraphPixel(graph, 0, 0), PatternColour(0, 0));

  // Nothing to write: an empty rectangle is a success that touches nothing; a corner past the
  // graph or a rectangle outside the picture is a failure.
  EXPECT_EQ(Upload(graph, white.image, {5, 5, 5, 10}, 0, 0), 0);
  EXPECT_EQ(Upload(graph, white.image, {5, 5, 9, 5}, 0, 0), 0);
  EXPECT_EQ(Upload(graph, white.image, {0, 0, 4, 4}, 40, 0), -1);
  EXPECT_EQ(Upload(graph, white.image, {50, 50, 60, 60}, 0, 0), -1);
  EXPECT_EQ(SoftGraphPixel(graph, 5, 5), PatternColour(5, 5));
}

TEST_F(SoftwareUploads, TheColourKeyBecomesTransparencyWhereTheGraphHasAlpha) {
  // A picture without alpha, as a BMP or JPEG file gives.
  GraphImage picture = {};
  ASSERT_EQ(CreateXrgbGraphImage(2, 1, &picture), 0);
  SetGraphImagePixel(&picture, 0, 0, 255, 0, 255, 255);
  SetGraphImagePixel(&picture, 1, 0, 0x10, 0x20, 0x30, 255);
  const int graph = NewGraph(2, 1, 1);
  ASSERT_EQ(Upload(graph, picture, {0, 0, 2, 1}, 0, 0, 1), 0);
  EXPECT_EQ(SoftGraphPixel(graph, 0, 0) >> 24, 0u);
  EXPECT_EQ(SoftGraphPixel(graph, 1, 0), 0xFF102030u);
  ASSERT_EQ(Upload(graph, picture, {0, 0, 2, 1}, 0, 0, 0), 0);
  EXPECT_EQ(SoftGraphPixel(graph, 0, 0), 0xFFFF00FFu);
  FreeGraphImage(&picture);
}

TEST_F(SoftwareUploads, APalettedGraphTakesTheKeysPaletteIndexAsTransparent) {
  GraphImage picture = {};
  SetupPalettePixelFormat(&picture.Format);
  picture.Format.Palette[2] = {0xFF, 0x00, 0xFF, 0};  // magenta at index 2
  picture.Format.Palette[5] = {0x10, 0x20, 0x30, 0};
  picture.Width = 4;
  picture.Height = 1;
  picture.Pitch = 4;
  const uint8_t indices[4] = {5, 2, 5, 2};
  picture.Pixels = const_cast<uint8_t*>(indices);
  const int graph = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(1, graph, 4, 1, 0, 1, 0), 0);
  const MemImgBody* body = GetGraphEntry(graph)->textureSet->image.body;
  EXPECT_EQ(body->transparentColor, 0xFFFFu);
  ASSERT_EQ(UploadWhole(graph, picture), 0);
  EXPECT_EQ(body->transparentColor, 2u);

  // A fill takes the nearest palette entry.
  ASSERT_EQ(FillGraph(graph, 0x30, 0x20, 0x18, 255), 0);
  EXPECT_EQ(GetGraphEntry(graph)->image.pixels[3], 5);

  picture.Format.Palette[2] = {0x00, 0xFF, 0x00, 0};  // no entry holds the key
  ASSERT_EQ(UploadWhole(graph, picture), 0);
  EXPECT_EQ(body->transparentColor, NoTransparentIndex);
}

TEST_F(SoftwareUploads, DxtPicturesAreExpandedIntoTheMemoryImage) {
  const auto colour = [](int, int bx, int by) {
    return static_cast<uint16_t>(0x0841 * (1 + bx + 3 * by));
  };
  for (int kind : {1, 3, 5}) {
    SCOPED_TRACE(kind);
    GraphImage picture = MakeDxtPicture(kind, 12, 8, 1, colour);
    const int graph = NewGraph(12, 8);
    ASSERT_EQ(UploadWhole(graph, picture), 0);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x)
        ASSERT_EQ(SoftGraphPixel(graph, x, y), Expand565(colour(0, x / 4, y / 4))) << x << "," << y;
    EXPECT_EQ(picture.Format.BlockCompression, static_cast<uint32_t>(kind));  // left as it was
    FreeGraphImage(&picture);
    DeleteGraphHandle(graph);
  }
}

TEST_F(SoftwareUploads, ADdsFileMakesAGraphThatShowsItsPixels) {
  const uint16_t colours[4] = {0xF800, 0x07E0, 0x001F, 0xFFE0};
  ByteString blocks;
  for (uint16_t c : colours)
    blocks.insert(blocks.end(),
                  {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), 0, 0, 0, 0, 0, 0});
  DdsFileLayout layout;
  layout.width = 8;
  layout.height = 8;
  layout.fourCC = "DXT1";
  const ByteString file = MakeDdsFile(layout, blocks);
  GraphImage picture = {};
  ASSERT_EQ(
      ReadImageToGraphImage(nullptr, file.data(), static_cast<int>(file.size()), 1, &picture, 0),
      0);
  const int graph = NewGraph(8, 8);
  ASSERT_EQ(UploadWhole(graph, picture), 0);
  EXPECT_EQ(SoftGraphPixel(graph, 1, 1), 0xFFFF0000u);
  EXPECT_EQ(SoftGraphPixel(graph, 6, 2), 0xFF00FF00u);
  EXPECT_EQ(SoftGraphPixel(graph, 0, 7), 0xFF0000FFu);
  EXPECT_EQ(SoftGraphPixel(graph, 7, 7), 0xFFFFFF00u);
  FreeGraphImage(&picture);
}

TEST_F(SoftwareUploads, NothingIsWrittenBeforeGraphicsStartOrFromABitmap) {
  TestPicture picture(4, 4, PatternColour);
  const int graph = NewGraph(4, 4);
  const RECT rect = {0, 0, 4, 4};
  EXPECT_EQ(UploadImageToGraph(graph, 0, nullptr, nullptr, &rect, 0, 0, 1, &picture.image, nullptr,
                               0, 0, 0),
            -1);
  GraphicsInitialised = 0;
  EXPECT_EQ(UploadWhole(graph, picture.image), -1);
  GraphicsInitialised = 1;
  EXPECT_EQ(SoftGraphPixel(graph, 1, 1), 0xFF000000u);
}

TEST_F(SoftwareUploads, TheDrawTargetGraphIsCopiedIntoAGraphOfTheRectanglesSize) {
  TestPicture picture(120, 60, PatternColour);
  const int target = NewGraph(120, 60);
  ASSERT_EQ(UploadWhole(target, picture.image), 0);
  const int copy = NewGraph(100, 50);
  const int other = NewGraph(100, 51);
  DrawTarget = target;
  struct Case {
    int x1, y1, x2, y2, graph, result;
  } cases[] = {
      // The graph's size exactly, inside the target.
      {0, 0, 100, 50, copy, 0},
      {10, 5, 110, 55, copy, 0},
      // Not the graph's size.
      {0, 0, 100, 50, other, -1},
      {10, 5, 110, 56, copy, -1},
      // Past the target, or reversed.
      {30, 0, 130, 50, copy, -1},
      {-1, 0, 99, 50, copy, -1},
      {110, 55, 10, 5, copy, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CopyDrawTargetToGraph(c.x1, c.y1, c.x2, c.y2, c.graph), c.result)
        << c.x1 << "," << c.y1 << "," << c.x2 << "," << c.y2;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(SoftGraphPixel(copy, x, y), PatternColour(x + 10, y + 5)) << x << "," << y;
  DrawTarget = kBackBufferTarget;
}

}  // namespace
