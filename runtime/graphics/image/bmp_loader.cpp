// BMP files: palette, 24- and 32-bit and run-length images are decoded here; every other
// variant (1 and 16 bits, bit fields, ...) is drawn by the platform into a 24-bit DIB section.
#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr size_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr size_t kHeaderBlockSize = kInfoHeaderSize + 256 * 4;

struct BmpFile {
  int width;
  int rows;      // |biHeight|
  bool topDown;  // negative biHeight
  int bitCount;
  uint32_t compression;
  int64_t fileRowLength;  // bytes per stored row, a multiple of 4
  // The header as the platform takes it: a 40-byte BITMAPINFOHEADER followed by the palette
  // or the three masks.
  alignas(4) uint8_t info[kHeaderBlockSize];
  uint8_t* data;  // from bfOffBits to the end of the stream, zero-padded to the image's size
  size_t size;    // bytes of data read
};

// The output row of a row in file order: results are always top-down.
int ImageRow(const BmpFile& f, int fileRow) { return f.topDown ? fileRow : f.rows - 1 - fileRow; }

// The palette format with the first `entries` colours of the file; alpha bytes are 0.
PixelFormat PaletteFormat(const BmpFile& f, int entries) {
  PixelFormat format{};
  SetupPalettePixelFormat(&format);
  const uint8_t* table = f.info + kInfoHeaderSize;
  for (int i = 0; i < entries; ++i)
    format.Palette[i] = PaletteEntry{table[i * 4], table[i * 4 + 1], table[i * 4 + 2], 0};
  return format;
}

// Info header sizes read: the Windows headers of 40, 52, 56, 108 and 124 bytes, and the OS/2
// 2.x header, which a writer may cut anywhere from 16 to 64 bytes (the missing fields are 0).
// The 12-byte OS/2 1.x header, with 16-bit sizes and 3-byte colours, is not.
bool HeaderSizeRead(uint32_t size) {
  return (size >= 16 && size <= 64) || size == 108 || size == 124;
}
bool IsOs2Header(uint32_t size) { return size <= 64 && size != 40 && size != 52 && size != 56; }

// Reads the file and info headers and the palette or masks behind them. false on a short read,
// when this is no BMP or when its header cannot be read.
bool ReadHeaders(DataStream* stream, BmpFile* f, uint32_t* dataOffset) {
  uint8_t fileHeader[14];
  if (!StreamReadExact(stream, fileHeader, sizeof fileHeader) || fileHeader[0] != 'B' ||
      fileHeader[1] != 'M')
    return false;
  *dataOffset = ReadLe32(fileHeader + 10);
  uint8_t header[124] = {};
  if (!StreamReadExact(stream, header, 4)) return false;
  const uint32_t headerSize = ReadLe32(header);
  if (!HeaderSizeRead(headerSize) || !StreamReadExact(stream, header + 4, headerSize - 4))
    return false;
  const int32_t width = static_cast<int32_t>(ReadLe32(header + 4));
  const int32_t height = static_cast<int32_t>(ReadLe32(header + 8));
  f->bitCount = ReadLe16(header + 14);
  f->compression = ReadLe32(header + 16);
  // OS/2 compressions 3 and 4 are Huffman and 24-bit run-length codings, not bit fields.
  if (IsOs2Header(headerSize) && f->compression != BI_RGB && f->compression != BI_RLE8 &&
      f->compression != BI_RLE4)
    return false;
  // The platform takes a 40-byte header with the colours right behind it.
  uint8_t* info = f->info;
  std::memcpy(info, header, kInfoHeaderSize);
  info[0] = static_cast<uint8_t>(kInfoHeaderSize);
  info[1] = info[2] = info[3] = 0;

  if (f->bitCount <= 8) {
    // The palette follows the header, whatever its size. 2^biBitCount entries are taken
    // whatever biClrUsed says; a table cut by the end of the file keeps the entries it has and
    // black for the rest.
    StreamReadUpTo(stream, info + kInfoHeaderSize, (size_t{1} << f->bitCount) * 4);
  } else if (f->compression == BI_BITFIELDS) {
    // The three masks follow a 40-byte header and are part of the longer ones.
    if (headerSize > kInfoHeaderSize)
      std::memcpy(info + kInfoHeaderSize, header + kInfoHeaderSize, 12);
    else if (!StreamReadExact(stream, info + kInfoHeaderSize, 12))
      return false;
  }
  if (width <= 0 || height == 0 || height == INT32_MIN) return false;
  f->width = width;
  f->rows = height < 0 ? -height : height;
  f->topDown = height < 0;
  f->fileRowLength = (int64_t{width} * f->bitCount + 7) / 8;
  f->fileRowLength = (f->fileRowLength + 3) & ~int64_t{3};
  return true;
}

// Bytes the stored rows need: every row but the last with its padding.
int64_t StoredBytesNeeded(const BmpFile& f) {
  return f.fileRowLength * (f.rows - 1) + (int64_t{f.width} * f.bitCount + 7) / 8;
}

