// The enemy, part, enemy-shot and map-chip images: the common set of every run and the set of
// the stage being played, and the release that also empties the stage's map layers.
#pragma once

#include <cstdint>

void LoadEnemyCommonAssets();
void ReleaseEnemyCommonAssets();
// Stage 1..7; loads the stage's map chip sheets first.
void LoadStageEnemyAssets(int16_t stage);
void LoadMapChipImages(int16_t stage);
void ReleaseMapChipImages();
void ReleaseStageAssets();
