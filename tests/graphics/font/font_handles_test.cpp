// Font handles on the software path of a started library: cell and cache sizes from the text
// metrics, the limit of 40, the face fall-backs, the edge's effect on the records, bad handles,
// the glyph requests of a text and the ring's eviction, measuring, the default font and its
// setters across a screen-mode change, and the re-creation that keeps every handle.
#include <gtest/gtest.h>

#include <string>

#include "port/win32.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_system.h"
#include "runtime/graphics/font/glyph_cache.h"
#include "runtime/graphics/font/text_draw.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "tests/support/screen_library.h"

namespace {

class FontHandlesTest : public ScreenLibraryTest {
 protected:
  void SetUp() override {
    ScreenLibraryTest::SetUp();
    ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
    ASSERT_EQ(Start(), 0);
    ASSERT_EQ(SetDrawTarget(-2), 0);
  }
  void TearDown() override {
    PortResetFontSwitches();
    ScreenLibraryTest::TearDown();
  }
  bool LogHas(const std::string& text) const {
    return log_->Contents().find(text) != std::string::npos;
  }
  static int Font(int size = 16, int type = 0, int edge = -1) {
    return CreateFontToHandle(nullptr, size, -1, type, -1, edge, 0, -1, -1);
  }
};

TEST_F(FontHandlesTest, CellsAndTheMemoryCacheFollowTheTextMetrics) {
  PortSetFixedTextMetrics(10, 20);
  for (int type : {0, 2}) {
    const int font = Font(16, type);
    const FontEntry* e = GetFontEntry(font);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->HardwareCache, 0);
    EXPECT_EQ(e->CellWidth, 20) << "max(16, 20)";
    EXPECT_EQ(e->CellHeight, 20);
    EXPECT_EQ(e->Capacity, 819);
    EXPECT_EQ(e->RowsPerColumn, 819);
    EXPECT_EQ(e->CacheWidth, 20);
    EXPECT_EQ(e->CacheHeight, 819 * 20);
    EXPECT_EQ(e->SoftBitsPerPixel, type == 0 ? 1 : 8);
    EXPECT_EQ(e->Records[819].Slot, -1) << "the record after the last";
    EXPECT_EQ(DeleteFontHandle(font), 0);
  }
}

TEST_F(FontHandlesTest, TheFortyFirstFontIsRefusedWithTheLimitLine) {
  std::vector<int> fonts;
  for (int font; (font = Font()) != -1;) fonts.push_back(font);
  EXPECT_EQ(FontHandles.count, 40);
  EXPECT_TRUE(LogHas("作成できるフォントハンドル数 40 の限界を超えました"));
  for (int font : fonts) EXPECT_EQ(DeleteFontHandle(font), 0);
}

TEST_F(FontHandlesTest, FaceFallbacksLogAndLeaveNothingBehind) {
  const int liveFonts = FontHandles.count;
  PortSetFontCreationFailure("NoSuchFace");
  EXPECT_EQ(CreateFontToHandle("NoSuchFace", 16, -1, 0, -1, -1, 0, -1, -1), -1);
  EXPECT_TRUE(LogHas("指定のフォントの作成に失敗しました\r\n"));

  // Without a face the gothic face is asked for first, then no face at all.
  PortSetFontCreationFailure("ＭＳ ゴシック");
  const int font = Font();
  ASSERT_NE(font, -1);
  EXPECT_STREQ(GetFontEntry(font)->FaceName, "");
  EXPECT_EQ(DeleteFontHandle(font), 0);

  PortSetAllFontCreationsFail(true);
  EXPECT_EQ(Font(), -1);
  EXPECT_TRUE(LogHas("フォントの作成に失敗しました\r\n"));
  EXPECT_EQ(FontHandles.count, liveFonts);
  PortResetFontSwitches();

  const int named = CreateFontToHandle("IPAGothic", 16, -1, 0, -1, -1, 0, -1, -1);
  ASSERT_NE(named, -1);
  char face[kFontFaceNameBytes];
  int size = 0, thickness = 0;
  EXPECT_EQ(GetFontHandleSettings(face, &size, &thickness, named), 0);
  EXPECT_STREQ(face, "IPAGothic");
  EXPECT_EQ(size, 16);
  EXPECT_EQ(thickness, 6) << "the default";
  EXPECT_EQ(DeleteFontHandle(named), 0);
}

TEST_F(FontHandlesTest, CreationArgumentsAndTheirDefaults) {
  EXPECT_EQ(Font(16, 4), -1) << "no type above 3";
  EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, 0, 5, -1, 0, -1, -1), -1) << "no charset 5";
  const int font = CreateFontToHandle(nullptr, -1, -1, -1, -1, 3, 0, -1, -1);
  ASSERT_NE(font, -1);
  const FontEntry* e = GetFontEntry(font);
  EXPECT_EQ(e->Size, 16);
  EXPECT_EQ(e->Thickness, 6);
  EXPECT_EQ(e->Type, 1) << "an edge above 1 makes an edge font";
  EXPECT_EQ(e->EdgeSize, 3);
  // A given slot that is taken is refused; a free one keeps the given check number.
  EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0, HandleSlotOf(font), 7), -1);
  const int placed = CreateFontToHandle(nullptr, 16, -1, 0, -1, -1, 0, 30, 7);
  EXPECT_EQ(placed, MakeHandle(HandleTypeFont, 7, 30));
  EXPECT_EQ(DeleteFontHandle(placed), 0);
  EXPECT_EQ(DeleteFontHandle(font), 0);
}

