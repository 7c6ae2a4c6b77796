// The run-time library table: what start-up loads, what it finds in each library, and freeing.
#include "runtime/platform/startup/runtime_libraries.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char* const kStartupLibraries[] = {"ws2_32.dll", "Imm32.dll", "winmm.dll", "ole32.dll",
                                         "comctl32.dll"};
const char* const kDisplayLibraries[] = {"dwmapi.dll", "User32.dll"};

template <typename Function>
FARPROC Any(Function f) {
  return reinterpret_cast<FARPROC>(f);
}

// Every entry of the table that the port provides, so that a misspelt name shows as null.
std::vector<FARPROC> ProvidedEntries() {
  const RuntimeLibraryTable& t = RuntimeLibraries;
  return {Any(t.ws2_32.WSAGetLastError),
          Any(t.ws2_32.WSAStartup),
          Any(t.ws2_32.WSACleanup),
          Any(t.ws2_32.WSAAsyncSelect),
          Any(t.ws2_32.gethostbyaddr),
          Any(t.ws2_32.gethostbyname),
          Any(t.ws2_32.gethostname),
          Any(t.ws2_32.ntohs),
          Any(t.ws2_32.htons),
          Any(t.ws2_32.connect),
          Any(t.ws2_32.socket),
          Any(t.ws2_32.send),
          Any(t.ws2_32.sendto),
          Any(t.ws2_32.recvfrom),
          Any(t.ws2_32.accept),
          Any(t.ws2_32.closesocket),
          Any(t.ws2_32.shutdown),
          Any(t.ws2_32.listen),
          Any(t.ws2_32.bind),
          Any(t.ws2_32.inet_addr),
          Any(t.ws2_32.recv),
          Any(t.imm32.ImmGetContext),
          Any(t.imm32.ImmReleaseContext),
          Any(t.imm32.ImmGetOpenStatus),
          Any(t.imm32.ImmGetConversionStatus),
          Any(t.imm32.ImmNotifyIME),
          Any(t.imm32.ImmSetOpenStatus),
          Any(t.imm32.ImmGetCandidateListA),
          Any(t.imm32.ImmGetCompositionStringA),
          Any(t.imm32.ImmSetCompositionStringA),
          Any(t.winmm.timeBeginPeriod),
          Any(t.winmm.timeEndPeriod),
          Any(t.winmm.timeGetTime),
          Any(t.winmm.timeGetDevCaps),
          Any(t.ole32.CoCreateInstance),
          Any(t.ole32.CoTaskMemAlloc),
          Any(t.ole32.CoTaskMemFree),
          Any(t.ole32.CoInitialize),
          Any(t.ole32.CoFreeUnusedLibraries),
          Any(t.ole32.CoUninitialize),
          Any(t.comctl32.InitCommonControls),
          Any(t.dwmapi.DwmEnableComposition),
          Any(t.user32.WINNLSEnableIME)};
}

TEST(RuntimeLibraryTable, LoadsEachLibraryOnceFindsItsFunctionsAndFreesThemAll) {
  LoadStartupLibraries();
  LoadStartupLibraries();  // a library is loaded only while its handle is null
  for (const char* name : kStartupLibraries) EXPECT_EQ(PortModuleLoadCount(name), 1) << name;
  for (const char* name : kDisplayLibraries) EXPECT_EQ(PortModuleLoadCount(name), 0) << name;
  LoadDisplayLibraries();
  for (const char* name : kDisplayLibraries) EXPECT_EQ(PortModuleLoadCount(name), 1) << name;

  const std::vector<FARPROC> entries = ProvidedEntries();
  for (size_t i = 0; i < entries.size(); ++i) EXPECT_NE(entries[i], nullptr) << "entry " << i;
  EXPECT_EQ(RuntimeLibraries.winmm.timeGetTime, &timeGetTime);
  EXPECT_EQ(RuntimeLibraries.ws2_32.recv, &recv);
  EXPECT_EQ(RuntimeLibraries.user32.WINNLSEnableIME, &WINNLSEnableIME);

  FreeRuntimeLibraries();
  for (const char* name : kStartupLibraries) EXPECT_EQ(PortModuleLoadCount(name), 0) << name;
  for (const char* name : kDisplayLibraries) EXPECT_EQ(PortModuleLoadCount(name), 0) << name;
  for (FARPROC entry : ProvidedEntries()) EXPECT_EQ(entry, nullptr);
  EXPECT_EQ(RuntimeLibraries.winmm.module, nullptr);
}

TEST(RuntimeLibraryTable, WhatCannotBeHadStaysNullAndTheRestLoads) {
  PortSetModuleAbsent("Imm32.dll", true);
  PortSetExportAbsent("ws2_32.dll", "recv", true);
  LoadStartupLibraries();
  EXPECT_EQ(RuntimeLibraries.imm32.module, nullptr);
  EXPECT_EQ(RuntimeLibraries.imm32.ImmGetContext, nullptr);
  EXPECT_EQ(RuntimeLibraries.ws2_32.recv, nullptr);
  EXPECT_NE(RuntimeLibraries.ws2_32.send, nullptr);
  EXPECT_NE(RuntimeLibraries.winmm.timeGetTime, nullptr);
  PortResetModuleSwitches();
  // Once the library can be had, the next start loads it; the others are not loaded twice.
  LoadStartupLibraries();
  EXPECT_NE(RuntimeLibraries.imm32.ImmGetContext, nullptr);
  EXPECT_EQ(PortModuleLoadCount("winmm.dll"), 1);
  FreeRuntimeLibraries();
}

}  // namespace
