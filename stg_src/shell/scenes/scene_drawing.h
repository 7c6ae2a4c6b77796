// What the front-end scenes' drawing shares: the blend modes, boxes and images drawn blended
// with the settings put back, images centred, and the font size every scene text uses.
#pragma once

#include <cstdint>

constexpr int kSceneTextSize = 14;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

enum SceneBlend : int { kSceneNoBlend = 0, kSceneAlphaBlend = 1, kSceneAddBlend = 2 };

// A filled box in (r, g, b), blended at `value` (nothing for a value of 0 or less in a blend).
void FillSceneBox(int x1, int y1, int x2, int y2, int r, int g, int b,
                  SceneBlend blend = kSceneNoBlend, int value = 255);
// The whole screen.
inline void FillSceneScreen(int r, int g, int b, SceneBlend blend = kSceneNoBlend,
                            int value = 255) {
  FillSceneBox(0, 0, kScreenWidth, kScreenHeight, r, g, b, blend, value);
}
// The image centred on (x, y) at the scale, transparent.
void DrawSceneImageCentred(int x, int y, double scale, int32_t image);
// Draw calls between these run in the blend; the end puts no-blend back.
void BeginSceneBlend(SceneBlend blend, int value);
void EndSceneBlend();
// Text at the scenes' size.
void DrawSceneText(int x, int y, const char* text);
// Entry e of a table of types x frames, counted through its rows as the loaders fill it.
template <int Types, int Frames>
int32_t FlatEntry(const int32_t (&table)[Types][Frames], int e) {
  return e >= 0 && e < Types * Frames ? table[e / Frames][e % Frames] : 0;
}
