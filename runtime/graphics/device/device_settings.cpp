#include "runtime/graphics/device/device_settings.h"

#include "runtime/graphics/device/device_graph_hooks.h"

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
