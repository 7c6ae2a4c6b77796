// Stage 3's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// boss.cpp: the boss.
void UpdateStage3Boss(int16_t slot);
void UpdateStage3BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage3BossSpinePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// serpent.cpp: the serpent.
void UpdateStage3Snake(int16_t slot);
void UpdateStage3SnakePlaceholder(int16_t slot);
void UpdateStage3SnakePlaceholder2(int16_t slot);
void UpdateStage3SnakeJointPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage3SnakeSegmentPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);

// tentacles.cpp: the tentacles.
void UpdateStage3Shokushu(int16_t slot);
void UpdateStage3FireballSpout(int16_t slot);
void UpdateStage3ShokushuArm(int16_t slot, bool ceiling);
void UpdateStage3ShokushuPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                              bool ceiling);
void UpdateStage3ShokushuLowerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);
void UpdateStage3ShokushuUpperPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);

// fire_hazards.cpp: the fire hazards.
void UpdateStage3FallingFire(int16_t slot);
void UpdateStage3FireCurtain(int16_t slot);
void UpdateStage3Fireball(int16_t slot);
void UpdateStage3FireballVolley(int16_t slot);
void UpdateStage3FlameVent(int16_t slot);
void UpdateStage3SmallFireball(int16_t slot);
void UpdateStage3SmallFireballVolley(int16_t slot);

// walkers.cpp: the walkers.
void UpdateStage3CeilingWalker(int16_t slot);
void UpdateStage3FloorWalker(int16_t slot);
void UpdateStage3CeilingWalkerLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex);
void UpdateStage3FloorWalkerLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                    int16_t partIndex);
void UpdateStage3WalkerGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// shots.cpp: the shots.
void UpdateStage3CannonShot(int16_t slot);
void UpdateStage3FlameJetShot(int16_t slot);
void UpdateStage3FlameShot(int16_t slot);
void UpdateStage3FlameTrailShot(int16_t slot);
void UpdateStage3RingShot(int16_t slot);
void UpdateStage3RoundShot(int16_t slot);

// rocks_and_mines.cpp: the rocks and mines.
void UpdateStage3BouncingMine(int16_t slot);
void UpdateStage3RockSpout(int16_t slot);
void UpdateStage3SlidingRock(int16_t slot);
void UpdateStage3SmallRock(int16_t slot);
void UpdateStage3SmallRock2(int16_t slot);
void UpdateStage3HouBarrelPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage3HouBasePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage3RingGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage3RockPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// boss_parts.cpp: the boss arms, plates and flame pods.
void UpdateStage3BossClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage3BossFlamePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage3BossLowerArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
void UpdateStage3BossLowerClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);
void UpdateStage3BossShieldPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage3BossUpperArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
