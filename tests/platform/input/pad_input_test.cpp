// Pad masks on both paths, the multimedia positions on the -1000..1000 scale, keys folded into
// pad masks, and vibration driving the effects.
#include <climits>
#include <vector>

#include "tests/platform/input/input_devices_fixture.h"

namespace {

// Runs each test on DirectInput (false) and on the Win32 fall-backs (true).
class PadPaths : public InputDevicesTest, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    InputDevicesTest::SetUp();
    if (IsSkipped()) return;
    if (GetParam()) PortSetDirectInputAbsent(true);
  }
  int Mask(int type) {
    AdvanceClock();
    return GetPadInputMask(type);
  }
};

TEST_P(PadPaths, BothPathsGiveTheSameMasks) {
  pads_.Attach("Pad", 2, 32, 0, false);
  pads_.Attach("Second", 2, 4, 0, false);
  ASSERT_EQ(InitInputDevices(), 0);
  ASSERT_EQ(InputState.directInput == kWin32InputObject, GetParam());

  struct Case {
    Sint16 x, y;
    std::vector<int> buttons;
    int mask;
  };
  const Case cases[] = {
      {-32768, 0, {0}, 0x12},  // full left with button 0
      {32767, 0, {}, 0x4},
      {0, -32768, {}, 0x8},
      {0, 32767, {}, 0x1},
      {-32768, -32768, {}, 0xA},
      {-8192, 8192, {}, 0},  // a quarter of the way reads centred
      {24576, -24576, {}, 0xC},
      {0, 0, {0, 23, 24, 31}, (1 << 4) | (1 << 27)},  // buttons 24 and up have no bit
  };
  for (const Case& c : cases) {
    pads_.SetAxis(0, 0, c.x);
    pads_.SetAxis(0, 1, c.y);
    for (int b = 0; b < 32; ++b) pads_.SetButton(0, b, false);
    for (int b : c.buttons) pads_.SetButton(0, b, true);
    EXPECT_EQ(Mask(1), c.mask) << c.x << "," << c.y;
    EXPECT_EQ(Mask(2), 0);
  }
  // Pads that are not there, and no pad.
  pads_.SetAxis(0, 0, -32768);
  for (int type : {0, 5, 17, -2, INT_MIN}) EXPECT_EQ(Mask(type), 0) << type;
}

TEST_P(PadPaths, SmallDeflectionsSetNoDirection) {
  pads_.Attach("Pad", 2, 4, 0, false);
  ASSERT_EQ(InitInputDevices(), 0);
  // DirectInput's dead zone is 35% of the way; the plain calls read the middle half as centred.
  const Sint16 inside = GetParam() ? 16384 : 11468;
  for (Sint16 v : {inside, static_cast<Sint16>(-inside)}) {
    pads_.SetAxis(0, 0, v);
    pads_.SetAxis(0, 1, v);
    EXPECT_EQ(Mask(1), 0) << v;
  }
  // Just past it, the direction shows.
  const Sint16 past = GetParam() ? 16384 + 300 : 11800;
  pads_.SetAxis(0, 0, past);
  pads_.SetAxis(0, 1, static_cast<Sint16>(-past));
  EXPECT_EQ(Mask(1), 0xC);
}

INSTANTIATE_TEST_SUITE_P(Input, PadPaths, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& p) {
                           return p.param ? std::string("Win32") : std::string("DirectInput");
                         });

using PadInput = InputDevicesTest;

TEST_F(PadInput, MultimediaPositionsConvertToTheAxisScale) {
  PortSetDirectInputAbsent(true);
  pads_.Attach("Four axes", 4, 4, 0, false);
  pads_.Attach("Three axes", 3, 4, 0, false);  // a Z but no R: neither is read
  ASSERT_EQ(InitInputDevices(), 0);
  struct Case {
    int raw;
    LONG value;
  };
  const Case cases[] = {{0, -1000}, {8192, -500}, {16383, 0},   {16384, 0},  {32768, 0},
                        {40000, 0}, {49152, 0},   {57344, 500}, {65535, 999}};  // 999: truncated
  for (const Case& c : cases) {
    for (int pad = 0; pad < 2; ++pad)
      for (int axis = 0; axis < 4; ++axis)
        pads_.SetAxis(pad, axis, static_cast<Sint16>(c.raw - 32768));
    AdvanceClock();
    ASSERT_EQ(RefreshJoypadState(0), 0);
    ASSERT_EQ(RefreshJoypadState(1), 0);
    const DIJOYSTATE& four = InputState.joypads[0].state;
    EXPECT_EQ(four.lX, c.value) << c.raw;
    EXPECT_EQ(four.lY, c.value) << c.raw;
    EXPECT_EQ(four.lZ, c.value) << c.raw;
    EXPECT_EQ(four.lRz, c.value) << c.raw;
    EXPECT_EQ(four.lRx, 0) << c.raw;
    EXPECT_EQ(InputState.joypads[1].state.lX, c.value) << c.raw;
    EXPECT_EQ(InputState.joypads[1].state.lZ, 0) << c.raw;
  }

  // An id without a joystick reads all zero; indexes outside 0..15 are refused.
  InputState.joypads[5].state.lX = 123;
  InputState.joypads[5].state.rgbButtons[0] = 0x80;
  EXPECT_EQ(RefreshJoypadState(5), 0);
  EXPECT_EQ(InputState.joypads[5].state.lX, 0);
  EXPECT_EQ(InputState.joypads[5].state.rgbButtons[0], 0);
  EXPECT_EQ(RefreshJoypadState(16), -1);
  EXPECT_EQ(RefreshJoypadState(-1), -1);
}

