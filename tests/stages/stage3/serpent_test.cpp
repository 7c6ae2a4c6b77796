// The stage-3 serpent on a still bench: its 31 parts on their trail entries, the placeholders
// that give way once it moves, the scroll it stops at world x 9200 and frees at its death, the
// attack (only on a still screen, the body frozen, segments opening and their six shots at
// counter 28, the tail's volley), the random draws only at the steering machine's branches, and
// the head that closes after 3900 of its frames and ends the serpent at 4120.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"

namespace {

constexpr int16_t kSerpent = 13;
constexpr int16_t kPlaceholder = 16;
constexpr int16_t kPlaceholder2 = 17;
constexpr int kHead = 15;

bool IsBranchingState(int32_t s) { return s == 0 || s == 4 || s == 8; }

TEST(Stage3Serpent, WaitsForTheScreenThenItsPartsRideTheirTrailEntriesAndPlaceholdersGo) {
  Stage3Bench bench;
  PlayerX = -1000;  // the ship out of the serpent's way
  const int16_t p1 = bench.SpawnPool0(kPlaceholder, 100, 100);
  const int16_t p2 = bench.SpawnPool0(kPlaceholder2, 100, 140);
  const int16_t slot = bench.SpawnPool0(kSerpent, 300, 180);
  EnemyObject& o = EnemyPool0[slot];
  for (int f = 0; f < 5; ++f) bench.PassPool0();
  // Right of screen x 240 it waits; nothing has moved, so the placeholders stay.
  EXPECT_EQ(o.phase, 0);
  EXPECT_EQ(o.y, 100);  // 80 px up at its set-up
  EXPECT_EQ(StageWork[0], 0);
  EXPECT_EQ(o.partCountA, 15);
  EXPECT_EQ(o.partCountB, 16);
  EXPECT_EQ(o.partsB[3].x, 0) << "parts sit at the cleared trail's (0, 0)";
  EXPECT_NE(EnemyPool0[p1].state, 0);
  EXPECT_NE(EnemyPool0[p2].state, 0);

  DrawOffsetX = -60;  // screen x 240 is world x 300 now
  bench.PassPool0();
  EXPECT_EQ(o.phase, 1);
  EXPECT_NE(StageWork[0], 0);
  EXPECT_NE(EnemyPool0[p1].state, 0) << "they go the frame after the first move";
  bench.PassPool0();
  EXPECT_EQ(EnemyPool0[p1].state, 0);
  EXPECT_EQ(EnemyPool0[p2].state, 0);

  // Entries are the swung head point, truncated toward zero, newest first.
  for (int f = 0; f < 400; ++f) {
    bench.PassPool0();
    if (o.speed > 0) {
      EXPECT_EQ(StageWork[0], static_cast<int32_t>(o.realWork0));
      EXPECT_EQ(StageWorkY[0], static_cast<int32_t>(o.realWork1));
    }
  }
  for (int k = 0; k < 15; ++k) {
    EXPECT_EQ(o.partsA[k].x, StageWork[247 - 16 * k]) << "joint " << k;
    EXPECT_EQ(o.partsA[k].y, StageWorkY[247 - 16 * k]) << "joint " << k;
  }
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(o.partsB[k].x, StageWork[255 - 16 * k]) << "segment " << k;
    EXPECT_EQ(o.partsB[k].y, StageWorkY[255 - 16 * k]) << "segment " << k;
  }
  EXPECT_EQ(o.partsB[0].imageFrame, 12);  // the tail
  EXPECT_EQ(o.partsB[kHead].life, ScaleLifeByRank(4000));
}

TEST(Stage3Serpent, StopsTheScrollOnceTheRightEdgeReaches9200AndFreesItAtItsDeath) {
  for (double rightEdge : {9199.0, 9200.0}) {
    SCOPED_TRACE(rightEdge);
    Stage3Bench bench;
    DrawOffsetX = 640 - rightEdge;
    ScrollTargetSpeed = 1;
    const int16_t slot = bench.SpawnPool0(kSerpent, rightEdge + 200, 180);  // still waiting
    bench.PassPool0();
    bench.PassPool0();
    EXPECT_EQ(ScrollTargetSpeed, rightEdge >= 9200 ? 0 : 1);
    if (rightEdge < 9200) continue;
    EnemyObject& o = EnemyPool0[slot];
    StageWork[7] = StageWorkY[7] = 5;
    ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsB, kHead}, 1000000));
    bench.PassPool0();  // the head goes and hands its death to the serpent
    EXPECT_EQ(o.partsB[kHead].state, 0);
    EXPECT_EQ(o.state, 3);
    bench.PassPool0();
    EXPECT_EQ(o.state, 4);
    EXPECT_EQ(ScrollTargetSpeed, 1);
    bench.PassPool0();
    EXPECT_EQ(o.state, 0);
    EXPECT_EQ(StageWork[7], 0);
    EXPECT_EQ(StageWorkY[7], 0);
  }
}

