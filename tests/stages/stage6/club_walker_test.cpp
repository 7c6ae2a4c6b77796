// Stage 6's club walker on a small map with a floor: its set-up with the far legs copied into a
// background-pool object, the core as its only weak point, one downward sweep per rightward
// pass with the bouncing shots between the emitters, its death by damage and by time-out with
// the landing that resumes the scroll and frees the legs object, and the legs object's slot word
// when the background pool is full, shared or out of range.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

constexpr int16_t kClub = 12;
constexpr int kFloorRow = 11;
constexpr double kFloorY = kFloorRow * 40;
constexpr int kLeftEmitter = 8;
constexpr int kCore = 18;

// 200 x 12 cells with a floor along row 11, the ship pinned at the left.
struct ClubField {
  FieldFixture field;
  int16_t slot = -1;

  explicit ClubField(int difficulty = 1, const std::function<void()>& beforeSpawn = nullptr)
      : field(difficulty) {
    field.digestFrames = false;
    field.WriteStageMaps(6, PlainBackgroundDescription(),
                         FieldMapDescription(200, 12, 5, "rect 2 0 11 200 1 1\n"));
    EXPECT_EQ(field.StartStage(6), 1);
    field.SetShipImmune(true);
    field.PinShip(ScreenToWorldX(60), ScreenToWorldY(150));
    while (field.Step().gameFrame < 0) {}  // the stage's opening frames run no enemies
    // Far enough into the map that the walk never leaves its left edge.
    CameraX += 800;
    ViewRight += 800;
    field.Step();
    if (beforeSpawn) beforeSpawn();
    slot = SpawnPool0Enemy(ScreenToWorldX(300), kFloorY - 300, kClub, 0, -1, 0);
    field.Step();
  }
  EnemyObject& club() { return EnemyPool0[slot]; }
  // Runs until done() or the frame limit; the frames run.
  int RunUntil(int limit, const std::function<bool()>& done) {
    int i = 0;
    while (i < limit && !done()) {
      field.Step();
      ++i;
    }
    return i;
  }
};

// The club copies its far legs as its own pass runs, before its parts move this frame: the
// copy shows where they stood after the previous frame.
void ExpectFarLegsMirrored(const EnemyObject& club, const EnemyPart (&before)[12],
                           const EnemyObject& legs) {
  EXPECT_EQ(legs.x, club.x);
  EXPECT_EQ(legs.y, club.y);
  for (int j = 0; j < 12; ++j) {
    EXPECT_EQ(legs.partsA[j].partType, 30) << j;
    EXPECT_EQ(legs.partsA[j].angle, before[j].angle) << j;
    EXPECT_EQ(legs.partsA[j].x, before[j].x) << j;
    EXPECT_EQ(legs.partsA[j].y, before[j].y) << j;
    EXPECT_EQ(legs.partsA[j].drawOffsetY, before[j].drawOffsetY) << j;
    EXPECT_EQ(legs.partsA[j].imageFrame, club.partsA[j].variant) << j;
  }
}

TEST(Stage6Club, StandsOnTheGroundMirrorsItsFarLegsAndOnlyTheCoreTakesDamage) {
  ClubField f;
  EnemyObject& o = f.club();
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.partCountA, 12);
  EXPECT_EQ(o.partCountB, 21);
  const int32_t counter = StageWork[kStageSixCounter];
  ASSERT_GE(counter, 100);
  ASSERT_LT(counter, 100 + kEnemyPool3Size);
  const EnemyObject& legs = EnemyPool3[counter - 100];
  EXPECT_EQ(legs.type, 0);
  // The walk moves the legs; the copy follows frame by frame.
  for (int i = 0; i < 40; ++i) f.field.Step();
  EnemyPart before[12];
  std::copy(o.partsA, o.partsA + 12, before);
  f.field.Step();
  EXPECT_NE(before[0].x, o.partsA[0].x);
  EXPECT_EQ(o.y, kFloorY - 247);
  EXPECT_EQ(legs.state, 2);
  ExpectFarLegsMirrored(o, before, legs);
  EXPECT_EQ(ScrollTargetSpeed, 0.5);

  struct Target {
    TestDamagePartArray array;
    int16_t part;
  };
  for (const Target& t :
       {Target{kTestBody, 0}, Target{kTestPartsB, 0}, Target{kTestPartsB, 2},
        Target{kTestPartsB, 6}, Target{kTestPartsB, 8}, Target{kTestPartsB, 19}}) {
    const int32_t before = t.array == kTestBody ? o.life : o.partsB[t.part].life;
    f.field.DamageEnemy({0, f.slot, t.array, t.part}, 50);
    EXPECT_EQ(t.array == kTestBody ? o.life : o.partsB[t.part].life, before)
        << t.array << " " << t.part;
  }
  const int32_t core = o.partsB[kCore].life;
  EXPECT_EQ(core, o.partsB[kCore].maxLife);
  ASSERT_TRUE(f.field.DamageEnemy({0, f.slot, kTestPartsB, kCore}, 50));
  EXPECT_EQ(o.partsB[kCore].life, core - 50);
}

