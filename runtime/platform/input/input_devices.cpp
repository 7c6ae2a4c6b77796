// Starting and releasing the input layer: DirectInput 7 or 8 with the mouse, the keyboard and
// up to 16 joypads, or the Win32 fall-backs; re-acquiring devices on activation.
#include "runtime/platform/input/input_devices.h"

#include <cstring>

#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/input/input_devices_internal.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"

InputDeviceState InputState = {};
namespace {

constexpr DWORD kJoypadCooperation = DISCL_EXCLUSIVE | DISCL_BACKGROUND;
constexpr DWORD kSharedCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr LONG kAxisRange = 1000;
constexpr DWORD kAxisDeadZone = 3500;

IDirectInput7A* DirectInput7() { return static_cast<IDirectInput7A*>(InputState.directInput); }
IDirectInput8A* DirectInput8() { return static_cast<IDirectInput8A*>(InputState.directInput); }

HRESULT CreateInputDevice(REFGUID guid, IDirectInputDevice7A** out) {
  *out = nullptr;
  if (InputState.directInput8Flag) {
    IDirectInputDevice8A* device = nullptr;
    HRESULT hr = DirectInput8()->CreateDevice(guid, &device, nullptr);
    *out = device;
    return hr;
  }
  return DirectInput7()->CreateDeviceEx(guid, IID_IDirectInputDevice7A,
                                        reinterpret_cast<void**>(out), nullptr);
}

template <class T>
void Release(T** object) {
  if (*object) (*object)->Release();
  *object = nullptr;
}

void Close(HANDLE* event) {
  if (*event) CloseHandle(*event);
  *event = nullptr;
}

// Releases one pad's device, effects and event, and zeroes its record.
void ReleaseJoypad(JoypadRecord& pad) {
  if (pad.device) {
    pad.device->Unacquire();
    pad.device->SetEventNotification(nullptr);
  }
  for (IDirectInputEffect** effect : {&pad.periodicEffect, &pad.constantEffect}) {
    if (*effect) (*effect)->Stop();
    Release(effect);
  }
  Release(&pad.device);
  Close(&pad.event);
  pad = JoypadRecord{};
}

void ReleaseJoypads() {
  for (JoypadRecord& pad : InputState.joypads) ReleaseJoypad(pad);
  InputState.joypadCount = 0;
}

// Everything DirectInput made, without a log line: the end of the layer and its failed starts.
void ReleaseDirectInputObjects() {
  ReleaseJoypads();
  if (InputState.keyboard) InputState.keyboard->Unacquire();
  Release(&InputState.keyboard);
  Close(&InputState.keyboardEvent);
  if (InputState.mouse) InputState.mouse->Unacquire();
  Release(&InputState.mouse);
  Release(&InputState.directInput);
  InputState.directInput8Flag = 0;
}

[[noreturn]] void AbortStart(const char* text) {
  ReleaseDirectInputObjects();
  InputState.starting = 0;
  AbortWithLogF("%s", text);
}

bool SetAxisProperty(IDirectInputDevice7A* device, DIPROPID property, DWORD axis, LONG low,
                     LONG high, DWORD value) {
  if (property == DIPROP_RANGE) {
    DIPROPRANGE range = {
        {sizeof(DIPROPRANGE), sizeof(DIPROPHEADER), axis, DIPH_BYOFFSET}, low, high};
    return SUCCEEDED(device->SetProperty(property, &range.diph));
  }
  DIPROPDWORD dword = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), axis, DIPH_BYOFFSET}, value};
  return SUCCEEDED(device->SetProperty(property, &dword.diph));
}

