// Stage 7's own maps: a background of dawn sky and the hard main map, which it plays on every
// difficulty (it has no easy map). The main map is open sky with no event cells (the closing
// flight spawns everything itself); its script holds the scroll at 16 a frame for up to 2,400
// frames, so a horizontal loop carries the view on over the same sky for as long as it runs.
#include "tools/datakit/maps/stage_maps.h"

namespace {

const char* const kBackground =
    R"(# Stage 7 background: the dawn sky of 80-pixel chips in the order the sheet holds them (so the
# picture runs on without seams), nothing in front of it.
size 24 5
layers 2
palette 0 12
palette 1 12
legend 0 0=0
legend 1 0=1
legend 2 0=2
legend 3 0=3
legend 4 0=4
legend 5 0=5
legend 6 0=6
legend 7 0=7
legend 8 0=8
legend 9 0=9
legend a 0=10
legend b 0=11
legend c 0=12
legend d 0=13
legend e 0=14
legend f 0=15
legend g 0=16
legend h 0=17
legend i 0=18
legend j 0=19
legend k 0=20
legend l 0=21
legend m 0=22
legend n 0=23
grid 0 0
0123456789ab0123456789ab
cdefghijklmncdefghijklmn
0123456789ab0123456789ab
cdefghijklmncdefghijklmn
0123456789ab0123456789ab
end
)";

// Layers: 0 pictures, 1 foreground, 2 collision and markers, 3 event codes, 4 variants + 1.
const char* const kMain =
    R"(# Stage 7 main map, 64 x 10 cells of open sky (the view's height), no terrain and nothing to
# spawn. The start marker scrolls right (144 below it). The loop's start (leading-edge command
# 161, map command 32) stands at column 16 and its end (177, command 48) at column 47: each time
# the view's right edge reaches x 1920 the view jumps back 640 px (to columns 16-31), which show
# the same empty sky, and the end is met again 40 frames later.
size 64 10
layers 5
cell 2 4 5 16
cell 3 4 6 144
cell 3 16 0 161
cell 3 47 0 177
)";

}  // namespace

StageMapDescriptions Stage7MapDescriptions() { return {kBackground, kMain, nullptr}; }
