#include "tests/support/image_fixtures.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

PixelFormat MakeTestFormat(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
  PixelFormat f{};
  if (SetupPixelFormat(&f, bits, red, green, blue, alpha) != 0)
    throw std::runtime_error("test format refused");
  return f;
}

PixelFormat TestFormatR5G6B5() { return MakeTestFormat(16, 0xF800, 0x7E0, 0x1F, 0); }
PixelFormat TestFormatX1R5G5B5() { return MakeTestFormat(16, 0x7C00, 0x3E0, 0x1F, 0); }
PixelFormat TestFormatA1R5G5B5() { return MakeTestFormat(16, 0x7C00, 0x3E0, 0x1F, 0x8000); }
PixelFormat TestFormatA4R4G4B4() { return MakeTestFormat(16, 0xF00, 0xF0, 0xF, 0xF000); }

PixelFormat TestFormatRGB8() {
  PixelFormat f{};
  SetupRGB8PixelFormat(&f);
  return f;
}

PixelFormat TestFormatXRGB8() {
  PixelFormat f{};
  SetupXRGB8PixelFormat(&f);
  return f;
}

PixelFormat TestFormatARGB8() {
  PixelFormat f{};
  SetupARGB8PixelFormat(&f);
  return f;
}

PixelFormat TestFormatPalette(const std::vector<uint32_t>& entries) {
  PixelFormat f{};
  SetupPalettePixelFormat(&f);
  for (size_t i = 0; i < entries.size() && i < 256; ++i) {
    const uint32_t e = entries[i];
    f.Palette[i] = PaletteEntry{static_cast<uint8_t>(e), static_cast<uint8_t>(e >> 8),
                                static_cast<uint8_t>(e >> 16), static_cast<uint8_t>(e >> 24)};
  }
  return f;
}

GuardedImage::GuardedImage(int width, int height, int bytesPerPixel, int rowPadding)
    : width_(width),
      height_(height),
      bytes_(bytesPerPixel),
      pitch_(width * bytesPerPixel + rowPadding),
      block_(static_cast<size_t>(2 * kGuard + pitch_ * height), kPattern) {
  snapshot_ = block_;
}

uint32_t GuardedImage::Get(int x, int y) const {
  const uint8_t* p = Pixels() + y * pitch_ + x * bytes_;
  uint32_t v = 0;
  for (int i = 0; i < bytes_; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

void GuardedImage::Set(int x, int y, uint32_t value) {
  uint8_t* p = At(x, y);
  for (int i = 0; i < bytes_; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::string GuardedImage::ChangesOutside(int x, int y, int w, int h) const {
  std::string out;
  for (size_t i = 0; i < block_.size(); ++i) {
    if (block_[i] == snapshot_[i]) continue;
    const long offset = static_cast<long>(i) - kGuard;
    bool inside = false;
    if (offset >= 0 && offset < static_cast<long>(pitch_) * height_) {
      const int row = static_cast<int>(offset / pitch_);
      const int col = static_cast<int>(offset % pitch_) / bytes_;
      inside = static_cast<int>(offset % pitch_) < width_ * bytes_ && row >= y && row < y + h &&
               col >= x && col < x + w;
    }
    if (!inside) {
      char line[64];
      std::snprintf(line, sizeof line, "byte %ld changed\n", offset);
      out += line;
    }
  }
  return out;
}

bool GuardedImage::PixelChanged(int x, int y) const {
  const size_t at = static_cast<size_t>(kGuard + y * pitch_ + x * bytes_);
  return std::memcmp(&block_[at], &snapshot_[at], static_cast<size_t>(bytes_)) != 0;
}
