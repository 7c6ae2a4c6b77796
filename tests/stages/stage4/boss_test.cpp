// The stage-4 boss on a still screen at world (0, 0), its pools run by hand: the phase cycle the
// parts move on and its gate on the idle guns, the final close in the seventh folded phase, the
// hand-off with the dasher that opens the core and the kill through the damage route, the hull
// pairs, the volleys and the launchers' silence, and the vertical steps' turn at screen y 80 and
// 320.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/stage4_boss.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

constexpr int16_t kBossType = 10;
constexpr int16_t kDasherType = 17;
constexpr int kUpperCannon = kStage4BossCannon;
constexpr int kLowerInnerArm = 2;

struct BossFrame {
  int state = 0, phase = 0, frame = 0;
  double y = 0;
  int32_t timer = 0, cycles = 0;
  int16_t laserCue = 0, launcherCue = 0, cannonCue = 0;
  double cannonOffset = 0;
  int16_t innerArmAngle = 0;
  int coreState = 0, coreImage = 0, coreCue = 0, coreLife = 0;
  int hullShots = 0;        // type 1
  int upperLaserShots = 0;  // type 3 from the upper arm laser's muzzle
  int gunShots = 0;         // type 3 in all
  int shells = 0;           // pool-2 type 4 dropped this frame
};

class Stage4BossTest : public testing::Test {
 protected:
  void SetUp() override {
    PrepareStageBench(4, 1);
    field.SetShipImmune(true);
    StageWork[0] = StageWork[1] = StageWork[2] = 0;
  }

  // Spawned where the map's right edge would place it: it comes in from screen x 820.
  EnemyObject& SpawnBoss() {
    slot = SpawnPool0Enemy(640, 220, kBossType, 0, -1, 0);
    EXPECT_GE(slot, 0);
    return EnemyPool0[slot];
  }

  // One frame of pools 0 to 2; the shots and shells it spawned are counted and cleared.
  BossFrame Frame() {
    EnemyObject& o = EnemyPool0[slot];
    BossFrame b;
    UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
    UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
    const EnemyPart& upperLaser = o.partsB[kStage4BossArmLaser];
    const double muzzleX = RotateOffsetX(upperLaser.x, 58, -2, upperLaser.angle);
    const double muzzleY = RotateOffsetY(upperLaser.y, 58, -2, upperLaser.angle);
    for (const EnemyShot* s : EnemyShotsOfType(1)) b.hullShots += s->state == 1;
    for (const EnemyShot* s : EnemyShotsOfType(3)) {
      if (s->state != 1) continue;
      b.gunShots += 1;
      if (std::hypot(s->x - muzzleX, s->y - muzzleY) < 1) b.upperLaserShots += 1;
    }
    ClearEnemyShots();
    for (EnemyObject& e : EnemyPool2) {
      if (e.state != 0 && e.type == 4) b.shells += 1;
      e.state = 0;
    }
    b.state = o.state;
    b.phase = o.phase;
    b.frame = o.frame;
    b.y = o.y;
    b.timer = o.intWork0;
    b.cycles = o.intWork3;
    b.laserCue = o.partsB[kStage4BossArmLaser].cue;
    b.launcherCue = o.partsB[kStage4BossLauncher].cue;
    b.cannonCue = o.partsB[kUpperCannon].cue;
    b.cannonOffset = o.partsB[kUpperCannon].offsetX;
    b.innerArmAngle = o.partsB[kLowerInnerArm].baseAngle;
    const EnemyPart& core = o.partsB[kStage4BossCore];
    b.coreState = core.state;
    b.coreImage = core.imageFrame;
    b.coreCue = core.cue;
    b.coreLife = core.life;
    return b;
  }

  // Until the boss is freed or frames have run; before(f, boss) runs ahead of frame f.
  std::vector<BossFrame> Run(int frames,
                             const std::function<void(int, EnemyObject&)>& before = {}) {
    std::vector<BossFrame> run;
    for (int f = 0; f < frames && EnemyPool0[slot].state != 0; ++f) {
      if (before) before(f, EnemyPool0[slot]);
      run.push_back(Frame());
    }
    return run;
  }

  FieldFixture field;
  int16_t slot = -1;
};

struct PhaseRun {
  int phase, first, length;
};
std::vector<PhaseRun> PhaseRuns(const std::vector<BossFrame>& run) {
  std::vector<PhaseRun> runs;
  for (int f = 0; f < static_cast<int>(run.size()); ++f) {
    if (run[f].state != 2) break;
    if (runs.empty() || runs.back().phase != run[f].phase) runs.push_back({run[f].phase, f, 0});
    runs.back().length += 1;
  }
  return runs;
}

