// The system information block, processor feature levels, version names and the clocks.
#include "runtime/platform/core/system_info.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "port/win32.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/system_state.h"
#include "tests/support/log_capture.h"

namespace {

constexpr uint32_t kTsc = 1u << 4, kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26;

class SystemInfo : public testing::Test {
 protected:
  void SetUp() override { saved_ = gSystemState; }
  void TearDown() override {
    SetProcessorIdentityForTest(nullptr);
    PortSetPerformanceCounterAbsent(false);
    PortSetTimeGetTimeOffset(0);
    PortSetSimulatedTime(false);
    gSystemState = saved_;
  }

 private:
  SystemState saved_;
};

ProcessorIdentity Identity(int hasIdentification, uint32_t features, const char* name) {
  ProcessorIdentity id = {};
  id.hasIdentification = hasIdentification;
  std::memcpy(id.vendor, "TestVendorId", 12);
  id.featureBits = features;
  if (name) {
    id.hasName = 1;
    std::strncpy(id.name, name, 48);
  }
  return id;
}

TEST_F(SystemInfo, BlockAppearsInTheLogWithTheProcessorCount) {
  LogCapture log;
  LogSystemInformation();
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  const std::string contents = log.Contents();
  EXPECT_EQ(contents.rfind("0:システムの情報を出力します\r\n0:\tＴＡＲＮＵ Ver3.05\r\n", 0), 0u)
      << contents;
  EXPECT_NE(contents.find("\tＯＳ  Windows7 ( Build 7600  )\r\n"), std::string::npos) << contents;
  EXPECT_NE(contents.find("\t論理プロセッサの数 : " + std::to_string(processors) + "\r\n"),
            std::string::npos);
  EXPECT_EQ(gSystemState.logicalProcessorCount, processors);
  EXPECT_EQ(gSystemState.systemCode, 0x109);
  EXPECT_STREQ(gSystemState.systemDescription, "Windows7 ( Build 7600  )");
#if defined(__x86_64__)
  // Every x86-64 processor has the identification instruction, MMX, SSE, SSE2 and the counter.
  EXPECT_NE(contents.find("\tＳＳＥ２命令が使用可能です\r\n"), std::string::npos);
  EXPECT_NE(contents.find("\tＣＰＵベンダ："), std::string::npos);
  EXPECT_NE(contents.find("\tＣＰＵ動作速度：大体"), std::string::npos);
  EXPECT_EQ(gSystemState.sse2Flag, 1);
  EXPECT_EQ(gSystemState.timeStampCounterAvailable, 1);
  EXPECT_GT(gSystemState.timeStampTicksPerSecond, 0);
#else
  EXPECT_NE(contents.find("\tＣＰＵＩＤ命令は使えません\r\n"), std::string::npos);
#endif
  // The indentation is undone at the end.
  WriteLogText("after\n");
  EXPECT_NE(log.Contents().find("\r\n0:after\r\n"), std::string::npos);
}

TEST_F(SystemInfo, FeatureLevelsSetOnlyWhatTheLevelAllows) {
  struct Case {
    int identification;
    uint32_t features;
    const char* expectedLines;
    int mmx, sse, sse2;
  } cases[] = {
      {0, kMmx | kSse | kSse2, "ＣＰＵＩＤ命令は使えません\r\n", 0, 0, 0},
      {1, kSse | kSse2, "ＭＭＸは使えません\r\nＣＰＵベンダ：TestVendorId\r\n", 0, 0, 0},
      // MMX and SSE2 without SSE: only MMX counts.
      {1, kMmx | kSse2, "ＭＭＸ命令を使用します\r\nＣＰＵベンダ：TestVendorId\r\n", 1, 0, 0},
      {1, kMmx | kSse,
       "ＭＭＸ命令を使用します\r\nＳＳＥ命令が使用可能です\r\nＣＰＵベンダ：TestVendorId\r\n", 1, 1,
       0},
      {1, kMmx | kSse | kSse2,
       "ＭＭＸ命令を使用します\r\nＳＳＥ命令が使用可能です\r\nＳＳＥ２命令が使用可能です\r\nＣＰＵ"
       "ベンダ：TestVendorId\r\n",
       1, 1, 1},
  };
  for (const Case& c : cases) {
    ProcessorIdentity id = Identity(c.identification, c.features, nullptr);
    SetProcessorIdentityForTest(&id);
    LogCapture log;
    LogSystemInformation();
    std::string contents = log.Contents();
    // Drop the stamps and tabs, keep the processor part (everything after the OS line).
    std::string plain;
    for (size_t i = 0; i < contents.size();) {
      size_t end = contents.find("\r\n", i);
      std::string line = contents.substr(i, end + 2 - i);
      line = line.substr(line.find(':') + 1);
      while (!line.empty() && line[0] == '\t') line.erase(0, 1);
      plain += line;
      i = end + 2;
    }
    const size_t os = plain.find(" )\r\n");
    ASSERT_NE(os, std::string::npos);
    EXPECT_EQ(plain.substr(os + 4), c.expectedLines) << c.features;
    EXPECT_EQ(gSystemState.mmxFlag, c.mmx);
    EXPECT_EQ(gSystemState.sseFlag, c.sse);
    EXPECT_EQ(gSystemState.sse2Flag, c.sse2);
    EXPECT_EQ(gSystemState.timeStampCounterAvailable, 0);
  }
}

TEST_F(SystemInfo, ProcessorNameIsLoggedAndStored) {
  ProcessorIdentity id = Identity(1, kMmx, "Test Processor @ 1.00GHz");
  SetProcessorIdentityForTest(&id);
  LogCapture log;
  LogSystemInformation();
  EXPECT_NE(log.Contents().find("\tＣＰＵ名：Test Processor @ 1.00GHz\r\n"), std::string::npos);
  EXPECT_STREQ(gSystemState.processorName, "Test Processor @ 1.00GHz");
}

TEST_F(SystemInfo, WindowsVersionNamesAndCodes) {
  struct Case {
    DWORD platform, major, minor;
    const char* service;
    const char* name;
    int code;
  } cases[] = {
      {VER_PLATFORM_WIN32s, 3, 10, "", "Windows3.1", 0},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "", "Windows95", 1},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, "C", "Windows95OSR2", 1},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, "A", "Windows98SE", 2},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, " ", "Windows98", 2},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, "", "WindowsMe", 3},
      {VER_PLATFORM_WIN32_NT, 3, 51, "", "WindowsNT 3.51", 0x104},
      {VER_PLATFORM_WIN32_NT, 4, 0, "", "Windows4.0", 0x105},
      {VER_PLATFORM_WIN32_NT, 5, 0, "", "Windows2000", 0x106},
      {VER_PLATFORM_WIN32_NT, 5, 1, "", "WindowsXP", 0x107},
      {VER_PLATFORM_WIN32_NT, 6, 0, "", "WindowsVista", 0x108},
      {VER_PLATFORM_WIN32_NT, 6, 1, "", "Windows7", 0x109},
      {VER_PLATFORM_WIN32_NT, 10, 0, "", "Windows", -7},  // unknown: the code stays
  };
  for (const Case& c : cases) {
    OSVERSIONINFOA v = {};
    v.dwPlatformId = c.platform;
    v.dwMajorVersion = c.major;
    v.dwMinorVersion = c.minor;
    std::strcpy(v.szCSDVersion, c.service);
    char name[32];
    int code = -7;
    DescribeWindowsVersion(v, name, &code);
    EXPECT_STREQ(name, c.name);
    EXPECT_EQ(code, c.code) << c.name;
  }
}

