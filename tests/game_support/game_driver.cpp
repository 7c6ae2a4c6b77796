#include "tests/game_support/game_driver.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "port/dsound/dsound.h"
#include "port/user/input_internal.h"
#include "port/user/window_internal.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/frame_loop.h"
#include "stg_src/shell/frame_pacing.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tools/datakit/kit_build.h"
#include "tools/lib/test_stage_maps.h"

namespace {

constexpr int kAudioRate = 44100;
constexpr int kAudioFramesPerFrame = kAudioRate * 17 / 1000;
constexpr DWORD kFrameMs = 17;
constexpr int kPadButtons = 12;  // pad-mask bits 4..15

const char* const kPlayerFolders[] = {"Option",        "ScreenShots", "replay",       "replay/easy",
                                      "replay/normal", "replay/hard", "replay/insane"};

Uint32 MainWindowId() {
  SDL_Window* window = WindowState.mainWindow ? PortGetSdlWindow(WindowState.mainWindow) : nullptr;
  return window ? SDL_GetWindowID(window) : 0;
}

}  // namespace

int ScancodeOfKey(int code) {
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
    const PortKeyLayoutEntry* key = PortFindKeyLayout(static_cast<SDL_Scancode>(sc));
    if (key && key->directInputCode == code) return sc;
  }
  return 0;
}

GameDriver::GameDriver(Options options) : options_(options) {
  for (const char* f : kPlayerFolders) folder_.MakeDirectory(f);
  if (options_.kit) {
    const KitWriteResult kit =
        WriteKitFiles(folder_.path(), BuildKitFiles(options_.kit, 0), options_.kitArchive);
    EXPECT_TRUE(kit.ok) << kit.error;
  }
  // Every stage loads the test stage's maps, whatever part of the kit a test asks for.
  WriteTestStageMaps(folder_.path(), {1, 2, 3, 4, 5, 6, 7});
  directory_ = std::make_unique<ScopedCurrentDirectory>(folder_.path());
  ReleaseHeldKeys();
  pad_ = pads_.Attach("Game pad", 2, kPadButtons, 0, false);
  PortSetManualAudio(true, kAudioRate);
}

GameDriver::~GameDriver() {
  Quit();
  ApplyInput({});
  PortResetSoundSwitches();
  PortSetMessageBoxAnswer(0);
  ResetClock();
}

int GameDriver::Start() {
  ResetGameState();
  SetShipImmuneForTest(options_.immuneShip);
  PortSetMessageBoxAnswer(options_.messageBoxAnswer);
  SetLogDirectory(folder_.WindowsPath().c_str());
  ConfigureGameStart();
  // The game's class name is its title, and the library refuses a second window of a class
  // that any process of this user holds: test programs running side by side (and their
  // children) each take a class of their own.
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

bool GameDriver::Step(const FrameInput& input) {
  if (!running_) return false;
  ApplyInput(input);
  for (const auto& [target, points] : input.damage) DamageEnemyForTest(target, points);
  // The clock first: the keyboard is read at most once a millisecond, and the last pass (in
  // the previous frame's end) was in this millisecond.
  if (!options_.paced) AdvanceClock(kFrameMs);
  ProcessWindowMessages();
  if (options_.fast && CurrentScene == kScenePlay) FastForwardRequest = 1;

  const bool playFrame = CurrentScene == kScenePlay;
  running_ = RunMainLoopIteration();
  scenes_.push_back(CurrentScene);
  if (!running_) {
    RunExitSequence();
    return false;
  }
  if (digestFrames && playFrame && GamePaused == 0)
    digests_.push_back(DigestGameState(DigestScope::Run).value);
  std::vector<int16_t> mix(2 * kAudioFramesPerFrame);
  PortAdvanceManualAudio(kAudioFramesPerFrame, mix.data());
  if (afterFrame) afterFrame();
  return true;
}

int GameDriver::Run(int frames, const std::function<FrameInput(int)>& script) {
  int run = 0;
  while (run < frames && Step(script ? script(run) : FrameInput{})) ++run;
  return run;
}

void GameDriver::Quit() {
  if (!running_) return;
  running_ = false;
  RunExitSequence();
}

void GameDriver::CloseWindow() {
  SDL_Event e = {};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  e.window.windowID = MainWindowId();
  SDL_PushEvent(&e);
}

std::string GameDriver::LogText() const {
  return folder_.Exists("Log.txt") ? folder_.ReadFile("Log.txt") : std::string();
}

void GameDriver::ApplyInput(const FrameInput& input) {
  const Uint32 window = MainWindowId();
  for (int code : held_.keys)
    if (!input.keys.count(code))
      PushKey(static_cast<SDL_Scancode>(ScancodeOfKey(code)), false, window);
  for (int code : input.keys) {
    if (held_.keys.count(code)) continue;
    const int scancode = ScancodeOfKey(code);
    EXPECT_NE(scancode, 0) << "no key reads as code " << code;
    PushKey(static_cast<SDL_Scancode>(scancode), true, window);
  }
  const uint32_t bits = input.padBits;
  auto axis = [](bool negative, bool positive) -> Sint16 {
    return negative ? -32768 : positive ? 32767 : 0;
  };
  pads_.SetAxis(pad_, 0, axis(bits & 0x2, bits & 0x4));
  pads_.SetAxis(pad_, 1, axis(bits & 0x8, bits & 0x1));
  for (int b = 0; b < kPadButtons; ++b) pads_.SetButton(pad_, b, (bits >> (4 + b)) & 1);
  held_ = input;
}