// The serpent held on an attack over a trail laid across the screen: nothing shifts, the body
// segments open over 20 frames and each fires its six shots at counter 28, then they close.
TEST(Stage3Serpent, AnAttackFreezesTheBodyOpensItsSegmentsAndFiresSixShotsEachAtCounter28) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kSerpent, 200, 280);
  EnemyObject& o = EnemyPool0[slot];
  bench.PassPool0();  // set-up, parts attached and set up
  for (int i = 0; i < kStageWorkSize; ++i) {
    StageWork[i] = 600 - 2 * i;  // newest on the right: every part faces angle 0
    StageWorkY[i] = 200;
  }
  for (EnemyPart& p : o.partsB) p.angle = 0;
  for (EnemyPart& p : o.partsA) p.angle = 0;
  o.phase = 1;
  o.intWork3 = 1;
  o.frame = 1;  // clear of the attack trigger
  const std::vector<int32_t> trail(StageWork, StageWork + kStageWorkSize);
  std::vector<int> volleyCounters;
  int openedAtCounter = -1;
  while (o.intWork3 != 0) {
    ClearEnemyShots();
    bench.PassPool0();
    EXPECT_EQ(o.speed, 0);
    const int n = CountEnemyShotsOfType(1);
    if (n > 0) {
      volleyCounters.push_back(o.intWork3);
      EXPECT_EQ(n, 14 * 6);
      int bySpeed[3] = {};
      for (const EnemyShot* s : EnemyShotsOfType(1)) {
        EXPECT_TRUE(s->drawAngle == 256 || s->drawAngle == 768) << s->drawAngle;
        for (int k = 0; k < 3; ++k) bySpeed[k] += s->speed == ScaleShotSpeed(2 + 0.5 * k);
      }
      EXPECT_EQ(bySpeed[0], 28);
      EXPECT_EQ(bySpeed[1], 28);
      EXPECT_EQ(bySpeed[2], 28);
    }
    if (openedAtCounter < 0 && o.partsB[5].imageFrame == 11) {
      openedAtCounter = o.intWork3;
      EXPECT_EQ(o.partsB[5].hitCircles.dy[2], -42);
      EXPECT_EQ(o.partsB[5].hitCircles.dy[3], 42);
    }
    ASSERT_LT(o.frame, 100);
  }
  EXPECT_EQ(std::vector<int32_t>(StageWork, StageWork + kStageWorkSize), trail);
  EXPECT_EQ(volleyCounters, std::vector<int>{28});
  EXPECT_GE(openedAtCounter, 20);
  EXPECT_LE(openedAtCounter, 24);
  for (int f = 0; f < 24; ++f) bench.PassPool0();
  EXPECT_EQ(o.partsB[5].imageFrame, 6);
  EXPECT_EQ(o.partsB[5].hitCircles.dy[2], 0);
}

TEST(Stage3Serpent, TheTailFiresThreeShotsBackwardOnItsBeat) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kSerpent, 200, 280);
  EnemyObject& o = EnemyPool0[slot];
  bench.PassPool0();
  for (int i = 0; i < kStageWorkSize; ++i) {
    StageWork[i] = 600 - 2 * i;
    StageWorkY[i] = 200;
  }
  o.partsB[0].angle = 0;
  o.phase = 1;
  o.intWork3 = 1;  // held still by an attack
  const int every = ComputeFireInterval(16, o.rank), at = ComputeFireInterval(4, o.rank) - 1;
  int volleys = 0;
  for (int f = 0; f < 4 * every; ++f) {
    ClearEnemyShots();
    o.intWork3 = 1;
    bench.PassPool0();
    const auto shots = EnemyShotsOfType(0);
    if (shots.empty()) continue;
    ++volleys;
    EXPECT_EQ(o.partsB[0].counter % every, at);
    ASSERT_EQ(shots.size(), 3u);
    const int tailAngle = o.partsB[0].angle;
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(shots[k]->drawAngle, WrapAngle(tailAngle + 448 + 64 * k));
      EXPECT_NEAR(shots[k]->x, o.partsB[0].x - 44 * std::cos(tailAngle * M_PI / 512), 1e-6);
    }
  }
  EXPECT_EQ(volleys, 4);
}

