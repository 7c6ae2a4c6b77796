#include "tests/softrender/reference_scaled.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/rotated_geometry.h"
#include "tests/softrender/reference_blit.h"
#include "tests/softrender/reference_primitives.h"

namespace {

bool Drawable(const MEMIMG* dst, const MEMIMG* src) {
  const MemImgBody& d = *dst->body;
  const MemImgBody& s = *src->body;
  return !d.paletted && !d.hasAlpha && s.colorType == d.colorType &&
         (d.colorType == Rgb565 || d.colorType == Xrgb8888);
}

// The draw state for one draw, or false when its mode draws nothing at its parameter.
bool State(ReferenceRuleState* s, const MEMIMG* src, const MEMIMG* blendImage) {
  *s = {};
  s->P = std::clamp(BlendParam, 0, 255);
  s->mode = static_cast<uint32_t>(CurrentBlendMode);
  if (s->mode == 1 && s->P == 255) s->mode = 0;
  if (!(s->mode <= 4 || s->mode == 10 || s->mode == 11)) return false;
  if (s->P == 0 && s->mode >= 1 && s->mode <= 3) return false;
  for (int c = 0; c < 3; ++c) s->bright[c] = static_cast<int>((DrawBright >> (8 * c)) & 0xFF);
  s->isBright = s->bright[0] != 255 || s->bright[1] != 255 || s->bright[2] != 255;
  s->deep = src->body->colorType == Xrgb8888;
  s->blend = blendImage != nullptr;
  s->alphaSource = src->body->hasAlpha && !src->body->paletted;
  s->perPixel = false;  // the general forms only
  return true;
}

bool BlendCovers(const MEMIMG* blendImage, const MEMIMG* src) {
  return blendImage == nullptr ||
         (blendImage->body->colorType == Single8 && blendImage->width >= src->width &&
          blendImage->height >= src->height);
}

// Draws source texel (tx, ty) onto destination pixel (x, y) of the copy.
void DrawTexel(uint8_t* pixels, const MEMIMG* dst, const MEMIMG* src, const MEMIMG* blendImage,
               const ReferenceRuleState& s, int transparent, int64_t x, int64_t y, int64_t tx,
               int64_t ty) {
  const MemImgBody& sb = *src->body;
  const int bytes = sb.paletted ? 1 : s.deep || sb.hasAlpha ? 4 : 2;
  const uint8_t* px = src->pixels + ty * sb.pitch + tx * bytes;
  uint32_t word = 0, key;
  int a = 255;
  if (sb.paletted) {
    key = px[0];
    std::memcpy(&word, sb.palette + px[0] * (s.deep ? 4 : 2), s.deep ? 4 : 2);
  } else {
    std::memcpy(&word, px, s.deep ? 4 : 2);
    key = word;
    if (s.alphaSource) a = s.deep ? px[3] : px[2];
  }
  ReferenceForm form;
  if (s.alphaSource)
    form = transparent == 0 ? ReferenceForm::Partial
           : a == 0         ? ReferenceForm::Skip
           : a == 255       ? ReferenceForm::Opaque
                            : ReferenceForm::Partial;
  else
    form = transparent != 0 && key == sb.transparentColor ? ReferenceForm::Skip
                                                          : ReferenceForm::Opaque;
  if (form == ReferenceForm::Skip) return;
  const int r = s.blend ? BlendImageRamp[blendImage->pixels[ty * blendImage->body->pitch + tx]] : 0;
  ReferencePutPixel(pixels + y * dst->body->pitch + x * (s.deep ? 4 : 2), s, word, a, r, form);
}

ClipBox Area(const MEMIMG* dst) {
  return {std::max<int64_t>(DrawArea.left, 0), std::max<int64_t>(DrawArea.top, 0),
          std::min<int64_t>(DrawArea.right, dst->width),
          std::min<int64_t>(DrawArea.bottom, dst->height)};
}

// floor(d * 65536 / step) for the stretched mapping, one earlier at exact shrink positions in
// the copy leaves, and past the end of a very wide source its last pixel.
int64_t StretchedIndex(int64_t d, int64_t extent, int64_t sourceExtent, bool mirrored,
                       bool copyLeaf) {
  const int64_t step = extent * 65536 / sourceExtent;
  int64_t index = d * 65536 / step;
  if (copyLeaf && step < 65536 && d >= 1 && d * 65536 % step == 0) --index;
  index = std::min(index, sourceExtent - 1);
  return mirrored ? sourceExtent - 1 - index : index;
}

}  // namespace

