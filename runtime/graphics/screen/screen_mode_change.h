// Changing the screen mode while the program runs: a full stop and start of the graphics layer
// at the new mode, with the fall-backs when the mode cannot be set.
#pragma once

// Each of width, height, bits and refreshRate may be -1 (keep). force 1 runs the change even
// when nothing differs. A mode that cannot be set falls back to the old mode, then to
// 640 x 480 x 16 at refresh 0; when none can be set the program ends. 0.
int ChangeScreenMode(int width, int height, int bits, int force, int refreshRate);
// 0 when the mode is in effect (or, before start-up, stored), -1 for a size of 0, bits other
// than 8, 16 or 32, or a mode that did not take effect, -2 when the change fell back to
// 640 x 480 x 16 at refresh 0 from another mode.
int SetScreenMode(int width, int height, int bits, int refreshRate);
