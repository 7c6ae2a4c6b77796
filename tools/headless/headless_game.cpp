#include "tools/headless/headless_game.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "port/dsound/dsound.h"
#include "port/kernel/winmm.h"
#include "port/user/input_internal.h"
#include "port/user/user32.h"
#include "port/user/window_internal.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/frame_loop.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_machine.h"
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

GameFolderFiles BuildGameFolderFiles(const char* kit) {
  GameFolderFiles files;
  files.hasKit = kit != nullptr;
  if (kit) files.kit = BuildKitFiles(kit, 0);
  // Every stage needs maps to load, whatever part of the kit was asked for: the kit's own,
  // which are the test stage's for a stage that has none. (A kit that holds them gets the
  // same bytes again.)
  files.maps = BuildKitFiles(kStageMapPattern, 1);
  return files;
}

std::string PrepareGameFolder(const std::string& folder, const GameFolderFiles& files,
                              bool kitArchive) {
  try {
    for (const char* f : kPlayerFolders) std::filesystem::create_directories(folder + "/" + f);
    if (files.hasKit) {
      const KitWriteResult written = WriteKitFiles(folder, files.kit, kitArchive);
      if (!written.ok) return written.error;
    }
    const KitWriteResult maps = WriteKitFilesInPlace(folder, files.maps);
    if (!maps.ok) return maps.error;
  } catch (const std::exception& e) { return e.what(); }
  return "";
}

std::string PrepareGameFolder(const std::string& folder, const char* kit, bool kitArchive) {
  try {
    return PrepareGameFolder(folder, BuildGameFolderFiles(kit), kitArchive);
  } catch (const std::exception& e) { return e.what(); }
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
  HoldFastForwardKey();
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
  if (shotKeyHeld_) PushGameKey(ScancodeOfKey(KeyConfig[kButtonShot]), false);
  shotKeyHeld_ = false;
}

void HeadlessGame::HoldFastForwardKey() {
  // The attract demo reads Shot as the player's wish to leave it.
  const bool hold =
      options_.fast && CurrentScene == kScenePlay && GetPlayMode() == 1 && DemoPlaying == 0;
  if (hold == shotKeyHeld_) return;
  const int scancode = ScancodeOfKey(KeyConfig[kButtonShot]);
  if (scancode == 0) return;
  PushGameKey(scancode, hold);
  shotKeyHeld_ = hold;
}

int ScancodeOfKey(int code) {
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
    const PortKeyLayoutEntry* key = PortFindKeyLayout(static_cast<SDL_Scancode>(sc));
    if (key && key->directInputCode == code) return sc;
  }
  return 0;
}

void PushGameKey(int scancode, bool down) {
  SDL_Window* window = WindowState.mainWindow ? PortGetSdlWindow(WindowState.mainWindow) : nullptr;
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = window ? SDL_GetWindowID(window) : 0;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = static_cast<SDL_Scancode>(scancode);
  e.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode));
  SDL_PushEvent(&e);
}

bool HasCheckpoint(int k) { return k == 0 || (k > 0 && k < CheckpointCount); }

std::string DescribeFailedStart(const GameStartChoice& choice) {
  if (choice.checkpoint < 0 || !HasCheckpoint(choice.checkpoint)) {
    return "stage " + std::to_string(choice.stage) + " has no checkpoint " +
           std::to_string(choice.checkpoint) + " (it has 0 to " +
           std::to_string(std::max<int>(CheckpointCount - 1, 0)) + ")";
  }
  return "the run did not reach play";
}

bool IsRunGoingOn() {
  switch (CurrentScene) {
    case kScenePlay:
    case kSceneStageClear:
    case kSceneWeaponSelectSetUp:
    case kSceneWeaponSelect:
    case kSceneStageStart:
      return true;
    default:
      return false;
  }
}

bool StartRunFromTitle(const GameStartChoice& choice, const std::function<bool(int frame)>& step) {
  if (choice.checkpoint < 0) return false;
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
    // The stage start restarts at CheckpointIndex when it is above 0, as after a continue (the
    // title menu left it at 0).
    const bool stageStart = CurrentScene == kSceneStageStart;
    if (stageStart) CheckpointIndex = choice.checkpoint;
    if (!step(frame)) return false;
    // Past the map's last checkpoint the start would have gone on to the stage-clear scene.
    if (stageStart && !HasCheckpoint(choice.checkpoint)) return false;
    if (wasPlay) return true;
  }
  return false;
}
