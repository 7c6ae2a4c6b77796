// Stage 3's own maps as the stage loader reads them: the easy and the hard main map load with the
// background, hold the start and three checkpoints, run deep enough for the shaft to take the
// view below world y 1400, hold only the stage's codes, and place the boss's cell once, far
// enough past every checkpoint that a restart's first window never covers it.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/field_fixture.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

constexpr int kBossCode = 11;

TEST(Stage3Maps, BothMainMapsLoadWithTheirMarkersCodesAndTheBossPastEveryCheckpoint) {
  const StageMapDescriptions maps = Stage3MapDescriptions();
  ASSERT_NE(maps.background, nullptr);
  // Common enemies, the stage's pool-0 codes 11-20 and pool-1 codes 75-83, and the commands
  // (stop, speed 3, right, down).
  std::set<int> allowed = {1, 2, 9, 69, 72, 73, 129, 135, 144, 148};
  for (int code = 11; code <= 20; ++code) allowed.insert(code);
  for (int code = 75; code <= 83; ++code) allowed.insert(code);
  for (const auto& [difficulty, main] :
       {std::pair{1, maps.easyMain}, std::pair{2, maps.hardMain}}) {
    SCOPED_TRACE(difficulty);
    ASSERT_NE(main, nullptr);
    FieldFixture field(difficulty);
    field.WriteStageMaps(3, maps.background, main);
    ASSERT_EQ(field.StartStage(3), 1);
    EXPECT_GE(MapHeight, 50);
    EXPECT_LE(MapHeight, 80);
    EXPECT_EQ(CheckpointCount, 4);
    int bossColumn = -1, bossRow = -1, bosses = 0;
    std::set<int> codes;
    for (int row = 0; row < MapHeight; ++row)
      for (int column = 0; column < MapWidth; ++column) {
        const int code = EventLayer[row][column] % 1000;
        if (code == 0) continue;
        codes.insert(code);
        EXPECT_TRUE(allowed.count(code)) << code << " at " << column << ", " << row;
        if (code == kBossCode) {
          ++bosses;
          bossColumn = column;
          bossRow = row;
        }
      }
    EXPECT_EQ(bosses, 1);
    // The boss on the floor run, below the shaft's 1400.
    EXPECT_GT(bossRow * 40, 1400);
    for (int k = 1; k < CheckpointCount; ++k) {
      EXPECT_LE(CheckpointColumn[k], bossColumn - 16) << k;
    }
    EXPECT_TRUE(codes.count(14)) << "the serpent, before its stop";
    EXPECT_TRUE(codes.count(19)) << "the fire curtain";
  }
}

}  // namespace
