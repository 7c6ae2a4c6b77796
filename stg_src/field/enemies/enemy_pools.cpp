#include "stg_src/field/enemies/enemy_pools.h"

#include <cstring>

#include "stg_src/deterministic.h"

EnemyObject EnemyPool0[kEnemyPool0Size];
EnemyObject EnemyPool1[kEnemyPool1Size];
EnemyObject EnemyPool2[kEnemyPool2Size];
EnemyObject EnemyPool3[kEnemyPool3Size];

namespace {

void DigestHitCircles(StateDigest& d, const HitCircles& h) {
  DigestArray(d, h.size);
  DigestArray(d, h.dx);
  DigestArray(d, h.dy);
}

void DigestEnemyPart(StateDigest& d, const EnemyPart& p) {
  DigestValue(d, p.state);
  DigestValue(d, p.counter);
  DigestValue(d, p.partType);
  DigestValue(d, p.facing);
  DigestValue(d, p.scoreBase);
  DigestValue(d, p.angle);
  DigestValue(d, p.baseAngle);
  DigestValue(d, p.recoil);
  DigestValue(d, p.x);
  DigestValue(d, p.y);
  DigestValue(d, p.offsetX);
  DigestValue(d, p.offsetY);
  DigestValue(d, p.cullMarginX);
  DigestValue(d, p.cullMarginY);
  DigestValue(d, p.life);
  DigestValue(d, p.maxLife);
  DigestValue(d, p.imageFrame);
  DigestValue(d, p.work0);
  DigestValue(d, p.work1);
  DigestHitCircles(d, p.hitCircles);
  DigestValue(d, p.cue);
  DigestValue(d, p.startX);
  DigestValue(d, p.startCos);
  DigestValue(d, p.startY);
  DigestValue(d, p.startSin);
  DigestValue(d, p.hitMode);
  DigestValue(d, p.facingSign);
  DigestValue(d, p.hitFlash);
  DigestValue(d, p.drawOffsetY);
  DigestValue(d, p.beamStopped);
  DigestValue(d, p.stopFrame);
  DigestValue(d, p.beamReach);
  DigestValue(d, p.beamReachLast);
  DigestValue(d, p.beamDrawn);
  DigestValue(d, p.linkActive);
  DigestValue(d, p.sideFlag);
  DigestValue(d, p.unlockWeight);
  DigestValue(d, p.parentPart);
  DigestValue(d, p.variant);
  DigestValue(d, p.blend);
  DigestValue(d, p.brightness);
}

template <int N>
void DigestPool(StateDigest& d, const EnemyObject (&pool)[N]) {
  for (const EnemyObject& object : pool) DigestEnemyObject(d, object);
}

}  // namespace

void UpdateEnemyPools() {}

void ResetEnemyPools() {
  std::memset(EnemyPool0, 0, sizeof(EnemyPool0));
  std::memset(EnemyPool1, 0, sizeof(EnemyPool1));
  std::memset(EnemyPool2, 0, sizeof(EnemyPool2));
  std::memset(EnemyPool3, 0, sizeof(EnemyPool3));
}

void DigestEnemyObject(StateDigest& d, const EnemyObject& o) {
  DigestValue(d, o.state);
  DigestValue(d, o.frame);
  DigestValue(d, o.type);
  DigestValue(d, o.facing);
  DigestValue(d, o.solid);
  DigestValue(d, o.sideCount);
  DigestValue(d, o.scoreBase);
  DigestValue(d, o.angle);
  DigestValue(d, o.angle2);
  DigestValue(d, o.groundSlope);
  DigestValue(d, o.x);
  DigestValue(d, o.y);
  DigestValue(d, o.life);
  DigestValue(d, o.maxLife);
  DigestValue(d, o.imageFrame);
  DigestValue(d, o.vx);
  DigestValue(d, o.vy);
  DigestValue(d, o.speed);
  DigestValue(d, o.groundSpeed);
  DigestValue(d, o.airFrames);
  DigestValue(d, o.landTimer);
  DigestValue(d, o.spare1);
  DigestValue(d, o.heading);
  DigestHitCircles(d, o.hitCircles);
  DigestValue(d, o.phase);
  DigestValue(d, o.onMarker);
  DigestValue(d, o.intWork0);
  DigestValue(d, o.intWork1);
  DigestValue(d, o.intWork2);
  DigestValue(d, o.intWork3);
  DigestValue(d, o.realWork0);
  DigestValue(d, o.realWork1);
  DigestValue(d, o.hitMode);
  DigestValue(d, o.facingSign);
  DigestValue(d, o.despawnMarginX);
  DigestValue(d, o.despawnMarginY);
  DigestValue(d, o.cullMarginX);
  DigestValue(d, o.cullMarginY);
  DigestValue(d, o.useViewBox);
  DigestValue(d, o.hitFlash);
  DigestValue(d, o.probeOffset);
  DigestValue(d, o.partCountA);
  DigestValue(d, o.partCountB);
  for (const EnemyPart& p : o.partsA) DigestEnemyPart(d, p);
  for (const EnemyPart& p : o.partsB) DigestEnemyPart(d, p);
  DigestValue(d, o.drawOffsetY);
  DigestArray(d, o.spare2);
  DigestValue(d, o.realWork2);
  DigestValue(d, o.realWork3);
  DigestValue(d, o.spare3);
  DigestValue(d, o.blend);
  DigestValue(d, o.brightness);
  DigestValue(d, o.spawnDir);
  DigestValue(d, o.acceptDir);
  DigestValue(d, o.variant);
  DigestValue(d, o.rank);
}

void DigestEnemyPools(StateDigest& d, DigestScope) {
  DigestPool(d, EnemyPool0);
  DigestPool(d, EnemyPool1);
  DigestPool(d, EnemyPool2);
  DigestPool(d, EnemyPool3);
}
