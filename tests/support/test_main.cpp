// The main of every test executable: headless SDL unless the caller chose otherwise, and the
// sanitizers' options built in, so that a test run the same way from ctest, by hand or as a
// child of another test.
#include <cstdlib>

#include <gtest/gtest.h>

extern "C" {
// Read by the sanitizers at start-up; options given in the environment still take precedence.
const char* __asan_default_options() {
  return "detect_leaks=1:strict_string_checks=1:intercept_tls_get_addr=0";
}
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
const char* __tsan_default_options() { return "halt_on_error=1:second_deadlock_stack=1"; }
// Leaks inside system libraries that the port starts once per process.
const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n"
         "leak:libX11.so\n"
         "leak:libGLX_mesa.so\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n";
}
}

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
