#include <atomic>
#include <thread>
#include <vector>

#include "runtime/platform/core/clocks.h"
#include "tests/platform/window/main_window_fixture.h"

namespace {

using MessageLoop = MainWindowTest;

TEST_F(MessageLoop, SevenMessagesAreDispatchedFiveThenTwo) {
  Open();
  Settle();
  TakeAllInput();
  for (char c = 'a'; c < 'a' + 7; ++c)
    PostMessageA(WindowState.mainWindow, WM_CHAR, static_cast<WPARAM>(c), 1);
  EXPECT_EQ(ProcessWindowMessages(), 0);
  EXPECT_EQ(TakeAllInput(), "abcde");
  EXPECT_EQ(ProcessWindowMessages(), 0);
  EXPECT_EQ(TakeAllInput(), "fg");
}

TEST_F(MessageLoop, CloseDestroysTheWindowAndEveryPassAfterReturnsMinusOne) {
  Open();
  Settle();
  HWND window = WindowState.mainWindow;
  Push(WindowEvent(SDL_WINDOWEVENT_CLOSE));
  EXPECT_EQ(ProcessWindowMessages(), -1);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(WindowState.destroyed, 1);
  // Whatever comes later is not dispatched any more.
  PostMessageA(nullptr, WM_CHAR, 'x', 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ProcessWindowMessages(), -1);
  EXPECT_EQ(TakeAllInput(), "");
}

std::vector<int> gCalls;
std::atomic<int> gInactivePasses{0};

TEST_F(MessageLoop, PerFrameServicesRunInTheirOrder) {
  Open();
  Settle();
  WindowHooks.updateStreamSounds = [] { gCalls.push_back(1); };
  WindowHooks.updateSoundPositions = [] { gCalls.push_back(2); };
  WindowHooks.pollMusicPlayState = [] { gCalls.push_back(3); };
  WindowHooks.refreshKeyboardState = [] { gCalls.push_back(4); };
  WindowHooks.processJoypadVibration = [] { gCalls.push_back(5); };
  WindowHooks.pumpSocketMessages = [] { gCalls.push_back(6); };
  // The sound refill is offered on every machine: the sound layer itself skips it while its
  // service thread runs, so a thread that failed to start still leaves the streams refilled.
  for (int processors : {1, 2}) {
    gCalls.clear();
    gSystemState.logicalProcessorCount = processors;
    ProcessWindowMessages();
    EXPECT_EQ(gCalls, (std::vector<int>{1, 2, 3, 4, 5, 6})) << processors << " processors";
  }
}

TEST_F(MessageLoop, InactiveWindowSleepsUntilFocusComesBack) {
  Open();
  Settle();
  WindowHooks.drawAutoMovies = [] { ++gInactivePasses; };
  gInactivePasses = 0;
  Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  SDL_Event back = WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  int start = GetNowMilliseconds();
  std::thread other([back] {
    SDL_Delay(300);
    SDL_Event e = back;
    SDL_PushEvent(&e);
  });
  EXPECT_EQ(ProcessWindowMessages(), 0);
  int elapsed = GetNowMilliseconds() - start;
  other.join();
  EXPECT_EQ(GetWindowActiveFlag(), 1);
  EXPECT_GE(elapsed, 290);
  // Passes of about 25 ms each while inactive: at least a few, and not a busy loop.
  EXPECT_GE(gInactivePasses.load(), 3);
  EXPECT_LE(gInactivePasses.load(), elapsed / 20 + 1);
}

TEST_F(MessageLoop, WithoutAWindowThePumpOnlyReportsTheQuitFlag) {
  EXPECT_EQ(PumpWindowMessages(), 0);
  WindowState.quitSeen = 1;
  EXPECT_EQ(PumpWindowMessages(), -1);
  WaitWhileInactive();  // nothing to wait for
}

TEST_F(MessageLoop, WaitWhileInactiveReturnsOnceActive) {
  Open();
  Settle();
  Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  MSG m;  // delivered without the pump, which would wait for the focus itself
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  ASSERT_EQ(GetWindowActiveFlag(), 0);
  SDL_Event back = WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  std::thread other([back] {
    SDL_Delay(100);
    SDL_Event e = back;
    SDL_PushEvent(&e);
  });
  WaitWhileInactive();
  other.join();
  EXPECT_EQ(GetWindowActiveFlag(), 1);
}

}  // namespace
