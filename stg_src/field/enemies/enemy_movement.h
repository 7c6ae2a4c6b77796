// The movement steps enemy behaviours of every stage share, each on the object at slot of pool
// and changing only its own fields: the frames on screen, the count of frames the player spent
// on one side and the four-frame turn toward it, floor and ceiling walkers under gravity, the slow
// fall or rise onto terrain, stops at route markers, homing and the turn away by screen half, and
// the eased vertical approach. (The random spread of the screen shake is with the shake.)
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// One more, held at the top of the word: a count that must never turn negative.
int16_t CountUpSaturated(int16_t count);
// Frames spent on screen, in phase: 0 while off screen (by the object's despawn margins), else
// one more, held at its top. The firing rules that wait for more than 32 read it.
void CountFramesOnScreen(EnemyObject& o);

// sideCount counts up while the player is level or to the left, down while to the right,
// restarting from 0 when the side changes.
void CountPlayerSide(EnemyObject* pool, int slot);
// imageFrame 0 (facing left) .. 3 (mirrored): a turn starts once the player has stayed 17 frames
// on the other side and then runs to its end one step every even frame; facing 0, 1 or 2.
void LeanTowardPlayer(EnemyObject* pool, int slot);
// One frame of a walker under gravity (down for a floor walker, up for a ceiling walker): the
// angles turned toward groundSlope by turnRate, the move, then FollowTerrain with the air-frame
// count as its mode and probeOffset as the foot (head) probe. Landing clears airFrames and vy,
// and sets landTimer 32 after more than 2 airborne frames. The real argument has no effect.
void StepFloorWalker(EnemyObject* pool, int slot, double unused, int16_t turnRate);
void StepCeilingWalker(EnemyObject* pool, int slot, double unused, int16_t turnRate);
// One frame of a slow fall (upward 1: rise) onto terrain, without moving in x; angle turns
// toward groundSlope by 8 when turn is 1, else is 0; the slope found is not kept.
void StepSlowFaller(EnemyObject* pool, int slot, uint8_t turn, uint8_t upward);
// A marker of pair k under the probe (offset probeOffset, or -probeOffset with back) that faces
// against the walker's speed; at speed 0 both kinds count.
bool IsTurnMarkerAhead(EnemyObject* pool, int slot, int16_t k, uint8_t back);
// Such a marker stops the walker (onMarker 1, speed 0); else onMarker 0.
void StopAtTurnMarker(EnemyObject* pool, int slot, int16_t k, uint8_t back);
// heading turned toward the player by at most maxTurn, velocity along it at speed, the move with
// the scroll, angle = heading.
void HomeOnPlayer(EnemyObject* pool, int slot, int16_t maxTurn);
// The same toward 896 (up and right) in the screen's upper half, 128 (down and right) below.
void TurnToScreenHalf(EnemyObject* pool, int slot, int16_t maxTurn);
// vy eased toward speed in targetY's direction (upward 1: only upward) by speed / n, or toward 0
// by half that step once the target is level or on the other side; never past its goal.
void SteerTowardY(EnemyObject* pool, int slot, double targetY, uint8_t upward, double speed,
                  int16_t n);
