#include "runtime/platform/core/on_screen_log.h"

#include <cstring>

namespace {

OnScreenLogState gScreenLog = {0, 0, 16, -1, 1, 0, 0, {}};
OnScreenLogHooks gHooks = {};

}  // namespace

void SetOnScreenLogHooks(const OnScreenLogHooks* hooks) {
  if (hooks)
    gHooks = *hooks;
  else
    gHooks = OnScreenLogHooks{};
}

int InitOnScreenLog() {
  if (!gHooks.graphicsReady || gHooks.graphicsReady() == 0) return -1;
  if (gScreenLog.active) return 0;
  gScreenLog.active = 1;
  gScreenLog.lineHeight = 16;
  gScreenLog.fontHandle = -1;
  gScreenLog.fontLost = 1;
  RefreshOnScreenLogFont();
  gScreenLog.enabled = 0;
  gScreenLog.cursorLine = 0;
  gScreenLog.cursorColumn = 0;
  std::memset(gScreenLog.buffer, 0, sizeof(gScreenLog.buffer));
  return 0;
}

int RefreshOnScreenLogFont() {
  if (!gScreenLog.active && InitOnScreenLog() != 0) return -1;
  if (gScreenLog.fontLost == 0) return 0;
  int handle = gHooks.createFont ? gHooks.createFont() : -1;
  if (handle == -1) return -1;
  gScreenLog.fontHandle = handle;
  gScreenLog.fontLost = 0;
  if (gHooks.setFontLostFlag) gHooks.setFontLostFlag(handle, &gScreenLog.fontLost);
  return 0;
}

int DrawOnScreenLog() {
  if (!gScreenLog.active && InitOnScreenLog() != 0) return -1;
  RefreshOnScreenLogFont();
  if (!gHooks.drawLine || !gHooks.screenHeight) return 0;
  int lines = gHooks.screenHeight() / gScreenLog.lineHeight;
  if (lines > kOnScreenLogLines) lines = kOnScreenLogLines;
  for (int i = 0; i < lines; ++i)
    gHooks.drawLine(0, i * gScreenLog.lineHeight, gScreenLog.buffer[i], gScreenLog.fontHandle);
  return 0;
}

int GetOnScreenLogFlag() { return gScreenLog.enabled; }

void EndOnScreenLog() {
  if (!gScreenLog.active) return;
  if (gScreenLog.fontLost == 0 && gScreenLog.fontHandle != -1 && gHooks.deleteFont)
    gHooks.deleteFont(gScreenLog.fontHandle);
  gScreenLog.fontLost = 1;
  gScreenLog.fontHandle = -1;
  gScreenLog.active = 0;
}

const OnScreenLogState& GetOnScreenLogState() { return gScreenLog; }
