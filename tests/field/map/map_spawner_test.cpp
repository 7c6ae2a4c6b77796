// The map spawner on small maps: the cells met at the leading and trailing edges while the view
// scrolls right, left, down and up; commands on their own edge only; the stage clear; the
// first-frame fill with and without a restart and its scroll set-up from the marker's
// neighbours; the restart at a checkpoint; the cell coding and every map command's effect.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/game_support/field_fixture.h"

namespace {

// Event codes: pool-0 type 3 and pool-1 type 7, recorded; a speed of 4 px a frame; the scroll
// directions; HorizontalLoopStart = x on the leading (161) or trailing (225) edge.
constexpr int kPool0Code = 4;
constexpr int kPool1Code = 72;
constexpr int kSpeed4 = 137;
constexpr int kRight = 144;
constexpr int kDown = 148;
constexpr int kLeft = 152;
constexpr int kUp = 156;
constexpr int kLeadingLoopStart = 161;
constexpr int kTrailingLoopStart = 225;

struct Spawn {
  int pool, type, column, row, dir, variant;
  bool operator==(const Spawn&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Spawn& s) {
  return out << "{" << s.pool << ", " << s.type << ", " << s.column << ", " << s.row << ", "
             << s.dir << ", " << s.variant << "}";
}

std::string Cell(int layer, int x, int y, int value) {
  return "cell " + std::to_string(layer) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
         std::to_string(value) + "\n";
}

class MapSpawnerTest : public testing::Test {
 protected:
  MapSpawnerTest() {
    field.digestFrames = false;
    // Each recorded object is freed after its first call, so the pools stay empty.
    recorder.onObject = [](EnemyObject& o, int, int) { o.state = 0; };
  }

  void Start(int stage, int width, int height, const std::string& content) {
    field.WriteStageMaps(stage, PlainBackgroundDescription(),
                         FieldMapDescription(width, height, 5, content));
    ASSERT_EQ(field.StartStage(stage), 1);
  }

  std::vector<Spawn> Spawns() const {
    std::vector<Spawn> spawns;
    for (const HandlerCall& c : recorder.calls) {
      spawns.push_back({c.pool, c.type, static_cast<int>(c.x - 20) / 40,
                        static_cast<int>(c.y - 20) / 40, c.spawnDir, c.variant});
    }
    return spawns;
  }
  std::vector<int> SpawnFrames() const {
    std::vector<int> frames;
    for (const HandlerCall& c : recorder.calls) frames.push_back(c.gameFrame);
    return frames;
  }

