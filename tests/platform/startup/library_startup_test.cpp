// Library start-up and shutdown: the outline the log receives and the order of the steps, calls
// that find nothing to do, a start-up that fails part-way and undoes what it did, full screen
// or window, COM, desktop composition, and the fatal exit.
#include "runtime/platform/startup/library_startup.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "port/user/window_internal.h"
#include "port/win32.h"
#include "runtime/platform/core/api_lock.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/random.h"
#include "runtime/platform/files/archive_file_functions.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/startup/library_hooks.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_procedure.h"
#include "runtime/platform/window/window_state.h"
#include "runtime/sound/sound_system.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/child_process.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tools/lib/archive_writer.h"

namespace {

// What the stand-in subsystems were asked to do, in order. Each also writes a marker line to
// the log, so that the log shows where the step ran among the library's own lines.
std::vector<std::string> gCalls;
int gGraphicsResult = 0;
int gScreenWidth = 0, gScreenHeight = 0, gScreenBits = 0;  // 0: not set, as in the graphics layer
int gModeWidth = 0, gModeHeight = 0;                       // the one display mode, if any
int gSoftwareRequested = 0;
int gEmulate320x240 = 0;
std::string gDebugOutput;

void Record(const std::string& name) {
  gCalls.push_back(name);
  WriteLogText(("<" + name + ">\n").c_str());
}

// Opens a file that "data.ARC" serves and closes it again, which leaves the archive open and
// unused until something sweeps it.
void ReadFromArchive() {
  FileHandle file = OpenStreamFile("data\\note.txt", 0, 0, 0);
  if (file) CloseStreamFile(file);
}

void InstallStandIns() {
  LibraryHooks.buildYuvTables = [] { Record("buildYuvTables"); };
  LibraryHooks.hasDisplayModeOfSize = [](int w, int h) {
    return w == gModeWidth && h == gModeHeight ? 1 : 0;
  };
  LibraryHooks.setScreenSize = [](int w, int h) {
    gScreenWidth = w;
    gScreenHeight = h;
    Record("setScreenSize " + std::to_string(w) + "x" + std::to_string(h));
  };
  LibraryHooks.setRestoreCallback = [](void (*callback)()) {
    Record(callback ? "setRestoreCallback" : "setRestoreCallback null");
    return 0;
  };
  LibraryHooks.initializeGraphics = [] {
    Record("initializeGraphics");
    ReadFromArchive();  // as the graphics read their shader pack
    return gGraphicsResult;
  };
  LibraryHooks.setDrawTarget = [](int target) {
    Record("setDrawTarget " + std::to_string(target));
    return 0;
  };
  LibraryHooks.initializeModelSystem = [] {
    Record("initializeModelSystem");
    return 0;
  };
  LibraryHooks.terminateModelSystem = [] {
    Record("terminateModelSystem");
    return 0;
  };
  LibraryHooks.terminateGraphics = [] {
    Record("terminateGraphics");
    return 0;
  };
  LibraryHooks.deleteAllSoftImages = [] {
    Record("deleteAllSoftImages");
    return 0;
  };
  WindowHooks.getScreenSize = [](int* w, int* h) {
    *w = gScreenWidth;
    *h = gScreenHeight;
  };
  WindowHooks.getScreenBitDepth = [] { return gScreenBits; };
  WindowHooks.softwareRenderingRequested = [] { return gSoftwareRequested; };
  WindowHooks.setEmulate320x240 = [](int flag) { gEmulate320x240 = flag; };
}

const char* const kLibraries[] = {"ws2_32.dll",   "Imm32.dll",  "winmm.dll", "ole32.dll",
                                  "comctl32.dll", "dwmapi.dll", "User32.dll"};

std::vector<int> LibraryLoadCounts() {
  std::vector<int> counts;
  for (const char* name : kLibraries) counts.push_back(PortModuleLoadCount(name));
  return counts;
}

int ThreadCount() {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    ++n;
  return n;
}

// Threads that ended may take a moment to leave the process.
int SettledThreadCount(int expected) {
  int n = ThreadCount();
  for (int i = 0; i < 200 && n != expected; ++i) {
    Sleep(10);
    n = ThreadCount();
  }
  return n;
}

void DrainMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
}

// The log's lines as (indent, text), without their stamps.
struct LogLine {
  int indent;
  std::string text;
};

