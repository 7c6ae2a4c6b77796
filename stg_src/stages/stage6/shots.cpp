// Stage 6's own shots (types 17..26): the big spinning shot, the cannon shot, the shot that
// bounces between the club's emitters, the trail dot (stage 5 borrows it), the long shot that
// fades in and homes once, the heavy shot that grows before it launches, the portal effects tied
// to a warp emitter, and the turning shot of the floor and ceiling gunners.
#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kBigShotSound = 49;
constexpr int16_t kBounceSound = 41;
constexpr int16_t kHeavySound = 40;
constexpr int16_t kLongSound = 52;
constexpr int16_t kTurningSound = 41;
constexpr int16_t kBounceTrailType = 20;
constexpr int16_t kTurnTrailType = 25;
constexpr int16_t kBounceGuard = 16;
constexpr int16_t kNoMuzzle = 99;  // an age past the muzzle image
constexpr int16_t kPortalDefaultMode = 100;
constexpr double kPortalRingStep = 1.5;

void MoveWithScroll(EnemyShot& s) {
  SetShotVelocity(s, s.motionAngle, s.speed);
  s.x += s.vx + ScrollDeltaX;
  s.y += s.vy + ScrollDeltaY;
}

// The portal effects: particles on a ring around the emitter they are tied to, falling in
// (type 23, the radius in vx shrinking by vy) or streaming out (type 24, growing). linkMode the
// size they grow to, workWord the direction on the ring, workReal 2 / 3 the emitter's point.
void RunPortalEffect(int16_t slot, bool inward) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 8;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    if (s.linkMode == 0) s.linkMode = kPortalDefaultMode;
    s.workWord = static_cast<int16_t>(LcgRandom() % 1024);
    s.hitActive = 0;
    s.age = kNoMuzzle;
    s.scale = 0;
    s.anim = s.linkMode < 0 ? 0 : 6;
    s.additive = 1;
    s.linkMode = static_cast<int16_t>(std::abs(s.linkMode));
    s.alpha = 255;
    s.collides = 0;
    s.vx = inward ? s.linkMode * 90 / 100 : 0;
    s.vy = kPortalRingStep;
  }
  if (s.state >= 3) {
    s.state = 0;
    return;
  }
  const int16_t m = s.linkMode;
  s.vx += inward ? -s.vy : s.vy;
  if (inward ? s.vx <= 0 : s.vx >= m * 90 / 100) s.state = 3;
  const EnemyPart* emitter = LinkedPart(s);
  if (emitter == nullptr || emitter->state != 2) {
    s.state = 3;
    return;
  }
  if (emitter->linkActive == 1) {
    s.drawAngle = emitter->angle;
    s.workReal[2] = emitter->x;
    s.workReal[3] = emitter->y;
  }
  s.scale = ApproachInt(s.scale, static_cast<int16_t>(m / 10), m);
  const int16_t last = s.anim >= 6 ? 11 : 5;  // five cells on from where it started
  if (s.frame % 3 == 0 && s.anim < last) s.anim += 1;
  s.x = s.workReal[2] + CosineTable[WrapAngle(s.workWord)] * s.vx;
  s.y = s.workReal[3] + SineTable[WrapAngle(s.workWord)] * s.vx;
}

}  // namespace

