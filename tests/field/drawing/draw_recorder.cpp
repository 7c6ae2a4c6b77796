#include "tests/field/drawing/draw_recorder.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/shell_state.h"

namespace {

DrawRecorder* Current = nullptr;

DrawRecord& Add(DrawOp op) {
  DrawRecord r;
  r.op = op;
  r.blendMode = Current->blendMode;
  r.blendValue = Current->blendValue;
  r.brightness = Current->brightness;
  r.filter = Current->filter;
  Current->calls.push_back(r);
  return Current->calls.back();
}

int RecordBlend(int mode, int value) {
  Current->blendMode = mode;
  Current->blendValue = std::clamp(value, 0, 255);
  DrawRecord& r = Add(DrawOp::Blend);
  r.mode = mode;
  r.value = value;
  return 0;
}

int RecordBrightness(int red, int, int) {
  Current->brightness = std::clamp(red, 0, 255);
  Add(DrawOp::Brightness).value = red;
  return 0;
}

uint32_t RecordColour(int r, int g, int b) {
  return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

int RecordFilter(int mode) {
  Current->filter = mode;
  Add(DrawOp::Filter).mode = mode;
  return 0;
}

int RecordClip(int x1, int y1, int x2, int y2) {
  DrawRecord& r = Add(DrawOp::Clip);
  r.x = x1;
  r.y = y1;
  r.x2 = x2;
  r.y2 = y2;
  return 0;
}

int RecordAt(int x, int y, int image, int transparent) {
  DrawRecord& r = Add(DrawOp::At);
  r.x = x;
  r.y = y;
  r.image = image;
  r.transparent = transparent;
  return 0;
}

int RecordRotated(int x, int y, double scale, double angle, int image, int transparent, int turn) {
  DrawRecord& r = Add(DrawOp::Rotated);
  r.x = x;
  r.y = y;
  r.scale = scale;
  r.angle = angle;
  r.image = image;
  r.transparent = transparent;
  r.turn = turn;
  return 0;
}

int RecordQuad(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int image,
               int transparent) {
  DrawRecord& r = Add(DrawOp::Quad);
  const int corners[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
  std::memcpy(r.corners, corners, sizeof(corners));
  r.image = image;
  r.transparent = transparent;
  return 0;
}

int RecordRect(int x1, int y1, int x2, int y2, uint32_t colour, int filled) {
  DrawRecord& r = Add(DrawOp::Rect);
  r.x = x1;
  r.y = y1;
  r.x2 = x2;
  r.y2 = y2;
  r.colour = colour;
  r.filled = filled;
  return 0;
}

void RecordText(int x, int y, const char* text, int size) {
  DrawRecord& r = Add(DrawOp::Text);
  r.x = x;
  r.y = y;
  r.text = text;
  r.spacing = size;
}

void RecordNumber(int x, int y, int32_t value, int digits, int spacing) {
  DrawRecord& r = Add(DrawOp::Number);
  r.x = x;
  r.y = y;
  r.value = value;
  r.digits = digits;
  r.spacing = spacing;
}

void RecordCredits() { Add(DrawOp::Credits); }

template <typename T>
void Code(T& entry, int& next) {
  if constexpr (std::is_array_v<T>) {
    for (auto& e : entry) Code(e, next);
  } else {
    entry = next++;
  }
}

template <typename T>
void CodeTable(T& table, int base) {
  int next = base;
  Code(table, next);
}

}  // namespace

DrawRecorder::DrawRecorder() {
  Current = this;
  FieldDraw = {RecordBlend, RecordBrightness, RecordColour,  RecordFilter,
               RecordClip,  RecordAt,         RecordRotated, RecordQuad,
               RecordRect,  RecordText,       RecordNumber,  RecordCredits};
}

DrawRecorder::~DrawRecorder() {
  FieldDraw = kDefaultFieldDrawCalls;
  Current = nullptr;
}

std::vector<DrawRecord> DrawRecorder::ImageDraws() const {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : calls) {
    if (r.op == DrawOp::At || r.op == DrawOp::Rotated || r.op == DrawOp::Quad) out.push_back(r);
  }
  return out;
}

std::vector<int> DrawRecorder::Images() const {
  std::vector<int> out;
  for (const DrawRecord& r : ImageDraws()) out.push_back(r.image);
  return out;
}

std::vector<DrawRecord> DrawRecorder::Rects() const {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : calls) {
    if (r.op == DrawOp::Rect) out.push_back(r);
  }
  return out;
}

std::vector<DrawRecord> DrawRecorder::Texts() const {
  std::vector<DrawRecord> out;
  for (const DrawRecord& r : calls) {
    if (r.op == DrawOp::Text || r.op == DrawOp::Number) out.push_back(r);
  }
  return out;
}

void FillImageTablesWithCodes() {
  CodeTable(EnemyImages0, kEnemy0Code);
  CodeTable(EnemyImages1, kEnemy1Code);
  CodeTable(EnemyImages2, kEnemy2Code);
  CodeTable(EnemyImages3, kEnemy3Code);
  CodeTable(PartImages, kPartCode);
  CodeTable(EnemyShotImages, kEnemyShotCode);
  CodeTable(EffectImages, kEffectCode);
  CodeTable(PlayerShotImages, kPlayerShotCode);
  CodeTable(ItemImages, kItemCode);
  CodeTable(InfoImages, kInfoCode);
  CodeTable(LaserImages, kLaserCode);
  CodeTable(BgChipImages1, kBgChip1Code);
  CodeTable(BgChipImages2, kBgChip2Code);
  CodeTable(MainChipImages1, kMainChip1Code);
  CodeTable(MainChipImages2, kMainChip2Code);
  CodeTable(ShipImages, kShipCode);
  CodeTable(ShipJetImages, kShipJetCode);
  CodeTable(ShipJetSmallImages, kShipJetSmallCode);
  CodeTable(ShieldImages, kShieldCode);
  CodeTable(ShipChargeImage, kChargeImageCode);
  CodeTable(BoardImage, kBoardCode);
  CodeTable(SpeedImage, kSpeedCode);
  CodeTable(BonusImage, kBonusCode);
  CodeTable(HideImages, kHideCode);
  CodeTable(WeaponIconImages, kWeaponIconCode);
}

void ResetDrawingScene() {
  ResetGameState();
  BuildTrigTables();
  FillImageTablesWithCodes();
  for (auto* layer : {MainMapLayer0, MainMapLayer1})
    std::fill_n(&layer[0][0], kMainMapRows * kMainMapColumns, -1);
  for (auto* layer : {BackMapLayer0, BackMapLayer1})
    std::fill_n(&layer[0][0], kBackMapRows * kBackMapColumns, -1);
  MapWidth = 16;
  MapHeight = 10;
  BackMapWidth = 24;
  BackMapHeight = 5;
  BackLayer0WrapColumns = BackLayer1WrapColumns = 24;
  CurrentStage = 2;
  GameFrame = 100;
  PlayerActive = 1;
  PlayerX = 320;
  PlayerY = 200;
  ShipBankFrame = 31;
  Lives = 3;
  Difficulty = 1;
  FrameWaitMs = 17;
  ChargeGaugeMax = 1800;
}
