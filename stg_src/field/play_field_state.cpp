#include "stg_src/field/play_field.h"

#include "stg_src/field/test_hooks.h"

#include "stg_src/game/deterministic.h"

void ResetPlayFieldState() {
  ResetLcgRandom();
  ResetTrigTables();
  ResetStageState();
  ResetScoreAndRank();
  ResetWeaponState();
  ResetStageMaps();
  ResetScrolling();
  ResetMapLoops();
  ResetMapSpawner();
  ResetScreenShake();
  ResetEffects();
  ResetEnemyPools();
  ResetEnemyShots();
  ResetPlayerShots();
  ResetItemsAndPopups();
  ResetStageEvents();
  ResetTestHooks();
}

void DigestPlayFieldState(StateDigest& d, DigestScope scope) {
  DigestLcgRandom(d, scope);
  DigestTrigTables(d, scope);
  DigestStageState(d, scope);
  DigestScoreAndRank(d, scope);
  DigestWeaponState(d, scope);
  DigestStageMaps(d, scope);
  DigestScrolling(d, scope);
  DigestMapLoops(d, scope);
  DigestMapSpawner(d, scope);
  DigestScreenShake(d, scope);
  DigestEffects(d, scope);
  DigestEnemyPools(d, scope);
  DigestEnemyShots(d, scope);
  DigestPlayerShots(d, scope);
  DigestItemsAndPopups(d, scope);
  DigestStageEvents(d, scope);
}
