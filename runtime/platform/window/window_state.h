// The window system's process-wide state: the main window, its text and class, window or full
// screen, sizing and stretch, the desktop, and the flags the window procedure and the message
// pump keep. Start-up and the setters fill the settings; CreateMainWindow resets the rest.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct WindowSystemState {
  HINSTANCE moduleInstance;
  DWORD mainThreadId;
  HWND mainWindow;  // null until created
  char windowText[256];
  char className[256];
  int windowModeFlag;   // 1 window, 0 full screen (the default)
  int sizableFlag;      // sizing border
  int capOnlyFlag;      // 0: dragging keeps the screen's aspect; 1: the client area is only capped
  double stretchRateX;  // a value <= 0 counts as 1.0
  double stretchRateY;
  int styleAppliedFlag;  // a window-mode style was applied by ChangeWindowMode or FitWindowSize
  int desktopWidth;
  int desktopHeight;
  int desktopColorBits;
  RECT clientScreenRect;  // client area in desktop coordinates
  RECT lastWindowRect;
  int active;
  int creating;
  int closeRequested;
  int destroyed;
  int quitSeen;  // WM_QUIT seen: set once, never cleared
  int modeChanging;
  int displayChangeSeen;
  int painting;
  int cursorShown;          // the state last applied
  int cursorWish;           // 1 show, 0 hide
  int runWhenInactiveFlag;  // nothing sets it: the library always sleeps while inactive
  UINT timerMinPeriod;
  uint64_t physicalMemoryTotal;
  uint64_t physicalMemoryFree;
};

extern WindowSystemState WindowState;

// Settings made before start-up survive this reset; every other field returns to zero.
void ResetWindowState();

// Getters of the window state.
int GetQuitFlag();
HWND GetMainWindowHandle();
int QueryWindowedMode();
int GetWindowActiveFlag();
int GetRunWhenInactiveFlag();
int GetMmxFlag();
int GetCloseRequestedFlag();
// Writes the rates through the non-null pointers and returns the x rate. A stored rate <= 0
// reads as 1.0; in full screen both read 1.0.
double GetWindowStretchRates(double* x, double* y);
// The desktop size and colour bits: stored at window creation once the library runs, read live
// before. Null outputs are skipped. 0.
int GetDesktopMetrics(int* width, int* height, int* bits);
