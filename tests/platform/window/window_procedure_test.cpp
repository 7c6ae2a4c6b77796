#include "runtime/platform/window/window_procedure.h"
#include "runtime/platform/window/cursor_and_mouse.h"
#include "tests/platform/window/main_window_fixture.h"
#include "tests/support/log_capture.h"

namespace {

using WindowProcedure = MainWindowTest;

struct SizingCase {
  const char* what;
  int capOnly;
  double rateX, rateY;  // before
  int edge;
  int proposedWidth, proposedHeight;  // client size dragged to
  int width, height;                  // client size after the rule
  double rateAfter;                   // both rates after
};

TEST(SizingRule, KeepsTheAspectOrCapsTheClientArea) {
  const SizingCase cases[] = {
      {"right edge to 800", 0, 1.0, 1.0, WMSZ_RIGHT, 800, 480, 800, 600, 1.25},
      {"left edge to 320", 0, 1.0, 1.0, WMSZ_LEFT, 320, 100, 320, 240, 0.5},
      {"bottom edge to 720", 0, 1.0, 1.0, WMSZ_BOTTOM, 640, 720, 960, 720, 1.5},
      {"corner farther down than across", 0, 1.0, 1.0, WMSZ_BOTTOMRIGHT, 700, 600, 800, 600, 1.25},
      {"corner farther across than down", 0, 1.0, 1.0, WMSZ_BOTTOMRIGHT, 960, 500, 960, 720, 1.5},
      {"cut to the desktop", 0, 1.0, 1.0, WMSZ_RIGHT, 1700, 480, 1590, 970, 1590.0 / 640},
      {"cap only: capped at 1.5", 1, 1.5, 1.5, WMSZ_BOTTOMRIGHT, 1200, 900, 960, 720, 1.5},
      {"cap only: smaller stays", 1, 1.5, 1.5, WMSZ_BOTTOMRIGHT, 500, 300, 500, 300, 1.5},
      {"cap only: desktop first", 1, 3.0, 3.0, WMSZ_RIGHT, 2000, 480, 1600 - 10, 480, 3.0},
  };
  for (const SizingCase& c : cases) {
    SizingLimits limits = {10, 30, 1600, 1000, 640, 480, c.capOnly};
    RECT r = {100, 50, 100 + 10 + c.proposedWidth, 50 + 30 + c.proposedHeight};
    double x = c.rateX, y = c.rateY;
    ApplySizingRule(c.edge, &r, limits, &x, &y);
    EXPECT_EQ(r.left, 100) << c.what;
    EXPECT_EQ(r.top, 50) << c.what;
    EXPECT_EQ(r.right - r.left - 10, c.width) << c.what;
    EXPECT_EQ(r.bottom - r.top - 30, c.height) << c.what;
    EXPECT_DOUBLE_EQ(x, c.rateAfter) << c.what;
    EXPECT_DOUBLE_EQ(y, c.rateAfter) << c.what;
  }
  // An edge code outside 1..8 only takes the rate of the width.
  SizingLimits limits = {0, 0, 1600, 1000, 640, 480, 0};
  RECT r = {0, 0, 800, 100};
  double x = 1, y = 1;
  ApplySizingRule(0, &r, limits, &x, &y);
  EXPECT_EQ(r.bottom, 100);
  EXPECT_DOUBLE_EQ(y, 1.25);
}

TEST_F(WindowProcedure, DraggingTheWindowRescalesTheScreenImage) {
  WindowState.sizableFlag = 1;
  Open();
  Settle();
  Push(WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 480));  // the right edge dragged to 800
  ProcessWindowMessages();
  RECT client;
  GetClientRect(WindowState.mainWindow, &client);
  EXPECT_EQ(client.right, 800);
  EXPECT_EQ(client.bottom, 600);
  double x, y;
  GetWindowStretchRates(&x, &y);
  EXPECT_DOUBLE_EQ(x, 1.25);
  EXPECT_DOUBLE_EQ(y, 1.25);
  EXPECT_EQ(WindowState.clientScreenRect.right - WindowState.clientScreenRect.left, 800);
}

TEST_F(WindowProcedure, MouseReadsInScreenImageCoordinates) {
  WindowState.stretchRateX = 2.0;
  WindowState.stretchRateY = 2.0;
  Open();
  Settle();
  SDL_Event e = {};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = SDL_GetWindowID(PortGetSdlWindow(WindowState.mainWindow));
  e.motion.x = 101;
  e.motion.y = 41;
  Push(e);
  ProcessWindowMessages();
  int x = -1, y = -1;
  EXPECT_EQ(GetMouseScreenPosition(&x, &y), 0);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 20);
  EXPECT_EQ(GetMouseScreenPosition(nullptr, nullptr), 0);
  RECT area;
  GetWindowClientArea(&area);
  EXPECT_EQ(area.right - area.left, 1280);
  // Full screen: the desktop position as it is.
  WindowState.windowModeFlag = 0;
  POINT p;
  GetCursorPos(&p);
  GetMouseScreenPosition(&x, &y);
  EXPECT_EQ(x, p.x);
}

