#include "tests/support/graph_load_checks.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9.h"
#include "port/kernel/handles.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/image_file_support.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kColumns = 4, kRows = 2, kCellW = 8, kCellH = 6;

std::string Str(const ByteString& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<ByteString> AllSampleFiles() {
  std::vector<ByteString> all;
  for (auto samples : {SampleBmpFiles, SampleTgaFiles, SampleDdsFiles, SampleBgraFiles,
                       SamplePngFiles, SampleJpegFiles})
    for (ByteString& s : samples()) all.push_back(std::move(s));
  return all;
}

// Mends the checksums of a mutated PNG file, so that its decoder sees the mutations.
void RepairIfPng(ByteString* file) {
  if (!file->empty() && (*file)[0] == 0x89) RepairPngChunkCrcs(file);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void CheckSheetCells(const GraphPixelReader& pixel) {
  TempFolder folder;
  constexpr int w = kColumns * kCellW, h = kRows * kCellH;
  folder.WriteFile("sheet.png", Str(MakePngSheet(w, h, SheetColour)));
  folder.WriteFile("sheet.bmp", Str(MakeBmpSheet(w, h, SheetColour)));
  for (const char* file : {"sheet.png", "sheet.bmp"}) {
    const std::string name = folder.WindowsPath() + "\\" + file;
    for (int mirror = 0; mirror < 2; ++mirror) {
      SCOPED_TRACE(testing::Message() << file << (mirror ? " mirrored" : ""));
      int cells[8];
      for (int& c : cells) c = -7;
      ASSERT_EQ(
          LoadDivGraphFile(name.c_str(), 6, kColumns, kRows, kCellW, kCellH, cells, 1, mirror), 0);
      EXPECT_EQ(cells[6], -7);  // only `total` entries are written
      EXPECT_EQ(GraphHandles.count, 6);
      for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const GraphEntry* entry = GetGraphEntry(cells[i]);
        ASSERT_NE(entry, nullptr);
        ASSERT_EQ(entry->width, kCellW);
        ASSERT_EQ(entry->height, kCellH);
        ASSERT_NE(entry->sourceFile, nullptr);
        EXPECT_TRUE(EndsWith(entry->sourceFile->path, file));
        EXPECT_EQ(entry->sourceFile->mirrored, mirror);
        // Cell i lies in row i / 4; mirrored, the picture is turned around first and its
        // columns are taken from the right: cell (r, c) shows the file's cell (r, c) turned.
        const int column = i % kColumns, row = i / kColumns;
        for (int y = 0; y < kCellH; ++y)
          for (int x = 0; x < kCellW; ++x) {
            const int fileX = mirror ? column * kCellW + (kCellW - 1 - x) : column * kCellW + x;
            ASSERT_EQ(pixel(cells[i], x, y), SheetColour(fileX, row * kCellH + y))
                << x << ", " << y;
          }
        DeleteGraphHandle(cells[i]);
      }
    }
    const int whole = LoadGraphFromFile(name.c_str(), 0);
    ASSERT_NE(whole, -1);
    EXPECT_EQ(pixel(whole, 31, 11), SheetColour(31, 11));
    EXPECT_EQ(pixel(whole, 5, 0), SheetColour(5, 0));
    ASSERT_NE(GetGraphSourcePath(whole), nullptr);
    EXPECT_TRUE(EndsWith(GetGraphSourcePath(whole), file));
    DeleteGraphHandle(whole);
  }
}

void CheckFailingImageFiles(bool onDevice) {
  TempFolder folder;
  const ByteString png = MakePngSheet(16, 16, SheetColour);
  const ByteString bmp = MakeBmpSheet(16, 16, SheetColour);
  BmpFileLayout huge;
  huge.width = 60000;
  huge.height = 60000;
  huge.bitCount = 24;
  struct Case {
    const char* name;
    bool missing;
    ByteString bytes;
  };
  std::vector<Case> cases = {
      {"missing.png", true, {}},
      {"cut.png", false, ByteString(png.begin(), png.begin() + png.size() / 2)},
      {"cut.bmp", false, ByteString(bmp.begin(), bmp.begin() + bmp.size() / 2)},
      {"empty.bmp", false, {}},
      {"text.png", false, ByteString{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}},
      {"huge.bmp", false, MakeBmpFile(huge, ByteString(64, 0))},
  };
  if (onDevice) {
    DdsFileLayout dds;
    dds.width = 100;
    dds.height = 100;
    dds.fourCC = "DXT1";
    cases.push_back({"odd.dds", false, MakeDdsFile(dds, ByteString(25 * 25 * 8, 0x55))});
  }

  LogCapture log;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = folder.WindowsPath() + "\\" + c.name;
    if (!c.missing) folder.WriteFile(c.name, Str(c.bytes));
    const int graphs = GraphHandles.count;
    const int64_t blocks = GetTrackedHeapTotals().blocks;
    const int handles = PortOpenHandleCount();
    const int direct3d = PortLiveDirect3DObjects();
    const auto unchanged = [&](const char* call) {
      EXPECT_EQ(GraphHandles.count, graphs) << call;
      EXPECT_EQ(GetTrackedHeapTotals().blocks, blocks) << call;
      EXPECT_EQ(PortOpenHandleCount(), handles) << call;
      EXPECT_EQ(PortLiveDirect3DObjects(), direct3d) << call;
    };
    const std::string failed = "右記のグラフィックファイルのロードに失敗しました：" + name;

    std::string before = log.Contents();
    EXPECT_EQ(LoadGraphFromFile(name.c_str(), 0), -1);
    const std::string line =
        c.missing ? "グラフィックファイル " + name + " がありません\r\n" : failed + " \r\n";
    EXPECT_NE(log.Contents().find(line, before.size()), std::string::npos);
    unchanged("LoadGraphFromFile");

    before = log.Contents();
    int cells[4] = {-7, -7, -7, -7};
    EXPECT_EQ(LoadGraphCellsFromFile(name.c_str(), 4, 2, 2, 8, 8, cells, 0), -1);
    EXPECT_NE(log.Contents().find(failed + "\r\n", before.size()), std::string::npos);
    for (int cell : cells) EXPECT_FALSE(IsGraphHandleValid(cell));
    unchanged("LoadGraphCellsFromFile");

    if (c.missing) continue;
    before = log.Contents();
    EXPECT_EQ(
        CreateGraphFromMemory(c.bytes.data(), static_cast<int>(c.bytes.size()), nullptr, 0, 1, 0),
        -1);
    // No file, so no line of the file loaders.
    EXPECT_EQ(log.Contents().find("右記の", before.size()), std::string::npos);
    unchanged("CreateGraphFromMemory");
  }
}

