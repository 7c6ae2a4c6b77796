#include "tests/graphics/graph/graph_fixture.h"

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/soft_image.h"
#include "runtime/graphics/screen/screen_mode.h"

void SoftwareGraphs::SetUp() {
  heapAtStart_ = GetTrackedHeapTotals();
  HardwareRendering = 0;
  ResetGraphTestState();
}

void SoftwareGraphs::TearDown() {
  DeleteAllGraphs(0);
  DeleteAllSoftImages();
  GraphicsInitialised = 0;
  EXPECT_EQ(GraphHandles.count, 0);
  EXPECT_EQ(SoftImageHandles.count, 0);
  const TrackedHeapTotals now = GetTrackedHeapTotals();
  EXPECT_EQ(now.blocks, heapAtStart_.blocks) << "tracked blocks left behind";
  EXPECT_EQ(now.bytes, heapAtStart_.bytes);
}