TEST_F(SystemInfo, MillisecondClockIsNeverNegative) {
  PortSetSimulatedTime(true);
  for (DWORD offset : {0u, 0x7FFFFFF0u, 0x80000000u, 0xFFFFFFF0u}) {
    PortSetTimeGetTimeOffset(0);
    PortSetTimeGetTimeOffset(offset - timeGetTime());  // the clock now reads offset
    EXPECT_EQ(GetNowMilliseconds(), static_cast<int>(offset & 0x7FFFFFFFu)) << offset;
    PortAdvanceSimulatedTime(0x20 * 1000000LL);
    EXPECT_EQ(GetNowMilliseconds(), static_cast<int>((offset + 0x20) & 0x7FFFFFFFu)) << offset;
  }
}

// Microsecond and millisecond clocks measured over the same 200 ms.
void ExpectClocksAgree(int useTimeStampCounter) {
  uint64_t us0, us1;
  int ms0, ms1;
  // Read both clocks back to back; retry the rare pair split by a preemption.
  auto sample = [&](uint64_t* us, int* ms) {
    for (;;) {
      uint64_t before = GetNowMicroseconds(useTimeStampCounter);
      *ms = GetNowMilliseconds();
      *us = GetNowMicroseconds(useTimeStampCounter);
      if (*us - before < 200) return;
    }
  };
  sample(&us0, &ms0);
  Sleep(200);
  sample(&us1, &ms1);
  const double usElapsedMs = static_cast<double>(us1 - us0) / 1000.0;
  const int msElapsed = ms1 - ms0;
  EXPECT_GE(msElapsed, 200);
  EXPECT_NEAR(usElapsedMs, msElapsed, 2.0) << "time-stamp counter: " << useTimeStampCounter;
}

