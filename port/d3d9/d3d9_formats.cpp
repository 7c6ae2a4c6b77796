#include "port/d3d9/d3d9_formats.h"

#include <algorithm>
#include <cstring>

namespace {

const PortFormatInfo kFormats[] = {
    {D3DFMT_A8R8G8B8, kPortFormatColor, 4, 0, true, true, GL_RGBA8, 0xFF000000u, 0xFF0000u, 0xFF00u,
     0xFFu},
    {D3DFMT_X8R8G8B8, kPortFormatColor, 4, 0, false, true, GL_RGBA8, 0, 0xFF0000u, 0xFF00u, 0xFFu},
    {D3DFMT_R5G6B5, kPortFormatColor, 2, 0, false, true, GL_RGB565, 0, 0xF800u, 0x7E0u, 0x1Fu},
    {D3DFMT_X1R5G5B5, kPortFormatColor, 2, 0, false, true, GL_RGB5_A1, 0, 0x7C00u, 0x3E0u, 0x1Fu},
    {D3DFMT_A1R5G5B5, kPortFormatColor, 2, 0, true, true, GL_RGB5_A1, 0x8000u, 0x7C00u, 0x3E0u,
     0x1Fu},
    {D3DFMT_A4R4G4B4, kPortFormatColor, 2, 0, true, true, GL_RGBA4, 0xF000u, 0xF00u, 0xF0u, 0xFu},
    {D3DFMT_DXT1, kPortFormatDxt, 0, 8, true, false, GL_RGBA8, 0, 0, 0, 0},
    {D3DFMT_DXT2, kPortFormatDxt, 0, 16, true, false, GL_RGBA8, 0, 0, 0, 0},
    {D3DFMT_DXT3, kPortFormatDxt, 0, 16, true, false, GL_RGBA8, 0, 0, 0, 0},
    {D3DFMT_DXT4, kPortFormatDxt, 0, 16, true, false, GL_RGBA8, 0, 0, 0, 0},
    {D3DFMT_DXT5, kPortFormatDxt, 0, 16, true, false, GL_RGBA8, 0, 0, 0, 0},
    {D3DFMT_YUY2, kPortFormatYuv, 2, 0, false, false, 0, 0, 0, 0, 0},
    {D3DFMT_UYVY, kPortFormatYuv, 2, 0, false, false, 0, 0, 0, 0, 0},
    {D3DFMT_YV12, kPortFormatYuv, 1, 0, false, false, 0, 0, 0, 0, 0},
    {D3DFMT_D16, kPortFormatDepth, 2, 0, false, false, GL_DEPTH_COMPONENT16, 0, 0, 0, 0},
    {D3DFMT_D24X8, kPortFormatDepth, 4, 0, false, false, GL_DEPTH_COMPONENT24, 0, 0, 0, 0},
    {D3DFMT_D32, kPortFormatDepth, 4, 0, false, false, GL_DEPTH_COMPONENT32F, 0, 0, 0, 0},
    {D3DFMT_INDEX16, kPortFormatIndex, 2, 0, false, false, 0, 0, 0, 0, 0},
    {D3DFMT_INDEX32, kPortFormatIndex, 4, 0, false, false, 0, 0, 0, 0, 0},
};

int MaskShift(uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1u)) mask >>= 1, ++s;
  return s;
}

// A channel of `value` scaled to 0..255, rounded as OpenGL converts normalised values.
uint32_t Expand(uint32_t value, uint32_t mask) {
  if (!mask) return 255;
  int shift = MaskShift(mask);
  uint32_t max = mask >> shift;
  uint32_t v = (value & mask) >> shift;
  return (v * 255 + max / 2) / max;
}

uint32_t Narrow(uint32_t channel, uint32_t mask) {
  if (!mask) return 0;
  int shift = MaskShift(mask);
  uint32_t max = mask >> shift;
  return ((channel * max + 127) / 255) << shift;
}

uint32_t ReadPixel(const uint8_t* p, int bytes) {
  if (bytes == 2) return static_cast<uint32_t>(p[0] | (p[1] << 8));
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void WritePixel(uint8_t* p, int bytes, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes == 4) {
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
  }
}

uint32_t Rgb565ToArgb(uint16_t c) {
  uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
  return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
         ((b << 3) | (b >> 2));
}

uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// The two end colours and their interpolations. Three-colour mode (DXT1 only, c0 <= c1) has a
// transparent black fourth entry.
void ColorPalette(const uint8_t* block, bool allowThreeColor, uint32_t palette[4]) {
  uint16_t c0 = static_cast<uint16_t>(block[0] | (block[1] << 8));
  uint16_t c1 = static_cast<uint16_t>(block[2] | (block[3] << 8));
  palette[0] = Rgb565ToArgb(c0);
  palette[1] = Rgb565ToArgb(c1);
  bool four = !allowThreeColor || c0 > c1;
  uint32_t mixed[2] = {0, 0};
  for (int i = 0; i < 2; ++i) {
    uint32_t v = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
      uint32_t a = Channel(palette[0], shift), b = Channel(palette[1], shift);
      uint32_t m = four ? (i == 0 ? (2 * a + b) / 3 : (a + 2 * b) / 3) : (a + b) / 2;
      v |= m << shift;
    }
    mixed[i] = v;
  }
  palette[2] = mixed[0];
  palette[3] = four ? mixed[1] : 0x00000000u;
}

void DecodeColorBlock(const uint8_t* block, bool allowThreeColor, uint32_t out[16]) {
  uint32_t palette[4];
  ColorPalette(block, allowThreeColor, palette);
  for (int row = 0; row < 4; ++row) {
    uint8_t bits = block[4 + row];
    for (int col = 0; col < 4; ++col) out[row * 4 + col] = palette[(bits >> (col * 2)) & 3];
  }
}

void SetAlpha(uint32_t& pixel, uint32_t alpha) { pixel = (pixel & 0x00FFFFFFu) | (alpha << 24); }

// Four bits of alpha per pixel, row by row, low nibble first.
void DecodeExplicitAlpha(const uint8_t* block, uint32_t out[16]) {
  for (int i = 0; i < 16; ++i) {
    uint32_t nibble = (block[i / 2] >> ((i & 1) * 4)) & 0xF;
    SetAlpha(out[i], nibble * 17);
  }
}

