// The content of the game-like benchmark frame on a 640 x 480 screen, shared by the software
// renderer's frame (bench/softrender_frame) and the graphics layer's (bench/graphics_frame): two
// full-screen layers, 200 alpha sprites of 32 x 32, 256 additive bullets of 16 x 16 (every
// fourth one rotated), 20 stretched effects and 16 box outlines. The pictures and places come
// from a fixed seed; each program draws them through its own drawer.
#pragma once

#include <cstdint>
#include <vector>

namespace game_frame {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// The transparent colour of the keyed pictures.
constexpr uint32_t kKey = 0x00FF00FF;

inline uint32_t NextRandom(uint32_t& seed) {
  seed = seed * 214013u + 2531011u;
  return seed >> 8;
}

// A picture as 0xAARRGGBB words, row by row; the alpha byte counts only when hasAlpha is set.
struct Picture {
  int width = 0, height = 0;
  bool hasAlpha = false;
  std::vector<uint32_t> pixels;

  Picture(int w, int h, bool alpha)
      : width(w), height(h), hasAlpha(alpha), pixels(static_cast<size_t>(w) * h) {}
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A round shape on a key-coloured (or alpha 0) ground, with a soft alpha edge.
inline void PaintSprite(Picture& sprite, uint32_t colour, uint32_t& seed) {
  const int w = sprite.width, h = sprite.height;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int dx = 2 * x + 1 - w, dy = 2 * y + 1 - h;
      const int d2 = dx * dx + dy * dy, r2 = w * h;
      const uint32_t shade = (colour & 0xFFFFFF) ^ (NextRandom(seed) & 0x0F0F0F);
      uint32_t px;
      if (sprite.hasAlpha) {
        const uint32_t a = d2 >= r2 ? 0 : d2 >= r2 * 3 / 4 ? 128 : 255;
        px = shade | a << 24;
      } else {
        px = d2 >= r2 ? kKey : shade;
      }
      sprite.At(x, y) = px;
    }
  }
}

inline void FillLayer(Picture& layer, bool keyed, uint32_t& seed) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const bool hole = keyed && ((x / 40 + y / 40) % 2 == 0);
      layer.At(x, y) = hole ? kKey : (NextRandom(seed) & 0x3F3F3F) + 0x202020;
    }
}

enum PictureId { kBack, kFront, kSprite, kBullet, kEffect, kPictureCount };

struct Place {
  int x, y;
};

struct Content {
  std::vector<Picture> pictures;  // by PictureId
  std::vector<Place> sprites, bullets, effects, boxes;

  Content() {
    pictures = {Picture(kWidth, kHeight, false), Picture(kWidth, kHeight, false),
                Picture(32, 32, true), Picture(16, 16, false), Picture(32, 32, false)};
    uint32_t seed = 2024;
    FillLayer(pictures[kBack], false, seed);
    FillLayer(pictures[kFront], true, seed);
    PaintSprite(pictures[kSprite], 0x4080C0, seed);
    PaintSprite(pictures[kBullet], 0xC06020, seed);
    PaintSprite(pictures[kEffect], 0x2060A0, seed);
    const auto place = [&](std::vector<Place>& list, int count, int margin) {
      for (int i = 0; i < count; ++i)
        list.push_back({static_cast<int>(NextRandom(seed) % (kWidth + 2 * margin)) - margin,
                        static_cast<int>(NextRandom(seed) % (kHeight + 2 * margin)) - margin});
    };
    place(sprites, 200, 16);
    place(bullets, 256, 8);
    place(effects, 20, 48);
    place(boxes, 16, 0);
  }
};

// The frame, in its order, through a drawer with SetMode(mode, parameter), Plain(picture, x, y,
// transparent), Rotated(picture, centreX, centreY, angle, scale), Stretched(picture, x1, y1,
// x2, y2) and BoxOutline(x1, y1, x2, y2) (white).
template <class Drawer>
void DrawFrame(const Content& c, Drawer& d, int frame) {
  d.SetMode(0, 255);
  d.Plain(kBack, 0, 0, 0);
  d.Plain(kFront, 0, 0, 1);

  // Alpha sprites: half drawn as they are, half faded.
  for (size_t i = 0; i < c.sprites.size(); ++i) {
    d.SetMode(i % 2 ? 1 : 0, i % 2 ? 160 : 255);
    d.Plain(kSprite, c.sprites[i].x, c.sprites[i].y, 1);
  }

  d.SetMode(2, 255);
  for (size_t i = 0; i < c.bullets.size(); ++i) {
    if (i % 4 == 0)
      d.Rotated(kBullet, c.bullets[i].x, c.bullets[i].y, 0.05f * static_cast<float>(frame + i),
                1.0f);
    else
      d.Plain(kBullet, c.bullets[i].x, c.bullets[i].y, 1);
  }

  d.SetMode(2, 200);
  for (const Place& e : c.effects) d.Stretched(kEffect, e.x - 48, e.y - 48, e.x + 48, e.y + 48);

  d.SetMode(1, 192);
  for (const Place& b : c.boxes) d.BoxOutline(b.x, b.y, b.x + 64, b.y + 48);
}

}  // namespace game_frame
