// Stage 2, a fleet battle in navy with warm hull lights: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <cmath>
#include <vector>

#include "tools/datakit/effect_voice.h"
#include "tools/datakit/raster.h"

namespace {

using P = Paint;

constexpr float kPi = 3.14159265f;

Material FleetMetal(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.09f;
  m.grainScale = 5;
  m.shine = 0.4f;
  return m;
}

// The boss's core, frame 0 open .. 5 closed: an amber reactor eye in a navy collar, four iris
// leaves turning in over it a fifth at a time while its glow dies.
void PaintBossCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) / 2.0f - 3;
  const float shut = std::fmax(0, std::fmin(p.frame, 5)) / 5.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.hull, 4, 0});
  BodyEllipse(b, cx, cy, r * 0.66f, r * 0.66f, BodyStyle{Mix(pal.energy, pal.light, 0.5f), 2, 3});
  if (shut > 0) {
    for (int k = 0; k < 4; ++k) {
      const float a = k * kPi / 2 + 0.5f;
      const float reach = r * 0.7f * shut;  // how far each leaf has slid in from the rim
      const float ex = cx + std::cos(a) * r * 0.72f, ey = cy + std::sin(a) * r * 0.72f;
      const float ix = cx + std::cos(a) * (r * 0.72f - reach),
                  iy = cy + std::sin(a) * (r * 0.72f - reach);
      BodyCapsule(b, ex, ey, ix, iy, r * 0.3f, BodyStyle{pal.panel, 2, 3});
    }
  }
  ShadeBody(c, b, FleetMetal(p));
  if (shut < 1) GlowDot(c, cx, cy, r * 0.4f * (1 - shut) + 1, pal.light, 1 - shut);
}

// One armour plate of the battleship's hull, thin at the bow (left) and deep at the stern, its
// straight inner edge towards the keel (down on the upper plate, up on the lower): when the
// plates part, that edge shows a row of warm hull lights and the open interior behind it.
void PaintHullPlate(Canvas& c, const PaintCell& p, bool scarred) {
  const Palette& pal = StagePalette(p.stage);
  const float s = p.frame % 2 == 0 ? 1.0f : -1.0f;  // 1: upper plate, inner edge below
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, hw = c.w / 2.0f - 3, hh = c.h / 2.0f - 3;
  const auto at = [&](float x, float y) { return Vec2{cx + x * hw, cy + y * hh * s}; };
  Body b(c.w, c.h);
  BodyPolygon(b,
              {at(-1, 0.55f), at(-0.55f, -0.1f), at(0.2f, -0.65f), at(0.85f, -0.95f), at(1, -0.7f),
               at(1, 0.95f), at(-0.7f, 0.95f)},
              BodyStyle{pal.hull, 5, 0});
  BodyBox(b, cx + hw * 0.3f, cy + hh * 0.55f * s, hw * 0.55f, hh * 0.18f, 2,
          BodyStyle{pal.panel, 2, 2});
  for (int i = 0; i < 6; ++i) {
    const float gx = cx - hw * 0.5f + i * hw * 0.28f;
    BodyGroove(b, gx, cy - hh * 0.6f * s, gx, cy + hh * 0.9f * s, 1, 2);
  }
  KitRandom r(p.seed + p.frame);
  if (scarred) BodyDents(b, p.seed + p.frame, hh * 0.06f, 6);
  ShadeBody(c, b, FleetMetal(p));
  for (int i = 0; i < 7; ++i) {
    const float lx = cx - hw * 0.45f + i * hw * 0.22f;
    GlowDot(c, lx, cy + hh * 0.82f * s, 1.6f, pal.light, 0.8f);
  }
  if (scarred) {
    // Blast scars: soot patches with a red ember still glowing in the torn plating.
    for (int k = 0; k < 3; ++k) {
      const float x = cx + (r.Below(100) / 100.0f - 0.5f) * hw * 1.2f;
      const float y = cy + (r.Below(100) / 100.0f - 0.5f) * hh * 0.8f;
      FillCircle(c, x, y, hh * 0.22f, Hex(0x101018), 0.55f);
      GlowDot(c, x, y, 2.5f, pal.energy, 0.7f);
    }
  }
}