std::vector<LogLine> SplitLog(const std::string& contents) {
  std::vector<LogLine> lines;
  for (const std::string& line : SplitLogLines(contents)) {
    size_t colon = line.find(':');
    size_t text = colon == std::string::npos ? 0 : colon + 1;
    int indent = 0;
    while (text < line.size() && line[text] == '\t') ++indent, ++text;
    lines.push_back({indent, line.substr(text)});
  }
  return lines;
}

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

class LibraryStartup : public testing::Test {
 protected:
  TempFolder folder;
  ScopedCurrentDirectory cwd{folder.path()};
  const std::string title = "StartupTest-" + std::to_string(getpid());

  void SetUp() override {
    ASSERT_TRUE(PortEnsureVideo()) << SDL_GetError();
    WindowState = {};
    WindowHooks = {};
    LibraryHooks = {};
    gCalls.clear();
    gGraphicsResult = 0;
    gScreenWidth = gScreenHeight = gScreenBits = 0;
    gModeWidth = gModeHeight = 0;
    gSoftwareRequested = gEmulate320x240 = 0;
    gDebugOutput.clear();
    InstallStandIns();
    SetWindowTitleText(title.c_str());
    WindowState.windowModeFlag = 1;
    folder.MakeDirectory("data");
    ArchiveWriterEntry note;
    note.path = "note.txt";
    note.data = {'h', 'i'};
    WriteFileBytes(folder.path() + "/data.ARC", BuildArchiveImage({note}));
  }

  void TearDown() override {
    EndLibrary();
    DrainMessages();
    UnregisterClassA(title.c_str(), nullptr);
    PortSetDebugOutputHook(nullptr);
    PortResetComSwitches();
    PortResetModuleSwitches();
    PortResetDirectInputSwitches();
    PortSetDesktopColorBits(0);
    PortResetDesktopComposition();
    CloseUnusedArchives();
    SetLogDirectory("");
    WindowState = {};
    WindowHooks = {};
    LibraryHooks = {};
  }
};

TEST_F(LibraryStartup, LogsTheOutlineInOrderThenTheShutdownAndEndsWithTheLeakDump) {
  LogCapture log;
  const std::vector<int> loadsBefore = LibraryLoadCounts();
  ASSERT_EQ(InitLibrary(), 0);
  EXPECT_EQ(gSystemState.initialised, 1);
  EXPECT_EQ(gSystemState.startupInProgress, 0);
  for (int count : LibraryLoadCounts()) EXPECT_GE(count, 1);

  // The title given before start-up is the window's text and its class name.
  HWND window = GetMainWindowHandle();
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  EXPECT_EQ(text, title);
  EXPECT_EQ(FindWindowA(title.c_str(), nullptr), window);
  // The input method was switched off through the library table, and is on again afterwards.
  EXPECT_EQ(WINNLSEnableIME(window, FALSE), FALSE);

  // The program wanders off into a sub-folder and reads from an archive meanwhile.
  folder.MakeDirectory("sub");
  ASSERT_EQ(CurrentFileFunctions.SetDirectory("sub"), 0);
  ReadFromArchive();
  ASSERT_EQ(GetArchiveSlotCount(), 1);

  ASSERT_EQ(EndLibrary(), 0);
  EXPECT_EQ(gSystemState.initialised, 0);
  EXPECT_EQ(WINNLSEnableIME(nullptr, TRUE), TRUE);
  EXPECT_EQ(IsApiLockCreated(), 0);
  EXPECT_EQ(LibraryLoadCounts(), loadsBefore);
  EXPECT_EQ(GetArchiveSlotCount(), 0);
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(folder.path()));
  EXPECT_EQ(FindWindowA(title.c_str(), nullptr), nullptr);

  EXPECT_EQ(gCalls, (std::vector<std::string>{
                        "buildYuvTables", "setRestoreCallback null", "initializeGraphics",
                        "setDrawTarget -2", "setDrawTarget -4", "initializeModelSystem",
                        "terminateModelSystem", "terminateGraphics", "deleteAllSoftImages"}));

  // The file begins where the log was started: what ran before went with the old file. A line
  // ending in an unfinished text carries the next text on (the clock choice ends with a space).
  const std::vector<LogLine> lines = SplitLog(log.Contents());
  const LogLine outline[] = {
      {0, "システムの情報を出力します"},
      {1, "ＴＡＲＮＵ Ver3.05"},
      {1, "論理プロセッサの数 : "},
      {1, "ＯＳ  Windows"},
      {0, "<setRestoreCallback null>"},
      {0, "ＣＯＭの初期化... 成功しました"},
      {0, "メモリ総量:"},
      {0, "ソフトの二重起動検査... 二重起動はされていませんでした"},
      {0, "ウインドウクラスを登録します... 登録に成功しました"},
      {0, "ウインドウモード起動用のウインドウを作成します"},
      {0, "ウインドウの作成に成功しました"},
      {0, "ＩＭＥを無効にしました"},
      {0, "DirectInput関係初期化処理"},
      {0, "DirectInput 関連の初期化は正常に終了しました"},
      {0, "DirectSound の初期化を行います"},
      {0, "DirectSound の初期化は正常に終了しました"},
      {0, "<initializeGraphics>"},
      {0, "文字コードバッファの初期化を行います... 完了しました"},
      {0, "<setDrawTarget -2>"},
      {0, "<setDrawTarget -4>"},
      {0, "<initializeModelSystem>"},
      {0, "<terminateModelSystem>"},
      {0, "<terminateGraphics>"},
      {0, "DirectInput 関連の終了処理... 完了"},
      {0, "DirectSound の終了処理は正常に終了しました"},
      {0, "ウインドウを閉じようとしています"},
      {0, "ウインドウが破棄されようとしています"},
      {0, "ソフトを終了する準備が整いました"},
      {0, "ＣＯＭを終了... 完了"},
      {0, "<deleteAllSoftImages>"},
      {0, "Alloc memory dump"},
  };
  ASSERT_EQ(lines.front().text, "システムの情報を出力します");
  size_t at = 0;
  for (const LogLine& expected : outline) {
    while (at < lines.size() &&
           !(lines[at].indent == expected.indent && Contains(lines[at].text, expected.text)))
      ++at;
    ASSERT_LT(at, lines.size()) << "missing or out of order: " << expected.text;
    ++at;
  }
  // Nothing but the dump follows its heading: blocks, the totals and the closing empty line.
  ASSERT_GE(lines.size(), at + 2);
  for (size_t i = at; i + 2 < lines.size(); ++i)
    EXPECT_EQ(lines[i].text.rfind("size:", 0), 0u) << lines[i].text;
  EXPECT_EQ(lines[lines.size() - 2].text.rfind("Total size:", 0), 0u);
  EXPECT_EQ(lines.back().text, "");
}