// Spins its picture to a random pose (one draw) and flies through the world without riding the
// scroll; a slow one (below 4) ends by its animation, a fast one only on terrain after frame 16 or
// far off screen. linkMode the animation's direction.
void UpdateStage6BigShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.state = 2;
    s.drawMargin = 48;
    s.hitSize[0] = 24;
    s.rotated = 1;
    SetShotVelocity(s, s.motionAngle, s.speed);
    RequestSoundEffect(kBigShotSound);
    s.removalMargin = 1000;
    s.anim = 0;
    s.age = kNoMuzzle;
    s.additive = 1;
    s.alpha = 192;
    s.drawAngle = static_cast<int16_t>(LcgRandom() % 1024);
    s.linkMode = 1;
  }
  if (s.state == 2) {
    if (s.frame > 16 && EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    s.x += s.vx;
    s.y += s.vy;
    if (s.frame % 4 == 0) {
      if (s.speed < 4) {
        s.anim += 1;
        if (s.anim > 7) s.state = 0;
      } else {
        s.anim += s.linkMode;
        if (s.anim > 4) {
          s.anim = 4;
          s.linkMode = -1;
        } else if (s.anim < 2) {
          s.anim = 2;
          s.linkMode = 1;
        }
      }
    }
    return;
  }
  BreakUpAgainstTerrain(s);
}

void UpdateStage6CannonShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 32;
  s.hitSize[1] = 3;
  s.hitDx[1] = 6;
  s.hitSize[2] = 3;
  s.hitDx[2] = -6;
  MoveEnemyShotStraight(slot, 3, -1, 0);
}

// Never on easy. Keeps a straight world course through terrain and turns back at the club's
// emitters (StageWork 0 left, 1 right) at most once in 16 frames; gone when the club drops its
// emitters (entry 0 back at 0). linkMode the bounce guard.
void UpdateStage6BouncingShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (GetDifficulty() == 0) {
    s.state = 0;
    return;
  }
  if (s.state == 1) {
    s.drawMargin = 32;
    s.passesTerrain = 1;
    s.linkMode = 0;
  }
  const bool moves = s.state <= 2;
  MoveEnemyShotStraight(slot, 7, kBounceSound, 0);
  s.additive = 1;
  if (s.state != 2) return;
  if (moves) {
    s.x -= ScrollDeltaX;
    s.y -= ScrollDeltaY;
  }
  if (s.frame % 2 == 0) SpawnEnemyShot(kBounceTrailType, s.drawAngle, 0, s.x, s.y, 1);
  if (s.linkMode == 0 && (s.x <= StageWork[0] || s.x >= StageWork[1])) {
    s.motionAngle = static_cast<int16_t>(ReflectAngle(s.motionAngle, 256));
    s.linkMode = kBounceGuard;
  }
  s.drawAngle = s.motionAngle;
  if (s.linkMode == kBounceGuard) SetShotVelocity(s, s.motionAngle, s.speed);
  if (s.linkMode > 0) s.linkMode -= 1;
  if (StageWork[0] == 0) s.state = 3;
}

// Starts on cell 4, past the cells that hit: it never hurts, shows cell 5 from its sixth frame
// and is gone at its twelfth.
void UpdateStage6TrailDotShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 64;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.age = kNoMuzzle;
    s.additive = 1;
    s.alpha = 255;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
  }
  if (s.state == 2) {
    RideScrollAndFade(s, 6, 3, 5);
  } else if (s.state >= 3) {
    s.state = 0;
  }
}

