// Memory device contexts and DIB sections: every DIB variant drawn into a section gives the
// colours GDI gives, rectangles count their source y from the bottom, rows can come in bands,
// and the objects live and die as GDI's do.
#include "port/gdi/gdi_dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "port/kernel/last_error.h"
#include "tools/lib/image_file_fixtures.h"

namespace {

// A BITMAPINFO with room for a full colour table or the three masks.
struct Info {
  BITMAPINFOHEADER header;
  uint32_t extra[256];
  const BITMAPINFO* get() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

Info MakeInfo(int width, int height, int bits, DWORD compression = BI_RGB,
              std::vector<uint32_t> extra = {}, DWORD colorsUsed = 0) {
  Info info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bits);
  info.header.biCompression = compression;
  info.header.biClrUsed = colorsUsed;
  for (size_t i = 0; i < extra.size(); ++i) info.extra[i] = extra[i];
  return info;
}

// A memory context with a section selected; reads pixels back as 0x00RRGGBB.
class Section {
 public:
  Section(int width, int height, int bits = 24, DWORD compression = BI_RGB,
          std::vector<uint32_t> masks = {}) {
    info_ = MakeInfo(width, height, bits, compression, masks);
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, info_.get(), DIB_RGB_COLORS, &bits_, nullptr, 0);
    EXPECT_NE(bitmap_, nullptr);
    old_ = SelectObject(dc_, bitmap_);
    EXPECT_NE(old_, nullptr);
  }
  ~Section() {
    SelectObject(dc_, old_);
    EXPECT_TRUE(DeleteObject(bitmap_));
    EXPECT_TRUE(DeleteDC(dc_));
  }
  HDC dc() const { return dc_; }
  int Stride() const { return (info_.header.biWidth * info_.header.biBitCount + 31) / 32 * 4; }
  // Raw stored value of the pixel at (x, y) counted from the top.
  uint32_t Raw(int x, int y) const {
    const int h = info_.header.biHeight;
    const int stored = h < 0 ? y : h - 1 - y;
    const int bytes = info_.header.biBitCount / 8;
    const uint8_t* p = static_cast<const uint8_t*>(bits_) + stored * Stride() + x * bytes;
    uint32_t v = 0;
    for (int b = 0; b < bytes; ++b) v |= static_cast<uint32_t>(p[b]) << (8 * b);
    return v;
  }
  std::vector<uint32_t> All() const {
    std::vector<uint32_t> out;
    const int h = info_.header.biHeight < 0 ? -info_.header.biHeight : info_.header.biHeight;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < info_.header.biWidth; ++x) out.push_back(Raw(x, y));
    return out;
  }

 private:
  Info info_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  void* bits_ = nullptr;
};