TEST_F(LibraryStartup, CallsThatFindNothingToDoWriteNothing) {
  TempFolder logFolder;
  SetLogOutput(1);
  ASSERT_EQ(SetLogDirectory(logFolder.WindowsPath().c_str()), 0);
  // The end of a library that never started: no file, no step, no lock.
  EXPECT_EQ(EndLibrary(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(logFolder.path()));
  EXPECT_TRUE(gCalls.empty());
  EXPECT_EQ(IsApiLockCreated(), 0);

  ASSERT_EQ(InitLibrary(), 0);
  const std::string afterStart = logFolder.ReadFile("Log.txt");
  const size_t callsAfterStart = gCalls.size();
  EXPECT_EQ(InitLibrary(), 0);
  EXPECT_EQ(logFolder.ReadFile("Log.txt"), afterStart);
  EXPECT_EQ(gCalls.size(), callsAfterStart);

  ASSERT_EQ(EndLibrary(), 0);
  const std::string afterEnd = logFolder.ReadFile("Log.txt");
  EXPECT_TRUE(Contains(afterEnd, "Alloc memory dump"));
  const size_t callsAfterEnd = gCalls.size();
  EXPECT_EQ(EndLibrary(), 0);
  EXPECT_EQ(logFolder.ReadFile("Log.txt"), afterEnd);
  EXPECT_EQ(gCalls.size(), callsAfterEnd);
}

TEST_F(LibraryStartup, WithTheLogOffARunWritesNoFile) {
  SetLogOutput(0);
  ASSERT_EQ(InitLibrary(), 0);
  ASSERT_EQ(EndLibrary(), 0);
  SetLogOutput(1);
  EXPECT_FALSE(folder.Exists("Log.txt"));
}

HWND gForeignWindow = nullptr;

// Another program's window of the same class, as far as the library can tell.
void OpenForeignWindow(const char* className) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = className;
  RegisterClassExA(&wc);
  gForeignWindow = CreateWindowExA(0, className, "other", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                   nullptr, nullptr);
}

