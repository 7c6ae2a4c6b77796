// Helpers for tests of images and pixel conversion: formats by name and pixel buffers with
// guard bytes that show any write outside the region a call may touch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/graphics/image/pixel_format.h"

// A format from its depth and masks (SetupPixelFormat must accept them).
PixelFormat MakeTestFormat(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha);
PixelFormat TestFormatR5G6B5();
PixelFormat TestFormatX1R5G5B5();
PixelFormat TestFormatA1R5G5B5();
PixelFormat TestFormatA4R4G4B4();
PixelFormat TestFormatRGB8();
PixelFormat TestFormatXRGB8();
PixelFormat TestFormatARGB8();
// The palette format with the given entries; the remaining entries are black.
PixelFormat TestFormatPalette(const std::vector<uint32_t>& entries);

// A width x height image of `bytes` per pixel inside a larger block: every row is followed by
// padding and the whole is framed by guard areas, all filled with a fixed pattern.
class GuardedImage {
 public:
  GuardedImage(int width, int height, int bytesPerPixel, int rowPadding = 7);
  uint8_t* Pixels() { return block_.data() + kGuard; }
  const uint8_t* Pixels() const { return block_.data() + kGuard; }
  int Pitch() const { return pitch_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint8_t* At(int x, int y) { return Pixels() + y * pitch_ + x * bytes_; }
  uint32_t Get(int x, int y) const;
  void Set(int x, int y, uint32_t value);
  // Remembers the current bytes (the constructor takes a first snapshot).
  void Snapshot() { snapshot_ = block_; }
  // Describes each byte that changed since Snapshot() outside the pixel rectangle
  // (x, y, w, h); empty when none did.
  std::string ChangesOutside(int x, int y, int w, int h) const;
  // Whether any byte of pixel (x, y) changed since Snapshot().
  bool PixelChanged(int x, int y) const;

  static constexpr int kGuard = 64;
  static constexpr uint8_t kPattern = 0xA5;

 private:
  int width_, height_, bytes_, pitch_;
  std::vector<uint8_t> block_;
  std::vector<uint8_t> snapshot_;
};