void PaintHullSection(Canvas& c, const PaintCell& p) { PaintHullPlate(c, p, false); }
void PaintRearSection(Canvas& c, const PaintCell& p) { PaintHullPlate(c, p, true); }

// The hull's core between the plates: dark ribs around the glowing conduit that feeds the bow
// beam, seen only while the plates stand open.
void PaintHullCentre(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, hw = c.w / 2.0f - 3, hh = c.h / 2.0f - 3;
  Body b(c.w, c.h);
  BodyBox(b, cx, cy, hw, hh, 4, BodyStyle{pal.hull * 0.6f, 3, 0});
  for (int i = 0; i < 6; ++i) {
    const float x = cx - hw * 0.8f + i * hw * 0.32f;
    BodyBox(b, x, cy, 3, hh * 0.9f, 1, BodyStyle{pal.panel * 0.8f, 1.5f, 2});
  }
  ShadeBody(c, b, FleetMetal(p));
  GlowLine(c, cx - hw * 0.9f, cy, cx + hw * 0.9f, cy, hh * 0.35f, pal.energy, 0.9f);
  GlowLine(c, cx - hw * 0.9f, cy, cx + hw * 0.9f, cy, hh * 0.12f, pal.light, 1);
}

// The ion: a ball of plasma drawn for additive blending, rows 0..3 its fade levels (dim to
// full), columns its four animation steps (the swirl turning).
void PaintIon(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) / 2.0f - 2;
  const float level = (p.frame / 4 + 1) / 4.0f;
  const float turn = (p.frame % 4) * kPi / 8;
  const Rgb rim = Mix(pal.energy, Hex(0x60D0FF), 0.6f);
  GlowDot(c, cx, cy, r, rim, 0.7f * level);
  for (int k = 0; k < 3; ++k) {
    const float a = turn + k * 2 * kPi / 3;
    GlowDot(c, cx + std::cos(a) * r * 0.45f, cy + std::sin(a) * r * 0.45f, r * 0.35f, rim, level);
  }
  GlowDot(c, cx, cy, r * 0.45f, Hex(0xFFFFFF), level);
}

// The drone: a square hull whose four corner shutters swing open over frames 0 (shut) .. 3
// (open), baring the hot muzzle ring inside.
void PaintDrone(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, h = std::fmin(c.w, c.h) / 2.0f - 4;
  const float open = std::fmax(0, std::fmin(p.frame, 3)) / 3.0f;
  Body b(c.w, c.h);
  BodyBox(b, cx, cy, h * 0.72f, h * 0.72f, 4, BodyStyle{pal.hull, 3, 0});
  BodyEllipse(b, cx, cy, h * 0.38f, h * 0.38f, BodyStyle{Mix(pal.panel, pal.energy, open), 2, 2});
  for (int k = 0; k < 4; ++k) {
    const float sx = k % 2 ? 1.0f : -1.0f, sy = k / 2 ? 1.0f : -1.0f;
    const float out = h * (0.38f + 0.5f * open);  // the shutter slides out along its diagonal
    BodyBox(b, cx + sx * out * 0.72f, cy + sy * out * 0.72f, h * 0.3f, h * 0.3f, 2,
            BodyStyle{pal.panel, 2, 3});
  }
  ShadeBody(c, b, FleetMetal(p));
  GlowDot(c, cx, cy, h * 0.12f + h * 0.25f * open, pal.light, 0.4f + 0.6f * open);
}

