// The software renderer's primitives: textured and flat triangles, the four-corner draw made
// of two triangles, filled boxes and lines. Every draw reads the draw state (CurrentBlendMode,
// BlendParam, DrawBright, DrawArea) once when it starts, clips to DrawArea and to the
// destination itself, and writes nothing but destination pixels. None reports a result: a
// refused call draws nothing.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct MEMIMG;

// One record of DrawMemImgLines: a line from (x1, y1), drawn, toward (x2, y2), not drawn, in
// colour (a pixel value in the destination's format). param is not read; the box outline
// stores the blend parameter there.
struct MemImgLine {
  int32_t x1, y1, x2, y2;
  int32_t colour;
  int32_t param;
};

// Draws one triangle. vertices holds x, y, u, v of each of the three vertices: x, y in
// destination pixels, u, v in source texels (0 is the source's left or top edge, its width or
// height the opposite edge). With a source the triangle is mapped affinely from it (nearest
// texel), honouring the transparent flag and the optional 8-bit blend image, which must cover
// the source; with source null it is filled flat in colour and both are ignored.
void DrawMemImgTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t vertices[12], int transparent,
                        const MEMIMG* blendImage, int32_t colour);

// Draws the whole source onto four corners (x, y pairs in destination pixels: the corner that
// gets the source's top-left, then top-right, bottom-left, bottom-right) as two triangles split
// along the top-right to bottom-left diagonal. A quad whose box misses the draw area costs no
// triangle set-up.
void DrawMemImgQuad(MEMIMG* dst, const MEMIMG* src, const int32_t corners[8], int transparent,
                    const MEMIMG* blendImage);

// Fills the box x1, y1, x2, y2 (corners in any order, right and bottom exclusive; null: the
// whole destination) with colour through the blend state. DrawArea applies only when the
// destination is the draw target (SoftDrawTarget); every fill is clipped to the destination.
void FillMemImgBox(MEMIMG* dst, const RECT* rect, int32_t colour);

// Draws the line from (x1, y1), drawn, toward (x2, y2), not drawn.
void DrawMemImgLine(MEMIMG* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);

// Draws count records in order; a count of 0 or less draws nothing.
void DrawMemImgLines(MEMIMG* dst, const MemImgLine* lines, int count);

// The four lines of the outline of box x1, y1, x2, y2 (right and bottom exclusive, corners as
// given): top, right, bottom, left, each leaving out its end point, so that every border pixel
// of a box at least 2 x 2 is drawn once.
void MakeBoxOutlineLines(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour,
                         int32_t param, MemImgLine lines[4]);
