// The whole game's state joined: one reset and one digest over every area's own (the shell, its
// input and replay stream, the play field).
#pragma once

#include "stg_src/state_digest.h"

// Every member of every area back to its value at program start.
void ResetGameState();
// The areas' digests in a fixed order.
StateDigest DigestGameState(DigestScope scope);
