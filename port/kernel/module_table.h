// Run-time libraries of the port: LoadLibraryA / GetProcAddress / FreeLibrary resolve from a
// built-in table of modules ("d3d9.dll", "winmm.dll", ...), each a list of named functions.
// Tests can make a module, or one function of a module, absent.
#pragma once

#include <span>

#include "port/kernel/win32_types.h"

struct PortExport {
  const char* name;
  FARPROC function;
};

// One entry of an export list: PORT_EXPORT(timeGetTime).
#define PORT_EXPORT(fn) \
  PortExport { #fn, reinterpret_cast < FARPROC>(&fn) }

HMODULE WINAPI LoadLibraryA(LPCSTR fileName);
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);
BOOL WINAPI FreeLibrary(HMODULE module);

// Test switches. A module marked absent fails to load (ERROR_MOD_NOT_FOUND); a function
// marked absent is not found (ERROR_PROC_NOT_FOUND). Names compare without regard to case,
// and a module name without an extension gets ".dll", as on Windows.
void PortSetModuleAbsent(const char* moduleName, bool absent);
void PortSetExportAbsent(const char* moduleName, const char* procName, bool absent);
void PortResetModuleSwitches();
// How many loads of the module are outstanding (0 when not loaded).
int PortModuleLoadCount(const char* moduleName);
