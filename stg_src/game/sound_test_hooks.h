// Test-only observer of the sound-effect requests, so that field and stage tests see every
// request the game makes, also those a retrigger guard drops. The game never sets it; it is no
// game state and stays out of the replay digest.
#pragma once

#include <cstdint>

// Told the slot of every RequestSoundEffect call, as asked (a slot outside the table too), before
// the guard is looked at. Null turns it off, as at program start; resets of the game's state
// leave it to whoever set it.
using SoundRequestObserver = void (*)(int16_t slot);
void SetSoundRequestObserverForTest(SoundRequestObserver observer);
