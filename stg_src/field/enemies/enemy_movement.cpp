#include "stg_src/field/enemies/enemy_movement.h"

#include <limits>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kTurnWait = 16;  // a turn starts once the count passes this
constexpr int32_t kLastLeanFrame = 3;
// Single-precision 0.15 and 0.075, held as reals.
constexpr double kWalkerGravity = 0.15000000596046448;
constexpr double kSlowFallGravity = 0.07500000298023224;
constexpr int16_t kLandTimer = 32;
constexpr int16_t kLongFlight = 2;  // airborne frames above this make a hard landing
constexpr int16_t kSlowFallerTurn = 8;
constexpr int16_t kUpAndRight = 896;
constexpr int16_t kDownAndRight = 128;
constexpr double kScreenMiddleY = 200;

bool Landed(int16_t result) { return result % 10 == 1; }

bool PlayerOnLeft(const EnemyObject& o) { return PlayerX <= o.x; }

void StepWalker(EnemyObject& o, int16_t turnRate, double gravity, bool floor) {
  const int16_t airFrames = o.airFrames;
  if (turnRate > 0) {
    o.angle = static_cast<int16_t>(TurnTowardAngle(o.groundSlope, o.angle, turnRate));
    o.angle2 = static_cast<int16_t>(TurnTowardAngle(o.groundSlope, o.angle2, turnRate));
  }
  o.vy += gravity;
  double x = o.x + o.vx, y = o.y + o.vy;
  o.vx = o.speed;
  o.groundSlope = 0;
  const double foot = floor ? o.probeOffset : 0, head = floor ? 0 : o.probeOffset;
  const int16_t result = FollowTerrain(&x, &y, o.airFrames, foot, head, o.x, o.y, &o.vx,
                                       &o.groundSpeed, &o.groundSlope);
  o.x = x;
  o.y = y;
  if (Landed(result)) {
    o.airFrames = 0;
    if (airFrames > kLongFlight) o.landTimer = kLandTimer;
    o.vy = 0;
  } else {
    o.airFrames = static_cast<int16_t>(o.airFrames + 1);
  }
}

void MoveAlongHeading(EnemyObject& o) {
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  o.angle = o.heading;
}

}  // namespace

int16_t CountUpSaturated(int16_t count) {
  return count < std::numeric_limits<int16_t>::max() ? static_cast<int16_t>(count + 1) : count;
}

void CountFramesOnScreen(EnemyObject& o) {
  const bool off = IsOffScreenXY(o.x, o.y, o.despawnMarginX, o.despawnMarginY, false, false);
  o.phase = off ? int16_t{0} : CountUpSaturated(o.phase);
}

void CountPlayerSide(EnemyObject* pool, int slot) {
  EnemyObject& o = pool[slot];
  if (PlayerOnLeft(o)) {
    if (o.sideCount < 0) o.sideCount = 0;
    o.sideCount += 1;
  } else {
    if (o.sideCount > 0) o.sideCount = 0;
    o.sideCount -= 1;
  }
}

void LeanTowardPlayer(EnemyObject* pool, int slot) {
  CountPlayerSide(pool, slot);
  EnemyObject& o = pool[slot];
  const bool evenFrame = o.frame % 2 == 0;
  if (PlayerOnLeft(o)) {
    if (o.imageFrame > 0 && (o.sideCount > kTurnWait || o.imageFrame < kLastLeanFrame) &&
        evenFrame) {
      o.imageFrame -= 1;
    }
  } else if (o.imageFrame < kLastLeanFrame && (o.sideCount < -kTurnWait || o.imageFrame > 0) &&
             evenFrame) {
    o.imageFrame += 1;
  }
  o.facing = o.imageFrame == 0 ? 0 : o.imageFrame == kLastLeanFrame ? 2 : 1;
}

void StepFloorWalker(EnemyObject* pool, int slot, double, int16_t turnRate) {
  StepWalker(pool[slot], turnRate, kWalkerGravity, true);
}

void StepCeilingWalker(EnemyObject* pool, int slot, double, int16_t turnRate) {
  StepWalker(pool[slot], turnRate, -kWalkerGravity, false);
}

void StepSlowFaller(EnemyObject* pool, int slot, uint8_t turn, uint8_t upward) {
  EnemyObject& o = pool[slot];
  o.angle = turn == 1
                ? static_cast<int16_t>(TurnTowardAngle(o.groundSlope, o.angle, kSlowFallerTurn))
                : int16_t{0};
  o.vy += upward == 1 ? -kSlowFallGravity : kSlowFallGravity;
  double x = o.x, y = o.y + o.vy;
  const double head = o.vy < 0 ? o.probeOffset : 0, foot = o.vy > 0 ? o.probeOffset : 0;
  int16_t slope = 0;
  const int16_t result =
      FollowTerrain(&x, &y, o.airFrames, foot, head, o.x, o.y, &o.vx, &o.groundSpeed, &slope);
  o.x = x;
  o.y = y;
  if (Landed(result)) {
    o.airFrames = 0;
    o.vy = 0;
  } else {
    o.airFrames = static_cast<int16_t>(o.airFrames + 1);
  }
}

bool IsTurnMarkerAhead(EnemyObject* pool, int slot, int16_t k, uint8_t back) {
  const EnemyObject& o = pool[slot];
  const int16_t m = IsTurnMarkerAt(o.x, o.y, back ? -o.probeOffset : o.probeOffset, k);
  return (m == -1 && o.speed <= 0) || (m == 1 && o.speed >= 0);
}

void StopAtTurnMarker(EnemyObject* pool, int slot, int16_t k, uint8_t back) {
  EnemyObject& o = pool[slot];
  if (IsTurnMarkerAhead(pool, slot, k, back)) {
    o.onMarker = 1;
    o.speed = 0;
  } else {
    o.onMarker = 0;
  }
}

void HomeOnPlayer(EnemyObject* pool, int slot, int16_t maxTurn) {
  EnemyObject& o = pool[slot];
  o.heading = static_cast<int16_t>(
      TurnTowardAngle(AimAngle(o.x, o.y, PlayerX, PlayerY), o.heading, maxTurn));
  MoveAlongHeading(o);
}

void TurnToScreenHalf(EnemyObject* pool, int slot, int16_t maxTurn) {
  EnemyObject& o = pool[slot];
  const int16_t target = WorldToScreenY(o.y) < kScreenMiddleY ? kUpAndRight : kDownAndRight;
  o.heading = static_cast<int16_t>(TurnTowardAngle(target, o.heading, maxTurn));
  MoveAlongHeading(o);
}

void SteerTowardY(EnemyObject* pool, int slot, double targetY, uint8_t upward, double speed,
                  int16_t n) {
  EnemyObject& o = pool[slot];
  const bool toward = upward == 1 ? targetY < o.y : targetY > o.y;
  const double goal = toward ? (upward == 1 ? -speed : speed) : 0;
  const double step = toward ? speed / n : speed / (2 * n);
  o.vy = ApproachValue(o.vy, step, goal);
}
