// The option files under "Option/": one decimal number per file for the volumes, the pad and
// key assignments, the high score and furthest start stage of each difficulty, and the
// screenshot counter. Read once at boot; written when the value changes (the counter at exit),
// each through a temporary file renamed over the old one, so a failed write leaves it intact.
// A file that is missing or holds no number in its value's range keeps the boot value and is
// logged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stg_src/game/input_state.h"

extern const char* const DifficultyNames[4];  // "easy", "normal", "hard", "insane"
// The assignments the settings fall back on: pad bits 4, 5, 6 and 8 for Shot, ChargeWeapon,
// WeaponChange and ScreenShot (the directions are fixed), keys NUMPAD4, NUMPAD8, NUMPAD6,
// NUMPAD2, Z, X, C, P, R and Q.
extern const int32_t kDefaultPadBits[kPadRoleCount];
extern const int32_t kDefaultKeyConfig[kRoleCount];

// Boot only, in this order.
void LoadSettings();
void LoadHighScores();
void LoadStartStages();
void LoadScreenshotCounter();

// All sixteen settings files, unless the Shot and ChargeWeapon pad bits are equal.
void SaveSettings();
// Normal play only.
void SaveHighScore(int16_t difficulty);
// Normal play only, for a stage 1..3 above the stored entry, which it becomes.
void SaveStartStage(int16_t difficulty, int16_t stage);
void SaveScreenshotCounter();

// Every frame after the quit test: the ScreenShot button pressed this frame (key or pad bit,
// also in playback and while paused) writes the frame as "ScreenShots/SS<counter>.bmp", except
// on the configuration pages (where the button is being assigned).
void SaveScreenshotOnButton();
// The rules of the button and the counter: the name of the screenshot this frame takes, the
// counter moved on, or false when none is taken. A negative counter takes none, and neither
// does one at 2,147,483,647, which could not count on. A number whose file exists is passed
// over, so a shot already taken is never overwritten.
bool TakeScreenshotName(char* name, size_t size);

// Writes the bytes to a temporary file beside `path`, flushes it and renames it over `path`.
// False, with `path` as it was and no temporary file left, when any step fails; the player is
// then told on standard error, with `unsaved` saying what is lost, unless it is null.
bool ReplaceFileContents(const char* path, const void* bytes, size_t size,
                         const char* unsaved = nullptr);
