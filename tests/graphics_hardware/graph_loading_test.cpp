// Graphs loaded from files on a real device: sheets cut into cells (their texels read back),
// the files that cannot be loaded (a DXT file that fills no texture whole among them), the fuzz
// smoke test of graphs from files in memory, and graphs of every kind coming back pixel for
// pixel after the device is lost.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/device_loss.h"
#include "runtime/graphics/screen/draw_target.h"
#include "tests/graphics_hardware/graph_device_fixture.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/graph_load_checks.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/temp_folder.h"

namespace {

// A graph's pixel from the texel of the tile that covers it.
uint32_t DevicePixel(int graph, int x, int y) {
  const GraphEntry* entry = GetGraphEntry(graph);
  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& d = entry->tileDraws[t];
    if (x < d.dstX || x >= d.dstX + d.width || y < d.dstY || y >= d.dstY + d.height) continue;
    IDirect3DTexture9* texture =
        d.tile->stagingTexture != nullptr ? d.tile->stagingTexture : d.tile->texture;
    const std::vector<uint32_t> texels = ReadTextureLevel(texture, 0);
    const size_t at = static_cast<size_t>(d.srcY + y - d.dstY) * d.tile->textureWidth +
                      static_cast<size_t>(d.srcX + x - d.dstX);
    return at < texels.size() ? texels[at] : 0xDEADBEEF;
  }
  return 0xDEADBEEF;
}

TEST_F(HardwareGraphs, SheetsCutIntoCells) { CheckSheetCells(DevicePixel); }

TEST_F(HardwareGraphs, FilesThatCannotBeLoadedLeaveNothing) { CheckFailingImageFiles(true); }

// Small textures, so that pictures are cut into several tiles.
TEST_F(HardwareGraphs, MutatedFilesFromMemory) {
  const int maxTextureSize = MaxTextureSize;
  MaxTextureSize = 32;
  EXPECT_GT(RunGraphFromMemorySmoke(1000, 616u), 1000 / 50);
  MaxTextureSize = maxTextureSize;
}

using LoadedGraphsAfterLoss = StartedGraphics;

std::string Str(const ByteString& bytes) { return {bytes.begin(), bytes.end()}; }

// Whole graphs, cells, mirrored cells and the cells of a DXT sheet, drawn before the device is
// lost and again after it was made anew: the screens are the same pixel for pixel.
TEST_F(LoadedGraphsAfterLoss, ComeBackAsTheyWere) {
  ASSERT_TRUE(Start(true));
  TempFolder folder;
  const std::string dir = folder.WindowsPath() + "\\";
  folder.WriteFile("sheet.png", Str(MakePngSheet(48, 32, SheetColour)));
  folder.WriteFile("sheet.bmp", Str(MakeBmpSheet(40, 24, SheetColour)));
  // DXT1 blocks of distinct colours: colour 0 of block b is b's 5-6-5 value, every index 0.
  DdsFileLayout dds;
  dds.width = 32;
  dds.height = 32;
  dds.fourCC = "DXT1";
  ByteString blocks;
  for (int b = 0; b < 64; ++b) {
    const uint16_t colour = static_cast<uint16_t>(0x0841 * (b % 31) + 0x20 * b + 1);
    const uint8_t block[8] = {
        static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8), 0, 0, 0, 0, 0, 0};
    blocks.insert(blocks.end(), block, block + 8);
  }
  folder.WriteFile("sheet.dds", Str(MakeDdsFile(dds, blocks)));

  std::vector<int> graphs;
  graphs.push_back(LoadGraphFromFile((dir + "sheet.png").c_str(), 0));
  graphs.push_back(LoadGraphFileWithOptions((dir + "sheet.bmp").c_str(), 1, 1));
  int cells[6], mirrored[6], dxt[4];
  ASSERT_EQ(LoadGraphCellsFromFile((dir + "sheet.png").c_str(), 6, 3, 2, 16, 16, cells, 0), 0);
  ASSERT_EQ(LoadDivGraphFile((dir + "sheet.bmp").c_str(), 6, 3, 2, 13, 12, mirrored, 1, 1), 0);
  ASSERT_EQ(LoadGraphCellsFromFile((dir + "sheet.dds").c_str(), 4, 2, 2, 16, 16, dxt, 0), 0);
  graphs.insert(graphs.end(), cells, cells + 6);
  graphs.insert(graphs.end(), mirrored, mirrored + 6);
  graphs.insert(graphs.end(), dxt, dxt + 4);
  for (int g : graphs) ASSERT_NE(g, -1);
  // A graph from memory has no file to come back from: it shows that the device was made anew.
  const ByteString memory = MakeBmpSheet(16, 16, SheetColour);
  const int fromMemory =
      CreateGraphFromMemory(memory.data(), static_cast<int>(memory.size()), nullptr, 0, 1, 0);
  ASSERT_NE(fromMemory, -1);

  const auto drawAll = [&] {
    ClearDrawTarget(nullptr);
    for (size_t i = 0; i < graphs.size(); ++i)
      EXPECT_EQ(
          DrawGraphAt(static_cast<int>(i % 8) * 60, static_cast<int>(i / 8) * 60, graphs[i], 0), 0);
    EXPECT_EQ(DrawGraphAt(0, 200, fromMemory, 0), 0);
    return SavedScreen(0, 0, 480, 240);
  };
  const std::vector<uint32_t> before = drawAll();
  ASSERT_FALSE(before.empty());

  PortSetD3DDeviceLost(true);
  RecreateGraphicsDevice();
  PortSetD3DDeviceLost(false);
  const std::vector<uint32_t> after = drawAll();
  ASSERT_EQ(after.size(), before.size());
  size_t differing = 0;
  for (size_t i = 0; i < 480u * 200u; ++i) differing += before[i] != after[i];
  EXPECT_EQ(differing, 0u);
  EXPECT_EQ(before[480 * 205 + 5], SheetColour(5, 5) & 0xFFFFFF);
  EXPECT_NE(after[480 * 205 + 5], before[480 * 205 + 5]);
  // The draws showed the pictures, not an empty screen.
  EXPECT_EQ(before[0], SheetColour(0, 0) & 0xFFFFFF);
  EXPECT_EQ(before[60], SheetColour(39, 0) & 0xFFFFFF);
}

}  // namespace
