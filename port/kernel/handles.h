// Kernel object handles of the port. Files, threads and events are all HANDLE values from one
// checked table, so CloseHandle works for every kind and refuses what it does not know.
#pragma once

#include "port/kernel/win32_types.h"

// Closes a file, thread or event handle. An unknown, already closed or pseudo handle gives
// FALSE with ERROR_INVALID_HANDLE.
BOOL WINAPI CloseHandle(HANDLE object);

// How many kernel handles are open; tests use it to see that nothing leaks.
int PortOpenHandleCount();

// Accepted where Windows takes one; the port has no security model and ignores its contents.
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
