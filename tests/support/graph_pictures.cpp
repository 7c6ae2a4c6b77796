#include "tests/support/graph_pictures.h"

#include <cstring>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/tracked_heap.h"

void ResetGraphTestState() {
  ScreenMode = {640, 480, 32, 60};
  GraphicsInitialised = 1;
  DrawTarget = kBackBufferTarget;
  DrawSuppressed = 0;
  DrawArea = {0, 0, 640, 480};
  CurrentBlendMode = 0;
  BlendParam = 0;
  DrawBright = 0xFFFFFF;
  ColorKey = 0xFF00FF;
  NoTransColorOption = 0;
  GraphBitDepthOption = 0;
  DrawTargetGraphOption = 0;
  AlphaTestGraphOption = 1;
  SystemMemoryCopyOption = 0;
  SingleTextureGraphOption = 0;
}

TestPicture::TestPicture(int width, int height, const std::function<uint32_t(int, int)>& colour) {
  if (CreateArgbGraphImage(width, height, &image) != 0) return;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colour(x, y);
      SetGraphImagePixel(&image, x, y, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, c >> 24);
    }
}

uint32_t PatternColour(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
         static_cast<uint32_t>((y * 53 + 7) & 0xFF) << 8 |
         static_cast<uint32_t>((x * y + 3) & 0xFF);
}

int NewGraph(int width, int height, int hasAlpha) {
  const int handle = AllocGraphHandle();
  if (CreateGraphStorage(1, handle, width, height, hasAlpha, 0, 0) != 0) return -1;
  return handle;
}

uint32_t SoftGraphPixel(int handle, int x, int y) {
  const GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || !IsMemImgValid(&entry->image)) return 0xDEADBEEF;
  GraphImage view = {};
  view.Format = *entry->image.body->format;
  view.Width = entry->image.width;
  view.Height = entry->image.height;
  view.Pitch = entry->image.body->pitch;
  view.Pixels = entry->image.pixels;
  const uint32_t argb = GetGraphImagePixelArgb(&view, x, y);
  return view.Format.AlphaWidth != 0 ? argb : argb | 0xFF000000u;
}

int UploadWhole(int handle, const GraphImage& image) {
  const RECT rect = {0, 0, image.Width, image.Height};
  return UploadImageToGraph(handle, 0, nullptr, nullptr, &rect, 0, 0, 0, &image, nullptr, 0, 0, 0);
}

GraphImage MakeDxtPicture(int kind, int width, int height, int levels,
                          const std::function<uint16_t(int, int, int)>& colour) {
  const int blockBytes = kind == 1 ? 8 : 16;
  const auto size = static_cast<size_t>(
      BlockCompressedDataBytes(static_cast<uint32_t>(kind), width, height, levels));
  GraphImage image = {};
  SetupARGB8PixelFormat(&image.Format);
  image.Format.BitsPerPixel = kind == 1 ? 4 : 8;
  image.Format.BytesPerPixel = kind == 1 ? 0 : 1;
  image.Format.BlockCompression = static_cast<uint32_t>(kind);
  image.Width = width;
  image.Height = height;
  image.MipLevels = levels > 1 ? levels : 0;
  image.Pixels = static_cast<uint8_t*>(AllocTrackedZero(size, __FILE__, __LINE__));
  uint8_t* block = image.Pixels;
  for (int level = 0; level < levels; ++level) {
    const int w = width >> level > 0 ? width >> level : 1;
    const int h = height >> level > 0 ? height >> level : 1;
    for (int by = 0; by < (h + 3) / 4; ++by)
      for (int bx = 0; bx < (w + 3) / 4; ++bx, block += blockBytes) {
        uint8_t* colourHalf = block;
        if (kind == 3) {
          std::memset(block, 0xFF, 8);  // every alpha nibble 15
          colourHalf = block + 8;
        } else if (kind == 5) {
          block[0] = block[1] = 255;  // both alpha ends opaque
          colourHalf = block + 8;
        }
        const uint16_t c = colour(level, bx, by);
        colourHalf[0] = static_cast<uint8_t>(c);
        colourHalf[1] = static_cast<uint8_t>(c >> 8);
        // c1 = 0 and every index 0: the whole block is c0.
      }
  }
  return image;
}

uint32_t Expand565(uint16_t c) {
  return 0xFF000000u | static_cast<uint32_t>(((c >> 11) & 0x1F) * 255 / 31) << 16 |
         static_cast<uint32_t>(((c >> 5) & 0x3F) * 255 / 63) << 8 |
         static_cast<uint32_t>((c & 0x1F) * 255 / 31);
}
