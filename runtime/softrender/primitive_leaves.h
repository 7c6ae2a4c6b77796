// The pixel loops (leaves) of the primitives. A draw picks one loop once, from its source kind
// (or the flat colour), the rule of its blend mode, brightness, blend image and pixel
// selection; inside a loop the only per-pixel tests are the transparency test and the tests on
// the source alpha.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/softrender/line_geometry.h"
#include "runtime/softrender/pixel_rules.h"
#include "runtime/softrender/plain_leaf_types.h"
#include "runtime/softrender/rect_clip.h"

struct MEMIMG;

// Where a textured span reads: the source's top-left pixel and pitch, and the blend image's
// (null without one), both addressed at the same texel; and the plain blit's leaf of the same
// combination (PickPlainSpan), which draws the texels once gathered into a row.
// mayOverlap says whether the images read can share bytes with the rows the draw writes; when
// they cannot, the spans skip the test of their own.
struct TexelFrame {
  const uint8_t* pixels;
  ptrdiff_t pitch;
  const uint8_t* blend;
  ptrdiff_t blendPitch;
  SpanFn rowLeaf;
  bool mayOverlap;
};

// Whether the texels of src (and of the blend image, null without one, read at the same
// texels) can share bytes with the box of dst that a textured draw writes.
bool TexelsMayOverlapTarget(const MEMIMG& dst, const ClipBox& box, const MEMIMG& src,
                            const MEMIMG* blendImage);

// Draws n pixels of a row from dst rightwards; pixel k reads the texel at
// (u + k * dudx, v + k * dvdx) >> 18, which the caller has made sure lies in the source.
using TexelSpanFn = void (*)(uint8_t* dst, int64_t n, int64_t u, int64_t v, int64_t dudx,
                             int64_t dvdx, const TexelFrame& frame, const RuleParams& params);

// Draws n pixels of a row in the flat colour (already prepared: brightness applied).
using FlatRowFn = void (*)(uint8_t* dst, int64_t n, uint32_t colour, const RuleParams& params);

// Draws a clipped line starting at pixel start in the flat colour.
using FlatLineFn = void (*)(const LineWalk& walk, uint8_t* start, ptrdiff_t pitch, uint32_t colour,
                            const RuleParams& params);

// The leaf for one draw, or null when the combination has none.
TexelSpanFn PickTexelSpan(SourceKind source, RuleKind kind, bool bright, bool blend,
                          PixelSelect select);
FlatRowFn PickFlatRow(bool deep, RuleKind kind);
FlatLineFn PickFlatLine(bool deep, RuleKind kind);
