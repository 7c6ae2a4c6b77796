// The per-frame message processing: dispatching the window messages that have arrived, sleeping
// while the window is inactive, and the library's per-frame services.
#pragma once

// Holds the call lock around PumpWindowMessages. 0 go on, -1 quit.
int ProcessWindowMessages();
// 0 go on, -1 once WM_QUIT has been seen. Also called by library code that waits for the window.
int PumpWindowMessages();
// Returns when the window is active (at once while painting or active).
void WaitWhileInactive();
