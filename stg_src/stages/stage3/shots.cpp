// Stage 3's enemy shots: the vents' flame puffs and jets, the plain round shot, the sliding
// cannon's shell, the pods' flame that stops, re-aims and relaunches with its afterimages, and
// the ring shot that starts at rest.
//
// Work fields: the flame and the ring shot keep their launch speed in workReal[0] and its
// thirty-second part (the step) in workReal[1]; the flame counts its phase in linkMode (0 while
// braking) and the jet its animation direction there.
#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kNoSound = -1;
constexpr int16_t kShellSound = 34;
constexpr int16_t kFlameSound = 49;
constexpr int16_t kFlameTrailType = 21;

// The jet's terrain test waits this many frames, so a vent's flame leaves its own rock.
constexpr int kJetTerrainFrom = 17;
constexpr double kSlowJetSpeed = 4;
constexpr int16_t kJetRemovalMargin = 1000;
constexpr int16_t kJetAlpha = 192;

// The flame's phases after it stopped: it turns to the player as the count passes 49, and
// speeds up again from 51 on.
constexpr int16_t kFlameAimAt = 50;

void KeepLaunchSpeed(EnemyShot& s) {
  s.workReal[0] = s.speed;
  s.workReal[1] = s.speed / 32;
}

// Anim 2..7 with the flame's flicker: +1 every third frame, back to 2 past 7.
void CycleFlameAnim(EnemyShot& s) {
  if (s.frame % 3 != 0) return;
  s.anim += 1;
  if (s.anim > 7) s.anim = 2;
}

}  // namespace

void UpdateStage3FlameJetShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 48;
    s.state = 2;
    s.hitSize[0] = 24;
    s.rotated = 1;
    SetShotVelocity(s, s.motionAngle, s.speed);
    s.removalMargin = kJetRemovalMargin;
    s.anim = 0;
    s.age = 99;
    s.additive = 1;
    s.alpha = kJetAlpha;
    s.drawAngle = static_cast<int16_t>(LcgRandom() % 1024);
    s.linkMode = 1;
  }
  if (s.state == 2) {
    if (s.frame >= kJetTerrainFrom && EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    s.x += s.vx;
    s.y += s.vy;
    if (s.frame % 4 == 0) {
      if (s.speed < kSlowJetSpeed) {
        s.anim += 1;
        if (s.anim > 7) {
          s.state = 0;
          return;
        }
      } else {
        // A jet flickers between frames 2 and 4.
        s.anim += s.linkMode;
        if (s.linkMode == 1 && s.anim > 4) {
          s.anim = 4;
          s.linkMode = -1;
        } else if (s.linkMode == -1 && s.anim < 2) {
          s.anim = 2;
          s.linkMode = 1;
        }
      }
    }
    return;
  }
  BreakUpAgainstTerrain(s);
}

void UpdateStage3RoundShot(int16_t slot) {
  EnemyShots[slot].drawMargin = 16;
  MoveEnemyShotStraight(slot, 3, kNoSound, 0);
}

// Three circles along its course, and it does not ride the vertical scroll.
void UpdateStage3CannonShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  s.hitSize[1] = s.hitSize[2] = 3;
  s.hitDx[1] = 6;
  s.hitDx[2] = -6;
  MoveEnemyShotStraight(slot, 3, kShellSound, 0);
  if (s.state == 2) s.y -= ScrollDeltaY;
}

void UpdateStage3FlameShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 16;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.additive = 0;
    KeepLaunchSpeed(s);
    s.linkMode = 0;
    s.workWord = 0;
    s.age = 99;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(kFlameSound);
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
  }
  if (s.state == 2) {
    const double step = s.workReal[1];
    if (s.linkMode == 0) {
      s.speed = ApproachValue(s.speed, step / 3, 0);
      if (s.speed == 0) s.linkMode = s.workWord = 1;
    } else {
      s.linkMode = static_cast<int16_t>(s.linkMode + 1);
      if (s.linkMode == kFlameAimAt) {
        s.motionAngle = static_cast<int16_t>(AimAngle(s.x, s.y, PlayerX, PlayerY));
      } else if (s.linkMode > kFlameAimAt) {
        s.speed = ApproachValue(s.speed, step * 2 / 3, s.workReal[0]);
      }
    }
    SetShotVelocity(s, s.motionAngle, s.speed);
    s.x += s.vx + ScrollDeltaX;
    s.y += s.vy + ScrollDeltaY;
    CycleFlameAnim(s);
    if (s.frame % 4 == 0 && s.speed > 1) {
      SpawnEnemyShot(kFlameTrailType, static_cast<int16_t>(LcgRandom() % 1024), 0, s.x, s.y, 1);
    }
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}

void UpdateStage3FlameTrailShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 16;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.age = 99;
    s.additive = 1;
    s.alpha = 255;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    // A fading afterimage no longer hurts, nor can it be cancelled.
    RideScrollAndFade(s, 4, 4, 7);
  } else if (s.state == 3) {
    s.state = 0;
  }
}

void UpdateStage3RingShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 16;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 3;
    s.rotated = 1;
    s.additive = 0;
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
    KeepLaunchSpeed(s);
    s.speed = 0;
    s.vx = s.vy = 0;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    // Last frame's velocity: from rest the first test probes the scroll's movement alone.
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    SetShotVelocity(s, s.motionAngle, s.speed);
    s.x += s.vx;
    s.y += s.vy;
    CycleShotFlightAnim(s);
    s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}
