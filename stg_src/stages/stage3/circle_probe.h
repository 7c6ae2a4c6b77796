// The terrain test of stage 3's round movers: the move from the old to the new point tried for
// the four points a circle's radius off its centre (left, right, above, below, in that order).
#pragma once

#include <cstdint>

#include "stg_src/field/terrain/terrain.h"

// The surface angle of the first of the four that meets terrain, or -1.
inline int16_t TestTerrainAroundCircle(double oldX, double oldY, double x, double y, double r) {
  const double shifts[4][2] = {{-r, 0.0}, {+r, 0.0}, {0.0, -r}, {0.0, +r}};
  for (const auto& s : shifts) {
    const int16_t surface = TestTerrainHit(x + s[0], y + s[1], oldX + s[0], oldY + s[1], 1);
    if (surface >= 0) return surface;
  }
  return -1;
}
