#include "stg_src/field/enemies/common_enemies.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kFirstRotorVariant = 100;
constexpr int16_t kClockwiseRotorVariant = 101;
constexpr int16_t kRotorTurn = 16;  // 64 frames a turn
constexpr int32_t kRotorImageFrame = 12;

}  // namespace

// A rotor cannot be hit or touched; when its owner is destroyed (or in a dying state of its
// own) it explodes in the owner's place and leaves the owner at the common destroyed state.
void UpdateRotorPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.variant < kFirstRotorVariant) {
    UpdateRollingLegPart(pool, slot, parts, partIndex, 4, 8, false, false);
    return;
  }
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = -1;
    p.scoreBase = -1;
    p.imageFrame = kRotorImageFrame;
    p.cullMarginX = 24;
    p.cullMarginY = 24;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = 0;
    p.work0 = p.variant == kClockwiseRotorVariant ? kRotorTurn : -kRotorTurn;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = static_cast<int16_t>(WrapAngle(p.angle + p.work0));
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}

void UpdateCommonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  UpdateRollingLegPart(pool, slot, parts, partIndex, 4, 8, false, true);
}
