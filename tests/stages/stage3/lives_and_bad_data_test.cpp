// Stage 3's destructible kinds in one table: the life each takes (scaled by the power rank, the
// fireballs' twice over) and the score its kill pays. Then every stage-3 code of the map with the
// upper layer's extremes (empty, read as variant -1, and 63, read as 62) on a small map: all of
// it spawns and runs under the sanitizers, and the unknown tentacle variant is refused in the log.
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"
#include "tests/support/log_capture.h"

namespace {

TEST(Stage3Lives, EveryDestructibleKindTakesItsLifeAndPaysItsScore) {
  struct Row {
    const char* what;
    int16_t pool;
    int16_t type;
    int16_t variant;
    int16_t partArray;  // kTestBody, or the part array
    int16_t part;
    int32_t baseLife;
    bool twice;
  } rows[] = {
      {"large fireball", 1, 10, 0, kTestBody, 0, 15, true},
      {"small fireball", 1, 11, 0, kTestBody, 0, 15, true},
      {"small rock 12", 1, 12, 0, kTestBody, 0, 9, false},
      {"small rock 13", 1, 13, 0, kTestBody, 0, 9, false},
      {"small rock 14", 1, 14, 0, kTestBody, 0, 9, false},
      {"mine", 1, 15, 0, kTestBody, 0, 16, false},
      {"floor walker", 1, 16, 0, kTestBody, 0, 48, false},
      {"ceiling walker", 1, 17, 0, kTestBody, 0, 48, false},
      {"cannon base", 1, 18, 8, kTestPartsB, 3, 64, false},
      {"serpent head", 0, 13, 0, kTestPartsB, 15, 4000, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Stage3Bench bench;
    GameFrame = 200;
    PowerRank = 220;  // lives one and a half times over
    PlayerX = -500;   // out of everyone's way
    const int16_t slot = r.pool == 0 ? bench.SpawnPool0(r.type, 300, 200, r.variant)
                                     : bench.SpawnPool1(r.type, 300, 200, r.variant);
    ASSERT_GE(slot, 0);
    EnemyObject* pool = r.pool == 0 ? EnemyPool0 : EnemyPool1;
    if (r.type == 17) pool[slot].spawnDir = -1;
    for (int k = 0; k < 2; ++k) r.pool == 0 ? bench.PassPool0() : bench.PassPool1();
    const int32_t once = ScaleLifeByRank(r.baseLife);
    const int32_t life = r.twice ? ScaleLifeByRank(once) : once;
    const bool body = r.partArray == kTestBody;
    const EnemyPart* part =
        body ? nullptr
             : &(r.partArray == kTestPartsA ? pool[slot].partsA : pool[slot].partsB)[r.part];
    const int32_t have = body ? pool[slot].life : part->life;
    const int32_t base = body ? pool[slot].scoreBase : part->scoreBase;
    EXPECT_EQ(have, life);
    EXPECT_EQ(base, life);
    EXPECT_EQ(body ? pool[slot].maxLife : part->maxLife, life);
    const int32_t score = Score;
    ASSERT_TRUE(bench.field.DamageEnemy({r.pool, slot, r.partArray, r.part}, life + 1));
    EXPECT_EQ(Score - score, body ? EnemyKillScore(life) : PartKillScore(life));
  }
}

// Every stage-3 code, each in its own cell of the first window, on a map with a floor.
std::string MapWithEveryCode(int upper) {
  std::string content = "rect 2 0 11 40 1 1\nrect 2 0 0 40 1 1\ncell 2 2 5 16\ncell 3 2 6 144\n";
  int k = 0;
  for (int code = 11; code <= 83; ++code) {
    if (code > 20 && code < 75) continue;
    const int column = 4 + k;
    const int row = 2 + k % 8;
    content += "cell 3 " + std::to_string(column) + " " + std::to_string(row) + " " +
               std::to_string(code) + "\n";
    if (upper >= 0) {
      content += "cell 4 " + std::to_string(column) + " " + std::to_string(row) + " " +
                 std::to_string(upper) + "\n";
    }
    ++k;
  }
  return FieldMapDescription(40, 12, 5, content);
}

TEST(Stage3BadMapValues, EveryCodeWithAnEmptyOrFullUpperLayerRunsSafely) {
  for (int upper : {-1, 63}) {
    SCOPED_TRACE(upper);
    FieldFixture field(2);
    field.WriteStageMaps(3, PlainBackgroundDescription(), MapWithEveryCode(upper));
    LogCapture log;
    ASSERT_EQ(field.StartStage(3), 1);
    field.SetShipImmune(true);
    field.digestFrames = false;
    int tentacles = 0;
    std::set<std::pair<int, int>> kinds;
    for (int f = 0; f < 600; ++f) {
      field.Step(f % 8 < 4 ? HeldRole(kButtonShot) : 0);
      for (const EnemyObject& o : EnemyPool0) {
        tentacles += o.state == 2 && o.type == 19;
        if (o.state == 2 && o.type >= 10) kinds.insert({0, o.type});
      }
      for (const EnemyObject& o : EnemyPool1)
        if (o.state == 2 && o.type >= 10) kinds.insert({1, o.type});
    }
    // Launchers below 54 go at once and walkers wait for frame 80 of the stage; the rest live.
    EXPECT_GE(kinds.size(), 10u);
    EXPECT_EQ(tentacles, 0) << "variants -1 and 62 are neither spout nor tentacle";
    const std::string text = log.Contents();
    EXPECT_NE(text.find("stage 3 tentacle variant"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(upper < 0 ? -1 : 62)), std::string::npos) << text;
  }
}

}  // namespace
