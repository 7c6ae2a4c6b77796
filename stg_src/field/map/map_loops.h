// The map loops: a horizontal stretch that repeats until the stage moves on, and a vertical band
// the window wraps through, with the one-frame vertical shift; the world moves with every jump
// of the window. ResetMapLoops puts every member back to its value at program start;
// DigestMapLoops sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

extern int16_t MapLoopMode;         // 0 none, 1 armed, 2 jumped back this frame
extern double HorizontalLoopStart;  // world x the loop returns to
extern double HorizontalLoopEnd;    // world x at which it wraps
extern double VerticalLoopTop;
extern double VerticalLoopBottom;  // above 0: a vertical loop is on
extern int16_t VerticalLoopJump;   // this frame's vertical wrap event, 0 none
extern double VerticalShift;       // this frame's vertical shift of the window and the world

// After the view range has moved: the wrap tests, then every object shifted by the jump.
void WrapMapLoops();
void ShiftAllForMapLoop();

void ResetMapLoops();
void DigestMapLoops(StateDigest& digest, DigestScope scope);
