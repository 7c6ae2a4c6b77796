// The software path's screen: the screen memory image and the two screen-sized work images of
// text drawing, and the thin draw entries through which the draw calls hand a graph stored as
// a memory image to the software renderer, drawing into SoftDrawTarget.
#pragma once

#include <cstdint>

#include "runtime/softrender/memimg.h"

// The screen (16-bit 5-6-5 on a 16-bit screen, else 32-bit XRGB), and the text drawer's work
// images of the screen's colour type, without and with alpha. Live from the software path's
// graphics start to the graphics end.
extern MEMIMG ScreenMemImg;
extern MEMIMG FontWorkMemImg;
extern MEMIMG FontWorkAlphaMemImg;

// Makes the three images at the screen size, fills the screen with BackgroundColor and makes it
// SoftDrawTarget. 0; a screen or work image that cannot be made ends the program.
int CreateSoftwareScreen();
// Releases the three images (graphics end). 0.
int ReleaseSoftwareScreen();

// The software draw entries. Each draws the graph's memory image into SoftDrawTarget with the
// draw state and the blend image (SoftBlendImage); 0, also when the graph is not a live
// graph stored as a memory image or there is no target (nothing is drawn then).
int SoftDrawGraphAt(int x, int y, int transparent, int graph);
// Reversed corners mirror.
int SoftDrawGraphStretched(int x1, int y1, int x2, int y2, int graph, int transparent);
// The centre is truncated toward zero; angle in radians.
int SoftDrawGraphRotated(float centreX, float centreY, double scale, double angle, int graph,
                         int transparent, int turn);
// Corners top-left, top-right, bottom-left, bottom-right, drawn as two triangles: corners 0, 1,
// 2 with texture points (0, 0), (w, 0), (0, h), then 1, 2, 3 with (w, 0), (0, h), (w, h).
int SoftDrawGraphFourCorners(int graph, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                             int y4, int transparent);
// The same with each coordinate truncated toward zero.
int SoftDrawGraphFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                              float y4, int graph, int transparent);
// A box filled with colour (a pixel value of the target's format) through the blend state.
int SoftFillBox(int x1, int y1, int x2, int y2, uint32_t colour);
