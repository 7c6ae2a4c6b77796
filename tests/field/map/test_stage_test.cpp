// The test stage that every stage without maps of its own plays: it loads on every stage and
// difficulty, its start view lies inside the map, its terrain holds every slope kind, the
// scroll commands sit where the stage's flight needs them, the common enemies stand along the
// path, and its loop stretch wraps the window while the ship flies up and down, and lets it out
// again.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/maps/stage_maps.h"
#include "tools/lib/test_stage_maps.h"

namespace {

// The event code (lower layer) of a cell.
int EventCode(int row, int column) { return EventLayer[row][column] % 1000; }

// Written as the tests write it, and as the data kit carries it: in its data folder and in
// its archive, with no file that no stage reads.
TEST(TestStageTest, LoadsOnEveryStageWithItsMarkersAndCommands) {
  // The kit's maps of the test stage, also on the stages that bring maps of their own.
  const StageMapDescriptions none;
  for (int stage = 1; stage <= 7; ++stage) OverrideStageMapsForTest(stage, &none);
  struct Restore {
    ~Restore() {
      for (int stage = 1; stage <= 7; ++stage) OverrideStageMapsForTest(stage, nullptr);
    }
  } restore;
  enum class Source { Written, KitFolder, KitArchive };
  for (Source source : {Source::Written, Source::KitFolder, Source::KitArchive})
    for (int difficulty : {0, 3}) {
      FieldFixture field(difficulty);
      if (source == Source::Written) {
        WriteTestStageMaps(field.folder().path(), {1, 2, 3, 4, 5, 6, 7});
      } else {
        const std::vector<KitFile> maps = BuildKitFiles("data/map/*.fmf", 1);
        std::set<std::string> paths;
        for (const KitFile& f : maps) paths.insert(f.path);
        EXPECT_EQ(paths.size(), 20u);  // three for stages 1-6, two for stage 7
        EXPECT_EQ(paths.count("data/map/stage7_1/map7e.fmf"), 0u);
        const KitWriteResult kit =
            WriteKitFiles(field.folder().path(), maps, source == Source::KitArchive);
        ASSERT_TRUE(kit.ok) << kit.error;
      }
      for (int stage = 1; stage <= 7; ++stage) {
        SCOPED_TRACE(testing::Message() << "stage " << stage << " difficulty " << difficulty
                                        << " source " << static_cast<int>(source));
        CheckpointIndex = 0;
        LogCapture log;
        ASSERT_EQ(field.StartStage(stage), 1);
        EXPECT_EQ(log.Contents(), "");
        EXPECT_EQ(MapWidth, 160);
        EXPECT_EQ(MapHeight, stage == 2 || stage == 5 ? 40 : 30);
        EXPECT_EQ(BackMapWidth, 24);
        EXPECT_EQ(BackMapHeight, 5);
        EXPECT_EQ(CheckpointCount, 3);

        // The start view lies inside the map, the ship in the open.
        EXPECT_EQ(PlayerX, 6 * 40 + 20);
        EXPECT_EQ(PlayerY, 12 * 40 + 20);
        EXPECT_GE(CameraX, 0);
        EXPECT_LE(ViewRight, MapWidth * 40);
        EXPECT_GE(ViewTop, 0);
        EXPECT_LE(ViewBottom, 30 * 40);
        EXPECT_EQ(CollisionLayer[12][6], -1);

        // The scroll set-up under each marker: right, right, down.
        EXPECT_EQ(EventCode(CheckpointRow[0] + 1, CheckpointColumn[0]), 144);
        EXPECT_EQ(EventCode(CheckpointRow[1] + 1, CheckpointColumn[1]), 144);
        EXPECT_EQ(EventCode(CheckpointRow[2] + 1, CheckpointColumn[2]), 148);
      }
    }
}

TEST(TestStageTest, TheTerrainHoldsEverySlopeKindBesideAnOpenPath) {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {3});
  ASSERT_EQ(field.StartStage(3), 1);
  std::set<int> types;
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) types.insert(CollisionLayer[r][c]);
  }
  for (int t : {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,  15,  18,  19,
                20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 44,  45,  46,  47,
                60, 61, 62, 63, 76, 77, 78, 79, 92, 93, 94, 95, 108, 109, 110, 111}) {
    EXPECT_TRUE(types.count(t)) << t;
  }
  // The path: the first stretch's rows, the shaft, the last stretch's rows are open.
  for (int c = 0; c < 90; ++c) {
    for (int r = 8; r <= 16; ++r) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  for (int r = 8; r <= 28; ++r) {
    for (int c = 60; c < 90; ++c) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  for (int r = 19; r <= 28; ++r) {
    for (int c = 60; c < 160; ++c) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  // Speed commands along the way.
  int speeds = 0;
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) speeds += EventCode(r, c) >= 129 && EventCode(r, c) <= 143;
  }
  EXPECT_GE(speeds, 5);
}