void CloseForeignWindow(const char* className) {
  DestroyWindow(gForeignWindow);
  DrainMessages();
  UnregisterClassA(className, nullptr);
  gForeignWindow = nullptr;
}

TEST_F(LibraryStartup, AFailedStartUndoesExactlyWhatItDidAndCanBeRetried) {
  struct Case {
    const char* name;
    void (*arrange)(const char* title);
    void (*clear)(const char* title);
    std::vector<std::string> calls;  // the stand-ins asked, up to the failure and in the undoing
    std::vector<const char*> logLines;
    bool windowStepRan;
    bool comStarted;
    bool soundStarted;
    const char* userLine;  // the player's line on standard error, after the title
  } cases[] = {
      {"24-bit desktop in a window",
       [](const char*) { PortSetDesktopColorBits(24); },
       [](const char*) { PortSetDesktopColorBits(0); },
       {"buildYuvTables"},
       {"ＴＡＲＮＵは２４ビットカラーモードに対応していません"},
       false,
       false,
       false,
       "could not start: a 24-bit colour display is not supported (use 16 or 32 bits)"},
      {"24-bit screen",
       [](const char*) { gScreenBits = 24; },
       [](const char*) { gScreenBits = 0; },
       {"buildYuvTables"},
       {"ＴＡＲＮＵは２４ビットカラーモードに対応していません"},
       false,
       false,
       false,
       "could not start: a 24-bit colour display is not supported (use 16 or 32 bits)"},
      {"second instance",
       &OpenForeignWindow,
       &CloseForeignWindow,
       {"buildYuvTables", "setRestoreCallback null"},
       {"二重起動されています、ソフトを終了します"},
       true,
       true,
       false,
       "another copy is already running (only one can run at a time); this one ends"},
      {"input refuses",
       [](const char*) {
         PortSetDirectInputCallFails(PortDiCall::SetEventNotification, PortDiDevice::Keyboard, 0,
                                     1);
       },
       [](const char*) { PortResetDirectInputSwitches(); },
       {"buildYuvTables", "setRestoreCallback null"},
       {"キーボードイベントのセットアップが失敗しました", "ウインドウが破棄されようとしています"},
       true,
       true,
       false,
       "could not start: the keyboard and joypad input did not start"},
      {"graphics refuses",
       [](const char*) { gGraphicsResult = -1; },
       [](const char*) { gGraphicsResult = 0; },
       {"buildYuvTables", "setRestoreCallback null", "initializeGraphics"},
       {"DirectInput 関連の終了処理... 完了", "DirectSound の終了処理は正常に終了しました",
        "ウインドウが破棄されようとしています"},
       true,
       true,
       true,
       "could not start: the graphics (display) did not start"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture log;
    gCalls.clear();
    WindowState.windowModeFlag = 1;
    const std::vector<int> loadsBefore = LibraryLoadCounts();
    const int comBefore = PortComInitCount();
    const int threadsBefore = ThreadCount();
    const int handlesBefore = PortOpenHandleCount();
    c.arrange(title.c_str());

    testing::internal::CaptureStderr();
    EXPECT_EQ(InitLibrary(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), title + ": " + c.userLine + "\n");
    EXPECT_EQ(gCalls, c.calls);
    EXPECT_EQ(gSystemState.initialised, 0);
    EXPECT_EQ(gSystemState.startupInProgress, 0);
    EXPECT_EQ(gSystemState.shutdownInProgress, 0);
    EXPECT_EQ(IsApiLockCreated(), 0);
    EXPECT_EQ(LibraryLoadCounts(), loadsBefore);
    EXPECT_EQ(PortComInitCount(), comBefore);
    EXPECT_EQ(GetArchiveSlotCount(), 0);
    EXPECT_EQ(SettledThreadCount(threadsBefore), threadsBefore);
    EXPECT_EQ(PortOpenHandleCount(), handlesBefore);
    EXPECT_EQ(InputState.directInput, nullptr);
    EXPECT_EQ(FindWindowA(title.c_str(), nullptr), gForeignWindow);  // the library's own is gone
    if (c.windowStepRan) { EXPECT_TRUE(SDL_IsScreenSaverEnabled()); }
    EXPECT_EQ(IsSoundStarted(), 0);
    const std::string contents = log.Contents();
    for (const char* line : c.logLines) EXPECT_TRUE(Contains(contents, line)) << line;
    EXPECT_EQ(Contains(contents, "DirectSound の初期化を行います"), c.soundStarted);
    EXPECT_EQ(Contains(contents, "ＣＯＭの初期化"), c.comStarted);
    EXPECT_EQ(Contains(contents, "ＣＯＭを終了... 完了"), c.comStarted);

    // With the cause gone, the same process starts and ends cleanly.
    c.clear(title.c_str());
    DrainMessages();
    gCalls.clear();
    EXPECT_EQ(InitLibrary(), 0);
    EXPECT_EQ(gCalls.size(), 6u);  // every start-up step ran once
    EXPECT_EQ(EndLibrary(), 0);
    EXPECT_EQ(LibraryLoadCounts(), loadsBefore);
    EXPECT_EQ(PortComInitCount(), comBefore);
    DrainMessages();
  }
}

TEST_F(LibraryStartup, FullScreenNeedsADisplayModeOfTheScreenSizeExceptAt320x240) {
  struct Case {
    int screenWidth, screenHeight;
    int modeWidth, modeHeight;
    int softwareRequested;
    int windowed;   // after start-up
    int emulate;    // the 320 x 240 emulation flag set
    int sizeAfter;  // the screen width after start-up
  } cases[] = {
      {0, 0, 0, 0, 0, 1, 0, 0},            // no mode of 640 x 480: a window
      {0, 0, 640, 480, 0, 0, 0, 0},        // full screen
      {320, 240, 0, 0, 0, 0, 1, 640},      // emulated at 640 x 480 without a mode of its own
      {320, 240, 0, 0, 1, 1, 0, 320},      // unless software rendering was asked for
      {320, 240, 320, 240, 1, 0, 1, 640},  // with a mode: full screen, still emulated
  };
  PortSetDebugOutputHook([](const char* text) { gDebugOutput += text; });
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.screenWidth << "x" << c.screenHeight << " mode " << c.modeWidth << "x"
                 << c.modeHeight << " software " << c.softwareRequested);
    LogCapture log;
    gScreenWidth = c.screenWidth;
    gScreenHeight = c.screenHeight;
    gModeWidth = c.modeWidth;
    gModeHeight = c.modeHeight;
    gSoftwareRequested = c.softwareRequested;
    gEmulate320x240 = 0;
    gDebugOutput.clear();
    WindowState.windowModeFlag = 0;
    PortSetDesktopColorBits(c.windowed ? 32 : 24);  // a 24-bit desktop matters only for a window

    ASSERT_EQ(InitLibrary(), 0);
    EXPECT_EQ(QueryWindowedMode(), c.windowed);
    EXPECT_EQ(gEmulate320x240, c.emulate);
    EXPECT_EQ(gScreenWidth, c.sizeAfter);
    EXPECT_EQ(Contains(gDebugOutput, "ChangeWindowMode実行 \r\n"), c.windowed == 1);
    EXPECT_TRUE(Contains(log.Contents(), c.windowed
                                             ? "ウインドウモード起動用のウインドウを作成します"
                                             : "フルスクリーンモード用のウインドウを作成します"));
    ASSERT_EQ(EndLibrary(), 0);
    DrainMessages();
  }
}

