// Memory images: creation, views, release, validity, format descriptors and fills.
#include "runtime/softrender/memimg.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/softrender/rect_clip.h"

namespace {

// Largest pixel buffer a body takes: row offsets and sizes stay within 32-bit arithmetic.
constexpr int64_t kMaxBufferBytes = INT32_MAX;

int BytesPerPixelOf(int colorType, int paletted, int hasAlpha) {
  if (paletted) return 1;
  switch (colorType) {
    case Rgb565:
      return hasAlpha ? 4 : 2;
    case Xrgb8888:
      return 4;
    case Single8:
      return 1;
    default:
      return 2;
  }
}

uint8_t* AllocZero(int64_t bytes) {
  return static_cast<uint8_t*>(AllocTrackedZero(static_cast<size_t>(bytes), "", 0));
}

void FreeBodyBuffers(MemImgBody* body) {
  if (!body->callerOwnsPixels) FreeTracked(body->pixels);
  body->pixels = nullptr;
  FreeTracked(body->premultipliedPixels);
  body->premultipliedPixels = nullptr;
  FreeTracked(body->skipTable);
  body->skipTable = nullptr;
  FreeTracked(body->palette);
  body->palette = nullptr;
  body->paletteCopy = nullptr;
}

}  // namespace

int CreateMemImg(MEMIMG* image, int width, int height, int pitch, uint32_t transparentColor,
                 int colorType, int paletted, int hasAlpha, int workBuffers, void* callerPixels) {
  if (image == nullptr || image->magic == MemImgMagic) return -1;
  if (width <= 0 || height <= 0 || colorType < Rgb565 || colorType > Single16) return -1;

  paletted = paletted ? 1 : 0;
  hasAlpha = hasAlpha ? 1 : 0;
  if (paletted) hasAlpha = 0;
  if (colorType == Single8 || colorType == Single16) paletted = hasAlpha = 0;

  const int bytes = BytesPerPixelOf(colorType, paletted, hasAlpha);
  const int64_t row = int64_t{width} * bytes;
  int64_t storedPitch;
  if (pitch == -1) {
    storedPitch = (row + 15) & ~int64_t{15};
  } else {
    if (pitch < row) return -1;  // rows would overlap
    storedPitch = pitch;
  }
  if (storedPitch > INT32_MAX || storedPitch * height > kMaxBufferBytes) return -1;
  const int64_t skipTableBytes = (int64_t{width} + 5) * height;

  // The power of two reached from 1 by doubling until it holds the row (or the given pitch).
  const int64_t wanted = pitch == -1 ? row : pitch;
  int64_t power = 1;
  int shift = 0;
  while (power < wanted) {
    power *= 2;
    ++shift;
  }

  // A record that is not live may still carry a body pointer from an earlier failure or
  // release; it is never trusted: every creation makes a body of its own.
  MemImgBody* body = static_cast<MemImgBody*>(AllocTrackedZero(sizeof(MemImgBody), "", 0));
  if (body == nullptr) return -1;
  bool ok = true;
  if (paletted) {
    body->palette = AllocZero(2048);
    body->paletteCopy = body->palette ? body->palette + 1024 : nullptr;
    ok = body->palette != nullptr;
  }
  if (ok) {
    if (callerPixels != nullptr) {
      body->pixels = static_cast<uint8_t*>(callerPixels);
      body->callerOwnsPixels = 1;
    } else {
      body->pixels = AllocZero(storedPitch * height);
      ok = body->pixels != nullptr;
    }
  }
  if (ok && workBuffers && hasAlpha) {
    body->premultipliedPixels = AllocZero(storedPitch * height);
    ok = body->premultipliedPixels != nullptr;
  }
  if (ok && workBuffers && colorType != Single8) {
    body->skipTable = AllocZero(skipTableBytes);
    ok = body->skipTable != nullptr;
  }
  body->format = GetMemImgPixelFormat(colorType, hasAlpha, paletted);
  if (!ok || body->format == nullptr) {
    FreeBodyBuffers(body);
    FreeTracked(body);
    return -1;
  }

  body->refCount = 1;
  body->width = width;
  body->height = height;
  body->pitch = static_cast<int32_t>(storedPitch);
  body->pitchShift = storedPitch == power ? shift : -1;
  body->transparentColor = transparentColor;
  body->colorType = colorType;
  body->paletted = paletted;
  body->hasAlpha = hasAlpha;

  image->magic = MemImgMagic;
  image->width = width;
  image->height = height;
  image->pixels = body->pixels;
  image->premultipliedPixels = body->premultipliedPixels;
  image->body = body;
  return 0;
}

int CreateScreenMemImg(MEMIMG* image, int width, int height, int colorType) {
  if (image == nullptr) return -1;
  // Clearing a live record would lose its body: release it first.
  ReleaseMemImg(image);
  std::memset(image, 0, sizeof(*image));
  if (colorType == -1) colorType = GetScreenBitDepth() == 16 ? Rgb565 : Xrgb8888;
  return CreateMemImg(image, width, height, -1, 0, colorType, 0, 0, 0, nullptr);
}

