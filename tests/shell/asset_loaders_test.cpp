// The asset loaders on fixture sheets at the lists' grids: what each table entry holds after a
// load (live graphs of the cell size, the entries set to 0 on purpose, nothing for a missing
// file while the loads after it go on), the lists' rows inside their tables, and the ending text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "stg_src/game/ending_text.h"
#include "stg_src/shell/assets/asset_lists.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/shell/asset_test_support.h"

namespace {

constexpr int32_t kSentinel = 7777;

struct Expect {
  std::string label;
  std::span<const int32_t> entries;
  int width, height;  // 0: no graph expected
};

void Check(const std::vector<Expect>& expects) {
  for (const Expect& e : expects) {
    if (e.width == 0) {
      ExpectNoGraphs(e.entries, e.label);
    } else {
      ExpectGraphs(e.entries, e.width, e.height, e.label);
    }
  }
}

std::span<const int32_t> Frames(std::span<const int32_t> table, size_t first, size_t count) {
  return table.subspan(first, count);
}

class AssetLoaders : public testing::Test {
 protected:
  void SetUp() override {
    WriteRepresentativeSheets(driver_.folder());
    ASSERT_EQ(driver_.Start(), 0);
  }
  GameDriver driver_;
};

TEST_F(AssetLoaders, TheCommonSetFillsItsTablesAndSetsTheEmptyFramesTo0) {
  // What must be 0 after the load holds something else before it.
  ShipJetImages[0] = ShipJetImages[6] = kSentinel;
  for (int type : {9, 19, 21, 22, 23, 24}) EffectImages[type][0] = kSentinel;
  for (int band = 0; band < 3; ++band) {
    for (int frame = 5; frame < 12; ++frame) {
      PlayerShotImages[3][band][frame] = PlayerShotImages[10][band][frame] = kSentinel;
    }
  }
  LoadCommonAssets();

  Check({
      {"ship", ShipImages, 64, 64},
      {"jet flames", Frames(ShipJetImages, 1, 5), 256, 32},
      {"jet ends", Frames(ShipJetImages, 0, 1), 0, 0},
      {"jet ends", Frames(ShipJetImages, 6, 1), 0, 0},
      {"font", FontImages, 20, 20},
      {"effect 5 first file", Frames(EffectImages[5], 0, 6), 39, 39},
      {"effect 5 second file", Frames(EffectImages[5], 6, 6), 39, 39},
      {"effect 16 first file", Frames(EffectImages[16], 0, 6), 40, 40},
      {"effect 16 second file", Frames(EffectImages[16], 6, 6), 52, 52},
      {"missile band 0", Frames(PlayerShotImages[6][0], 0, 8), 40, 40},
      {"missile band 1", Frames(PlayerShotImages[6][1], 0, 8), 40, 40},
      {"missile band 2", Frames(PlayerShotImages[6][2], 0, 8), 40, 40},
      {"vulcan band 0", Frames(PlayerShotImages[0][0], 0, 8), 76, 76},
      {"vulcan band 1", Frames(PlayerShotImages[0][1], 0, 8), 86, 86},
      {"vulcan band 2", Frames(PlayerShotImages[0][2], 0, 8), 96, 96},
      // Missing files: cells stay 0, a whole image holds the failed load's -1.
      {"small jet (missing)", ShipJetSmallImages, 0, 0},
  });
  EXPECT_EQ(ShipChargeImage, -1);
  for (int32_t entry : ShipJetSmallImages) EXPECT_EQ(entry, 0);
  // One file in each band is three handles of their own.
  std::set<int32_t> missiles;
  for (int band = 0; band < 3; ++band) missiles.insert(PlayerShotImages[6][band][0]);
  EXPECT_EQ(missiles.size(), 3u);
  for (int type : {9, 19, 21, 22, 23, 24}) EXPECT_EQ(EffectImages[type][0], 0) << type;
  for (int band = 0; band < 3; ++band) {
    for (int frame = 5; frame < 12; ++frame) {
      EXPECT_EQ(PlayerShotImages[3][band][frame], 0) << band << "." << frame;
      EXPECT_EQ(PlayerShotImages[10][band][frame], 0) << band << "." << frame;
    }
  }
  EXPECT_EQ(ShipJetImages[0], 0);
  EXPECT_EQ(ShipJetImages[6], 0);
}

// A picture that is not there: the game goes on without it, and the player reads which file and
// where.
TEST_F(AssetLoaders, AMissingPictureIsToldToThePlayer) {
  std::remove((driver_.folder().path() + "/data/font.png").c_str());
  const std::string here = std::filesystem::current_path().string();
  testing::internal::CaptureStderr();
  LoadCommonAssets();
  const std::string lines = testing::internal::GetCapturedStderr();
  EXPECT_NE(lines.find("KELVANOR: could not read " + here +
                       "/data/font.png (No such file or directory); the game goes on without "
                       "this picture\n"),
            std::string::npos)
      << lines;
  ExpectNoGraphs(FontImages, "font");
}

TEST_F(AssetLoaders, TheSceneSetsFillTheirTablesAndBorrowedEntries) {
  LoadTitleAssets();
  Check({
      {"title", Frames(std::span<const int32_t>(&TitleImage, 1), 0, 1), 400, 160},
      {"far layer sheet", Frames(BgChipImages1, 0, 1), 960, 960},
      {"far layer", Frames(BgChipImages1, 1, 1), 960, 400},
      {"near layer", Frames(BgChipImages2, 1, 1), 320, 400},
      {"hero ship", Frames(BgChipImages2, 2, 1), 128, 48},
      {"boss (missing)", Frames(BgChipImages1, 2, 1), 0, 0},
      {"menu frames", Frames(EnemyImages3[3], 1, 2), 220, 28},
      {"narrow beams", Frames(EnemyImages0[0], 0, 8), 640, 40},
      {"wide beams", Frames(EnemyImages1[0], 0, 8), 640, 80},
  });
  EXPECT_EQ(std::vector<int16_t>(SceneWork, SceneWork + 5),
            (std::vector<int16_t>{640, 0, 0, 640, 0}));
  EXPECT_EQ(TitleAssetsLoaded, 1);
  ReleaseTitleAssets();
  Check({{"title after release", Frames(BgChipImages1, 0, 3), 0, 0},
         {"beams after release", EnemyImages0[0], 0, 0}});

  LoadLogoImage();
  Check({{"logo", Frames(std::span<const int32_t>(&SceneImage, 1), 0, 1), 96, 64}});
  EXPECT_EQ(SceneWork[2], 255);
  ReleaseLogoImage();

  LoadWeaponSelectAssets();
  Check({{"weapon select", Frames(std::span<const int32_t>(&SceneImage, 1), 0, 1), 48, 32},
         {"icon cursor", Frames(EnemyImages3[0], 0, 2), 64, 74}});
  ReleaseWeaponSelectAssets();

  LoadResultAssets();
  Check({{"gauges", Frames(EnemyImages3[0], 0, 2), 253, 20},
         {"panel", Frames(EnemyImages3[0], 2, 1), 64, 40},
         {"backdrop", Frames(std::span<const int32_t>(&WeaponBackImage, 1), 0, 1), 64, 48}});
  ReleaseResultAssets();
}

TEST_F(AssetLoaders, TheEnemyAndStageSetsCutTheirSheetsAndLegs) {
  LoadEnemyCommonAssets();
  Check({
      {"enemy 0", Frames(EnemyImages0[0], 0, 15), 40, 40},
      {"enemy 1", Frames(EnemyImages0[1], 0, 15), 40, 40},
      {"warning line", Frames(EnemyShotImages[8], 0, 2), 160, 18},
      {"warning line again", Frames(EnemyShotImages[8], 4, 2), 160, 18},
      {"between", Frames(EnemyShotImages[8], 2, 2), 0, 0},
      {"laser body", Frames(LaserImages, 0, 1), 64, 32},
  });
  EXPECT_NE(EnemyImages0[0][0], EnemyImages0[1][0]);

  LoadStageEnemyAssets(1);
  StageAssetsLoaded = 1;
  Check({
      {"far chips", BgChipImages1, 80, 80},
      {"near chips", BgChipImages2, 80, 80},
      {"main chips", Frames(MainChipImages2, 0, 255), 40, 40},
      {"backdrop in chip 255", Frames(MainChipImages2, 255, 1), 640, 400},
      {"second main chips", MainChipImages1, 40, 40},
      {"leg sheet", Frames(PartImages[2], 15, 1), 256, 256},
      {"legs 0, 1", Frames(PartImages[2], 0, 2), 192, 64},
      {"leg 2", Frames(PartImages[2], 2, 1), 64, 128},
      {"legs 6, 7", Frames(PartImages[2], 6, 2), 192, 64},
      {"leg 8", Frames(PartImages[2], 8, 1), 64, 128},
      {"boss", Frames(EnemyImages0[10], 0, 4), 128, 128},
      {"walker (missing)", Frames(EnemyImages0[11], 0, 1), 0, 0},
      {"after the missing walker", Frames(EnemyImages0[12], 0, 5), 64, 128},
  });
  ReleaseStageAssets();
  EXPECT_EQ(StageAssetsLoaded, 0);
  Check({{"chips after release", MainChipImages2, 0, 0},
         {"legs after release", PartImages[2], 0, 0}});

  PartImages[8][0] = PartImages[24][4] = kSentinel;
  LoadStageEnemyAssets(6);
  StageAssetsLoaded = 1;
  Check({
      {"leg sheet", Frames(PartImages[12], 15, 1), 348, 384},
      {"legs 0, 1", Frames(PartImages[12], 0, 2), 256, 96},
      {"leg 2", Frames(PartImages[12], 2, 1), 92, 192},
      {"legs 6, 7", Frames(PartImages[12], 6, 2), 256, 96},
      {"leg 8", Frames(PartImages[12], 8, 1), 92, 192},
      {"core", Frames(PartImages[31], 0, 4), 64, 64},
      {"arm", Frames(PartImages[24], 0, 4), 160, 160},
      {"small arm", Frames(PartImages[24], 5, 4), 80, 80},
  });
  EXPECT_EQ(PartImages[31][4], -1);
  EXPECT_EQ(PartImages[24][4], 0);
  EXPECT_EQ(PartImages[8][0], 0);
  ReleaseStageAssets();

  LoadStageEnemyAssets(3);
  StageAssetsLoaded = 1;
  Check({{"main chips", MainChipImages2, 40, 40},
         {"fire", Frames(EnemyImages1[19], 0, 2), 320, 560},
         {"no second main chips", MainChipImages1, 0, 0}});
  for (int32_t chip : MainChipImages1) EXPECT_EQ(chip, 0);
  ReleaseStageAssets();
  ReleaseEnemyCommonAssets();
}

// Every row of every list writes inside its table, and no entry twice.
TEST(AssetLists, RowsStayInsideTheirTablesAndNeverShareAnEntry) {
  std::map<std::string, const ImageList*> lists = {
      {"common", &kCommonImages}, {"title", &kTitleImages},
      {"logo", &kLogoImages},     {"weapon select", &kWeaponSelectImages},
      {"result", &kResultImages}, {"enemy common", &kEnemyCommonImages},
  };
  for (int stage = 1; stage <= 7; ++stage) {
    lists["stage " + std::to_string(stage)] = &StageImages(stage);
  }
  EXPECT_TRUE(StageImages(0).loads.empty());
  EXPECT_TRUE(StageImages(8).loads.empty());
  for (const auto& [name, list] : lists) {
    EXPECT_FALSE(list->loads.empty()) << name;
    std::set<const int32_t*> written;
    auto write = [&](const int32_t* entry, const std::string& what) {
      EXPECT_TRUE(written.insert(entry).second) << name << ": " << what << " writes an entry again";
    };
    for (const ImageLoad& row : list->loads) {
      ASSERT_TRUE(ImageLoadFits(row)) << name << ": " << row.file;
      for (int i = 0; i < std::max(row.count, 1); ++i) write(&row.table[row.first + i], row.file);
    }
    for (const SubImageCut& cut : list->cuts) {
      ASSERT_TRUE(SubImageCutFits(cut)) << name;
      write(&cut.table[cut.entry], "a cut");
    }
    for (const EntryValue& value : list->values) {
      ASSERT_TRUE(EntryValueFits(value)) << name;
      for (int i = 0; i < value.count; ++i) write(&value.table[value.first + i], "a value");
    }
  }
}

struct EndingCase {
  const char* name;
  std::string text;  // "<none>": no file
  std::vector<std::string> lines;
};

std::string Numbered(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "LINE " + std::to_string(i) + "\r\n";
  return text;
}

TEST(EndingText, ReadsLinesUntilTheFirstEmptyOneOrTheSixtyFourth) {
  const std::string line63(63, 'A'), line64(64, 'B');
  std::vector<std::string> first64;
  for (int i = 0; i < 64; ++i) first64.push_back("LINE " + std::to_string(i));
  const EndingCase cases[] = {
      {"in order",
       "THE END\r\nTHANK YOU\r\nfor playing\r\n",
       {"THE END", "THANK YOU", "for playing"}},
      {"an empty line ends it", "ONE\r\nTWO\r\n\r\nTHREE\r\n", {"ONE", "TWO"}},
      {"an empty first line", "\r\nONE\r\n", {}},
      {"no line end at the end", "ONE\r\nTWO", {"ONE", "TWO"}},
      {"70 lines", Numbered(70), first64},
      // 63 bytes fill the row; the line end left behind reads as an empty line.
      {"63 bytes", line63 + "\r\nNEXT\r\n", {line63}},
      {"64 bytes", line64 + "\r\nNEXT\r\n", {std::string(63, 'B'), "B", "NEXT"}},
      {"no file", "<none>", {}},
  };
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  driver.folder().MakeDirectory("data");
  for (const EndingCase& c : cases) {
    if (c.text == "<none>") {
      std::remove((driver.folder().path() + "/data/ed.txt").c_str());
    } else {
      driver.folder().WriteFile("data/ed.txt", c.text);
    }
    SceneWork[1] = 9;
    testing::internal::CaptureStderr();
    LoadEndingText();
    // Only a missing file is told to the player.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              c.text == "<none>"
                  ? "KELVANOR: could not read " + std::filesystem::current_path().string() +
                        "/data/ed.txt (No such file or directory); the ending "
                        "shows no text\n"
                  : "")
        << c.name;
    ASSERT_EQ(SceneWork[1], static_cast<int16_t>(c.lines.size())) << c.name;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(std::string(EndingTextLines[i]), c.lines[i]) << c.name << " line " << i;
    }
  }
}

}  // namespace
