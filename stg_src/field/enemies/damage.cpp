#include "stg_src/field/enemies/damage.h"

#include <algorithm>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kHitSound = 43;
constexpr int16_t kShipBlastSound = 15;
constexpr int kShipBlastEffect = 4;
constexpr int16_t kHitFlash = 128;
constexpr int16_t kRaisedShield = 8;
constexpr int16_t kSpentShield = 7;
constexpr int16_t kLevelsLostOnDeath = 2;
// A weapon below this level counts as weak when the ranks fall after a death.
constexpr int16_t kStrongLevel = 4;
// An unlock id this low is set back to the stage's own.
constexpr int16_t kUnlockResetAt = -3;
// The weapon each stage's boss unlocks, stages 1..5.
constexpr int16_t kStageUnlockIds[5] = {2, 8, 3, 9, 14};

// life - damage and damage - life held to 32 bits, whatever damage a caller passes.
int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The hit on a destructible target: flash, life lowered; the overkill.
template <typename Target>
int32_t Damage(Target& t, int32_t damage) {
  const int32_t over = Saturate(int64_t{damage} - t.life);
  t.hitFlash = kHitFlash;
  t.life = Saturate(int64_t{t.life} - damage);
  return over;
}

// The level of the selected weapon, or null for a selection outside the table.
int16_t* SelectedLevel(int16_t* levels, int count, int16_t selected) {
  return selected >= 0 && selected < count ? &levels[selected] : nullptr;
}

// Two levels lost in a death, not below 0; the level after (0 for no weapon).
int16_t LoseLevels(int16_t* level) {
  if (level == nullptr) return 0;
  *level = static_cast<int16_t>(std::max(*level - kLevelsLostOnDeath, 0));
  return *level;
}

}  // namespace

int32_t DamageEnemyObject(EnemyObject* pool, int16_t index, int32_t damage) {
  EnemyObject& o = pool[index];
  if (o.life < 0) return 0;
  const int32_t over = Damage(o, damage);
  KillEnemyObject(pool, index);
  return over;
}

int32_t DamagePart(EnemyPart* parts, int16_t j, int32_t damage) {
  EnemyPart& p = parts[j];
  if (p.life < 0) return 0;
  const int32_t over = Damage(p, damage);
  KillPart(parts, j);
  return over;
}

void KillEnemyObject(EnemyObject* pool, int16_t index) {
  RequestSoundEffect(kHitSound);
  EnemyObject& o = pool[index];
  if (o.life >= 0) return;
  o.state = 3;
  AddScore(EnemyKillScore(o.scoreBase), false);
}

void KillPart(EnemyPart* parts, int16_t j) {
  RequestSoundEffect(kHitSound);
  EnemyPart& p = parts[j];
  if (p.life >= 0) return;
  p.state = 3;
  AddScore(PartKillScore(p.scoreBase), false);
  StageUnlockId = static_cast<int16_t>(StageUnlockId - p.unlockWeight);
  ResetStageUnlockId();
}

void ResetStageUnlockId() {
  if (StageUnlockId > kUnlockResetAt) return;
  if (CurrentStage >= 1 && CurrentStage <= 5) StageUnlockId = kStageUnlockIds[CurrentStage - 1];
}

void SpendShield() {
  if (IsShipImmuneForTest()) return;
  if (DeathTimer != 0) {
    ShieldLevel = 0;
  } else if (ShieldLevel == kRaisedShield) {
    InitPlayerShot(kShieldBurstSlot, kShieldBurstShot, 0, 0, PlayerX, PlayerY, 0);
    ShieldLevel = kSpentShield;
  }
}

bool KillPlayer(int32_t) {
  if (DeathTimer > 0 || IsShipImmuneForTest()) return false;
  Lives = static_cast<int16_t>(std::max(Lives - 1, 0));
  const int16_t main =
      LoseLevels(SelectedLevel(MainWeaponLevels, kMainWeapons, SelectedMainWeapon));
  const int16_t activeSub =
      ActiveSubSlot >= 0 && ActiveSubSlot < 2 ? SelectedSubWeapons[ActiveSubSlot] : int16_t{-1};
  const int16_t sub = LoseLevels(SelectedLevel(SubWeaponLevels, kSubWeapons, activeSub));
  const int16_t charge =
      LoseLevels(SelectedLevel(ChargeWeaponLevels, kChargeWeapons, SelectedChargeWeapon));
  ShipSpeed = static_cast<int16_t>(std::max(ShipSpeed - 1, 0));
  StageBonusCount = 0;
  DeathTimer = 1;
  StageClearTimer = 0;

  SpawnEffect(kShipBlastEffect, PlayerX, PlayerY, 0, 0, 0);
  RequestSoundEffect(kShipBlastSound);
  StopMusicSlot();
  const int16_t weak =
      static_cast<int16_t>((main < kStrongLevel ? 100 : 0) + (sub < kStrongLevel ? 10 : 0) +
                           (charge < kStrongLevel ? 1 : 0));
  LowerRanksOnDeath(weak);
  return true;
}
