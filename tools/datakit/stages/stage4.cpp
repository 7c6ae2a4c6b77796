// Stage 4, a fortress in gunmetal with warning yellow: its palette, its images and the sounds it
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

constexpr float kPi = 3.14159265f;

// The carrier's end wall: the closed frame has a port in its middle where the core sits and
// slides out to fire; the open frame (shut-down) has the middle third, where the corridor runs,
// cut away between two lit edges.
void ClearRect(Canvas& c, int x0, int y0, int x1, int y1) {
  for (int y = std::max(y0, 0); y < std::min(y1, c.h); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, c.w); ++x) {
      float* px = c.At(x, y);
      px[0] = px[1] = px[2] = px[3] = 0;
    }
}

void PaintEndWall(Canvas& c, const PaintCell& p) {
  PaintWall(c, p);
  const Palette& pal = StagePalette(p.stage);
  const int mid = c.h / 2;
  if (p.frame == 0) {
    const int port = 54, depth = c.w * 3 / 4;
    ClearRect(c, 0, mid - port, depth, mid + port);
    FillRect(c, 0, mid - port - 4, depth, mid - port, pal.accent);
    FillRect(c, 0, mid + port, depth, mid + port + 4, pal.accent);
    return;
  }
  const int top = c.h / 3, bottom = c.h - c.h / 3;
  ClearRect(c, 0, top, c.w, bottom);
  FillRect(c, 4, top - 6, c.w - 4, top, pal.accent);
  FillRect(c, 4, bottom, c.w - 4, bottom + 6, pal.accent);
}

// The wall gun: a round mount with its barrel along angle 0 (the part turns the picture).
void PaintWallGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cy = c.h / 2.0f, r = c.h * 0.32f;
  StrokeLine(c, c.w * 0.35f, cy, c.w - 4.0f, cy, c.h * 0.2f, pal.panel);
  StrokeLine(c, c.w * 0.35f, cy, c.w - 6.0f, cy, c.h * 0.08f, pal.hull);
  FillCircle(c, c.w * 0.35f, cy, r, pal.hull);
  FillCircle(c, c.w * 0.35f, cy, r * 0.55f, pal.accent);
  GlowDot(c, c.w - 6.0f, cy, 3, pal.energy, 0.7f);
}

// The spinning shot's launch: a hollow pop, a short hiss and a low rolling tail.
std::vector<int16_t> GrenadeLaunch() {
  Voice v(0.7);
  Chirp(v, 0, 0.12, 320, 90, 3, 0.8f, 10);
  Burst(v, 0.02, 0.25, 5000, 1200, 0.45f, 4049);
  Burst(v, 0.08, 0.6, 700, 80, 0.5f, 4050, 30);
  return Finish(v, 0.75f);
}

// The gunboat: frame 0 whole, frame 1 the same craft scorched and cracked, embers in its seams.
void PaintGunboat(Canvas& c, const PaintCell& p) {
  PaintCell whole = p;
  whole.frame = 0;
  PaintCraft(c, whole);
  if (p.frame == 0) return;
  const Palette& pal = StagePalette(p.stage);
  ScorchPainted(c, p.seed);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  GlowLine(c, cx - 14, cy - 6, cx + 2, cy + 3, 1.5f, pal.energy, 0.9f);
  GlowLine(c, cx + 2, cy + 3, cx + 12, cy - 2, 1.2f, pal.energy, 0.8f);
  GlowDot(c, cx + 8, cy + 6, 3, pal.light, 0.8f);
}

// The stage-4 boss: a gunmetal fortress craft; its guns and arms point along +x (the parts turn
// them), warning yellow on the moving parts, hot pink where it fires.
Material Stage4BossMetal(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.09f;
  m.grainScale = 5;
  m.shine = 0.45f;
  return m;
}

// Warning stripes across a box, clipped to what is already painted.
void HazardStripes(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour) {
  for (int y = std::max(0, static_cast<int>(y0)); y < std::min(c.h, static_cast<int>(y1)); ++y)
    for (int x = std::max(0, static_cast<int>(x0)); x < std::min(c.w, static_cast<int>(x1)); ++x)
      if (c.At(x, y)[3] > 0.5f && (x + y) / 5 % 2 == 0) BlendOver(c, x, y, colour, 0.55f);
}

