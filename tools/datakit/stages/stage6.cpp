// Stage 6, a machine cavern in copper and verdigris: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

}  // namespace

StageKit Stage6Kit() {
  return {
      {
          .hull = Hex(0xB0683A),
          .panel = Hex(0x4A9A84),
          .accent = Hex(0xE0B060),
          .light = Hex(0x7CFFB0),
          .energy = Hex(0xFF9A3A),
          .rock = Hex(0x5A4434),
          .skyTop = Hex(0x080604),
          .skyLow = Hex(0x22180C),
      },
      {"stage6",
       6,
       {
           {"data/enemy/stage6/boss.bmp", 1, 384, 288, 1, 1, P::Boss, 0},
           {"data/enemy/stage6/robo.bmp", 9, 128, 128, 3, 3, P::Walker, 0},
           {"data/enemy/stage6/entry.bmp", 1, 320, 400, 1, 1, P::Wall, 0},
           {"data/enemy/stage6/enemyR1_15_2.bmp", 4, 128, 64, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/enemyR1_15.bmp", 4, 128, 64, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/enemyR2_11.bmp", 1, 96, 64, 1, 1, P::Craft, 0},
           {"data/enemy/stage6/fusha.bmp", 1, 160, 160, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/shutter.bmp", 1, 40, 240, 1, 1, P::Wall, 0},
           {"data/enemy/stage6/enemyR2_10parts0.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_11parts0.bmp", 4, 80, 20, 1, 4, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_12parts0.bmp", 2, 80, 40, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_12parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_13parts0.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_14parts0.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_14parts1.bmp", 6, 32, 192, 6, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_14parts2.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/enemyR2_14parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/warp.png", 16, 120, 120, 4, 4, P::Portal, 0},
           {"data/enemy/stage6/fusha_bou.bmp", 2, 240, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/roboasi.bmp", 1, 348, 384, 1, 1, P::Legs, 0},
           {"data/enemy/stage6/robojoint.bmp", 2, 32, 32, 1, 2, P::Orb, 0},
           {"data/enemy/stage6/robohead.bmp", 2, 384, 128, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/robohou.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage6/robohatch.bmp", 5, 32, 32, 5, 1, P::Hatch, 0},
           {"data/enemy/stage6/clubparts0.bmp", 12, 512, 128, 2, 6, P::Segment, 0},
           {"data/enemy/stage6/club_core.bmp", 6, 96, 96, 3, 2, P::Orb, 0},
           {"data/enemy/stage6/club.bmp", 2, 192, 192, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/gankyu.bmp", 1, 96, 96, 1, 1, P::Orb, 0},
           {"data/enemy/stage6/clubparts1.bmp", 3, 320, 64, 1, 3, P::Segment, 0},
           {"data/enemy/stage6/clubparts2.bmp", 4, 192, 64, 1, 4, P::Segment, 0},
           {"data/enemy/stage6/shutter40.bmp", 2, 40, 40, 2, 1, P::Wall, 0},
           {"data/enemy/stage6/boss2parts0.bmp", 6, 120, 80, 2, 3, P::Segment, 0},
           {"data/enemy/stage6/boss2parts1.bmp", 6, 80, 120, 2, 3, P::Segment, 0},
           {"data/enemy/stage6/bossShell.bmp", 1, 192, 192, 1, 1, P::Boss, 0},
           {"data/enemy/stage6/boss2parts2.bmp", 6, 96, 192, 3, 2, P::Segment, 0},
           {"data/enemy/stage6/boss2parts3.bmp", 2, 700, 200, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/enemyR1_14.bmp", 4, 160, 160, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/enemyR1_14_2.bmp", 4, 80, 80, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/red.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage6/blue.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage6/boss2parts4.bmp", 1, 160, 160, 1, 1, P::Segment, 0},
           {"data/enemy/stage6/boss2parts5.bmp", 2, 128, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/clubparts0_2.bmp", 12, 512, 128, 2, 6, P::Segment, 0},
           {"data/enemy/stage6/bossani.png", 4, 64, 64, 2, 2, P::Orb, 0},
           {"data/bullet/stage6/b17.bmp", 8, 96, 96, 2, 4, P::Bullet, 0},
           {"data/bullet/stage6/b18.bmp", 12, 64, 32, 4, 3, P::Bullet, 0},
           {"data/bullet/stage6/b19.bmp", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage6/b20.png", 6, 128, 128, 3, 2, P::Bullet, 0},
           {"data/bullet/stage6/b21.bmp", 8, 128, 32, 2, 4, P::Bullet, 0},
           {"data/bullet/stage6/b22.bmp", 4, 320, 128, 1, 4, P::Bullet, 0},
           {"data/bullet/stage6/portalblue.bmp", 6, 16, 16, 3, 2, P::Bullet, 0},
           {"data/bullet/stage6/portalred.bmp", 6, 16, 16, 3, 2, P::Bullet, 0},
           {"data/map/stage6_1/map6b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage6_1/map6b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage6_1/map6_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {},
  };
}
