#include "stg_src/field/enemies/enemy_parts.h"

#include <cstdlib>
#include <functional>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/handler_tables.h"

#include "stg_src/game/deterministic.h"

namespace {

template <int N>
int CapacityInPool(const EnemyPart* parts, const EnemyObject (&pool)[N]) {
  const auto* p = reinterpret_cast<const unsigned char*>(parts);
  const auto* first = reinterpret_cast<const unsigned char*>(pool);
  if (std::less<>()(p, first) || !std::less<>()(p, first + sizeof(pool))) return 0;
  const EnemyObject& owner = pool[(p - first) / sizeof(EnemyObject)];
  if (parts == owner.partsA) return kPartsACount;
  if (parts == owner.partsB) return kPartsBCount;
  return 0;
}

struct Target {
  double x, y;
};

// Where the part goes on its owner before recoil; turning parts keep only the y offset.
Target ObjectTarget(const EnemyObject& owner, const EnemyPart& part) {
  const double dx = part.facing == 1 ? 0 : part.facing == 2 ? -part.offsetX : part.offsetX;
  return {RotateOffsetX(owner.x, dx, part.offsetY, owner.angle),
          RotateOffsetY(owner.y, dx, part.offsetY, owner.angle)};
}

// The target pulled back along angle by the part's recoil.
Target WithRecoil(Target t, const EnemyPart& part, int angle) {
  const auto a = static_cast<int16_t>(WrapAngle(angle));
  return {t.x - RotateOffsetX(0, part.recoil, 0, a), t.y - RotateOffsetY(0, part.recoil, 0, a)};
}

// The follow steps after placement: the state copied, linkActive cleared unless the parent is
// live; 1 while the parent exists, else the part is freed.
int CopyParentState(EnemyPart& part, int32_t parentState) {
  if (part.state != parentState) part.counter = 0;
  part.state = parentState;
  if (parentState != 2) part.linkActive = 0;
  return parentState != 0 ? 1 : 0;
}

bool IsParentIndexValid(const EnemyPart* parentParts, int parentIndex, const EnemyPart* parts,
                        int j) {
  if (parentIndex < 0 || parentIndex >= PartArrayCapacity(parentParts)) return false;
  return !(parentParts == parts && parentIndex == j);
}

int AngleDistance(int a, int b) {
  const int d = WrapAngle(std::abs(a - b));
  return d > 512 ? 1024 - d : d;
}

}  // namespace

int PartArrayCapacity(const EnemyPart* parts) {
  for (int c : {CapacityInPool(parts, EnemyPool0), CapacityInPool(parts, EnemyPool1),
                CapacityInPool(parts, EnemyPool2), CapacityInPool(parts, EnemyPool3)}) {
    if (c != 0) return c;
  }
  return 0;
}

void AttachPart(EnemyPart* parts, int slot, int32_t partType, double dx, double dy, int16_t angle,
                int32_t imageFrame) {
  if (partType < 0 || partType >= kPartTypeCount) return;
  if (slot < 0 || slot >= PartArrayCapacity(parts)) return;
  EnemyPart& p = parts[slot];
  p.state = 1;
  p.counter = 1;
  p.partType = partType;
  p.offsetX = dx;
  p.offsetY = dy;
  p.cullMarginX = -1;
  p.cullMarginY = -1;
  p.angle = angle;
  p.baseAngle = angle;
  p.recoil = 0;
  p.hitMode = 0;
  p.unlockWeight = 0;
  p.work0 = 0;
  p.work1 = 0;
  p.startX = 0;
  p.startCos = 0;
  p.startY = 0;
  p.startSin = 0;
  p.cue = 0;
  p.life = 0;
  p.maxLife = 0;
  p.imageFrame = imageFrame;
  p.drawOffsetY = 0;
  p.beamStopped = 0;
  p.stopFrame = 9999;
  p.beamReach = 0;
  p.beamReachLast = 0;
  p.beamDrawn = 0;
  p.linkActive = 0;
  p.sideFlag = 0;
  p.parentPart = -1;
  p.variant = 0;
  p.hitFlash = 0;
  p.scoreBase = 0;
  p.blend = 256;
  p.brightness = 256;
}

void PlacePartOnObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                       int16_t extraAngle) {
  EnemyPart& part = parts[j];
  Target t = ObjectTarget(pool[slot], part);
  if (part.facing != 1) t = WithRecoil(t, part, extraAngle + part.angle);
  part.x = t.x;
  part.y = t.y;
}

void EasePartToObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t n,
                      int16_t extraAngle) {
  EnemyPart& part = parts[j];
  // A step count below 1 would throw the part to infinity; it is placed at once instead.
  if (part.facing == 1 || n < 1) {
    PlacePartOnObject(pool, slot, parts, j, extraAngle);
    return;
  }
  const Target t = WithRecoil(ObjectTarget(pool[slot], part), part, extraAngle + part.angle);
  part.x += (t.x - part.x) / n;
  part.y += (t.y - part.y) / n;
}

int FollowParentObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                       uint8_t copyFacing) {
  const EnemyObject& owner = pool[slot];
  parts[j].facing = copyFacing == 1 ? owner.facing : 0;
  PlacePartOnObject(pool, slot, parts, j, 0);
  return CopyParentState(parts[j], owner.state);
}

int FollowParentPart(const EnemyPart* parentParts, int parentIndex, EnemyPart* parts, int j) {
  EnemyPart& part = parts[j];
  if (!IsParentIndexValid(parentParts, parentIndex, parts, j)) return CopyParentState(part, 0);
  const EnemyPart& parent = parentParts[parentIndex];
  part.facing = parent.facing;
  if (part.facing == 1) {
    part.x = RotateOffsetX(parent.x, part.offsetX, 0, parent.angle);
    part.y = RotateOffsetY(parent.y, part.offsetX, 0, parent.angle);
  } else {
    // Along a chain the mirror runs across the parent's angle.
    const double dy = part.facing == 2 ? -part.offsetY : part.offsetY;
    const Target t = WithRecoil({RotateOffsetX(parent.x, part.offsetX, dy, parent.angle),
                                 RotateOffsetY(parent.y, part.offsetX, dy, parent.angle)},
                                part, part.angle);
    part.x = t.x;
    part.y = t.y;
  }
  return CopyParentState(part, parent.state);
}

bool IsPartParentReady(const EnemyPart* parts, int j) {
  const int parent = parts[j].parentPart;
  if (parent < 0) return true;
  // A parent that cannot be there is gone: the part's follow step frees it.
  if (!IsParentIndexValid(parts, parent, parts, j)) return true;
  return parts[parent].state != 1;
}

int16_t ClampAngleToArc(int16_t angle, int16_t lo, int16_t hi, int16_t base) {
  const int a = WrapAngle(base + lo);
  const int b = WrapAngle(base + hi);
  const int bEnd = b < a ? b + 1024 : b;
  if ((a <= angle && angle <= bEnd) || (a <= angle + 1024 && angle + 1024 <= bEnd)) return angle;
  const int high = WrapAngle(bEnd);
  return static_cast<int16_t>(AngleDistance(angle, a) < AngleDistance(angle, high) ? a : high);
}
