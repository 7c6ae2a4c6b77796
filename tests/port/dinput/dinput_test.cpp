// DirectInput of the port: objects and versions, the device list, the device protocol with its
// focus rules, keyboard and joystick states, notification events and rumble effects.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/port/user/window_recorder.h"
#include "tests/support/input_fixtures.h"

namespace {

class DirectInputTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (!VirtualPads::OnlyOurs()) GTEST_SKIP() << "SDL reports joysticks of the machine";
    ReleaseHeldKeys();
    window_ = Make();
    ShowWindow(window_, SW_SHOW);
    Drain();
    ASSERT_EQ(GetForegroundWindow(), window_);
  }

  void TearDown() override {
    for (IUnknown* object : objects_) object->Release();
    PortResetDirectInputSwitches();
    ResetClock();
    WindowTest::TearDown();
  }

  template <class T>
  T* Keep(T* object) {
    objects_.push_back(object);
    return object;
  }

  IDirectInput8A* Open8() {
    IDirectInput8A* di = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDirectInput8A, reinterpret_cast<void**>(&di)),
              S_OK);
    if (!di) return nullptr;
    EXPECT_EQ(di->Initialize(GetModuleHandleA(nullptr), 0x800), DI_OK);
    return Keep(di);
  }

  // A device with its standard format and a cooperative level, not yet acquired.
  IDirectInputDevice8A* Device(IDirectInput8A* di, REFGUID guid, LPCDIDATAFORMAT format,
                               DWORD level) {
    IDirectInputDevice8A* device = nullptr;
    EXPECT_EQ(di->CreateDevice(guid, &device, nullptr), DI_OK);
    if (!device) return nullptr;
    Keep(device);
    EXPECT_EQ(device->SetDataFormat(format), DI_OK);
    EXPECT_EQ(device->SetCooperativeLevel(window_, level), DI_OK);
    return device;
  }

  // The game controllers in the list, in order.
  static std::vector<DIDEVICEINSTANCEA> Controllers(IDirectInput8A* di, DWORD flags) {
    std::vector<DIDEVICEINSTANCEA> found;
    di->EnumDevices(
        DI8DEVCLASS_GAMECTRL,
        [](LPCDIDEVICEINSTANCEA i, LPVOID list) -> BOOL {
          static_cast<std::vector<DIDEVICEINSTANCEA>*>(list)->push_back(*i);
          return DIENUM_CONTINUE;
        },
        &found, flags);
    return found;
  }

  IDirectInputDevice8A* Joystick(IDirectInput8A* di, int index, DWORD level) {
    std::vector<DIDEVICEINSTANCEA> list = Controllers(di, DIEDFL_ATTACHEDONLY);
    if (index >= static_cast<int>(list.size())) return nullptr;
    return Device(di, list[index].guidInstance, &c_dfDIJoystick, level);
  }

  static void SetRange(IDirectInputDevice8A* d, DWORD how, DWORD obj, LONG min, LONG max,
                       HRESULT expected = DI_OK) {
    DIPROPRANGE r = {{sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), obj, how}, min, max};
    EXPECT_EQ(d->SetProperty(DIPROP_RANGE, &r.diph), expected);
  }

  static void SetDword(IDirectInputDevice8A* d, DIPROPID p, DWORD how, DWORD obj, DWORD value,
                       HRESULT expected = DI_OK) {
    DIPROPDWORD v = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), obj, how}, value};
    EXPECT_EQ(d->SetProperty(p, &v.diph), expected);
  }

  static DIJOYSTATE Read(IDirectInputDevice8A* d) {
    DIJOYSTATE s;
    std::memset(&s, 0xCD, sizeof(s));
    EXPECT_EQ(d->Poll(), DI_OK);
    EXPECT_EQ(d->GetDeviceState(sizeof(s), &s), DI_OK);
    return s;
  }

  static std::set<int> PressedKeys(IDirectInputDevice8A* keyboard) {
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
    std::set<int> down;
    for (int i = 0; i < 256; ++i)
      if (keys[i]) down.insert(i);
    return down;
  }

  HWND window_ = nullptr;
  VirtualPads pads_;
  std::vector<IUnknown*> objects_;
};

