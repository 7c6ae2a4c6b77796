// Stage 1's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// boss.cpp: the boss.
void UpdateStage1Boss(int16_t slot);
void UpdateStage1BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);

// boss_parts.cpp: the boss parts and stage shot.
void UpdateStage1BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage1BossGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage1BossLauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
void UpdateStage1BossSliderPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage1BossThrusterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
void UpdateStage1BossWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage1ShurikenPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage1RetargetShot(int16_t slot);

// tied_beam.cpp: the beam a part fires while its cue counts down from the row's start: warning
// lines and charge particles, then at the row's beam start its sound, a burst and a beam segment
// a frame, every piece tied to the part `along` px out along its angle. The reduced form (beam
// cannons) has no warning lines, particles or burst, and its beam lasts twice as long. Stages
// whose emitters fire the same beam run it with their own row.
struct TiedBeamRow {
  int16_t start;      // the cue an owner writes to fire
  int16_t beamStart;  // the cue at which the warning ends and the beam begins
  int16_t warningShot;
  int16_t beamShot;
  int16_t chargeShot;
  int16_t burstShot;
  int16_t sound;
  double along;
  bool reduced;
};
constexpr int16_t kTiedBeamStart = 120;
constexpr TiedBeamRow TiedBeamAlong(double along, bool reduced = false) {
  return {kTiedBeamStart, 70, 10, 11, 12, 13, 37, along, reduced};
}
void RunTiedBeam(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                 const TiedBeamRow& row);

// opening.cpp: the opening.
void UpdateStage1BeamCannonHigh(int16_t slot);
void UpdateStage1BeamCannonLow(int16_t slot);
void UpdateStage1Bokan(int16_t slot);
void UpdateStage1BeamEmitterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage1BokanHatchPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex);
void UpdateStage1BokanVerniaPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex);
void UpdateStage1HougekiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage1JetFlamePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage1JikiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// background_objects.cpp: the background objects.
void UpdateStage1BgObjectPlacer(int16_t slot);
void UpdateStage1DisabledBgObject(int16_t slot);
void UpdateStage1Hougeki(int16_t slot);
void UpdateStage1SkyBaku(int16_t slot);
void UpdateStage1SkyBakuPlacer(int16_t slot);
void UpdateStage1Sora(int16_t slot);
void UpdateStage1SoraPlacer(int16_t slot);

// robot_and_hatches.cpp: the walking robot and hatches.
void UpdateStage1Hatch(int16_t slot);
void UpdateStage1HatchRiser(int16_t slot);
void UpdateStage1Robo(int16_t slot);
void UpdateStage1RoboAsiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// fliers_rocks_walls.cpp: the fliers, walkers, rocks and walls.
void UpdateStage1BossWaypoint(int16_t slot);
void UpdateStage1CeilingIwaS1(int16_t slot);
void UpdateStage1CeilingIwaS2(int16_t slot);
void UpdateStage1CeilingIwaS3(int16_t slot);
void UpdateStage1CrossGunner(int16_t slot);
void UpdateStage1IwaL(int16_t slot);
void UpdateStage1IwaM(int16_t slot);
void UpdateStage1IwaS1(int16_t slot);
void UpdateStage1Kabe(int16_t slot);
void UpdateStage1MortarWalker(int16_t slot);
void UpdateStage1KabeCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex);
void UpdateStage1KabeHouPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage1KabePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateStage1MortarWalkerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);
