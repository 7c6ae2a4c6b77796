// LoadStage on maps from the writer: cells, events and markers read back as the field keeps
// them, the repeated rows, the map chosen by stage and difficulty, the maps that would not fit
// refused with their log line and the player's line, and the marker faults.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/lib/fmf_map_writer.h"

namespace {

// 12 x 6 cells. Row 0: pictures; row 1: collision types and all five markers; row 2: events.
const char kMainMap[] = R"(
cell 0 0 0 5
cell 0 1 0 raw:0x0203
cell 0 2 0 raw:0x0010
cell 1 3 0 255
cell 2 0 1 1
cell 2 1 1 16
cell 2 2 1 17
cell 2 3 1 32
cell 2 4 1 33
cell 2 5 1 34
cell 2 6 1 40
cell 2 7 1 48
cell 2 8 1 124
cell 2 9 1 128
cell 2 10 1 111
cell 3 0 2 5
cell 4 0 2 3
cell 3 1 2 144
cell 4 2 2 7
cell 3 3 2 65
cell 4 3 2 63
cell 3 4 2 1
cell 4 4 2 raw:0x0040
cell 3 5 2 255
cell 4 5 2 raw:0x0303
)";

// 24 x 5, chips of a 12-column sheet.
const char kBackgroundMap[] = R"(
palette 0 12
palette 1 12
cell 0 0 0 13
cell 0 1 0 raw:0x000C
cell 0 2 0 143
cell 1 23 4 0
)";

// Standard error's line about a map file, without the program name it starts with ("" unless there
// is exactly one; the stage's pictures the fixture lacks have lines of their own).
std::string MapLine(const std::string& text) {
  std::string found;
  int count = 0;
  for (size_t at = 0, end; at < text.size(); at = end + 1) {
    end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at + 1);
    if (line.find(".fmf (") == std::string::npos) continue;
    ++count;
    found = line.substr(line.find(": ") + 2);
  }
  return count == 1 ? found : "";
}

class StageMapsTest : public testing::Test {
 protected:
  int Load(int stage, const std::string& main, const std::string& background) {
    field.WriteStageMaps(stage, background, main);
    return LoadStage(static_cast<int16_t>(stage));
  }
  int Load(int stage, const std::string& main) {
    return Load(stage, main, FieldMapDescription(24, 5, 2, kBackgroundMap));
  }
  FieldFixture field;
};

TEST_F(StageMapsTest, CellsReadBackAsTheFieldKeepsThem) {
  ASSERT_EQ(Load(3, FieldMapDescription(12, 6, 5, kMainMap)), 1);
  EXPECT_EQ(BackMapWidth, 24);
  EXPECT_EQ(BackMapHeight, 5);
  EXPECT_EQ(BackMapLayer0[0][0], 13);  // row 1, column 1 of a 12-column sheet
  EXPECT_EQ(BackMapLayer0[0][1], -1);  // column byte 12: past the sheet
  EXPECT_EQ(BackMapLayer0[0][2], 143);
  EXPECT_EQ(BackMapLayer0[0][3], -1);  // 0xFFFF
  EXPECT_EQ(BackMapLayer1[4][23], 0);
  EXPECT_EQ(BackMapLayer0[0][24], -1);  // outside the map

  EXPECT_EQ(MapWidth, 12);
  EXPECT_EQ(MapHeight, 6);
  const int32_t pictures[] = {5, 35, -1, -1};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(MainMapLayer0[0][c], pictures[c]) << c;
  EXPECT_EQ(MainMapLayer1[0][3], 255);
  EXPECT_EQ(MainMapLayer1[0][2], -1);

  // Marker cells are empty for collisions; types without a polygon (40, 128) are dropped.
  const int32_t collision[] = {1, -1, -1, -1, -1, -1, -1, 48, 124, -1, 111, -1};
  for (int c = 0; c < 12; ++c) EXPECT_EQ(CollisionLayer[1][c], collision[c]) << c;
  EXPECT_EQ(CheckpointCount, 5);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(CheckpointColumn[k], k + 1);
    EXPECT_EQ(CheckpointRow[k], 1);
    EXPECT_EQ(CheckpointX[k], (k + 1) * 40 + 20);
    EXPECT_EQ(CheckpointY[k], 60);
  }
  // The start places the ship at once.
  EXPECT_EQ(PlayerX, 160);
  EXPECT_EQ(PlayerY, 60);

  // Upper layer x 1000 + lower; an empty lower layer is nothing, an empty or out-of-range
  // upper layer counts 0.
  const int32_t events[] = {3005, 144, 0, 63065, 1, 51255, 0};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(EventLayer[2][c], events[c]) << c;

  // The map words start over for the new map (the start marker has set the view range).
  EXPECT_EQ(ScrollAngle, -1);
  EXPECT_EQ(LastSpawnLeftColumn, -1);
  EXPECT_EQ(LastSpawnTopRow, -1);
  EXPECT_EQ(BossType, -1);
}

