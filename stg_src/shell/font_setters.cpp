#include "stg_src/shell/screen_calls.h"

#include "stg_src/deterministic.h"

// Stand-ins until the font layer holds the default font's settings: the game draws its own
// bitmap font, so until then the library's default font merely keeps its own size and face.
// This file goes when the font layer defines these three.
int SetDefaultFontSize(int) { return 0; }
int SetDefaultFontThickness(int) { return 0; }
int SetDefaultFontType(int) { return 0; }
