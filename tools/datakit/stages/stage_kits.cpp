#include "tools/datakit/stages/stage_kits.h"

const StageKit& StageKitOf(int stage) {
  static const StageKit kits[7] = {Stage1Kit(), Stage2Kit(), Stage3Kit(), Stage4Kit(),
                                   Stage5Kit(), Stage6Kit(), Stage7Kit()};
  return kits[stage - 1];
}
