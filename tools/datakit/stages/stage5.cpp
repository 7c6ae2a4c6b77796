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

// The boss's later forms. Every picture keeps its pivot at the cell's centre, the point the
// game places the body or part at, and draws over the hit circles the forms give it; parts
// that turn draw along angle 0 (the game turns the picture). One hull language for all three:
// teal armour, violet housings, cyan muzzles and vents.

// Mirrors the lower twin's cells: +1 for the first cell of a pair, -1 for the second.
float PairSign(const PaintCell& p) { return p.frame % 2 == 0 ? 1.0f : -1.0f; }

// Form 3's body: a hull with two great shoulders (38 at (16, +-50)) where the arms hang, flank
// blisters at (-36, +-37) and (-74, +-39), vents aft; the core sits on its centre.
void PaintForm3Body(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - 92, cy},
               {cx - 60, cy - 46},
               {cx + 60, cy - 40},
               {cx + 74, cy},
               {cx + 60, cy + 40},
               {cx - 60, cy + 46}},
              BodyStyle{pal.hull * 0.8f, 5, 1});
  for (float s : {-1.0f, 1.0f}) {
    BodyEllipse(b, cx + 16, cy + s * 50, 40, 37, BodyStyle{pal.hull, 7, 3});
    BodyEllipse(b, cx - 36, cy + s * 37, 17, 15, BodyStyle{pal.panel, 4, 3});
    BodyEllipse(b, cx - 74, cy + s * 39, 19, 14, BodyStyle{pal.panel * 0.9f, 4, 2});
    BodyGroove(b, cx - 8, cy + s * 50, cx + 44, cy + s * 50, 2, 2);
    BodyBox(b, cx + 58, cy + s * 50, 8, 12, 2, BodyStyle{pal.panel * 0.8f, 2, 4});
  }
  BodyEllipse(b, cx, cy, 30, 26, BodyStyle{pal.panel * 0.85f, 5, 4});
  ShadeBody(c, b, CrystalMetal(p));
  for (float s : {-1.0f, 1.0f}) {
    GlowDot(c, cx + 66, cy + s * 50, 4, pal.energy, 0.7f);
    GlowDot(c, cx - 82, cy + s * 9, 3, pal.energy, 0.6f);
    GlowDot(c, cx - 36, cy + s * 37, 4, pal.light, 0.5f);
  }
}

// Form 3's arm: a hub at the pivot and a strut out to the cannon's mount at 32 px, braced on
// the side its cannon hangs (below for the upper arm, above for the lower).
void PaintForm3Arm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = PairSign(p);
  Body b(c.w, c.h);
  BodyPolygon(b, {{cx + 4, cy}, {cx + 26, cy}, {cx + 16, cy + s * 13}},
              BodyStyle{pal.panel * 0.8f, 2, 1});
  BodyCapsule(b, cx, cy, cx + 32, cy, 8, BodyStyle{pal.hull * 0.85f, 3, 1});
  BodyEllipse(b, cx, cy, 11, 11, BodyStyle{pal.panel, 4, 2});
  BodyEllipse(b, cx + 32, cy, 9, 9, BodyStyle{pal.hull, 3, 2});
  ShadeBody(c, b, CrystalMetal(p));
}

// Form 3's cannon, hung from its arm's end at the pivot: a housing (38 at (17, 32)) with a long
// barrel whose muzzle is at (89, 42), the seeker pod's mouth at (48, 69) and a tail fin toward
// (-66, 28); the second cell mirrors it for the lower arm.
void PaintForm3Cannon(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = PairSign(p);
  Body b(c.w, c.h);
  BodyCapsule(b, cx, cy, cx + 14, cy + s * 26, 8, BodyStyle{pal.hull * 0.8f, 3, 1});
  BodyCapsule(b, cx - 30, cy + s * 36, cx - 66, cy + s * 28, 7, BodyStyle{pal.panel * 0.8f, 3, 1});
  BodyEllipse(b, cx - 33, cy + s * 38, 17, 14, BodyStyle{pal.panel, 4, 2});
  BodyCapsule(b, cx + 40, cy + s * 38, cx + 94, cy + s * 42, 9, BodyStyle{pal.hull * 0.9f, 3, 2});
  BodyEllipse(b, cx + 70, cy + s * 46, 14, 12, BodyStyle{pal.hull, 4, 2});
  BodyBox(b, cx + 48, cy + s * 60, 10, 9, 3, BodyStyle{pal.panel * 0.9f, 3, 2});
  BodyEllipse(b, cx + 17, cy + s * 32, 40, 34, BodyStyle{pal.hull, 7, 3});
  BodyGroove(b, cx - 8, cy + s * 32, cx + 42, cy + s * 32, 2, 2);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 95, cy + s * 42, 5, pal.energy, 0.8f);
  GlowDot(c, cx + 48, cy + s * 67, 4, pal.light, 0.7f);
  GlowDot(c, cx + 17, cy + s * 32, 7, pal.light, 0.4f);
}

