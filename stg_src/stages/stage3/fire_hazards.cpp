// Stage 3's fire: flame vents that blow bursts along a fixed direction once the screen reaches
// them, the falling-fire event (a vent of variant 30 that drops columns of fire from the top of
// the screen for 960 frames and fades them through StageMarker), the fire curtain hanging at the
// top of the screen, the launchers that ride the screen and fire two volleys of fireballs, the
// fireballs (a shot-down large one splits, a shot-down small one spits shots above easy) and
// the falling columns.
//
// Vent words: intWork0 the burst counter (0 none), intWork1 the arming counter (0 not armed).
// Curtain words: realWork0 its screen y, realWork1 its descent a frame.
// Launcher words: intWork0 the volleys fired; the direction is (variant - 54) x 64 + 256.
#include <algorithm>
#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage3/circle_probe.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr double kTurnBackX = 9200;  // vents and sliding rocks face left from here
constexpr int16_t kEventVariant = 30;
constexpr int16_t kFlameJetShot = 17;
constexpr int16_t kRoundShot = 18;
constexpr int16_t kVentSound = 52;
constexpr int16_t kFallingFireSound = 53;
constexpr int16_t kFireballSound = 31;
constexpr int16_t kFireballEffect = 2;
constexpr int32_t kEventFrames = 960;
constexpr int16_t kFallingFire = 19;
constexpr int16_t kLargeFireball = 10;
constexpr int16_t kSmallFireball = 11;
constexpr int16_t kLowestLauncherVariant = 54;
constexpr double kCurtainLowest = -60;
constexpr double kCurtainFadeBelow = 1400;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

void SetUpVent(EnemyObject& o) {
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(5);
  o.imageFrame = -1;
  o.vx = o.vy = 0;
  o.airFrames = -1;
  o.hitCircles = {};
  o.hitMode = 0;
  SetMargins(o, 60, 2000, 0, 0);
  o.intWork0 = o.intWork1 = o.intWork2 = 0;
  if (o.variant != kEventVariant) {
    o.x += o.x < kTurnBackX ? -20 : 20;
    o.y += 20;
  }
  o.heading = o.angle = o.x < kTurnBackX ? int16_t{0} : int16_t{512};
}

// Puffs every 8th frame, then the jet from the 12th count; a burst runs 25 counts.
void StepVentBurst(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.frame % 2 == 0) {
    if (o.intWork0 == 1) RequestSoundEffect(kVentSound);
    o.intWork0 += 1;
    if (o.intWork0 >= 12) {
      SpawnEnemyShot(kFlameJetShot, o.heading, 16, o.x, o.y, 0);
    } else if (o.frame % 8 == 0) {
      SpawnEnemyShot(kFlameJetShot, o.heading, 1, o.x, o.y, 0);
    }
  }
  if (o.intWork0 >= 25) {
    o.intWork0 = 0;
    if (WorldToScreenY(o.y) < 0) o.state = 0;
  }
}

void StepFallingFireEvent(EnemyObject& o) {
  if (o.intWork1 < 4) StageMarker = 255;
  if (o.frame % 8 == 0 && o.frame <= kEventFrames) {
    o.y = ScreenToWorldY(0);
    const int16_t s = SpawnPool1Enemy(o.x, o.y, kFallingFire, 256, -1, 0);
    if (s >= 0) {
      EnemyPool1[s].imageFrame = o.intWork0 == 1 ? 1 : 0;
      if (o.intWork0 == 1) RequestSoundEffect(kFallingFireSound);
      o.intWork0 += 1;
    }
  }
  StageMarker = std::clamp((kEventFrames - o.frame) * 4, 0, 255);
}

// Two volleys, 20 frames apart; then the launcher is done.
template <typename Volley>
void StepLauncher(int16_t slot, Volley volley) {
  EnemyObject& o = EnemyPool0[slot];
  o.x += ScrollDeltaX;
  o.y += ScrollDeltaY;
  if (o.frame % 20 != 0) return;
  volley(o, static_cast<int16_t>((o.variant - kLowestLauncherVariant) * 64 + 256));
  o.intWork0 += 1;
  if (o.intWork0 >= 2) o.state = 0;
}

void Throw(int16_t type, double x, double y, int a) { SpawnPool1Enemy(x, y, type, Wrap(a), -1, 0); }

void SetUpLauncher(EnemyObject& o, int32_t work1) {
  o.state = 2;
  o.frame = 0;
  o.life = -1;
  o.imageFrame = -1;
  o.hitCircles = {};
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = work1;
  SetMargins(o, 40, 40, 0, 0);
  o.x += 20;
  if (o.variant < kLowestLauncherVariant) o.state = 0;
}

}  // namespace

void UpdateStage3FlameVent(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpVent(o);
    return;
  }
  if (o.state != 2) return;
  if (o.intWork1 == 0) {
    const int limit = o.variant > 29 ? 0 : o.variant;
    if (WorldToScreenY(o.y) <= limit * 40) o.intWork1 = 1;
  }
  if (o.intWork1 == 0) return;
  if (o.intWork0 == 0 && (o.intWork1 == 1 || o.intWork1 % ComputeFireIntervalFlat(120, o.rank) ==
                                                 ComputeFireInterval(10, o.rank))) {
    o.intWork0 = 1;
  }
  o.intWork1 += 1;
  if (o.intWork0 == 0) return;
  if (o.variant == kEventVariant) {
    StepFallingFireEvent(o);
  } else {
    StepVentBurst(slot);
  }
}

