#include <cstdlib>
#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/boss_finale.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage1/stage1_boss.h"

#include "stg_src/game/deterministic.h"

// The boss body (pool 0, type 10). Words: intWork0 the arm word in the route, the fight leg
// after it; intWork1 the spin rate; intWork2 the spin sign; intWork3 the route command, then the
// arrival flag; sideCount the leg timer; realWork0/1 the fight target; groundSlope the lean the
// route turns toward.

namespace {

constexpr int16_t kTransformSound = 49;
constexpr int16_t kWaypointType = 18;
constexpr int16_t kBossReach = 8;
constexpr int32_t kFinaleFrame = 80;
constexpr double kEntrySpeed = 6.4;

enum Phase : int16_t {
  kEnter = 0,
  kBackOff = -1,
  kSettle = -2,
  kRoute = 1,
  kTransform = 2,
  kFight = 3,
};

enum Leg : int32_t { kRush = 0, kReposition = 1, kTurn = 2, kCross = 3 };

struct RouteCommand {
  int16_t heading;  // -1 keeps the heading
  int16_t lean;
  int32_t armWord;  // kKeepArms keeps it
  double targetY;   // negative: none
};

constexpr int32_t kKeepArms = 99;

// By route command 0..9.
constexpr RouteCommand kRouteCommands[kRouteCommandCount] = {
    {-1, 0, kKeepArms, -1},      // 0 hang still
    {256, 32, 1, 420},           // 1 down, spread
    {768, 992, -1, 320},         // 2 up, fold
    {768, 992, 1, 220},          // 3 up, spread
    {256, 32, -1, 320},          // 4 down, fold
    {256, 64, kKeepArms, 520},   // 5 steep down
    {768, 960, kKeepArms, 120},  // 6 steep up
    {768, 960, kKeepArms, 240},  // 7 steep up
    {256, 64, kKeepArms, 400},   // 8 steep down
    {0, 0, 0, -1},               // 9 fly on to the right
};

// The fan from the spread arms: angle and muzzle offset of each of its five shots.
struct FanShot {
  int16_t angle;
  double dx, dy;
};
constexpr FanShot kFan[] = {
    {896, 1, -22}, {960, 16, -14}, {0, 22, 0}, {64, 16, 14}, {128, 1, 22},
};
constexpr double kFanSpeed = 4.8;

struct PartSlot {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
};
constexpr PartSlot kPartsA[] = {
    {0, 22, -10, -30, 0, 0}, {1, 22, -10, 30, 0, 1}, {2, 23, -19, 0, 0, 0},  {3, 24, 30, -21, 0, 0},
    {4, 24, 34, 0, 0, 1},    {5, 24, 30, 21, 0, 2},  {6, 26, -180, 0, 0, 0},
};
constexpr PartSlot kPartsB[] = {
    {0, 20, 0, 0, 0, 0},     {1, 21, 0, -20, 0, 0}, {2, 21, 23, -43, 512, 0}, {3, 21, 0, 20, 0, 0},
    {4, 21, 23, 43, 512, 0}, {5, 27, 0, 0, 0, 0},   {6, 28, 8, -32, 0, 0},    {7, 28, 8, 32, 0, 1},
};

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }
int16_t Turn(int target, int current, int step) {
  return static_cast<int16_t>(TurnTowardAngle(target, current, step));
}
int16_t Aim(const EnemyObject& o, double x, double y) {
  return static_cast<int16_t>(AimAngle(o.x, o.y, x, y));
}

void AttachAll(EnemyPart* parts, const PartSlot* rows, int n) {
  for (int k = 0; k < n; ++k) {
    const PartSlot& r = rows[k];
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].variant = r.variant;
  }
}

