// Stage 6's own maps: a machine hall 392 columns long between a ceiling beam (row 0) and a floor
// (rows 9-11) that walkers stand on along the whole way. A roster stretch at speed 2; the robo,
// which holds the scroll itself; more of the roster with windmills on the level floor; a
// checkpoint; the club walker, which holds the scroll until its landing sets 1.5; a slower stretch
// at 1; the boss at the end. The easy and normal map leaves out the hard map's extra presses,
// turrets and spawners.
#include "tools/datakit/maps/stage_maps.h"

#include <string>

namespace {

const char* const kBackground =
    R"(# Stage 6 background: far machine walls of 80-pixel chips in the order the sheet holds them,
# girders of the near sheet drifting over them.
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
....xy........xy........
..........xy.......xy...
end
)";

// Layers: 0 pictures, 1 foreground, 2 collision and markers, 3 event codes, 4 variants + 1.
const char* const kMainCommon =
    R"(# Stage 6 main map, 392 x 12 cells: a ceiling beam in row 0 and the floor in rows 9-11, the
# view (y 0-400) over the hall between them.
size 392 12
layers 5
rect 0 0 0 392 1 1
rect 2 0 0 392 1 1
rect 0 0 9 392 3 2
rect 2 0 9 392 3 1
# The club walker's stretch sinks two rows, so that a view the ship has pulled low still shows the
# club's carapace above its 247-px legs.
rect 0 272 9 72 2 -
rect 2 272 9 72 2 -

# The start and the checkpoint after the robo, each scrolling right (144 below it) at speed 2
# (133) set inside its first view.
cell 2 4 6 16
cell 3 4 7 144
cell 3 6 2 133
cell 2 150 6 17
cell 3 150 7 144
cell 3 152 2 133

# Layer 3: 1 + pool-0 type, 65 + pool-1 type; layer 4: variant + 1. The roster stretch:
# presses (75) from the ceiling and pistons (77) from the floor, upper 1 and 2; a block pair
# (76); corner turrets (78) and elevators (79), upper 1-4; warp gates (80), upper 1 and 2; a
# shutter (82); the entry hatch (14); the pair and single spawners (18, 19).
cell 3 20 1 75
cell 4 20 1 1
cell 3 26 8 77
cell 4 26 8 1
cell 3 32 1 75
cell 4 32 1 2
cell 3 38 8 77
cell 4 38 8 2
cell 3 44 4 76
cell 3 50 1 78
cell 4 50 1 1
cell 3 54 8 78
cell 4 54 8 2
cell 3 58 4 79
cell 4 58 4 1
cell 3 62 4 79
cell 4 62 4 2
cell 3 66 3 80
cell 4 66 3 1
cell 3 70 5 80
cell 4 70 5 2
cell 3 74 4 82
cell 3 78 4 14
cell 3 82 3 18
cell 3 84 6 19

# The robo (12), standing in view well before the view's edge reaches world x 2480 (column 62
# of the view's right edge), with a single spawner in its slow stretch.
cell 3 44 6 12
cell 3 52 3 19

# Past the robo: more corner turrets and elevators, windmills (81) on the level floor, upper 1,
# 3 and 4, then the checkpoint.
cell 3 100 1 78
cell 4 100 1 3
cell 3 106 8 78
cell 4 106 8 4
cell 3 112 4 79
cell 4 112 4 3
cell 3 118 4 79
cell 4 118 4 4
cell 3 126 5 81
cell 4 126 5 1
cell 3 136 5 81
cell 4 136 5 3
cell 3 146 5 81
cell 4 146 5 4

# After the checkpoint: the roster again toward the club walker.
cell 3 170 1 75
cell 4 170 1 1
cell 3 176 8 77
cell 4 176 8 2
cell 3 184 4 76
cell 3 192 3 80
cell 4 192 3 2
cell 3 200 4 82
cell 3 210 3 18
cell 3 220 6 19
# A short climb and dip of the view (angle 960 at 224, level at 227, angle 64 at 229, level at
# 232: about 50 px up and back, inside the 60 px the view has above it), a windmill of upper 2
# on the climb.
cell 3 224 2 159
cell 3 225 5 81
cell 4 225 5 2
cell 3 227 2 144
cell 3 229 2 145
cell 3 232 2 144
cell 3 232 4 79
cell 4 232 4 2
cell 3 244 1 78
cell 4 244 1 2
cell 3 256 5 81
cell 4 256 5 1
cell 3 270 3 80
cell 4 270 3 1

# The club walker (13), in view before the view's edge reaches world x 13120 (column 328); past
# its hold a speed command of 1 (131), then the boss (11), in view with its hull pieces left of
# screen x 560 when it stops the scroll at the view's edge 14800.
cell 3 300 5 13
cell 3 340 2 131
cell 3 363 5 11
)";

const char* const kHardExtra = R"(# Hard and insane: more presses, turrets and spawners.
cell 3 24 1 75
cell 4 24 1 2
cell 3 56 1 78
cell 4 56 1 3
cell 3 88 3 18
cell 3 180 1 75
cell 4 180 1 1
cell 3 214 6 19
cell 3 250 8 78
cell 4 250 8 4
)";

const std::string& HardMain() {
  static const std::string map = std::string(kMainCommon) + kHardExtra;
  return map;
}

}  // namespace

StageMapDescriptions Stage6MapDescriptions() {
  return {kBackground, HardMain().c_str(), kMainCommon};
}