// Every common enemy's code, in the open along the path; a box of each kind the session needs.
TEST(TestStageTest, TheCommonEnemiesStandInTheOpenAlongThePath) {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {2});
  ASSERT_EQ(field.StartStage(2), 1);
  std::set<int> codes;
  std::set<int> boxKinds;
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) {
      const int code = EventCode(r, c);
      if ((code < 1 || code > 10) && (code < 65 || code > 74)) continue;
      codes.insert(code);
      EXPECT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
      const int variant = EventLayer[r][c] / 1000 - 1;
      if (code == 9) boxKinds.insert((variant - 33) % 7);
    }
  }
  std::set<int> all;
  for (int code = 1; code <= 10; ++code) all.insert(code);
  for (int code = 65; code <= 74; ++code) all.insert(code);
  EXPECT_EQ(codes, all);
  EXPECT_TRUE(boxKinds.count(0));  // main power-up
  EXPECT_TRUE(boxKinds.count(6));  // shield
}

TEST(TestStageTest, TheShipFliesTheFirstStretchByTheMapsOwnSpeeds) {
  FieldFixture field;
  field.digestFrames = false;
  WriteTestStageMaps(field.folder().path(), {2});
  ASSERT_EQ(field.StartStage(2), 1);
  // The stage's enemies would shoot the weaving ship down and send it back to the start.
  field.SetShipImmune(true);
  // The opening count, then the first frame of play takes the first view's speed at once.
  field.Run(81);
  EXPECT_EQ(ScrollSpeed, 1);
  field.Run(999, [](int frame) {
    return frame % 200 < 100 ? HeldRole(kButtonUp) : HeldRole(kButtonDown);
  });
  // Speed 2 from column 30, 1.5 from column 55, read as the window's right edge reached them.
  EXPECT_EQ(ScrollTargetSpeed, 1.5);
  EXPECT_GE(CameraX, 55 * 40 - 640);
  EXPECT_GE(PlayerY, ViewTop + 20);
  EXPECT_LE(PlayerY, ViewBottom - 20);
  EXPECT_EQ(CheckpointIndex, 1);  // checkpoint 1 at column 40 was passed on the way
}

TEST(TestStageTest, TheMapRunsToItsEndAndItsEnemiesLeaveThePools) {
  // Four enemies more along the way: the first stretch, the shaft and the last stretch. With the
  // stage's own turrets and fliers of the same types they stay where they were put until they
  // are 40 px out of the view; the other enemies run their own behaviours.
  const std::string map = std::string(TestStageMainMapDescription()) +
                          "cell 3 25 12 69\ncell 3 50 10 1\ncell 3 75 24 70\ncell 3 120 22 2\n";
  FieldFixture field;
  field.digestFrames = false;
  field.WriteStageMaps(2, TestStageBackgroundMapDescription(), map);
  ASSERT_EQ(field.StartStage(2), 1);
  field.SetShipImmune(true);                // the map's enemies shoot; the ship flies on
  std::vector<std::pair<int, int>> placed;  // (column, row) of every cell of those types
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) {
      const int code = EventCode(r, c);
      if (code == 1 || code == 2 || code == 69 || code == 70) placed.push_back({c, r});
    }
  }
  std::sort(placed.begin(), placed.end());
  EXPECT_GT(placed.size(), 4u);
  HandlerRecorder recorder;
  recorder.onObject = [](EnemyObject& o, int, int) {
    if (o.state != 1) return;
    o.state = 2;
    o.despawnMarginX = o.despawnMarginY = 40;
  };
  ScopedEntry<EnemyObjectHandler> a{EnemyPool0Handlers[0], RecordPool0};
  ScopedEntry<EnemyObjectHandler> b{EnemyPool0Handlers[1], RecordPool0};
  ScopedEntry<EnemyObjectHandler> c{EnemyPool1Handlers[4], RecordPool1};
  ScopedEntry<EnemyObjectHandler> d{EnemyPool1Handlers[5], RecordPool1};

  FieldFrameReport last{};
  int frames = 0;
  while (!(CameraX == 160 * 40 - 640 && ScrollDeltaX == 0) && frames < 12000) {
    last = field.Step();
    ++frames;
  }
  EXPECT_LT(frames, 12000);
  // Down the shaft and right again: the map's commands turned the scroll.
  EXPECT_EQ(ScrollAngle, 0);
  EXPECT_GE(ViewTop, 19 * 40 - 40);
  EXPECT_EQ(ScrollTargetSpeed, 0.5);

  std::vector<std::pair<int, int>> met;  // (column, row) of each leading-edge spawn
  for (const HandlerCall& call : recorder.calls) {
    if (call.state == 1 && call.spawnDir == 1) {
      met.push_back({static_cast<int>(call.x) / 40, static_cast<int>(call.y) / 40});
    }
  }
  std::sort(met.begin(), met.end());
  EXPECT_EQ(met, placed);  // each once, where it was placed
  for (int pool = 0; pool < 4; ++pool) EXPECT_EQ(last.liveObjects[pool], 0) << pool;
}

