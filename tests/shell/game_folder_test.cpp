// The headless game's folder: whatever part of the kit is written, every stage has maps to
// load, a stage's own never replaced by the test stage's; the files the tests' driver takes from
// its program's pack are the files built, whatever became of the pack.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/game_support/kit_cache.h"
#include "tests/support/temp_folder.h"
#include "tools/datakit/maps/stage_maps.h"
#include "tools/headless/headless_game.h"
#include "tools/lib/fmf_map_writer.h"
#include "tools/lib/test_stage_maps.h"

namespace {

std::string Bytes(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

// Stage 3 brings maps of its own while the object lives.
class FakeStage3Maps {
 public:
  static constexpr int kStage = 3;
  FakeStage3Maps() { OverrideStageMapsForTest(kStage, &maps_); }
  ~FakeStage3Maps() { OverrideStageMapsForTest(kStage, nullptr); }
  static std::vector<uint8_t> Built(StageMapKind kind) {
    return BuildFmfMap(kind == StageMapKind::Background ? kBackground
                       : kind == StageMapKind::HardMain ? kHardMain
                                                        : kEasyMain);
  }

 private:
  static constexpr const char* kBackground = "size 4 2\nlayers 2\nrect 0 0 0 4 2 3\n";
  static constexpr const char* kHardMain = "size 8 4\nlayers 5\nrect 2 0 3 8 1 1\n";
  static constexpr const char* kEasyMain = "size 6 4\nlayers 5\nrect 2 0 3 6 1 1\n";
  StageMapDescriptions maps_{kBackground, kHardMain, kEasyMain};
};

// Every stage but 3 brings no maps of its own while the object lives.
class NoOtherStageMaps {
 public:
  NoOtherStageMaps() {
    for (int stage = 1; stage <= 7; ++stage)
      if (stage != FakeStage3Maps::kStage) OverrideStageMapsForTest(stage, &none_);
  }
  ~NoOtherStageMaps() {
    for (int stage = 1; stage <= 7; ++stage)
      if (stage != FakeStage3Maps::kStage) OverrideStageMapsForTest(stage, nullptr);
  }

 private:
  StageMapDescriptions none_;
};

TEST(GameFolder, EveryStageHasMapsAndAStagesOwnAreNotReplacedByTheTestStages) {
  const FakeStage3Maps stage3;
  const NoOtherStageMaps others;
  // No kit, a kit without maps, and one that holds stage 3's.
  for (const char* kit :
       {static_cast<const char*>(nullptr), "data/ed.txt", "data/map/stage3_1/*.fmf"}) {
    SCOPED_TRACE(kit ? kit : "no kit");
    TempFolder folder;
    ASSERT_EQ(PrepareGameFolder(folder.path(), kit, false), "");
    for (int stage = 1; stage <= 7; ++stage)
      for (const TestStageMapFile& map : TestStageMapFiles(stage)) {
        SCOPED_TRACE(map.path);
        ASSERT_TRUE(folder.Exists(map.path));
        // Another stage's own map where it brings one, else the test stage's.
        std::vector<uint8_t> expected = BuildTestStageMap(map.kind == StageMapKind::Background);
        for (const KitMapFile& own : StageMapFiles(stage)) {
          if (own.own && own.path == map.path) expected = BuildFmfMap(own.description);
        }
        if (stage == FakeStage3Maps::kStage) expected = FakeStage3Maps::Built(map.kind);
        EXPECT_TRUE(folder.ReadFile(map.path) == Bytes(expected));
      }
  }
}

void ExpectSameFiles(const GameFolderFiles& got, const GameFolderFiles& want) {
  EXPECT_EQ(got.hasKit, want.hasKit);
  for (const auto& [g, w] : {std::pair{&got.kit, &want.kit}, std::pair{&got.maps, &want.maps}}) {
    ASSERT_EQ(g->size(), w->size());
    for (size_t i = 0; i < g->size(); ++i) {
      EXPECT_EQ((*g)[i].path, (*w)[i].path);
      EXPECT_TRUE((*g)[i].bytes == (*w)[i].bytes) << (*w)[i].path;
    }
  }
}

TEST(GameFolder, ThePackGivesTheBuiltFilesAndIsBuiltAgainWhenDamagedOrAnothers) {
  namespace fs = std::filesystem;
  const char* const kit = "data/ed.txt";
  const GameFolderFiles built = BuildGameFolderFiles(kit);
  ASSERT_EQ(built.kit.size(), 1u);
  ASSERT_FALSE(built.maps.empty());
  ExpectSameFiles(CachedGameFolderFiles(kit), built);
  const std::string pack = GameFolderPackPath(kit);
  ASSERT_TRUE(fs::exists(pack));
  const uintmax_t size = fs::file_size(pack);
  ExpectSameFiles(CachedGameFolderFiles(kit), built);  // read back

  fs::resize_file(pack, size / 2);
  ExpectSameFiles(CachedGameFolderFiles(kit), built);
  EXPECT_EQ(fs::file_size(pack), size);

  // The pack of no kit in this one's place (as two patterns of one hash would leave it).
  CachedGameFolderFiles(nullptr);
  fs::copy_file(GameFolderPackPath(nullptr), pack, fs::copy_options::overwrite_existing);
  ExpectSameFiles(CachedGameFolderFiles(kit), built);
  EXPECT_EQ(fs::file_size(pack), size);

  // Faked maps are built for the faking test, and the pack keeps the real ones.
  {
    const FakeStage3Maps stage3;
    ExpectSameFiles(CachedGameFolderFiles(kit), BuildGameFolderFiles(kit));
  }
  ExpectSameFiles(CachedGameFolderFiles(kit), built);
}

}  // namespace
