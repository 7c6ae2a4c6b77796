#include "runtime/graphics/device/display_modes.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/window_state.h"

IDirectDraw7* DirectDraw7Object = nullptr;
int64_t RefreshPeriod = -1;
int64_t LastVBlankTime = 0;

namespace {

DisplayModeEntry* gModeList = nullptr;
int gModeCount = 0;
bool gModeListBuilt = false;

constexpr int kRefreshTries = 60;
constexpr int kRefreshIntervals = 10;
constexpr int64_t kSteadyTolerance = 1000;  // microseconds between two intervals

int64_t NowMicroseconds() { return static_cast<int64_t>(GetNowMicroseconds(1)); }

void WaitBlank() { DirectDraw7Object->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr); }

void BuildDisplayModeList() {
  ReleaseDisplayModeList();
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  int count = 0;
  for (DWORD n = 0; EnumDisplaySettingsA(nullptr, n, &mode); ++n)
    if (mode.dmBitsPerPel >= 16) ++count;
  gModeListBuilt = true;
  if (count == 0) return;
  gModeList = static_cast<DisplayModeEntry*>(
      AllocTracked(sizeof(DisplayModeEntry) * static_cast<size_t>(count), __FILE__, __LINE__));
  if (!gModeList) return;
  // The display may have changed its list since the count: fill no more than was counted.
  int filled = 0;
  for (DWORD n = 0; filled < count && EnumDisplaySettingsA(nullptr, n, &mode); ++n) {
    if (mode.dmBitsPerPel < 16) continue;
    gModeList[filled++] = {
        static_cast<int32_t>(mode.dmPelsWidth), static_cast<int32_t>(mode.dmPelsHeight),
        static_cast<int32_t>(mode.dmBitsPerPel), static_cast<int32_t>(mode.dmDisplayFrequency)};
  }
  gModeCount = filled;
}

void EnsureModeList() {
  if (!gModeListBuilt) BuildDisplayModeList();
}

LONG ChangeDisplayTo(int width, int height, int bits, int refresh, DWORD flags) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmBitsPerPel = static_cast<DWORD>(bits);
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  if (refresh != 0) {
    mode.dmFields |= DM_DISPLAYFREQUENCY;
    mode.dmDisplayFrequency = static_cast<DWORD>(refresh);
  }
  return ChangeDisplaySettingsA(&mode, flags);
}

}  // namespace

int CreateDirectDrawObject() {
  ReleaseDirectDrawObject();
  WriteLogText("DirectDraw オブジェクトの取得を行います....  ");
  void* object = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DirectDraw7, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectDraw7,
                              &object)) ||
      !object)
    return WriteLogText("オブジェクトの取得に失敗しました\n");
  DirectDraw7Object = static_cast<IDirectDraw7*>(object);
  WriteLogText("成功\n");
  WriteLogText("引き続き初期化処理... ");
  if (FAILED(DirectDraw7Object->Initialize(nullptr))) {
    WriteLogText("DirectDrawオブジェクトの初期化に失敗しました\n");
    ReleaseDirectDrawObject();
    return -1;
  }
  WriteLogText("初期化に成功しました\n");
  DirectDraw7Object->SetCooperativeLevel(GetMainWindowHandle(), DDSCL_NORMAL);
  return 0;
}

void ReleaseDirectDrawObject() {
  if (DirectDraw7Object) DirectDraw7Object->Release();
  DirectDraw7Object = nullptr;
}

IDirectDraw7* GetDirectDrawObject() { return DirectDraw7Object; }

