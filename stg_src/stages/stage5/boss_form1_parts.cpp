#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/boss_form1.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 1's parts besides the cannon: the side block and its arms, the guns and the missile
// launchers on the cannon, and the set-up they all share.

namespace stage5_form1 {

namespace {

struct Circle {
  int16_t size, dx, dy;
};
struct PartShape {
  int16_t hitMode;
  int32_t cullX, cullY;
  Circle circles[6];
};
constexpr PartShape kCannonShape = {
    1,
    160,
    80,
    {{6, -115, -25}, {6, -115, 25}, {13, -97, -33}, {13, -97, 33}, {16, -56, -31}, {16, -56, 31}}};
constexpr PartShape kEmitterShape = {
    1,
    0,
    0,
    {{18, 13, -37}, {18, 13, 37}, {16, -24, -50}, {16, -24, 50}, {12, -54, -54}, {12, -54, 54}}};
constexpr PartShape kSideShape = {
    1,
    96,
    80,
    {{12, -53, -31}, {12, -53, 31}, {18, -3, -30}, {18, -3, 30}, {28, 39, -22}, {28, 39, 22}}};
constexpr PartShape kGunShape = {1, 48, 48, {{5, 20, 0}, {3, 36, 0}}};
constexpr PartShape kLauncherShape = {1, 48, 48, {{18, 9, 0}}};
// The arms touch the ship but no shot can hurt or stop them.
constexpr PartShape kArmShape = {3, 144, 144, {{10, 56, 0}, {7, 80, 0}, {6, 104, 0}, {5, 128, 0}}};

const PartShape& ShapeOf(const EnemyPart& p) {
  switch (p.partType) {
    case 10:
      return p.variant == 1 ? kEmitterShape : kCannonShape;
    case 11:
      return kSideShape;
    case 12:
      return kGunShape;
    case 13:
      return kLauncherShape;
    default:
      return kArmShape;
  }
}

constexpr int16_t kSpreadAngles[] = {608, 512, 512, 416};
constexpr int16_t kRestAngles[] = {960, 1020, 4, 64};

void FireAlong(const EnemyPart& p, int16_t type, double speed, double along) {
  SpawnEnemyShot(type, p.angle, ScaleShotSpeed(speed), RotateOffsetX(p.x, along, 0, p.angle),
                 RotateOffsetY(p.y, along, 0, p.angle), 1);
}

void Turn(EnemyPart& p, int target, int step) {
  p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, step));
}

// Out to 80 px on x (startCos the speed) and after the player's height (startSin).
void SlideSideOut(EnemyPart& p) {
  p.startCos = ApproachValue(p.startCos, 0.05, 1.6);
  p.offsetX += p.startCos;
  if (p.offsetX >= 80) {
    p.offsetX = 80;
    p.startCos = 0;
  }
}
void TrackSide(EnemyPart& p) {
  p.startSin = TrackTowardPlayer(p.startSin, p.y, 0.8, 0.05);
  p.offsetY += p.startSin;
}

// Set-up on the first frame, then the parent part followed; false when the part is gone or
// ended this frame.
bool FollowCarrier(EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) SetUpFormOnePart(parts, partIndex);
  if (p.state == 2 && FollowParentPart(parts, p.parentPart, parts, partIndex) == 0) return false;
  return !EndIfDestroyed(p) && p.state == 2;
}

}  // namespace

void SetUpFormOnePart(EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const PartShape& shape = ShapeOf(p);
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.imageFrame = p.partType == 10 ? p.variant : 0;
  ClearPartHitCircles(parts, partIndex);
  p.hitMode = shape.hitMode;
  for (int k = 0; k < 6; ++k) {
    const Circle& c = shape.circles[k];
    if (c.size > 0) SetPartHitCircle(parts, partIndex, k, c.size, c.dx, c.dy);
  }
  p.cullMarginX = shape.cullX;
  p.cullMarginY = shape.cullY;
  p.cue = p.work0 = p.work1 = 0;
  if (p.partType == 10 && p.variant == 1) p.angle = 512;
  p.baseAngle = p.angle;
}

double TrackTowardPlayer(double speed, double y, double limit, double step) {
  if (PlayerY > y) return ApproachValue(speed, step, limit);
  if (PlayerY < y) return ApproachValue(speed, step, -limit);
  return speed;
}

