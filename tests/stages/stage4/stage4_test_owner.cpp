#include "tests/stages/stage4/stage4_test_owner.h"

#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"

namespace {

constexpr int kOwnerType = 19;  // no behaviour on stage 4
constexpr int kStage = 4;

const Stage4LaserUser* gRow = &kCarrierCoreLaser;
StageObjectCell gSavedOwnerCell;
EnemyPartHandler gSavedPartCell;

void KeepStill(int16_t slot) { EnemyPool1[slot].state = 2; }

void RunRow(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) p.state = 2;
  if (p.state != 2) return;
  FollowParentObject(pool, slot, parts, j, 0);
  RunStage4Laser(pool, slot, parts, j, *gRow);
}

StageObjectCell& OwnerCell() {
  return EnemyPool1StageCells[kOwnerType - kFirstStageObjectType][kStage - 1];
}
EnemyPartHandler& PartCell() {
  return EnemyPartStageCells[kLaserPartType - kFirstStagePartType][kStage - 1];
}

}  // namespace

Stage4TestOwner::Stage4TestOwner(double x, double y, int16_t angle) {
  CurrentStage = kStage;
  gSavedOwnerCell = OwnerCell();
  gSavedPartCell = PartCell();
  OwnerCell() = {nullptr, KeepStill};
  PartCell() = RunRow;
  InitEnemyObject(EnemyPool1, kOwnerSlot, kOwnerType, 0);
  EnemyObject& o = owner();
  o.state = 2;
  o.x = x;
  o.y = y;
  o.hitMode = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  AttachPart(o.partsB, 0, kLaserPartType, 0, 0, angle, 0);
  o.partCountB = 1;
}

Stage4TestOwner::~Stage4TestOwner() {
  OwnerCell() = gSavedOwnerCell;
  PartCell() = gSavedPartCell;
  gRow = &kCarrierCoreLaser;
}

void Stage4TestOwner::UseRow(const Stage4LaserUser& row) { gRow = &row; }
EnemyObject& Stage4TestOwner::owner() { return EnemyPool1[kOwnerSlot]; }
EnemyPart& Stage4TestOwner::part() { return owner().partsB[0]; }

LaserFrame RunLaserFrame() {
  LaserFrame f;
  UpdateEnemyPools();
  for (const EnemyShot& s : EnemyShots) {
    if (s.state == 1 && s.type >= 0 && s.type < 27) f.spawned[s.type] += 1;
  }
  f.cue = EnemyPool1[kOwnerSlot].partsB[0].cue;
  UpdateEnemyShots();
  return f;
}

std::vector<int> LiveShots(int type) {
  std::vector<int> slots;
  for (int i = 0; i < kEnemyShotSlots; ++i) {
    if (EnemyShots[i].state != 0 && EnemyShots[i].type == type) slots.push_back(i);
  }
  return slots;
}
