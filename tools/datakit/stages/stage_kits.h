// Each stage's own part of the kit, one file a stage (stages/stageN.cpp), so that stages drawn
// side by side touch files of their own: the stage's palette, its image rows, the sound effects
// it brings, and beside them the painters and effect recipes of its own that those rows name.
#pragma once

#include <vector>

#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/painters.h"

struct StageKit {
  Palette palette;               // the hues of its chips, enemies, boss and shots
  KitImageGroup images;          // the contact sheet and --only group "stageN"
  std::vector<KitSound> sounds;  // effects of its own, loaded into slots 49..54 by its stage
};
StageKit Stage1Kit();
StageKit Stage2Kit();
StageKit Stage3Kit();
StageKit Stage4Kit();
StageKit Stage5Kit();
StageKit Stage6Kit();
StageKit Stage7Kit();

// Stage 1..7's part of the kit, made once.
const StageKit& StageKitOf(int stage);
