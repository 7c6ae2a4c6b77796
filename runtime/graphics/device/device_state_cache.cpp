#include "runtime/graphics/device/device_state_cache.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/platform/core/log.h"

int ForceStateWrite = 0;
int ActiveSamplerCount = 0;
DeviceStateShadows DeviceStateCache = {};
float VertexConstantMirror[kVertexConstantCount][4] = {};
float PixelConstantMirror[kPixelConstantCount][4] = {};
int VertexBoolConstantMirror[16] = {};
int CallerShaderConstantsActive = 0;

namespace {

bool Changed(int32_t shadow, int32_t value) { return ForceStateWrite || shadow != value; }
bool ChangedF(float shadow, float value) { return ForceStateWrite || shadow != value; }
DWORD FloatBits(float f) {
  DWORD bits;
  std::memcpy(&bits, &f, sizeof(bits));
  return bits;
}
int Result(HRESULT hr) { return FAILED(hr) ? -1 : 0; }

// A render state with a shadow: flush and send on a change. Without a device: -1 when the
// setter's row says so, else 0.
int SetCachedRenderState(int32_t* shadow, int32_t value, D3DRENDERSTATETYPE state,
                         DWORD deviceValue, int missingDevice) {
  if (!Direct3DDevice) return missingDevice;
  if (!Changed(*shadow, value)) return 0;
  FlushVertexBatch();
  *shadow = value;
  return Result(Direct3DDevice->SetRenderState(state, deviceValue));
}

int SetCachedSamplerState(int sampler, int32_t* shadow, int32_t value, D3DSAMPLERSTATETYPE state) {
  if (!Changed(*shadow, value)) return 0;
  FlushVertexBatch();
  *shadow = value;
  return Result(Direct3DDevice->SetSamplerState(static_cast<DWORD>(sampler), state,
                                                static_cast<DWORD>(value)));
}

// The library's constants back into the device after a caller's own were active.
void RestoreLibraryConstants() {
  if (!CallerShaderConstantsActive) return;
  CallerShaderConstantsActive = 0;
  if (!UseProgrammableShaders || !Direct3DDevice) return;
  Direct3DDevice->SetVertexShaderConstantF(0, &VertexConstantMirror[0][0], kVertexConstantCount);
  Direct3DDevice->SetPixelShaderConstantF(0, &PixelConstantMirror[0][0], kPixelConstantCount);
}

void SetVertexBoolConstant(int index, bool value) {
  VertexBoolConstantMirror[index] = value ? TRUE : FALSE;
  if (UseProgrammableShaders && Direct3DDevice)
    Direct3DDevice->SetVertexShaderConstantB(static_cast<UINT>(index),
                                             &VertexBoolConstantMirror[index], 1);
}

void WriteVertexConstant(int reg, float x, float y, float z, float w) {
  const float v[4] = {x, y, z, w};
  SetVertexShaderConstants(1, reg, v);
}

void WriteColorConstant(bool vertex, int reg, const D3DCOLORVALUE& c) {
  const float v[4] = {c.r, c.g, c.b, c.a};
  if (vertex)
    SetVertexShaderConstants(1, reg, v);
  else
    SetPixelShaderConstants(1, reg, v);
}

D3DCOLORVALUE Product(const D3DCOLORVALUE& a, const D3DCOLORVALUE& b) {
  return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

// The matrix transposed into four registers.
void WriteMatrixConstants(int first, const Matrix4& m) {
  Matrix4 t;
  TransposeMatrix4(&t, &m);
  SetVertexShaderConstants(4, first, &t.m[0][0]);
}

Vector3 ToVector(const D3DVECTOR& v) { return {v.x, v.y, v.z}; }

// Light i's view-space position and direction (registers c14 + 7i and c15 + 7i).
void WriteLightPlacement(int i) {
  const D3DLIGHT9& light = DeviceStateCache.lights[i];
  Matrix4 rotation = DeviceStateCache.view;
  rotation.m[3][0] = rotation.m[3][1] = rotation.m[3][2] = 0.0f;
  Vector3 position, direction;
  const Vector3 p = ToVector(light.Position), d = ToVector(light.Direction);
  TransformVector3(&position, &p, &DeviceStateCache.view);
  TransformVector3(&direction, &d, &rotation);
  WriteVertexConstant(14 + 7 * i, position.x, position.y, position.z, 1.0f);
  WriteVertexConstant(15 + 7 * i, direction.x, direction.y, direction.z, 0.0f);
}

int SetAddressStates(int mode, int sampler, bool u, bool v, bool w) {
  if (!Direct3DDevice) return -1;
  if (sampler < -1 || sampler >= kDeviceSamplerCount) return -1;
  const int first = sampler == -1 ? 0 : sampler;
  const int last = sampler == -1 ? kDeviceSamplerCount - 1 : sampler;
  int result = 0;
  for (int s = first; s <= last; ++s) {
    SamplerStateShadow& shadow = DeviceStateCache.samplers[s];
    if (!ForceStateWrite && (!u || shadow.addressU == mode) && (!v || shadow.addressV == mode) &&
        (!w || shadow.addressW == mode))
      continue;
    FlushVertexBatch();
    const struct {
      bool on;
      int32_t* shadow;
      D3DSAMPLERSTATETYPE state;
    } states[] = {{u, &shadow.addressU, D3DSAMP_ADDRESSU},
                  {v, &shadow.addressV, D3DSAMP_ADDRESSV},
                  {w, &shadow.addressW, D3DSAMP_ADDRESSW}};
    for (const auto& st : states) {
      if (!st.on) continue;
      *st.shadow = mode;
      if (FAILED(Direct3DDevice->SetSamplerState(static_cast<DWORD>(s), st.state,
                                                 static_cast<DWORD>(mode))))
        result = -1;
    }
  }
  return result;
}

void WriteFogConstant() {
  const float start = DeviceStateCache.fogStart, end = DeviceStateCache.fogEnd;
  WriteVertexConstant(10, end / (end - start), -1.0f / (end - start), DeviceStateCache.fogDensity,
                      2.7182817f);
}

}  // namespace

void ResetDeviceStateCache() {
  DeviceStateCache = {};
  DeviceStateCache.diffuseMaterialSource = 255;
  DeviceStateCache.specularMaterialSource = 255;
  for (Matrix4& m : DeviceStateCache.textureTransform) MakeIdentityMatrix(&m);
  MakeIdentityMatrix(&DeviceStateCache.view);
}

int SetDeviceFilterMode(int mode) {
  static const int32_t kFilters[3][3] = {{D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE},
                                         {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE},
                                         {D3DTEXF_LINEAR, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR}};
  if (!Direct3DDevice || mode < 0 || mode > 2) return -1;
  int result = 0;
  for (int s = 0; s < ActiveSamplerCount && s < kDeviceSamplerCount; ++s) {
    SamplerStateShadow& shadow = DeviceStateCache.samplers[s];
    result |= SetCachedSamplerState(s, &shadow.magFilter, kFilters[mode][0], D3DSAMP_MAGFILTER);
    result |= SetCachedSamplerState(s, &shadow.minFilter, kFilters[mode][1], D3DSAMP_MINFILTER);
    result |= SetCachedSamplerState(s, &shadow.mipFilter, kFilters[mode][2], D3DSAMP_MIPFILTER);
  }
  return result;
}

int SetDeviceMaxAnisotropy(int n) {
  if (!Direct3DDevice) return -1;
  if (n < 1) n = 1;
  int result = 0;
  for (int s = 0; s < ActiveSamplerCount && s < kDeviceSamplerCount; ++s)
    result |= SetCachedSamplerState(s, &DeviceStateCache.samplers[s].maxAnisotropy, n,
                                    D3DSAMP_MAXANISOTROPY);
  return result;
}

int SetDeviceBlendMode(int mode, int alphaChannel, int transparentColor) {
  if (!Direct3DDevice) return -1;
  BlendSelectionState& b = BlendSelection;
  if (!ForceStateWrite && b.blendMode == mode && b.alphaChannel == alphaChannel &&
      b.transparentColor == transparentColor)
    return 0;
  FlushVertexBatch();
  b.blendMode = mode;
  b.alphaChannel = alphaChannel;
  b.transparentColor = transparentColor;
  BlendStateDirty = 1;
  return 0;
}

int SetDeviceTexture(IDirect3DTexture9* texture) {
  if (!Direct3DDevice) return -1;
  if (!ForceStateWrite && BlendSelection.texture == texture) return 0;
  FlushVertexBatch();
  if ((BlendSelection.texture == nullptr) != (texture == nullptr)) BlendStateDirty = 1;
  BlendSelection.texture = texture;
  TextureDirty = 1;
  return 0;
}

int SetDeviceBlendTexture(IDirect3DTexture9* texture, int border, int range) {
  if (!Direct3DDevice) return -1;
  BlendSelectionState& b = BlendSelection;
  if (border == -1) border = b.blendBorder;
  if (range == -1) range = b.blendRange;
  const bool same = b.blendTexture == texture && b.blendBorder == border && b.blendRange == range;
  if (!ForceStateWrite && (same || (!b.blendTexture && !texture))) return 0;
  FlushVertexBatch();
  b.blendTexture = texture;
  b.blendBorder = border;
  b.blendRange = range;
  BlendStateDirty = 1;
  return 0;
}

int SetDeviceZEnable(int enable) {
  return SetCachedRenderState(&DeviceStateCache.zEnable, enable, D3DRS_ZENABLE,
                              enable == 1 ? TRUE : FALSE, -1);
}
int SetDeviceZWriteEnable(int enable) {
  return SetCachedRenderState(&DeviceStateCache.zWriteEnable, enable, D3DRS_ZWRITEENABLE,
                              static_cast<DWORD>(enable), -1);
}
int SetDeviceZFunc(int func) {
  return SetCachedRenderState(&DeviceStateCache.zFunc, func, D3DRS_ZFUNC, static_cast<DWORD>(func),
                              -1);
}
int SetDeviceDepthBias(int bias) {
  return SetCachedRenderState(&DeviceStateCache.depthBias, bias, D3DRS_DEPTHBIAS,
                              static_cast<DWORD>(bias), -1);
}
int SetDeviceCullMode(int mode) {
  const DWORD cull = mode == 0 ? D3DCULL_NONE : mode == 2 ? D3DCULL_CW : D3DCULL_CCW;
  return SetCachedRenderState(&DeviceStateCache.cullMode, mode, D3DRS_CULLMODE, cull, 0);
}
int SetDeviceFillMode(int mode) {
  return SetCachedRenderState(&DeviceStateCache.fillMode, mode, D3DRS_FILLMODE,
                              static_cast<DWORD>(mode), 0);
}
int SetDeviceShadeMode(int mode) {
  return SetCachedRenderState(&DeviceStateCache.shadeMode, mode, D3DRS_SHADEMODE,
                              static_cast<DWORD>(mode), 0);
}
int SetDeviceSpecularEnable(int enable) {
  return SetCachedRenderState(&DeviceStateCache.specularEnable, enable, D3DRS_SPECULARENABLE,
                              static_cast<DWORD>(enable), 0);
}
int SetDeviceDitherEnable(int enable) {
  return SetCachedRenderState(&DeviceStateCache.ditherEnable, enable, D3DRS_DITHERENABLE,
                              static_cast<DWORD>(enable), 0);
}
int SetDeviceDiffuseMaterialSource(int flag) {
  return SetCachedRenderState(&DeviceStateCache.diffuseMaterialSource, flag,
                              D3DRS_DIFFUSEMATERIALSOURCE, flag ? D3DMCS_COLOR1 : D3DMCS_MATERIAL,
                              0);
}
int SetDeviceSpecularMaterialSource(int flag) {
  return SetCachedRenderState(&DeviceStateCache.specularMaterialSource, flag,
                              D3DRS_SPECULARMATERIALSOURCE, flag ? D3DMCS_COLOR2 : D3DMCS_MATERIAL,
                              0);
}

int SetDeviceTextureAddress(int mode, int sampler) {
  return SetAddressStates(mode, sampler, true, true, true);
}
int SetDeviceTextureAddressU(int mode, int sampler) {
  return SetAddressStates(mode, sampler, true, false, false);
}
int SetDeviceTextureAddressV(int mode, int sampler) {
  return SetAddressStates(mode, sampler, false, true, false);
}
int SetDeviceTextureAddressW(int mode, int sampler) {
  return SetAddressStates(mode, sampler, false, false, true);
}

int SetDeviceTextureTransform(int stage, int use, const Matrix4* matrix) {
  if (!Direct3DDevice || stage < -1 || stage >= kDeviceStageCount) return 0;
  const int first = stage == -1 ? 0 : stage;
  const int last = stage == -1 ? 3 : stage;
  if (stage != -1 && use != 1 && DeviceStateCache.textureTransformUse[stage] != 1) return 0;
  FlushVertexBatch();
  int result = 0;
  for (int s = first; s <= last; ++s) {
    DeviceStateCache.textureTransformUse[s] = use == 1 ? 1 : 0;
    if (use == 1) {
      if (matrix) DeviceStateCache.textureTransform[s] = *matrix;
      result |= Result(Direct3DDevice->SetTextureStageState(
          static_cast<DWORD>(s), D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3));
      result |= Result(Direct3DDevice->SetTransform(
          static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + s),
          reinterpret_cast<const D3DMATRIX*>(&DeviceStateCache.textureTransform[s])));
    } else {
      result |= Result(Direct3DDevice->SetTextureStageState(
          static_cast<DWORD>(s), D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE));
    }
  }
  return result;
}

