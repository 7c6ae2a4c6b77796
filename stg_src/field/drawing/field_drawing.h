// The play field's drawing, back to front: the graphics and text calls it makes (one table, so
// tests can record them without a device), the world-space draws that add the draw offsets and
// the shake, the bounded image lookups, and one function for each layer of the frame. Drawing
// reads the game state and writes none of it, except FrameSkipPhase and the parts' beamDrawn.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// Every call the drawing makes to the graphics layer, the bitmap font and the shell's overlay of
// the closing stages, drawn last. The shell defines the defaults (the runtime's calls, the font's
// and its own overlay; stg_src/shell/field_draw_table.cpp); tests swap in recorders.
struct FieldDrawCalls {
  int (*setBlendMode)(int mode, int value);
  int (*setDrawBrightness)(int r, int g, int b);
  uint32_t (*makeColorValue)(int r, int g, int b);
  int (*setTextureFilterMode)(int mode);
  int (*setDrawClipRect)(int x1, int y1, int x2, int y2);
  int (*drawGraphAt)(int x, int y, int image, int transparent);
  int (*drawGraphRotated)(int x, int y, double scale, double angle, int image, int transparent,
                          int turn);
  int (*drawGraphFourCorners)(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                              int image, int transparent);
  int (*drawRectangle)(int x1, int y1, int x2, int y2, uint32_t colour, int filled);
  void (*drawFontText)(int x, int y, const char* text, int size);
  void (*drawFontNumber)(int x, int y, int32_t value, int digits, int spacing);
  void (*drawEndingCredits)();
};

extern FieldDrawCalls FieldDraw;
extern const FieldDrawCalls kDefaultFieldDrawCalls;

enum FieldBlend : int { kNoBlend = 0, kAlphaBlend = 1, kAdditiveBlend = 2 };

// The handle of a table entry, or false when the entry lies outside the table: nothing is then
// drawn, and a frame past a row's cells never reaches the next row.
bool EnemyBodyImage(int kind, int32_t type, int32_t frame, int32_t* image);  // kind 1..4
bool PartImage(int32_t type, int32_t frame, int32_t* image);
bool EnemyShotImage(int32_t type, int32_t frame, int32_t* image);
bool EffectImage(int32_t type, int32_t frame, int32_t* image);
bool PlayerShotImage(int32_t type, int32_t band, int32_t frame, int32_t* image);

// (GameFrame / divisor) mod 4, never negative.
int AnimationCycle4(int divisor);

// A screen coordinate as a whole pixel, truncated toward zero.
int ToPixel(double v);
// A world point on the screen: moved by the shake and draw offsets, truncated toward zero.
int ScreenPixelX(double x);
int ScreenPixelY(double y);
// DrawGraphRotated at the world point moved by the draw and shake offsets, truncated.
void DrawAtWorld(double x, double y, double scale, double angle, int32_t image, int transparent,
                 int turn);
// DrawGraphFourCorners with each corner moved the same way.
void DrawQuadAtWorld(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                     double y4, int32_t image, int transparent);
// A negative v counts as 0; 0..255 sets the brightness (v, v, v) and returns true; 256 and above
// change nothing.
bool SetClampedBrightness(int v);
// The blend of an object's or part's blend word (256 none, below alpha, above additive at the
// value - 256); true when one was set.
bool SetBlendFromWord(int16_t blend);
// A filled box in (r, g, b); screen coordinates.
void FillBox(int x1, int y1, int x2, int y2, int r, int g, int b);

// One enemy pool, kind 1..4 for pools 0..3: each live object's parts A, body and parts B.
void DrawEnemyPool(const EnemyObject* pool, int count, int kind);
void DrawEffects();
void DrawItems();
void DrawInfoPopups();
void DrawPlayerShip();
void DrawPlayerShots();
void DrawEnemyShots();

// The main map's picture layers: 0 under the objects, 1 over them (stages 1 and 2 only).
void DrawMainLayer0();
void DrawMainLayer1();
void DrawMainLayer0Pass();
void DrawMainLayer1Pass();
// The background layers (n 1: layer 0, else layer 1).
void DrawBackLayer(int n);
void DrawBackLayer0();
void DrawBackLayer1();

// The shake's uncovered edges, then (stages 1 and 2) the scores, the board and its panels.
void DrawPlayFieldHud();
