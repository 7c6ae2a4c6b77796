// The stretched blit against its closed form on random draws: every destination pixel inside
// the clipped rectangle shows the source pixel that floor(d * 65536 / step) names (one earlier
// at exact shrink positions in the copy leaves, mirrored where the corners are reversed), or
// keeps its value where that pixel is transparent; nothing else changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

// The source index that destination offset d (from the unclipped near edge) samples.
int64_t ClosedFormIndex(int64_t d, int64_t extent, int64_t sourceExtent, bool mirrored,
                        bool copyLeaf) {
  const int64_t step = extent * 65536 / sourceExtent;
  int64_t index = d * 65536 / step;
  if (copyLeaf && step < 65536 && d >= 1 && d * 65536 % step == 0) --index;
  return mirrored ? sourceExtent - 1 - index : index;
}

enum class Kind { Direct8888, Direct565, Paletted8888, Alpha565 };

struct Draw {
  Kind kind;
  int srcW, srcH;
  RECT rect, area;
  int mode, transparent;
  std::string Describe() const {
    std::ostringstream out;
    out << "kind " << int(kind) << " source " << srcW << "x" << srcH << " rect " << rect.left << ","
        << rect.top << "," << rect.right << "," << rect.bottom << " area " << area.left << ","
        << area.top << "," << area.right << "," << area.bottom << " mode " << mode
        << " transparent " << transparent;
    return out.str();
  }
};

// One random extent: mostly small, some far larger than the destination (and past 65536), so
// that clip distances of 32768 and more occur.
void RandomSpan(std::mt19937& rng, int destExtent, int32_t& a, int32_t& b) {
  int64_t lo, size;
  if (rng() % 4 == 0) {
    size = 40000 + rng() % 260000;
    lo = -static_cast<int64_t>(rng() % size) + static_cast<int64_t>(rng() % destExtent);
  } else {
    size = 1 + rng() % 60;
    lo = static_cast<int64_t>(rng() % (destExtent + 20)) - 20;
  }
  a = static_cast<int32_t>(lo);
  b = static_cast<int32_t>(lo + size);
  if (rng() % 2) std::swap(a, b);  // mirrored
}

TEST(StretchedBlitProperty, EveryPixelIsTheSourcePixelOfTheClosedForm) {
  DrawStateGuard state;
  std::mt19937 rng(5150);
  constexpr int kDestW = 48, kDestH = 32;
  int failures = 0;
  for (int round = 0; round < 3000 && failures < 5; ++round) {
    Draw d{};
    d.kind = static_cast<Kind>(rng() % 4);
    d.srcW = 1 + static_cast<int>(rng() % (rng() % 3 == 0 ? 200 : 24));
    d.srcH = 1 + static_cast<int>(rng() % (rng() % 3 == 0 ? 200 : 24));
    RandomSpan(rng, kDestW, d.rect.left, d.rect.right);
    RandomSpan(rng, kDestH, d.rect.top, d.rect.bottom);
    if (rng() % 3 == 0) {
      d.area = {-10, -10, 100, 100};  // beyond the destination: the destination clips
    } else {
      d.area.left = static_cast<LONG>(rng() % kDestW);
      d.area.right = d.area.left + 1 + static_cast<LONG>(rng() % (kDestW - d.area.left));
      d.area.top = static_cast<LONG>(rng() % kDestH);
      d.area.bottom = d.area.top + 1 + static_cast<LONG>(rng() % (kDestH - d.area.top));
    }
    d.mode =
        rng() % 2 ? 0 : 2;  // copy, or the add at full strength over black: both show the source
    d.transparent = d.kind == Kind::Alpha565 ? 1 : static_cast<int>(rng() % 2);

    const bool deep = d.kind == Kind::Direct8888 || d.kind == Kind::Paletted8888;
    const int colorType = deep ? Xrgb8888 : Rgb565;
    const bool paletted = d.kind == Kind::Paletted8888, alpha = d.kind == Kind::Alpha565;
    CanaryImage src(d.srcW, d.srcH, colorType, paletted, alpha);
    CanaryImage dst(kDestW, kDestH, colorType);
    MemImgBody& body = *src.image.body;
    // Colours are never 0, the destination's value, so a skipped pixel shows.
    std::vector<uint32_t> colour(static_cast<size_t>(d.srcW) * d.srcH);
    std::vector<bool> skipped(colour.size());
    const uint32_t key = deep ? 0x00FF00FF : 0xF81F;
    body.transparentColor = paletted ? 7 : key;
    if (paletted) {
      body.colorsUsed = 16;
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t entry = 0x00010101 * (i + 1) + (i << 19);
        std::memcpy(body.palette + 4 * i, &entry, 4);
      }
    }
    for (int y = 0; y < d.srcH; ++y) {
      for (int x = 0; x < d.srcW; ++x) {
        const size_t i = static_cast<size_t>(y) * d.srcW + x;
        const bool hidden = rng() % 5 == 0;
        skipped[i] = hidden && d.transparent != 0;
        if (paletted) {
          const uint32_t index = hidden ? 7 : (rng() % 15 + 8) % 16;  // 7 only when hidden
          src.Set(x, y, index);
          std::memcpy(&colour[i], body.palette + 4 * index, 4);
        } else if (alpha) {
          colour[i] = 1 + rng() % 0xFFFF;
          src.Set(x, y, colour[i] | (hidden ? 0u : 0xFF0000u));
        } else {
          colour[i] = hidden ? key : 1 + rng() % (deep ? 0xFFFFFF : 0xFFFF);
          if (colour[i] == key && !hidden) colour[i] = 1;
          src.Set(x, y, colour[i]);
        }
      }
    }
    CurrentBlendMode = d.mode;
    BlendParam = 255;
    DrawArea = d.area;
    DrawMemImgStretched(&dst.image, &src.image, &d.rect, d.transparent, nullptr);

    const bool mirrorX = d.rect.left > d.rect.right, mirrorY = d.rect.top > d.rect.bottom;
    const int64_t left = std::min(d.rect.left, d.rect.right),
                  right = std::max(d.rect.left, d.rect.right);
    const int64_t top = std::min(d.rect.top, d.rect.bottom),
                  bottom = std::max(d.rect.top, d.rect.bottom);
    const bool copyLeaf = d.mode == 0 && !alpha;
    bool ok = dst.CanariesIntact();
    for (int y = 0; y < kDestH && ok; ++y) {
      for (int x = 0; x < kDestW && ok; ++x) {
        const bool inside = x >= left && x < right && y >= top && y < bottom && x >= d.area.left &&
                            x < d.area.right && y >= d.area.top && y < d.area.bottom;
        uint32_t expected = 0;
        if (inside) {
          const int64_t column = ClosedFormIndex(x - left, right - left, d.srcW, mirrorX, copyLeaf);
          const int64_t row = ClosedFormIndex(y - top, bottom - top, d.srcH, mirrorY, copyLeaf);
          if (column < 0 || column >= d.srcW || row < 0 || row >= d.srcH) {
            ADD_FAILURE() << d.Describe() << ": the closed form leaves the source at " << x << ","
                          << y;
            ok = false;
            break;
          }
          const size_t i = static_cast<size_t>(row) * d.srcW + column;
          if (!skipped[i]) expected = colour[i];
        }
        if (dst.Get(x, y) != expected) {
          ADD_FAILURE() << d.Describe() << ": pixel " << x << "," << y << " is " << std::hex
                        << dst.Get(x, y) << ", expected " << expected;
          ok = false;
        }
      }
    }
    if (!ok) ++failures;
  }
}

}  // namespace