// The player level with the boss: every step would go down, and turns back up at screen y 320.
TEST_F(Stage4BossTest, PartsMoveThePhaseCycleOnAndTheSeventhFoldedPhaseClosesTheCoreForGood) {
  SpawnBoss();
  StageUnlockId = 0;
  const int32_t scoreBefore = Score;
  const std::vector<BossFrame> run = Run(9000, [](int, EnemyObject& o) { PlayerY = o.y; });
  const std::vector<PhaseRun> phases = PhaseRuns(run);
  ASSERT_GE(phases.size(), 2u + 6 * 6);
  EXPECT_EQ(phases[0].phase, kStage4BossEntry);
  const int cycle[] = {kStage4BossFolded, kStage4BossCannonsOut, kStage4BossUnfold,
                       kStage4BossOpen,   kStage4BossCannonsIn,  kStage4BossFold};
  for (size_t k = 1; k < phases.size(); ++k) {
    ASSERT_EQ(phases[k].phase, cycle[(k - 1) % 6]) << "phase run " << k;
    const BossFrame& last = run[phases[k].first - 1];
    const BossFrame& first = run[phases[k].first];
    switch (phases[k].phase) {
      case kStage4BossCannonsOut:
      case kStage4BossCannonsIn:
        // A fight phase ends only past 400 frames with the three tracked guns idle.
        EXPECT_GT(last.timer, 400);
        EXPECT_EQ(first.laserCue, 0);
        EXPECT_EQ(first.launcherCue, 0);
        EXPECT_EQ(first.cannonCue, 0);
        break;
      case kStage4BossUnfold:
        EXPECT_EQ(first.cannonOffset, 64);
        break;
      case kStage4BossOpen:
        EXPECT_EQ(first.innerArmAngle, 832);
        break;
      case kStage4BossFold:
        EXPECT_EQ(first.cannonOffset, 16);
        break;
      case kStage4BossFolded:
        EXPECT_EQ(first.innerArmAngle, 64);
        break;
    }
  }
  // Some fight phase waited past its time for a gun to go idle.
  bool waited = false;
  for (const BossFrame& b : run)
    waited = waited || (b.state == 2 && b.timer > 402 && (b.laserCue || b.cannonCue));
  EXPECT_TRUE(waited);

  // The final close comes in the seventh folded phase, after six completed cycles.
  const auto closeAt =
      std::find_if(run.begin(), run.end(), [](const BossFrame& b) { return b.coreCue > 0; });
  ASSERT_NE(closeAt, run.end());
  EXPECT_EQ(closeAt->phase, kStage4BossFolded);
  EXPECT_EQ(closeAt->cycles, 6);
  const auto deathAt =
      std::find_if(run.begin(), run.end(), [](const BossFrame& b) { return b.state >= 3; });
  ASSERT_NE(deathAt, run.end());
  EXPECT_GE(deathAt - closeAt, 180);
  EXPECT_LE(deathAt - closeAt, 183);
  EXPECT_EQ(EnemyPool0[slot].state, 0);
  EXPECT_EQ(StageClearTimer, 2);
  EXPECT_EQ(BossState, -1);
  EXPECT_EQ(Score, scoreBefore);
  for (const Item& item : Items) EXPECT_FALSE(item.state != 0 && item.kind == 7);
}

TEST_F(Stage4BossTest, TheDasherOpensTheCoreWhichThenFallsToDamageAndClearsTheStage) {
  EnemyObject& boss = SpawnBoss();
  const int16_t d = SpawnPool1Enemy(20, 240, kDasherType, 0, -1, 0);
  ASSERT_GE(d, 0);
  StageUnlockId = -1;
  std::vector<BossFrame> run = Run(60);
  const EnemyPart& core = boss.partsB[kStage4BossCore];
  // Shut and unhurt: damage does not count, and the core publishes its x.
  EXPECT_EQ(core.imageFrame, 6);
  EXPECT_TRUE(field.DamageEnemy({0, slot, kTestPartsB, kStage4BossCore}, 100000));
  EXPECT_EQ(core.life, -1);
  EXPECT_EQ(StageWork[kStage4CoreXWord], static_cast<int32_t>(core.x));

  StageWork[0] = 1;  // the go signal
  int arrived = -1;
  for (int f = 0; f < 400 && arrived < 0; ++f) {
    Frame();
    if (EnemyPool1[d].state == 0) arrived = f;
  }
  ASSERT_GE(arrived, 0);
  EXPECT_EQ(StageWork[kStage4CoreOpenWord], 1);
  EXPECT_GE(EnemyPool1[d].x, StageWork[kStage4CoreXWord]);

  // It opens over 20 frames; until then its life is written again every frame.
  int openedAt = -1;
  for (int f = 1; f <= 30 && openedAt < 0; ++f) {
    const BossFrame b = Frame();
    ASSERT_EQ(b.coreLife, ScaleLifeByRank(4900)) << f;
    if (f == 10) { ASSERT_TRUE(field.DamageEnemy({0, slot, kTestPartsB, kStage4BossCore}, 100)); }
    if (StageWork[kStage4CoreOpenWord] == 0) openedAt = f;
  }
  EXPECT_GE(openedAt, 17);
  EXPECT_LE(openedAt, 20);
  EXPECT_EQ(core.imageFrame, 0);
  EXPECT_TRUE(field.DamageEnemy({0, slot, kTestPartsB, kStage4BossCore}, 100));
  EXPECT_EQ(core.life, ScaleLifeByRank(4900) - 100);

  const int32_t scoreBefore = Score;
  ASSERT_TRUE(field.DamageEnemy({0, slot, kTestPartsB, kStage4BossCore}, 1000000));
  // The core's weight of 2 takes StageUnlockId from -1 to -3, which sets stage 4's weapon.
  EXPECT_EQ(StageUnlockId, 9);
  EXPECT_GT(Score, scoreBefore);
  run = Run(200);
  EXPECT_EQ(EnemyPool0[slot].state, 0);
  // The core going sets the boss's death step, its guns and flames going set it once more.
  int deathStepsSet = 0;
  for (const BossFrame& b : run) deathStepsSet += b.state == 3;
  EXPECT_EQ(deathStepsSet, 2);
  EXPECT_EQ(StageClearTimer, 2);
  EXPECT_EQ(BossState, -1);
  int capsules = 0;
  for (const Item& item : Items) capsules += item.state != 0 && item.kind == 7;
  EXPECT_EQ(capsules, 1);
}

