#include "stg_src/game/image_tables.h"

#include "stg_src/game/deterministic.h"

int32_t AlphaBlackImage;
int32_t ShipJetImages[kShipJetFrames];
int32_t ShipJetSmallImages[kShipJetSmallFrames];
int32_t ShipImages[kShipFrames];
int32_t ShipChargeImage;
int32_t ShieldImages[kShieldFrames];
int32_t ItemImages[kItemImageRows][kItemImageCells];
int32_t InfoImages[kInfoImageCount];
int32_t BoardImage;
int32_t HideImages[kHideImageCount];
int32_t WeaponIconImages[kWeaponIconCount];
int32_t UnlockedImage;
int32_t SpeedImage;
int32_t BonusImage;
int32_t FontImages[kFontGlyphs];
int32_t EffectImages[kEffectImageTypes][kEffectImageCells];
int32_t PlayerShotImages[kPlayerShotImageTypes][kPlayerShotImageBands][kPlayerShotImageCells];

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
