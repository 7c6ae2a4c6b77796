// Stage 1's hatch and its risers: the hatch moves itself to the highest free slot (and is gone
// when none is above it), releases risers below it on its own clock whose direction comes from
// its variant, and the riser turns toward the ship, holds its fire after turning, fires on the
// stage's clock at the difficulty's interval alone, and pays by its life.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

constexpr int16_t kRiser = 12;
constexpr int16_t kHatch = 13;

int LiveOfType(int32_t type) {
  int n = 0;
  for (const EnemyObject& o : EnemyPool0) n += o.state != 0 && o.type == type;
  return n;
}

// The slot the hatch moved to, or -1.
int HatchSlot() {
  for (int s = 0; s < kEnemyPool0Size; ++s) {
    if (EnemyPool0[s].state != 0 && EnemyPool0[s].type == kHatch) return s;
  }
  return -1;
}

TEST(Stage1Hatch, MovesToTheHighestFreeSlotOrIsGone) {
  struct Row {
    int16_t slot;
    bool fillAbove;  // every slot above it taken
    int expected;    // where it runs, -1 gone
  } rows[] = {{0, false, 63}, {20, false, 63}, {63, false, -1}, {5, true, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.slot);
    Stage1Bench bench;
    SpawnPool0Enemy(200, 150, kHatch, 0, r.slot, 1);
    if (r.fillAbove) {
      for (int s = r.slot + 1; s < kEnemyPool0Size; ++s) {
        EnemyPool0[s].state = 2;
        EnemyPool0[s].type = -1;  // freed by the pass, after the hatch has looked
      }
    }
    bench.PassBoss();
    EXPECT_EQ(HatchSlot(), r.expected);
    EXPECT_EQ(LiveOfType(kHatch), r.expected < 0 ? 0 : 1);
    if (r.expected < 0) continue;
    const EnemyObject& h = EnemyPool0[r.expected];
    EXPECT_EQ(h.state, 2);
    EXPECT_EQ(h.x, 228);
    EXPECT_EQ(h.y, 150);
    EXPECT_EQ(h.hitMode, 0);
    EXPECT_EQ(h.life, -1);
  }
}

