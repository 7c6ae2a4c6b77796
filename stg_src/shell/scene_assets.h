// The images and sounds that are not a stage's: the common set loaded once at boot and kept
// until the program ends, and the small sets of the front-end scenes (logo, title, weapon
// select, stage-clear screen), each loaded when its scene starts and
// released when it ends. A release does nothing while its set is not loaded. The common set's
// tables are stg_src/game/image_tables.h (the play field draws them); the front-end scenes' are
// here. They hold graph handles: 0 (or a failed load's -1) is no image.
#pragma once

#include <cstdint>

#include "stg_src/game/image_tables.h"

extern int32_t SceneImage;
extern int32_t TitleImage;
extern int32_t WeaponBackImage;

void LoadCommonAssets();
void ReleaseCommonAssets();
void LoadTitleAssets();
void ReleaseTitleAssets();
void LoadLogoImage();
void ReleaseLogoImage();
void LoadWeaponSelectAssets();
void ReleaseWeaponSelectAssets();
void LoadResultAssets();
void ReleaseResultAssets();
