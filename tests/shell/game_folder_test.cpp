// The headless game's folder: whatever part of the kit is written, every stage has maps to
// load, a stage's own never replaced by the test stage's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

TEST(GameFolder, EveryStageHasMapsAndAStagesOwnAreNotReplacedByTheTestStages) {
  const FakeStage3Maps stage3;
  // No kit, a kit without maps, and one that holds stage 3's.
  for (const char* kit :
       {static_cast<const char*>(nullptr), "data/ed.txt", "data/map/stage3_1/*.fmf"}) {
    SCOPED_TRACE(kit ? kit : "no kit");
    TempFolder folder;
    ASSERT_EQ(PrepareGameFolder(folder.path(), kit, false), "");
    for (int stage = 1; stage <= 7; ++stage) {
      const std::vector<KitMapFile> kitMaps = StageMapFiles(stage);
      for (const TestStageMapFile& map : TestStageMapFiles(stage)) {
        SCOPED_TRACE(map.path);
        ASSERT_TRUE(folder.Exists(map.path));
        // A stage whose maps the kit draws (stage 2 on) keeps them too.
        const auto kitMap = std::find_if(kitMaps.begin(), kitMaps.end(),
                                         [&](const KitMapFile& f) { return f.path == map.path; });
        ASSERT_NE(kitMap, kitMaps.end());
        const std::vector<uint8_t> expected =
            stage == FakeStage3Maps::kStage ? FakeStage3Maps::Built(map.kind)
            : kitMap->own                   ? BuildFmfMap(kitMap->description)
                          : BuildTestStageMap(map.kind == StageMapKind::Background);
        EXPECT_TRUE(folder.ReadFile(map.path) == Bytes(expected));
      }
    }
  }
}

}  // namespace
