// The whole game's state joined: one reset and one digest over every area's own (the words the
// shell and the play field share, the shell's own, the sound words, the input, the replay
// stream, the play field).
#pragma once

#include "stg_src/game/state_digest.h"

// Every member of every area back to its value at program start.
void ResetGameState();
// The areas' digests in a fixed order.
StateDigest DigestGameState(DigestScope scope);
