// The asset sets over a game's life: the loads and releases in the order the scenes make them
// leave no graph or sound behind, a stage loaded again costs what it did the first time, and a
// release before its load, or a second one, touches nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/live_handles.h"
#include "tests/shell/asset_test_support.h"

namespace {

// Common effect slots given a file; the rest are missing.
const struct {
  int slot;
  const char* file;
} kEffects[] = {
    {0, "data/se/jiki/m1.wav"},
    {13, "data/se/jiki/c3.wav"},
    {24, "data/se/menu/cursor.wav"},
    {48, "data/se/robo_down.wav"},
};
constexpr int kEffectCount = 4;

void WriteFixtures(const TempFolder& folder) {
  WriteRepresentativeSheets(folder);
  for (const auto& e : kEffects) WriteEffectSound(folder, e.file);
  WriteEffectSound(folder, "data/se/op/beam1.wav");
  WriteEffectSound(folder, "data/se/op/beam2.wav");
}

void EnterScene(GameDriver& driver, int32_t scene) {
  CurrentScene = scene;
  ASSERT_TRUE(driver.Step());
}

TEST(AssetLifecycle, TheScenesOrderLeavesNoGraphAndOnlyTheCommonEffectsBehind) {
  GameDriver driver;
  WriteFixtures(driver.folder());
  ASSERT_EQ(driver.Start(), 0);
  const int graphs = LiveGraphCount(), sounds = LiveSoundCount();

  driver.Run(2);  // boot (the common set), the logo's set-up
  ASSERT_EQ(CurrentScene, kSceneLogo);
  for (const auto& e : kEffects) EXPECT_TRUE(IsSoundPlaying(SoundEffectHandles[e.slot]) == 0);
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount);
  ReleaseLogoImage();
  const int common = LiveGraphCount();
  EXPECT_GT(common, graphs);

  EnterScene(driver, kSceneTitleVisit);
  EXPECT_EQ(TitleAssetsLoaded, 1);
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount + 2);  // the two beams
  EXPECT_EQ(SoundEffectHandles[49], 0);

  StartPlay();  // the title set out, the common enemies in
  ASSERT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount);
  const int run = LiveGraphCount();
  EXPECT_GT(run, common);
  ASSERT_TRUE(driver.Step());
  EXPECT_EQ(WeaponSelectAssetsLoaded, 1);
  ReleaseWeaponSelectAssets();
  EXPECT_EQ(LiveGraphCount(), run);

  EnterScene(driver, kSceneStageStart);
  ASSERT_EQ(CurrentScene, kScenePlay);
  ASSERT_EQ(CurrentStage, 1);
  const int stage = LiveGraphCount();
  EXPECT_GT(stage, run);

  // Stage clear: the stage out, the result screen in and out, and stage 1 once more (as a demo
  // and a game after it would load it).
  ReleaseStageAssets();
  EXPECT_EQ(LiveGraphCount(), run);
  LoadResultAssets();
  ReleaseResultAssets();
  EXPECT_EQ(LiveGraphCount(), run);
  EnterScene(driver, kSceneStageStart);
  ASSERT_EQ(CurrentScene, kScenePlay);
  EXPECT_EQ(LiveGraphCount(), stage);

  // Game over, then the title again; then the exit.
  ReleaseStageAssets();
  EnterScene(driver, kSceneTitleVisit);
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount + 2);
  ReleaseSceneAssets();
  EXPECT_EQ(LiveGraphCount(), common);
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount);
  ReleaseCommonAssets();
  EXPECT_EQ(LiveGraphCount(), graphs);
  // The common effects go with the game's other sounds at the exit, not with the images.
  EXPECT_EQ(LiveSoundCount(), sounds + kEffectCount);
  for (const auto& e : kEffects) EXPECT_EQ(IsSoundPlaying(SoundEffectHandles[e.slot]), 0);
}

struct FlaggedSet {
  const char* name;
  std::function<void()> load, release;
  int32_t* entry;  // an entry the release would delete
  uint8_t* flag;
};

TEST(AssetLifecycle, AReleaseBeforeItsLoadOrASecondOneTouchesNothing) {
  GameDriver driver;
  WriteFixtures(driver.folder());
  ASSERT_EQ(driver.Start(), 0);
  auto loadStage = [] {
    LoadStageEnemyAssets(1);
    StageAssetsLoaded = 1;
  };
  const FlaggedSet sets[] = {
      {"title", LoadTitleAssets, ReleaseTitleAssets, &TitleImage, &TitleAssetsLoaded},
      {"logo", LoadLogoImage, ReleaseLogoImage, &SceneImage, &LogoLoaded},
      {"weapon select", LoadWeaponSelectAssets, ReleaseWeaponSelectAssets, &EnemyImages3[0][5],
       &WeaponSelectAssetsLoaded},
      {"result", LoadResultAssets, ReleaseResultAssets, &WeaponBackImage, &ResultAssetsLoaded},
      {"stage", loadStage, ReleaseStageAssets, &MainChipImages2[7], &StageAssetsLoaded},
  };
  // A graph and a sound of the test's own, planted where a release would delete them.
  const int planted = LoadGraphFromFile("data/robo/jiki.bmp", 0);
  ASSERT_TRUE(IsGraphHandleValid(planted));
  const int beam = LoadSoundFile("data/se/op/beam1.wav", 3, -1);
  ASSERT_GE(beam, 0);
  auto expectUntouched = [&](const FlaggedSet& set, const char* when) {
    const int graphs = LiveGraphCount(), sounds = LiveSoundCount();
    *set.entry = planted;
    SoundEffectHandles[50] = beam;
    BackMapLayer0[0][0] = 5;
    set.release();
    EXPECT_EQ(*set.entry, planted) << set.name << " " << when;
    EXPECT_TRUE(IsGraphHandleValid(planted)) << set.name << " " << when;
    EXPECT_EQ(SoundEffectHandles[50], beam) << set.name << " " << when;
    EXPECT_EQ(BackMapLayer0[0][0], 5) << set.name << " " << when;
    EXPECT_EQ(LiveGraphCount(), graphs) << set.name << " " << when;
    EXPECT_EQ(LiveSoundCount(), sounds) << set.name << " " << when;
    *set.entry = 0;
    SoundEffectHandles[50] = 0;
  };
  for (const FlaggedSet& set : sets) {
    const int graphs = LiveGraphCount();
    expectUntouched(set, "before its load");
    set.load();
    EXPECT_EQ(*set.flag, 1) << set.name;
    EXPECT_GT(LiveGraphCount(), graphs) << set.name;
    set.release();
    EXPECT_EQ(*set.flag, 0) << set.name;
    EXPECT_EQ(LiveGraphCount(), graphs) << set.name;
    expectUntouched(set, "twice");
  }
  // The stage release empties the maps' layers.
  loadStage();
  ReleaseStageAssets();
  EXPECT_EQ(BackMapLayer0[0][0], -1);
  EXPECT_EQ(CollisionLayer[0][0], -1);
  EXPECT_EQ(EventLayer[0][0], 0);

  // The releases without a flag delete only what is there.
  LoadEnemyCommonAssets();
  ReleaseEnemyCommonAssets();
  const int graphs = LiveGraphCount();
  ReleaseEnemyCommonAssets();
  LoadCommonAssets();
  ReleaseCommonAssets();
  ReleaseCommonAssets();
  EXPECT_EQ(LiveGraphCount(), graphs);
  EXPECT_TRUE(IsGraphHandleValid(planted));
  DeleteGraphHandle(planted);
  DeleteSoundHandle(beam);
}

}  // namespace