int SetDeviceFogEnable(int enable) {
  return SetCachedRenderState(&DeviceStateCache.fogEnable, enable, D3DRS_FOGENABLE,
                              static_cast<DWORD>(enable), 0);
}

int SetDeviceFogMode(int mode) {
  if (!Direct3DDevice) return 0;
  if (!Changed(DeviceStateCache.fogVertexMode, mode)) return 0;
  FlushVertexBatch();
  SetVertexBoolConstant(0, mode == D3DFOG_LINEAR);
  SetVertexBoolConstant(1, mode == D3DFOG_EXP);
  SetVertexBoolConstant(2, mode == D3DFOG_EXP2);
  SetVertexBoolConstant(3, mode != D3DFOG_NONE);
  DeviceStateCache.fogVertexMode = mode;
  return Result(Direct3DDevice->SetRenderState(D3DRS_FOGVERTEXMODE, static_cast<DWORD>(mode)));
}

int SetDeviceFogColor(D3DCOLOR color) {
  if (!Direct3DDevice) return 0;
  if (!ForceStateWrite && DeviceStateCache.fogColor == color) return 0;
  FlushVertexBatch();
  DeviceStateCache.fogColor = color;
  return Result(Direct3DDevice->SetRenderState(D3DRS_FOGCOLOR, color));
}

