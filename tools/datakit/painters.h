// The painters of the kit's pictures: one function per kind of picture, called per cell (or
// once for a whole sheet), each drawing in the palette of its stage.
#pragma once

#include <cstdint>

#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/raster.h"

// A stage's few hues (each stage's in its file, tools/datakit/stages/); the common sprites use
// stage 0's.
struct Palette {
  Rgb hull;    // main body colour of craft and structures
  Rgb panel;   // second body colour
  Rgb accent;  // markings and trims
  Rgb light;   // hull lights, cores (emissive)
  Rgb energy;  // this stage's enemy energy (shots' rims, flames)
  Rgb rock;    // rock and terrain
  Rgb skyTop;  // backdrop, dark
  Rgb skyLow;
};
const Palette& StagePalette(int stage);
// The enemies' palette: their stage's, and for the common enemies (stage 0) the warm side of
// the common palette, apart from the ship's.
const Palette& EnemyPalette(int stage);

struct PaintCell {
  int frame;  // cell index, -1 for a whole sheet painter
  int count;  // cells the game takes
  int variant;
  int stage;
  uint32_t seed;  // from the file name: every file looks a little different
  const char* path;
};

// The painter and whether it paints the whole image at once rather than cell by cell.
PainterFunction PainterFor(Paint paint, bool* wholeSheet);

// Painters, by the file that holds them.
void PaintShip(Canvas& c, const PaintCell& p);
void PaintJet(Canvas& c, const PaintCell& p);
void PaintChargeOrb(Canvas& c, const PaintCell& p);
void PaintShield(Canvas& c, const PaintCell& p);
void PaintItem(Canvas& c, const PaintCell& p);
void PaintSpeedPip(Canvas& c, const PaintCell& p);
void PaintBonusStar(Canvas& c, const PaintCell& p);
void PaintHide(Canvas& c, const PaintCell& p);
void PaintWeaponIcon(Canvas& c, const PaintCell& p);
void PaintIconCursor(Canvas& c, const PaintCell& p);

void PaintFont(Canvas& c, const PaintCell& p);
// What each cell of the bitmap font sheet shows (0: nothing). The game draws text byte by byte
// from the cell of each code, so where its texts mean another character than the code they
// write, the cell shows the meant one: "SCORE+" is read with a colon, and the codes 91 to 96
// (all drawn from cell 91) with the underscore of the replay names.
char FontCellCharacter(int cell);
// The glyph of a character as the font sheet draws it, into a 20 x 20 cell.
void PaintFontGlyph(Canvas& c, char ch);
void PaintCaption(Canvas& c, const PaintCell& p);
void PaintInfoStrip(Canvas& c, const PaintCell& p);
void PaintBoard(Canvas& c, const PaintCell& p);
void PaintGauge(Canvas& c, const PaintCell& p);
void PaintMenuBar(Canvas& c, const PaintCell& p);
void PaintTitle(Canvas& c, const PaintCell& p);
void PaintLogo(Canvas& c, const PaintCell& p);

void PaintExplosion(Canvas& c, const PaintCell& p);
void PaintHitSpark(Canvas& c, const PaintCell& p);
void PaintPowerBurst(Canvas& c, const PaintCell& p);
void PaintBossFlash(Canvas& c, const PaintCell& p);
void PaintBossBand(Canvas& c, const PaintCell& p);
void PaintTrail(Canvas& c, const PaintCell& p);
void PaintSparks(Canvas& c, const PaintCell& p);
void PaintShot(Canvas& c, const PaintCell& p);
void PaintBlast(Canvas& c, const PaintCell& p);
void PaintWave(Canvas& c, const PaintCell& p);

void PaintBullet(Canvas& c, const PaintCell& p);
void PaintWarnLine(Canvas& c, const PaintCell& p);
void PaintLaserEnd(Canvas& c, const PaintCell& p);
void PaintLaserHit(Canvas& c, const PaintCell& p);
void PaintLaserRing(Canvas& c, const PaintCell& p);
void PaintBeam(Canvas& c, const PaintCell& p);
void PaintFlame(Canvas& c, const PaintCell& p);
void PaintFire(Canvas& c, const PaintCell& p);

void PaintCraft(Canvas& c, const PaintCell& p);
void PaintTurret(Canvas& c, const PaintCell& p);
void PaintHatch(Canvas& c, const PaintCell& p);
void PaintWalker(Canvas& c, const PaintCell& p);
void PaintLegs(Canvas& c, const PaintCell& p);
void PaintRock(Canvas& c, const PaintCell& p);
void PaintOrb(Canvas& c, const PaintCell& p);
void PaintBoss(Canvas& c, const PaintCell& p);
void PaintWall(Canvas& c, const PaintCell& p);
void PaintMissile(Canvas& c, const PaintCell& p);
void PaintCarrier(Canvas& c, const PaintCell& p);
void PaintSegment(Canvas& c, const PaintCell& p);
void PaintPortal(Canvas& c, const PaintCell& p);

void PaintAlphaBlack(Canvas& c, const PaintCell& p);
void PaintTitleBoss(Canvas& c, const PaintCell& p);
void PaintHeroShip(Canvas& c, const PaintCell& p);
void PaintBackdrop(Canvas& c, const PaintCell& p);
void PaintPanel(Canvas& c, const PaintCell& p);
void PaintFrame(Canvas& c, const PaintCell& p);
void PaintBeamBand(Canvas& c, const PaintCell& p);
void PaintSky(Canvas& c, const PaintCell& p);
void PaintFarChips(Canvas& c, const PaintCell& p);
void PaintNearChips(Canvas& c, const PaintCell& p);
void PaintMainChips(Canvas& c, const PaintCell& p);
void PaintSkyline(Canvas& c, const PaintCell& p);

// Shared pieces.
// A craft's hull seen from the side, nose to the left (enemies) or right (the ship), drawn
// into body: length and height in pixels around (cx, cy).
void DrawHull(Body& b, float cx, float cy, float length, float height, bool noseRight,
              const Palette& pal, KitRandom& r);
// The player's ship, nose right, at k times its sprite size; bank -1..1 turns it up or down.
void DrawShipBody(Body& b, float cx, float cy, float k, float bank, const Palette& pal);
// Text in the kit's stroke lettering: height is the cap height in pixels; returns the width.
float DrawStrokeText(Canvas& c, const char* text, float x, float y, float height, float weight,
                     Rgb fill, Rgb edge, bool measureOnly = false);
float StrokeTextWidth(const char* text, float height);
// Bright on black, for additive drawing: a glowing blob of the given colour.
void EnergyBall(Canvas& c, float cx, float cy, float r, Rgb rim, float intensity = 1);
