// The draw settings: clamping setters, the packed vertex colour, the screen's colour values on
// both paths, and what the reset keeps.
#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/screen_mode.h"

namespace {

class DrawSettings : public testing::Test {
 protected:
  void SetUp() override {
    ScreenMode = {640, 480, 32, 60};
    HardwareRendering = 0;
    DrawSuppressed = 0;
    CurrentBlendMode = 0;
    BlendParam = 0;
    DrawBright = 0xFFFFFF;
    PackedDrawColor = 0xFFFFFFFF;
  }
  void TearDown() override {
    // The reset made the default light.
    DeleteAllLightHandles();
    DeleteLightHandle(LightState.defaultLight);
    LightState.defaultLight = -1;
    HardwareRendering = 0;
    ScreenMode = {0, 0, 0, 0};
  }
};

TEST_F(DrawSettings, BlendAndBrightnessAreClampedAndMakeThePackedColour) {
  for (int hardware : {0, 1}) {
    SCOPED_TRACE(hardware);
    HardwareRendering = hardware;
    PackedDrawColor = 0x12345678;
    struct Case {
      int mode, parameter, r, g, b;
      int32_t storedParameter;
      uint32_t bright, packed;
    } cases[] = {
        {1, 300, 255, 255, 255, 255, 0xFFFFFF, 0xFFFFFFFF},
        {1, -5, 255, 255, 255, 0, 0xFFFFFF, 0x00FFFFFF},
        {0, 77, 256, 128, -1, 77, 0xFF8000,
         0xFFFF8000},  // mode 0: alpha 255 whatever the parameter
        {2, 128, 0, 16, 32, 128, 0x001020, 0x80001020},
    };
    for (const Case& c : cases) {
      ASSERT_EQ(SetBlendMode(c.mode, c.parameter), 0);
      ASSERT_EQ(SetDrawBrightness(c.r, c.g, c.b), 0);
      EXPECT_EQ(CurrentBlendMode, c.mode);
      EXPECT_EQ(BlendParam, c.storedParameter);
      EXPECT_EQ(DrawBright, c.bright);
      EXPECT_EQ(PackedDrawColorOf(), c.packed);
      // The vertex colour follows on the hardware path only.
      EXPECT_EQ(PackedDrawColor, hardware ? c.packed : 0x12345678u);
    }
    ASSERT_EQ(SetDrawBrightnessPacked(0xAB102030), 0);
    EXPECT_EQ(DrawBright, 0x102030u);
  }
  DrawSuppressed = 1;
  EXPECT_EQ(SetBlendMode(4, 9), 0);
  EXPECT_NE(CurrentBlendMode, 4);
}

TEST_F(DrawSettings, ColourValuesFollowTheScreenDepthOnBothPaths) {
  for (int hardware : {0, 1}) {
    HardwareRendering = hardware;
    struct Case {
      int bits;
      int r, g, b;
      uint32_t value;
      int backR, backG, backB;
    } cases[] = {
        {32, 255, 0, 255, 0xFFFF00FF, 255, 0, 255},
        {16, 255, 0, 255, 0xF81F, 255, 0, 255},
        {32, 16, 32, 48, 0xFF102030, 16, 32, 48},
        {16, 16, 32, 48, 0x1106, 16, 32, 49},  // 5-6-5 keeps the top bits
        {16, 300, -1, 8, 0x2FE1, 41, 255, 8},  // each argument taken as a byte
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "hardware " << hardware << ", " << c.bits << " bits, "
                                      << c.r << "," << c.g << "," << c.b);
      ScreenMode.bits = c.bits;
      EXPECT_EQ(MakeColorValue(c.r, c.g, c.b), c.value);
      int r = -1, g = -1, b = -1;
      EXPECT_EQ(GetColorComponents(c.value, &r, &g, &b), 0);
      EXPECT_EQ(r, c.backR);
      EXPECT_EQ(g, c.backG);
      EXPECT_EQ(b, c.backB);
    }
  }
  EXPECT_EQ(GetColorComponents(0xF81F, nullptr, nullptr, nullptr), 0);
}

TEST_F(DrawSettings, TheColourKeyIsLeftAloneOnAnEightBitScreen) {
  ASSERT_EQ(SetColorKey(255, 0, 255), 0);
  EXPECT_EQ(ColorKey, 0xFF00FFu);
  ScreenMode.bits = 8;
  ASSERT_EQ(SetColorKey(1, 2, 3), 0);
  EXPECT_EQ(ColorKey, 0xFF00FFu);
  ScreenMode.bits = 16;
  ASSERT_EQ(SetColorKey(0x101, 2, 3), 0);
  EXPECT_EQ(ColorKey, 0x010203u);
}

