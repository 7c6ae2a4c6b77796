// World-space draws (offsets, shake, truncation), the brightness clamp, the bounded image
// lookups, and the enemy pools: parts behind, body, parts in front, with culling, blends,
// brightness and hit flashes.
#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

TEST(WorldDrawing, OffsetsAndShakeAreAddedThenTruncatedTowardZero) {
  struct Case {
    double offsetX, offsetY;
    int shakeX, shakeY;
    double x, y;
    int screenX, screenY;
  };
  const Case cases[] = {
      {-100.5, 20.25, 3, -2, 150.9, 10.8, 53, 29},
      {0, 0, 0, 0, -3.7, -0.5, -3, 0},  // toward zero, not down
      {0, 0, 5, -5, 10, 10, 15, 5},
      {-1000, -40, 0, 0, 1000.99, 40.01, 0, 0},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    DrawRecorder rec;
    DrawOffsetX = c.offsetX;
    DrawOffsetY = c.offsetY;
    ScreenShake.offsetX = c.shakeX;
    ScreenShake.offsetY = c.shakeY;
    DrawAtWorld(c.x, c.y, 1.5, 0.25, 77, 1, 1);
    DrawQuadAtWorld(c.x, c.y, c.x + 1, c.y, c.x + 1, c.y + 1, c.x, c.y + 1, 78, 0);
    ASSERT_EQ(rec.calls.size(), 2u);
    const DrawRecord& r = rec.calls[0];
    EXPECT_EQ(r.op, DrawOp::Rotated);
    EXPECT_EQ(r.x, c.screenX) << c.x;
    EXPECT_EQ(r.y, c.screenY) << c.y;
    EXPECT_EQ(r.scale, 1.5);
    EXPECT_EQ(r.angle, 0.25);
    EXPECT_EQ(r.image, 77);
    EXPECT_EQ(r.turn, 1);
    const DrawRecord& q = rec.calls[1];
    EXPECT_EQ(q.op, DrawOp::Quad);
    EXPECT_EQ(q.corners[0], c.screenX);
    EXPECT_EQ(q.corners[1], c.screenY);
    EXPECT_EQ(q.corners[4], ToPixel(c.shakeX + (c.x + 1) + c.offsetX));
    EXPECT_EQ(q.corners[7], ToPixel(c.shakeY + (c.y + 1) + c.offsetY));
    EXPECT_EQ(q.image, 78);
  }
}

TEST(WorldDrawing, BrightnessIsClampedBelowAndLeftAloneFrom256) {
  struct Case {
    int v;
    bool set;
    int level;
  };
  for (const Case& c : {Case{-5, true, 0}, Case{0, true, 0}, Case{255, true, 255},
                        Case{256, false, 0}, Case{1000, false, 0}}) {
    DrawRecorder rec;
    EXPECT_EQ(SetClampedBrightness(c.v), c.set) << c.v;
    ASSERT_EQ(rec.calls.size(), c.set ? 1u : 0u) << c.v;
    if (c.set) { EXPECT_EQ(rec.calls[0].value, c.level); }
  }
}

TEST(WorldDrawing, FrameCyclesStayInZeroToThreeForNegativeFrames) {
  struct Case {
    int32_t frame;
    int divisor, cycle;
  };
  for (const Case& c : {Case{0, 3, 0}, Case{11, 3, 3}, Case{12, 3, 0}, Case{-1, 3, 0},
                        Case{-4, 3, 3}, Case{-80, 3, 2}, Case{-80, 2, 0}, Case{-3, 2, 3}}) {
    GameFrame = c.frame;
    EXPECT_EQ(AnimationCycle4(c.divisor), c.cycle) << c.frame << " / " << c.divisor;
  }
}

