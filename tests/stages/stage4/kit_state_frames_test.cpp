// The stage-4 pictures whose frames show a state: the gunboat's damaged frame reads apart from
// its whole one, and the boss core's six frames go from open (its pink eye lit) to shut.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/image_loader.h"
#include "tools/datakit/kit_build.h"

namespace {

struct Cell {
  int pixels = 0;    // visible (not key-coloured)
  int pink = 0;      // bright and red over green: the energy colour
  double value = 0;  // mean of r + g + b over the visible pixels
  std::vector<int> rgb;
};

std::vector<Cell> Cells(const std::vector<uint8_t>& bytes, int w, int h, int columns, int count) {
  GraphImage image{};
  EXPECT_EQ(
      ReadImageToGraphImage(nullptr, bytes.data(), static_cast<int>(bytes.size()), 1, &image, 0),
      0);
  std::vector<Cell> cells(count);
  for (int k = 0; k < count; ++k) {
    Cell& c = cells[k];
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        int r, g, b, a;
        GetGraphImagePixel(&image, w * (k % columns) + x, h * (k / columns) + y, &r, &g, &b, &a);
        c.rgb.push_back(r + g + b);
        if (r == 255 && g == 0 && b == 255) continue;
        ++c.pixels;
        c.value += r + g + b;
        if (r > 180 && r > g + 80) ++c.pink;
      }
    if (c.pixels > 0) c.value /= c.pixels;
  }
  FreeGraphImage(&image);
  return cells;
}

std::vector<uint8_t> KitFileBytes(const char* path) {
  for (const KitFile& f : BuildKitFiles(path, 0))
    if (f.path == path) return f.bytes;
  ADD_FAILURE() << path;
  return {};
}

TEST(Stage4KitFrames, TheGunboatsDamagedFrameAndTheCoresClosingReadAtAGlance) {
  const std::vector<Cell> boat =
      Cells(KitFileBytes("data/enemy/stage4/enemyR1_12.bmp"), 96, 64, 1, 2);
  ASSERT_GT(boat[0].pixels, 500);
  int changed = 0;
  for (size_t i = 0; i < boat[0].rgb.size(); ++i)
    changed += std::abs(boat[0].rgb[i] - boat[1].rgb[i]) > 60;
  EXPECT_GT(changed, boat[0].pixels / 10);
  EXPECT_LT(boat[1].value, boat[0].value);

  const std::vector<Cell> core =
      Cells(KitFileBytes("data/enemy/stage4/boss4parts2.bmp"), 64, 64, 3, 6);
  EXPECT_GT(core[0].pink, 200);
  // The shutters close over the eye a fifth at a time (the glow at its heart dims, so one step
  // may show a little more of its pink rim).
  for (int k = 1; k < 6; ++k) EXPECT_LE(core[k].pink, core[k - 1].pink * 21 / 20) << k;
  EXPECT_LT(core[4].pink, core[0].pink / 2);
  EXPECT_LT(core[5].pink, core[0].pink / 20);
}

}  // namespace
