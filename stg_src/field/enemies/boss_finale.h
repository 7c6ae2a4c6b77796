// The steps every beaten boss shares, beside the damage that beats it: the stage clear on its
// own, and the finale a boss plays on the last frame of its blasts (frame 80 of its death).
#pragma once

struct EnemyObject;

// The stage clear alone: StageClearTimer 2 (the clear counts up from there), BossState -1 and
// the music stopped. For the bosses whose clear comes apart from their finale.
void ClearStageAfterBoss();

// Where a finale happens and what it takes: effect 32 and the capsule at (x, y), the boss
// explosion at (blastX, blastY).
struct BossFinale {
  double x = 0;
  double y = 0;
  double blastX = 0;
  double blastY = 0;
  bool clearsStage = true;   // ClearStageAfterBoss in the same step
  bool dropsCapsule = true;  // the weapon capsule (item kind 7) while StageUnlockId is above 0
};

// In this order: the clear, the capsule, sound 27, effect 32, a 60-frame screen shake and the
// boss explosion with debris. The boss frees or hides itself.
void FinishBoss(const BossFinale& finale);

// A beaten boss's drift during its blasts: along its heading at its speed, which falls by 0.2 a
// frame to 0, riding the scroll.
void DriftToAStop(EnemyObject& o);

// The finale where the boss stands, its explosion 30 px right of and above it (the capsule and
// the clear as BossFinale's defaults); the boss frees itself.
void FinishBossWhereItStands(EnemyObject& o);

// One frame of the death most bosses share: drifting to a stop with medium blasts every 8 frames
// and large ones every 12, and the finale where it stands at frame 80.
void StepBeatenBossDrifting(EnemyObject& o);
