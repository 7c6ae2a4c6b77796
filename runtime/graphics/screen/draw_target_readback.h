// Reading pixels back from the current draw target: a rectangle written to an image file (the
// screenshot), and a rectangle lent out as a GraphImage until it is unlocked again.
#pragma once

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"

// Writes the rectangle (x1, y1)-(x2, y2) of the draw target to fileName: type 0 BMP, 1 JPEG
// (jpegQuality, jpegOption), 2 PNG (pngLevel). 0, or -1 for a rectangle that is empty or not
// inside the target, an unknown type, a missing device, or when the file cannot be written.
int SaveDrawScreen(int x1, int y1, int x2, int y2, const char* fileName, int type, int jpegQuality,
                   int jpegOption, int pngLevel);
// Lends out the rectangle of the draw target as *image (which does not own its pixels) until
// UnlockDrawTargetImage; the caller draws nothing meanwhile. 0, or -1 for a bad rectangle, a
// missing device, a lock already held, or when the copy cannot be made.
int LockDrawTargetImage(const RECT* rect, GraphImage* image);
// Ends the lock; nothing when none is held. 0.
int UnlockDrawTargetImage();
