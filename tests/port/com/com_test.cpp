#include "port/win32.h"

#include <gtest/gtest.h>

namespace {

const CLSID kUnknownClass = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
const IID kSomeInterface = {0x87654321, 0x4321, 0x8765, {8, 7, 6, 5, 4, 3, 2, 1}};

class Com : public testing::Test {
 protected:
  void TearDown() override { PortResetComSwitches(); }
};

TEST_F(Com, InitialiseCountsNestedCallsAndCanBeMadeToFail) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(PortComInitCount(), 2);
  CoUninitialize();
  CoUninitialize();
  EXPECT_EQ(PortComInitCount(), 0);

  PortSetCoInitializeFails(true);
  EXPECT_TRUE(FAILED(CoInitialize(nullptr)));
  EXPECT_EQ(PortComInitCount(), 0);
}

TEST_F(Com, UnregisteredClassesAndBadArgumentsAreRefused) {
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_ALL, kSomeInterface, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(kUnknownClass, nullptr, CLSCTX_ALL, kSomeInterface, nullptr),
            E_POINTER);
}

TEST_F(Com, TaskMemoryAndModuleExports) {
  void* p = CoTaskMemAlloc(0);
  EXPECT_NE(p, nullptr);
  CoTaskMemFree(p);
  HMODULE ole = LoadLibraryA("OLE32");
  ASSERT_NE(ole, nullptr);
  EXPECT_EQ(GetProcAddress(ole, "CoInitialize"), reinterpret_cast<FARPROC>(&CoInitialize));
  FreeLibrary(ole);
}

}  // namespace