TEST_F(DirectInputTest, ObjectsAnswerOnlyAfterInitialisingWithTheirVersion) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  IDirectInput7A* di7 = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A,
                             reinterpret_cast<void**>(&di7)),
            S_OK);
  Keep(di7);
  void* device = nullptr;
  EXPECT_EQ(di7->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A, &device, nullptr),
            DIERR_NOTINITIALIZED);
  EXPECT_EQ(di7->Initialize(nullptr, 0x700), DIERR_INVALIDPARAM);
  EXPECT_EQ(di7->Initialize(self, 0x800), DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(di7->Initialize(self, 0x200), DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(di7->Initialize(self, 0x700), DI_OK);
  EXPECT_EQ(di7->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice8A, &device, nullptr),
            DIERR_NOINTERFACE);
  EXPECT_EQ(di7->CreateDeviceEx(GUID_Sine, IID_IDirectInputDevice7A, &device, nullptr),
            DIERR_DEVICENOTREG);
  ASSERT_EQ(di7->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A, &device, nullptr),
            DI_OK);
  Keep(static_cast<IDirectInputDevice7A*>(device));

  IDirectInput8A* di8 = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A,
                             reinterpret_cast<void**>(&di8)),
            E_NOINTERFACE);
  ASSERT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A,
                             reinterpret_cast<void**>(&di8)),
            S_OK);
  Keep(di8);
  EXPECT_EQ(di8->Initialize(self, 0x700), DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(di8->Initialize(self, 0x800), DI_OK);

  // The switch takes both classes away, and gives them back.
  PortSetDirectInputAbsent(true);
  void* none = nullptr;
  EXPECT_EQ(
      CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, &none),
      REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A,
                             &none),
            REGDB_E_CLASSNOTREG);
  PortSetDirectInputAbsent(false);
  ASSERT_EQ(
      CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A, &none),
      S_OK);
  static_cast<IUnknown*>(none)->Release();
}

