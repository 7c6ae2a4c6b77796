#include "tests/softrender/reference_blit.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/image/pixel_format.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Channels indexed 0 blue, 1 green, 2 red.
struct Pixel {
  int c[3];
  int fourth;  // byte 3 of a 32-bit word
};

Pixel Split8888(uint32_t w) {
  return {{int(w & 0xFF), int((w >> 8) & 0xFF), int((w >> 16) & 0xFF)}, int(w >> 24)};
}
uint32_t Join8888(const Pixel& p) {
  return uint32_t(p.c[0]) | uint32_t(p.c[1]) << 8 | uint32_t(p.c[2]) << 16 |
         uint32_t(p.fourth) << 24;
}
Pixel Split565(uint16_t w) { return {{w & 31, (w >> 5) & 63, w >> 11}, 0}; }
uint16_t Join565(const Pixel& p) { return uint16_t(p.c[2] << 11 | p.c[1] << 5 | p.c[0]); }

}  // namespace

uint32_t ReferenceAddSaturate8888(uint32_t d, uint32_t t, bool lowBits) {
  const Pixel D = Split8888(d), T = Split8888(t);
  Pixel out{};
  const int blue = D.c[0] + T.c[0];
  int carry = blue > 255;
  out.c[0] = carry ? 255 : blue;
  for (int c = 1; c < 3; ++c) {
    // Bits 1-7 add; bit 0 catches the carry from below.
    const int upper = (D.c[c] >> 1) + (T.c[c] >> 1);
    const int low = carry | (lowBits ? ((D.c[c] | T.c[c]) & 1) : 0);
    carry = upper > 127;
    out.c[c] = carry ? 255 : (upper << 1) | low;
  }
  out.fourth = carry;
  return Join8888(out);
}

uint32_t ReferenceSubtractSaturate8888(uint32_t d, uint32_t t) {
  const Pixel D = Split8888(d), T = Split8888(t);
  Pixel out{};
  int borrow = D.c[0] < T.c[0];
  out.c[0] = borrow ? 0 : D.c[0] - T.c[0];
  for (int c = 1; c < 3; ++c) {
    const int upper = (D.c[c] >> 1) - (T.c[c] >> 1);
    const int low = borrow ? 0 : 1;
    borrow = upper < 0;
    out.c[c] = borrow ? 0 : (upper << 1) | low;
  }
  out.fourth = 0;
  return Join8888(out);
}

uint16_t ReferenceAddSaturate565(uint16_t d, uint16_t t, bool lowBits) {
  const Pixel D = Split565(d), T = Split565(t);
  Pixel out{};
  const int blue = D.c[0] + T.c[0];
  const int blueCarry = blue > 31;
  out.c[0] = blueCarry ? 31 : blue;
  const int greenUpper = (D.c[1] >> 1) + (T.c[1] >> 1);
  const int greenCarry = greenUpper > 31;
  // An overflow fills green's upper five bits; its lowest bit still takes blue's carry.
  out.c[1] =
      (greenCarry ? 31 : greenUpper) << 1 | blueCarry | (lowBits ? ((D.c[1] | T.c[1]) & 1) : 0);
  const int redUpper = (D.c[2] >> 1) + (T.c[2] >> 1);
  out.c[2] =
      redUpper > 15 ? 31 : (redUpper << 1) | greenCarry | (lowBits ? ((D.c[2] | T.c[2]) & 1) : 0);
  return Join565(out);
}

uint16_t ReferenceSubtractSaturate565(uint16_t d, uint16_t t) {
  const Pixel D = Split565(d), T = Split565(t);
  Pixel out{};
  out.c[0] = D.c[0] < T.c[0] ? 0 : D.c[0] - T.c[0];
  const int greenUpper = (D.c[1] >> 1) - (T.c[1] >> 1);
  out.c[1] = greenUpper < 0 ? 0 : greenUpper << 1;  // green's lowest bit is always 0
  const int redUpper = (D.c[2] >> 1) - (T.c[2] >> 1);
  out.c[2] = redUpper < 0 ? 0 : (redUpper << 1) | (greenUpper >= 0 ? 1 : 0);
  return Join565(out);
}

