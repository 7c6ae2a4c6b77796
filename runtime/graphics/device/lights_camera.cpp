#include "runtime/graphics/device/lights_camera.h"

#include <cmath>

#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/startup/library_startup.h"

namespace {
void* gLightSlots[HandleCapacity(HandleTypeLight)];
}  // namespace

HandleTable LightHandles = MakeHandleTable(HandleTypeLight, gLightSlots);
LightBookkeeping LightState = {0, 0, 0, -1, -1, 0};
CameraSettings Camera = {};
Matrix4 WorldMatrix = {};
int WorldMatrixInUse = 0;
D3DMATERIAL9 DefaultMaterial = {};
Matrix4 CameraMatrix = {};

namespace {

LightEntry* LightAt(int slot) { return static_cast<LightEntry*>(LightHandles.slots[slot]); }

void TargetSize(float* width, float* height) {
  int w = 0, h = 0;
  if (GetDrawTargetSize(&w, &h) != 0 || w <= 0 || h <= 0) GetScreenSize(&w, &h);
  *width = static_cast<float>(w);
  *height = static_cast<float>(h);
}

}  // namespace

void ResetLightAndCameraDefaults() {
  Camera = {};
  Camera.projectionKind = ProjectionKindPerspective;
  Camera.nearZ = 10.0f;
  Camera.farZ = 10000.0f;
  Camera.aspectScale = 1.0f;
  Camera.fieldOfView = 1.0471976f;
  Camera.orthoSize = 1.0f;
  Camera.viewportScale = 1.0f;
  MakeIdentityMatrix(&Camera.projection);
  MakeIdentityMatrix(&WorldMatrix);
  WorldMatrixInUse = 0;
  DefaultMaterial = {};
  DefaultMaterial.Diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
  DefaultMaterial.Specular = {0.8f, 0.8f, 0.8f, 0.0f};
  DefaultMaterial.Power = 20.0f;
  if (!IsHandleValid(&LightHandles, LightState.defaultLight))
    LightState.defaultLight = CreateDirectionalLight(1.0f, -1.0f, 1.0f);
}

int CreateLightHandle() {
  // Every slot live: refused rather than searched for forever.
  if (LightHandles.count >= LightHandles.capacity) return -1;
  const int handle = AllocHandle(&LightHandles, sizeof(LightEntry), __FILE__, __LINE__);
  if (handle == -1) AbortWithLog("ライト用のメモリの確保に失敗しました");
  LightEntry* entry = static_cast<LightEntry*>(GetHandleRecord(&LightHandles, handle));
  entry->handle = handle;
  D3DLIGHT9& light = entry->light;
  light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
  light.Ambient = {0.33f, 0.33f, 0.33f, 0.33f};
  light.Range = 2000.0f;
  light.Falloff = 1.0f;
  light.Attenuation0 = 0.1f;
  light.Theta = 2.0f;
  light.Phi = 2.0f;
  entry->deviceSlot = -1;
  entry->enabled = 1;
  entry->changed = 1;
  LightState.lightsDirty = 1;
  return handle;
}

int CreateDirectionalLight(float x, float y, float z) {
  const double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                  static_cast<double>(z) * z);
  // A zero vector has no direction.
  if (!(length > 0.0) || !std::isfinite(length)) return -1;
  const int handle = CreateLightHandle();
  if (handle == -1) return -1;
  LightEntry* entry = static_cast<LightEntry*>(GetHandleRecord(&LightHandles, handle));
  entry->light.Type = D3DLIGHT_DIRECTIONAL;
  entry->light.Direction = {static_cast<float>(x / length), static_cast<float>(y / length),
                            static_cast<float>(z / length)};
  return handle;
}

int DeleteLightHandle(int handle) {
  LightEntry* entry = static_cast<LightEntry*>(GetHandleRecord(&LightHandles, handle));
  if (!entry) return -1;
  ReleaseHandle(&LightHandles, handle);
  if (handle == LightState.defaultLight) LightState.defaultLight = -1;
  LightState.lightsDirty = 1;
  return 0;
}

int DeleteAllLightHandles() {
  for (int slot = LightHandles.endIndex - 1; slot >= 0; --slot) {
    const int handle = HandleOfSlot(&LightHandles, slot);
    if (handle != -1 && handle != LightState.defaultLight) DeleteLightHandle(handle);
  }
  return 0;
}

int SetDeviceLighting(int flag) {
  if (!Direct3DDevice) return 0;
  if (!ForceStateWrite && DeviceStateCache.lighting == flag) return 0;
  FlushVertexBatch();
  DeviceStateCache.lighting = flag;
  return FAILED(Direct3DDevice->SetRenderState(D3DRS_LIGHTING, static_cast<DWORD>(flag))) ? -1 : 0;
}

int SetDeviceLightEnable(int index, int enable, const D3DLIGHT9* light) {
  if (!Direct3DDevice) return 0;
  if (enable == 1 && light) SetDeviceLight(index, light);
  EnableDeviceLight(index, enable);
  return 0;
}

