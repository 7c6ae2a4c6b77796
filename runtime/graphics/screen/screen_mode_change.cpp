#include "runtime/graphics/screen/screen_mode_change.h"

#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/message_loop.h"

namespace {

bool SameMode(const ScreenModeRecord& a, const ScreenModeRecord& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits &&
         a.refreshRate == b.refreshRate;
}

int Keep(int value, int current) { return value == -1 ? current : value; }

// Starts the graphics at the mode; 0 or -1.
int StartAt(const ScreenModeRecord& mode) {
  ScreenMode = mode;
  return InitializeGraphics();
}

}  // namespace

int ChangeScreenMode(int width, int height, int bits, int force, int refreshRate) {
  FlushVertexBatch();
  const bool running = GraphicsInitialised != 0;
  ScreenModeRecord target = {Keep(width, ScreenMode.width), Keep(height, ScreenMode.height),
                             Keep(bits, ScreenMode.bits),
                             Keep(refreshRate, ScreenMode.refreshRate)};
  if (IsFullScreen()) {
    const bool small = target.width == 320 && target.height == 240;
    if (small) target.width = 640, target.height = 480;
    Emulate320x240 = small ? 1 : 0;
  } else {
    // Back in a window, an emulated 320 x 240 becomes a real one.
    if (force == 1 && Emulate320x240 && ScreenMode.width == 640 && ScreenMode.height == 480)
      target.width = 320, target.height = 240;
    Emulate320x240 = 0;
  }
  if (SameMode(target, ScreenMode) && force == 0) return 0;

  WriteLogText("画面モード変更処理を開始します\n");
  LogIndentIn();
  int fontSize = 0, fontThickness = 0;
  const bool font = running && ScreenHooks.rememberDefaultFont &&
                    ScreenHooks.rememberDefaultFont(&fontSize, &fontThickness) == 1;
  const ScreenModeRecord old = ScreenMode;
  const int previousTarget = DrawTarget;

  if (running) TerminateGraphics();
  // The fall-back of an earlier 320 x 240 says nothing about the new mode.
  SetEmulate320x240Fallback(0);
  int result = StartAt(target);
  if (result != 0 && target.width == 320 && target.height == 240) {
    SetEmulate320x240Fallback(1);
    result = StartAt({640, 480, target.bits, target.refreshRate});
  }
  if (result != 0) result = StartAt(old);
  if (result != 0) result = StartAt({640, 480, 16, 0});
  if (result != 0) AbortWithLog("予期せぬ画面モード変更不能現象が起きました2\n");

  if (!IsFullScreen()) ApplyWindowStyle();
  if (font && ScreenHooks.recreateDefaultFont)
    ScreenHooks.recreateDefaultFont(fontSize, fontThickness);
  LogIndentOut();
  WriteLogText("画面モード変更処理は正常に終了しました\n");
  PumpWindowMessages();
  SetDrawTarget(previousTarget);
  return 0;
}

int SetScreenMode(int width, int height, int bits, int refreshRate) {
  // -1 keeps the current size; no other size below 1 is a screen.
  if (width == 0 || height == 0 || width < -1 || height < -1) return -1;
  if (bits != 8 && bits != 16 && bits != 32) return -1;
  const ScreenModeRecord wanted = {Keep(width, ScreenMode.width), Keep(height, ScreenMode.height),
                                   bits, Keep(refreshRate, ScreenMode.refreshRate)};
  if (!gSystemState.initialised) {
    ScreenMode = wanted;
    return 0;
  }
  const ScreenModeRecord before = ScreenMode;
  ChangeScreenMode(width, height, bits, 0, refreshRate);
  const ScreenModeRecord after = ScreenMode;
  // A 320 x 240 shown at 640 x 480 is the mode asked for.
  ScreenModeRecord shown = after;
  QueryScreenState(&shown.width, &shown.height, nullptr);
  if (SameMode(after, wanted) || SameMode(shown, wanted)) return 0;
  const ScreenModeRecord fallback = {640, 480, 16, 0};
  if (!SameMode(after, before) && SameMode(after, fallback)) return -2;
  return -1;
}
