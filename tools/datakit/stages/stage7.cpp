// Stage 7, dawn, in gold and rose: its palette, its images and the sounds it brings. Painters
// and sound recipes of its own go here too: a row names its painter, a sound its recipe.
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

}  // namespace

StageKit Stage7Kit() {
  return {
      {
          .hull = Hex(0xD0A848),
          .panel = Hex(0xC87890),
          .accent = Hex(0xFFE0A0),
          .light = Hex(0xFFF0C0),
          .energy = Hex(0xFF6AA0),
          .rock = Hex(0x8A6A60),
          .skyTop = Hex(0x2A1830),
          .skyLow = Hex(0xC8786A),
      },
      {"stage7",
       7,
       {
           {"data/enemy/stage7/fire.bmp", 1, 128, 128, 1, 1, P::Fire, 0},
           {"data/enemy/stage7/bokan.bmp", 1, 928, 240, 1, 1, P::Boss, 0},
           {"data/enemy/stage7/bokan2.bmp", 1, 480, 200, 1, 1, P::Boss, 0},
           {"data/enemy/stage7/bokanvernia.bmp", 4, 128, 32, 1, 4, P::Jet, 0},
           {"data/map/stage7_1/map7b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage7_1/map7b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage7_1/map7_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {},
  };
}
