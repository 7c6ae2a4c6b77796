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

// Clears a box of the canvas: an opening through which what is drawn behind shows.
void ClearBox(Canvas& c, int x0, int y0, int x1, int y1) {
  for (int y = std::max(y0, 0); y < std::min(y1, c.h); ++y) {
    for (int x = std::max(x0, 0); x < std::min(x1, c.w); ++x) {
      float* px = c.At(x, y);
      px[0] = px[1] = px[2] = px[3] = 0;
    }
  }
}

// The opening's mothership, its long hull pointing right with the ship's bay open below
// (the ship and the hatch hang behind the hull and show through it): frame 0 intact, 1 burning
// and sinking, 2 broken in three pieces. The anchors the ground fire aims at sit on its belly.
void PaintMothership(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float sx = c.w / 800.0f, sy = c.h / 288.0f;
  auto at = [&](float x, float y) { return Vec2{x * sx, y * sy}; };
  const int state = std::max(0, std::min(p.frame, 2));
  const float burn = state == 0 ? 0 : state == 1 ? 0.35f : 0.6f;
  const Rgb hull = Mix(pal.hull, Hex(0x1A1614), burn);
  const Rgb panel = Mix(pal.panel, Hex(0x201410), burn);
  // Three pieces; whole they join, broken they drift apart and tilt.
  struct Piece {
    float x0, x1, dx, dy, tilt;
  };
  const Piece pieces[3] = {
      {0, 250, -14, 16, 0.06f}, {250, 560, 0, 26, -0.03f}, {560, 800, 16, 8, 0.08f}};
  const std::vector<Vec2> outline = {at(12, 112),  at(40, 60),   at(130, 42),  at(520, 38),
                                     at(690, 64),  at(792, 146), at(720, 204), at(560, 240),
                                     at(300, 246), at(60, 232)};
  for (int k = 0; k < (state == 2 ? 3 : 1); ++k) {
    const Piece& piece = pieces[k];
    const float x0 = state == 2 ? piece.x0 : 0, x1 = state == 2 ? piece.x1 : 800;
    Body b(c.w, c.h);
    BodyPolygon(b, outline, BodyStyle{hull, 10, 0});
    BodyBox(b, 600 * sx, 40 * sy, 70 * sx, 22 * sy, 6, BodyStyle{panel, 5, 6});   // bridge
    BodyBox(b, 250 * sx, 44 * sy, 110 * sx, 10 * sy, 4, BodyStyle{panel, 4, 4});  // spine
    for (int i = 0; i < 9; ++i) {
      const float gx = (70 + i * 80) * sx;
      BodyGroove(b, gx, 56 * sy, gx, 226 * sy, 1.2f, 2);
    }
    BodyGroove(b, 40 * sx, 140 * sy, 760 * sx, 150 * sy, 1.5f, 2.5f);
    for (float ax : {1.0f, 110.0f, 455.0f, 542.0f}) {
      BodyEllipse(b, ax * sx, 200 * sy, 14 * sx, 8 * sy, BodyStyle{panel, 3, 3});
    }
    BodyDents(b, p.seed + k, 0.4f, 3);
    Canvas part(c.w, c.h);
    ShadeBody(part, b, BossMetal(p));
    // The window lights along the deck; broken, most are out.
    for (int i = 0; i < 12; ++i) {
      const float lx = (160 + i * 46) * sx;
      if (state < 2 || i % 4 == 0) GlowDot(part, lx, 70 * sy, 2.5f, pal.light, 0.9f - burn);
    }
    // The bay the ship drops through.
    ClearBox(part, static_cast<int>(212 * sx), static_cast<int>(168 * sy),
             static_cast<int>(332 * sx), c.h);
    if (state == 2) {
      ClearBox(part, 0, 0, static_cast<int>(x0 * sx), c.h);
      ClearBox(part, static_cast<int>(x1 * sx), 0, c.w, c.h);
    }
    if (state > 0) {
      // Burn holes with embers; the broken hull burns along its breaks.
      KitRandom r(p.seed * 7 + 3);
      const int holes = state == 1 ? 7 : 12;
      for (int i = 0; i < holes; ++i) {
        const float hx = (60 + r.Unit() * 680) * sx, hy = (80 + r.Unit() * 140) * sy;
        if (state == 2 && (hx < x0 * sx || hx >= x1 * sx)) continue;
        FillCircle(part, hx, hy, (8 + r.Unit() * 10) * sx, Hex(0x0C0808), 0.85f);
        GlowDot(part, hx, hy, (5 + r.Unit() * 6) * sx, pal.light, 0.8f);
      }
      if (state == 2) {
        for (float bx : {x0, x1}) {
          if (bx <= 0 || bx >= 800) continue;
          for (int i = 0; i < 6; ++i) {
            GlowDot(part, bx * sx, (70 + i * 28) * sy, 7 * sx, pal.light, 0.9f);
          }
        }
      }
    }
    if (state == 2) {
      // The piece shifted and tilted about its middle.
      Canvas moved(c.w, c.h);
      const Vec2 centre{(x0 + x1) / 2 * sx, 144 * sy};
      for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
          const Vec2 from = Rotate({x - piece.dx * sx, y - piece.dy * sy}, centre, -piece.tilt);
          const int fx = static_cast<int>(from.x), fy = static_cast<int>(from.y);
          if (!part.Inside(fx, fy)) continue;
          const float* src = part.At(fx, fy);
          float* dst = moved.At(x, y);
          for (int i = 0; i < 4; ++i) dst[i] = src[i];
        }
      }
      Composite(c, moved, 0, 0);
    } else {
      Composite(c, part, 0, 0);
    }
  }
}