TEST_F(PadInput, MappedKeysFoldIntoThePadMask) {
  pads_.Attach("Pad", 2, 4, 0, false);
  ASSERT_EQ(InitInputDevices(), 0);
  struct Case {
    std::vector<SDL_Scancode> keys;
    bool stickLeft;
    int type;
    int mask;
  };
  const Case cases[] = {
      {{SDL_SCANCODE_DOWN}, false, 0x1000, 0x1},  // no pad: pad 1's keys
      {{SDL_SCANCODE_KP_2}, false, 0x1000, 0x1},
      {{SDL_SCANCODE_LEFT, SDL_SCANCODE_Z}, false, 0x1001, 0x12},
      {{SDL_SCANCODE_Z}, true, 0x1001, 0x12},
      {{SDL_SCANCODE_ESCAPE, SDL_SCANCODE_SPACE}, false, 0x1001, (1 << 12) | (1 << 13)},
      {{SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D,
        SDL_SCANCODE_Q, SDL_SCANCODE_W},
       false,
       0x1001,
       0xFE0},
      {{SDL_SCANCODE_UP, SDL_SCANCODE_RIGHT}, false, 0x1001, 0xC},
      {{SDL_SCANCODE_DOWN}, false, 0x0001, 0},  // without 0x1000 keys do not count
      {{SDL_SCANCODE_DOWN}, false, 0x1005, 0},  // pad 5 has no keys by default
      // Pads 17 and up have none. (Esc has code 1, the value of what lies past the table.)
      {{SDL_SCANCODE_DOWN, SDL_SCANCODE_Z, SDL_SCANCODE_ESCAPE}, false, 0x1011, 0},
      {{SDL_SCANCODE_DOWN}, false, 0x1FFF, 0},
      {{SDL_SCANCODE_DOWN}, false, INT_MAX, 0},
  };
  for (const Case& c : cases) {
    for (SDL_Scancode k : c.keys) Key(k, true);
    pads_.SetAxis(0, 0, c.stickLeft ? -32768 : 0);
    Pass();
    EXPECT_EQ(GetPadInputMask(c.type), c.mask) << std::hex << c.type << " " << c.mask;
    for (SDL_Scancode k : c.keys) Key(k, false);
  }

  // A mapping of the program's: a key for pad 5, and stored codes that name no key.
  InputState.PadKeyMapping[4][5][2] = 45;
  InputState.PadKeyMapping[0][20][3] = 300;
  InputState.PadKeyMapping[0][21][2] = -7;
  Key(SDL_SCANCODE_X, true);
  Pass();
  EXPECT_EQ(GetPadInputMask(0x1005), 0x20);
  EXPECT_EQ(GetPadInputMask(0x1001), 0x20);
  Key(SDL_SCANCODE_X, false);
}

TEST_F(PadInput, VibrationDrivesTheEffectsWhileTheWindowIsActive) {
  pads_.Attach("Rumble", 2, 4, 0, true);
  ASSERT_EQ(InitInputDevices(), 0);
  JoypadRecord& pad = InputState.joypads[0];
  for (int i = 0; i < 3; ++i) Pass();
  EXPECT_EQ(pads_.LastRumble(0).calls, 0);  // nothing vibrates unless asked to

  // Half power for 10 s, aged by the per-frame service.
  pad.vibrationOn = 1;
  pad.vibrationPower = 5000;
  pad.vibrationDuration = 10000;
  pad.vibrationElapsed = 0;
  pad.vibrationClock = GetNowMilliseconds();
  Pass();
  EXPECT_EQ(pads_.LastRumble(0).low, 0x7FFF);
  EXPECT_EQ(pad.periodicEffectPlaying, 1);
  EXPECT_EQ(pad.constantEffectPlaying, 1);
  AdvanceClock(15000);
  Pass();
  EXPECT_EQ(pad.vibrationOn, 0);
  EXPECT_EQ(pad.vibrationPower, 10000);
  EXPECT_EQ(pads_.LastRumble(0).low, 0);
  EXPECT_EQ(pad.periodicEffectPlaying, 0);

  // Unlimited: stopped while the window is inactive, started again on activation.
  pad.vibrationOn = 1;
  pad.vibrationDuration = -1;
  pad.vibrationClock = GetNowMilliseconds();
  Pass();
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);
  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(pads_.LastRumble(0).low, 0);
  EXPECT_EQ(pad.constantEffectPlaying, 0);
  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);
  AdvanceClock(60000);
  Pass();
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);

  EXPECT_EQ(StopJoypadVibration(0), 0);  // no such pad
  EXPECT_EQ(StopJoypadVibration(17), 0);
  EXPECT_EQ(pad.vibrationOn, 1);
  EXPECT_EQ(StopJoypadVibration(1), 0);
  EXPECT_EQ(pad.vibrationOn, 0);
  Pass();
  EXPECT_EQ(pads_.LastRumble(0).low, 0);
}

}  // namespace
