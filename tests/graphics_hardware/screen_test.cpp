// The library's screen on a device: start-up at the desktop's depth, a screen-mode restart,
// the software path asked for on a machine with a device, presenting, draw-target graphs,
// screenshots and the two routes of the lent image.
#include <gtest/gtest.h>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "tests/graphics_hardware/graph_device_fixture.h"
#include "tests/graphics_hardware/hardware_screen_fixture.h"
#include "tests/support/graph_pictures.h"
#include "tests/support/recording_device.h"

namespace {

// A windowed device takes the desktop's 32 bits whatever depth was asked for.
TEST_F(HardwareScreen, StartsAtTheDesktopsDepthWithTheBackgroundAndRestarts) {
  BackgroundColor = {0x40, 0x80, 0xC0};
  ASSERT_EQ(Start(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  EXPECT_EQ(ScreenMode.width * 1000 + ScreenMode.height, 640480);
  EXPECT_EQ(ScreenMode.bits, 32);
  EXPECT_EQ(GetDrawTarget(), -4);
  EXPECT_FALSE(IsMemImgValid(&ScreenMemImg));
  const std::vector<uint32_t> screen = ReadDrawTarget(640, 480);
  ASSERT_EQ(screen.size(), 640u * 480u);
  for (uint32_t pixel : screen) ASSERT_EQ(pixel, 0xFF4080C0u);

  ASSERT_EQ(SetScreenMode(640, 480, 32, 60), 0);
  EXPECT_TRUE(Logged("画面モード変更処理は正常に終了しました"));
  EXPECT_EQ(HardwareRendering, 1);
  EXPECT_EQ(ScreenMode.refreshRate, 60);
}

TEST_F(HardwareScreen, SoftwareRenderingAskedForMakesNoDevice) {
  ASSERT_EQ(SetUseHardwareRendering(0), 0);
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(HardwareRendering, 0);
  EXPECT_EQ(Direct3DDevice, nullptr);
  EXPECT_EQ(ScreenMemImg.body->colorType, Rgb565);
}

// The device's present of a frame shows what the draw target holds.
TEST_F(HardwareScreen, APresentShowsTheFrame) {
  StartOnDevice();
  ASSERT_EQ(SetDrawTarget(-2), 0);
  DrawRectangleFrame();
  ASSERT_EQ(PresentScreen(), 0);
  const std::vector<uint32_t> shown = Shown(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(shown[static_cast<size_t>(y) * 640 + x], RectangleFramePixel(x, y))
          << x << ", " << y;
}

TEST_F(HardwareScreen, OnlyDrawTargetGraphsAreTargets) {
  StartOnDevice();
  TestPicture picture(64, 32, PatternColour);
  const int loaded = CreateGraphForImage(&picture.image, nullptr);
  ASSERT_EQ(TransferImageToGraph(0, nullptr, nullptr, "p.png", 0, &picture.image, nullptr, 0, 0,
                                 loaded, 0),
            0);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  ASSERT_EQ(SetDrawClipRect(1, 2, 3, 4), 0);
  EXPECT_EQ(SetDrawTarget(loaded), -1);
  EXPECT_EQ(GetDrawTarget(), -2);
  EXPECT_EQ(DrawArea.right, 3);

  SetDrawTargetGraphOption(1);
  const int target = CreateGraphForImage(&picture.image, nullptr);
  SetDrawTargetGraphOption(0);
  ASSERT_EQ(SetDrawTarget(target), 0);
  EXPECT_EQ(DrawArea.right * 1000 + DrawArea.bottom, 64032);
  DrawRectangleFrame();
  // Measured by the graph's own size, read from its texture.
  EXPECT_EQ(SaveDrawScreen(0, 0, 64, 33, "graph.bmp", 0, 80, 1, -1), -1);
  ASSERT_EQ(SaveDrawScreen(0, 0, 64, 32, "graph.bmp", 0, 80, 1, -1), 0);
  GraphImage shot = {};
  ASSERT_EQ(ReadImageToGraphImage("graph.bmp", nullptr, 0, 0, &shot, 0), 0);
  EXPECT_EQ(shot.Width * 1000 + shot.Height, 64032);
  EXPECT_EQ(GetGraphImagePixelArgb(&shot, 30, 20) | 0xFF000000u, RectangleFramePixel(30, 20));
  EXPECT_EQ(GetGraphImagePixelArgb(&shot, 10, 5) | 0xFF000000u, RectangleFramePixel(10, 5));
  FreeGraphImage(&shot);
}

TEST_F(HardwareScreen, AScreenshotHoldsTheFrame) {
  StartOnDevice();
  ASSERT_EQ(SetDrawTarget(-2), 0);
  DrawRectangleFrame();
  ASSERT_EQ(SaveDrawScreen(0, 0, 640, 480, "shot.bmp", 0, 80, 1, -1), 0);
  EXPECT_EQ(SaveDrawScreen(0, 0, 640, 480, "shot3.bmp", 3, 80, 1, -1), -1);
  EXPECT_EQ(SaveDrawScreen(0, 0, 640, 480, "NoFolder/shot.bmp", 0, 80, 1, -1), -1);
  EXPECT_FALSE(folder_.Exists("shot3.bmp"));
  GraphImage shot = {};
  ASSERT_EQ(ReadImageToGraphImage("shot.bmp", nullptr, 0, 0, &shot, 0), 0);
  ASSERT_EQ(shot.Width * 1000 + shot.Height, 640480);
  for (int y = 0; y < 480; y += 3)
    for (int x = 0; x < 640; x += 3)
      ASSERT_EQ(GetGraphImagePixelArgb(&shot, x, y) | 0xFF000000u, RectangleFramePixel(x, y));
  FreeGraphImage(&shot);
}

// The lock of the back buffer and the copy through a render target give the same pixels; a
// graph that cannot be drawn into takes the screen's pixels through the lock.
TEST_F(HardwareScreen, BothRoutesOfTheLentImageAgree) {
  StartOnDevice();
  ASSERT_EQ(SetDrawTarget(-2), 0);
  DrawRectangleFrame();
  // The device is watched for the render target that only the copy route makes.
  IDirect3DDevice9* const device = Direct3DDevice;
  device->AddRef();
  auto* recorder = new RecordingDevice(device);
  Direct3DDevice = recorder;
  const int saved = UseBackBufferLock;
  UseBackBufferLock = 1;
  const std::vector<uint32_t> direct = ReadDrawTarget(640, 480);
  EXPECT_EQ(recorder->Count("CreateRenderTarget"), 0);
  UseBackBufferLock = 0;
  const std::vector<uint32_t> copied = ReadDrawTarget(640, 480);
  EXPECT_EQ(recorder->Count("CreateRenderTarget"), 1);
  UseBackBufferLock = saved;
  Direct3DDevice = device;
  recorder->Release();
  ASSERT_EQ(direct.size(), 640u * 480u);
  EXPECT_EQ(direct, copied);
  for (int y = 0; y < 480; y += 4)
    for (int x = 0; x < 640; x += 4)
      ASSERT_EQ(direct[static_cast<size_t>(y) * 640 + x], RectangleFramePixel(x, y));

  const int graph = NewGraph(100, 50);
  ASSERT_EQ(CopyDrawTargetToGraph(140, 50, 240, 100, graph), 0);
  const std::vector<uint32_t> texels = ReadTextureLevel(ReadableTexture(graph, 0), 0);
  const int pitch = GetGraphEntry(graph)->textureSet->tiles[0].textureWidth;
  for (int y = 0; y < 50; y += 3)
    for (int x = 0; x < 100; x += 3)
      ASSERT_EQ(texels[static_cast<size_t>(y) * pitch + x] | 0xFF000000u,
                RectangleFramePixel(140 + x, 50 + y))
          << x << ", " << y;
}

}  // namespace
