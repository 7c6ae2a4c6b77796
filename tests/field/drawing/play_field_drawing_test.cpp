// The whole frame's drawing: the back-to-front order of every stage, the flashes, curtains,
// START and PAUSE, one frame in eight at fast forward, and the game state untouched by drawing.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <utility>

#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

void PlaceObject(EnemyObject& o, double x) {
  o.state = 2;
  o.type = 1;
  o.imageFrame = 0;
  o.x = x;
  o.y = 100;
  o.cullMarginX = o.cullMarginY = 32;
  o.blend = 256;
  o.brightness = 256;
}

// One of everything the frame draws, in view.
void PopulateScene() {
  BackMapLayer0[0][0] = 1;
  BackMapLayer1[0][0] = 2;
  MainMapLayer0[0][0] = 3;
  MainMapLayer1[0][1] = 4;
  PlaceObject(EnemyPool0[0], 100);
  PlaceObject(EnemyPool1[0], 150);
  PlaceObject(EnemyPool2[0], 200);
  PlaceObject(EnemyPool3[0], 250);
  PlayerShot& p = PlayerShots[0];
  p.state = 2;
  p.frame = 1;
  p.anim = 4;
  p.age = 100;
  p.x = 200;
  p.y = 150;
  p.drawMargin = 10;
  p.scale = 1;
  EnemyShot& e = EnemyShots[0];
  e.state = 2;
  e.anim = 4;
  e.alpha = 255;
  e.age = 100;
  e.x = 300;
  e.y = 100;
  e.drawMargin = 10;
  e.scale = 100;
  e.beamEndX = kNoBeamEnd;
  Effect& fx = Effects[0];
  fx.state = 2;
  fx.x = 300;
  fx.y = 200;
  fx.margin = 10;
  fx.scale = 1;
  Item& item = Items[0];
  item.state = 2;
  item.x = 400;
  item.y = 200;
  item.drawMarginX = item.drawMarginY = 20;
  InfoPopups[0] = {2, 0, 0, 400, 250, 1.0, 0};
  ScreenFlashWhite = 100;
  ScreenFlashRed = 100;
  StageWork[kStageSixCounter] = 100;
}

const std::pair<int, const char*> kTableNames[] = {
    {kEnemy0Code, "pool0"},     {kEnemy1Code, "pool1"},    {kEnemy2Code, "pool2"},
    {kEnemy3Code, "pool3"},     {kEnemyShotCode, "eshot"}, {kEffectCode, "effect"},
    {kPlayerShotCode, "pshot"}, {kItemCode, "item"},       {kInfoCode, "popup"},
    {kBgChip1Code, "back0"},    {kBgChip2Code, "back1"},   {kMainChip2Code, "main0"},
    {kMainChip1Code, "main1"},  {kShipCode, "ship"},       {kShipJetSmallCode, "ship"},
    {kBoardCode, "hud"},
};

// The frame's calls as names of what they draw, repeats merged; texts, the HUD's panels and
// other boxes left out.
std::string Layers(const DrawRecorder& rec) {
  std::vector<std::string> names;
  for (const DrawRecord& r : rec.calls) {
    std::string name;
    if (r.op == DrawOp::Credits) name = "credits";
    if (r.op == DrawOp::Rect && r.x == 0 && r.y == 0 && r.x2 == 640 && r.y2 == 480)
      name = r.colour == 0xFF0000 ? "red" : r.colour == 0xFFFFFF ? "white" : "shade";
    if (r.op == DrawOp::At || r.op == DrawOp::Rotated || r.op == DrawOp::Quad) {
      for (const auto& [code, table] : kTableNames) {
        if (r.image / 10000 * 10000 == code) name = table;
      }
    }
    if (!name.empty() && (names.empty() || names.back() != name)) names.push_back(name);
  }
  std::ostringstream out;
  for (size_t i = 0; i < names.size(); ++i) out << (i ? " " : "") << names[i];
  return out.str();
}

