// World and screen coordinates and the visibility tests: the 640 x 400 screen at this frame's
// draw offsets, and the view box the camera keeps in world coordinates. They read the camera's
// words and write nothing.
#pragma once

double ScreenToWorldX(double sx);
double ScreenToWorldY(double sy);
double WorldToScreenX(double x);
double WorldToScreenY(double y);
// x held to the world span of screen columns margin .. 640 - margin; the lower bound is tested
// first, so with a margin above 320 a point left of it gets it and any other the upper bound.
double ClampToScreenX(double x, double margin);
double ClampToScreenY(double y, double margin);
// Outside the screen widened by the margin on every side; a point on a widened edge is inside.
bool IsOutsideScreen(double x, double y, int margin);
bool IsOutsideScreenXY(double x, double y, int marginX, int marginY);
// Outside the view box widened by the margin; during a vertical loop only x is tested.
bool IsOutsideViewBox(double x, double y, int margin);
bool IsOutsideViewBoxXY(double x, double y, int marginX, int marginY);
// The common entry: a negative margin switches the test off (never off screen).
bool IsOffScreen(double x, double y, int margin, bool useViewBox);
// With force a negative margin shrinks the rectangle instead of switching the test off.
bool IsOffScreenXY(double x, double y, int marginX, int marginY, bool useViewBox, bool force);
