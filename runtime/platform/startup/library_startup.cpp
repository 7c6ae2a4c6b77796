#include "runtime/platform/startup/library_startup.h"

#include <cstdlib>

#include "port/win32.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/platform/core/api_lock.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/on_screen_log.h"
#include "runtime/platform/core/random.h"
#include "runtime/platform/core/system_info.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/core/user_report.h"
#include "runtime/platform/files/archive_file_functions.h"
#include "runtime/platform/files/data_stream.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/startup/library_hooks.h"
#include "runtime/platform/startup/network.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"
#include "runtime/sound/sound_system.h"

LibraryServiceHooks LibraryHooks = {};

namespace {

constexpr int kPathBytes = 260;
// A window the platform will not destroy must not hold the shutdown forever.
constexpr int kLeftoverWindowTries = 50;

char StartDirectory[kPathBytes];
int DesktopCompositionOff = 0;  // the remembered state; composition is on until switched off

// The start-up steps that have completed. Shutdown undoes them; so does a start-up that fails
// part-way, which undoes exactly these and nothing it did not start.
struct StartupProgress {
  int startDirectoryRead;
  int windowCreated;
  int inputStarted;
  int soundStarted;
  int graphicsStarted;
};

StartupProgress Progress = {};

template <typename Hook>
void Call(Hook hook) {
  if (hook) hook();
}

// The window system reaches the services of the platform layer and of sound through its hooks;
// sound waits through the message processing, sets its device up for the desktop window and
// ends the program through the library's fatal exit.
void InstallServiceHooks() {
  InstallGraphicsHooks();
  WindowHooks.seedRandom = [](unsigned int seed) { SeedRandom(seed); };
  WindowHooks.pumpSocketMessages = [] { PumpSocketMessages(0); };
  WindowHooks.handleSocketEvent = [](WPARAM wParam, LPARAM lParam) -> LRESULT {
    return HandleSocketEvent(static_cast<int>(lParam), static_cast<SOCKET>(wParam));
  };
  WindowHooks.restoreDesktopComposition = &RestoreDesktopComposition;
  WindowHooks.updateStreamSounds = [] { RefillStreamSoundsPerFrame(); };
  WindowHooks.updateSoundPositions = [] { UpdateSoundPositions(); };
  WindowHooks.pollMusicPlayState = [] { PollMusicPlayState(); };
  WindowHooks.handleMciNotify = [](WPARAM, LPARAM) { HandleMciNotify(); };
  SetSoundPlatformLinks(SoundPlatformLinks{&GetDesktopWindow, &PumpWindowMessages, &AbortWithLog});
}

// Full screen needs a display mode of the screen size; without one the library starts in a
// window, except for 320 x 240, which is shown at 640 x 480 unless software rendering was asked
// for.
void ChooseFullScreenOrWindow() {
  if (QueryWindowedMode()) return;
  int width, height;
  GetHookedScreenSize(&width, &height);
  const bool small = width == 320 && height == 240;
  const bool software =
      WindowHooks.softwareRenderingRequested && WindowHooks.softwareRenderingRequested();
  const bool available =
      LibraryHooks.hasDisplayModeOfSize && LibraryHooks.hasDisplayModeOfSize(width, height);
  if (!available && !(small && !software)) ChangeWindowMode(1);
  if (!QueryWindowedMode() && small) {
    if (WindowHooks.setEmulate320x240) WindowHooks.setEmulate320x240(1);
    if (LibraryHooks.setScreenSize) LibraryHooks.setScreenSize(640, 480);
  }
}

void ReadStartDirectory() {
  StartDirectory[0] = '\0';
  if (CurrentFileFunctions.GetDirectory && CurrentFileFunctions.GetDirectory(StartDirectory) != 0)
    StartDirectory[0] = '\0';
  Progress.startDirectoryRead = StartDirectory[0] != '\0';
  if (GetLogDirectory()[0] == '\0' && Progress.startDirectoryRead) SetLogDirectory(StartDirectory);
}

// A 24-bit desktop cannot hold a window of the library's screen, and a 24-bit screen is not
// supported at all.
bool IsTwentyFourBitColour() {
  int desktopBits = 0;
  GetDesktopMetrics(nullptr, nullptr, &desktopBits);
  return (desktopBits == 24 && QueryWindowedMode()) || GetHookedScreenBitDepth() == 24;
}

void StartCom() {
  if (gSystemState.comInitialised) return;
  WriteLogText("ＣＯＭの初期化... ");
  // Without ole32 there is no COM to start: the same as a refusal.
  HRESULT result =
      RuntimeLibraries.ole32.CoInitialize ? RuntimeLibraries.ole32.CoInitialize(nullptr) : E_FAIL;
  if (FAILED(result)) {
    WriteLogText("ＣＯＭの初期化に失敗しました\n");
    return;
  }
  WriteLogText("成功しました\n");
  gSystemState.comInitialised = 1;
}

void EndCom() {
  if (!gSystemState.comInitialised) return;
  RuntimeLibraries.ole32.CoUninitialize();
  WriteLogText("ＣＯＭを終了... 完了\n");
  gSystemState.comInitialised = 0;
}

// After the window was asked to close: let it finish, then make sure no window of the class is
// left as the main window.
void FinishWindowEnd() {
  while (PumpWindowMessages() == 0 && !WindowState.quitSeen && !WindowState.destroyed) {}
  UnregisterClassA(WindowState.className, WindowState.moduleInstance);
  for (int i = 0; i < kLeftoverWindowTries; ++i) {
    HWND leftover = FindWindowA(WindowState.className, nullptr);
    if (!leftover || leftover != WindowState.mainWindow) break;
    DestroyWindow(leftover);
    Sleep(100);
  }
}

// Shutdown of a running library, and the undoing of a start-up that failed part-way: the
// steps paired with start-up run only when their start-up step completed.
void RunShutdownSequence() {
  const bool running = gSystemState.initialised != 0;
  if (!running && !gSystemState.startupInProgress) return;
  gSystemState.shutdownInProgress = 1;
  if (running) {
    EndOnScreenLog();
    TerminateNetwork();
    StopFileMusic();
    Call(LibraryHooks.terminateModelSystem);
  }
  if (Progress.graphicsStarted) Call(LibraryHooks.terminateGraphics);
  if (Progress.inputStarted) ReleaseInputDevices();
  if (Progress.soundStarted) ShutdownSound();
  if (Progress.windowCreated) DestroyMainWindow();
  EndCom();
  if (running) Call(LibraryHooks.deleteAllSoftImages);
  gSystemState.initialised = 0;
  if (Progress.windowCreated) FinishWindowEnd();
  if (Progress.startDirectoryRead && CurrentFileFunctions.SetDirectory)
    CurrentFileFunctions.SetDirectory(StartDirectory);
  CloseUnusedArchives();
  DumpTrackedBlocks();
  FreeRuntimeLibraries();
  Progress = {};
  gSystemState.shutdownInProgress = 0;
}

int FailStartup() {
  RunShutdownSequence();
  gSystemState.startupInProgress = 0;
  return -1;
}

int RunStartupSequence() {
  if (gSystemState.initialised) return 0;
  gSystemState.startupInProgress = 1;
  InstallServiceHooks();
  LoadStartupLibraries();
  ChooseFullScreenOrWindow();
  Call(LibraryHooks.buildYuvTables);
  CloseUnusedArchives();
  SetFileFunctionTable(nullptr);
  ReadStartDirectory();
  StartLogFile();
  if (IsTwentyFourBitColour()) {
    WriteLogText("ＴＡＲＮＵは２４ビットカラーモードに対応していません\n");
    ReportToUser("could not start: a 24-bit colour display is not supported (use 16 or 32 bits)");
    return FailStartup();
  }
  DetectPerformanceCounter();
  LogSystemInformation();
  InitStreamFunctionTables();
  LoadDisplayLibraries();
  if (LibraryHooks.setRestoreCallback) LibraryHooks.setRestoreCallback(nullptr);
  StartCom();

  if (CreateMainWindow() < 0) return FailStartup();
  Progress.windowCreated = 1;
  if (InitInputDevices() < 0) {
    ReportToUser("could not start: the keyboard and joypad input did not start");
    return FailStartup();
  }
  Progress.inputStarted = 1;
  InitSound();  // a machine without sound runs on without it
  Progress.soundStarted = 1;
  if (LibraryHooks.initializeGraphics && LibraryHooks.initializeGraphics() < 0) {
    ReportToUser("could not start: the graphics (display) did not start");
    return FailStartup();
  }
  Progress.graphicsStarted = 1;
  InitTextInput();

  gSystemState.initialised = 1;
  if (!QueryWindowedMode()) BringWindowToFront(GetMainWindowHandle(), 1);
  InitOnScreenLog();
  if (LibraryHooks.setDrawTarget) {
    LibraryHooks.setDrawTarget(-2);
    LibraryHooks.setDrawTarget(-4);
  }
  Call(LibraryHooks.initializeModelSystem);
  gSystemState.startupInProgress = 0;
  return 0;
}

}  // namespace

