// Stage 5, crystal ruins in teal and violet: its palette, its images and the sounds it brings.
// Painters and sound recipes of its own go here too: a row names its painter, a sound its recipe.
#include "tools/datakit/stages/stage_kits.h"

#include <algorithm>
#include <cmath>

#include "tools/datakit/raster.h"

namespace {

using P = Paint;

Material CrystalMetal(const PaintCell& p) {
  Material m;
  m.seed = p.seed;
  m.grain = 0.08f;
  m.grainScale = 4;
  m.shine = 0.5f;
  return m;
}

float OpenShare(int frame, int last) {
  return static_cast<float>(std::clamp(frame, 0, last)) / static_cast<float>(last);
}

// The laser turret's gun, pivot at the cell's centre and barrel along angle 0 (the part turns
// the picture): frame 0 closed, an armoured cap over a short barrel; 1..3 the cap's jaws parting
// and the barrel running out to its muzzle 54 px from the pivot, where the shot leaves, lit once
// open.
void PaintLaserTurretGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float open = OpenShare(p.frame, 3);
  const float reach = 30 + 24 * open;
  Body b(c.w, c.h);
  BodyCapsule(b, cx + 8, cy, cx + reach, cy, 7, BodyStyle{pal.panel, 3, 0});
  BodyEllipse(b, cx, cy, 20, 20, BodyStyle{pal.hull, 4, 2});
  const float jaw = 4 + 9 * open;
  BodyBox(b, cx + 24, cy - jaw, 11, 4, 1.5f, BodyStyle{pal.hull * 0.9f, 1.5f, 2});
  BodyBox(b, cx + 24, cy + jaw, 11, 4, 1.5f, BodyStyle{pal.hull * 0.9f, 1.5f, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx, cy, 5, pal.light, 0.5f);
  if (open > 0) GlowDot(c, cx + reach, cy, 2 + 5 * open, pal.energy, open);
}

// The laser turret's housing over its hit circles (24 at the centre, 20 toward its wall): cell 0
// stands on the floor with its foot below, cell 1 hangs from the ceiling with its foot above.
void PaintLaserTurretMount(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float wall = p.frame == 1 ? -1.0f : 1.0f;
  Body b(c.w, c.h);
  BodyBox(b, cx, cy + wall * 30, 34, 8, 2, BodyStyle{pal.panel, 3, 1});
  BodyBox(b, cx, cy + wall * 16, 18, 12, 3, BodyStyle{pal.panel * 0.9f, 3, 2});
  BodyEllipse(b, cx, cy, 24, 22, BodyStyle{pal.hull, 6, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx, cy, 6, pal.light, 0.6f);
}

// The wall gun, bolted to a wall on its right and firing left (hit circles 12 at the centre and
// 10 at 16 px toward the muzzle); cell 1 braces it from above instead of below.
void PaintWallGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float brace = p.frame == 1 ? -1.0f : 1.0f;
  Body b(c.w, c.h);
  BodyBox(b, c.w - 8.0f, cy, 7, 18, 2, BodyStyle{pal.panel, 2, 1});
  BodyPolygon(b, {{cx + 4, cy + brace * 4}, {c.w - 10.0f, cy + brace * 16}, {c.w - 10.0f, cy}},
              BodyStyle{pal.panel * 0.9f, 2, 1});
  BodyCapsule(b, cx - 30, cy, cx, cy, 4, BodyStyle{pal.hull * 0.85f, 2, 0});
  BodyEllipse(b, cx + 2, cy, 12, 11, BodyStyle{pal.hull, 4, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 31, cy, 2.5f, pal.energy, 0.7f);
}

// The climbing flier's two guns, drawn on the flier's centre: cells 0..3 the left pod opening
// toward the left, 4..7 the right pod toward the right; the muzzle, 10 px out, lights as it opens.
void PaintFlierGun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float side = p.frame >= 4 ? 1.0f : -1.0f;
  const float open = OpenShare(p.frame % 4, 3);
  const float cy = c.h / 2.0f - 2, pod = c.w / 2.0f + side * 8;
  const float muzzle = pod + side * (3 + 6 * open);
  Body b(c.w, c.h);
  BodyCapsule(b, pod, cy, muzzle, cy, 2.5f, BodyStyle{pal.hull, 1.5f, 0});
  BodyEllipse(b, pod, cy, 6, 5, BodyStyle{pal.panel, 2, 1});
  ShadeBody(c, b, CrystalMetal(p));
  if (open > 0) GlowDot(c, muzzle, cy, 1 + 2 * open, pal.energy, open);
}

// The jet, nose to the right (it chases the player from behind) over its hit circles (26 at the
// centre, 12 at 34 ahead); frames 0..3 open the two bomb bays at 30 px ahead, 20 above and below.
void PaintJetBody(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float open = OpenShare(p.frame, 3);
  KitRandom r(p.seed);
  Body b(c.w, c.h);
  DrawHull(b, cx + 4, cy, 96, 44, true, pal, r);
  for (float s : {-1.0f, 1.0f}) {
    BodyBox(b, cx + 30, cy + s * 19, 9, 3, 1, BodyStyle{pal.panel, 1.5f, 2});
    const float door = 3 + 6 * open;
    BodyBox(b, cx + 30 - door, cy + s * (19 + 2 * open), 3, 2, 1, BodyStyle{pal.hull, 1, 3});
    BodyBox(b, cx + 30 + door, cy + s * (19 + 2 * open), 3, 2, 1, BodyStyle{pal.hull, 1, 3});
  }
  ShadeBody(c, b, CrystalMetal(p));
  if (open > 0) {
    GlowDot(c, cx + 30, cy - 19, 2 + 3 * open, pal.energy, open);
    GlowDot(c, cx + 30, cy + 19, 2 + 3 * open, pal.energy, open);
  }
}

}  // namespace

