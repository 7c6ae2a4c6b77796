#include "stg_src/shell/enemy_assets.h"

#include "stg_src/deterministic.h"

// Empty until the enemy and stage image tables are filled.
void LoadEnemyCommonAssets() {}
void ReleaseEnemyCommonAssets() {}
void LoadStageEnemyAssets(int16_t) {}
void LoadMapChipImages(int16_t) {}
void ReleaseMapChipImages() {}
void ReleaseStageAssets() {}
