#include "tools/datakit/maps/stage_maps.h"

#include "tools/lib/test_stage_maps.h"

const char* const kStageMapPattern = "data/map/*.fmf";

namespace {

constexpr int kStages = 7;

StageMapDescriptions (*const kStageMaps[kStages])() = {
    Stage1MapDescriptions, Stage2MapDescriptions, Stage3MapDescriptions, Stage4MapDescriptions,
    Stage5MapDescriptions, Stage6MapDescriptions, Stage7MapDescriptions,
};

const StageMapDescriptions* gTestOverrides[kStages] = {};

const char* OwnDescription(const StageMapDescriptions& own, StageMapKind kind) {
  switch (kind) {
    case StageMapKind::Background:
      return own.background;
    case StageMapKind::HardMain:
      return own.hardMain;
    case StageMapKind::EasyMain:
      return own.easyMain;
  }
  return nullptr;
}

}  // namespace

std::vector<KitMapFile> StageMapFiles(int stage) {
  if (stage < 1 || stage > kStages) return {};
  const StageMapDescriptions own =
      gTestOverrides[stage - 1] ? *gTestOverrides[stage - 1] : kStageMaps[stage - 1]();
  std::vector<KitMapFile> files;
  for (const TestStageMapFile& f : TestStageMapFiles(stage)) {
    const char* mine = OwnDescription(own, f.kind);
    const char* test = f.kind == StageMapKind::Background ? TestStageBackgroundMapDescription()
                                                          : TestStageMainMapDescription();
    files.push_back({f.path, mine ? mine : test, mine != nullptr});
  }
  return files;
}

void OverrideStageMapsForTest(int stage, const StageMapDescriptions* descriptions) {
  if (stage >= 1 && stage <= kStages) gTestOverrides[stage - 1] = descriptions;
}

bool StageMapsOverriddenForTest() {
  for (const StageMapDescriptions* o : gTestOverrides)
    if (o) return true;
  return false;
}
