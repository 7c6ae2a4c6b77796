#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/game/deterministic.h"

// The side guns' shot (shot type 17). Words: linkMode the flight phase; workReal[0] the relaunch
// speed, workReal[1] the braking step.

namespace {

enum Flight : int16_t { kFlyOff = 0, kBrake = 1, kAim = 2, kRelaunched = 3 };

constexpr int16_t kLaunchSound = 33;
constexpr int16_t kSpin = 133;
constexpr int16_t kAimTurn = 8;
constexpr int32_t kBrakeAfter = 23;
constexpr int32_t kAimBy = 120;
constexpr int32_t kRelaunchAfter = 160;

void SetUp(EnemyShot& s) {
  s.drawMargin = 16;
  s.state = 2;
  s.hitSize[0] = 4;
  s.rotated = 1;
  s.additive = 0;
  s.motionAngle = s.drawAngle;
  s.drawAngle = 0;
  s.linkMode = kFlyOff;
  s.workReal[0] = 2 * s.speed;
  s.workReal[1] = s.speed / 32;
  s.vx = s.vy = 0;
}

void Fly(EnemyShot& s) {
  if (EnemyShotMeetsTerrainAhead(s)) s.state = 3;
  s.vx = CosineTable[WrapAngle(s.motionAngle)] * s.speed;
  s.vy = SineTable[WrapAngle(s.motionAngle)] * s.speed;
  s.x += s.vx + ScrollDeltaX;
  s.y += s.vy + ScrollDeltaY;
  if (s.frame % 3 == 0) s.anim = static_cast<int16_t>(s.anim + 1);
  if (s.anim > 7) s.anim = 4;
  if (s.frame > kBrakeAfter && s.linkMode == kFlyOff) s.linkMode = kBrake;
  if (s.linkMode == kBrake) {
    if (s.speed > 0) {
      s.speed -= s.workReal[1];
      if (s.speed <= 0) {
        s.speed = 0;
        s.linkMode = kAim;
      }
    }
    if (s.frame > kAimBy) s.linkMode = kAim;
  } else if (s.linkMode == kAim) {
    const int aim = AimAngle(s.x, s.y, PlayerX, PlayerY);
    s.drawAngle = static_cast<int16_t>(TurnTowardAngle(aim, s.drawAngle, kAimTurn));
    if (s.frame > kRelaunchAfter) {
      s.linkMode = kRelaunched;
      s.speed = s.workReal[0];
      s.motionAngle = s.drawAngle;
    }
  }
  if (s.linkMode <= kBrake) s.drawAngle = static_cast<int16_t>(WrapAngle(s.drawAngle + kSpin));
}

}  // namespace

void UpdateStage2RetargetShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    SetUp(s);
    if (IsOffScreen(s.x, s.y, 60, false)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(kLaunchSound);
  }
  if (s.state == 2) {
    Fly(s);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}
