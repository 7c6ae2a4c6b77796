#include "runtime/graphics/device/blend_state.h"

BlendSelectionState BlendSelection = {};
int BlendStateDirty = 0;
int TextureDirty = 0;
TextureStageSetup TextureStageOverride = {};
int TextureStageOverrideActive = 0;
int TextureStageOverrideTexturesOnly = 0;
int BlendGraphHandle = -1;
int BlendGraphBorder = 0;
int BlendGraphRange = 0;
const MEMIMG* SoftBlendImage = nullptr;
int WhiteTextureGraph = -1;
