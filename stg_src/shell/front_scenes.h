// The logo (scene 2001), the title intro (scene 2002) and the weapon select (scene 5001): an
// update run first and a drawing function each. The intro's timeline moves in its update and,
// for what was drawn (beams, shots, the ship), in EndTitleIntroFrame after the drawing.
#pragma once

void UpdateLogoScene();
void DrawLogoScene();
void UpdateTitleIntro();
void DrawTitleIntro();
void EndTitleIntroFrame();
void UpdateWeaponSelect();
void DrawWeaponSelect();