// Ranges, then dead zones, on X and Y (whose failure drops the pad) and on the other axes
// (whose failure does not matter).
bool SetJoypadAxes(IDirectInputDevice7A* device) {
  const DWORD others[] = {DIJOFS_Z, DIJOFS_RX, DIJOFS_RY, DIJOFS_RZ};
  if (!SetAxisProperty(device, DIPROP_RANGE, DIJOFS_X, -kAxisRange, kAxisRange, 0)) {
    WriteLogText("ジョイパッドデバイスのＸ軸関係の設定に失敗しました\n");
    return false;
  }
  if (!SetAxisProperty(device, DIPROP_RANGE, DIJOFS_Y, -kAxisRange, kAxisRange, 0)) {
    WriteLogText("ジョイパッドデバイスのＹ軸関係の設定に失敗しました\n");
    return false;
  }
  for (DWORD axis : others) SetAxisProperty(device, DIPROP_RANGE, axis, -kAxisRange, kAxisRange, 0);
  if (!SetAxisProperty(device, DIPROP_DEADZONE, DIJOFS_X, 0, 0, kAxisDeadZone)) {
    WriteLogText("ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\n");
    return false;
  }
  if (!SetAxisProperty(device, DIPROP_DEADZONE, DIJOFS_Y, 0, 0, kAxisDeadZone)) {
    WriteLogText("ジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\n");
    return false;
  }
  for (DWORD axis : others) SetAxisProperty(device, DIPROP_DEADZONE, axis, 0, 0, kAxisDeadZone);
  return true;
}

// The two effects on X and Y, unlimited, at full gain. A pad without force feedback keeps
// working without them.
void CreateJoypadEffects(JoypadRecord& pad) {
  DWORD axes[2] = {DIJOFS_X, DIJOFS_Y};
  LONG direction[2] = {0, 0};
  DIEFFECT effect = {};
  effect.dwSize = sizeof(DIEFFECT);
  effect.dwDuration = INFINITE;
  effect.dwGain = DI_FFNOMINALMAX;
  effect.dwTriggerButton = DIEB_NOTRIGGER;
  effect.cAxes = 2;
  effect.rgdwAxes = axes;
  effect.rglDirection = direction;

  DIENVELOPE envelope = {sizeof(DIENVELOPE), 0, 500000, 0, 1000000};
  DIPERIODIC periodic = {DI_FFNOMINALMAX, 0, 0, 1500000};
  effect.dwFlags = DIEFF_POLAR | DIEFF_OBJECTOFFSETS;
  effect.lpEnvelope = &envelope;
  effect.cbTypeSpecificParams = sizeof(periodic);
  effect.lpvTypeSpecificParams = &periodic;
  if (FAILED(pad.device->CreateEffect(GUID_Sine, &effect, &pad.periodicEffect, nullptr)))
    pad.periodicEffect = nullptr;

  DICONSTANTFORCE constant = {DI_FFNOMINALMAX};
  effect.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
  effect.lpEnvelope = nullptr;
  effect.cbTypeSpecificParams = sizeof(constant);
  effect.lpvTypeSpecificParams = &constant;
  if (FAILED(pad.device->CreateEffect(GUID_ConstantForce, &effect, &pad.constantEffect, nullptr))) {
    pad.constantEffect = nullptr;
    WriteLogText("周期的エフェクトの作成に失敗しました。\n");
  }
}

