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

// Test switch: simulated time, off by default. While it is on, the performance counter, the
// multimedia timer, window timers and the vertical-blank grid read one process-wide counter
// of nanoseconds in place of the real clock. It starts at the real clock's reading and moves
// only when a test advances it, when a thread calls Sleep(n) (n milliseconds on, returning at
// once) and when a vertical-blank wait moves it to the blank. Every thread shares it, so a
// thread sleeping in the background moves it too; code that spins on a clock without sleeping
// (the start-up's clock checks) never ends while it is on. Waits on kernel objects keep real
// time. Switching off returns to the real clock.
void PortSetSimulatedTime(bool on);
void PortAdvanceSimulatedTime(int64_t nanoseconds);
bool PortSimulatedTimeOn();
