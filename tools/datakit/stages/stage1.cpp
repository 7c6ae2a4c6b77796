// Stage 1, an orbital wreck field in steel blue and rust: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include "tools/datakit/effect_voice.h"

namespace {

using P = Paint;

// The boss's transformation: servos whining up through a rising saw, plates locking with two
// metal rings, and a hiss of vented gas under it.
std::vector<int16_t> TransformSound() {
  Voice v(1.5);
  Chirp(v, 0, 0.9, 110, 440, 2, 0.35f, 1.5);
  Chirp(v, 0.1, 0.8, 220, 660, 1, 0.15f, 1.5);
  Burst(v, 0, 1.2, 6000, 1500, 0.2f, 4901);
  Ring(v, 0.7, 0.7, 520, 0.5f);
  Ring(v, 0.95, 0.5, 690, 0.45f);
  return Finish(v, 0.8f);
}

// A wall segment landing: a short low thud with a dull clank on top.
std::vector<int16_t> DonSound() {
  Voice v(0.8);
  Burst(v, 0, 0.6, 700, 60, 1.0f, 5401, 55);
  Ring(v, 0, 0.35, 140, 0.35f);
  return Finish(v, 0.8f);
}

}  // namespace

StageKit Stage1Kit() {
  return {
      {
          .hull = Hex(0x5A7690),
          .panel = Hex(0x9A5A34),
          .accent = Hex(0xC8823C),
          .light = Hex(0xFFB060),
          .energy = Hex(0xFF4C9A),
          .rock = Hex(0x6E6358),
          .skyTop = Hex(0x060A14),
          .skyLow = Hex(0x18263A),
      },
      {"stage1",
       1,
       {
           {"data/enemy/stage1/boss1.bmp", 4, 128, 128, 2, 2, P::Boss, 0},
           {"data/enemy/stage1/robo.bmp", 1, 192, 160, 1, 1, P::Walker, 0},
           {"data/enemy/stage1/enemyR1_12.bmp", 5, 64, 128, 5, 1, P::Craft, 0},
           {"data/enemy/stage1/hatch.bmp", 1, 128, 96, 1, 1, P::Hatch, 0},
           {"data/enemy/stage1/bokan.bmp", 3, 800, 288, 1, 3, P::Boss, 0},
           {"data/enemy/stage1/enemyR2_10.bmp", 6, 64, 64, 3, 2, P::Craft, 0},
           {"data/enemy/stage1/enemyR2_11.bmp", 4, 96, 64, 4, 1, P::Craft, 0},
           {"data/enemy/stage1/iwa_l.bmp", 1, 128, 112, 1, 1, P::Rock, 0},
           {"data/enemy/stage1/iwa_m.bmp", 1, 80, 72, 1, 1, P::Rock, 0},
           {"data/enemy/stage1/iwa_s1.bmp", 1, 48, 44, 1, 1, P::Rock, 0},
           {"data/enemy/stage1/iwa_s2.bmp", 1, 40, 36, 1, 1, P::Rock, 0},
           {"data/enemy/stage1/iwa_s3.bmp", 1, 32, 30, 1, 1, P::Rock, 0},
           {"data/enemy/stage1/hougeki.png", 16, 32, 32, 4, 4, P::Explosion, 0},
           {"data/enemy/stage1/skybaku.png", 1, 256, 256, 1, 1, P::Explosion, 0},
           {"data/enemy/stage1/sora.png", 1, 640, 400, 1, 1, P::Sky, 0},
           {"data/enemy/stage1/roboasi.bmp", 1, 256, 256, 1, 1, P::Legs, 0},
           {"data/enemy/stage1/enemyR2_11parts0.bmp", 12, 64, 64, 3, 4, P::Segment, 0},
           {"data/enemy/stage1/kabecore.bmp", 1, 64, 64, 1, 1, P::Orb, 0},
           {"data/enemy/stage1/kabe.bmp", 1, 80, 160, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe2.bmp", 1, 80, 160, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe3.bmp", 1, 80, 120, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe4.bmp", 1, 80, 80, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/jiki.bmp", 1, 64, 64, 1, 1, P::Ship, 0},
           {"data/enemy/stage1/bokanhatch.bmp", 6, 192, 64, 1, 6, P::Hatch, 0},
           {"data/enemy/stage1/bokanvernia.bmp", 4, 64, 256, 4, 1, P::Jet, 0},
           {"data/enemy/stage1/hougeki.bmp", 1, 64, 48, 1, 1, P::Turret, 0},
           {"data/enemy/stage1/taikuu.bmp", 4, 64, 64, 4, 1, P::Turret, 0},
           {"data/enemy/stage1/kabehou.bmp", 1, 64, 48, 1, 1, P::Turret, 0},
           {"data/enemy/stage1/boss1parts0.bmp", 6, 32, 32, 3, 2, P::Segment, 0},
           {"data/enemy/stage1/boss1parts1.bmp", 4, 256, 64, 1, 4, P::Segment, 0},
           {"data/enemy/stage1/boss1parts2.bmp", 2, 128, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage1/boss1parts3.bmp", 1, 128, 128, 1, 1, P::Segment, 0},
           {"data/enemy/stage1/boss1parts4.bmp", 3, 128, 32, 1, 3, P::Segment, 0},
           {"data/enemy/stage1/boss1parts5.bmp", 5, 288, 64, 1, 5, P::Segment, 0},
           {"data/enemy/stage1/shuriken.bmp", 1, 64, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage1/boss1parts.bmp", 2, 256, 64, 1, 2, P::Segment, 0},
           {"data/bullet/stage1/b17.bmp", 12, 32, 32, 4, 3, P::Bullet, 0},
           {"data/map/stage1_1/map1b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage1_1/map1b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage1_1/map1_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
           {"data/map/stage1_1/map1_1.bmp", 256, 40, 40, 16, 16, P::MainChips, 1},
           {"data/map/stage1_1/map1b_2.bmp", 1, 640, 400, 1, 1, P::Skyline, 0},
       }},
      {
          {"data/se/stage1/transform.wav", SoundKind::Effect, 49, TransformSound},
          {"data/se/stage1/don.wav", SoundKind::Effect, 54, DonSound},
      },
  };
}