TEST_F(WindowProcedure, CursorIsHiddenOnceAndReappliedOnRequest) {
  Open();
  Settle();
  SetCursorVisible(0);
  EXPECT_FALSE(PortCursorVisible());
  int count = PortCursorDisplayCount();
  EXPECT_LT(count, 0);
  SetCursorVisible(0);  // already hidden: the count stays
  EXPECT_EQ(PortCursorDisplayCount(), count);
  ShowCursor(TRUE);      // someone else shows it
  SetCursorVisible(-1);  // the wish is applied again
  EXPECT_FALSE(PortCursorVisible());
  // While hidden, mouse messages keep the cursor image away.
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  SendMessageA(WindowState.mainWindow, WM_MOUSEMOVE, 0, 0);
  EXPECT_FALSE(PortCursorVisible());
  SetCursorVisible(1);
  EXPECT_GE(PortCursorDisplayCount(), 0);
  ProcessWindowMessages();  // its WM_SETCURSOR puts the class cursor back
  EXPECT_TRUE(PortCursorVisible());
}

TEST_F(WindowProcedure, RefusesScreenSaverAndMonitorPowerOff) {
  Open();
  EXPECT_EQ(SendMessageA(WindowState.mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 1);
  EXPECT_EQ(SendMessageA(WindowState.mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 1);
  EXPECT_EQ(SendMessageA(WindowState.mainWindow, WM_SYSCOMMAND, 0xF020, 0), 0);
}

TEST_F(WindowProcedure, FullScreenWindowCannotBeDragged) {
  Open(0);
  Settle();
  RECT before;
  GetWindowRect(WindowState.mainWindow, &before);
  RECT proposed = {50, 60, 690, 540};
  SendMessageA(WindowState.mainWindow, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
  EXPECT_EQ(proposed.left, before.left);
  EXPECT_EQ(proposed.top, before.top);
  // In the top rows with hardware rendering the hit test answers the menu area.
  WindowHooks.isHardwareRendering = [] { return 1; };
  EXPECT_EQ(SendMessageA(WindowState.mainWindow, WM_NCHITTEST, 0, MAKELPARAM(100, 7)), HTMENU);
  EXPECT_EQ(SendMessageA(WindowState.mainWindow, WM_NCHITTEST, 0, MAKELPARAM(100, 8)), HTCLIENT);
}

int gResumes = 0;

TEST_F(WindowProcedure, DisplayChangeClosesWhenTheScreenCannotBeKept) {
  struct Case {
    const char* what;
    int bits, width, height;
    bool restoreCallback;
    bool closes;
  } cases[] = {
      {"24-bit colour", 24, 640, 480, true, true},
      {"8-bit colour", 8, 640, 480, true, true},
      {"smaller screen", 16, 600, 480, true, true},
      {"no restore callback", 32, 800, 600, false, true},
      {"bigger, other depth, restorable", 32, 800, 600, true, false},
      {"nothing changed", 16, 640, 480, false, false},
  };
  for (const Case& c : cases) {
    WindowState = {};
    Open();
    Settle();
    LogCapture log;
    gResumes = 0;
    WindowHooks.resumeAllMovies = [] { ++gResumes; };
    WindowHooks.hasRestoreCallback = c.restoreCallback ? +[] { return 1; } : nullptr;
    SendMessageA(WindowState.mainWindow, WM_DISPLAYCHANGE, static_cast<WPARAM>(c.bits),
                 MAKELPARAM(c.width, c.height));
    EXPECT_EQ(GetCloseRequestedFlag(), c.closes) << c.what;
    EXPECT_EQ(WindowState.displayChangeSeen, !c.closes) << c.what;
    std::string lines = log.Contents();
    bool logged =
        lines.find(
            "復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\r"
            "\n") != std::string::npos &&
        lines.find(
            "またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\r\n") !=
            std::string::npos;
    EXPECT_EQ(logged, c.closes) << c.what;
    EXPECT_EQ(gResumes, !c.closes && c.width != 640 ? 1 : 0) << c.what;
    if (c.closes) {
      // A second report does not post a second close.
      SendMessageA(WindowState.mainWindow, WM_DISPLAYCHANGE, 24, MAKELPARAM(640, 480));
      EXPECT_EQ(ProcessWindowMessages(), -1) << c.what;
    }
    WindowHooks = {};
    DestroyMainWindow();
  }
}

TEST_F(WindowProcedure, FocusLossInFullScreenWithoutRestoreCallbackCloses) {
  Open(0);
  Settle();
  LogCapture log;
  WindowHooks.hasDirectDrawObject = [] { return 1; };
  SendMessageA(WindowState.mainWindow, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(GetWindowActiveFlag(), 0);
  EXPECT_EQ(GetCloseRequestedFlag(), 1);
  EXPECT_NE(log.Contents().find("復元関数が登録されていないため終了します\r\n"), std::string::npos);
  EXPECT_EQ(ProcessWindowMessages(), -1);  // the close request ends the program
}

TEST_F(WindowProcedure, ActivationIsSkippedWhileCreating) {
  Open();
  WindowState.creating = 1;
  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(GetWindowActiveFlag(), 1);
  WindowState.creating = 0;
  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(GetWindowActiveFlag(), 0);
  SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetWindowActiveFlag(), 1);
}

TEST_F(WindowProcedure, DestroyLogsAndPostsQuit) {
  Open();
  Settle();
  LogCapture log;
  SendMessageA(WindowState.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(WindowState.destroyed, 1);
  EXPECT_EQ(GetQuitFlag(), 1);
  EXPECT_EQ(log.Contents(),
            "0:ウインドウを閉じようとしています\r\n0:ウインドウが破棄されようとしています\r\n"
            "0:ソフトを終了する準備が整いました\r\n");
  EXPECT_EQ(ProcessWindowMessages(), -1);
}

}  // namespace
