#include "tests/game_support/scene_driving.h"

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"

void Press(GameDriver& driver, const FrameInput& input, int times) {
  for (int i = 0; i < times; ++i) {
    driver.Step(input);
    driver.Step();
  }
}

void BootToLogo(GameDriver& driver) {
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  ASSERT_EQ(CurrentScene, kSceneLogo);
}

void OpenTitleMenu(GameDriver& driver, int16_t row) {
  CurrentScene = kSceneTitleVisit;
  driver.Step();
  ASSERT_EQ(CurrentScene, kSceneTitleIntro);
  driver.Step(Pad(kPadShot));
  ASSERT_EQ(CurrentScene, kSceneTitleMenu);
  ScreenFlashWhite = 0;
  MenuCursors[0] = row;
  driver.Step();
  ASSERT_EQ(MenuPage, 0);
}
