// One game-like frame drawn through the draw calls on the device (llvmpipe) and on the software
// renderer, read back through SaveDrawScreen and compared pixel by pixel: two background layers
// and keyed and alpha sprites loaded from files, the blend modes both paths have at several
// parameters, draw brightness, turned, stretched and four-corner draws, rectangles of graphs
// (plain, mirrored and stretched), boxes and outlines, a clip rectangle, and text in the game's
// default font and in an outlined font. The frame is laid out in cells of 40 x 40 so that no
// pixel has more than two blended layers over it.
//
// Tolerances and exclusions, per channel:
// - 3 levels for modes 0, 1 and 2 and for brightness, where the device's fixed-point blending and
//   the renderer's tables round differently;
// - 6 for modes 3, 4, 10 and 11, whose packed forms in the renderer drop low bits;
// - 17 for anti-aliased text, whose glyph levels go through the texture cache's 4-bit alpha on
//   the device and keep their 16 levels in memory, one step of that alpha apart (text of 1-bit
//   glyphs and outlines takes the 3 of mode 0);
// - turned, stretched and four-corner sprites leave out a band of 1.5 pixels around the edges of
//   their ideal quad (a pixel on either side of the edge): the device puts pixel centres on the
//   half pixel and the renderer samples at a pixel's corner, so which pixels an edge takes may
//   differ. Inside, both sample by nearest texel (the software path has no other filter), so
//   these sprites are smooth gradients (2 levels a texel), where a sample one texel over stays
//   within the tolerance;
// - four-corner draws are parallelograms, which both paths map affinely alike, and one
//   trapezoid of a single colour, for which only the covered pixels count (the device draws
//   it as a bilinear grid, the renderer as two affine triangles);
// - the renderer draws a quad as two triangles that both write the pixels of their shared
//   diagonal, so a blending mode blends those twice: turned (mirrored) sprites, which it draws
//   as quads, leave out a band of 1.5 pixels along both diagonals in the blending modes;
// - in mode 4 the renderer scales the product by a source alpha between 0 and 255 (towards
//   black), where the device multiplies by the colour alone: the alpha sprite's pixels of such
//   an alpha are left out of its mode-4 cells.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/screen/draw_target.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kWidth = 640, kHeight = 480, kCell = 40;

struct Point {
  double x, y;
};

// One draw of the frame: the cell it starts in, its tolerance, the ideal quad (relative to the
// cell) whose edges are left out (empty for draws whose edges fall on whole pixels), and how
// many cells it spans.
struct FrameItem {
  std::string name;
  int column, row;
  std::function<void(int cellX, int cellY)> draw;
  int tolerance;
  std::vector<Point> edges;
  int span = 1;
  // Both diagonals of the quad are left out too.
  bool diagonals = false;
  // Pixels (relative to the cell) left out for what the draw itself is.
  std::function<bool(int x, int y)> skip;
};

// The graphs of the frame, loaded from the test's files on each path.
struct FrameGraphs {
  int back = -1, front = -1, alpha = -1;
  int sprites[3] = {-1, -1, -1};  // keyed, smooth, single colour
};

uint32_t KeyedSprite(int x, int y) {
  const int dx = 2 * x - 31, dy = 2 * y - 31;
  if (dx * dx + dy * dy > 30 * 30) return 0xFFFF00FFu;
  return 0xFF000000u | static_cast<uint32_t>(40 + x * 6) << 16 |
         static_cast<uint32_t>(200 - y * 5) << 8 | static_cast<uint32_t>((x * y) & 0xFF);
}

uint32_t AlphaSprite(int x, int y) {
  const int dx = 2 * x - 31, dy = 2 * y - 31, d = dx * dx + dy * dy;
  const uint32_t a = d > 30 * 30 ? 0 : d > 20 * 20 ? 128 : d > 10 * 10 ? 200 : 255;
  return a << 24 | static_cast<uint32_t>(230 - x * 3) << 16 |
         static_cast<uint32_t>(90 + y * 4) << 8 | static_cast<uint32_t>(120 + x * 2);
}

uint32_t SmoothSprite(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(100 + 2 * x) << 16 |
         static_cast<uint32_t>(60 + 2 * y) << 8 | static_cast<uint32_t>(150 + x - y);
}

