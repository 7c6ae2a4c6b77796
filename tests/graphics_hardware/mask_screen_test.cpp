// The mask screen on both paths, built as its absent creation call would (CreateMaskScreen(1),
// the request raised, the mask written by the test): draws reach the target only where the
// mask byte is 0, nested wraps copy once, a rectangle outside the draw area does nothing, the
// screen's sizes, the device's re-creation, and the mask handles.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/mask/mask_screen.h"
#include "runtime/graphics/screen/device_loss.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/child_process.h"
#include "tests/support/recording_device.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kHalf = 320;  // the mask protects x >= kHalf

class MaskScreens : public StartedGraphics, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    StartedGraphics::SetUp();
    savedHooks_ = ScreenHooks;
    InstallMaskScreenHooks();
  }
  void TearDown() override {
    StartedGraphics::TearDown();
    ScreenHooks = savedHooks_;
    MaskScreen = {};
  }

  // The mask screen with its right half protected, in the bytes and, on the device, in the
  // mask image's alpha.
  void BuildHalvedMask() {
    ASSERT_EQ(CreateMaskScreen(1), 0);
    MaskScreen.requested = 1;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    for (int y = 0; y < height; ++y)
      for (int x = kHalf; x < width; ++x) MaskScreen.bytes[y * MaskScreen.pitch + x] = 1;
    if (!HardwareRendering) return;
    ASSERT_EQ(TextureFormatTable[TextureFormatAlpha32], D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(MaskScreen.maskImageTexture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) +
                                              static_cast<size_t>(y) * locked.Pitch);
      for (int x = kHalf; x < width; ++x) row[x] = 0xFF000000;
    }
    MaskScreen.maskImageTexture->UnlockRect(0);
  }

  ScreenServiceHooks savedHooks_ = {};
};

TEST_P(MaskScreens, UseBeforeAnyMaskScreenIsRefused) {
  ASSERT_TRUE(Start(GetParam()));
  EXPECT_EQ(SetUseMaskScreen(1), -1);
  EXPECT_EQ(GetUseMaskScreen(), 0);
  EXPECT_EQ(MaskScreen.active, 0);
}

// A box and a graph across the middle reach the target only on the unprotected half; the
// protected half keeps what the target held.
TEST_P(MaskScreens, DrawsReachTheTargetOnlyWhereTheMaskIsZero) {
  ASSERT_TRUE(Start(GetParam()));
  BuildHalvedMask();
  ClearDrawTarget(nullptr);
  EXPECT_EQ(DrawFilledBox(kHalf - 20, 0, kHalf + 20, 10, MakeColorValue(255, 0, 0)), 0);
  ASSERT_EQ(SetUseMaskScreen(1), 0);
  EXPECT_EQ(GetUseMaskScreen(), 1);
  EXPECT_EQ(MaskScreen.active, 1);
  EXPECT_EQ(DrawFilledBox(kHalf - 40, 0, kHalf + 40, 10, MakeColorValue(255, 255, 255)), 0);
  SetDrawTargetGraphOption(1);  // a graph the device can fill
  const int graph = CreateBlankGraph(80, 10);
  SetDrawTargetGraphOption(0);
  ASSERT_NE(graph, -1);
  ASSERT_EQ(FillGraph(graph, 0, 255, 0, 255), 0);
  EXPECT_EQ(DrawGraphAt(kHalf - 40, 10, graph, 0), 0);
  ASSERT_EQ(SetUseMaskScreen(0), 0);

  const std::vector<uint32_t> shown = SavedScreen(kHalf - 40, 0, kHalf + 40, 20);
  ASSERT_EQ(shown.size(), 80u * 20u);
  const uint32_t red = MakeColorValue(255, 0, 0) & 0xFFFFFF;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool through = x < 40;
      const uint32_t old = y < 10 && x >= 20 && x < 60 ? red : 0;
      const uint32_t drawn = y < 10 ? kWhite : 0x00FF00;
      ASSERT_EQ(shown[y * 80 + x], through ? drawn : old) << x << ", " << y;
    }
  DeleteGraphHandle(graph);
}

