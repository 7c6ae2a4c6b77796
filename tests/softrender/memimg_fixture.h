// Test images with canary bytes around their pixels, and a guard for the draw state.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

constexpr uint8_t kCanary = 0xA5;

// A memory image over a caller buffer that has canary margins before, after and at the end of
// every row (the pitch is wider than the row). Whole-buffer comparisons therefore also catch
// writes outside the image.
struct CanaryImage {
  std::vector<uint8_t> buffer;
  MEMIMG image{};
  int bytes = 0;
  int pitch = 0;
  static constexpr int kMargin = 64;

  CanaryImage(int width, int height, int colorType, int paletted = 0, int hasAlpha = 0,
              int workBuffers = 0, uint32_t transparent = 0) {
    bytes = paletted                                                     ? 1
            : colorType == Xrgb8888 || (colorType == Rgb565 && hasAlpha) ? 4
            : colorType == Single8                                       ? 1
                                                                         : 2;
    pitch = width * bytes + 12;
    buffer.assign(static_cast<size_t>(pitch) * height + 2 * kMargin, kCanary);
    EXPECT_EQ(CreateMemImg(&image, width, height, pitch, transparent, colorType, paletted, hasAlpha,
                           workBuffers, buffer.data() + kMargin),
              0);
    // The canary pattern stays outside the rows; the rows themselves start zeroed.
    for (int y = 0; y < height; ++y) std::memset(Row(y), 0, static_cast<size_t>(width) * bytes);
  }
  ~CanaryImage() { ReleaseMemImg(&image); }
  CanaryImage(const CanaryImage&) = delete;
  CanaryImage& operator=(const CanaryImage&) = delete;

  uint8_t* Row(int y) { return buffer.data() + kMargin + static_cast<size_t>(y) * pitch; }
  uint8_t* At(int x, int y) { return Row(y) + x * bytes; }
  uint32_t Get(int x, int y) {
    uint32_t v = 0;
    std::memcpy(&v, At(x, y), bytes);
    return v;
  }
  void Set(int x, int y, uint32_t v) { std::memcpy(At(x, y), &v, bytes); }
  void Fill(uint32_t v) {
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) Set(x, y, v);
  }
  void Randomise(std::mt19937& rng) {
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width * bytes; ++x) Row(y)[x] = static_cast<uint8_t>(rng());
  }
  // Every byte outside the rows still holds the canary.
  bool CanariesIntact() const {
    for (size_t i = 0; i < buffer.size(); ++i) {
      const ptrdiff_t off = static_cast<ptrdiff_t>(i) - kMargin;
      const bool inRow = off >= 0 && off < static_cast<ptrdiff_t>(pitch) * image.height &&
                         off % pitch < image.width * bytes;
      if (!inRow && buffer[i] != kCanary) return false;
    }
    return true;
  }
};

// Saves the draw state and the blend ramp, sets defaults, and puts everything back.
struct DrawStateGuard {
  RECT area = DrawArea;
  int32_t mode = CurrentBlendMode, param = BlendParam;
  uint32_t bright = DrawBright;
  uint8_t ramp[256];
  DrawStateGuard() {
    std::memcpy(ramp, BlendImageRamp, sizeof(ramp));
    static const bool tables = (BuildMemImgTables(), true);
    (void)tables;
    DrawArea = {0, 0, 1 << 20, 1 << 20};
    CurrentBlendMode = 0;
    BlendParam = 255;
    DrawBright = 0xFFFFFF;
  }
  ~DrawStateGuard() {
    DrawArea = area;
    CurrentBlendMode = mode;
    BlendParam = param;
    DrawBright = bright;
    std::memcpy(BlendImageRamp, ramp, sizeof(ramp));
  }
};
