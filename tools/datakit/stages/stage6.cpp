// Stage 6, a machine cavern in copper and verdigris: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/datakit/effect_voice.h"
#include "tools/datakit/painters.h"
#include "tools/datakit/raster.h"

namespace {

using P = Paint;

// The club walker: six legs, two beam arms, two guns and a carapace over a caged core, in
// copper with verdigris plates. Each piece's pivot is its cell's centre and it reaches right,
// as the game turns it; the far legs (cells 6..11) are the same pieces in shadow.

Material HallMetal(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.1f;
  m.grainScale = 5;
  m.shine = 0.4f;
  return m;
}

Rgb ClubShade(Rgb c, bool far) { return far ? Mix(c, Hex(0x0A0806), 0.45f) : c; }

// Leg cells 0..11 by variant: 0/1 hip, 2/3 knee, 4/5 shin with its foot, 6..11 the far ones.
// A hip and a knee reach 120 px to the next joint; a shin ends in a foot plate 240 px out.
void PaintClubLeg(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const bool far = p.frame >= 6;
  const int segment = (p.frame % 6) / 2;
  const Rgb hull = ClubShade(pal.hull, far), panel = ClubShade(pal.panel, far);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  if (segment == 0) {
    BodyCapsule(b, cx, cy, cx + 118, cy, 15, BodyStyle{hull, 5, 0});
    BodyBox(b, cx + 60, cy, 34, 7, 3, BodyStyle{panel, 2, 4});
    BodyEllipse(b, cx, cy, 21, 21, BodyStyle{panel, 5, 3});
    BodyEllipse(b, cx + 118, cy, 13, 13, BodyStyle{hull, 4, 2});
  } else if (segment == 1) {
    BodyCapsule(b, cx, cy, cx + 118, cy, 12, BodyStyle{hull, 4, 0});
    BodyCapsule(b, cx + 14, cy - 9, cx + 100, cy - 9, 4, BodyStyle{panel, 2, 3});  // piston
    BodyEllipse(b, cx, cy, 15, 15, BodyStyle{panel, 4, 3});
    BodyEllipse(b, cx + 118, cy, 11, 11, BodyStyle{hull, 4, 2});
  } else {
    const std::vector<Vec2> shin = {{cx, cy - 24},      {cx + 190, cy - 11}, {cx + 228, cy - 8},
                                    {cx + 228, cy + 8}, {cx + 190, cy + 11}, {cx, cy + 24}};
    BodyPolygon(b, shin, BodyStyle{hull, 5, 0});
    for (int i = 1; i < 5; ++i) {
      const float gx = cx + 30 + i * 34.0f;
      BodyGroove(b, gx, cy - 14, gx, cy + 14, 1, 2);
    }
    BodyBox(b, cx + 90, cy, 40, 6, 2, BodyStyle{panel, 2, 3});
    BodyEllipse(b, cx, cy, 17, 17, BodyStyle{panel, 4, 3});
    // The foot: a splayed plate across the shin's end, flat on the ground when it hangs down.
    const std::vector<Vec2> foot = {{cx + 224, cy - 14}, {cx + 246, cy - 30}, {cx + 252, cy - 26},
                                    {cx + 252, cy + 26}, {cx + 246, cy + 30}, {cx + 224, cy + 14}};
    BodyPolygon(b, foot, BodyStyle{panel, 3, 2});
  }
  BodyDents(b, p.seed + static_cast<uint32_t>(p.frame), 0.3f, 3);
  ShadeBody(c, b, HallMetal(p));
  if (!far) GlowDot(c, cx, cy, 4, pal.light, 0.6f);
}

// The carapace over the body's hit circles, hips at its sides (82 px out), the arms' shoulders
// on top and the core's cage hanging below; cell 1 is the burnt-out wreck.
void PaintClubBody(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const bool wreck = p.frame == 1;
  const Rgb hull = wreck ? Mix(pal.hull, Hex(0x1A120C), 0.55f) : pal.hull;
  const Rgb panel = wreck ? Mix(pal.panel, Hex(0x101010), 0.55f) : pal.panel;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  const std::vector<Vec2> shell = {{cx - 88, cy + 6},  {cx - 76, cy - 34}, {cx - 40, cy - 58},
                                   {cx + 40, cy - 58}, {cx + 76, cy - 34}, {cx + 88, cy + 6},
                                   {cx + 60, cy + 34}, {cx - 60, cy + 34}};
  BodyPolygon(b, shell, BodyStyle{hull, 8, 0});
  BodyBox(b, cx, cy - 30, 44, 14, 6, BodyStyle{panel, 4, 4});
  BodyBox(b, cx, cy + 34, 30, 16, 5, BodyStyle{panel, 4, 2});  // the core's cage mount
  for (float sx : {-1.0f, 1.0f}) {
    BodyEllipse(b, cx + 41 * sx, cy - 36, 14, 12, BodyStyle{panel, 4, 3});
    BodyEllipse(b, cx + 80 * sx, cy + 1, 16, 16, BodyStyle{hull, 5, 3});
    BodyGroove(b, cx + 20 * sx, cy - 12, cx + 70 * sx, cy + 14, 1.2f, 2);
  }
  BodyGroove(b, cx - 70, cy + 8, cx + 70, cy + 8, 1.5f, 2.5f);
  BodyDents(b, p.seed, wreck ? 0.9f : 0.35f, 3);
  ShadeBody(c, b, HallMetal(p));
  if (!wreck) {
    for (float sx : {-1.0f, 1.0f}) GlowDot(c, cx + 24 * sx, cy - 30, 3, pal.light, 0.8f);
  }
}

// The core's cage, cells 0 (open) .. 5 (shut): a copper collar whose hot veins die as two
// shutters close over the open middle, where the eye behind it shows.
void PaintClubCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f - 10;
  const float shut = std::fmax(0, std::fmin(p.frame, 5)) / 5.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, 30, 30, BodyStyle{pal.hull, 6, 0});
  if (shut > 0) {
    const float h = 22 * shut;
    BodyBox(b, cx, cy - 22 + h / 2, 22, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
    BodyBox(b, cx, cy + 22 - h / 2, 22, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
  }
  Canvas cage(c.w, c.h);
  ShadeBody(cage, b, HallMetal(p));
  // The open middle lets the eye through.
  const float hole = 20 * (1 - shut);
  for (int y = 0; y < c.h; ++y) {
    for (int x = 0; x < c.w; ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      if (dx * dx + dy * dy < hole * hole) {
        float* px = cage.At(x, y);
        px[0] = px[1] = px[2] = px[3] = 0;
      }
    }
  }
  Composite(c, cage, 0, 0);
  if (shut < 1) GlowRing(c, cx, cy, 24, 3, pal.energy, 1 - shut);
}

// The robo's body over its hit circle (35 at (13, 9)): cells 0..5 an armoured hull whose two
// plates close over the lit core as it times out, cell 6 on the collapsed wreck, scorched and
// dark, an ember smouldering in its cracks (7 and 8 the ember elsewhere).
void PaintRoboBody(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f + 13, cy = c.h / 2.0f + 9;
  const bool wreck = p.frame >= 6;
  const float shut = wreck ? 1.0f : std::fmin(p.frame, 5) / 5.0f;
  Body b(c.w, c.h);
  if (wreck) {
    BodyPolygon(b,
                {{cx - 50, cy + 22},
                 {cx - 34, cy - 14},
                 {cx + 8, cy - 24},
                 {cx + 44, cy - 6},
                 {cx + 50, cy + 24}},
                BodyStyle{pal.hull * 0.45f, 4, 1});
    BodyGroove(b, cx - 20, cy - 12, cx - 6, cy + 18, 1.5f, 3);
    BodyGroove(b, cx + 18, cy - 16, cx + 26, cy + 20, 1.5f, 3);
    ShadeBody(c, b, HallMetal(p));
    GlowDot(c, cx - 20 + 19.0f * (p.frame - 6), cy + 2, 3, pal.light, 0.5f);
    return;
  }
  BodyEllipse(b, cx, cy, 40, 36, BodyStyle{pal.hull, 6, 0});
  BodyEllipse(b, cx, cy, 20, 20, BodyStyle{pal.panel * 0.6f, 2, 2});
  if (shut > 0) {
    const float h = 20 * shut;
    BodyBox(b, cx, cy - 20 + h / 2, 22, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
    BodyBox(b, cx, cy + 20 - h / 2, 22, h / 2, 1, BodyStyle{pal.panel, 1.5f, 3});
  }
  ShadeBody(c, b, HallMetal(p));
  if (shut < 1) GlowDot(c, cx, cy, 12 * (1 - shut) + 2, pal.energy, 1 - shut);
}

// The robo's head cannon: cell 0 whole, cell 1 the same head scorched where it lies on the
// collapsed body.
void PaintRoboHead(Canvas& c, const PaintCell& p) {
  PaintCell whole = p;
  whole.frame = 0;
  PaintSegment(c, whole);
  if (p.frame > 0) ScorchPainted(c, p.seed);
}

// The eye: a pale globe whose pupil looks right, the way the game turns it toward the ship.
void PaintClubEye(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, 21, 21, BodyStyle{Mix(pal.light, Hex(0xFFFFFF), 0.3f), 8, 0, 0.4f});
  BodyEllipse(b, cx + 9, cy, 9, 10, BodyStyle{Hex(0x101810), 2, 4});
  ShadeBody(c, b, HallMetal(p));
  GlowDot(c, cx + 9, cy, 4, pal.energy, 0.9f);
}

// Beam arm cells: 0 the upper arm (90 px), 1 the forearm (99 px), 2 the emitter, a finned barrel
// whose beam leaves 132 px out.
void PaintClubArm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  if (p.frame == 0) {
    BodyCapsule(b, cx, cy, cx + 88, cy, 13, BodyStyle{pal.hull, 4, 0});
    BodyBox(b, cx + 44, cy, 22, 5, 2, BodyStyle{pal.panel, 2, 3});
    BodyEllipse(b, cx, cy, 20, 20, BodyStyle{pal.panel, 5, 3});
  } else if (p.frame == 1) {
    BodyCapsule(b, cx, cy, cx + 98, cy, 11, BodyStyle{pal.hull, 4, 0});
    BodyGroove(b, cx + 20, cy, cx + 80, cy, 1, 2);
    BodyEllipse(b, cx, cy, 15, 15, BodyStyle{pal.panel, 4, 3});
  } else {
    BodyCapsule(b, cx - 40, cy, cx + 122, cy, 8, BodyStyle{pal.hull, 3, 0});
    for (float fx : {-30.0f, 0.0f, 30.0f}) {
      BodyBox(b, cx + fx, cy, 6, 13, 2, BodyStyle{pal.panel, 2, 3});
    }
    BodyEllipse(b, cx + 122, cy, 9, 9, BodyStyle{pal.panel, 3, 2});
    BodyEllipse(b, cx, cy, 12, 12, BodyStyle{pal.hull, 4, 3});
  }
  ShadeBody(c, b, HallMetal(p));
  if (p.frame == 2) GlowDot(c, cx + 124, cy, 5, pal.energy, 0.9f);
}

