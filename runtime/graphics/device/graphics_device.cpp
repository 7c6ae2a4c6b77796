#include "runtime/graphics/device/graphics_device.h"

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/device/shader_pack.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/window_state.h"

int HardwareRendering = 0;
int SoftwareRenderingRequested = 0;
int InScene = 0;
HMODULE Direct3DLibrary = nullptr;
IDirect3D9* Direct3DObject = nullptr;
IDirect3D9Ex* Direct3DObjectEx = nullptr;
IDirect3DDevice9* Direct3DDevice = nullptr;
IDirect3DDevice9Ex* Direct3DDeviceEx = nullptr;
IDirect3DSurface9* BackBufferSurface = nullptr;
IDirect3DSwapChain9* DeviceSwapChain = nullptr;
IDirect3DSurface9* SubBackBufferSurface = nullptr;
IDirect3DSurface9* DepthSurface = nullptr;
int DepthSurfaceWidth = 0;
int DepthSurfaceHeight = 0;
D3DCAPS9 DeviceCaps = {};
int MaxTextureSize = 0;
D3DFORMAT ScreenFormat = D3DFMT_UNKNOWN;
int ShaderModel2Available = 0;
int VertexShader2Supported = 0;
int PixelShader2Supported = 0;
int TempRegisterSupported = 0;
int SubtractBlendSupported = 0;
int UseBackBufferLock = 0;

namespace {

// Windows Vista and later.
constexpr int kVistaSystemCode = 264;

bool VersionAtLeast2(DWORD version) { return (version & 0xFFFF) >= 0x200; }

bool Emulating320x240() { return Emulate320x240 || Emulate320x240Fallback; }

void ReleaseDevice(const char* line) {
  if (!Direct3DDevice) return;
  WriteLogText(line);
  Direct3DDevice->Release();
  Direct3DDevice = nullptr;
  Direct3DDeviceEx = nullptr;
  InScene = 0;
}

// What the set-up made on the way to a device, released before the software path takes over.
void ReleaseFailedHardwareSetUp() {
  ReleaseAndClear(DepthSurface);
  ReleaseAndClear(SubBackBufferSurface);
  ReleaseAndClear(BackBufferSurface);
  ReleaseAndClear(DeviceSwapChain);
  ReleaseDevice("Direct3DDevice9 の解放 2\n");
  ReleaseAndClear(Direct3DObject);
  Direct3DObjectEx = nullptr;
}

// The back-buffer format for a bit depth in full screen; D3DFMT_UNKNOWN for other depths.
D3DFORMAT FullScreenFormat(int bits) {
  if (bits == 16)
    return Direct3DObject->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5) > 0
               ? D3DFMT_R5G6B5
               : D3DFMT_X1R5G5B5;
  if (bits == 32) return D3DFMT_X8R8G8B8;
  return D3DFMT_UNKNOWN;
}

// The two attempts: the chosen vertex processing, then software vertex processing.
int MakeDevice(D3DPRESENT_PARAMETERS* params, D3DDISPLAYMODEEX* fullScreenMode) {
  HWND window = GetMainWindowHandle();
  DWORD behaviour = ShaderModel2Available ? D3DCREATE_MIXED_VERTEXPROCESSING
                                          : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt == 1) {
      ShaderModel2Available = 0;
      behaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }
    HRESULT hr;
    if (Direct3DObjectEx) {
      IDirect3DDevice9Ex* device = nullptr;
      D3DPRESENT_PARAMETERS trial = *params;
      hr = Direct3DObjectEx->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour,
                                            &trial, params->Windowed ? nullptr : fullScreenMode,
                                            &device);
      if (SUCCEEDED(hr)) {
        Direct3DDeviceEx = device;
        Direct3DDevice = device;
      }
    } else {
      IDirect3DDevice9* device = nullptr;
      D3DPRESENT_PARAMETERS trial = *params;
      hr = Direct3DObject->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour,
                                        &trial, &device);
      if (SUCCEEDED(hr)) Direct3DDevice = device;
    }
    if (SUCCEEDED(hr)) {
      WriteLogText(attempt == 0 ? "ハードウエア頂点演算を使用します\n"
                                : "ソフトウエア頂点演算を使用します\n");
      if (Direct3DDeviceEx) Direct3DDeviceEx->SetMaximumFrameLatency(1);
      return 0;
    }
  }
  return WriteLogText(Direct3DObjectEx ? "Direct3DDevice9Ex の作成に失敗しました\n"
                                       : "Direct3DDevice9 の作成に失敗しました\n");
}