TEST_F(DirectInputTest, ListsTheJoysticksByClassAndMakesDevicesOfThem) {
  pads_.Attach("Pad One", 2, 4, 0, false);
  pads_.Attach(reinterpret_cast<const char*>(u8"パッド二"), 2, 4, 0, true);
  IDirectInput8A* di = Open8();

  std::vector<DIDEVICEINSTANCEA> all = Controllers(di, DIEDFL_ATTACHEDONLY);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_STREQ(all[0].tszInstanceName, "Pad One");
  EXPECT_STREQ(all[0].tszProductName, "Pad One");
  EXPECT_STREQ(all[1].tszInstanceName, "\x83\x70\x83\x62\x83\x68\x93\xF1");  // CP932
  EXPECT_NE(all[0].guidInstance, all[1].guidInstance);

  std::vector<DIDEVICEINSTANCEA> feedback = Controllers(di, DIEDFL_FORCEFEEDBACK);
  ASSERT_EQ(feedback.size(), 1u);
  EXPECT_EQ(feedback[0].guidInstance, all[1].guidInstance);

  int keyboards = 0, calls = 0;
  di->EnumDevices(
      DI8DEVCLASS_KEYBOARD,
      [](LPCDIDEVICEINSTANCEA i, LPVOID n) -> BOOL {
        *static_cast<int*>(n) += i->guidInstance == GUID_SysKeyboard;
        return DIENUM_CONTINUE;
      },
      &keyboards, 0);
  EXPECT_EQ(keyboards, 1);
  di->EnumDevices(
      DI8DEVCLASS_ALL,
      [](LPCDIDEVICEINSTANCEA, LPVOID n) -> BOOL {
        ++*static_cast<int*>(n);
        return DIENUM_STOP;
      },
      &calls, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(
      di->EnumDevices(
          7, [](LPCDIDEVICEINSTANCEA, LPVOID) -> BOOL { return DIENUM_CONTINUE; }, nullptr, 0),
      DIERR_INVALIDPARAM);

  // A detached joystick can no longer be made into a device.
  IDirectInputDevice8A* device = nullptr;
  ASSERT_EQ(di->CreateDevice(all[0].guidInstance, &device, nullptr), DI_OK);
  Keep(device);
  pads_.Detach(0);
  IDirectInputDevice8A* gone = nullptr;
  EXPECT_EQ(di->CreateDevice(all[0].guidInstance, &gone, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(gone, nullptr);
}

TEST_F(DirectInputTest, DevicesKeepTheProtocolOfFormatLevelAndAcquisition) {
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* keyboard = nullptr;
  ASSERT_EQ(di->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
  Keep(keyboard);
  BYTE keys[256];
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_INVALIDPARAM);  // no format
  EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIJoystick), DIERR_INVALIDPARAM);
  ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);

  struct Level {
    HWND window;
    DWORD flags;
    HRESULT result;
  };
  const Level levels[] = {
      {window_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
      {window_, DISCL_NONEXCLUSIVE, DIERR_INVALIDPARAM},
      {nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DIERR_INVALIDPARAM},
      {window_, DISCL_EXCLUSIVE | DISCL_BACKGROUND, DIERR_UNSUPPORTED},  // keyboards only
      {window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, DI_OK},
  };
  for (const Level& l : levels)
    EXPECT_EQ(keyboard->SetCooperativeLevel(l.window, l.flags), l.result) << std::hex << l.flags;

  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
  EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND),
            DIERR_ACQUIRED);
  EXPECT_EQ(keyboard->SetEventNotification(nullptr), DIERR_ACQUIRED);
  SetDword(keyboard, DIPROP_BUFFERSIZE, DIPH_DEVICE, 0, 100, DIERR_ACQUIRED);
  SetRange(keyboard, DIPH_DEVICE, 0, -1, 1, DIERR_UNSUPPORTED);
  EXPECT_EQ(keyboard->Unacquire(), DI_OK);
  EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
  SetDword(keyboard, DIPROP_BUFFERSIZE, DIPH_DEVICE, 0, 100);
}

TEST_F(DirectInputTest, ForegroundDevicesFollowTheFocusAndBackgroundOnesDoNot) {
  pads_.Attach("Pad", 2, 4, 0, false);
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* keyboard =
      Device(di, GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  IDirectInputDevice8A* pad = Joystick(di, 0, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  ASSERT_EQ(pad->Acquire(), DI_OK);

  Push(WindowEvent(window_, SDL_WINDOWEVENT_FOCUS_LOST));
  Drain();
  BYTE keys[256];
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_INPUTLOST);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
  DIJOYSTATE state;
  EXPECT_EQ(pad->GetDeviceState(sizeof(state), &state), DI_OK);

  Push(WindowEvent(window_, SDL_WINDOWEVENT_FOCUS_GAINED));
  Drain();
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(keys), keys), DI_OK);
}

