// Every test of this program makes a Direct3D device through the graphics layer, which needs
// OpenGL: SDL's offscreen driver gives it headless (Mesa's llvmpipe), where the dummy driver the
// other test programs use has none.
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

class OffscreenVideo : public testing::Environment {
 public:
  void SetUp() override { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
};

testing::Environment* const kOffscreenVideo = testing::AddGlobalTestEnvironment(new OffscreenVideo);

}  // namespace