void LogDeviceCapabilities() {
  LogPrintf("最大テクスチャサイズ　幅:%d 高さ:%d", static_cast<int>(DeviceCaps.MaxTextureWidth),
            static_cast<int>(DeviceCaps.MaxTextureHeight));
  LogPrintf("テクスチャステージテンポラリレジスタ：%s",
            TempRegisterSupported ? "使用可" : "使用不可");
  LogPrintf("減算合成のハードウェア対応：%s",
            SubtractBlendSupported ? "ネイティブ" : "エミュレート");
  LogPrintf("頂点シェーダーバージョンコード：%x",
            static_cast<unsigned>(DeviceCaps.VertexShaderVersion & 0xFFFF));
  LogPrintf("ピクセルシェーダーバージョンコード：%x",
            static_cast<unsigned>(DeviceCaps.PixelShaderVersion & 0xFFFF));
}

}  // namespace

int SetUpGraphicsDevice() {
  Direct3DLibrary = LoadLibraryA("d3d9.dll");
  if (!Direct3DLibrary) return WriteLogText("d3d9.dll の読み込みに失敗しました\n");
  if (CreateDirectDrawObject() != 0) {
    WriteLogText("Direct3D9 DLL の解放 3\n");
    FreeLibrary(Direct3DLibrary);
    Direct3DLibrary = nullptr;
    return -1;
  }
  HardwareRendering = 0;
  if (!SoftwareRenderingRequested) {
    bool madeDevice = false;
    const bool modeFirst =
        IsFullScreen() && gSystemState.systemCode >= kVistaSystemCode && Emulating320x240();
    if (!modeFirst || ChangeDisplayMode() == 0)
      madeDevice =
          CreateDirect3DObject() == 0 && CreateGraphicsDevice() == 0 && CreateZBuffer() == 0;
    if (madeDevice) {
      HardwareRendering = 1;
      SetUpProgrammableShaders();
      if (UseProgrammableShaders) CreateShaderVertexDeclarations();
      return 0;
    }
    ReleaseFailedHardwareSetUp();
  }
  if (IsFullScreen() && ChangeDisplayMode() != 0) {
    // Nothing of the set-up stays behind a failure.
    ReleaseGraphicsDevice();
    return -1;
  }
  MeasureRefreshPeriod();
  return 0;
}

int CreateDirect3DObject() {
  ReleaseAndClear(Direct3DObject);
  Direct3DObjectEx = nullptr;
  WriteLogText("IDirect3D9Ex オブジェクトを取得します.... ");
  typedef HRESULT(WINAPI * CreateExProc)(UINT, IDirect3D9Ex**);
  typedef IDirect3D9*(WINAPI * CreateProc)(UINT);
  auto createEx =
      reinterpret_cast<CreateExProc>(GetProcAddress(Direct3DLibrary, "Direct3DCreate9Ex"));
  IDirect3D9Ex* ex = nullptr;
  if (createEx && createEx(D3D_SDK_VERSION, &ex) == S_OK && ex) {
    Direct3DObjectEx = ex;
    Direct3DObject = ex;
  } else {
    WriteLogText("IDirect3D9 オブジェクトを取得します.... ");
    auto create = reinterpret_cast<CreateProc>(GetProcAddress(Direct3DLibrary, "Direct3DCreate9"));
    if (!create) return WriteLogText("Direct3DCreate9 APIのアドレス取得に失敗しました\n");
    Direct3DObject = create(D3D_SDK_VERSION);
    if (!Direct3DObject) return WriteLogText("IDirect3D9 オブジェクトの取得に失敗しました\n");
  }
  WriteLogText("成功\n");
  return 0;
}

