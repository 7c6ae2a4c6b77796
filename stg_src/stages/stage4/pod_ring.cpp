// The pod ring: an indestructible solid ring of pods circling a centre, whose pods fire in pairs
// while the player is inside the ring; shooting its key pod bursts every other pod at once.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// Ring (pool 1): intWork0 the pair index (0..5), intWork1 the half flag (0 first pod of the
// pair next, 1 the second). Pod (part 9): variant 0 plain, 2 the key pod's twin, 4 the key pod;
// work0 1 once burst.

namespace {

constexpr double kRingRadius = 100;
constexpr double kInsideRing = 10000;  // squared distance
constexpr int kPairSpan = 7;
constexpr int kPairs = 6;

int KeyPod(const EnemyObject& ring) { return ring.partCountB - 1; }

}  // namespace

void UpdateStage4PodRing(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.hitMode = 0;
    o.solid = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.despawnMarginX = o.despawnMarginY = 160;
    o.cullMarginX = o.cullMarginY = 0;
    o.x += 140;
    o.y -= 20;
    o.angle = 0;
    o.intWork0 = o.intWork1 = 0;
    const bool more = GetDifficulty() > 1;
    const int n = more ? 13 : 11;
    const int key = more ? 6 : 5;
    for (int i = 0; i < n; ++i) {
      const int a = i * 64;
      AttachPart(o.partsB, i, 9, kRingRadius * CosineTable[a], kRingRadius * SineTable[a], 0, 0);
      o.partsB[i].variant = static_cast<int16_t>(i == key ? 2 : 0);
    }
    AttachPart(o.partsB, n, 9, o.partsB[key].offsetX, o.partsB[key].offsetY, 0, 0);
    o.partsB[n].variant = 4;
    o.partCountB = static_cast<int16_t>(n + 1);
  }
  if (o.state == 2) {
    o.angle = static_cast<int16_t>(WrapAngle(o.angle + (o.variant == 1 ? -4 : 4)));
    if (SquaredDistance(o.x, o.y, PlayerX, PlayerY) < kInsideRing &&
        o.frame % ComputeFireInterval(60, o.rank) == ComputeFireInterval(10, o.rank)) {
      if (o.intWork1 == 0) {
        o.partsB[o.intWork0].cue = 1;
        o.intWork1 = 1;
      } else {
        o.partsB[o.intWork0 + kPairSpan].cue = 1;
        o.intWork1 = 0;
        o.intWork0 = o.intWork0 + 1 >= kPairs ? 0 : o.intWork0 + 1;
      }
    }
  } else if (o.state == 3) {
    o.state = 0;
  }
}

void UpdateStage4RingPodPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& ring = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  const bool isKey = partIndex == KeyPod(ring);
  if (p.state == 1) {
    p.state = 2;
    p.life = isKey ? ScaleLifeByRank(120) : -1;
    p.maxLife = p.scoreBase = isKey ? p.life : 0;
    p.imageFrame = p.variant;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    if (isKey) {
      SetPartHitCircle(parts, partIndex, 0, 12, 9, 0);
    } else {
      SetPartHitCircle(parts, partIndex, 0, 16, 0, 0);
    }
    p.baseAngle = 0;
    p.work0 = 0;
    p.cue = 0;
    p.cullMarginX = p.cullMarginY = 32;
  }
  if (p.state == 2) {
    p.angle = static_cast<int16_t>(WrapAngle(ring.angle + p.baseAngle));
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = static_cast<int16_t>(AimAngle(p.x, p.y, ring.x, ring.y));
    if (p.cue > 0 && p.imageFrame == 0) {
      p.cue = 0;
      if (IsHarderThanEasy()) {
        SpawnEnemyShot(17, p.angle, ScaleShotSpeed(1.6), RotateOffsetX(p.x, 24, 0, p.angle),
                       RotateOffsetY(p.y, 24, 0, p.angle), 1);
      }
    }
    const EnemyPart& key = parts[KeyPod(ring)];
    if (key.state > 2 && !isKey && p.work0 == 0) {
      const int16_t rotation = static_cast<int16_t>(LcgRandom() & 1023);
      SpawnEffect(2, p.x, p.y, rotation, 0, 0);
      p.imageFrame += 1;
      p.work0 = 1;
      RequestSoundEffect(30);
    }
  } else if (p.state == 3) {
    p.state = 4;
    p.imageFrame = -1;
  }
}
