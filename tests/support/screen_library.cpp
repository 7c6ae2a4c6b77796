#include "tests/support/screen_library.h"

#include <unistd.h>

#include "port/gdi/window_output.h"
#include "port/user/window_internal.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_hooks.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"

namespace {

void ResetScreenGlobals() {
  WindowState = {};
  WindowHooks = {};
  LibraryHooks = {};
  ScreenMode = {0, 0, 0, 0};
  Emulate320x240 = 0;
  Emulate320x240Fallback = 0;
  BackgroundColor = {0, 0, 0};
  SoftwareRenderingRequested = 0;
  NoVSyncWait = 0;
}

// A channel widened to 8 bits by repeating its bits, as the DIB output does.
uint32_t Widen(uint32_t value, int bits) { return value << (8 - bits) | value >> (2 * bits - 8); }

}  // namespace

void ScreenLibraryTest::SetUp() {
  ASSERT_TRUE(PortEnsureVideo());
  cwd_ = std::make_unique<ScopedCurrentDirectory>(folder_.path());
  log_ = std::make_unique<LogCapture>();
  ResetScreenGlobals();
  // A fast blank grid keeps the refresh measurement and the presents' waits short.
  PortSetVerticalBlankRate(2000);
  title_ = "ScreenTest-" + std::to_string(getpid());
  SetWindowTitleText(title_.c_str());
  gdiObjectsAtStart_ = PortLiveGdiObjectCount();
  trackedBlocksAtStart_ = GetTrackedHeapTotals().blocks;
}

void ScreenLibraryTest::TearDown() {
  if (started_) End();
  UnregisterClassA(title_.c_str(), nullptr);
  PortResetDisplaySwitches();
  PortResetD3DSwitches();
  PortResetDirectDrawSwitches();
  ChangeDisplaySettingsA(nullptr, 0);
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
  ResetScreenGlobals();
  log_.reset();
  cwd_.reset();
}

int ScreenLibraryTest::Start(int windowMode) {
  WindowState.windowModeFlag = windowMode;
  const int result = InitLibrary();
  started_ = result == 0;
  return result;
}

void ScreenLibraryTest::End() {
  started_ = false;
  EXPECT_EQ(EndLibrary(), 0);
  EXPECT_EQ(GraphicsInitialised, 0);
  EXPECT_EQ(PortLiveDirect3DObjects(), 0);
  EXPECT_EQ(PortLiveGdiObjectCount(), gdiObjectsAtStart_);
  EXPECT_FALSE(IsMemImgValid(&ScreenMemImg));
  EXPECT_EQ(GetTrackedHeapTotals().blocks, trackedBlocksAtStart_) << "tracked blocks left";
}

std::vector<uint32_t> ScreenLibraryTest::Shown(int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  EXPECT_TRUE(PortReadWindowPixels(WindowState.mainWindow, width, height, pixels.data()));
  return pixels;
}

std::vector<std::string> ScreenLibraryTest::LogLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : SplitLogLines(log_->Contents())) {
    size_t at = line.find(':');
    at = at == std::string::npos ? 0 : at + 1;
    while (at < line.size() && line[at] == '\t') ++at;
    lines.push_back(line.substr(at));
  }
  return lines;
}

bool ScreenLibraryTest::Logged(const std::string& line) const {
  for (const std::string& l : LogLines())
    if (l == line) return true;
  return false;
}

uint32_t ScreenImagePixel(int x, int y) {
  const MemImgBody& body = *ScreenMemImg.body;
  const uint8_t* row = ScreenMemImg.pixels + static_cast<ptrdiff_t>(y) * body.pitch;
  if (body.colorType == Rgb565) {
    const uint16_t v = reinterpret_cast<const uint16_t*>(row)[x];
    return 0xFF000000u | Widen(v >> 11, 5) << 16 | Widen((v >> 5) & 0x3F, 6) << 8 |
           Widen(v & 0x1F, 5);
  }
  return 0xFF000000u | (reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF);
}

void PaintScreenImage() {
  const MemImgBody& body = *ScreenMemImg.body;
  for (int y = 0; y < ScreenMemImg.height; ++y) {
    uint8_t* row = ScreenMemImg.pixels + static_cast<ptrdiff_t>(y) * body.pitch;
    for (int x = 0; x < ScreenMemImg.width; ++x) {
      const uint32_t colour = static_cast<uint32_t>((x * 7) & 0xFF) << 16 |
                              static_cast<uint32_t>((y * 5) & 0xFF) << 8 |
                              static_cast<uint32_t>((x + y) & 0xFF);
      if (body.colorType == Rgb565)
        reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(MakePixelValue(
            body.format, static_cast<int>(colour >> 16), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>(colour & 0xFF), 255));
      else
        reinterpret_cast<uint32_t*>(row)[x] = colour;
    }
  }
}
