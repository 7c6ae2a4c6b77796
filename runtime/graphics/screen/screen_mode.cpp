#include "runtime/graphics/screen/screen_mode.h"

#include "runtime/platform/window/window_state.h"

ScreenModeRecord ScreenMode = {0, 0, 0, 0};
int Emulate320x240 = 0;
int Emulate320x240Fallback = 0;
int GraphicsInitialised = 0;
BackgroundColorRecord BackgroundColor = {0, 0, 0};

int GetScreenBitDepth() { return ScreenMode.bits == 0 ? 16 : ScreenMode.bits; }

void GetScreenSize(int* width, int* height) {
  if (width) *width = ScreenMode.width == 0 ? 640 : ScreenMode.width;
  if (height) *height = ScreenMode.height == 0 ? 480 : ScreenMode.height;
}

void QueryScreenState(int* width, int* height, int* bits) {
  const bool emulated = Emulate320x240 || Emulate320x240Fallback;
  if (width) *width = emulated ? 320 : ScreenMode.width;
  if (height) *height = emulated ? 240 : ScreenMode.height;
  if (bits) *bits = ScreenMode.bits;
}

int IsFullScreen() { return WindowState.windowModeFlag == 0 ? 1 : 0; }

int SetEmulate320x240Fallback(int flag) {
  Emulate320x240Fallback = flag;
  return 0;
}