void SetUp(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  BossType = static_cast<int16_t>(o.type);
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = kEntrySpeed;
  o.airFrames = 0;
  o.angle = 0;
  o.heading = 0;
  o.groundSlope = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 1;
  SetEnemyHitCircle(EnemyPool0, slot, 0, 32, 0, 0);
  o.phase = kEnter;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = o.cullMarginY = 64;
  o.realWork0 = o.realWork1 = 0;
  o.x -= 780;
  o.y += 20;
  AttachAll(o.partsA, kPartsA, static_cast<int>(std::size(kPartsA)));
  AttachAll(o.partsB, kPartsB, static_cast<int>(std::size(kPartsB)));
  o.partCountA = static_cast<int16_t>(std::size(kPartsA));
  o.partCountB = static_cast<int16_t>(std::size(kPartsB));
  o.imageFrame = 0;
  BossState = 1;
}

void Move(EnemyObject& o) {
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
}

// The first solid live pool-1 object within reach ends the scan: a waypoint hands over its
// command, anything else is smashed. A waypoint whose variant is no command is refused (the
// table is never read with it) and the boss keeps its course.
void ScanSolidObjects(EnemyObject& o) {
  if (SolidEnemyTimer <= 0) return;
  for (int i = 0; i < kEnemyPool1Size; ++i) {
    EnemyObject& s = EnemyPool1[i];
    if (s.solid == 0 || s.state != 2) continue;
    const int16_t r =
        static_cast<int16_t>(s.hitCircles.size[0] * (s.type == kWaypointType ? 1 : 4));
    if (!CirclesOverlap(o.x, o.y, s.x, s.y, kBossReach, r)) continue;
    if (s.type != kWaypointType) {
      s.state = 3;
    } else if (s.variant >= 0 && s.variant < kRouteCommandCount) {
      o.intWork3 = s.variant;
    } else {
      LogRefusedMapValue("stage 1 waypoint variant", s.variant);
    }
    return;
  }
}

void FireFan(const EnemyObject& o) {
  if (o.frame % ComputeFireInterval(48, o.rank) != ComputeFireInterval(24, o.rank)) return;
  if (!IsHarderThanEasy()) return;
  for (const FanShot& f : kFan) {
    SpawnEnemyShot(17, f.angle, ScaleShotSpeed(kFanSpeed), o.x + f.dx, o.y + f.dy, 1);
  }
}

void StepRoute(EnemyObject& o) {
  ScanSolidObjects(o);
  const int32_t command = o.intWork3 >= 0 && o.intWork3 < kRouteCommandCount ? o.intWork3 : 0;
  const RouteCommand& c = kRouteCommands[command];
  o.groundSlope = c.lean;
  if (c.heading >= 0) o.heading = c.heading;
  if (c.armWord != kKeepArms) o.intWork0 = c.armWord;
  if (command == 0) {
    o.speed = 0;
    o.heading = 0;
    o.angle = Turn(0, o.angle, 3);
  } else if (command == 9) {
    o.speed = ApproachValue(o.speed, 0.04, 4.8);
  } else {
    const bool down = c.lean < 513;
    if (down ? o.y >= c.targetY : o.y <= c.targetY) o.intWork3 = 0;
    const double d = std::abs(o.y - c.targetY);
    const double cruise = c.lean == 960 || c.lean == 64 ? 6.4 : 4.0;
    if (d > 80) {
      o.angle = Turn(c.lean, o.angle, 6);
      o.speed = ApproachValue(o.speed, 0.2, cruise);
    } else if (d > 40) {
      o.angle = Turn(0, o.angle, 3);
      o.speed = ApproachValue(o.speed, 0.2, cruise);
    } else {
      o.angle = Turn(0, o.angle, 3);
      o.speed = ApproachValue(o.speed, 0.04, 0.8);
    }
  }
  if (o.intWork0 == 2) {
    FireFan(o);
  } else if (o.x > ScreenToWorldX(520)) {
    o.phase = kTransform;
    RequestSoundEffect(kTransformSound);
  }
}

