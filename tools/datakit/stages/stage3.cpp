// Stage 3, something alive and burning, in deep red, magma orange and bone: its palette, its images
// and the sounds it brings. Painters and sound recipes of its own go here too: a row names its
// painter, a sound its recipe.
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "tools/datakit/effect_voice.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

using P = Paint;

constexpr float kPi = 3.14159265f;

Material Flesh(const PaintCell& p) {
  Material m;
  m.grain = 0.12f;
  m.grainScale = 4;
  m.shine = 0.25f;
  m.seed = p.seed;
  return m;
}

// The boss's core and the serpent's head: a magma eye in a bone socket, its two lids closing
// over the frames (0 open, 5 shut, as the time-out closes it).
void PaintBossCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) * 0.44f;
  const float shut = std::fmin(std::fmax(p.frame, 0), 5) / 5.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.panel, r * 0.35f, 0});
  BodyEllipse(b, cx, cy, r * 0.72f, r * 0.72f, BodyStyle{Hex(0x1A0606), 2, r * 0.1f});
  ShadeBody(c, b, Flesh(p));
  if (shut < 1) {
    const float glow = 1 - shut * 0.8f;
    GlowDot(c, cx, cy, r * 0.62f, pal.accent, glow);
    GlowDot(c, cx, cy, r * 0.3f, pal.light, glow);
  }
  if (shut <= 0) return;
  // Lids of deep red flesh from above and below, meeting in the middle when shut.
  Body lids(c.w, c.h);
  const float reach = r * 0.74f * shut;
  BodyEllipse(lids, cx, cy - r * 0.74f, r * 0.74f, reach, BodyStyle{pal.hull, 3, r * 0.25f});
  BodyEllipse(lids, cx, cy + r * 0.74f, r * 0.74f, reach, BodyStyle{pal.hull, 3, r * 0.25f});
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x) {
      const size_t i = static_cast<size_t>(y) * c.w + x;
      if (std::hypot(x + 0.5f - cx, y + 0.5f - cy) > r * 0.72f) lids.cover[i] = 0;
    }
  ShadeBody(c, lids, Flesh(p), false);
}

// The boss's shield plates, by image frame: 0 and 4 the outer scales (tapering outward, left
// and right), 1 and 3 the inner ones, 2 the middle one with its ridge. Bone over red.
void PaintBossPlate(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const int f = p.frame < 0 ? 2 : p.frame;
  const float side = f < 2 ? -1.0f : f > 2 ? 1.0f : 0.0f;
  const bool outer = f == 0 || f == 4;
  const float hw = outer ? c.w * 0.3f : c.w * 0.22f, hh = c.h * 0.36f;
  Body b(c.w, c.h);
  std::vector<Vec2> shell;
  for (int k = 0; k < 16; ++k) {
    const float a = k * 2 * kPi / 16;
    // Outer scales narrow toward the outside, the middle one is symmetric.
    const float taper = 1 - 0.35f * side * std::cos(a) * (outer ? 1.0f : 0.5f);
    shell.push_back({cx + std::cos(a) * hw, cy + std::sin(a) * hh * taper});
  }
  BodyPolygon(b, shell, BodyStyle{pal.hull, 3, 0});
  BodyEllipse(b, cx, cy, hw * 0.78f, hh * 0.7f, BodyStyle{pal.panel, hh * 0.4f, 2});
  if (f == 2) BodyCapsule(b, cx, cy - hh * 0.6f, cx, cy + hh * 0.6f, 3, BodyStyle{pal.panel, 3, 5});
  for (int k = -1; k <= 1; ++k)
    BodyGroove(b, cx - hw * 0.6f, cy + k * hh * 0.35f, cx + hw * 0.6f, cy + k * hh * 0.35f, 1,
               1.5f);
  ShadeBody(c, b, Flesh(p));
}

