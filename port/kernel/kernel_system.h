// System facts, clocks and debugger output of the kernel: the performance counter, local time,
// processor and memory information, the Windows version the port reports (6.1, build 7600).
#pragma once

#include "port/kernel/win32_types.h"

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);

void WINAPI GetLocalTime(SYSTEMTIME* time);

#define PROCESSOR_ARCHITECTURE_INTEL 0
#define PROCESSOR_ARCHITECTURE_ARM 5
#define PROCESSOR_ARCHITECTURE_AMD64 9
#define PROCESSOR_ARCHITECTURE_ARM64 12
#define PROCESSOR_ARCHITECTURE_UNKNOWN 0xFFFF

struct SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};
typedef SYSTEM_INFO* LPSYSTEM_INFO;
void WINAPI GetSystemInfo(LPSYSTEM_INFO info);

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;
// The caller sets dwOSVersionInfoSize; any other size fails with ERROR_INSUFFICIENT_BUFFER.
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);

struct MEMORYSTATUSEX {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  ULONGLONG ullTotalPhys;
  ULONGLONG ullAvailPhys;
  ULONGLONG ullTotalPageFile;
  ULONGLONG ullAvailPageFile;
  ULONGLONG ullTotalVirtual;
  ULONGLONG ullAvailVirtual;
  ULONGLONG ullAvailExtendedVirtual;
};
typedef MEMORYSTATUSEX* LPMEMORYSTATUSEX;
// The caller sets dwLength to the size of the record; other sizes fail with
// ERROR_INVALID_PARAMETER.
BOOL WINAPI GlobalMemoryStatusEx(LPMEMORYSTATUSEX status);

// Goes nowhere unless a switch sends it to stderr or a test hook collects it.
void WINAPI OutputDebugStringA(LPCSTR text);

// Test switches: debugger output to stderr (off by default); a hook that receives every text
// (null removes it); a machine without a performance counter.
void PortSetDebugOutputToStderr(bool on);
void PortSetDebugOutputHook(void (*hook)(const char* text));
void PortSetPerformanceCounterAbsent(bool absent);
