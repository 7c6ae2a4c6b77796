// The countdown laser of stage 4's beam parts: the users' table (start value, warning floor,
// burst value and sound, the shot types of each phase, the muzzle offsets, which shots live far
// off screen) and the one step every user runs on its part's cue: warning, burst, beam, idle.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

struct Stage4LaserUser {
  int16_t startValue;    // the owner writes it into cue
  int16_t warningFloor;  // cue at or above it: warning line and charge particles
  int16_t burstValue;    // cue equal to it: the sound and the burst; 1..burstValue the beam
  int16_t burstSound;
  int16_t warningShot;
  int16_t chargeShot;
  int16_t burstShot;
  int16_t beamShot;
  double along;   // muzzle offset along the part's angle
  double across;  // and across it
  // Shots that stay alive 640 px off screen (else the shot pool's default margin).
  bool farWarning, farCharge, farBurst, farBeam;
  // The warning line and the beam are spawned at angle 0 (else the part's angle); they take the
  // part's angle from their first update while it fires.
  bool spawnAtAngleZero;
};

inline constexpr int16_t kLaserFarMargin = 640;

// The carrier's core, the wheel's emitters, the boss's arm lasers (variants 0 and 1) and cannons.
inline constexpr Stage4LaserUser kCarrierCoreLaser = {200, 141, 140,  39,    23,    25,   26,  24,
                                                      64,  0,   true, false, false, true, true};
inline constexpr Stage4LaserUser kWheelEmitterLaser = {1250, 1201, 1200, 37,   10,   12,   13,   11,
                                                       25,   0,    true, true, true, true, false};
// The emitter's short beam: below the burst value, so no warning, burst or sound.
inline constexpr int16_t kWheelShortBeam = 128;
inline constexpr Stage4LaserUser kBossArmLaser[2] = {
    {120, 71, 70, 37, 10, 12, 13, 11, 80, 13, false, false, false, false, false},
    {120, 71, 70, 37, 10, 12, 13, 11, 80, -13, false, false, false, false, false},
};
inline constexpr Stage4LaserUser kBossCannonLaser[2] = {
    {120, 71, 70, 37, 10, 12, 13, 11, 155, 16, false, false, false, false, false},
    {120, 71, 70, 37, 10, 12, 13, 11, 155, -16, false, false, false, false, false},
};

// One frame of part j's laser (after the part has followed its owner): BeginStage4LaserFrame,
// then by cue the warning step, idle, or the beam step
// (burst and sound on the burst value). A spawn that finds the shot pool full is skipped and the
// count goes on.
void RunStage4Laser(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                    const Stage4LaserUser& user);
// The two steps alone, for a part that runs its own phase rules (the carrier's core holds its
// warning until it has slid out).
void RunStage4LaserWarningStep(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                               const Stage4LaserUser& user);
void RunStage4LaserBeamStep(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                            const Stage4LaserUser& user);
// First in every frame of the part: the stop of a cut beam forgotten when cue holds the start
// value, else a cut kept while the sequence runs.
void BeginStage4LaserFrame(EnemyPart& part, const Stage4LaserUser& user);
