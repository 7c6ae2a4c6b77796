// Rectangle clipping for the renderer's own use (left, top, right, bottom; right and bottom
// exclusive), in 64 bits so that a position plus a size never overflows.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct ClipBox {
  int64_t left, top, right, bottom;
  bool Empty() const { return right <= left || bottom <= top; }
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
};

inline ClipBox ClipBoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Collapses an inverted box (right below left becomes left, bottom above top becomes top) and
// clamps each edge into the bounds; a box outside the bounds ends empty.
inline ClipBox ClipBoxTo(ClipBox r, const ClipBox& bounds) {
  const auto clamp = [](int64_t v, int64_t lo, int64_t hi) {
    return v < lo ? lo : v > hi ? hi : v;
  };
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  if (bounds.right <= bounds.left || bounds.bottom <= bounds.top)
    return {bounds.left, bounds.top, bounds.left, bounds.top};
  r.bottom = clamp(r.bottom, bounds.top, bounds.bottom);
  r.top = clamp(r.top, bounds.top, bounds.bottom);
  r.right = clamp(r.right, bounds.left, bounds.right);
  r.left = clamp(r.left, bounds.left, bounds.right);
  return r;
}