TEST_F(DrawSettings, TheResetKeepsOnlyWhatOutlivesAGraphicsStart) {
  CurrentBlendMode = 3;
  BlendParam = 9;
  DrawBright = 0x010203;
  ColorKey = 0xFF00FF;
  NoTransColorOption = 1;
  GraphBitDepthOption = 16;
  DrawTargetGraphOption = 1;
  AlphaTestGraphOption = 0;
  SystemMemoryCopyOption = 1;
  BlankGraphAlphaOption = 1;
  SingleTextureGraphOption = 1;
  DrawTarget = 0x0800001;
  DrawArea = {1, 2, 3, 4};
  BlendGraphHandle = 0x0800002;
  BlendGraphBorder = 5;
  BlendGraphRange = 6;
  TextureFilterMode = 2;
  TextureMaxAnisotropy = 8;
  FogMode = 1;
  FogColor = 0;
  FogStart = 5;
  FogEnd = 6;
  NoVSyncWait = 1;
  Emulate320x240Fallback = 1;
  DrawSuppressed = 1;

  ASSERT_EQ(ResetDrawSettings(), 0);
  EXPECT_EQ(NoVSyncWait, 1);
  EXPECT_EQ(Emulate320x240Fallback, 1);
  EXPECT_EQ(DrawSuppressed, 0);
  EXPECT_EQ(CurrentBlendMode, 0);
  EXPECT_EQ(BlendParam, 0);
  EXPECT_EQ(DrawBright, 0xFFFFFFu);
  EXPECT_EQ(ColorKey, 0u);
  EXPECT_EQ(NoTransColorOption, 0);
  EXPECT_EQ(GraphBitDepthOption, 0);
  EXPECT_EQ(DrawTargetGraphOption, 0);
  EXPECT_EQ(AlphaTestGraphOption, 1);
  EXPECT_EQ(SystemMemoryCopyOption, 0);
  EXPECT_EQ(BlankGraphAlphaOption, 0);
  EXPECT_EQ(SingleTextureGraphOption, 0);
  EXPECT_EQ(DrawTarget, -2);
  EXPECT_EQ(DrawArea.left, 0);
  EXPECT_EQ(DrawArea.top, 0);
  EXPECT_EQ(DrawArea.right, 640);
  EXPECT_EQ(DrawArea.bottom, 480);
  EXPECT_EQ(BlendGraphHandle, -1);
  EXPECT_EQ(BlendGraphBorder, 0);
  EXPECT_EQ(BlendGraphRange, 0);
  EXPECT_EQ(TextureFilterMode, 0);
  EXPECT_EQ(TextureMaxAnisotropy, 1);
  EXPECT_EQ(FogMode, 3);
  EXPECT_EQ(FogColor, 0xFFFFFFFFu);
  EXPECT_EQ(FogStart, 0.0f);
  EXPECT_EQ(FogEnd, 1500.0f);
  NoVSyncWait = 0;
  Emulate320x240Fallback = 0;
}

TEST_F(DrawSettings, OptionsAreStoredAndReadBack) {
  SetUseTransColor(0);
  EXPECT_EQ(NoTransColorOption, 1);
  SetUseTransColor(5);
  EXPECT_EQ(NoTransColorOption, 0);
  SetVSyncWait(0);
  EXPECT_EQ(NoVSyncWait, 1);
  EXPECT_EQ(GetVSyncWait(), 0);
  SetVSyncWait(1);
  EXPECT_EQ(GetVSyncWait(), 1);
  struct Option {
    int (*set)(int);
    int (*get)();
    int* value;
  } options[] = {
      {&SetGraphBitDepthOption, &GetGraphBitDepthOption, &GraphBitDepthOption},
      {&SetDrawTargetGraphOption, &GetDrawTargetGraphOption, &DrawTargetGraphOption},
      {&SetAlphaTestGraphOption, &GetAlphaTestGraphOption, &AlphaTestGraphOption},
      {&SetSystemMemoryCopyOption, &GetSystemMemoryCopyOption, &SystemMemoryCopyOption},
      {&SetBlankGraphAlphaOption, &GetBlankGraphAlphaOption, &BlankGraphAlphaOption},
  };
  for (const Option& o : options) {
    const int saved = *o.value;
    EXPECT_EQ(o.set(32), 0);
    EXPECT_EQ(*o.value, 32);
    EXPECT_EQ(o.get(), 32);
    *o.value = saved;
  }
}

}  // namespace
