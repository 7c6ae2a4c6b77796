// Stage 5, crystal ruins in teal and violet: its palette, its images and the sounds it brings.
// Painters and sound recipes of its own go here too: a row names its painter, a sound its recipe.
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

}  // namespace

StageKit Stage5Kit() {
  return {
      {
          .hull = Hex(0x2A8C88),
          .panel = Hex(0x6A4A9A),
          .accent = Hex(0x9AF0E0),
          .light = Hex(0xC890FF),
          .energy = Hex(0x40F0FF),
          .rock = Hex(0x3A3A5A),
          .skyTop = Hex(0x060414),
          .skyLow = Hex(0x1C1236),
      },
      {"stage5",
       5,
       {
           {"data/enemy/stage5/boss2.bmp", 1, 256, 192, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss3.bmp", 1, 288, 224, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss4.bmp", 1, 384, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss5.bmp", 1, 320, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/laserhou.bmp", 2, 80, 80, 2, 1, P::Turret, 0},
           {"data/enemy/stage5/laserhou2.bmp", 2, 80, 40, 1, 2, P::Turret, 0},
           {"data/enemy/stage5/maru.bmp", 1, 96, 96, 1, 1, P::Orb, 0},
           {"data/enemy/stage5/shutter.bmp", 3, 40, 248, 3, 1, P::Wall, 0},
           {"data/enemy/stage5/enemyR2_13.bmp", 6, 128, 96, 2, 3, P::Craft, 0},
           {"data/enemy/stage5/enemyR2_14.bmp", 6, 64, 64, 3, 2, P::Craft, 0},
           {"data/enemy/stage5/enemyR2_16.bmp", 4, 128, 64, 1, 4, P::Craft, 0},
           {"data/enemy/stage5/enemyR4_00.png", 10, 80, 80, 5, 2, P::Orb, 0},
           {"data/enemy/stage5/enemyR2_14.png", 4, 128, 64, 2, 2, P::Craft, 0},
           {"data/enemy/stage5/laser_hou.bmp", 4, 128, 64, 2, 2, P::Turret, 0},
           {"data/enemy/stage5/enemyR2_13parts.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/enemyR2_14parts.bmp", 8, 48, 32, 2, 4, P::Segment, 0},
           {"data/enemy/stage5/maruparts1.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/maruparts2.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/enemyR2_16jet.bmp", 4, 128, 64, 1, 4, P::Jet, 0},
           {"data/enemy/stage5/shutter40.bmp", 2, 40, 40, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/shutter80.bmp", 2, 40, 80, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/shutter120.bmp", 2, 40, 120, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/enemyR2_17.bmp", 6, 48, 48, 3, 2, P::Craft, 0},
           {"data/enemy/stage5/boss1parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts2.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts5.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts2.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts3.bmp", 4, 64, 32, 1, 4, P::Segment, 0},
           {"data/enemy/stage5/boss2parts4.bmp", 2, 160, 80, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss2parts5.bmp", 2, 64, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss1parts0.bmp", 6, 32, 32, 3, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts1.bmp", 2, 128, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts2.bmp", 2, 256, 192, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss4parts1.bmp", 2, 384, 160, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss4parts2.bmp", 10, 32, 32, 5, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts1.bmp", 2, 240, 240, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts2.bmp", 2, 200, 120, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts3.bmp", 2, 320, 80, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss5parts5.bmp", 4, 320, 40, 1, 4, P::Segment, 0},
           {"data/bullet/stage5/b18.bmp", 12, 32, 32, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b19.png", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b21.bmp", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b22.png", 6, 128, 128, 3, 2, P::Bullet, 0},
           {"data/map/stage5_1/map5b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage5_1/map5b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage5_1/map5_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {},
  };
}
