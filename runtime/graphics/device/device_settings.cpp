#include "runtime/graphics/device/device_settings.h"

#include <utility>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_buffers.h"
#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/device/shader_pack.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"

int TextureFilterMode = 0;
int TextureMaxAnisotropy = 1;
float DrawAreaF[4] = {};
int DrawAreaEmpty = 0;
RECT RequestedDrawClipRect = {0, 0, 0, 0};
Matrix4 ViewMatrix = {};
Matrix4 ProjectionMatrix = {};
Matrix4 ViewportMatrix = {};
Matrix4 DrawAreaViewportMatrix = {};
Matrix4 DrawAreaViewportInverse = {};
int FogMode = 3;
D3DCOLOR FogColor = 0xFFFFFFFFu;
float FogStart = 0.0f;
float FogEnd = 1500.0f;
int UseProgrammableShaders = 0;
DeviceGraphServiceHooks DeviceGraphHooks = {};

namespace {

// The projection the device gets: projection x viewport matrix x the inverse of the draw-area
// viewport, so the 3-D image keeps its place on the whole target while the device viewport
// covers only the draw area.
int SendProjection() {
  Matrix4 product;
  MultiplyMatrix4(&product, &ProjectionMatrix, &ViewportMatrix);
  MultiplyMatrix4(&product, &product, &DrawAreaViewportInverse);
  return SetDeviceProjectionMatrix(&product);
}

int Clamp(int v, int low, int high) { return v < low ? low : v > high ? high : v; }

void SetStageState(int stage, int32_t* shadow, int32_t value, D3DTEXTURESTAGESTATETYPE type) {
  *shadow = value;
  Direct3DDevice->SetTextureStageState(static_cast<DWORD>(stage), type, static_cast<DWORD>(value));
}

void WriteLibraryBaseConstants() {
  const float vertex[4] = {0.0f, 1.0f, 0.0f, 0.0f};
  const float pixel[4] = {0.0f, 0.5f, 1.0f, 2.0f};
  SetVertexShaderConstants(1, 0, vertex);
  SetPixelShaderConstants(1, 0, pixel);
}

}  // namespace

int SetTextureFilterMode(int mode) {
  if (DrawSuppressed || mode == TextureFilterMode) return 0;
  TextureFilterMode = mode;
  if (HardwareRendering) SetDeviceFilterMode(mode);
  return 0;
}

int GetTextureFilterMode() { return TextureFilterMode; }

int GetDrawTargetSize(int* width, int* height) {
  if (DrawTarget <= -2 && DrawTarget >= -5) {
    *width = ScreenMode.width;
    *height = ScreenMode.height;
    return 0;
  }
  if (!DeviceGraphHooks.graphSize) return -1;
  return DeviceGraphHooks.graphSize(DrawTarget, width, height) == 0 ? 0 : -1;
}

int SetDrawClipRect(int x1, int y1, int x2, int y2) {
  if (DrawSuppressed) return 0;
  int width = 0, height = 0;
  if (GetDrawTargetSize(&width, &height) != 0) return -1;
  RequestedDrawClipRect = {x1, y1, x2, y2};
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = Clamp(x1, 0, width);
  x2 = Clamp(x2, 0, width);
  y1 = Clamp(y1, 0, height);
  y2 = Clamp(y2, 0, height);
  DrawArea = {x1, y1, x2, y2};
  DrawAreaF[0] = static_cast<float>(x1);
  DrawAreaF[1] = static_cast<float>(y1);
  DrawAreaF[2] = static_cast<float>(x2);
  DrawAreaF[3] = static_cast<float>(y2);
  if (x1 == x2 || y1 == y2) {
    DrawAreaEmpty = 1;
    return 0;
  }
  DrawAreaEmpty = 0;
  if (!HardwareRendering) return 0;
  if (!Direct3DDevice) return -1;
  SetDeviceViewportRect(x1, y1, x2, y2);
  SetDeviceScissorRect(&DrawArea);
  const float w = static_cast<float>(x2 - x1), h = static_cast<float>(y2 - y1);
  MakeViewportMatrix(&DrawAreaViewportMatrix, w * 0.5f + static_cast<float>(x1),
                     h * 0.5f + static_cast<float>(y1), w, h);
  InvertMatrix4(&DrawAreaViewportInverse, &DrawAreaViewportMatrix);
  SendProjection();
  return 0;
}