// Text is wrapped as a whole: on the software path its glyphs are written straight into the
// target, so without the wrap they would cover the protected half too.
TEST_P(MaskScreens, TextReachesTheTargetOnlyWhereTheMaskIsZero) {
  ASSERT_TRUE(Start(GetParam()));
  ASSERT_EQ(StartFontSystem(), 0);
  const int font = CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0, -1, -1);
  ASSERT_NE(font, -1);
  BuildHalvedMask();
  ClearDrawTarget(nullptr);
  ASSERT_EQ(SetUseMaskScreen(1), 0);
  EXPECT_EQ(DrawStringWithFont(kHalf - 80, 0, "MMMMMMMMMMMMMMMM", MakeColorValue(255, 255, 255),
                               font, 0, 0),
            0);
  EXPECT_EQ(MaskScreen.drawDepth, 0);
  ASSERT_EQ(SetUseMaskScreen(0), 0);

  const std::vector<uint32_t> shown = SavedScreen(kHalf - 80, 0, kHalf + 80, 20);
  ASSERT_EQ(shown.size(), 160u * 20u);
  int inked = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 160; ++x) {
      if (x >= 80) { ASSERT_EQ(shown[y * 160 + x], 0u) << x << ", " << y; }
      inked += x < 80 && shown[y * 160 + x] != 0;
    }
  EXPECT_GT(inked, 50);
  DeleteFontHandle(font);
  EndFontSystem();
}

// Draws inside an outer wrap copy the target into the mask screen once and back once; a
// rectangle outside the draw area copies nothing back.
TEST_F(MaskScreens, NestedWrapsCopyOnceAndOutsideRectanglesNothing) {
  ASSERT_TRUE(Start(true));
  BuildHalvedMask();
  ASSERT_EQ(SetUseMaskScreen(1), 0);
  IDirect3DDevice9* const device = Direct3DDevice;
  device->AddRef();
  auto* recorder = new RecordingDevice(device);
  Direct3DDevice = recorder;

  const RECT outer = {0, 0, 400, 100};
  EXPECT_EQ(BeginMaskedDraw(&outer), 0);
  DrawFilledBox(10, 10, 50, 50, MakeColorValue(255, 255, 255));
  DrawFilledBox(300, 10, 390, 50, MakeColorValue(0, 255, 0));
  EXPECT_EQ(MaskScreen.drawDepth, 1);
  EXPECT_EQ(EndMaskedDraw(&outer), 0);
  EXPECT_EQ(MaskScreen.drawDepth, 0);
  EXPECT_EQ(recorder->Count("StretchRect"), 1);
  EXPECT_EQ(recorder->Count("DrawPrimitiveUP", {D3DPT_TRIANGLESTRIP}), 1);

  recorder->Clear();
  const RECT outside = {700, 500, 800, 600};
  EXPECT_EQ(BeginMaskedDraw(&outside), 0);
  EXPECT_EQ(EndMaskedDraw(&outside), 0);
  EXPECT_EQ(MaskScreen.drawDepth, 0);
  EXPECT_EQ(recorder->Count("StretchRect"), 0);
  EXPECT_EQ(recorder->Count("DrawPrimitiveUP"), 0);
  // An end without a begin leaves the depth at 0.
  EXPECT_EQ(EndMaskedDraw(&outer), 0);
  EXPECT_EQ(MaskScreen.drawDepth, 0);
  Direct3DDevice = device;
  recorder->Release();
}

TEST_F(MaskScreens, OutsideRectangleLeavesTheSoftwareTargetAlone) {
  ASSERT_TRUE(Start(false));
  BuildHalvedMask();
  ClearDrawTarget(nullptr);
  ASSERT_EQ(SetUseMaskScreen(1), 0);
  EXPECT_EQ(SoftDrawTarget, &MaskScreen.image);
  // Written into the mask screen where the target lies outside the draw area.
  FillMemImgRect(&MaskScreen.image, nullptr, MakeColorValue(255, 255, 255));
  SetDrawClipRect(0, 0, 100, 100);
  const RECT outside = {200, 200, 300, 300};
  EXPECT_EQ(BeginMaskedDraw(&outside), 0);
  EXPECT_EQ(EndMaskedDraw(&outside), 0);
  ASSERT_EQ(SetUseMaskScreen(0), 0);
  SetDrawClipRect(0, 0, 640, 480);
  for (uint32_t pixel : SavedScreen(200, 200, 300, 300)) ASSERT_EQ(pixel, 0u);
}