int MeasureRefreshPeriod() {
  RefreshPeriod = -1;
  if (!DirectDraw7Object) return 0;
  WaitBlank();
  int64_t previousTime = NowMicroseconds();
  int64_t previousInterval = 0;
  int64_t sum = 0;
  int counted = 0;
  for (int i = 0; i < kRefreshTries && counted < kRefreshIntervals; ++i) {
    WaitBlank();
    const int64_t now = NowMicroseconds();
    const int64_t interval = now - previousTime;
    previousTime = now;
    const int64_t change = interval - previousInterval;
    if (change >= kSteadyTolerance || change <= -kSteadyTolerance) {
      counted = 0;
      sum = 0;
    } else {
      sum += interval;
      ++counted;
    }
    previousInterval = interval;
    if (counted == kRefreshIntervals) RefreshPeriod = sum / counted;
    Sleep(5);
  }
  WaitVSync();
  return 0;
}

void WaitVSync() {
  if (!DirectDraw7Object) return;
  const int64_t lead = RefreshPeriod >= 0 ? RefreshPeriod - 3000 : 4000;
  // The microsecond clock changes its source when the library has started: a last blank that
  // lies ahead of the clock was taken on the other source and counts as long past.
  auto early = [lead] {
    const int64_t since = NowMicroseconds() - LastVBlankTime;
    return since >= 0 && since < lead;
  };
  if (early()) {
    Sleep(0);
    while (early()) Sleep(1);
    WaitBlank();
    LastVBlankTime = NowMicroseconds();
  } else {
    WaitBlank();
    LastVBlankTime = NowMicroseconds();
    Sleep(0);
  }
}

int CountDisplayModes() {
  EnsureModeList();
  return gModeCount;
}

DisplayModeEntry GetDisplayModeEntry(int index) {
  EnsureModeList();
  if (index < 0 || index >= gModeCount) return {-1, -1, -1, -1};
  return gModeList[index];
}

int IsDisplayModeAvailable(int width, int height, int bits) {
  EnsureModeList();
  for (int i = 0; i < gModeCount; ++i)
    if (gModeList[i].width == width && gModeList[i].height == height && gModeList[i].bits == bits)
      return 1;
  return 0;
}

void ReleaseDisplayModeList() {
  FreeTracked(gModeList);
  gModeList = nullptr;
  gModeCount = 0;
  gModeListBuilt = false;
}

int ChangeDisplayMode() {
  char line[128];
  std::snprintf(line, sizeof(line), "画面モードの変更処理を開始します %u x %u  %u bit ",
                static_cast<unsigned>(ScreenMode.width), static_cast<unsigned>(ScreenMode.height),
                static_cast<unsigned>(ScreenMode.bits));
  LogIndentIn();
  WriteLogText(line);
  int result = -1;
  if (ScreenMode.bits == 16 || ScreenMode.bits == 32) {
    WriteLogText("画面解像度を変更します... ");
    result = 0;
    if (ChangeDisplayTo(ScreenMode.width, ScreenMode.height, ScreenMode.bits,
                        ScreenMode.refreshRate, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
      ScreenMode.refreshRate = 0;
      if (ChangeDisplayTo(ScreenMode.width, ScreenMode.height, ScreenMode.bits, 0, 0) !=
          DISP_CHANGE_SUCCESSFUL) {
        result = -1;
        if (ScreenMode.width == 320 && ScreenMode.height == 240) {
          ScreenMode.width = 640;
          ScreenMode.height = 480;
          Emulate320x240Fallback = 1;
          if (ChangeDisplayTo(640, 480, ScreenMode.bits, 0, 0) == DISP_CHANGE_SUCCESSFUL) {
            ApplyWindowStyle();
            result = 0;
          }
        }
      }
    }
    WriteLogText(result == 0 ? "成功しました\n" : "画面モードの変更に失敗しました\n");
  }
  LogIndentOut();
  return result;
}

int SetDeviceDialogBoxMode(int on) {
  if (!Direct3DDevice) return 0;
  EndSceneIfActive();
  Direct3DDevice->SetDialogBoxMode(on ? TRUE : FALSE);
  return 0;
}

int ResetDialogBoxMode(HWND window) {
  if (!HardwareRendering || !Direct3DDevice) return 0;
  Direct3DDevice->SetDialogBoxMode(FALSE);
  if (window) Direct3DDevice->SetDialogBoxMode(TRUE);
  return 0;
}