// Form 3's missile launcher: a tube along angle 0, its mouth lit.
void PaintForm3Launcher(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyCapsule(b, cx - 22, cy, cx + 18, cy, 10, BodyStyle{pal.panel, 4, 2});
  BodyEllipse(b, cx + 22, cy, 6, 12, BodyStyle{pal.hull, 3, 3});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 24, cy, 4, pal.energy, 0.6f);
}

// Form 4's body: a heavy drum aft (64 at (64, 0)), armoured cheeks at (-12, +-58) and a
// prow (14 at (-63, +-33)), with the hidden beam emitters' lenses at (-92, +-70).
void PaintForm4Body(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - 78, cy - 20},
               {cx - 30, cy - 60},
               {cx + 80, cy - 56},
               {cx + 80, cy + 56},
               {cx - 30, cy + 60},
               {cx - 78, cy + 20}},
              BodyStyle{pal.hull * 0.8f, 5, 1});
  for (float s : {-1.0f, 1.0f}) {
    BodyEllipse(b, cx - 12, cy + s * 58, 30, 28, BodyStyle{pal.panel, 6, 3});
    BodyCapsule(b, cx - 30, cy + s * 62, cx - 86, cy + s * 70, 8, BodyStyle{pal.hull * 0.9f, 3, 2});
    BodyEllipse(b, cx - 63, cy + s * 33, 15, 13, BodyStyle{pal.hull, 4, 3});
  }
  BodyEllipse(b, cx + 64, cy, 66, 64, BodyStyle{pal.hull, 9, 3});
  BodyEllipse(b, cx + 64, cy, 40, 40, BodyStyle{pal.panel * 0.85f, 6, 6});
  for (int i = -2; i <= 2; ++i)
    BodyGroove(b, cx + 24, cy + i * 18.0f, cx + 104, cy + i * 18.0f, 2, 2);
  ShadeBody(c, b, CrystalMetal(p));
  for (float s : {-1.0f, 1.0f}) {
    GlowDot(c, cx - 92, cy + s * 70, 6, pal.energy, 0.8f);
    GlowDot(c, cx - 12, cy + s * 58, 6, pal.light, 0.5f);
  }
  GlowDot(c, cx + 64, cy, 12, pal.light, 0.4f);
}

// Form 4's arm: a long girder below (or, second cell, above) its pivot, over its circles from
// (-143, 39) to (27, 21), with a row of gun ports and a saddle for the four pods at y 55.
void PaintForm4Arm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = -PairSign(p);
  Body b(c.w, c.h);
  BodyCapsule(b, cx - 148, cy + s * 40, cx + 10, cy + s * 36, 12,
              BodyStyle{pal.hull * 0.85f, 4, 1});
  BodyBox(b, cx - 46, cy + s * 52, 44, 6, 2, BodyStyle{pal.panel * 0.8f, 2, 2});
  BodyEllipse(b, cx - 65, cy + s * 37, 30, 27, BodyStyle{pal.hull, 7, 3});
  BodyEllipse(b, cx - 12, cy + s * 39, 26, 24, BodyStyle{pal.panel, 6, 3});
  BodyEllipse(b, cx - 111, cy + s * 41, 17, 15, BodyStyle{pal.hull, 4, 3});
  BodyCapsule(b, cx, cy, cx + 27, cy + s * 21, 11, BodyStyle{pal.hull * 0.9f, 4, 2});
  BodyEllipse(b, cx, cy, 10, 10, BodyStyle{pal.panel, 3, 3});
  ShadeBody(c, b, CrystalMetal(p));
  for (int i = 0; i < 4; ++i) GlowDot(c, cx - 140 + 26.0f * i, cy + s * 30, 2.5f, pal.energy, 0.6f);
  GlowDot(c, cx - 143, cy + s * 39, 4, pal.energy, 0.7f);
}