  FieldFixture field;
  HandlerRecorder recorder;
  ScopedEntry<EnemyObjectHandler> pool0{EnemyPool0Handlers[kPool0Code - 1], RecordPool0};
  ScopedEntry<EnemyObjectHandler> pool1{EnemyPool1Handlers[kPool1Code - 65], RecordPool1};
};

// Two enemies (a pool-0 one with upper layer 3, variant 2, and a pool-1 one with none, -1)
// at the given cells, the start marker and the scroll set-up under it.
std::string TwoEnemies(int c0, int r0, int c1, int r1, int startColumn, int startRow,
                       int direction) {
  return Cell(2, startColumn, startRow, 16) + Cell(3, startColumn, startRow + 1, direction) +
         Cell(3, startColumn + 2, startRow + 2, kSpeed4) + Cell(3, c0, r0, kPool0Code) +
         Cell(4, c0, r0, 3) + Cell(3, c1, r1, kPool1Code);
}

TEST_F(MapSpawnerTest, ScrollingRightTheRightColumnLeadsAndTheLeftColumnTrails) {
  // The camera starts at 60 and moves 4 px a frame; the window's rows are 4..14. Row 1 is
  // never in the window.
  Start(3, 60, 20,
        TwoEnemies(30, 8, 31, 12, 5, 10, kRight) + Cell(3, 33, 1, kPool0Code) +
            Cell(3, 40, 6, kLeadingLoopStart) + Cell(3, 38, 6, kTrailingLoopStart));
  std::vector<double> loopStart;
  for (int i = 0; i < 420; ++i) {
    field.Step();
    loopStart.push_back(HorizontalLoopStart);
  }
  EXPECT_EQ(Spawns(), (std::vector<Spawn>{{0, 3, 30, 8, 1, 2},
                                          {1, 7, 31, 12, 1, -1},
                                          {0, 3, 30, 8, -1, 2},
                                          {1, 7, 31, 12, -1, -1}}));
  // The right column reaches c when 60 + 4k + 640 >= 40c, the left one when 60 + 4k >= 40(c + 1).
  EXPECT_EQ(SpawnFrames(), (std::vector<int>{125, 135, 295, 305}));
  // The leading command runs when the right column reaches 40 (frame 225), not when the left
  // one does (395); the trailing one when the left column reaches 38 (375), not the right (205).
  for (int i : {0, 205, 224}) EXPECT_EQ(loopStart[i], 0) << i;
  for (int i : {225, 374}) EXPECT_EQ(loopStart[i], 1600) << i;
  for (int i : {375, 395, 419}) EXPECT_EQ(loopStart[i], 1520) << i;
}

TEST_F(MapSpawnerTest, ScrollingLeftTheLeftColumnLeads) {
  Start(3, 60, 20, TwoEnemies(20, 8, 21, 12, 50, 10, kLeft));
  field.Run(450);
  EXPECT_EQ(Spawns(), (std::vector<Spawn>{{1, 7, 21, 12, 1, -1},
                                          {0, 3, 20, 8, 1, 2},
                                          {1, 7, 21, 12, -1, -1},
                                          {0, 3, 20, 8, -1, 2}}));
}

TEST_F(MapSpawnerTest, ScrollingDownTheBottomRowLeads) {
  Start(3, 30, 60, TwoEnemies(12, 30, 13, 31, 8, 10, kDown));
  field.Run(460);
  EXPECT_EQ(Spawns(), (std::vector<Spawn>{{0, 3, 12, 30, 1, 2},
                                          {1, 7, 13, 31, 1, -1},
                                          {0, 3, 12, 30, -1, 2},
                                          {1, 7, 13, 31, -1, -1}}));
}

TEST_F(MapSpawnerTest, ScrollingUpTheTopRowLeads) {
  Start(3, 30, 60, TwoEnemies(12, 20, 13, 19, 8, 50, kUp));
  field.Run(470);
  EXPECT_EQ(Spawns(), (std::vector<Spawn>{{0, 3, 12, 20, 1, 2},
                                          {1, 7, 13, 19, 1, -1},
                                          {0, 3, 12, 20, -1, 2},
                                          {1, 7, 13, 19, -1, -1}}));
}

TEST_F(MapSpawnerTest, DuringTheStageClearCommandsRunButNothingSpawns) {
  Start(3, 60, 20, TwoEnemies(30, 8, 31, 12, 5, 10, kRight) + Cell(3, 30, 6, kLeadingLoopStart));
  field.beforeFrame = [](int) { StageClearTimer = 1; };
  field.Run(320);
  EXPECT_TRUE(Spawns().empty());
  EXPECT_EQ(HorizontalLoopStart, 1200);
}

TEST_F(MapSpawnerTest, TheFirstFrameFillsTheWindowUnlessItIsARestart) {
  // The start's window: columns 0..16, rows 4..14; checkpoint 1's: columns 5..21.
  const std::string map = Cell(2, 5, 10, 16) + Cell(2, 10, 10, 17) + Cell(3, 14, 9, 131) +
                          Cell(3, 14, 7, kLeadingLoopStart) + Cell(3, 2, 8, kPool0Code) +
                          Cell(3, 3, 13, kPool1Code) + Cell(3, 12, 6, kPool0Code) +
                          Cell(4, 12, 6, 5) + Cell(3, 17, 8, kPool0Code) +
                          Cell(3, 12, 3, kPool0Code);
  struct Case {
    int checkpoint, bossType;
    std::vector<Spawn> spawns;
  } cases[] = {
      // In the pools' order (pool 1 first); in pool 0 the window's cells were spawned column
      // by column, so (2, 8) took slot 0 before (12, 6).
      {0, -1, {{1, 7, 3, 13, 1, -1}, {0, 3, 2, 8, 1, -1}, {0, 3, 12, 6, 1, 4}}},
      {0, 3, {{1, 7, 3, 13, 1, -1}}},  // the boss's type is not spawned from the map
      {1, -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "checkpoint " << c.checkpoint << " boss " << c.bossType);
    recorder.calls.clear();
    CheckpointIndex = static_cast<int16_t>(c.checkpoint);
    Start(3, 60, 20, map);
    BossType = static_cast<int16_t>(c.bossType);
    PlayerY = 10;  // brought back inside the view range
    ScrollTargetSpeed = 0;
    field.Step();
    EXPECT_EQ(Spawns(), c.spawns);
    for (const HandlerCall& call : recorder.calls) EXPECT_EQ(call.gameFrame, 0);
    // The window's commands run either way, and the scroll starts at their speed.
    EXPECT_EQ(HorizontalLoopStart, 560);
    EXPECT_EQ(ScrollTargetSpeed, 1);
    EXPECT_EQ(ScrollSpeed, 1);
    EXPECT_EQ(PlayerX, CameraX + 160);  // both moved on by the frame's scroll
    EXPECT_EQ(PlayerY, ViewTop + 200);
  }
}

TEST_F(MapSpawnerTest, TheScrollSetUpComesFromTheCellsUnderAndOverTheMarker) {
  struct Case {
    int height, row, below, above;
    int16_t angle;
    uint8_t freeMode;
  } cases[] = {
      {20, 10, kDown, 164, 256, 1},
      {20, 10, 159, 180, 960, 0},
      {20, 10, 143, 0, 0, 0},
      {20, 10, 160, 164, 0, 1},
      // On the map's first and last rows the missing neighbour is not read.
      {20, 0, kLeft, 0, 512, 0},
      {80, 79, 0, 164, 0, 1},
      {20, 19, 0, 164, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "marker row " << c.row << " of " << c.height);
    std::string map = Cell(2, 5, c.row, 16);
    if (c.below != 0) map += Cell(3, 5, c.row + 1, c.below);
    if (c.above != 0) map += Cell(3, 5, c.row - 1, c.above);
    Start(3, 40, c.height, map);
    VerticalFreeMode = c.above == 180 ? 1 : 0;
    field.Step();
    EXPECT_EQ(ScrollAngle, c.angle);
    EXPECT_EQ(VerticalFreeMode, c.freeMode);
  }
}

TEST_F(MapSpawnerTest, ARestartPastTheLastMarkerClearsTheStageAtOnce) {
  const std::string map = Cell(2, 5, 10, 16) + Cell(2, 20, 10, 17);
  CheckpointIndex = 2;
  Start(1, 60, 20, map);
  EXPECT_EQ(CurrentScene, kSceneStageClear);
  EXPECT_EQ(SceneFrame, 0);
  EXPECT_EQ(PlayerActive, 1);

  // Inside the count: play from frame 0 at the checkpoint with the objects cleared.
  CheckpointIndex = 0;
  Start(2, 60, 20, map);
  EXPECT_EQ(GameFrame, -80);
  SpawnPool1Enemy(100, 100, 1, 0, -1, 0);
  CheckpointIndex = 1;
  RestartAtCheckpoint();
  EXPECT_EQ(GameFrame, 0);
  EXPECT_EQ(EnemyPool1[0].state, 0);
  EXPECT_EQ(PlayerX, 20 * 40 + 20);
  EXPECT_EQ(CurrentScene, kScenePlay);
}

TEST_F(MapSpawnerTest, TheCellCoding) {
  struct Case {
    int32_t value;
    bool leading;
    std::vector<Spawn> spawns;
    double speed;  // ScrollTargetSpeed after, from 9
  } cases[] = {
      {4, true, {{0, 3, 6, 2, 1, -1}}, 9},
      {3004, false, {{0, 3, 6, 2, -1, 2}}, 9},
      {64072, true, {{1, 7, 6, 2, 1, 63}}, 9},
      {0, true, {}, 9},
      {64, true, {}, 9},
      {1064, true, {}, 9},
      {300, true, {}, 9},
      {-4, true, {}, 9},
      {-996, true, {}, 9},
      // 128 and 192 are command -1: speed -0.5, each on its own edge only.
      {128, true, {}, -0.5},
      {128, false, {}, 9},
      {192, false, {}, -0.5},
      {192, true, {}, 9},
      {2133, true, {}, 2},
      {2197, false, {}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << (c.leading ? " leading" : " trailing"));
    ResetGameState();
    recorder.calls.clear();
    ScrollTargetSpeed = 9;
    RunEventCode(c.value, 6, 2, false, c.leading);
    UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
    UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
    EXPECT_EQ(Spawns(), c.spawns);
    EXPECT_EQ(ScrollTargetSpeed, c.speed);
  }
  // A restart runs the commands and spawns nothing.
  ResetGameState();
  RunEventCode(4, 6, 2, true, true);
  RunEventCode(2133, 6, 2, true, true);
  EXPECT_EQ(EnemyPool0[0].state, 0);
  EXPECT_EQ(ScrollTargetSpeed, 2);
}

// The words the commands write, to compare before and after as a whole.
struct CommandWords {
  double targetSpeed;
  int16_t angle;
  double loopBottom, topTarget, loopStart, top, bottom, bottomTarget, shift, loopTop, loopEnd;
  int16_t loopMode;
  double viewRight, cameraX;
  uint8_t freeMode;
  bool operator==(const CommandWords&) const = default;
};

CommandWords ReadWords() {
  return {ScrollTargetSpeed, ScrollAngle, VerticalLoopBottom, ViewTopTarget, HorizontalLoopStart,
          ViewTop,           ViewBottom,  ViewBottomTarget,   VerticalShift, VerticalLoopTop,
          HorizontalLoopEnd, MapLoopMode, ViewRight,          CameraX,       VerticalFreeMode};
}

void WriteWords(const CommandWords& w) {
  ScrollTargetSpeed = w.targetSpeed;
  ScrollAngle = w.angle;
  VerticalLoopBottom = w.loopBottom;
  ViewTopTarget = w.topTarget;
  HorizontalLoopStart = w.loopStart;
  ViewTop = w.top;
  ViewBottom = w.bottom;
  ViewBottomTarget = w.bottomTarget;
  VerticalShift = w.shift;
  VerticalLoopTop = w.loopTop;
  HorizontalLoopEnd = w.loopEnd;
  MapLoopMode = w.loopMode;
  ViewRight = w.viewRight;
  CameraX = w.cameraX;
  VerticalFreeMode = w.freeMode;
}

TEST(MapCommandTest, EveryCommandsEffect) {
  ResetGameState();
  // Commands at column 7 (x 280), row 5 (y 200); a 30-row map seen from world y 500.
  MapHeight = 30;
  DrawOffsetY = -500;
  const CommandWords start{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  struct Case {
    int code;
    void (*change)(CommandWords&);
  } cases[] = {
      {-1, [](CommandWords& w) { w.targetSpeed = -0.5; }},
      {0, [](CommandWords& w) { w.targetSpeed = 0; }},
      {14, [](CommandWords& w) { w.targetSpeed = 7; }},
      {15, [](CommandWords& w) { w.angle = 0; }},
      {19, [](CommandWords& w) { w.angle = 256; }},
      {30, [](CommandWords& w) { w.angle = 960; }},
      {31, [](CommandWords& w) { w.loopBottom = 0, w.topTarget = 200; }},
      {32, [](CommandWords& w) { w.loopBottom = 0, w.loopStart = 280; }},
      {33,
       [](CommandWords& w) {
         w.loopBottom = 0, w.top = w.topTarget = 200, w.bottom = w.bottomTarget = 600;
         w.shift = 500 - 200;
       }},
      {34, [](CommandWords& w) { w.loopBottom = 0, w.topTarget = 200, w.bottomTarget = 600; }},
      {35, [](CommandWords& w) { w.loopBottom = 0, w.freeMode = 1; }},
      {36, [](CommandWords& w) { w.loopBottom = 0, w.topTarget = 200, w.loopTop = 200; }},
      {47, [](CommandWords& w) { w.loopBottom = 0, w.bottomTarget = 240; }},
      {48, [](CommandWords& w) { w.loopBottom = 0, w.loopEnd = 320, w.loopMode = 1; }},
      {49, [](CommandWords& w) { w.loopBottom = 0, w.viewRight = 320, w.cameraX = -320; }},
      {51, [](CommandWords& w) { w.loopBottom = 0, w.freeMode = 0; }},
      {52, [](CommandWords& w) { w.loopBottom = w.bottomTarget = 640; }},
      {37, [](CommandWords& w) { w.loopBottom = 0; }},
      {46, [](CommandWords& w) { w.loopBottom = 0; }},
      {50, [](CommandWords& w) { w.loopBottom = 0; }},
      {53, [](CommandWords& w) { w.loopBottom = 0; }},
      {126, [](CommandWords& w) { w.loopBottom = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    WriteWords(start);
    RunMapCommand(c.code, 7, 5);
    CommandWords expected = start;
    c.change(expected);
    EXPECT_EQ(ReadWords(), expected);
  }
  // The jump's shift measures from the window's top held inside the map.
  for (auto [offset, shift] : {std::pair{100.0, -200.0}, std::pair{-2000.0, 600.0}}) {
    DrawOffsetY = offset;
    RunMapCommand(33, 7, 5);
    EXPECT_EQ(VerticalShift, shift) << offset;
  }
  ResetGameState();
}

}  // namespace