// Risers come every I(50) frames at I(10) of the hatch's clock, in the highest free slot below
// it (so they run and are drawn first), 72 px below a variant-0 hatch rising, 432 px above any
// other sinking; their direction word is the hatch's variant, bad values included.
TEST(Stage1Hatch, ReleasesRisersBelowItselfOnItsClockInTheVariantsDirection) {
  struct Row {
    int16_t variant;
    double dy;
    double vySign;
  } rows[] = {{0, 72, -1}, {1, -432, 1}, {-1, -432, 1}, {62, -432, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    Stage1Bench bench;
    // Low on the screen, as on a floor: both kinds of risers come on screen.
    SpawnPool0Enemy(200, 420, kHatch, 0, -1, 0);
    EnemyPool0[0].variant = r.variant;
    bench.PassBoss();
    const int hatch = HatchSlot();
    ASSERT_EQ(hatch, 63);
    EnemyObject& h = EnemyPool0[hatch];
    const int16_t every = ComputeFireIntervalFlat(50, h.rank);
    const int16_t at = ComputeFireIntervalFlat(10, h.rank);
    std::vector<int32_t> releases;
    for (int f = 0; f < 2 * every + 2; ++f) {
      const int before = LiveOfType(kRiser);
      bench.PassBoss();
      if (LiveOfType(kRiser) > before) releases.push_back(h.frame % every);
    }
    ASSERT_EQ(releases.size(), 2u);
    for (int32_t phase : releases) EXPECT_EQ(phase, at);
    for (int s = 0; s < hatch; ++s) {
      const EnemyObject& o = EnemyPool0[s];
      if (o.state == 0) continue;
      EXPECT_EQ(o.type, kRiser);
      EXPECT_EQ(o.intWork2, r.variant);
      EXPECT_EQ(o.x, h.x);
      EXPECT_NEAR(o.y, 420 + r.dy, 2 * every * 2.4);
      EXPECT_EQ(o.heading, 768);
      EXPECT_DOUBLE_EQ(o.vy, r.vySign * (1.6 + 0.2 * Difficulty));
      EXPECT_EQ(o.state, 2);  // set up on the pass after it came, before the hatch ran
    }
    EXPECT_TRUE(EnemyPool0[62].state != 0 || EnemyPool0[61].state != 0);
  }
}

// A riser set up on its own, the ship to its right at the same height.
struct RiserBench {
  Stage1Bench bench;
  int16_t slot;
  explicit RiserBench(int difficulty, double y = 300) : bench(difficulty) {
    PlayerX = 500;
    slot = SpawnPool0Enemy(300, y, kRiser, 768, -1, 0);
    EnemyPool0[slot].intWork2 = 0;
    bench.PassBoss();
  }
  EnemyObject& riser() { return EnemyPool0[slot]; }
};

// Turning toward the ship on the right it steps 0..4 every 8 frames; it holds its fire 24 frames
// after its last turning image, then fires right from 10 px beside it on the stage's clock.
TEST(Stage1Riser, HoldsFireAfterTurningThenFiresOnTheStageClock) {
  RiserBench b(1);
  EnemyObject& o = b.riser();
  GameFrame = ComputeFireInterval(10, 0);  // every frame on the firing beat
  int lastTurning = -1, firstShot = -1;
  for (int f = 0; f < 120 && firstShot < 0; ++f) {
    o.y = 300;
    ClearEnemyShots();
    b.bench.PassBoss();
    const bool turning = o.imageFrame >= 1 && o.imageFrame <= 3;
    if (turning) lastTurning = f;
    const auto shots = EnemyShotsOfType(3);
    // Facing left at first it may fire that way until the turn begins.
    if (lastTurning >= 0 && !shots.empty()) {
      EXPECT_FALSE(turning) << f;
      firstShot = f;
      EXPECT_EQ(o.imageFrame, 4);
      EXPECT_EQ(shots[0]->drawAngle, 0);
      EXPECT_EQ(shots[0]->x, o.x + 10);
      EXPECT_DOUBLE_EQ(shots[0]->speed, ScaleShotSpeed(4));
    }
  }
  ASSERT_GT(lastTurning, 0);
  EXPECT_EQ(firstShot, lastTurning + 24);
}

// The riser's beat is GameFrame mod I(20) at I(10) with rank 0 whatever its own rank; it holds
// fire from world y 390 down, and on easy.
TEST(Stage1Riser, FiresOnTheDifficultysBeatAloneAndNotLowOrOnEasy) {
  struct Row {
    int difficulty;
    double y;
    bool fires;
  } rows[] = {{1, 300, true}, {3, 300, true}, {1, 389.9, true}, {1, 390, false}, {0, 300, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << " " << r.y);
    RiserBench b(r.difficulty, r.y);
    EnemyObject& o = b.riser();
    o.rank = kRankMax;
    TimeRank = r.difficulty == 0 ? 0 : kRankMax;  // a high rank would arm easy too
    o.imageFrame = 4;
    o.intWork1 = 0;
    o.frame = 1;  // no turn step on the frames below
    const int16_t every = ComputeFireInterval(20, 0);
    const int16_t at = ComputeFireInterval(10, 0);
    if (r.difficulty > 0) {
      ASSERT_NE(ComputeFireInterval(20, kRankMax), every);  // the rank would change the beat
    }
    std::vector<int32_t> beats;
    for (int32_t g = 0; g < 2 * every; ++g) {
      GameFrame = g;
      o.y = r.y;
      o.vy = 0;  // held at that height
      o.frame = 1;
      ClearEnemyShots();
      b.bench.PassBoss();
      if (CountEnemyShotsOfType(3) > 0) beats.push_back(g);
    }
    if (!r.fires) {
      EXPECT_TRUE(beats.empty());
      continue;
    }
    EXPECT_EQ(beats, (std::vector<int32_t>{at, at + every}));
  }
}

// A riser placed by the map has no hatch to write its direction: it takes its own variant (0
// rises, any other sinks) whatever the slot's last occupant left in the word.
TEST(Stage1Riser, OneFromTheMapTakesItsDirectionFromItsVariant) {
  struct Row {
    int16_t variant;
    int32_t leftOver;
    double vySign;
  } rows[] = {{0, 1, -1}, {1, 0, 1}, {-1, 0, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    Stage1Bench bench;
    const int16_t slot = SpawnPool0Enemy(100, 100, kRiser, 0, -1, 0);  // clear of the ship
    EnemyObject& o = EnemyPool0[slot];
    o.spawnDir = 1;  // from the map's leading edge
    o.variant = r.variant;
    o.intWork2 = r.leftOver;
    bench.PassBoss();
    EXPECT_EQ(o.state, 2);
    EXPECT_DOUBLE_EQ(o.vy, r.vySign * (1.6 + 0.2 * Difficulty));
  }
}

TEST(Stage1Riser, LifeScoreAndSparksWhenShotDown) {
  RiserBench b(1);
  EnemyObject& o = b.riser();
  EXPECT_EQ(o.life, ScaleLifeByRank(36));
  EXPECT_EQ(o.scoreBase, o.life);
  EXPECT_EQ(o.hitMode, 1);
  EXPECT_EQ(o.hitCircles.size[0], 20);
  EXPECT_EQ(o.hitCircles.dy[4], 38);
  const int32_t score = Score;
  ASSERT_TRUE(b.bench.field.DamageEnemy({0, b.slot, kTestBody, 0}, 1000));
  EXPECT_EQ(Score - score, EnemyKillScore(o.scoreBase));
  b.bench.PassBoss();
  EXPECT_EQ(o.state, 0);
}

}  // namespace
