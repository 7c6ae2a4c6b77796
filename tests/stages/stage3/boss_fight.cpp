#include "tests/stages/stage3/boss_fight.h"

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

namespace {

bool IsBossShotType(int type) {
  return type == 3 || type == 6 || type == 14 || type == 18 || type == 20;
}

}  // namespace

BossFight::BossFight(int difficulty) : field_(difficulty) {
  ClearAllObjects();
  CurrentStage = 3;
  DrawOffsetX = DrawOffsetY = 0;
  ScrollDeltaX = ScrollDeltaY = 0;
  TimeRank = 0;
  PowerRank = 0;
  StageUnlockId = -1;
  StageClearTimer = 0;
  BossState = 0;
  Score = 0;
  field_.SetShipImmune(true);
  PlayerX = 60;
  PlayerY = 200;
}

void BossFight::SpawnBoss(int16_t variant) {
  ASSERT_EQ(SpawnPool0Enemy(0, 0, 10, 0, -1, 0), 0);
  EnemyPool0[0].variant = variant;
}

EnemyObject& BossFight::boss() { return EnemyPool0[0]; }

const BossSnapshot& BossFight::Step() {
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  BossSnapshot s;
  for (int slot = 0; slot < kEnemyShotSlots; ++slot) {
    const EnemyShot& shot = EnemyShots[slot];
    if (shot.state == 1 && IsBossShotType(shot.type)) s.shots.push_back({shot.type, slot});
  }
  for (const Effect& e : Effects) s.newBurstEffects += e.state == 1 && e.type == 2 ? 1 : 0;
  UpdateEnemyShots();
  UpdateEffects();

  const EnemyObject& o = EnemyPool0[0];
  s.passes = static_cast<int32_t>(history_.size()) + 1;
  s.state = o.state;
  s.frame = o.frame;
  s.phase = o.phase;
  s.angle = o.angle;
  s.x = o.x;
  s.y = o.y;
  s.vy = o.vy;
  s.turnSign = o.intWork2;
  s.timer = o.intWork3;
  s.facing = o.spawnDir;
  for (int k = 0; k < 10; ++k) s.plateOffsetY[k] = o.partsB[29 + k].offsetY;
  s.upperTipY = o.partsB[3].y;
  s.upperInnerY = o.partsB[13].y;
  s.upperTipOffsetX = o.partsB[3].offsetX;
  s.upperTipAngle = o.partsB[3].angle;
  s.upperTipSwing = o.partsB[3].cue;
  s.upperRootImage = o.partsB[15].imageFrame;
  s.upperSegmentImage = o.partsB[8].imageFrame;
  for (int k = 0; k < 2; ++k) {
    s.coreState[k] = o.partsB[k].state;
    s.coreCue[k] = o.partsB[k].cue;
  }
  for (int j = 0; j < kPartsBCount; ++j) s.partState[j] = o.partsB[j].state;
  for (int k = 0; k < 8; ++k) s.podRadius[k] = o.partsA[k].startX;
  s.stageClearTimer = StageClearTimer;
  s.unlockId = StageUnlockId;
  history_.push_back(s);
  return history_.back();
}
