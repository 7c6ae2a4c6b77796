#include "tools/datakit/image_encode.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "tools/lib/image_file_fixtures.h"

namespace {

uint8_t ToByte(float v) {
  v = std::clamp(v, 0.0f, 1.0f);
  return static_cast<uint8_t>(v * 255.0f + 0.5f);
}

}  // namespace

void ResolvePixel(const float* p, Surface surface, bool hardEdge, uint8_t rgba[4]) {
  const float a = std::clamp(p[3], 0.0f, 1.0f);
  const float light = std::max({p[0], p[1], p[2]});
  float r = p[0], g = p[1], b = p[2], alpha = 1;
  if (surface != Surface::Opaque) {
    if (hardEdge) {
      // Solid where at least half covered; glow (light without cover) shows over black and is
      // cut where it has faded to almost nothing.
      if (a >= 0.5f) {
        r /= a, g /= a, b /= a;
      } else if (light < 12.0f / 255.0f) {
        alpha = 0;
      }
    } else {
      alpha = std::clamp(std::max(a, light), 0.0f, 1.0f);
      if (alpha > 0) r /= alpha, g /= alpha, b /= alpha;
    }
  }
  rgba[0] = ToByte(r), rgba[1] = ToByte(g), rgba[2] = ToByte(b), rgba[3] = ToByte(alpha);
  if (hardEdge && rgba[3] == 0) {
    rgba[0] = 255, rgba[1] = 0, rgba[2] = 255;
    return;
  }
  if (rgba[3] == 0) rgba[0] = rgba[1] = rgba[2] = 0;
  // The key colour is reserved for transparency.
  if (rgba[0] == 255 && rgba[1] == 0 && rgba[2] == 255) rgba[1] = 1;
}

std::vector<uint8_t> EncodeBmp(const Canvas& canvas, Surface surface) {
  const size_t stride = (static_cast<size_t>(canvas.w) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> pixels(stride * canvas.h, 0);
  for (int y = 0; y < canvas.h; ++y) {
    uint8_t* row = pixels.data() + (canvas.h - 1 - y) * stride;
    for (int x = 0; x < canvas.w; ++x) {
      uint8_t rgba[4];
      ResolvePixel(canvas.At(x, y), surface, true, rgba);
      row[x * 3] = rgba[2], row[x * 3 + 1] = rgba[1], row[x * 3 + 2] = rgba[0];
    }
  }
  BmpFileLayout layout;
  layout.width = canvas.w;
  layout.height = canvas.h;
  layout.bitCount = 24;
  return MakeBmpFile(layout, pixels);
}

std::vector<uint8_t> EncodePng(const Canvas& canvas, Surface surface) {
  PngFileLayout layout;
  layout.width = canvas.w;
  layout.height = canvas.h;
  layout.colourType = 6;
  std::vector<ByteString> rows(canvas.h, ByteString(static_cast<size_t>(canvas.w) * 4));
  for (int y = 0; y < canvas.h; ++y)
    for (int x = 0; x < canvas.w; ++x)
      ResolvePixel(canvas.At(x, y), surface, false, &rows[y][x * 4]);
  return MakePngFile(layout, rows);
}

bool IsBmpPath(const char* path) {
  const size_t n = std::strlen(path);
  return n > 4 && std::tolower(static_cast<unsigned char>(path[n - 3])) == 'b' &&
         std::tolower(static_cast<unsigned char>(path[n - 2])) == 'm' &&
         std::tolower(static_cast<unsigned char>(path[n - 1])) == 'p';
}

std::vector<uint8_t> EncodeImage(const char* path, const Canvas& canvas, Surface surface) {
  return IsBmpPath(path) ? EncodeBmp(canvas, surface) : EncodePng(canvas, surface);
}
