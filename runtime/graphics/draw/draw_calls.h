// The public 2-D draw calls: a graph at its own size, stretched, mirrored, turned and scaled,
// onto four corners, a rectangle of a graph, and filled or outlined boxes. Each runs the same
// frame of checks, then draws on the hardware path when the graph is stored as textures and on
// the software renderer otherwise, into the current draw target with the draw settings in
// force. Results: 0 while drawing is suppressed or the draw area is empty (before any handle
// check), -1 for a handle that is not a live graph or when a blend graph is set that is
// smaller than the graph, -1 when the hardware path has no usable device, else 0. Positions,
// scales and angles that are not finite draw nothing.
#pragma once

#include <cstdint>

// The graph with its top-left at (x, y); -1 also before the library is initialised.
int DrawGraphAt(int x, int y, int graph, int transparent);
// The graph stretched into (x1, y1)-(x2, y2); reversed corners mirror it.
int DrawGraphStretched(int x1, int y1, int x2, int y2, int graph, int transparent);
int DrawGraphStretchedF(float x1, float y1, float x2, float y2, int graph, int transparent);
// The graph mirrored left to right at (x, y).
int DrawGraphMirrored(int x, int y, int graph, int transparent);
// The graph centred on (x, y), scaled and turned by angle radians (clockwise on the screen);
// turn 1 mirrors it left to right.
int DrawGraphRotated(int x, int y, double scale, double angle, int graph, int transparent,
                     int turn);
int DrawGraphRotatedF(float x, float y, double scale, double angle, int graph, int transparent,
                      int turn);
// The graph onto four corners given clockwise: top-left, top-right, bottom-right, bottom-left.
int DrawGraphFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int graph,
                         int transparent);
int DrawGraphFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4, int graph, int transparent);
// The rectangle (sx, sy, width, height) of the graph with its top-left at (x, y); with mirror 1
// mirrored, source column sx + width - 1 at x. The draw area is narrowed for the draw and put
// back exactly afterwards.
int DrawGraphRect(int x, int y, int sx, int sy, int width, int height, int graph, int transparent,
                  int mirror);
// The rectangle (sx, sy, width, height) of the graph stretched into (x1, y1)-(x2, y2), through a
// sub graph made for the draw. -1 when the rectangle is not inside the graph.
int DrawGraphRectStretchedF(float x1, float y1, float x2, float y2, int sx, int sy, int width,
                            int height, int graph, int transparent);

// Boxes from (x1, y1) to (x2, y2), right and bottom exclusive, in colour (MakeColorValue).
int DrawFilledBox(int x1, int y1, int x2, int y2, uint32_t colour);
int DrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour);
// fill 0 outlines the box, any other value fills it.
int DrawRectangle(int x1, int y1, int x2, int y2, uint32_t colour, int fill);
