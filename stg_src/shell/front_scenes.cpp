#include "stg_src/shell/front_scenes.h"

#include "stg_src/deterministic.h"

// Empty until the front-end scenes are written.
void UpdateLogoScene() {}
void DrawLogoScene() {}
void UpdateTitleIntro() {}
void DrawTitleIntro() {}
void UpdateWeaponSelect() {}
void DrawWeaponSelect() {}
