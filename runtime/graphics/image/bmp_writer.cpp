// The BMP writer: 8-bit images with their palette, 16- and 32-bit images as 24 bits.
#include <cstring>

#include "runtime/graphics/image/image_file_output.h"
#include "runtime/graphics/image/image_writer.h"
#include "runtime/graphics/image/pixel_access.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr size_t kPaletteSize = 256 * 4;

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A channel at the top of its byte; the low bits stay 0 (5-bit 31 gives 248).
uint8_t TopOfByte(uint32_t value, uint32_t mask, int shift, int width) {
  if (width == 0) return 0;
  const uint32_t c = (value & mask) >> shift;
  return static_cast<uint8_t>(width <= 8 ? c << (8 - width) : c >> (width - 8));
}

void FillRows(const GraphImage* image, uint8_t* rows, size_t rowLength) {
  const PixelFormat& f = image->Format;
  for (int y = 0; y < image->Height; ++y) {
    // Rows are stored bottom-up.
    const uint8_t* in =
        image->Pixels + static_cast<ptrdiff_t>(image->Height - 1 - y) * image->Pitch;
    uint8_t* out = rows + y * rowLength;
    if (f.BitsPerPixel == 8) {
      std::memcpy(out, in, static_cast<size_t>(image->Width));
    } else if (f.BitsPerPixel == 16) {
      for (int x = 0; x < image->Width; ++x) {
        const uint32_t v = ReadPixelValue(in + x * 2, 2);
        out[x * 3] = TopOfByte(v, f.BlueMask, f.BlueShift, f.BlueWidth);
        out[x * 3 + 1] = TopOfByte(v, f.GreenMask, f.GreenShift, f.GreenWidth);
        out[x * 3 + 2] = TopOfByte(v, f.RedMask, f.RedShift, f.RedWidth);
      }
    } else {
      // X8R8G8B8 and A8R8G8B8 lie B, G, R, X in memory: the fourth byte is dropped.
      for (int x = 0; x < image->Width; ++x) std::memcpy(out + x * 3, in + x * 4, 3);
    }
  }
}

}  // namespace

int SaveGraphImageAsBmp(const char* fileName, const GraphImage* image) {
  if (!fileName || !image || !image->Pixels || image->Width <= 0 || image->Height <= 0 ||
      image->Format.BlockCompression != 0)
    return -1;
  const int bits = image->Format.BitsPerPixel;
  // Only these depths have a file form here; any other is refused rather than reported done.
  if (bits != 8 && bits != 16 && bits != 32) return -1;
  const bool eightBit = bits == 8;
  const int64_t rowLength = eightBit ? (int64_t{image->Width} + 3) & ~int64_t{3}
                                     : (int64_t{image->Width} * 3 + 3) & ~int64_t{3};
  const size_t blockSize = kInfoHeaderSize + (eightBit ? kPaletteSize : 0);
  const int64_t fileSize =
      static_cast<int64_t>(kFileHeaderSize + blockSize) + rowLength * image->Height;
  if (fileSize > 0x7FFFFFFF) return -1;

  auto* block = static_cast<uint8_t*>(AllocTrackedZero(blockSize, __FILE__, __LINE__));
  if (!block) return WriteLogText("BITMAPINFO構造体用メモリの確保に失敗しました\n");
  const size_t rowBytes = static_cast<size_t>(rowLength * image->Height);
  auto* rows = static_cast<uint8_t*>(AllocTrackedZero(rowBytes, __FILE__, __LINE__));
  if (!rows) {
    FreeTracked(block);
    return WriteLogText("グラフィック保存用メモリの確保に失敗しました\n");
  }

  BITMAPINFOHEADER header{};
  header.biSize = kInfoHeaderSize;
  header.biWidth = image->Width;
  header.biHeight = image->Height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(eightBit ? 8 : 24);
  header.biCompression = BI_RGB;
  std::memcpy(block, &header, sizeof header);
  if (eightBit)
    for (int i = 0; i < 256; ++i) {
      const PaletteEntry& e = image->Format.Palette[i];
      uint8_t* p = block + kInfoHeaderSize + i * 4;
      p[0] = e.Blue;
      p[1] = e.Green;
      p[2] = e.Red;
      p[3] = 0;
    }
  FillRows(image, rows, static_cast<size_t>(rowLength));

  uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
  PutLe32(fileHeader + 2, static_cast<uint32_t>(fileSize));
  PutLe32(fileHeader + 10, static_cast<uint32_t>(kFileHeaderSize + blockSize));

  int result = 0;
  ImageFileOutput output;
  if (!OpenImageFileOutput(&output, fileName)) {
    result = WriteLogText("ＢＭＰセーブ用ファイルのオープンに失敗しました\n");
  } else {
    const bool written = WriteImageFileOutput(&output, fileHeader, sizeof fileHeader) &&
                         WriteImageFileOutput(&output, block, blockSize) &&
                         WriteImageFileOutput(&output, rows, rowBytes);
    CloseImageFileOutput(&output, written);
    if (!written) result = -1;
  }
  FreeTracked(rows);
  FreeTracked(block);
  return result;
}
