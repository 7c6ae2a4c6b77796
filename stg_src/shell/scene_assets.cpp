#include "stg_src/shell/scene_assets.h"

#include "stg_src/deterministic.h"

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
int32_t SceneImage;
int32_t TitleImage;
int32_t WeaponBackImage;

// Empty until the asset tables are filled.
void LoadCommonAssets() {}
void ReleaseCommonAssets() {}
void LoadTitleAssets() {}
void ReleaseTitleAssets() {}
void LoadLogoImage() {}
void ReleaseLogoImage() {}
void LoadEndingText() {}
void LoadWeaponSelectAssets() {}
void ReleaseWeaponSelectAssets() {}
void LoadResultAssets() {}
void ReleaseResultAssets() {}
