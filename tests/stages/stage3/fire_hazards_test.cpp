// Stage 3's fire on a still bench: the falling-fire event's timeline through StageMarker (and
// the marker it leaves when the pool takes the event early), a vent's puffs, jets and sound by
// its facing, the curtain's descent and fade, the launchers' two volleys, and what a fireball
// leaves when shot down or when it meets rock.
#include <cstring>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"

namespace {

constexpr int16_t kVent = 11;
constexpr int16_t kCurtain = 18;
constexpr int16_t kVolley = 14;
constexpr int16_t kSmallVolley = 15;
constexpr int16_t kLargeFireball = 10;
constexpr int16_t kSmallFireball = 11;
constexpr int16_t kFallingFire = 19;

int Count(int sound, const std::vector<int>& sounds) {
  int n = 0;
  for (int s : sounds) n += s == sound;
  return n;
}

TEST(Stage3Fire, TheFallingFireEventDropsAColumnEvery8FramesAndFadesThemOutBy960) {
  Stage3Bench bench;
  PlayerX = 40;
  const int16_t slot = bench.SpawnPool0(kVent, 400, 0, 30);
  EnemyObject& event = EnemyPool0[slot];
  std::vector<int> columnFrames;
  int harmlessFrom = -1, firstColumnSounds = 0;
  for (int pass = 0; pass < 1000; ++pass) {
    const std::vector<int> sounds = bench.PassBoth();  // the columns run before the event
    firstColumnSounds += Count(53, sounds);
    const int f = event.frame;
    for (const EnemyObject& c : EnemyPool1) {
      if (c.state == 1 && c.type == kFallingFire) {
        columnFrames.push_back(f);
        EXPECT_EQ(c.imageFrame, columnFrames.size() == 1 ? 1 : 0);
        EXPECT_EQ(c.x, 400);
      }
      if (c.state == 2 && c.type == kFallingFire && c.hitMode == 0 && harmlessFrom < 0)
        harmlessFrom = f;
    }
    if (f >= 1 && f <= 896) {
      ASSERT_EQ(StageMarker, 255) << f;
    } else if (f > 896 && f <= 960) {
      ASSERT_EQ(StageMarker, (960 - f) * 4) << f;
    }
    if (f == 962) {  // the last column, spawned at 960, was set up at 961
      for (const EnemyObject& c : EnemyPool1) EXPECT_FALSE(c.state == 2 && c.type == kFallingFire);
    }
  }
  ASSERT_EQ(columnFrames.size(), 120u);  // frames 8, 16, .., 960
  for (size_t k = 0; k < columnFrames.size(); ++k) EXPECT_EQ(columnFrames[k], 8 * (int)(k + 1));
  EXPECT_EQ(firstColumnSounds, 1);
  // The columns fade with the marker: harmless once their blend is below 320 (marker 64, at the
  // event's frame 945), which they read in the frame after, as they run before it.
  EXPECT_EQ(harmlessFrom, 946);
  EXPECT_EQ(StageMarker, 0);
}

TEST(Stage3Fire, AColumnFallsFromAbove24PxAFrameShakingAndBlendsByTheMarker) {
  Stage3Bench bench;
  const int16_t c = bench.SpawnPool1(kFallingFire, 100, 0, 0, 256);
  StageMarker = 255;
  bench.PassPool1();
  EXPECT_EQ(EnemyPool1[c].x, 148);
  EXPECT_EQ(EnemyPool1[c].y, -160);
  EXPECT_EQ(EnemyPool1[c].hitMode, 3);
  bench.PassPool1();
  EXPECT_EQ(EnemyPool1[c].y, -136);
  EXPECT_EQ(EnemyPool1[c].blend, 511);
  EXPECT_EQ(ScreenShake.active, 1);
  StageMarker = 63;
  bench.PassPool1();
  EXPECT_EQ(EnemyPool1[c].blend, 319);
  EXPECT_EQ(EnemyPool1[c].hitMode, 0);
  StageMarker = 0;
  bench.PassPool1();
  EXPECT_EQ(EnemyPool1[c].state, 0);
}

TEST(Stage3Fire, AnEventTakenEarlyByThePoolLeavesTheMarkerAtItsLastValue) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kVent, 400, 0, 30);
  EnemyObject& event = EnemyPool0[slot];
  while (event.frame < 920) bench.PassPool0();
  EXPECT_EQ(StageMarker, 160);
  DrawOffsetX = -1200;  // the view leaves the event more than 60 px behind
  CameraX = 1200;
  ViewRight = 1840;
  bench.PassPool0();
  EXPECT_EQ(event.state, 0);
  for (int f = 0; f < 10; ++f) bench.PassPool0();
  EXPECT_EQ(StageMarker, 160);
}

