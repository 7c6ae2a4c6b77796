// The loaders of the enemy, part, enemy-shot and map-chip images: the common set of every run and
// the set of the stage being played, and the release that also empties the stage's map layers.
// The tables they fill are stg_src/game/image_tables.h.
#pragma once

#include <cstdint>

#include "stg_src/game/image_tables.h"

void LoadEnemyCommonAssets();
void ReleaseEnemyCommonAssets();
// Stage 1..7; loads the stage's map chip sheets first.
void LoadStageEnemyAssets(int16_t stage);
void LoadMapChipImages(int16_t stage);
void ReleaseMapChipImages();
void ReleaseStageAssets();
