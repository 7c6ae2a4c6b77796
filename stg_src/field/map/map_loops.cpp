#include "stg_src/field/map/map_loops.h"

#include <algorithm>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

int16_t MapLoopMode;
double HorizontalLoopStart;
double HorizontalLoopEnd;
double VerticalLoopTop;
double VerticalLoopBottom;
int16_t VerticalLoopJump;
double VerticalShift;

namespace {

constexpr int16_t kLoopArmed = 1;
constexpr int16_t kLoopJumped = 2;
constexpr int16_t kWrappedToTop = 1;
constexpr int16_t kWrappedToBottom = 2;
constexpr int16_t kEnteredLowerHalf = 3;
constexpr int16_t kEnteredUpperHalf = 4;
constexpr double kScreenCentreY = kViewHeight / 2;
constexpr double kBackChipSize = 80;

bool IsVerticalLoopOn() { return VerticalLoopBottom > 0; }

double LoopHeight() { return VerticalLoopBottom - kViewHeight - VerticalLoopTop; }

double LoopMidpoint() { return VerticalLoopTop + (VerticalLoopBottom - VerticalLoopTop) / 2; }

double HorizontalJump() { return HorizontalLoopEnd - kViewWidth - HorizontalLoopStart; }

// One axis of a background layer: its divisor and its base correction.
struct BackAxis {
  const double* divisor;
  double* base;
};

const BackAxis kBackAxesX[2] = {{&BackLayer0DivisorX, &BackLayer0BaseX},
                                {&BackLayer1DivisorX, &BackLayer1BaseX}};
const BackAxis kBackAxesY[2] = {{&BackLayer0DivisorY, &BackLayer0BaseY},
                                {&BackLayer1DivisorY, &BackLayer1BaseY}};

bool Follows(const BackAxis& a) { return *a.divisor < kFixedParallaxDivisor; }

// The base moves against the window's jump so that the parallax offset stays as it was.
void MoveBases(const BackAxis (&axes)[2], double byPixels) {
  for (const BackAxis& a : axes)
    if (Follows(a)) *a.base -= byPixels / *a.divisor;
}

// Brought back once into -span .. span; the background repeats at that span.
void BringBasesBack(const BackAxis (&axes)[2], double span) {
  for (const BackAxis& a : axes) {
    if (!Follows(a)) continue;
    if (*a.base < -span) {
      *a.base += span;
    } else if (*a.base > span) {
      *a.base -= span;
    }
  }
}

void WrapHorizontalLoop() {
  if (MapLoopMode != kLoopArmed || HorizontalLoopEnd > ViewRight) return;
  const double d = HorizontalJump();
  CameraX -= d;
  ViewRight -= d;
  MapLoopMode = kLoopJumped;
  MoveBases(kBackAxesX, d);
  BringBasesBack(kBackAxesX, BackMapWidth * kBackChipSize);
}

void WrapVerticalLoop() {
  if (VerticalLoopJump != 0 || !IsVerticalLoopOn()) return;
  const double m = ShipVerticalIntent();
  const double l = LoopHeight();
  const double centre = ScreenToWorldY(kScreenCentreY);
  if (ScreenToWorldY(kViewHeight) >= VerticalLoopBottom && m > 0) {
    VerticalLoopJump = kWrappedToTop;
    DrawOffsetY += l;
    MoveBases(kBackAxesY, l);
  } else if (ScreenToWorldY(0) <= VerticalLoopTop && m < 0) {
    VerticalLoopJump = kWrappedToBottom;
    DrawOffsetY -= l;
    for (const BackAxis& a : kBackAxesY)
      if (Follows(a)) *a.base += l / *a.divisor - BackMapHeight * kBackChipSize;
  } else if (centre >= LoopMidpoint() && m > 0) {
    VerticalLoopJump = kEnteredLowerHalf;
  } else if (centre <= LoopMidpoint() && m < 0) {
    VerticalLoopJump = kEnteredUpperHalf;
  }
}

// Parts in use of one array, as far as the array reaches.
template <typename Move>
void ForEachPartInUse(EnemyObject& o, Move move) {
  const int a = std::min<int>(o.partCountA, kPartsACount);
  for (int j = 0; j < a; ++j)
    if (o.partsA[j].state != 0) move(o.partsA[j]);
  const int b = std::min<int>(o.partCountB, kPartsBCount);
  for (int j = 0; j < b; ++j)
    if (o.partsB[j].state != 0) move(o.partsB[j]);
}

bool Pool3MovesWithLoops() { return CurrentStage == 1 || (CurrentStage == 5 && BossState == 0); }

}  // namespace

