// Where the stage-6 boss keeps its parts and phase flags, shared by the body, its parts and the
// escorts that read the flags.
#pragma once

#include <cstdint>

#include "stg_src/game/shared_state.h"

namespace stage6_boss {

// partsA: the core, then four tentacles of six segments (hard and insane only).
constexpr int kCore = 0;
constexpr int kFirstTentacle = 1;
constexpr int kTentacleSegments = 24;
constexpr int16_t kPartCountWithTentacles = 25;
// partsB.
constexpr int kUpperJaw = 0;
constexpr int kLowerJaw = 1;
constexpr int kUpperHull = 2;
constexpr int kLowerHull = 3;
constexpr int kInnerShell = 4;
constexpr int kOuterShell = 5;
constexpr int kFirstLight = 14;
constexpr int kLastLight = 18;
constexpr int kBlue = 19;
constexpr int16_t kPartCountB = 20;

// StageWork entries: the hulls stand (the orbit carrier stays while 1), the gunners' flag (1,
// 2 once called, 0 when the inner shell breaks), the tentacles' shot interval base.
constexpr int kHullsStandWork = 0;
constexpr int kGunnersWork = 1;
constexpr int kTentacleIntervalWork = 255;

// The orbit carrier and the two gunners in pool 0.
constexpr int16_t kOrbitCarrierType = 14;
constexpr int16_t kFloorGunnerType = 15;
constexpr int16_t kCeilingGunnerType = 16;

// Hard and insane: the tentacles, the jaws blown off, the free boss.
inline bool IsHardFight() { return GetDifficulty() > 1; }

}  // namespace stage6_boss
