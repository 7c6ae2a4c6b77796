// Test-only switches of the play field, for the field and stage tests and the headless driver:
// an immune ship, damage dealt to a chosen enemy, and an observer told of the enemies' and enemy
// shots' spawns and pool passes. The game never turns them on; while they are off they change
// nothing, and they stay out of the replay digest.
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

// Told of every enemy object and enemy shot that is spawned, and of each slot's end of a pool
// pass, for the tests' spawn census. It only watches: nothing it is told changes play. A slot
// moved by its own behaviour (a hatch taking a higher slot) is told as a move, not a spawn.
class SpawnObserverForTest {
 public:
  virtual ~SpawnObserverForTest() = default;
  // pool 0..3; fromMap: spawned by the map spawner from an event cell, else by code.
  virtual void EnemySpawned(int pool, int slot, int32_t type, bool fromMap) = 0;
  virtual void EnemyMoved(int pool, int from, int to) = 0;
  // After the slot's pass of UpdateEnemyPool; alive: the slot is still in use.
  virtual void EnemyPassed(int pool, int slot, bool alive) = 0;
  virtual void EnemyShotSpawned(int slot, int32_t type) = 0;
  virtual void EnemyShotPassed(int slot, bool alive) = 0;
};

// The observer (null for none); kept across ResetTestHooks, as the test that set it owns it.
void SetSpawnObserverForTest(SpawnObserverForTest* observer);

// The field's notes to the observer; nothing without one. pool is one of EnemyPool0..3 (others
// are not told).
struct EnemyObject;
void NoteEnemySpawnForTest(const EnemyObject* pool, int slot, bool fromMap);
void NoteEnemyMoveForTest(const EnemyObject* pool, int from, int to);
void NoteEnemyPassForTest(int pool, int slot, bool alive);
void NoteEnemyShotSpawnForTest(int slot, int32_t type);
void NoteEnemyShotPassForTest(int slot, bool alive);

void ResetTestHooks();
