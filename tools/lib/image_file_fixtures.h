// Image files made in memory, byte by byte, for the tests, the fuzz corpus and the tools: BMP,
// TGA, DDS and raw BGRA by hand, PNG and JPEG through libpng and libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

typedef std::vector<uint8_t> ByteString;

// Rows given top row first as stored values (palette indices or pixel values of the depth),
// packed as a DIB stores them: MSB-first for 1 and 4 bits, little-endian words otherwise,
// each row padded to 4 bytes, bottom row first unless topDown.
ByteString PackDibRows(const std::vector<std::vector<uint32_t>>& rows, int bits, bool topDown);

struct BmpFileLayout {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows top-down
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;  // longer headers are zero-filled past the first 40 bytes,
                             // shorter ones cut
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB, stored B, G, R, 0 right after the header
  std::vector<uint32_t> masks;    // stored at offset 40 of the header (inside a longer one)
};
// File header, info header, palette or masks, then the pixel data; bfOffBits points at it.
ByteString MakeBmpFile(const BmpFileLayout& layout, const ByteString& pixelData);

struct TgaFileLayout {
  int imageType = 2;
  int width = 0;
  int height = 0;
  int depth = 24;      // bits per pixel (8 for colour-mapped indices)
  int descriptor = 0;  // bit 5 top-down, bit 4 right-to-left
  int mapFirst = 0;
  int mapLength = 0;
  int mapEntryBits = 0;
  int xOrigin = 0;
  int yOrigin = 0;
  ByteString id;
  ByteString colourMap;  // mapLength entries of mapEntryBits / 8 bytes
  bool footer = false;   // a footer with no extension area
};
ByteString MakeTgaFile(const TgaFileLayout& layout, const ByteString& pixelData);
// Run-length packets for elements of elementBytes: repeats become run packets, the rest raw
// packets, none longer than 128.
ByteString EncodeTgaRuns(const ByteString& elements, int elementBytes);

struct DdsFileLayout {
  int width = 0;
  int height = 0;
  const char* fourCC = nullptr;  // "DXT1".."DXT5"; null for RGB masks
  int bitCount = 32;
  uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};  // red, green, blue, alpha
  int mipCount = 0;                                          // 0: no mip levels flagged
  int pitch = 0;  // non-zero: written with the pitch flag
};
ByteString MakeDdsFile(const DdsFileLayout& layout, const ByteString& data);

ByteString MakeBgraFile(uint32_t depthCode, uint32_t width, uint32_t height,
                        const ByteString& data);

struct PngFileLayout {
  int width = 0;
  int height = 0;
  int bitDepth = 8;
  int colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  bool interlaced = false;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  ByteString transparency;        // tRNS for palettes: one alpha per entry
  int transparentGrey = -1;       // tRNS for grey images
};
// rows: each row's samples packed as PNG stores them (big-endian 16-bit samples, sub-byte
// samples MSB first), no filter byte.
ByteString MakePngFile(const PngFileLayout& layout, const std::vector<ByteString>& rows);

// components 1 (grey), 3 (RGB) or 4 (CMYK); samples interleaved row by row.
ByteString MakeJpegFile(int width, int height, int components, const ByteString& samples,
                        int quality);

// Small files of every variant each loader takes: the seeds of the fuzz smoke tests and of
// the libFuzzer corpus.
std::vector<ByteString> SampleBmpFiles();
std::vector<ByteString> SampleTgaFiles();
std::vector<ByteString> SampleDdsFiles();
std::vector<ByteString> SampleBgraFiles();
std::vector<ByteString> SamplePngFiles();
std::vector<ByteString> SampleJpegFiles();

// Recomputes the CRC of every whole chunk of a PNG file, so that a changed file still passes
// libpng's checks and reaches the decoder.
void RepairPngChunkCrcs(ByteString* file);
