// Starting and releasing the input layer: DirectInput 7, 8 or the Win32 fall-backs, failures
// that drop a device or end the start, restarts, and re-acquiring on activation.
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/input/input_devices_fixture.h"
#include "tests/support/log_capture.h"

namespace {

struct AbortCalled {
  std::string text;
};

// The texts appear in this order.
void ExpectInOrder(const std::string& log, const std::vector<std::string>& texts) {
  size_t at = 0;
  for (const std::string& t : texts) {
    size_t found = log.find(t, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << t << "\nin:\n" << log;
    at = found + t.size();
  }
}

bool Contains(const std::string& log, const std::string& text) {
  return log.find(text) != std::string::npos;
}

using InputStart = InputDevicesTest;

TEST_F(InputStart, DirectInput7IsTheDefaultAndASecondStartChangesNothing) {
  pads_.Attach("Pad A", 2, 8, 0, false);
  pads_.Attach("Pad B", 2, 8, 0, true);
  LogCapture log;
  ASSERT_EQ(InitInputDevices(), 0);
  EXPECT_EQ(log.Contents(),
            "0:DirectInput関係初期化処理\r\n"
            "0:\tDirectInput7 の取得中... 成功\r\n"
            "0:\t引き続き初期化処理... 初期化成功\r\n"
            "0:\tジョイパッドの初期化... \r\n"
            "0:\t入力装置を見つけました\r\n"
            "0:\t\tデバイスの登録名:Pad A\r\n"
            "0:\t\tデバイスの製品登録名:Pad A\r\n"
            "0:\t周期的エフェクトの作成に失敗しました。\r\n"
            "0:\tジョイパッドの追加は正常に終了しました\r\n"
            "0:\t入力装置を見つけました\r\n"
            "0:\t\tデバイスの登録名:Pad B\r\n"
            "0:\t\tデバイスの製品登録名:Pad B\r\n"
            "0:\tジョイパッドの追加は正常に終了しました\r\n"
            "0:\tジョイパッドの初期化は正常に終了しました\r\n"
            "0:\tマウスデバイスの初期化... 初期化成功\r\n"
            "0:\tキーボードデバイスの初期化... 初期化成功\r\n"
            "0:DirectInput 関連の初期化は正常に終了しました\r\n");
  ASSERT_NE(InputState.directInput, nullptr);
  ASSERT_NE(InputState.directInput, kWin32InputObject);
  EXPECT_EQ(InputState.directInput8Flag, 0);
  EXPECT_EQ(InputState.win32InputFlag, 0);
  EXPECT_EQ(InputState.joypadCount, 2);
  EXPECT_NE(InputState.mouse, nullptr);
  EXPECT_NE(InputState.keyboard, nullptr);
  // Pad A has no force feedback and is kept without effects.
  EXPECT_EQ(InputState.joypads[0].constantEffect, nullptr);
  EXPECT_NE(InputState.joypads[1].constantEffect, nullptr);
  EXPECT_NE(InputState.joypads[1].periodicEffect, nullptr);
  EXPECT_EQ(InputState.joypads[1].vibrationPower, 10000);

  IUnknown* object = InputState.directInput;
  const std::string before = log.Contents();
  EXPECT_EQ(InitInputDevices(), 0);
  EXPECT_EQ(InputState.directInput, object);
  EXPECT_EQ(InputState.joypadCount, 2);
  EXPECT_EQ(log.Contents(), before);
}

TEST_F(InputStart, DirectInput8TakesOverWhenVersion7CannotBeHad) {
  struct Case {
    const char* what;
    void (*arrange)();
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"class absent",
       [] { PortSetClassAbsent(CLSID_DirectInput, true); },
       {"DirectInput7 の取得中... 取得に失敗。\r\n", "エラーコード 0x80040154\r\n",
        "DirectInput8 の取得を試みます...成功\r\n"}},
      {"initialisation fails",
       [] { PortSetDirectInputCallFails(PortDiCall::Initialize, PortDiDevice::Any, 0, 1); },
       {"引き続き初期化処理... 初期化に失敗。DirectInput8 の取得を試みます...成功\r\n",
        "引き続き初期化処理... 初期化成功\r\n"}},
  };
  pads_.Attach("Pad", 2, 4, 0, false);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    {
      LogCapture log;
      ASSERT_EQ(InitInputDevices(), 0);
      ExpectInOrder(log.Contents(), c.log);
    }
    EXPECT_EQ(InputState.directInput8Flag, 1);
    EXPECT_EQ(InputState.joypadCount, 1);
    pads_.SetAxis(0, 0, -32768);
    AdvanceClock();
    EXPECT_EQ(GetPadInputMask(1), 0x2);
    pads_.SetAxis(0, 0, 0);
    ReleaseInputDevices();
    PortResetComSwitches();
    PortResetDirectInputSwitches();
  }
}