int InitLibrary() {
  if (gSystemState.initialised) return 0;
  EnterApiLock();
  const int result = RunStartupSequence();
  LeaveApiLock();
  if (result != 0) FreeApiLock();
  return result;
}

int EndLibrary() {
  if (!gSystemState.initialised) return 0;
  EnterApiLock();
  RunShutdownSequence();
  LeaveApiLock();
  FreeApiLock();
  return 0;
}

void AbortWithLog(const char* text) {
  WriteLogText(text ? text : "");
  WriteLogText("\n");
  ReportToUser("stopped on a fatal error inside the runtime library");
  // An abort from inside the shutdown must not start it over.
  if (!gSystemState.shutdownInProgress) RunShutdownSequence();
  FreeApiLock();
  std::exit(-1);
}

int SetDesktopComposition(int flag) {
  const int off = flag == 0 ? 1 : 0;
  if (RuntimeLibraries.dwmapi.DwmEnableComposition && off != DesktopCompositionOff)
    RuntimeLibraries.dwmapi.DwmEnableComposition(off ? DWM_EC_DISABLECOMPOSITION
                                                     : DWM_EC_ENABLECOMPOSITION);
  DesktopCompositionOff = off;
  return 0;
}

void RestoreDesktopComposition() {
  if (DesktopCompositionOff) SetDesktopComposition(1);
}
