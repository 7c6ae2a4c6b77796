#include "tests/graphics_hardware/hardware_screen_fixture.h"

#include "port/d3d9/gl_context.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"

namespace {

struct FrameRect {
  RECT rect;
  uint32_t colour;
};
const FrameRect kFrame[] = {{{20, 10, 200, 100}, 0xC03020},
                            {{150, 60, 400, 300}, 0x20A040},
                            {{500, 400, 640, 480}, 0x3060F0}};
constexpr uint32_t kFrameBackground = 0x102030;

void SetBackground(uint32_t colour) {
  BackgroundColor = {static_cast<int32_t>(colour >> 16), static_cast<int32_t>((colour >> 8) & 0xFF),
                     static_cast<int32_t>(colour & 0xFF)};
}

}  // namespace

void HardwareScreen::SetUp() {
  ScreenLibraryTest::SetUp();
  if (!PortGlAvailable()) GTEST_SKIP() << "no OpenGL context on SDL's offscreen driver";
}

void HardwareScreen::StartOnDevice() {
  ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
  ASSERT_EQ(Start(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  ASSERT_NE(Direct3DDevice, nullptr);
}

void DrawRectangleFrame() {
  const BackgroundColorRecord saved = BackgroundColor;
  SetBackground(kFrameBackground);
  ClearWholeDrawTarget();
  for (const FrameRect& r : kFrame) {
    SetBackground(r.colour);
    ClearDrawTarget(&r.rect);
  }
  BackgroundColor = saved;
}

uint32_t RectangleFramePixel(int x, int y) {
  uint32_t colour = kFrameBackground;
  for (const FrameRect& r : kFrame)
    if (x >= r.rect.left && x < r.rect.right && y >= r.rect.top && y < r.rect.bottom)
      colour = r.colour;
  return 0xFF000000u | colour;
}

std::vector<uint32_t> ReadDrawTarget(int width, int height) {
  const RECT rect = {0, 0, width, height};
  GraphImage image = {};
  if (LockDrawTargetImage(&rect, &image) != 0) return {};
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(GetGraphImagePixelArgb(&image, x, y) | 0xFF000000u);
  UnlockDrawTargetImage();
  return pixels;
}
