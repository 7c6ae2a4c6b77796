// Stage 3, something alive and burning, in deep red, magma orange and bone: its palette, its images
// and the sounds it brings. Painters and sound recipes of its own go here too: a row names its
// painter, a sound its recipe.
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

}  // namespace

StageKit Stage3Kit() {
  return {
      {
          .hull = Hex(0x7A1C1C),
          .panel = Hex(0xD8C8A8),
          .accent = Hex(0xFF6A1A),
          .light = Hex(0xFFB040),
          .energy = Hex(0xFF5A2A),
          .rock = Hex(0x4A2420),
          .skyTop = Hex(0x120404),
          .skyLow = Hex(0x3A0C08),
      },
      {"stage3",
       3,
       {
           {"data/enemy/stage3/boss2.bmp", 1, 320, 288, 1, 1, P::Boss, 0},
           {"data/enemy/stage3/fire2.bmp", 1, 192, 192, 1, 1, P::Fire, 0},
           {"data/enemy/stage3/shokushu_u.bmp", 1, 64, 160, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/shokushu_d.bmp", 1, 64, 160, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/fireball_l.bmp", 4, 64, 64, 2, 2, P::Fire, 0},
           {"data/enemy/stage3/fireball_s.bmp", 4, 48, 48, 2, 2, P::Fire, 0},
           {"data/enemy/stage3/iwa_s1.bmp", 1, 48, 44, 1, 1, P::Rock, 0},
           {"data/enemy/stage3/iwa_s2.bmp", 1, 40, 36, 1, 1, P::Rock, 0},
           {"data/enemy/stage3/iwa_s3.bmp", 1, 32, 30, 1, 1, P::Rock, 0},
           {"data/enemy/stage3/enemyR2_15.bmp", 8, 48, 48, 4, 2, P::Craft, 0},
           {"data/enemy/stage3/enemyR2_16.bmp", 4, 64, 48, 4, 1, P::Craft, 0},
           {"data/enemy/stage3/enemyR2_17.bmp", 4, 64, 48, 4, 1, P::Craft, 0},
           {"data/enemy/stage3/fire.bmp", 2, 320, 560, 2, 1, P::Fire, 0},
           {"data/enemy/stage3/shokushu_u2.bmp", 2, 48, 24, 1, 2, P::Segment, 0},
           {"data/enemy/stage3/iwa.bmp", 1, 96, 88, 1, 1, P::Rock, 0},
           {"data/enemy/stage3/hou3.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage3/hou3_.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage3/enemyR2_016_17parts.bmp", 1, 64, 32, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/enemyR2_016parts0.bmp", 12, 64, 16, 2, 6, P::Segment, 0},
           {"data/enemy/stage3/enemyR2_017parts0.bmp", 12, 64, 16, 2, 6, P::Segment, 0},
           {"data/enemy/stage3/snakeparts_joint.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage3/snakeparts_head.bmp", 6, 96, 96, 3, 2, P::Segment, 0},
           {"data/enemy/stage3/snakeparts.bmp", 6, 64, 128, 3, 2, P::Segment, 0},
           {"data/enemy/stage3/snakepartsTail.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts0.bmp", 6, 64, 64, 2, 3, P::Segment, 0},
           {"data/enemy/stage3/boss2parts1.bmp", 1, 128, 128, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts2.bmp", 2, 64, 64, 2, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts3.bmp", 2, 64, 192, 2, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts3_2.bmp", 1, 64, 96, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts4.bmp", 5, 64, 64, 5, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts5.bmp", 1, 96, 96, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/enemyR2_15parts.bmp", 4, 80, 20, 1, 4, P::Segment, 0},
           {"data/bullet/stage3/b17.bmp", 8, 96, 96, 2, 4, P::Bullet, 0},
           {"data/bullet/stage3/b18.bmp", 12, 32, 32, 4, 3, P::Bullet, 0},
           {"data/bullet/stage3/flame.PNG", 8, 32, 32, 4, 2, P::Flame, 0},
           {"data/bullet/stage3/flame_zanzou.PNG", 8, 32, 32, 4, 2, P::Flame, 0},
           {"data/bullet/stage3/b16.bmp", 12, 16, 16, 4, 3, P::Bullet, 0},
           {"data/map/stage3_1/map3b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage3_1/map3b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage3_1/map3_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {},
  };
}