// The core, frame 0 open .. 5 closed: a pink energy eye in a collar, two yellow-striped shutters
// closing over it a fifth at a time.
void PaintStage4BossCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) / 2.0f - 3;
  const float shut = std::fmax(0, std::fmin(p.frame, 5)) / 5.0f;
  Body b(c.w, c.h);
  std::vector<Vec2> collar;
  for (int i = 0; i < 8; ++i)
    collar.push_back(
        {cx + std::cos(i * kPi / 4 + kPi / 8) * r, cy + std::sin(i * kPi / 4 + kPi / 8) * r});
  BodyPolygon(b, collar, BodyStyle{pal.panel, 4, 0});
  BodyEllipse(b, cx, cy, r * 0.66f, r * 0.66f,
              BodyStyle{Mix(pal.energy, pal.light, 0.3f), 2, 2, 1 - shut});
  const float h = r * 0.68f * shut;
  if (shut > 0) {
    BodyBox(b, cx, cy - r * 0.68f + h / 2, r * 0.72f, h / 2, 1, BodyStyle{pal.hull, 1.5f, 3});
    BodyBox(b, cx, cy + r * 0.68f - h / 2, r * 0.72f, h / 2, 1, BodyStyle{pal.hull, 1.5f, 3});
  }
  ShadeBody(c, b, Stage4BossMetal(p));
  if (shut > 0) {
    HazardStripes(c, cx - r * 0.72f, cy - r * 0.68f, cx + r * 0.72f, cy - r * 0.68f + h,
                  pal.accent);
    HazardStripes(c, cx - r * 0.72f, cy + r * 0.68f - h, cx + r * 0.72f, cy + r * 0.68f,
                  pal.accent);
  }
  if (shut < 1) GlowDot(c, cx, cy, r * 0.4f * (1 - shut) + 1, pal.energy, 1 - shut);
}

// An arm by variant (frame): a strut from its pivot at the cell's centre to the joint at +45
// where the next part hangs; the two that carry the cannons (4 and 5) are the heaviest.
void PaintStage4BossArm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float t = p.frame >= 4 ? 9 : p.frame >= 2 ? 8 : 7;
  const float side = p.frame % 2 == 0 ? -1.0f : 1.0f;  // the upper and lower arm of a pair
  Body b(c.w, c.h);
  BodyCapsule(b, cx, cy, cx + 46, cy, t, BodyStyle{pal.hull, 3, 0});
  BodyBox(b, cx + 24, cy + side * (t + 1), 10, 3, 1, BodyStyle{pal.panel, 1.5f, 2});
  BodyGroove(b, cx + 14, cy - t + 2, cx + 14, cy + t - 2, 1, 2);
  BodyGroove(b, cx + 30, cy - t + 2, cx + 30, cy + t - 2, 1, 2);
  BodyEllipse(b, cx, cy, t + 3, t + 3, BodyStyle{pal.panel, 3, 2});
  BodyEllipse(b, cx + 46, cy, t + 1, t + 1, BodyStyle{pal.panel, 3, 2});
  ShadeBody(c, b, Stage4BossMetal(p));
  HazardStripes(c, cx + 16, cy - t, cx + 30, cy + t, pal.accent);
  GlowDot(c, cx, cy, 2.5f, pal.light, 0.6f);
}

// Frames 0 and 1: the arm lasers, a long barrel on the side the muzzle lies (+13 across for 0,
// -13 for 1) with its emitter at +80; frames 2 and 3: the missile launchers, a box of four tubes.
void PaintStage4BossGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = p.frame % 2 == 0 ? 1.0f : -1.0f;
  Body b(c.w, c.h);
  if (p.frame < 2) {
    BodyCapsule(b, cx - 58, cy + 5 * s, cx + 30, cy + 8 * s, 14, BodyStyle{pal.hull, 4, 0});
    BodyCapsule(b, cx + 10, cy + 12 * s, cx + 74, cy + 13 * s, 6, BodyStyle{pal.panel, 3, 2});
    BodyEllipse(b, cx + 76, cy + 13 * s, 7, 7, BodyStyle{pal.hull * 0.8f, 2, 3});
    BodyGroove(b, cx - 30, cy - 6 * s, cx - 30, cy + 16 * s, 1, 2);
    ShadeBody(c, b, Stage4BossMetal(p));
    HazardStripes(c, cx - 20, cy + 5 * s - 14, cx + 20, cy + 5 * s + 14, pal.accent);
    GlowDot(c, cx + 79, cy + 13 * s, 4, pal.energy, 0.9f);
    return;
  }
  BodyBox(b, cx, cy, 22, 14, 3, BodyStyle{pal.hull, 3, 0});
  BodyBox(b, cx - 6, cy - 16 * s, 10, 3, 1, BodyStyle{pal.panel, 1.5f, 2});
  for (int i = 0; i < 4; ++i)
    BodyEllipse(b, cx + 18, cy - 9 + 6 * i, 3, 2.5f, BodyStyle{pal.panel * 0.6f, 1, 1});
  ShadeBody(c, b, Stage4BossMetal(p));
  HazardStripes(c, cx - 22, cy - 14, cx - 6, cy + 14, pal.accent);
}