TEST_F(InputStart, WithoutDirectInputThePlainCallsServeAndTheChoiceIsKept) {
  pads_.Attach("Two axes", 2, 4, 0, false);
  pads_.Attach("Six axes", 6, 4, 0, false);
  PortSetDirectInputAbsent(true);
  {
    LogCapture log;
    ASSERT_EQ(InitInputDevices(), 0);
    ExpectInOrder(
        log.Contents(),
        {"0:DirectInput関係初期化処理\r\n", "DirectInput8 の取得を試みます...取得に失敗。",
         "0:\tDirectInput を使用しません。\r\n", "0:パッドの数は 2 個です\r\n",
         "0:入力関連の初期化をしました\r\n"});
    EXPECT_EQ(InputState.directInput, kWin32InputObject);
    EXPECT_EQ(InputState.win32InputFlag, 1);
    EXPECT_EQ(InputState.joypadCount, 16);
    EXPECT_EQ(InputState.joypads[0].hasZAndR, 0);
    EXPECT_EQ(InputState.joypads[1].hasZAndR, 1);
    EXPECT_EQ(ReleaseInputDevices(), 0);
    EXPECT_TRUE(Contains(log.Contents(), "0:入力関連の終了処理... 完了\r\n"));
    EXPECT_EQ(InputState.directInput, nullptr);
  }

  // DirectInput is not tried again, and missing joystick calls read as no pads (the library
  // table is looked up anew without them).
  PortSetDirectInputAbsent(false);
  PortSetExportAbsent("winmm.dll", "joyGetDevCapsA", true);
  PortSetExportAbsent("winmm.dll", "joyGetPosEx", true);
  FreeRuntimeLibraries();
  LoadStartupLibraries();
  LogCapture log;
  ASSERT_EQ(InitInputDevices(), 0);
  EXPECT_FALSE(Contains(log.Contents(), "DirectInput7"));
  EXPECT_TRUE(Contains(log.Contents(), "0:パッドの数は 0 個です\r\n"));
  EXPECT_EQ(InputState.directInput, kWin32InputObject);
  pads_.SetAxis(0, 0, -32768);
  AdvanceClock();
  EXPECT_EQ(GetPadInputMask(1), 0);
}

