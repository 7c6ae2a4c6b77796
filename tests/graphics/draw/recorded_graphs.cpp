#include "tests/graphics/draw/recorded_graphs.h"

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "tests/support/graph_pictures.h"

void RecordedGraphsTest::SetUp() {
  RecordedDeviceTest::SetUp();
  heapAtStart_ = GetTrackedHeapTotals();
  device_->makeStandInTextures = true;
  ResetGraphTestState();
  for (D3DFORMAT& format : TextureFormatTable) format = D3DFMT_A8R8G8B8;
  MaxTextureSize = 256;
  DeviceCaps = {};
  SetDrawArea(0, 0, 640, 480);
  PackedDrawColor = 0xFFFFFFFFu;
}

void RecordedGraphsTest::TearDown() {
  DeleteAllGraphs(0);
  GraphicsInitialised = 0;
  EXPECT_EQ(GraphHandles.count, 0);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, heapAtStart_.blocks) << "tracked blocks left behind";
  RecordedDeviceTest::TearDown();
}

void RecordedGraphsTest::SetDrawArea(int left, int top, int right, int bottom) {
  DrawArea = {left, top, right, bottom};
  DrawAreaF[0] = static_cast<float>(left);
  DrawAreaF[1] = static_cast<float>(top);
  DrawAreaF[2] = static_cast<float>(right);
  DrawAreaF[3] = static_cast<float>(bottom);
  DrawAreaEmpty = left >= right || top >= bottom ? 1 : 0;
}

int RecordedGraphsTest::Graph(int width, int height, int hasAlpha) {
  return NewGraph(width, height, hasAlpha);
}

std::vector<ScreenVertex> RecordedGraphsTest::Queued() {
  if (VertexBatch.kind != BatchVertexTextured) return {};
  return {TexturedBatch, TexturedBatch + VertexBatch.count};
}