TEST(GdiDib, EveryVariantDrawsItsColoursIntoATopDown24BitSection) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
  struct Case {
    const char* name;
    int bits;
    DWORD compression;
    std::vector<uint32_t> extra;  // palette entries or masks
    DWORD colorsUsed;
    std::vector<std::vector<uint32_t>> rows;  // top row first, as stored values
    std::vector<uint32_t> expected;           // 0x00RRGGBB, row by row from the top
  };
  const Case cases[] = {
      {"1-bit, width not a multiple of 8",
       1,
       BI_RGB,
       {0x102030, 0xFFFFFF},
       0,
       {{1, 0, 1}, {0, 0, 1}},
       {0xFFFFFF, 0x102030, 0xFFFFFF, 0x102030, 0x102030, 0xFFFFFF}},
      {"4-bit with a short table: index 5 is black",
       4,
       BI_RGB,
       palette,
       5,
       {{4, 1, 5}, {2, 3, 0}},
       {0x123456, 0xFF0000, 0, 0x00FF00, 0x0000FF, 0}},
      {"8-bit", 8, BI_RGB, palette, 0, {{3, 4}, {1, 0}}, {0x0000FF, 0x123456, 0xFF0000, 0}},
      {"16-bit BI_RGB is 5-5-5, bits repeated",
       16,
       BI_RGB,
       {},
       0,
       {{0x7FFF, 0x4210}, {0x7C00, 0x001F}},
       {0xFFFFFF, 0x848484, 0xFF0000, 0x0000FF}},
      {"16-bit bit fields 5-6-5",
       16,
       BI_BITFIELDS,
       {0xF800, 0x7E0, 0x1F},
       0,
       {{0xFFFF, 0x0400}, {0xF800, 0x8010}},
       {0xFFFFFF, 0x008200, 0xFF0000, 0x840084}},
      {"24-bit",
       24,
       BI_RGB,
       {},
       0,
       {{0x010203, 0xA0B0C0}, {0xFFFFFF, 0}},
       {0x010203, 0xA0B0C0, 0xFFFFFF, 0}},
      {"32-bit BI_RGB ignores the top byte",
       32,
       BI_RGB,
       {},
       0,
       {{0xFF010203, 0x00A0B0C0}},
       {0x010203, 0xA0B0C0}},
      {"32-bit bit fields with 10-bit channels keep the top 8 bits",
       32,
       BI_BITFIELDS,
       {0x3FF00000, 0xFFC00, 0x3FF},
       0,
       {{0x3FFFFFFF, 0x20000000 | (0x100 << 10) | 0x3}},
       {0xFFFFFF, 0x804000}},
  };
  for (const Case& c : cases) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (topDown ? ", top-down" : ", bottom-up"));
      const int w = static_cast<int>(c.rows[0].size()), h = static_cast<int>(c.rows.size());
      const Info info = MakeInfo(w, topDown ? -h : h, c.bits, c.compression, c.extra, c.colorsUsed);
      const std::vector<uint8_t> bits = PackDibRows(c.rows, c.bits, topDown);
      Section section(w, -h);
      EXPECT_EQ(SetDIBitsToDevice(section.dc(), 0, 0, w, h, 0, 0, 0, h, bits.data(), info.get(),
                                  DIB_RGB_COLORS),
                h);
      EXPECT_EQ(section.All(), c.expected);
    }
  }
}

TEST(GdiDib, TargetsOf16And32BitsPackTheColours) {
  const Info info = MakeInfo(2, -1, 24);
  const std::vector<uint8_t> bits = PackDibRows({{0xFFFFFF, 0x8040C0}}, 24, true);
  {
    Section section(2, 1, 16, BI_BITFIELDS, {0xF800, 0x7E0, 0x1F});
    ASSERT_EQ(SetDIBitsToDevice(section.dc(), 0, 0, 2, 1, 0, 0, 0, 1, bits.data(), info.get(),
                                DIB_RGB_COLORS),
              1);
    EXPECT_EQ(section.All(), (std::vector<uint32_t>{0xFFFF, (0x10u << 11) | (0x10u << 5) | 0x18u}));
  }
  {
    Section section(2, 1, 32);  // bottom-up X8R8G8B8 with the top byte left 0
    ASSERT_EQ(SetDIBitsToDevice(section.dc(), 0, 0, 2, 1, 0, 0, 0, 1, bits.data(), info.get(),
                                DIB_RGB_COLORS),
              1);
    EXPECT_EQ(section.All(), (std::vector<uint32_t>{0xFFFFFF, 0x8040C0}));
  }
}