// Gun cells: 0 and 2 a mount reaching 42 px to its barrel, 1 and 3 the barrel (muzzle 80 px out).
void PaintClubGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  if (p.frame % 2 == 0) {
    BodyCapsule(b, cx, cy, cx + 42, cy, 9, BodyStyle{pal.panel, 3, 0});
    BodyEllipse(b, cx, cy, 13, 13, BodyStyle{pal.hull, 4, 3});
  } else {
    BodyCapsule(b, cx, cy, cx + 78, cy, 5, BodyStyle{pal.hull, 3, 0});
    BodyBox(b, cx + 74, cy, 6, 7, 2, BodyStyle{pal.panel, 2, 2});
    BodyEllipse(b, cx, cy, 10, 10, BodyStyle{pal.panel, 3, 3});
  }
  ShadeBody(c, b, HallMetal(p));
}

// A warp gate's portal, cells 0-7 the entry and 8-15 the exit, each from shut (0) to open (7): a
// copper iris whose middle widens over a swirl, hot orange into the entry, mint out of the exit.
void PaintWarpGate(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const bool exit = p.frame >= 8;
  const int step = p.frame % 8;
  const float open = step / 7.0f;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) * 0.44f;
  const float hole = r * (0.18f + 0.64f * open);
  const Rgb glow = exit ? pal.light : pal.energy;
  const float turn = exit ? -1.0f : 1.0f;
  for (int arm = 0; arm < 3; ++arm) {
    for (int i = 0; i < 20; ++i) {
      const float t = i / 20.0f;
      const float a = turn * (t * 4 + arm * 2.0944f + step * 0.4f);
      GlowDot(c, cx + std::cos(a) * hole * t, cy + std::sin(a) * hole * t, 1.5f + 2.5f * t,
              Mix(glow, Hex(0xFFFFFF), 0.3f * (1 - t)), 0.2f + 0.45f * open);
    }
  }
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.hull, 5, 0});
  for (int k = 0; k < 8; ++k) {
    const float a = k * 0.7854f + turn * open * 0.6f;
    BodyGroove(b, cx + std::cos(a) * hole, cy + std::sin(a) * hole, cx + std::cos(a + 0.5f) * r,
               cy + std::sin(a + 0.5f) * r, 1.2f, 2);
  }
  Canvas iris(c.w, c.h);
  ShadeBody(iris, b, HallMetal(p));
  for (int y = 0; y < c.h; ++y) {
    for (int x = 0; x < c.w; ++x) {
      const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      if (dx * dx + dy * dy < hole * hole) {
        float* px = iris.At(x, y);
        px[0] = px[1] = px[2] = px[3] = 0;
      }
    }
  }
  Composite(c, iris, 0, 0);
  GlowRing(c, cx, cy, hole, 2, glow, 0.3f + 0.6f * open);
}

