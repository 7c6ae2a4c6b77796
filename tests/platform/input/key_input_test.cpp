// Key states: injected key events read after a message pass (Windows 7 reads the platform's
// virtual keys), the table that turns virtual keys into key codes, and the DirectInput
// keyboard that systems before Vista read.
#include <climits>
#include <cstring>

#include "tests/platform/input/input_devices_fixture.h"

namespace {

using KeyInput = InputDevicesTest;

std::set<int> DirectInputKeysDown() {
  BYTE keys[256];
  EXPECT_EQ(InputState.keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
  std::set<int> down;
  for (int i = 0; i < 256; ++i)
    if (keys[i] & 0x80) down.insert(i);
  return down;
}

TEST_F(KeyInput, AnInjectedKeyReadsAfterAMessagePass) {
  ASSERT_EQ(InitInputDevices(), 0);
  Key(SDL_SCANCODE_Z, true);
  // Outside the pass this thread does not hold the call lock, so nothing is read yet.
  EXPECT_EQ(IsKeyDown(44), 0);
  Pass();
  EXPECT_EQ(IsKeyDown(44), 1);
  EXPECT_EQ(IsKeyDown(45), 0);
  EXPECT_EQ(KeysDown(), std::set<int>{44});
  // Codes outside 0..255 read released.
  for (int code : {-1, 256, 1000, INT_MAX, INT_MIN}) EXPECT_EQ(IsKeyDown(code), 0) << code;
  Key(SDL_SCANCODE_Z, false);
  Pass();
  EXPECT_EQ(IsKeyDown(44), 0);
  EXPECT_TRUE(KeysDown().empty());

  struct Case {
    SDL_Scancode scancode;
    std::set<int> codes;
  };
  const Case cases[] = {
      {SDL_SCANCODE_RETURN, {28, 156}},  // one virtual key for both Enter keys
      {SDL_SCANCODE_KP_ENTER, {28, 156}},
      {SDL_SCANCODE_F13, {}},  // not in the table: always released
      {SDL_SCANCODE_RSHIFT, {54}},
  };
  for (const Case& c : cases) {
    Key(c.scancode, true);
    Pass();
    EXPECT_EQ(KeysDown(), c.codes) << SDL_GetScancodeName(c.scancode);
    Key(c.scancode, false);
    Pass();
  }
  EXPECT_EQ(IsKeyDown(100), 0);

  // Only the holder of the call lock refreshes.
  Key(SDL_SCANCODE_X, true);
  AdvanceClock();
  EXPECT_EQ(RefreshKeyboardState(), 0);
  EXPECT_EQ(IsKeyDown(45), 0);
  EnterApiLock();
  EXPECT_EQ(RefreshKeyboardState(), 1);
  LeaveApiLock();
  EXPECT_EQ(IsKeyDown(45), 1);
  Key(SDL_SCANCODE_X, false);
}

TEST_F(KeyInput, EveryPairOfTheTableReadsTheKeyDirectInputReads) {
  int pairs = 0;
  while (VirtualKeyCodeTable[pairs].virtualKey != 0xFFFF) ++pairs;
  EXPECT_EQ(pairs, 99);

  ASSERT_EQ(InitInputDevices(), 0);
  ASSERT_NE(InputState.keyboard, nullptr);
  std::set<int> seen;
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
    const SDL_Scancode scancode = static_cast<SDL_Scancode>(sc);
    Key(scancode, true);
    Pass();
    const std::set<int> codes = KeysDown();
    const std::set<int> direct = DirectInputKeysDown();
    Key(scancode, false);
    Pass();
    if (codes.empty()) continue;  // no virtual key of the table
    const bool enter = direct == std::set<int>{28} || direct == std::set<int>{156};
    EXPECT_EQ(codes, (enter ? std::set<int>{28, 156} : direct)) << SDL_GetScancodeName(scancode);
    seen.insert(codes.begin(), codes.end());
  }
  for (int i = 0; i < pairs; ++i)
    EXPECT_TRUE(seen.count(VirtualKeyCodeTable[i].keyCode))
        << "no key gives " << VirtualKeyCodeTable[i].keyCode;
}

TEST_F(KeyInput, BeforeVistaTheDirectInputKeyboardIsRead) {
  gSystemState.systemCode = 0x107;
  ASSERT_EQ(InitInputDevices(), 0);
  // The keyboard's event lets a query read at once, without a pass or the call lock.
  Key(SDL_SCANCODE_Z, true);
  EXPECT_EQ(IsKeyDown(44), 1);
  EXPECT_EQ(WaitForSingleObject(InputState.keyboardEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  Key(SDL_SCANCODE_RSHIFT, true);
  Key(SDL_SCANCODE_UP, true);
  EXPECT_EQ(KeysDown(), (std::set<int>{44, 54, 200}));

  // A failed read acquires the keyboard and reads again; two leave the last states.
  PortSetDirectInputCallFails(PortDiCall::GetDeviceState, PortDiDevice::Keyboard, 0, 1);
  Key(SDL_SCANCODE_UP, false);
  EXPECT_EQ(IsKeyDown(200), 0);
  PortSetDirectInputCallFails(PortDiCall::GetDeviceState, PortDiDevice::Keyboard, 0, 2);
  Key(SDL_SCANCODE_Z, false);
  EXPECT_EQ(IsKeyDown(44), 1);
  EXPECT_EQ(IsKeyDown(44), 0);  // the event stays set until a read succeeds
  Key(SDL_SCANCODE_RSHIFT, false);
}

}  // namespace
