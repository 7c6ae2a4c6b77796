// How pixels reach a window's client area. An OpenGL-capable window keeps a canvas (a texture
// of the client size, rows from the top) that presents and DIB output draw into; showing the
// window copies the canvas to its drawable, scaled when the window is shown full screen, and
// swaps. Other windows are written through the SDL window surface. A drawable or surface of
// another shape than the client area (full screen on a desktop that is not 4:3) shows the
// picture at the largest size that keeps its shape, centred, with black bars. Port-internal.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/d3d9/gl_context.h"
#include "port/kernel/win32_types.h"

struct PortGlCanvas {
  GLuint texture;
  GLuint framebuffer;
  int width;
  int height;
  Uint32 sdlWindowId;  // the SDL window it was made for: a new window may reuse an old handle
};

// The canvas of an OpenGL-capable window, made or resized to the client size (a new canvas is
// black). Call inside a PortGlScope; null for a window without OpenGL or an empty client area.
PortGlCanvas* PortGlWindowCanvas(HWND window);
// Copies the canvas to the window and swaps. Makes the context current on the window.
bool PortGlShowWindow(HWND window, bool vsync);
// What showing does before the swap: the canvas into `framebuffer` (0: the window's own) of
// width x height, letterboxed. Call inside a PortGlScope; false for an empty target.
bool PortGlComposeCanvas(const PortGlCanvas& canvas, GLuint framebuffer, int width, int height);
// The largest rectangle of the picture's shape inside the area, centred (the whole area for an
// empty picture).
SDL_Rect PortLetterboxRect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);
// Forgets the canvas of a window (its GL objects are deleted).
void PortGlDropWindowCanvas(HWND window);

// Writes ARGB pixels to `dest` (client coordinates, cut to the client area; `pixels` holds the
// whole of `dest`, `stride` pixels a row); PortWindowShow then shows what was written. False
// when the window cannot be drawn to.
bool PortWindowWriteArgb(HWND window, const RECT& dest, const uint32_t* pixels, size_t stride);
bool PortWindowShow(HWND window);

// Reads what a window shows, `width` x `height` ARGB pixels (alpha 255) that must match its
// client size: from its OpenGL framebuffer or its SDL surface. For tests.
bool PortReadWindowPixels(HWND window, int width, int height, uint32_t* out);