// A vent arms once its screen y is at most variant x 40; each burst: its sound, puffs at speed
// 1 on every 8th frame, then jets at 16 from the 12th count to the 24th; it faces right before
// world x 9200, left after, and fires even off screen.
TEST(Stage3Fire, AVentBurstsPuffsThenJetsAlongItsFacingOnceArmed) {
  struct Row {
    double drawOffsetX;
    double x;   // world
    double x0;  // after its set-up
    int16_t facing;
  } rows[] = {{0, 100, 80, 0}, {-8900, 9300, 9320, 512}, {0, 690, 670, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.x);
    Stage3Bench bench;
    DrawOffsetX = r.drawOffsetX;
    CameraX = -r.drawOffsetX;
    ViewRight = CameraX + 640;
    const int16_t slot = bench.SpawnPool0(kVent, r.x, 300, 5);
    EnemyObject& vent = EnemyPool0[slot];
    for (int f = 0; f < 10; ++f) EXPECT_TRUE(bench.PassPool0().empty());
    EXPECT_EQ(vent.x, r.x0);
    EXPECT_EQ(vent.y, 320);
    EXPECT_EQ(vent.heading, r.facing);
    EXPECT_EQ(CountEnemyShotsOfType(17), 0) << "not armed at screen y 320";
    DrawOffsetY = -120;  // screen y 200 = 5 x 40
    std::vector<double> speeds;
    int sounds = 0;
    while (vent.state == 2 && speeds.size() < 40 && vent.frame < 400) {
      ClearEnemyShots();
      sounds += Count(52, bench.PassPool0());
      for (const EnemyShot* s : EnemyShotsOfType(17)) {
        EXPECT_EQ(s->drawAngle, r.facing);
        speeds.push_back(s->speed);
      }
      if (vent.intWork0 == 0 && !speeds.empty()) break;
    }
    ASSERT_FALSE(speeds.empty());
    int puffs = 0, jets = 0;
    for (double s : speeds) (s == 1 ? puffs : jets) += 1;
    EXPECT_GE(puffs, 1);
    EXPECT_EQ(jets, 14);  // counts 12..25
    for (size_t k = puffs; k < speeds.size(); ++k) EXPECT_EQ(speeds[k], 16);
    EXPECT_EQ(sounds, 1);
  }
}

TEST(Stage3Fire, AVentLeavesAtTheEndOfABurstOnceAboveTheScreen) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kVent, 100, 300, 9);  // armed at once
  EnemyObject& vent = EnemyPool0[slot];
  bench.PassPool0();
  bench.PassPool0();
  ASSERT_GT(vent.intWork0, 0);
  DrawOffsetY = -330;  // the vent is above the screen now, within its margins
  while (vent.state == 2 && vent.intWork0 != 0) bench.PassPool0();
  EXPECT_EQ(vent.state, 0);
}

TEST(Stage3Fire, TheCurtainSinksFromMinus240ToMinus60OnScreenAndFadesBelow1400) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kCurtain, 0, 0);
  EnemyObject& curtain = EnemyPool0[slot];
  bench.PassPool0();
  EXPECT_EQ(curtain.x, 320);
  EXPECT_EQ(curtain.y, -240);
  EXPECT_EQ(curtain.blend, 511);
  for (int f = 0; f < 450; ++f) bench.PassPool0();
  EXPECT_NEAR(curtain.realWork0, -150, 1e-6);
  for (int f = 0; f < 500; ++f) bench.PassPool0();
  EXPECT_EQ(curtain.realWork0, -60);
  // It keeps to the screen as the view moves; once the top is below world y 1400 it fades.
  DrawOffsetX = -50;
  DrawOffsetY = -1400;
  bench.PassPool0();
  EXPECT_EQ(curtain.x, 370);
  EXPECT_EQ(curtain.y, 1340);
  EXPECT_EQ(curtain.blend, 511);
  DrawOffsetY = -1401;
  int frames = 0;
  while (curtain.state == 2 && frames < 400) {
    bench.PassPool0();
    ++frames;
  }
  EXPECT_EQ(frames, 254);  // 511 down to 257
}

// (type, y offset, angle offset) of each fireball a volley throws.
using Throw = std::tuple<int, int, int>;

std::vector<std::vector<Throw>> Volleys(int16_t type, int difficulty, bool oddFrame,
                                        int16_t variant) {
  Stage3Bench bench(difficulty);
  GameFrame = oddFrame ? 101 : 100;
  const int16_t slot = bench.SpawnPool0(type, 300, 200, variant);
  std::vector<std::vector<Throw>> volleys;
  const int16_t a = static_cast<int16_t>((variant - 54) * 64 + 256);
  for (int f = 0; f < 60 && EnemyPool0[slot].state != 0; ++f) {
    bench.PassPool0();
    std::vector<Throw> v;
    for (EnemyObject& b : EnemyPool1) {
      if (b.state == 0) continue;
      v.push_back({b.type, static_cast<int>(b.y) - 200, WrapAngle(b.angle - a + 512) - 512});
      EXPECT_EQ(b.x, 320);
      b.state = 0;
    }
    if (!v.empty()) volleys.push_back(v);
  }
  EXPECT_EQ(EnemyPool0[slot].state, 0);
  return volleys;
}

