// The game-like frame of game_frame_scene.h drawn straight through the software renderer: its
// pictures as memory images and a 640 x 480 32-bit screen image of their own.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "bench/game_frame_scene.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

namespace game_frame {

struct RendererImage {
  MEMIMG image{};
  RendererImage(int width, int height, bool hasAlpha) {
    CreateMemImg(&image, width, height, -1, kKey, Xrgb8888, 0, hasAlpha ? 1 : 0, 0, nullptr);
  }
  explicit RendererImage(const Picture& picture)
      : RendererImage(picture.width, picture.height, picture.hasAlpha) {
    for (int y = 0; y < picture.height; ++y)
      std::memcpy(image.pixels + y * image.body->pitch,
                  &picture.pixels[static_cast<size_t>(y) * picture.width],
                  4 * static_cast<size_t>(picture.width));
  }
  ~RendererImage() { ReleaseMemImg(&image); }
  RendererImage(const RendererImage&) = delete;
  RendererImage& operator=(const RendererImage&) = delete;
};

// The drawer of DrawFrame for the renderer. Draw() sets the renderer's draw state for the
// screen image (SoftDrawTarget, DrawArea, brightness) first, as the graphics layer would.
struct RendererFrame {
  RendererImage screen{kWidth, kHeight, false};
  std::vector<std::unique_ptr<RendererImage>> owned;
  std::vector<const MEMIMG*> images;  // by PictureId

  // The pictures as memory images of their own.
  explicit RendererFrame(const Content& content) {
    BuildMemImgTables();
    for (const Picture& p : content.pictures) {
      owned.push_back(std::make_unique<RendererImage>(p));
      images.push_back(&owned.back()->image);
    }
  }
  // Images made elsewhere from the pictures, by PictureId.
  explicit RendererFrame(std::vector<const MEMIMG*> pictureImages)
      : images(std::move(pictureImages)) {
    BuildMemImgTables();
  }

  void Draw(const Content& content, int frame) {
    SoftDrawTarget = &screen.image;
    DrawArea = {0, 0, kWidth, kHeight};
    DrawBright = 0xFFFFFF;
    DrawFrame(content, *this, frame);
  }

  void SetMode(int mode, int param) {
    CurrentBlendMode = mode;
    BlendParam = param;
  }
  void Plain(int picture, int x, int y, int transparent) {
    DrawMemImgPlain(&screen.image, images[picture], x, y, transparent, nullptr);
  }
  void Rotated(int picture, int x, int y, float angle, float scale) {
    DrawMemImgRotated(&screen.image, images[picture], x, y, angle, scale, 1, 0, nullptr);
  }
  void Stretched(int picture, int x1, int y1, int x2, int y2) {
    const RECT rect = {x1, y1, x2, y2};
    DrawMemImgStretched(&screen.image, images[picture], &rect, 1, nullptr);
  }
  void BoxOutline(int x1, int y1, int x2, int y2) {
    MemImgLine lines[4];
    MakeBoxOutlineLines(x1, y1, x2, y2, 0x00FFFFFF, BlendParam, lines);
    DrawMemImgLines(&screen.image, lines, 4);
  }
};

}  // namespace game_frame
