// Operations on the contents of existing graphs: putting a picture into a graph while
// remembering where it came from, filling a graph with one colour, copying a movie's frame into
// its graph, deleting every graph, and the nominal pixel format of a texture set.
#pragma once

#include "port/win32.h"
#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/graphics/image/graph_image.h"

// Writes the picture's rectangle (x, y, graph width, graph height) into the whole graph and
// records sourceFile (or none), (x, y) and loadOption for reloading it. The colour key is used
// unless the transparent colour is switched off. 0, or -1 before graphics start, for an invalid
// graph or when the upload fails.
int TransferImageToGraph(int ignored, HBITMAP bitmap, HBITMAP alphaBitmap, const char* sourceFile,
                         int fromBitmap, const GraphImage* image, const GraphImage* alphaImage,
                         int x, int y, int graph, int loadOption);
// The same for the picture's rectangle sourceRect (null: the whole picture) written at
// (dstX, dstY) of the graph; the source position recorded is sourceRect's corner less
// (dstX, dstY), or (0, 0) without a rectangle.
int TransferImageRectToGraph(int ignored, HBITMAP bitmap, HBITMAP alphaBitmap,
                             const char* sourceFile, int fromBitmap, const GraphImage* image,
                             const GraphImage* alphaImage, const RECT* sourceRect, int dstX,
                             int dstY, int graph, int loadOption);

// Fills the graph's rectangle with (r, g, b, a), each clamped to 0..255: the graph's own pixel
// value on the software path, alpha included where it has alpha; a ColorFill of every covered
// tile on the hardware path, where only draw-target graphs are filled (others stay as they are,
// with 0). -1 for an invalid graph or a missing device.
int FillGraph(int graph, int r, int g, int b, int a);

struct MovieEntry;
// The frame callback of a graph made from a movie file (the graph is the callback's value):
// brings the movie's display frame into the graph. A Theora movie with a YUV surface hands it
// to the device, which converts it while copying it into the graph's texture; otherwise the
// movie's RGB image is written into the graph. An invalid graph or a frame the movie cannot
// provide leaves the graph as it is.
void TransferMovieFrameToGraph(MovieEntry* movie, int graph);

// Deletes every graph while graphics run. 0.
int DeleteAllGraphs(int flag);

// The nominal pixel format of the texture format a creation record selects.
const PixelFormat* GetTextureSetPixelFormat(const GraphCreationRecord* record);