TEST_F(LibraryStartup, AFailedComStartIsLoggedAndNotEndedAtShutdown) {
  struct Case {
    const char* name;
    void (*arrange)();
    const char* line;
    int held;  // CoInitialize calls the library holds while it runs
  } cases[] = {
      {"CoInitialize succeeds", [] {}, "ＣＯＭの初期化... 成功しました", 1},
      {"CoInitialize fails", [] { PortSetCoInitializeFails(true); },
       "ＣＯＭの初期化... ＣＯＭの初期化に失敗しました", 0},
      {"no ole32", [] { PortSetModuleAbsent("ole32.dll", true); },
       "ＣＯＭの初期化... ＣＯＭの初期化に失敗しました", 0},
  };
  // The test holds COM itself, so an unmatched CoUninitialize in the shutdown would show.
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture log;
    c.arrange();
    ASSERT_EQ(InitLibrary(), 0);
    EXPECT_EQ(gSystemState.comInitialised, c.held);
    EXPECT_EQ(PortComInitCount(), 1 + c.held);
    ASSERT_EQ(EndLibrary(), 0);
    EXPECT_EQ(PortComInitCount(), 1);
    EXPECT_TRUE(Contains(log.Contents(), std::string(c.line) + "\r\n"));
    EXPECT_EQ(Contains(log.Contents(), "ＣＯＭを終了... 完了\r\n"), c.held == 1);
    PortResetComSwitches();
    PortResetModuleSwitches();
    DrainMessages();
  }
  CoUninitialize();
}

