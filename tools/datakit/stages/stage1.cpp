// Stage 1, an orbital wreck field in steel blue and rust: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/datakit/effect_voice.h"
#include "tools/datakit/raster.h"

namespace {

using P = Paint;

Material BossMetal(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.1f;
  m.grainScale = 5;
  m.shine = 0.45f;
  return m;
}

// The boss's core, frame 0 open .. 5 closed: a hot orb in a steel collar, two rust shutters
// closing over it a fifth at a time; the glow dies as they close.
void PaintBossCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) / 2.0f - 2;
  const float shut = std::fmax(0, std::fmin(p.frame, 5)) / 5.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.hull, 3, 0});
  BodyEllipse(b, cx, cy, r * 0.68f, r * 0.68f, BodyStyle{Mix(pal.energy, pal.light, 0.4f), 2, 2});
  if (shut > 0) {
    const float h = r * 0.7f * shut;
    BodyBox(b, cx, cy - r * 0.7f + h / 2, r * 0.75f, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
    BodyBox(b, cx, cy + r * 0.7f - h / 2, r * 0.75f, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
  }
  ShadeBody(c, b, BossMetal(p));
  if (shut < 1) GlowDot(c, cx, cy, r * 0.35f * (1 - shut) + 1, pal.light, 1 - shut);
}

// An arm, pivot at the cell's centre and reaching right along the hit circles (38..108 px), a
// beam muzzle at its tip whose jaws open over frames 0 (closed) .. 3 (open, glowing).
void PaintBossArm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float open = std::fmax(0, std::fmin(p.frame, 3)) / 3.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, 13, 13, BodyStyle{pal.panel, 4, 2});
  BodyCapsule(b, cx + 6, cy, cx + 100, cy, 10, BodyStyle{pal.hull, 5, 0});
  for (int i = 1; i < 5; ++i) {
    const float gx = cx + 10 + i * 18.0f;
    BodyGroove(b, gx, cy - 8, gx, cy + 8, 1, 2);
  }
  BodyBox(b, cx + 60, cy, 14, 6, 2, BodyStyle{pal.panel, 2, 3});
  const float jaw = 4 + 7 * open;
  BodyBox(b, cx + 110, cy - jaw, 9, 3, 1.5f, BodyStyle{pal.hull * 0.9f, 1.5f, 2});
  BodyBox(b, cx + 110, cy + jaw, 9, 3, 1.5f, BodyStyle{pal.hull * 0.9f, 1.5f, 2});
  BodyEllipse(b, cx + 104, cy, 5, 5, BodyStyle{Mix(pal.panel, pal.energy, open), 2, 1});
  ShadeBody(c, b, BossMetal(p));
  GlowDot(c, cx, cy, 3, pal.light, 0.5f);
  if (open > 0) GlowDot(c, cx + 106, cy, 2 + 4 * open, pal.energy, open);
}

// A wing plate by variant: 0 the upper one sweeping up and back, 1 the lower one down and back,
// attached at the cell's centre.
void PaintBossWing(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = p.frame == 0 ? -1.0f : 1.0f;  // away from the body
  Body b(c.w, c.h);
  const std::vector<Vec2> plate = {{cx + 40, cy - 6 * s},  {cx - 20, cy - 10 * s},
                                   {cx - 110, cy + 6 * s}, {cx - 120, cy + 22 * s},
                                   {cx - 40, cy + 20 * s}, {cx + 50, cy + 8 * s}};
  BodyPolygon(b, plate, BodyStyle{pal.hull, 4, 0});
  BodyGroove(b, cx - 100, cy + 12 * s, cx + 30, cy + 2 * s, 1, 2);
  BodyBox(b, cx - 60, cy + 12 * s, 18, 3, 1, BodyStyle{pal.panel, 1.5f, 2});
  ShadeBody(c, b, BossMetal(p));
  GlowDot(c, cx - 112, cy + 16 * s, 2.5f, pal.light, 0.8f);
}

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
           {"data/enemy/stage1/boss1parts0.bmp", 6, 32, 32, 3, 2, P::Segment, 0, PaintBossCore},
           {"data/enemy/stage1/boss1parts1.bmp", 4, 256, 64, 1, 4, P::Segment, 0, PaintBossArm},
           {"data/enemy/stage1/boss1parts2.bmp", 2, 128, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage1/boss1parts3.bmp", 1, 128, 128, 1, 1, P::Segment, 0},
           {"data/enemy/stage1/boss1parts4.bmp", 3, 128, 32, 1, 3, P::Segment, 0},
           {"data/enemy/stage1/boss1parts5.bmp", 5, 288, 64, 1, 5, P::Segment, 0},
           {"data/enemy/stage1/shuriken.bmp", 1, 64, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage1/boss1parts.bmp", 2, 256, 64, 1, 2, P::Segment, 0, PaintBossWing},
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
