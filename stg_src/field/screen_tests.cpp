#include "stg_src/field/screen_tests.h"

#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/scrolling.h"

#include "stg_src/game/deterministic.h"

double ScreenToWorldX(double sx) { return -1.0 * DrawOffsetX + sx; }

double ScreenToWorldY(double sy) { return -1.0 * DrawOffsetY + sy; }

double WorldToScreenX(double x) { return x + DrawOffsetX; }

double WorldToScreenY(double y) { return y + DrawOffsetY; }

double ClampToScreenX(double x, double margin) {
  const double lo = ScreenToWorldX(margin);
  if (lo > x) return lo;
  const double hi = ScreenToWorldX(kViewWidth - margin);
  if (hi < x) return hi;
  return x;
}

double ClampToScreenY(double y, double margin) {
  const double lo = ScreenToWorldY(margin);
  if (lo > y) return lo;
  const double hi = ScreenToWorldY(kViewHeight - margin);
  if (hi < y) return hi;
  return y;
}

bool IsOutsideScreen(double x, double y, int margin) {
  return IsOutsideScreenXY(x, y, margin, margin);
}

bool IsOutsideScreenXY(double x, double y, int marginX, int marginY) {
  const double sx = WorldToScreenX(x);
  const double sy = WorldToScreenY(y);
  return sx < -marginX || sx > kViewWidth + marginX || sy < -marginY || sy > kViewHeight + marginY;
}

bool IsOutsideViewBox(double x, double y, int margin) {
  return IsOutsideViewBoxXY(x, y, margin, margin);
}

bool IsOutsideViewBoxXY(double x, double y, int marginX, int marginY) {
  if (x < CameraX - marginX || x > ViewRight + marginX) return true;
  // The window wraps through a vertical loop, so its y range says nothing there.
  if (VerticalLoopBottom > 0) return false;
  return y < ViewTop - marginY || y > ViewBottom + marginY;
}

bool IsOffScreen(double x, double y, int margin, bool useViewBox) {
  if (margin < 0) return false;
  return useViewBox ? IsOutsideViewBox(x, y, margin) : IsOutsideScreen(x, y, margin);
}

bool IsOffScreenXY(double x, double y, int marginX, int marginY, bool useViewBox, bool force) {
  if (!force && (marginX < 0 || marginY < 0)) return false;
  return useViewBox ? IsOutsideViewBoxXY(x, y, marginX, marginY)
                    : IsOutsideScreenXY(x, y, marginX, marginY);
}
