// The whole library started on a Direct3D device (Mesa's llvmpipe under SDL's offscreen
// driver) with a 640 x 480 x 32 screen in a window, and what the tests of the hardware screen
// share: a frame made of cleared rectangles and the draw target read back.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/screen_library.h"

class HardwareScreen : public ScreenLibraryTest {
 protected:
  void SetUp() override;
  // Starts the library and checks that the device is in use.
  void StartOnDevice();
};

// Clears the draw target to a background and a few rectangles of other colours.
void DrawRectangleFrame();
// What DrawRectangleFrame leaves at (x, y) as ARGB.
uint32_t RectangleFramePixel(int x, int y);
// The draw target's rectangle (0, 0, width, height) through LockDrawTargetImage, ARGB with
// alpha 255 (empty when the lock fails).
std::vector<uint32_t> ReadDrawTarget(int width, int height);