// Run-length records (RLE8, or RLE4 whose values are pairs of nibbles) into a zeroed image of
// one byte per pixel. Writes stay inside the image and reads inside the data.
void DecodeRunLength(const BmpFile& f, bool nibbles, uint8_t* out, int pitch) {
  const uint8_t* p = f.data;
  const uint8_t* const end = f.data + f.size;
  int x = 0, row = 0;  // row in file order
  auto put = [&](uint8_t value) {
    if (x < f.width) out[static_cast<ptrdiff_t>(ImageRow(f, row)) * pitch + x++] = value;
  };
  while (end - p >= 2 && row < f.rows) {
    const int n = p[0], v = p[1];
    p += 2;
    if (n > 0) {
      for (int i = 0; i < n && x < f.width; ++i)
        put(static_cast<uint8_t>(!nibbles ? v : (i & 1) ? v & 0xF : v >> 4));
      continue;
    }
    if (v == 0) {  // end of row
      x = 0;
      ++row;
    } else if (v == 1) {  // end of image
      return;
    } else if (v == 2) {  // move right and on
      if (end - p < 2) return;
      x = std::min(x + p[0], f.width);
      row += p[1];
      p += 2;
    } else {  // v literal pixels, padded to an even number of bytes
      const ptrdiff_t bytes = nibbles ? (v + 1) / 2 : v;
      for (int i = 0; i < v; ++i) {
        const ptrdiff_t at = nibbles ? i / 2 : i;
        if (at >= end - p) break;
        put(static_cast<uint8_t>(!nibbles ? p[at] : (i & 1) ? p[at] & 0xF : p[at] >> 4));
      }
      p += std::min<ptrdiff_t>((bytes + 1) & ~ptrdiff_t{1}, end - p);
    }
  }
}

int DecodeRunLengthImage(BmpFile& f, bool nibbles, GraphImage* image) {
  const int pitch = (f.width + 3) & ~3;
  auto* pixels = static_cast<uint8_t*>(
      AllocTrackedZero(static_cast<size_t>(pitch) * f.rows, __FILE__, __LINE__));
  if (!pixels) return -1;
  DecodeRunLength(f, nibbles, pixels, pitch);
  SetLoadedImage(image, PaletteFormat(f, nibbles ? 16 : 256), f.width, f.rows, pitch, pixels);
  return 0;
}

int DecodeFourBitImage(BmpFile& f, GraphImage* image) {
  const int pitch = (f.width + 3) & ~3;
  auto* pixels =
      static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(pitch) * f.rows, __FILE__, __LINE__));
  if (!pixels) return -1;
  for (int r = 0; r < f.rows; ++r) {
    const uint8_t* in = f.data + r * f.fileRowLength;
    uint8_t* out = pixels + static_cast<ptrdiff_t>(ImageRow(f, r)) * pitch;
    for (int x = 0; x < f.width; ++x) out[x] = (x & 1) ? in[x / 2] & 0xF : in[x / 2] >> 4;
  }
  SetLoadedImage(image, PaletteFormat(f, 16), f.width, f.rows, pitch, pixels);
  return 0;
}

// Run-length data may leave much of their image unwritten (blank rows as lone row ends, deltas,
// an early end of the image), so the image can be far larger than its data, but not without
// bound: more pixels than this per byte of data is taken for damage, unless the image is small
// enough for its size not to matter.
constexpr int64_t kRunLengthPixelsPerByte = 4096;
constexpr int64_t kRunLengthFreePixels = 256 * 256;

bool RunLengthSizePlausible(const BmpFile& f, int64_t dataBytes) {
  const int64_t pixels = int64_t{f.width} * f.rows;
  return pixels <= kRunLengthFreePixels || pixels <= dataBytes * kRunLengthPixelsPerByte;
}

// Most writers leave the fourth byte of 32-bit pixels 0; only a file that sets it somewhere
// means it as alpha, so an image without one is made opaque.
void OpaqueUnlessAlphaIsUsed(BmpFile& f) {
  const size_t bytes = static_cast<size_t>(f.fileRowLength) * f.rows;
  for (size_t i = 3; i < bytes; i += 4)
    if (f.data[i] != 0) return;
  for (size_t i = 3; i < bytes; i += 4) f.data[i] = 0xFF;
}

// 8, 24 and 32 bits keep the data block as their pixels; bottom-up files are turned round in
// place, top-down files are taken as they are.
void TakeDataAsPixels(BmpFile& f, const PixelFormat& format, GraphImage* image) {
  const size_t rowLength = static_cast<size_t>(f.fileRowLength);
  if (!f.topDown)
    for (int r = 0; r < f.rows / 2; ++r)
      std::swap_ranges(f.data + r * rowLength, f.data + (r + 1) * rowLength,
                       f.data + (f.rows - 1 - r) * rowLength);
  SetLoadedImage(image, format, f.width, f.rows, static_cast<int>(rowLength), f.data);
  f.data = nullptr;
}

