// Stage 2's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// boss.cpp: the boss body; boss_parts.cpp: its parts.
void UpdateStage2Boss(int16_t slot);
void UpdateStage2BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage2BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage2BossFinPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage2BossSideGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage2BossTailGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);

// battleships.cpp: the battleships and batteries.
void UpdateStage2Houdai(int16_t slot);
void UpdateStage2HoudaiReverse(int16_t slot);
void UpdateStage2Senkan(int16_t slot);
void UpdateStage2Senkan2(int16_t slot);
void UpdateStage2Senkan2BeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage2SenkanBeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage2SenkanHullPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage2SenkanLowerTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                       int16_t partIndex);
void UpdateStage2SenkanUpperTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                       int16_t partIndex);

// pods_and_spawners.cpp: the pods, drones and rock spawners.
void UpdateStage2IwaLSpawner(int16_t slot);
void UpdateStage2IwaMSpawner(int16_t slot);
void UpdateStage2IwaSSpawner(int16_t slot);
void UpdateStage2Marui(int16_t slot);
void UpdateStage2Sikaku(int16_t slot);
void UpdateStage2MaruiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage2SikakuJetPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex);

// gunships.cpp: the gunships.
void UpdateStage2SpreadGunner(int16_t slot);
void UpdateStage2WingOpener(int16_t slot);
void UpdateStage2SpreadGunnerWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex);
void UpdateStage2WingOpenerWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                    int16_t partIndex);

// retarget_shot.cpp: the retarget shot.
void UpdateStage2RetargetShot(int16_t slot);

// rocks_and_walls.cpp: the rocks, ions and rock walls.
void UpdateStage2Ion(int16_t slot);
void UpdateStage2Iwa(int16_t slot);
void UpdateStage2IwaKabe(int16_t slot);
void UpdateStage2IwaPiece(int16_t slot);
void UpdateStage2IwaKabePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage2KabeCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
