// The library's one top-level window: creation at start-up, window-mode and full-screen
// styles, the client area kept at the screen size times the stretch rates, mode switches at
// run time, and teardown.
#pragma once

#include "port/win32.h"

// The texts the window falls back on when the program set none.
constexpr const char* kDefaultWindowText = "Tarnu";
constexpr const char* kDefaultClassName = "V123987A";

int CreateMainWindow();
int ApplyWindowStyle();
int StoreWindowModeFlag(int flag);
// 1 window, 0 full screen. Before start-up only stores the flag; after, switches the running
// window and screen mode. -1 when full screen has no display mode of the screen size.
int ChangeWindowMode(int flag);
int SetWindowResizable(int sizable, int keepAspect);
// Up to 255 characters; the text also names the window class. After start-up the live window
// takes it too.
int SetWindowTitleText(const char* text);
int FitWindowSize();
// Stores the main window's client area in desktop coordinates.
void ReadClientScreenRect();
void BringWindowToFront(HWND window, int topmost);
int DestroyMainWindow();
