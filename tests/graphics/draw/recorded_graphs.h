// Graphs with texture storage on a recording device: the device layer as after a hardware start
// on a 640 x 480 x 32 screen, with stand-in textures, so that the hardware draw paths can be
// checked vertex by vertex and call by call without OpenGL.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/graphics/device/device_fixture.h"

class RecordedGraphsTest : public RecordedDeviceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets DrawArea and its float copy.
  static void SetDrawArea(int left, int top, int right, int bottom);
  // A graph of the hardware path (textures of at most MaxTextureSize, 256 unless changed).
  static int Graph(int width, int height, int hasAlpha = 0);
  // The vertices queued in the textured batch since it was last emptied.
  static std::vector<ScreenVertex> Queued();

  TrackedHeapTotals heapAtStart_ = {};
};