bool ReturnOffset(double& offset, double& speed, double limit, double step) {
  if (offset == 0) {
    speed = 0;
    return true;
  }
  const bool below = offset < 0;
  speed = ApproachValue(speed, step, below ? limit : -limit);
  offset += speed;
  if (below ? offset >= 0 : offset <= 0) {
    offset = 0;
    speed = 0;
    return true;
  }
  return false;
}

bool EndIfDestroyed(EnemyPart& p) {
  if (p.state != 3) return false;
  p.state = 0;
  SpawnLargeExplosion(p.x, p.y, 1, -1);
  return true;
}

}  // namespace stage5_form1

using namespace stage5_form1;

// The side block: out to the right and after the player's height while the cannon is out, or
// for good once the cannon's core is gone; otherwise home on the form.
void UpdateStage5Boss1SidePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) SetUpFormOnePart(parts, partIndex);
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (EndIfDestroyed(p) || p.state != 2) return;
  const EnemyObject& o = pool[slot];
  if (o.phase == kCentre) {
    p.startCos = p.startSin = 0;
  } else if (o.phase == kSlideOut) {
    SlideSideOut(p);
  } else if (o.phase == kAttack) {
    TrackSide(p);
  } else if (o.phase >= kPatrol && o.phase <= kReturnY) {
    if (!IsLive(o, kCannonCoreSlot)) {
      SlideSideOut(p);
      TrackSide(p);
    } else {
      if (p.offsetX > 0) {
        p.startCos = ApproachValue(p.startCos, 0.05, -1.6);
        p.offsetX += p.startCos;
        if (p.offsetX <= 0) p.offsetX = p.startCos = 0;
      }
      ReturnOffset(p.offsetY, p.startSin, 2, 0.05);
    }
  }
}

// Guns: aimed within their arc in the patrol, level otherwise; a cue fires three shots.
void UpdateStage5Boss1GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  if (!FollowCarrier(parts, partIndex)) return;
  EnemyPart& p = parts[partIndex];
  const int16_t phase = pool[slot].phase;
  if (phase == kPatrol) {
    const auto aim = static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY));
    const int16_t target =
        p.variant == 1 ? ClampAngleToArc(aim, 448, 512, 0) : ClampAngleToArc(aim, 512, 576, 0);
    if (p.cue == 0) Turn(p, target, 4);
  } else if (phase == kReturnX || phase == kReturnY || phase == kCentre || phase == kAttack) {
    Turn(p, 512, 4);
  }
  if (p.cue > 0) {
    p.cue = static_cast<int16_t>(p.cue + 1);
    if (p.cue % 4 == 0) FireAlong(p, 1, 4.4, 44);
    if (p.cue > 13) p.cue = 0;
  }
}

// Launchers: a cue sends one homing missile from the muzzle along the launcher's angle.
void UpdateStage5Boss1LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  if (!FollowCarrier(parts, partIndex)) return;
  EnemyPart& p = parts[partIndex];
  const int16_t phase = pool[slot].phase;
  if (phase >= kPatrol && phase <= kReturnY) Turn(p, p.variant == 1 ? 384 : 640, 4);
  if (phase == kAttack) Turn(p, p.variant == 1 ? 256 : 768, 4);
  if (p.cue > 0) {
    SpawnPool2Enemy(RotateOffsetX(p.x, -8, -8, p.angle), RotateOffsetY(p.y, -8, -8, p.angle), 0,
                    p.angle);
    p.recoil = 8;
    p.cue = 0;
  }
}

// Arms: spread toward the player while attacking (or once the cannon's core is gone), at rest
// otherwise; they fire only when the second arm points straight left.
void UpdateStage5Boss1ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  if (!FollowCarrier(parts, partIndex)) return;
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  const int v = p.variant & 3;
  if (o.phase >= kPatrol && o.phase <= kReturnY) {
    Turn(p, IsLive(o, kCannonCoreSlot) ? kRestAngles[v] : kSpreadAngles[v], 8);
  } else if (o.phase == kAttack) {
    Turn(p, kSpreadAngles[v], 8);
  }
  if (parts[kArmSlot1].angle != 512) p.cue = 0;
  if (p.cue > 0) {
    FireAlong(p, 4, 4.4, 138);
    p.cue = 0;
  }
}