int SetDeviceFogRange(float start, float end) {
  if (!Direct3DDevice) return 0;
  FlushVertexBatch();
  int result = 0;
  if (ChangedF(DeviceStateCache.fogStart, start)) {
    DeviceStateCache.fogStart = start;
    result |= Result(Direct3DDevice->SetRenderState(D3DRS_FOGSTART, FloatBits(start)));
    WriteFogConstant();
  }
  if (ChangedF(DeviceStateCache.fogEnd, end)) {
    DeviceStateCache.fogEnd = end;
    result |= Result(Direct3DDevice->SetRenderState(D3DRS_FOGEND, FloatBits(end)));
    WriteFogConstant();
  }
  return result;
}

int SetDeviceFogDensity(float density) {
  if (!Direct3DDevice) return 0;
  if (!ChangedF(DeviceStateCache.fogDensity, density)) return 0;
  FlushVertexBatch();
  DeviceStateCache.fogDensity = density;
  WriteFogConstant();
  return Result(Direct3DDevice->SetRenderState(D3DRS_FOGDENSITY, FloatBits(density)));
}

int SetDeviceViewMatrix(const Matrix4* matrix) {
  if (!Direct3DDevice || !matrix) return 0;
  FlushVertexBatch();
  const int result =
      Result(Direct3DDevice->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(matrix)));
  DeviceStateCache.view = *matrix;
  WriteMatrixConstants(6, *matrix);
  for (int i = 0; i < 4; ++i) WriteLightPlacement(i);
  return result;
}

