// Text on the software path of a started library: the glyphs of every font type, across and
// downwards, against the port's own glyph bitmaps placed by hand; which texts go through a work
// image; the type 3 colour rule; a text longer than the cache; and the on-screen log's font.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/font/glyph_cache.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/on_screen_log.h"
#include "tests/support/screen_library.h"
#include "tests/support/text_by_hand.h"

namespace {

constexpr uint32_t kYellow = 0xFFFF00, kBlue = 0x0000FF;

class TextDrawTest : public ScreenLibraryTest {
 protected:
  void SetUp() override {
    ScreenLibraryTest::SetUp();
    ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(SetDrawTarget(-2), 0);
    ClearWholeDrawTarget();
  }
  void TearDown() override {
    PortResetFontSwitches();
    ScreenLibraryTest::TearDown();
  }
  static int Colour(uint32_t rgb) {
    return static_cast<int>(MakeColorValue(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
  }
  static uint32_t Pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= 640 || y >= 480) return 0;
    return ScreenImagePixel(x, y) & 0xFFFFFF;
  }
  static std::vector<uint8_t> Snapshot(const MEMIMG& image) {
    const uint8_t* p = image.pixels;
    return std::vector<uint8_t>(p, p + static_cast<size_t>(image.body->pitch) * image.height);
  }
};

TEST_F(TextDrawTest, GlyphsOfEveryTypeLandWhereTheirBitmapsArePlaced) {
  struct Case {
    int type, edge;
  };
  for (const Case c : {Case{0, -1}, Case{1, 1}, Case{2, -1}, Case{3, 2}}) {
    const int font = CreateFontToHandle(nullptr, 20, 3, c.type, -1, c.edge, 0, -1, -1);
    ASSERT_NE(font, -1);
    for (const char* text : {"Ag", "漢字"}) {
      for (int vertical : {0, 1}) {
        SCOPED_TRACE(std::to_string(c.type) + " " + text + (vertical ? " down" : " across"));
        ClearWholeDrawTarget();
        ASSERT_EQ(DrawStringWithFont(100, 50, text, Colour(kYellow), font, Colour(kBlue), vertical),
                  0);
        const TextPicture picture = PlaceTextByHand(font, text, 100, 50, vertical);
        EXPECT_EQ(CompareTextPixels(picture, &Pixel, kYellow, kBlue, 0, 16), 0);
      }
    }
    DeleteFontHandle(font);
  }
}

TEST_F(TextDrawTest, BrightnessScalesTheColoursAndTheBlendModeApplies) {
  const int font = CreateFontToHandle(nullptr, 20, 3, 1, -1, -1, 0, -1, -1);
  const TextPicture picture = PlaceTextByHand(font, "Ag", 10, 10, 0);
  SetDrawBrightness(128, 255, 0);
  ASSERT_EQ(DrawStringWithFont(10, 10, "Ag", Colour(0xFFFFFF), font, Colour(0xFFFFFF), 0), 0);
  EXPECT_EQ(CompareTextPixels(picture, &Pixel, 0x80FF00, 0x80FF00, 0, 0), 0);
  EXPECT_EQ(DrawBright & 0xFFFFFF, 0x80FF00u) << "put back";
  SetDrawBrightness(255, 255, 255);
  // Half-transparent text over white: halfway between the colours.
  SetDrawTarget(-2);
  BackgroundColor = {255, 255, 255};
  ClearWholeDrawTarget();
  SetBlendMode(1, 128);
  ASSERT_EQ(DrawStringWithFont(10, 10, "Ag", Colour(0), font, Colour(0), 0), 0);
  SetBlendMode(0, 0);
  EXPECT_EQ(CompareTextPixels(picture, &Pixel, 0x7F7F7F, 0x7F7F7F, 0xFFFFFF, 2), 0);
  DeleteFontHandle(font);
}

TEST_F(TextDrawTest, OnlyBlendedOrAntialiasedTextGoesThroughAWorkImage) {
  const int plain = CreateFontToHandle(nullptr, 20, 3, 0, -1, -1, 0, -1, -1);
  const int smooth = CreateFontToHandle(nullptr, 20, 3, 2, -1, -1, 0, -1, -1);
  FillMemImgRect(&FontWorkMemImg, nullptr, 0x123456);
  FillMemImgRect(&FontWorkAlphaMemImg, nullptr, 0x12345678);
  const std::vector<uint8_t> work = Snapshot(FontWorkMemImg),
                             alphaWork = Snapshot(FontWorkAlphaMemImg);

  // Plain text in blend mode 1 at 255 goes straight into the target.
  SetBlendMode(1, 255);
  DrawStringWithFont(10, 10, "Ag", Colour(kYellow), plain, 0, 0);
  EXPECT_EQ(Snapshot(FontWorkMemImg), work);
  EXPECT_EQ(CompareTextPixels(PlaceTextByHand(plain, "Ag", 10, 10, 0), &Pixel, kYellow, 0, 0, 0),
            0);
  // Anti-aliased text in mode 0 is laid out in the alpha work image.
  SetBlendMode(0, 0);
  DrawStringWithFont(10, 100, "Ag", Colour(kYellow), smooth, 0, 0);
  EXPECT_NE(Snapshot(FontWorkAlphaMemImg), alphaWork);
  EXPECT_EQ(Snapshot(FontWorkMemImg), work);

  // Mode 2 text whose colour is the work image's transparent colour is still drawn.
  const uint32_t red = MakeColorValue(255, 0, 0);
  FontWorkMemImg.body->transparentColor = red & 0xFFFFFF;
  SetBlendMode(2, 255);
  DrawStringWithFont(10, 200, "Ag", static_cast<int>(red), plain, 0, 0);
  SetBlendMode(0, 0);
  EXPECT_EQ(CompareTextPixels(PlaceTextByHand(plain, "Ag", 10, 200, 0), &Pixel, 0xFF0000, 0, 0, 2),
            0);
  EXPECT_NE(FontWorkMemImg.body->transparentColor, red & 0xFFFFFF);
  DeleteFontHandle(plain);
  DeleteFontHandle(smooth);
}

TEST_F(TextDrawTest, TypeThreeMixesTheGlyphOverItsOutline) {
  const int font = CreateFontToHandle(nullptr, 20, 3, 3, -1, -1, 0, -1, -1);
  FontEntry* e = GetFontEntry(font);
  const GlyphRequest a = {'A', 0, 0};
  GlyphRecord* record = const_cast<GlyphRecord*>(FillGlyphCache(font, 1, &a));
  ASSERT_NE(record, nullptr);
  // A synthetic glyph of one row: (glyph, edge) levels in the low and high nibbles.
  uint8_t* row =
      e->SoftCache + static_cast<size_t>(record->Slot * e->CellWidth) * e->SoftBytesPerRow;
  const uint8_t cells[] = {0xAF, 0x00, 0xA0, 0xA7};
  std::memset(row, 0, static_cast<size_t>(e->SoftBytesPerRow));
  std::memcpy(row, cells, sizeof(cells));
  record->OffsetX = record->OffsetY = 0;
  record->Width = 4;
  record->Height = 1;
  FillMemImgRect(&FontWorkAlphaMemImg, nullptr, 0);
  const RECT clip = {0, 0, 640, 480};
  const int text = Colour(0xC86400), edge = Colour(0x0032FA);
  ASSERT_GE(LayoutAndDrawText(1, 0, 0, "A", text, &FontWorkAlphaMemImg, &clip, font, edge, -1, 0,
                              nullptr),
            0);
  auto at = [](int x) {
    uint32_t v;
    std::memcpy(&v, FontWorkAlphaMemImg.pixels + x * 4, 4);
    return v;
  };
  EXPECT_EQ(at(0), 0xFFC86400u) << "a full glyph level is the text colour";
  EXPECT_EQ(at(1), 0u) << "nothing: left alone";
  EXPECT_EQ(at(2), 0xA00032FAu) << "outline only: the edge colour at level x 16";
  // Glyph 7 over edge 10: alpha 7 x 16 + 8 x 10 = 192, t = 7 x 4096 / 192 = 149.
  EXPECT_EQ(at(3), 0xC0744F69u);
  DeleteFontHandle(font);
}

TEST_F(TextDrawTest, ATextLongerThanTheCacheStillDrawsWhole) {
  PortSetFixedTextMetrics(200, 20);  // a cache of 20 cells
  const int font = CreateFontToHandle(nullptr, 16, 3, 0, -1, -1, 0, -1, -1);
  ASSERT_EQ(GetFontEntry(font)->Capacity, 20);
  const char* text = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";
  ASSERT_EQ(DrawStringWithFont(5, 5, text, Colour(kYellow), font, 0, 0), 0);
  EXPECT_EQ(CompareTextPixels(PlaceTextByHand(font, text, 5, 5, 0), &Pixel, kYellow, 0, 0, 0), 0);
  DeleteFontHandle(font);
}

TEST_F(TextDrawTest, TheOnScreenLogDrawsWithItsFontAndMakesItAgainWhenLost) {
  const int font = GetOnScreenLogState().fontHandle;
  ASSERT_EQ(IsFontHandleValid(font), 1) << "made at start-up";
  EXPECT_EQ(GetFontEntry(font)->Size, 16);
  EXPECT_EQ(GetFontEntry(font)->Thickness, 4);
  EXPECT_EQ(GetFontEntry(font)->Type, 1);
  std::strcpy(const_cast<char*>(GetOnScreenLogState().buffer[1]), "Log 1");
  ASSERT_EQ(DrawOnScreenLog(), 0);
  EXPECT_EQ(CompareTextPixels(PlaceTextByHand(font, "Log 1", 0, 16, 0), &Pixel, 0xFFFFFF, 0, 0, 0),
            0);

  ASSERT_EQ(ChangeScreenMode(-1, -1, -1, 1, -1), 0);
  EXPECT_EQ(IsFontHandleValid(font), 0);
  EXPECT_EQ(GetOnScreenLogState().fontLost, 1);
  ClearWholeDrawTarget();
  ASSERT_EQ(DrawOnScreenLog(), 0);
  const int again = GetOnScreenLogState().fontHandle;
  ASSERT_EQ(IsFontHandleValid(again), 1);
  EXPECT_EQ(CompareTextPixels(PlaceTextByHand(again, "Log 1", 0, 16, 0), &Pixel, 0xFFFFFF, 0, 0, 0),
            0);
}

}  // namespace