void ReferenceDrawStretched(uint8_t* pixels, const MEMIMG* dst, const MEMIMG* src, const RECT& rect,
                            int transparent, const MEMIMG* blendImage) {
  if (!Drawable(dst, src) || src->width < 1 || src->height < 1) return;
  const bool mirrorX = rect.left > rect.right, mirrorY = rect.top > rect.bottom;
  const int64_t left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
  const int64_t top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
  if (left == right || top == bottom) return;
  if (right - left == src->width && bottom - top == src->height && !mirrorX && !mirrorY) {
    ReferenceDrawPlain(pixels, dst, src, static_cast<int>(left), static_cast<int>(top), transparent,
                       blendImage);
    return;
  }
  if ((right - left) * 65536 / src->width == 0 || (bottom - top) * 65536 / src->height == 0) return;
  if (!BlendCovers(blendImage, src)) return;
  ReferenceRuleState s;
  if (!State(&s, src, blendImage)) return;
  const bool copyLeaf =
      !s.alphaSource && !s.isBright && !s.blend && (s.mode == 0 || (s.mode == 3 && s.P == 255));
  const ClipBox area = Area(dst);
  for (int64_t y = std::max(top, area.top); y < std::min(bottom, area.bottom); ++y)
    for (int64_t x = std::max(left, area.left); x < std::min(right, area.right); ++x)
      DrawTexel(pixels, dst, src, blendImage, s, transparent, x, y,
                StretchedIndex(x - left, right - left, src->width, mirrorX, copyLeaf),
                StretchedIndex(y - top, bottom - top, src->height, mirrorY, copyLeaf));
}

void ReferenceDrawRotated(uint8_t* pixels, const MEMIMG* dst, const MEMIMG* src, int centreX,
                          int centreY, float angle, float scale, int transparent, int turn,
                          const MEMIMG* blendImage) {
  if (dst->body->colorType != src->body->colorType || dst->body->paletted || dst->body->hasAlpha)
    return;
  RotatedSetup setup;
  if (!SetUpRotation(src->width, src->height, centreX, centreY, angle, scale, &setup)) return;
  if (turn != 0) {
    // The quad: top-right, top-left, bottom-right and bottom-left corners, floored to pixels.
    int32_t c[8];
    const int order[4] = {3, 0, 2, 1};
    for (int i = 0; i < 4; ++i)
      for (int axis = 0; axis < 2; ++axis) {
        const int64_t whole = RotatedWholePixel(setup.corners[order[i]][axis]);
        if (whole < INT32_MIN || whole > INT32_MAX) return;
        c[2 * i + axis] = static_cast<int32_t>(whole);
      }
    const int32_t w = src->width, h = src->height;
    const int32_t t1[12] = {c[0], c[1], 0, 0, c[2], c[3], w, 0, c[4], c[5], 0, h};
    const int32_t t2[12] = {c[2], c[3], w, 0, c[4], c[5], 0, h, c[6], c[7], w, h};
    ReferenceDrawTriangle(pixels, dst, src, t1, transparent, blendImage, 0);
    ReferenceDrawTriangle(pixels, dst, src, t2, transparent, blendImage, 0);
    return;
  }
  if (!Drawable(dst, src)) return;
  const ClipBox box = ClipBoxTo(RotatedBounds(setup), Area(dst));
  if (box.Empty() || !BlendCovers(blendImage, src)) return;
  ReferenceRuleState s;
  if (!State(&s, src, blendImage)) return;
  RotatedWalk walk;
  if (!StartRotatedWalk(setup, box, &walk)) return;
  for (int64_t row = 0; row < box.Height(); ++row) {
    __int128 u = walk.u + static_cast<__int128>(row) * walk.duRow;
    __int128 v = walk.v + static_cast<__int128>(row) * walk.dvRow;
    for (int64_t k = 0; k < box.Width(); ++k, u += walk.duColumn, v += walk.dvColumn) {
      if (u < 0 || v < 0 || u >= static_cast<__int128>(src->width) * kRotatedOne ||
          v >= static_cast<__int128>(src->height) * kRotatedOne)
        continue;
      DrawTexel(pixels, dst, src, blendImage, s, transparent, box.left + k, box.top + row,
                static_cast<int64_t>(u / kRotatedOne), static_cast<int64_t>(v / kRotatedOne));
    }
  }
}