TEST(Stage6Club, CoreLifeRisesWithPowerRank) {
  ClubField f(1, [] { PowerRank = 200; });
  EXPECT_EQ(f.club().partsB[kCore].maxLife, 5090);
}

// Two full walks across the screen: the club turns after overshooting each turning point, and
// sweeps exactly once on each rightward pass, braking to a stop while it does. The bouncing shots
// come only in the sweep's firing window, and the aimed beams only between sweeps.
TEST(Stage6Club, SweepsOncePerRightwardPassAndThrowsBouncingShotsOnlyInTheSweep) {
  ClubField f;
  EnemyObject& o = f.club();
  std::vector<int16_t> passes;  // phase at each sweep start
  int turns = 0;
  int16_t phase = o.phase;
  bool stoppedInSweep = false;
  for (int i = 0; i < 5000 && turns < 4; ++i) {
    const int16_t cueBefore = o.partsB[kLeftEmitter].cue;
    std::vector<bool> wasFree(kEnemyShotSlots);
    for (int s = 0; s < kEnemyShotSlots; ++s) wasFree[s] = EnemyShots[s].state == 0;
    f.field.Step();
    ASSERT_EQ(o.state, 2) << i << " " << WorldToScreenX(o.x) << " " << o.y << " " << o.speed;
    const int16_t cue = o.partsB[kLeftEmitter].cue;
    if (cue == -319 && cueBefore == 0) passes.push_back(o.phase);
    if (cue < 0 && o.speed == 0) stoppedInSweep = true;
    if (o.phase != phase) {
      ++turns;
      phase = o.phase;
    }
    for (int s = 0; s < kEnemyShotSlots; ++s) {
      if (!wasFree[s] || EnemyShots[s].state == 0 || EnemyShots[s].type != 19) continue;
      EXPECT_GE(cueBefore, -270) << i;
      EXPECT_LE(cueBefore, -115) << i;
    }
  }
  EXPECT_EQ(turns, 4);
  EXPECT_EQ(passes, (std::vector<int16_t>{1, 1}));
  EXPECT_TRUE(stoppedInSweep);
}

