// The drone's snaps of an aim to the four diagonals (128, 384, 640, 896), by plain differences
// without wrapping: the first diagonal within 128 steps.
#pragma once

#include <cstdint>

int16_t NearestDiagonal(int angle);
// The same, with the rightward diagonals turned to the leftward one of the same vertical way, so
// that a drone turning away always leaves to the left.
int16_t LeftwardDiagonal(int angle);
