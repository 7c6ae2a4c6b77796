// Graph handles and records: sub graphs sharing their source's storage, deletion and the end
// index, the source-file record and the lost flag, and the full table ending the program.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/platform/core/log.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

using GraphHandlesTest = SoftwareGraphs;

TEST_F(GraphHandlesTest, CellsOutliveTheirSourceAndTheLastOneFreesTheStorage) {
  TestPicture picture(64, 20, PatternColour);
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const int source = NewGraph(64, 20);
  ASSERT_GE(source, 0);
  ASSERT_EQ(UploadWhole(source, picture.image), 0);
  ASSERT_EQ(SetGraphSourceFile(source, "sheet.png", -1), 0);
  GraphTextureSet* set = GetGraphEntry(source)->textureSet;

  const int cell = CreateSubGraph(10, 0, 100, 20, source);
  ASSERT_GE(cell, 0);
  int width = 0, height = 0;
  EXPECT_EQ(GetGraphDimensions(cell, &width, &height), 0);
  EXPECT_EQ(width, 54);  // cut at the source's right edge
  EXPECT_EQ(height, 20);
  const int inner = CreateSubGraph(4, 2, 8, 8, cell);
  ASSERT_GE(inner, 0);
  EXPECT_EQ(set->refCount, 3);
  const GraphEntry* innerEntry = GetGraphEntry(inner);
  EXPECT_EQ(innerEntry->x, 14);
  EXPECT_EQ(innerEntry->y, 2);
  EXPECT_EQ(innerEntry->sourceX, 14);
  EXPECT_EQ(innerEntry->sourceY, 2);
  EXPECT_EQ(innerEntry->sourceFile, GetGraphEntry(source)->sourceFile);
  EXPECT_EQ(innerEntry->sourceFile->refCount, 3);

  // Refused: a corner outside the source, a size of 0 or less; nothing is left behind.
  const int count = GraphHandles.count;
  const TrackedHeapTotals held = GetTrackedHeapTotals();
  struct Refused {
    int x, y, w, h;
  } refused[] = {{64, 0, 1, 1}, {0, 20, 1, 1}, {-1, 0, 4, 4},
                 {0, -1, 4, 4}, {0, 0, 0, 4},  {0, 0, 4, -3}};
  for (const Refused& r : refused)
    EXPECT_EQ(CreateSubGraph(r.x, r.y, r.w, r.h, source), -1) << r.x << "," << r.y;
  EXPECT_EQ(GraphHandles.count, count);
  EXPECT_EQ(set->refCount, 3);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, held.blocks);

  ASSERT_EQ(DeleteGraphHandle(source), 0);
  EXPECT_EQ(set->refCount, 2);
  EXPECT_EQ(SoftGraphPixel(cell, 0, 0), PatternColour(10, 0));
  EXPECT_EQ(SoftGraphPixel(cell, 53, 19), PatternColour(63, 19));
  EXPECT_EQ(SoftGraphPixel(inner, 7, 7), PatternColour(21, 9));
  EXPECT_NE(GetGraphSourcePath(inner), nullptr);

  ASSERT_EQ(DeleteGraphHandle(cell), 0);
  ASSERT_EQ(DeleteGraphHandle(inner), 0);
  // The set, its image body and the source-file record went with the last graph.
  const TrackedHeapTotals after = GetTrackedHeapTotals();
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST_F(GraphHandlesTest, TheEndIndexFallsPastEmptySlots) {
  ASSERT_EQ(GraphHandles.endIndex, 0);
  int graphs[5];
  for (int& g : graphs) g = AllocGraphHandle();
  EXPECT_EQ(GraphHandles.endIndex, 5);
  struct Step {
    int deleted;
    int endIndex;
  } steps[] = {{1, 5}, {2, 5}, {4, 4}, {3, 1}, {0, 0}};
  for (const Step& s : steps) {
    ASSERT_EQ(DeleteGraphHandle(graphs[s.deleted]), 0);
    EXPECT_EQ(GraphHandles.endIndex, s.endIndex) << "after deleting slot " << s.deleted;
  }
  EXPECT_EQ(GraphHandles.count, 0);
}

TEST_F(GraphHandlesTest, SourceFilesAreSharedAndTheLostFlagIsRaisedOnDelete) {
  const int a = NewGraph(8, 8), b = NewGraph(8, 8);
  int lost = 7;
  ASSERT_EQ(SetGraphLostFlag(a, &lost), 0);
  EXPECT_EQ(lost, 0);

  ASSERT_EQ(SetGraphSourceFile(a, "data\\ship.png", -1), 0);
  const std::string path = GetGraphSourcePath(a);
  EXPECT_EQ(path.substr(0, 2), "Z:");  // made full against the current directory
  EXPECT_EQ(path.substr(path.size() - 14), "\\data\\ship.png");
  ASSERT_EQ(SetGraphSourceFile(b, nullptr, a), 0);
  EXPECT_EQ(GetGraphSourcePath(b), GetGraphSourcePath(a));
  EXPECT_EQ(GetGraphEntry(a)->sourceFile->refCount, 2);
  ASSERT_EQ(SetGraphSourceFile(b, nullptr, -1), 0);
  EXPECT_EQ(GetGraphSourcePath(b), nullptr);
  EXPECT_EQ(GetGraphEntry(a)->sourceFile->refCount, 1);

  ASSERT_EQ(DeleteGraphHandle(a), 0);
  EXPECT_EQ(lost, 1);
}

TEST_F(GraphHandlesTest, ScreenCodesMeasureTheScreenAndSuppressedDrawingMakesNoSubGraph) {
  int width = 0, height = 0;
  EXPECT_EQ(GetGraphDimensions(kBackBufferTarget, &width, &height), 0);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(GetGraphDimensions(kFrontBufferTarget, nullptr, &height), 0);

  const int source = NewGraph(16, 16);
  DrawSuppressed = 1;
  EXPECT_EQ(CreateSubGraph(0, 0, 4, 4, source), 0);
  DrawSuppressed = 0;
  EXPECT_EQ(GraphHandles.count, 1);
}

// Run as a child: fill the graph table, then ask for one more graph.
TEST(GraphTable, DISABLED_FullChild) {
  if (!IsChildRunOf("GraphTable.DISABLED_FullChild"))
    GTEST_SKIP() << "runs as the child of GraphTable.AFullTableEndsTheProgram";
  SetLogOutput(1);
  SetLogDirectory(std::getenv("KELVANOR_LOG_DIR"));
  StartLogFile();
  for (int i = 0; i < GraphHandles.capacity; ++i) ASSERT_GE(AllocGraphHandle(), 0);
  AllocGraphHandle();
  ADD_FAILURE() << "the program went on";
}

TEST(GraphTable, AFullTableEndsTheProgram) {
  TempFolder dir;
  EXPECT_EQ(
      RunTestInChild("GraphTable.DISABLED_FullChild", {"KELVANOR_LOG_DIR=" + dir.WindowsPath()}),
      255);
  EXPECT_NE(dir.ReadFile("Log.txt").find("グラフィックの数が許容量を越えました終了します\r\n"),
            std::string::npos);
}

}  // namespace
