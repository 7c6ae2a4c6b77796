#include "runtime/graphics/device/lights_camera.h"

namespace {
void* gLightSlots[HandleCapacity(HandleTypeLight)];
}  // namespace

HandleTable LightHandles = MakeHandleTable(HandleTypeLight, gLightSlots);
LightBookkeeping LightState = {0, 0, 0, 0, -1, 0};
CameraSettings Camera = {};
Matrix4 WorldMatrix = {};
int WorldMatrixInUse = 0;
D3DMATERIAL9 DefaultMaterial = {};
Matrix4 CameraMatrix = {};