// Form 4's missile pod: cells 0..4 an upper pod whose hatch opens upward, 5..9 a lower pod
// opening downward, closed at the first cell of each run and open at the last.
void PaintForm4Pod(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float out = p.frame >= 5 ? 1.0f : -1.0f;
  const float open = OpenShare(p.frame % 5, 4);
  Body b(c.w, c.h);
  BodyBox(b, cx, cy + out * 2, 11, 9, 3, BodyStyle{pal.panel, 3, 1});
  const float part = 2 + 7 * open;
  BodyBox(b, cx - part, cy + out * (8 + 2 * open), 5 - 2 * open, 3, 1,
          BodyStyle{pal.hull, 1.5f, 3});
  BodyBox(b, cx + part, cy + out * (8 + 2 * open), 5 - 2 * open, 3, 1,
          BodyStyle{pal.hull, 1.5f, 3});
  ShadeBody(c, b, CrystalMetal(p));
  if (open > 0) GlowDot(c, cx, cy + out * 8, 2 + 3 * open, pal.energy, open);
}

// Form 5's body: a heavy rear dome (38 at (38, 0)), shoulders at (-8, +-44) and two prongs
// forward (16 at (-75, +-36)) with the turning shot's muzzle between them at (-77, 0).
void PaintForm5Body(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - 70, cy - 14},
               {cx - 20, cy - 60},
               {cx + 60, cy - 34},
               {cx + 60, cy + 34},
               {cx - 20, cy + 60},
               {cx - 70, cy + 14}},
              BodyStyle{pal.hull * 0.8f, 5, 1});
  for (float s : {-1.0f, 1.0f}) {
    BodyEllipse(b, cx - 8, cy + s * 44, 32, 30, BodyStyle{pal.panel, 7, 3});
    BodyCapsule(b, cx - 30, cy + s * 40, cx - 84, cy + s * 34, 14, BodyStyle{pal.hull, 5, 2});
  }
  BodyCapsule(b, cx - 60, cy, cx - 84, cy, 7, BodyStyle{pal.panel * 0.8f, 3, 2});
  BodyEllipse(b, cx + 38, cy, 42, 40, BodyStyle{pal.hull, 9, 3});
  BodyGroove(b, cx + 8, cy - 24, cx + 60, cy - 24, 2, 2);
  BodyGroove(b, cx + 8, cy + 24, cx + 60, cy + 24, 2, 2);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 84, cy, 7, pal.energy, 0.8f);
  GlowDot(c, cx + 38, cy, 12, pal.light, 0.4f);
  for (float s : {-1.0f, 1.0f}) GlowDot(c, cx - 88, cy + s * 34, 4, pal.light, 0.5f);
}

// Form 5's plate: an armoured slab held above (or, second cell, below) the body, its mass away
// from the body (33 at (-28, -33), 50 at (53, -43)) and a strut down to it over (-5, 22) and
// (-5, 66); a slot along y -30..-60 where the rails and the claw run.
void PaintForm5Plate(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = PairSign(p);
  Body b(c.w, c.h);
  BodyCapsule(b, cx - 5, cy, cx - 5, cy + s * 80, 16, BodyStyle{pal.hull * 0.85f, 4, 1});
  BodyPolygon(b,
              {{cx - 62, cy - s * 12},
               {cx - 56, cy - s * 64},
               {cx + 40, cy - s * 96},
               {cx + 104, cy - s * 70},
               {cx + 100, cy - s * 8},
               {cx - 20, cy + s * 4}},
              BodyStyle{pal.hull, 7, 2});
  BodyEllipse(b, cx + 53, cy - s * 43, 44, 40, BodyStyle{pal.panel, 8, 4});
  BodyEllipse(b, cx - 28, cy - s * 33, 26, 24, BodyStyle{pal.hull * 0.9f, 6, 4});
  BodyGroove(b, cx - 60, cy - s * 30, cx + 96, cy - s * 30, 3, 3);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 53, cy - s * 43, 9, pal.light, 0.5f);
  GlowDot(c, cx - 5, cy + s * 66, 5, pal.energy, 0.5f);
}

