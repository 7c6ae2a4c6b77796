#include "stg_src/shell/shell_state.h"

#include <algorithm>
#include <iterator>

#include "stg_src/game/deterministic.h"

int32_t LastFrameTime;
int32_t FpsFrameCount;
int32_t FpsLastTime;
uint8_t DemoPlaying;
int16_t DemoSavedDifficulty;
int16_t MenuCursors[10];
int16_t MenuPage;
uint8_t TitleAssetsLoaded;
uint8_t LogoLoaded;
uint8_t WeaponSelectAssetsLoaded;
uint8_t StageAssetsLoaded;
uint8_t ResultAssetsLoaded;
int16_t PracticeStage;
int16_t PracticeShotPower;
int16_t PracticeSpeed;
int16_t IntroBlastFrames[5];
int16_t LastConfigKey;
int16_t StartStages[4];
int32_t ScreenshotCounter;

namespace {

template <typename T, size_t N>
void Zero(T (&values)[N]) {
  std::fill(std::begin(values), std::end(values), T{});
}

}  // namespace

void ResetShellState() {
  LastFrameTime = 0;
  FpsFrameCount = 0;
  FpsLastTime = 0;
  DemoPlaying = 0;
  DemoSavedDifficulty = 0;
  Zero(MenuCursors);
  MenuPage = 0;
  TitleAssetsLoaded = 0;
  LogoLoaded = 0;
  WeaponSelectAssetsLoaded = 0;
  StageAssetsLoaded = 0;
  ResultAssetsLoaded = 0;
  PracticeStage = 0;
  PracticeShotPower = 0;
  PracticeSpeed = 0;
  Zero(IntroBlastFrames);
  LastConfigKey = 0;
  Zero(StartStages);
  ScreenshotCounter = 0;
}

void DigestShellState(StateDigest& d, DigestScope scope) {
  // Nothing here is reproduced by a replay: clock readings, how the run was started, menu and
  // scene scratch, loaded sets and the option files' values.
  if (scope == DigestScope::Run) return;
  DigestValue(d, LastFrameTime);
  DigestValue(d, FpsFrameCount);
  DigestValue(d, FpsLastTime);
  DigestValue(d, DemoPlaying);
  DigestValue(d, DemoSavedDifficulty);
  DigestArray(d, MenuCursors);
  DigestValue(d, MenuPage);
  DigestValue(d, TitleAssetsLoaded);
  DigestValue(d, LogoLoaded);
  DigestValue(d, WeaponSelectAssetsLoaded);
  DigestValue(d, StageAssetsLoaded);
  DigestValue(d, ResultAssetsLoaded);
  DigestValue(d, PracticeStage);
  DigestValue(d, PracticeShotPower);
  DigestValue(d, PracticeSpeed);
  DigestArray(d, IntroBlastFrames);
  DigestValue(d, LastConfigKey);
  DigestArray(d, StartStages);
  DigestValue(d, ScreenshotCounter);
}
