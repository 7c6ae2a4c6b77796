#include "tests/softrender/reference_primitives.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/line_geometry.h"
#include "runtime/softrender/triangle_geometry.h"
#include "tests/softrender/reference_blit.h"

namespace {

bool Drawable(const MEMIMG* dst) {
  const MemImgBody& b = *dst->body;
  return !b.paletted && !b.hasAlpha && (b.colorType == Rgb565 || b.colorType == Xrgb8888);
}

// The draw state for one draw, or false when its mode draws nothing at its parameter.
bool State(ReferenceRuleState* s, bool deep) {
  *s = {};
  s->P = std::clamp(BlendParam, 0, 255);
  s->mode = static_cast<uint32_t>(CurrentBlendMode);
  if (s->mode == 1 && s->P == 255) s->mode = 0;
  if (!(s->mode <= 4 || s->mode == 10 || s->mode == 11)) return false;
  if (s->P == 0 && s->mode >= 1 && s->mode <= 3) return false;
  for (int c = 0; c < 3; ++c) s->bright[c] = static_cast<int>((DrawBright >> (8 * c)) & 0xFF);
  s->isBright = s->bright[0] != 255 || s->bright[1] != 255 || s->bright[2] != 255;
  s->deep = deep;
  return true;
}

// The pixel at (x, y) of the copy, through the rule.
void Put(uint8_t* pixels, const MEMIMG* dst, int64_t x, int64_t y, const ReferenceRuleState& s,
         uint32_t colour, int a, int r, ReferenceForm form) {
  if (form == ReferenceForm::Skip) return;
  ReferencePutPixel(pixels + y * dst->body->pitch + x * (s.deep ? 4 : 2), s, colour, a, r, form);
}

// Channels of a flat colour scaled by brightness, either by k / 256 (boxes, lines: only while
// brightness is on) or by k / 255 (flat triangles: always).
uint32_t Brighten(uint32_t colour, bool deep, bool by255) {
  const int k[3] = {int(DrawBright & 0xFF), int((DrawBright >> 8) & 0xFF),
                    int((DrawBright >> 16) & 0xFF)};
  if (!by255 && k[0] == 255 && k[1] == 255 && k[2] == 255) return colour;
  const auto scale = [&](int v, int c) { return by255 ? v * k[c] / 255 : v * k[c] / 256; };
  if (deep) {
    uint32_t out = colour & 0xFF000000u;
    for (int c = 0; c < 3; ++c)
      out |= uint32_t(scale(int((colour >> (8 * c)) & 0xFF), c)) << (8 * c);
    return out;
  }
  const int b = scale(int(colour & 31), 0), g = scale(int((colour >> 5) & 63), 1),
            r = scale(int((colour >> 11) & 31), 2);
  return uint32_t(r << 11 | g << 5 | b);
}

ClipBox Area(const MEMIMG* dst) {
  return {std::max<int64_t>(DrawArea.left, 0), std::max<int64_t>(DrawArea.top, 0),
          std::min<int64_t>(DrawArea.right, dst->width),
          std::min<int64_t>(DrawArea.bottom, dst->height)};
}

}  // namespace