// The margin the fight keeps its targets from the screen's edges.
double FightMargin(double easier, double harder) { return Difficulty < 2 ? easier : harder; }

void AimAtPlayer(EnemyObject& o, double margin) {
  o.realWork0 = ClampToScreenX(PlayerX, margin);
  o.realWork1 = ClampToScreenY(PlayerY, margin);
  o.heading = Aim(o, o.realWork0, o.realWork1);
}

void StepTransform(EnemyObject& o) {
  o.partsA[6].state = 0;
  o.hitMode = 0;
  o.angle = Turn(512, o.angle, 16);
  o.speed = ApproachValue(o.speed, 0.15, 0);
  if (o.imageFrame < 3 && o.frame % 8 == 0) o.imageFrame += 1;
  o.intWork0 = kRush;
  o.intWork1 = 0;
  o.intWork2 = 1;
  o.intWork3 = 0;
  o.sideCount = 0;
  AimAtPlayer(o, FightMargin(100, 50));
  if (o.speed == 0) o.phase = kFight;
}

void StartLeg(EnemyObject& o, int32_t leg) {
  o.intWork0 = leg;
  o.sideCount = 0;
  o.intWork3 = 0;
}

void StepRush(EnemyObject& o) {
  const double step = 0.2 + 0.025 * Difficulty;
  if (o.intWork3 == 0) {
    o.speed = ApproachValue(o.speed, step, 4.8 + 0.6 * Difficulty);
    o.intWork1 =
        ApproachInt(static_cast<int16_t>(o.intWork1), 1, static_cast<int16_t>(27 * o.intWork2));
  } else {
    o.speed = ApproachValue(o.speed, step, 0);
    if (o.speed == 0) {
      StartLeg(o, kReposition);
      o.realWork0 = ScreenToWorldX(o.x < ScreenToWorldX(320) ? 500 : 140);
      o.realWork1 = ScreenToWorldY(o.y < ScreenToWorldY(200) ? 260 : 140);
      o.heading = Aim(o, o.realWork0, o.realWork1);
    }
  }
  o.partsB[5].cue = 1;
}

void StepRepositionOrCross(EnemyObject& o) {
  const bool cross = o.intWork0 == kCross;
  if (o.intWork3 == 0) {
    o.speed = ApproachValue(o.speed, 0.05, 2);
    if (o.frame % 3 == 0) {
      const int t = cross ? 2 * o.intWork2 * (Difficulty / 2 + 1) : 3 * o.intWork2;
      o.intWork1 = ApproachInt(static_cast<int16_t>(o.intWork1), 1, static_cast<int16_t>(t));
    }
  } else {
    o.speed = ApproachValue(o.speed, 0.1, 0);
    if (o.speed == 0) {
      StartLeg(o, cross ? kRush : kTurn);
      AimAtPlayer(o, FightMargin(80, 50));
    }
  }
  if (o.sideCount <= 40) return;
  if (o.intWork0 == kReposition && o.partsB[1].work0 == 0 &&
      o.frame % ComputeFireInterval(40, o.rank) == ComputeFireInterval(20, o.rank)) {
    for (int k = 1; k <= 4; ++k) o.partsB[k].work0 = 100;
  }
  if (o.intWork0 == kCross && o.partsB[1].cue == 0 && o.sideCount == 41) {
    for (int k = 1; k <= 4; ++k) o.partsB[k].cue = kTiedBeamStart;
  }
}

void StepTurn(EnemyObject& o) {
  o.intWork2 = -o.intWork2;
  StartLeg(o, kCross);
  const bool harder = Difficulty >= 2;
  const bool left = o.x < ScreenToWorldX(320);
  const bool high = o.y < ScreenToWorldY(200);
  o.realWork0 = ScreenToWorldX(left ? (harder ? 590 : 540) : (harder ? 50 : 100));
  o.realWork1 = ScreenToWorldY(high ? (harder ? 350 : 300) : (harder ? 50 : 100));
  o.heading = Aim(o, o.realWork0, o.realWork1);
}

