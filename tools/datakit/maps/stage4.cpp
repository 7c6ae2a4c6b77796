// Stage 4's own maps: a gunmetal corridor 340 columns long between a rock ceiling and floor. The
// carrier sits ahead of the first stretch so that it stops the scroll with its core in view; the
// run after it leads past the checkpoints to the mid-boss's stop and the boss's area at the end.
// The easy and normal map leaves out the hard map's extra strikers.
#include "tools/datakit/maps/stage_maps.h"

#include <string>

namespace {

const char* const kBackground =
    R"(# Stage 4 background: far plating of 80-pixel chips in the order the sheet holds them,
# girders of the near sheet drifting over it.
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
legend x 1=24
legend y 1=25
grid 0 0
...xy.......xy..........
..........xy.......xy...
end
)";

// Layers: 0 pictures, 1 foreground, 2 collision and markers, 3 event codes, 4 variants + 1.
const char* const kMainCommon =
    R"(# Stage 4 main map, 340 x 15 cells: ceiling rows 0-2 and floor rows 12-14, the view
# (y 100-500) over the corridor between them.
size 340 15
layers 5
rect 0 0 0 340 3 1
rect 2 0 0 340 3 1
rect 0 0 12 340 3 1
rect 2 0 12 340 3 1
# Buttresses into the corridor, clear of the carrier's stretch.
rect 0 20 3 3 1 2
rect 2 20 3 3 1 1
rect 0 36 11 3 1 2
rect 2 36 11 3 1 1
rect 0 130 3 4 1 2
rect 2 130 3 4 1 1
rect 0 150 11 4 1 2
rect 2 150 11 4 1 1
rect 0 190 3 2 2 2
rect 2 190 3 2 2 1
rect 0 230 10 2 2 2
rect 2 230 10 2 2 1

# The start, checkpoint 1 after the carrier and checkpoint 2 on the run to the mid-boss; each
# scrolls right (144 below it) at a speed set inside its first view.
cell 2 4 7 16
cell 3 4 8 144
cell 3 6 5 135
cell 2 120 7 17
cell 3 120 8 144
cell 3 122 5 135
cell 2 200 7 32
cell 3 200 8 144
cell 3 202 5 135

# The carrier (65 + 13): its stop at right edge 4080 shows its core and end wall; after it the
# map asks for speed 3 again, which the carrier overrides with 1 until it has gone.
cell 3 78 7 78
cell 3 115 5 135
# The mid-boss (1 + 11) stops the scroll at right edge 11200 standing in the view's right half;
# the dasher (65 + 17) comes into view during that stop, ahead of the go signal; the boss
# (1 + 10) waits in the last area.
cell 3 270 7 12
cell 3 277 9 82
cell 3 318 7 11

# Strikers (65 + 11), all placed after GameFrame 200.
cell 3 40 5 76
cell 3 44 9 76
cell 3 48 7 76
cell 3 140 6 76
cell 3 146 8 76
cell 3 240 5 76
cell 3 244 9 76

# The other enemies of the stage: gunboats (13), launcher ship (14), laser wheel (15), turret
# mounts (16, variant 1 on the floor, 2 under the ceiling), spread gunner (75), hatch fliers
# (77), pod ring (79), piston (80), sliding blocks (81), swoopers (83, variants 1 and 2).
cell 3 26 6 13
cell 3 56 8 13
cell 3 60 4 83
cell 4 60 4 2
cell 3 62 10 83
cell 4 62 10 3
cell 3 132 11 16
cell 4 132 11 2
cell 3 136 3 16
cell 4 136 3 3
cell 3 160 7 75
cell 3 170 7 15
cell 3 180 7 79
cell 3 210 7 80
cell 3 220 7 81
cell 4 220 7 2
cell 3 232 5 77
cell 3 234 9 77
cell 3 250 7 14
)";

const char* const kHardExtra = R"(# Hard and insane: two more strikers in each group.
cell 3 42 7 76
cell 3 46 5 76
cell 3 142 9 76
cell 3 242 7 76
)";

const std::string& HardMain() {
  static const std::string map = std::string(kMainCommon) + kHardExtra;
  return map;
}

}  // namespace

StageMapDescriptions Stage4MapDescriptions() {
  return {kBackground, HardMain().c_str(), kMainCommon};
}
