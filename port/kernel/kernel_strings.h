// The kernel's string functions that the runtime calls.
#pragma once

#include "port/kernel/win32_types.h"

// Length in bytes of a NUL-terminated string; 0 for null.
int WINAPI lstrlenA(LPCSTR text);
