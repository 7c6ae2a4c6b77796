// The logo (scene 2001), the title intro (scene 2002) and the weapon select (scene 5001): an
// update run first and a drawing function each.
#pragma once

void UpdateLogoScene();
void DrawLogoScene();
void UpdateTitleIntro();
void DrawTitleIntro();
void UpdateWeaponSelect();
void DrawWeaponSelect();
