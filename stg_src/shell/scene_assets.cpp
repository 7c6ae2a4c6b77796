#include "stg_src/shell/scene_assets.h"

#include "stg_src/deterministic.h"

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