int SetViewMatrix(const Matrix4* matrix) {
  FlushVertexBatch();
  ViewMatrix = *matrix;
  UpdateCameraMatrix();
  if (HardwareRendering) SetDeviceViewMatrix(&ViewMatrix);
  return 0;
}

int SetProjectionMatrix(const Matrix4* matrix) {
  FlushVertexBatch();
  ProjectionMatrix = *matrix;
  UpdateCameraMatrix();
  if (HardwareRendering) SendProjection();
  return 0;
}

int SetViewportMatrix(const Matrix4* matrix) {
  FlushVertexBatch();
  ViewportMatrix = *matrix;
  UpdateCameraMatrix();
  if (HardwareRendering) SendProjection();
  return 0;
}

int SetFogMode(int mode) {
  if (FogMode == mode && (!HardwareRendering || DeviceStateCache.fogVertexMode == mode)) return 0;
  FlushVertexBatch();
  FogMode = mode;
  if (HardwareRendering) SetDeviceFogMode(mode);
  return 0;
}

int SetFogColor(int red, int green, int blue) {
  const D3DCOLOR color = D3DCOLOR_ARGB(255, red, green, blue);
  if (FogColor == color && (!HardwareRendering || DeviceStateCache.fogColor == color)) return 0;
  FlushVertexBatch();
  FogColor = color;
  if (HardwareRendering) SetDeviceFogColor(color);
  return 0;
}

int SetFogStartEnd(float start, float end) {
  if (FogStart == start && FogEnd == end &&
      (!HardwareRendering ||
       (DeviceStateCache.fogStart == start && DeviceStateCache.fogEnd == end)))
    return 0;
  FlushVertexBatch();
  FogStart = start;
  FogEnd = end;
  if (HardwareRendering) SetDeviceFogRange(start, end);
  return 0;
}

void SetDefaultDeviceStates() {
  if (!Direct3DDevice) return;
  FlushVertexBatch();
  DeviceStateShadows& cache = DeviceStateCache;
  for (int s = 0; s < 4; ++s) {
    Direct3DDevice->SetSamplerState(static_cast<DWORD>(s), D3DSAMP_ADDRESSU,
                                    static_cast<DWORD>(cache.samplers[s].addressU));
    Direct3DDevice->SetSamplerState(static_cast<DWORD>(s), D3DSAMP_ADDRESSV,
                                    static_cast<DWORD>(cache.samplers[s].addressV));
  }
  static const int32_t kCoordIndexes[4] = {0, 1, 1, 0};
  for (int s = 0; s < 4; ++s) {
    SetStageState(s, &cache.stages[s].texCoordIndex, kCoordIndexes[s], D3DTSS_TEXCOORDINDEX);
    if (TempRegisterSupported)
      SetStageState(s, &cache.stages[s].resultTemp, D3DTA_CURRENT, D3DTSS_RESULTARG);
  }
  Direct3DDevice->SetRenderState(D3DRS_SHADEMODE, static_cast<DWORD>(cache.shadeMode));
  Direct3DDevice->SetRenderState(D3DRS_LIGHTING, static_cast<DWORD>(cache.lighting));
  cache.cullMode = 0;
  Direct3DDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  cache.ditherEnable = 0;
  Direct3DDevice->SetRenderState(D3DRS_DITHERENABLE, FALSE);
  WriteLibraryBaseConstants();
  if (cache.vertexShader) Direct3DDevice->SetVertexShader(nullptr);
  if (cache.pixelShader) Direct3DDevice->SetPixelShader(nullptr);
  cache.fvf = 0;
  cache.vertexShader = nullptr;
  cache.pixelShader = nullptr;
}

int CopyBackBufferToSubBackBuffer() {
  if (SubBackBufferSurface) return 0;
  FlushVertexBatch();
  EndSceneIfActive();
  if (CreateSubBackBuffer() != 0) return -1;
  Direct3DDevice->StretchRect(BackBufferSurface, nullptr, SubBackBufferSurface, nullptr,
                              D3DTEXF_NONE);
  const int force = ForceStateWrite;
  ForceStateWrite = 1;
  SetDeviceRenderTarget(SubBackBufferSurface);
  ForceStateWrite = force;
  return 0;
}

