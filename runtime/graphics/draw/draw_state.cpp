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
uint32_t PackedDrawColor = 0xFFFFFFFFu;
uint32_t ColorKey = 0;
int NoTransColorOption = 0;
int GraphBitDepthOption = 0;
int DrawTargetGraphOption = 0;
int AlphaTestGraphOption = 1;
int SystemMemoryCopyOption = 0;
int BlankGraphAlphaOption = 0;
int SingleTextureGraphOption = 0;