// The platform draws the file's pixels, described by its own header block, into a top-down
// 24-bit DIB section, whose rows become the image.
int ConvertThroughPlatform(BmpFile& f, GraphImage* image) {
  BITMAPINFO sectionInfo{};
  sectionInfo.bmiHeader.biSize = kInfoHeaderSize;
  sectionInfo.bmiHeader.biWidth = f.width;
  sectionInfo.bmiHeader.biHeight = -f.rows;
  sectionInfo.bmiHeader.biPlanes = 1;
  sectionInfo.bmiHeader.biBitCount = 24;
  sectionInfo.bmiHeader.biCompression = BI_RGB;
  HDC dc = CreateCompatibleDC(nullptr);
  void* sectionBits = nullptr;
  HBITMAP section =
      dc ? CreateDIBSection(dc, &sectionInfo, DIB_RGB_COLORS, &sectionBits, nullptr, 0) : nullptr;
  if (!section) {
    if (dc) DeleteDC(dc);
    WriteLogText("ＤＩＢの作成に失敗しました3\n");
    return -1;
  }
  HGDIOBJ previous = SelectObject(dc, section);
  const int lines =
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(f.width), static_cast<DWORD>(f.rows), 0, 0, 0,
                        static_cast<UINT>(f.rows), f.data,
                        reinterpret_cast<const BITMAPINFO*>(f.info), DIB_RGB_COLORS);
  int result = -1;
  // A variant the platform cannot draw is refused rather than handed on as a black image.
  if (lines > 0) {
    const int pitch = (f.width * 3 + 3) & ~3;
    const size_t bytes = static_cast<size_t>(pitch) * f.rows;
    auto* pixels = static_cast<uint8_t*>(AllocTracked(bytes, __FILE__, __LINE__));
    if (pixels) {
      std::memcpy(pixels, sectionBits, bytes);
      PixelFormat format{};
      SetupRGB8PixelFormat(&format);
      SetLoadedImage(image, format, f.width, f.rows, pitch, pixels);
      result = 0;
    } else {
      WriteLogText("２４ビットカラー化したグラフィックを格納するメモリ領域の確保に失敗しました\n");
    }
  }
  SelectObject(dc, previous);
  DeleteObject(section);
  DeleteDC(dc);
  return result;
}

}  // namespace

int LoadBmpImage(DataStream* stream, GraphImage* image) {
  const int length = StreamLength(stream);
  BmpFile f{};
  uint32_t dataOffset = 0;
  if (length < 0 || !ReadHeaders(stream, &f, &dataOffset) ||
      dataOffset >= static_cast<uint32_t>(length))
    return -1;

  const bool runLength = f.compression == BI_RLE8 || f.compression == BI_RLE4;
  const bool plain = f.compression == BI_RGB;
  // Rows made: one byte per pixel for palette results, 4 for 32 bits, 3 from the platform.
  int64_t outPitch = (int64_t{f.width} * 3 + 3) & ~int64_t{3};
  if (runLength || (plain && (f.bitCount == 4 || f.bitCount == 8)))
    outPitch = (int64_t{f.width} + 3) & ~int64_t{3};
  else if (plain && f.bitCount == 32)
    outPitch = int64_t{f.width} * 4;
  if (!ImageSizeAllowed(f.width, f.rows, outPitch) ||
      (!runLength && f.fileRowLength * f.rows > kMaxImageBytes))
    return -1;
  // Stored rows must all be there; only run-length data may end wherever it likes.
  const int64_t dataBytes = static_cast<int64_t>(length) - dataOffset;
  if (!runLength && dataBytes < StoredBytesNeeded(f)) return -1;
  if (runLength && !RunLengthSizePlausible(f, dataBytes)) return -1;

  if (StreamSeek(stream, static_cast<int>(dataOffset), 0) != 0) return -1;
  // Stored rows are read as far as the image goes (trailing bytes are not kept), zero-padded
  // to whole rows; run-length data up to the end of the stream.
  const size_t padded = runLength ? 0 : static_cast<size_t>(f.fileRowLength * f.rows);
  const int end = runLength ? length
                            : static_cast<int>(std::min<int64_t>(
                                  length, int64_t{dataOffset} + static_cast<int64_t>(padded)));
  f.data = StreamReadToEnd(stream, end, padded, &f.size);
  if (!f.data) return -1;

  int result;
  if (f.compression == BI_RLE8) {
    result = DecodeRunLengthImage(f, false, image);
  } else if (f.compression == BI_RLE4) {
    result = DecodeRunLengthImage(f, true, image);
  } else if (f.compression == BI_RGB && f.bitCount == 4) {
    result = DecodeFourBitImage(f, image);
  } else if (f.compression == BI_RGB && (f.bitCount == 8 || f.bitCount == 24 || f.bitCount == 32)) {
    PixelFormat format{};
    if (f.bitCount == 8) {
      format = PaletteFormat(f, 256);
    } else if (f.bitCount == 24) {
      SetupRGB8PixelFormat(&format);
    } else {
      SetupARGB8PixelFormat(&format);  // the fourth byte is alpha
      OpaqueUnlessAlphaIsUsed(f);
    }
    TakeDataAsPixels(f, format, image);
    result = 0;
  } else {
    result = ConvertThroughPlatform(f, image);
  }
  FreeTracked(f.data);
  return result;
}
