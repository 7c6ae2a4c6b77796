// Text on the device (llvmpipe): the texture caches' sizes, the glyphs of every font type across
// and downwards against the port's own bitmaps placed by hand, the same texts on both paths,
// and fonts across a lost device.
//
// Between the paths, anti-aliased levels differ by up to one step of the 4-bit alpha of the
// texture cache (17). Anti-aliased outlines (type 3) are left out of that comparison: the memory
// cache keeps the strongest glyph level that reaches an outline pixel, the texture cache
// combines them as coverage, so soft outlines are darker on the device.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/platform/window/window_state.h"
#include "tests/graphics_hardware/hardware_screen_fixture.h"
#include "tests/support/text_by_hand.h"

namespace {

constexpr uint32_t kYellow = 0xFFFF00, kBlue = 0x0000FF;

int Colour(uint32_t rgb) {
  return static_cast<int>(MakeColorValue(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

class TextOnDevice : public HardwareScreen {
 protected:
  void SetUp() override {
    HardwareScreen::SetUp();
    if (IsSkipped()) return;
    StartOnDevice();
    ASSERT_EQ(SetDrawTarget(-2), 0);
  }
  void TearDown() override {
    PortResetFontSwitches();
    HardwareScreen::TearDown();
  }
  static std::vector<uint32_t> Read() { return ReadDrawTarget(640, 480); }
  static std::function<uint32_t(int, int)> PixelsOf(const std::vector<uint32_t>& pixels) {
    return [&pixels](int x, int y) -> uint32_t {
      if (x < 0 || y < 0 || x >= 640 || y >= 480) return 0;
      return pixels[static_cast<size_t>(y * 640 + x)] & 0xFFFFFF;
    };
  }
  static void LoseDevice() {
    PortSetD3DDeviceLost(true);
    SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    PortSetD3DDeviceLost(false);
  }
};

TEST_F(TextOnDevice, TextureCachesGrowUntilTenCellsFit) {
  struct Case {
    int maxCharWidth;  // with a height of 20
    int width, height, capacity;
  };
  for (const Case c :
       {Case{10, 512, 512, 625}, Case{158, 1024, 512, 18}, Case{200, 1024, 1024, 16}}) {
    SCOPED_TRACE(c.maxCharWidth);
    PortSetFixedTextMetrics(c.maxCharWidth, 20);
    const int font = CreateFontToHandle(nullptr, 16, -1, 2, -1, -1, 0, -1, -1);
    const FontEntry* e = GetFontEntry(font);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->HardwareCache, 1);
    EXPECT_EQ(e->CacheWidth, c.width);
    EXPECT_EQ(e->CacheHeight, c.height);
    EXPECT_EQ(e->Capacity, c.capacity);
    EXPECT_EQ(e->BaseImage.Width, c.width);
    EXPECT_EQ(e->BaseImage.Format.BytesPerPixel, 2);
    int width = 0, height = 0;
    EXPECT_EQ(GetGraphDimensions(e->CacheGraph, &width, &height), 0);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    DeleteFontHandle(font);
  }
  // A device whose 16-bit alpha roles got a wider format keeps the glyphs in memory.
  const D3DFORMAT alpha = TextureFormatTable[TextureFormatAlpha16];
  TextureFormatTable[TextureFormatAlpha16] = D3DFMT_A8R8G8B8;
  const int wide = CreateFontToHandle(nullptr, 16, -1, 2, -1, -1, 0, -1, -1);
  TextureFormatTable[TextureFormatAlpha16] = alpha;
  ASSERT_NE(wide, -1);
  EXPECT_EQ(GetFontEntry(wide)->HardwareCache, 0);
  EXPECT_NE(GetFontEntry(wide)->SoftCache, nullptr);
  DeleteFontHandle(wide);

  PortSetFixedTextMetrics(10, 20);
  const int edged = CreateFontToHandle(nullptr, 16, -1, 1, -1, 2, 0, -1, -1);
  const FontEntry* e = GetFontEntry(edged);
  EXPECT_EQ(e->BaseImage.Width, 1024) << "the outline half beside the glyphs";
  int width = 0;
  EXPECT_EQ(GetGraphDimensions(e->EdgeGraph, &width, nullptr), 0);
  EXPECT_EQ(width, 512);
  DeleteFontHandle(edged);
}

TEST_F(TextOnDevice, GlyphsOfEveryTypeLandWhereTheirBitmapsArePlaced) {
  struct Case {
    int type, edge;
  };
  for (const Case c : {Case{0, -1}, Case{1, 1}, Case{2, -1}, Case{3, 2}}) {
    const int font = CreateFontToHandle(nullptr, 20, 3, c.type, -1, c.edge, 0, -1, -1);
    ASSERT_EQ(GetFontEntry(font)->HardwareCache, 1);
    for (const char* text : {"Ag", "漢字"}) {
      for (int vertical : {0, 1}) {
        SCOPED_TRACE(std::to_string(c.type) + " " + text + (vertical ? " down" : " across"));
        ClearWholeDrawTarget();
        ASSERT_EQ(DrawStringWithFont(100, 50, text, Colour(kYellow), font, Colour(kBlue), vertical),
                  0);
        const std::vector<uint32_t> pixels = Read();
        const TextPicture picture = PlaceTextByHand(font, text, 100, 50, vertical);
        EXPECT_EQ(CompareTextPixels(picture, PixelsOf(pixels), kYellow, kBlue, 0, 16), 0);
      }
    }
    DeleteFontHandle(font);
  }
}

// The game's default font and an outlined font, across and downwards, on a grey background.
void DrawTextFrame(int edgeFont) {
  BackgroundColor = {40, 60, 80};
  ClearWholeDrawTarget();
  SetDefaultFontSize(20);
  SetDefaultFontThickness(3);
  SetDefaultFontType(2);
  const int game = GetDefaultFontHandle();
  DrawStringWithFont(10, 10, "SCORE 0123 漢字", Colour(0xFFFFFF), game, 0, 0);
  DrawStringWithFont(10, 60, "Ag漢", Colour(0xFFC040), game, 0, 1);
  DrawStringWithFont(200, 60, "Edge 字", Colour(0xFFFFFF), edgeFont, Colour(0x000000), 0);
  DrawStringWithFont(200, 120, "Ag", Colour(0xFFFF00), edgeFont, Colour(0x2020FF), 1);
}

TEST_F(TextOnDevice, TheSameTextsOnBothPaths) {
  std::vector<uint32_t> frames[2];
  for (int hardware : {1, 0}) {
    if (!hardware) {
      End();
      SetUseHardwareRendering(0);
      ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
      ASSERT_EQ(Start(), 0);
      ASSERT_EQ(HardwareRendering, 0);
      SetDrawTarget(-2);
    }
    const int edgeFont = CreateFontToHandle(nullptr, 24, 4, 1, -1, 2, 0, -1, -1);
    DrawTextFrame(edgeFont);
    frames[hardware] = Read();
    DeleteFontHandle(edgeFont);
  }
  SetUseHardwareRendering(1);
  int worst = 0, over = 0;
  for (size_t i = 0; i < frames[0].size(); ++i)
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = std::abs(static_cast<int>((frames[0][i] >> shift) & 0xFF) -
                             static_cast<int>((frames[1][i] >> shift) & 0xFF));
      worst = std::max(worst, d);
      if (d > 17) ++over;
    }
  EXPECT_EQ(over, 0) << "the worst channel differs by " << worst;
}

TEST_F(TextOnDevice, FontsKeepTheirHandlesAndTextAcrossALostDevice) {
  // An outlined font last before each loss: type 1's transparent texels are kept out by the
  // alpha test, whose function the new device must be given again; type 3 blends them.
  for (int type : {1, 3}) {
    SCOPED_TRACE(type);
    const int edgeFont = CreateFontToHandle(nullptr, 24, 4, type, -1, 2, 0, -1, -1);
    DrawTextFrame(edgeFont);
    const std::vector<uint32_t> before = Read();
    const int game = GetDefaultFontHandle();
    LoseDevice();
    EXPECT_EQ(IsFontHandleValid(edgeFont), 1);
    EXPECT_EQ(IsFontHandleValid(game), 1);
    DrawTextFrame(edgeFont);
    EXPECT_EQ(GetDefaultFontHandle(), game);
    const std::vector<uint32_t> after = Read();
    EXPECT_TRUE(after == before) << "the text drawn again differs";
    DeleteFontHandle(edgeFont);
  }
}

TEST_F(TextOnDevice, SubtractedTextIsTheSameWithAndWithoutTheDevicesSubtraction) {
  const int font = CreateFontToHandle(nullptr, 20, 3, 2, -1, -1, 0, -1, -1);
  std::vector<uint32_t> frames[2];
  const int supported = SubtractBlendSupported;
  for (int device : {0, 1}) {
    SubtractBlendSupported = device;
    BackgroundColor = {200, 180, 160};
    ClearWholeDrawTarget();
    SetBlendMode(3, 255);
    DrawStringWithFont(20, 20, "Sub 漢字", Colour(0x804020), font, Colour(0x202020), 0);
    DrawStringWithFont(20, 60, "Ag", Colour(0x804020), font, Colour(0x202020), 1);
    SetBlendMode(0, 0);
    frames[device] = Read();
  }
  SubtractBlendSupported = supported;
  const TextPicture picture = PlaceTextByHand(font, "Sub 漢字", 20, 20, 0);
  EXPECT_EQ(CompareTextPixels(picture, PixelsOf(frames[1]), 0x487480, 0, 0xC8B4A0, 16), 0)
      << "subtracted on the device";
  int over = 0;
  for (size_t i = 0; i < frames[0].size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((frames[0][i] >> shift) & 0xFF) -
                   static_cast<int>((frames[1][i] >> shift) & 0xFF)) > 3)
        ++over;
  EXPECT_EQ(over, 0) << "the inverting passes differ from the device's subtraction";
  DeleteFontHandle(font);
}

}  // namespace