TEST(PlayFieldDrawing, BackToFrontOrderOfEveryStage) {
  struct Case {
    int16_t stage, boss;
    uint8_t active;
    int32_t sixCounter;
    const char* layers;
  };
  const Case cases[] = {
      {1, 0, 1, 0,
       "back0 pool3 back1 main0 white pool0 pool1 pshot pool2 effect item ship eshot main1 popup "
       "hud credits"},
      {1, 1, 1, 0,
       "back0 pool3 back1 main0 white pshot pool0 pool1 pool2 effect item ship eshot main1 popup "
       "hud credits"},
      {1, -1, 1, 0,
       "back0 pool3 back1 main0 white pshot pool0 pool1 pool2 effect item ship eshot main1 popup "
       "hud credits"},
      {2, 0, 1, 0,
       "back0 back1 main0 white pshot pool0 pool1 pool2 effect item ship eshot main1 popup hud "
       "credits"},
      {2, 0, 0, 0,
       "back0 back1 main0 white pool0 pool1 pool2 effect item eshot main1 popup hud credits"},
      {3, 0, 1, 0,
       "back0 back1 main0 pshot pool0 pool1 pool2 effect item ship eshot white popup credits"},
      {4, 0, 1, 0,
       "back0 back1 main0 red pshot pool0 pool1 pool2 effect item ship eshot popup credits"},
      {5, 0, 1, 0,
       "back0 back1 main0 pshot pool0 pool1 pool2 effect item ship eshot pool3 popup credits"},
      {5, 1, 1, 0,
       "back0 back1 main0 pshot pool0 pool1 pool2 effect item ship eshot popup credits"},
      {6, 0, 1, 100,
       "back0 back1 main0 pool3 pshot pool0 pool1 pool2 effect item ship eshot popup credits"},
      {6, 0, 1, 99,
       "back0 back1 main0 pshot pool0 pool1 pool2 effect item ship eshot popup credits"},
      {7, 0, 0, 0,
       "back0 back1 main0 pshot pool0 pool1 pool2 effect item ship eshot popup credits"},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    PopulateScene();
    CurrentStage = c.stage;
    BossState = c.boss;
    PlayerActive = c.active;
    StageWork[kStageSixCounter] = c.sixCounter;
    DrawRecorder rec;
    DrawPlayField();
    EXPECT_EQ(Layers(rec), c.layers) << "stage " << c.stage << ", boss " << c.boss;
    ASSERT_FALSE(rec.calls.empty());
    const DrawRecord& clip = rec.calls[0];
    EXPECT_EQ(clip.op, DrawOp::Clip);
    EXPECT_EQ(clip.x2, 640);
    EXPECT_EQ(clip.y2, 480);
    EXPECT_EQ(rec.calls.back().op, DrawOp::Credits);
    EXPECT_EQ(rec.blendMode, kNoBlend);
    EXPECT_EQ(rec.brightness, 255);
  }
}

TEST(PlayFieldDrawing, FlashesAreAdditiveAtTheirLevelAndOnlyAboveZero) {
  struct Case {
    int16_t stage, white, red;
    const char* colours;
  };
  for (const Case& c : {Case{2, 60, 90, "white"}, Case{2, 0, 90, ""}, Case{4, 60, 90, "red"},
                        Case{4, 60, -4, ""}, Case{3, 60, 90, "white"}, Case{5, 60, 90, ""}}) {
    ResetDrawingScene();
    CurrentStage = c.stage;
    ScreenFlashWhite = c.white;
    ScreenFlashRed = c.red;
    DrawRecorder rec;
    DrawPlayField();
    std::string colours;
    for (const DrawRecord& r : rec.Rects()) {
      if (r.x2 != 640 || r.y2 != 480) continue;
      colours += r.colour == 0xFF0000 ? "red" : "white";
      EXPECT_EQ(r.filled, 1);
      EXPECT_EQ(r.blendMode, kAdditiveBlend);
      EXPECT_EQ(r.blendValue, r.colour == 0xFF0000 ? c.red : c.white);
    }
    EXPECT_EQ(colours, c.colours) << c.stage;
    EXPECT_EQ(rec.blendMode, kNoBlend);
  }
}

// The play area's columns that black boxes of the given rows cover.
int CoveredColumns(const DrawRecorder& rec, bool* centreOpen) {
  bool covered[640] = {};
  for (const DrawRecord& r : rec.Rects()) {
    if (r.colour != 0 || r.y != 0 || r.y2 != 400) continue;
    for (int x = std::max(r.x, 0); x < std::min(r.x2, 640); ++x) covered[x] = true;
  }
  *centreOpen = !covered[319] && !covered[320];
  return static_cast<int>(std::count(covered, covered + 640, true));
}