// Two end alphas and 3-bit indices: eight interpolated steps, or six with 0 and 255.
void DecodeInterpolatedAlpha(const uint8_t* block, uint32_t out[16]) {
  uint32_t a0 = block[0], a1 = block[1];
  uint32_t table[8] = {a0, a1};
  if (a0 > a1) {
    for (uint32_t i = 1; i < 7; ++i) table[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
  } else {
    for (uint32_t i = 1; i < 5; ++i) table[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
    table[6] = 0;
    table[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) SetAlpha(out[i], table[(bits >> (3 * i)) & 7]);
}

// Fixed-point tables of the movie decoder: 14 fraction bits, truncating.
int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

void DecodeYuvRect(D3DFORMAT format, const uint8_t* surface, UINT pitch, UINT height,
                   const RECT& rect, uint32_t* out, size_t outStride) {
  const uint8_t* vPlane = surface + size_t{pitch} * height;
  const uint8_t* uPlane = vPlane + size_t{pitch / 2} * (height / 2);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    uint32_t* dst = out + static_cast<size_t>(y - rect.top) * outStride;
    const uint8_t* row = surface + static_cast<size_t>(y) * pitch;
    for (LONG x = rect.left; x < rect.right; ++x) {
      int Y, U, V;
      if (format == D3DFMT_YV12) {
        Y = row[x];
        size_t c = static_cast<size_t>(y / 2) * (pitch / 2) + static_cast<size_t>(x / 2);
        U = uPlane[c];
        V = vPlane[c];
      } else {
        const uint8_t* pair = row + static_cast<size_t>(x / 2) * 4;
        if (format == D3DFMT_YUY2) {
          Y = pair[(x & 1) ? 2 : 0];
          U = pair[1];
          V = pair[3];
        } else {
          Y = pair[(x & 1) ? 3 : 1];
          U = pair[0];
          V = pair[2];
        }
      }
      *dst++ = PortYuvToArgb(Y, U, V);
    }
  }
}

}  // namespace

const PortFormatInfo* PortD3DFormatInfo(D3DFORMAT format) {
  for (const PortFormatInfo& f : kFormats)
    if (f.format == format) return &f;
  return nullptr;
}

UINT PortD3DRowPitch(D3DFORMAT format, UINT width) {
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (!f) return 0;
  if (f->kind == kPortFormatDxt)
    return std::max(1u, (width + 3) / 4) * static_cast<UINT>(f->blockBytes);
  return width * static_cast<UINT>(f->bytesPerPixel);
}

size_t PortD3DSurfaceBytes(D3DFORMAT format, UINT width, UINT height) {
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (!f) return 0;
  size_t pitch = PortD3DRowPitch(format, width);
  if (f->kind == kPortFormatDxt) return pitch * std::max(1u, (height + 3) / 4);
  if (format == D3DFMT_YV12) return pitch * height + 2 * (pitch / 2) * (height / 2);
  return pitch * height;
}

uint32_t PortYuvToArgb(int y, int u, int v) {
  int luma = 19070 * (y - 16);
  int r = Clamp255((luma + 26148 * (v - 128)) / 16384);
  int g = Clamp255((luma - 6406 * (u - 128) - 13320 * (v - 128)) / 16384);
  int b = Clamp255((luma + 33062 * (u - 128)) / 16384);
  return 0xFF000000u | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}

void PortD3DDecodeDxtBlock(D3DFORMAT format, const uint8_t* block, uint32_t out[16]) {
  switch (format) {
    case D3DFMT_DXT1:
      DecodeColorBlock(block, true, out);
      break;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
      DecodeColorBlock(block + 8, false, out);
      DecodeExplicitAlpha(block, out);
      break;
    default:
      DecodeColorBlock(block + 8, false, out);
      DecodeInterpolatedAlpha(block, out);
      break;
  }
}

void PortD3DDecodeToArgb(D3DFORMAT format, const uint8_t* surface, UINT pitch, UINT width,
                         UINT height, const RECT& rect, uint32_t* out, size_t outStride) {
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (!f) return;
  if (f->kind == kPortFormatYuv) {
    DecodeYuvRect(format, surface, pitch, height, rect, out, outStride);
    return;
  }
  if (f->kind == kPortFormatDxt) {
    uint32_t block[16];
    for (LONG by = rect.top / 4; by * 4 < rect.bottom; ++by) {
      for (LONG bx = rect.left / 4; bx * 4 < rect.right; ++bx) {
        PortD3DDecodeDxtBlock(
            format,
            surface + static_cast<size_t>(by) * pitch + static_cast<size_t>(bx) * f->blockBytes,
            block);
        for (int i = 0; i < 16; ++i) {
          LONG x = bx * 4 + (i & 3), y = by * 4 + (i >> 2);
          if (x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) continue;
          if (x >= static_cast<LONG>(width) || y >= static_cast<LONG>(height)) continue;
          out[static_cast<size_t>(y - rect.top) * outStride + static_cast<size_t>(x - rect.left)] =
              block[i];
        }
      }
    }
    return;
  }
  int bytes = f->bytesPerPixel;
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    const uint8_t* src =
        surface + static_cast<size_t>(y) * pitch + static_cast<size_t>(rect.left) * bytes;
    uint32_t* dst = out + static_cast<size_t>(y - rect.top) * outStride;
    if (format == D3DFMT_A8R8G8B8) {
      std::memcpy(dst, src, static_cast<size_t>(rect.right - rect.left) * 4);
      continue;
    }
    for (LONG x = rect.left; x < rect.right; ++x, src += bytes) {
      uint32_t v = ReadPixel(src, bytes);
      *dst++ = (Expand(v, f->alphaMask) << 24) | (Expand(v, f->redMask) << 16) |
               (Expand(v, f->greenMask) << 8) | Expand(v, f->blueMask);
    }
  }
}

void PortD3DEncodeFromArgb(D3DFORMAT format, const uint32_t* in, size_t inStride, const RECT& rect,
                           uint8_t* surface, UINT pitch) {
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (!f || f->kind != kPortFormatColor) return;
  int bytes = f->bytesPerPixel;
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    uint8_t* dst =
        surface + static_cast<size_t>(y) * pitch + static_cast<size_t>(rect.left) * bytes;
    const uint32_t* src = in + static_cast<size_t>(y - rect.top) * inStride;
    for (LONG x = rect.left; x < rect.right; ++x, dst += bytes) {
      uint32_t c = *src++;
      uint32_t v = Narrow(c >> 24, f->alphaMask) | Narrow((c >> 16) & 0xFF, f->redMask) |
                   Narrow((c >> 8) & 0xFF, f->greenMask) | Narrow(c & 0xFF, f->blueMask);
      // Bits of no channel (the X of X8R8G8B8 and X1R5G5B5) read back set, as drivers give them.
      if (!f->alphaMask)
        v |= ~(f->redMask | f->greenMask | f->blueMask) & (bytes == 2 ? 0xFFFFu : 0xFFFFFFFFu);
      WritePixel(dst, bytes, v);
    }
  }
}
