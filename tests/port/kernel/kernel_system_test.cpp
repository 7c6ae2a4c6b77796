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
  PortSetSimulatedTime(true);  // a clock that holds still between the two readings
  EXPECT_EQ(getTime(), timeGetTime());
  PortSetSimulatedTime(false);
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

// Both clocks count the real time that passes (a sleep is never short), and both read the same
// clock: held still by simulated time, the millisecond clock is the counter's milliseconds.
TEST(PortClocks, PerformanceCounterAgreesWithTheMillisecondClock) {
  LARGE_INTEGER frequency, a, b;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  ASSERT_EQ(frequency.QuadPart, 1000000000);
  ASSERT_TRUE(QueryPerformanceCounter(&a));
  DWORD ms = timeGetTime();
  Sleep(50);
  DWORD elapsedMs = timeGetTime() - ms;
  ASSERT_TRUE(QueryPerformanceCounter(&b));
  EXPECT_GE(b.QuadPart - a.QuadPart, 50000000);
  EXPECT_GE(elapsedMs, 50u);

  PortSetSimulatedTime(true);
  for (int step = 0; step < 3; ++step) {
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    EXPECT_EQ(timeGetTime(), static_cast<DWORD>(a.QuadPart / 1000000)) << step;
    PortAdvanceSimulatedTime(333333333);
  }
  PortSetSimulatedTime(false);

  PortSetPerformanceCounterAbsent(true);
  EXPECT_FALSE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 0);
  EXPECT_FALSE(QueryPerformanceCounter(&a));
  PortSetPerformanceCounterAbsent(false);
}

class PortSimulatedTime : public testing::Test {
 protected:
  void TearDown() override {
    PortSetSimulatedTime(false);
    PortSetTimeGetTimeOffset(0);
  }
  static LONGLONG Counter() {
    LARGE_INTEGER count;
    EXPECT_TRUE(QueryPerformanceCounter(&count));
    return count.QuadPart;
  }
};

// The counter starts where the real clock stands, holds still until moved, and gives way to
// the real clock again when switched off; switching on twice does not set it back.
TEST_F(PortSimulatedTime, StartsAtTheRealClockAndMovesOnlyWhenAdvanced) {
  EXPECT_FALSE(PortSimulatedTimeOn());
  const LONGLONG before = Counter();
  PortSetSimulatedTime(true);
  EXPECT_TRUE(PortSimulatedTimeOn());
  const LONGLONG start = Counter();
  EXPECT_GE(start, before);
  EXPECT_EQ(Counter(), start);
  PortAdvanceSimulatedTime(7);
  PortAdvanceSimulatedTime(-5);  // time never runs back
  EXPECT_EQ(Counter(), start + 7);
  PortSetSimulatedTime(true);
  EXPECT_EQ(Counter(), start + 7);
  PortSetSimulatedTime(false);
  EXPECT_FALSE(PortSimulatedTimeOn());
  EXPECT_GE(Counter(), start);
}

// The test offset of the millisecond clock still applies, up to its wrap at 2^32; the
// milliseconds are whole ones, cut down.
TEST_F(PortSimulatedTime, MillisecondClockKeepsItsOffsetAndWraps) {
  PortSetSimulatedTime(true);
  PortAdvanceSimulatedTime((1000000 - Counter() % 1000000) % 1000000);  // onto a whole ms
  PortSetTimeGetTimeOffset(0xFFFFFFF0u - timeGetTime());
  EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
  PortAdvanceSimulatedTime(15999999);
  EXPECT_EQ(timeGetTime(), 0xFFFFFFFFu);
  PortAdvanceSimulatedTime(1);
  EXPECT_EQ(timeGetTime(), 0u);
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
