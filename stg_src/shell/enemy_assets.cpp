#include "stg_src/shell/enemy_assets.h"

#include "stg_src/deterministic.h"

int32_t EnemyImages0[kEnemyImageTypes0][kEnemyImageCells];
int32_t EnemyImages1[kEnemyImageTypes1][kEnemyImageCells];
int32_t EnemyImages2[kEnemyImageTypes2][kEnemyImageCells];
int32_t EnemyImages3[kEnemyImageTypes3][kEnemyImageCells];
int32_t PartImages[kPartImageTypes][kEnemyImageCells];
int32_t EnemyShotImages[kEnemyShotImageTypes][kEnemyShotImageCells];
int32_t LaserImages[kLaserImageCount];
int32_t BgChipImages1[kBgChipCount];
int32_t BgChipImages2[kBgChipCount];
int32_t MainChipImages1[kMainChipCount];
int32_t MainChipImages2[kMainChipCount];

// Empty until the enemy and stage image tables are filled.
void LoadEnemyCommonAssets() {}
void ReleaseEnemyCommonAssets() {}
void LoadStageEnemyAssets(int16_t) {}
void LoadMapChipImages(int16_t) {}
void ReleaseMapChipImages() {}
void ReleaseStageAssets() {}