// A 4 x 4 DIB whose pixel (x, y from the top) is 0x0000yx + 0x010101.
std::vector<std::vector<uint32_t>> NumberedRows(int w, int h) {
  std::vector<std::vector<uint32_t>> rows(h, std::vector<uint32_t>(w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rows[y][x] = 0x010101u + static_cast<uint32_t>(y * 16 + x);
  return rows;
}

TEST(GdiDib, SourceRectanglesCountYFromTheBottomAndClipAtTheTarget) {
  for (bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    const Info info = MakeInfo(4, topDown ? -4 : 4, 24);
    const std::vector<uint8_t> bits = PackDibRows(NumberedRows(4, 4), 24, topDown);
    Section section(3, -3);
    // Source (1, 1) 2 x 2 from the bottom is the block of rows 1-2 from the top, columns 1-2,
    // placed at (2, -1): only its bottom-left pixel lands inside.
    EXPECT_EQ(SetDIBitsToDevice(section.dc(), 2, -1, 2, 2, 1, 1, 0, 4, bits.data(), info.get(),
                                DIB_RGB_COLORS),
              4);
    std::vector<uint32_t> expected(9, 0);
    expected[0 * 3 + 2] = 0x010101 + 2 * 16 + 1;
    EXPECT_EQ(section.All(), expected);
  }
}

TEST(GdiDib, ABandOfRowsDrawsOnlyThoseRows) {
  // Bottom-up: rows 1 and 2 counted from the bottom are given, stored bottom first.
  const auto rows = NumberedRows(2, 4);
  const std::vector<uint8_t> all = PackDibRows(rows, 24, false);
  const int stride = 8;
  const std::vector<uint8_t> band(all.begin() + stride, all.begin() + 3 * stride);
  const Info info = MakeInfo(2, 4, 24);
  Section section(2, -4);
  EXPECT_EQ(SetDIBitsToDevice(section.dc(), 0, 0, 2, 4, 0, 0, 1, 2, band.data(), info.get(),
                              DIB_RGB_COLORS),
            2);
  const std::vector<uint32_t> expected = {0,          0,          rows[1][0], rows[1][1],
                                          rows[2][0], rows[2][1], 0,          0};
  EXPECT_EQ(section.All(), expected);
}

TEST(GdiDib, StretchDoublesAndTakesTheTopLeftQuarterWithYFromTheBottom) {
  const auto rows = NumberedRows(4, 4);
  const Info info = MakeInfo(4, -4, 24);
  const std::vector<uint8_t> bits = PackDibRows(rows, 24, true);
  Section section(4, -4);
  // The top-left 2 x 2 of a top-down DIB sits at y 2 counted from the bottom.
  EXPECT_EQ(StretchDIBits(section.dc(), 0, 0, 4, 4, 0, 2, 2, 2, bits.data(), info.get(),
                          DIB_RGB_COLORS, SRCCOPY),
            2);
  std::vector<uint32_t> expected;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) expected.push_back(rows[y / 2][x / 2]);
  EXPECT_EQ(section.All(), expected);
  // Halving keeps every other pixel.
  Section half(2, -2);
  EXPECT_EQ(StretchDIBits(half.dc(), 0, 0, 2, 2, 0, 0, 4, 4, bits.data(), info.get(),
                          DIB_RGB_COLORS, SRCCOPY),
            4);
  EXPECT_EQ(half.All(), (std::vector<uint32_t>{rows[0][0], rows[0][2], rows[2][0], rows[2][2]}));
}

TEST(GdiDib, RefusedSourcesDrawNothing) {
  const uint32_t pixels[4] = {0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEFF00};
  struct Case {
    const char* name;
    Info info;
    UINT usage;
  };
  Info shortHeader = MakeInfo(2, 2, 24);
  shortHeader.header.biSize = 12;
  const Case cases[] = {
      {"run-length data", MakeInfo(2, 2, 8, BI_RLE8), DIB_RGB_COLORS},
      {"a JPEG inside", MakeInfo(2, 2, 0, BI_JPEG), DIB_RGB_COLORS},
      {"2 bits per pixel", MakeInfo(2, 2, 2), DIB_RGB_COLORS},
      {"bit fields on 8 bits", MakeInfo(2, 2, 8, BI_BITFIELDS), DIB_RGB_COLORS},
      {"palette indices", MakeInfo(2, 2, 8), DIB_PAL_COLORS},
      {"height 0", MakeInfo(2, 0, 24), DIB_RGB_COLORS},
      {"width 0", MakeInfo(0, 2, 24), DIB_RGB_COLORS},
      {"a 12-byte header", shortHeader, DIB_RGB_COLORS},
      {"rows past 2 GiB", MakeInfo(0x7FFFFFF, 0x7FFF, 32), DIB_RGB_COLORS},
  };
  Section section(2, -2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(
        SetDIBitsToDevice(section.dc(), 0, 0, 2, 2, 0, 0, 0, 2, pixels, c.info.get(), c.usage), 0);
    EXPECT_EQ(
        StretchDIBits(section.dc(), 0, 0, 2, 2, 0, 0, 2, 2, pixels, c.info.get(), c.usage, SRCCOPY),
        0);
  }
  const Info good = MakeInfo(2, 2, 32);
  EXPECT_EQ(StretchDIBits(section.dc(), 0, 0, 2, 2, 0, 0, 2, 2, pixels, good.get(), DIB_RGB_COLORS,
                          0x00EE0086u),
            0);
  EXPECT_EQ(StretchDIBits(section.dc(), 0, 0, -2, 2, 0, 0, 2, 2, pixels, good.get(), DIB_RGB_COLORS,
                          SRCCOPY),
            0);
  EXPECT_EQ(
      SetDIBitsToDevice(section.dc(), 0, 0, 2, 2, 0, 0, 0, 2, nullptr, good.get(), DIB_RGB_COLORS),
      0);
  EXPECT_EQ(section.All(), std::vector<uint32_t>(4, 0));
}

TEST(GdiDib, ObjectsLiveAndDieAsGdiObjectsDo) {
  const int before = PortLiveGdiObjectCount();
  const Info info = MakeInfo(2, 2, 24);
  HDC dc = CreateCompatibleDC(nullptr);
  HDC other = CreateCompatibleDC(dc);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(static_cast<uint8_t*>(bits)[0], 0);

  HGDIOBJ stock = SelectObject(dc, section);
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(SelectObject(other, section), nullptr);  // already in dc
  EXPECT_FALSE(DeleteObject(section));               // still selected
  EXPECT_EQ(SelectObject(dc, stock), section);
  EXPECT_EQ(SelectObject(other, section), stock);
  EXPECT_TRUE(DeleteDC(other));  // leaves the section alive
  EXPECT_FALSE(DeleteDC(other));
  EXPECT_TRUE(DeleteObject(section));
  EXPECT_FALSE(DeleteObject(section));
  EXPECT_TRUE(DeleteObject(stock));
  EXPECT_EQ(SelectObject(dc, section), nullptr);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_EQ(PortLiveGdiObjectCount(), before);

  // Sections only in the layouts drawn into, never backed by a file mapping.
  void* none = &none;
  EXPECT_EQ(CreateDIBSection(nullptr, MakeInfo(2, 2, 8).get(), DIB_RGB_COLORS, &none, nullptr, 0),
            nullptr);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 4), nullptr);
  PortSetDibSectionFailures(1);
  EXPECT_EQ(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  HBITMAP again = CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &bits, nullptr, 0);
  EXPECT_NE(again, nullptr);
  EXPECT_TRUE(DeleteObject(again));
  EXPECT_EQ(PortLiveGdiObjectCount(), before);
}

