// Stage 5's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// boss_chain.cpp: the boss chain.
void UpdateStage5BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);

// boss_form1.cpp: the boss form 1.
void UpdateStage5Boss1(int16_t slot);
void UpdateStage5Boss1ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss1CannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage5Boss1GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss1LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);
void UpdateStage5Boss1SidePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// boss_form2.cpp: the boss form 2.
void UpdateStage5Boss2(int16_t slot);
void UpdateStage5Boss2ArmAPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5Boss2ArmBPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5Boss2GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss2TailPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5Boss2WingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// boss_form3.cpp: the boss form 3.
void UpdateStage5Boss3(int16_t slot);
void UpdateStage5Boss3ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss3CannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage5Boss3LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);

// boss_form4.cpp: the boss form 4.
void UpdateStage5Boss4(int16_t slot);
void UpdateStage5Boss4ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss4BeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5Boss4PodPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);

// boss_form5.cpp: the boss form 5.
void UpdateStage5Boss5(int16_t slot);
void UpdateStage5Boss5BarPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss5ClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5Boss5GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5Boss5PlatePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage5Boss5RailPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// group0_enemies.cpp: the group-0 enemies.
void UpdateStage5HatchZako(int16_t slot);
void UpdateStage5HatchZakoReverse(int16_t slot);
void UpdateStage5LaserHou(int16_t slot);
void UpdateStage5LaserHou2(int16_t slot);
void UpdateStage5Maru(int16_t slot);
void UpdateStage5LaserHouPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5MaruPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// group1_enemies.cpp: the group-1 enemies and background objects.
void UpdateStage5AnimBlock(int16_t slot);
void UpdateStage5Jet(int16_t slot);
void UpdateStage5LaunchedZako(int16_t slot);
void UpdateStage5LauncherAnim(int16_t slot);
void UpdateStage5LoopAnim(int16_t slot);
void UpdateStage5Rammer(int16_t slot);
void UpdateStage5Ring(int16_t slot);
void UpdateStage5Shutter(int16_t slot);
void UpdateStage5ZakoLauncher(int16_t slot);
void UpdateStage5FollowerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage5JetPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage5RammerGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage5RingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage5ShutterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage5ZakoGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// shots.cpp: the enemy shots.
void UpdateStage5CannonShot(int16_t slot);
void UpdateStage5CurveShot(int16_t slot);
void UpdateStage5SeekerShot(int16_t slot);
void UpdateStage5TurningShot(int16_t slot);