int SetDeviceProjectionMatrix(const Matrix4* matrix) {
  if (!Direct3DDevice || !matrix) return 0;
  FlushVertexBatch();
  const int result = Result(
      Direct3DDevice->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(matrix)));
  WriteMatrixConstants(2, *matrix);
  return result;
}

int SetDeviceViewport(const D3DVIEWPORT9* viewport) {
  if (!Direct3DDevice || !viewport) return -1;
  const D3DVIEWPORT9& old = DeviceStateCache.viewport;
  if (!ForceStateWrite && old.X == viewport->X && old.Y == viewport->Y &&
      old.Width == viewport->Width && old.Height == viewport->Height)
    return 0;
  FlushVertexBatch();
  EndSceneIfActive();
  const HRESULT hr = Direct3DDevice->SetViewport(viewport);
  if (FAILED(hr)) {
    char line[96];
    std::snprintf(line, sizeof(line), "ビューポートのセットに失敗しました ErrorCode %x\n",
                  static_cast<unsigned>(hr));
    return WriteLogText(line);
  }
  DeviceStateCache.viewport = *viewport;
  return 0;
}

int SetDeviceViewportRect(int x1, int y1, int x2, int y2) {
  const D3DVIEWPORT9 viewport = {static_cast<DWORD>(x1),
                                 static_cast<DWORD>(y1),
                                 static_cast<DWORD>(x2 - x1),
                                 static_cast<DWORD>(y2 - y1),
                                 0.0f,
                                 1.0f};
  return SetDeviceViewport(&viewport);
}