TEST_F(InputStart, QueriesStartTheLayerAndAnswerZeroMeanwhile) {
  char states[256];
  std::memset(states, 0x55, sizeof(states));
  EXPECT_EQ(GetAllKeyStates(states), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(states[i], 0) << i;
  EXPECT_NE(InputState.directInput, nullptr);
  EXPECT_EQ(GetAllKeyStates(nullptr), -1);
  ReleaseInputDevices();

  Key(SDL_SCANCODE_DOWN, true);
  EXPECT_EQ(GetPadInputMask(0x1000), 0);  // the start's answer
  EXPECT_NE(InputState.directInput, nullptr);
  ReleaseInputDevices();

  // A closing window starts nothing.
  WindowState.closeRequested = 1;
  EXPECT_EQ(IsKeyDown(208), 0);
  EXPECT_EQ(InputState.directInput, nullptr);
  WindowState.closeRequested = 0;
  Key(SDL_SCANCODE_DOWN, false);
}

TEST_F(InputStart, ReleaseEndsEverythingAndTheNextQueryRestartsWithTheMappingKept) {
  pads_.Attach("Pad", 2, 4, 0, true);
  const int handles = PortOpenHandleCount();
  {
    LogCapture log;
    EXPECT_EQ(ReleaseInputDevices(), 0);  // nothing started
    EXPECT_EQ(log.Contents(), "");
  }
  ASSERT_EQ(InitInputDevices(), 0);
  InputState.PadKeyMapping[0][4][0] = 47;  // key V instead of Z
  {
    LogCapture log;
    EXPECT_EQ(ReleaseInputDevices(), 0);
    EXPECT_EQ(log.Contents(), "0:DirectInput 関連の終了処理... 完了\r\n");
  }
  EXPECT_EQ(InputState.directInput, nullptr);
  EXPECT_EQ(InputState.keyboard, nullptr);
  EXPECT_EQ(InputState.mouse, nullptr);
  EXPECT_EQ(InputState.joypadCount, 0);
  EXPECT_EQ(InputState.joypads[0].device, nullptr);
  EXPECT_EQ(PortOpenHandleCount(), handles);

  Key(SDL_SCANCODE_V, true);
  EXPECT_EQ(IsKeyDown(47), 0);  // starts the layer
  ASSERT_NE(InputState.directInput, nullptr);
  EXPECT_EQ(InputState.PadKeyMapping[0][4][0], 47);
  Pass();
  EXPECT_EQ(GetPadInputMask(0x1001), 0x10);
  Key(SDL_SCANCODE_V, false);
}

TEST_F(InputStart, AMouseThatCannotBeSetUpIsLeftOut) {
  struct Case {
    PortDiCall call;
    const char* text;
  };
  const Case cases[] = {
      {PortDiCall::CreateDevice,
       "0:\tマウスデバイスの初期化... マウスデバイスの取得に失敗しました\r\n"},
      {PortDiCall::SetDataFormat, "マウスデバイスのデータ形式の設定に失敗しました\r\n"},
      {PortDiCall::SetCooperativeLevel, "マウスデバイスの協調レベルの設定に失敗しました\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    PortSetDirectInputCallFails(c.call, PortDiDevice::Mouse, 0, 1);
    LogCapture log;
    ASSERT_EQ(InitInputDevices(), 0);
    EXPECT_TRUE(Contains(log.Contents(), c.text)) << log.Contents();
    EXPECT_TRUE(Contains(log.Contents(), "DirectInput 関連の初期化は正常に終了しました"));
    EXPECT_EQ(InputState.mouse, nullptr);
    EXPECT_NE(InputState.keyboard, nullptr);
    ReleaseInputDevices();
    PortResetDirectInputSwitches();
  }
}

TEST_F(InputStart, KeyboardFailuresEndTheStartOrTheProgram) {
  struct Case {
    PortDiCall call;
    int failures;
    int result;           // of InitInputDevices when it returns
    const char* aborted;  // the abort text, or null
    const char* logged;
  };
  const Case cases[] = {
      {PortDiCall::SetEventNotification, 1, -1, nullptr,
       "キーボードイベントのセットアップが失敗しました\r\n"},
      {PortDiCall::SetProperty, 1, 0, nullptr, "キーボードのプロパティ設定に失敗しました\r\n"},
      {PortDiCall::Acquire, 1, 0, nullptr, "キーボードデバイスの初期化... 初期化成功\r\n"},
      {PortDiCall::Acquire, 2, 0, "キーボードデバイスの取得に失敗しました", nullptr},
      {PortDiCall::CreateDevice, 1, 0, "キーボードデバイスの取得に失敗しました", nullptr},
      {PortDiCall::SetDataFormat, 1, 0, "キーボードデバイスのデータ形式の設定に失敗しました",
       nullptr},
      {PortDiCall::SetCooperativeLevel, 1, 0, "キーボードデバイスの協調レベルの設定に失敗しました",
       nullptr},
  };
  pads_.Attach("Pad", 2, 4, 0, false);
  WindowHooks.abortWithLog = [](const char* text) { throw AbortCalled{text}; };
  const int handles = PortOpenHandleCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.call) * 10 + c.failures);
    PortSetDirectInputCallFails(c.call, PortDiDevice::Keyboard, 0, c.failures);
    LogCapture log;
    if (c.aborted) {
      try {
        InitInputDevices();
        ADD_FAILURE() << "the start did not end the program";
      } catch (const AbortCalled& a) { EXPECT_EQ(a.text, c.aborted); }
    } else {
      EXPECT_EQ(InitInputDevices(), c.result);
      EXPECT_TRUE(Contains(log.Contents(), c.logged)) << log.Contents();
    }
    // A start that failed left nothing behind; one that worked runs.
    const bool runs = !c.aborted && c.result == 0;
    EXPECT_EQ(InputState.directInput != nullptr, runs);
    EXPECT_EQ(InputState.starting, 0);
    ReleaseInputDevices();
    EXPECT_EQ(PortOpenHandleCount(), handles);
    PortResetDirectInputSwitches();
  }
}