// Shot down: the bouncing shots end with the emitters' bounds, the wreck hangs 80 frames, sinks
// until its centre is 32 px below the ground and lands with the scroll set to 1.5; the legs
// object goes right after and the background pool stops.
TEST(Stage6Club, ShotDownItHangsSinksLandsAndFreesItsLegs) {
  ClubField f;
  EnemyObject& o = f.club();
  EnemyPart& left = o.partsB[kLeftEmitter];
  f.RunUntil(3000, [&] { return left.cue == -260; });
  ASSERT_EQ(left.cue, -260);
  f.RunUntil(60, [&] { return CountEnemyShotsOfType(19) > 0; });
  ASSERT_GT(CountEnemyShotsOfType(19), 0);
  const int32_t legsSlot = StageWork[kStageSixCounter] - 100;
  const int32_t score = Score;
  ASSERT_TRUE(f.field.DamageEnemy({0, f.slot, kTestPartsB, kCore}, o.partsB[kCore].life + 1));
  EXPECT_GT(Score, score);
  f.field.Step();
  f.field.Step();
  EXPECT_EQ(o.state, 4);
  EXPECT_EQ(StageWork[0], 0);
  EXPECT_EQ(StageWork[1], 0);
  EXPECT_EQ(o.partsB[16].imageFrame, 7);  // the wreck
  EXPECT_EQ(left.state, 0);
  f.field.Step();
  for (const EnemyShot* s : EnemyShotsOfType(19)) EXPECT_EQ(s->state, 3);  // vanishing
  for (int i = 0; i < 20; ++i) f.field.Step();
  EXPECT_EQ(CountEnemyShotsOfType(19), 0);
  const double hangY = o.y;
  while (o.frame < 80) f.field.Step();
  EXPECT_EQ(o.y, hangY);
  bool landed = false;
  int after = -1;
  for (int i = 0; i < 600 && after < 0; ++i) {
    const auto report = f.field.Step();
    if (!landed && ScrollTargetSpeed == 1.5) {
      landed = true;
      EXPECT_NE(std::find(report.sounds.begin(), report.sounds.end(), 27), report.sounds.end());
      EXPECT_EQ(o.y, kFloorY + 32);
      EXPECT_EQ(EnemyPool3[legsSlot].state, 3);
      after = -1;
      for (int k = 1; k <= 4 && after < 0; ++k) {
        f.field.Step();
        if (EnemyPool3[legsSlot].state == 0) after = k;
      }
    }
  }
  ASSERT_TRUE(landed);
  // The background pool runs before the club's: the legs object sees the landing a frame later
  // and goes on its second frame after that.
  EXPECT_EQ(after, 3);
  EXPECT_EQ(StageWork[kStageSixCounter], 0);
}

// Past frame 5600 the core closes over 20 frames, can no longer be hurt, and blows up 180
// frames after the time-out began; the club then goes down as if shot, without the core's score.
TEST(Stage6Club, TimesOutTheCoreClosesAndBlowsUpWithoutScore) {
  ClubField f;
  EnemyObject& o = f.club();
  EnemyPart& core = o.partsB[kCore];
  o.frame = 5600;
  f.field.Step();
  EXPECT_GT(core.cue, 0);
  const int32_t score = Score;
  f.RunUntil(40, [&] { return core.imageFrame == 5; });
  EXPECT_EQ(core.life, -1);
  f.field.DamageEnemy({0, f.slot, kTestPartsB, kCore}, 50);
  EXPECT_EQ(core.life, -1);
  const int frames = f.RunUntil(400, [&] { return o.state != 2; });
  EXPECT_GT(frames, 100);
  EXPECT_LT(frames, 180);
  EXPECT_EQ(o.state, 4);
  EXPECT_EQ(Score, score);
}

// The legs object's slot word: a full background pool gives 99 and nothing is mirrored; a second
// club shares the object already there; a word outside the pool's range is no object at all.
TEST(Stage6Club, LegsObjectSlotWordWhenThePoolIsFullSharedOrOutOfRange) {
  {
    ClubField f(1, [] {
      for (int s = 0; s < kEnemyPool3Size; ++s) EnemyPool3[s].state = 9;
    });
    EXPECT_EQ(StageWork[kStageSixCounter], 99);
    for (int i = 0; i < 20; ++i) f.field.Step();
    for (int s = 0; s < kEnemyPool3Size; ++s) {
      EXPECT_EQ(EnemyPool3[s].x, 0) << s;
      EXPECT_EQ(EnemyPool3[s].partsA[0].x, 0) << s;
    }
    EXPECT_EQ(f.club().state, 2);
  }
  {
    ClubField f;
    const int32_t counter = StageWork[kStageSixCounter];
    const int16_t second = SpawnPool0Enemy(ScreenToWorldX(100), kFloorY - 300, kClub, 0, -1, 0);
    f.field.Step();
    EXPECT_EQ(EnemyPool0[second].state, 2);
    EXPECT_EQ(StageWork[kStageSixCounter], counter);
    int legsObjects = 0;
    for (int s = 0; s < kEnemyPool3Size; ++s) legsObjects += EnemyPool3[s].state != 0;
    EXPECT_EQ(legsObjects, 1);
  }
  for (int32_t word : {100 + kEnemyPool3Size, 30000}) {
    ClubField f(1, [word] { StageWork[kStageSixCounter] = word; });
    for (int i = 0; i < 10; ++i) f.field.Step();  // no write past the pool
    EXPECT_EQ(f.club().state, 2);
    EXPECT_EQ(StageWork[kStageSixCounter], word);
  }
}

}  // namespace
