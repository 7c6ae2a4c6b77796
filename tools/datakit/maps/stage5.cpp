// Stage 5's own maps: a crystal corridor 240 columns long, rows 8-16 open between a rock ceiling
// and floor, broken by a shaft open from the map's top to its bottom (columns 110-149) that
// loops vertically: the loader repeats the top ten rows below the 24 of the file, so rows 24-33
// show what rows 0-9 show. Turrets, hatches and wall guns sit on the corridor's floor, ceiling
// and buttresses; the launchers' fliers climb the shaft; the jets come in from behind past the
// waypoint marks that steer them; the boss waits at the end. The easy and normal map leaves out
// the hard map's extra strikers, rammers and jets.
#include "tools/datakit/maps/stage_maps.h"

#include <string>

namespace {

const char* const kBackground =
    R"(# Stage 5 background: far crystal walls of 80-pixel chips in the order the sheet holds them,
# shards of the near sheet drifting over them.
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
..xy........xy..........
.........xy.......xy....
end
)";

// Layers: 0 pictures, 1 foreground, 2 collision and markers, 3 event codes, 4 variants + 1.
const char* const kMainCommon =
    R"(# Stage 5 main map, 240 x 24 cells (34 rows once the loader has repeated the top ten):
# rock with the corridor in rows 8-16 (the view, y 300-700, over it) and the shaft in columns
# 110-149 open over every row.
size 240 24
layers 5
rect 0 0 0 240 24 1
rect 2 0 0 240 24 1
rect 0 0 8 240 9 -
rect 2 0 8 240 9 -
rect 0 110 0 40 24 -
rect 2 110 0 40 24 -
# Buttresses for the wall guns: two on the floor, one from the ceiling.
rect 0 31 13 2 4 2
rect 2 31 13 2 4 1
rect 0 61 8 2 4 2
rect 2 61 8 2 4 1
rect 0 181 13 2 4 2
rect 2 181 13 2 4 1

# The start, checkpoint 1 before the shaft and checkpoint 2 after it; each scrolls right (144
# below it) at speed 3 (135) set inside its first view.
cell 2 4 12 16
cell 3 4 13 144
cell 3 6 9 135
cell 2 90 12 17
cell 3 90 13 144
cell 3 92 9 135
cell 2 165 12 32
cell 3 165 13 144
cell 3 167 9 135

# The shaft (129 + code: 35 every row read, 36 loop top, 52 loop bottom, 34 view range, 51 the
# window's rows only): every row is read from column 108; at column 110 the loop from row 0 to
# the bottom (row 23 + 11 = 34); at column 146 the corridor's range again, which ends the loop.
cell 3 108 12 164
cell 3 110 0 165
cell 3 110 23 181
cell 3 146 8 163
cell 3 146 9 180

# Layer 3: 1 + pool-0 type, 65 + pool-1 type; layer 4: variant + 1. Common hatches (3 on the
# floor, 4 under the ceiling), laser turrets (18: 1 floor, 2 ceiling), wall guns (19), balls
# (20), cross gunners (75), strikers (76, all past GameFrame 200), shutters (77: 1-3 closed,
# 11-13 open, by size), rammers (78), rings (82: 1 turning forward, 2 back), blocks (84).
cell 3 12 16 3
cell 3 16 8 4
cell 3 20 16 18
cell 4 20 16 1
cell 3 24 8 18
cell 4 24 8 2
cell 3 30 14 19
cell 4 30 14 1
cell 3 30 15 19
cell 4 30 15 2
cell 3 36 11 75
cell 3 40 12 20
cell 4 40 12 1
cell 3 46 10 76
cell 3 48 14 76
cell 3 52 12 77
cell 4 52 12 1
cell 3 56 16 3
cell 3 60 9 19
cell 4 60 9 1
cell 3 60 10 19
cell 4 60 10 2
cell 3 66 12 78
cell 3 70 12 77
cell 4 70 12 12
cell 3 74 13 82
cell 4 74 13 1
cell 3 84 15 84
cell 3 88 16 18
cell 4 88 16 1
cell 3 88 8 18
cell 4 88 8 2
cell 3 98 12 20
cell 4 98 12 1
cell 3 102 8 4

# In the shaft, launchers (79: the upper value the column's flier count, 30 the opening only,
# 31 two fliers that leave at the loop's seams).
cell 3 114 22 79
cell 4 114 22 2
cell 3 120 20 79
cell 4 120 20 3
cell 3 126 18 79
cell 4 126 18 4
cell 3 132 22 79
cell 4 132 22 5
cell 3 138 20 79
cell 4 138 20 30
cell 3 142 21 79
cell 4 142 21 31

# After it: a rammer, jets (81) that come in from behind past waypoint marks (83: 1 up, 2 ahead,
# 3 down), then the last stretch to the boss (1 + 10).
cell 3 154 11 78
cell 3 158 12 81
cell 3 161 12 83
cell 4 161 12 1
cell 3 163 9 83
cell 4 163 9 2
cell 3 170 11 75
cell 3 174 12 77
cell 4 174 12 3
cell 3 180 14 19
cell 4 180 14 1
cell 3 180 15 19
cell 4 180 15 2
cell 3 186 13 82
cell 4 186 13 2
cell 3 196 12 20
cell 4 196 12 1
cell 3 200 15 84
cell 3 204 16 18
cell 4 204 16 1
cell 3 206 8 18
cell 4 206 8 2
cell 3 210 16 3
cell 3 212 8 4
cell 3 214 12 77
cell 4 214 12 11
cell 3 228 12 11
)";

const char* const kHardExtra = R"(# Hard and insane: more strikers, a second rammer, another jet.
cell 3 47 12 76
cell 3 49 9 76
cell 3 68 10 78
cell 3 156 14 78
cell 3 194 11 81
cell 3 197 11 83
cell 4 197 11 3
cell 3 190 10 76
cell 3 192 14 76
)";

const std::string& HardMain() {
  static const std::string map = std::string(kMainCommon) + kHardExtra;
  return map;
}

}  // namespace

StageMapDescriptions Stage5MapDescriptions() {
  return {kBackground, HardMain().c_str(), kMainCommon};
}