// Form 5's claw: a fist (36 at (30, 12)) with two jaws forward to (-44, 5) and (-15, 38); the
// second cell mirrors it for the lower plate.
void PaintForm5Claw(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = PairSign(p);
  Body b(c.w, c.h);
  BodyPolygon(
      b,
      {{cx - 58, cy + s * 4}, {cx - 20, cy - s * 12}, {cx + 4, cy + s * 2}, {cx - 16, cy + s * 10}},
      BodyStyle{pal.panel, 4, 2});
  BodyPolygon(b,
              {{cx - 30, cy + s * 44},
               {cx - 4, cy + s * 26},
               {cx + 10, cy + s * 40},
               {cx - 12, cy + s * 50}},
              BodyStyle{pal.panel, 4, 2});
  BodyEllipse(b, cx + 30, cy + s * 12, 38, 34, BodyStyle{pal.hull, 8, 3});
  BodyGroove(b, cx + 6, cy + s * 12, cx + 58, cy + s * 12, 2, 2);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 6, cy + s * 18, 6, pal.energy, 0.7f);
}

// Form 5's bar: a hinge at the pivot and a heavy rod out to 127 px, 8 px off the axis (above
// for the first cell, below for the second).
void PaintForm5Bar(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, y = cy - PairSign(p) * 8;
  Body b(c.w, c.h);
  BodyCapsule(b, cx - 130, y, cx - 16, y, 10, BodyStyle{pal.hull, 4, 2});
  for (int i = 0; i < 5; ++i)
    BodyBox(b, cx - 112 + 21.0f * i, y, 3, 11, 1, BodyStyle{pal.panel, 2, 3});
  BodyCapsule(b, cx - 16, y, cx, cy, 6, BodyStyle{pal.panel * 0.8f, 2, 1});
  BodyEllipse(b, cx, cy, 8, 8, BodyStyle{pal.panel, 3, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 128, y, 4, pal.energy, 0.7f);
}

// Form 5's gun turret: a hub with a barrel along angle 0, its muzzle 35 px out.
void PaintForm5Gun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyCapsule(b, cx, cy, cx + 34, cy, 5, BodyStyle{pal.hull * 0.85f, 2, 1});
  BodyEllipse(b, cx, cy, 13, 12, BodyStyle{pal.panel, 4, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 35, cy, 3, pal.energy, 0.6f);
}

// Form 5's rails: cells 0 and 1 the near rails over x -120..30, cells 2 and 3 the far ones
// over -210..-60 (the cell holds them from -156), each a ribbed track with its guide lip on the
// body's side (below for the upper plate's, cells 0 and 2).
void PaintForm5Rail(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, s = PairSign(p);
  const bool far = p.frame >= 2;
  const float x0 = far ? cx - 156 : cx - 130, x1 = far ? cx - 52 : cx + 40;
  Body b(c.w, c.h);
  BodyBox(b, (x0 + x1) / 2, cy + s * 8, (x1 - x0) / 2 - 6, 3, 1,
          BodyStyle{pal.panel * 0.7f, 1.5f, 1});
  BodyCapsule(b, x0, cy, x1, cy, 8, BodyStyle{far ? pal.panel : pal.hull * 0.9f, 3, 1});
  for (float x = x0 + 10; x < x1 - 4; x += 15) BodyGroove(b, x, cy - 7, x, cy + 7, 1.5f, 2);
  ShadeBody(c, b, CrystalMetal(p));
}

// The boss chain's core, frame 0 open .. 5 closed: a crystal eye in a violet collar, two teal
// lids closing over it a fifth at a time while its light dies.
void PaintBossChainCore(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f, r = std::fmin(c.w, c.h) / 2.0f - 1;
  const float shut = OpenShare(p.frame, 5);
  Body b(c.w, c.h);
  BodyEllipse(b, cx, cy, r, r, BodyStyle{pal.panel, 2.5f, 0});
  BodyEllipse(b, cx, cy, r * 0.66f, r * 0.66f,
              BodyStyle{Mix(pal.energy, pal.light, 0.35f), 2, 2, 0.8f * (1 - shut)});
  if (shut > 0) {
    const float h = r * 0.7f * shut;
    BodyBox(b, cx, cy - r * 0.7f + h / 2, r * 0.72f, h / 2, 1, BodyStyle{pal.hull, 1.2f, 3});
    BodyBox(b, cx, cy + r * 0.7f - h / 2, r * 0.72f, h / 2, 1, BodyStyle{pal.hull, 1.2f, 3});
  }
  ShadeBody(c, b, CrystalMetal(p));
  if (shut < 1) GlowDot(c, cx, cy, r * 0.4f * (1 - shut) + 1, pal.energy, 1 - shut);
}

// Form 1's cannon, drawn on its pivot at the cell's centre: a forked housing whose two prongs
// reach left over its hit circles (out to 115 px at 25 above and below) to the beam's focus at
// 154 px, the socket of its core at 50 px left, and two short barrels firing right at 8 px,
// 21 above and below.
void PaintForm1Cannon(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  for (float s : {-1.0f, 1.0f}) {
    BodyCapsule(b, cx - 50, cy + s * 30, cx - 118, cy + s * 25, 9, BodyStyle{pal.hull, 4, 1});
    BodyCapsule(b, cx - 100, cy + s * 33, cx - 126, cy + s * 20, 5, BodyStyle{pal.panel, 2, 3});
    BodyCapsule(b, cx - 4, cy + s * 21, cx + 14, cy + s * 21, 5, BodyStyle{pal.hull * 0.85f, 2, 1});
  }
  BodyBox(b, cx - 38, cy, 40, 34, 10, BodyStyle{pal.hull, 6, 2});
  BodyBox(b, cx - 14, cy, 14, 24, 4, BodyStyle{pal.panel, 3, 4});
  BodyEllipse(b, cx - 50, cy, 19, 19, BodyStyle{pal.panel * 0.8f, 3, 1});
  BodyGroove(b, cx - 70, cy - 28, cx - 70, cy + 28, 1, 2);
  BodyGroove(b, cx - 24, cy - 30, cx - 24, cy + 30, 1, 2);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 132, cy, 5, pal.energy, 0.5f);
  for (float s : {-1.0f, 1.0f}) GlowDot(c, cx + 15, cy + s * 21, 2.5f, pal.energy, 0.7f);
}

