// The serpent: an invisible head that steers by a waypoint machine with random branches, and a
// chain of 15 joints and 16 segments that follow its path point by point. The path is kept in
// two trails, StageWork (x) and StageWorkY (y), entry 0 the newest, shifted only on moving
// frames. While the serpent lives the scroll stops once the view's right edge reaches 9200.
//
// Head words: angle the motion, heading the sideways swing's phase (+8 a moving frame), speed
// 0..4, phase 0 waiting / 1 moving; intWork0 the steering state, intWork1 its target direction,
// intWork2 the swing w (-24..24), intWork3 the attack counter (0, then 2..48); realWork0 and
// realWork1 this frame's head point. Parts: partsA 0..14 the joints, partsB 0 the tail, 1..14
// the body, 15 the head segment (the only one that can be hurt); each counts its own frames.
#include <cstdlib>
#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kJointPart = 18;
constexpr int32_t kSegmentPart = 19;
constexpr int kJoints = 15;
constexpr int kSegments = 16;
constexpr int kTail = 0;
constexpr int kHead = 15;
constexpr double kScrollStopX = 9200;
constexpr int32_t kHeadCloseAfter = 3900;
constexpr int32_t kHeadTimeOut = 4120;
constexpr int32_t kAttackEnd = 48;
constexpr int32_t kBodyVolleyAt = 28;
constexpr int kBodyOpenFrame = 11;
constexpr int kBodyClosedFrame = 6;
constexpr int kTailFrame = 12;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }

// Trail entries of joint k and segment k.
int JointEntry(int k) { return 247 - 16 * k; }
int SegmentEntry(int k) { return 255 - 16 * k; }

bool Scrolling() { return ScrollDeltaX != 0; }

// The x line a rightward leg ends at: wider while the screen scrolls.
double RightLine(double scrolling, double still) {
  return ScreenToWorldX(Scrolling() ? scrolling : still);
}
double LeftLine() { return ScreenToWorldX(ScrollDeltaX > 0 ? 120 : 20); }

// A branching transition: one draw, odd takes the first state.
int32_t Branch(int32_t odd, int32_t even) { return LcgRandom() % 2 == 1 ? odd : even; }

// One frame of the steering machine: the target of the state, then its way out.
void Steer(EnemyObject& o) {
  const double x = o.x, y = o.y;
  const int angle = o.angle;
  int32_t& state = o.intWork0;
  int32_t& target = o.intWork1;
  switch (state) {
    case 0:
      target = 256;
      if (y > 240) state = Branch(1, 9);
      break;
    case 1:
      target = y < 160 ? 0 : 960;
      if (x > RightLine(640, 480)) state = 2;
      break;
    case 2:
      target = 256;
      if (y > 240 && angle < 512) state = 12;
      break;
    case 4:
      target = 256;
      if (y > 240 && angle < 512) state = Branch(1, 9);
      break;
    case 5:
      target = y > 320 ? 0 : 64;
      if (x > RightLine(640, 480)) state = 6;
      break;
    case 6:
      target = 768;
      if (y < 240 && angle > 512) state = 10;
      break;
    case 8:
      target = 768;
      if (y < 240 && angle > 512) state = Branch(5, 11);
      break;
    case 9:
      target = 0;
      if (x > RightLine(720, 520)) state = 6;
      break;
    case 10:
      target = 512;
      if (x < LeftLine()) state = 4;
      break;
    case 11:
      target = 0;
      if (x > RightLine(720, 520)) state = 2;
      break;
    case 12:
      target = 512;
      if (x < LeftLine()) state = 8;
      break;
    default:
      break;  // no way leads to 3 or 7
  }
}

void SetUpSerpent(EnemyObject& o) {
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(5);
  o.imageFrame = -1;
  o.vx = o.vy = 0;
  o.airFrames = 0;
  o.heading = 256;
  o.angle = 256;
  o.hitCircles = {};
  o.hitCircles.size[0] = 16;
  o.hitMode = 0;
  o.despawnMarginX = o.despawnMarginY = 16000;
  o.cullMarginX = o.cullMarginY = 0;
  o.probeOffset = 0;
  o.speed = 0;
  o.y -= 80;
  for (int k = 0; k < kJoints; ++k) AttachPart(o.partsA, k, kJointPart, 0, 0, 256, 0);
  for (int k = 0; k < kSegments; ++k) AttachPart(o.partsB, k, kSegmentPart, 0, 0, 256, 0);
  o.partCountA = kJoints;
  o.partCountB = kSegments;
  o.phase = 0;
  o.realWork0 = o.x;
  o.realWork1 = o.y;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
}

