// Stage 7's own maps: a background and the hard main map, which it plays on every difficulty
// (it has no easy map). Their descriptions go here (the form: tools/lib/fmf_map_writer.h; an
// example: tools/lib/test_stage_maps.cpp); a map left null is the test stage's.
#include "tools/datakit/maps/stage_maps.h"

StageMapDescriptions Stage7MapDescriptions() { return {}; }
