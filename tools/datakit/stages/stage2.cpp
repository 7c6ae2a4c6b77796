// Stage 2, a fleet battle in navy with warm hull lights: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

}  // namespace

StageKit Stage2Kit() {
  return {
      {
          .hull = Hex(0x2E3F6E),
          .panel = Hex(0x55668F),
          .accent = Hex(0xE0A040),
          .light = Hex(0xFFD070),
          .energy = Hex(0xFF8A2A),
          .rock = Hex(0x5A5A6A),
          .skyTop = Hex(0x03040C),
          .skyLow = Hex(0x0E1634),
      },
      {"stage2",
       2,
       {
           {"data/enemy/stage2/boss1.bmp", 1, 320, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage2/marui.bmp", 1, 96, 96, 1, 1, P::Orb, 0},
           {"data/enemy/stage2/sikaku.bmp", 4, 64, 64, 2, 2, P::Craft, 0},
           {"data/enemy/stage2/senkan.bmp", 1, 576, 192, 1, 1, P::Boss, 0},
           {"data/enemy/stage2/senkan_2.bmp", 1, 576, 160, 1, 1, P::Boss, 0},
           {"data/enemy/stage2/houdai.bmp", 1, 64, 48, 1, 1, P::Turret, 0},
           {"data/enemy/stage2/enemyR2_10.bmp", 1, 96, 64, 1, 1, P::Craft, 0},
           {"data/enemy/stage2/enemyR2_11.bmp", 1, 96, 64, 1, 1, P::Craft, 0},
           {"data/enemy/stage2/iwa_l.bmp", 1, 128, 112, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/iwa_m.bmp", 1, 80, 72, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/iwa_s1.bmp", 1, 48, 44, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/iwa_s2.bmp", 1, 40, 36, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/iwa_s3.bmp", 1, 32, 30, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/iwa_s4.bmp", 1, 56, 48, 1, 1, P::Rock, 0},
           {"data/enemy/stage2/ion.bmp", 16, 32, 32, 4, 4, P::Orb, 0},
           {"data/enemy/stage2/partsR2_10.bmp", 2, 96, 160, 2, 1, P::Segment, 0},
           {"data/enemy/stage2/partsR2_10d.bmp", 2, 96, 160, 2, 1, P::Segment, 0},
           {"data/enemy/stage2/partsR2_11.bmp", 2, 160, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/marui_parts.bmp", 1, 64, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage2/sikaku_jet.bmp", 8, 64, 32, 2, 4, P::Jet, 0},
           {"data/enemy/stage2/senkanparts0.bmp", 2, 352, 96, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/senkanparts0_d.bmp", 2, 128, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/senkanparts3.bmp", 1, 128, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage2/senkanparts1.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/senkanparts2.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/iwakabe.bmp", 1, 160, 320, 1, 1, P::Wall, 0},
           {"data/enemy/stage2/kabecore.bmp", 1, 64, 64, 1, 1, P::Orb, 0},
           {"data/enemy/stage2/kabehou.bmp", 1, 64, 48, 1, 1, P::Turret, 0},
           {"data/enemy/stage2/boss1parts0.bmp", 6, 64, 64, 3, 2, P::Segment, 0},
           {"data/enemy/stage2/boss1parts1.bmp", 4, 288, 64, 1, 4, P::Segment, 0},
           {"data/enemy/stage2/boss1partsBlade.bmp", 1, 160, 48, 1, 1, P::Segment, 0},
           {"data/enemy/stage2/boss1parts2.bmp", 4, 96, 64, 1, 4, P::Segment, 0},
           {"data/enemy/stage2/boss1parts3.bmp", 4, 224, 96, 2, 2, P::Segment, 0},
           {"data/enemy/stage2/boss1parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/bullet/stage2/b17.bmp", 12, 32, 32, 4, 3, P::Bullet, 0},
           {"data/map/stage2_1/map2b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage2_1/map2b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage2_1/map2_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
           {"data/map/stage2_1/map2_1.bmp", 256, 40, 40, 16, 16, P::MainChips, 1},
       }},
      {},
  };
}