// Outside a table nothing is found, and a frame past a row's cells does not run into the next
// type's row.
TEST(WorldDrawing, ImageLookupsStayInsideTheirTables) {
  FillImageTablesWithCodes();
  struct Case {
    const char* what;
    bool (*lookup)(int32_t, int32_t, int32_t*);
    int32_t row, cell;
    int code;  // -1 none
  };
  auto pool0 = [](int32_t t, int32_t f, int32_t* i) { return EnemyBodyImage(1, t, f, i); };
  auto pool2 = [](int32_t t, int32_t f, int32_t* i) { return EnemyBodyImage(3, t, f, i); };
  auto pool3 = [](int32_t t, int32_t f, int32_t* i) { return EnemyBodyImage(4, t, f, i); };
  auto band1 = [](int32_t t, int32_t f, int32_t* i) { return PlayerShotImage(t, 1, f, i); };
  auto band3 = [](int32_t t, int32_t f, int32_t* i) { return PlayerShotImage(t, 3, f, i); };
  const Case cases[] = {
      {"pool 0 last type, last frame", pool0, 19, 15, kEnemy0Code + 19 * 16 + 15},
      {"pool 0 type 20", pool0, 20, 0, -1},
      {"pool 0 frame 16", pool0, 0, 16, -1},
      {"pool 0 negative type", pool0, -1, 3, -1},
      {"pool 2 has 8 types", pool2, 8, 0, -1},
      {"pool 2 type 7", pool2, 7, 1, kEnemy2Code + 7 * 16 + 1},
      {"pool 3 type 15", pool3, 15, 15, kEnemy3Code + 255},
      {"part 31", PartImage, 31, 15, kPartCode + 31 * 16 + 15},
      {"part 32", PartImage, 32, 0, -1},
      {"part frame 16", PartImage, 0, 16, -1},
      {"shot 26", EnemyShotImage, 26, 11, kEnemyShotCode + 26 * 12 + 11},
      {"shot frame 12", EnemyShotImage, 0, 12, -1},
      {"shot 27", EnemyShotImage, 27, 0, -1},
      {"effect 34", EffectImage, 34, 11, kEffectCode + 34 * 12 + 11},
      {"effect frame 12", EffectImage, 3, 12, -1},
      {"effect 35", EffectImage, 35, 0, -1},
      {"player shot 17 band 1", band1, 17, 11, kPlayerShotCode + 17 * 36 + 12 + 11},
      {"player shot 18", band1, 18, 0, -1},
      {"player shot frame 12", band1, 0, 12, -1},
      {"player shot band 3", band3, 0, 0, -1},
  };
  for (const Case& c : cases) {
    int32_t image = -1;
    EXPECT_EQ(c.lookup(c.row, c.cell, &image), c.code >= 0) << c.what;
    EXPECT_EQ(image, c.code) << c.what;
  }
  int32_t image = -1;
  EXPECT_FALSE(EnemyBodyImage(0, 0, 0, &image));
  EXPECT_FALSE(EnemyBodyImage(5, 0, 0, &image));
}

// Pool 0, slot 3: an object of type 5 at (200, 100) with two parts behind and one in front.
EnemyObject& PlaceObject(EnemyObject* pool, int slot) {
  EnemyObject& o = pool[slot];
  o.state = 2;
  o.type = 5;
  o.imageFrame = 2;
  o.x = 200;
  o.y = 100;
  o.angle = 256;
  o.cullMarginX = o.cullMarginY = 32;
  o.blend = 256;
  o.brightness = 256;
  o.drawOffsetY = 7;
  o.partCountA = 2;
  o.partCountB = 1;
  for (EnemyPart* p : {&o.partsA[0], &o.partsA[1], &o.partsB[0]}) {
    *p = EnemyPart{};
    p->state = 2;
    p->partType = 1;
    p->imageFrame = 3;
    p->x = 210;
    p->y = 90;
    p->cullMarginX = p->cullMarginY = -1;
    p->blend = 256;
    p->brightness = 256;
  }
  o.partsA[1].state = 1;  // still being set up
  o.partsB[0].partType = 0;
  o.partsB[0].imageFrame = 12;
  o.partsB[0].angle = 128;
  o.partsB[0].drawOffsetY = -4;
  return o;
}