namespace {

using Form = ReferenceForm;
using Draw = ReferenceRuleState;

// Mix toward Y by w out of 2^m: floor((D * 2^m + w * (Y - D)) / 2^m).
int Mix(int d, int y, int64_t w, int m) {
  return int(FloorDiv(int64_t(d) * (int64_t(1) << m) + w * (y - d), int64_t(1) << m));
}

uint32_t Rule8888(const Draw& s, uint32_t dWord, uint32_t sWord, int a, int r, Form form) {
  if (form == Form::Raw) return sWord;
  const Pixel D = Split8888(dWord), S = Split8888(sWord);
  Pixel X{}, out = D;
  for (int c = 0; c < 3; ++c) {
    const int v = s.mode == 10 ? 255 - S.c[c] : S.c[c];
    X.c[c] = s.isBright ? v * s.bright[c] / 255 : v;
  }
  int64_t fw = 1;
  int fm = 0;
  if (s.blend) fw *= r, fm += 8;
  if (form == Form::Partial) fw *= a, fm += 8;
  const bool special = s.perPixel && !s.isBright && !s.blend && !s.alphaSource;

  switch (s.mode) {
    case 0:
      if (fm == 0) {
        if (!s.isBright) return sWord;
        for (int c = 0; c < 3; ++c) out.c[c] = X.c[c];
        return Join8888(out);
      }
      for (int c = 0; c < 3; ++c) out.c[c] = Mix(D.c[c], X.c[c], fw, fm);
      return Join8888(out);
    case 1:
    case 10:
    case 11:
      if (s.mode == 1 && special && s.P == 128) {
        for (int c = 0; c < 3; ++c) out.c[c] = S.c[c] / 2 + D.c[c] / 2;
        out.fourth = 0;
        return Join8888(out);
      }
      for (int c = 0; c < 3; ++c) {
        const int y = s.mode == 11 ? X.c[c] * D.c[c] / 256 : X.c[c];
        out.c[c] = Mix(D.c[c], y, fw * s.P, fm + 8);
      }
      return Join8888(out);
    case 2:
    case 3: {
      if (s.mode == 2 && special && s.P == 255)
        return ReferenceAddSaturate8888(dWord, sWord, false);
      Pixel T{};
      for (int c = 0; c < 3; ++c)
        T.c[c] = fm == 0 ? X.c[c] * s.P / 255 : int(int64_t(X.c[c]) * fw * s.P >> (fm + 8));
      return s.mode == 2 ? ReferenceAddSaturate8888(dWord, Join8888(T), true)
                         : ReferenceSubtractSaturate8888(dWord, Join8888(T));
    }
    default:  // 4
      for (int c = 0; c < 3; ++c) out.c[c] = int(int64_t(D.c[c]) * X.c[c] * fw >> (8 + fm));
      return Join8888(out);
  }
}

uint16_t Rule565(const Draw& s, uint16_t dWord, uint16_t sWord, int a, int r, Form form) {
  static const int kWidth[3] = {5, 6, 5};
  static const int kMax[3] = {31, 63, 31};
  if (form == Form::Raw) return sWord;
  const Pixel D = Split565(dWord), S = Split565(sWord);
  Pixel X{}, out = D;
  for (int c = 0; c < 3; ++c) {
    const int v = s.mode == 10 ? kMax[c] - S.c[c] : S.c[c];
    X.c[c] = s.isBright ? v * s.bright[c] / 255 : v;
  }
  const bool blendForm = s.blend, partial = form == Form::Partial;
  int64_t fw = 1;
  int fm = 0;
  if (blendForm) fw *= r, fm += 8;
  if (partial) fw *= a, fm += 8;
  const bool special = s.perPixel && !s.isBright && !s.blend && !s.alphaSource;

  switch (s.mode) {
    case 0:
      if (fm == 0) return s.isBright ? Join565(X) : sWord;
      for (int c = 0; c < 3; ++c) out.c[c] = Mix(D.c[c], X.c[c], fw, fm);
      return Join565(out);
    case 1:
    case 10:
    case 11:
      if (s.mode == 1 && special) {
        const int q = s.P / 4;
        for (int c = 0; c < 3; ++c)
          out.c[c] =
              s.P == 128 ? (S.c[c] >> 1) + (D.c[c] >> 1) : (S.c[c] * q + D.c[c] * (63 - q)) / 63;
        return Join565(out);
      }
      for (int c = 0; c < 3; ++c) {
        const int y = s.mode == 11 ? X.c[c] * D.c[c] / (1 << kWidth[c]) : X.c[c];
        // Without factors the step goes through the signed table: truncated toward zero.
        out.c[c] = fm == 0 ? D.c[c] + (y - D.c[c]) * s.P / 255 : Mix(D.c[c], y, fw * s.P, fm + 8);
      }
      if (s.mode == 11 && partial && !blendForm && !s.isBright) {
        const int64_t g =
            int64_t(D.c[1]) * (1 << 21) + int64_t(S.c[1] * D.c[1] / 2 - 32 * D.c[1]) * a * s.P;
        out.c[1] = int(FloorDiv(g, int64_t(1) << 21));
      }
      return Join565(out);
    case 2:
    case 3: {
      if (special && s.P == 255)
        return s.mode == 2 ? ReferenceAddSaturate565(dWord, sWord, false)
                           : ReferenceSubtractSaturate565(dWord, sWord);
      Pixel T{};
      for (int c = 0; c < 3; ++c) {
        int v;
        if (!partial && !blendForm)
          v = X.c[c];
        else if (!partial)
          v = X.c[c] * r / 256;
        else if (!blendForm)
          v = s.isBright ? (S.c[c] * a / 256) * s.bright[c] / 255 : S.c[c] * a / 256;
        else
          v = X.c[c] * a * r / 65536;
        T.c[c] = v * s.P / 255;
      }
      return s.mode == 2 ? ReferenceAddSaturate565(dWord, Join565(T), true)
                         : ReferenceSubtractSaturate565(dWord, Join565(T));
    }
    default:  // 4
      for (int c = 0; c < 3; ++c) out.c[c] = int(int64_t(X.c[c]) * D.c[c] * fw >> (kWidth[c] + fm));
      return Join565(out);
  }
}

}  // namespace

