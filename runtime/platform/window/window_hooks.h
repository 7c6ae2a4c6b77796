// What the window system calls in the subsystems built beside it (graphics, sound, input,
// movies, sockets, music): one pointer per service. A pointer stays null until its subsystem
// installs it, and a null service is skipped (or answers as stated), so the window system runs
// on its own and nothing is reported as done that was not.
#pragma once

#include "port/win32.h"

struct WindowServiceHooks {
  // Per-frame services, in their order.
  void (*updateStreamSounds)();
  void (*updateSoundPositions)();
  void (*pollMusicPlayState)();
  void (*refreshKeyboardState)();
  void (*processJoypadVibration)();
  void (*pumpSocketMessages)();
  // While the window is inactive.
  void (*drawAutoMovies)();
  // Activation.
  void (*releaseGraphicsForDisplayChange)();
  void (*resumeAllMovies)();
  void (*pauseAllMovies)();
  void (*reacquireInputDevices)();
  void (*refreshJoypadEffects)();
  int (*hasGraphicsDevice)();           // null: no device
  int (*presentAfterActivation)();      // ends an open scene and presents once; -1 on failure
  int (*hasDirectDrawObject)();         // null: none
  int (*hasRestoreCallback)();          // null: none installed
  void (*restoreDesktopComposition)();  // switches composition back on if the library turned it off
  // Screen and drawing.
  int (*isHardwareRendering)();                    // null: software
  void (*getScreenSize)(int* width, int* height);  // null: 640 x 480, the size while unset
  int (*getScreenBitDepth)();                      // null: 16, the depth while unset
  int (*isDisplayModeAvailable)(int width, int height, int bits);  // null: none known
  int (*softwareRenderingRequested)();
  void (*setEmulate320x240)(int flag);
  int (*changeScreenModeForWindowMode)();    // ChangeScreenMode(-1, -1, -1, 1, -1); null: 0
  int (*getDrawTarget)();                    // null: -2, the back buffer
  int (*presentForPaint)(const RECT* rect);  // present with the vertical-blank wait off
  void (*onWindowMoved)();                   // mask screen refresh and draw clip reset
  void (*setDeviceDialogBoxMode)(int on);
  // Notifications.
  void (*handleMciNotify)(WPARAM wParam, LPARAM lParam);
  LRESULT (*handleSocketEvent)(WPARAM wParam, LPARAM lParam);
  // Start-up pieces of other Parts.
  void (*seedRandom)(unsigned int seed);
  // Stands in for the library's fatal exit (AbortWithLog) where a test must see the text; null
  // in the running library. Must not return.
  void (*abortWithLog)(const char* text);
};

extern WindowServiceHooks WindowHooks;

// The screen size and depth through the hooks, with the values of an unset screen mode.
void GetHookedScreenSize(int* width, int* height);
int GetHookedScreenBitDepth();
