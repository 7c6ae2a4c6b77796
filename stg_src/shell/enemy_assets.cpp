#include "stg_src/shell/enemy_assets.h"

#include <algorithm>
#include <cstdio>

#include "runtime/graphics/graph/graph_handles.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/assets/asset_lists.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

// Stage 1's backdrop picture takes the last main chip.
constexpr int kBackdropChip = kMainChipCount - 1;

template <size_t Rows, size_t Columns>
void FillLayer(int32_t (&layer)[Rows][Columns], int32_t value) {
  for (auto& row : layer) std::fill(std::begin(row), std::end(row), value);
}

}  // namespace

void LoadEnemyCommonAssets() { LoadImageList(kEnemyCommonImages); }

void ReleaseEnemyCommonAssets() {
  ReleaseImageTypes(EnemyImages0, 0, kFirstStageObjectType - 1);
  ReleaseImageTypes(EnemyImages1, 0, kFirstStageObjectType - 1);
  ReleaseImages(EnemyImages2);
  ReleaseImageTypes(PartImages, 0, kFirstStagePartType - 1);
  ReleaseImageTypes(EnemyShotImages, 0, kCommonEnemyShotTypes - 1);
  ReleaseImages(LaserImages);
}

void LoadStageEnemyAssets(int16_t stage) {
  LoadMapChipImages(stage);
  LoadImageList(StageImages(stage));
}

void LoadMapChipImages(int16_t stage) {
  char back1[64], back2[64], main2[64], main1[64];
  std::snprintf(back1, sizeof back1, "data/map/stage%d_1/map%db.bmp", stage, stage);
  std::snprintf(back2, sizeof back2, "data/map/stage%d_1/map%db2.bmp", stage, stage);
  std::snprintf(main2, sizeof main2, "data/map/stage%d_1/map%d_2.bmp", stage, stage);
  std::snprintf(main1, sizeof main1, "data/map/stage%d_1/map%d_1.bmp", stage, stage);
  LoadImage(Cells(back1, BgChipImages1, 0, kBgChipCount, 80, 80, 12, 12));
  LoadImage(Cells(back2, BgChipImages2, 0, kBgChipCount, 80, 80, 12, 12));
  LoadImage(Cells(main2, MainChipImages2, 0, kMainChipCount, 40, 40, 16, 16));
  if (stage == 1 || stage == 2) {
    LoadImage(Cells(main1, MainChipImages1, 0, kMainChipCount, 40, 40, 16, 16));
  }
  if (stage == 1) {
    // The cell cut there first, or it would outlive every release and keep the sheet with it.
    DeleteGraphHandle(MainChipImages2[kBackdropChip]);
    LoadImage(Whole("data/map/stage1_1/map1b_2.bmp", MainChipImages2, kBackdropChip));
  }
}

void ReleaseMapChipImages() {
  ReleaseImages(BgChipImages1);
  ReleaseImages(BgChipImages2);
  ReleaseImages(MainChipImages2);
  ReleaseImages(MainChipImages1);
}

void ReleaseStageAssets() {
  if (StageAssetsLoaded == 0) return;
  ReleaseMapChipImages();
  ReleaseImageTypes(EnemyImages0, kFirstStageObjectType, kEnemyImageTypes0 - 1);
  ReleaseImageTypes(EnemyImages1, kFirstStageObjectType, kEnemyImageTypes1 - 1);
  ReleaseImages(EnemyImages3);
  ReleaseImageTypes(PartImages, kFirstStagePartType, kPartImageTypes - 1);
  ReleaseImageTypes(EnemyShotImages, kCommonEnemyShotTypes, kEnemyShotImageTypes - 1);
  FillLayer(BackMapLayer0, -1);
  FillLayer(BackMapLayer1, -1);
  FillLayer(MainMapLayer0, -1);
  FillLayer(MainMapLayer1, -1);
  FillLayer(CollisionLayer, -1);
  FillLayer(EventLayer, 0);
  StageAssetsLoaded = 0;
}
