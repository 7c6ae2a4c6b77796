// The kit's look where a player must read it at a glance: the common enemies apart from the
// player's ship.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/image_loader.h"
#include "tools/datakit/kit_build.h"

namespace {

struct MeanColour {
  double r = 0, g = 0, b = 0;
  int pixels = 0;
};

// The mean colour of a BMP's visible (not key-coloured) pixels.
MeanColour MeanOf(const std::vector<uint8_t>& bytes) {
  MeanColour m;
  GraphImage image{};
  EXPECT_EQ(
      ReadImageToGraphImage(nullptr, bytes.data(), static_cast<int>(bytes.size()), 1, &image, 0),
      0);
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) {
      int r, g, b, a;
      GetGraphImagePixel(&image, x, y, &r, &g, &b, &a);
      if (r == 255 && g == 0 && b == 255) continue;
      m.r += r, m.g += g, m.b += b, ++m.pixels;
    }
  FreeGraphImage(&image);
  if (m.pixels > 0) m.r /= m.pixels, m.g /= m.pixels, m.b /= m.pixels;
  return m;
}

TEST(KitLook, TheCommonEnemiesDoNotReadAsTheShip) {
  std::vector<KitFile> files = BuildKitFiles("data/robo/jiki.bmp,data/enemy/all/enemyR*", 0);
  MeanColour ship;
  std::vector<std::pair<std::string, MeanColour>> craft;
  for (const KitFile& f : files) {
    if (f.path == "data/robo/jiki.bmp")
      ship = MeanOf(f.bytes);
    else if (f.path.find("enemyR3_") == std::string::npos)  // missiles are not craft
      craft.emplace_back(f.path, MeanOf(f.bytes));
  }
  ASSERT_GT(ship.pixels, 0);
  ASSERT_GE(craft.size(), 8u);
  // The ship is cool steel and blue; each common craft warm, and far from it in colour.
  EXPECT_GT(ship.b, ship.r);
  for (const auto& [path, m] : craft) {
    SCOPED_TRACE(path);
    ASSERT_GT(m.pixels, 0);
    EXPECT_GT(m.r - m.b, 25) << m.r << " " << m.g << " " << m.b;
    const double distance =
        std::sqrt((m.r - ship.r) * (m.r - ship.r) + (m.g - ship.g) * (m.g - ship.g) +
                  (m.b - ship.b) * (m.b - ship.b));
    EXPECT_GT(distance, 60);
  }
}

}  // namespace