TEST_F(FontHandlesTest, AnEdgeOfTwoMakesRecordsAndAdvanceFourLarger) {
  const int plain = Font(16, 0), edged = Font(16, 0, 2);
  ASSERT_NE(plain, -1);
  ASSERT_NE(edged, -1);
  const GlyphRequest a = {'A', 0, 0};
  const GlyphRecord* p = FillGlyphCache(plain, 1, &a);
  const GlyphRecord* q = FillGlyphCache(edged, 1, &a);
  ASSERT_TRUE(p && q);
  EXPECT_GT(p->Width, 0);
  EXPECT_EQ(q->Width, p->Width + 4);
  EXPECT_EQ(q->Height, p->Height + 4);
  EXPECT_EQ(q->Advance, p->Advance + 4);
  EXPECT_EQ(q->OffsetX, p->OffsetX);
  DeleteFontHandle(plain);
  DeleteFontHandle(edged);
}

TEST_F(FontHandlesTest, AGlyphWithoutAnOutlineGetsAnEmptyCell) {
  const int font = Font(16, 1, 2);
  const GlyphRequest unassigned = {0x85, 0x40, 0};  // no CP932 character
  const GlyphRecord* r = FillGlyphCache(font, 1, &unassigned);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Width, 0);
  EXPECT_EQ(r->Height, 0);
  EXPECT_EQ(r->Advance, 0) << "no metrics either";
  EXPECT_TRUE(Logged("GetGlyphOutline 関数が失敗しました"));
  EXPECT_EQ(GetFontEntry(font)->Codes[0x4085].Record, r);
  EXPECT_EQ(DrawStringWithFont(0, 0,
                               "A\x85\x40"
                               "B",
                               0xFFFFFF, font, 0, 0),
            0);
  DeleteFontHandle(font);
}

TEST_F(FontHandlesTest, BadHandlesChangeNothing) {
  const int font = Font();
  ASSERT_EQ(DeleteFontHandle(font), 0);
  const int graph = CreateBlankGraph(8, 8);
  ClearWholeDrawTarget();
  const uint32_t before = ScreenImagePixel(10, 10);
  for (int bad : {font, graph, -1}) {
    SCOPED_TRACE(bad);
    const size_t logBytes = log_->Contents().size();
    EXPECT_EQ(DrawStringWithFont(10, 10, "AB", 0xFFFFFF, bad, 0, 0), -1);
    EXPECT_NE(log_->Contents().find("フォントハンドル値が異常です\r\n", logBytes),
              std::string::npos);
    EXPECT_EQ(DeleteFontHandle(bad), -1);
    EXPECT_EQ(SetFontSpacing(2, bad), -1);
    EXPECT_EQ(GetFontSize(bad), -1);
    EXPECT_EQ(SetFontLostFlag(bad, nullptr), -1);
    EXPECT_EQ(GetFontHandleSettings(nullptr, nullptr, nullptr, bad), -1);
    EXPECT_EQ(IsFontHandleValid(bad), 0);
    EXPECT_EQ(PrepareStringGlyphs(-1, "AB", bad, nullptr, nullptr), -1);
    EXPECT_EQ(FillGlyphCache(bad, 1, nullptr), nullptr);
    EXPECT_EQ(LayoutAndDrawText(0, 0, 0, "AB", 0, nullptr, nullptr, bad, 0, -1, 0, nullptr), -1);
  }
  EXPECT_EQ(ScreenImagePixel(10, 10), before);
  const int live = GetDefaultFontHandle();
  const size_t logBytes = log_->Contents().size();
  EXPECT_EQ(DrawStringWithFont(10, 10, "", 0xFFFFFF, live, 0, 0), 0);
  EXPECT_EQ(DrawStringWithFont(10, 10, nullptr, 0xFFFFFF, -1, 0, 0), 0) << "before the handle";
  EXPECT_EQ(log_->Contents().size(), logBytes);
}

