// The motion of walkers' parts: wheels that roll with the owner's ground speed, hips that swing
// in step with the roll, knees and feet that bend while the leg is lifted and shake the screen as
// the foot comes down, and pods that swing out on a circle toward a target angle. None of them
// draws random numbers.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// Turns angle as a wheel of that radius rolling at speed px a frame: at least one step for any
// motion, 4 a frame for radius 20 at 1 px. A radius of 0 or less does not roll.
void RollAngleBySpeed(int16_t radius, int16_t* angle, double speed, bool reverse);
// base for an angle in 192..320 or 704..832, base + 1 for 321..703, else base - 1.
int16_t FrameFromAngle(int16_t base, int16_t angle);
// Snaps a rolled step phase onto 512 or 0 (the two foot-down moments) when this frame's roll
// crossed it, from the phase before the roll; true when it did.
bool SnapStepPhase(int16_t previous, int16_t* phase);

// A part that follows its owner and rolls its baseAngle with the owner's ground speed; the
// set-up makes it harmless (no life, no hit circles).
void RollPartWithObject(int16_t radius, EnemyObject* pool, int slot, EnemyPart* parts, int j,
                        bool reverse);
// A part that follows its owner (or its parent part) and, hanging on the owner, swings its angle
// from low at phase 0 to high at phase 512 and back as its phase rolls; mirrored with a mirrored
// owner when copyFacing is set.
void SwingPartWithObject(int16_t radius, EnemyObject* pool, int slot, EnemyPart* parts, int j,
                         int16_t low, int16_t high, bool copyFacing, bool reverse);
// A wheel or leg that circles reach px around its placed point and bobs 2 to 6 px at the top of
// its stride while the owner moves; a big one (reach 13 or more) sounds each turn. hideInAir
// hides it while the owner is in the air or landing.
void UpdateRollingLegPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t reach, bool hideInAir, bool bobDown);
// One segment of a three-segment leg by variant: 0 the hip (stepCue on each foot-down), 1 the
// knee hanging on the hip (bends while lifted; the landing shakes the screen), 2 the foot.
void UpdateLegSegmentPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t low, int16_t high, int16_t kneeBend, int16_t shakeFrames,
                          int16_t stepCue);
// One segment of a jointed leg by variant 0..11: hips 0, 1, 6, 7; knees 2, 8 and mirrored 3, 9;
// feet 4, 10 and mirrored 5, 11. Odd variants swing mirrored.
void UpdateJointedLegPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t low, int16_t high, int16_t kneeMax, int16_t footMax,
                          int16_t footAngle, int16_t shakeFrames, int16_t stepCue, bool reverse);
// A part that turns toward target while moving on a circle of that radius from where it
// started: one step every 4 frames at first, faster every rampFrames frames (below 1: never).
void SwingPartOnCircle(EnemyPart* parts, int j, int16_t radius, int16_t rampFrames, int16_t target);
