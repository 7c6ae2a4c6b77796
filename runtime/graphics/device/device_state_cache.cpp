#include "runtime/graphics/device/device_state_cache.h"

int ForceStateWrite = 0;
int ActiveSamplerCount = 0;
DeviceStateShadows DeviceStateCache = {};
float VertexConstantMirror[kVertexConstantCount][4] = {};
float PixelConstantMirror[kPixelConstantCount][4] = {};
int VertexBoolConstantMirror[16] = {};
int CallerShaderConstantsActive = 0;