struct OutputCall {
  HDC dc;
  int values[8];
  uint32_t firstPixel;
};
OutputCall gOutputCall;

bool RecordingOutput(HDC dc, const PortDibSource* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, int xDst, int yDst, int dstWidth, int dstHeight) {
  if (dc != reinterpret_cast<HDC>(0x1234)) return false;
  gOutputCall = {dc,
                 {xSrc, ySrc, srcWidth, srcHeight, xDst, yDst, dstWidth, dstHeight},
                 PortDibPixel(source, 0, 0)};
  return true;
}

TEST(GdiDib, OtherContextsGoToTheRegisteredDeviceOutput) {
  const Info info = MakeInfo(2, -2, 24);
  const std::vector<uint8_t> bits = PackDibRows({{0xABCDEF, 0}, {0, 0}}, 24, true);
  HDC window = reinterpret_cast<HDC>(0x1234);
  EXPECT_EQ(
      SetDIBitsToDevice(window, 0, 0, 2, 2, 0, 0, 0, 2, bits.data(), info.get(), DIB_RGB_COLORS),
      0);
  PortSetDibDeviceOutput(&RecordingOutput);
  EXPECT_EQ(StretchDIBits(window, 5, 6, 4, 4, 0, 0, 2, 2, bits.data(), info.get(), DIB_RGB_COLORS,
                          SRCCOPY),
            2);
  EXPECT_EQ(gOutputCall.dc, window);
  EXPECT_EQ(std::vector<int>(gOutputCall.values, gOutputCall.values + 8),
            (std::vector<int>{0, 0, 2, 2, 5, 6, 4, 4}));
  EXPECT_EQ(gOutputCall.firstPixel, 0xABCDEFu);
  EXPECT_EQ(SetDIBitsToDevice(reinterpret_cast<HDC>(0x5678), 0, 0, 2, 2, 0, 0, 0, 2, bits.data(),
                              info.get(), DIB_RGB_COLORS),
            0);
  PortSetDibDeviceOutput(nullptr);
}

}  // namespace
