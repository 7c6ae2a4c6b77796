#include "stg_src/stages/stage7/stage7.h"

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
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

// Fire (pool 0 type 10): realWork0 its screen x, realWork1 its step; drawn additively.
// Carriers (types 11 and 12): speed their drift across the screen. Thruster (part type 2):
// work0 the variant's last digit.

namespace {

constexpr double kFireStartScreenX = -160;
constexpr double kFireScreenY = 240;
constexpr double kFireStep = 0.8;
constexpr int16_t kAdditiveFull = 511;
// Effect points reach this far either way from the fire's centre.
constexpr int kFireSpread = 240;
constexpr int kFireEffectMargin = 60;
constexpr int16_t kDefaultSound = -1;
// The flash above this with the trigger entry set ends the fires.
constexpr int16_t kFireEndFlash = 250;
constexpr double kGoodEndingShipScreenX = -40;
constexpr double kGoodEndingShipDrift = 0.1;
constexpr double kLostShipHiddenScreenX = -100;

struct CarrierKind {
  double speed;
  double startScreenX;
  int32_t marginX, marginY;
  bool thruster;
};
constexpr CarrierKind kBokan = {-1.6, 640 + 464, 470, 40, false};
constexpr CarrierKind kBokan2 = {-1, 640 + 232, 240, 40, true};
constexpr int16_t kThrusterPartType = 2;
constexpr double kThrusterOffsetX = -178;

void SetUpFire(EnemyObject& o, int16_t slot) {
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.realWork0 = kFireStartScreenX;
  o.realWork1 = kFireStep;
  o.despawnMarginX = 660;
  o.despawnMarginY = 4288;
  o.cullMarginX = o.cullMarginY = 240;
  o.probeOffset = 0;
  o.x = ScreenToWorldX(kFireStartScreenX);
  o.y = ScreenToWorldY(kFireScreenY);
  o.blend = kAdditiveFull;
}

// At most one event a frame, at a random point around the fire; both numbers are drawn even
// when the point is off screen and nothing comes of it.
void SpawnFireEvent(const EnemyObject& o) {
  const int32_t f = o.frame;
  const bool effect = f % 48 == 0;
  const bool large = f % 16 == 7;
  const bool medium = f % 8 == 3;
  const bool spark = f % 8 == 5;
  if (!effect && !large && !medium && !spark) return;
  const int r1 = LcgRandom();
  const int r2 = LcgRandom();
  const double x = o.x + r1 % (2 * kFireSpread + 1) - kFireSpread;
  const double y = o.y + r2 % (2 * kFireSpread + 1) - kFireSpread;
  if (IsOutsideScreen(x, y, kFireEffectMargin)) return;
  if (effect) {
    SpawnEffect(32, x, y, 0, 0, 0);
  } else if (large) {
    SpawnLargeExplosion(x, y, 0, kDefaultSound);
  } else if (medium) {
    SpawnMediumExplosion(x, y, 0, kDefaultSound);
  } else {
    SpawnSparkBurst(x, y, 0, kDefaultSound);
  }
}

// The flash has peaked and the closing script has set its trigger: the fire goes and leaves the
// ship where the ending wants it.
void EndFire(EnemyObject& o) {
  o.state = 0;
  ScreenFlashWhite = 255;
  EndingShipSpeed = 0;
  if (Credits == 9) {
    EndingShipScreenX = kGoodEndingShipScreenX;
    EndingShipSpeed = kGoodEndingShipDrift;
  } else {
    EndingShipScreenX = kLostShipHiddenScreenX;
  }
  PlayerX = ScreenToWorldX(EndingShipScreenX);
}

void SetUpCarrier(EnemyObject& o, int16_t slot, const CarrierKind& kind) {
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.facing = 0;
  o.angle = 0;
  o.speed = kind.speed;
  o.despawnMarginX = o.cullMarginX = kind.marginX;
  o.despawnMarginY = o.cullMarginY = kind.marginY;
  o.x = ScreenToWorldX(kind.startScreenX);
  if (kind.thruster) {
    AttachPart(o.partsA, 0, kThrusterPartType, kThrusterOffsetX, 0, 0, 0);
    o.partCountA = 1;
  }
}

void UpdateCarrier(int16_t slot, const CarrierKind& kind) {
  EnemyObject& o = EnemyPool0[slot];
  // The set-up frame leaves it at its start; it drifts from the next one.
  if (o.state == 1) {
    SetUpCarrier(o, slot, kind);
  } else if (o.state == 2) {
    o.x += o.speed + ScrollDeltaX;
  }
}

}  // namespace

void UpdateStage7Fire(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  // The set-up frame leaves it at its start; it moves from the next one.
  if (o.state == 1) {
    SetUpFire(o, slot);
    return;
  }
  if (o.state != 2) return;
  o.realWork0 += o.realWork1;
  o.x = ScreenToWorldX(o.realWork0);
  o.y = ScreenToWorldY(kFireScreenY);
  SpawnFireEvent(o);
  if (ScreenFlashWhite > kFireEndFlash && StageWork[0] > 0) EndFire(o);
}

void UpdateStage7Bokan(int16_t slot) { UpdateCarrier(slot, kBokan); }
void UpdateStage7Bokan2(int16_t slot) { UpdateCarrier(slot, kBokan2); }

void UpdateStage7VerniaPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    p.blend = kAdditiveFull;
    ClearPartHitCircles(parts, partIndex);
    p.cue = 0;
    p.work0 = static_cast<int16_t>(p.variant % 10);
    p.work1 = 0;
  }
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 1) {
    p.imageFrame = GameFrame / 2 % 4;
  }
}

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
