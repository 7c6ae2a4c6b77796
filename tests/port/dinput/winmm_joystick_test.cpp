// The multimedia joystick calls on SDL virtual joysticks.
#include <cstring>

#include <gtest/gtest.h>

#include "port/win32.h"
#include "tests/support/input_fixtures.h"

namespace {

class WinmmJoystick : public testing::Test {
 protected:
  void SetUp() override {
    if (!VirtualPads::OnlyOurs()) GTEST_SKIP() << "SDL reports joysticks of the machine";
  }
  VirtualPads pads_;
};

JOYINFOEX Position(UINT id, DWORD flags = JOY_RETURNALL, MMRESULT expected = JOYERR_NOERROR) {
  JOYINFOEX info;
  std::memset(&info, 0xEE, sizeof(info));
  info.dwSize = sizeof(info);
  info.dwFlags = flags;
  EXPECT_EQ(joyGetPosEx(id, &info), expected);
  return info;
}

TEST_F(WinmmJoystick, CapabilitiesDescribeEachIdAndEndAfterTheLast) {
  pads_.Attach("Small", 2, 10, 0, false);
  pads_.Attach(reinterpret_cast<const char*>(u8"大きいパッド"), 6, 40, 1, false);
  // The runtime finds these through the module table.
  HMODULE winmm = LoadLibraryA("winmm.dll");
  ASSERT_NE(winmm, nullptr);
  EXPECT_EQ(GetProcAddress(winmm, "joyGetPosEx"), reinterpret_cast<FARPROC>(&joyGetPosEx));
  EXPECT_EQ(GetProcAddress(winmm, "joyGetDevCapsA"), reinterpret_cast<FARPROC>(&joyGetDevCapsA));
  FreeLibrary(winmm);

  JOYCAPSA caps;
  ASSERT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps)), JOYERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "Small");
  EXPECT_EQ(caps.wNumAxes, 2u);
  EXPECT_EQ(caps.wNumButtons, 10u);
  EXPECT_EQ(caps.wCaps, 0u);
  EXPECT_EQ(caps.wXmin, 0u);
  EXPECT_EQ(caps.wXmax, 65535u);

  ASSERT_EQ(joyGetDevCapsA(1, &caps, sizeof(caps)), JOYERR_NOERROR);
  EXPECT_STREQ(caps.szPname, "\x91\xE5\x82\xAB\x82\xA2\x83\x70\x83\x62\x83\x68");  // CP932
  EXPECT_EQ(caps.wNumAxes, 6u);
  EXPECT_EQ(caps.wNumButtons, 32u);
  EXPECT_EQ(caps.wCaps, JOYCAPS_HASZ | JOYCAPS_HASR | JOYCAPS_HASU | JOYCAPS_HASV | JOYCAPS_HASPOV |
                            JOYCAPS_POVCTS);

  EXPECT_EQ(joyGetDevCapsA(2, &caps, sizeof(caps)), JOYERR_PARMS);
  EXPECT_EQ(joyGetDevCapsA(16, &caps, sizeof(caps)), JOYERR_PARMS);
  EXPECT_EQ(joyGetDevCapsA(0, &caps, sizeof(caps) - 1), JOYERR_PARMS);
}

TEST_F(WinmmJoystick, PositionsReadZeroTo65535WithButtonsAndPointOfView) {
  pads_.Attach("Pad", 4, 40, 1, false);
  struct Case {
    Sint16 sdl;
    DWORD raw;
  };
  const Case cases[] = {{-32768, 0}, {-24576, 8192}, {0, 32768}, {24576, 57344}, {32767, 65535}};
  for (const Case& c : cases) {
    pads_.SetAxis(0, 0, c.sdl);
    pads_.SetAxis(0, 3, static_cast<Sint16>(-1 - c.sdl));
    JOYINFOEX info = Position(0);
    EXPECT_EQ(info.dwXpos, c.raw) << c.sdl;
    EXPECT_EQ(info.dwRpos, 65535 - c.raw) << c.sdl;
    EXPECT_EQ(info.dwUpos, 32768u);  // absent axes rest in the middle
  }

  pads_.SetButton(0, 0, true);
  pads_.SetButton(0, 31, true);
  pads_.SetButton(0, 35, true);  // past the 32 the call reports
  pads_.SetHat(0, 0, SDL_HAT_LEFT);
  JOYINFOEX info = Position(0);
  EXPECT_EQ(info.dwButtons, 0x80000001u);
  EXPECT_EQ(info.dwButtonNumber, 2u);
  EXPECT_EQ(info.dwPOV, 27000u);
  pads_.SetHat(0, 0, SDL_HAT_CENTERED);
  EXPECT_EQ(Position(0).dwPOV, JOY_POVCENTERED);

  // Only what was asked for is written.
  JOYINFOEX some = Position(0, JOY_RETURNX);
  EXPECT_EQ(some.dwYpos, 0xEEEEEEEEu);
  EXPECT_EQ(some.dwButtons, 0xEEEEEEEEu);

  Position(1, JOY_RETURNALL, JOYERR_UNPLUGGED);
  Position(16, JOY_RETURNALL, JOYERR_PARMS);
  JOYINFOEX wrongSize = {};
  wrongSize.dwSize = sizeof(wrongSize) - 4;
  EXPECT_EQ(joyGetPosEx(0, &wrongSize), JOYERR_PARMS);
  pads_.Detach(0);
  Position(0, JOY_RETURNALL, JOYERR_UNPLUGGED);
}

}  // namespace