int SetUpProgrammableShaders() {
  ReleaseShaderObjects();
  UseProgrammableShaders = 0;
  if (VertexShader2Supported && PixelShader2Supported && Direct3DDevice) {
    UseProgrammableShaders = 1;
    if (!LoadShaderPack()) {
      WriteLogText("シェーダーコードを展開するメモリ領域の確保に失敗しました\n");
      UseProgrammableShaders = 0;
    } else {
      const uint8_t* vertexCode = VertexShaderCode[kLibraryVertexShaderSlot];
      const uint8_t* pixelCode = PixelShaderCode[kLibraryPixelShaderSlot];
      if (!vertexCode || !pixelCode ||
          FAILED(
              Direct3DDevice->CreateVertexShader(reinterpret_cast<const DWORD*>(vertexCode),
                                                 &VertexShaderObjects[kLibraryVertexShaderSlot])) ||
          FAILED(Direct3DDevice->CreatePixelShader(reinterpret_cast<const DWORD*>(pixelCode),
                                                   &PixelShaderObjects[kLibraryPixelShaderSlot])))
        UseProgrammableShaders = 0;
    }
  }
  WriteLogText(UseProgrammableShaders ? "プログラマブルシェーダーを使用します\n"
                                      : "プログラマブルシェーダーを使用しません\n");
  WriteLibraryBaseConstants();
  return 0;
}

int CreateShaderVertexDeclarations() {
  if (!UseProgrammableShaders || !Direct3DDevice) return 0;
  constexpr BYTE kFloat3 = D3DDECLTYPE_FLOAT3, kFloat4 = D3DDECLTYPE_FLOAT4;
  for (int layout = 0; layout < 6; ++layout) {
    const int blendSets = layout % 3;  // 0, 1 or 2 blend-index and blend-weight sets
    const int normals = layout < 3 ? 1 : 3;
    for (int coords = 0; coords <= 8; ++coords) {
      D3DVERTEXELEMENT9 elements[24];
      int count = 0;
      WORD offset = 0;
      auto add = [&](BYTE type, BYTE usage, BYTE index, WORD size) {
        elements[count++] = {0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index};
        offset = static_cast<WORD>(offset + size);
      };
      add(kFloat3, D3DDECLUSAGE_POSITION, 0, 12);
      for (int b = 0; b < blendSets; ++b)
        add(D3DDECLTYPE_UBYTE4, D3DDECLUSAGE_BLENDINDICES, static_cast<BYTE>(b), 4);
      for (int b = 0; b < blendSets; ++b)
        add(kFloat4, D3DDECLUSAGE_BLENDWEIGHT, static_cast<BYTE>(b), 16);
      for (int n = 0; n < normals; ++n) add(kFloat3, D3DDECLUSAGE_NORMAL, static_cast<BYTE>(n), 12);
      add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 0, 4);
      add(D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR, 1, 4);
      for (int t = 0; t < coords; ++t)
        add(kFloat4, D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(t), 16);
      elements[count++] = D3DDECL_END();
      Direct3DDevice->CreateVertexDeclaration(elements,
                                              &ShaderVertexDeclarations[layout * 9 + coords]);
    }
  }
  const D3DVERTEXELEMENT9 plain[] = {
      {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
      {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
      {0, 24, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
      {0, 28, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 1},
      {0, 32, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
      {0, 40, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 1},
      D3DDECL_END(),
  };
  Direct3DDevice->CreateVertexDeclaration(plain, &ShaderVertexDeclarations[54]);
  return 0;
}

int RecreateDeviceResources() {
  if (DeviceGraphHooks.recreateGraphTextures) DeviceGraphHooks.recreateGraphTextures();
  ReselectBlendGraphTexture();
  for (int slot = 0; slot < VertexBufferHandles.endIndex; ++slot)
    if (auto* record = static_cast<DeviceBufferRecord*>(VertexBufferHandles.slots[slot]))
      CreateVertexBufferObject(record);
  for (int slot = 0; slot < IndexBufferHandles.endIndex; ++slot)
    if (auto* record = static_cast<DeviceBufferRecord*>(IndexBufferHandles.slots[slot]))
      CreateIndexBufferObject(record);
  for (int slot = 0; slot < ShaderHandles.endIndex; ++slot)
    if (auto* record = static_cast<ShaderRecord*>(ShaderHandles.slots[slot]))
      CreateShaderObject(record);
  return 0;
}
