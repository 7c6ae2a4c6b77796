// The common controls library ("comctl32.dll"). The runtime only looks its start call up.
#pragma once

#include "port/kernel/win32_types.h"

// Accepted; the port's windows have no common controls to register.
void WINAPI InitCommonControls();
