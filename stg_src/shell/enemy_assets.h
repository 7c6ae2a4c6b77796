// The enemy, part, enemy-shot and map-chip images: the common set of every run and the set of
// the stage being played, and the release that also empties the stage's map layers. The tables
// hold graph handles by type and frame (or chip); 0 is no image.
#pragma once

#include <cstdint>

constexpr int kEnemyImageCells = 16;  // frames a type, in every enemy and part table
constexpr int kEnemyImageTypes0 = 20;
constexpr int kEnemyImageTypes1 = 20;
constexpr int kEnemyImageTypes2 = 8;
constexpr int kEnemyImageTypes3 = 16;
constexpr int kPartImageTypes = 32;
constexpr int kEnemyShotImageTypes = 27;
constexpr int kEnemyShotImageCells = 12;
constexpr int kLaserImageCount = 3;
constexpr int kBgChipCount = 144;    // 80 x 80 chips
constexpr int kMainChipCount = 256;  // 40 x 40 chips

extern int32_t EnemyImages0[kEnemyImageTypes0][kEnemyImageCells];
extern int32_t EnemyImages1[kEnemyImageTypes1][kEnemyImageCells];
extern int32_t EnemyImages2[kEnemyImageTypes2][kEnemyImageCells];
extern int32_t EnemyImages3[kEnemyImageTypes3][kEnemyImageCells];
extern int32_t PartImages[kPartImageTypes][kEnemyImageCells];
extern int32_t EnemyShotImages[kEnemyShotImageTypes][kEnemyShotImageCells];
extern int32_t LaserImages[kLaserImageCount];
extern int32_t BgChipImages1[kBgChipCount];
extern int32_t BgChipImages2[kBgChipCount];
extern int32_t MainChipImages1[kMainChipCount];
extern int32_t MainChipImages2[kMainChipCount];

void LoadEnemyCommonAssets();
void ReleaseEnemyCommonAssets();
// Stage 1..7; loads the stage's map chip sheets first.
void LoadStageEnemyAssets(int16_t stage);
void LoadMapChipImages(int16_t stage);
void ReleaseMapChipImages();
void ReleaseStageAssets();