TEST(PoolDrawing, PartsBehindThenTheBodyThenPartsInFront) {
  ResetDrawingScene();
  PlaceObject(EnemyPool0, 3);
  EnemyPool0[1].state = 1;  // spawned, not set up: never drawn
  EnemyPool0[1].imageFrame = 0;
  DrawRecorder rec;
  DrawEnemyPool(EnemyPool0, kEnemyPool0Size, 1);
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].image, kPartCode + 1 * 16 + 3);
  EXPECT_EQ(draws[1].image, kEnemy0Code + 5 * 16 + 2);
  EXPECT_EQ(draws[1].x, 200);
  EXPECT_EQ(draws[1].y, 107);  // drawOffsetY
  EXPECT_DOUBLE_EQ(draws[1].angle, AngleToRadians(256));
  EXPECT_EQ(draws[2].image, kPartCode + 12);
  EXPECT_EQ(draws[2].y, 86);
  EXPECT_DOUBLE_EQ(draws[2].angle, AngleToRadians(128));
  for (const DrawRecord& d : draws) {
    EXPECT_EQ(d.op, DrawOp::Rotated);
    EXPECT_EQ(d.scale, 1.0);
    EXPECT_EQ(d.transparent, 1);
    EXPECT_EQ(d.turn, 0);
    EXPECT_EQ(d.blendMode, kNoBlend);
  }
  // Nothing but the draws: normal blend and brightness set nothing.
  EXPECT_EQ(rec.calls.size(), 3u);
}

TEST(PoolDrawing, BodyBlendBrightnessAndFlashByPool) {
  struct Case {
    const char* what;
    int kind;
    int16_t blend, brightness, hitFlash;
    int32_t imageFrame;
    size_t draws;
    int y;  // of the body
    int blendMode, blendValue, brightnessSeen;
  };
  const Case cases[] = {
      {"pool 0 alpha", 1, 100, 256, 0, 2, 1, 107, kAlphaBlend, 100, 255},
      {"pool 1 additive and flash", 2, 300, 256, 48, 2, 2, 107, kAdditiveBlend, 44, 255},
      {"pool 1 dimmed", 2, 256, 100, 0, 2, 1, 107, kNoBlend, 0, 100},
      {"below 0 is black", 1, 256, -20, 0, 2, 1, 107, kNoBlend, 0, 0},
      {"pool 2 takes no blend from blend", 3, 100, 256, 48, 2, 2, 107, kNoBlend, 0, 255},
      {"pool 3: no drawOffsetY, no flash", 4, 300, 256, 48, 2, 1, 100, kAdditiveBlend, 44, 255},
      {"no body and no flash for a negative frame", 1, 100, 50, 48, -1, 0, 0, 0, 0, 0},
  };
  EnemyObject* pools[] = {EnemyPool0, EnemyPool1, EnemyPool2, EnemyPool3};
  for (const Case& c : cases) {
    ResetDrawingScene();
    EnemyObject& o = PlaceObject(pools[c.kind - 1], 0);
    o.type = 4;
    o.partCountA = o.partCountB = 0;
    o.blend = c.blend;
    o.brightness = c.brightness;
    o.hitFlash = c.hitFlash;
    o.imageFrame = c.imageFrame;
    DrawRecorder rec;
    DrawEnemyPool(pools[c.kind - 1], 1, c.kind);
    const std::vector<DrawRecord> draws = rec.ImageDraws();
    ASSERT_EQ(draws.size(), c.draws) << c.what;
    if (c.draws == 0) {
      EXPECT_TRUE(rec.calls.empty()) << c.what;
      continue;
    }
    EXPECT_EQ(draws[0].y, c.y) << c.what;
    EXPECT_EQ(draws[0].blendMode, c.blendMode) << c.what;
    if (c.blendMode != kNoBlend) { EXPECT_EQ(draws[0].blendValue, c.blendValue) << c.what; }
    EXPECT_EQ(draws[0].brightness, c.brightnessSeen) << c.what;
    if (c.draws == 2) {
      EXPECT_EQ(draws[1].image, draws[0].image) << c.what;
      EXPECT_EQ(draws[1].y, draws[0].y) << c.what;
      EXPECT_EQ(draws[1].blendMode, kAdditiveBlend) << c.what;
      EXPECT_EQ(draws[1].blendValue, c.hitFlash) << c.what;
    }
    // Every blend and brightness is put back.
    EXPECT_EQ(rec.blendMode, kNoBlend) << c.what;
    EXPECT_EQ(rec.brightness, 255) << c.what;
  }
}