TEST_F(DirectInputTest, KeyboardReadsKeyPositionsAndSignalsItsEvent) {
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* keyboard =
      Device(di, GUID_SysKeyboard, &c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_EQ(keyboard->SetEventNotification(event), DI_OK);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->Poll(), DI_NOEFFECT);

  struct Key {
    SDL_Scancode scancode;
    int code;
  };
  // Positions of a Japanese keyboard: "@" where US keyboards have "[", ":" where they have "'".
  const Key keys[] = {{SDL_SCANCODE_Z, 44},
                      {SDL_SCANCODE_RETURN, 28},
                      {SDL_SCANCODE_KP_ENTER, 156},
                      {SDL_SCANCODE_LEFTBRACKET, 145},
                      {SDL_SCANCODE_APOSTROPHE, 146},
                      {SDL_SCANCODE_EQUALS, 144},
                      {SDL_SCANCODE_INTERNATIONAL3, 125},
                      {SDL_SCANCODE_RSHIFT, 54},
                      {SDL_SCANCODE_RCTRL, 157},
                      {SDL_SCANCODE_UP, 200}};
  for (const Key& k : keys) {
    ResetEvent(event);
    PushKey(k.scancode, true);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0) << k.code;
    EXPECT_EQ(PressedKeys(keyboard), std::set<int>{k.code});
    ResetEvent(event);
    PushKey(k.scancode, false);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0) << k.code;
    EXPECT_TRUE(PressedKeys(keyboard).empty());
  }
  // A key that is already down changes nothing.
  PushKey(SDL_SCANCODE_A, true);
  ResetEvent(event);
  PushKey(SDL_SCANCODE_A, true);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  PushKey(SDL_SCANCODE_A, false);
  Drain();
  keyboard->Unacquire();
  keyboard->SetEventNotification(nullptr);
  CloseHandle(event);
}

