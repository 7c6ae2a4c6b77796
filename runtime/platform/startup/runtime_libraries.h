// The platform libraries the program does not import: start-up loads them and looks their
// functions up by name, the end of the library frees them. Nothing here checks a load or a
// lookup: a library or function that cannot be had leaves a null pointer, and the code that
// calls through the table tests its pointer.
#pragma once

#include "port/win32.h"

// The multimedia timer's event procedure and MCI's device id, for the two entries that only the
// movie player's timers and MIDI files would call (neither runs in this system).
typedef void(CALLBACK* TimerEventProc)(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);
typedef UINT MciDeviceId;

struct Ws2_32Library {
  HMODULE module;
  decltype(&::WSAGetLastError) WSAGetLastError;
  decltype(&::WSAStartup) WSAStartup;
  decltype(&::WSACleanup) WSACleanup;
  decltype(&::WSAAsyncSelect) WSAAsyncSelect;
  decltype(&::gethostbyaddr) gethostbyaddr;
  decltype(&::gethostbyname) gethostbyname;
  int(WINAPI* gethostname)(char* name, int nameLength);  // the host's headers have another one
  decltype(&::ntohs) ntohs;
  decltype(&::htons) htons;
  decltype(&::connect) connect;
  decltype(&::socket) socket;
  decltype(&::send) send;
  decltype(&::sendto) sendto;
  decltype(&::recvfrom) recvfrom;
  decltype(&::accept) accept;
  decltype(&::closesocket) closesocket;
  decltype(&::shutdown) shutdown;
  decltype(&::listen) listen;
  decltype(&::bind) bind;
  decltype(&::inet_addr) inet_addr;
  decltype(&::recv) recv;
};

struct Imm32Library {
  HMODULE module;
  decltype(&::ImmGetContext) ImmGetContext;
  decltype(&::ImmReleaseContext) ImmReleaseContext;
  decltype(&::ImmGetOpenStatus) ImmGetOpenStatus;
  decltype(&::ImmGetConversionStatus) ImmGetConversionStatus;
  decltype(&::ImmNotifyIME) ImmNotifyIME;
  decltype(&::ImmSetOpenStatus) ImmSetOpenStatus;
  decltype(&::ImmGetCandidateListA) ImmGetCandidateListA;
  decltype(&::ImmGetCompositionStringA) ImmGetCompositionStringA;
  decltype(&::ImmSetCompositionStringA) ImmSetCompositionStringA;
};

struct WinmmLibrary {
  HMODULE module;
  MMRESULT(WINAPI* timeSetEvent)
  (UINT delay, UINT resolution, TimerEventProc procedure, DWORD_PTR user, UINT flags);
  MMRESULT(WINAPI* timeKillEvent)(UINT id);
  decltype(&::timeBeginPeriod) timeBeginPeriod;
  decltype(&::timeEndPeriod) timeEndPeriod;
  decltype(&::timeGetTime) timeGetTime;
  decltype(&::timeGetDevCaps) timeGetDevCaps;
  decltype(&::joyGetPosEx) joyGetPosEx;
  decltype(&::joyGetDevCapsA) joyGetDevCapsA;
  DWORD(WINAPI* mciSendCommandA)
  (MciDeviceId device, UINT message, DWORD_PTR flags, DWORD_PTR parameters);
};

struct Ole32Library {
  HMODULE module;
  decltype(&::CoCreateInstance) CoCreateInstance;
  decltype(&::CoTaskMemAlloc) CoTaskMemAlloc;
  decltype(&::CoTaskMemFree) CoTaskMemFree;
  decltype(&::CoInitialize) CoInitialize;
  decltype(&::CoFreeUnusedLibraries) CoFreeUnusedLibraries;
  decltype(&::CoUninitialize) CoUninitialize;
};

struct Comctl32Library {
  HMODULE module;
  decltype(&::InitCommonControls) InitCommonControls;
};

struct DwmapiLibrary {
  HMODULE module;
  decltype(&::DwmEnableComposition) DwmEnableComposition;
};

struct User32Library {
  HMODULE module;
  decltype(&::WINNLSEnableIME) WINNLSEnableIME;
};

struct RuntimeLibraryTable {
  Ws2_32Library ws2_32;
  Imm32Library imm32;
  WinmmLibrary winmm;
  Ole32Library ole32;
  Comctl32Library comctl32;
  DwmapiLibrary dwmapi;
  User32Library user32;
};

extern RuntimeLibraryTable RuntimeLibraries;

// Start-up loads the libraries in two groups: first ws2_32, Imm32, winmm, ole32 and comctl32,
// later dwmapi and User32. A library whose handle is set is not loaded again.
void LoadStartupLibraries();
void LoadDisplayLibraries();
// Frees dwmapi, User32, ws2_32, Imm32, winmm, ole32 and comctl32, in this order, clearing each
// handle and its function pointers.
void FreeRuntimeLibraries();