void ShiftTrails(int32_t x, int32_t y) {
  for (int i = kStageWorkSize - 1; i > 0; --i) {
    StageWork[i] = StageWork[i - 1];
    StageWorkY[i] = StageWorkY[i - 1];
  }
  StageWork[0] = x;
  StageWorkY[0] = y;
}

void ClearTrails() {
  for (int i = 0; i < kStageWorkSize; ++i) StageWork[i] = StageWorkY[i] = 0;
}

void StepSerpent(EnemyObject& o) {
  if (ScreenToWorldX(640) >= kScrollStopX) ScrollTargetSpeed = 0;
  if (o.phase == 0) {
    if (o.x > ScreenToWorldX(240)) return;
    o.phase = 1;
  }
  if (o.intWork3 == 0) o.angle = static_cast<int16_t>(TurnTowardAngle(o.intWork1, o.angle, 4));
  o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
  o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
  o.x += o.vx;
  o.y += o.vy;
  Steer(o);
  if (ScrollDeltaX == 0 &&
      o.frame % ComputeFireInterval(240, o.rank) == ComputeFireInterval(40, o.rank)) {
    o.intWork3 = 1;
  }
  double targetSpeed = 0;
  if (o.intWork3 < 1) {
    const int turn = std::abs(AngleDifference(o.angle, o.intWork1));
    targetSpeed = turn <= 63 ? 4 : turn <= 128 ? 3 : 2;
  } else {
    o.intWork3 += 1;
    if (o.intWork3 > kAttackEnd) o.intWork3 = 0;
  }
  o.speed = ApproachValue(o.speed, 0.4, targetSpeed);
  const double side = o.intWork2 - 12;
  o.realWork0 = RotateOffsetX(o.x, 0, side, o.angle);
  o.realWork1 = RotateOffsetY(o.y, 0, side, o.angle);
  if (o.speed > 0) {
    o.heading = Wrap(o.heading + 8);
    o.intWork2 = static_cast<int32_t>(CosineTable[WrapAngle(o.heading)] * 24);
    ShiftTrails(static_cast<int32_t>(o.realWork0), static_cast<int32_t>(o.realWork1));
  }
}

void CountUp(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

// A part's set-up words shared by joints and segments.
void SetUpChainPart(const EnemyObject& o, EnemyPart& p, int32_t life, int32_t imageFrame) {
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = life;
  p.imageFrame = imageFrame;
  p.hitCircles = {};
  p.hitMode = 1;
  p.cue = 0;
  p.work0 = p.work1 = 0;
  p.angle = p.baseAngle = o.angle;
  p.x = o.x;
  p.y = o.y;
}

// The part on its trail entry, turned toward the entry 8 moves newer.
void FollowTrail(EnemyPart& p, int entry) {
  p.x = StageWork[entry];
  p.y = StageWorkY[entry];
  const int aim = AimAngle(p.x, p.y, StageWork[entry - 8], StageWorkY[entry - 8]);
  p.angle = static_cast<int16_t>(TurnTowardAngle(aim, p.angle, 8));
}

void FireFrom(const EnemyPart& p, int16_t type, int angle, double speed, double dx, double dy) {
  SpawnEnemyShot(type, Wrap(angle), speed, RotateOffsetX(p.x, dx, dy, p.angle),
                 RotateOffsetY(p.y, dx, dy, p.angle), 1);
}

void StepTail(const EnemyObject& o, EnemyPart& p) {
  if (p.counter % ComputeFireInterval(16, o.rank) != ComputeFireInterval(4, o.rank) - 1) return;
  for (int turn : {448, 512, 576}) FireFrom(p, 0, p.angle + turn, ScaleShotSpeed(3), -44, 0);
}

void StepBody(const EnemyObject& o, EnemyPart& p) {
  if (p.counter % 4 == 0) {
    if (o.intWork3 != 0 && p.imageFrame < kBodyOpenFrame) p.imageFrame += 1;
    if (o.intWork3 == 0 && p.imageFrame > kBodyClosedFrame) p.imageFrame -= 1;
  }
  if (o.intWork3 == kBodyVolleyAt) {
    for (double speed : {2.0, 2.5, 3.0}) {
      FireFrom(p, 1, p.angle + 256, ScaleShotSpeed(speed), 8, 51);
      FireFrom(p, 1, p.angle + 768, ScaleShotSpeed(speed), 8, -51);
    }
  }
  // The side guns open out of the segment: their circles follow them.
  const int16_t open = p.imageFrame == kBodyOpenFrame ? 42 : 0;
  p.hitCircles.dy[2] = static_cast<int16_t>(-open);
  p.hitCircles.dy[3] = open;
}

void StepHead(EnemyObject& o, EnemyPart& p) {
  if (p.counter > kHeadCloseAfter && p.counter % 4 == 0 && p.imageFrame < 5) {
    p.imageFrame += 1;
    if (p.imageFrame == 5) p.life = -1;
  }
  if (p.state < 3 && p.counter > kHeadTimeOut) {
    p.state = 3;
    o.state = 3;
  }
}

}  // namespace

