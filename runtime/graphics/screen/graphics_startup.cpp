#include "runtime/graphics/screen/graphics_startup.h"

#include <cstring>
#include <utility>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_buffers.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/device/shader_pack.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"
#include "runtime/softrender/memimg_tables.h"

namespace {

template <typename Hook>
void Call(Hook hook) {
  if (hook) hook();
}

// Each setter sends its cached value for the duration, equal to the device's or not.
struct ForcedWrites {
  ForcedWrites() { ForceStateWrite = 1; }
  ~ForcedWrites() { ForceStateWrite = 0; }
};

void SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  Direct3DDevice->SetRenderState(state, value);
}

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Address modes still unset become clamp; the filters follow the texture filter mode.
void SendSamplerStarts() {
  static const int32_t kFilters[3][3] = {{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE},
                                         {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE},
                                         {D3DTEXF_LINEAR, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR}};
  for (int s = 0; s < kDeviceSamplerCount; ++s) {
    SamplerStateShadow& shadow = DeviceStateCache.samplers[s];
    const DWORD sampler = static_cast<DWORD>(s);
    for (auto [mode, state] : {std::pair{&shadow.addressU, D3DSAMP_ADDRESSU},
                               std::pair{&shadow.addressV, D3DSAMP_ADDRESSV},
                               std::pair{&shadow.addressW, D3DSAMP_ADDRESSW}}) {
      if (*mode == 0) *mode = D3DTADDRESS_CLAMP;
      Direct3DDevice->SetSamplerState(sampler, state, static_cast<DWORD>(*mode));
    }
    if (TextureFilterMode >= 0 && TextureFilterMode <= 2) {
      shadow.magFilter = kFilters[TextureFilterMode][0];
      shadow.minFilter = kFilters[TextureFilterMode][1];
      shadow.mipFilter = kFilters[TextureFilterMode][2];
    }
    Direct3DDevice->SetSamplerState(sampler, D3DSAMP_MAGFILTER,
                                    static_cast<DWORD>(shadow.magFilter));
    Direct3DDevice->SetSamplerState(sampler, D3DSAMP_MINFILTER,
                                    static_cast<DWORD>(shadow.minFilter));
    Direct3DDevice->SetSamplerState(sampler, D3DSAMP_MIPFILTER,
                                    static_cast<DWORD>(shadow.mipFilter));
  }
}

void SendFixedRenderStates() {
  SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  SetRenderState(D3DRS_LIGHTING, TRUE);
  SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
  SetRenderState(D3DRS_DITHERENABLE, FALSE);
  SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
  SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  SetRenderState(D3DRS_FOGENABLE, FALSE);
  SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
  SetRenderState(D3DRS_FOGCOLOR, 0);
  SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
  SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
}

// The caches' start values, matching what the device was just sent.
void ResetStateCaches() {
  Direct3DDevice->GetMaterial(&DeviceStateCache.material);
  ResetBlendStateCache();
  DeviceStateShadows& cache = DeviceStateCache;
  PackedDrawColor = 0xFFFFFFFFu;
  int width, height;
  GetScreenSize(&width, &height);
  cache.viewport = {0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0.0f, 1.0f};
  cache.zEnable = 1;
  cache.zWriteEnable = 0;
  cache.zFunc = D3DCMP_LESSEQUAL;
  cache.depthBias = 0;
  cache.fillMode = D3DFILL_SOLID;
  cache.cullMode = 0;
  cache.shadeMode = D3DSHADE_FLAT;
  cache.lighting = 1;
  cache.specularEnable = 1;
  cache.fogEnable = 0;
  cache.fogColor = 0;
  cache.fogStart = 0.0f;
  cache.fogEnd = 1.0f;
  // No filter a setter sends: the next filter change reaches the device whatever it asks.
  for (SamplerStateShadow& sampler : cache.samplers) {
    sampler.maxAnisotropy = 1;
    sampler.magFilter = sampler.minFilter = sampler.mipFilter = -1;
  }
}

}  // namespace