int CreateGraphicsDevice() {
  if (!Direct3DObject) return -1;
  ReleaseAndClear(BackBufferSurface);
  ReleaseAndClear(DeviceSwapChain);
  ReleaseDevice("Direct3DDevice9 の解放 1\n");

  D3DPRESENT_PARAMETERS params = {};
  params.BackBufferWidth = static_cast<UINT>(ScreenMode.width);
  params.BackBufferHeight = static_cast<UINT>(ScreenMode.height);
  params.BackBufferCount = 1;
  params.MultiSampleType = D3DMULTISAMPLE_NONE;
  params.SwapEffect = D3DSWAPEFFECT_COPY;
  params.hDeviceWindow = GetMainWindowHandle();
  params.EnableAutoDepthStencil = FALSE;
  params.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  params.PresentationInterval =
      NoVSyncWait ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_ONE;
  D3DDISPLAYMODEEX fullScreenMode = {};
  if (!IsFullScreen()) {
    params.Windowed = TRUE;
    D3DDISPLAYMODE desktop = {};
    Direct3DObject->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
    params.BackBufferFormat = desktop.Format;
    if (desktop.Format == D3DFMT_X8R8G8B8) ScreenMode.bits = 32;
    if (desktop.Format == D3DFMT_R5G6B5 || desktop.Format == D3DFMT_X1R5G5B5 ||
        desktop.Format == D3DFMT_A1R5G5B5)
      ScreenMode.bits = 16;
    SetDesktopComposition(1);
  } else {
    params.BackBufferFormat = FullScreenFormat(ScreenMode.bits);
    if (params.BackBufferFormat == D3DFMT_UNKNOWN)
      return WriteLogText("非対応のバックバッファービット深度が指定されました\n");
    if (gSystemState.systemCode >= kVistaSystemCode && Emulating320x240()) {
      // The display mode was changed beforehand; the device shows in the window.
      params.Windowed = TRUE;
    } else {
      params.Windowed = FALSE;
      params.FullScreen_RefreshRateInHz = static_cast<UINT>(ScreenMode.refreshRate);
      fullScreenMode.Size = sizeof(D3DDISPLAYMODEEX);
      fullScreenMode.Width = params.BackBufferWidth;
      fullScreenMode.Height = params.BackBufferHeight;
      fullScreenMode.RefreshRate = params.FullScreen_RefreshRateInHz;
      fullScreenMode.Format = params.BackBufferFormat;
      fullScreenMode.ScanLineOrdering = D3DSCANLINEORDERING_PROGRESSIVE;
      SetDesktopComposition(0);
      if (RuntimeLibraries.dwmapi.DwmEnableComposition)
        WriteLogText("Desktop Window Manager を無効にしました\n");
    }
  }

  D3DCAPS9 adapterCaps = {};
  Direct3DObject->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &adapterCaps);
  ShaderModel2Available = VersionAtLeast2(adapterCaps.VertexShaderVersion) &&
                                  VersionAtLeast2(adapterCaps.PixelShaderVersion)
                              ? 1
                              : 0;
  WriteLogText(Direct3DObjectEx ? "IDirect3DDevice9Ex オブジェクトを取得します.... "
                                : "IDirect3DDevice9 オブジェクトを取得します.... ");
  if (MakeDevice(&params, &fullScreenMode) != 0) return -1;

  MeasureRefreshPeriod();
  DeviceStateCache.vertexShader = nullptr;
  DeviceStateCache.pixelShader = nullptr;
  DeviceStateCache.fvf = 0;
  Direct3DDevice->SetRenderState(D3DRS_ZENABLE, TRUE);

  const D3DCOLOR background =
      D3DCOLOR_ARGB(0, BackgroundColor.red, BackgroundColor.green, BackgroundColor.blue);
  for (int i = 0; i < 4; ++i) {
    Direct3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, background, 1.0f, 0);
    if (i < 3) Direct3DDevice->Present(nullptr, nullptr, GetMainWindowHandle(), nullptr);
  }
  Direct3DDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &BackBufferSurface);
  Direct3DDevice->GetSwapChain(0, &DeviceSwapChain);
  WriteLogText("成功\n");

  Direct3DDevice->GetDeviceCaps(&DeviceCaps);
  TempRegisterSupported = (DeviceCaps.PrimitiveMiscCaps & D3DPMISCCAPS_TSSARGTEMP) ? 1 : 0;
  SubtractBlendSupported = (DeviceCaps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP) ? 1 : 0;
  VertexShader2Supported =
      ShaderModel2Available && VersionAtLeast2(DeviceCaps.VertexShaderVersion) ? 1 : 0;
  PixelShader2Supported =
      ShaderModel2Available && VersionAtLeast2(DeviceCaps.PixelShaderVersion) ? 1 : 0;
  const int maxWidth =
      DeviceCaps.MaxTextureWidth ? static_cast<int>(DeviceCaps.MaxTextureWidth) : 256;
  const int maxHeight =
      DeviceCaps.MaxTextureHeight ? static_cast<int>(DeviceCaps.MaxTextureHeight) : 256;
  MaxTextureSize = maxWidth < maxHeight ? maxWidth : maxHeight;
  // Not applied yet: the first real call always reaches the device.
  DeviceStateCache.diffuseMaterialSource = 255;
  DeviceStateCache.specularMaterialSource = 255;

  D3DADAPTER_IDENTIFIER9 identifier = {};
  Direct3DObject->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier);
  LogPrintf("Driver:%s  Description:%s", identifier.Driver, identifier.Description);

  D3DSURFACE_DESC desc = {};
  if (BackBufferSurface) BackBufferSurface->GetDesc(&desc);
  ScreenFormat = desc.Format;
  switch (ScreenFormat) {
    case D3DFMT_X8R8G8B8:
      LogPrintf("画面のフォーマットは %s です", "D3DFMT_X8R8G8B8");
      break;
    case D3DFMT_R5G6B5:
      LogPrintf("画面のフォーマットは %s です", "D3DFMT_R5G6B5");
      break;
    case D3DFMT_X1R5G5B5:
      LogPrintf("画面のフォーマットは %s です", "D3DFMT_X1R5G5B5");
      break;
    default:
      LogPrintf("バックバッファが対応していないフォーマット %d です",
                static_cast<int>(ScreenFormat));
      break;
  }
  if (ChooseZBufferFormat() != 0) return -1;
  if (ChooseTextureFormats() != 0) return -1;
  LogDeviceCapabilities();
  MeasureBackBufferReadBack();
  return 0;
}

