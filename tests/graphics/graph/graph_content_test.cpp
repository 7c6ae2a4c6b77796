// Graph content helpers on the software path: filling, transfers that remember their source,
// and deleting every graph.
#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/graphics/graph/graph_fixture.h"

namespace {

using GraphContent = SoftwareGraphs;

TEST_F(GraphContent, FillWritesTheGraphsOwnPixelWhateverTheDrawState) {
  TestPicture picture(16, 16, PatternColour);
  const int opaque = NewGraph(16, 16);
  const int withAlpha = NewGraph(16, 16, 1);
  ASSERT_EQ(UploadWhole(opaque, picture.image), 0);
  const int cell = CreateSubGraph(4, 4, 8, 8, opaque);
  // Blending, brightness and a draw area on the graph as target must not reach the fill.
  CurrentBlendMode = 2;
  BlendParam = 100;
  DrawBright = 0x404040;
  DrawTarget = cell;
  DrawArea = {0, 0, 2, 2};

  ASSERT_EQ(FillGraph(cell, 300, -5, 128, 255), 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool inCell = x >= 4 && x < 12 && y >= 4 && y < 12;
      ASSERT_EQ(SoftGraphPixel(opaque, x, y), inCell ? 0xFFFF0080u : PatternColour(x, y))
          << x << "," << y;
    }
  ASSERT_EQ(FillGraph(withAlpha, 10, 20, 30, 40), 0);
  EXPECT_EQ(SoftGraphPixel(withAlpha, 15, 15), 0x280A141Eu);
  DrawTarget = kBackBufferTarget;
}

TEST_F(GraphContent, TransfersRecordWhereThePictureCameFrom) {
  TestPicture picture(32, 32, PatternColour);
  const int graph = NewGraph(8, 8);
  ASSERT_EQ(TransferImageToGraph(0, nullptr, nullptr, "cells.png", 0, &picture.image, nullptr, 16,
                                 8, graph, 3),
            0);
  const GraphEntry* entry = GetGraphEntry(graph);
  EXPECT_EQ(entry->sourceX, 16);
  EXPECT_EQ(entry->sourceY, 8);
  EXPECT_EQ(entry->loadOption, 3);
  ASSERT_NE(GetGraphSourcePath(graph), nullptr);
  EXPECT_EQ(SoftGraphPixel(graph, 0, 0), PatternColour(16, 8));
  EXPECT_EQ(SoftGraphPixel(graph, 7, 7), PatternColour(23, 15));

  const RECT rect = {8, 4, 12, 8};
  ASSERT_EQ(TransferImageRectToGraph(0, nullptr, nullptr, nullptr, 0, &picture.image, nullptr,
                                     &rect, 2, 1, graph, 0),
            0);
  EXPECT_EQ(entry->sourceX, 6);
  EXPECT_EQ(entry->sourceY, 3);
  EXPECT_EQ(GetGraphSourcePath(graph), nullptr);
  EXPECT_EQ(SoftGraphPixel(graph, 2, 1), PatternColour(8, 4));
  EXPECT_EQ(SoftGraphPixel(graph, 0, 0), PatternColour(16, 8));  // outside the rectangle

  ASSERT_EQ(TransferImageRectToGraph(0, nullptr, nullptr, nullptr, 0, &picture.image, nullptr,
                                     nullptr, 0, 0, graph, 0),
            0);
  EXPECT_EQ(entry->sourceX, 0);
  EXPECT_EQ(entry->sourceY, 0);
  EXPECT_EQ(SoftGraphPixel(graph, 7, 7), PatternColour(7, 7));
}

TEST_F(GraphContent, DeleteAllGraphsWaitsForGraphicsToRun) {
  for (int i = 0; i < 3; ++i) NewGraph(4, 4);
  GraphicsInitialised = 0;
  EXPECT_EQ(DeleteAllGraphs(0), 0);
  EXPECT_EQ(GraphHandles.count, 3);
  GraphicsInitialised = 1;
  EXPECT_EQ(DeleteAllGraphs(0), 0);
  EXPECT_EQ(GraphHandles.count, 0);
  EXPECT_EQ(GraphHandles.endIndex, 0);
}

}  // namespace
