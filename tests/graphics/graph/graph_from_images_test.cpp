// Graphs made from files and pictures on the software path: sheets cut into cells, failing
// files, the refusals of the cutter, memory images with alpha images, replacing pixels, blank
// graphs and the white graph of the device layer.
#include <string>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/graph_load_checks.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/log_capture.h"

namespace {

using GraphsFromImages = SoftwareGraphs;

TEST_F(GraphsFromImages, SheetsCutIntoCells) { CheckSheetCells(SoftGraphPixel); }

TEST_F(GraphsFromImages, FilesThatCannotBeLoadedLeaveNothing) { CheckFailingImageFiles(false); }

// Cells the grid cannot give are refused before anything is made, and a cell that falls
// outside the picture undoes every cell made before it.
TEST_F(GraphsFromImages, CutterRefusesWhatItCannotFill) {
  TestPicture picture(32, 12, PatternColour);
  LogCapture log;
  struct Refusal {
    const char* what;
    int total, columns, rows;
    bool nullHandles;
  } refusals[] = {{"total above the grid", 9, 4, 2, false},
                  {"total 0", 0, 4, 2, false},
                  {"negative total", -1, 4, 2, false},
                  {"no columns", 1, 0, 2, false},
                  {"no output", 4, 4, 2, true}};
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.what);
    int cells[10];
    for (int& c : cells) c = 12345;
    EXPECT_EQ(CreateDivGraphFromGraphImage(&picture.image, nullptr, r.total, r.columns, r.rows, 8,
                                           6, r.nullHandles ? nullptr : cells, 1, 0, 0),
              -1);
    EXPECT_EQ(GraphHandles.count, 0);
    for (int c : cells) EXPECT_EQ(c, 12345);
  }
  // Five columns of 8 on a picture 32 wide: the fifth cell starts outside.
  int cells[5];
  EXPECT_EQ(CreateDivGraphFromGraphImage(&picture.image, nullptr, 5, 5, 1, 8, 6, cells, 1, 0, 0),
            -1);
  EXPECT_EQ(GraphHandles.count, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(cells[i], -1);
  EXPECT_NE(log.Contents().find("グラフィックの分割に失敗しました in CreateDivGraphFromGraphImage"),
            std::string::npos);
}

TEST_F(GraphsFromImages, MemoryImagesWithAlphaImagesAndReplacing) {
  const ByteString picture = MakeBmpSheet(4, 2, SheetColour);
  const ByteString alpha = MakeBmpSheet(4, 2, [](int x, int) {
    const uint32_t a = static_cast<uint32_t>(x * 80);
    return 0xFF000000u | a << 16 | a << 8 | a;
  });
  const int g = CreateGraphFromMemory(picture.data(), static_cast<int>(picture.size()),
                                      alpha.data(), static_cast<int>(alpha.size()), 1, 0);
  ASSERT_NE(g, -1);
  // The alpha image's red gives the alpha.
  EXPECT_EQ(SoftGraphPixel(g, 3, 1), (SheetColour(3, 1) & 0xFFFFFF) | 240u << 24);
  EXPECT_EQ(SoftGraphPixel(g, 0, 0) >> 24, 0u);
  EXPECT_EQ(GetGraphSourcePath(g), nullptr);

  // Mirrored from memory.
  const int m =
      CreateGraphFromMemory(picture.data(), static_cast<int>(picture.size()), nullptr, 0, 1, 1);
  ASSERT_NE(m, -1);
  EXPECT_EQ(SoftGraphPixel(m, 0, 1), SheetColour(3, 1));

  // Replacing: the size must match; the pixels are written at (0, 0).
  TestPicture small(3, 2, PatternColour);
  EXPECT_EQ(ReplaceGraphFromImage(&small.image, m), -1);
  TestPicture same(4, 2, PatternColour);
  ASSERT_EQ(ReplaceGraphFromImage(&same.image, m), 0);
  EXPECT_EQ(SoftGraphPixel(m, 3, 1), PatternColour(3, 1));
  // Both mirror flags: written turned around, and the caller's picture is given back as it was.
  ASSERT_EQ(ReplaceGraphFromImageMirrored(&same.image, nullptr, m, 0, 1, 1), 0);
  EXPECT_EQ(SoftGraphPixel(m, 3, 1), PatternColour(0, 1));
  EXPECT_EQ(GetGraphImagePixelArgb(&same.image, 0, 1), PatternColour(0, 1));
  EXPECT_EQ(ReplaceGraphFromImageMirrored(&same.image, &small.image, m, 0, 0, 0), -1);
  ASSERT_EQ(
      ReplaceGraphFromMemory(picture.data(), static_cast<int>(picture.size()), m, nullptr, 0, 0, 1),
      0);
  EXPECT_EQ(SoftGraphPixel(m, 0, 1), SheetColour(3, 1));
  const ByteString other = MakeBmpSheet(5, 2, SheetColour);
  EXPECT_EQ(
      ReplaceGraphFromMemory(other.data(), static_cast<int>(other.size()), m, nullptr, 0, 0, 0),
      -1);
  EXPECT_EQ(ReplaceGraphFromImage(&same.image, m + 1), -1);
}

TEST_F(GraphsFromImages, BlankAndWhiteGraphs) {
  BlankGraphAlphaOption = 1;
  const int blank = CreateBlankGraph(20, 10);
  ASSERT_NE(blank, -1);
  EXPECT_EQ(GetGraphEntry(blank)->textureSet->record.HasAlpha, 1);
  BlankGraphAlphaOption = 0;
  EXPECT_EQ(CreateBlankGraph(0, 10), -1);
  GraphicsInitialised = 0;
  EXPECT_EQ(CreateBlankGraph(20, 10), -1);
  GraphicsInitialised = 1;

  ColorKey = 0x123456;
  const int white = CreateWhiteTextureGraph();
  ASSERT_NE(white, -1);
  EXPECT_EQ(ColorKey, 0x123456u);
  const GraphEntry* entry = GetGraphEntry(white);
  EXPECT_EQ(entry->width, 8);
  EXPECT_EQ(entry->height, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(SoftGraphPixel(white, x, y), 0xFFFFFFFFu);
}

}  // namespace