// On a still screen: an attack on every I(240) = I(40) frame; while the screen scrolls, none.
// Over a long run the generator is drawn exactly once on each branching transition.
TEST(Stage3Serpent, AttacksOnlyOnAStillScreenAndDrawsOnlyAtTheBranchingTransitions) {
  for (bool scrolling : {false, true}) {
    SCOPED_TRACE(scrolling);
    Stage3Bench bench;
    const int16_t slot = bench.SpawnPool0(kSerpent, 200, 160);
    EnemyObject& o = EnemyPool0[slot];
    int attacks = 0, branches = 0;
    std::vector<int32_t> statesSeen;
    for (int f = 0; f < 3000; ++f) {
      ScrollDeltaX = scrolling ? 1 : 0;
      const int32_t before = o.intWork0;
      const int32_t attackBefore = o.intWork3;
      const uint32_t lcg = LcgRandomState;
      bench.PassPool0();
      if (f % 64 == 0) ClearEnemyShots();
      const int draws = LcgDrawsBetween(lcg, LcgRandomState);
      const bool branched = IsBranchingState(before) && o.intWork0 != before;
      EXPECT_EQ(draws, branched ? 1 : 0) << "frame " << f << " state " << before;
      branches += branched;
      if (std::find(statesSeen.begin(), statesSeen.end(), o.intWork0) == statesSeen.end())
        statesSeen.push_back(o.intWork0);
      if (attackBefore == 0 && o.intWork3 != 0) {
        ++attacks;
        EXPECT_EQ(o.frame % ComputeFireInterval(240, o.rank), ComputeFireInterval(40, o.rank));
        EXPECT_EQ(o.intWork3, 2);
      }
      ASSERT_EQ(o.state, 2);
    }
    ScrollDeltaX = 0;
    if (scrolling) {
      EXPECT_EQ(attacks, 0);
    } else {
      EXPECT_GE(attacks, 3000 / ComputeFireInterval(240, 0) - 1);
    }
    EXPECT_GE(branches, 3);
    EXPECT_GE(statesSeen.size(), 6u) << "the loop ran through the steering machine";
  }
}

// The head counts its frames from its attachment, waiting included: it closes from 3900,
// cannot be hurt once closed, and ends the serpent as it passes 4120.
TEST(Stage3Serpent, TheHeadClosesAfter3900FramesAndTheSerpentDiesAt4120) {
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kSerpent, 400, 160);
  EnemyObject& o = EnemyPool0[slot];
  const EnemyPart& head = o.partsB[kHead];
  int closingFrom = -1, closedAt = -1, deadAt = -1;
  for (int pass = 1; pass <= 4200 && deadAt < 0; ++pass) {
    if (pass == 1000) DrawOffsetX = -200;  // the serpent starts moving only now
    bench.PassPool0();
    if (pass % 50 == 0) ClearEnemyShots();
    if (closingFrom < 0 && head.imageFrame > 0) closingFrom = pass;
    if (closedAt < 0 && head.imageFrame == 5) {
      closedAt = pass;
      EXPECT_EQ(head.life, -1);
    }
    if (o.state >= 3) deadAt = pass;
  }
  EXPECT_EQ(closingFrom, 3904);
  EXPECT_EQ(closedAt, 3920);
  EXPECT_EQ(deadAt, 4121);
  // The head hands its end over once more as it goes, so the serpent dies a pass later than
  // when shot down.
  for (int pass = 0; pass < 3; ++pass) bench.PassPool0();
  EXPECT_EQ(o.state, 0);
  EXPECT_EQ(ScrollTargetSpeed, 1);
  EXPECT_EQ(StageWork[0], 0);
}

}  // namespace
