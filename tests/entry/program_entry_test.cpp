// The program entry: WinMain's result as the process ends with it, in this process and as the
// game executable run headless on the data kit until an interrupt closes its window.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "port/kernel/module_table.h"
#include "port/user/user32.h"
#include "runtime/platform/startup/game_entry.h"
#include "runtime/platform/startup/system_state.h"
#include "stg_src/game_state.h"
#include "tests/support/child_process.h"
#include "tests/support/input_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tools/datakit/kit_build.h"

// The sanitizer options that every test program's main builds in.
extern "C" const char* __asan_default_options();
extern "C" const char* __lsan_default_suppressions();

namespace {

int RunWinMain() {
  return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWDEFAULT);
}

// WinMain takes the game's own window class, which the library refuses to a second process of
// this user: it runs in a child, one at a time with the other game tests. A game this user runs
// elsewhere holds the class too, and the double-start check rightly ends the one started here.
bool GameRunsElsewhere() { return FindWindowA("KELVANOR", nullptr) != nullptr; }
constexpr const char* kGameRunsElsewhere =
    "a KELVANOR game of this user is running; the double-start check would end the one this test "
    "starts";

TEST(ProgramEntry, WinMainGives0AtTheLoopsEndAndMinus1WhenTheLibraryDoesNotStart) {
  if (GameRunsElsewhere()) GTEST_SKIP() << kGameRunsElsewhere;
  EXPECT_EQ(RunTestInChild("ProgramEntry.DISABLED_WinMain"), 0);
}

TEST(ProgramEntry, DISABLED_WinMain) {
  if (!IsChildRunOf("ProgramEntry.DISABLED_WinMain")) GTEST_SKIP();
  TempFolder folder;
  folder.MakeDirectory("Option");
  ScopedCurrentDirectory directory(folder.path());
  PortSetMessageBoxAnswer(IDNO);

  PortSetDesktopColorBits(24);  // the library refuses a 24-bit desktop, and says so
  ResetGameState();
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunWinMain(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KELVANOR: could not start: a 24-bit colour display is not supported (use 16 or 32 "
            "bits)\n");
  PortSetDesktopColorBits(0);
  EXPECT_FALSE(folder.Exists("Option/savess.dat"));

  // Esc held from the start: the first frame's quit test ends the loop, and the exit
  // sequence runs.
  ReleaseHeldKeys();
  PushKey(SDL_SCANCODE_ESCAPE, true);
  ResetGameState();
  EXPECT_EQ(RunWinMain(), 0);
  EXPECT_EQ(gSystemState.initialised, 0);
  EXPECT_EQ(folder.ReadFile("Option/savess.dat"), "0\r\n");
  PushKey(SDL_SCANCODE_ESCAPE, false);
}

// The game executable in a fresh kit folder, headless as every test runs (the environment
// passes on): it starts, runs its frames, and an interrupt (which closes the window) ends it
// through the exit sequence with status 0.
TEST(ProgramEntry, TheGameRunsOnTheKitAndAnInterruptEndsItCleanly) {
  // The kit's groups that the way from the boot to the title menu loads (its music and the
  // stages' sheets stay out: they take long to make here and the title does not need them).
  if (GameRunsElsewhere()) GTEST_SKIP() << kGameRunsElsewhere;
  TempFolder folder;
  std::vector<KitFile> files;
  for (const char* group : {"common", "scenes", "texts"})
    for (KitFile& f : BuildKitFiles(group, 0)) files.push_back(std::move(f));
  const KitWriteResult kit = WriteKitFiles(folder.path(), files, false);
  ASSERT_TRUE(kit.ok) << kit.error;

  // The game has no test main: it gets the test programs' sanitizer options and their list of
  // the system libraries' own leaks.
  const std::string suppressions = folder.path() + "/lsan.supp";
  folder.WriteFile("lsan.supp", __lsan_default_suppressions());
  const std::string leakOptions = "suppressions=" + suppressions;

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("ASAN_OPTIONS", __asan_default_options(), 0);
    setenv("LSAN_OPTIONS", leakOptions.c_str(), 0);
    if (chdir(folder.path().c_str()) == 0)
      execl(KELVANOR_GAME_PROGRAM, KELVANOR_GAME_PROGRAM, static_cast<char*>(nullptr));
    _exit(127);
  }
  // Running after three seconds (the boot and the logo's frames), then interrupted.
  auto ended = [child](int* status) { return waitpid(child, status, WNOHANG) == child; };
  int status = 0;
  bool early = false;
  for (int i = 0; i < 30 && !early; ++i) {
    usleep(100 * 1000);
    early = ended(&status);
  }
  ASSERT_FALSE(early) << "the game ended by itself, status " << status;
  ASSERT_EQ(kill(child, SIGINT), 0);
  bool done = false;
  for (int i = 0; i < 600 && !done; ++i) {
    usleep(100 * 1000);
    done = ended(&status);
  }
  if (!done) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the game did not end within a minute of the interrupt";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(folder.ReadFile("Option/savess.dat"), "0\r\n");
}

}  // namespace
