#include "tests/field/shots/shot_test_support.h"

#include <algorithm>

#include "stg_src/field/map/stage_maps.h"

EnemyObject& PutEnemy(EnemyObject* pool, int slot, double x, double y, int16_t size, int32_t life,
                      int32_t scoreBase) {
  EnemyObject& o = pool[slot];
  o = EnemyObject{};
  o.state = 2;
  o.type = 5;
  o.x = x;
  o.y = y;
  o.life = o.maxLife = life;
  o.scoreBase = scoreBase;
  o.hitMode = 1;
  o.facingSign = 1;
  o.hitCircles.size[0] = size;
  return o;
}

EnemyPart& PutPart(EnemyObject& owner, bool front, int j, double x, double y, int16_t size,
                   int32_t life, int32_t scoreBase) {
  EnemyPart& p = front ? owner.partsB[j] : owner.partsA[j];
  int16_t& count = front ? owner.partCountB : owner.partCountA;
  count = static_cast<int16_t>(std::max<int>(count, j + 1));
  p = EnemyPart{};
  p.state = 2;
  p.x = x;
  p.y = y;
  p.life = p.maxLife = life;
  p.scoreBase = scoreBase;
  p.hitMode = 1;
  p.facingSign = 1;
  p.stopFrame = 9999;
  p.parentPart = -1;
  p.hitCircles.size[0] = size;
  return p;
}

PlayerShot& PutPlayerShot(int slot, double x, double y, int16_t size, int32_t damage) {
  InitPlayerShot(slot, 1, 0, 0, x, y, 0);
  PlayerShot& s = PlayerShots[slot];
  s.state = 2;
  s.frame = 1;
  s.damage = damage;
  s.hitSize[0] = size;
  s.hitX[0] = static_cast<int16_t>(x);
  s.hitY[0] = static_cast<int16_t>(y);
  return s;
}

EnemyShot& PutEnemyShot(int slot, double x, double y, int16_t size) {
  EnemyShot& s = EnemyShots[slot];
  s = EnemyShot{};
  s.state = 2;
  s.type = 1;
  s.frame = 1;
  s.x = s.hitX[0] = s.hitX[1] = s.hitX[2] = s.hitX[3] = x;
  s.y = s.hitY[0] = s.hitY[1] = s.hitY[2] = s.hitY[3] = y;
  s.hitSize[0] = size;
  s.hitSize[1] = s.hitSize[2] = s.hitSize[3] = -1;
  s.hitActive = 1;
  s.collides = 1;
  s.linkObject = s.linkPart = -1;
  s.removalMargin = 60;
  return s;
}

void PutBlock(int column, int row) {
  MapWidth = 40;
  MapHeight = 20;
  CollisionLayer[row][column] = 1;
}

int PassesUntilShotFreed(int slot, int limit) {
  for (int n = 1; n <= limit; ++n) {
    UpdateEnemyShots();
    if (EnemyShots[slot].state == 0) return n;
  }
  return -1;
}
