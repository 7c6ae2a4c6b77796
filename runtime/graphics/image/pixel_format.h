// Colour formats: how a pixel value splits into channels, and the palette of 1-byte formats.
#pragma once

#include <cstdint>

// One palette entry as it lies in memory: B, G, R, A. Read as a little-endian 32-bit word it
// is A8R8G8B8, which is how the channel fields of a 1-byte format describe it.
struct PaletteEntry {
  uint8_t Blue;
  uint8_t Green;
  uint8_t Red;
  uint8_t Alpha;
};

// A plain record, copied by value with its palette.
struct PixelFormat {
  uint16_t BitsPerPixel;   // 8, 16, 24, 32; 4 (DXT1) or 8 (DXT2 to DXT5) for block data
  uint16_t BytesPerPixel;  // BitsPerPixel / 8; 1 means palette indices
  uint8_t RedWidth;
  uint8_t GreenWidth;
  uint8_t BlueWidth;
  uint8_t AlphaWidth;
  uint8_t RedShift;
  uint8_t GreenShift;
  uint8_t BlueShift;
  uint8_t AlphaShift;
  uint32_t RedMask;
  uint32_t GreenMask;
  uint32_t BlueMask;
  uint32_t AlphaMask;
  uint32_t SpareMask;  // bits of the pixel that belong to no channel
  PaletteEntry Palette[256];
  uint8_t SpareShift;
  uint8_t SpareWidth;
  uint32_t BlockCompression;  // 0 plain pixels, 1 to 5 DXT1 to DXT5 blocks
};

// Fills the channel part from the masks; the palette is not touched. -1 (format unchanged)
// for a depth outside 1..32, a mask with gaps, or a mask reaching past the pixel's bits.
int SetupPixelFormat(PixelFormat* format, int bits, uint32_t redMask, uint32_t greenMask,
                     uint32_t blueMask, uint32_t alphaMask);
// Recomputes SpareMask alone; SpareShift and SpareWidth keep their values.
PixelFormat* UpdateSpareBitsMask(PixelFormat* format);

int SetupPalettePixelFormat(PixelFormat* format);
int SetupXRGB8PixelFormat(PixelFormat* format);
int SetupARGB8PixelFormat(PixelFormat* format);
int SetupRGB8PixelFormat(PixelFormat* format);
int SetupGrayPalettePixelFormat(PixelFormat* format);

// Packs 8-bit channels (each argument taken as a byte) into a pixel value; a 1-byte format
// gives the index of the nearest palette entry.
uint32_t MakePixelValue(const PixelFormat* format, int r, int g, int b, int a);
// Unpacks a pixel value into 8-bit channels; any output pointer may be null.
void SplitPixelValue(const PixelFormat* format, uint32_t value, int* r, int* g, int* b, int* a);

// Nearest palette entry to (r, g, b) by squared distance, alpha ignored; the lowest index wins
// a tie.
int FindNearestPaletteIndex(const PixelFormat* format, int r, int g, int b);

// Channel value of `width` bits scaled to `newWidth` bits: narrowing keeps the top bits,
// widening fills the low bits so that full scale stays full scale (5-bit 31 gives 255).
uint32_t RescaleChannel(uint32_t value, int width, int newWidth);
