// Draw targets and clearing: selecting the screen or a draw-target graph with the 2-D camera
// that goes with it, the front buffer's refresh timer, and clearing the target to the
// background colour.
#pragma once

#include "port/win32.h"

// The window timer that presents the front buffer while it is the draw target.
constexpr UINT_PTR kScreenRefreshTimerId = 0x7fff;
constexpr UINT kScreenRefreshIntervalMs = 32;

// -2 (and -3, -5, which act as -2) the back buffer, -4 the front buffer, or a live graph made
// as a draw target. 0, or -1 before the graphics start, for a graph that cannot be drawn into
// or any other value; a refused target changes nothing.
int SetDrawTarget(int target);
// Clears the rectangle (left, top, right, bottom) of the draw target to BackgroundColor; null,
// or a negative left or top, clears the whole target. 0.
int ClearDrawTarget(const RECT* rect);
int ClearWholeDrawTarget();
// The surface the current draw target is drawn on when the mask screen is not in the way: the
// target graph's render-target surface, else the sub back buffer, else the back buffer.
IDirect3DSurface9* DrawTargetSurface();

// The refresh timer's procedure: presents and re-arms while the front buffer is the target.
void CALLBACK ScreenRefreshTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