int ApplyLights() {
  SetDeviceLighting(LightState.lightingOff == 0 ? 1 : 0);
  if (!LightState.lightsDirty && !LightState.forceReapply) return 0;
  const bool force = LightState.forceReapply != 0;
  int slot = 0;
  for (DWORD type : {D3DLIGHT_DIRECTIONAL, D3DLIGHT_SPOT, D3DLIGHT_POINT}) {
    for (int i = 0; i < LightHandles.endIndex; ++i) {
      LightEntry* entry = LightAt(i);
      if (!entry || !entry->enabled || entry->light.Type != type) continue;
      if (slot >= kDeviceLightCount) {
        entry->deviceSlot = -1;
        continue;
      }
      if (entry->deviceSlot != slot || entry->changed || force) {
        SetDeviceLightEnable(slot, 1, &entry->light);
        entry->changed = 0;
      }
      entry->deviceSlot = slot++;
    }
  }
  for (int s = slot; s <= LightState.highestSlotUsed; ++s) SetDeviceLightEnable(s, 0, nullptr);
  LightState.slotsUsed = slot;
  LightState.highestSlotUsed = slot - 1;
  LightState.lightsDirty = 0;
  LightState.forceReapply = 0;
  return 0;
}

int ResetTexCoordIndexes() {
  if (!Direct3DDevice) return 0;
  for (int stage = 0; stage < kDeviceStageCount; ++stage) {
    int32_t& shadow = DeviceStateCache.stages[stage].texCoordIndex;
    if (!ForceStateWrite && shadow == stage) continue;
    FlushVertexBatch();
    shadow = stage;
    Direct3DDevice->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_TEXCOORDINDEX,
                                         static_cast<DWORD>(stage));
  }
  return 0;
}

void RefreshProjection() {
  if (Camera.projectionKind != ProjectionKindMatrix) {
    float width, height;
    TargetSize(&width, &height);
    const float aspect = height / width * Camera.aspectScale;
    if (Camera.projectionKind == ProjectionKindPerspective)
      MakePerspectiveMatrix(&Camera.projection, Camera.fieldOfView, Camera.nearZ, Camera.farZ,
                            aspect);
    else
      MakeOrthoMatrix(&Camera.projection, Camera.orthoSize, Camera.nearZ, Camera.farZ, aspect);
  }
  SetProjectionMatrix(&Camera.projection);
}

int SetCameraNearFar(float nearZ, float farZ) {
  Camera.nearZ = nearZ;
  Camera.farZ = farZ;
  RefreshProjection();
  return 0;
}

int SetCameraPerspective(float fieldOfView) {
  Camera.projectionKind = ProjectionKindPerspective;
  Camera.fieldOfView = fieldOfView;
  RefreshProjection();
  return 0;
}

int SetCameraProjectionMatrix(const Matrix4* matrix) {
  Camera.projectionKind = ProjectionKindMatrix;
  Camera.projection = *matrix;
  RefreshProjection();
  return 0;
}

int SetCameraCentrePoint(float x, float y) {
  Camera.centreX = x;
  Camera.centreY = y;
  float width, height;
  TargetSize(&width, &height);
  Matrix4 viewport;
  MakeViewportMatrix(&viewport, x, y, width * Camera.viewportScale, height * Camera.viewportScale);
  SetViewportMatrix(&viewport);
  return 0;
}

void UpdateCameraMatrix() {
  MultiplyMatrix4(&CameraMatrix, &ViewMatrix, &ProjectionMatrix);
  MultiplyMatrix4(&CameraMatrix, &CameraMatrix, &ViewportMatrix);
}

int SetWorldMatrix(const Matrix4* matrix) {
  FlushVertexBatch();
  WorldMatrix = *matrix;
  if (HardwareRendering && Direct3DDevice) {
    Direct3DDevice->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(matrix));
    WorldMatrixInUse = 1;
  }
  return 0;
}

void SetWorldTransformDirect(const Matrix4* matrix) {
  if (Direct3DDevice)
    Direct3DDevice->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(matrix));
}

void TransformVector(Vector3* out, const Vector3* v, const Matrix4* m) {
  const long double x = v->x, y = v->y, z = v->z;
  const auto& a = m->m;
  const long double ox = x * a[0][0] + y * a[1][0] + z * a[2][0] + a[3][0];
  const long double oy = x * a[0][1] + y * a[1][1] + z * a[2][1] + a[3][1];
  const long double oz = x * a[0][2] + y * a[1][2] + z * a[2][2] + a[3][2];
  *out = {static_cast<float>(ox), static_cast<float>(oy), static_cast<float>(oz)};
}

void TransformVectorRotation(Vector3* out, const Vector3* v, const Matrix4* m) {
  const long double x = v->x, y = v->y, z = v->z;
  const auto& a = m->m;
  const long double ox = x * a[0][0] + y * a[1][0] + z * a[2][0];
  const long double oy = x * a[0][1] + y * a[1][1] + z * a[2][1];
  const long double oz = x * a[0][2] + y * a[1][2] + z * a[2][2];
  *out = {static_cast<float>(ox), static_cast<float>(oy), static_cast<float>(oz)};
}

D3DCOLORVALUE* MakeColorF(D3DCOLORVALUE* out, float r, float g, float b, float a) {
  *out = {r, g, b, a};
  return out;
}

IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf,
                                                 D3DPOOL pool) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  if (!Direct3DDevice ||
      FAILED(Direct3DDevice->CreateVertexBuffer(length, usage, fvf, pool, &buffer, nullptr)))
    return nullptr;
  return buffer;
}

IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                               D3DPOOL pool) {
  IDirect3DIndexBuffer9* buffer = nullptr;
  if (!Direct3DDevice ||
      FAILED(Direct3DDevice->CreateIndexBuffer(length, usage, format, pool, &buffer, nullptr)))
    return nullptr;
  return buffer;
}