// Stage 6's own sound effects.

// A warp gate opening: a hollow tone sweeping up under a rushing shimmer.
std::vector<int16_t> WarpSound() {
  Voice v(0.9);
  Chirp(v, 0, 0.8, 180, 900, 3, 0.4f, 2);
  Chirp(v, 0.05, 0.7, 360, 1500, 0, 0.2f, 2.5);
  Burst(v, 0, 0.8, 1500, 7000, 0.18f, 6101);
  return Finish(v, 0.5f);
}

// A light enemy shot: a short bright chirp falling off.
std::vector<int16_t> Tama1Sound() {
  Voice v(0.2);
  Chirp(v, 0, 0.15, 1400, 700, 1, 0.35f, 18);
  Burst(v, 0, 0.06, 6000, 3000, 0.12f, 6201);
  return Finish(v, 0.35f);
}

// A heavy enemy shot: a lower punch with a metal ring after it.
std::vector<int16_t> Tama2Sound() {
  Voice v(0.35);
  Chirp(v, 0, 0.25, 520, 160, 2, 0.4f, 10);
  Burst(v, 0, 0.12, 3000, 500, 0.25f, 6301, 70);
  Ring(v, 0.02, 0.25, 880, 0.12f);
  return Finish(v, 0.45f);
}

// The boss's jaws (700 x 200, cell 0 the upper, 1 the lower): the jaw's mass is where its hit
// circles reach into the cell, toward the outside of the mouth, with teeth along its inner edge;
// the cell's centre is the jaw's anchor.
struct JawCircle {
  float r, dx, dy;
};
constexpr JawCircle kJawCircles[] = {{53, -297, 114}, {68, -197, 141}, {68, -62, 141},
                                     {58, 16, 132},   {212, 133, 248}, {333, 412, 230}};