void UpdateStage3FallingFire(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.vx = o.vy = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 224, -120, 0);
    o.hitMode = 3;
    o.phase = 0;
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    o.realWork0 = o.realWork1 = o.realWork2 = o.realWork3 = 0;
    SetMargins(o, 640, 200, 280, 160);
    o.x += 48;
    o.y -= 160;
    o.heading = o.angle = 256;
    return;
  }
  if (o.state != 2) return;
  o.y += 24;
  StartScreenShake(8);
  o.blend = static_cast<int16_t>(StageMarker + 256);
  if (o.blend < 320) o.hitMode = 0;
  if (o.blend <= 256) o.state = 0;
}

void UpdateStage3FireCurtain(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = 0;
    o.hitCircles = {};
    o.hitMode = 0;
    o.phase = 0;
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    o.realWork0 = -240;
    o.realWork1 = 0.2;
    SetMargins(o, 660, 4288, 240, 240);
    o.probeOffset = 0;
    o.x = ScreenToWorldX(320);
    o.y = ScreenToWorldY(-240);
    o.blend = 511;
    return;
  }
  if (o.state != 2) return;
  o.realWork0 = std::min(o.realWork0 + o.realWork1, kCurtainLowest);
  o.x = ScreenToWorldX(320);
  o.y = ScreenToWorldY(o.realWork0);
  if (ScreenToWorldY(0) > kCurtainFadeBelow) {
    o.blend -= 1;
    if (o.blend == 257) o.state = 0;
  }
}

void UpdateStage3FireballVolley(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpLauncher(o, 10);
    return;
  }
  if (o.state != 2) return;
  StepLauncher(slot, [](const EnemyObject& l, int16_t a) {
    if (l.intWork0 == 0) {
      Throw(kLargeFireball, l.x, l.y, a);
      return;
    }
    if (Difficulty <= 1) {
      Throw(kSmallFireball, l.x, l.y - 60, a - 16);
      Throw(kSmallFireball, l.x, l.y + 60, a + 16);
    }
    const bool odd = GameFrame % 2 != 0;
    Throw(odd ? kSmallFireball : kLargeFireball, l.x, l.y - 60, a - 16);
    Throw(odd ? kLargeFireball : kSmallFireball, l.x, l.y + 60, a + 16);
  });
}

void UpdateStage3SmallFireballVolley(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpLauncher(o, 0);
    o.y += GetVariantYShift(o.variant);
    return;
  }
  if (o.state != 2) return;
  StepLauncher(slot, [](const EnemyObject& l, int16_t a) {
    if (l.intWork0 == 0) {
      Throw(kSmallFireball, l.x, l.y, a);
      return;
    }
    Throw(kSmallFireball, l.x, l.y - 40, a - 16);
    Throw(kSmallFireball, l.x, l.y + 40, a + 16);
  });
}

void UpdateStage3Fireball(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  const bool large = o.type == kLargeFireball;
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    // Scaled by rank twice over, as the fireballs always were.
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(ScaleLifeByRank(15));
    o.imageFrame = 0;
    o.vx = o.vy = 0;
    o.heading = o.angle;
    o.angle = static_cast<int16_t>(LcgRandom() % 1024);
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.speed = large ? 3.2 : 2.8;
    SetEnemyHitCircle(EnemyPool1, slot, 0, large ? 16 : 10, 0, 0);
    o.cullMarginX = o.cullMarginY = large ? 32 : 24;
    o.hitMode = 1;
    o.phase = 0;
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    o.despawnMarginX = o.despawnMarginY = 40;
    return;
  }
  if (o.state == 2) {
    const double oldX = o.x, oldY = o.y;
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
    o.x += o.vx;
    o.y += o.vy;
    o.angle = o.heading;
    if (TestTerrainAroundCircle(oldX, oldY, o.x, o.y, o.hitCircles.size[0]) >= 0) o.state = 4;
    o.imageFrame = (o.frame / 3) % 4;
    return;
  }
  if (o.state != 3 && o.state != 4) return;
  SpawnEffect(kFireballEffect, o.x, o.y, 0, 0, 0);
  RequestSoundEffect(kFireballSound);
  const bool shotDown = o.state == 3;
  o.state = 0;
  if (!shotDown) return;
  for (int turn : {-96, 0, 96}) {
    if (large) {
      SpawnPool1Enemy(o.x, o.y, kSmallFireball, Wrap(o.heading + turn), -1, 0);
    } else if (Difficulty > 0) {
      SpawnEnemyShot(kRoundShot, Wrap(o.heading + turn), 2 + 0.1 * Difficulty, o.x, o.y, 1);
    }
  }
}

void UpdateStage3SmallFireball(int16_t slot) { UpdateStage3Fireball(slot); }
