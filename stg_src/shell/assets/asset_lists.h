// What each loader loads, as lists of rows: the common images and sound effects, the front-end
// scenes' sets, the enemy set common to every run and each stage's set.
#pragma once

#include <cstdint>

#include "stg_src/shell/assets/image_loads.h"

extern const ImageList kCommonImages;
constexpr int kCommonSoundEffects = 49;  // slots 0..48
extern const char* const kCommonSoundFiles[kCommonSoundEffects];

extern const ImageList kTitleImages;
extern const ImageList kLogoImages;
extern const ImageList kWeaponSelectImages;
extern const ImageList kResultImages;

extern const ImageList kEnemyCommonImages;
// Stage 1..7; an empty list for any other stage.
const ImageList& StageImages(int stage);