void PaintStage6BossJaw(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const float s = p.frame == 0 ? -1.0f : 1.0f;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  for (int y = 0; y < c.h; ++y) {
    for (int x = 0; x < c.w; ++x) {
      // Depth inside the nearest circle edge: a bevel lit from above.
      float depth = -1;
      for (const JawCircle& k : kJawCircles) {
        const float d = k.r - std::hypot(x - (cx + k.dx), y - (cy + k.dy * s));
        depth = std::max(depth, d);
      }
      if (depth < 0) continue;
      const float band = std::fmod(static_cast<float>(x) + 0.5f * y, 90.0f) < 8 ? 0.75f : 1.0f;
      const float bevel = std::min(depth / 14.0f, 1.0f);
      Rgb colour = Mix(pal.hull * 1.35f, pal.hull * 0.8f, bevel) * band;
      if (depth > 26) colour = Mix(pal.panel * 0.9f, pal.panel * 0.6f, std::min(depth / 90, 1.0f));
      BlendOver(c, x, y, colour, 1);
    }
  }
  // Teeth on the inner edge, pointing into the mouth.
  for (int t = 0; t < 14; ++t) {
    const float x = 40 + t * 24.0f;
    float edge = -1;
    for (const JawCircle& k : kJawCircles) {
      const float dx = x - (cx + k.dx);
      if (std::fabs(dx) >= k.r) continue;
      const float e = cy + k.dy * s - s * std::sqrt(k.r * k.r - dx * dx);
      if (edge < 0 || (s > 0 ? e < edge : e > edge)) edge = e;
    }
    if (edge < 2 || edge > c.h - 2) continue;
    FillPolygon(c, {{x - 9, edge + 6 * s}, {x + 9, edge + 6 * s}, {x, edge - 22 * s}},
                pal.accent * 0.95f);
  }
  // Rivet lights along the mass.
  for (int i = 0; i < 6; ++i) {
    const float x = 120 + i * 95.0f, y = s > 0 ? c.h - 22.0f : 22.0f;
    GlowDot(c, x, y, 4, pal.light, 0.8f);
  }
  OutlineSolid(c, pal.hull * 0.25f);
}

