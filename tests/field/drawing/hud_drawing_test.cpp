// The HUD: the shake's uncovered edges on every stage, and on stages 1 and 2 the fading top
// texts, the board with lives, speed and bonus marks, the weapon panels with their MAX bars,
// the dimmed sub panel and the charge gauge.
#include <gtest/gtest.h>

#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

struct Box {
  int x1, y1, x2, y2;
  uint32_t colour;
  int filled;
  bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "(" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ") " << std::hex
             << b.colour << std::dec << (b.filled ? " filled" : " outline");
}

std::vector<Box> Boxes(const DrawRecorder& rec) {
  std::vector<Box> out;
  for (const DrawRecord& r : rec.Rects()) out.push_back({r.x, r.y, r.x2, r.y2, r.colour, r.filled});
  return out;
}

// The boxes with corners inside the given rectangle.
std::vector<Box> BoxesWithin(const DrawRecorder& rec, int x1, int y1, int x2, int y2) {
  std::vector<Box> out;
  for (const Box& b : Boxes(rec)) {
    if (b.x1 >= x1 && b.y1 >= y1 && b.x2 <= x2 && b.y2 <= y2) out.push_back(b);
  }
  return out;
}

TEST(HudDrawing, ShakeEdgesOnEveryStageAndNothingElseFromStageThree) {
  struct Case {
    const char* what;
    int16_t stage;
    int amplitude, shakeX, shakeY;
    double offsetX, offsetY;
    std::vector<Box> edges;
  };
  const Case cases[] = {
      {"no amplitude, no edges", 3, 0, 3, 4, 0, 0, {}},
      {"right and down uncover the top left",
       3,
       2,
       3,
       4,
       0,
       0,
       {{0, 0, 3, 400, 0, 1}, {0, 0, 640, 4, 0, 1}}},
      {"left and up uncover the map's far edges",
       5,
       2,
       -3,
       -4,
       0,
       0,
       {{637, 0, 640, 400, 0, 1}, {0, 396, 640, 400, 0, 1}}},
      {"inside the map the edge boxes are empty", 7, 2, 2, 0, -85.5, 0, {{0, 0, -3, 400, 0, 1}}},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    CurrentStage = c.stage;
    ScreenShake.amplitude = c.amplitude;
    ScreenShake.offsetX = c.shakeX;
    ScreenShake.offsetY = c.shakeY;
    DrawOffsetX = c.offsetX;
    DrawOffsetY = c.offsetY;
    DrawRecorder rec;
    DrawPlayFieldHud();
    EXPECT_EQ(Boxes(rec), c.edges) << c.what;
    EXPECT_EQ(rec.calls.size(), c.edges.size()) << c.what;  // no HUD
  }
}

