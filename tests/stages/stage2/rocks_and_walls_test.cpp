// Stage 2's rocks, ions and rock walls on the bench: the breaks into pieces (also by the stage
// clear), the bounces off terrain, other rocks and the wall's centre, the twice-scaled lives,
// the ions' fades and the boss fight's ban, the masses' speeds and wraps, the cores' regrowth,
// and the cannons' ion pairs.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

constexpr int16_t kLargeRock = 12, kMediumRock = 13, kIon = 18, kWall = 19;

struct Live {
  int32_t type;
  double x, y;
  int16_t heading;
};

// The pool-1 objects in use, spawned or set up, in slot order.
std::vector<Live> LivePool1() {
  std::vector<Live> live;
  for (const EnemyObject& o : EnemyPool1) {
    if (o.state == 0) continue;
    // Before its set-up a rock's heading is still in its angle word.
    live.push_back({o.type, o.x, o.y, o.state == 1 ? o.angle : o.heading});
  }
  return live;
}

void ExpectNear(double a, double b, const char* what) { EXPECT_NEAR(a, b, 1e-9) << what; }

}  // namespace

TEST(Stage2Rocks, BreakIntoTheirPiecesAtTheListedPointsAndAngles) {
  struct Case {
    int16_t type;
    std::vector<int32_t> pieces;
    std::vector<double> dx, dy;
    std::vector<int> turns;
  };
  const Case cases[] = {
      {kLargeRock, {13, 14, 15}, {-8, 16, 0}, {-8, 0, 16}, {640, 0, 256}},
      {kMediumRock, {16, 17}, {8, -8}, {-8, 8}, {896, 384}},
      {14, {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    Stage2Bench bench;
    PlayerX = -500;  // the ship out of the way
    const int16_t heading = 100;
    const int16_t slot = bench.Spawn1(c.type, 300, 200, 0, heading);
    EnemyObject& rock = EnemyPool1[slot];
    ASSERT_EQ(rock.heading, heading);
    rock.state = 3;
    const double x = rock.x, y = rock.y;
    const std::vector<int> sounds = bench.Pass1();
    const std::vector<Live> live = LivePool1();
    ASSERT_EQ(live.size(), c.pieces.size()) << c.type;
    for (size_t k = 0; k < live.size(); ++k) {
      EXPECT_EQ(live[k].type, c.pieces[k]);
      ExpectNear(live[k].x, RotateOffsetX(x, c.dx[k], c.dy[k], heading), "x");
      ExpectNear(live[k].y, RotateOffsetY(y, c.dx[k], c.dy[k], heading), "y");
      EXPECT_EQ(live[k].heading, WrapAngle(heading + c.turns[k]));
    }
    // Small rocks only burst, with the crack.
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 31), c.pieces.empty() ? 1 : 0) << c.type;
  }
}

TEST(Stage2Rocks, AStageClearBreaksThemToo) {
  Stage2Bench bench;
  PlayerX = -500;  // the ship out of the way
  bench.Spawn1(kLargeRock, 300, 200, 0, 512);
  StageClearTimer = 50;
  const std::vector<int> sounds = bench.Pass1();
  StageClearTimer = 0;
  // The medium piece took the broken rock's slot, which the pass had done with; the two small
  // ones came above it, so the same rule burst them later in the same pass.
  const std::vector<Live> live = LivePool1();
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].type, 13);
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 31), 2);
}

TEST(Stage2Rocks, LivesAreScaledByRankTwice) {
  for (const int16_t power : {0, 200, 440}) {
    for (const auto& [type, base] : {std::pair{12, 45}, {13, 36}, {16, 27}, {18, 5}}) {
      Stage2Bench bench;
      PlayerX = -500;  // the ship out of the way
      PowerRank = power;
      const int16_t slot = bench.Spawn1(static_cast<int16_t>(type), 300, 200);
      const int32_t twice = ScaleLifeByRank(ScaleLifeByRank(base));
      EXPECT_EQ(EnemyPool1[slot].life, twice) << type << " at " << power;
      EXPECT_EQ(EnemyPool1[slot].scoreBase, twice);
    }
  }
}