// The serpent's body segment, a rib plate across its path (frames 0 closed to 5 open): the two
// side mouths near its ends, where its shots come from, part as it attacks and glow inside.
void PaintSerpentSegment(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float open = std::fmin(std::fmax(p.frame, 0), 5) / 5.0f;
  const float hw = c.w * 0.34f, hh = c.h * 0.46f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, hw, hh, BodyStyle{pal.hull, hw * 0.6f, 0});
  BodyCapsule(b, cx, cy - hh * 0.55f, cx, cy + hh * 0.55f, hw * 0.3f,
              BodyStyle{pal.panel, hw * 0.25f, 2});
  for (int k = -2; k <= 2; ++k)
    BodyGroove(b, cx - hw * 0.8f, cy + k * hh * 0.18f, cx + hw * 0.8f, cy + k * hh * 0.18f, 1,
               1.5f);
  ShadeBody(c, b, Flesh(p));
  // The mouths: shut seams when closed, glowing ovals when open.
  const float my = hh * 0.8f;
  Body lips(c.w, c.h);
  for (float side : {-1.0f, 1.0f}) {
    const float y = cy + side * my;
    BodyEllipse(lips, cx, y, hw * 0.7f, 2 + hh * 0.12f * open, BodyStyle{Hex(0x1A0606), 2, 0});
  }
  ShadeBody(c, lips, Flesh(p), false);
  if (open <= 0) return;
  for (float side : {-1.0f, 1.0f}) {
    GlowDot(c, cx, cy + side * my, hw * 0.55f * open, pal.accent, open);
    GlowDot(c, cx, cy + side * my, hw * 0.25f * open, pal.light, open);
  }
}

// The walkers' bodies (frames 0 shut to 3 open): a bone carapace whose hatch, on top for the
// floor walker and underneath for the ceiling walker, parts for the gun with a glow inside.
void PaintWalkerBody(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const bool ceiling =
      p.path != nullptr && std::string_view(p.path).find("_17") != std::string_view::npos;
  const float up = ceiling ? 1.0f : -1.0f;  // the side the hatch faces
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float open = std::fmin(std::fmax(p.frame, 0), 3) / 3.0f;
  const float hw = c.w * 0.44f, hh = c.h * 0.36f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, hw, hh, BodyStyle{pal.panel, hh * 0.7f, 0});
  BodyEllipse(b, cx, cy - up * hh * 0.3f, hw * 0.75f, hh * 0.45f,
              BodyStyle{pal.hull, hh * 0.3f, 2});
  for (int k = -2; k <= 2; ++k)
    BodyGroove(b, cx + k * hw * 0.3f, cy - hh * 0.8f, cx + k * hw * 0.3f, cy + hh * 0.8f, 1, 1.5f);
  ShadeBody(c, b, Flesh(p));
  // The hatch: a dark slit that widens into an opening.
  const float hy = cy + up * hh * 0.75f;
  Body hatch(c.w, c.h);
  BodyEllipse(hatch, cx, hy, hw * (0.25f + 0.3f * open), 1.5f + hh * 0.3f * open,
              BodyStyle{Hex(0x1A0606), 1.5f, 0});
  ShadeBody(c, hatch, Flesh(p), false);
  if (open > 0) GlowDot(c, cx, hy, hw * 0.3f * open, pal.accent, open);
}

// Slot 49, the pods' flame: a breathy roar that swells and dies.
std::vector<int16_t> FlameRoar() {
  Voice v(0.5);
  Burst(v, 0, 0.45, 600, 2400, 0.9f, 301, 55);
  Burst(v, 0.03, 0.3, 3000, 900, 0.4f, 302);
  return Finish(v, 0.8f);
}

// Slot 50, the arms stretching: a wet rising groan over a low rumble.
std::vector<int16_t> ArmsStretch() {
  Voice v(0.7);
  Chirp(v, 0, 0.65, 90, 260, 2, 0.5f, 2);
  Chirp(v, 0.05, 0.55, 135, 390, 3, 0.3f, 2);
  Burst(v, 0, 0.6, 400, 1500, 0.35f, 303, 45);
  return Finish(v, 0.75f);
}

