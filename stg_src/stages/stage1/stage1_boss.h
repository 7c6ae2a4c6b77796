// The words the stage-1 boss body and its parts share: the route commands, the arm word's
// values, the core's clock, and the screen line past which a wing plate may break off.
#pragma once

#include <cstdint>

// Waypoint variants 0..9 are route commands; any other is refused.
constexpr int kRouteCommandCount = 10;

// The arm word (the body's intWork0) during the route.
constexpr int32_t kArmsSpreadOrdered = 1;
constexpr int32_t kArmsFoldOrdered = -1;
constexpr int32_t kArmsOut = 2;
constexpr int32_t kArmsIn = -2;

// The body's phases from the transformation on.
constexpr int16_t kBossTransformPhase = 2;
constexpr int16_t kBossFightPhase = 3;

// The core opens over its first frames of the fight, starts to close after kCoreOpenFrames and
// destroys itself kCoreCloseFrames later.
constexpr int32_t kCoreOpenFrames = 3500;
constexpr int16_t kCoreCloseFrames = 180;
constexpr int32_t kCoreClosedFrame = 5;