// The mothership's bay hatch, frame 0 shut .. 5 open: two hull-coloured doors under a rim
// slide apart over a lit hold.
void PaintBayHatch(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float open =
      p.count > 1 ? std::max(0, std::min(p.frame, p.count - 1)) / static_cast<float>(p.count - 1)
                  : 0;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float hw = c.w * 0.46f, hh = c.h * 0.36f;
  Body b(c.w, c.h);
  BodyBox(b, cx, cy, hw, hh, 5, BodyStyle{pal.hull * 0.8f, 4, 0});
  BodyBox(b, cx, cy, hw * 0.86f, hh * 0.62f, 2, BodyStyle{Hex(0x0E1016), 1.5f, -1});
  const float doorW = hw * 0.43f * (1 - open) + 2;
  BodyBox(b, cx - hw * 0.86f + doorW, cy, doorW, hh * 0.6f, 2, BodyStyle{pal.hull, 2.5f, 2});
  BodyBox(b, cx + hw * 0.86f - doorW, cy, doorW, hh * 0.6f, 2, BodyStyle{pal.hull, 2.5f, 2});
  for (int i = 0; i < 2; ++i) {
    BodyBox(b, cx + (i ? hw : -hw) * 0.93f, cy, 4, hh * 0.8f, 1, BodyStyle{pal.panel, 2, 3});
  }
  ShadeBody(c, b, BossMetal(p));
  if (open > 0) GlowDot(c, cx, cy, hh * 0.5f * open + 1, pal.light, 0.4f + 0.4f * open);
  GlowDot(c, cx - hw * 0.93f, cy - hh * 0.6f, 2, open > 0 ? pal.energy : pal.light, 0.9f);
  GlowDot(c, cx + hw * 0.93f, cy - hh * 0.6f, 2, open > 0 ? pal.energy : pal.light, 0.9f);
}

// A ground-fire shell in flight: a hot round in a streak of light along x, the same both ways
// (the shells of one anchor come in turned half a turn from the others'), flickering through
// the four frames.
void PaintFlakShell(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float flicker = 0.75f + 0.25f * std::sin(p.frame * 1.9f);
  const float streak = c.w * (0.34f + 0.06f * (p.frame % 2));
  GlowLine(c, cx - streak, cy, cx + streak, cy, c.h * 0.06f, pal.light, 0.5f * flicker);
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, c.w * 0.11f, c.h * 0.08f, BodyStyle{pal.panel, 2, 1});
  ShadeBody(c, b, BossMetal(p));
  GlowDot(c, cx, cy, c.h * 0.1f, pal.light, flicker);
}

