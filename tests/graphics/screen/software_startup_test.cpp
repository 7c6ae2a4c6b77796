// The library started with its graphics on the software path (SDL's dummy driver has no
// OpenGL, so no device): the screen image, its background, a screen-mode restart, presenting
// through GDI and what the end leaves.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_library.h"

namespace {

using SoftwareScreen = ScreenLibraryTest;

TEST_F(SoftwareScreen, StartsWithA16BitScreenOfTheBackgroundAndRestartsAt32Bits) {
  BackgroundColor = {0x40, 0x80, 0xC0};
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(GraphicsInitialised, 1);
  EXPECT_EQ(HardwareRendering, 0);
  EXPECT_EQ(GetDrawTarget(), -4);
  ASSERT_TRUE(IsMemImgValid(&ScreenMemImg));
  EXPECT_EQ(ScreenMemImg.width, 640);
  EXPECT_EQ(ScreenMemImg.height, 480);
  EXPECT_EQ(ScreenMemImg.body->colorType, Rgb565);
  EXPECT_EQ(SoftDrawTarget, &ScreenMemImg);
  for (const MEMIMG* work : {&FontWorkMemImg, &FontWorkAlphaMemImg}) {
    ASSERT_TRUE(IsMemImgValid(work));
    EXPECT_EQ(work->width, 640);
    EXPECT_EQ(work->body->colorType, Rgb565);
  }
  EXPECT_EQ(FontWorkAlphaMemImg.body->hasAlpha, 1);
  const uint32_t background = ScreenImagePixel(0, 0);
  EXPECT_EQ(background, 0xFF4282C6u);  // 0x40, 0x80, 0xC0 through 5-6-5 and back
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; x += 9) ASSERT_EQ(ScreenImagePixel(x, y), background);

  ASSERT_EQ(SetScreenMode(640, 480, 32, 60), 0);
  EXPECT_TRUE(Logged("画面モード変更処理を開始します"));
  EXPECT_TRUE(Logged("画面モード変更処理は正常に終了しました"));
  EXPECT_EQ(ScreenMode.bits, 32);
  EXPECT_EQ(ScreenMemImg.body->colorType, Xrgb8888);
  EXPECT_EQ(ScreenImagePixel(320, 240), 0xFF4080C0u);
  EXPECT_EQ(GetDrawTarget(), -4);  // the target from before the change
}

// Without "d3d9.dll" the device layer cannot start at all: start-up fails and leaves nothing.
TEST_F(SoftwareScreen, AGraphicsStartThatFailsFailsTheLibraryStart) {
  PortSetModuleAbsent("d3d9.dll", true);
  EXPECT_EQ(Start(), -1);
  PortResetModuleSwitches();
  EXPECT_EQ(GraphicsInitialised, 0);
  EXPECT_FALSE(IsMemImgValid(&ScreenMemImg));
  EXPECT_TRUE(Logged("d3d9.dll の読み込みに失敗しました"));
}

// The graphics end runs the font system's end every time, the rest only while running.
TEST_F(SoftwareScreen, TheEndTwiceOnlyEndsTheFontsAgain) {
  static int fontEnds;
  fontEnds = 0;
  ScreenHooks = {};
  ScreenHooks.endFontSystem = [] { ++fontEnds; };
  ASSERT_EQ(Start(), 0);
  EXPECT_EQ(TerminateGraphics(), 0);
  EXPECT_EQ(GraphicsInitialised, 0);
  EXPECT_FALSE(IsMemImgValid(&ScreenMemImg));
  EXPECT_EQ(TerminateGraphics(), 0);
  EXPECT_EQ(fontEnds, 2);
  ScreenHooks = {};
}

// The screen is made again with the chosen block of its images refused (each image takes two,
// its record and its pixels, the screen's first): the program must end (in a child process).
TEST_F(SoftwareScreen, DISABLED_ScreenImageRefusedChild) {
  if (!IsChildRunOf("SoftwareScreen.DISABLED_ScreenImageRefusedChild")) GTEST_SKIP();
  SetLogDirectory(getenv("KELVANOR_TEST_DIR"));
  ASSERT_EQ(Start(), 0);
  SetTrackedHeapFailures(1, atoi(getenv("KELVANOR_GRANTED_BLOCKS")));
  CreateSoftwareScreen();
  ADD_FAILURE() << "the screen was made";
}

// Text drawing writes into the two work images unchecked, so neither may be missing.
TEST_F(SoftwareScreen, AScreenImageThatCannotBeMadeEndsTheProgram) {
  const struct {
    int granted;
    const char* line;
  } cases[] = {
      {0, "プライマリサーフェス用の MEMIMG の作成に失敗しました"},
      {2, "文字描画作業用の MEMIMG の作成に失敗しました"},  // the work image's record
      {5, "文字描画作業用の MEMIMG の作成に失敗しました"},  // the alpha work image's pixels
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.granted);
    TempFolder dir;
    EXPECT_EQ(RunTestInChild("SoftwareScreen.DISABLED_ScreenImageRefusedChild",
                             {"KELVANOR_TEST_DIR=" + dir.WindowsPath(),
                              "KELVANOR_GRANTED_BLOCKS=" + std::to_string(c.granted)}),
              255);
    EXPECT_NE(dir.ReadFile("Log.txt").find(c.line), std::string::npos);
  }
}

}  // namespace
