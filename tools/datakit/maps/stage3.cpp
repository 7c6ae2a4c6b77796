// Stage 3's own maps: a background, the hard main map and the easy one (the form:
// tools/lib/fmf_map_writer.h). The stage runs right through a burning cave to world x 9880,
// where the serpent holds the scroll at 9200 while it lives; a shaft then takes the view down
// past world y 1400 (the fire curtain fades there, the falling fire comes down its left side and
// the background variant follows the window); the last stretch runs right along the cave's
// floor to the boss.
#include <string>

#include "tools/datakit/maps/stage_maps.h"

namespace {

// Far chips (map3b.bmp) and near chips (map3b2.bmp), 12 to a sheet row, laid in the order the
// sheets hold them so that the picture runs on across the 24 columns without a seam.
std::string BackgroundDescription() {
  std::string d =
      "# Stage 3 background: the far glow and the near silhouettes, 24 x 5 chips of 80 px.\n"
      "size 24 5\nlayers 2\npalette 0 12\npalette 1 12\n";
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 24; ++column) {
      const std::string at = std::to_string(column) + " " + std::to_string(row) + " ";
      const std::string chip = std::to_string(row * 12 + column % 12);
      d += "cell 0 " + at + chip + "\ncell 1 " + at + chip + "\n";
    }
  return d;
}

// The cave. Layers: 0 and 1 pictures, 2 collision and markers, 3 event codes, 4 variants + 1.
// Rock everywhere (fill chip 1, full-block tile 1), cut open: the upper run (rows 1-8, columns
// 0-246), the shaft (columns 231-246, rows 1-49), the lower run (rows 41-49 from column 231).
// Chips: row 4 of the sheet holds the floors' top faces, row 5 the ceilings' lower faces.
const char* const kCave = R"(size 300 52
layers 5
rect 0 0 0 300 52 1
rect 2 0 0 300 52 1
rect 0 0 1 247 8 -
rect 2 0 1 247 8 -
rect 0 231 1 16 49 -
rect 2 231 1 16 49 -
rect 0 231 41 69 9 -
rect 2 231 41 69 9 -
rect 0 0 0 247 1 80
rect 0 0 9 231 1 64
rect 0 247 40 53 1 80
rect 0 231 50 69 1 64

# Outcrops of the upper run: floors that rise a row, ceilings that hang one lower.
rect 0 36 8 6 1 64
rect 2 36 8 6 1 1
rect 0 36 9 6 1 1
rect 0 88 1 5 1 80
rect 2 88 1 5 1 1
rect 0 88 0 5 1 1
rect 0 142 8 8 1 64
rect 2 142 8 8 1 1
rect 0 142 9 8 1 1
rect 0 184 1 6 1 80
rect 2 184 1 6 1 1
rect 0 184 0 6 1 1
rect 0 268 49 6 1 64
rect 2 268 49 6 1 1
rect 0 268 50 6 1 1

# Glowing seams on the walls of the shaft (front picture layer, drawn over the ship).
rect 1 230 12 1 6 176
rect 1 247 22 1 6 176
rect 1 230 32 1 6 176

# Markers (layer 2): the start, checkpoint 1 in the upper run, checkpoint 2 in the shaft,
# checkpoint 3 in the lower run (33 columns before the boss's cell). Under each, its scroll
# direction (129 + code: 144 right, 148 down); near each, a speed inside its first view.
cell 2 6 5 16
cell 3 6 6 144
cell 3 10 2 135
cell 2 120 5 17
cell 3 120 6 144
cell 3 124 2 135
cell 2 238 25 32
cell 3 238 26 148
cell 3 240 22 135
cell 2 252 45 33
cell 3 252 46 144
cell 3 256 42 135

# The turns: down once the window's right edge reaches column 247, right again once its
# lower edge reaches row 50; the stop at the boss.
cell 3 247 2 148
cell 3 240 50 144
cell 3 290 42 129

# The boss (pool-0 type 10): it places itself on the screen; its cell only says when.
cell 3 285 44 11

# Common enemies of the upper run: item boxes on the ship's row (main power-up, shield),
# turrets on the floor and the ceiling, fliers.
cell 3 22 5 9
cell 4 22 5 34
cell 3 26 5 9
cell 4 26 5 34
cell 3 30 4 9
cell 4 30 4 40
cell 3 48 8 1
cell 3 54 1 2
cell 3 68 4 69
cell 3 76 6 72
cell 3 96 8 1
cell 3 104 1 2
cell 3 128 3 73
cell 3 134 5 9
cell 4 134 5 38
cell 3 156 6 69
cell 3 176 8 1
cell 3 178 1 2

# A pillar on the floor short of the serpent's stop, for the sliding rock to land against.
rect 0 222 6 2 1 64
rect 0 222 7 2 2 1
rect 2 222 6 2 3 1

# The stage's own (an upper-layer value is the variant + 1). The fire curtain from the start;
# vents blowing right before world x 9200 and left after it, armed once the screen brings them
# to their row (floor vents row 9, ceiling vents row 2); the rock spout starting at screen x
# 320; fireball launchers on the screen's right edge firing left and down-left; the spawners
# that hold their places until the serpent moves; tentacles hanging (2) and growing (3); the
# serpent before the scroll's stop; rocks, mines on the floor (2), the ceiling (3) and free
# (1); walkers; a sliding rock that lands against the pillar.
cell 3 14 1 19
cell 3 44 8 12
cell 4 44 8 10
cell 3 60 1 12
cell 4 60 1 3
cell 3 62 8 20
cell 4 62 8 3
cell 3 150 8 12
cell 4 150 8 10
cell 3 200 8 12
cell 4 200 8 10
cell 3 100 8 13
cell 4 100 8 2
cell 3 80 3 15
cell 4 80 3 59
cell 3 170 4 16
cell 4 170 4 58
cell 3 50 4 17
cell 3 140 5 18
cell 3 186 2 20
cell 4 186 2 2
cell 3 214 4 14
cell 3 110 4 75
cell 3 130 6 76
cell 3 160 3 77
cell 3 164 5 78
cell 3 166 6 79
cell 3 120 1 80
cell 4 120 1 3
cell 3 174 8 80
cell 4 174 8 2
cell 3 190 8 81
cell 3 196 1 82
cell 3 219 7 83
cell 4 219 7 9

# The shaft: the falling fire over its left side once the view goes down, a spout throwing
# fireballs across, a free mine, a sliding rock armed at screen row 6; then the lower run.
cell 3 236 3 12
cell 4 236 3 31
cell 3 232 22 20
cell 4 232 22 1
cell 3 236 30 80
cell 4 236 30 1
cell 3 244 18 83
cell 4 244 18 7
cell 3 242 45 76
cell 3 262 49 12
cell 4 262 49 10
cell 3 264 41 20
cell 4 264 41 2
cell 3 274 47 75
)";

// The hard map adds a second wave over the same cave.
const char* const kHardExtras = R"(
# Hard and insane: more fliers, rocks and vents.
cell 3 72 2 73
cell 3 114 6 69
cell 3 146 2 72
cell 3 168 3 78
cell 3 208 1 12
cell 4 208 1 3
cell 3 226 5 77
cell 3 260 44 69
cell 3 278 49 12
cell 4 278 49 10
)";

}  // namespace

StageMapDescriptions Stage3MapDescriptions() {
  static const std::string background = BackgroundDescription();
  static const std::string easy = std::string("# Stage 3, easy and normal.\n") + kCave;
  static const std::string hard =
      std::string("# Stage 3, hard and insane.\n") + kCave + kHardExtras;
  return {background.c_str(), hard.c_str(), easy.c_str()};
}