TEST_F(LibraryStartup, DesktopCompositionIsPassedOnOnlyWhenItChanges) {
  SetDesktopComposition(0);  // before start-up: remembered only
  EXPECT_EQ(PortDesktopCompositionCallCount(), 0);
  ASSERT_EQ(InitLibrary(), 0);
  struct Step {
    void (*call)();
    int calls;
    int lastAction;
  } steps[] = {
      {[] { SetDesktopComposition(0); }, 0, -1},  // equals the remembered wish
      {[] { SetDesktopComposition(1); }, 1, 1},
      {[] { SetDesktopComposition(1); }, 1, 1},
      {[] { WindowHooks.restoreDesktopComposition(); }, 1, 1},  // it is on
      {[] { SetDesktopComposition(0); }, 2, 0},
      {[] { WindowHooks.restoreDesktopComposition(); }, 3, 1},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].call();
    EXPECT_EQ(PortDesktopCompositionCallCount(), steps[i].calls) << "step " << i;
    EXPECT_EQ(PortDesktopCompositionLastAction(), steps[i].lastAction) << "step " << i;
  }
  ASSERT_EQ(EndLibrary(), 0);
  SetDesktopComposition(0);  // dwmapi is gone again
  EXPECT_EQ(PortDesktopCompositionCallCount(), 3);
  SetDesktopComposition(1);
}

TEST_F(LibraryStartup, TheWindowReachesThePlatformsOwnServices) {
  LogCapture log;
  RandomState.seeded = 0;
  ASSERT_EQ(InitLibrary(), 0);
  EXPECT_EQ(RandomState.seeded, 1);  // seeded from the clock at window creation
  SendMessageA(GetMainWindowHandle(), kSocketEventMessage, 1234, 1);
  EXPECT_TRUE(Contains(log.Contents(), "通信エラー No.1\r\n"));
}

// Run as a child: start the library with its log in the given folder, then end through
// AbortWithLog, either once the library runs or from inside the input step of its start-up
// (a keyboard that cannot be had is fatal there).
TEST(LibraryAbort, DISABLED_Child) {
  if (!IsChildRunOf("LibraryAbort.DISABLED_Child"))
    GTEST_SKIP() << "runs as the child of LibraryAbort.EndsTheProcess";
  ASSERT_TRUE(PortEnsureVideo());
  ASSERT_EQ(chdir(getenv("KELVANOR_TEST_DIR")), 0);
  SetLogOutput(1);
  SetWindowTitleText(("AbortTest-" + std::to_string(getpid())).c_str());
  WindowState.windowModeFlag = 1;
  if (std::string(getenv("KELVANOR_ABORT_IN")) == "input")
    PortSetDirectInputCallFails(PortDiCall::CreateDevice, PortDiDevice::Keyboard, 0, 1);
  ASSERT_EQ(InitLibrary(), 0);
  AbortWithLog("予期せぬ画面モード変更不能現象が起きました2");
}

TEST(LibraryAbort, EndsTheProcessWithItsTextLoggedAndWhatRanShutDown) {
  struct Case {
    const char* where;
    const char* text;
  } cases[] = {
      {"running", "予期せぬ画面モード変更不能現象が起きました2"},
      {"input", "キーボードデバイスの取得に失敗しました"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    TempFolder dir;
    EXPECT_EQ(RunTestInChild(
                  "LibraryAbort.DISABLED_Child",
                  {"KELVANOR_TEST_DIR=" + dir.path(), std::string("KELVANOR_ABORT_IN=") + c.where}),
              255);
    const std::string contents = dir.ReadFile("Log.txt");
    size_t at = contents.find(std::string(c.text) + "\r\n");
    ASSERT_NE(at, std::string::npos);
    for (const char* after : {"ウインドウが破棄されようとしています\r\n",
                              "ＣＯＭを終了... 完了\r\n", "Alloc memory dump\r\n"}) {
      at = contents.find(after, at);
      EXPECT_NE(at, std::string::npos) << after;
    }
  }
}

}  // namespace