// The sizes on an 800 x 600 screen; the device made again brings the mask screen back in use.
TEST_P(MaskScreens, SizesOfAn800By600ScreenAndTheDeviceMadeAgain) {
  const bool hardware = GetParam();
  ScreenMode = {800, 600, 32, 60};
  SoftwareRenderingRequested = hardware ? 0 : 1;
  ASSERT_EQ(InitializeGraphics(), 0);
  ASSERT_EQ(HardwareRendering, hardware ? 1 : 0);
  SetDrawTarget(-2);
  ASSERT_EQ(CreateMaskScreen(1), 0);
  MaskScreen.requested = 1;
  EXPECT_EQ(MaskScreen.pitch, 800);
  if (!hardware) {
    EXPECT_EQ(MaskScreen.image.width, 800);
    EXPECT_EQ(MaskScreen.image.height, 600);
    return;
  }
  EXPECT_EQ(MaskScreen.textureWidth, 1024);
  EXPECT_EQ(MaskScreen.textureHeight, 1024);
  for (IDirect3DTexture9* texture : {MaskScreen.maskImageTexture, MaskScreen.screenTexture}) {
    D3DSURFACE_DESC desc = {};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1024u);
    EXPECT_EQ(desc.Height, 1024u);
  }
  ASSERT_EQ(SetUseMaskScreen(1), 0);
  IDirect3DSurface9* const old = MaskScreen.screenSurface;
  PortSetD3DDeviceLost(true);
  RecreateGraphicsDevice();
  PortSetD3DDeviceLost(false);
  EXPECT_EQ(GetUseMaskScreen(), 1);
  EXPECT_EQ(MaskScreen.active, 1);
  ASSERT_NE(MaskScreen.screenSurface, nullptr);
  EXPECT_NE(MaskScreen.screenSurface, old);
  // The draws go to the new mask screen.
  IDirect3DSurface9* target = nullptr;
  ASSERT_EQ(Direct3DDevice->GetRenderTarget(0, &target), D3D_OK);
  EXPECT_EQ(target, MaskScreen.screenSurface);
  target->Release();
}

INSTANTIATE_TEST_SUITE_P(BothPaths, MaskScreens, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Hardware" : "Software"; });

// Mask handles: -1, foreign and stale handles are refused; the end of graphics deletes the
// live ones with their bytes.
TEST_F(MaskScreens, BadMaskHandlesAreRefusedAndLiveOnesDeleted) {
  ASSERT_TRUE(Start(false));
  auto makeMask = [] {
    const int handle = AllocHandle(&MaskHandles, sizeof(MaskHandleRecord), __FILE__, __LINE__);
    auto* record = static_cast<MaskHandleRecord*>(GetHandleRecord(&MaskHandles, handle));
    record->bytes = static_cast<uint8_t*>(AllocTrackedZero(64, __FILE__, __LINE__));
    record->inUse = 1;
    return handle;
  };
  const int mask = makeMask();
  const int graph = CreateBlankGraph(8, 8);
  EXPECT_EQ(DeleteMaskHandle(-1), -1);
  EXPECT_EQ(DeleteMaskHandle(graph), -1);
  EXPECT_EQ(DeleteMaskHandle(mask + (1 << 16)), -1);  // another check number
  EXPECT_EQ(MaskHandles.count, 1);
  EXPECT_EQ(DeleteMaskHandle(mask), 0);
  EXPECT_EQ(DeleteMaskHandle(mask), -1);
  EXPECT_EQ(MaskHandles.count, 0);
  makeMask();
  makeMask();
  // TearDown ends graphics, which deletes these; it checks that no tracked block is left.
  EXPECT_EQ(MaskHandles.count, 2);
}

TEST_F(MaskScreens, DISABLED_NoBufferChild) {
  if (!IsChildRunOf("MaskScreens.DISABLED_NoBufferChild")) GTEST_SKIP();
  SetLogDirectory(getenv("KELVANOR_TEST_DIR"));
  StartLogFile();
  SetTrackedHeapFailures(1);
  CreateMaskScreen(1);
  ADD_FAILURE() << "the mask screen was built without its byte buffer";
}

// A byte buffer that cannot be had ends the program with a line, as the mask screen's other
// failures do.
TEST_F(MaskScreens, ByteBufferThatCannotBeHadEndsTheProgram) {
  TempFolder dir;
  EXPECT_EQ(RunTestInChild("MaskScreens.DISABLED_NoBufferChild",
                           {"KELVANOR_TEST_DIR=" + dir.WindowsPath()}),
            255);
  EXPECT_NE(dir.ReadFile("Log.txt").find("マスク用バッファの確保に失敗しました"),
            std::string::npos);
}

}  // namespace
