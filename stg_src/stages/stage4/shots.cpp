// Stage 4's own shots (types 17..21): the ring pods' shot that holds a straight world course,
// the wall guns' bouncing shot with its trail dots, the spinning shot the boss's shells leave,
// and the mid-boss's shot that bursts in three.
#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kBounceGuard = 16;
constexpr int16_t kTrailDotType = 19;
constexpr int16_t kBurstPieceType = 22;
constexpr double kBurstSpeedShare = 2.0 / 3.0;
constexpr double kBurstSplitLine = 200;  // screen y

}  // namespace

// Flies straight in the world: the scroll the common motion adds is taken off again.
void UpdateStage4PodShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 8;
  MoveEnemyShotStraight(slot, 4, -1, 1);
  s.drawAngle = 0;
  if (s.state == 2) {
    s.x -= ScrollDeltaX;
    s.y -= ScrollDeltaY;
  }
}

// Passes terrain and turns at the carrier's wall lines (StageWorkY 0 above, 1 below), at most once
// in 16 frames; workWord is that guard. Drops a trail dot every second frame.
void UpdateStage4BouncingShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 32;
    s.passesTerrain = 1;
    s.workWord = 0;
  }
  MoveEnemyShotStraight(slot, 7, 41, 0);
  if (s.state != 2) return;
  if (s.frame % 2 == 0) SpawnEnemyShotHigh(kTrailDotType, 0, 0, s.x, s.y, 1);
  if (s.workWord == 0 && (s.y <= StageWorkY[0] || s.y >= StageWorkY[1])) {
    s.motionAngle = static_cast<int16_t>(ReflectAngle(s.motionAngle, 0));
    s.workWord = kBounceGuard;
  }
  if (s.workWord == kBounceGuard) SetShotVelocity(s, s.motionAngle, s.speed);
  s.drawAngle = 0;
  if (s.workWord > 0) s.workWord -= 1;
}

// Never collides; the cancel rule takes it only while it is young.
void UpdateStage4BounceTrailShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 32;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 0;
    s.age = 99;
    s.anim = 0;
    s.collides = 0;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    s.drawAngle = 0;
    RideScrollAndFade(s, 2, 3, 5);
  } else if (s.state >= 3) {
    s.state = 0;
  }
}

// Starts at rest and small, grows to full size in 18 frames and full speed in 32 while it spins,
// and shrinks away where it hit. workReal 0 is its launch speed, 1 its acceleration.
void UpdateStage4SpinningShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 64;
    s.state = 2;
    s.hitSize[0] = 30;
    s.rotated = 1;
    s.additive = 1;
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
    s.workReal[0] = s.speed;
    s.workReal[1] = s.speed / 32;
    s.speed = 0;
    s.vx = s.vy = 0;
    s.age = 99;
    s.alpha = 255;
    s.scale = 10;
    s.anim = 0;
    if (IsOutsideScreen(s.x, s.y, 64)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(49);
  }
  if (s.frame % 3 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 4);
  if (s.state == 2) {
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    SetShotVelocity(s, s.motionAngle, s.speed);
    s.x += s.vx + ScrollDeltaX;
    s.y += s.vy + ScrollDeltaY;
    s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
    s.scale = static_cast<int16_t>(std::min(s.scale + 5, 100));
    s.hitSize[0] = static_cast<int16_t>(s.scale * 30 / 100);
    s.drawAngle = static_cast<int16_t>(WrapAngle(s.drawAngle + 32));
  } else if (s.state >= 3) {
    s.scale = static_cast<int16_t>(s.scale - 5);
    if (s.scale < 1) {
      s.scale = 0;
      s.state = 0;
    }
  }
}

// Bursts once into three plain shots when it ends in the field (terrain, a hit, a cancel), from
// the position it had before its last move (workReal 0 and 1); workWord marks the burst done. A
// shot that leaves the screen is removed without bursting.
void UpdateStage4BurstShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 16;
    s.workWord = 0;
  }
  if (s.state == 3 && s.workWord == 0) {
    const int base = WorldToScreenY(s.y) < kBurstSplitLine ? 0 : 768;
    const double x = RotateOffsetX(s.workReal[0], 4, 0, s.motionAngle);
    const double y = RotateOffsetY(s.workReal[1], 4, 0, s.motionAngle);
    for (int k = 0; k < 3; ++k)
      SpawnEnemyShot(kBurstPieceType, static_cast<int16_t>(WrapAngle(base + 128 * k)),
                     s.speed * kBurstSpeedShare, x, y, 1);
    s.workWord = 1;
  }
  if (s.state <= 2) {
    s.workReal[0] = s.x;
    s.workReal[1] = s.y;
  }
  MoveEnemyShotStraight(slot, 10, 33, 1);
}
