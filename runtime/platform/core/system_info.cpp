#include "runtime/platform/core/system_info.h"

#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

#include "port/win32.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/startup/system_state.h"

SystemState gSystemState = {};

namespace {

constexpr uint32_t kFeatureTimeStampCounter = 1u << 4;
constexpr uint32_t kFeatureMmx = 1u << 23;
constexpr uint32_t kFeatureSse = 1u << 25;
constexpr uint32_t kFeatureSse2 = 1u << 26;

bool gUseTestIdentity = false;
ProcessorIdentity gTestIdentity;

#if defined(__x86_64__)
bool CanToggleIdentificationFlag() {
  const unsigned long long idBit = 1ull << 21;
  unsigned long long original = __builtin_ia32_readeflags_u64();
  __builtin_ia32_writeeflags_u64(original ^ idBit);
  unsigned long long toggled = __builtin_ia32_readeflags_u64();
  __builtin_ia32_writeeflags_u64(original);
  return ((original ^ toggled) & idBit) != 0;
}
#endif

uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return 0;
#endif
}

// A reading of the time-stamp counter with the performance counter around it; false when the
// two performance readings lie more than 20 microseconds apart (the thread was interrupted).
bool ReadCounterPair(int64_t frequency, uint64_t* tsc, int64_t* performance) {
  LARGE_INTEGER before, after;
  QueryPerformanceCounter(&before);
  *tsc = ReadTimeStampCounter();
  QueryPerformanceCounter(&after);
  *performance = before.QuadPart + (after.QuadPart - before.QuadPart) / 2;
  return (after.QuadPart - before.QuadPart) * 50000 <= frequency;
}

// Time-stamp ticks per second, measured over 100 ms of the millisecond clock. With a
// performance counter the span is measured on it, so a thread switch during the wait does not
// bend the result; without one the wait starts on a tick edge of the millisecond clock.
uint64_t MeasureTimeStampTicksPerSecond() {
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    uint64_t tsc0 = 0, tsc1 = 0;
    int64_t perf0 = 0, perf1 = 0;
    for (int i = 0; i < 100 && !ReadCounterPair(frequency.QuadPart, &tsc0, &perf0); ++i) {}
    const DWORD start = timeGetTime();
    while (timeGetTime() - start < 100) {}
    for (int i = 0; i < 100 && !ReadCounterPair(frequency.QuadPart, &tsc1, &perf1); ++i) {}
    if (perf1 <= perf0) return 0;
    const double seconds =
        static_cast<double>(perf1 - perf0) / static_cast<double>(frequency.QuadPart);
    return static_cast<uint64_t>(static_cast<double>(tsc1 - tsc0) / seconds);
  }
  DWORD start = timeGetTime();
  while (timeGetTime() == start) {}
  start = timeGetTime();
  const uint64_t first = ReadTimeStampCounter();
  while (timeGetTime() - start < 100) {}
  return (ReadTimeStampCounter() - first) * 10;
}

}  // namespace

void DescribeWindowsVersion(const OSVERSIONINFOA& v, char (&name)[32], int* systemCode) {
  const char* release = "";
  int code = *systemCode;
  switch (v.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
      release = "3.1";
      code = 0;
      break;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (v.dwMinorVersion == 0) {
        release = v.szCSDVersion[0] == 'C' ? "95OSR2" : "95";
        code = 1;
      } else if (v.dwMinorVersion == 10) {
        release = v.szCSDVersion[0] == 'A' ? "98SE" : "98";
        code = 2;
      } else if (v.dwMinorVersion == 90) {
        release = "Me";
        code = 3;
      }
      break;
    case VER_PLATFORM_WIN32_NT:
      if (v.dwMajorVersion == 3) {
        release = "NT 3.51";
        code = 0x104;
      } else if (v.dwMajorVersion == 4) {
        release = "4.0";
        code = 0x105;
      } else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 0) {
        release = "2000";
        code = 0x106;
      } else if (v.dwMajorVersion == 5 && v.dwMinorVersion == 1) {
        release = "XP";
        code = 0x107;
      } else if (v.dwMajorVersion == 6 && v.dwMinorVersion == 0) {
        release = "Vista";
        code = 0x108;
      } else if (v.dwMajorVersion == 6 && v.dwMinorVersion == 1) {
        release = "7";
        code = 0x109;
      }
      break;
    default:
      break;
  }
  std::snprintf(name, sizeof(name), "Windows%s", release);
  *systemCode = code;
}

int ProcessorFeatureLevel(const ProcessorIdentity& identity) {
  if (!identity.hasIdentification) return 0;
  const uint32_t f = identity.featureBits;
  if (!(f & kFeatureMmx)) return 1;
  if (!(f & kFeatureSse)) return 3;
  if (!(f & kFeatureSse2)) return 4;
  return 5;
}

