// The hardware draw paths: graphs drawn plain, stretched, rotated or distorted to four corners,
// filled boxes and box outlines, turned into pre-transformed vertices for the vertex batch (one
// quad per texture tile of the graph); the indexed grid of the distortion draw; the software
// twin of the box outline; and the two inverting passes that make subtractive blending on a
// device without the blend-operation capability. The public draw calls have checked the
// handle, the blend graph and the suppression of drawing before any of these runs.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct ScreenVertex;
struct GraphTileDraw;

// Each of the graph and box paths returns 0, or -1 when there is no usable device; they open a
// device scene when none is open. Positions, scales or angles that are not finite queue nothing
// (0), as the software renderer draws nothing for them.

// The graph at its own size with its top-left at (xf, yf); (x, y) is the same position as
// integers for the test whether the graph lies wholly inside the draw area. keepAlphaTest keeps
// the alpha test of transparent-colour graphs under bilinear filtering.
int HardDrawGraphAt(int graph, int x, int y, float xf, float yf, int transparent,
                    int keepAlphaTest);
// The graph stretched into (x1, y1)-(x2, y2), given as integers for the inside test and as
// floats for the vertices; reversed corners mirror it. -1 for a rectangle of zero width or
// height. filterSensitive keeps the alpha test unless bilinear filtering is on.
int HardDrawGraphStretched(int x1, int y1, int x2, int y2, float x1f, float y1f, float x2f,
                           float y2f, int graph, int transparent, int filterSensitive);
// The graph turned by angle (radians) and scaled about its centre (cx, cy); turn mirrors it
// left to right. Not clipped to the draw area (the device's scissor does it). -1 for scale 0.
int HardDrawGraphRotated(int graph, float cx, float cy, double scale, double angle, int transparent,
                         int turn);
// The graph onto four integer corners in the order top-left, top-right, bottom-left,
// bottom-right.
int HardDrawGraphFourCorners(int graph, const int corners[8], int transparent);
// The graph onto four float corners (same order) without a blend graph: a tile at a time through
// HardDrawTileDistorted. With a blend graph the corners are truncated and handed to
// HardDrawGraphFourCorners.
int DrawTilesFourCorners(int graph, const float corners[8], int transparent);
// One tile onto four screen corners (same order), the draw state already prepared: one quad when
// opposite edges differ by less than a pixel, else an 8 x 8 grid of vertices.
void HardDrawTileDistorted(const float corners[8], const GraphTileDraw* tile);
// Draws a grid of columns x rows vertices (row by row) as indexed triangle strips. 0 without a
// device (nothing drawn), -1 when columns or rows is below 2, else 0.
int DrawIndexedGrid(int columns, const ScreenVertex* vertices, int rows);

// colour is a value of the screen's format (MakeColorValue). The filled box is clipped to the
// draw area; the outline is four one-pixel quads that cover each border pixel once.
int HardFillBox(int x1, int y1, int x2, int y2, uint32_t colour);
int HardDrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour);
// The outline on the software path: four lines into the software draw target. 0.
int SoftDrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour);

// Around a draw in blend mode 3 on a device without subtractive blending: the destination
// inside rect (the draw's bounding rectangle) is inverted, the draw adds, and the destination is
// inverted again, which leaves destination - source x alpha.
void BeginSubtractEmulation(const RECT* rect);
void EndSubtractEmulation(const RECT* rect);
