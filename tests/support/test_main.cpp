// The main of every test executable: headless SDL unless the caller chose otherwise.
#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