TEST(HudDrawing, TopTextsAndDigitsFadeNearTheTop) {
  struct Case {
    double shipY;
    int16_t wait;
    int32_t score, high;
    int alpha;  // -1 no blend
    int32_t shownHigh;
  };
  const Case cases[] = {
      {100, 17, 12345, 99999, 200, 99999},
      {127.9, 17, 12345, 12345, 254, 12345},
      {128, 18, 200000, 99999, -1, 200000},
      {-5, 17, 0, 0, 0, 0},  // above the top: alpha 0
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    PlayerY = c.shipY;
    FrameWaitMs = c.wait;
    Score = c.score;
    HighScores[1] = c.high;
    FpsValue = 59;
    Lives = 0;
    DrawRecorder rec;
    DrawPlayFieldHud();
    std::vector<DrawRecord> texts = rec.Texts();
    std::vector<std::string> expected = {
        "FPS+", "60", "HI-SCORE+", std::to_string(c.shownHigh), "SCORE+", std::to_string(c.score),
        "0"};
    if (c.wait > 17) expected.erase(expected.begin(), expected.begin() + 2);
    ASSERT_GE(texts.size(), expected.size()) << c.shipY;
    for (size_t i = 0; i < expected.size(); ++i) {
      const DrawRecord& t = texts[i];
      EXPECT_EQ(t.op == DrawOp::Text ? t.text : std::to_string(t.value), expected[i]) << c.shipY;
      EXPECT_EQ(t.spacing, 14);
      const bool top = i + 1 < expected.size();
      if (top) { EXPECT_EQ(t.y, 5); }
      if (top) { EXPECT_EQ(t.blendMode, c.alpha < 0 ? kNoBlend : kAlphaBlend) << expected[i]; }
      if (top && c.alpha >= 0) { EXPECT_EQ(t.blendValue, c.alpha) << expected[i]; }
    }
    // Digits: fps in 6, high score in 17, score in 14 at the texts' places; lives - 1 (not
    // below 0) in 8 at (-85, 420), after the blend is back.
    const size_t n = expected.size();
    EXPECT_EQ(texts[n - 4].digits, 17);
    EXPECT_EQ(texts[n - 4].x, 240);
    EXPECT_EQ(texts[n - 2].digits, 14);
    EXPECT_EQ(texts[n - 2].x, 5);
    EXPECT_EQ(texts[n - 1].digits, 8);
    EXPECT_EQ(texts[n - 1].x, -85);
    EXPECT_EQ(texts[n - 1].y, 420);
    EXPECT_EQ(texts[n - 1].blendMode, kNoBlend);
    if (c.wait <= 17) {
      EXPECT_EQ(texts[1].digits, 6);
      EXPECT_EQ(texts[1].x, 540);
    }
  }
}

TEST(HudDrawing, BoardSpeedAndBonusMarks) {
  ResetDrawingScene();
  ShipSpeed = 3;
  StageBonusCount = 2;
  Lives = 5;
  DrawRecorder rec;
  DrawPlayFieldHud();
  std::vector<DrawRecord> marks;
  for (const DrawRecord& d : rec.ImageDraws()) {
    if (d.image == kBoardCode || d.image == kSpeedCode || d.image == kBonusCode) marks.push_back(d);
  }
  ASSERT_EQ(marks.size(), 6u);
  EXPECT_EQ(marks[0].image, kBoardCode);
  EXPECT_EQ(marks[0].y, 400);
  EXPECT_EQ(marks[0].transparent, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(marks[1 + i].image, kSpeedCode);
    EXPECT_EQ(marks[1 + i].x, 73 + 17 * i);
    EXPECT_EQ(marks[1 + i].y, 408);
  }
  EXPECT_EQ(marks[4].x, 7);
  EXPECT_EQ(marks[5].x, 19);
  EXPECT_EQ(marks[5].y, 447);
  bool lives = false;
  for (const DrawRecord& t : rec.Texts())
    lives |= t.op == DrawOp::Number && t.y == 420 && t.value == 4;
  EXPECT_TRUE(lives);
}

