// Driving the front-end scenes through the headless game: the pad's bits by role, presses (a
// frame held, a frame released), the boot to the logo, and the title menu opened on its top
// page with its flash run out.
#pragma once

#include <cstdint>

#include "tests/game_support/game_driver.h"

// Pad-mask bits of the default assignments.
constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadLeft = 1u << 1;
constexpr uint32_t kPadRight = 1u << 2;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadCharge = 1u << 5;

// DirectInput key codes the tests press.
constexpr int kKeyQ = 16;  // Pause
constexpr int kKeyP = 25;  // ScreenShot
constexpr int kKeyZ = 44;  // Shot
constexpr int kKeyX = 45;  // ChargeWeapon
constexpr int kKeyReturn = 28;

inline FrameInput Pad(uint32_t bits) { return FrameInput{{}, bits}; }

// The input held for one frame, then one frame of nothing, `times` over.
void Press(GameDriver& driver, const FrameInput& input, int times = 1);
inline void PressPad(GameDriver& driver, uint32_t bits, int times = 1) {
  Press(driver, Pad(bits), times);
}

// Start-up and the two frames to the logo.
void BootToLogo(GameDriver& driver);
// A title visit, its intro cut short by Shot, and the menu's flash run out: the top page with
// its cursor on `row`, input taken from the next frame.
void OpenTitleMenu(GameDriver& driver, int16_t row = 0);
