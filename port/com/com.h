// COM of the port: start and stop, task memory, and CoCreateInstance over a built-in class
// table. Tests can make a class absent, and CoInitialize fail.
#pragma once

#include "port/kernel/win32_types.h"

#define CLSCTX_INPROC_SERVER 0x1u
#define CLSCTX_INPROC_HANDLER 0x2u
#define CLSCTX_LOCAL_SERVER 0x4u
#define CLSCTX_ALL 0x17u
#define REGDB_E_CLASSNOTREG static_cast<HRESULT>(0x80040154u)
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110u)
#define CO_E_NOTINITIALIZED static_cast<HRESULT>(0x800401F0u)
#define RPC_E_CHANGED_MODE static_cast<HRESULT>(0x80010106u)

HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize();
HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD clsContext, REFIID iid,
                                LPVOID* object);
LPVOID WINAPI CoTaskMemAlloc(SIZE_T size);
void WINAPI CoTaskMemFree(LPVOID memory);
void WINAPI CoFreeUnusedLibraries();

// A class of the table: makes a new object and returns the interface asked for, or an error.
typedef HRESULT (*PortClassFactory)(REFIID iid, void** object);

// Test switches.
void PortSetClassAbsent(REFCLSID clsid, bool absent);
void PortSetCoInitializeFails(bool fails);
void PortResetComSwitches();
// How many CoInitialize calls are not yet matched by CoUninitialize on this thread.
int PortComInitCount();