int InitializeGraphics() {
  if (GraphicsInitialised) return 0;
  if (ScreenMode.width == 0) ScreenMode.width = 640;
  if (ScreenMode.height == 0) ScreenMode.height = 480;
  if (ScreenMode.bits == 0) ScreenMode.bits = 16;
  if (IsFullScreen() && ScreenMode.width == 320 && ScreenMode.height == 240) {
    ScreenMode.width = 640;
    ScreenMode.height = 480;
    Emulate320x240 = 1;
  }
  if (SetUpGraphicsDevice() != 0) {
    TerminateGraphics();
    return -1;
  }
  GraphicsInitialised = 1;
  // Movies make their YUV surfaces on the device while there is one to draw with.
  SetTheoraSurfaceDeviceQuery([] { return HardwareRendering ? Direct3DDevice : nullptr; });
  RecreateAllMovieSurfaces();
  if (HardwareRendering)
    InitializeHardwareDrawState();
  else
    CreateSoftwareScreen();
  ResetDrawSettings();
  BuildMemImgTables();
  Call(ScreenHooks.startFontSystem);
  return 0;
}

int TerminateGraphics() {
  Call(ScreenHooks.endFontSystem);
  if (!GraphicsInitialised) return 0;
  if (WindowState.mainWindow != nullptr) KillTimer(WindowState.mainWindow, kScreenRefreshTimerId);
  DeleteAllGraphs(0);
  WhiteTextureGraph = -1;
  DeleteAllVertexBuffers();
  DeleteAllIndexBuffers();
  DeleteAllShaders();
  Call(ScreenHooks.terminateMaskScreen);
  Call(ScreenHooks.deleteAllMaskHandles);
  DeleteAllLightHandles();
  DeleteLightHandle(LightState.defaultLight);
  ReleaseAllMovieSurfaces();
  ReleaseGraphicsDevice();
  ReleaseSoftwareScreen();
  SoftDrawTarget = nullptr;
  FreeShaderPack();
  GraphicsInitialised = 0;
  return 0;
}

void InitializeHardwareDrawState() {
  if (Direct3DDevice == nullptr) return;
  InitializeVertexBatchBuffers();
  SendSamplerStarts();
  SendFixedRenderStates();
  ResetStateCaches();
  ReapplyDrawStates();
  BeginSceneIfNeeded();
  PrepareDrawState(0, 0, nullptr, 0);
  if (BlendStateDirty || TextureDirty) ApplyBlendState(0, nullptr, 0);
}

void ReapplyDrawStates() {
  if (Direct3DDevice == nullptr) return;
  ForcedWrites forced;
  DeviceStateShadows& cache = DeviceStateCache;
  if (cache.viewport.Width != 0 && cache.viewport.Height != 0) {
    const D3DVIEWPORT9 viewport = cache.viewport;
    SetDeviceViewport(&viewport);
  }
  const RECT scissor = cache.scissor;
  if (scissor.right > scissor.left && scissor.bottom > scissor.top) SetDeviceScissorRect(&scissor);
  SetDefaultDeviceStates();
  SetDeviceFilterMode(TextureFilterMode);
  BlendStateDirty = TextureDirty = 1;
  ApplyBlendState(0, nullptr, 0);
  SetDeviceZEnable(cache.zEnable);
  SetDeviceZWriteEnable(cache.zWriteEnable);
  SetDeviceZFunc(cache.zFunc);
  SetDeviceDepthBias(cache.depthBias);
  SetDeviceFillMode(cache.fillMode);
  SetDeviceCullMode(cache.cullMode);
  SetDeviceShadeMode(cache.shadeMode);
  const D3DMATERIAL9 material = cache.material;
  SetDeviceMaterial(&material);
  SetDeviceSpecularEnable(cache.specularEnable);
  // 255: never sent yet, so nothing to send again.
  if (cache.diffuseMaterialSource != 255)
    SetDeviceDiffuseMaterialSource(cache.diffuseMaterialSource);
  if (cache.specularMaterialSource != 255)
    SetDeviceSpecularMaterialSource(cache.specularMaterialSource);
}

