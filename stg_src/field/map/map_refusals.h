// The refusal log of bad map values that behaviours meet in play (a variant outside the table it
// indexes, say): the value is refused where it is met, and each kind of refusal is told once
// per stage load, in one log line. What was told is no game state: it never changes play, stays
// out of the digest, and each stage load (LoadStageMaps) forgets it.
#pragma once

#include <cstdint>

// kind names the value and who refused it ("stage 1 waypoint variant"; a string that lives as
// long as the program, such as a literal); the first refusal of a
// kind since the stage load writes a line with the value, later ones write nothing.
void LogRefusedMapValue(const char* kind, int32_t value);
void ForgetRefusedMapValues();