TEST_F(SystemInfo, MicrosecondClockAgreesWithTheMillisecondClock) {
  DetectPerformanceCounter();
  ASSERT_EQ(gSystemState.performanceCounterAvailable, 1);
  ExpectClocksAgree(0);
#if defined(__x86_64__)
  LogSystemInformation();  // calibrates the time-stamp counter
  gSystemState.initialised = 1;
  ASSERT_EQ(gSystemState.timeStampCounterAvailable, 1);
  ExpectClocksAgree(1);
#endif
}

// With the port's simulated time every clock of the runtime reads the simulated counter, the
// time-stamp counter's path included.
TEST_F(SystemInfo, SimulatedTimeReachesEveryClock) {
  DetectPerformanceCounter();
#if defined(__x86_64__)
  LogSystemInformation();  // calibrates the time-stamp counter
  gSystemState.initialised = 1;
  ASSERT_EQ(gSystemState.timeStampCounterAvailable, 1);
#endif
  PortSetSimulatedTime(true);
  LARGE_INTEGER count;
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  const uint64_t us = static_cast<uint64_t>(count.QuadPart) / 1000;
  const int ms = GetNowMilliseconds();
  EXPECT_EQ(ms, static_cast<int>((count.QuadPart / 1000000) & 0x7FFFFFFF));
  for (int useTimeStampCounter : {0, 1}) EXPECT_EQ(GetNowMicroseconds(useTimeStampCounter), us);
  PortAdvanceSimulatedTime(1234000000);
  EXPECT_EQ(GetNowMilliseconds() - ms, 1234);
  for (int useTimeStampCounter : {0, 1})
    EXPECT_EQ(GetNowMicroseconds(useTimeStampCounter) - us, 1234000u);
  // Without a performance counter the microseconds come from the millisecond clock.
  PortSetPerformanceCounterAbsent(true);
  DetectPerformanceCounter();
  EXPECT_EQ(GetNowMicroseconds(1), static_cast<uint64_t>(timeGetTime()) * 1000);
}

TEST_F(SystemInfo, WithoutPerformanceCounterMicrosecondsStepInThousands) {
  PortSetPerformanceCounterAbsent(true);
  DetectPerformanceCounter();
  EXPECT_EQ(gSystemState.performanceCounterAvailable, 0);
  EXPECT_EQ(gSystemState.performanceCounterFrequency, 0);
  uint64_t last = GetNowMicroseconds(0);
  for (int i = 0; i < 5; ++i) {
    Sleep(3);
    uint64_t now = GetNowMicroseconds(1);  // the counter is not asked for before initialisation
    EXPECT_EQ(now % 1000, 0u);
    EXPECT_GE(now, last);
    last = now;
  }
}

TEST_F(SystemInfo, LocalDateTime) {
  int now[6];
  EXPECT_EQ(GetLocalDateTime(now), 0);
  SYSTEMTIME t;
  GetLocalTime(&t);
  EXPECT_EQ(now[0], t.wYear);
  EXPECT_TRUE(now[1] >= 1 && now[1] <= 12);
  EXPECT_TRUE(now[2] >= 1 && now[2] <= 31);
  EXPECT_TRUE(now[3] >= 0 && now[3] <= 23);
}

}  // namespace
