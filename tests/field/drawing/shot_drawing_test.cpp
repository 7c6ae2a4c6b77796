// The shots' drawing: enemy shots (bilinear pass, body, beam body and end once a part a frame,
// muzzle flash) and the ship's shots (body and muzzle flash at the ship).
#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

EnemyShot& PlaceShot(int slot) {
  EnemyShot& s = EnemyShots[slot];
  s.state = 2;
  s.type = 3;
  s.anim = 5;
  s.alpha = 200;
  s.additive = 1;
  s.rotated = 1;
  s.drawAngle = 256;
  s.scale = 150;
  s.x = 300;
  s.y = 150;
  s.drawMargin = 10;
  s.age = 2;
  s.spawnX = 280;
  s.spawnY = 150;
  s.spawnAngle = 512;
  s.beamEndX = s.beamEndY = kNoBeamEnd;
  s.beamImage = -1;
  s.linkObject = s.linkPart = s.ownerPool = s.ownerPartArray = -1;
  return s;
}

TEST(EnemyShotDrawing, BilinearPassWithBodyThenMuzzleInTheShotsBlend) {
  ResetDrawingScene();
  PlaceShot(5);
  EnemyShot& asleep = PlaceShot(6);
  asleep.state = 1;
  EnemyShot& away = PlaceShot(7);
  away.x = 700;
  DrawRecorder rec;
  DrawEnemyShots();
  ASSERT_EQ(rec.calls.size(), 6u);
  EXPECT_EQ(rec.calls[0].op, DrawOp::Filter);
  EXPECT_EQ(rec.calls[0].mode, 1);
  EXPECT_EQ(rec.calls[1].op, DrawOp::Blend);
  const DrawRecord& body = rec.calls[2];
  EXPECT_EQ(body.image, kEnemyShotCode + 3 * 12 + 5);
  EXPECT_EQ(body.x, 300);
  EXPECT_EQ(body.scale, 1.5);
  EXPECT_DOUBLE_EQ(body.angle, AngleToRadians(256));
  EXPECT_EQ(body.blendMode, kAdditiveBlend);
  EXPECT_EQ(body.blendValue, 200);
  EXPECT_EQ(body.filter, 1);
  const DrawRecord& muzzle = rec.calls[3];
  EXPECT_EQ(muzzle.image, kEnemyShotCode + 3 * 12 + 2);
  EXPECT_EQ(muzzle.x, 280);
  EXPECT_DOUBLE_EQ(muzzle.angle, AngleToRadians(512));
  EXPECT_EQ(muzzle.scale, 1.5);
  EXPECT_EQ(rec.calls[4].op, DrawOp::Blend);
  EXPECT_EQ(rec.calls[4].mode, kNoBlend);
  EXPECT_EQ(rec.calls[5].op, DrawOp::Filter);
  EXPECT_EQ(rec.calls[5].mode, 0);
}

TEST(EnemyShotDrawing, BodyMuzzleAndBlendByTheShotsWords) {
  struct Case {
    const char* what;
    int16_t alpha, anim, additive, rotated, age;
    std::vector<int> cells;  // of the images drawn
    int blendValue;
  };
  const Case cases[] = {
      {"no body while alpha is 0", 0, 5, 1, 1, 1, {1}, 0},
      {"no body for a negative anim", 90, -1, 1, 1, 1, {1}, 90},
      {"blend of a negative alpha", -300, 5, 1, 1, 1, {1}, 255},
      {"no blend when not additive", 90, 6, 0, 0, 4, {6}, 0},
      {"a frame past the row draws nothing", 90, 12, 0, 0, 4, {}, 0},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    EnemyShot& s = PlaceShot(0);
    s.alpha = c.alpha;
    s.anim = c.anim;
    s.additive = c.additive;
    s.rotated = c.rotated;
    s.age = c.age;
    DrawRecorder rec;
    DrawEnemyShots();
    std::vector<int> cells;
    for (const DrawRecord& d : rec.ImageDraws()) {
      cells.push_back(d.image - kEnemyShotCode - 3 * 12);
      EXPECT_EQ(d.blendMode, c.additive ? kAdditiveBlend : kNoBlend) << c.what;
      if (c.additive) { EXPECT_EQ(d.blendValue, c.blendValue) << c.what; }
      if (!c.rotated && d.image == kEnemyShotCode + 3 * 12 + c.anim) { EXPECT_EQ(d.angle, 0.0); }
    }
    EXPECT_EQ(cells, c.cells) << c.what;
    EXPECT_EQ(rec.blendMode, kNoBlend) << c.what;
  }
}