TEST_F(InputStart, APadThatCannotBeSetUpIsDroppedAndTheOthersStay) {
  struct Case {
    PortDiCall call;
    int succeedFirst;
    const char* text;
    int pads;
  };
  const Case cases[] = {
      {PortDiCall::CreateDevice, 0, "0:\t入力装置の取得に失敗しました\r\n", 1},
      {PortDiCall::SetDataFormat, 0,
       "0:\tジョイパッドデバイスではありませんでした、又は設定に失敗しました\r\n", 1},
      {PortDiCall::SetProperty, 0, "0:\tジョイパッドデバイスのＸ軸関係の設定に失敗しました\r\n", 1},
      {PortDiCall::SetProperty, 1, "0:\tジョイパッドデバイスのＹ軸関係の設定に失敗しました\r\n", 1},
      {PortDiCall::SetProperty, 2,
       "0:\tジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\r\n", 1},
      {PortDiCall::SetProperty, 3,
       "0:\tジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\r\n", 1},
      {PortDiCall::SetEventNotification, 0,
       "0:\tジョイパッドイベントのセットアップが失敗しました\r\n", 1},
      // Only logged: the pad stays.
      {PortDiCall::SetCooperativeLevel, 0,
       "0:\tジョイパッドデバイスの協調レベルの設定に失敗しました\r\n", 2},
  };
  pads_.Attach("Pad A", 2, 4, 0, false);
  pads_.Attach("Pad B", 2, 4, 0, false);
  const int handles = PortOpenHandleCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    PortSetDirectInputCallFails(c.call, PortDiDevice::Joystick, c.succeedFirst, 1);
    LogCapture log;
    ASSERT_EQ(InitInputDevices(), 0);
    EXPECT_TRUE(Contains(log.Contents(), c.text)) << log.Contents();
    ASSERT_EQ(InputState.joypadCount, c.pads);
    EXPECT_STREQ(InputState.joypads[0].instanceName, c.pads == 1 ? "Pad B" : "Pad A");
    EXPECT_EQ(InputState.joypads[c.pads].device, nullptr);
    EXPECT_EQ(InputState.joypads[c.pads].instanceName[0], '\0');
    ReleaseInputDevices();
    EXPECT_EQ(PortOpenHandleCount(), handles);
    PortResetDirectInputSwitches();
  }
}

TEST_F(InputStart, ActivationSwitchesThePadsBetweenExclusiveAndShared) {
  pads_.Attach("Pad", 2, 4, 0, false);
  ASSERT_EQ(InitInputDevices(), 0);

  // Another device on the same joystick wants it exclusively.
  IDirectInput8A* di = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput8A,
                             reinterpret_cast<void**>(&di)),
            S_OK);
  ASSERT_EQ(di->Initialize(GetModuleHandleA(nullptr), 0x800), DI_OK);
  DIDEVICEINSTANCEA pad = {};
  di->EnumDevices(
      DI8DEVCLASS_GAMECTRL,
      [](LPCDIDEVICEINSTANCEA i, LPVOID out) -> BOOL {
        *static_cast<DIDEVICEINSTANCEA*>(out) = *i;
        return DIENUM_STOP;
      },
      &pad, DIEDFL_ATTACHEDONLY);
  IDirectInputDevice8A* other = nullptr;
  ASSERT_EQ(di->CreateDevice(pad.guidInstance, &other, nullptr), DI_OK);
  ASSERT_EQ(other->SetDataFormat(&c_dfDIJoystick), DI_OK);
  ASSERT_EQ(other->SetCooperativeLevel(WindowState.mainWindow, DISCL_EXCLUSIVE | DISCL_BACKGROUND),
            DI_OK);
  EXPECT_EQ(other->Acquire(), DIERR_OTHERAPPHASPRIO);

  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(WindowState.active, 0);
  EXPECT_EQ(other->Acquire(), DI_OK);
  other->Unacquire();

  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(other->Acquire(), DIERR_OTHERAPPHASPRIO);
  pads_.SetAxis(0, 1, 32767);
  AdvanceClock();
  EXPECT_EQ(GetPadInputMask(1), 0x1);
  other->Release();
  di->Release();
}

}  // namespace