TEST(Stage2Rocks, BounceOffTerrainWithACooldownAndThePositionPutBack) {
  Stage2Bench bench;
  PlayerX = -500;            // the ship out of the way
  Stage2Bench::Block(5, 5);  // x 200..240, y 200..240, straight to the rock's left
  const int16_t slot = bench.Spawn1(14, 260, 220, 0, 512);
  const EnemyObject& rock = EnemyPool1[slot];
  double xBefore = rock.x;
  int bounceFrame = -1;
  for (int f = 0; f < 40 && bounceFrame < 0; ++f) {
    xBefore = rock.x;
    bench.Pass1();
    if (rock.heading != 512) bounceFrame = f;
  }
  Stage2Bench::Unblock(5, 5);
  ASSERT_GE(bounceFrame, 0);
  EXPECT_TRUE(rock.heading > 768 || rock.heading < 256) << rock.heading;  // back to the right
  EXPECT_EQ(rock.x, xBefore);                                             // put back where it was
  EXPECT_EQ(rock.intWork0, 16);
}

namespace {

// Two overlapping small rocks level with each other, moving as given; their frame counters set
// to age.
struct RockPair {
  Stage2Bench bench;
  int16_t left, right;
  RockPair(int16_t leftHeading, int16_t rightHeading, int32_t age) {
    PlayerX = -500;
    left = bench.Spawn1(14, 300, 200, 0, leftHeading);
    right = bench.Spawn1(15, 315, 200, 0, rightHeading);
    EnemyPool1[left].frame = EnemyPool1[right].frame = age;
    SolidEnemyTimer = 8;
  }
};

}  // namespace

TEST(Stage2Rocks, BounceOffEachOtherOnlyWhenClosingInAndOlderThan32Frames) {
  struct Case {
    int16_t leftHeading, rightHeading;
    int32_t age;
    bool bounces;
  };
  const Case cases[] = {{0, 512, 40, true}, {512, 0, 40, false}, {0, 512, 31, false}};
  for (const Case& c : cases) {
    RockPair pair(c.leftHeading, c.rightHeading, c.age);
    const double rightX = EnemyPool1[pair.right].x;
    pair.bench.Pass1();
    const bool bounced = EnemyPool1[pair.left].heading != c.leftHeading;
    EXPECT_EQ(bounced, c.bounces) << c.leftHeading << " " << c.age;
    if (c.bounces) {
      EXPECT_EQ(EnemyPool1[pair.left].heading, 512);
      // The left rock bounced the right one too (its own test then sees them apart), and only the
      // mover was put back: the right rock moved on from its place.
      EXPECT_EQ(EnemyPool1[pair.right].heading, 0);
      EXPECT_NE(EnemyPool1[pair.right].x, rightX);
    }
  }
}

TEST(Stage2Rocks, ARockCoveringTheWallsCentreBouncesOffIt) {
  Stage2Bench bench;
  PlayerX = -500;                                      // the ship out of the way
  const int16_t wall = bench.Spawn1(kWall, 300, 180);  // centre at (360, 200)
  const int16_t rock = bench.Spawn1(kMediumRock, 350, 200, 0, 0);
  EnemyPool1[rock].frame = 40;
  SolidEnemyTimer = 8;
  bench.Pass1();
  ASSERT_EQ(EnemyPool1[wall].x, 360);
  EXPECT_EQ(EnemyPool1[rock].heading, 512);
}

TEST(Stage2Ions, FadeInBecomeHarmfulAndFadeOutWithoutABlast) {
  Stage2Bench bench;
  PlayerX = -500;  // the ship out of the way
  const int16_t slot = bench.Spawn1(kIon, 300, 200, 0, 512);
  const EnemyObject& ion = EnemyPool1[slot];
  EXPECT_EQ(ion.hitMode, 0);
  EXPECT_EQ(ion.blend, 511);
  for (int f = 0; f < 9; ++f) bench.Pass1();
  EXPECT_EQ(ion.intWork0, 12);
  EXPECT_EQ(ion.hitMode, 1);
  EXPECT_EQ(ion.imageFrame, GameFrame / 2 % 4 + 12);
  EnemyPool1[slot].state = 3;
  int frames = 0;
  while (ion.state != 0 && frames < 20) {
    EXPECT_TRUE(bench.Pass1().empty());
    frames += 1;
  }
  EXPECT_EQ(frames, 9);  // the fade's last level gone on the 8th frame after the first
}