TEST_F(FontHandlesTest, PreparingATextAsksForEachNewCharacterOnce) {
  const int font = Font();
  FontEntry* e = GetFontEntry(font);
  GlyphRequest out[16];
  int count = 0;
  // Four equal double-byte characters.
  ASSERT_EQ(PrepareStringGlyphs(-1, "漢漢漢漢", font, out, &count), 0);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(e->NextSlot, 1);
  EXPECT_EQ(out[3].First, 0x8A);
  EXPECT_EQ(out[3].Second, 0xBF);
  // A lead byte at the end of the text, or at the given length, stands alone.
  ASSERT_EQ(PrepareStringGlyphs(-1, "a\x82", font, out, &count), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(out[1].First, 0x82);
  EXPECT_EQ(out[1].Second, 0);
  ASSERT_EQ(PrepareStringGlyphs(1, "\x82\xA0", font, out, &count), 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(out[0].Second, 0);
  EXPECT_TRUE(e->Codes[0x82].Present);
  DeleteFontHandle(font);
}

TEST_F(FontHandlesTest, MoreNewCharactersThanTheCacheHoldsAskForItsCapacity) {
  PortSetFixedTextMetrics(200, 20);  // cells of 208: the memory cache's 20
  const int font = Font();
  FontEntry* e = GetFontEntry(font);
  ASSERT_EQ(e->Capacity, 20);
  const char* text = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";
  int count = 0;
  ASSERT_EQ(PrepareStringGlyphs(-1, text, font, nullptr, &count), 0);
  EXPECT_EQ(count, 30);
  EXPECT_EQ(e->NextSlot, 0) << "the ring filled once";
  EXPECT_TRUE(e->Codes['T'].Present);
  EXPECT_FALSE(e->Codes['U'].Present);
  DeleteFontHandle(font);
}

TEST_F(FontHandlesTest, ATextIsMeasuredByAdvanceAndSpacing) {
  const int font = Font();
  FontEntry* e = GetFontEntry(font);
  ASSERT_EQ(PrepareStringGlyphs(-1, "AB", font, nullptr, nullptr), 0);
  e->Codes['A'].Record->Advance = 9;
  e->Codes['B'].Record->Advance = 10;
  SetFontSpacing(2, font);
  SIZE size = {};
  EXPECT_EQ(LayoutAndDrawText(0, 0, 0, "AB", 0, nullptr, nullptr, font, 0, -1, 0, &size), 23);
  EXPECT_EQ(size.cx, 23);
  EXPECT_EQ(size.cy, e->CellHeight);
  EXPECT_EQ(LayoutAndDrawText(0, 0, 0, "AB", 0, nullptr, nullptr, font, 0, -1, 1, &size), 23);
  EXPECT_EQ(size.cx, e->CellHeight);
  EXPECT_EQ(size.cy, 23);
  DeleteFontHandle(font);
}

TEST_F(FontHandlesTest, TheDefaultFontFollowsItsSettersAndAScreenModeChange) {
  const int first = GetDefaultFontHandle();
  ASSERT_EQ(IsFontHandleValid(first), 1);
  EXPECT_EQ(GetFontSize(first), 16);
  SetDefaultFontSize(20);
  SetDefaultFontThickness(3);
  SetDefaultFontType(2);
  const int font = GetDefaultFontHandle();
  EXPECT_EQ(IsFontHandleValid(first), 0);
  const FontEntry* e = GetFontEntry(font);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Size, 20);
  EXPECT_EQ(e->Thickness, 3);
  EXPECT_EQ(e->Type, 2);
  SetDefaultFontSize(20);
  EXPECT_EQ(GetDefaultFontHandle(), font) << "the same settings keep the font";

  ASSERT_EQ(ChangeScreenMode(-1, -1, -1, 1, -1), 0);
  int size = 0, thickness = 0;
  ASSERT_EQ(GetFontHandleSettings(nullptr, &size, &thickness, GetDefaultFontHandle()), 0);
  EXPECT_EQ(size, 20);
  EXPECT_EQ(thickness, 3);
  EXPECT_TRUE(Logged("フォントの初期化を行います"));
  EXPECT_TRUE(Logged("フォントの初期化は正常に終了しました"));

  SetDefaultFontSize(-1);
  SetDefaultFontThickness(-1);
  SetDefaultFontType(-1);
  e = GetFontEntry(GetDefaultFontHandle());
  EXPECT_EQ(e->Size, 16);
  EXPECT_EQ(e->Thickness, 6);
  EXPECT_EQ(e->Type, 0);
}

TEST_F(FontHandlesTest, RecreatingKeepsEveryHandleItsSpacingAndItsOwnersFlag) {
  const int font = Font(16, 1, 2);
  SetFontSpacing(3, font);
  int lost = 5;
  SetFontLostFlag(font, &lost);
  ASSERT_EQ(DrawStringWithFont(0, 0, "Ab", 0xFFFFFF, font, 0, 0), 0);
  ASSERT_EQ(RecreateAllFonts(), 0);
  ASSERT_EQ(IsFontHandleValid(font), 1);
  const FontEntry* e = GetFontEntry(font);
  EXPECT_EQ(e->Spacing, 3);
  EXPECT_EQ(e->EdgeSize, 2);
  EXPECT_EQ(e->NextSlot, 0) << "a new, empty cache";
  EXPECT_EQ(lost, 0) << "the owner still has its font";
  EXPECT_EQ(DeleteFontHandle(font), 0);
  EXPECT_EQ(lost, 1);
}

}  // namespace