TEST_F(Stage4BossTest, HullPairsVolleysAndTheLaunchersSilenceKeepTheirRules) {
  SpawnBoss();
  const int16_t rank = EnemyPool0[slot].rank;
  const auto I = [rank](int16_t v) { return ComputeFireInterval(v, rank); };
  // In the open fight the launchers are made to run too: its hull pairs go on regardless.
  const std::vector<BossFrame> run = Run(2600, [](int, EnemyObject& o) {
    PlayerY = o.y;
    if (o.phase == kStage4BossOpen && o.intWork0 == 100) o.partsB[kStage4BossLauncher].cue = 1;
  });
  std::vector<int> volley;  // upper laser shots of the current volley, frames apart
  int lastVolleyShot = -1000;
  int openVolleys = 0, foldedVolleys = 0, silentFrames = 0, openRunFrames = 0, shells = 0;
  for (int f = 0; f < static_cast<int>(run.size()); ++f) {
    const BossFrame& b = run[f];
    const bool fight = b.phase == kStage4BossOpen || b.phase == kStage4BossFolded;
    if (f == 0 || !fight || b.timer > 400) continue;
    if (b.hullShots > 0) {
      EXPECT_EQ(b.hullShots, 2) << f;
      const int m = b.frame % I(60);
      EXPECT_TRUE(m == I(20) || m == I(40)) << f;
    }
    const BossFrame& prev = run[f - 1];
    if (prev.launcherCue != 0 && b.launcherCue != 0) {
      shells += b.shells;
      if (b.phase == kStage4BossFolded) {
        silentFrames += 1;
        EXPECT_EQ(b.hullShots + b.gunShots, 0) << f;
      } else if (b.frame % I(60) == I(20)) {
        openRunFrames += 1;
        EXPECT_EQ(b.hullShots, 2) << f;
      }
    }
    if (b.upperLaserShots > 0) {
      if (f - lastVolleyShot == I(10)) {
        volley.push_back(f);
      } else {
        volley.assign(1, f);
      }
      lastVolleyShot = f;
      if (b.phase == kStage4BossOpen) {
        EXPECT_LE(volley.size(), 3u);
        openVolleys += volley.size() == 3;
      } else {
        EXPECT_EQ(volley.size(), 1u) << f;
        foldedVolleys += 1;
      }
    }
  }
  EXPECT_GT(openVolleys, 0);
  EXPECT_GT(foldedVolleys, 0);
  EXPECT_GT(silentFrames, 80);
  EXPECT_GT(openRunFrames, 0);
  EXPECT_GT(shells, 0);
}

TEST_F(Stage4BossTest, VerticalStepsTurnBackAtScreenY80And320) {
  for (const double playerY : {-2000.0, 2000.0}) {
    SpawnBoss();
    std::vector<double> targets;
    bool turned = false;
    Run(1200, [&](int, EnemyObject& o) {
      PlayerY = playerY;
      const bool fight = o.phase == kStage4BossFolded || o.phase == kStage4BossOpen;
      if (fight && o.intWork1 == 1 && o.intWork2 > 0 &&
          (targets.empty() || targets.back() != o.realWork0)) {
        targets.push_back(o.realWork0);
        // A step away from the player: the band's edge turned it.
        turned = turned || (playerY < 0) != (o.realWork1 < 0);
      }
    });
    ASSERT_GE(targets.size(), 4u) << playerY;
    for (const double t : targets) {
      EXPECT_GE(t, 80) << playerY;
      EXPECT_LE(t, 320) << playerY;
    }
    EXPECT_TRUE(turned) << playerY;
    EnemyPool0[slot].state = 0;
  }
}

}  // namespace
