#include "runtime/graphics/draw/draw_state.h"

RECT DrawArea = {0, 0, 0, 0};
int32_t CurrentBlendMode = 0;
int32_t BlendParam = 0;
uint32_t DrawBright = 0xFFFFFF;
uint8_t BlendImageRamp[256];
MEMIMG* SoftDrawTarget = nullptr;
int DrawSuppressed = 0;
int DrawTarget = -2;
int NoVSyncWait = 0;
