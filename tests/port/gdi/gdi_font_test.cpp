// GDI fonts on FreeType: cell and em heights, bold and italic, glyph bitmaps in GDI's layouts,
// the faces that stand in for the names asked for, selection and deletion, the test switches.
#include "port/gdi/gdi_font.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "port/gdi/gdi_dib.h"
#include "port/kernel/last_error.h"

namespace {

// CP932 bytes, so that the tests mean the same under a compiler that keeps UTF-8 literals.
constexpr char kMsGothic[] =
    "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
constexpr char kIpaPGothicJapanese[] = "IPA P\x83\x53\x83\x56\x83\x62\x83\x4E";  // IPA Pゴシック
constexpr UINT kHiraganaA = 0x82A0;                                              // あ
constexpr UINT kIdeographicSpace = 0x8140;
constexpr UINT kHalfWidthKatakanaA = 0xB1;

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

HFONT MakeFont(int height, const char* face = nullptr, int weight = FW_NORMAL, int italic = 0,
               int charset = SHIFTJIS_CHARSET) {
  return CreateFontA(height, 0, 0, 0, weight, italic, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH, face);
}

// A memory context with one font selected; the font is deleted with it.
class Selected {
 public:
  explicit Selected(HFONT font) : font_(font) {
    EXPECT_NE(font_, nullptr);
    dc_ = CreateCompatibleDC(nullptr);
    stock_ = SelectObject(dc_, font_);
    EXPECT_NE(stock_, nullptr);
  }
  ~Selected() {
    SelectObject(dc_, stock_);
    EXPECT_TRUE(DeleteObject(font_));
    EXPECT_TRUE(DeleteDC(dc_));
  }
  HDC dc() const { return dc_; }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA m{};
    EXPECT_TRUE(GetTextMetricsA(dc_, &m));
    return m;
  }
  GLYPHMETRICS GlyphMetrics(UINT code, UINT format = GGO_METRICS) const {
    GLYPHMETRICS gm{};
    EXPECT_NE(GetGlyphOutlineA(dc_, code, format, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
    return gm;
  }
  // The glyph's bytes as GetGlyphOutlineA gives them, after checking the size it announces.
  std::vector<uint8_t> Bitmap(UINT code, UINT format, GLYPHMETRICS* gm) const {
    const DWORD size = GetGlyphOutlineA(dc_, code, format, gm, 0, nullptr, &kIdentity);
    EXPECT_NE(size, GDI_ERROR);
    const int pitch =
        format == GGO_BITMAP ? (gm->gmBlackBoxX + 31) / 32 * 4 : (gm->gmBlackBoxX + 3) / 4 * 4;
    EXPECT_EQ(size, static_cast<DWORD>(pitch) * gm->gmBlackBoxY);
    std::vector<uint8_t> bytes(size + 8, 0xCD);
    EXPECT_EQ(GetGlyphOutlineA(dc_, code, format, gm, size, bytes.data(), &kIdentity), size);
    for (size_t i = size; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0xCD) << "written past";
    bytes.resize(size);
    return bytes;
  }

 private:
  HFONT font_;
  HDC dc_;
  HGDIOBJ stock_;
};

// What tells faces apart: the text metrics and the grey bitmap of "a" and "W".
std::vector<int> FaceSignature(const Selected& s) {
  const TEXTMETRICA m = s.Metrics();
  std::vector<int> out = {m.tmHeight, m.tmAscent, m.tmAveCharWidth, m.tmMaxCharWidth};
  for (UINT code : {UINT('a'), UINT('W')}) {
    GLYPHMETRICS gm{};
    for (uint8_t b : s.Bitmap(code, GGO_GRAY4_BITMAP, &gm)) out.push_back(b);
    out.push_back(gm.gmCellIncX);
  }
  return out;
}

class GdiFont : public testing::Test {
 protected:
  void SetUp() override { PortResetFontSwitches(); }
  void TearDown() override { PortResetFontSwitches(); }
};

TEST_F(GdiFont, PositiveHeightIsTheCellAndNegativeTheEm) {
  for (int height : {9, 16, 20, 33, 64}) {
    Selected s(MakeFont(height));
    const TEXTMETRICA m = s.Metrics();
    EXPECT_EQ(m.tmHeight, height);
    EXPECT_EQ(m.tmAscent + m.tmDescent, height);
    EXPECT_GT(m.tmAscent, m.tmDescent);
    EXPECT_GE(m.tmInternalLeading, 0);
    // The face's full-width glyphs are its widest.
    EXPECT_EQ(s.GlyphMetrics(kHiraganaA).gmCellIncX, m.tmMaxCharWidth) << height;
    EXPECT_EQ(s.GlyphMetrics('A').gmCellIncX, m.tmAveCharWidth) << height;
  }
  Selected em(MakeFont(-16));
  const TEXTMETRICA m = em.Metrics();
  EXPECT_EQ(m.tmHeight - m.tmInternalLeading, 16);
  EXPECT_EQ(m.tmAscent + m.tmDescent, m.tmHeight);
  EXPECT_EQ(em.GlyphMetrics(kHiraganaA).gmCellIncX, 16);
}

TEST_F(GdiFont, HeightsBeyondTheLimitAreRefused) {
  for (int height : {4097, -4097, 1 << 30}) EXPECT_EQ(MakeFont(height), nullptr) << height;
  Selected largest(MakeFont(4096));
  EXPECT_EQ(largest.Metrics().tmHeight, 4096);
}

TEST_F(GdiFont, BoldOnAFaceWithoutBoldIsOnePixelThicker) {
  Selected regular(MakeFont(20, nullptr, 300));
  Selected normal(MakeFont(20, nullptr, FW_DONTCARE));
  Selected bold(MakeFont(20, nullptr, 600));
  EXPECT_EQ(FaceSignature(regular), FaceSignature(normal));
  const TEXTMETRICA r = regular.Metrics(), b = bold.Metrics();
  EXPECT_EQ(r.tmWeight, 300);
  EXPECT_EQ(b.tmWeight, 600);
  EXPECT_EQ(b.tmHeight, r.tmHeight);
  EXPECT_EQ(b.tmMaxCharWidth, r.tmMaxCharWidth + 1);
  for (UINT code : {UINT('H'), kHiraganaA}) {
    const GLYPHMETRICS gr = regular.GlyphMetrics(code, GGO_GRAY4_BITMAP);
    const GLYPHMETRICS gb = bold.GlyphMetrics(code, GGO_GRAY4_BITMAP);
    EXPECT_EQ(gb.gmCellIncX, gr.gmCellIncX + 1) << code;
    EXPECT_EQ(gb.gmptGlyphOrigin.x, gr.gmptGlyphOrigin.x) << code;
    EXPECT_EQ(gb.gmBlackBoxX, gr.gmBlackBoxX + 1) << code;
    EXPECT_EQ(gb.gmBlackBoxY, gr.gmBlackBoxY) << code;
  }
}

// Mean column of the pixels of one row of a grey bitmap, in sixteenths.
int RowCentre(const std::vector<uint8_t>& bits, const GLYPHMETRICS& gm, int row) {
  const int pitch = (gm.gmBlackBoxX + 3) / 4 * 4;
  int sum = 0, weight = 0;
  for (UINT x = 0; x < gm.gmBlackBoxX; ++x) {
    sum += bits[row * pitch + x] * static_cast<int>(x) * 16;
    weight += bits[row * pitch + x];
  }
  return weight ? sum / weight : -1;
}

TEST_F(GdiFont, ItalicSlantsTheGlyphsToTheRightAsTheyRise) {
  Selected upright(MakeFont(32));
  Selected italic(MakeFont(32, nullptr, FW_NORMAL, TRUE));
  EXPECT_EQ(upright.Metrics().tmItalic, 0);
  EXPECT_EQ(italic.Metrics().tmItalic, 1);
  GLYPHMETRICS gu{}, gi{};
  const std::vector<uint8_t> u = upright.Bitmap('|', GGO_GRAY4_BITMAP, &gu);
  const std::vector<uint8_t> i = italic.Bitmap('|', GGO_GRAY4_BITMAP, &gi);
  const int last = static_cast<int>(gi.gmBlackBoxY) - 1;
  EXPECT_NEAR(RowCentre(u, gu, 0), RowCentre(u, gu, static_cast<int>(gu.gmBlackBoxY) - 1), 8);
  // A stroke of some 30 pixels leans by about a fifth of its height.
  EXPECT_GT(RowCentre(i, gi, 0) - RowCentre(i, gi, last), 3 * 16);
  EXPECT_EQ(gi.gmCellIncX, gu.gmCellIncX);
}

TEST_F(GdiFont, BitmapsComeInDwordRowsWithMetricsFromTheBaseline) {
  Selected s(MakeFont(20));
  const TEXTMETRICA tm = s.Metrics();
  for (UINT format : {GGO_BITMAP, GGO_GRAY4_BITMAP}) {
    for (UINT code : {UINT('A'), UINT('g'), kHiraganaA, kHalfWidthKatakanaA}) {
      GLYPHMETRICS gm{};
      const std::vector<uint8_t> bits = s.Bitmap(code, format, &gm);
      ASSERT_GT(gm.gmBlackBoxX, 1u);
      ASSERT_GT(gm.gmBlackBoxY, 1u);
      EXPECT_LE(gm.gmptGlyphOrigin.y, tm.tmAscent);
      EXPECT_GE(static_cast<LONG>(gm.gmBlackBoxY) - gm.gmptGlyphOrigin.y, -1);
      EXPECT_LE(static_cast<LONG>(gm.gmBlackBoxY) - gm.gmptGlyphOrigin.y, tm.tmDescent);
      const int pitch = static_cast<int>(bits.size() / gm.gmBlackBoxY);
      int top = 0, bottom = 0, maxLevel = 0;
      for (UINT y = 0; y < gm.gmBlackBoxY; ++y) {
        for (int x = 0; x < pitch * (format == GGO_BITMAP ? 8 : 1); ++x) {
          const int v = format == GGO_BITMAP ? (bits[y * pitch + x / 8] >> (7 - x % 8)) & 1
                                             : bits[y * pitch + x];
          if (x >= static_cast<int>(gm.gmBlackBoxX)) {
            EXPECT_EQ(v, 0) << "padding of row " << y;
            continue;
          }
          maxLevel = std::max(maxLevel, v);
          if (y == 0) top += v;
          if (y == gm.gmBlackBoxY - 1) bottom += v;
        }
      }
      // The black box is tight and the levels run to full.
      EXPECT_GT(top, 0) << code;
      EXPECT_GT(bottom, 0) << code;
      EXPECT_EQ(maxLevel, format == GGO_BITMAP ? 1 : 16) << code;
    }
  }
  // "g" hangs below the baseline, "A" stands on it.
  const GLYPHMETRICS g = s.GlyphMetrics('g'), a = s.GlyphMetrics('A');
  EXPECT_LT(g.gmptGlyphOrigin.y, static_cast<LONG>(g.gmBlackBoxY));
  EXPECT_GE(a.gmptGlyphOrigin.y, static_cast<LONG>(a.gmBlackBoxY));
  EXPECT_EQ(s.GlyphMetrics(kHalfWidthKatakanaA).gmCellIncX, tm.tmAveCharWidth);
}

TEST_F(GdiFont, SpacesHaveAnAdvanceAndNoPixels) {
  Selected s(MakeFont(16));
  for (UINT format : {GGO_METRICS, GGO_BITMAP, GGO_GRAY4_BITMAP}) {
    for (UINT code : {UINT(' '), kIdeographicSpace}) {
      GLYPHMETRICS gm{};
      uint8_t buffer[16];
      EXPECT_EQ(GetGlyphOutlineA(s.dc(), code, format, &gm, 0, nullptr, &kIdentity), 0u);
      EXPECT_EQ(GetGlyphOutlineA(s.dc(), code, format, &gm, sizeof buffer, buffer, &kIdentity), 0u);
      EXPECT_EQ(gm.gmBlackBoxX, 1u);
      EXPECT_EQ(gm.gmBlackBoxY, 1u);
      const TEXTMETRICA m = s.Metrics();
      EXPECT_EQ(gm.gmCellIncX, code == ' ' ? m.tmAveCharWidth : m.tmMaxCharWidth);
    }
  }
}

TEST_F(GdiFont, GlyphOutlineRefusesWhatItCannotGive) {
  Selected s(MakeFont(16));
  HDC bare = CreateCompatibleDC(nullptr);
  const MAT2 scaled = {{0, 2}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS gm{};
  uint8_t small[4];
  struct Case {
    const char* what;
    HDC dc;
    UINT code;
    UINT format;
    GLYPHMETRICS* metrics;
    DWORD size;
    void* buffer;
    const MAT2* matrix;
  } cases[] = {
      {"no metrics", s.dc(), 'A', GGO_BITMAP, nullptr, 0, nullptr, &kIdentity},
      {"no matrix", s.dc(), 'A', GGO_BITMAP, &gm, 0, nullptr, nullptr},
      {"scaled matrix", s.dc(), 'A', GGO_BITMAP, &gm, 0, nullptr, &scaled},
      {"native outline", s.dc(), 'A', GGO_NATIVE, &gm, 0, nullptr, &kIdentity},
      {"8-bit grey", s.dc(), 'A', GGO_GRAY8_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"glyph index", s.dc(), 'A', GGO_BITMAP | GGO_GLYPH_INDEX, &gm, 0, nullptr, &kIdentity},
      {"lone lead byte", s.dc(), 0x82, GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"two characters", s.dc(), 0x4142, GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"unassigned code", s.dc(), 0x85A1, GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"bad trail byte", s.dc(), 0x8220, GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"beyond 16 bits", s.dc(), 0x182A0, GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"the stock font", bare, 'A', GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"no context", nullptr, 'A', GGO_BITMAP, &gm, 0, nullptr, &kIdentity},
      {"buffer too small", s.dc(), 'A', GGO_GRAY4_BITMAP, &gm, sizeof small, small, &kIdentity},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetGlyphOutlineA(c.dc, c.code, c.format, c.metrics, c.size, c.buffer, c.matrix),
              GDI_ERROR)
        << c.what;
  TEXTMETRICA tm{};
  EXPECT_FALSE(GetTextMetricsA(bare, &tm));
  EXPECT_FALSE(GetTextMetricsA(s.dc(), nullptr));
  EXPECT_TRUE(DeleteDC(bare));
}

TEST_F(GdiFont, FontsAreSelectedAndDeletedAsGdiObjects) {
  const int before = PortLiveGdiObjectCount();
  HFONT a = MakeFont(16), b = MakeFont(20);
  HDC one = CreateCompatibleDC(nullptr), two = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(a && b && one && two);
  const HGDIOBJ stock = SelectObject(one, a);
  ASSERT_NE(stock, nullptr);
  EXPECT_NE(stock, a);
  EXPECT_EQ(SelectObject(one, b), a);
  EXPECT_EQ(SelectObject(two, b), stock) << "every context starts with the one stock font";
  EXPECT_EQ(SelectObject(two, b), b);
  TEXTMETRICA m{};
  ASSERT_TRUE(GetTextMetricsA(two, &m));
  EXPECT_EQ(m.tmHeight, 20);
  // A font in use stays until every context lets go of it; an unused one goes at once.
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(a));
  EXPECT_EQ(SelectObject(one, a), nullptr) << "a deleted font";
  EXPECT_EQ(SelectObject(one, stock), b);
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_TRUE(DeleteDC(two));
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_FALSE(GetTextMetricsA(one, &m));
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_TRUE(DeleteDC(one));
  EXPECT_EQ(PortLiveGdiObjectCount(), before);
}

TEST_F(GdiFont, NamesTheSystemAsksForStandInAsIpaGothic) {
  Selected standIn(MakeFont(16, nullptr, FW_NORMAL, 0, DEFAULT_CHARSET));
  const std::vector<int> ipaGothic = FaceSignature(standIn);
  for (const char* face : {"", kMsGothic, "IPAGothic", "ipagothic", "No Such Face Anywhere"}) {
    for (int charset : {DEFAULT_CHARSET, SHIFTJIS_CHARSET}) {
      Selected s(MakeFont(16, face, FW_NORMAL, 0, charset));
      EXPECT_EQ(FaceSignature(s), ipaGothic) << face << " charset " << charset;
    }
  }
  // Other installed families are found by their name, given in CP932.
  for (const char* face : {"IPAPGothic", kIpaPGothicJapanese}) {
    Selected s(MakeFont(16, face));
    EXPECT_NE(FaceSignature(s), ipaGothic) << face;
    EXPECT_LT(s.GlyphMetrics('i').gmCellIncX, standIn.GlyphMetrics('i').gmCellIncX) << face;
  }
}

// An installed outline family without Japanese glyphs, or empty when there is none.
std::string FamilyWithoutJapanese() {
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG, FC_OUTLINE, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  std::string found;
  for (int i = 0; fonts && i < fonts->nfont && found.empty(); ++i) {
    FcChar8* family = nullptr;
    FcLangSet* languages = nullptr;
    FcBool outline = FcFalse;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch &&
        FcPatternGetLangSet(fonts->fonts[i], FC_LANG, 0, &languages) == FcResultMatch &&
        FcPatternGetBool(fonts->fonts[i], FC_OUTLINE, 0, &outline) == FcResultMatch && outline &&
        FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>("ja")) ==
            FcLangDifferentLang) {
      const std::string name = reinterpret_cast<const char*>(family);
      // The family name must be plain ASCII to pass unchanged through CP932.
      bool ascii = true;
      for (unsigned char c : name) ascii = ascii && c < 0x80;
      if (ascii) found = name;
    }
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

TEST_F(GdiFont, AJapaneseCharsetPassesOverAFaceWithoutJapanese) {
  const std::string latin = FamilyWithoutJapanese();
  if (latin.empty()) GTEST_SKIP() << "no outline face without Japanese is installed";
  Selected standIn(MakeFont(16, nullptr, FW_NORMAL, 0, DEFAULT_CHARSET));
  Selected asked(MakeFont(16, latin.c_str(), FW_NORMAL, 0, DEFAULT_CHARSET));
  Selected japanese(MakeFont(16, latin.c_str(), FW_NORMAL, 0, SHIFTJIS_CHARSET));
  EXPECT_NE(FaceSignature(asked), FaceSignature(standIn)) << latin;
  EXPECT_EQ(FaceSignature(japanese), FaceSignature(standIn)) << latin;
}

TEST_F(GdiFont, CreationFailsForTheFacesTheSwitchesName) {
  PortSetFontCreationFailure(kMsGothic);
  EXPECT_EQ(MakeFont(16, kMsGothic), nullptr);
  Selected other(MakeFont(16, "IPAGothic"));
  Selected none(MakeFont(16));
  PortSetFontCreationFailure("");
  EXPECT_EQ(MakeFont(16), nullptr);
  EXPECT_EQ(MakeFont(16, ""), nullptr);
  PortResetFontSwitches();
  PortSetAllFontCreationsFail(true);
  for (const char* face : {static_cast<const char*>(nullptr), kMsGothic, "IPAGothic"})
    EXPECT_EQ(MakeFont(16, face), nullptr);
  PortSetAllFontCreationsFail(false);
  Selected again(MakeFont(16, kMsGothic));
}

TEST_F(GdiFont, FixedTextMetricsReplaceEveryFontsOwn) {
  Selected small(MakeFont(12)), large(MakeFont(40));
  const GLYPHMETRICS own = large.GlyphMetrics(kHiraganaA, GGO_GRAY4_BITMAP);
  PortSetFixedTextMetrics(10, 20);
  for (const Selected* s : {&small, &large}) {
    const TEXTMETRICA m = s->Metrics();
    EXPECT_EQ(m.tmMaxCharWidth, 10);
    EXPECT_EQ(m.tmAveCharWidth, 5);
    EXPECT_EQ(m.tmHeight, 20);
    EXPECT_EQ(m.tmAscent, 16);
    EXPECT_EQ(m.tmDescent, 4);
  }
  const GLYPHMETRICS fixed = large.GlyphMetrics(kHiraganaA, GGO_GRAY4_BITMAP);
  EXPECT_EQ(fixed.gmCellIncX, own.gmCellIncX) << "glyphs keep their own";
  EXPECT_EQ(fixed.gmBlackBoxY, own.gmBlackBoxY);
  PortResetFontSwitches();
  EXPECT_EQ(large.Metrics().tmHeight, 40);
}

}  // namespace
