#include "tests/graphics_hardware/started_graphics.h"

#include <string>

#include "port/d3d9/d3d9.h"
#include "port/d3d9/gl_context.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/support/temp_folder.h"

void StartedGraphics::SetUp() {
  MainWindowTest::SetUp();
  if (!PortGlAvailable())
    GTEST_SKIP() << "no OpenGL context can be made with SDL's \"" << SDL_GetCurrentVideoDriver()
                 << "\" driver";
  heapAtStart_ = GetTrackedHeapTotals();
  PortSetVerticalBlankRate(2000);
  Open(1, "GraphicsTest");
  WindowState.active = 1;
  gSystemState.initialised = 1;
}

void StartedGraphics::TearDown() {
  if (!IsSkipped()) {
    Stop();
    EXPECT_EQ(GetTrackedHeapTotals().blocks, heapAtStart_.blocks) << "tracked blocks left behind";
  }
  gSystemState.initialised = 0;
  SoftwareRenderingRequested = 0;
  ScreenMode = {0, 0, 0, 0};
  PortResetD3DSwitches();
  PortResetDirectDrawSwitches();
  MainWindowTest::TearDown();
}

bool StartedGraphics::Start(bool hardware) {
  ScreenMode = {640, 480, 32, 60};
  SoftwareRenderingRequested = hardware ? 0 : 1;
  EXPECT_EQ(InitializeGraphics(), 0);
  EXPECT_EQ(HardwareRendering, hardware ? 1 : 0);
  SetDrawTarget(-2);
  // The game's transparent colour.
  SetColorKey(255, 0, 255);
  return GraphicsInitialised && HardwareRendering == (hardware ? 1 : 0);
}

void StartedGraphics::Stop() {
  TerminateGraphics();
  EXPECT_EQ(GraphHandles.count, 0);
  EXPECT_EQ(PortLiveDirect3DObjects(), 0);
}

std::vector<uint32_t> SavedDrawScreen(int x1, int y1, int x2, int y2) {
  TempFolder folder;
  const std::string name = folder.WindowsPath() + "\\screen.bmp";
  EXPECT_EQ(SaveDrawScreen(x1, y1, x2, y2, name.c_str(), 0, 80, 1, -1), 0);
  GraphImage image = {};
  if (ReadImageToGraphImage(name.c_str(), nullptr, 0, 0, &image, 0) != 0) {
    ADD_FAILURE() << "the saved screen cannot be read";
    return {};
  }
  std::vector<uint32_t> pixels;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x)
      pixels.push_back(GetGraphImagePixelArgb(&image, x, y) & 0xFFFFFF);
  FreeGraphImage(&image);
  return pixels;
}