int RunGraphFromMemorySmoke(int cases, uint32_t seed) {
  const std::vector<ByteString> samples = AllSampleFiles();
  std::mt19937 random(seed);
  const int graphsAtStart = GraphHandles.count;
  const int direct3d = PortLiveDirect3DObjects();
  const ByteString target = SampleBmpFiles().front();
  const int replaced =
      CreateGraphFromMemory(target.data(), static_cast<int>(target.size()), nullptr, 0, 1, 0);
  EXPECT_NE(replaced, -1);
  int made = 0;
  for (int i = 0; i < cases; ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    ByteString picture = Mutate(samples[random() % samples.size()], random);
    RepairIfPng(&picture);
    ByteString alpha;
    if (random() % 4 == 0) {
      alpha = Mutate(samples[random() % samples.size()], random);
      RepairIfPng(&alpha);
    }
    const int mirror = static_cast<int>(random() % 2);
    const void* alphaData = alpha.empty() ? nullptr : alpha.data();
    const int graphs = GraphHandles.count;
    const int g = CreateGraphFromMemory(picture.data(), static_cast<int>(picture.size()), alphaData,
                                        static_cast<int>(alpha.size()), 1, mirror);
    if (g != -1) {
      ++made;
      const GraphEntry* entry = GetGraphEntry(g);
      EXPECT_TRUE(entry != nullptr && entry->width > 0 && entry->height > 0);
      DeleteGraphHandle(g);
    }
    EXPECT_EQ(GraphHandles.count, graphs);
    const int result =
        ReplaceGraphFromMemory(picture.data(), static_cast<int>(picture.size()), replaced,
                               alphaData, static_cast<int>(alpha.size()), 0, mirror);
    EXPECT_TRUE(result == 0 || result == -1);
    EXPECT_TRUE(IsGraphHandleValid(replaced));
    if (testing::Test::HasFailure()) break;
  }
  DeleteGraphHandle(replaced);
  EXPECT_EQ(GraphHandles.count, graphsAtStart);
  EXPECT_EQ(PortLiveDirect3DObjects(), direct3d);
  return made;
}
