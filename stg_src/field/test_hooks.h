// Test-only switches of the play field, for the field and stage tests and the headless driver:
// an immune ship and damage dealt to a chosen enemy. The game never turns them on; while they
// are off they change nothing, and they stay out of the replay digest.
#pragma once

#include <cstdint>

// While on, a hit on the ship (shot, body, box part, terrain) neither kills it nor spends its
// shield; the enemy's side of the hit (the shot vanishing, the rammed enemy's 50 points) is as
// usual. Off at program start and after every reset of the game's state.
void SetShipImmuneForTest(bool on);
bool IsShipImmuneForTest();

enum TestDamagePartArray : int16_t { kTestBody = -1, kTestPartsA = 0, kTestPartsB = 1 };

// An enemy object of pool 0..3, or one of its parts.
struct TestDamageTarget {
  int16_t pool = 0;
  int16_t slot = 0;
  int16_t partArray = kTestBody;
  int16_t part = 0;
};

// damage points dealt through the route a player shot's hit takes (flash, sound, kill, score,
// unlock weight); the target's behaviour plays its death from its next update. False, with
// nothing done, for a target outside the pools or the object's part counts, or a free slot.
bool DamageEnemyForTest(const TestDamageTarget& target, int32_t damage);

void ResetTestHooks();
