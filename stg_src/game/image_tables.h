// The graph handles of the images the play field draws, by type and frame (or chip): the common
// set that the shell loads once at boot (ship, items, board, font, effects, player shots) and the
// enemy, part, enemy-shot and map-chip images of the common enemies and of the stage being
// played. The shell's loaders fill them (stg_src/shell/scene_assets.h, enemy_assets.h) and empty
// them again; 0 (or a failed load's -1) is no image, which the draw calls draw as nothing.
// Runtime handles, not game state.
#pragma once

#include <cstdint>

// --- the common set ----------------------------------------------------------------------------
constexpr int kShipFrames = 7;
constexpr int kShipJetFrames = 7;  // 0 and 6 empty, the five flames in 1..5
constexpr int kShipJetSmallFrames = 4;
constexpr int kShieldFrames = 4;
constexpr int kItemImageRows = 8;
constexpr int kItemImageCells = 8;  // 0..3 used
constexpr int kInfoImageCount = 21;
constexpr int kHideImageCount = 2;
constexpr int kWeaponIconCount = 16;
constexpr int kFontGlyphs = 96;
constexpr int kEffectImageTypes = 35;
constexpr int kEffectImageCells = 12;
constexpr int kPlayerShotImageTypes = 18;
constexpr int kPlayerShotImageBands = 3;
constexpr int kPlayerShotImageCells = 12;

extern int32_t AlphaBlackImage;
extern int32_t ShipJetImages[kShipJetFrames];
extern int32_t ShipJetSmallImages[kShipJetSmallFrames];
extern int32_t ShipImages[kShipFrames];
extern int32_t ShipChargeImage;
extern int32_t ShieldImages[kShieldFrames];
extern int32_t ItemImages[kItemImageRows][kItemImageCells];
extern int32_t InfoImages[kInfoImageCount];  // 0..7 the info strip, 8..20 whole captions
extern int32_t BoardImage;
extern int32_t HideImages[kHideImageCount];
extern int32_t WeaponIconImages[kWeaponIconCount];
extern int32_t UnlockedImage;
extern int32_t SpeedImage;
extern int32_t BonusImage;
extern int32_t FontImages[kFontGlyphs];
extern int32_t EffectImages[kEffectImageTypes][kEffectImageCells];
extern int32_t PlayerShotImages[kPlayerShotImageTypes][kPlayerShotImageBands]
                               [kPlayerShotImageCells];

// --- enemies, parts, enemy shots and map chips -------------------------------------------------
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
