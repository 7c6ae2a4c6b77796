// The words the stage-3 boss and its parts share: the phases of its fight, the part slots each
// part reads, and named accessors for the generic fields the boss keeps them in.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// The boss's phase word. The body sets entry, cruise, closing and folding; the middle plate
// sets stretching, the arm's tip the attack, a segment the new height and an outer plate the
// cruise again.
enum Stage3BossPhase : int16_t {
  kBossEntry = 0,
  kBossCruise = -3,
  kBossClosing = 1,
  kBossStretching = 2,
  kBossAttack = 3,
  kBossFolding = -1,
  kBossNewHeight = -2,
};

// Slots of the front part array.
constexpr int kBossCore0Slot = 0;
constexpr int kBossCore1Slot = 1;
constexpr int kUpperArmTipSlot = 3;
constexpr int kUpperArmInnerSlot = 13;  // the segment next to the root's short link
constexpr int kLowerArmTipSlot = 16;
constexpr int kFirstPlateSlot = 29;
constexpr int kLastPlateSlot = 38;

// The facing targets: the boss stops turned with core 0 (left) or core 1 toward the player.
constexpr int16_t kFaceCore0 = 0;
constexpr int16_t kFaceCore1 = 512;

// +1 or -1; flipped at each stop: the loop's way, the spin, the pods' orbit, the next height.
inline int32_t& BossTurnSign(EnemyObject& boss) { return boss.intWork2; }
// Frames of the attack; in the new-height phase 1 once the height is reached.
inline int32_t& BossPhaseTimer(EnemyObject& boss) { return boss.intWork3; }
// The angle the boss turns to while it stops (0 or 512, which the pool's spawn-side rule never
// meets).
inline int16_t& BossFacingTarget(EnemyObject& boss) { return boss.spawnDir; }