TEST(Stage2Ions, NoneDuringABossFightAndFlyingOnesFadeWhenItStarts) {
  Stage2Bench bench;
  PlayerX = -500;  // the ship out of the way
  const int16_t flying = bench.Spawn1(kIon, 300, 200, 0, 512);
  BossState = 1;
  const int16_t late = bench.Spawn1(kIon, 300, 300, 0, 512);
  EXPECT_EQ(EnemyPool1[late].state, 0);
  EXPECT_EQ(EnemyPool1[flying].state, 3);  // fading out from the next frame
  BossState = 0;
}

namespace {

// A wall of that variant at (300, 180); the upper mass's offset after each of frames passes.
std::vector<double> MassOffsets(int difficulty, int16_t variant, int frames) {
  Stage2Bench bench(difficulty);
  PlayerX = -500;  // the ship out of the way
  const int16_t slot = bench.Spawn1(kWall, 300, 180, variant);
  std::vector<double> offsets;
  for (int f = 0; f < frames; ++f) {
    bench.Pass1();
    offsets.push_back(EnemyPool1[slot].partsB[0].offsetY);
  }
  return offsets;
}

}  // namespace

TEST(Stage2RockWall, MassesMoveByVariantAndDifficulty) {
  struct Case {
    int difficulty;
    int16_t variant;
    double step;
  };
  const Case cases[] = {{1, 0, -0.8}, {1, 1, 0.8}, {1, 2, -1.6}, {1, 3, 1.6},
                        {2, 0, -1.2}, {3, 1, 1.2}, {2, 2, -1.8}, {3, 3, 1.8},
                        {1, 4, 0},    {1, -1, 0},  {2, 62, 0}};
  for (const Case& c : cases) {
    const std::vector<double> o = MassOffsets(c.difficulty, c.variant, 3);
    EXPECT_NEAR(o[2] - o[1], c.step, 1e-9) << c.difficulty << " " << c.variant;
  }
}

TEST(Stage2RockWall, ADestroyedCoreRegrowsTwoFramesAfterItsMassWrapsAndScoresAgain) {
  Stage2Bench bench(1);
  PlayerX = -500;                                         // the ship out of the way
  const int16_t slot = bench.Spawn1(kWall, 300, 180, 0);  // masses move up by 0.8
  EnemyObject& wall = EnemyPool1[slot];
  const EnemyPart& core = wall.partsB[2];    // on the upper mass
  const EnemyPart& cannon = wall.partsB[6];  // on that core
  const TestDamageTarget target{1, slot, kTestPartsB, 2};
  bench.Pass1();
  const int32_t before = Score;
  ASSERT_TRUE(bench.field.DamageEnemy(target, core.life + 1));
  EXPECT_GT(Score, before);
  int wrapFrame = -1, regrowFrame = -1;
  for (int f = 0; f < 260 && regrowFrame < 0; ++f) {
    bench.Pass1();
    if (core.state == 4) {
      EXPECT_EQ(cannon.state, 4);  // the cannon on it went with it
    }
    if (wall.partsB[0].cue == 8) wrapFrame = f;
    if (core.state == 2) regrowFrame = f;
  }
  ASSERT_GE(wrapFrame, 0);
  EXPECT_EQ(regrowFrame, wrapFrame + 2);
  EXPECT_EQ(core.life, ScaleLifeByRank(160));
  EXPECT_EQ(core.imageFrame, 0);
  EXPECT_EQ(cannon.state, 2);
  EXPECT_EQ(cannon.life, -1);
  EXPECT_EQ(cannon.imageFrame, 1);
  const int32_t second = Score;
  ASSERT_TRUE(bench.field.DamageEnemy(target, core.life + 1));
  EXPECT_GT(Score, second);
}