TEST(TestStageTest, TheShipFliesTheLoopStretchRoundAndComesOut) {
  FieldFixture field;
  field.digestFrames = false;
  WriteTestStageMaps(field.folder().path(), {2});
  CheckpointIndex = 2;  // the shaft, then right into the last stretch
  ASSERT_EQ(field.StartStage(2), 1);
  // The stage's enemies shoot; the ship flies on, and the test watches it never touch rock.
  field.SetShipImmune(true);
  int rockTouches = 0;
  field.beforeFrame = [&](int) {
    rockTouches += TestTerrainHit(PlayerX, PlayerY, PlayerX, PlayerY, 1) >= 0 ? 1 : 0;
  };

  // Into the loop stretch with no vertical input: the loop is on, and the window never wraps.
  int frames = 0;
  while (PlayerX < 101 * 40 && frames < 3000) {
    field.Step();
    ++frames;
  }
  ASSERT_LT(frames, 3000);
  EXPECT_EQ(VerticalLoopTop, 0);
  EXPECT_EQ(VerticalLoopBottom, 30 * 40);
  EXPECT_EQ(VerticalFreeMode, 1);
  EXPECT_EQ(ViewTop, 0);
  EXPECT_GE(-DrawOffsetY, 18 * 40);  // not wrapped: the window still at the last stretch's rows

  // Down until the window wraps to the loop's top, on a little, then up until it wraps to the
  // bottom: each wrap moves the ship by the loop's height, and on screen it keeps its pace.
  const double loopHeight = 30 * 40 - 400;
  auto fly = [&](uint32_t held, double jump) {
    int wraps = 0, after = 0;
    for (int i = 0; i < 400 && after < 20; ++i) {
      const double y = PlayerY, screenY = PlayerY + DrawOffsetY;
      field.Step(held);
      if (std::abs(PlayerY - y - jump) < 3) ++wraps;
      if (wraps > 0) ++after;
      // The ship's step, and the window's step after the last frame's motion on a turn.
      EXPECT_LE(std::abs(PlayerY + DrawOffsetY - screenY), 5 + 1e-9) << i;
    }
    return wraps;
  };
  EXPECT_EQ(fly(HeldRole(kButtonDown), -loopHeight), 1);
  EXPECT_EQ(fly(HeldRole(kButtonUp), loopHeight), 1);
  EXPECT_GT(VerticalLoopBottom, 0);  // still inside the stretch

  // On to the map's end: column 136 ends the loop and brings the last stretch's range back,
  // which leads the ship out; it never touched rock.
  frames = 0;
  while (!(CameraX == 160 * 40 - 640 && ScrollDeltaX == 0) && frames < 6000) {
    field.Step();
    ++frames;
  }
  EXPECT_LT(frames, 6000);
  EXPECT_EQ(VerticalLoopBottom, 0);
  EXPECT_EQ(VerticalFreeMode, 0);
  EXPECT_EQ(ViewTop, 19 * 40);
  EXPECT_EQ(ViewBottom, 29 * 40);
  EXPECT_GE(PlayerY, 19 * 40 + 20);
  EXPECT_LE(PlayerY, 29 * 40 - 20);
  EXPECT_EQ(rockTouches, 0);
  EXPECT_LT(TestTerrainHit(PlayerX, PlayerY, PlayerX, PlayerY, 1), 0);
}

}  // namespace