// A beam segment from (200, 100) to (400, 100) tied to part B 4 of pool 0's slot 2.
EnemyShot& PlaceBeam(int slot, int part) {
  EnemyShot& s = PlaceShot(slot);
  s.anim = 5;
  s.alpha = -200;  // the farthest segment hides its own sprite
  s.age = 100;
  s.drawAngle = 0;
  s.spawnX = 200;
  s.spawnY = 100;
  s.beamEndX = 400;
  s.beamEndY = 100;
  s.beamImage = 1;
  s.beamHalfWidth = 10;
  s.linkObject = 2;
  s.linkPart = static_cast<int16_t>(part);
  s.ownerPool = 0;
  s.ownerPartArray = kShotPartsB;
  EnemyPool0[2].state = 2;
  return s;
}

TEST(EnemyShotDrawing, BeamQuadCornersEndFlickerAndThePartsMark) {
  ResetDrawingScene();
  GameFrame = 13;  // end cell 8 + (13 / 2) mod 4 = 10
  PlaceBeam(0, 4);
  DrawRecorder rec;
  DrawEnemyShots();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 2u);
  const DrawRecord& quad = draws[0];
  ASSERT_EQ(quad.op, DrawOp::Quad);
  // The end and the spawn point moved along the angle + 256, then the spawn point and the end
  // along the angle - 256.
  const int corners[8] = {400, 110, 200, 110, 200, 90, 400, 90};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(quad.corners[i], corners[i]) << i;
  EXPECT_EQ(quad.image, kLaserCode + 1);
  EXPECT_EQ(quad.blendMode, kAdditiveBlend);
  EXPECT_EQ(quad.blendValue, 146);  // 2 x 200 - 254
  const DrawRecord& end = draws[1];
  EXPECT_EQ(end.image, kEnemyShotCode + 3 * 12 + 10);
  EXPECT_EQ(end.x, 400);
  EXPECT_EQ(end.y, 100);
  EXPECT_EQ(end.blendValue, 200);
  EXPECT_EQ(EnemyPool0[2].partsB[4].beamDrawn, 1);
}

TEST(EnemyShotDrawing, TwoBeamsOnOnePartDrawOneBodyAndOneEnd) {
  ResetDrawingScene();
  PlaceBeam(0, 4);
  PlaceBeam(1, 4);
  PlaceBeam(2, 5);
  DrawRecorder rec;
  DrawEnemyShots();
  int quads = 0, ends = 0;
  for (const DrawRecord& d : rec.ImageDraws()) {
    quads += d.op == DrawOp::Quad;
    ends += d.op == DrawOp::Rotated;
  }
  // One body and one end for part 4's two segments, one of each for part 5's.
  EXPECT_EQ(quads, 2);
  EXPECT_EQ(ends, 2);
  EXPECT_EQ(EnemyPool0[2].partsB[5].beamDrawn, 1);
}