// Fades in harmless (alpha +16 a frame), brakes to rest, waits 80 frames, then takes one aim at
// the player and speeds up to 2.4; drawn and hit level. linkMode its step (0 brake, 1 wait,
// 2 go), workWord the wait.
void UpdateStage6LongShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.removalMargin = 64;
    s.drawMargin = 64;
    s.state = 2;
    constexpr int16_t kSizes[4] = {7, 8, 8, 7};
    constexpr double kOffsets[4] = {-21, -7, 7, 21};
    for (int k = 0; k < 4; ++k) {
      s.hitSize[k] = kSizes[k];
      s.hitDx[k] = kOffsets[k];
    }
    s.rotated = 1;
    s.additive = 1;
    s.alpha = 0;
    s.hitActive = 0;
    s.vx = s.vy = 0;
    s.linkMode = 0;
    s.workWord = 0;
    s.anim = 1;
    RequestSoundEffect(kLongSound);
    s.age = kNoMuzzle;
    s.motionAngle = s.drawAngle;
  }
  if (s.state == 2) {
    s.drawAngle = 0;
    if (s.alpha < 255) s.alpha = static_cast<int16_t>(s.alpha + 16);
    if (s.alpha > 254) {
      s.alpha = 255;
      s.hitActive = 1;
    }
    if (s.linkMode == 0) {
      s.speed = ApproachValue(s.speed, 0.4, 0);
      if (s.speed == 0) s.linkMode = 1;
    } else if (s.linkMode == 1) {
      s.workWord += 1;
      if (s.workWord >= 80) {
        s.linkMode = 2;
        s.motionAngle = static_cast<int16_t>(AimAngle(s.x, s.y, PlayerX, PlayerY));
      }
    } else {
      s.speed = ApproachValue(s.speed, 0.2, 2.4);
    }
    MoveWithScroll(s);
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 4);
  } else if (s.state >= 3) {
    s.anim = std::max<int16_t>(s.anim, 4);
    if (s.frame % 3 == 0) s.anim += 1;
    if (s.anim > 7) s.state = 0;
  }
}

// Grows in place from 10% to 150% in 10 frames (its hit radius with it, up to 30), then launches
// at its spawn speed (workReal 0); on terrain it shrinks away where it is.
void UpdateStage6HeavyShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.removalMargin = 160;
    s.drawMargin = 160;
    s.state = 2;
    s.rotated = 1;
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
    s.workReal[0] = s.speed;
    s.speed = s.vx = s.vy = 0;
    s.age = kNoMuzzle;
    s.additive = 1;
    s.alpha = 255;
    s.scale = 10;
    s.anim = 0;
    if (IsOffScreen(s.x, s.y, 64, false)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(kHeavySound);
  }
  if (s.frame % 3 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 4);
  if (s.state == 2) {
    if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
    MoveWithScroll(s);
    s.scale = static_cast<int16_t>(s.scale + 15);
    if (s.scale > 150) {
      s.scale = 150;
      s.speed = s.workReal[0];
    }
    s.hitSize[0] = static_cast<int16_t>(s.scale * 20 / 100);
    s.drawAngle = 0;
  } else if (s.state >= 3) {
    s.scale = static_cast<int16_t>(s.scale - 5);
    if (s.scale < 1) s.state = 0;
  }
}

void UpdateStage6PortalBlueShot(int16_t slot) { RunPortalEffect(slot, true); }
void UpdateStage6PortalRedShot(int16_t slot) { RunPortalEffect(slot, false); }

// Flies on until it reaches the player's height, stops, then turns toward the player's side and
// speeds up over 64 frames, dropping a trail dot every second frame while it moves; passes
// terrain. linkMode 1 once turned, workWord its frames, workReal 0 the launch speed, 1 the
// acceleration.
void UpdateStage6TurningShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 32;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.additive = 1;
    s.vx = s.vy = 0;
    s.linkMode = 0;
    s.workWord = 0;
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(kTurningSound);
    s.workReal[0] = s.speed;
    s.workReal[1] = s.speed / 64;
  }
  if (s.state == 2) {
    s.drawAngle = 0;
    s.workWord += 1;
    if (s.workWord > 20 && s.linkMode == 0) {
      const bool down = s.motionAngle <= 512;
      if (down ? PlayerY <= s.y : PlayerY >= s.y) {
        s.linkMode = 1;
        s.speed = 0;
        s.motionAngle = static_cast<int16_t>(s.x < PlayerX ? 0 : 512);
      }
    }
    if (s.linkMode == 1) s.speed = std::min(s.speed + s.workReal[1], s.workReal[0]);
    MoveWithScroll(s);
    CycleShotFlightAnim(s);
    if (s.frame % 2 == 0 && s.speed > 0) SpawnEnemyShot(kTurnTrailType, 0, 0, s.x, s.y, 1);
  } else if (s.state >= 3) {
    PlayShotVanishFrames(s);
  }
}