void ReapplyAllDeviceStates() {
  if (Direct3DDevice == nullptr) return;
  {
    ForcedWrites forced;
    DeviceStateShadows& cache = DeviceStateCache;
    SetDeviceDitherEnable(0);
    SetDeviceBlendMode(BlendSelection.blendMode, BlendSelection.alphaChannel,
                       BlendSelection.transparentColor);
    SetDeviceCullMode(cache.cullMode);
    SetDeviceFilterMode(TextureFilterMode);
    SetDeviceShadeMode(cache.shadeMode);
    SetDeviceMaxAnisotropy(TextureMaxAnisotropy);
    for (int s = 0; s < kDeviceSamplerCount; ++s) {
      SetDeviceTextureAddressU(cache.samplers[s].addressU, s);
      SetDeviceTextureAddressV(cache.samplers[s].addressV, s);
      SetDeviceTextureAddressW(cache.samplers[s].addressW, s);
    }
    for (int s = 0; s < kDeviceStageCount; ++s) {
      const Matrix4 transform = cache.textureTransform[s];
      SetDeviceTextureTransform(s, cache.textureTransformUse[s], &transform);
    }
    SetDeviceFogEnable(cache.fogEnable);
    SetDeviceFogMode(cache.fogVertexMode);
    SetDeviceFogColor(cache.fogColor);
    SetDeviceFogRange(cache.fogStart, cache.fogEnd);
    SetDeviceFogDensity(cache.fogDensity);
    SetDeviceZEnable(cache.zEnable);
    SetDeviceZWriteEnable(cache.zWriteEnable);
    SetDeviceZFunc(cache.zFunc);
    SetDeviceDepthBias(cache.depthBias);
    SetDeviceFillMode(cache.fillMode);
    SetWorldTransformDirect(&WorldMatrix);
    const Matrix4 view = ViewMatrix, projection = ProjectionMatrix, viewport = ViewportMatrix;
    SetViewMatrix(&view);
    SetProjectionMatrix(&projection);
    SetViewportMatrix(&viewport);
    const D3DMATERIAL9 material = cache.material;
    SetDeviceMaterial(&material);
    SetDeviceSpecularEnable(cache.specularEnable);
    if (cache.diffuseMaterialSource != 255)
      SetDeviceDiffuseMaterialSource(cache.diffuseMaterialSource);
    if (cache.specularMaterialSource != 255)
      SetDeviceSpecularMaterialSource(cache.specularMaterialSource);
    SetDeviceAmbient(cache.ambientColor);
    SetDeviceLighting(cache.lighting);
    for (int i = 0; i <= cache.highestEnabledLight && i < kDeviceLightCount; ++i) {
      const D3DLIGHT9 light = cache.lights[i];
      SetDeviceLightEnable(i, cache.lightEnabled[i], &light);
    }
    if (!DrawAreaEmpty) {
      SetDeviceViewportRect(DrawArea.left, DrawArea.top, DrawArea.right, DrawArea.bottom);
      SetDeviceScissorRect(&DrawArea);
    }
    ResetTexCoordIndexes();
    BlendStateDirty = TextureDirty = 1;
    ApplyBlendState(0, nullptr, 0);
  }
  ReapplyDrawStates();
}

int CreateGraphForImage(const GraphImage* image, const GraphImage* alphaImage) {
  if (!GraphicsInitialised || image == nullptr) return -1;
  if (alphaImage != nullptr &&
      (alphaImage->Width != image->Width || alphaImage->Height != image->Height))
    return -1;
  WaitWhileInactive();
  const int handle = AllocGraphHandle();
  const PixelFormat& format = image->Format;
  const int hasAlpha = alphaImage != nullptr || format.AlphaWidth != 0 ? 1 : 0;
  const int paletted = format.BytesPerPixel == 1 && !hasAlpha ? 1 : 0;
  if (CreateGraphStorage(image->MipLevels == 0 ? -1 : image->MipLevels, handle, image->Width,
                         image->Height, hasAlpha, paletted,
                         static_cast<int>(format.BlockCompression)) != 0)
    return -1;
  return handle;
}

int ApplyTextureStageSetup(const TextureStageSetup* record, int texturesOnly, int graphHandles) {
  FlushVertexBatch();
  ApplyBlendState(graphHandles, record, texturesOnly);
  BlendStateDirty = 1;
  TextureDirty = 1;
  return 0;
}