void StepFight(EnemyObject& o) {
  o.realWork0 += ScrollDeltaX;
  o.realWork1 += ScrollDeltaY;
  o.partsB[5].cue = 0;
  const int32_t leg = o.intWork0;
  if (leg == kRush || leg == kReposition || leg == kCross) {
    if (SquaredDistance(o.x, o.y, o.realWork0, o.realWork1) <= 1600 ||
        std::abs(o.x - o.realWork0) < 20) {
      o.intWork3 = 1;
    }
  }
  if (leg == kRush) {
    StepRush(o);
  } else if (leg == kReposition || leg == kCross) {
    StepRepositionOrCross(o);
  } else {
    StepTurn(o);
  }
  o.angle = Wrap(o.angle + o.intWork1);
  o.sideCount += 1;
}

void StepLive(EnemyObject& o) {
  Move(o);
  if (o.frame == 30 || o.frame == 3020) o.partsA[6].cue = 1;
  switch (o.phase) {
    case kEnter:
      if (o.x > ScreenToWorldX(120)) o.phase = kBackOff;
      break;
    case kBackOff:
      o.speed = ApproachValue(o.speed, 0.4, -4.8);
      if (o.x < ScreenToWorldX(80)) o.phase = kSettle;
      break;
    case kSettle:
      o.speed = ApproachValue(o.speed, 0.4, 0);
      if (o.speed >= 0) {
        o.speed = 0;
        o.phase = kRoute;
      }
      break;
    case kRoute:
      StepRoute(o);
      break;
    case kTransform:
      StepTransform(o);
      break;
    default:
      StepFight(o);
      break;
  }
}

// The 80 frames of blasts after the core's death; the parts that could still fire go first.
void StepDying(EnemyObject& o) {
  for (int k = 0; k <= 5; ++k) o.partsA[k].state = 0;
  for (int k = 0; k <= 4; ++k) o.partsB[k].state = 0;
  DriftToAStop(o);
  if (o.frame == kFinaleFrame) {
    FinishBossWhereItStands(o);
  } else if (o.frame % 4 == 0) {
    SpawnMediumBlastInBox(o.x, o.y, 128, 128);
  } else if (o.frame % 4 == 2) {
    SpawnSmallBlastInBox(o.x, o.y, 128, 128);
  }
}

}  // namespace

void UpdateStage1Boss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUp(slot);
    return;
  }
  if (o.state == 2) {
    StepLive(o);
    return;
  }
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepDying(o);
}

// The core (part type 20). cue counts the frames after its clock passed kCoreOpenFrames; work1
// holds its life while it is closed (life -1).
void UpdateStage1BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.unlockWeight = 2;
    p.state = 2;
    const int32_t c = ScaleLifeByRank(1100);
    p.work1 = static_cast<int16_t>(c);
    p.life = -1;
    p.maxLife = p.scoreBase = c;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 32, 0, 0);
    p.cue = 0;
    p.work0 = 0;
    p.imageFrame = kCoreClosedFrame;
    p.cullMarginX = p.cullMarginY = 16;
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = boss.angle;
    if (boss.phase < kFight) p.counter = 0;
    if (boss.phase == kFight) {
      if (p.counter <= kCoreOpenFrames) {
        if (p.counter % 4 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
        if (p.imageFrame < 4 && p.life < 0) p.life = p.work1;
      } else {
        if (p.counter % 4 == 0 && p.imageFrame < kCoreClosedFrame) p.imageFrame += 1;
        if (p.imageFrame == kCoreClosedFrame) p.life = -1;
        p.cue = static_cast<int16_t>(p.cue + 1);
        if (p.cue > kCoreCloseFrames) p.state = 3;
      }
    }
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    boss.state = 3;
    return;
  }
  if (p.state != 0) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.state = boss.state;
  }
}
