// A texture that is no more than its size and format, for tests that run the graphics layer on a
// recording device without a real one: graphs can then be given texture storage, and the draw
// paths queue vertices for it. Its levels cannot be locked, so nothing can be uploaded into it.
#pragma once

#include "port/win32.h"

// A new texture with one reference.
IDirect3DTexture9* MakeStandInTexture(UINT width, UINT height, UINT levels, D3DFORMAT format);
