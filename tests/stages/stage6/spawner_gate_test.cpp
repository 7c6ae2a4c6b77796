// Stage 6's common spawners run behind a gate: whenever the target scroll speed is below 1.5 (a
// walker or the boss holds the scroll) the gate frees the spawner in the frame it runs.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "tests/game_support/field_fixture.h"

namespace {

TEST(Stage6SpawnerGate, FreesBothSpawnersOnlyWhileTheTargetSpeedIsBelowOneAndAHalf) {
  struct Row {
    int16_t type;  // 17 pair, 18 single
    double target;
    bool kept;
  } rows[] = {{17, 0, false},   {17, 1.49, false}, {17, 1.5, true}, {17, 2, true},
              {18, 0.5, false}, {18, 1, false},    {18, 1.5, true}, {18, 3, true}};
  FieldFixture field;
  field.digestFrames = false;
  field.WriteStageMaps(6, PlainBackgroundDescription(),
                       FieldMapDescription(80, 12, 5, "rect 2 0 11 80 1 1\n"));
  ASSERT_EQ(field.StartStage(6), 1);
  field.SetShipImmune(true);
  while (field.Step().gameFrame < 0) {}  // the stage's opening frames run no enemies
  for (const Row& r : rows) {
    field.beforeFrame = [&](int) { ScrollTargetSpeed = r.target; };
    const int16_t slot =
        SpawnPool0Enemy(ScreenToWorldX(500), ScreenToWorldY(200), r.type, 0, -1, 0);
    ASSERT_GE(slot, 0);
    for (int i = 0; i < 3; ++i) field.Step();
    EXPECT_EQ(EnemyPool0[slot].state != 0, r.kept) << r.type << " at " << r.target;
    EnemyPool0[slot].state = 0;
  }
}

}  // namespace
