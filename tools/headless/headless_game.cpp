#include "tools/headless/headless_game.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "port/dsound/dsound.h"
#include "port/kernel/winmm.h"
#include "port/user/user32.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/frame_loop.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/shell_state.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

constexpr int kAudioRate = 44100;
constexpr int kAudioFramesPerFrame = kAudioRate * 17 / 1000;
constexpr DWORD kFrameMs = 17;
constexpr int kLastStageOfWeaponSelect = 2;
constexpr int kFramesIntoPlay = 64;

const char* const kPlayerFolders[] = {"Option",        "ScreenShots", "replay",       "replay/easy",
                                      "replay/normal", "replay/hard", "replay/insane"};

}  // namespace

std::string PrepareGameFolder(const std::string& folder, const char* kit, bool kitArchive) {
  try {
    for (const char* f : kPlayerFolders) std::filesystem::create_directories(folder + "/" + f);
    if (kit) {
      const KitWriteResult written = WriteKitFiles(folder, BuildKitFiles(kit, 0), kitArchive);
      if (!written.ok) return written.error;
    }
    // Every stage needs maps to load, whatever part of the kit was asked for: the kit's own,
    // which are the test stage's for a stage that has none. (A kit that holds them gets the
    // same bytes again.)
    const KitWriteResult maps = WriteKit(folder, false, kStageMapPattern, 1);
    if (!maps.ok) return maps.error;
  } catch (const std::exception& e) { return e.what(); }
  return "";
}

HeadlessGame::HeadlessGame(const std::string& folder, Options options)
    : folder_(folder), options_(options) {
  previousDirectory_ = std::filesystem::current_path().string();
  std::filesystem::current_path(folder_);
  PortSetManualAudio(true, kAudioRate);
}

HeadlessGame::~HeadlessGame() {
  Quit();
  PortResetSoundSwitches();
  PortSetMessageBoxAnswer(0);
  std::error_code ignored;
  std::filesystem::current_path(previousDirectory_, ignored);
}

std::string HeadlessGame::WindowsFolder() const {
  std::string windows = "Z:";
  for (char c : folder_) windows += c == '/' ? '\\' : c;
  return windows;
}

int HeadlessGame::Start() {
  ResetGameState();
  digests_.clear();
  PortSetMessageBoxAnswer(options_.messageBoxAnswer);
  SetLogDirectory(WindowsFolder().c_str());
  ConfigureGameStart();
  // The game's class name is its title, and the library refuses a second window of a class
  // that any process of this user holds: each process takes a class of its own, so that test
  // programs and the replay player run side by side.
  std::snprintf(WindowState.className, sizeof(WindowState.className), "KELVANOR test %d",
                static_cast<int>(getpid()));
  if (InitLibrary() == -1) return -1;
  SetGameScreen();
  // The port's clock moves 17 ms a frame without waiting; so does the vertical blank, unless
  // the run is paced as the game is.
  if (!options_.paced) SetVSyncWait(0);
  SetLogOutput(1);
  StartLogFile();
  running_ = true;
  return 0;
}

bool HeadlessGame::Step() {
  if (!running_) return false;
  // The clock first: the keyboard is read at most once a millisecond, and the last pass (in
  // the previous frame's end) was in this millisecond.
  if (!options_.paced) PortSetTimeGetTimeOffset(PortGetTimeGetTimeOffset() + kFrameMs);
  ProcessWindowMessages();
  if (options_.fast && CurrentScene == kScenePlay) FastForwardRequest = 1;

  const bool playFrame = CurrentScene == kScenePlay;
  running_ = RunMainLoopIteration();
  if (!running_) {
    RunExitSequence();
    return false;
  }
  if (digestFrames && playFrame && GamePaused == 0)
    digests_.push_back(DigestGameState(DigestScope::Run).value);
  int16_t mix[2 * kAudioFramesPerFrame];
  PortAdvanceManualAudio(kAudioFramesPerFrame, mix);
  return true;
}

void HeadlessGame::Quit() {
  if (!running_) return;
  running_ = false;
  RunExitSequence();
}

bool StartRunFromTitle(const GameStartChoice& choice, const std::function<bool(int frame)>& step) {
  CurrentScene = kSceneTitleVisit;
  if (!step(0)) return false;
  Difficulty = choice.difficulty;
  MenuCursors[0] = choice.mode;
  CurrentScene = kSceneTitleMenu;
  StartPlay();
  if (choice.stage != CurrentStage) {
    CurrentStage = choice.stage;
    CurrentScene =
        choice.stage <= kLastStageOfWeaponSelect ? kSceneWeaponSelectSetUp : kSceneStageStart;
  }
  for (int frame = 1; frame <= kFramesIntoPlay; ++frame) {
    const bool wasPlay = CurrentScene == kScenePlay;
    if (!step(frame)) return false;
    if (wasPlay) return true;
  }
  return false;
}