// A hull piece (120 x 80) or the core (80 x 120), six frames from open (0) to closed (5): a
// copper housing whose two shutters slide over the glowing inside.
void PaintStage6BossHatch(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const bool core = c.h > c.w;
  const float open = (5 - std::min(p.frame, 5)) / 5.0f;
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float hw = c.w / 2.0f - 3, hh = c.h / 2.0f - 3;
  FillRect(c, cx - hw, cy - hh, cx + hw, cy + hh, pal.hull * 0.55f);
  FillRect(c, cx - hw + 4, cy - hh + 4, cx + hw - 4, cy + hh - 4, pal.hull * 0.25f);
  const float inner = std::min(hw, hh) * 0.75f;
  if (core) {
    GlowDot(c, cx, cy, inner, pal.light, 1.0f);
    FillCircle(c, cx, cy, inner * 0.45f, pal.light * 1.2f);
  } else {
    FillCircle(c, cx, cy, inner, pal.panel * 0.5f);
    GlowDot(c, cx, cy, inner * 0.5f, pal.energy, 0.7f);
  }
  // The shutters: across the long side of the cell, drawn back by the opening.
  const float reach = (core ? hh : hw) - 4;
  const float cover = reach * (1 - open);
  for (int side : {-1, 1}) {
    if (cover <= 0.5f) break;
    if (core) {
      const float y0 = cy + side * reach, y1 = y0 - side * cover;
      FillRect(c, cx - hw + 4, std::min(y0, y1), cx + hw - 4, std::max(y0, y1), pal.hull);
      StrokeLine(c, cx - hw + 6, y1, cx + hw - 6, y1, 2, pal.accent);
    } else {
      const float x0 = cx + side * reach, x1 = x0 - side * cover;
      FillRect(c, std::min(x0, x1), cy - hh + 4, std::max(x0, x1), cy + hh - 4, pal.hull);
      StrokeLine(c, x1, cy - hh + 6, x1, cy + hh - 6, 2, pal.accent);
    }
  }
  OutlineSolid(c, pal.hull * 0.25f);
}

// A jaw's gun (one 160 x 160 cell for an 11-px circle): a small copper mount at the centre with
// its barrel along angle 0, so that it turns with the gun's aim.
void PaintStage6BossGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  StrokeLine(c, cx, cy, cx + 26, cy, 8, pal.hull * 0.8f);
  FillRect(c, cx + 22, cy - 5, cx + 30, cy + 5, pal.accent);
  FillCircle(c, cx, cy, 14, pal.hull);
  FillCircle(c, cx - 2, cy - 2, 9, pal.panel);
  GlowDot(c, cx, cy, 4, pal.light, 0.9f);
  OutlineSolid(c, pal.hull * 0.25f);
}