int SetDeviceScissorRect(const RECT* rect) {
  if (!Direct3DDevice || !rect) return -1;
  const RECT& old = DeviceStateCache.scissor;
  if (!ForceStateWrite && old.left == rect->left && old.top == rect->top &&
      old.right == rect->right && old.bottom == rect->bottom)
    return 0;
  FlushVertexBatch();
  EndSceneIfActive();
  DeviceStateCache.scissor = *rect;
  return Result(Direct3DDevice->SetScissorRect(rect));
}

int SetDeviceRenderTarget(IDirect3DSurface9* surface) {
  if (!Direct3DDevice) return -1;
  if (!ForceStateWrite && DeviceStateCache.renderTarget == surface) return 0;
  FlushVertexBatch();
  DeviceStateCache.renderTarget = surface;
  if (FAILED(Direct3DDevice->SetRenderTarget(0, surface))) return -1;
  D3DSURFACE_DESC desc = {};
  if (!surface || FAILED(surface->GetDesc(&desc))) return -1;
  return SetDeviceViewportRect(0, 0, static_cast<int>(desc.Width), static_cast<int>(desc.Height));
}

int SetDeviceLight(int index, const D3DLIGHT9* light) {
  if (!Direct3DDevice || !light) return 0;
  FlushVertexBatch();
  if (index >= 0 && index < kDeviceLightCount) {
    DeviceStateCache.lights[index] = *light;
    if (index < 4) {
      const D3DLIGHT9& l = *light;
      WriteLightPlacement(index);
      WriteColorConstant(true, 16 + 7 * index, l.Diffuse);
      WriteColorConstant(true, 17 + 7 * index, l.Specular);
      WriteColorConstant(true, 18 + 7 * index, l.Ambient);
      WriteVertexConstant(19 + 7 * index, l.Range * l.Range, l.Falloff, l.Attenuation0,
                          l.Attenuation1);
      const float cosPhi = std::cos(l.Phi / 2.0f), cosTheta = std::cos(l.Theta / 2.0f);
      WriteVertexConstant(20 + 7 * index, l.Attenuation2, cosPhi, 1.0f / (cosTheta - cosPhi), 0.0f);
      WriteColorConstant(false, 9 + 3 * index, l.Diffuse);
      WriteColorConstant(false, 10 + 3 * index, l.Specular);
      WriteColorConstant(false, 11 + 3 * index, l.Ambient);
      UpdateLightingConstants();
      SetVertexBoolConstant(5 + 3 * index, l.Type == D3DLIGHT_POINT || l.Type == D3DLIGHT_SPOT);
      SetVertexBoolConstant(6 + 3 * index, l.Type == D3DLIGHT_SPOT);
    }
  }
  return Result(Direct3DDevice->SetLight(static_cast<DWORD>(index), light));
}

int EnableDeviceLight(int index, int on) {
  if (!Direct3DDevice) return 0;
  FlushVertexBatch();
  if (index >= 0 && index < kDeviceLightCount) {
    DeviceStateCache.lightEnabled[index] = on ? 1 : 0;
    int& highest = DeviceStateCache.highestEnabledLight;
    if (on && index > highest) highest = index;
    if (!on && index == highest) {
      highest = 0;
      for (int i = index - 1; i >= 0; --i)
        if (DeviceStateCache.lightEnabled[i]) {
          highest = i;
          break;
        }
    }
    UpdateLightingConstants();
    if (index < 4) SetVertexBoolConstant(4 + 3 * index, on != 0);
  }
  return Result(Direct3DDevice->LightEnable(static_cast<DWORD>(index), on ? TRUE : FALSE));
}

