#include <sys/sysinfo.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "port/kernel/kernel_system.h"
#include "port/kernel/last_error.h"
#include "port/kernel/monotonic_clock.h"

namespace {

constexpr LONGLONG kPerformanceFrequency = 1000000000;  // nanoseconds of the monotonic clock

std::atomic<bool> gDebugToStderr{false};
std::atomic<void (*)(const char*)> gDebugHook{nullptr};
std::atomic<bool> gNoPerformanceCounter{false};

}  // namespace

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (!count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (gNoPerformanceCounter) {
    count->QuadPart = 0;
    return FALSE;
  }
  count->QuadPart = PortMonotonicNanoseconds();
  return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (!frequency) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (gNoPerformanceCounter) {
    frequency->QuadPart = 0;
    return FALSE;
  }
  frequency->QuadPart = kPerformanceFrequency;
  return TRUE;
}

void WINAPI GetLocalTime(SYSTEMTIME* out) {
  if (!out) return;
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  struct tm local;
  time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  out->wYear = static_cast<WORD>(local.tm_year + 1900);
  out->wMonth = static_cast<WORD>(local.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(local.tm_wday);
  out->wDay = static_cast<WORD>(local.tm_mday);
  out->wHour = static_cast<WORD>(local.tm_hour);
  out->wMinute = static_cast<WORD>(local.tm_min);
  // A leap second reads as the last second of the minute, as Windows never shows 60.
  out->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  out->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

void WINAPI GetSystemInfo(LPSYSTEM_INFO info) {
  if (!info) return;
  std::memset(info, 0, sizeof(*info));
#if defined(__x86_64__)
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  info->dwProcessorType = 8664;
#elif defined(__i386__)
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info->dwProcessorType = 586;
#elif defined(__aarch64__)
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#elif defined(__arm__)
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
#else
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
  long page = sysconf(_SC_PAGESIZE);
  info->dwPageSize = page > 0 ? static_cast<DWORD>(page) : 4096u;
  info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<uintptr_t>(0x10000));
  info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(
      static_cast<uintptr_t>(sizeof(void*) == 8 ? 0x7FFFFFFEFFFFull : 0x7FFEFFFFu));
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  if (count < 1) count = 1;
  info->dwNumberOfProcessors = static_cast<DWORD>(count);
  const int maskBits = static_cast<int>(sizeof(DWORD_PTR) * 8);
  info->dwActiveProcessorMask =
      count >= maskBits ? ~static_cast<DWORD_PTR>(0) : ((static_cast<DWORD_PTR>(1) << count) - 1);
  info->dwAllocationGranularity = 65536;
  info->wProcessorLevel = 6;
}

BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 7600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  return TRUE;
}

BOOL WINAPI GlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
  if (!status || status->dwLength != sizeof(MEMORYSTATUSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct sysinfo si;
  if (sysinfo(&si) != 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  const ULONGLONG unit = si.mem_unit ? si.mem_unit : 1;
  const ULONGLONG total = static_cast<ULONGLONG>(si.totalram) * unit;
  const ULONGLONG available = static_cast<ULONGLONG>(si.freeram + si.bufferram) * unit;
  const ULONGLONG swapTotal = static_cast<ULONGLONG>(si.totalswap) * unit;
  const ULONGLONG swapFree = static_cast<ULONGLONG>(si.freeswap) * unit;
  status->dwMemoryLoad = total ? static_cast<DWORD>(100 - (available * 100) / total) : 0;
  status->ullTotalPhys = total;
  status->ullAvailPhys = available;
  status->ullTotalPageFile = total + swapTotal;
  status->ullAvailPageFile = available + swapFree;
  // The user part of the address space of a 64-bit process (47 bits), as Windows reports it.
  status->ullTotalVirtual = sizeof(void*) == 8 ? 0x7FFFFFFE0000ull : 0x7FFE0000ull;
  status->ullAvailVirtual = status->ullTotalVirtual;
  status->ullAvailExtendedVirtual = 0;
  return TRUE;
}

void WINAPI OutputDebugStringA(LPCSTR text) {
  if (!text) return;
  if (void (*hook)(const char*) = gDebugHook.load()) hook(text);
  if (gDebugToStderr) std::fputs(text, stderr);
}

void PortSetDebugOutputToStderr(bool on) { gDebugToStderr = on; }
void PortSetDebugOutputHook(void (*hook)(const char*)) { gDebugHook = hook; }
void PortSetPerformanceCounterAbsent(bool absent) { gNoPerformanceCounter = absent; }
