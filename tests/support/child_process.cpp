#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

extern char** environ;

namespace {

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::string>& environment, bool quiet) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e; ++e) {
    bool replaced = false;
    for (const std::string& mine : environment) {
      size_t eq = mine.find('=');
      if (std::strncmp(*e, mine.c_str(), eq + 1) == 0) replaced = true;
    }
    if (!replaced) envp.push_back(*e);
  }
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (quiet) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid = -1;
  int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// A filter that matches no test runs nothing and exits 0, which would pass for the child's
// success.
bool HasTest(const std::string& test) {
  const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
  for (int i = 0; i < unit.total_test_suite_count(); ++i) {
    const testing::TestSuite& suite = *unit.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j)
      if (test == std::string(suite.name()) + "." + suite.GetTestInfo(j)->name()) return true;
  }
  return false;
}

}  // namespace

int RunTestInChild(const std::string& test, const std::vector<std::string>& environment) {
  if (!HasTest(test)) {
    ADD_FAILURE() << "this program has no test " << test << " to run as a child";
    return -1;
  }
  std::vector<std::string> env = environment;
  env.push_back("KELVANOR_CHILD_TEST=" + test);
  pid_t pid = Spawn("/proc/self/exe", {"--gtest_filter=" + test, "--gtest_also_run_disabled_tests"},
                    env, false);
  if (pid < 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool IsChildRunOf(const std::string& test) {
  const char* value = std::getenv("KELVANOR_CHILD_TEST");
  return value && test == value;
}

XvfbDisplay::~XvfbDisplay() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

bool XvfbDisplay::Start() {
  const char* candidates[] = {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"};
  std::string program;
  for (const char* c : candidates)
    if (access(c, X_OK) == 0) program = c;
  if (program.empty()) {
    why_ = "Xvfb is not installed (scripts/install-deps.sh installs the xvfb package)";
    return false;
  }
  // A display number of our own: the first whose lock file does not exist.
  for (int n = 90 + getpid() % 50; n < 400; ++n) {
    std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    if (access(lock.c_str(), F_OK) == 0) continue;
    std::string display = ":" + std::to_string(n);
    pid_ = Spawn(program, {display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {}, true);
    if (pid_ < 0) break;
    std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(n);
    for (int i = 0; i < 100; ++i) {  // up to 10 s
      struct stat st;
      if (stat(socketPath.c_str(), &st) == 0) {
        name_ = display;
        return true;
      }
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      usleep(100000);
    }
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  why_ = "Xvfb did not start";
  return false;
}
