// Stage 2's own maps: a background, the hard main map and the easy one. Their descriptions go
// here (the form: tools/lib/fmf_map_writer.h; an example: tools/lib/test_stage_maps.cpp); a map
// left null is the test stage's.
#include <string>

#include "tools/datakit/maps/stage_maps.h"

namespace {

// A far field of 80-pixel chips from 12-column sheets, laid in the order the sheet holds them so
// the picture runs on without seams, with drifting near chips above it.
std::string BackgroundDescription() {
  std::string d = "# Stage 2 background\nsize 24 5\nlayers 2\npalette 0 12\npalette 1 12\n";
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 24; ++column)
      d += "cell 0 " + std::to_string(column) + " " + std::to_string(row) + " " +
           std::to_string(row * 12 + column % 12) + "\n";
  for (const int column : {3, 11, 19}) d += "cell 1 " + std::to_string(column) + " 1 100\n";
  for (const int column : {7, 15, 22}) d += "cell 1 " + std::to_string(column) + " 3 101\n";
  return d;
}

// 120 x 20 cells of 40 pixels; layers: 0 and 1 pictures, 2 collision, 3 event codes, 4 event
// variants. The view keeps rows 4-14 (y 180-580) and scrolls right at 2 px a frame. Enclosed
// stretches (columns 0-54 and 96-119) have a ceiling down to row 4 and a floor from row 14,
// with batteries on both; the open stretch between them (ceiling and floor out of sight) holds
// the battleships. The boss comes at the end, where the scroll stops.
const char* const kMainDescription = R"(# Stage 2 main map
size 120 20
layers 5
rect 0 0 0 120 5 1
rect 2 0 0 120 5 1
rect 0 0 14 120 6 1
rect 2 0 14 120 6 1
# The open stretch: only the outer two rows on either side stay rock.
rect 0 55 2 41 16 -
rect 2 55 2 41 16 -
# Slopes into and out of the open stretch (the picture chip carries the tile type's number).
cell 0 54 4 2
cell 2 54 4 2
cell 0 54 14 4
cell 2 54 14 4
cell 0 96 4 3
cell 2 96 4 3
cell 0 96 14 5
cell 2 96 14 5
# Rock walls that jut into the enclosed stretches.
rect 0 24 5 2 2 1
rect 2 24 5 2 2 1
rect 0 38 12 2 2 1
rect 2 38 12 2 2 1
rect 0 104 5 2 2 1
rect 2 104 5 2 2 1
# Foreground pictures drawn over the ship.
rect 1 10 13 3 1 240
rect 1 100 13 3 1 241

# Markers: the start, checkpoint 1 before the open stretch, checkpoint 2 after it.
cell 2 3 9 16
cell 2 44 9 17
cell 2 88 9 32
# Scroll commands (129 + code: speed code x 0.5, 144 right): under each marker its direction,
# near each a speed inside its first view.
cell 3 3 10 144
cell 3 6 8 133
cell 3 44 10 144
cell 3 47 8 133
cell 3 88 10 144
cell 3 91 8 133

# Batteries (16 facing left, 17 facing right) on the floor and under the ceiling.
cell 3 16 13 16
cell 3 20 5 17
cell 3 30 13 17
cell 3 34 5 16
cell 3 46 13 16
cell 3 50 5 16
cell 3 100 13 16
cell 3 108 5 17
# Battleships (14) and small battleships (15) in the open; variant 32 lifts one 20 px, 33
# lowers one.
cell 3 60 9 14
cell 3 70 12 15
cell 3 76 7 15
cell 4 76 7 33
cell 3 82 10 14
cell 4 82 10 32
# The boss.
cell 3 114 9 11
)";

}  // namespace

StageMapDescriptions Stage2MapDescriptions() {
  static const std::string background = BackgroundDescription();
  return {background.c_str(), kMainDescription, kMainDescription};
}