uint32_t Sprite(int x, int y) {
  // Three 32 x 32 cells side by side: keyed, smooth, a single colour.
  const int cell = x / 32, cx = x % 32;
  return cell == 0 ? KeyedSprite(cx, y) : cell == 1 ? SmoothSprite(cx, y) : 0xFF30C090u;
}

uint32_t Back(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>((x * 3 + y) & 0xFF) << 16 |
         static_cast<uint32_t>((y * 5 + 40) & 0xFF) << 8 | static_cast<uint32_t>((x ^ y) & 0xFF);
}

// The front layer shows the back through every other cell.
uint32_t Front(int x, int y) {
  if ((x / kCell + y / kCell) % 2 == 0) return 0xFFFF00FFu;
  return 0xFF000000u | static_cast<uint32_t>(80 + (x & 63)) << 16 |
         static_cast<uint32_t>(70 + (y & 63)) << 8 | 90u;
}

std::string Str(const ByteString& b) { return {b.begin(), b.end()}; }

FrameGraphs LoadFrameGraphs(const TempFolder& folder) {
  const std::string dir = folder.WindowsPath() + "\\";
  FrameGraphs g;
  g.back = LoadGraphFromFile((dir + "back.bmp").c_str(), 0);
  g.front = LoadGraphFromFile((dir + "front.bmp").c_str(), 0);
  g.alpha = LoadGraphFromFile((dir + "alpha.png").c_str(), 0);
  EXPECT_EQ(LoadGraphCellsFromFile((dir + "sprites.bmp").c_str(), 3, 3, 1, 32, 32, g.sprites, 0),
            0);
  return g;
}

// The four corners of a graph of w x h turned about (cx, cy).
std::vector<Point> TurnedQuad(double cx, double cy, int w, int h, double scale, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  std::vector<Point> quad;
  for (const auto& [ox, oy] : {std::pair{-0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}, {-0.5, 0.5}}) {
    const double dx = ox * w * scale, dy = oy * h * scale;
    quad.push_back({cx + dx * c - dy * s, cy + dx * s + dy * c});
  }
  return quad;
}