TEST(Stage3Fire, LaunchersFireTwoVolleysByDifficultyAndFrameParityAndLowVariantsNone) {
  const Throw large{kLargeFireball, 0, 0};
  const std::vector<Throw> oddMix = {{kSmallFireball, -60, -16}, {kLargeFireball, 60, 16}};
  const std::vector<Throw> evenMix = {{kLargeFireball, -60, -16}, {kSmallFireball, 60, 16}};
  const std::vector<Throw> easyPair = {{kSmallFireball, -60, -16}, {kSmallFireball, 60, 16}};
  struct Row {
    int difficulty;
    bool odd;
    std::vector<Throw> second;
  } rows[] = {
      {1, true, {easyPair[0], easyPair[1], oddMix[0], oddMix[1]}},
      {0, false, {easyPair[0], easyPair[1], evenMix[0], evenMix[1]}},
      {2, true, oddMix},
      {3, false, evenMix},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << (r.odd ? " odd" : " even"));
    const auto v = Volleys(kVolley, r.difficulty, r.odd, 58);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0], std::vector<Throw>{large});
    EXPECT_EQ(v[1], r.second);
  }
  const auto small = Volleys(kSmallVolley, 1, false, 55);
  ASSERT_EQ(small.size(), 2u);
  EXPECT_EQ(small[0], std::vector<Throw>{Throw(kSmallFireball, 0, 0)});
  EXPECT_EQ(small[1], (std::vector<Throw>{{kSmallFireball, -40, -16}, {kSmallFireball, 40, 16}}));
  for (int16_t type : {kVolley, kSmallVolley}) EXPECT_TRUE(Volleys(type, 2, true, 53).empty());
}

TEST(Stage3Fire, AShotLargeFireballSplitsInThreeAndAShotSmallOneSpitsShotsAboveEasy) {
  for (int difficulty = 0; difficulty < 4; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Stage3Bench bench(difficulty);
    PlayerX = 40;
    const int16_t large = bench.SpawnPool1(kLargeFireball, 300, 200, 0, 100);
    const uint32_t lcg = LcgRandomState;
    bench.PassPool1();
    EXPECT_EQ(LcgDrawsBetween(lcg, LcgRandomState), 1) << "one draw: its first drawn angle";
    EXPECT_EQ(EnemyPool1[large].heading, 100);
    bench.PassPool1();
    EXPECT_EQ(EnemyPool1[large].angle, 100) << "then it shows its heading";
    EnemyPool1[large].state = 3;
    EXPECT_EQ(Count(31, bench.PassPool1()), 1);
    // Spawned into the slots from the freed one up: those above it were set up in the same pass.
    std::vector<int> smallHeadings;
    for (const EnemyObject& o : EnemyPool1)
      if (o.state != 0 && o.type == kSmallFireball)
        smallHeadings.push_back(o.state == 1 ? o.angle : o.heading);
    EXPECT_EQ(smallHeadings, (std::vector<int>{4, 100, 196}));

    ClearEnemyShots();
    const int16_t small = bench.SpawnPool1(kSmallFireball, 300, 200, 0, 0);
    bench.PassPool1();
    EnemyPool1[small].state = 3;
    bench.PassPool1();
    const auto shots = EnemyShotsOfType(18);
    ASSERT_EQ(shots.size(), difficulty == 0 ? 0u : 3u);
    for (size_t k = 0; k < shots.size(); ++k) {
      EXPECT_EQ(shots[k]->drawAngle, WrapAngle(-96 + 96 * static_cast<int>(k)));
      EXPECT_DOUBLE_EQ(shots[k]->speed, 2 + 0.1 * difficulty);
    }
  }
}

TEST(Stage3Fire, AFireballThatMeetsRockBurnsOutWithoutSplitting) {
  Stage3Bench bench;
  PlayerX = 40;              // out of its way
  Stage3Bench::Rock(10, 5);  // x 400..440, y 200..240
  const int16_t slot = bench.SpawnPool1(kLargeFireball, 300, 220, 0, 0);
  int frames = 0;
  std::vector<int> sounds;
  while (EnemyPool1[slot].state != 0 && frames < 100) {
    sounds = bench.PassPool1();
    ++frames;
  }
  EXPECT_LT(frames, 100);
  EXPECT_LT(EnemyPool1[slot].x + 16, 404) << "its leading edge met the rock";
  EXPECT_EQ(Count(31, sounds), 1);
  for (const EnemyObject& o : EnemyPool1)
    EXPECT_EQ(o.state, 0) << o.type << " " << o.x << " " << o.y;
}

}  // namespace
