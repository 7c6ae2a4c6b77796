// Stage 6's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// boss.cpp (the body), boss_core_parts.cpp (hull pieces, core, shells) and boss_jaw_parts.cpp
// (jaws, emitters, guns, lights): the boss.
void UpdateStage6Boss(int16_t slot);
void UpdateStage6BluePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6BossAnimPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6BossGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6BossHullPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6BossJawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6BossShellPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage6RedPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// boss_escorts.cpp: the boss escorts.
void UpdateStage6CeilingGunner(int16_t slot);
void UpdateStage6FloorGunner(int16_t slot);
void UpdateStage6OrbitCarrier(int16_t slot);
void UpdateStage6OrbitGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);

// robo.cpp: the robo.
void UpdateStage6Robo(int16_t slot);
void UpdateStage6RoboHatchPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage6RoboHeadPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6RoboLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// club_walker.cpp (the walker and its legs) and club_parts.cpp (its core, arms and guns): the
// club walker.
void UpdateStage6Club(int16_t slot);
void UpdateStage6ClubBackLegs(int16_t slot);
void UpdateStage6ClubBackLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage6ClubBeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6ClubCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage6ClubGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6ClubLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// roster.cpp and lifts_and_warps.cpp (the elevators and warp gates): the roster.
void GateStage6PairSpawner(int16_t slot);
void GateStage6SingleSpawner(int16_t slot);
void UpdateStage6CornerTurretMount(int16_t slot);
void UpdateStage6Elevator(int16_t slot);
void UpdateStage6Entry(int16_t slot);
void UpdateStage6Fusha(int16_t slot);
void UpdateStage6PistonMount(int16_t slot);
void UpdateStage6Press(int16_t slot);
void UpdateStage6Shutter(int16_t slot);
void UpdateStage6BlockPairMount(int16_t slot);
void UpdateStage6WarpGate(int16_t slot);
void UpdateStage6BlockPairCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);
void UpdateStage6CornerTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
void UpdateStage6ElevatorGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage6ElevatorPlatformPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex);
void UpdateStage6ElevatorSidePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
void UpdateStage6FushaBladePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage6PistonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6PortalPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6PressPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6ShutterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage6BlockPairPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage6WarpPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// shots.cpp: the enemy shots.
void UpdateStage6BigShot(int16_t slot);
void UpdateStage6BouncingShot(int16_t slot);
void UpdateStage6CannonShot(int16_t slot);
void UpdateStage6HeavyShot(int16_t slot);
void UpdateStage6LongShot(int16_t slot);
void UpdateStage6PortalBlueShot(int16_t slot);
void UpdateStage6PortalRedShot(int16_t slot);
void UpdateStage6TrailDotShot(int16_t slot);
void UpdateStage6TurningShot(int16_t slot);

// boss_tentacles.cpp: the boss tentacles.
void UpdateStage6BossTentaclePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
