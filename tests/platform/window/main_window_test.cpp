#include <cstring>

#include "runtime/platform/core/log.h"
#include "tests/platform/window/main_window_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/log_capture.h"

namespace {

using MainWindow = MainWindowTest;

TEST_F(MainWindow, OpensWithTheGivenTextWhichAlsoNamesTheClass) {
  LogCapture log;
  Open(1, "Kelvanor");
  std::string title = UniqueTitle("Kelvanor");
  char text[256];
  GetWindowTextA(WindowState.mainWindow, text, sizeof(text));
  EXPECT_EQ(title, text);
  EXPECT_STREQ(WindowState.className, title.c_str());
  EXPECT_EQ(FindWindowA(title.c_str(), nullptr), WindowState.mainWindow);
  EXPECT_EQ(GetMainWindowHandle(), WindowState.mainWindow);
  EXPECT_EQ(GetWindowActiveFlag(), 1);
  EXPECT_EQ(SDL_GetWindowFlags(PortGetSdlWindow(WindowState.mainWindow)) & SDL_WINDOW_SHOWN,
            Uint32{SDL_WINDOW_SHOWN});
  std::string lines = log.Contents();
  for (const char* expected : {"ソフトの二重起動検査... 二重起動はされていませんでした\r\n",
                               "ウインドウクラスを登録します... 登録に成功しました\r\n",
                               "ウインドウモード起動用のウインドウを作成します\r\n",
                               "ウインドウの作成に成功しました\r\n", "ＩＭＥを無効にしました\r\n",
                               "ウインドウスタイルをウインドウモード用に変更します... 完了\r\n"})
    EXPECT_NE(lines.find(expected), std::string::npos) << expected;
}

TEST_F(MainWindow, WithoutATextUsesTheDefaults) {
  WindowState.windowModeFlag = 1;
  ASSERT_EQ(CreateMainWindow(), 0);
  char text[256];
  GetWindowTextA(WindowState.mainWindow, text, sizeof(text));
  EXPECT_STREQ(text, "Tarnu");
  EXPECT_STREQ(WindowState.className, "V123987A");
  EXPECT_EQ(FindWindowA("V123987A", nullptr), WindowState.mainWindow);
}

TEST_F(MainWindow, WindowModeClientIsTheScreenTimesTheRatesAndCentred) {
  struct Case {
    double rateX, rateY;
    int width, height;
  } cases[] = {
      {1.0, 1.0, 640, 480}, {1.5, 1.5, 960, 720}, {0.0, -2.0, 640, 480}, {2.0, 1.5, 1280, 720}};
  int desktopW, desktopH;
  GetDesktopMetrics(&desktopW, &desktopH, nullptr);
  for (const Case& c : cases) {
    WindowState = {};
    WindowState.stretchRateX = c.rateX;
    WindowState.stretchRateY = c.rateY;
    Open();
    RECT client, window;
    GetClientRect(WindowState.mainWindow, &client);
    GetWindowRect(WindowState.mainWindow, &window);
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(client.bottom, c.height);
    // Centred on the desktop, unless that puts the client area off its left edge.
    int centred = (desktopW - (window.right - window.left)) / 2;
    int frameLeft = ((window.right - window.left) - c.width) / 2;
    EXPECT_EQ(window.left, centred + frameLeft >= 0 ? centred : -frameLeft);
    EXPECT_EQ(WindowState.clientScreenRect.right - WindowState.clientScreenRect.left, c.width);
    DestroyMainWindow();
  }
}

TEST_F(MainWindow, FullScreenCoversTheScreenWithoutCursor) {
  LogCapture log;
  Open(0);
  RECT window;
  GetWindowRect(WindowState.mainWindow, &window);
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(window.right, 640);
  EXPECT_EQ(window.bottom, 480);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(WindowState.mainWindow, GWL_STYLE)) & ~WS_VISIBLE,
            WS_POPUP);
  EXPECT_FALSE(PortCursorVisible());
  EXPECT_NE(log.Contents().find("フルスクリーンモード用のウインドウを作成します\r\n"),
            std::string::npos);
  EXPECT_NE(log.Contents().find("カーソルを不可視にしました\r\n"), std::string::npos);
  double x, y;
  WindowState.stretchRateX = 2.0;
  EXPECT_EQ(GetWindowStretchRates(&x, &y), 1.0);  // full screen reads 1.0
  EXPECT_EQ(y, 1.0);
}

