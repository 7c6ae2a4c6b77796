// "dwmapi.dll" and "comctl32.dll": accepted calls with no effect on Linux.
#include "port/win32.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopLibraries, CompositionTakesOnAndOffOnlyAndIsExported) {
  PortResetDesktopComposition();
  EXPECT_EQ(DwmEnableComposition(DWM_EC_DISABLECOMPOSITION), S_OK);
  EXPECT_EQ(DwmEnableComposition(2), E_INVALIDARG);
  EXPECT_EQ(PortDesktopCompositionCallCount(), 1);
  EXPECT_EQ(PortDesktopCompositionLastAction(), 0);
  EXPECT_EQ(DwmEnableComposition(DWM_EC_ENABLECOMPOSITION), S_OK);
  EXPECT_EQ(PortDesktopCompositionLastAction(), 1);
  PortResetDesktopComposition();

  HMODULE dwm = LoadLibraryA("DWMAPI");
  HMODULE controls = LoadLibraryA("comctl32.dll");
  ASSERT_NE(dwm, nullptr);
  ASSERT_NE(controls, nullptr);
  EXPECT_EQ(GetProcAddress(dwm, "DwmEnableComposition"),
            reinterpret_cast<FARPROC>(&DwmEnableComposition));
  EXPECT_EQ(GetProcAddress(controls, "InitCommonControls"),
            reinterpret_cast<FARPROC>(&InitCommonControls));
  FreeLibrary(dwm);
  FreeLibrary(controls);
}

}  // namespace
