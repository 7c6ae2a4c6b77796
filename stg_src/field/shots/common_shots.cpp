// The bullets of the common enemy-shot types (0..7, 15, 16) and the steps every shot behaviour
// shares; the beam pieces (8..14) are in beam_shots.cpp.
#include "stg_src/field/shots/common_shots.h"

#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kFarOffScreen = 60;
constexpr int16_t kNoSound = -1;
constexpr int16_t kCannonSound = 34;
constexpr int16_t kLargeSound = 33;
constexpr int16_t kTrailSound = 41;
constexpr int16_t kSeekerSound = 41;
constexpr int16_t kTrailDotType = 5;
constexpr int16_t kSeekerTrailDotType = 7;
// The seeker turns 8 steps a frame; after frame 90 it loses one every eighth frame.
constexpr int16_t kSeekerTurnRate = 8;
constexpr int kSeekerFadeStart = 90;
constexpr int kFragmentLife = 75;
constexpr int kPuffEffect = 1;

bool MeetsTerrain(const EnemyShot& s) {
  return TestTerrainHit(s.x + s.vx, s.y + s.vy, s.x, s.y, 1) >= 0;
}

void MoveRiding(EnemyShot& s) {
  s.x += s.vx + ScrollDeltaX;
  s.y += s.vy + ScrollDeltaY;
}

void SetAdditiveFull(EnemyShot& s) {
  s.additive = 1;
  s.alpha = 255;
}

// Types 5 and 7: a dot that rides the screen and fades from hurting to harmless.
void RunTrailDot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.age = 99;  // no muzzle flash
    SetAdditiveFull(s);
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    RideScrollAndFade(s, 6, 3, 5);
  } else if (s.state == 3) {
    s.state = 0;
  }
}

}  // namespace

void SetShotVelocity(EnemyShot& s, int angle, double speed) {
  const int a = WrapAngle(angle);
  s.vx = CosineTable[a] * speed;
  s.vy = SineTable[a] * speed;
}

bool IsShotFarOffScreen(const EnemyShot& s) { return IsOffScreen(s.x, s.y, kFarOffScreen, false); }

void CycleShotFlightAnim(EnemyShot& s) {
  if (s.frame % 3 != 0) return;
  s.anim += 1;
  if (s.anim > 7) s.anim = 4;
}

void PlayShotVanishFrames(EnemyShot& s) {
  s.anim = std::max<int16_t>(s.anim, 8);
  if (s.frame % 3 == 0) s.anim += 1;
  if (s.anim > 11) s.state = 0;
}

void AnchorShotToPart(EnemyShot& s, const EnemyPart& part) {
  s.workReal[2] = RotateOffsetX(part.x, s.linkOffset1, s.linkOffset2, s.drawAngle);
  s.workReal[3] =
      RotateOffsetY(part.y + part.drawOffsetY, s.linkOffset1, s.linkOffset2, s.drawAngle);
}

void UpdatePlainShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 8;
  MoveEnemyShotStraight(slot, 4, kNoSound, 1);
  s.drawAngle = 0;
}

void UpdateSmallShot(int16_t slot) {
  EnemyShots[slot].drawMargin = 8;
  MoveEnemyShotStraight(slot, 3, kNoSound, 0);
}

void UpdateLargeShot(int16_t slot) {
  EnemyShots[slot].drawMargin = 16;
  MoveEnemyShotStraight(slot, 10, kLargeSound, 1);
}

// Three circles along its course: the middle one and one 6 px ahead and behind.
void UpdateCannonShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  s.hitSize[1] = s.hitSize[2] = 3;
  s.hitDx[1] = 6;
  s.hitDx[2] = -6;
  MoveEnemyShotStraight(slot, 3, kCannonSound, 0);
}

void UpdateTrailShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  MoveEnemyShotStraight(slot, 7, kTrailSound, 0);
  SetAdditiveFull(s);
  if (s.state == 2 && s.frame % 2 == 0) SpawnEnemyShot(kTrailDotType, s.drawAngle, 0, s.x, s.y, 1);
}

void UpdateTrailDotShot(int16_t slot) { RunTrailDot(slot); }

void UpdateSeekerShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  SetAdditiveFull(s);
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.vx = s.vy = 0;
    s.workWord = kSeekerTurnRate;
    if (IsShotFarOffScreen(s)) s.state = 0;
    RequestSoundEffect(kSeekerSound);
    if (s.state == 0) return;
  }
  if (s.state == 2) {
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    s.drawAngle = static_cast<int16_t>(
        TurnTowardAngle(AimAngle(s.x, s.y, PlayerX, PlayerY), s.drawAngle, s.workWord));
    SetShotVelocity(s, s.drawAngle, s.speed);
    MoveRiding(s);
    CycleShotFlightAnim(s);
    if (s.frame > kSeekerFadeStart && s.frame % 8 == 0)
      s.workWord = std::max<int16_t>(s.workWord - 1, 0);
    if (s.frame % 2 == 0) SpawnEnemyShot(kSeekerTrailDotType, s.drawAngle, 0, s.x, s.y, 1);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}

void UpdateSeekerTrailDotShot(int16_t slot) { RunTrailDot(slot); }

// Thrown by a boss's explosion: no body, a puff every fourth frame, gone on terrain or after 75
// frames.
void UpdateBurningFragmentShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 0;
  s.anim = -1;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.age = 99;
    SetShotVelocity(s, s.drawAngle, s.speed);
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
    s.hitActive = 0;
    s.collides = 0;
  }
  if (s.state != 2 && s.state != 3) return;
  s.x += s.vx;
  s.y += s.vy;
  s.drawAngle = static_cast<int16_t>(AimAngle(0, 0, s.vx, s.vy));
  if (MeetsTerrain(s) || s.frame > kFragmentLife) {
    s.state = 0;
    return;
  }
  if (s.frame % 4 == 0) {
    SpawnEffect(kPuffEffect, s.x, s.y, static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
  }
}

// Drawn upright, it keeps its world course while the screen moves and reaches its speed in 32
// frames.
void UpdateAcceleratingShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 16;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
    s.upright = 1;
    s.workReal[0] = s.speed;       // target speed
    s.workReal[1] = s.speed / 32;  // acceleration
    s.speed = 0;
    s.vx = s.vy = 0;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    SetShotVelocity(s, s.motionAngle, s.speed);
    s.x += s.vx;
    s.y += s.vy;
    CycleShotFlightAnim(s);
    if (s.speed < s.workReal[0]) s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}

void SpawnBurningFragment(int16_t angle, double x, double y) {
  SpawnEnemyShot(15, angle, 5.2, x, y, 1);
}
