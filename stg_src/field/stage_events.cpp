#include "stg_src/field/stage_events.h"

#include <algorithm>
#include <cstdlib>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_handlers.h"
#include "stg_src/field/stage_state.h"

#include "stg_src/game/deterministic.h"

double EndingShipScreenX;
double EndingShipSpeed;

namespace {

constexpr int16_t kLowestFreeSlot = -1;

// Stage 1: the mothership of the opening, and the placer of the sky strips past the last switch.
constexpr int16_t kStageOneOpeningType = 14;
constexpr int16_t kSkyPlacerType = 19;
constexpr double kStageOneSecondBackground = 5600;
constexpr double kStageOneSkyBackground = 24000;

constexpr double kStageThreeSecondBackground = 7440;
constexpr double kStageThreeLowerArea = 1080;

constexpr double kStageFourDriftUntilRight = 4240;
constexpr double kStageFourOwnDriftX = -8;
constexpr double kStageFourSecondBackground = 4200;
constexpr double kStageFourParallaxDrift = 2;
constexpr int kRedFlashTop = 127;

constexpr double kStageSixSecondBackground = 2720;

double WindowLeft() { return ScreenToWorldX(0); }
double WindowRight() { return ScreenToWorldX(kViewWidth); }
double WindowTop() { return ScreenToWorldY(0); }

// Effects drift back by the scroll, so they stay where they were spawned in the world.
void KeepEffectsInWorld() { EffectDriftX = -ScrollDeltaX; }

void SetBackgroundDivisors(double layer0X, double layer0Y, double layer1X, double layer1Y) {
  BackLayer0DivisorX = layer0X;
  BackLayer0DivisorY = layer0Y;
  BackLayer1DivisorX = layer1X;
  BackLayer1DivisorY = layer1Y;
}

void FadeWhiteFlash() {
  ScreenFlashWhite =
      static_cast<int16_t>(std::clamp(ScreenFlashWhite + ScreenFlashWhiteStep, 0, 255));
}

void RunStageOneEvents() {
  // The strips of the sky stretch ride on the drift; it holds its value while the scroll stands.
  if (ScrollDeltaX > 0) KeepEffectsInWorld();
  // The opening belongs to the stage's beginning, not to a restart at a checkpoint.
  if (CheckpointIndex == 0 && GameFrame == 0) {
    SpawnPool0Enemy(ScreenToWorldX(396), ScreenToWorldY(-62), kStageOneOpeningType, 0,
                    kLowestFreeSlot, 1);
  }
  if (StageMarker > 0) StageMarker -= 1;
  const double left = WindowLeft();
  if (left <= kStageOneSecondBackground) {
    BackgroundVariant = 0;
  } else if (left <= kStageOneSkyBackground) {
    BackgroundVariant = 1;
  } else {
    // Once per crossing: the variant stays 2 until the window goes back left of the line.
    if (BackgroundVariant < 2) SpawnPool0Enemy(0, 0, kSkyPlacerType, 0, kLowestFreeSlot, 1);
    BackgroundVariant = 2;
  }
}

void RunStageThreeEvents() {
  KeepEffectsInWorld();
  const bool second = WindowLeft() > kStageThreeSecondBackground;
  const bool lower = WindowTop() > kStageThreeLowerArea;
  BackgroundVariant = second && !lower ? 1 : 0;
}

// Held off while no boss fights; a boss sets the step and the level bounces within 0..127.
void PulseRedFlash() {
  if (BossState == 0) {
    ScreenFlashRed = 0;
    ScreenFlashRedStep = 0;
  }
  const int step = std::abs(static_cast<int>(ScreenFlashRedStep));
  const int level = ScreenFlashRed + ScreenFlashRedStep;
  if (level > kRedFlashTop) {
    ScreenFlashRed = kRedFlashTop;
    ScreenFlashRedStep = static_cast<int16_t>(-step);
  } else if (level < 0) {
    ScreenFlashRed = 0;
    ScreenFlashRedStep = static_cast<int16_t>(step);
  } else {
    ScreenFlashRed = static_cast<int16_t>(level);
  }
}

void RunStageFourEvents() {
  if (WindowRight() < kStageFourDriftUntilRight) {
    EffectDriftX = kStageFourOwnDriftX;
  } else {
    KeepEffectsInWorld();
  }
  // The first background drifts on its own; the variant is still the previous frame's here.
  if (BackgroundVariant == 0) StageFourParallaxX -= kStageFourParallaxDrift;
  if (WindowLeft() > kStageFourSecondBackground) {
    BackgroundVariant = 1;
    SetBackgroundDivisors(2, 2, 1.5, 1.5);
  } else {
    BackgroundVariant = 0;
    SetBackgroundDivisors(0.3, kFixedAxisDivisor, 0.15, kFixedAxisDivisor);
  }
  PulseRedFlash();
}

void RunStageSixEvents() {
  KeepEffectsInWorld();
  if (WindowLeft() > kStageSixSecondBackground) {
    BackgroundVariant = 1;
    SetBackgroundDivisors(2, 2, 1.5, 1.5);
  } else {
    BackgroundVariant = 0;
    SetBackgroundDivisors(5.9, 5.9, 8.5, 8.5);
  }
}

}  // namespace

void RunStageEvents(int16_t stage) {
  FadeWhiteFlash();
  switch (stage) {
    case 1:
      RunStageOneEvents();
      break;
    case 2:
    case 5:
      KeepEffectsInWorld();
      break;
    case 3:
      RunStageThreeEvents();
      break;
    case 4:
      RunStageFourEvents();
      break;
    case 6:
      RunStageSixEvents();
      break;
    case 7:
      // The closing flight is the stage's own script.
      if (StageScripts[6] != nullptr) StageScripts[6]();
      break;
    default:
      break;
  }
}

void ResetStageEvents() {
  EndingShipScreenX = 0;
  EndingShipSpeed = 0;
}

void DigestStageEvents(StateDigest& d, DigestScope) {
  DigestValue(d, EndingShipScreenX);
  DigestValue(d, EndingShipSpeed);
}
