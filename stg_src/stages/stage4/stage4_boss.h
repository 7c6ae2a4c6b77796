// The stage-4 boss's words shared by its body and its parts: the fight phases, the slots of its
// parts, and the part words that carry a volley between the body and a gun.
#pragma once

#include <cstdint>

// EnemyObject::phase of the boss. The parts move it on between the fight phases.
enum Stage4BossPhase : int16_t {
  kStage4BossEntry = 0,
  kStage4BossFolded = -3,     // fight with the arms folded
  kStage4BossCannonsOut = 1,  // the cannons slide out
  kStage4BossUnfold = 2,      // the arms open
  kStage4BossOpen = 3,        // fight with the arms open
  kStage4BossCannonsIn = -1,  // the cannons slide in
  kStage4BossFold = -2,       // the arms close
};

// Slots in partsB (partsA holds the two exhaust flames).
constexpr int kStage4BossBody = 6;
constexpr int kStage4BossCore = 7;
constexpr int kStage4BossArmLaser = 8;   // and 9
constexpr int kStage4BossLauncher = 10;  // and 11
constexpr int kStage4BossCannon = 12;    // and 13

// The world x the core publishes and the open signal the dasher raises.
constexpr int kStage4CoreXWord = 1;
constexpr int kStage4CoreOpenWord = 2;