// The burn spot a landed shell leaves on a hull anchor: a scorched crater glowing at its heart.
void PaintBurnSpot(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  KitRandom r(p.seed);
  for (int i = 0; i < 9; ++i) {
    const float a = i * 0.7f + r.Unit();
    const float d = c.h * 0.18f * r.Unit();
    FillCircle(c, cx + std::cos(a) * d * 1.6f, cy + std::sin(a) * d,
               c.h * (0.16f + 0.1f * r.Unit()), Hex(0x140E0C), 0.8f);
  }
  FillCircle(c, cx, cy, c.h * 0.18f, Hex(0x060404), 1);
  GlowDot(c, cx, cy, c.h * 0.14f, pal.light, 0.8f);
  GlowDot(c, cx + c.w * 0.12f, cy - c.h * 0.08f, c.h * 0.06f, pal.light, 0.6f);
}

// The riser, a tall armoured pod, frame 0 facing left .. 4 facing right: its gun and eye swing
// across the front through the turning frames 1..3.
void PaintRiser(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float side = (std::max(0, std::min(p.frame, 4)) - 2) / 2.0f;  // -1 left .. +1 right
  Body b(c.w, c.h);
  BodyCapsule(b, cx, cy - 42, cx, cy + 42, 16, BodyStyle{pal.hull, 6, 0});
  BodyBox(b, cx, cy - 40, 12, 6, 3, BodyStyle{pal.panel, 3, 3});
  BodyBox(b, cx, cy + 40, 12, 6, 3, BodyStyle{pal.panel, 3, 3});
  for (float gy : {-20.0f, 20.0f}) BodyGroove(b, cx - 14, cy + gy, cx + 14, cy + gy, 1, 2);
  const float reach = 10 + 12 * std::fabs(side);
  if (std::fabs(side) > 0.01f) {
    BodyCapsule(b, cx + side * 8, cy, cx + side * (8 + reach), cy, 5, BodyStyle{pal.panel, 2, 4});
  }
  BodyEllipse(b, cx + side * 6, cy, 9, 9, BodyStyle{pal.accent, 3, 5});
  ShadeBody(c, b, BossMetal(p));
  GlowDot(c, cx + side * 6, cy, 4, pal.light, 0.9f);
}

// The walking robot's body. The game turns it by its aim, which points left (about half a turn),
// so it is painted turned half a turn: the gun reaches along +x from low in the picture, and
// the hull's roof is at the bottom; the hips sit at the picture's centre.
void PaintRobotBody(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyCapsule(b, cx + 20, cy + 30, cx + 86, cy + 30, 6, BodyStyle{pal.hull * 0.8f, 3, 2});
  BodyBox(b, cx + 80, cy + 30, 8, 9, 2, BodyStyle{pal.panel, 2, 4});
  BodyEllipse(b, cx - 14, cy + 14, 38, 32, BodyStyle{pal.hull, 8, 0});
  BodyBox(b, cx + 22, cy + 16, 24, 20, 6, BodyStyle{pal.panel, 5, 2});
  BodyBox(b, cx - 14, cy + 40, 26, 8, 4, BodyStyle{pal.panel, 3, 4});  // the roof plate
  BodyGroove(b, cx - 40, cy + 14, cx + 12, cy + 14, 1, 2);
  BodyGroove(b, cx - 14, cy - 12, cx - 14, cy + 34, 1, 2);
  BodyEllipse(b, cx, cy, 12, 12, BodyStyle{pal.accent, 3, 6});  // the hip bearing
  ShadeBody(c, b, BossMetal(p));
  GlowDot(c, cx + 30, cy + 24, 4, pal.light, 0.9f);  // the eye over the gun
  GlowDot(c, cx + 88, cy + 30, 3, pal.energy, 0.6f);
}