TEST_F(DirectInputTest, MouseReadsMotionSinceTheLastReadWheelAndButtons) {
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* mouse =
      Device(di, GUID_SysMouse, &c_dfDIMouse, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  SDL_Event motion = {};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.xrel = 5;
  motion.motion.yrel = -3;
  Push(motion);  // before the acquisition: not counted
  ASSERT_EQ(mouse->Acquire(), DI_OK);
  Push(motion);
  motion.motion.xrel = 2;
  Push(motion);
  SDL_Event wheel = {};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.y = -1;
  Push(wheel);
  SDL_Event button = {};
  button.type = SDL_MOUSEBUTTONDOWN;
  button.button.button = SDL_BUTTON_RIGHT;
  button.button.state = SDL_PRESSED;
  Push(button);
  DIMOUSESTATE m;
  ASSERT_EQ(mouse->GetDeviceState(sizeof(m), &m), DI_OK);
  EXPECT_EQ(m.lX, 7);
  EXPECT_EQ(m.lY, -6);
  EXPECT_EQ(m.lZ, -120);
  EXPECT_EQ(m.rgbButtons[0], 0);
  EXPECT_EQ(m.rgbButtons[1], 0x80);
  ASSERT_EQ(mouse->GetDeviceState(sizeof(m), &m), DI_OK);
  EXPECT_EQ(m.lX, 0);
  EXPECT_EQ(m.lZ, 0);
  EXPECT_EQ(m.rgbButtons[1], 0x80);
  button.type = SDL_MOUSEBUTTONUP;
  button.button.state = SDL_RELEASED;
  Push(button);
  Drain();
}

TEST_F(DirectInputTest, JoystickAxesFollowRangeDeadZoneAndSaturation) {
  pads_.Attach("Pad", 8, 40, 2, false);
  pads_.Attach("Two axes", 2, 1, 0, false);
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* pad = Joystick(di, 0, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  SetRange(pad, DIPH_BYOFFSET, DIJOFS_X, -1000, 1000);
  SetDword(pad, DIPROP_DEADZONE, DIPH_BYOFFSET, DIJOFS_X, 3500);
  SetRange(pad, DIPH_BYOFFSET, DIJOFS_Z, -100, 100);
  SetDword(pad, DIPROP_SATURATION, DIPH_BYOFFSET, DIJOFS_Z, 9000);
  SetRange(pad, DIPH_BYOFFSET, 3, 0, 10, DIERR_OBJECTNOTFOUND);   // not an axis
  SetRange(pad, DIPH_BYOFFSET, 40, 0, 10, DIERR_OBJECTNOTFOUND);  // past the sliders
  SetRange(pad, DIPH_BYOFFSET, DIJOFS_X, 5, 5, DIERR_INVALIDPARAM);
  SetDword(pad, DIPROP_DEADZONE, DIPH_BYOFFSET, DIJOFS_X, 10001, DIERR_INVALIDPARAM);
  ASSERT_EQ(pad->Acquire(), DI_OK);

  struct Case {
    Sint16 sdl;
    LONG x;  // -1000..1000, dead zone 3500
    LONG y;  // the default range 0..65535
    LONG z;  // -100..100, saturated at 9000
  };
  const Case cases[] = {
      {-32768, -1000, 0, -100},   {32767, 1000, 65535, 100}, {0, 0, 32767, 0},
      {11468, 0, 44235, 38},      {-11468, 0, 21300, -38},   {16384, 230, 49151, 55},
      {-16384, -230, 16384, -55}, {29491, 846, 62258, 100},
  };
  for (const Case& c : cases) {
    for (int axis = 0; axis < 3; ++axis) pads_.SetAxis(0, axis, c.sdl);
    DIJOYSTATE s = Read(pad);
    EXPECT_EQ(s.lX, c.x) << c.sdl;
    EXPECT_EQ(s.lY, c.y) << c.sdl;
    EXPECT_EQ(s.lZ, c.z) << c.sdl;
  }

  // 32 of the 40 buttons; two hats and two absent ones.
  pads_.SetButton(0, 0, true);
  pads_.SetButton(0, 31, true);
  pads_.SetButton(0, 39, true);
  pads_.SetHat(0, 0, SDL_HAT_RIGHTUP);
  DIJOYSTATE s = Read(pad);
  for (int b = 0; b < 32; ++b) EXPECT_EQ(s.rgbButtons[b], (b == 0 || b == 31) ? 0x80 : 0) << b;
  EXPECT_EQ(s.rgdwPOV[0], 4500u);
  for (int h = 1; h < 4; ++h) EXPECT_EQ(s.rgdwPOV[h], 0xFFFFFFFFu) << h;

  // A pad with two axes has no Z; its other axes read 0.
  IDirectInputDevice8A* small = Joystick(di, 1, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  SetRange(small, DIPH_BYOFFSET, DIJOFS_Z, -1000, 1000, DIERR_OBJECTNOTFOUND);
  SetRange(small, DIPH_DEVICE, 0, -1000, 1000);
  ASSERT_EQ(small->Acquire(), DI_OK);
  pads_.SetAxis(1, 1, -32768);
  DIJOYSTATE t = Read(small);
  EXPECT_EQ(t.lX, 0);
  EXPECT_EQ(t.lY, -1000);
  EXPECT_EQ(t.lZ, 0);
  EXPECT_EQ(t.rglSlider[1], 0);
}

TEST_F(DirectInputTest, JoysticksArePolledExclusiveAndLostWhenUnplugged) {
  pads_.Attach("Pad", 2, 4, 0, false);
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* first = Joystick(di, 0, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
  IDirectInputDevice8A* second = Joystick(di, 0, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(first->SetEventNotification(event), DI_POLLEDDEVICE);
  ASSERT_EQ(first->Acquire(), DI_OK);

  // The event tells of a change that a poll found.
  EXPECT_EQ(first->Poll(), DI_OK);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  pads_.SetButton(0, 2, true);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(first->Poll(), DI_OK);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);

  // One exclusive holder at a time; sharing is allowed beside it.
  EXPECT_EQ(second->Acquire(), DIERR_OTHERAPPHASPRIO);
  ASSERT_EQ(second->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  EXPECT_EQ(second->Acquire(), DI_OK);
  EXPECT_EQ(Read(second).rgbButtons[2], 0x80);
  second->Unacquire();
  ASSERT_EQ(second->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  first->Unacquire();
  EXPECT_EQ(second->Acquire(), DI_OK);

  pads_.Detach(0);
  DIJOYSTATE s;
  EXPECT_EQ(second->Poll(), DIERR_INPUTLOST);
  EXPECT_EQ(second->GetDeviceState(sizeof(s), &s), DIERR_NOTACQUIRED);
  EXPECT_EQ(second->Acquire(), DIERR_UNPLUGGED);
  first->SetEventNotification(nullptr);
  CloseHandle(event);
}

TEST_F(DirectInputTest, EffectsRumbleWhileTheirDeviceIsHeldExclusively) {
  pads_.Attach("Rumble pad", 2, 4, 0, true);
  pads_.Attach("Plain pad", 2, 4, 0, false);
  IDirectInput8A* di = Open8();
  IDirectInputDevice8A* pad = Joystick(di, 0, DISCL_EXCLUSIVE | DISCL_BACKGROUND);

  DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
  LONG direction[2] = {0, 0};
  DIPERIODIC sine = {10000, 0, 0, 1500000};
  DIEFFECT e = {};
  e.dwSize = sizeof(e);
  e.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
  e.dwDuration = INFINITE;
  e.dwGain = 5000;
  e.cAxes = 2;
  e.rgdwAxes = axes;
  e.rglDirection = direction;
  e.cbTypeSpecificParams = sizeof(sine);
  e.lpvTypeSpecificParams = &sine;
  IDirectInputEffect* periodic = nullptr;
  ASSERT_EQ(pad->CreateEffect(GUID_Sine, &e, &periodic, nullptr), DI_OK);
  Keep(periodic);

  DICONSTANTFORCE force = {-10000};
  e.dwGain = 10000;
  e.cbTypeSpecificParams = sizeof(force);
  e.lpvTypeSpecificParams = &force;
  IDirectInputEffect* constant = nullptr;
  EXPECT_EQ(pad->CreateEffect(GUID_Sine, &e, &constant, nullptr), DIERR_INVALIDPARAM);  // size
  DWORD noZ[1] = {DIJOFS_Z};
  e.cAxes = 1;
  e.rgdwAxes = noZ;
  EXPECT_EQ(pad->CreateEffect(GUID_ConstantForce, &e, &constant, nullptr), DIERR_INVALIDPARAM);
  e.cAxes = 2;
  e.rgdwAxes = axes;
  ASSERT_EQ(pad->CreateEffect(GUID_ConstantForce, &e, &constant, nullptr), DI_OK);
  Keep(constant);

  EXPECT_EQ(periodic->Start(1, 0), DIERR_NOTEXCLUSIVEACQUIRED);
  ASSERT_EQ(pad->Acquire(), DI_OK);
  ASSERT_EQ(periodic->Start(1, 0), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0x7FFF);  // magnitude 10,000 at gain 5,000
  EXPECT_EQ(pads_.LastRumble(0).high, 0x7FFF);
  ASSERT_EQ(constant->Start(1, 0), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);  // the stronger wins
  EXPECT_EQ(constant->Stop(), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0x7FFF);

  DWORD status = 0;
  EXPECT_EQ(periodic->GetEffectStatus(&status), DI_OK);
  EXPECT_EQ(status, DIEGES_PLAYING);
  pad->Unacquire();  // stops everything
  EXPECT_EQ(pads_.LastRumble(0).low, 0);
  EXPECT_EQ(periodic->GetEffectStatus(&status), DI_OK);
  EXPECT_EQ(status, 0u);

  // A limited effect ends by itself on the multimedia clock.
  ASSERT_EQ(pad->Acquire(), DI_OK);
  e.dwDuration = 10 * DI_SECONDS;
  ASSERT_EQ(constant->SetParameters(&e, DIEP_DURATION | DIEP_START), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);
  EXPECT_EQ(pad->Poll(), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0xFFFF);
  AdvanceClock(15000);
  EXPECT_EQ(pad->Poll(), DI_OK);
  EXPECT_EQ(pads_.LastRumble(0).low, 0);
  EXPECT_EQ(constant->GetEffectStatus(&status), DI_OK);
  EXPECT_EQ(status, 0u);

  IDirectInputDevice8A* plain = Joystick(di, 1, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
  IDirectInputEffect* none = nullptr;
  EXPECT_EQ(plain->CreateEffect(GUID_ConstantForce, &e, &none, nullptr), DIERR_UNSUPPORTED);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