TEST(EnemyShotDrawing, BeamCases) {
  struct Case {
    const char* what;
    double endX;
    int16_t beamImage, alpha, linkPart;
    bool quad, end;
  };
  const Case cases[] = {
      {"end x 0 is no beam", 0, 1, 200, 4, false, false},
      {"end x just above 0", 0.5, 1, 200, 4, true, true},
      {"no beam end", kNoBeamEnd, 1, 200, 4, false, false},
      {"no beam image: the end only", 400, -1, 200, 4, false, true},
      {"a laser past the table: the end only", 400, 3, 200, 4, false, true},
      {"too faint for a body", 400, 1, 127, 4, false, true},
      {"the faintest body", 400, 1, 128, 4, true, true},
      {"no part to hang on", 400, 1, 200, -1, false, false},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    EnemyShot& s = PlaceBeam(0, 4);
    s.beamEndX = c.endX;
    s.beamImage = c.beamImage;
    s.alpha = c.alpha;
    s.anim = -1;
    s.linkPart = c.linkPart;
    DrawRecorder rec;
    DrawEnemyShots();
    bool quad = false, end = false;
    for (const DrawRecord& d : rec.ImageDraws()) {
      quad |= d.op == DrawOp::Quad;
      end |= d.op == DrawOp::Rotated;
      if (d.op == DrawOp::Quad) { EXPECT_EQ(d.blendValue, std::min(2 * c.alpha - 254, 255)); }
    }
    EXPECT_EQ(quad, c.quad) << c.what;
    EXPECT_EQ(end, c.end) << c.what;
    EXPECT_EQ(EnemyPool0[2].partsB[4].beamDrawn, c.end ? 1 : 0) << c.what;
    EXPECT_EQ(rec.blendMode, kNoBlend) << c.what;
  }
}

TEST(PlayerShotDrawing, BodyAtTheShotAndMuzzleFlashAtTheShip) {
  struct Case {
    const char* what;
    int32_t frame;
    int16_t anim, age, additive;
    std::vector<int> cells;
  };
  const Case cases[] = {
      {"body and flash", 3, 5, 1, 1, {5, 1}},
      {"no body on frame 0", 0, 5, 1, 1, {1}},
      {"no body for a negative anim", 3, -1, 0, 0, {0}},
      {"no flash from age 4", 3, 8, 4, 0, {8}},
      {"a frame past the band draws nothing", 3, 12, 100, 1, {}},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    PlayerShot& s = PlayerShots[70];
    s.state = 2;
    s.type = 2;
    s.imageLevel = 1;
    s.frame = c.frame;
    s.anim = c.anim;
    s.age = c.age;
    s.additive = c.additive;
    s.alpha = 180;
    s.scale = 2.0;
    s.angle = 100;
    s.x = 400.7;
    s.y = 120;
    s.drawMargin = 20;
    s.flashOffsetX = 30;
    s.flashOffsetY = -5;
    s.flashAngle = 768;
    PlayerShots[3] = s;
    PlayerShots[3].state = 1;  // fired this frame: not yet drawn
    DrawRecorder rec;
    DrawPlayerShots();
    std::vector<int> cells;
    for (const DrawRecord& d : rec.ImageDraws()) {
      const int cell = d.image - (kPlayerShotCode + 2 * 36 + 12);
      cells.push_back(cell);
      EXPECT_EQ(d.blendMode, c.additive ? kAdditiveBlend : kNoBlend) << c.what;
      if (c.additive) { EXPECT_EQ(d.blendValue, 180); }
      if (cell == c.anim) {
        EXPECT_EQ(d.x, 400);
        EXPECT_EQ(d.scale, 2.0);
        EXPECT_DOUBLE_EQ(d.angle, AngleToRadians(100));
      } else {
        EXPECT_EQ(d.x, 350);
        EXPECT_EQ(d.y, 195);
        EXPECT_EQ(d.scale, 1.0);
        EXPECT_DOUBLE_EQ(d.angle, AngleToRadians(768));
      }
    }
    EXPECT_EQ(cells, c.cells) << c.what;
    EXPECT_EQ(rec.blendMode, kNoBlend) << c.what;
  }
}

}  // namespace