void DeriveMemImg(MEMIMG* dst, const MEMIMG* src, int x, int y, int width, int height) {
  if (dst == nullptr || !IsMemImgValid(src)) return;
  if (x < 0 || y < 0 || width <= 0 || height <= 0) return;
  if (int64_t{x} + width > src->width || int64_t{y} + height > src->height) return;

  MemImgBody* body = src->body;
  const ptrdiff_t offset = static_cast<ptrdiff_t>(x) * MemImgBytesPerPixel(src) +
                           static_cast<ptrdiff_t>(y) * body->pitch;
  uint8_t* pixels = src->pixels + offset;
  uint8_t* premultiplied =
      body->premultipliedPixels != nullptr && src->premultipliedPixels != nullptr
          ? src->premultipliedPixels + offset
          : nullptr;
  // Take the new reference before dropping the old one: dst may be src itself.
  ++body->refCount;
  ReleaseMemImg(dst);
  dst->magic = MemImgMagic;
  dst->width = width;
  dst->height = height;
  dst->pixels = pixels;
  dst->premultipliedPixels = premultiplied;
  dst->body = body;
}

void ReleaseMemImg(MEMIMG* image) {
  if (image == nullptr || image->magic != MemImgMagic) return;
  MemImgBody* body = image->body;
  if (body != nullptr && --body->refCount <= 0) {
    FreeBodyBuffers(body);
    FreeTracked(body);
  }
  image->body = nullptr;
  image->magic = 0;
}

int IsMemImgValid(const MEMIMG* image) {
  return image != nullptr && image->magic == MemImgMagic && image->body != nullptr ? 1 : 0;
}

const PixelFormat* GetMemImgPixelFormat(int colorType, int hasAlpha, int paletted) {
  // Ten shared descriptors: types 0 and 1 by alpha and palette, then types 2 and 3.
  static PixelFormat formats[10];
  static bool built[10];
  if (colorType < Rgb565 || colorType > Single16) return nullptr;

  int slot;
  if (colorType == Single8 || colorType == Single16) {
    slot = 8 + (colorType - Single8);
  } else {
    slot = colorType * 4 + (hasAlpha ? 2 : 0) + (paletted ? 1 : 0);
  }
  PixelFormat& f = formats[slot];
  if (built[slot]) return &f;

  if (colorType == Single8 || colorType == Single16) {
    const bool wide = colorType == Single16;
    const uint8_t bits = wide ? 16 : 8;
    const uint32_t mask = wide ? 0xFFFF : 0xFF;
    f.BitsPerPixel = bits;
    f.BytesPerPixel = bits / 8;
    f.RedWidth = f.GreenWidth = f.BlueWidth = f.AlphaWidth = bits;
    f.RedShift = f.GreenShift = f.BlueShift = f.AlphaShift = 0;
    f.RedMask = f.GreenMask = f.BlueMask = f.AlphaMask = mask;
    f.SpareMask = 0;
  } else {
    // A paletted format's masks describe its palette entries, which are wider than the
    // 1-byte index: set the channels up at the entry's width, then narrow the pixel.
    const int bits = colorType == Rgb565 && !hasAlpha ? 16 : 32;
    if (colorType == Rgb565)
      SetupPixelFormat(&f, paletted ? 32 : bits, 0xF800, 0x07E0, 0x001F, hasAlpha ? 0xFF0000 : 0);
    else
      SetupPixelFormat(&f, 32, 0xFF0000, 0xFF00, 0xFF, hasAlpha ? 0xFF000000u : 0);
    if (paletted) {
      f.BitsPerPixel = 8;
      f.BytesPerPixel = 1;
      f.SpareMask = 0;  // every bit of the byte lies under a channel mask
      f.SpareShift = 0;
      f.SpareWidth = 0;
    }
  }
  built[slot] = true;
  return &f;
}

int MemImgBytesPerPixel(const MEMIMG* image) { return image->body->format->BytesPerPixel; }

void FillMemImgRect(MEMIMG* image, const RECT* rect, uint32_t value) {
  if (!IsMemImgValid(image)) return;
  const ClipBox whole = {0, 0, image->width, image->height};
  const ClipBox box = rect != nullptr ? ClipBoxTo(ClipBoxOf(*rect), whole) : whole;
  if (box.Empty()) return;

  const int bytes = MemImgBytesPerPixel(image);
  const ptrdiff_t pitch = image->body->pitch;
  const int width = static_cast<int>(box.Width());
  uint8_t* first = image->pixels + box.top * pitch + box.left * bytes;
  if (bytes == 1) {
    std::memset(first, static_cast<int>(value & 0xFF), static_cast<size_t>(width));
  } else if (bytes == 2) {
    const uint16_t v = static_cast<uint16_t>(value);
    for (int x = 0; x < width; ++x) std::memcpy(first + 2 * x, &v, 2);
  } else {
    for (int x = 0; x < width; ++x) std::memcpy(first + 4 * x, &value, 4);
  }
  // The other rows copy the first whole: the game clears the screen twice a frame, and a
  // row-wide copy is one checked access under the sanitizers where the pixels are one each.
  const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(bytes);
  uint8_t* row = first + pitch;
  for (int64_t y = box.top + 1; y < box.bottom; ++y, row += pitch)
    std::memcpy(row, first, rowBytes);
}

void SetMemImgTransparentIndex(MEMIMG* image, uint32_t key) {
  if (!IsMemImgValid(image)) return;
  MemImgBody* body = image->body;
  if (!body->paletted || body->palette == nullptr) return;
  const bool deep = body->colorType == Xrgb8888;
  for (uint32_t i = 0; i < 256; ++i) {
    bool match;
    if (deep) {
      uint32_t entry;
      std::memcpy(&entry, body->palette + 4 * i, 4);
      match = (entry & 0xFFFFFF) == (key & 0xFFFFFF);
    } else {
      uint16_t entry;
      std::memcpy(&entry, body->palette + 2 * i, 2);
      match = entry == (key & 0xFFFF);
    }
    if (match) {
      body->transparentColor = i;
      return;
    }
  }
  body->transparentColor = NoTransparentIndex;
}
