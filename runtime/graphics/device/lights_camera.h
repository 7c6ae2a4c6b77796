// The small 3-D state beside the 2-D drawing: light handles (type 9) and their assignment to
// the device's light slots, the projection (perspective, orthographic or a caller's matrix)
// and the camera centre, the world transform, the default material, and vector transforms.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/platform/core/geometry.h"
#include "runtime/platform/core/handle_table.h"

struct LightEntry {
  int checkNumber;
  int handle;
  D3DLIGHT9 light;
  int deviceSlot;  // -1 none
  int enabled;
  int changed;
};

extern HandleTable LightHandles;

struct LightBookkeeping {
  int lightsDirty;
  int forceReapply;  // a new device: the next ApplyLights sends every light
  int slotsUsed;
  int highestSlotUsed;
  int defaultLight;  // handle, -1 none
  int lightingOff;
};
extern LightBookkeeping LightState;

enum ProjectionKind {
  ProjectionKindPerspective = 0,
  ProjectionKindOrthographic = 1,
  ProjectionKindMatrix = 2
};

struct CameraSettings {
  int projectionKind;
  float nearZ;
  float farZ;
  float aspectScale;
  float fieldOfView;  // radians
  float orthoSize;
  Matrix4 projection;
  float centreX;
  float centreY;
  float viewportScale;
};
extern CameraSettings Camera;
extern Matrix4 WorldMatrix;
extern int WorldMatrixInUse;
extern D3DMATERIAL9 DefaultMaterial;

// The camera, projection and material defaults and the default light (1, -1, 1), as every
// graphics start sets them.
void ResetLightAndCameraDefaults();

// A new enabled light; a full table takes the first empty slot, and with none -1. A failed
// record allocation ends the program.
int CreateLightHandle();
// A directional light along (x, y, z) normalised; -1 for a zero vector.
int CreateDirectionalLight(float x, float y, float z);
// 0, or -1 for a handle that is not a live light.
int DeleteLightHandle(int handle);
// Every light but the default one. 0.
int DeleteAllLightHandles();
// Hands the device's light slots to the enabled lights (directional, spot, point). 0.
int ApplyLights();
// D3DRS_LIGHTING through its shadow; -1 when the device refuses.
int SetDeviceLighting(int flag);
// With a device: enable 1 first sends the light's parameters, then the enable state. 0.
int SetDeviceLightEnable(int index, int enable, const D3DLIGHT9* light);
// D3DTSS_TEXCOORDINDEX = the stage number on stages 0..7 where it differs. 0.
int ResetTexCoordIndexes();

int SetCameraNearFar(float nearZ, float farZ);
int SetCameraPerspective(float fieldOfView);
int SetCameraProjectionMatrix(const Matrix4* matrix);
int SetCameraCentrePoint(float x, float y);
// Recomputes the projection for the current kind and draw-target size and sets it.
void RefreshProjection();
// The view x projection x viewport product the matrix setters keep up to date.
extern Matrix4 CameraMatrix;
void UpdateCameraMatrix();

int SetWorldMatrix(const Matrix4* matrix);
void SetWorldTransformDirect(const Matrix4* matrix);
// out = (v, 1) x m, and the same without the translation row; worked in long double.
void TransformVector(Vector3* out, const Vector3* v, const Matrix4* m);
void TransformVectorRotation(Vector3* out, const Vector3* v, const Matrix4* m);
D3DCOLORVALUE* MakeColorF(D3DCOLORVALUE* out, float r, float g, float b, float a);

// The device's buffers, or null without a device or when it refuses.
IDirect3DVertexBuffer9* CreateDeviceVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
IDirect3DIndexBuffer9* CreateDeviceIndexBuffer(UINT length, DWORD usage, D3DFORMAT format,
                                               D3DPOOL pool);
