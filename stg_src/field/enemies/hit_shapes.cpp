#include "stg_src/field/enemies/hit_shapes.h"

#include <algorithm>
#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr double kBeamBackward = 3.1415926535898;
// Far more samples than any beam on screen takes; a length of no sane size stops here instead
// of running the counter past its range.
constexpr int kMostBeamSamples = 1 << 16;
constexpr int16_t kProbeMargin = 1;
constexpr int32_t kLive = 2;

bool IsEntry(int k) { return k >= 0 && k < kHitCircleCount; }

void ClearCircles(HitCircles& h) { h = {}; }

void SetCircle(HitCircles& h, int k, int16_t size, int16_t dx, int16_t dy) {
  if (!IsEntry(k)) return;
  h.size[k] = size;
  h.dx[k] = dx;
  h.dy[k] = dy;
}

void SetBox(EnemyPart& p, int16_t w, int16_t h, int16_t mode) {
  p.hitCircles.dx[0] = static_cast<int16_t>(-w);
  p.hitCircles.dy[0] = static_cast<int16_t>(-h);
  p.hitCircles.dx[1] = w;
  p.hitCircles.dy[1] = h;
  p.hitMode = mode;
}

bool IsInBox(const EnemyPart& p, double x, double y, int16_t margin) {
  const HitCircles& h = p.hitCircles;
  return p.x + h.dx[0] <= x + margin && p.x + h.dx[1] >= x - margin &&
         p.y + h.dy[0] <= y + margin && p.y + h.dy[1] >= y - margin;
}

// The parts of a live solid EnemyPool1 object, behind then in front, within the arrays whatever
// the counts say; the first part for which found is true, or null.
template <typename Found>
const EnemyPart* FindSolidPart(int16_t skipIndex, Found found) {
  for (int slot = 0; slot < kEnemyPool1Size; ++slot) {
    const EnemyObject& o = EnemyPool1[slot];
    if (slot == skipIndex || o.solid == 0 || o.state != kLive) continue;
    const int countA = std::clamp<int>(o.partCountA, 0, kPartsACount);
    const int countB = std::clamp<int>(o.partCountB, 0, kPartsBCount);
    for (int j = 0; j < countA; ++j) {
      if (found(o.partsA, j)) return &o.partsA[j];
    }
    for (int j = 0; j < countB; ++j) {
      if (found(o.partsB, j)) return &o.partsB[j];
    }
  }
  return nullptr;
}

}  // namespace

void ClearEnemyHitCircles(EnemyObject* pool, int slot) { ClearCircles(pool[slot].hitCircles); }

void SetEnemyHitCircle(EnemyObject* pool, int slot, int k, int16_t size, int16_t dx, int16_t dy) {
  SetCircle(pool[slot].hitCircles, k, size, dx, dy);
}

void ClearPartHitCircles(EnemyPart* parts, int j) { ClearCircles(parts[j].hitCircles); }

void SetPartHitCircle(EnemyPart* parts, int j, int k, int16_t size, int16_t dx, int16_t dy) {
  SetCircle(parts[j].hitCircles, k, size, dx, dy);
}

void SetSolidPartBox(EnemyPart* parts, int j, int16_t w, int16_t h) {
  SetBox(parts[j], w, h, kSolidBoxHitMode);
  SolidPartTimer = kSolidPresenceFrames;
}

void SetPartBox(EnemyPart* parts, int j, int16_t w, int16_t h) {
  SetBox(parts[j], w, h, kBoxHitMode);
}

void MarkSolidEnemyPresent() { SolidEnemyTimer = kSolidPresenceFrames; }

void MarkSolidPartPresent() { SolidPartTimer = kSolidPresenceFrames; }

bool BeamHitsCircle(double ax, double ay, double bx, double by, double r1, double r2, double length,
                    double direction) {
  if (r1 <= 0 || r2 <= 0) return false;
  const double reach = r1 + r2;
  // Every sample lies within the swept length of (ax, ay): a target farther than that plus the
  // reach (a pixel spared for rounding) cannot be met, and the sine and cosine are not needed.
  const double farthest = std::max(length, 0.0) + reach + 1;
  if (std::fabs(bx - ax) > farthest || std::fabs(by - ay) > farthest) return false;
  if (reach < length && std::isfinite(length)) {
    double px = ax + length * std::cos(direction + kBeamBackward);
    double py = ay + length * std::sin(direction + kBeamBackward);
    const double stepX = reach * std::cos(direction), stepY = reach * std::sin(direction);
    for (int i = 0; i < length / reach && i < kMostBeamSamples; ++i) {
      if (reach * reach > SquaredDistance(px, py, bx, by)) return true;
      px += stepX;
      py += stepY;
    }
  }
  return reach * reach > SquaredDistance(ax, ay, bx, by);
}

bool IsPointInSolidBoxPart(const EnemyPart* parts, int j, double x, double y, int16_t margin) {
  const EnemyPart& p = parts[j];
  return p.state == kLive && p.hitMode == kSolidBoxHitMode && IsInBox(p, x, y, margin);
}

int16_t IsPointInPartBox(const EnemyPart* parts, int j, double x, double y, int16_t margin) {
  const EnemyPart& p = parts[j];
  if (p.state != kLive || (p.hitMode != kSolidBoxHitMode && p.hitMode != kBoxHitMode)) return 0;
  return IsInBox(p, x, y, margin) ? p.hitMode : int16_t{0};
}

bool IsPointInSolidPart(double x, double y, int16_t margin, int16_t skipIndex) {
  if (SolidPartTimer == 0) return false;
  return FindSolidPart(skipIndex, [&](const EnemyPart* parts, int j) {
           return IsPointInSolidBoxPart(parts, j, x, y, margin);
         }) != nullptr;
}

int16_t FollowSolidParts(double* x, double* y, int16_t mode, double footOffset, double headOffset,
                         double, double oldY, double* speed, double*, int16_t* slope) {
  const bool top = *y >= oldY;
  const double probeY = top ? *y + footOffset : *y - headOffset;
  if (SolidPartTimer == 0) return 0;
  const double px = *x;
  const EnemyPart* part = FindSolidPart(-1, [&](const EnemyPart* parts, int j) {
    const EnemyPart& p = parts[j];
    return IsPointInSolidBoxPart(parts, j, px, probeY, kProbeMargin) &&
           p.x + p.hitCircles.dx[0] <= px && px <= p.x + p.hitCircles.dx[1];
  });
  if (part == nullptr) return 0;
  const double surface = top ? part->y + part->hitCircles.dy[0] - footOffset
                             : part->y + part->hitCircles.dy[1] + headOffset;
  bool takes;
  if (mode == 0) {
    takes = std::fabs(surface - *y) < kTerrainSnapDistance;
  } else if (top) {
    takes = surface <= *y && oldY <= surface + kTerrainLandingTolerance;
  } else {
    takes = surface >= *y && surface - kTerrainLandingTolerance <= oldY;
  }
  if (!takes) return 0;
  *y = surface;
  *slope = 0;
  if (mode == 0) *speed *= CosineTable[0];
  return 1;
}