int CreateZBuffer() {
  if (!Direct3DDevice) return -1;
  ReleaseAndClear(DepthSurface);
  WriteLogText("Ｚバッファを作成します.... ");
  int width = 1;
  while (width < ScreenMode.width) width <<= 1;
  int height = 1;
  while (height < ScreenMode.height) height <<= 1;
  if (FAILED(Direct3DDevice->CreateDepthStencilSurface(
          static_cast<UINT>(width), static_cast<UINT>(height), ZBufferFormat, D3DMULTISAMPLE_NONE,
          0, TRUE, &DepthSurface, nullptr)))
    return WriteLogText("Ｚバッファの作成に失敗しました\n");
  DepthSurfaceWidth = width;
  DepthSurfaceHeight = height;
  Direct3DDevice->SetDepthStencilSurface(DepthSurface);
  Direct3DDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  WriteLogText("成功\n");
  return 0;
}

int CreateSubBackBuffer() {
  ReleaseAndClear(SubBackBufferSurface);
  if (!Direct3DDevice ||
      FAILED(Direct3DDevice->CreateRenderTarget(
          static_cast<UINT>(ScreenMode.width), static_cast<UINT>(ScreenMode.height), ScreenFormat,
          D3DMULTISAMPLE_NONE, 0, FALSE, &SubBackBufferSurface, nullptr)))
    return WriteLogText("サブバックバッファの作成に失敗しました\n");
  return 0;
}

int ReleaseGraphicsDevice() {
  if (DeviceGraphHooks.releaseModelBuffers) DeviceGraphHooks.releaseModelBuffers();
  FlushVertexBatch();
  EndSceneIfActive();
  ReleaseShaderDeclarations();
  ReleaseShaderObjects();
  if (Direct3DLibrary && IsFullScreen() &&
      (!HardwareRendering || (gSystemState.systemCode >= kVistaSystemCode && Emulating320x240())))
    ChangeDisplaySettingsA(nullptr, 0);
  ReleaseAndClear(DepthSurface);
  DepthSurfaceWidth = 0;
  DepthSurfaceHeight = 0;
  ReleaseAndClear(SubBackBufferSurface);
  ReleaseAndClear(BackBufferSurface);
  ReleaseAndClear(DeviceSwapChain);
  // The render-target shadow points at a surface of this device.
  DeviceStateCache.renderTarget = nullptr;
  ReleaseDevice("Direct3DDevice9 の解放 3\n");
  ReleaseAndClear(Direct3DObject);
  Direct3DObjectEx = nullptr;
  ReleaseDirectDrawObject();
  if (Direct3DLibrary) {
    WriteLogText("Direct3D9 DLL の解放 4\n");
    FreeLibrary(Direct3DLibrary);
    Direct3DLibrary = nullptr;
  }
  ReleaseDisplayModeList();
  return 0;
}

void BeginSceneIfNeeded() {
  if (!Direct3DDevice || InScene) return;
  Direct3DDevice->BeginScene();
  InScene = 1;
}

void EndSceneIfActive() {
  if (!Direct3DDevice || !InScene) return;
  Direct3DDevice->EndScene();
  InScene = 0;
}

int SetUseHardwareRendering(int flag) {
  if (gSystemState.initialised) return -1;
  SoftwareRenderingRequested = flag == 0 ? 1 : 0;
  return 0;
}

int GetUseHardwareRendering() { return SoftwareRenderingRequested ? 0 : 1; }
