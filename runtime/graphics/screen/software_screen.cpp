#include "runtime/graphics/screen/software_screen.h"

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/arithmetic_helpers.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/softrender/draw_primitives.h"

MEMIMG ScreenMemImg = {};
MEMIMG FontWorkMemImg = {};
MEMIMG FontWorkAlphaMemImg = {};

namespace {

// The graph's memory image, or null for a graph that is not live or not stored as one.
const MEMIMG* GraphImageOf(int graph) {
  const GraphEntry* entry = GetGraphEntry(graph);
  if (entry == nullptr || !IsMemImgValid(&entry->image)) return nullptr;
  return &entry->image;
}

bool CanDraw(const MEMIMG* source) { return source != nullptr && IsMemImgValid(SoftDrawTarget); }

}  // namespace

int CreateSoftwareScreen() {
  int width, height;
  GetScreenSize(&width, &height);
  if (CreateScreenMemImg(&ScreenMemImg, width, height, -1) < 0)
    AbortWithLog("プライマリサーフェス用の MEMIMG の作成に失敗しました\n");
  // Text drawing writes into the work images without testing them: a screen without them
  // cannot run.
  const int colorType = ScreenMemImg.body->colorType;
  ReleaseMemImg(&FontWorkMemImg);
  ReleaseMemImg(&FontWorkAlphaMemImg);
  FontWorkMemImg = {};
  FontWorkAlphaMemImg = {};
  if (CreateMemImg(&FontWorkMemImg, width, height, -1, 0, colorType, 0, 0, 0, nullptr) < 0 ||
      CreateMemImg(&FontWorkAlphaMemImg, width, height, -1, 0, colorType, 0, 1, 0, nullptr) < 0)
    AbortWithLog("文字描画作業用の MEMIMG の作成に失敗しました\n");
  FillMemImgRect(&ScreenMemImg, nullptr,
                 MakePixelValue(ScreenMemImg.body->format, BackgroundColor.red,
                                BackgroundColor.green, BackgroundColor.blue, 255));
  SoftDrawTarget = &ScreenMemImg;
  return 0;
}

int ReleaseSoftwareScreen() {
  if (SoftDrawTarget == &ScreenMemImg) SoftDrawTarget = nullptr;
  ReleaseMemImg(&ScreenMemImg);
  ReleaseMemImg(&FontWorkMemImg);
  ReleaseMemImg(&FontWorkAlphaMemImg);
  return 0;
}

int SoftDrawGraphAt(int x, int y, int transparent, int graph) {
  const MEMIMG* image = GraphImageOf(graph);
  if (CanDraw(image)) DrawMemImgPlain(SoftDrawTarget, image, x, y, transparent, SoftBlendImage);
  return 0;
}

int SoftDrawGraphStretched(int x1, int y1, int x2, int y2, int graph, int transparent) {
  const MEMIMG* image = GraphImageOf(graph);
  const RECT rect = {x1, y1, x2, y2};
  if (CanDraw(image))
    DrawMemImgStretched(SoftDrawTarget, image, &rect, transparent, SoftBlendImage);
  return 0;
}

int SoftDrawGraphRotated(float centreX, float centreY, double scale, double angle, int graph,
                         int transparent, int turn) {
  const MEMIMG* image = GraphImageOf(graph);
  if (CanDraw(image))
    DrawMemImgRotated(SoftDrawTarget, image, FloatToInt(centreX), FloatToInt(centreY),
                      static_cast<float>(angle), static_cast<float>(scale), transparent, turn,
                      SoftBlendImage);
  return 0;
}

int SoftDrawGraphFourCorners(int graph, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                             int y4, int transparent) {
  const MEMIMG* image = GraphImageOf(graph);
  const int32_t corners[8] = {x1, y1, x2, y2, x3, y3, x4, y4};
  if (CanDraw(image)) DrawMemImgQuad(SoftDrawTarget, image, corners, transparent, SoftBlendImage);
  return 0;
}

int SoftDrawGraphFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                              float y4, int graph, int transparent) {
  return SoftDrawGraphFourCorners(graph, FloatToInt(x1), FloatToInt(y1), FloatToInt(x2),
                                  FloatToInt(y2), FloatToInt(x3), FloatToInt(y3), FloatToInt(x4),
                                  FloatToInt(y4), transparent);
}

int SoftFillBox(int x1, int y1, int x2, int y2, uint32_t colour) {
  const RECT rect = {x1, y1, x2, y2};
  if (IsMemImgValid(SoftDrawTarget))
    FillMemImgBox(SoftDrawTarget, &rect, static_cast<int32_t>(colour));
  return 0;
}
