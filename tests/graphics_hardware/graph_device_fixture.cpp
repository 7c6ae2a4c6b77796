#include "tests/graphics_hardware/graph_device_fixture.h"

#include "port/d3d9/gl_context.h"
#include "port/user/window_internal.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/window/window_state.h"
#include "tests/support/graph_pictures.h"

namespace {

constexpr const char* kClass = "GraphOffscreenTest";
HWND gWindow = nullptr;

std::vector<uint32_t> ToArgb(const D3DLOCKED_RECT& locked, D3DFORMAT format, int width,
                             int height) {
  GraphImage view = {};
  view.Format = *GetPixelFormatOfD3DFormat(format);
  view.Width = width;
  view.Height = height;
  view.Pitch = locked.Pitch;
  view.Pixels = static_cast<uint8_t*>(locked.pBits);
  std::vector<uint32_t> out;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t argb = GetGraphImagePixelArgb(&view, x, y);
      out.push_back(view.Format.AlphaWidth != 0 ? argb : argb | 0xFF000000u);
    }
  return out;
}

}  // namespace

bool HardwareGraphs::deviceMade_ = false;

void HardwareGraphs::MakeDevice(bool plain) {
  deviceMade_ = false;
  if (!PortEnsureVideo() || !PortGlAvailable()) return;
  PortSetExportAbsent("d3d9.dll", "Direct3DCreate9Ex", plain);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kClass;
  RegisterClassExA(&wc);
  gWindow = CreateWindowExA(0, kClass, "graph test", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                            nullptr, nullptr, nullptr);
  WindowState = {};
  WindowState.mainWindow = gWindow;
  WindowState.windowModeFlag = 1;
  WindowState.active = 1;
  ScreenMode = {640, 480, 32, 60};
  // The set-up measures the refresh period: on simulated time that takes no real time.
  PortSetSimulatedTime(true);
  deviceMade_ = SetUpGraphicsDevice() == 0 && HardwareRendering == 1;
  PortSetSimulatedTime(false);
}

void HardwareGraphs::TearDownTestSuite() {
  if (Direct3DLibrary != nullptr) ReleaseGraphicsDevice();
  HardwareRendering = 0;
  if (gWindow != nullptr) DestroyWindow(gWindow);
  UnregisterClassA(kClass, nullptr);
  PortResetDirectDrawSwitches();
  PortResetModuleSwitches();
  WindowState = {};
  gWindow = nullptr;
}

void HardwareGraphs::SetUp() {
  if (!deviceMade_) GTEST_SKIP() << "no Direct3D device on SDL's offscreen driver";
  heapAtStart_ = GetTrackedHeapTotals();
  HardwareRendering = 1;
  ResetGraphTestState();
}

void HardwareGraphs::TearDown() {
  if (!deviceMade_) return;
  DeleteAllGraphs(0);
  GraphicsInitialised = 0;
  EXPECT_EQ(GraphHandles.count, 0);
  const TrackedHeapTotals now = GetTrackedHeapTotals();
  EXPECT_EQ(now.blocks, heapAtStart_.blocks) << "tracked blocks left behind";
}

std::vector<uint32_t> ReadTextureLevel(IDirect3DTexture9* texture, int level) {
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(static_cast<UINT>(level), &desc);
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(static_cast<UINT>(level), &locked, nullptr, D3DLOCK_READONLY)))
    return {};
  std::vector<uint32_t> out =
      ToArgb(locked, desc.Format, static_cast<int>(desc.Width), static_cast<int>(desc.Height));
  texture->UnlockRect(static_cast<UINT>(level));
  return out;
}

std::vector<uint32_t> ReadSurface(IDirect3DSurface9* surface) {
  D3DSURFACE_DESC desc;
  surface->GetDesc(&desc);
  IDirect3DSurface9* copy = nullptr;
  if (FAILED(Direct3DDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                         D3DPOOL_SYSTEMMEM, &copy, nullptr)))
    return {};
  std::vector<uint32_t> out;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(Direct3DDevice->GetRenderTargetData(surface, copy)) &&
      SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    out = ToArgb(locked, desc.Format, static_cast<int>(desc.Width), static_cast<int>(desc.Height));
    copy->UnlockRect();
  }
  copy->Release();
  return out;
}

std::vector<uint8_t> ReadLevelBytes(IDirect3DTexture9* texture, int level) {
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(static_cast<UINT>(level), &desc);
  D3DLOCKED_RECT locked;
  if (FAILED(texture->LockRect(static_cast<UINT>(level), &locked, nullptr, D3DLOCK_READONLY)))
    return {};
  const bool dxt = desc.Format == D3DFMT_DXT1 || desc.Format == D3DFMT_DXT2 ||
                   desc.Format == D3DFMT_DXT3 || desc.Format == D3DFMT_DXT4 ||
                   desc.Format == D3DFMT_DXT5;
  const size_t rows = dxt ? (desc.Height + 3) / 4 : desc.Height;
  const auto* bytes = static_cast<const uint8_t*>(locked.pBits);
  std::vector<uint8_t> out(bytes, bytes + rows * static_cast<size_t>(locked.Pitch));
  texture->UnlockRect(static_cast<UINT>(level));
  return out;
}

IDirect3DTexture9* ReadableTexture(int graph, int tile) {
  const GraphTextureTile& t = GetGraphEntry(graph)->textureSet->tiles[tile];
  return t.stagingTexture != nullptr ? t.stagingTexture : t.texture;
}
