#include "port/kernel/last_error.h"

namespace {
thread_local DWORD gLastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError() { return gLastError; }

void WINAPI SetLastError(DWORD code) { gLastError = code; }
