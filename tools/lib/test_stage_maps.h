// The test stage: the background and main map descriptions that every stage without maps of its
// own plays, so the field can be flown before any stage is drawn. The main map scrolls right past
// terrain of every slope kind, down a shaft and right again to its end, with a start marker, two
// checkpoints and the scroll commands under and around them.
#pragma once

#include <string>
#include <vector>

// Descriptions for BuildFmfMap (tools/lib/fmf_map_writer.h).
const char* TestStageBackgroundMapDescription();
const char* TestStageMainMapDescription();

// Writes "data/map/stage%d_1/map%db.fmf", "map%d.fmf" and "map%de.fmf" of each stage listed
// below folder, making the folders. Throws std::runtime_error when a file cannot be written.
void WriteTestStageMaps(const std::string& folder, const std::vector<int>& stages);
