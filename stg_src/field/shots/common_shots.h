// The enemy-shot behaviours every stage shares (types 0..16 of EnemyShotHandlers): the straight
// bullets, trail dots, the seeker, the pieces of the part-mounted beams (warning dot, beam
// segment, charge particle, burst flash, muzzle glow), the burning fragment and the accelerating
// shot; and the small steps they are built from, which stage shots use too. Each behaviour runs
// its set-up while the shot is in state 1 and moves it to 2, then (in the same call) its live
// step; a shot that goes to state 3 plays its vanish step from the next call.
#pragma once

#include <cstdint>

#include "stg_src/field/shots/enemy_shots.h"

void UpdatePlainShot(int16_t slot);            // 0 (and stage 4's 22)
void UpdateSmallShot(int16_t slot);            // 1
void UpdateLargeShot(int16_t slot);            // 2
void UpdateCannonShot(int16_t slot);           // 3
void UpdateTrailShot(int16_t slot);            // 4
void UpdateTrailDotShot(int16_t slot);         // 5
void UpdateSeekerShot(int16_t slot);           // 6
void UpdateSeekerTrailDotShot(int16_t slot);   // 7
void UpdateWarningLineShot(int16_t slot);      // 8, 10 (and stage 4's 23)
void UpdateBeamShot(int16_t slot);             // 9
void UpdateThinBeamShot(int16_t slot);         // 11
void UpdateBeamChargeShot(int16_t slot);       // 12
void UpdateBeamBurstShot(int16_t slot);        // 13
void UpdateMuzzleGlowShot(int16_t slot);       // 14
void UpdateBurningFragmentShot(int16_t slot);  // 15
void UpdateAcceleratingShot(int16_t slot);     // 16

// A burning fragment of a boss's explosion: a type-15 shot thrown at 5.2 a frame from (x, y),
// only from a point on screen.
void SpawnBurningFragment(int16_t angle, double x, double y);

// velocity = (cosine, sine) of angle x speed, from the tables.
void SetShotVelocity(EnemyShot& shot, int angle, double speed);
// More than 60 px outside the screen: where a set-up drops a shot spawned off screen.
bool IsShotFarOffScreen(const EnemyShot& shot);
// anim +1 on every third frame, 7 wrapping to 4.
void CycleShotFlightAnim(EnemyShot& shot);
// anim at least 8, +1 on every third frame, the slot freed above 11.
void PlayShotVanishFrames(EnemyShot& shot);
// The anchor (work reals 2 and 3): the part's position, drawOffsetY added to y, plus the link
// offsets turned to the shot's draw angle.
void AnchorShotToPart(EnemyShot& shot, const EnemyPart& part);
