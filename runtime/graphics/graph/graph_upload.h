// Writing pixels into existing graphs: the image upload that loading, restoring and movie frames
// use, and the copy of a rectangle of the current draw target into a graph.
#pragma once

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"

// Writes the source rectangle of image (with alphaImage, of the same size, or null) into the
// graph at (dstX, dstY), in graph coordinates, or in the coordinates of the graph's whole texture
// set when wholeSet is set. useColorKey turns the set's colour key into transparency where the
// storage has alpha and no alpha image is given. A DXT picture goes as its blocks into DXT
// textures of its kind that it fills whole, and expanded everywhere else. An empty rectangle
// writes nothing and gives 0. fromBitmap selects the GDI bitmap pair instead of the images; no
// caller in this system passes one and the port cannot read one, so it is refused. 0, or -1 with
// the line of the failing step (tiles written before it stay written).
int UploadImageToGraph(int handle, int ignored, HBITMAP bitmap, HBITMAP alphaBitmap,
                       const RECT* sourceRect, int dstX, int dstY, int fromBitmap,
                       const GraphImage* image, const GraphImage* alphaImage, int blendImage,
                       int useColorKey, int wholeSet);

// Copies (x1, y1)-(x2, y2) of the current draw target into the graph at (0, 0). The rectangle
// must lie inside the target and the graph must have exactly its size. 0 or -1.
int CopyDrawTargetToGraph(int x1, int y1, int x2, int y2, int handle);
