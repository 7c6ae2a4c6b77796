// Stage 6, a machine cavern in copper and verdigris: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using P = Paint;

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