TEST(Stage2RockWall, CannonsFireFiveIonPairsOneDrawAnIonTheUpperFirst) {
  Stage2Bench bench(1);
  PlayerX = -500;                                         // the ship out of the way
  const int16_t slot = bench.Spawn1(kWall, 300, 180, 4);  // masses standing
  std::vector<int16_t> left, right;
  for (int f = 0; f < ComputeFireInterval(220, 0) + 60; ++f) {
    bench.Pass1();
    for (int s = 0; s < kEnemyPool1Size; ++s) {
      const EnemyObject& o = EnemyPool1[s];
      if (o.type != kIon || o.state != 2 || o.frame != 0) continue;
      (o.x < EnemyPool1[slot].x ? left : right).push_back(o.heading);
    }
  }
  // Two cannons a side, five pairs each.
  EXPECT_EQ(left.size(), 20u);
  EXPECT_EQ(right.size(), 20u);
  for (const int16_t a : left) {
    EXPECT_GE(a, 448);
    EXPECT_LE(a, 576);
  }
  for (const int16_t a : right) EXPECT_TRUE(a >= 960 || a <= 64) << a;
}

TEST(Stage2Roster, EveryDestructibleDriftersAndGunshipsLifeAndScoreAtTwoPowerRanks) {
  struct Row {
    int pool;
    int16_t type;
    int part;  // -1 the body, else a slot of partsB
    int32_t base;
    bool twice;  // rocks and ions scale twice
  };
  const Row rows[] = {
      {0, 11, -1, 380, false}, {0, 12, -1, 8, false},  {1, 10, -1, 80, false},
      {1, 11, -1, 40, false},  {1, 12, -1, 45, true},  {1, 13, -1, 36, true},
      {1, 14, -1, 27, true},   {1, 17, -1, 27, true},  {1, 18, -1, 5, true},
      {1, 19, 2, 160, false},  {1, 19, 5, 160, false},
  };
  for (const int16_t power : {0, 440}) {
    for (const Row& r : rows) {
      Stage2Bench bench;
      PlayerX = -500;  // the ship out of the way
      GameFrame = 200;
      PowerRank = power;
      const int16_t slot =
          r.pool == 0 ? bench.Spawn(r.type, 300, 100) : bench.Spawn1(r.type, 300, 100);
      // The pod runs from the top slot.
      const int at = r.pool == 0 && r.type == 11 ? kEnemyPool0Size - 1 : slot;
      const EnemyObject& o = (r.pool == 0 ? EnemyPool0 : EnemyPool1)[at];
      const int32_t life = r.part < 0 ? o.life : o.partsB[r.part].life;
      const int32_t score = r.part < 0 ? o.scoreBase : o.partsB[r.part].scoreBase;
      const int32_t once = ScaleLifeByRank(r.base);
      EXPECT_EQ(life, r.twice ? ScaleLifeByRank(once) : once) << r.pool << " " << r.type;
      EXPECT_EQ(score, life) << r.pool << " " << r.type;
    }
  }
}

TEST(Stage2Roster, MapValuesOutOfEveryTableReadNothingOutside) {
  // Upper values 0 and 63 (variants -1 and 62) on the kinds that read their variant; the
  // sanitizers watch every read.
  for (const int16_t variant : {-1, 62}) {
    Stage2Bench bench;
    GameFrame = 200;
    PlayerX = -500;
    for (const int16_t type : {11, 17, 18, 19}) bench.Spawn(type, 300, 100, variant);
    for (const int16_t type : {11, 19}) bench.Spawn1(type, 400, 200, variant);
    for (int f = 0; f < 300; ++f) {
      bench.Pass();
      bench.Pass1();
    }
    const int16_t wall = bench.Spawn1(19, 300, 180, variant);
    bench.Pass1();
    EXPECT_EQ(EnemyPool1[wall].partsB[0].offsetY, -150) << variant;  // its masses stand
  }
}
