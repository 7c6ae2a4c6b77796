#include "stg_src/field/play_field.h"

#include "stg_src/game/deterministic.h"

void UpdatePlayField() {
  SpawnFromEventLayer();
  ScrollAndMovePlayer();
  if (PlayerActive == 1) UpdatePlayerWeapons();
  UpdateEnemyPools();
  UpdateItemsAndPopups();
  UpdateEnemyShots();
  UpdateEffectsAndShake();
  AdvanceRanks(0);
  RunStageEvents(CurrentStage);
}