// The cannons: a heavy barrel along +x on the side its shots leave (+16 across for frame 0,
// -16 for frame 1), its laser emitter at +155, a breech block behind.
void PaintStage4BossCannon(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = p.frame == 0 ? 1.0f : -1.0f;
  Body b(c.w, c.h);
  BodyBox(b, cx - 60, cy + 14 * s, 48, 22, 6, BodyStyle{pal.hull, 5, 0});
  BodyCapsule(b, cx - 20, cy + 16 * s, cx + 146, cy + 16 * s, 15, BodyStyle{pal.hull, 5, 0});
  BodyCapsule(b, cx + 60, cy - 6 * s, cx + 104, cy - 8 * s, 6, BodyStyle{pal.panel, 3, 2});
  BodyCapsule(b, cx + 70, cy + 31 * s, cx + 116, cy + 31 * s, 6, BodyStyle{pal.panel, 3, 2});
  BodyEllipse(b, cx + 150, cy + 16 * s, 12, 12, BodyStyle{pal.panel, 3, 3});
  for (int i = 0; i < 4; ++i)
    BodyGroove(b, cx + 10 + 28 * i, cy + 3 * s, cx + 10 + 28 * i, cy + 29 * s, 1, 2);
  ShadeBody(c, b, Stage4BossMetal(p));
  HazardStripes(c, cx - 100, cy + 14 * s - 22, cx - 70, cy + 14 * s + 22, pal.accent);
  GlowDot(c, cx + 152, cy + 16 * s, 6, pal.energy, 0.9f);
}

// The exhaust: a flame blown out to the left of its nozzle at the cell's right, four flickers.
void PaintStage4Exhaust(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cy = c.h / 2.0f;
  const float len = c.w * (0.7f + 0.08f * (p.frame % 4));
  const float x0 = c.w - 6.0f;
  GlowLine(c, x0, cy, x0 - len, cy, c.h * 0.22f, pal.energy, 0.8f);
  GlowLine(c, x0, cy, x0 - len * 0.6f, cy, c.h * 0.12f, pal.light, 0.9f);
  GlowDot(c, x0, cy, c.h * 0.18f, pal.light, 1);
}
}  // namespace

