// The draw settings' setters and getters: blend mode and parameter, draw brightness and the
// packed vertex colour made from them, the colour key and the screen's colour values, the graph
// creation options, and the reset that gives every setting its start value when graphics start.
// The values themselves are in draw_state.h.
#pragma once

#include <cstdint>

// 0. Nothing changes while drawing is suppressed or when mode and parameter (as passed) are the
// stored ones; the parameter is kept in 0..255.
int SetBlendMode(int mode, int parameter);
// 0. Each channel is kept in 0..255.
int SetDrawBrightness(int r, int g, int b);
// DrawBright = colour & 0xFFFFFF. 0.
int SetDrawBrightnessPacked(uint32_t colour);
// The diffuse colour of the current settings: alpha << 24 | DrawBright, the alpha being the
// blend parameter, or 255 in blend mode 0.
uint32_t PackedDrawColorOf();
// -1 when the blend graph is not a valid graph or is narrower or lower than graph (or graph is
// not valid); else 0.
int CheckBlendGraphSize(int graph);

// The transparent colour of images loaded from now on; ignored on an 8-bit screen. 0.
int SetColorKey(int r, int g, int b);
// (r, g, b) as a colour value of the screen: 5-6-5 on a 16-bit screen, else X8R8G8B8 with the
// spare bits set.
uint32_t MakeColorValue(int r, int g, int b);
// The inverse, each channel scaled to 0..255; null outputs are skipped. 0.
int GetColorComponents(uint32_t colour, int* r, int* g, int* b);

// The graph creation options and the other plain settings: setters return 0, getters the value.
int SetGraphBitDepthOption(int bits);
int GetGraphBitDepthOption();
int SetDrawTargetGraphOption(int flag);
int GetDrawTargetGraphOption();
int SetAlphaTestGraphOption(int flag);
int GetAlphaTestGraphOption();
int SetSystemMemoryCopyOption(int flag);
int GetSystemMemoryCopyOption();
int SetBlankGraphAlphaOption(int flag);
int GetBlankGraphAlphaOption();
// flag 0 switches the colour key off for uploads.
int SetUseTransColor(int flag);
// flag 0: presenting does not wait for the vertical blank. The getter is 1 while it waits.
int SetVSyncWait(int flag);
int GetVSyncWait();
int GetDrawTarget();

// Puts every draw setting to its start value, keeping the vertical-blank choice, the 320 x 240
// fall-back, the suppression of drawing and the lights. 0.
int ResetDrawSettings();
