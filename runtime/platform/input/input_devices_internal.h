// What the input layer's sources share.
#pragma once

#include "port/win32.h"

// True while the layer runs on DirectInput (not before start, not on Win32 input).
bool InputUsesDirectInput();
// A query's first step: waits while the window is inactive and tells whether the layer runs.
// When it does not, it is started (unless the window is closing) and the query answers 0.
bool PrepareInputQuery();
