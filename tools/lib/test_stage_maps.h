// The test stage: the background and main map descriptions that every stage without maps of its
// own plays, so the field can be flown before any stage is drawn. The main map scrolls right past
// terrain of every slope kind, down a shaft and right again to its end, with a start marker, two
// checkpoints, the scroll commands under and around them, and the common enemies along the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Descriptions for BuildFmfMap (tools/lib/fmf_map_writer.h).
const char* TestStageBackgroundMapDescription();
const char* TestStageMainMapDescription();

// The map files the stage loader reads for a stage: "data/map/stage%d_1/map%db.fmf" (the
// background), "map%d.fmf" (the main map of the hard difficulties) and "map%de.fmf" (of the
// easier ones; stage 7 has none, as it plays its hard map on every difficulty).
enum class StageMapKind : uint8_t { Background, HardMain, EasyMain };
struct TestStageMapFile {
  std::string path;
  StageMapKind kind;
};
std::vector<TestStageMapFile> TestStageMapFiles(int stage);
// The FMF bytes of the test stage's background or main map.
std::vector<uint8_t> BuildTestStageMap(bool background);

// Writes the map files of each stage listed below folder, making the folders. Throws
// std::runtime_error when a file cannot be written.
void WriteTestStageMaps(const std::string& folder, const std::vector<int>& stages);