TEST(PlayFieldDrawing, CurtainsStartAndPause) {
  struct Case {
    int32_t frame;
    uint8_t paused;
    int covered;
    const char* texts;
  };
  const Case cases[] = {
      {-80, 0, 640, "START"}, {-1, 1, 640, "START PAUSE"}, {0, 0, 640, ""}, {1, 0, 600, ""},
      {15, 0, 40, ""},        {16, 1, 0, "PAUSE"},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    CurrentStage = 3;  // no HUD texts
    GameFrame = c.frame;
    GamePaused = c.paused;
    DrawRecorder rec;
    DrawPlayField();
    bool centreOpen = false;
    EXPECT_EQ(CoveredColumns(rec, &centreOpen), c.covered) << c.frame;
    if (c.covered < 640) { EXPECT_TRUE(centreOpen) << c.frame; }
    std::string texts;
    for (const DrawRecord& t : rec.Texts()) {
      texts += (texts.empty() ? "" : " ") + t.text;
      EXPECT_EQ(t.x, 280);
      EXPECT_EQ(t.y, 240);
      EXPECT_EQ(t.spacing, 14);
      EXPECT_EQ(t.blendMode, kNoBlend);
    }
    EXPECT_EQ(texts, c.texts) << c.frame;
    // The pause shade: black at alpha 128 over the whole screen.
    int shades = 0;
    for (const DrawRecord& r : rec.Rects()) {
      if (r.y2 != 480) continue;
      ++shades;
      EXPECT_EQ(r.colour, 0u);
      EXPECT_EQ(r.blendMode, kAlphaBlend);
      EXPECT_EQ(r.blendValue, 128);
    }
    EXPECT_EQ(shades, c.paused) << c.frame;
  }
}

TEST(PlayFieldDrawing, OneFrameInEightAtFastForward) {
  ResetDrawingScene();
  FastForwardRequest = 1;
  DrawRecorder rec;
  std::vector<int> drawn;
  for (int frame = 0; frame < 24; ++frame) {
    rec.Clear();
    DrawPlayField();
    if (!rec.calls.empty()) drawn.push_back(frame);
    EXPECT_EQ(FrameSkipPhase, (frame + 1) % 8);
  }
  EXPECT_EQ(drawn, (std::vector<int>{7, 15, 23}));
  // A phase left standing without the request keeps the frame undrawn.
  FastForwardRequest = 0;
  FrameSkipPhase = 3;
  rec.Clear();
  DrawPlayField();
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_EQ(FrameSkipPhase, 3);
}

// Everything drawn at once (beams, flashes, shake, curtains, pause, HUD): the run's digest is
// the same before and after, and the whole state differs only by the parts' beam marks.
TEST(PlayFieldDrawing, DrawingLeavesTheGameStateAlone) {
  for (int16_t stage = 1; stage <= 7; ++stage) {
    ResetDrawingScene();
    PopulateScene();
    CurrentStage = stage;
    GameFrame = -3;
    GamePaused = 1;
    ScreenShake = {1, 4, 30, 5, -3, 2};
    EnemyPool0[0].hitFlash = 32;
    EnemyPool0[0].partCountB = 1;
    EnemyPart& part = EnemyPool0[0].partsB[0];
    part.state = 2;
    part.imageFrame = 1;
    part.cullMarginX = -1;
    for (int slot : {10, 11}) {
      EnemyShot& s = EnemyShots[slot];
      s = EnemyShots[0];
      s.beamEndX = 500;
      s.beamEndY = 100;
      s.spawnX = 300;
      s.spawnY = 100;
      s.beamImage = 0;
      s.beamHalfWidth = 8;
      s.linkObject = 0;
      s.linkPart = 0;
      s.ownerPool = 0;
      s.ownerPartArray = kShotPartsB;
    }
    const uint64_t run = DigestGameState(DigestScope::Run).value;
    const uint64_t all = DigestGameState(DigestScope::All).value;
    {
      DrawRecorder rec;
      DrawPlayField();
      EXPECT_FALSE(rec.ImageDraws().empty());
    }
    EXPECT_EQ(DigestGameState(DigestScope::Run).value, run) << stage;
    EXPECT_EQ(part.beamDrawn, 1) << stage;
    EXPECT_NE(DigestGameState(DigestScope::All).value, all) << stage;
    part.beamDrawn = 0;
    EXPECT_EQ(DigestGameState(DigestScope::All).value, all) << stage;
  }
}

}  // namespace
