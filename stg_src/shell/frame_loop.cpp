#include "stg_src/shell/frame_loop.h"

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/platform/startup/game_entry.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/message_loop.h"
#include "stg_src/game/file_reports.h"
#include "stg_src/shell/frame_pacing.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kBackBuffer = -2;

}  // namespace

void SetGameScreen() {
  SetScreenMode(640, 480, 32, 60);
  SetColorKey(255, 0, 255);
  SetDefaultFontSize(20);
  SetDefaultFontThickness(3);
  SetDefaultFontType(2);
}

bool BeginFrame() {
  if (ClearWholeDrawTarget() != 0) return false;
  UpdateFrameInput();
  return true;
}

bool EndFrame() {
  // Fast-forward: seven frames in eight are neither counted, presented nor paced.
  if (FrameSkipPhase != 0) return true;
  CountFramesPerSecond();
  if (ProcessWindowMessages() == -1) return false;
  PresentScreen();
  SetDrawTarget(kBackBuffer);
  ClearWholeDrawTarget();
  WaitForFrameDeadline();
  return true;
}

bool RunMainLoopIteration() {
  if (!BeginFrame()) return false;
  switch (RunFrameBody()) {
    case FrameStep::LeaveLoop:
      return false;
    case FrameStep::NextIteration:
      return true;
    case FrameStep::Continue:
      break;
  }
  SaveScreenshotOnButton();
  if (!EndFrame()) {
    ReleaseSceneAssets();
    return false;
  }
  return true;
}

void SaveScreenshotOnButton() {
  char name[32];
  if (TakeScreenshotName(name, sizeof(name)) &&
      SaveDrawScreen(0, 0, 640, 480, name, 0, 80, 1, -1) != 0)
    ReportUnwritableFile(name, 0, "no screenshot taken");
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ConfigureGameStart();
  if (InitLibrary() == -1) return -1;
  SetGameScreen();
  while (RunMainLoopIteration()) {}
  RunExitSequence();
  return EndedOnStageLoadFailure() ? -1 : 0;
}
