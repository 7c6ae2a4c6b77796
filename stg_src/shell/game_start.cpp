#include <cstdint>

#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/game_entry.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/main_window.h"
#include "stg_src/shell/frame_loop.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

void ConfigureGameStart() {
  CurrentScene = kSceneBoot;
  SetWindowTitleText("KELVANOR");  // before start-up it also names the window class
  if (MessageBoxA(nullptr, "FULL SCREEN GO", "フルスクリーンで起動しますか？",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    ChangeWindowMode(1);
    SetWindowResizable(1, 1);
  }
  SetLogOutput(0);
}

void RunExitSequence() {
  SaveScreenshotCounter();
  ReleaseCommonAssets();
  ReleaseGameSounds();
  EndLibrary();
}
