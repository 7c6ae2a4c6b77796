// Types shared by the plain blit and its leaves.
#pragma once

#include <cstdint>

#include "runtime/softrender/pixel_rules.h"

// The six kinds of source a blit reads: direct, alpha-channel or paletted, at either depth.
enum class SourceKind { Direct8888, Alpha8888, Paletted8888, Direct565, Alpha565, Paletted565 };

// How a leaf decides per pixel: every pixel in the opaque form, every pixel in the partial
// form, the transparent-colour test (direct and paletted sources), or the alpha class
// (alpha 0 skipped, 255 opaque, the rest partial).
enum class PixelSelect { Opaque, Partial, Key, Class };

// Draws n pixels of one row from src (and the blend image's bytes) into dst.
using SpanFn = void (*)(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int n,
                        const RuleParams& params);

// The leaf of the plain blit for one draw, or null when the combination has none. Chooses the
// fastest compilation this processor runs.
SpanFn PickPlainSpan(SourceKind source, RuleKind kind, bool bright, bool blend, PixelSelect sel);

// For tests: 1 makes the plain blit use the leaves built for any x86-64 processor even where
// wider ones would run, so that both compilations are checked; 0 goes back to the fastest.
void SetPlainLeavesGeneric(int on);
