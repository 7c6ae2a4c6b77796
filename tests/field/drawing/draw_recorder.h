// The drawing tests' stand-in for the graphics layer: a recorder swapped into FieldDraw that
// keeps every call in order with the blend, brightness and filter in force at each draw, image
// tables filled with codes that name their table and entry, and a field state with nothing in
// it to draw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class DrawOp {
  Blend,
  Brightness,
  Filter,
  Clip,
  At,
  Rotated,
  Quad,
  Rect,
  Text,
  Number,
  Credits
};

struct DrawRecord {
  DrawOp op;
  int x = 0, y = 0;    // At, Rotated, Text, Number; Rect's first corner
  int x2 = 0, y2 = 0;  // Rect's second corner
  int corners[8] = {};
  int image = 0;
  int transparent = 0, turn = 0;
  double scale = 0, angle = 0;
  uint32_t colour = 0;  // 0xRRGGBB
  int filled = 0;
  std::string text;
  int32_t value = 0;  // Number; the mode's value for Blend, the level for Brightness
  int digits = 0, spacing = 0;
  int mode = 0;  // Blend mode, Filter mode
  // What was in force when the call was made.
  int blendMode = 0, blendValue = 0, brightness = 255, filter = 0;
};

// Codes of the image tables: base + flat index (type x cells + frame).
enum ImageTableCode : int {
  kEnemy0Code = 10000,
  kEnemy1Code = 20000,
  kEnemy2Code = 30000,
  kEnemy3Code = 40000,
  kPartCode = 50000,
  kEnemyShotCode = 60000,
  kEffectCode = 70000,
  kPlayerShotCode = 80000,
  kItemCode = 90000,
  kInfoCode = 100000,
  kLaserCode = 110000,
  kBgChip1Code = 120000,
  kBgChip2Code = 130000,
  kMainChip1Code = 140000,
  kMainChip2Code = 150000,
  kShipCode = 160000,
  kShipJetCode = 170000,
  kShipJetSmallCode = 180000,
  kShieldCode = 190000,
  kChargeImageCode = 200000,
  kBoardCode = 210000,
  kSpeedCode = 220000,
  kBonusCode = 230000,
  kHideCode = 240000,
  kWeaponIconCode = 250000,
};

// Installs itself in FieldDraw (and puts the defaults back when destroyed); one at a time.
class DrawRecorder {
 public:
  DrawRecorder();
  ~DrawRecorder();
  DrawRecorder(const DrawRecorder&) = delete;
  DrawRecorder& operator=(const DrawRecorder&) = delete;

  std::vector<DrawRecord> calls;
  // The image draws (At, Rotated, Quad) in order.
  std::vector<DrawRecord> ImageDraws() const;
  // The images drawn, in order.
  std::vector<int> Images() const;
  // The filled or outlined boxes, in order.
  std::vector<DrawRecord> Rects() const;
  // The texts and numbers, in order.
  std::vector<DrawRecord> Texts() const;
  void Clear() { calls.clear(); }

  int blendMode = 0, blendValue = 0, brightness = 255, filter = 0;
};

// Every image table entry holds its code.
void FillImageTablesWithCodes();
// The game and the field reset (trigonometry built, a new run's weapon block), the image
// tables coded, and the field emptied of everything drawable: a 16 x 10 main map and a 24 x 5
// background without chips, the camera at the origin, no shake, the ship at (320, 200) on
// stage 2 at GameFrame 100 with 3 lives and a gauge of 1800.
void ResetDrawingScene();
