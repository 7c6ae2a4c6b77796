// The graphics entry points that the frame loop, the program entry and the screenshot button
// call, as the graphics layer names them. Declared here only until the graphics layer's own
// headers declare them (they are not built yet); nothing defines them here, and nothing that
// is linked today calls them.
#pragma once

int SetScreenMode(int width, int height, int bits, int refreshRate);
int SetColorKey(int r, int g, int b);
int SetDefaultFontSize(int size);
int SetDefaultFontThickness(int thickness);
int SetDefaultFontType(int type);
int ClearWholeDrawTarget();
int PresentScreen();
int SetDrawTarget(int target);
int SaveDrawScreen(int x1, int y1, int x2, int y2, const char* fileName, int type, int jpegQuality,
                   int jpegOption, int pngLevel);