void WrapMapLoops() {
  WrapHorizontalLoop();
  WrapVerticalLoop();
  if (VerticalShift != 0) {
    DrawOffsetY += VerticalShift;
    MoveBases(kBackAxesY, VerticalShift);
  }
  if (VerticalLoopJump >= 1 || VerticalShift != 0)
    BringBasesBack(kBackAxesY, BackMapHeight * kBackChipSize);
}

bool IsMapLoopShifting() {
  return MapLoopMode == kLoopJumped ||
         (VerticalLoopJump >= kWrappedToTop && VerticalLoopJump <= kEnteredUpperHalf) ||
         VerticalShift != 0;
}

void ShiftForMapLoop(double* x, double* y) {
  if (MapLoopMode == kLoopJumped) *x -= HorizontalJump();
  const double l = LoopHeight();
  switch (VerticalLoopJump) {
    case kWrappedToTop:
    case kEnteredUpperHalf:
      if (*y >= VerticalLoopBottom - kViewHeight) *y -= l;
      break;
    case kWrappedToBottom:
    case kEnteredLowerHalf:
      if (*y <= VerticalLoopTop + kViewHeight) *y += l;
      break;
    default:
      break;
  }
  if (VerticalShift != 0) *y -= VerticalShift;
}

void ShiftPoolForMapLoop(EnemyObject* pool, int count) {
  for (int slot = 0; slot < count; ++slot) {
    EnemyObject& o = pool[slot];
    if (o.state <= 0) continue;
    ShiftForMapLoop(&o.x, &o.y);
    ForEachPartInUse(o, [](EnemyPart& p) { ShiftForMapLoop(&p.x, &p.y); });
  }
}

void ShiftAllForMapLoop() {
  if (!IsMapLoopShifting()) return;
  ShiftForMapLoop(&PlayerX, &PlayerY);
  for (Effect& e : Effects)
    if (e.state > 0) ShiftForMapLoop(&e.x, &e.y);
  if (Pool3MovesWithLoops()) ShiftPoolForMapLoop(EnemyPool3, kEnemyPool3Size);
  ShiftPoolForMapLoop(EnemyPool2, kEnemyPool2Size);
  ShiftPoolForMapLoop(EnemyPool1, kEnemyPool1Size);
  ShiftPoolForMapLoop(EnemyPool0, kEnemyPool0Size);
  for (PlayerShot& s : PlayerShots)
    if (s.state > 0) ShiftForMapLoop(&s.x, &s.y);
  for (EnemyShot& s : EnemyShots) {
    if (s.state <= 0) continue;
    ShiftForMapLoop(&s.spawnX, &s.spawnY);
    ShiftForMapLoop(&s.x, &s.y);
    // The anchor of a shot tied to a part.
    ShiftForMapLoop(&s.workReal[2], &s.workReal[3]);
  }
}

void WrapObjectInVerticalLoop(EnemyObject* pool, int slot) {
  EnemyObject& o = pool[slot];
  // An object below the window by its margin or more may stay that much past the band.
  const double d = WorldToScreenY(o.y) >= o.cullMarginY + kViewHeight ? o.cullMarginY : 0;
  if (o.useViewBox == 0 || !IsVerticalLoopOn()) return;
  const double t = VerticalLoopTop, b = VerticalLoopBottom, l = LoopHeight();
  double shift = 0;
  if (ScreenToWorldY(kScreenCentreY) <= LoopMidpoint()) {
    if (o.y < t - d) {
      shift = l;
    } else if (o.y > b - kViewHeight + d) {
      shift = -l;
    }
  } else {
    if (o.y < t + kViewHeight - d) {
      shift = l;
    } else if (o.y > b + d) {
      shift = -l;
    }
  }
  if (shift == 0) return;
  o.y += shift;
  ForEachPartInUse(o, [shift](EnemyPart& p) { p.y += shift; });
}

double LoopAdjustedY(double y) {
  if (!IsVerticalLoopOn()) return y;
  // The top band's twin lies L lower.
  if (ScreenToWorldY(kViewHeight) > VerticalLoopBottom - kViewHeight &&
      y <= VerticalLoopTop + kViewHeight)
    return y + LoopHeight();
  return y;
}

void ResetMapLoops() {
  MapLoopMode = 0;
  HorizontalLoopStart = 0;
  HorizontalLoopEnd = 0;
  VerticalLoopTop = 0;
  VerticalLoopBottom = 0;
  VerticalLoopJump = 0;
  VerticalShift = 0;
}

void DigestMapLoops(StateDigest& d, DigestScope) {
  DigestValue(d, MapLoopMode);
  DigestValue(d, HorizontalLoopStart);
  DigestValue(d, HorizontalLoopEnd);
  DigestValue(d, VerticalLoopTop);
  DigestValue(d, VerticalLoopBottom);
  DigestValue(d, VerticalLoopJump);
  DigestValue(d, VerticalShift);
}
