#include "port/win32.h"

#include <gtest/gtest.h>

namespace {

class ModuleTable : public testing::Test {
 protected:
  void TearDown() override { PortResetModuleSwitches(); }
};

TEST_F(ModuleTable, NamesResolveWithoutCaseAndWithImpliedExtension) {
  for (const char* name :
       {"kernel32.dll", "KERNEL32.DLL", "Kernel32", "C:\\Windows\\kernel32.dll"}) {
    HMODULE m = LoadLibraryA(name);
    ASSERT_NE(m, nullptr) << name;
    EXPECT_EQ(m, GetModuleHandleA("kernel32.dll"));
    EXPECT_TRUE(FreeLibrary(m));
  }
  EXPECT_EQ(PortModuleLoadCount("kernel32.dll"), 0);
}

TEST_F(ModuleTable, UnknownModuleIsNotFound) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA(""), nullptr);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), nullptr);  // not loaded
}

TEST_F(ModuleTable, FunctionsResolveToTheRealEntryPoints) {
  HMODULE m = LoadLibraryA("kernel32.dll");
  ASSERT_NE(m, nullptr);
  auto setLastError = reinterpret_cast<void (*)(DWORD)>(GetProcAddress(m, "SetLastError"));
  ASSERT_NE(setLastError, nullptr);
  setLastError(1234);
  EXPECT_EQ(GetLastError(), 1234u);
  // Export names are case-sensitive.
  EXPECT_EQ(GetProcAddress(m, "setlasterror"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(m, "NoSuchFunction"), nullptr);
  FreeLibrary(m);
}

TEST_F(ModuleTable, SwitchesMakeModulesAndFunctionsAbsent) {
  PortSetModuleAbsent("KERNEL32", true);
  EXPECT_EQ(LoadLibraryA("kernel32.dll"), nullptr);
  PortSetModuleAbsent("kernel32.dll", false);

  PortSetExportAbsent("kernel32.dll", "GetLastError", true);
  HMODULE m = LoadLibraryA("kernel32.dll");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GetProcAddress(m, "GetLastError"), nullptr);
  EXPECT_NE(GetProcAddress(m, "SetLastError"), nullptr);
  PortResetModuleSwitches();
  EXPECT_NE(GetProcAddress(m, "GetLastError"), nullptr);
  FreeLibrary(m);
}

TEST_F(ModuleTable, FreeingMoreThanLoadedFails) {
  HMODULE m = LoadLibraryA("kernel32.dll");
  HMODULE again = LoadLibraryA("kernel32.dll");
  EXPECT_EQ(m, again);
  EXPECT_EQ(PortModuleLoadCount("kernel32.dll"), 2);
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_TRUE(FreeLibrary(m));
  EXPECT_FALSE(FreeLibrary(m));
  EXPECT_FALSE(FreeLibrary(nullptr));
}

TEST_F(ModuleTable, ProgramModuleIsAlwaysThere) { EXPECT_NE(GetModuleHandleA(nullptr), nullptr); }

}  // namespace
