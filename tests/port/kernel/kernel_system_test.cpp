// System facts, clocks and debugger output of the port's kernel and multimedia timer.
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "port/win32.h"

namespace {

TEST(PortSystem, VersionIsWindows7WithAnEmptyServiceText) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_GT(info.dwBuildNumber, 7000u);
  EXPECT_STREQ(info.szCSDVersion, "");
  info.dwOSVersionInfoSize = 12;
  EXPECT_FALSE(GetVersionExA(&info));
}

TEST(PortSystem, SystemInfoCountsTheOnlineProcessors) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwNumberOfProcessors, static_cast<DWORD>(sysconf(_SC_NPROCESSORS_ONLN)));
  EXPECT_EQ(info.dwPageSize, static_cast<DWORD>(sysconf(_SC_PAGESIZE)));
  EXPECT_NE(info.dwActiveProcessorMask, 0u);
}

TEST(PortSystem, MemoryStatusChecksTheRecordSize) {
  MEMORYSTATUSEX status = {};
  EXPECT_FALSE(GlobalMemoryStatusEx(&status));  // dwLength not set
  status.dwLength = sizeof(status);
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  EXPECT_GT(status.ullTotalPhys, 0u);
  EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
  EXPECT_LE(status.dwMemoryLoad, 100u);
}

TEST(PortSystem, ModulesExportTheTimerAndMemoryFunctions) {
  HMODULE winmm = LoadLibraryA("winmm.dll");
  ASSERT_NE(winmm, nullptr);
  for (const char* name : {"timeGetTime", "timeBeginPeriod", "timeEndPeriod", "timeGetDevCaps"})
    EXPECT_NE(GetProcAddress(winmm, name), nullptr) << name;
  auto getTime = reinterpret_cast<DWORD(WINAPI*)()>(
      reinterpret_cast<void (*)()>(GetProcAddress(winmm, "timeGetTime")));
  DWORD direct = timeGetTime();
  EXPECT_LE(getTime() - direct, 1000u);
  FreeLibrary(winmm);

  HMODULE kernel = LoadLibraryA("Kernel32.dll");
  ASSERT_NE(kernel, nullptr);
  EXPECT_EQ(GetProcAddress(kernel, "GlobalMemoryStatusEx"),
            reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&GlobalMemoryStatusEx)));
  FreeLibrary(kernel);
}

TEST(PortTimer, DevCapsAndPeriods) {
  TIMECAPS caps;
  EXPECT_EQ(timeGetDevCaps(&caps, sizeof(caps)), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.wPeriodMin, 1u);
  EXPECT_GE(caps.wPeriodMax, caps.wPeriodMin);
  EXPECT_EQ(timeGetDevCaps(&caps, 3), TIMERR_NOCANDO);
  EXPECT_EQ(timeBeginPeriod(caps.wPeriodMin), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(caps.wPeriodMin), TIMERR_NOERROR);
  EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
}

TEST(PortClocks, PerformanceCounterAgreesWithTheMillisecondClock) {
  LARGE_INTEGER frequency, a, b;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  ASSERT_GT(frequency.QuadPart, 0);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  DWORD ms = timeGetTime();
  Sleep(50);
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  DWORD elapsedMs = timeGetTime() - ms;
  LONGLONG elapsedCounterMs = (b.QuadPart - a.QuadPart) * 1000 / frequency.QuadPart;
  EXPECT_GE(elapsedCounterMs, 49);
  EXPECT_LE(std::llabs(elapsedCounterMs - static_cast<LONGLONG>(elapsedMs)), 2);

  PortSetPerformanceCounterAbsent(true);
  EXPECT_FALSE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 0);
  EXPECT_FALSE(QueryPerformanceCounter(&a));
  PortSetPerformanceCounterAbsent(false);
}

TEST(PortClocks, LocalTimeIsPlausible) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  EXPECT_GE(t.wYear, 2020);
  EXPECT_TRUE(t.wMonth >= 1 && t.wMonth <= 12);
  EXPECT_TRUE(t.wDay >= 1 && t.wDay <= 31);
  EXPECT_LE(t.wHour, 23);
  EXPECT_LE(t.wMinute, 59);
  EXPECT_LE(t.wSecond, 59);
  EXPECT_LE(t.wMilliseconds, 999);
  EXPECT_LE(t.wDayOfWeek, 6);
}

std::string gDebugSeen;

TEST(PortDebugOutput, OffByDefaultAndCollectedByTheHook) {
  testing::internal::CaptureStderr();
  OutputDebugStringA("quiet\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  PortSetDebugOutputHook([](const char* text) { gDebugSeen += text; });
  PortSetDebugOutputToStderr(true);
  testing::internal::CaptureStderr();
  OutputDebugStringA("loud\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "loud\n");
  PortSetDebugOutputToStderr(false);
  PortSetDebugOutputHook(nullptr);
  OutputDebugStringA("after\n");
  EXPECT_EQ(gDebugSeen, "loud\n");
}

}  // namespace