void ReferenceDrawTriangle(uint8_t* pixels, const MEMIMG* dst, const MEMIMG* src,
                           const int32_t v[12], int transparent, const MEMIMG* blendImage,
                           int32_t colour) {
  if (!Drawable(dst)) return;
  const bool deep = dst->body->colorType == Xrgb8888;
  if (src != nullptr && src->body->colorType != dst->body->colorType) return;
  ReferenceRuleState s;
  if (!State(&s, deep)) return;
  TriangleSetup t;
  if (!SetUpTriangle(v, &t)) return;
  const ClipBox area = Area(dst);
  if (area.Empty()) return;

  if (src == nullptr) {
    const uint32_t c = Brighten(deep ? uint32_t(colour) : uint32_t(colour) & 0xFFFF, deep, true);
    s.isBright = false;
    for (int64_t y = t.topRow; y < t.bottomRow; ++y) {
      TriangleSpan span;
      if (!TriangleRowSpan(t, area, y, &span)) continue;
      for (int64_t k = 0; k < span.count; ++k)
        Put(pixels, dst, span.column + k, y, s, c, 255, 0, ReferenceForm::Opaque);
    }
    return;
  }

  const MemImgBody& sb = *src->body;
  if (blendImage != nullptr && (blendImage->body->colorType != Single8 ||
                                blendImage->width < src->width || blendImage->height < src->height))
    return;
  s.blend = blendImage != nullptr;
  s.alphaSource = sb.hasAlpha && !sb.paletted;
  const int bytes = sb.paletted ? 1 : deep || sb.hasAlpha ? 4 : 2;
  for (int64_t y = t.topRow; y < t.bottomRow; ++y) {
    TriangleSpan span;
    if (!TriangleRowSpan(t, area, y, &span)) continue;
    for (int64_t k = 0; k < span.count; ++k) {
      const __int128 u = span.u + static_cast<__int128>(k) * t.dudx,
                     vv = span.v + static_cast<__int128>(k) * t.dvdx;
      if (u < 0 || vv < 0 || u >= static_cast<__int128>(src->width) * FixOne ||
          vv >= static_cast<__int128>(src->height) * FixOne)
        continue;
      const int64_t tx = static_cast<int64_t>(u / FixOne), ty = static_cast<int64_t>(vv / FixOne);
      const uint8_t* px = src->pixels + ty * sb.pitch + tx * bytes;
      uint32_t word = 0, key;
      int a = 255;
      if (sb.paletted) {
        key = px[0];
        std::memcpy(&word, sb.palette + px[0] * (deep ? 4 : 2), deep ? 4 : 2);
      } else {
        std::memcpy(&word, px, deep ? 4 : 2);
        key = word;
        if (s.alphaSource) a = deep ? px[3] : px[2];
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
      const int r =
          s.blend ? BlendImageRamp[blendImage->pixels[ty * blendImage->body->pitch + tx]] : 0;
      Put(pixels, dst, span.column + k, y, s, word, a, r, form);
    }
  }
}

void ReferenceFillBox(uint8_t* pixels, const MEMIMG* dst, const RECT* rect, int32_t colour) {
  if (!Drawable(dst)) return;
  const bool deep = dst->body->colorType == Xrgb8888;
  ReferenceRuleState s;
  if (!State(&s, deep)) return;
  int64_t left = 0, top = 0, right = dst->width, bottom = dst->height;
  if (rect != nullptr) {
    left = std::min(rect->left, rect->right);
    right = std::max(rect->left, rect->right);
    top = std::min(rect->top, rect->bottom);
    bottom = std::max(rect->top, rect->bottom);
  }
  ClipBox area = {0, 0, dst->width, dst->height};
  if (SoftDrawTarget == dst) area = Area(dst);
  const uint32_t c = Brighten(deep ? uint32_t(colour) : uint32_t(colour) & 0xFFFF, deep, false);
  s.isBright = false;
  for (int64_t y = std::max(top, area.top); y < std::min(bottom, area.bottom); ++y)
    for (int64_t x = std::max(left, area.left); x < std::min(right, area.right); ++x)
      Put(pixels, dst, x, y, s, c, 255, 0, ReferenceForm::Opaque);
}

void ReferenceDrawLine(uint8_t* pixels, const MEMIMG* dst, int32_t x1, int32_t y1, int32_t x2,
                       int32_t y2, int32_t colour) {
  if (!Drawable(dst)) return;
  const bool deep = dst->body->colorType == Xrgb8888;
  ReferenceRuleState s;
  if (!State(&s, deep)) return;
  LineWalk w;
  if (!SetUpLine(x1, y1, x2, y2, Area(dst), &w)) return;
  const uint32_t c = Brighten(deep ? uint32_t(colour) : uint32_t(colour) & 0xFFFF, deep, false);
  s.isBright = false;
  // Pixel k sits k steps along the longer axis and floor(k * minor / major) along the other.
  const bool xMajor = w.dx >= w.dy;
  const int64_t major = xMajor ? w.dx : w.dy, minor = xMajor ? w.dy : w.dx;
  for (int64_t k = 0; k < major; ++k) {
    const int64_t along = k, across = k * minor / major;
    const int64_t x = w.x + w.stepX * (xMajor ? along : across),
                  y = w.y + w.stepY * (xMajor ? across : along);
    Put(pixels, dst, x, y, s, c, 255, 0, ReferenceForm::Opaque);
  }
}