uint32_t ReferenceRule8888(const ReferenceRuleState& s, uint32_t d, uint32_t src, int a, int r,
                           ReferenceForm form) {
  return Rule8888(s, d, src, a, r, form);
}

uint16_t ReferenceRule565(const ReferenceRuleState& s, uint16_t d, uint16_t src, int a, int r,
                          ReferenceForm form) {
  return Rule565(s, d, src, a, r, form);
}

void ReferencePutPixel(uint8_t* out, const ReferenceRuleState& s, uint32_t src, int a, int r,
                       ReferenceForm form) {
  if (s.deep) {
    uint32_t d;
    std::memcpy(&d, out, 4);
    const uint32_t v = Rule8888(s, d, src, a, r, form);
    std::memcpy(out, &v, 4);
  } else {
    uint16_t d;
    std::memcpy(&d, out, 2);
    const uint16_t v = Rule565(s, d, static_cast<uint16_t>(src), a, r, form);
    std::memcpy(out, &v, 2);
  }
}

void ReferenceDrawPlain(uint8_t* dstPixels, const MEMIMG* dst, const MEMIMG* src, int x, int y,
                        int transparent, const MEMIMG* blendImage) {
  const MemImgBody& db = *dst->body;
  const MemImgBody& sb = *src->body;
  if (sb.colorType != db.colorType || db.paletted || db.hasAlpha) return;
  if (sb.colorType != Rgb565 && sb.colorType != Xrgb8888) return;

  // The visible part: the draw area, the destination and the source overlap.
  const int64_t left = std::max<int64_t>({int64_t(x), DrawArea.left, 0});
  const int64_t top = std::max<int64_t>({int64_t(y), DrawArea.top, 0});
  const int64_t right = std::min<int64_t>({int64_t(x) + src->width, DrawArea.right, dst->width});
  const int64_t bottom =
      std::min<int64_t>({int64_t(y) + src->height, DrawArea.bottom, dst->height});
  if (right <= left || bottom <= top) return;
  if (blendImage != nullptr && (blendImage->body->colorType != Single8 ||
                                blendImage->width < right - x || blendImage->height < bottom - y))
    return;

  Draw s{};
  s.P = BlendParam;
  s.mode = uint32_t(CurrentBlendMode);
  if (s.mode == 1 && s.P == 255) s.mode = 0;
  if (!(s.mode <= 4 || s.mode == 10 || s.mode == 11)) return;
  if (s.P == 0 && s.mode >= 1 && s.mode <= 3) return;
  s.bright[0] = DrawBright & 0xFF;
  s.bright[1] = (DrawBright >> 8) & 0xFF;
  s.bright[2] = (DrawBright >> 16) & 0xFF;
  s.isBright = s.bright[0] != 255 || s.bright[1] != 255 || s.bright[2] != 255;
  s.blend = blendImage != nullptr;
  s.alphaSource = sb.hasAlpha && !sb.paletted;
  s.deep = sb.colorType == Xrgb8888;
  const bool whole = left == x && top == y && right - x == src->width && bottom - y == src->height;
  s.perPixel = !(transparent == 1 && sb.skipTableValid && sb.skipTableView == src->pixels &&
                 sb.skipTableWidth == src->width && sb.skipTableHeight == src->height && whole);

  const int sBytes = src->body->format->BytesPerPixel, dBytes = s.deep ? 4 : 2;
  for (int64_t dy = top; dy < bottom; ++dy) {
    for (int64_t dx = left; dx < right; ++dx) {
      const int64_t sx = dx - x, sy = dy - y;
      const uint8_t* px = src->pixels + sy * sb.pitch + sx * sBytes;
      uint8_t* out = dstPixels + dy * db.pitch + dx * dBytes;
      uint32_t sWord, key;
      int a = 255;
      if (sb.paletted) {
        key = px[0];
        sWord = 0;
        std::memcpy(&sWord, sb.palette + px[0] * (s.deep ? 4 : 2), s.deep ? 4 : 2);
      } else {
        sWord = 0;
        std::memcpy(&sWord, px, s.deep ? 4 : 2);
        key = sWord;
        if (sb.hasAlpha) a = s.deep ? px[3] : px[2];
      }

      Form form;
      if (s.alphaSource) {
        if (transparent != 0)
          form = a == 0 ? Form::Skip : a == 255 ? Form::Opaque : Form::Partial;
        else
          form = s.mode == 0 && !s.isBright && !s.blend ? Form::Raw : Form::Partial;
      } else {
        form = transparent != 0 && key == sb.transparentColor ? Form::Skip : Form::Opaque;
      }
      if (form == Form::Skip) continue;

      const int r =
          s.blend ? BlendImageRamp[blendImage->pixels[sy * blendImage->body->pitch + sx]] : 0;
      ReferencePutPixel(out, s, sWord, a, r, form);
    }
  }
}
