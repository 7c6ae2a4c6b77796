// The collision polygon of every tile type in its three forms: the full outline the swept hit
// test runs around, the walkable top a floor walker follows and the underside a ceiling walker
// clings to. Points are in pixels from the tile's top-left corner, y downward.
#pragma once

#include <cstdint>

constexpr int kTilePolygonPoints = 4;

// Forms of GetTilePolygon; any form other than these two reads as the lower surface.
constexpr int16_t kTileFullPolygon = 0;
constexpr int16_t kTileUpperSurface = 1;
constexpr int16_t kTileLowerSurface = 2;

// xs[k] = (xk x 40) / 4 and ys[k] = (yk x 40) / 4 in integers: codes are tenths of a tile side.
void SetTilePolygonPoints(double xs[kTilePolygonPoints], double ys[kTilePolygonPoints], int16_t x0,
                          int16_t y0, int16_t x1, int16_t y1, int16_t x2, int16_t y2, int16_t x3,
                          int16_t y3);

// Fills the form's points: the full polygon gives four corners in order (a triangle repeats its
// first corner) and returns 4; a surface gives its polyline from left to right and returns its
// segment count (1 or 2), the points it does not use set to 0. A type without a polygon returns
// 0 and leaves both arrays untouched.
int GetTilePolygon(double xs[kTilePolygonPoints], double ys[kTilePolygonPoints], int16_t type,
                   int16_t form);
