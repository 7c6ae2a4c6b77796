// The loaders on the generated data kit, with every file open recorded: they open only files
// that exist, every image and effect sound of the kit is opened, and every entry a list fills
// holds a live graph of its cell size.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/platform/files/file_functions.h"
#include "stg_src/game/ending_text.h"
#include "stg_src/shell/assets/asset_lists.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "tests/game_support/game_driver.h"
#include "tests/shell/asset_test_support.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

struct Open {
  std::string name;
  bool found;
};

FileFunctionTable gInnerFiles;
std::vector<Open>* gOpens = nullptr;

FileHandle RecordOpen(const char* name, int cacheFlag, int blockFlag, int asyncFlag) {
  const FileHandle file = gInnerFiles.Open(name, cacheFlag, blockFlag, asyncFlag);
  std::string path = name ? name : "";
  for (char& c : path) c = c == '\\' ? '/' : c;
  gOpens->push_back({path, file != 0});
  return file;
}

// The table in force with its open recorded, for the life of the object.
class RecordedOpens {
 public:
  RecordedOpens() {
    gInnerFiles = CurrentFileFunctions;
    gOpens = &opens;
    FileFunctionTable recording = gInnerFiles;
    recording.Open = RecordOpen;
    SetFileFunctionTable(&recording);
  }
  ~RecordedOpens() {
    SetFileFunctionTable(&gInnerFiles);
    gOpens = nullptr;
  }
  bool Opened(const std::string& path) const {
    for (const Open& o : opens) {
      if (o.found &&
          (o.name == path || (o.name.size() > path.size() && o.name.ends_with("/" + path)))) {
        return true;
      }
    }
    return false;
  }
  // The image loader looks for "name_a.ext" beside every "name.ext" it loads, for an alpha
  // image; that one is the runtime's to miss.
  bool IsAlphaProbe(const std::string& path) const {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < 2 || path.compare(dot - 2, 2, "_a") != 0) return false;
    const std::string image = path.substr(0, dot - 2) + path.substr(dot);
    for (const Open& o : opens) {
      if (o.found && o.name == image) return true;
    }
    return false;
  }
  std::vector<Open> opens;
};

void ExpectListLoaded(const ImageList& list, const std::string& name) {
  for (const ImageLoad& row : list.loads) {
    if (row.count == 0) {
      EXPECT_TRUE(IsGraphHandleValid(row.table[row.first])) << name << ": " << row.file;
    } else {
      ExpectGraphs(row.table.subspan(row.first, row.count), row.cellWidth, row.cellHeight,
                   name + ": " + row.file);
    }
  }
  for (const SubImageCut& cut : list.cuts) {
    ExpectGraphs(cut.table.subspan(cut.entry, 1), cut.width, cut.height, name + ": a cut");
  }
  for (const EntryValue& value : list.values) {
    for (int i = 0; i < value.count; ++i) EXPECT_EQ(value.table[value.first + i], value.value);
  }
}

void ExpectChips(int stage) {
  const std::string name = "stage " + std::to_string(stage);
  ExpectGraphs(BgChipImages1, 80, 80, name + " far chips");
  ExpectGraphs(BgChipImages2, 80, 80, name + " near chips");
  ExpectGraphs(std::span(MainChipImages2).first(255), 40, 40, name + " main chips");
  if (stage == 1) {
    ExpectGraphs(std::span(MainChipImages2).subspan(255), 640, 400, name + " backdrop");
  } else {
    ExpectGraphs(std::span(MainChipImages2).subspan(255), 40, 40, name + " main chips");
  }
  if (stage <= 2) {
    ExpectGraphs(MainChipImages1, 40, 40, name + " second main chips");
  } else {
    ExpectNoGraphs(MainChipImages1, name + " second main chips");
  }
}

std::vector<std::string> KitEndingLines() {
  const std::vector<uint8_t> bytes = EndingText();
  std::vector<std::string> lines;
  std::string text(bytes.begin(), bytes.end());
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    if (line.empty()) break;
    lines.push_back(line);
    if (end == std::string::npos) break;
    at = end + 2;
  }
  return lines;
}

TEST(AssetKit, TheLoadersOpenEveryKitImageAndEffectAndNothingElse) {
  GameDriver::Options options;
  options.kit = "";
  GameDriver driver(options);
  ASSERT_EQ(driver.Start(), 0);
  RecordedOpens files;

  LoadCommonAssets();
  ExpectListLoaded(kCommonImages, "common");
  for (int slot = 0; slot < kCommonSoundEffects; ++slot) {
    EXPECT_TRUE(IsLiveSound(SoundEffectHandles[slot])) << "effect slot " << slot;
  }
  LoadLogoImage();
  ExpectListLoaded(kLogoImages, "logo");
  ReleaseLogoImage();
  LoadTitleAssets();
  ExpectListLoaded(kTitleImages, "title");
  for (int slot : {50, 51}) EXPECT_TRUE(IsLiveSound(SoundEffectHandles[slot])) << slot;
  ReleaseTitleAssets();
  LoadEnemyCommonAssets();
  ExpectListLoaded(kEnemyCommonImages, "enemy common");
  LoadWeaponSelectAssets();
  ExpectListLoaded(kWeaponSelectImages, "weapon select");
  ReleaseWeaponSelectAssets();
  for (int stage = 1; stage <= 7; ++stage) {
    LoadStageEnemyAssets(static_cast<int16_t>(stage));
    StageAssetsLoaded = 1;
    ExpectListLoaded(StageImages(stage), "stage " + std::to_string(stage));
    ExpectChips(stage);
    // A stage whose kit brings its sound effects loads them as its start does.
    if (!StageKitOf(stage).sounds.empty()) {
      LoadStageSounds(static_cast<int16_t>(stage));
      for (const KitSound& sound : StageKitOf(stage).sounds)
        EXPECT_TRUE(IsLiveSound(SoundEffectHandles[sound.id])) << sound.path;
      LoadStageSounds(0);
    }
    ReleaseStageAssets();
  }
  LoadResultAssets();
  ExpectListLoaded(kResultImages, "result");
  ReleaseResultAssets();
  LoadEndingText();
  const std::vector<std::string> lines = KitEndingLines();
  ASSERT_GT(lines.size(), 0u);
  ASSERT_EQ(SceneWork[1], static_cast<int16_t>(lines.size()));
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(EndingTextLines[i], lines[i]) << i;

  for (const Open& o : files.opens) {
    EXPECT_TRUE(o.found || files.IsAlphaProbe(o.name)) << "opened a missing file: " << o.name;
  }
  std::set<std::string> expected = {"data/ed.txt"};
  for (const KitImageGroup& group : KitImageGroups()) {
    for (const KitImage& image : group.images) expected.insert(image.path);
  }
  for (const KitSound& sound : KitSounds()) {
    if (sound.kind == SoundKind::Effect) expected.insert(sound.path);
  }
  for (const std::string& path : expected)
    EXPECT_TRUE(files.Opened(path)) << "never opened: " << path;
  ReleaseEnemyCommonAssets();
}

}  // namespace