// Adds one enumerated game controller as the next pad; a pad that cannot be set up is left out.
BOOL CALLBACK AddJoypadDevice(LPCDIDEVICEINSTANCEA instance, LPVOID) {
  if (InputState.joypadCount >= kMaxJoypads) return DIENUM_STOP;
  JoypadRecord& pad = InputState.joypads[InputState.joypadCount];
  WriteLogText("入力装置を見つけました\n");
  if (FAILED(CreateInputDevice(instance->guidInstance, &pad.device))) {
    WriteLogText("入力装置の取得に失敗しました\n");
    ReleaseJoypad(pad);
    return DIENUM_CONTINUE;
  }
  CopyTextBounded(pad.instanceName, sizeof pad.instanceName, instance->tszInstanceName);
  CopyTextBounded(pad.productName, sizeof pad.productName, instance->tszProductName);
  LogIndentIn();
  LogPrintf("デバイスの登録名:%s", pad.instanceName);
  LogPrintf("デバイスの製品登録名:%s", pad.productName);
  LogIndentOut();

  if (FAILED(pad.device->SetDataFormat(&c_dfDIJoystick))) {
    WriteLogText("ジョイパッドデバイスではありませんでした、又は設定に失敗しました\n");
    ReleaseJoypad(pad);
    return DIENUM_CONTINUE;
  }
  if (FAILED(pad.device->SetCooperativeLevel(WindowState.mainWindow, kJoypadCooperation)))
    WriteLogText("ジョイパッドデバイスの協調レベルの設定に失敗しました\n");
  if (!SetJoypadAxes(pad.device)) {
    ReleaseJoypad(pad);
    return DIENUM_CONTINUE;
  }
  CreateJoypadEffects(pad);

  pad.vibrationOn = 0;
  pad.vibrationPower = DI_FFNOMINALMAX;
  pad.constantEffectPlaying = 0;
  pad.periodicEffectPlaying = 0;
  pad.event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HRESULT hr = pad.event ? pad.device->SetEventNotification(pad.event) : DIERR_GENERIC;
  if (hr != DI_OK && hr != DI_POLLEDDEVICE) {
    WriteLogText("ジョイパッドイベントのセットアップが失敗しました\n");
    ReleaseJoypad(pad);
    return DIENUM_CONTINUE;
  }
  pad.device->Acquire();
  std::memset(&pad.state, 0, sizeof(pad.state));
  ++InputState.joypadCount;
  WriteLogText("ジョイパッドの追加は正常に終了しました\n");
  return InputState.joypadCount < kMaxJoypads ? DIENUM_CONTINUE : DIENUM_STOP;
}

void SetupJoypads() {
  ReleaseJoypads();
  WriteLogText("ジョイパッドの初期化... \n");
  InputState.joypadCount = 0;
  if (InputState.directInput8Flag)
    DirectInput8()->EnumDevices(DI8DEVCLASS_GAMECTRL, &AddJoypadDevice, nullptr,
                                DIEDFL_ATTACHEDONLY);
  else
    DirectInput7()->EnumDevices(DIDEVTYPE_JOYSTICK, &AddJoypadDevice, nullptr, DIEDFL_ATTACHEDONLY);
  WriteLogText("ジョイパッドの初期化は正常に終了しました\n");
}

// The mouse is never read, so a mouse that cannot be set up is logged and left out.
void SetupMouse() {
  WriteLogText("マウスデバイスの初期化... ");
  const char* failure = nullptr;
  if (FAILED(CreateInputDevice(GUID_SysMouse, &InputState.mouse)))
    failure = "マウスデバイスの取得に失敗しました";
  else if (FAILED(InputState.mouse->SetDataFormat(&c_dfDIMouse)))
    failure = "マウスデバイスのデータ形式の設定に失敗しました";
  else if (FAILED(
               InputState.mouse->SetCooperativeLevel(WindowState.mainWindow, kSharedCooperation)))
    failure = "マウスデバイスの協調レベルの設定に失敗しました";
  if (failure) {
    LogPrintf("%s", failure);
    Release(&InputState.mouse);
    return;
  }
  WriteLogText("初期化成功\n");
}

