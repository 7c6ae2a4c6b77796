// The words the stage-2 boss body and its parts share: the phases that the body and the parts
// advance in turn, and the slots the body cues.
#pragma once

#include <cstdint>

enum Stage2BossPhase : int16_t {
  kStage2BossSpawned = 0,
  kStage2BossEntry = -4,
  kStage2BossHover = -3,
  kStage2BossStop = 1,
  kStage2BossFinsFolded = 2,
  kStage2BossRam = 3,
  kStage2BossSideGunsFold = -1,
  kStage2BossArmsFold = -2,
};

// partsA: the four fins, then the nose gun. partsB: the core, the arms, the forearms, the blade
// and the four side pieces.
constexpr int kStage2BossNoseGun = 4;
constexpr int kStage2BossCore = 0;
constexpr int kStage2BossUpperArm = 1;
constexpr int kStage2BossLowerArm = 2;

// The core's time-out: it dies this many frames after its cue.
constexpr int16_t kStage2CoreTimeOut = 180;
constexpr int32_t kStage2CoreLife = 4200;
