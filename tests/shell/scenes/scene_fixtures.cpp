#include "tests/shell/scenes/scene_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "port/gdi/window_output.h"
#include "runtime/platform/window/window_state.h"
#include "tools/lib/image_file_fixtures.h"

namespace {

struct FixtureImage {
  const char* file;
  int cellWidth, cellHeight, columns, rows;
  FixtureLook look;
};

// Sizes as the loaders cut the files; a whole picture whose size nobody fixes gets one here.
const FixtureImage kFixtures[] = {
    {"data/demo/logo.bmp", 200, 100, 1, 1, FixtureLook::Flat},
    {"data/demo/alphablack.png", 640, 40, 1, 1, FixtureLook::Flat},
    {"data/title/title.png", 400, 160, 1, 1, FixtureLook::Flat},
    {"data/title/weaponback.bmp", 640, 480, 1, 1, FixtureLook::Flat},
    {"data/title/boss.bmp", 480, 320, 1, 1, FixtureLook::Flat},
    {"data/title/kelv.png", 1280, 480, 1, 1, FixtureLook::Corner},
    {"data/title/weaponback2.png", 640, 480, 1, 1, FixtureLook::Corner},
    {"data/title/menu_bg.png", 220, 28, 1, 1, FixtureLook::Flat},
    {"data/title/menu_bg_.png", 220, 28, 1, 1, FixtureLook::Flat},
    {"data/title/quorvwaku.bmp", 640, 480, 1, 1, FixtureLook::Corner},
    {"data/title/beam2.png", 640, 40, 1, 8, FixtureLook::OnBlack},
    {"data/title/beam.png", 640, 80, 1, 8, FixtureLook::OnBlack},
    {"data/map/stage4_1/map4b.bmp", 80, 80, 12, 12, FixtureLook::Flat},
    {"data/map/stage4_1/map4b2.bmp", 80, 80, 12, 12, FixtureLook::Corner},
    {"data/robo/jiki.bmp", 64, 64, 1, 7, FixtureLook::Flat},
    {"data/robo/jiki0_jet.bmp", 256, 32, 1, 5, FixtureLook::OnBlack},
    {"data/robo/jiki0_jet2.bmp", 96, 32, 1, 4, FixtureLook::OnBlack},
    {"data/effect/bak0.bmp", 200, 200, 3, 4, FixtureLook::OnBlack},
    {"data/effect/bak1.bmp", 96, 96, 3, 4, FixtureLook::OnBlack},
    {"data/effect/bak2.bmp", 48, 48, 3, 4, FixtureLook::OnBlack},
    {"data/weapon/vulcan_lav3.png", 96, 96, 4, 2, FixtureLook::OnBlack},
    {"data/weapon/weaponicon.bmp", 64, 74, 4, 4, FixtureLook::Flat},
    {"data/weapon/weaponselect.bmp", 640, 480, 1, 1, FixtureLook::Flat},
    {"data/weapon/weaponiconcursor.bmp", 64, 74, 2, 1, FixtureLook::Ring},
    {"data/weapon/UNLOCKED.bmp", 640, 60, 1, 1, FixtureLook::Corner},
    {"data/item/item5.bmp", 32, 32, 4, 1, FixtureLook::Flat},
    {"data/item/unlock.bmp", 32, 32, 4, 1, FixtureLook::Flat},
    {"data/font.png", 20, 20, 16, 16, FixtureLook::Flat},
};

constexpr uint32_t kKey = 0xFF00FF;
constexpr int kBlankGlyph = 32;

bool IsPng(const std::string& file) { return file.size() > 4 && file.ends_with(".png"); }

// The pixel (x, y) of a cell of this colour, or kKey where it is clear.
uint32_t FixturePixel(const FixtureImage& image, uint32_t colour, int x, int y) {
  switch (image.look) {
    case FixtureLook::Flat:
      return colour;
    case FixtureLook::Corner:
      return x < 16 && y < 16 ? colour : kKey;
    case FixtureLook::Ring:
      return x < 4 || y < 4 || x >= image.cellWidth - 4 || y >= image.cellHeight - 4 ? colour
                                                                                     : kKey;
    case FixtureLook::OnBlack: {
      const int middle = image.cellHeight / 2;
      return y >= middle - 4 && y < middle + 4 ? colour : 0;
    }
  }
  return colour;
}

ByteString EncodeFixture(const FixtureImage& image) {
  const int width = image.cellWidth * image.columns;
  const int height = image.cellHeight * image.rows;
  std::vector<uint32_t> colours(image.columns * image.rows);
  for (size_t cell = 0; cell < colours.size(); ++cell)
    colours[cell] = FixtureColour(image.file, static_cast<int>(cell));
  const bool font = std::strcmp(image.file, "data/font.png") == 0;
  auto pixel = [&](int x, int y) {
    const int cell = (y / image.cellHeight) * image.columns + x / image.cellWidth;
    if (font && cell == kBlankGlyph) return kKey;
    return FixturePixel(image, colours[cell], x % image.cellWidth, y % image.cellHeight);
  };
  if (IsPng(image.file)) {
    std::vector<ByteString> rows(height, ByteString(width * 4));
    for (int y = 0; y < height; ++y) {
      uint8_t* out = rows[y].data();
      for (int x = 0; x < width; ++x, out += 4) {
        const uint32_t c = pixel(x, y);
        if (c == kKey) continue;  // alpha 0
        out[0] = (c >> 16) & 0xFF;
        out[1] = (c >> 8) & 0xFF;
        out[2] = c & 0xFF;
        out[3] = 255;
      }
    }
    PngFileLayout layout;
    layout.width = width;
    layout.height = height;
    layout.colourType = 6;
    return MakePngFile(layout, rows);
  }
  std::vector<std::vector<uint32_t>> rows(height, std::vector<uint32_t>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[y][x] = pixel(x, y);
  BmpFileLayout layout;
  layout.width = width;
  layout.height = height;
  return MakeBmpFile(layout, PackDibRows(rows, 24, false));
}

}  // namespace

uint32_t FixtureColour(const std::string& file, int cell) {
  uint32_t h = 2166136261u;
  for (char c : file) h = (h ^ static_cast<uint8_t>(c)) * 16777619u;
  h = (h ^ static_cast<uint32_t>(cell)) * 16777619u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  auto channel = [&](int shift) { return 24 + ((h >> shift) & 0xFF) % 96; };
  return channel(0) << 16 | channel(8) << 8 | channel(16);
}

void WriteSceneFixtures(const TempFolder& folder) {
  // Made once for the whole test program.
  static const std::vector<ByteString> encoded = [] {
    std::vector<ByteString> files;
    for (const FixtureImage& image : kFixtures) files.push_back(EncodeFixture(image));
    return files;
  }();
  for (size_t i = 0; i < std::size(kFixtures); ++i) {
    const ByteString& bytes = encoded[i];
    const std::string file = kFixtures[i].file;
    folder.MakeDirectory(file.substr(0, file.rfind('/')));
    folder.WriteFile(file, std::string(bytes.begin(), bytes.end()));
  }
}

uint64_t ShownFrame::Hash() const {
  uint64_t h = 1469598103934665603ull;
  for (uint32_t p : pixels) h = (h ^ (p & 0xFFFFFF)) * 1099511628211ull;
  return h;
}

std::string ShownFrame::SavePng(const std::string& name) const {
  std::vector<ByteString> rows(480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint32_t c = At(x, y);
      rows[y].insert(rows[y].end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                     static_cast<uint8_t>(c)});
    }
  PngFileLayout layout;
  layout.width = 640;
  layout.height = 480;
  const ByteString bytes = MakePngFile(layout, rows);
  const std::string path = testing::TempDir() + name + ".png";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

ShownFrame ReadShownFrame() {
  ShownFrame frame;
  frame.pixels.resize(640 * 480);
  EXPECT_TRUE(PortReadWindowPixels(WindowState.mainWindow, 640, 480, frame.pixels.data()));
  return frame;
}

uint32_t AddColours(uint32_t a, uint32_t b) {
  uint32_t out = 0;
  for (int shift : {16, 8, 0})
    out |= static_cast<uint32_t>(std::min<int>(((a >> shift) & 0xFF) + ((b >> shift) & 0xFF), 255))
           << shift;
  return out;
}

uint32_t ScaleColour(uint32_t c, int numerator, int denominator) {
  uint32_t out = 0;
  for (int shift : {16, 8, 0})
    out |= static_cast<uint32_t>(((c >> shift) & 0xFF) * numerator / denominator) << shift;
  return out;
}

bool ColoursNear(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {16, 8, 0})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance)
      return false;
  return true;
}