// Form 1's side block on its pivot at the centre: a wedge thickening to the right over its
// hit circles (12 at 53 px left, 18 at the middle, 28 at 39 px right, each 22-31 above and
// below), with the core's socket at the centre and the four arms' joints at 16 px right.
void PaintForm1Side(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - 66, cy - 36},
               {cx - 10, cy - 50},
               {cx + 46, cy - 52},
               {cx + 68, cy - 24},
               {cx + 68, cy + 24},
               {cx + 46, cy + 52},
               {cx - 10, cy + 50},
               {cx - 66, cy + 36}},
              BodyStyle{pal.hull, 7, 1});
  BodyBox(b, cx + 40, cy, 22, 40, 8, BodyStyle{pal.panel, 4, 4});
  BodyEllipse(b, cx, cy, 20, 20, BodyStyle{pal.panel * 0.8f, 3, 3});
  for (float dy : {-40.0f, -24.0f, 24.0f, 40.0f})
    BodyEllipse(b, cx + 16, cy + dy, 6, 6, BodyStyle{pal.hull * 0.8f, 2, 6});
  BodyGroove(b, cx - 36, cy - 40, cx - 36, cy + 40, 1, 2);
  BodyDents(b, p.seed, 0.4f, 5);
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 60, cy, 3, pal.light, 0.5f);
}

// Form 1's gun on its pivot at the centre, barrel along angle 0 over its hit circles (5 at
// 20 px, 3 at 36 px) to the muzzle at 44 px.
void PaintForm1Gun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyCapsule(b, cx + 4, cy, cx + 42, cy, 4, BodyStyle{pal.hull * 0.9f, 2, 1});
  BodyEllipse(b, cx, cy, 10, 10, BodyStyle{pal.panel, 3, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 43, cy, 2.5f, pal.energy, 0.7f);
}

