#include "tests/game_support/game_driver.h"

#include <gtest/gtest.h>

#include "port/user/input_internal.h"
#include "port/user/window_internal.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/kit_cache.h"

namespace {

constexpr int kPadButtons = 12;  // pad-mask bits 4..15
constexpr uint32_t kPadShot = 1u << 4;

Uint32 MainWindowId() {
  SDL_Window* window = WindowState.mainWindow ? PortGetSdlWindow(WindowState.mainWindow) : nullptr;
  return window ? SDL_GetWindowID(window) : 0;
}

}  // namespace

GameDriver::GameDriver(Options options) : options_(options) {
  const std::string prepared =
      PrepareGameFolder(folder_.path(), CachedGameFolderFiles(options_.kit), options_.kitArchive);
  EXPECT_EQ(prepared, "");
  HeadlessGame::Options game;
  game.messageBoxAnswer = options_.messageBoxAnswer;
  game.paced = options_.paced;
  game.fast = options_.fast;
  game_ = std::make_unique<HeadlessGame>(folder_.path(), game);
  ReleaseHeldKeys();
  pad_ = pads_.Attach("Game pad", 2, kPadButtons, 0, false);
}

GameDriver::~GameDriver() {
  Quit();
  ApplyInput({});
  game_.reset();
  ResetClock();
}

int GameDriver::Start() {
  const int started = game_->Start();
  SetShipImmuneForTest(options_.immuneShip);
  return started;
}

bool GameDriver::StartGame(const GameStartChoice& choice) {
  // Shot on alternate frames confirms the weapon select's steps; it is let go before play.
  return StartRunFromTitle(choice, [&](int frame) {
    FrameInput input;
    if (CurrentScene == kSceneWeaponSelect && frame % 2 == 1) input.padBits = kPadShot;
    return Step(input);
  });
}

bool GameDriver::Step(const FrameInput& input) {
  if (!running()) return false;
  ApplyInput(input);
  for (const auto& [target, points] : input.damage) DamageEnemyForTest(target, points);
  game_->digestFrames = digestFrames;
  const bool stepped = game_->Step();
  scenes_.push_back(CurrentScene);
  if (!stepped) return false;
  if (afterFrame) afterFrame();
  return true;
}

int GameDriver::Run(int frames, const std::function<FrameInput(int)>& script) {
  int run = 0;
  while (run < frames && Step(script ? script(run) : FrameInput{})) ++run;
  return run;
}

void GameDriver::Quit() { game_->Quit(); }

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