// The outer shell (96 x 192, shown as the part's frames 1..6): a verdigris plate over the core
// with five ports on its face, splitting in two halves that slide apart frame by frame.
void PaintStage6OuterShell(Canvas& c, const PaintCell& p) {
  const Palette& pal = EnemyPalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float gap = p.frame * 16.0f;
  const float fade = 1 - p.frame * 0.12f;
  for (int side : {-1, 1}) {
    const float inner = cy + side * gap, outer = cy + side * (cy - 4);
    if ((outer - inner) * side <= 4) continue;
    const float y0 = std::min(inner, outer), y1 = std::max(inner, outer);
    FillRect(c, cx - 34, y0, cx + 34, y1, pal.panel * 0.8f, fade);
    FillRect(c, cx - 26, y0 + 3, cx + 26, y1 - 3, pal.panel, fade);
    StrokeLine(c, cx - 34, inner, cx + 34, inner, 3, pal.accent, fade);
    for (int k = -2; k <= 2; ++k) {
      const float y = cy + k * 32.0f;
      if (y < y0 + 6 || y > y1 - 6) continue;
      FillCircle(c, cx + 28 - 20, y, 9, pal.hull * 0.6f, fade);
      GlowDot(c, cx + 28 - 20, y, 4, pal.light, 0.6f * fade);
    }
  }
  OutlineSolid(c, pal.hull * 0.25f);
}

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
           {"data/enemy/stage6/robo.bmp", 9, 128, 128, 3, 3, P::Walker, 0, PaintRoboBody},
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
           {"data/enemy/stage6/warp.png", 16, 120, 120, 4, 4, P::Portal, 0, PaintWarpGate},
           {"data/enemy/stage6/fusha_bou.bmp", 2, 240, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/roboasi.bmp", 1, 348, 384, 1, 1, P::Legs, 0},
           {"data/enemy/stage6/robojoint.bmp", 2, 32, 32, 1, 2, P::Orb, 0},
           {"data/enemy/stage6/robohead.bmp", 2, 384, 128, 1, 2, P::Segment, 0, PaintRoboHead},
           {"data/enemy/stage6/robohou.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage6/robohatch.bmp", 5, 32, 32, 5, 1, P::Hatch, 0},
           {"data/enemy/stage6/clubparts0.bmp", 12, 512, 128, 2, 6, P::Segment, 0, PaintClubLeg},
           {"data/enemy/stage6/club_core.bmp", 6, 96, 96, 3, 2, P::Orb, 0, PaintClubCore},
           {"data/enemy/stage6/club.bmp", 2, 192, 192, 1, 2, P::Segment, 0, PaintClubBody},
           {"data/enemy/stage6/gankyu.bmp", 1, 96, 96, 1, 1, P::Orb, 0, PaintClubEye},
           {"data/enemy/stage6/clubparts1.bmp", 3, 320, 64, 1, 3, P::Segment, 0, PaintClubArm},
           {"data/enemy/stage6/clubparts2.bmp", 4, 192, 64, 1, 4, P::Segment, 0, PaintClubGun},
           {"data/enemy/stage6/shutter40.bmp", 2, 40, 40, 2, 1, P::Wall, 0},
           {"data/enemy/stage6/boss2parts0.bmp", 6, 120, 80, 2, 3, P::Segment, 0,
            PaintStage6BossHatch},
           {"data/enemy/stage6/boss2parts1.bmp", 6, 80, 120, 2, 3, P::Segment, 0,
            PaintStage6BossHatch},
           {"data/enemy/stage6/bossShell.bmp", 1, 192, 192, 1, 1, P::Boss, 0},
           {"data/enemy/stage6/boss2parts2.bmp", 6, 96, 192, 3, 2, P::Segment, 0,
            PaintStage6OuterShell},
           {"data/enemy/stage6/boss2parts3.bmp", 2, 700, 200, 1, 2, P::Segment, 0,
            PaintStage6BossJaw},
           {"data/enemy/stage6/enemyR1_14.bmp", 4, 160, 160, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/enemyR1_14_2.bmp", 4, 80, 80, 2, 2, P::Craft, 0},
           {"data/enemy/stage6/red.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage6/blue.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage6/boss2parts4.bmp", 1, 160, 160, 1, 1, P::Segment, 0,
            PaintStage6BossGun},
           {"data/enemy/stage6/boss2parts5.bmp", 2, 128, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage6/clubparts0_2.bmp", 12, 512, 128, 2, 6, P::Segment, 0, PaintClubLeg},
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
      {
          {"data/se/stage6/warp.wav", SoundKind::Effect, 50, WarpSound},
          {"data/se/stage6/tama1.wav", SoundKind::Effect, 51, Tama1Sound},
          {"data/se/stage6/tama2.wav", SoundKind::Effect, 52, Tama2Sound},
      },
  };
}
