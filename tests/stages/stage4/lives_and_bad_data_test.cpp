// Stage 4's destructible kinds in one table: the life each takes (scaled by the power rank) and
// the score its kill pays. Then the bad map values drawn on the software path with the stage's
// pictures, under the sanitizers: turret mounts with variants -1, 3 and 62 and every stage-4
// kind with variants -1 and 62 spawned into a real game that draws every frame; the words keep
// their values, and the frames past a sheet have no picture to draw.
#include <gtest/gtest.h>

#include <set>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;

TEST(Stage4Lives, EveryDestructibleKindTakesItsLifeAndPaysItsScore) {
  struct Row {
    const char* what;
    int16_t pool;
    int16_t type;
    int16_t variant;
    int16_t partArray;  // kTestBody, or the part array
    int16_t part;
    int32_t baseLife;
  } rows[] = {
      {"gunboat", 0, 12, 0, kTestBody, 0, 450},      {"launcher ship", 0, 13, 0, kTestBody, 0, 560},
      {"laser wheel", 0, 14, 0, kTestBody, 0, 640},  {"striker", 1, 11, 0, kTestBody, 0, 24},
      {"hatch flier", 1, 12, 0, kTestBody, 0, 8},    {"swooper", 1, 18, 1, kTestBody, 0, 80},
      {"piston head", 1, 15, 0, kTestPartsB, 1, 80}, {"key pod", 1, 14, 0, kTestPartsB, 11, 120},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    FieldFixture field;
    PrepareStageBench(4, 1);
    field.SetShipImmune(true);
    GameFrame = 200;
    PowerRank = 150;
    PlayerX = -500;  // out of everyone's way
    const int16_t slot = r.pool == 0 ? SpawnPool0Enemy(300, 200, r.type, 0, -1, 0)
                                     : SpawnPool1Enemy(300, 200, r.type, 0, -1, 0);
    ASSERT_GE(slot, 0);
    EnemyObject* pool = r.pool == 0 ? EnemyPool0 : EnemyPool1;
    pool[slot].variant = r.variant;
    for (int k = 0; k < 3; ++k)
      UpdateEnemyPool(pool, r.pool, r.pool == 0 ? kEnemyPool0Size : kEnemyPool1Size);
    ASSERT_NE(pool[slot].state, 0);
    const int32_t life = ScaleLifeByRank(r.baseLife);
    ASSERT_GT(life, r.baseLife);
    const bool body = r.partArray == kTestBody;
    const EnemyPart* part =
        body ? nullptr
             : &(r.partArray == kTestPartsA ? pool[slot].partsA : pool[slot].partsB)[r.part];
    EXPECT_EQ(body ? pool[slot].life : part->life, life);
    EXPECT_EQ(body ? pool[slot].maxLife : part->maxLife, life);
    const int32_t base = body ? pool[slot].scoreBase : part->scoreBase;
    EXPECT_EQ(base, life);
    const int32_t score = Score;
    ASSERT_TRUE(field.DamageEnemy({r.pool, slot, r.partArray, r.part}, life + 1));
    EXPECT_EQ(Score - score, body ? EnemyKillScore(life) : PartKillScore(life));
  }
}

// Every stage-4 kind of the map's codes 11-16 (pool 0, types 10-15) and 75-83 (pool 1, types
// 10-18), with each variant given, set into the view of a running game.
void SpawnEveryKind(int16_t variant, std::set<int>& spawned) {
  const double x = ScreenToWorldX(420);
  for (int16_t type = 10; type <= 15; ++type) {
    const int16_t s = SpawnPool0Enemy(x, ScreenToWorldY(120 + 20 * (type - 10)), type, 0, -1, 0);
    if (s < 0) continue;
    EnemyPool0[s].variant = variant;
    spawned.insert(type);
  }
  for (int16_t type = 10; type <= 18; ++type) {
    const int16_t s = SpawnPool1Enemy(x, ScreenToWorldY(100 + 30 * (type - 10)), type, 0, -1, 0);
    if (s < 0) continue;
    EnemyPool1[s].variant = variant;
    spawned.insert(100 + type);
  }
}

TEST(Stage4BadMapValues, BadVariantsRunAndDrawSafelyWithNothingDrawnWhereNoPictureExists) {
  StageRunOptions o;
  o.start = {0, 1, 4, 1};
  o.frames = 420;
  o.immuneShip = true;
  o.kit = "common,enemies,effects,stage4";
  o.drawEveryFrame = true;
  int frame = 0;
  std::set<int> spawned;
  std::set<int32_t> mountFrames;
  int32_t bossCoreFrame = 0;
  bool sheetsEnd = false;
  o.script = [](int f) {
    FrameInput in;
    if (f % 16 < 8) in.padBits = kPadShot;
    return in;
  };
  o.afterFrame = [&] {
    const int f = frame++;
    if (f == 20) {
      for (const int16_t v : {int16_t{-1}, int16_t{3}, int16_t{62}}) {
        const int16_t s =
            SpawnPool0Enemy(ScreenToWorldX(300 + 60 * v / 62), ScreenToWorldY(240), 15, 0, -1, 0);
        if (s >= 0) EnemyPool0[s].variant = v;
      }
    }
    if (f == 120) SpawnEveryKind(-1, spawned);
    if (f == 260) SpawnEveryKind(62, spawned);
    // The pictures that the stage's list loads end where the sheets end.
    sheetsEnd = EnemyImages0[15][1] > 0 && EnemyImages0[15][2] == 0 && PartImages[20][5] > 0 &&
                PartImages[20][6] == 0;
    for (const EnemyObject& e : EnemyPool0) {
      if (e.state == 2 && e.type == 15) mountFrames.insert(e.imageFrame);
      if (e.state == 2 && e.type == 10) bossCoreFrame = e.partsB[7].imageFrame;
    }
  };
  const StageRunSummary run = RunStage(o);
  EXPECT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_EQ(spawned.size(), 6u + 9u);
  // The mount's frame is its variant - 1, kept as it is: -2, 2 and 61 among them.
  for (const int32_t f : {-2, 2, 61}) EXPECT_EQ(mountFrames.count(f), 1u) << f;
  // A boss that came with a bad variant still stands shut: its closed frame lies past the
  // core's six pictures.
  EXPECT_EQ(bossCoreFrame, 6);
  EXPECT_TRUE(sheetsEnd);
}

}  // namespace
