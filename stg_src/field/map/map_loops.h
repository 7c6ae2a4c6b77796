// The map loops: a horizontal stretch that repeats until the stage moves on, and a vertical band
// the window wraps through, with the one-frame vertical shift; the world moves with every jump
// of the window, so nothing changes on screen. ResetMapLoops puts every member back to its value
// at program start; DigestMapLoops sums them.
//
// With T = VerticalLoopTop and B = VerticalLoopBottom, the rows B - 400 .. B show the same map as
// T .. T + 400, and the loop's height is L = B - 400 - T.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/game/state_digest.h"

extern int16_t MapLoopMode;         // 0 none, 1 armed, 2 jumped back this frame
extern double HorizontalLoopStart;  // world x the loop returns to
extern double HorizontalLoopEnd;    // world x at which it wraps
extern double VerticalLoopTop;
extern double VerticalLoopBottom;  // above 0: a vertical loop is on
// This frame's vertical event: 1 the window wrapped from the bottom to the top, 2 from the top
// to the bottom; 3 (4) its centre is in the lower (upper) half while the ship moves down (up).
extern int16_t VerticalLoopJump;
extern double VerticalShift;  // this frame's vertical shift of the window and the world

// After the view range has moved: the horizontal jump, the vertical wrap the ship's vertical
// intent drives, the vertical shift, and the background layers' base corrections that keep the
// backgrounds where they were.
void WrapMapLoops();
// A horizontal jump, a vertical event or a vertical shift this frame.
bool IsMapLoopShifting();
// One point moved by this frame's jumps.
void ShiftForMapLoop(double* x, double* y);
// Every object of the pool in use, and its parts in use.
void ShiftPoolForMapLoop(EnemyObject* pool, int count);
// Right after WrapMapLoops, when shifting: the ship, effects, the enemy pools (pool 3 only on
// stage 1, and on stage 5 before its boss), player shots and the enemy shots' three points.
void ShiftAllForMapLoop();
// An object that moved this frame and drifted out of the loop's band on the window's side is
// moved over by L, with its parts.
void WrapObjectInVerticalLoop(EnemyObject* pool, int slot);
// The y a new object is placed at: in the lower copy of the band while the window shows it.
double LoopAdjustedY(double y);

void ResetMapLoops();
void DigestMapLoops(StateDigest& digest, DigestScope scope);