// The spread gunner's wings, frame 0 the upper and 1 the lower (2 and 3 of the broken sheet the
// same, torn off short with a glowing, sooty break).
void PaintGunnerWing(Canvas& c, const PaintCell& p, bool broken) {
  const Palette& pal = StagePalette(p.stage);
  const float s = p.frame % 2 == 0 ? -1.0f : 1.0f;  // away from the body
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, hw = c.w / 2.0f - 3, hh = c.h / 2.0f - 3;
  const float reach = broken ? 0.35f : 0.95f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - hw * 0.5f, cy},
               {cx + hw * 0.6f, cy},
               {cx + hw * 0.2f, cy + s * hh * reach},
               {cx - hw * 0.9f, cy + s * hh * reach}},
              BodyStyle{pal.hull, 4, 0});
  BodyGroove(b, cx - hw * 0.3f, cy + s * hh * 0.1f, cx - hw * 0.5f, cy + s * hh * reach * 0.9f, 1,
             2);
  ShadeBody(c, b, FleetMetal(p));
  if (broken) {
    FillCircle(c, cx - hw * 0.35f, cy + s * hh * reach, hw * 0.3f, Hex(0x101018), 0.5f);
    GlowDot(c, cx - hw * 0.35f, cy + s * hh * reach, 3, pal.energy, 0.9f);
  } else {
    GlowDot(c, cx - hw * 0.75f, cy + s * hh * reach * 0.9f, 2.5f, pal.light, 0.8f);
  }
}

void PaintWing(Canvas& c, const PaintCell& p) { PaintGunnerWing(c, p, false); }
void PaintBrokenWing(Canvas& c, const PaintCell& p) { PaintGunnerWing(c, p, true); }

// The boss's arms locking out or folding home: a heavy hydraulic heave down and back up, the
// clank of the locks, and the hiss of the vented pressure.
std::vector<int16_t> BossArmSound() {
  Voice v(0.9);
  Chirp(v, 0, 0.35, 180, 70, 2, 0.4f, 4);
  Chirp(v, 0.3, 0.3, 90, 240, 2, 0.3f, 5);
  Ring(v, 0.28, 0.45, 410, 0.45f);
  Ring(v, 0.5, 0.35, 610, 0.35f);
  Burst(v, 0.05, 0.8, 5000, 1200, 0.18f, 2201, 45);
  return Finish(v, 0.7f);
}

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
           {"data/enemy/stage2/sikaku.bmp", 4, 64, 64, 2, 2, P::Craft, 0, PaintDrone},
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
           {"data/enemy/stage2/ion.bmp", 16, 32, 32, 4, 4, P::Orb, 0, PaintIon},
           {"data/enemy/stage2/partsR2_10.bmp", 2, 96, 160, 2, 1, P::Segment, 0, PaintWing},
           {"data/enemy/stage2/partsR2_10d.bmp", 2, 96, 160, 2, 1, P::Segment, 0, PaintBrokenWing},
           {"data/enemy/stage2/partsR2_11.bmp", 2, 160, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/marui_parts.bmp", 1, 64, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage2/sikaku_jet.bmp", 8, 64, 32, 2, 4, P::Jet, 0},
           {"data/enemy/stage2/senkanparts0.bmp", 2, 352, 96, 1, 2, P::Segment, 0,
            PaintHullSection},
           {"data/enemy/stage2/senkanparts0_d.bmp", 2, 128, 64, 1, 2, P::Segment, 0,
            PaintRearSection},
           {"data/enemy/stage2/senkanparts3.bmp", 1, 128, 64, 1, 1, P::Segment, 0, PaintHullCentre},
           {"data/enemy/stage2/senkanparts1.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/senkanparts2.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage2/iwakabe.bmp", 1, 160, 320, 1, 1, P::Wall, 0},
           {"data/enemy/stage2/kabecore.bmp", 1, 64, 64, 1, 1, P::Orb, 0},
           {"data/enemy/stage2/kabehou.bmp", 1, 64, 48, 1, 1, P::Turret, 0},
           {"data/enemy/stage2/boss1parts0.bmp", 6, 64, 64, 3, 2, P::Segment, 0, PaintBossCore},
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
      {
          {"data/se/stage2/bossarm.wav", SoundKind::Effect, 49, BossArmSound},
      },
  };
}
