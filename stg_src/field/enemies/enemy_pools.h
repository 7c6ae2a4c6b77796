// The four enemy pools, their free-slot search, the spawn functions that stage code and the map
// spawner call, and the per-frame pool pass that runs each object's handler, its parts and its
// collisions. Slots are free at state 0 and are reused without clearing. ResetEnemyPools puts
// every slot back to its value at program start; DigestEnemyPools sums every field of every
// slot, free ones included (for a run's digest, all but the drawing's beamDrawn mark).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/game/state_digest.h"

constexpr int kEnemyPool0Size = 64;   // map codes 1-63 and stage code; type 10 is the boss
constexpr int kEnemyPool1Size = 128;  // map codes 65-127 and stage code
constexpr int kEnemyPool2Size = 64;   // missiles and shells that can be shot down
constexpr int kEnemyPool3Size = 64;   // background objects moving with the parallax

extern EnemyObject EnemyPool0[kEnemyPool0Size];
extern EnemyObject EnemyPool1[kEnemyPool1Size];
extern EnemyObject EnemyPool2[kEnemyPool2Size];
extern EnemyObject EnemyPool3[kEnemyPool3Size];

// Upward: the first free slot from n + 1 (from 0 when that is negative, from count - 1 when it
// is count or more). Downward: the first free slot from end - 1 down to 0, where end is n when
// 0 <= n < count, else count. -1 when none.
int16_t FindFreeEnemySlot(const EnemyObject* pool, int count, int n, bool downward);
// The spawn reset: the listed words only, and intWork0; position, life, image frame, velocities,
// hit circles, the other work words and parts keep the previous occupant's values.
void InitEnemyObject(EnemyObject* pool, int slot, int32_t type, int16_t variant);
// The spawn reset and the position; inside a vertical loop y goes to the band's copy on screen.
void SpawnEnemyAtTile(EnemyObject* pool, int slot, int32_t type, int column, int row, bool leading,
                      int16_t variant);
void SpawnEnemyAt(EnemyObject* pool, int slot, int32_t type, double x, double y);

// slot negative: the lowest free slot; exact 1: that very slot, whatever it holds, and the
// result is -1; else the highest free slot below slot. The slot, or -1 with nothing spawned
// (also for a type past the pool's table or an exact slot outside the pool).
int16_t SpawnPool0Enemy(double x, double y, int16_t type, int16_t angle, int16_t slot,
                        uint8_t exact);
int16_t SpawnPool1Enemy(double x, double y, int16_t type, int16_t angle, int16_t slot,
                        uint8_t exact);
// The lowest free slot.
int16_t SpawnPool2Enemy(double x, double y, int16_t type, int16_t angle);
// The first free slot above after.
int16_t SpawnPool3Object(double x, double y, int16_t type, int16_t angle, int16_t after);
// The map spawner's entries: the lowest free slot, at the tile's centre; a negative type, and
// on pool 0 the type of the boss on screen (BossType), spawn nothing. The slot or -1.
int16_t SpawnPool0AtTile(int16_t type, int column, int row, bool leading, int16_t variant);
int16_t SpawnPool1AtTile(int16_t type, int column, int row, bool leading, int16_t variant);

// The per-frame pass: the solid-object timers, then pool 3 (stage 1; stage 5 while BossState is
// 0; stage 6 while StageSixCounter is 100 or more), pools 2, 1 and 0.
void UpdateEnemyPools();
// One pool, slots from 0 upward; kind 0..3 selects the handler table and the pool's rules. An
// object whose y changed is wrapped through a vertical loop before its collisions.
void UpdateEnemyPool(EnemyObject* pool, int kind, int count);

void ResetEnemyPools();
void DigestEnemyPools(StateDigest& digest, DigestScope scope);
// Every field; the run's scope leaves out the parts' beamDrawn, which only drawing sets.
void DigestEnemyObject(StateDigest& digest, const EnemyObject& object, DigestScope scope);