TEST_F(StageMapsTest, StageTwoRepeatsTheFirstTenRowsWithoutEventsOrMarkers) {
  InitStageParameters(2);
  ASSERT_EQ(Load(2, FieldMapDescription(12, 6, 5, kMainMap)), 1);
  EXPECT_EQ(MapHeight, 16);
  EXPECT_EQ(MainMapLayer0[6][1], 35);
  EXPECT_EQ(CollisionLayer[7][0], 1);
  EXPECT_EQ(CollisionLayer[7][7], 48);
  EXPECT_EQ(CheckpointCount, 5);
  EXPECT_EQ(CheckpointRow[0], 1);
  EXPECT_EQ(EventLayer[8][0], 0);
  // Below the file's rows, the copy has nothing to copy from.
  EXPECT_EQ(MainMapLayer0[12][0], -1);
  EXPECT_EQ(MainMapLayer0[16][0], -1);

  // Without a start marker the view range reaches the file's last row, not the copy's.
  ASSERT_EQ(Load(2, FieldMapDescription(12, 6, 5, "")), 1);
  EXPECT_EQ(ViewTop, 0);
  EXPECT_EQ(ViewBottom, 6 * 40 + 40);
  EXPECT_EQ(ViewBottomTarget, 6 * 40 + 40);
}

TEST_F(StageMapsTest, TheMainMapIsChosenByStageAndDifficulty) {
  struct Case {
    int stage, difficulty;
    bool hardMap;
  } cases[] = {{1, 0, false}, {4, 1, false}, {4, 2, true}, {6, 3, true}, {7, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stage * 10 + c.difficulty);
    const std::string s = std::to_string(c.stage);
    field.WriteStageMaps(c.stage, PlainBackgroundDescription(),
                         FieldMapDescription(20, 10, 5, "cell 2 1 1 16\n"));
    WriteFmfMapFile(field.folder().path() + "/data/map/stage" + s + "_1/map" + s + ".fmf",
                    BuildFmfMap(FieldMapDescription(30, 10, 5, "cell 2 1 1 16\n")));
    Difficulty = static_cast<int16_t>(c.difficulty);
    InitStageParameters(static_cast<int16_t>(c.stage));
    ASSERT_EQ(LoadStage(static_cast<int16_t>(c.stage)), 1);
    EXPECT_EQ(MapWidth, c.hardMap ? 30 : 20);
  }
}

