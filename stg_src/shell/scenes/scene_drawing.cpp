#include "stg_src/shell/scenes/scene_drawing.h"

#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "stg_src/game/font_text.h"

#include "stg_src/game/deterministic.h"

void FillSceneBox(int x1, int y1, int x2, int y2, int r, int g, int b, SceneBlend blend,
                  int value) {
  if (blend != kSceneNoBlend && value <= 0) return;
  if (blend != kSceneNoBlend) BeginSceneBlend(blend, value);
  DrawFilledBox(x1, y1, x2, y2, MakeColorValue(r, g, b));
  if (blend != kSceneNoBlend) EndSceneBlend();
}

void DrawSceneImageCentred(int x, int y, double scale, int32_t image) {
  DrawGraphRotated(x, y, scale, 0.0, image, 1, 0);
}

void BeginSceneBlend(SceneBlend blend, int value) { SetBlendMode(blend, value); }

void EndSceneBlend() { SetBlendMode(kSceneNoBlend, 0); }

void DrawSceneText(int x, int y, const char* text) { DrawFontText(x, y, text, kSceneTextSize); }
