#include "stg_src/stages/stage7/stage7.h"

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_events.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/ending_text.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

void UpdateStage7Bokan(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7Bokan2(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7Fire(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7VerniaPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}

namespace {

constexpr int16_t kFireType = 10;
constexpr int16_t kLowestFreeSlot = -1;
constexpr double kShipStartScreenX = -24;
constexpr double kShipScreenY = 240;
constexpr double kGoodEndingShipSpeed = 0.9;
constexpr double kLostShipSpeed = 0.7;
constexpr double kClosingScrollSpeed = 16;

constexpr int32_t kSpeedUpFrame = 2100;
constexpr double kSpeedUpStep = 0.2;
constexpr int16_t kSpeedUpFlame = 3;

// The ship lost in the fire: blasts on it every third frame of this span, then its explosion.
constexpr int32_t kFireBlastsFrom = 280;
constexpr int32_t kFireBlastsTo = 332;
constexpr int32_t kShipExplodesFrame = 333;
constexpr double kLostShipScreenX = -120;

constexpr int32_t kSkipAfterFrame = 120;
constexpr int32_t kEndScreenAfterFrame = 2400;
constexpr int32_t kFlashAfterFrame = 380;
constexpr int32_t kFlashHeldUntilFrame = 458;
constexpr int16_t kFlashRise = 16;
constexpr int32_t kShakeUntilFrame = 440;
constexpr int32_t kMusicAfterFrame = 700;

// The carriers that pass the ship on the good ending, at x 0 into fixed slots of pool 0.
struct CarrierSpawn {
  int32_t frame;
  int16_t type;
  int16_t slot;
  double screenY;
};
constexpr CarrierSpawn kCarrierSpawns[] = {
    {800, 12, 8, 200},   {880, 11, 12, 40},   {1000, 12, 9, 40},  {1200, 12, 10, 370},
    {1400, 12, 11, 100}, {1580, 11, 13, 360}, {1880, 11, 14, 40},
};

// No continue was used.
bool IsGoodEnding() { return Credits == 9; }

void SetUpFlight() {
  StopMusicSlot();
  SceneWork[0] = 0;
  PlayerX = ScreenToWorldX(kShipStartScreenX);
  PlayerY = ScreenToWorldY(kShipScreenY);
  EndingShipSpeed = 0;
  EndingShipScreenX = kShipStartScreenX;
  SpawnPool0Enemy(0, 0, kFireType, 0, kLowestFreeSlot, 1);
  StageWork[0] = 0;
  EndingShipSpeed = IsGoodEnding() ? kGoodEndingShipSpeed : kLostShipSpeed;
}

void LoseShipInFire() {
  if (GameFrame == 0) RequestSoundEffect(30);
  if (GameFrame >= kFireBlastsFrom && GameFrame <= kFireBlastsTo && GameFrame % 3 == 0) {
    // Replays rebuild these blasts: the motion angle is drawn before the rotation.
    const auto motionAngle = static_cast<int16_t>(448 + LcgRandom() % 128);
    const auto rotation = static_cast<int16_t>(LcgRandom() % 1024);
    SpawnEffect(1, PlayerX, PlayerY, rotation, motionAngle, 3.2);
  }
  if (GameFrame == kShipExplodesFrame) {
    EndingShipScreenX = kLostShipScreenX;
    EndingShipSpeed = 0;
    RequestSoundEffect(15);
    SpawnEffect(4, PlayerX, PlayerY, 0, 0, 0);
  }
}

void RaiseClosingFlash() {
  if (StageWork[0] == 0) {
    ScreenFlashWhite = ApproachInt(ScreenFlashWhite, kFlashRise, 255);
    if (ScreenFlashWhite == 255) {
      StageWork[0] = 1;
      RequestSoundEffect(27);
    }
  }
  // The fires end themselves on this entry.
  if (StageWork[0] > 0 && GameFrame < kFlashHeldUntilFrame) {
    StageWork[0] += 1;
    ScreenFlashWhite = 255;
  }
}

void SpawnPassingCarriers() {
  for (const CarrierSpawn& c : kCarrierSpawns) {
    if (c.frame == GameFrame) SpawnPool0Enemy(0, ScreenToWorldY(c.screenY), c.type, 0, c.slot, 1);
  }
}

}  // namespace

void RunStage7ClosingFlight() {
  EffectDriftX = -ScrollDeltaX;
  if (GameFrame == 0 || GameFrame == 1) SetUpFlight();
  if (IsGoodEnding()) {
    if (GameFrame == kSpeedUpFrame) {
      SpeedUpTimer = kSpeedUpFlame;
      RequestSoundEffect(19);
    }
    if (GameFrame >= kSpeedUpFrame) EndingShipSpeed += kSpeedUpStep;
  } else {
    LoseShipInFire();
  }
  EndingShipScreenX += EndingShipSpeed;
  PlayerX = ScreenToWorldX(EndingShipScreenX);
  if (GameFrame == 1) LoadEndingText();
  ScrollTargetSpeed = kClosingScrollSpeed;
  ScrollSpeed = kClosingScrollSpeed;

  // A button held from before frame 120 does not skip: it takes a fresh press.
  const bool skip = GameFrame > kEndScreenAfterFrame || IsRolePressed(kButtonChargeWeapon) ||
                    IsRolePressed(kButtonShot);
  if (GameFrame > kSkipAfterFrame && CurrentScene != kSceneEndScreen && skip) {
    SceneFrame = 0;
    CurrentScene = kSceneEndScreen;
  }

  if (GameFrame > kFlashAfterFrame) RaiseClosingFlash();
  if (GameFrame < kShakeUntilFrame) StartScreenShake(4);
  if (GameFrame > kMusicAfterFrame) {
    SwitchMusicSlot(0);
    SceneWork[0] += 1;
  }
  if (IsGoodEnding()) SpawnPassingCarriers();
}
