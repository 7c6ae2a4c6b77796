// Small services around the main window: the mouse cursor, the mouse position in screen-image
// coordinates, the client area on the desktop, and the formatting helpers through which the
// library reaches the C runtime.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "port/win32.h"

// 1 show, 0 hide, -1 apply the current wish again. 0.
int SetCursorVisible(int flag);
// Either output may be null. 0.
int GetMouseScreenPosition(int* x, int* y);
int GetWindowClientArea(RECT* rect);
// The window has no tool bar: 0.
int QueryToolBarHeight();
// printf into a buffer of the given size, cut to it and always terminated. FormatText returns
// 0; FormatTextV returns the number of characters written (negative on a format error).
int FormatText(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int FormatTextV(char* buffer, size_t size, const char* format, va_list arguments);
double PowFloat(float base, float exponent);
