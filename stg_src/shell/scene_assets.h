// The images and sounds that are not a stage's: the common set loaded once at boot and kept
// until the program ends, and the small sets of the front-end scenes (logo, title, weapon
// select, stage-clear screen) and the ending text, each loaded when its scene starts and
// released when it ends. A release does nothing while its set is not loaded.
#pragma once

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
