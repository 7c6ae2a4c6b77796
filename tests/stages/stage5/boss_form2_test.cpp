// Stage 5's boss form 2 on a still field: the guns that extend from the arms, are shot down and
// come back weaker, the turrets' spread, the wings' curving fans and the end of the guns and
// tails when the form leaves its first attack.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/stages/stage5/still_form_field.h"

namespace {

constexpr int kUpperTurret = 1;
constexpr int kUpperBase = 2;
constexpr int kLowerTurret = 4;
constexpr int kLowerBase = 5;

// A base shot down snaps back with 110 life and no hit mode; it is hittable again only once it
// has been out for 160 frames and more than 20 px out, the 181st frame.
TEST(Stage5BossFormTwoTest, AShotDownGunBaseRetractsAndComesBackWith110Life) {
  for (int slot : {kUpperBase, kLowerBase}) {
    SCOPED_TRACE(slot);
    StillFormField f(11, 1);
    f.ReachPatrol();
    EnemyPart& base = f.part(slot);
    EXPECT_EQ(base.life, 240);
    EXPECT_EQ(base.hitMode, 1);
    EXPECT_EQ(std::abs(base.offsetY), 40);  // attached fully out
    f.KillCore(slot);
    f.Step();
    EXPECT_EQ(base.state, 2);
    EXPECT_EQ(base.offsetY, 0);
    EXPECT_EQ(base.life, 110);
    EXPECT_EQ(base.maxLife, 110);
    int frames = 0;
    while (base.hitMode == 0 && frames < 400) {
      f.Step();
      ++frames;
    }
    EXPECT_EQ(frames + 1, 181);  // counting the frame of the reset
    EXPECT_EQ(std::abs(base.offsetY), 21);
    f.KillCore(slot);  // 110 is enough the second time
    f.Step();
    EXPECT_EQ(base.offsetY, 0);
  }
}

// Once its base is out a turret fires four type-0 shots from 32 px out: its angle at 3.2, 32
// either side at 2.4 and its angle again at 1.6; the upper turret aims only into the upper half
// turn, the lower one into the lower.
TEST(Stage5BossFormTwoTest, TurretsFireAFourShotSpreadWithinTheirHalfTurn) {
  StillFormField f(11, 2);
  f.ReachPatrol();
  int volleys = 0;
  for (int i = 0; i < 600; ++i) {
    f.Step();
    std::vector<EnemyShot> spread;
    for (const EnemyShot& s : f.frameShots)
      if (s.type == 0) spread.push_back(s);
    if (spread.empty()) continue;
    ASSERT_EQ(spread.size() % 4, 0u);
    for (size_t k = 0; k < spread.size(); k += 4) {
      ++volleys;
      const int d = spread[k].drawAngle;
      EXPECT_EQ(spread[k + 1].drawAngle, WrapAngle(d - 32));
      EXPECT_EQ(spread[k + 2].drawAngle, WrapAngle(d + 32));
      EXPECT_EQ(spread[k + 3].drawAngle, d);
      EXPECT_DOUBLE_EQ(spread[k].speed, ScaleShotSpeed(3.2));
      EXPECT_DOUBLE_EQ(spread[k + 1].speed, ScaleShotSpeed(2.4));
      EXPECT_DOUBLE_EQ(spread[k + 3].speed, ScaleShotSpeed(1.6));
    }
    for (int slot : {kUpperTurret, kLowerTurret}) {
      const int a = f.part(slot).angle;
      if (slot == kUpperTurret) {
        EXPECT_TRUE(a == 0 || a >= 512) << a;
      } else {
        EXPECT_LE(a, 512);
      }
    }
  }
  EXPECT_GT(volleys, 0);
}

// Leaving the first attack (here at half core life, an exact half) blows off the four guns and
// both tails; the wings and arms stay.
TEST(Stage5BossFormTwoTest, LeavingTheFirstAttackEndsTheGunsAndTails) {
  StillFormField f(11, 1);
  f.ReachPatrol();
  EnemyPart& core = f.part(0);
  f.Damage(0, core.life - core.maxLife / 2);
  f.Step();
  EXPECT_EQ(f.form().phase, 1);
  f.Step();
  f.Step();
  for (int slot : {kUpperTurret, kUpperBase, kLowerTurret, kLowerBase})
    EXPECT_EQ(f.part(slot).state, 0) << slot;
  const EnemyObject& o = f.form();
  EXPECT_EQ(o.partsA[2].state, 0);
  EXPECT_EQ(o.partsA[3].state, 0);
  EXPECT_EQ(o.partsA[0].state, 2);
  EXPECT_EQ(o.partsA[1].state, 2);
  EXPECT_EQ(f.part(3).state, 2);
  EXPECT_EQ(f.part(6).state, 2);
}

// The wings fan curving shots during a volley; the drift step runs 1, 3, 5, 2, 4, 1 and the
// outermost shot of a fan drifts by -2s on the upper wing and +2s on the lower one.
TEST(Stage5BossFormTwoTest, WingFansDriftBy135241WithMirroredSigns) {
  StillFormField f(11, 2);
  f.ReachPatrol();
  std::vector<int> steps = {1};
  int fans[2] = {0, 0};
  for (int i = 0; i < 2400 && steps.size() < 6; ++i) {
    const int s = f.form().partsA[0].work0;
    const int sLower = f.form().partsA[1].work0;
    f.Step();
    if (f.form().partsA[0].work0 != steps.back()) steps.push_back(f.form().partsA[0].work0);
    // The first fan shot of each wing is its outermost one (x - 54).
    std::vector<EnemyShot> curve;
    for (const EnemyShot& shot : f.frameShots)
      if (shot.type == 18) curve.push_back(shot);
    for (const EnemyShot& shot : curve) {
      const bool upper = shot.y < f.form().y;
      const EnemyPart& wing = f.form().partsA[upper ? 0 : 1];
      if (std::abs(shot.x - (wing.x - 54)) > 0.5) continue;
      ++fans[upper ? 0 : 1];
      EXPECT_EQ(shot.drawAngle, WrapAngle(upper ? -2 * s : 2 * sLower));
    }
  }
  EXPECT_EQ(steps, (std::vector<int>{1, 3, 5, 2, 4, 1}));
  EXPECT_GT(fans[0], 0);
  EXPECT_GT(fans[1], 0);
}

}  // namespace
