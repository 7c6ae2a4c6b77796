// Stage 4, a fortress in gunmetal with warning yellow: its palette, its images and the sounds it
// brings. Painters and sound recipes of its own go here too: a row names its painter, a sound its
// recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <algorithm>

#include "tools/datakit/effect_voice.h"

namespace {

using P = Paint;

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
           {"data/enemy/stage4/enemyR1_12.bmp", 2, 96, 64, 1, 2, P::Craft, 0},
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
           {"data/enemy/stage4/boss4parts2.bmp", 6, 64, 64, 3, 2, P::Segment, 0},
           {"data/enemy/stage4/boss4parts3.bmp", 6, 192, 64, 1, 6, P::Segment, 0},
           {"data/enemy/stage4/boss4.bmp", 1, 384, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage4/boss4parts1.bmp", 4, 192, 64, 1, 4, P::Segment, 0},
           {"data/enemy/stage4/boss4parts0.bmp", 2, 352, 128, 1, 2, P::Segment, 0},
           {"data/enemy/stage4/boss4parts4.bmp", 4, 96, 64, 2, 2, P::Segment, 0},
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