void ReadProcessorIdentity(ProcessorIdentity* identity) {
  std::memset(identity, 0, sizeof(*identity));
#if defined(__x86_64__)
  if (!CanToggleIdentificationFlag()) return;
  identity->hasIdentification = 1;
  unsigned a, b, c, d;
  __cpuid(0, a, b, c, d);
  const unsigned maxLeaf = a;
  std::memcpy(identity->vendor, &b, 4);
  std::memcpy(identity->vendor + 4, &d, 4);
  std::memcpy(identity->vendor + 8, &c, 4);
  if (maxLeaf >= 1) {
    __cpuid(1, a, b, c, d);
    identity->featureBits = d;
  }
  __cpuid(0x80000000u, a, b, c, d);
  if (a >= 0x80000004u) {
    identity->hasName = 1;
    for (unsigned i = 0; i < 3; ++i) {
      unsigned regs[4];
      __cpuid(0x80000002u + i, regs[0], regs[1], regs[2], regs[3]);
      std::memcpy(identity->name + 16 * i, regs, 16);
    }
  }
#endif
}

void SetProcessorIdentityForTest(const ProcessorIdentity* identity) {
  gUseTestIdentity = identity != nullptr;
  if (identity) gTestIdentity = *identity;
}

void DetectPerformanceCounter() {
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency)) frequency.QuadPart = 0;
  gSystemState.performanceCounterFrequency = frequency.QuadPart;
  gSystemState.performanceCounterAvailable = frequency.QuadPart != 0 ? 1 : 0;
}

void LogSystemInformation() {
  WriteLogText("システムの情報を出力します\n");
  LogIndentIn();
  LogPrintf("ＴＡＲＮＵ Ver%s", "3.05");

  SYSTEM_INFO info;
  GetSystemInfo(&info);
  gSystemState.logicalProcessorCount = static_cast<int>(info.dwNumberOfProcessors);
  LogPrintf("論理プロセッサの数 : %d", gSystemState.logicalProcessorCount);

  WriteLogText("ＯＳ  ");
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  char name[32];
  DescribeWindowsVersion(version, name, &gSystemState.systemCode);
  std::snprintf(gSystemState.systemDescription, sizeof(gSystemState.systemDescription),
                "%s ( Build %d %s )", name, static_cast<int>(version.dwBuildNumber),
                version.szCSDVersion);
  LogPrintf("%s", gSystemState.systemDescription);

  TIMECAPS caps;
  if (timeGetDevCaps(&caps, sizeof(caps)) == MMSYSERR_NOERROR) timeBeginPeriod(caps.wPeriodMin);

  ProcessorIdentity identity;
  if (gUseTestIdentity)
    identity = gTestIdentity;
  else
    ReadProcessorIdentity(&identity);
  const int level = ProcessorFeatureLevel(identity);

  gSystemState.timeStampCounterAvailable = 0;
  if (identity.hasIdentification && (identity.featureBits & kFeatureTimeStampCounter)) {
    const uint64_t ticksPerSecond = MeasureTimeStampTicksPerSecond();
    // A counter that did not move (none on this processor) is no clock to divide by.
    if (ticksPerSecond != 0) {
      gSystemState.timeStampCounterAvailable = 1;
      gSystemState.timeStampTicksPerSecond = static_cast<int64_t>(ticksPerSecond);
      gSystemState.processorMhz = static_cast<int>(ticksPerSecond / 1000000);
      LogPrintf("ＣＰＵ動作速度：大体%.2fGHz", gSystemState.processorMhz / 1000.0);
    }
  }

  gSystemState.mmxFlag = gSystemState.sseFlag = gSystemState.sse2Flag = 0;
  switch (level) {
    case 0:
      WriteLogText("ＣＰＵＩＤ命令は使えません\n");
      break;
    case 1:
      WriteLogText("ＭＭＸは使えません\n");
      break;
    default:
      WriteLogText("ＭＭＸ命令を使用します\n");
      gSystemState.mmxFlag = 1;
      if (level >= 4) {
        WriteLogText("ＳＳＥ命令が使用可能です\n");
        gSystemState.sseFlag = 1;
      }
      if (level >= 5) {
        WriteLogText("ＳＳＥ２命令が使用可能です\n");
        gSystemState.sse2Flag = 1;
      }
      break;
  }

  if (level >= 1) {
    LogPrintf("ＣＰＵベンダ：%.4s%.4s%.4s", identity.vendor, identity.vendor + 4,
              identity.vendor + 8);
    if (identity.hasName) {
      identity.name[48] = '\0';
      LogPrintf("ＣＰＵ名：%s", identity.name);
      CopyTextBounded(gSystemState.processorName, sizeof(gSystemState.processorName),
                      identity.name);
    }
  }
  LogIndentOut();
}
