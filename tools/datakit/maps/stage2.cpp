// Stage 2's own maps: a background, the hard main map and the easy one. Their descriptions go
// here (the form: tools/lib/fmf_map_writer.h; an example: tools/lib/test_stage_maps.cpp); a map
// left null is the test stage's.
#include "tools/datakit/maps/stage_maps.h"

StageMapDescriptions Stage2MapDescriptions() { return {}; }
