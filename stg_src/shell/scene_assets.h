// The images and sounds that are not a stage's: the common set loaded once at boot and kept
// until the program ends, and the small sets of the front-end scenes (logo, title, weapon
// select, stage-clear screen) and the ending text, each loaded when its scene starts and
// released when it ends. A release does nothing while its set is not loaded. The tables hold
// graph handles: 0 (or a failed load's -1) is no image, which the draw calls draw as nothing.
#pragma once

#include <cstdint>

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
extern int32_t SceneImage;
extern int32_t TitleImage;
extern int32_t WeaponBackImage;

void LoadCommonAssets();
void ReleaseCommonAssets();
void LoadTitleAssets();
void ReleaseTitleAssets();
void LoadLogoImage();
void ReleaseLogoImage();
void LoadEndingText();
void LoadWeaponSelectAssets();
void ReleaseWeaponSelectAssets();
void LoadResultAssets();
void ReleaseResultAssets();

// The ending text, read by LoadEndingText; SceneWork[1] counts the lines read.
constexpr int kEndingTextRows = 64;
constexpr int kEndingTextRowBytes = 65;
extern char EndingTextLines[kEndingTextRows][kEndingTextRowBytes];
