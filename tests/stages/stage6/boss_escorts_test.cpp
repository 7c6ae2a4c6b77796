// The stage-6 boss's escorts on a plain field: the orbit carrier that waits for the scroll to
// stop, turns by its rate and leaves with the hulls, its guns that fade in, fire only on their
// side of the breathing ring, revive with a shorter base and pay for every kill, and turrets
// that cannot be hit; the gunners' four-shot volleys and their end; a full pool 0 that simply
// leaves the called escorts out.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_bench.h"
#include "tests/stages/stage6/boss_field.h"

namespace {

constexpr int16_t kCarrier = 14;

// The plain field with an orbit carrier called in on a stopped scroll, the hulls standing.
struct CarrierField : Stage6BossField {
  int16_t carrier = -1;
  CarrierField() : Stage6BossField(1) {
    boss().state = 0;
    StageWork[0] = 1;
    ScrollTargetSpeed = 0;
    carrier = SpawnPool0Enemy(0, 0, kCarrier, 0, -1, 1);
    field.Run(2);
  }
  EnemyObject& o() { return EnemyPool0[carrier]; }
};

TEST(Stage6OrbitCarrier, WaitsForTheStoppedScrollAndTurnsByItsRate) {
  CarrierField f;
  EnemyObject& o = f.o();
  EXPECT_EQ(o.phase, 0);
  // While the scroll moves it waits: the ring breathes, the carrier keeps its screen point.
  EnemyObject& waiting = EnemyPool0[SpawnPool0Enemy(0, 0, kCarrier, 0, -1, 1)];
  ScrollTargetSpeed = 1;
  f.field.Run(40);
  EXPECT_EQ(waiting.phase, -1);
  EXPECT_EQ(waiting.angle, 0);
  EXPECT_DOUBLE_EQ(WorldToScreenX(waiting.x), 180);
  EXPECT_DOUBLE_EQ(WorldToScreenY(waiting.y), 200);
  EXPECT_DOUBLE_EQ(waiting.realWork0, 80 + 0.25 * 39);  // from the frame after its set-up
  ScrollTargetSpeed = 0;
  waiting.state = 0;
  // r below 0 turns |r| a frame; 0 not at all; 1 on every other frame; 29 on 29 in 30; 30 none.
  struct Case {
    int32_t rate;
    int turned;
  };
  for (const Case& c : {Case{-3, 180}, Case{0, 0}, Case{1, 30}, Case{29, 58}, Case{30, 0}}) {
    SCOPED_TRACE(c.rate);
    f.field.beforeFrame = [&](int) {
      o.intWork0 = c.rate;
      o.intWork1 = 0;
      o.phase = 0;
    };
    const int16_t before = o.angle;
    f.field.Run(60);
    EXPECT_EQ(WrapAngle(o.angle - before), c.turned);
  }
}

TEST(Stage6OrbitCarrier, GunsFadeInFireOnTheirSideOfTheRingAndReviveForAnotherScore) {
  CarrierField f;
  EnemyObject& o = f.o();
  EnemyPart& gun = o.partsB[0];
  EnemyPart& turret = o.partsB[2];
  std::vector<int> rings, pairs;
  bool shotBeforeFadeIn = false;
  for (int i = 0; i < 900; ++i) {
    ClearEnemyShots();
    f.field.Step();
    if (i < 120) {
      shotBeforeFadeIn |= CountEnemyShotsOfType(3) + CountEnemyShotsOfType(1) > 0;
      EXPECT_EQ(gun.hitMode, 0);
    }
    if (CountEnemyShotsOfType(3) > 0) rings.push_back(static_cast<int>(o.realWork0));
    if (CountEnemyShotsOfType(1) > 0) pairs.push_back(static_cast<int>(o.realWork0));
  }
  EXPECT_FALSE(shotBeforeFadeIn);
  EXPECT_EQ(gun.hitMode, 1);
  EXPECT_EQ(turret.hitMode, 0);
  ASSERT_FALSE(rings.empty());
  ASSERT_FALSE(pairs.empty());
  for (int r : rings) EXPECT_LT(r, 125);
  for (int r : pairs) EXPECT_GT(r, 130);
  // A gun killed pays, revives after 90 frames with base 96, and pays again.
  for (int kill = 0; kill < 2; ++kill) {
    SCOPED_TRACE(kill);
    const int32_t before = Score;
    const int32_t pays = PartKillScore(gun.scoreBase);
    ASSERT_TRUE(f.field.DamageEnemy({0, f.carrier, kTestPartsB, 0}, 100000));
    EXPECT_EQ(Score - before, pays);
    f.field.Run(2);
    EXPECT_EQ(gun.state, 3);
    EXPECT_EQ(turret.state, 3);  // the turret dies with its body
    int revivedAfter = 0;
    while (gun.state == 3 && revivedAfter < 200) {
      f.field.Step();
      ++revivedAfter;
    }
    EXPECT_GE(revivedAfter, 88);
    EXPECT_LE(revivedAfter, 91);
    EXPECT_EQ(gun.work1, 96);
    EXPECT_EQ(gun.life, ScaleLifeByRank(1600));
    f.field.Run(130);  // faded in again
    EXPECT_EQ(gun.hitMode, 1);
  }
  // The hulls gone, the carrier leaves and its guns blow up.
  StageWork[0] = 0;
  f.field.Run(3);
  EXPECT_EQ(o.state, 3);
  for (int j = 0; j < 4; ++j) EXPECT_EQ(o.partsB[j].state, 0) << j;
}

// Gunners cannot be hurt; each volley is four turning shots at 4, 3.2, 2.4 and 1.6 (scaled); a
// cleared gunner flag blows both up.
TEST(Stage6Gunners, FireFourShotVolleysAndExplodeWhenTheInnerShellBreaks) {
  Stage6BossField f(1);
  f.boss().state = 0;
  StageWork[1] = 2;
  const int16_t floor = SpawnPool0Enemy(0, 0, 15, 0, -1, 1);
  const int16_t ceiling = SpawnPool0Enemy(0, 0, 16, 0, -1, 1);
  f.field.Run(70);
  EXPECT_DOUBLE_EQ(WorldToScreenY(EnemyPool0[floor].y), 368);
  EXPECT_DOUBLE_EQ(WorldToScreenY(EnemyPool0[ceiling].y), 32);
  f.field.DamageEnemy({0, floor, kTestBody, 0}, 100000);
  std::vector<double> floorSpeeds, ceilingSpeeds;
  for (int i = 0; i < 500; ++i) {
    ClearEnemyShots();
    f.field.Step();
    for (const EnemyShot* s : EnemyShotsOfType(26)) {
      // As a multiple of a unit shot at this frame's rank.
      (s->motionAngle == 768 ? floorSpeeds : ceilingSpeeds)
          .push_back(s->workReal[0] / ScaleShotSpeed(1));
    }
    const double fx = WorldToScreenX(EnemyPool0[floor].x);
    const double cx = WorldToScreenX(EnemyPool0[ceiling].x);
    EXPECT_TRUE(fx >= 0 && fx <= 450 && cx >= 0 && cx <= 450) << fx << " " << cx;
  }
  EXPECT_EQ(EnemyPool0[floor].life, -1);
  for (const std::vector<double>* speeds : {&floorSpeeds, &ceilingSpeeds}) {
    ASSERT_GE(speeds->size(), 4u);
    for (size_t k = 0; k < 4; ++k) EXPECT_NEAR((*speeds)[k], 4 - 0.8 * k, 1e-9);
  }
  StageWork[1] = 0;
  f.field.Step();
  EXPECT_EQ(EnemyPool0[floor].state, 0);
  EXPECT_EQ(EnemyPool0[ceiling].state, 0);
}

// Bad data filling pool 0 with boss copies: the carrier and the gunners are simply not there,
// the flags move on, and nothing breaks.
TEST(Stage6Boss, EscortsCalledOnAFullPoolAreAbsent) {
  Stage6BossField f(1);
  while (SpawnPool0Enemy(f.boss().x, f.boss().y, kStage6BossType, 0, -1, 0) >= 0) {}
  f.field.Step();
  ScrollTargetSpeed = 1;
  f.MoveViewEdgeTo(14800);
  f.field.Step();
  EXPECT_EQ(ScrollTargetSpeed, 0);
  f.B(5).state = 0;
  f.field.Run(5);
  EXPECT_EQ(StageWork[1], 2);
  for (int type : {14, 15, 16}) EXPECT_EQ(Stage6BossField::CountPool0(type), 0) << type;
  EXPECT_EQ(f.core().cue, -2);
  EXPECT_EQ(Stage6BossField::CountPool0(kStage6BossType), kEnemyPool0Size);
}

}  // namespace