StageKit Stage4Kit() {
  return {
      {
          .hull = Hex(0x5C636C),
          .panel = Hex(0x3E444C),
          .accent = Hex(0xF0C020),
          .light = Hex(0xFFE060),
          .energy = Hex(0xFF3C7C),
          .rock = Hex(0x4C5058),
          .skyTop = Hex(0x06070A),
          .skyLow = Hex(0x1A1E26),
      },
      {"stage4",
       4,
       {
           {"data/enemy/stage4/enemyR1_12.bmp", 2, 96, 64, 1, 2, P::Craft, 0, PaintGunboat},
           {"data/enemy/stage4/enemyR1_13.bmp", 1, 96, 64, 1, 1, P::Craft, 0},
           {"data/enemy/stage4/enemyR1_14.bmp", 1, 96, 64, 1, 1, P::Craft, 0},
           {"data/enemy/stage4/enemyR1_15.bmp", 2, 80, 40, 1, 2, P::Craft, 0},
           {"data/enemy/stage4/fire.bmp", 1, 96, 96, 1, 1, P::Fire, 0},
           {"data/enemy/stage4/enemyR2_11.bmp", 6, 32, 32, 3, 2, P::Craft, 0},
           {"data/enemy/stage4/enemyR2_17.bmp", 5, 160, 64, 1, 5, P::Craft, 0},
           {"data/enemy/stage4/enemyR2_18.bmp", 12, 80, 80, 3, 4, P::Craft, 0},
           {"data/enemy/stage4/partsR1_13.bmp", 12, 48, 96, 6, 2, P::Segment, 0},
           {"data/enemy/stage4/entry_core.bmp", 1, 96, 96, 1, 1, P::Orb, 0},
           // The carrier's upper and lower walls, as long as their solid boxes.
           {"data/enemy/stage4/entry_v.bmp", 1, 880, 160, 1, 1, P::Wall, 0},
           {"data/enemy/stage4/entry_s.bmp", 2, 200, 640, 2, 1, P::Wall, 0, PaintEndWall},
           {"data/enemy/stage4/entry_l.bmp", 1, 64, 40, 1, 1, P::Wall, 0, PaintWallGun},
           {"data/enemy/stage4/senkanparts1.bmp", 2, 96, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage4/senkanparts2.bmp", 2, 96, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage4/enemyR2_14parts0.bmp", 5, 64, 64, 2, 3, P::Segment, 0},
           {"data/enemy/stage4/enemyR2_15parts0.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage4/enemyR2_15parts1.bmp", 4, 160, 40, 1, 4, P::Segment, 0},
           {"data/enemy/stage4/enemyR2_16parts0.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage4/enemyR2_16parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage4/enemyR1_14parts1.bmp", 4, 96, 64, 2, 2, P::Segment, 0},
           {"data/enemy/stage4/boss4parts2.bmp", 6, 64, 64, 3, 2, P::Segment, 0,
            PaintStage4BossCore},
           {"data/enemy/stage4/boss4parts3.bmp", 6, 192, 64, 1, 6, P::Segment, 0,
            PaintStage4BossArm},
           {"data/enemy/stage4/boss4.bmp", 1, 384, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage4/boss4parts1.bmp", 4, 192, 64, 1, 4, P::Segment, 0,
            PaintStage4BossGun},
           {"data/enemy/stage4/boss4parts0.bmp", 2, 352, 128, 1, 2, P::Segment, 0,
            PaintStage4BossCannon},
           {"data/enemy/stage4/boss4parts4.bmp", 4, 96, 64, 2, 2, P::Segment, 0,
            PaintStage4Exhaust},
           {"data/enemy/stage4/chubosu_parts0.bmp", 6, 64, 64, 3, 2, P::Segment, 0},
           {"data/enemy/stage4/chubosu.bmp", 2, 240, 120, 1, 2, P::Boss, 0},
           {"data/enemy/stage4/chubosu_parts1.bmp", 8, 240, 40, 1, 8, P::Segment, 0},
           {"data/enemy/stage4/chubosu_parts2.bmp", 1, 96, 96, 1, 1, P::Segment, 0},
           {"data/enemy/stage4/chubosu_parts3.bmp", 4, 40, 40, 4, 1, P::Segment, 0},
           {"data/bullet/stage4/b4.bmp", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage4/b5.bmp", 6, 32, 32, 3, 2, P::Bullet, 0},
           {"data/bullet/stage4/b20.png", 4, 128, 128, 2, 2, P::Bullet, 0},
           {"data/bullet/stage4/laser02yokoku.bmp", 2, 160, 18, 1, 2, P::WarnLine, 0},
           {"data/bullet/stage4/laser_tame.png", 1, 128, 128, 1, 1, P::LaserRing, 0},
           {"data/bullet/stage4/laser02.bmp", 4, 240, 200, 2, 2, P::LaserEnd, 0},
           {"data/bullet/stage4/laser02hit.bmp", 1, 192, 192, 1, 1, P::LaserHit, 0},
           {"data/bullet/stage4/laser02sui.bmp", 6, 16, 16, 3, 2, P::LaserEnd, 0},
           {"data/bullet/stage4/laser02kai.bmp", 4, 104, 104, 4, 1, P::LaserRing, 0},
           {"data/map/stage4_1/map4b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage4_1/map4b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage4_1/map4_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {
          // Stage 6 loads it too; the kit writes it once, with stage 4's group.
          {"data/se/stage6/granade.wav", SoundKind::Effect, 49, GrenadeLaunch},
      },
  };
}