// Form 1's missile launcher on its pivot: a pod over its hit circle (18 at 9 px ahead) with
// the missile's hatch at 8 px behind and 8 px to its left.
void PaintForm1Launcher(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyBox(b, cx + 8, cy, 19, 14, 6, BodyStyle{pal.hull, 4, 1});
  BodyBox(b, cx + 20, cy, 6, 10, 2, BodyStyle{pal.panel, 2, 3});
  BodyEllipse(b, cx - 8, cy - 8, 7, 7, BodyStyle{pal.panel * 0.8f, 2, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx - 8, cy - 8, 3, pal.light, 0.6f);
}

// Form 1's arm on its joint at the centre: a spike tapering along angle 0 over its hit circles
// (10 at 56 px down to 5 at 128 px) to the muzzle at 138 px.
void PaintForm1Arm(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx + 4, cy - 9},
               {cx + 60, cy - 10},
               {cx + 134, cy - 3},
               {cx + 134, cy + 3},
               {cx + 60, cy + 10},
               {cx + 4, cy + 9}},
              BodyStyle{pal.hull, 4, 1});
  BodyGroove(b, cx + 30, cy - 7, cx + 30, cy + 7, 1, 2);
  BodyGroove(b, cx + 80, cy - 6, cx + 80, cy + 6, 1, 2);
  BodyEllipse(b, cx, cy, 8, 8, BodyStyle{pal.panel, 2.5f, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 136, cy, 2.5f, pal.energy, 0.7f);
}

// Form 2's body, nose left on its centre over its hit circles (36 at 30 px right, 20 at 8 px
// right 29 above and below, 13 at 40 px left 31 above and below): the four front guns at
// (-62, +-31) and (-80, +-4), the two side ports at (-39, +-47); the core sits at the centre.
void PaintForm2Body(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  BodyEllipse(b, cx + 30, cy, 44, 40, BodyStyle{pal.hull, 8, 1});
  BodyPolygon(b,
              {{cx - 84, cy - 10},
               {cx - 60, cy - 40},
               {cx - 30, cy - 50},
               {cx + 20, cy - 44},
               {cx + 20, cy + 44},
               {cx - 30, cy + 50},
               {cx - 60, cy + 40},
               {cx - 84, cy + 10}},
              BodyStyle{pal.hull * 0.92f, 7, 2});
  for (float s : {-1.0f, 1.0f}) {
    BodyCapsule(b, cx - 44, cy + s * 31, cx - 64, cy + s * 31, 5, BodyStyle{pal.panel, 2, 5});
    BodyCapsule(b, cx - 60, cy + s * 5, cx - 82, cy + s * 4, 4, BodyStyle{pal.panel, 2, 5});
    BodyEllipse(b, cx - 39, cy + s * 44, 7, 6, BodyStyle{pal.panel * 0.9f, 2, 3});
    BodyEllipse(b, cx + 8, cy + s * 29, 14, 12, BodyStyle{pal.panel, 4, 4});
  }
  BodyEllipse(b, cx, cy, 22, 22, BodyStyle{pal.panel * 0.8f, 3, 4});
  BodyGroove(b, cx + 44, cy - 34, cx + 44, cy + 34, 1, 2);
  BodyDents(b, p.seed, 0.4f, 5);
  ShadeBody(c, b, CrystalMetal(p));
  for (float s : {-1.0f, 1.0f}) {
    GlowDot(c, cx - 65, cy + s * 31, 2.5f, pal.energy, 0.7f);
    GlowDot(c, cx - 83, cy + s * 4, 2.5f, pal.energy, 0.7f);
    GlowDot(c, cx - 39, cy + s * 46, 3, pal.light, 0.6f);
  }
}