// 0, or -1 (everything released) when the keyboard's notification cannot be set up.
int SetupKeyboard() {
  WriteLogText("キーボードデバイスの初期化... ");
  if (FAILED(CreateInputDevice(GUID_SysKeyboard, &InputState.keyboard)))
    AbortStart("キーボードデバイスの取得に失敗しました");
  IDirectInputDevice7A* keyboard = InputState.keyboard;
  if (FAILED(keyboard->SetDataFormat(&c_dfDIKeyboard)))
    AbortStart("キーボードデバイスのデータ形式の設定に失敗しました");
  if (FAILED(keyboard->SetCooperativeLevel(WindowState.mainWindow, kSharedCooperation)))
    AbortStart("キーボードデバイスの協調レベルの設定に失敗しました");
  DIPROPDWORD buffer = {{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE}, 100};
  if (FAILED(keyboard->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)))
    WriteLogText("キーボードのプロパティ設定に失敗しました\n");
  InputState.keyboardEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HRESULT hr = InputState.keyboardEvent ? keyboard->SetEventNotification(InputState.keyboardEvent)
                                        : DIERR_GENERIC;
  if (hr != DI_OK && hr != DI_POLLEDDEVICE) {
    WriteLogText("キーボードイベントのセットアップが失敗しました\n");
    ReleaseDirectInputObjects();
    return -1;
  }
  if (FAILED(keyboard->Acquire()) && FAILED(keyboard->Acquire()))
    AbortStart("キーボードデバイスの取得に失敗しました");
  WriteLogText("初期化成功\n");
  InputState.keyboardRefreshTime = GetNowMilliseconds();
  return 0;
}

// Creates and initialises one DirectInput object; null when either step fails.
template <class Object>
Object* CreateDirectInput(REFCLSID clsid, REFIID iid, DWORD version, const char* creationFailure) {
  Object* object = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                reinterpret_cast<void**>(&object));
  if (FAILED(hr)) {
    WriteLogText(creationFailure);
    LogPrintf("エラーコード 0x%x", static_cast<unsigned>(hr));
    return nullptr;
  }
  WriteLogText("成功\n");
  WriteLogText("引き続き初期化処理... ");
  if (FAILED(object->Initialize(GetModuleHandleA(nullptr), version))) {
    WriteLogText("初期化に失敗。");
    object->Release();
    return nullptr;
  }
  WriteLogText("初期化成功\n");
  return object;
}

// 0 with DirectInput running or the Win32-input flag set; -1 when the keyboard event failed.
int StartDirectInput() {
  WriteLogText("DirectInput関係初期化処理\n");
  LogIndentIn();
  WriteLogText("DirectInput7 の取得中... ");
  if (IDirectInput7A* di = CreateDirectInput<IDirectInput7A>(CLSID_DirectInput, IID_IDirectInput7A,
                                                             0x700, "取得に失敗。\n")) {
    InputState.directInput = di;
  } else {
    WriteLogText("DirectInput8 の取得を試みます...");
    if (IDirectInput8A* di8 = CreateDirectInput<IDirectInput8A>(
            CLSID_DirectInput8, IID_IDirectInput8A, 0x800, "取得に失敗。")) {
      InputState.directInput = di8;
      InputState.directInput8Flag = 1;
    }
  }
  if (!InputState.directInput) {
    WriteLogText("DirectInput を使用しません。\n");
    LogIndentOut();
    InputState.win32InputFlag = 1;
    return 0;
  }

  if (WindowState.mainWindow) BringWindowToTop(WindowState.mainWindow);
  PumpWindowMessages();
  SetupJoypads();
  SetupMouse();
  if (SetupKeyboard() != 0) {
    LogIndentOut();
    return -1;
  }
  LogIndentOut();
  WriteLogText("DirectInput 関連の初期化は正常に終了しました\n");
  return 0;
}

void StartWin32Input() {
  // The joystick calls come from the run-time library table; without them no pad is found.
  auto* const joyGetDevCapsA = RuntimeLibraries.winmm.joyGetDevCapsA;
  int found = 0;
  while (found < kMaxJoypads && joyGetDevCapsA) {
    JOYCAPSA caps;
    if (joyGetDevCapsA(static_cast<UINT_PTR>(found), &caps, sizeof(caps)) != JOYERR_NOERROR) break;
    InputState.joypads[found].hasZAndR =
        (caps.wCaps & JOYCAPS_HASZ) && (caps.wCaps & JOYCAPS_HASR) ? 1 : 0;
    ++found;
  }
  LogPrintf("パッドの数は %d 個です", found);
  InputState.directInput = kWin32InputObject;
  WriteLogText("入力関連の初期化をしました\n");
  // Every id is read; an absent one reads as all zero.
  InputState.joypadCount = kMaxJoypads;
}