TEST(HudDrawing, WeaponPanelsMaxBarAndTheDimmedSubPanel) {
  ResetDrawingScene();
  SelectedMainWeapon = 1;
  MainWeaponLevels[1] = 8;
  MainWeaponTimers[1] = 1500;
  SelectedSubWeapons[0] = 2;
  SelectedSubWeapons[1] = 5;
  SubWeaponLevels[2] = 3;
  SubWeaponLevels[5] = 0;
  ActiveSubSlot = 0;
  SelectedChargeWeapon = 2;
  ChargeWeaponLevels[2] = 8;
  ChargeWeaponTimers[2] = 0;
  DrawRecorder rec;
  DrawPlayFieldHud();

  const uint32_t main = 0x8B0314, sub = 0x09FC6E, charge = 0xE9FF19, ground = 0x000313;
  EXPECT_EQ(BoxesWithin(rec, 150, 455, 210, 480),
            (std::vector<Box>{{152, 458, 206, 473, ground, 1},
                              {152, 458, 206, 473, main, 0},
                              {152, 458, 179, 473, main, 1}}));  // 1500 of 3000
  EXPECT_EQ(BoxesWithin(rec, 240, 455, 300, 480), (std::vector<Box>{{242, 459, 247, 473, sub, 1},
                                                                    {249, 459, 254, 473, sub, 1},
                                                                    {256, 459, 261, 473, sub, 1}}));
  EXPECT_TRUE(BoxesWithin(rec, 323, 455, 400, 480).empty());  // level 0
  EXPECT_EQ(BoxesWithin(rec, 413, 455, 480, 480),
            (std::vector<Box>{{415, 458, 469, 473, ground, 1},
                              {415, 458, 469, 473, charge, 0},
                              {415, 458, 415, 473, charge, 1}}));

  // Icons main, sub, sub, the dimmed inactive sub (slot 1 while slot 0 is active), charge.
  std::vector<DrawRecord> icons;
  for (const DrawRecord& d : rec.ImageDraws()) {
    if (d.image >= kHideCode && d.image < kWeaponIconCode + 16) icons.push_back(d);
  }
  ASSERT_EQ(icons.size(), 5u);
  const int images[] = {kWeaponIconCode + 1, kWeaponIconCode + 6, kWeaponIconCode + 9,
                        kHideCode + 1, kWeaponIconCode + 14};
  const int xs[] = {147, 237, 320, 302, 410};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(icons[i].image, images[i]) << i;
    EXPECT_EQ(icons[i].x, xs[i]) << i;
    EXPECT_EQ(icons[i].y, i == 3 ? 402 : 404) << i;
    EXPECT_EQ(icons[i].blendMode, i == 3 ? kAlphaBlend : kNoBlend) << i;
  }
  EXPECT_EQ(icons[3].blendValue, 200);
  int maxTexts = 0;
  for (const DrawRecord& t : rec.Texts()) {
    if (t.text == "MAX") {
      EXPECT_TRUE((t.x == 155 || t.x == 418) && t.y == 456) << t.x;
      ++maxTexts;
    }
  }
  EXPECT_EQ(maxTexts, 2);

  ActiveSubSlot = 1;
  rec.Clear();
  DrawPlayFieldHud();
  bool dimmedFirst = false;
  for (const DrawRecord& d : rec.ImageDraws()) dimmedFirst |= d.image == kHideCode && d.x == 235;
  EXPECT_TRUE(dimmedFirst);
}

// A selection outside its table shows no panel and reads nothing past the tables.
TEST(HudDrawing, SelectionsOutsideTheirTablesShowNoPanel) {
  ResetDrawingScene();
  SelectedMainWeapon = 4;
  SelectedSubWeapons[0] = -1;
  SelectedSubWeapons[1] = 6;
  SelectedChargeWeapon = 3;
  DrawRecorder rec;
  DrawPlayFieldHud();
  for (const DrawRecord& d : rec.ImageDraws()) {
    EXPECT_FALSE(d.image >= kWeaponIconCode && d.image < kWeaponIconCode + 16) << d.image;
  }
  EXPECT_TRUE(BoxesWithin(rec, 150, 455, 480, 480).empty());
}

TEST(HudDrawing, ChargeGaugeStopsOnePixelShortUntilFull) {
  struct Case {
    int16_t max, gauge;
    int outlineRight, fillRight;
  };
  const Case cases[] = {
      {1800, 0, 633, 482},    {1800, 900, 633, 557},  {1800, 1799, 633, 631},
      {1800, 1800, 633, 632}, {1440, 1439, 603, 601}, {1260, 1260, 588, 587},
      {0, 0, 483, 482},  // no gauge size yet: no division
  };
  const uint32_t colour = 0xE9FF19;
  for (const Case& c : cases) {
    ResetDrawingScene();
    ChargeGaugeMax = c.max;
    ChargeGauge = c.gauge;
    DrawRecorder rec;
    DrawPlayFieldHud();
    EXPECT_EQ(BoxesWithin(rec, 481, 432, 640, 456),
              (std::vector<Box>{{481, 432, c.outlineRight, 456, colour, 0},
                                {482, 433, c.fillRight, 455, colour, 1}}))
        << c.max << " " << c.gauge;
  }
}

}  // namespace
