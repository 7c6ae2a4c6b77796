// Stage 5's own shots (types 17, 18, 19 and 21): the cannon shot that holds a straight world
// course, the curving shot that brakes to a stop and drifts away, the seeker that stops and turns
// three times, and the turning shot that climbs or dives at the player's column with a trail of
// dots. Types 20 and 22 run stage 6's trail dot.
#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kCannonSound = 34;
constexpr int16_t kCurveSound = 33;
constexpr int16_t kTurningSound = 41;
constexpr int16_t kTrailDotType = 22;
constexpr int16_t kSeekerTurns = 3;
constexpr int16_t kSeekerTurnAfter = 44;  // timer frames between turns
constexpr int16_t kSeekerFirstTimer = 26;
constexpr int32_t kLateFrame = 91;  // from here the pauses stretch

// The set-up every stage-5 shot shares; false when the shot was dropped far off screen.
bool StartShot(EnemyShot& s, int16_t margin, int16_t radius, int16_t additive, int16_t sound) {
  s.drawMargin = margin;
  s.state = 2;
  s.hitSize[0] = radius;
  s.rotated = 1;
  s.additive = additive;
  s.vx = s.vy = 0;
  if (IsShotFarOffScreen(s)) {
    s.state = 0;
    return false;
  }
  RequestSoundEffect(sound);
  return true;
}

void MoveWithScroll(EnemyShot& s) {
  SetShotVelocity(s, s.motionAngle, s.speed);
  s.x += s.vx + ScrollDeltaX;
  s.y += s.vy + ScrollDeltaY;
}

// Later pauses stretch: from frame 91 on the timer loses one every eighth frame.
void StretchTimer(EnemyShot& s) {
  if (s.frame >= kLateFrame && s.frame % 8 == 0 && s.workWord > 0) s.workWord -= 1;
}

// anim +1 every third frame, kept within first..last.
void CycleAnimWithin(EnemyShot& s, int16_t first, int16_t last) {
  if (s.frame % 3 == 0) s.anim += 1;
  if (s.anim < first || s.anim > last) s.anim = first;
}

// The seeker's heading for a turn: steeper the farther the player is above or below.
int16_t SeekerTurnAngle(const EnemyShot& s, int16_t turn) {
  if (turn >= kSeekerTurns) return 512;
  const double dy = PlayerY - s.y;
  const bool below = dy > 0;
  const double apart = std::abs(dy);
  if (apart > 90) return below ? 288 : 736;
  if (apart < 20) return below ? 416 : 608;
  return below ? 352 : 672;
}

}  // namespace

// Straight in the world: the scroll the common motion adds is taken off again.
void UpdateStage5CannonShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  s.hitSize[1] = 3;
  s.hitDx[1] = 6;
  s.hitSize[2] = 3;
  s.hitDx[2] = -6;
  const bool moves = s.state <= 2;
  MoveEnemyShotStraight(slot, 3, kCannonSound, 0);
  if (moves && s.state >= 2) {
    s.x -= ScrollDeltaX;
    s.y -= ScrollDeltaY;
  }
}

// The launch angle is a drift, not a direction: it flies left, brakes to a stop in 45 frames,
// then speeds up left at a third of that rate while bending by its drift. linkMode the drift,
// workWord 0 braking / 1 drifting, workReal 0 the vertical drift a frame, 1 the braking step.
void UpdateStage5CurveShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    const int16_t d = static_cast<int16_t>(s.drawAngle > 768 ? s.drawAngle - 1024 : s.drawAngle);
    s.linkMode = d;
    s.drawAngle = 0;
    s.workReal[0] = s.speed / 600 * d;
    s.workReal[1] = s.speed / 45;
    s.motionAngle = 512;
    s.workWord = 0;
    if (!StartShot(s, 16, 7, 0, kCurveSound)) return;
  }
  if (s.state == 2) {
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    if (s.workWord == 0) {
      s.speed -= s.workReal[1];
      if (s.speed < 0) {
        s.speed = 0;
        s.workWord = 1;
      }
    } else {
      s.speed += s.workReal[1] / 3;
      s.vy += s.workReal[0];
    }
    s.vx = -s.speed;
    s.x += s.vx + ScrollDeltaX;
    s.y += s.vy + ScrollDeltaY;
    CycleShotFlightAnim(s);
  } else if (s.state >= 3) {
    PlayShotVanishFrames(s);
  }
}

// Stops dead and turns toward the player's height three times (the third straight left), then
// regains its launch speed in 16 frames after a 16-frame pause. linkMode the turns made, workWord
// the timer, workReal 0 the launch speed, 1 the acceleration.
void UpdateStage5SeekerShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.linkMode = 0;
    s.workWord = kSeekerFirstTimer;
    s.workReal[0] = s.speed;
    s.workReal[1] = s.speed / 16;
    s.anim = 6;
    if (!StartShot(s, 32, 3, 0, kCannonSound)) return;
  }
  if (s.state == 2) {
    s.drawAngle = 0;
    s.workWord += 1;
    if (s.workWord > kSeekerTurnAfter && s.linkMode < kSeekerTurns) {
      s.linkMode += 1;
      s.workWord = 0;
      s.speed = 0;
      s.motionAngle = SeekerTurnAngle(s, s.linkMode);
    }
    if (s.linkMode > 0 && s.speed < s.workReal[0] && s.workWord > 15)
      s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
    MoveWithScroll(s);
    StretchTimer(s);
    if (s.speed > 0) {
      CycleAnimWithin(s, 6, 7);
      s.drawAngle = s.motionAngle;
    } else {
      CycleAnimWithin(s, 4, 5);
      s.drawAngle = 0;
    }
  } else if (s.state >= 3) {
    PlayShotVanishFrames(s);
  }
}

// Flies on until it reaches the player's column, stops, then climbs or dives toward the player
// speeding up over 64 frames; a trail dot every second frame while it moves. linkMode 1 once
// turned, workWord the timer, workReal 0 the launch speed, 1 the acceleration.
void UpdateStage5TurningShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.linkMode = 0;
    s.workWord = 0;
    s.workReal[0] = s.speed;
    s.workReal[1] = s.speed / 64;
    if (!StartShot(s, 32, 4, 1, kTurningSound)) return;
  }
  if (s.state == 2) {
    s.drawAngle = 0;
    s.workWord += 1;
    if (s.workWord > 20 && s.linkMode == 0 && PlayerX >= s.x) {
      s.linkMode = 1;
      s.speed = 0;
      s.motionAngle = static_cast<int16_t>(s.y < PlayerY ? 256 : 768);
    }
    if (s.linkMode == 1) s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
    MoveWithScroll(s);
    CycleShotFlightAnim(s);
    StretchTimer(s);
    if (s.frame % 2 == 0 && s.speed > 0) SpawnEnemyShot(kTrailDotType, 0, 0, s.x, s.y, 1);
  } else if (s.state >= 3) {
    PlayShotVanishFrames(s);
  }
}