// Form 2's arm on its centre, an arch whose ends bend toward the form (down for the upper
// arm, up for the lower) over its hit circles (39 at 25 px either side, 27 at 50, 9 at 83 px
// left), with gun muzzles at 87 px either side and at the tips, 109 px out and 47 toward the
// form.
void PaintForm2Arm(Canvas& c, const PaintCell& p, float toward) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f - toward * 10;
  Body b(c.w, c.h);
  for (float s : {-1.0f, 1.0f}) {
    BodyCapsule(b, cx + s * 40, cy + toward * 20, cx + s * 72, cy + toward * 36, 18,
                BodyStyle{pal.hull, 5, 1});
    BodyCapsule(b, cx + s * 72, cy + toward * 36, cx + s * 106, cy + toward * 47, 8,
                BodyStyle{pal.hull * 0.9f, 3, 2});
    BodyCapsule(b, cx + s * 62, cy + toward * 6, cx + s * 86, cy, 5, BodyStyle{pal.panel, 2, 4});
  }
  BodyCapsule(b, cx - 30, cy + toward * 10, cx + 30, cy + toward * 10, 30,
              BodyStyle{pal.hull, 7, 2});
  BodyBox(b, cx, cy + toward * 6, 26, 12, 4, BodyStyle{pal.panel, 3, 5});
  BodyGroove(b, cx - 46, cy - 10, cx - 46, cy + 30 * toward, 1, 2);
  BodyGroove(b, cx + 46, cy - 10, cx + 46, cy + 30 * toward, 1, 2);
  ShadeBody(c, b, CrystalMetal(p));
  for (float s : {-1.0f, 1.0f}) {
    GlowDot(c, cx + s * 87, cy, 2.5f, pal.energy, 0.7f);
    GlowDot(c, cx + s * 108, cy + toward * 47, 2.5f, pal.energy, 0.7f);
  }
}
void PaintForm2UpperArm(Canvas& c, const PaintCell& p) { PaintForm2Arm(c, p, 1); }
void PaintForm2LowerArm(Canvas& c, const PaintCell& p) { PaintForm2Arm(c, p, -1); }

// Form 2's extending guns: cells 0 and 2 the upper and lower turret on their pivot, barrel
// along angle 0 to the muzzle at 32 px; cells 1 and 3 the upper and lower base, a sleeve over
// its hit circle 8 px toward the arm.
void PaintForm2Gun(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  Body b(c.w, c.h);
  if (p.frame % 2 == 0) {
    BodyCapsule(b, cx + 4, cy, cx + 30, cy, 4, BodyStyle{pal.hull * 0.9f, 2, 1});
    BodyEllipse(b, cx, cy, 10, 10, BodyStyle{pal.panel, 3, 2});
    ShadeBody(c, b, CrystalMetal(p));
    GlowDot(c, cx + 31, cy, 2.5f, pal.energy, 0.7f);
    return;
  }
  const float toward = p.frame == 1 ? 1.0f : -1.0f;
  BodyBox(b, cx, cy + toward * 4, 16, 11, 3, BodyStyle{pal.hull, 3, 1});
  BodyBox(b, cx, cy - toward * 8, 10, 4, 2, BodyStyle{pal.panel, 2, 3});
  ShadeBody(c, b, CrystalMetal(p));
}

// Form 2's wings, on their root at the centre: cell 0 the upper wing sweeping back and up over
// its hit circles (8 at (-51, -26), (-27, -22), (-5, -13)) with the fan's ports along its lower
// edge; cell 1 the lower wing, mirrored.
void PaintForm2Wing(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = p.frame == 1 ? -1.0f : 1.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx + 6, cy - s * 2},
               {cx + 4, cy - s * 16},
               {cx - 30, cy - s * 30},
               {cx - 64, cy - s * 34},
               {cx - 58, cy - s * 20},
               {cx - 20, cy - s * 10},
               {cx + 2, cy + s * 6}},
              BodyStyle{pal.hull, 4, 1});
  BodyCapsule(b, cx - 54, cy - s * 17, cx - 20, cy - s * 12, 3, BodyStyle{pal.panel, 1.5f, 3});
  BodyEllipse(b, cx, cy, 7, 7, BodyStyle{pal.panel, 2, 2});
  ShadeBody(c, b, CrystalMetal(p));
  for (float x : {-54.0f, -46.0f, -38.0f, -30.0f, -22.0f})
    GlowDot(c, cx + x, cy - s * 16, 1.8f, pal.energy, 0.6f);
}