// Pad 1 only: the arrows (and the numeric pad's) on the directions, then Z X C A S D Q W,
// Esc and Space on bits 4 to 13. The first two slots of every other bit are -1.
void SetDefaultPadKeyMapping() {
  for (auto& pad : InputState.PadKeyMapping)
    for (auto& bit : pad) {
      bit[0] = bit[1] = -1;
      bit[2] = bit[3] = 0;
    }
  const int defaults[14][2] = {{80, 208}, {75, 203}, {77, 205}, {72, 200}, {44, -1},
                               {45, -1},  {46, -1},  {30, -1},  {31, -1},  {32, -1},
                               {16, -1},  {17, -1},  {1, -1},   {57, -1}};
  for (int b = 0; b < 14; ++b) {
    InputState.PadKeyMapping[0][b][0] = defaults[b][0];
    InputState.PadKeyMapping[0][b][1] = defaults[b][1];
  }
}

void InstallInputHooks() {
  WindowHooks.refreshKeyboardState = [] { RefreshKeyboardState(); };
  WindowHooks.processJoypadVibration = [] { ProcessJoypadVibration(); };
  WindowHooks.reacquireInputDevices = [] { ReacquireInputDevices(); };
  WindowHooks.refreshJoypadEffects = [] { RefreshJoypadEffects(); };
}

}  // namespace

bool InputUsesDirectInput() {
  return InputState.directInput && InputState.directInput != kWin32InputObject;
}

bool PrepareInputQuery() {
  WaitWhileInactive();
  if (InputState.directInput) return true;
  if (!WindowState.closeRequested && !WindowState.destroyed) InitInputDevices();
  return false;
}

int InitInputDevices() {
  if (InputState.directInput || InputState.starting) return 0;
  InstallInputHooks();

  // Everything but the kept items starts from zero.
  const int win32Input = InputState.win32InputFlag;
  const int defaultsSet = InputState.padKeyMappingDefaultsSet;
  int mapping[kMaxJoypads][kPadMaskBits][kKeysPerPadBit];
  std::memcpy(mapping, InputState.PadKeyMapping, sizeof(mapping));
  InputState = InputDeviceState{};
  InputState.win32InputFlag = win32Input;
  InputState.padKeyMappingDefaultsSet = defaultsSet;
  std::memcpy(InputState.PadKeyMapping, mapping, sizeof(mapping));
  InputState.starting = 1;

  if (!InputState.win32InputFlag && StartDirectInput() != 0) {
    InputState.starting = 0;
    return -1;
  }
  if (InputState.win32InputFlag) StartWin32Input();

  if (!InputState.padKeyMappingDefaultsSet) {
    InputState.padKeyMappingDefaultsSet = 1;
    SetDefaultPadKeyMapping();
  }
  InputState.starting = 0;
  return 0;
}

int ReleaseInputDevices() {
  if (!InputState.directInput) return 0;
  if (InputState.directInput == kWin32InputObject) {
    WriteLogText("入力関連の終了処理... 完了\n");
    ReleaseJoypads();
    InputState.directInput = nullptr;
    return 0;
  }
  WriteLogText("DirectInput 関連の終了処理... 完了\n");
  ReleaseDirectInputObjects();
  return 0;
}

int ReacquireInputDevices() {
  if (!InputUsesDirectInput()) return 0;
  const DWORD cooperation = WindowState.active ? kJoypadCooperation : kSharedCooperation;
  for (JoypadRecord& pad : InputState.joypads) {
    if (!pad.device) continue;
    pad.device->Unacquire();
    pad.device->SetCooperativeLevel(WindowState.mainWindow, cooperation);
    pad.device->Acquire();
  }
  if (InputState.keyboard) {
    InputState.keyboard->Unacquire();
    InputState.keyboard->Acquire();
  }
  return 0;
}