// Run as a child: a second copy of the program with the parent's title must refuse to start.
TEST_F(MainWindow, DISABLED_ChildSecondInstanceIsRefused) {
  if (!IsChildRunOf("MainWindow.DISABLED_ChildSecondInstanceIsRefused"))
    GTEST_SKIP() << "runs as the child of MainWindow.SecondProcessWithTheSameClassIsRefused";
  LogCapture log;
  WindowState.windowModeFlag = 1;
  SetWindowTitleText(getenv("KELVANOR_TEST_TITLE"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(CreateMainWindow(), -1);
  // The log is the runtime's; the player, with the log off, reads standard error.
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            std::string(getenv("KELVANOR_TEST_TITLE")) +
                ": another copy is already running (only one can run at a time); this one ends\n");
  EXPECT_EQ(GetQuitFlag(), 1);
  EXPECT_EQ(WindowState.mainWindow, nullptr);
  EXPECT_NE(
      log.Contents().find("ソフトの二重起動検査... 二重起動されています、ソフトを終了します\r\n"),
      std::string::npos);
  EXPECT_EQ(ProcessWindowMessages(), -1);
}

TEST_F(MainWindow, SecondProcessWithTheSameClassIsRefused) {
  Open(1, "SecondInstance");
  std::string env = "KELVANOR_TEST_TITLE=" + UniqueTitle("SecondInstance");
  EXPECT_EQ(RunTestInChild("MainWindow.DISABLED_ChildSecondInstanceIsRefused", {env}), 0);
}

TEST_F(MainWindow, ChangeWindowModeBeforeStartUpOnlyStoresTheFlag) {
  LogCapture log;
  EXPECT_EQ(ChangeWindowMode(1), 0);
  EXPECT_EQ(QueryWindowedMode(), 1);
  EXPECT_EQ(ChangeWindowMode(1), 0);  // the same mode: nothing more
  EXPECT_EQ(log.Contents(),
            "0:ChangeWindowMode実行 "
            "\r\n0:ウインドウモードフラグが立てられました\r\n0:ChangeWindowMode実行 \r\n");
  EXPECT_EQ(GetMainWindowHandle(), nullptr);
}

int gAvailableModes = 0;
int gScreenChanges = 0;

TEST_F(MainWindow, ChangeWindowModeSwitchesTheRunningWindow) {
  Open(1);
  WindowHooks.isDisplayModeAvailable = [](int w, int h, int) -> int {
    return gAvailableModes && w == 640 && h == 480;
  };
  // The screen-mode change switches the display, which reports back with WM_DISPLAYCHANGE.
  WindowHooks.changeScreenModeForWindowMode = [] {
    ++gScreenChanges;
    if (QueryWindowedMode())
      return ChangeDisplaySettingsA(nullptr, 0) == DISP_CHANGE_SUCCESSFUL ? 0 : -1;
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    dm.dmPelsWidth = 640;
    dm.dmPelsHeight = 480;
    dm.dmBitsPerPel = 32;
    return ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL ? 0 : -1;
  };
  gAvailableModes = 0;
  gScreenChanges = 0;
  EXPECT_EQ(ChangeWindowMode(0), -1);  // no display mode of the screen size
  EXPECT_EQ(QueryWindowedMode(), 1);
  EXPECT_EQ(gScreenChanges, 0);

  gAvailableModes = 1;
  EXPECT_EQ(ChangeWindowMode(0), 0);
  EXPECT_EQ(QueryWindowedMode(), 0);
  EXPECT_EQ(gScreenChanges, 1);
  EXPECT_EQ(WindowState.displayChangeSeen, 1);
  EXPECT_EQ(WindowState.modeChanging, 0);
  EXPECT_TRUE(PortWindowIsFullScreen(WindowState.mainWindow));
  EXPECT_FALSE(PortCursorVisible());

  EXPECT_EQ(ChangeWindowMode(1), 0);
  EXPECT_EQ(gScreenChanges, 2);
  EXPECT_FALSE(PortWindowIsFullScreen(WindowState.mainWindow));
  RECT client;
  GetClientRect(WindowState.mainWindow, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_TRUE(PortCursorVisible());
}

TEST_F(MainWindow, TeardownClosesRestoresTheCursorAndUnregistersTheClass) {
  Open(0);
  HWND window = WindowState.mainWindow;
  EXPECT_FALSE(PortCursorVisible());
  EXPECT_EQ(DestroyMainWindow(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(WindowState.destroyed, 1);
  EXPECT_EQ(GetQuitFlag(), 1);
  EXPECT_TRUE(PortCursorVisible());
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = WindowState.className;
  EXPECT_NE(RegisterClassExA(&wc), 0);  // the name is free again
}

TEST_F(MainWindow, DesktopMetricsAndGetters) {
  int w = -1, h = -1, bits = -1;
  EXPECT_EQ(GetDesktopMetrics(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(GetDesktopMetrics(&w, nullptr, &bits), 0);
  EXPECT_EQ(w, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(bits, 32);
  // Once the library runs, the values stored at creation answer, not the live display.
  Open();
  gSystemState.initialised = 1;
  PortSetDesktopColorBits(24);
  EXPECT_EQ(GetDesktopMetrics(&w, &h, &bits), 0);
  EXPECT_EQ(bits, 32);
  EXPECT_EQ(h, GetSystemMetrics(SM_CYSCREEN));
  PortSetDesktopColorBits(0);
  gSystemState.initialised = 0;
  EXPECT_EQ(GetCloseRequestedFlag(), 0);
  EXPECT_EQ(GetRunWhenInactiveFlag(), 0);
  EXPECT_EQ(GetMmxFlag(), gSystemState.mmxFlag);
}

// Run as a child on a private X server: the window shows on a real display with its title.
TEST_F(MainWindow, DISABLED_ChildRealWindow) {
  if (!IsChildRunOf("MainWindow.DISABLED_ChildRealWindow"))
    GTEST_SKIP() << "runs as the child of MainWindow.RealWindowUnderXvfb";
  ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  Open(1, "真の窓");
  SDL_Window* sdl = PortGetSdlWindow(WindowState.mainWindow);
  ASSERT_NE(sdl, nullptr);
  std::string utf8Title = reinterpret_cast<const char*>(u8"真の窓-") + std::to_string(getpid());
  EXPECT_EQ(utf8Title, SDL_GetWindowTitle(sdl));
  EXPECT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_SHOWN);
  int w, h;
  SDL_GetWindowSize(sdl, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  Settle();
  EXPECT_EQ(ProcessWindowMessages(), 0);
  HWND window = WindowState.mainWindow;
  EXPECT_EQ(DestroyMainWindow(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(ProcessWindowMessages(), -1);
}

TEST(MainWindowProcess, RealWindowUnderXvfb) {
  XvfbDisplay display;
  if (!display.Start()) GTEST_SKIP() << "no real-window test: " << display.why();
  EXPECT_EQ(RunTestInChild("MainWindow.DISABLED_ChildRealWindow",
                           {"SDL_VIDEODRIVER=x11", "DISPLAY=" + display.name()}),
            0);
}

}  // namespace