void UpdateStage3Snake(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpSerpent(o);
    return;
  }
  if (o.state == 2) {
    StepSerpent(o);
    return;
  }
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    ScrollTargetSpeed = 1;
    o.frame = 0;
  }
  if (o.state == 4) {
    o.frame += 1;
    if (o.frame >= 2) {
      o.state = 0;
      ClearTrails();
    }
  }
}

// The common spawner runs before it on these rows; once the serpent has moved it gives way.
void UpdateStage3SnakePlaceholder(int16_t slot) {
  if (StageWork[0] != 0) EnemyPool0[slot].state = 0;
}

void UpdateStage3SnakePlaceholder2(int16_t slot) { UpdateStage3SnakePlaceholder(slot); }

void UpdateStage3SnakeJointPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  const EnemyObject& o = pool[slot];
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    SetUpChainPart(o, p, -1, 0);
    p.hitCircles.size[0] = 16;
    p.cullMarginX = p.cullMarginY = 48;
    return;
  }
  if (p.state > 2) {
    p.state = 0;
    return;
  }
  CountUp(p);
  p.state = o.state;
  FollowTrail(p, JointEntry(partIndex));
}

void UpdateStage3SnakeSegmentPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  EnemyObject& o = pool[slot];
  EnemyPart& p = parts[partIndex];
  const int k = partIndex;
  if (p.state == 1) {
    struct Circle {
      int16_t size, dx, dy;
    };
    static constexpr Circle kHeadCircles[] = {{32, 0, 0}};
    static constexpr Circle kTailCircles[] = {
        {25, 0, 0}, {3, -75, -25}, {3, -75, 25}, {4, -49, -27}, {4, -49, 27}};
    static constexpr Circle kBodyCircles[] = {{18, -7, 0}, {20, 4, 0}, {3, 8, 0}, {3, 8, 0}};
    const Circle* circles = kBodyCircles;
    int count = 4;
    int32_t margin = 64;
    if (k == kHead) {
      SetUpChainPart(o, p, ScaleLifeByRank(4000), 0);
      circles = kHeadCircles, count = 1, margin = 48;
    } else if (k == kTail) {
      SetUpChainPart(o, p, -1, kTailFrame);
      circles = kTailCircles, count = 5, margin = 96;
    } else {
      SetUpChainPart(o, p, -1, kBodyClosedFrame);
    }
    for (int c = 0; c < count; ++c)
      SetPartHitCircle(parts, k, c, circles[c].size, circles[c].dx, circles[c].dy);
    p.cullMarginX = p.cullMarginY = margin;
    return;
  }
  if (p.state > 2) {
    if (k == kHead) {
      p.state = 0;
      SpawnSparkBurst(p.x, p.y, 1, -1);
      o.state = 3;
    } else {
      SpawnSmallExplosion(p.x, p.y, 1);
      p.state = 0;
    }
    return;
  }
  CountUp(p);
  FollowTrail(p, SegmentEntry(k));
  if (k == kTail) {
    StepTail(o, p);
  } else if (k == kHead) {
    StepHead(o, p);
  } else {
    StepBody(o, p);
  }
  p.state = o.state;
}