double SegmentDistance(Point p, Point a, Point b) {
  const double vx = b.x - a.x, vy = b.y - a.y;
  const double len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double dx = p.x - (a.x + t * vx), dy = p.y - (a.y + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

FrameItem& Add(std::vector<FrameItem>* items, const std::string& name, int column, int row,
               int tolerance, std::function<void(int, int)> draw) {
  FrameItem item;
  item.name = name;
  item.column = column;
  item.row = row;
  item.tolerance = tolerance;
  item.draw = std::move(draw);
  items->push_back(std::move(item));
  return items->back();
}

std::vector<FrameItem> FrameItems(const FrameGraphs& g) {
  std::vector<FrameItem> items;
  const int modes[] = {0, 1, 2, 3, 4, 10, 11};
  const int params[] = {255, 160, 64};
  // Keyed and alpha sprites in every mode at three parameters.
  for (int kind = 0; kind < 2; ++kind) {
    int n = 0;
    for (int mode : modes)
      for (int param : params) {
        const int graph = kind == 0 ? g.sprites[0] : g.alpha;
        FrameItem& item = Add(&items,
                              (kind == 0 ? "keyed" : "alpha") + std::string(" mode ") +
                                  std::to_string(mode) + " param " + std::to_string(param),
                              n % 16, kind * 2 + n / 16, mode <= 2 ? 3 : 6, [=](int x, int y) {
                                SetBlendMode(mode, param);
                                DrawGraphAt(x + 4, y + 4, graph, 1);
                              });
        if (kind == 1 && mode == 4)
          item.skip = [](int x, int y) {
            if (x < 4 || y < 4 || x >= 36 || y >= 36) return false;
            const uint32_t a = AlphaSprite(x - 4, y - 4) >> 24;
            return a != 0 && a != 255;
          };
        ++n;
      }
  }
  // Brightness, plain and blended.
  const int brights[][3] = {{255, 128, 64}, {64, 200, 255}, {128, 128, 128}, {0, 255, 30}};
  for (int i = 0; i < 8; ++i) {
    const int r = brights[i % 4][0], gr = brights[i % 4][1], b = brights[i % 4][2];
    const int mode = i < 4 ? 0 : 1;
    const int graph = i % 2 ? g.alpha : g.sprites[0];
    Add(&items, "brightness " + std::to_string(i), i, 4, 3, [=](int x, int y) {
      SetBlendMode(mode, 192);
      SetDrawBrightness(r, gr, b);
      DrawGraphAt(x + 4, y + 4, graph, 1);
      SetDrawBrightness(255, 255, 255);
    });
  }
  // Turned and scaled smooth sprites, some mirrored, some blended, over two cells each way.
  struct Turn {
    double scale, angle;
    int turn, mode;
  } turns[] = {{1.0, 0.5, 0, 0}, {1.0, 0.0, 1, 0},       {0.75, -1.0, 0, 0}, {1.1, 2.0, 1, 1},
               {1.0, 0.0, 0, 0}, {1.0, 1.5707963, 0, 0}, {0.9, 3.0, 0, 2},   {0.5, 0.25, 1, 1}};
  for (int i = 0; i < 8; ++i) {
    const Turn t = turns[i];
    FrameItem& item =
        Add(&items, "rotated " + std::to_string(i), 2 * i, 5, 3, [=, &g](int x, int y) {
          SetBlendMode(t.mode, 200);
          DrawGraphRotated(x + 40, y + 40, t.scale, t.angle, g.sprites[1], 1, t.turn);
        });
    item.edges = TurnedQuad(40, 40, 32, 32, t.scale, t.angle);
    item.span = 2;
    item.diagonals = t.turn && t.mode != 0;
  }
  // Stretched, mirrored by reversed corners, and blended.
  struct Stretch {
    int x1, y1, x2, y2, mode;
  } stretches[] = {{2, 4, 38, 28, 0}, {38, 2, 4, 36, 0}, {6, 36, 34, 6, 2}, {0, 0, 20, 40, 1}};
  for (int i = 0; i < 4; ++i) {
    const Stretch s = stretches[i];
    FrameItem& item = Add(&items, "stretched " + std::to_string(i), i, 7, 3, [=, &g](int x, int y) {
      SetBlendMode(s.mode, 180);
      DrawGraphStretched(x + s.x1, y + s.y1, x + s.x2, y + s.y2, g.sprites[1], 1);
    });
    item.edges = {{double(s.x1), double(s.y1)},
                  {double(s.x2), double(s.y1)},
                  {double(s.x2), double(s.y2)},
                  {double(s.x1), double(s.y2)}};
  }
  // Four corners, given clockwise: parallelograms of the smooth sprite, and a trapezoid of a
  // single colour.
  struct Corners {
    int c[8];
    int graph;
  } corners[] = {{{4, 4, 34, 8, 36, 36, 6, 32}, 1},
                 {{30, 2, 38, 30, 10, 38, 2, 10}, 1},
                 {{8, 4, 32, 4, 38, 36, 2, 36}, 2}};
  for (int i = 0; i < 3; ++i) {
    const Corners k = corners[i];
    FrameItem& item =
        Add(&items, "four corners " + std::to_string(i), 5 + i, 7, 3, [=, &g](int x, int y) {
          SetBlendMode(0, 0);
          DrawGraphFourCorners(x + k.c[0], y + k.c[1], x + k.c[2], y + k.c[3], x + k.c[4],
                               y + k.c[5], x + k.c[6], y + k.c[7], g.sprites[k.graph], 1);
        });
    for (int j = 0; j < 4; ++j) item.edges.push_back({double(k.c[2 * j]), double(k.c[2 * j + 1])});
  }
  // Boxes and outlines.
  for (int i = 0; i < 6; ++i) {
    const int mode = i % 3;
    const int fill = i < 3 ? 1 : 0;
    Add(&items, std::string(fill ? "box" : "outline") + " mode " + std::to_string(mode), i, 8, 3,
        [=](int x, int y) {
          SetBlendMode(mode, 150);
          DrawRectangle(x + 5, y + 7, x + 33, y + 30, MakeColorValue(250, 140, 30), fill);
        });
  }
  // A clip rectangle that cuts a sprite and a box outline.
  Add(&items, "clip rectangle", 6, 8, 3, [=, &g](int x, int y) {
    SetBlendMode(1, 220);
    SetDrawClipRect(x + 10, y + 12, x + 30, y + 27);
    DrawGraphAt(x + 4, y + 4, g.sprites[0], 1);
    DrawRectangle(x + 12, y + 2, x + 36, y + 38, MakeColorValue(255, 255, 255), 0);
    SetDrawClipRect(0, 0, kWidth, kHeight);
  });
  // Rectangles of graphs, as text is drawn: plain, mirrored (through reversed corners) and
  // stretched twice from float corners; and a whole graph mirrored.
  Add(&items, "rectangle", 7, 8, 3, [=, &g](int x, int y) {
    SetBlendMode(1, 200);
    DrawGraphRect(x + 4, y + 4, 6, 4, 20, 24, g.sprites[1], 1, 0);
  });
  Add(&items, "rectangle mirrored", 8, 8, 3, [=, &g](int x, int y) {
    SetBlendMode(0, 0);
    DrawGraphRect(x + 4, y + 4, 6, 4, 20, 24, g.sprites[0], 1, 1);
  });
  Add(&items, "mirrored", 9, 8, 3, [=, &g](int x, int y) {
    SetBlendMode(2, 128);
    DrawGraphMirrored(x + 4, y + 4, g.sprites[0], 1);
  });
  FrameItem& rectStretched = Add(&items, "rectangle stretched", 10, 8, 3, [=, &g](int x, int y) {
    SetBlendMode(0, 0);
    DrawGraphRectStretchedF(x + 2.0f, y + 2.0f, x + 38.0f, y + 38.0f, 4, 4, 18, 18, g.sprites[1],
                            1);
  });
  rectStretched.edges = {{2, 2}, {38, 2}, {38, 38}, {2, 38}};
  // Text across and downwards, over three cells each way: a font of the game's default font
  // settings (20, 3, anti-aliased) and a 1-bit font with an outline of 2.
  Add(&items, "text, the game's default font", 0, 9, 17, [](int x, int y) {
    SetBlendMode(0, 0);
    const int font = CreateFontToHandle(nullptr, 20, 3, 2, -1, -1, 0, -1, -1);
    DrawStringWithFont(x + 4, y + 4, "Ag漢字", MakeColorValue(255, 255, 255), font, 0, 0);
    DrawStringWithFont(x + 8, y + 36, "Ag字", MakeColorValue(255, 192, 64), font, 0, 1);
    DeleteFontHandle(font);
  }).span = 3;
  Add(&items, "text, an outlined font", 3, 9, 3, [](int x, int y) {
    SetBlendMode(0, 0);
    const int font = CreateFontToHandle(nullptr, 24, 4, 1, -1, 2, 0, -1, -1);
    DrawStringWithFont(x + 4, y + 4, "Ed字", MakeColorValue(255, 255, 255), font,
                       MakeColorValue(0, 0, 0), 0);
    DrawStringWithFont(x + 8, y + 40, "Ag", MakeColorValue(255, 255, 0), font,
                       MakeColorValue(32, 32, 255), 1);
    DeleteFontHandle(font);
  }).span = 3;
  return items;
}

// Draws the whole frame and reads it back.
std::vector<uint32_t> DrawFrame(const FrameGraphs& g) {
  SetBlendMode(0, 0);
  SetDrawClipRect(0, 0, kWidth, kHeight);
  ClearDrawTarget(nullptr);
  DrawGraphAt(0, 0, g.back, 0);
  DrawGraphAt(0, 0, g.front, 1);
  for (const FrameItem& item : FrameItems(g)) item.draw(item.column * kCell, item.row * kCell);
  SetBlendMode(0, 0);
  return SavedDrawScreen(0, 0, kWidth, kHeight);
}

using FrameCompare = StartedGraphics;

TEST_F(FrameCompare, DeviceAndSoftwareRendererDrawTheSameFrame) {
  TempFolder folder;
  folder.WriteFile("back.bmp", Str(MakeBmpSheet(kWidth, kHeight, Back)));
  folder.WriteFile("front.bmp", Str(MakeBmpSheet(kWidth, kHeight, Front)));
  folder.WriteFile("alpha.png", Str(MakePngSheet(32, 32, AlphaSprite)));
  folder.WriteFile("sprites.bmp", Str(MakeBmpSheet(96, 32, Sprite)));

  std::vector<uint32_t> screens[2];
  for (int path = 0; path < 2; ++path) {
    ASSERT_TRUE(Start(path == 0));
    TextureFilterMode = 0;
    const FrameGraphs graphs = LoadFrameGraphs(folder);
    screens[path] = DrawFrame(graphs);
    Stop();
    ASSERT_EQ(screens[path].size(), static_cast<size_t>(kWidth * kHeight));
  }

  // Each pixel's tolerance (-1: left out), cell by cell.
  std::vector<int> tolerance(kWidth * kHeight, 3);
  std::vector<std::string> owner(kWidth * kHeight, "background");
  FrameGraphs none;
  for (const FrameItem& item : FrameItems(none)) {
    const int cx = item.column * kCell, cy = item.row * kCell;
    for (int y = cy; y < cy + item.span * kCell; ++y)
      for (int x = cx; x < cx + item.span * kCell; ++x) {
        const size_t at = static_cast<size_t>(y) * kWidth + x;
        owner[at] = item.name;
        tolerance[at] = item.tolerance;
        if (item.skip && item.skip(x - cx, y - cy)) tolerance[at] = -1;
        if (item.edges.empty()) continue;
        const Point p = {x + 0.5 - cx, y + 0.5 - cy};
        const std::vector<Point>& q = item.edges;
        for (size_t e = 0; e < q.size(); ++e)
          if (SegmentDistance(p, q[e], q[(e + 1) % q.size()]) < 1.5) tolerance[at] = -1;
        if (item.diagonals &&
            (SegmentDistance(p, q[0], q[2]) < 1.5 || SegmentDistance(p, q[1], q[3]) < 1.5))
          tolerance[at] = -1;
      }
  }

  // Per draw: how many pixels are out of tolerance, the worst, and where the first one is.
  struct Miss {
    int count = 0, worst = 0;
    size_t first = 0;
    uint32_t device = 0, software = 0;
  };
  std::map<std::string, Miss> misses;
  int compared = 0;
  for (size_t at = 0; at < tolerance.size(); ++at) {
    if (tolerance[at] < 0) continue;
    ++compared;
    const uint32_t a = screens[0][at], b = screens[1][at];
    int worst = 0;
    for (int shift : {0, 8, 16})
      worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                       static_cast<int>((b >> shift) & 0xFF)));
    if (worst <= tolerance[at]) continue;
    Miss& m = misses[owner[at]];
    if (m.count++ == 0) m = {1, worst, at, a, b};
    m.worst = std::max(m.worst, worst);
  }
  for (const auto& [name, m] : misses)
    ADD_FAILURE() << name << ": " << m.count << " pixels, up to " << m.worst
                  << " levels apart; first at (" << m.first % kWidth << ", " << m.first / kWidth
                  << "): device " << std::hex << m.device << ", software " << m.software;
  EXPECT_GT(compared, kWidth * kHeight * 9 / 10);
  // Both drew the frame: the keyed sprite of the first cell, drawn as it is, and the texts,
  // whose pixels stand far from the layers under them.
  for (const std::vector<uint32_t>& screen : screens) {
    EXPECT_EQ(screen[20 * kWidth + 20], KeyedSprite(16, 16) & 0xFFFFFF);
    for (const FrameItem& item : FrameItems(none)) {
      if (item.name.rfind("text", 0) != 0) continue;
      int marked = 0;
      for (int y = item.row * kCell; y < (item.row + item.span) * kCell; ++y)
        for (int x = item.column * kCell; x < (item.column + item.span) * kCell; ++x) {
          const uint32_t front = Front(x, y) & 0xFFFFFF;
          const uint32_t layer = front == 0xFF00FF ? Back(x, y) & 0xFFFFFF : front;
          const uint32_t got = screen[static_cast<size_t>(y) * kWidth + x];
          for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((got >> shift) & 0xFF) -
                         static_cast<int>((layer >> shift) & 0xFF)) > 64) {
              ++marked;
              break;
            }
        }
      EXPECT_GT(marked, 200) << item.name;
    }
  }
}

}  // namespace