// The walking robot's leg sheet, cut by the stage into six pieces: the front leg's thigh and
// shin bars (0, 64) and foot (192, 0), the back leg's (0, 128), (0, 192) and (192, 128), darker
// as it stands behind. Each piece turns about its cut's centre: a bar reaches from its joint
// there along +x to the next joint (55 px for a thigh, 62 for a shin); a foot's sole lies along
// +x, which the foot's angle turns downward.
void PaintRobotLegs(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float k = c.w / 256.0f;
  Body b(c.w, c.h);
  for (int back = 0; back < 2; ++back) {
    const float shade = back ? 0.65f : 1.0f;
    for (int bar = 0; bar < 2; ++bar) {
      const float cx = 96 * k, cy = (32 + 64 * (2 * back + bar)) * k;
      const float reach = (bar == 0 ? 55 : 62) * k;
      const Rgb colour = (bar == 0 ? pal.panel : pal.hull) * shade;
      BodyCapsule(b, cx, cy, cx + reach, cy, (bar == 0 ? 9 : 7) * k, BodyStyle{colour, 4, 0});
      BodyBox(b, cx + reach * 0.5f, cy, reach * 0.22f, 4 * k, 2, BodyStyle{pal.hull * shade, 2, 3});
      BodyEllipse(b, cx, cy, 11 * k, 11 * k, BodyStyle{pal.accent * shade, 3, 5});
    }
    const float fx = 224 * k, fy = (64 + 128 * back) * k;
    BodyCapsule(b, fx, fy, fx + 14 * k, fy, 6 * k, BodyStyle{pal.hull * shade, 3, 0});
    BodyBox(b, fx + 18 * k, fy, 7 * k, 28 * k, 3, BodyStyle{pal.panel * shade, 3, 2});
    BodyEllipse(b, fx, fy, 8 * k, 8 * k, BodyStyle{pal.accent * shade, 3, 4});
  }
  ShadeBody(c, b, BossMetal(p));
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
           {"data/enemy/stage1/robo.bmp", 1, 192, 160, 1, 1, P::Walker, 0, PaintRobotBody},
           {"data/enemy/stage1/enemyR1_12.bmp", 5, 64, 128, 5, 1, P::Craft, 0, PaintRiser},
           {"data/enemy/stage1/hatch.bmp", 1, 128, 96, 1, 1, P::Hatch, 0},
           {"data/enemy/stage1/bokan.bmp", 3, 800, 288, 1, 3, P::Boss, 0, PaintMothership},
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
           {"data/enemy/stage1/roboasi.bmp", 1, 256, 256, 1, 1, P::Legs, 0, PaintRobotLegs},
           {"data/enemy/stage1/enemyR2_11parts0.bmp", 12, 64, 64, 3, 4, P::Segment, 0},
           {"data/enemy/stage1/kabecore.bmp", 1, 64, 64, 1, 1, P::Orb, 0},
           {"data/enemy/stage1/kabe.bmp", 1, 80, 160, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe2.bmp", 1, 80, 160, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe3.bmp", 1, 80, 120, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/kabe4.bmp", 1, 80, 80, 1, 1, P::Wall, 0},
           {"data/enemy/stage1/jiki.bmp", 1, 64, 64, 1, 1, P::Ship, 0},
           {"data/enemy/stage1/bokanhatch.bmp", 6, 192, 64, 1, 6, P::Hatch, 0, PaintBayHatch},
           {"data/enemy/stage1/bokanvernia.bmp", 4, 64, 256, 4, 1, P::Jet, 0},
           {"data/enemy/stage1/hougeki.bmp", 1, 64, 48, 1, 1, P::Turret, 0, PaintBurnSpot},
           {"data/enemy/stage1/taikuu.bmp", 4, 64, 64, 4, 1, P::Turret, 0, PaintFlakShell},
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
