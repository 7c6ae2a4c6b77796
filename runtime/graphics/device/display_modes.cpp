#include "runtime/graphics/device/display_modes.h"

IDirectDraw7* DirectDraw7Object = nullptr;
int64_t RefreshPeriod = -1;
int64_t LastVBlankTime = 0;