StageKit Stage5Kit() {
  return {
      {
          .hull = Hex(0x2A8C88),
          .panel = Hex(0x6A4A9A),
          .accent = Hex(0x9AF0E0),
          .light = Hex(0xC890FF),
          .energy = Hex(0x40F0FF),
          .rock = Hex(0x3A3A5A),
          .skyTop = Hex(0x060414),
          .skyLow = Hex(0x1C1236),
      },
      {"stage5",
       5,
       {
           {"data/enemy/stage5/boss2.bmp", 1, 256, 192, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss3.bmp", 1, 288, 224, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss4.bmp", 1, 384, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/boss5.bmp", 1, 320, 256, 1, 1, P::Boss, 0},
           {"data/enemy/stage5/laserhou.bmp", 2, 80, 80, 2, 1, P::Turret, 0, PaintLaserTurretMount},
           {"data/enemy/stage5/laserhou2.bmp", 2, 80, 40, 1, 2, P::Turret, 0, PaintWallGun},
           {"data/enemy/stage5/maru.bmp", 1, 96, 96, 1, 1, P::Orb, 0},
           {"data/enemy/stage5/shutter.bmp", 3, 40, 248, 3, 1, P::Wall, 0},
           {"data/enemy/stage5/enemyR2_13.bmp", 6, 128, 96, 2, 3, P::Craft, 0},
           {"data/enemy/stage5/enemyR2_14.bmp", 6, 64, 64, 3, 2, P::Craft, 0},
           {"data/enemy/stage5/enemyR2_16.bmp", 4, 128, 64, 1, 4, P::Craft, 0, PaintJetBody},
           {"data/enemy/stage5/enemyR4_00.png", 10, 80, 80, 5, 2, P::Orb, 0},
           {"data/enemy/stage5/enemyR2_14.png", 4, 128, 64, 2, 2, P::Craft, 0},
           {"data/enemy/stage5/laser_hou.bmp", 4, 128, 64, 2, 2, P::Turret, 0, PaintLaserTurretGun},
           {"data/enemy/stage5/enemyR2_13parts.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/enemyR2_14parts.bmp", 8, 48, 32, 2, 4, P::Segment, 0, PaintFlierGun},
           {"data/enemy/stage5/maruparts1.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/maruparts2.bmp", 2, 64, 32, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/enemyR2_16jet.bmp", 4, 128, 64, 1, 4, P::Jet, 0},
           {"data/enemy/stage5/shutter40.bmp", 2, 40, 40, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/shutter80.bmp", 2, 40, 80, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/shutter120.bmp", 2, 40, 120, 2, 1, P::Wall, 0},
           {"data/enemy/stage5/enemyR2_17.bmp", 6, 48, 48, 3, 2, P::Craft, 0},
           {"data/enemy/stage5/boss1parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts2.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss1parts5.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts1.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts2.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss2parts3.bmp", 4, 64, 32, 1, 4, P::Segment, 0},
           {"data/enemy/stage5/boss2parts4.bmp", 2, 160, 80, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss2parts5.bmp", 2, 64, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss1parts0.bmp", 6, 32, 32, 3, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts1.bmp", 2, 128, 64, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts2.bmp", 2, 256, 192, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss3parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss4parts1.bmp", 2, 384, 160, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss4parts2.bmp", 10, 32, 32, 5, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts1.bmp", 2, 240, 240, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts2.bmp", 2, 200, 120, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts3.bmp", 2, 320, 80, 1, 2, P::Segment, 0},
           {"data/enemy/stage5/boss5parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0},
           {"data/enemy/stage5/boss5parts5.bmp", 4, 320, 40, 1, 4, P::Segment, 0},
           {"data/bullet/stage5/b18.bmp", 12, 32, 32, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b19.png", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b21.bmp", 12, 64, 64, 4, 3, P::Bullet, 0},
           {"data/bullet/stage5/b22.png", 6, 128, 128, 3, 2, P::Bullet, 0},
           {"data/map/stage5_1/map5b.bmp", 144, 80, 80, 12, 12, P::FarChips, 0},
           {"data/map/stage5_1/map5b2.bmp", 144, 80, 80, 12, 12, P::NearChips, 0},
           {"data/map/stage5_1/map5_2.bmp", 256, 40, 40, 16, 16, P::MainChips, 0},
       }},
      {},
  };
}