// Form 2's tails: cell 0 the upper fin rising back from its root at the centre, cell 1 the
// lower one, mirrored.
void PaintForm2Tail(Canvas& c, const PaintCell& p) {
  const Palette& pal = StagePalette(p.stage);
  const float cx = c.w / 2.0f, cy = c.h / 2.0f;
  const float s = p.frame == 1 ? -1.0f : 1.0f;
  Body b(c.w, c.h);
  BodyPolygon(b,
              {{cx - 14, cy + s * 8},
               {cx + 14, cy + s * 8},
               {cx + 26, cy - s * 24},
               {cx + 12, cy - s * 26}},
              BodyStyle{pal.panel, 4, 1});
  BodyEllipse(b, cx, cy + s * 4, 12, 9, BodyStyle{pal.hull, 3, 2});
  ShadeBody(c, b, CrystalMetal(p));
  GlowDot(c, cx + 18, cy - s * 22, 2, pal.light, 0.5f);
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
           {"data/enemy/stage5/boss2.bmp", 1, 192, 128, 1, 1, P::Boss, 0, PaintForm2Body},
           {"data/enemy/stage5/boss3.bmp", 1, 288, 224, 1, 1, P::Boss, 0, PaintForm3Body},
           {"data/enemy/stage5/boss4.bmp", 1, 384, 256, 1, 1, P::Boss, 0, PaintForm4Body},
           {"data/enemy/stage5/boss5.bmp", 1, 320, 256, 1, 1, P::Boss, 0, PaintForm5Body},
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
           {"data/enemy/stage5/boss1parts1.bmp", 1, 288, 96, 1, 1, P::Segment, 0, PaintForm1Cannon},
           {"data/enemy/stage5/boss1parts2.bmp", 1, 144, 112, 1, 1, P::Segment, 0, PaintForm1Side},
           {"data/enemy/stage5/boss1parts3.bmp", 1, 96, 24, 1, 1, P::Segment, 0, PaintForm1Gun},
           {"data/enemy/stage5/boss1parts4.bmp", 1, 64, 48, 1, 1, P::Segment, 0,
            PaintForm1Launcher},
           {"data/enemy/stage5/boss1parts5.bmp", 1, 288, 24, 1, 1, P::Segment, 0, PaintForm1Arm},
           {"data/enemy/stage5/boss2parts1.bmp", 1, 240, 128, 1, 1, P::Segment, 0,
            PaintForm2UpperArm},
           {"data/enemy/stage5/boss2parts2.bmp", 1, 240, 128, 1, 1, P::Segment, 0,
            PaintForm2LowerArm},
           {"data/enemy/stage5/boss2parts3.bmp", 4, 64, 32, 1, 4, P::Segment, 0, PaintForm2Gun},
           {"data/enemy/stage5/boss2parts4.bmp", 2, 160, 80, 1, 2, P::Segment, 0, PaintForm2Wing},
           {"data/enemy/stage5/boss2parts5.bmp", 2, 64, 64, 1, 2, P::Segment, 0, PaintForm2Tail},
           {"data/enemy/stage5/boss1parts0.bmp", 6, 32, 32, 3, 2, P::Segment, 0,
            PaintBossChainCore},
           {"data/enemy/stage5/boss3parts1.bmp", 2, 128, 64, 1, 2, P::Segment, 0, PaintForm3Arm},
           {"data/enemy/stage5/boss3parts2.bmp", 2, 256, 192, 1, 2, P::Segment, 0,
            PaintForm3Cannon},
           {"data/enemy/stage5/boss3parts3.bmp", 1, 96, 64, 1, 1, P::Segment, 0,
            PaintForm3Launcher},
           {"data/enemy/stage5/boss4parts1.bmp", 2, 384, 160, 1, 2, P::Segment, 0, PaintForm4Arm},
           {"data/enemy/stage5/boss4parts2.bmp", 10, 32, 32, 5, 2, P::Segment, 0, PaintForm4Pod},
           {"data/enemy/stage5/boss5parts1.bmp", 2, 240, 240, 1, 2, P::Segment, 0, PaintForm5Plate},
           {"data/enemy/stage5/boss5parts2.bmp", 2, 200, 120, 1, 2, P::Segment, 0, PaintForm5Claw},
           {"data/enemy/stage5/boss5parts3.bmp", 2, 320, 80, 1, 2, P::Segment, 0, PaintForm5Bar},
           {"data/enemy/stage5/boss5parts4.bmp", 1, 96, 64, 1, 1, P::Segment, 0, PaintForm5Gun},
           {"data/enemy/stage5/boss5parts5.bmp", 4, 320, 40, 1, 4, P::Segment, 0, PaintForm5Rail},
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
