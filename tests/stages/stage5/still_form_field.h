// A still field for stage 5's boss forms: one form spawned alone, the world and the screen
// agreeing, and per-step tallies of what it fired.
#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

// One boss form alone on stage 5 at a difficulty (the chain's marker at its type), the ship
// immune at (300, 360): below form 1's cannon slide, so nothing rams a core. Each step tallies
// the enemy shots and missiles it spawned and clears them.
class StillFormField {
 public:
  explicit StillFormField(int16_t type = 10, int difficulty = 0) : field_(difficulty) {
    ClearAllObjects();
    CurrentStage = 5;
    StageMarker = type;
    DrawOffsetX = DrawOffsetY = 0;
    ScrollDeltaX = ScrollDeltaY = 0;
    TimeRank = PowerRank = 0;
    BossState = 0;
    field_.SetShipImmune(true);
    PlayerX = 300;
    PlayerY = 360;
    EXPECT_EQ(SpawnPool0Enemy(640, 200, type, 0, -1, 0), 0);
    field_.TakeSoundRequests();
  }
  EnemyObject& form() { return EnemyPool0[0]; }
  EnemyPart& part(int slot) { return form().partsB[slot]; }
  void Step() {
    UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
    UpdateEffects();
    frameShots.clear();
    for (const EnemyShot& s : EnemyShots)
      if (s.state != 0) frameShots.push_back(s);
    for (const EnemyShot& s : frameShots) shots[s.type] += 1;
    ClearEnemyShots();
    for (EnemyObject& m : EnemyPool2) {
      if (m.state != 0 && m.type == 0) missiles += 1;
      m.state = 0;
    }
    for (int s : field_.TakeSoundRequests()) sounds.push_back(s);
  }
  template <typename Done>
  bool RunUntil(Done done, int limit) {
    for (int i = 0; i < limit; ++i) {
      Step();
      if (done()) return true;
    }
    return false;
  }
  // Into the patrol after entry and braking, tallies reset.
  void ReachPatrol() {
    ASSERT_TRUE(RunUntil([&] { return form().state == 2 && form().phase == -3; }, 200));
    ResetTallies();
  }
  void ResetTallies() {
    shots.fill(0);
    missiles = 0;
    sounds.clear();
  }
  void KillCore(int slot) { Damage(slot, part(slot).life + 1); }
  void Damage(int slot, int32_t damage) {
    ASSERT_TRUE(field_.DamageEnemy({0, 0, kTestPartsB, static_cast<int16_t>(slot)}, damage));
  }
  int SoundCount(int s) const {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), s));
  }

  std::array<int, 32> shots{};
  std::vector<EnemyShot> frameShots;
  int missiles = 0;
  std::vector<int> sounds;

 private:
  FieldFixture field_;
};
