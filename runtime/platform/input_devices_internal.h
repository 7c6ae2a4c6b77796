// What the input layer's sources share.
#pragma once

#include "port/win32.h"

// The multimedia joystick calls of the Win32 path, looked up in "winmm.dll" when that path
// starts; a null pointer reads as a failing call.
struct InputWinmmFunctions {
  HMODULE module;
  MMRESULT(WINAPI* joyGetPosEx)(UINT id, LPJOYINFOEX info);
  MMRESULT(WINAPI* joyGetDevCapsA)(UINT_PTR id, LPJOYCAPSA caps, UINT size);
};
extern InputWinmmFunctions InputWinmm;

// True while the layer runs on DirectInput (not before start, not on Win32 input).
bool InputUsesDirectInput();
// A query's first step: waits while the window is inactive and tells whether the layer runs.
// When it does not, it is started (unless the window is closing) and the query answers 0.
bool PrepareInputQuery();