TEST_F(StageMapsTest, MapsThatDoNotFitAreRefusedWithTheirReason) {
  const std::string plainMain = FieldMapDescription(20, 10, 5, "cell 2 1 1 16\n");
  const std::string plainBack = PlainBackgroundDescription();
  struct Case {
    int stage;
    std::string main, background;
    const char* file;
    const char* reason;
  } cases[] = {
      {3, plainMain, plainBack + "damage magic BMP_\n", "map3b.fmf", "先頭が FMF_ ではありません"},
      {3, plainMain, FieldMapDescription(81, 5, 2, ""), "map3b.fmf",
       "大きさ 81 x 5（下に繰り返す 0 行を足して）が 80 x 20 を超えます"},
      {3, plainMain, FieldMapDescription(24, 21, 2, ""), "map3b.fmf", "大きさ 24 x 21"},
      {3, plainMain, FieldMapDescription(24, 5, 1, ""), "map3b.fmf",
       "層が 1 しかありません（2 層が要ります）"},
      {3, plainMain, FieldMapDescription(24, 5, 2, "palette 1 12\ncell 1 3 4 144\n"), "map3b.fmf",
       "層 1 の (3, 4) のチップ 144 がシートにありません"},
      {3, FieldMapDescription(641, 10, 5, ""), plainBack, "map3e.fmf", "が 640 x 80 を超えます"},
      {3, FieldMapDescription(20, 81, 5, ""), plainBack, "map3e.fmf", "大きさ 20 x 81"},
      {2, FieldMapDescription(20, 71, 5, ""), plainBack, "map2e.fmf",
       "大きさ 20 x 71（下に繰り返す 10 行を足して）が 640 x 80 を超えます"},
      {3, FieldMapDescription(20, 10, 4, ""), plainBack, "map3e.fmf", "層が 4 しかありません"},
      {3, FieldMapDescription(20, 10, 5, "cell 0 2 3 raw:0x1000\n"), plainBack, "map3e.fmf",
       "層 0 の (2, 3) のチップ 256 がシートにありません"},
      {3, FieldMapDescription(20, 10, 5, "cell 1 19 9 raw:0xFF0F\n"), plainBack, "map3e.fmf",
       "チップ 4095"},
      {3, FieldMapDescription(20, 10, 5, "cell 3 4 5 256\ncell 4 4 5 1\n"), plainBack, "map3e.fmf",
       "(4, 5) のイベントコード 256 は使えません"},
      {3, FieldMapDescription(20, 10, 5, "cell 3 0 0 21\n"), plainBack, "map3e.fmf",
       "イベントコード 21 は"},
      {3, FieldMapDescription(20, 10, 5, "cell 3 0 0 63\n"), plainBack, "map3e.fmf",
       "イベントコード 63 は"},
      {3, FieldMapDescription(20, 10, 5, "cell 3 0 0 85\n"), plainBack, "map3e.fmf",
       "イベントコード 85 は"},
      {3, FieldMapDescription(20, 10, 5, "cell 3 0 0 127\n"), plainBack, "map3e.fmf",
       "イベントコード 127 は"},
      {3, FieldMapDescription(20, 10, 5, "damage cut 100\n"), plainBack, "map3e.fmf",
       "ファイルの残り 80 バイトを超えます"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    // A stage that loaded before: none of its map is left after the refusal.
    InitStageParameters(static_cast<int16_t>(c.stage));
    ASSERT_EQ(Load(c.stage, FieldMapDescription(12, 6, 5, kMainMap)), 1);
    LogCapture log;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load(c.stage, c.main, c.background), 0);
    EXPECT_EQ(MapLine(testing::internal::GetCapturedStderr()),
              "could not read " + std::filesystem::current_path().string() + "/data/map/stage" +
                  std::to_string(c.stage) + "_1/" + c.file +
                  " (its contents are damaged or of the wrong kind); the stage cannot start, so "
                  "the game ends\n");
    EXPECT_EQ(MapWidth + MapHeight + CheckpointCount, 0);
    EXPECT_NE(BackMapLayer0[0][0], 13);  // the earlier background's first chip
    EXPECT_EQ(MainMapLayer0[0][0], -1);
    EXPECT_EQ(CollisionLayer[1][0], -1);
    EXPECT_EQ(EventLayer[2][0], 0);
    EXPECT_EQ(CheckpointX[0], 0);
    const std::vector<std::string> lines = SplitLogLines(log.Contents());
    ASSERT_EQ(lines.size(), 1u) << log.Contents();
    const std::string name = "data/map/stage" + std::to_string(c.stage) + "_1/" + c.file;
    EXPECT_NE(lines[0].find("FMFマップを読み込めません：" + name), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
  }

  // The codes the tables have, and the largest maps, load.
  InitStageParameters(2);
  EXPECT_EQ(Load(2,
                 FieldMapDescription(640, 70, 5,
                                     "cell 3 0 0 20\ncell 3 1 0 64\ncell 3 2 0 84\n"
                                     "cell 3 3 0 128\ncell 3 4 0 255\ncell 0 5 0 255\n"),
                 FieldMapDescription(80, 20, 2, "palette 0 12\ncell 0 79 19 143\n")),
            1);
  EXPECT_EQ(MapHeight, 80);
  EXPECT_EQ(EventLayer[0][4], 255);

  LogCapture log;
  field.folder().WriteFile("data/map/stage2_1/map2e.fmf", "");
  EXPECT_EQ(LoadStage(2), 0);
  EXPECT_NE(log.Contents().find("map2e.fmf（ヘッダが 20 バイトに足りません）"), std::string::npos);

  // A map that is not there: the player reads the system's reason.
  std::filesystem::remove(field.folder().path() + "/data/map/stage2_1/map2e.fmf");
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadStage(2), 0);
  EXPECT_EQ(MapLine(testing::internal::GetCapturedStderr()),
            "could not read " + std::filesystem::current_path().string() +
                "/data/map/stage2_1/map2e.fmf (No such file or directory); the stage cannot "
                "start, so the game ends\n");
}

TEST_F(StageMapsTest, MarkersAreCountedOnceAndAMissingOneIsLogged) {
  // Two starts: the ship is placed at each in turn and the last one stays.
  ASSERT_EQ(Load(3, FieldMapDescription(30, 10, 5,
                                        "cell 2 10 2 16\ncell 2 12 2 17\ncell 2 14 2 17\n"
                                        "cell 2 16 2 16\n")),
            1);
  EXPECT_EQ(CheckpointCount, 2);
  EXPECT_EQ(CheckpointColumn[0], 16);
  EXPECT_EQ(CheckpointColumn[1], 14);
  EXPECT_EQ(PlayerX, 16 * 40 + 20);

  // Nothing of the previous map stays; without a start the ship keeps its place.
  PlayerX = 77;
  LogCapture log;
  ASSERT_EQ(Load(3, FieldMapDescription(30, 10, 5, "cell 2 3 3 32\n")), 1);
  EXPECT_EQ(PlayerX, 77);
  EXPECT_EQ(CheckpointCount, 1);
  EXPECT_EQ(CheckpointX[0], 0);
  EXPECT_EQ(CheckpointX[1], 0);
  EXPECT_EQ(CheckpointColumn[2], 3);
  const std::vector<std::string> lines = SplitLogLines(log.Contents());
  ASSERT_EQ(lines.size(), 2u) << log.Contents();
  EXPECT_NE(lines[0].find("map3e.fmf：開始マーカーがありません"), std::string::npos);
  EXPECT_NE(lines[1].find("チェックポイント 2 の前のマーカー 1 がありません"), std::string::npos);

  // A marker index past the table reads the table's last entry, never past it.
  EXPECT_EQ(MarkerEntry(7), 4);
  EXPECT_EQ(MarkerEntry(-2), 0);
}

}  // namespace
