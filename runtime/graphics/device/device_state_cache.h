// The device state cache: every Direct3D state the graphics layer sets goes through one setter
// here, which compares with the shadow of the value last sent, and only on a change flushes the
// pending vertex batch and talks to the device. ForceStateWrite switches the comparison off so
// that the whole cache can be replayed into a new device.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/core/geometry.h"

inline constexpr int kDeviceSamplerCount = 8;
inline constexpr int kDeviceStageCount = 8;
inline constexpr int kDeviceLightCount = 256;
inline constexpr int kVertexConstantCount = 256;  // float4 registers
inline constexpr int kPixelConstantCount = 32;

// 1 while a replay runs: every setter sends, equal or not.
extern int ForceStateWrite;
// How many samplers the filter and anisotropy setters touch: the stage count of the last blend
// set-up applied.
extern int ActiveSamplerCount;

struct SamplerStateShadow {
  int32_t magFilter;
  int32_t minFilter;
  int32_t mipFilter;
  int32_t addressU;
  int32_t addressV;
  int32_t addressW;
  int32_t maxAnisotropy;
};

// The texture-stage shadows, written by the blend selection.
struct StageStateShadow {
  IDirect3DBaseTexture9* texture;
  int32_t texCoordIndex;
  int32_t resultTemp;  // D3DTSS_RESULTARG as sent: D3DTA_TEMP or D3DTA_CURRENT
  int32_t alphaArg1;
  int32_t alphaArg2;
  int32_t alphaOp;
  int32_t colorArg1;
  int32_t colorArg2;
  int32_t colorOp;
};

struct DeviceStateShadows {
  SamplerStateShadow samplers[kDeviceSamplerCount];
  StageStateShadow stages[kDeviceStageCount];
  // Render states.
  int32_t zEnable;
  int32_t zWriteEnable;
  int32_t zFunc;
  int32_t depthBias;
  int32_t cullMode;  // the setter's argument: 0 none, 2 clockwise, other counter-clockwise
  int32_t fillMode;
  int32_t shadeMode;
  int32_t lighting;
  int32_t specularEnable;
  int32_t ditherEnable;
  int32_t diffuseMaterialSource;   // 255 until the first call sends
  int32_t specularMaterialSource;  //
  int32_t fogEnable;
  int32_t fogVertexMode;
  uint32_t fogColor;
  float fogStart;
  float fogEnd;
  float fogDensity;
  int32_t alphaFunc;
  int32_t alphaRef;
  int32_t alphaTestEnable;
  int32_t alphaBlendEnable;
  uint32_t textureFactor;
  int32_t srcBlend;
  int32_t destBlend;
  int32_t blendOp;
  uint32_t ambientColor;
  float ambient[4];  // red, green, blue, alpha, each byte / 255
  // Device objects and records.
  D3DVIEWPORT9 viewport;
  RECT scissor;
  IDirect3DSurface9* renderTarget;
  D3DMATERIAL9 material;
  D3DLIGHT9 lights[kDeviceLightCount];
  int32_t lightEnabled[kDeviceLightCount];
  int32_t highestEnabledLight;
  int32_t textureTransformUse[kDeviceStageCount];
  Matrix4 textureTransform[kDeviceStageCount];
  Matrix4 view;  // the view matrix last sent, for the lights' view-space constants
  DWORD fvf;
  IDirect3DVertexShader9* vertexShader;
  IDirect3DPixelShader9* pixelShader;
};

extern DeviceStateShadows DeviceStateCache;

// Library shader constants, kept whether or not shaders run.
extern float VertexConstantMirror[kVertexConstantCount][4];
extern float PixelConstantMirror[kPixelConstantCount][4];
extern int VertexBoolConstantMirror[16];
// A caller's own constants are in the device: the library's are uploaded again before the next
// library write.
extern int CallerShaderConstantsActive;

// Shadows to their start values (every sampler and stage shadow cleared, material sources 255).
void ResetDeviceStateCache();

// The setters. 0 on success; -1 without a device for the filter, anisotropy, blend, texture,
// Z, depth-bias, viewport, scissor and render-target setters (the others then do nothing and
// give 0); -1 when the device call whose result is passed on fails.
int SetDeviceFilterMode(int mode);  // 0 point, 1 linear, 2 anisotropic; other modes -1
int SetDeviceMaxAnisotropy(int n);
int SetDeviceBlendMode(int mode, int alphaChannel, int transparentColor);
int SetDeviceTexture(IDirect3DTexture9* texture);
// border or range -1 keeps the old value.
int SetDeviceBlendTexture(IDirect3DTexture9* texture, int border, int range);
int SetDeviceZEnable(int enable);
int SetDeviceZWriteEnable(int enable);
int SetDeviceZFunc(int func);
int SetDeviceDepthBias(int bias);
int SetDeviceCullMode(int mode);
int SetDeviceFillMode(int mode);
int SetDeviceShadeMode(int mode);
int SetDeviceSpecularEnable(int enable);
int SetDeviceDitherEnable(int enable);
int SetDeviceDiffuseMaterialSource(int flag);
int SetDeviceSpecularMaterialSource(int flag);
// sampler -1: all eight; above 7: -1.
int SetDeviceTextureAddress(int mode, int sampler);
int SetDeviceTextureAddressU(int mode, int sampler);
int SetDeviceTextureAddressV(int mode, int sampler);
int SetDeviceTextureAddressW(int mode, int sampler);
// stage -1: stages 0-3 always; a single stage 0..7 only while it is on or being switched on.
int SetDeviceTextureTransform(int stage, int use, const Matrix4* matrix);
int SetDeviceFogEnable(int enable);
int SetDeviceFogMode(int mode);
int SetDeviceFogColor(D3DCOLOR color);
int SetDeviceFogRange(float start, float end);
int SetDeviceFogDensity(float density);
int SetDeviceViewMatrix(const Matrix4* matrix);
int SetDeviceProjectionMatrix(const Matrix4* matrix);
// Compares X, Y, Width and Height; a refused viewport is logged and keeps the old shadow.
int SetDeviceViewport(const D3DVIEWPORT9* viewport);
int SetDeviceViewportRect(int x1, int y1, int x2, int y2);
int SetDeviceScissorRect(const RECT* rect);
// Then the viewport covers the whole surface.
int SetDeviceRenderTarget(IDirect3DSurface9* surface);
int SetDeviceLight(int index, const D3DLIGHT9* light);
int EnableDeviceLight(int index, int on);
int SetDeviceMaterial(const D3DMATERIAL9* material);
int SetDeviceAmbient(D3DCOLOR color);
// Writes count float4 registers from first; refused (-1, nothing written) when they would
// run past the mirror.
int SetVertexShaderConstants(int count, int first, const float* data);
int SetPixelShaderConstants(int count, int first, const float* data);
// The constant blocks that depend on lights and the material.
void UpdateLightingConstants();
