// Types shared by the plain blit and its leaves.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/softrender/pixel_rules.h"

// The six kinds of source a blit reads: direct, alpha-channel or paletted, at either depth.
enum class SourceKind { Direct8888, Alpha8888, Paletted8888, Direct565, Alpha565, Paletted565 };

struct MemImgBody;
// The kind of source an image body is read as (a paletted body with alpha reads as paletted).
SourceKind SourceKindOf(const MemImgBody& body);

// How a leaf decides per pixel: every pixel in the opaque form, every pixel in the partial
// form, the transparent-colour test (direct and paletted sources), or the alpha class
// (alpha 0 skipped, 255 opaque, the rest partial).
enum class PixelSelect { Opaque, Partial, Key, Class };

// Draws n pixels of one row from src (and the blend image's bytes) into dst.
using SpanFn = void (*)(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int n,
                        const RuleParams& params);

// Draws n pixels of each of rows rows, each image's row after the last at its pitch: the
// per-draw set-up paid once for the whole draw.
using RowsFn = void (*)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                        const uint8_t* blend, ptrdiff_t blendPitch, int n, int rows,
                        const RuleParams& params);

// One leaf in both forms.
struct PlainLeaf {
  SpanFn span = nullptr;
  RowsFn rows = nullptr;
};

// The leaf of the plain blit for one draw, or null when the combination has none. Chooses among
// the compilations this processor runs the one that draws rows of rowPixels (0: rows of any
// length) fastest.
SpanFn PickPlainSpan(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel,
                     int rowPixels);
// The same leaf in its form for many rows.
RowsFn PickPlainRows(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel,
                     int rowPixels);

// The compilations of the leaves: for any x86-64 processor, for AVX2, and for AVX-512 (byte and
// word forms).
enum class LeafCompilation { Preferred, Generic, Avx2, Avx512 };
// For tests: every leaf from the given compilation, so that each is checked; Preferred goes
// back to the choice of PickPlainSpan. A compilation this processor does not run is ignored.
void SetPlainLeafCompilation(LeafCompilation compilation);
bool PlainLeafCompilationRuns(LeafCompilation compilation);
