// The graphics layer started for real on the library's main window (SDL's offscreen driver, so
// the hardware path runs on Mesa's llvmpipe), on either path, with the back buffer as draw
// target; and the draw target read back through SaveDrawScreen. Tests skip (saying why) only
// when no OpenGL context can be made at all.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/platform/window/main_window_fixture.h"

// The rectangle of the draw target as written by SaveDrawScreen to a BMP and read back:
// 0x00RRGGBB, row by row. Empty (with a test failure) when it could not be saved or read.
std::vector<uint32_t> SavedDrawScreen(int x1, int y1, int x2, int y2);

class StartedGraphics : public MainWindowTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts graphics on a 640 x 480 x 32 screen on the hardware path or the software renderer,
  // with the colour key (255, 0, 255); false (with a test failure) when it did not come up on that
  // path.
  bool Start(bool hardware);
  // Ends graphics; every graph is gone and no Direct3D object is left.
  void Stop();

  static std::vector<uint32_t> SavedScreen(int x1, int y1, int x2, int y2) {
    return SavedDrawScreen(x1, y1, x2, y2);
  }

  TrackedHeapTotals heapAtStart_ = {};
};
