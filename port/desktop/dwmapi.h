// The desktop window manager library ("dwmapi.dll"): switching desktop composition on or off.
#pragma once

#include "port/kernel/win32_types.h"

#define DWM_EC_DISABLECOMPOSITION 0u
#define DWM_EC_ENABLECOMPOSITION 1u

// Accepted with no effect: a Linux desktop composes as its window manager decides. S_OK for
// the two actions above, E_INVALIDARG for any other.
HRESULT WINAPI DwmEnableComposition(UINT compositionAction);

// For tests: how many calls were accepted, and the last accepted action (-1 before any).
int PortDesktopCompositionCallCount();
int PortDesktopCompositionLastAction();
void PortResetDesktopComposition();
