// The stages' maps as the kit writes them: each stage's own map descriptions, one file a stage
// (maps/stageN.cpp, empty until the stage is drawn), and the test stage's for every map a stage
// does not bring, so that every stage can be flown.
#pragma once

#include <string>
#include <vector>

// A stage's own descriptions for BuildFmfMap (tools/lib/fmf_map_writer.h), one for each map file
// the stage loader reads; null where the stage brings none (the test stage's is written there).
struct StageMapDescriptions {
  const char* background = nullptr;  // "map%db.fmf"
  const char* hardMain = nullptr;    // "map%d.fmf": hard and insane
  const char* easyMain = nullptr;    // "map%de.fmf": easy and normal; stage 7 reads none
};
StageMapDescriptions Stage1MapDescriptions();
StageMapDescriptions Stage2MapDescriptions();
StageMapDescriptions Stage3MapDescriptions();
StageMapDescriptions Stage4MapDescriptions();
StageMapDescriptions Stage5MapDescriptions();
StageMapDescriptions Stage6MapDescriptions();
StageMapDescriptions Stage7MapDescriptions();

// One map file of a stage and the description the kit builds it from.
struct KitMapFile {
  std::string path;  // "data/map/stage%d_1/..."
  const char* description;
  bool own;  // the stage's own; else the test stage's
};
// The map files the stage loader reads for stage 1..7 (none for another number), each from the
// stage's own description where it has one and from the test stage's where it has none.
std::vector<KitMapFile> StageMapFiles(int stage);

// The kit pattern (tools/datakit/kit_build.h) that selects every stage's map files.
extern const char* const kStageMapPattern;

// For tests: the stage's own descriptions taken from these instead of its file, until called
// again with null, so that a stage with maps can be faked.
void OverrideStageMapsForTest(int stage, const StageMapDescriptions* descriptions);
// Whether a stage's descriptions are overridden now (what is built then is no stage's own).
bool StageMapsOverriddenForTest();
