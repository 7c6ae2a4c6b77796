#include "runtime/graphics/screen/screen_mode.h"

ScreenModeRecord ScreenMode = {0, 0, 0, 0};

int GetScreenBitDepth() { return ScreenMode.bits == 0 ? 16 : ScreenMode.bits; }