int SetDeviceMaterial(const D3DMATERIAL9* material) {
  if (!Direct3DDevice || !material) return 0;
  const D3DMATERIAL9& old = DeviceStateCache.material;
  auto same = [](const D3DCOLORVALUE& a, const D3DCOLORVALUE& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
  };
  if (!ForceStateWrite && same(old.Diffuse, material->Diffuse) &&
      same(old.Ambient, material->Ambient) && same(old.Specular, material->Specular) &&
      same(old.Emissive, material->Emissive) && old.Power == material->Power)
    return 0;
  FlushVertexBatch();
  DeviceStateCache.material = *material;
  const int result = Result(Direct3DDevice->SetMaterial(material));
  WriteColorConstant(true, 11, material->Diffuse);
  WriteColorConstant(true, 12, material->Specular);
  WriteVertexConstant(13, material->Power, 0.0f, 0.0f, 0.0f);
  WriteColorConstant(false, 2, material->Diffuse);
  WriteColorConstant(false, 3, material->Specular);
  const float power[4] = {material->Power, 0.0f, 0.0f, 0.0f};
  SetPixelShaderConstants(1, 4, power);
  UpdateLightingConstants();
  return result;
}

int SetDeviceAmbient(D3DCOLOR color) {
  if (!Direct3DDevice) return 0;
  if (!ForceStateWrite && DeviceStateCache.ambientColor == color) return 0;
  FlushVertexBatch();
  DeviceStateCache.ambientColor = color;
  DeviceStateCache.ambient[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
  DeviceStateCache.ambient[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
  DeviceStateCache.ambient[2] = static_cast<float>(color & 0xFF) / 255.0f;
  DeviceStateCache.ambient[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
  const int result = Result(Direct3DDevice->SetRenderState(D3DRS_AMBIENT, color));
  UpdateLightingConstants();
  return result;
}

int SetVertexShaderConstants(int count, int first, const float* data) {
  if (count < 0 || first < 0 || count > kVertexConstantCount - first || !data) return -1;
  if (count == 0) return 0;
  RestoreLibraryConstants();
  std::memcpy(VertexConstantMirror[first], data, sizeof(float) * 4 * static_cast<size_t>(count));
  if (UseProgrammableShaders && Direct3DDevice)
    return Result(Direct3DDevice->SetVertexShaderConstantF(static_cast<UINT>(first), data,
                                                           static_cast<UINT>(count)));
  return 0;
}

int SetPixelShaderConstants(int count, int first, const float* data) {
  if (count < 0 || first < 0 || count > kPixelConstantCount - first || !data) return -1;
  if (count == 0) return 0;
  RestoreLibraryConstants();
  std::memcpy(PixelConstantMirror[first], data, sizeof(float) * 4 * static_cast<size_t>(count));
  if (UseProgrammableShaders && Direct3DDevice)
    return Result(Direct3DDevice->SetPixelShaderConstantF(static_cast<UINT>(first), data,
                                                          static_cast<UINT>(count)));
  return 0;
}

void UpdateLightingConstants() {
  const D3DMATERIAL9& material = DeviceStateCache.material;
  for (int i = 0; i < 4 && i <= DeviceStateCache.highestEnabledLight; ++i) {
    if (!DeviceStateCache.lightEnabled[i]) continue;
    const D3DCOLORVALUE product = Product(DeviceStateCache.lights[i].Ambient, material.Ambient);
    WriteColorConstant(true, 18 + 7 * i, product);
    WriteColorConstant(false, 11 + 3 * i, product);
  }
  const float* a = DeviceStateCache.ambient;
  const D3DCOLORVALUE term = {a[0] * material.Ambient.r + material.Emissive.r,
                              a[1] * material.Ambient.g + material.Emissive.g,
                              a[2] * material.Ambient.b + material.Emissive.b,
                              a[3] * material.Ambient.a + material.Emissive.a};
  WriteColorConstant(true, 1, term);
  WriteColorConstant(false, 1, term);
}
