// Stage 4's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// flow_and_midboss.cpp: the flow and mid-boss.
void UpdateStage4Chubosu(int16_t slot);
void UpdateStage4Dasher(int16_t slot);
void UpdateStage4FireWall(int16_t slot);
void UpdateStage4ChubosuAnimPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage4ChubosuBodyPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage4ChubosuCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage4ChubosuGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage4ChubosuTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex);

// boss.cpp: the boss's body.
void UpdateStage4Boss(int16_t slot);
// boss_frame.cpp: its core, hull and arms.
void UpdateStage4BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage4BossBodyPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage4BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
// boss_guns.cpp: its arm lasers, missile launchers and cannons.
void UpdateStage4BossCannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage4BossLaserPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// laser_weapons.cpp: the laser weapons.
void UpdateStage4LaserBurstShot(int16_t slot);
void UpdateStage4LaserChargeShot(int16_t slot);
void UpdateStage4LaserShot(int16_t slot);

// enemies.cpp: the enemies.
void UpdateStage4Gunboat(int16_t slot);
void UpdateStage4Piston(int16_t slot);
void UpdateStage4SlidingBlock(int16_t slot);
void UpdateStage4Striker(int16_t slot);
void UpdateStage4Swooper(int16_t slot);
void UpdateStage4TurretMount(int16_t slot);
void UpdateStage4PistonBasePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage4PistonHeadPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage4SlidingBlockPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);

// launcher_ship.cpp: the launcher ship, its launchers and the exhaust (also the boss's).
void UpdateStage4LauncherShip(int16_t slot);
void UpdateStage4LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage4ExhaustPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// laser_wheel.cpp: the laser wheel and its emitters.
void UpdateStage4LaserWheel(int16_t slot);
void UpdateStage4LaserWheelPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);

// pod_ring.cpp: the pod ring and its pods.
void UpdateStage4PodRing(int16_t slot);
void UpdateStage4RingPodPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// hatch_flier.cpp: the hatch flier.
void UpdateStage4HatchZako(int16_t slot);

// shots.cpp: the shots.
void UpdateStage4BounceTrailShot(int16_t slot);
void UpdateStage4BouncingShot(int16_t slot);
void UpdateStage4BurstShot(int16_t slot);
void UpdateStage4PodShot(int16_t slot);
void UpdateStage4SpinningShot(int16_t slot);

// carrier.cpp: the carrier.
void UpdateStage4Entry(int16_t slot);
void UpdateStage4EntryCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);
void UpdateStage4EntryGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage4EntryWallPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// turret_pair.cpp: the turret pairs of the carrier and the turret mount.
void UpdateStage4LowerTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage4UpperTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
