// The kit's stage maps: a stage's own maps where it brings them, the test stage's in place of
// every one it does not, built by the kit's jobs from the table.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tools/datakit/kit_build.h"
#include "tools/datakit/maps/stage_maps.h"
#include "tools/lib/fmf_map_writer.h"
#include "tools/lib/test_stage_maps.h"

namespace {

// Small maps of a stage's own, unlike the test stage's.
const char* const kOwnBackground = "size 4 2\nlayers 2\nrect 0 0 0 4 2 3\n";
const char* const kOwnMain = "size 8 4\nlayers 5\nrect 2 0 3 8 1 1\n";
const char* const kOwnEasyMain = "size 6 4\nlayers 5\nrect 2 0 3 6 1 1\n";

// The stage brings these maps of its own while the object lives.
class FakeStageMaps {
 public:
  FakeStageMaps(int stage, StageMapDescriptions maps) : stage_(stage), maps_(maps) {
    OverrideStageMapsForTest(stage_, &maps_);
  }
  ~FakeStageMaps() { OverrideStageMapsForTest(stage_, nullptr); }

 private:
  int stage_;
  StageMapDescriptions maps_;
};

std::string MapPath(int stage, const char* suffix) {
  const std::string n = std::to_string(stage);
  return "data/map/stage" + n + "_1/map" + n + suffix;
}

TEST(DataKitMaps, AStageFliesItsOwnMapsAndTheTestStagesWhereItBringsNone) {
  // Stage 3 brings a background and a hard map, not an easy one; stage 7 a hard map, and an
  // easy one that its loader never reads.
  // The other stages' own maps in the kit are set aside: here they bring none.
  const FakeStageMaps stage1(1, {}), stage2(2, {}), stage4(4, {}), stage5(5, {}), stage6(6, {});
  const FakeStageMaps stage3(3, {kOwnBackground, kOwnMain, nullptr});
  const FakeStageMaps stage7(7, {nullptr, kOwnMain, kOwnEasyMain});
  std::map<std::string, std::string> expected;
  for (int stage = 1; stage <= 7; ++stage) {
    expected[MapPath(stage, "b.fmf")] = TestStageBackgroundMapDescription();
    expected[MapPath(stage, ".fmf")] = TestStageMainMapDescription();
    if (stage != 7) expected[MapPath(stage, "e.fmf")] = TestStageMainMapDescription();
  }
  expected[MapPath(3, "b.fmf")] = kOwnBackground;
  expected[MapPath(3, ".fmf")] = kOwnMain;
  expected[MapPath(7, ".fmf")] = kOwnMain;

  std::map<std::string, std::string> table;
  for (int stage = 1; stage <= 7; ++stage)
    for (const KitMapFile& map : StageMapFiles(stage)) {
      SCOPED_TRACE(map.path);
      EXPECT_TRUE(table.emplace(map.path, map.description).second) << "listed twice";
      const bool own = map.path == MapPath(3, "b.fmf") || map.path == MapPath(3, ".fmf") ||
                       map.path == MapPath(7, ".fmf");
      EXPECT_EQ(map.own, own);
    }
  EXPECT_EQ(table, expected);

  // The kit's jobs build each file from its description, and the table's pattern selects them
  // all.
  const std::vector<KitFile> files = BuildKitFiles(kStageMapPattern, 2);
  ASSERT_EQ(files.size(), expected.size());
  for (const KitFile& file : files) {
    ASSERT_EQ(expected.count(file.path), 1u) << file.path;
    EXPECT_TRUE(file.bytes == BuildFmfMap(expected[file.path])) << file.path;
  }
  // A stage's group takes its own maps along.
  std::vector<std::string> group;
  for (const std::string& path : KitFilePaths("stage3"))
    if (path.ends_with(".fmf")) group.push_back(path);
  EXPECT_EQ(group, (std::vector<std::string>{MapPath(3, ".fmf"), MapPath(3, "b.fmf"),
                                             MapPath(3, "e.fmf")}));
  // Stage 7's own file brings no easy map, which nothing would write.
  EXPECT_EQ(Stage7MapDescriptions().easyMain, nullptr);
}

}  // namespace