// Slot 51, the arms folding: the groan falling back.
std::vector<int16_t> ArmsFold() {
  Voice v(0.6);
  Chirp(v, 0, 0.55, 280, 80, 2, 0.5f, 3);
  Chirp(v, 0.04, 0.45, 420, 120, 3, 0.3f, 3);
  Burst(v, 0, 0.5, 1500, 300, 0.3f, 304, 40);
  return Finish(v, 0.75f);
}

// Slots 52 and 53, the fire pillars: a deep roar that rises, and a shorter crackling burst.
std::vector<int16_t> FirePillar() {
  Voice v(0.9);
  Burst(v, 0, 0.85, 300, 1800, 0.9f, 305, 40);
  Burst(v, 0.1, 0.6, 2500, 1200, 0.35f, 306);
  return Finish(v, 0.8f);
}

std::vector<int16_t> FirePillarBurst() {
  Voice v(0.5);
  Burst(v, 0, 0.45, 1800, 500, 0.9f, 307, 60);
  Chirp(v, 0, 0.3, 180, 70, 2, 0.25f, 5);
  return Finish(v, 0.8f);
}

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
           {"data/enemy/stage3/enemyR2_16.bmp", 4, 64, 48, 4, 1, P::Craft, 0, PaintWalkerBody},
           {"data/enemy/stage3/enemyR2_17.bmp", 4, 64, 48, 4, 1, P::Craft, 0, PaintWalkerBody},
           {"data/enemy/stage3/fire.bmp", 2, 320, 560, 2, 1, P::Fire, 0},
           {"data/enemy/stage3/shokushu_u2.bmp", 2, 48, 24, 1, 2, P::Segment, 0},
           {"data/enemy/stage3/iwa.bmp", 1, 96, 88, 1, 1, P::Rock, 0},
           {"data/enemy/stage3/hou3.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage3/hou3_.bmp", 1, 64, 64, 1, 1, P::Turret, 0},
           {"data/enemy/stage3/enemyR2_016_17parts.bmp", 1, 64, 32, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/enemyR2_016parts0.bmp", 12, 64, 16, 2, 6, P::Segment, 0},
           {"data/enemy/stage3/enemyR2_017parts0.bmp", 12, 64, 16, 2, 6, P::Segment, 0},
           {"data/enemy/stage3/snakeparts_joint.bmp", 1, 48, 48, 1, 1, P::Orb, 0},
           {"data/enemy/stage3/snakeparts_head.bmp", 6, 96, 96, 3, 2, P::Segment, 0, PaintBossCore},
           {"data/enemy/stage3/snakeparts.bmp", 6, 64, 128, 3, 2, P::Segment, 0,
            PaintSerpentSegment},
           {"data/enemy/stage3/snakepartsTail.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts0.bmp", 6, 64, 64, 2, 3, P::Segment, 0, PaintBossCore},
           {"data/enemy/stage3/boss2parts1.bmp", 1, 128, 128, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts2.bmp", 2, 64, 64, 2, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts3.bmp", 2, 64, 192, 2, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts3_2.bmp", 1, 64, 96, 1, 1, P::Segment, 0},
           {"data/enemy/stage3/boss2parts4.bmp", 5, 64, 64, 5, 1, P::Segment, 0, PaintBossPlate},
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
      {
          {"data/se/stage3/kazan.wav", SoundKind::Effect, 49, FlameRoar},
          {"data/se/stage3/shokushu1.wav", SoundKind::Effect, 50, ArmsStretch},
          {"data/se/stage3/shokushu2.wav", SoundKind::Effect, 51, ArmsFold},
          {"data/se/stage3/hibashira.wav", SoundKind::Effect, 52, FirePillar},
          {"data/se/stage3/hibashira2.wav", SoundKind::Effect, 53, FirePillarBurst},
      },
  };
}
