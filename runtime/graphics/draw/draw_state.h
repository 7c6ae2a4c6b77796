// The draw state that every draw call reads: clip rectangle, blend mode and parameter, draw
// brightness and the weight ramp of the blend image, and the draw settings beside them (colour
// key, graph creation options, draw target). The graphics layer owns and sets it (the setters
// are in draw_settings.h); the software renderer only reads it, once at the start of each draw.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct MEMIMG;

// Clip rectangle of the current draw target (right and bottom exclusive), clamped to the
// target's size by the graphics layer.
extern RECT DrawArea;

// The blend mode number in force: 0 none, 1 alpha, 2 add, 3 subtract, 4 multiply,
// 10 inverted-source alpha, 11 multiply then alpha. Other values are stored and draw nothing.
extern int32_t CurrentBlendMode;

// The blend mode's parameter, kept in 0..255 by the setter.
extern int32_t BlendParam;

// Brightness bytes: blue in bits 0-7, green 8-15, red 16-23; bits 24-31 are never read.
// 0xFFFFFF in the low 24 bits means no modulation.
extern uint32_t DrawBright;

// Weight (out of 256) that a blend-image byte gives the source; see BuildBlendImageRamp.
extern uint8_t BlendImageRamp[256];

// The memory image that software draws go to (the screen's, a draw-target graph's or the mask
// screen's), or null before the software screen exists. DrawArea is in its pixels.
extern MEMIMG* SoftDrawTarget;

// Draw calls and draw settings do nothing while set.
extern int DrawSuppressed;
// The draw target: a graph handle, -2 the back buffer, -4 the front buffer.
extern int DrawTarget;
// 1: presenting does not wait for the vertical blank.
extern int NoVSyncWait;

// The diffuse colour of new hardware vertices: alpha (the blend parameter, or 255 in blend
// mode 0) in the top byte, DrawBright below.
extern uint32_t PackedDrawColor;
// 0x00RRGGBB: the colour that counts as transparent in images loaded from now on (a graph's
// storage keeps the key it was made with).
extern uint32_t ColorKey;
// 1: uploads ignore the colour key.
extern int NoTransColorOption;

// How new graphs are stored, read when their storage is made.
extern int GraphBitDepthOption;       // 0 automatic, else 16 or 32
extern int DrawTargetGraphOption;     // 1: graphs that can be drawn into
extern int AlphaTestGraphOption;      // 1 (after a reset): a transparent colour tested by alpha
extern int SystemMemoryCopyOption;    // 1: default-pool textures with a staging copy
extern int BlankGraphAlphaOption;     // 1: blank graphs get an alpha channel
extern int SingleTextureGraphOption;  // 1: each side kept in one texture where it fits