TEST(PoolDrawing, PartsTakeTheOwnersFlashFirstAndSkipNegativeFrames) {
  struct Case {
    int16_t ownerFlash, partFlash;
    int32_t imageFrame;
    int16_t blend;
    std::vector<int> flashes;  // blend values of the drawn flashes
    size_t draws;
  };
  const Case cases[] = {
      {32, 80, 3, 256, {32}, 2}, {0, 80, 3, 256, {80}, 2}, {-16, 0, 3, 256, {}, 1},
      {32, 80, -1, 256, {}, 0},  {0, 0, 3, 200, {}, 1},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    EnemyObject& o = PlaceObject(EnemyPool1, 0);
    o.imageFrame = -1;  // the body is not drawn
    o.partCountA = 1;
    o.partCountB = 0;
    o.hitFlash = c.ownerFlash;
    o.partsA[0].hitFlash = c.partFlash;
    o.partsA[0].imageFrame = c.imageFrame;
    o.partsA[0].blend = c.blend;
    DrawRecorder rec;
    DrawEnemyPool(EnemyPool1, 1, 2);
    const std::vector<DrawRecord> draws = rec.ImageDraws();
    ASSERT_EQ(draws.size(), c.draws) << c.ownerFlash << " " << c.partFlash;
    if (draws.empty()) continue;
    EXPECT_EQ(draws[0].blendMode, c.blend == 256 ? kNoBlend : kAlphaBlend);
    for (size_t i = 1; i < draws.size(); ++i) {
      EXPECT_EQ(draws[i].blendMode, kAdditiveBlend);
      EXPECT_EQ(draws[i].blendValue, c.flashes[i - 1]);
    }
    EXPECT_EQ(rec.blendMode, kNoBlend);
  }
}

TEST(PoolDrawing, CullingByMarginsWithMinusOneForAlways) {
  struct Case {
    const char* what;
    double bodyX;
    double partX;
    int32_t partMargin;
    std::vector<int> images;
  };
  const int body = kEnemy0Code + 5 * 16 + 2, part = kPartCode + 12;
  const Case cases[] = {
      {"both in view", 200, 210, 10, {body, part}},
      {"a part with -1 far off screen", 200, 5000, -1, {body, part}},
      {"a part past its margin", 200, 660, 10, {body}},
      {"a part on its widened edge", 200, 650, 10, {body, part}},
      {"the body past its margin, its part drawn", 700, 210, 10, {part}},
      {"the body on its widened edge", 672, 210, 10, {body, part}},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    EnemyObject& o = PlaceObject(EnemyPool0, 0);
    o.x = c.bodyX;
    o.partCountA = 0;
    o.partsB[0].x = c.partX;
    o.partsB[0].cullMarginX = o.partsB[0].cullMarginY = c.partMargin;
    DrawRecorder rec;
    DrawEnemyPool(EnemyPool0, 1, 1);
    EXPECT_EQ(rec.Images(), c.images) << c.what;
  }
}

// Counts past the part arrays and types past the image tables draw nothing that is not there.
TEST(PoolDrawing, BadCountsAndTypesDrawOnlyWhatExists) {
  ResetDrawingScene();
  EnemyObject& o = PlaceObject(EnemyPool2, 0);
  o.partCountA = 500;
  o.partCountB = -3;
  o.type = 8;  // pool 2 has 8 types
  o.partsA[0].partType = 32;
  o.partsA[0].imageFrame = 3;
  DrawRecorder rec;
  DrawEnemyPool(EnemyPool2, 1, 3);
  EXPECT_TRUE(rec.calls.empty());
}

}  // namespace
