// DIB output on SDL's dummy driver (no OpenGL): Direct3D gives nothing, and DIBs drawn into a
// window's device context reach the window through its SDL surface, with GDI's source
// coordinates; what the DIB does not cover keeps what the window showed.
#include <gtest/gtest.h>

#include <vector>

#include "port/gdi/window_output.h"
#include "port/user/window_internal.h"
#include "port/win32.h"
#include "tests/support/dib_images.h"

namespace {

class DibOnSurface : public testing::Test {
 protected:
  static constexpr const char* kClass = "DibTestWindow";
  void SetUp() override {
    ASSERT_TRUE(PortEnsureVideo()) << SDL_GetError();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassExA(&wc), 0);
    window_ = CreateWindowExA(0, kClass, "dib", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    dc_ = GetDC(window_);
    ASSERT_NE(dc_, nullptr);
  }
  void TearDown() override {
    if (dc_) ReleaseDC(window_, dc_);
    if (window_) DestroyWindow(window_);
    UnregisterClassA(kClass, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  std::vector<uint32_t> Shown() {
    std::vector<uint32_t> pixels(640 * 480);
    EXPECT_TRUE(PortReadWindowPixels(window_, 640, 480, pixels.data()));
    return pixels;
  }
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

TEST_F(DibOnSurface, NoDirect3DOnTheDummyDriverButDibOutputWorks) {
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  IDirect3D9Ex* ex = reinterpret_cast<IDirect3D9Ex*>(1);
  EXPECT_EQ(Direct3DCreate9Ex(D3D_SDK_VERSION, &ex), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(ex, nullptr);
  EXPECT_FALSE(PortWindowHasOpenGL(window_));

  TestDib dib = MakeTestDib(640, 480, 32, true);
  EXPECT_EQ(SetDIBitsToDevice(dc_, 0, 0, 640, 480, 0, 0, 0, 480, dib.bits.data(), dib.info(),
                              DIB_RGB_COLORS),
            480);
  std::vector<uint32_t> shown = Shown();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(shown[y * 640 + x], DibTestColor(x, y)) << x << ", " << y;
  EXPECT_EQ(StretchDIBits(dc_, 0, 0, 640, 480, 0, 240, 320, 240, dib.bits.data(), dib.info(),
                          DIB_RGB_COLORS, SRCCOPY),
            240);
  shown = Shown();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(shown[y * 640 + x], DibTestColor(x / 2, y / 2)) << x << ", " << y;
}

// The source rectangle's y is its bottom edge counted from the DIB's bottom row, for rows
// stored either way; a bottom-up DIB may come as a band of scan lines.
TEST_F(DibOnSurface, SourceRowsCountFromTheBottom) {
  for (bool topDown : {true, false}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    TestDib dib = MakeTestDib(8, 8, 32, topDown);
    ASSERT_EQ(SetDIBitsToDevice(dc_, 10, 10, 4, 4, 2, 1, 0, 8, dib.bits.data(), dib.info(),
                                DIB_RGB_COLORS),
              8);
    std::vector<uint32_t> shown = Shown();
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(shown[(10 + y) * 640 + 10 + x], DibTestColor(2 + x, 3 + y)) << x << ", " << y;
    // Source y 6 with 4 rows reaches two rows past the top: those keep what was there.
    TestDib blank = MakeTestDib(4, 4, 32, true);
    std::fill(blank.bits.begin(), blank.bits.end(), 0);
    SetDIBitsToDevice(dc_, 100, 10, 4, 4, 0, 0, 0, 4, blank.bits.data(), blank.info(),
                      DIB_RGB_COLORS);
    ASSERT_EQ(SetDIBitsToDevice(dc_, 100, 10, 4, 4, 0, 6, 0, 8, dib.bits.data(), dib.info(),
                                DIB_RGB_COLORS),
              8);
    shown = Shown();
    EXPECT_EQ(shown[10 * 640 + 100], 0xFF000000u);
    EXPECT_EQ(shown[12 * 640 + 100], DibTestColor(0, 0));
    EXPECT_EQ(shown[13 * 640 + 101], DibTestColor(1, 1));
  }
  // Scan lines 4..7 of a bottom-up DIB (its top half) given alone.
  TestDib dib = MakeTestDib(8, 8, 32, false);
  std::vector<uint8_t> band(dib.bits.begin() + 4 * 32, dib.bits.end());
  ASSERT_EQ(
      SetDIBitsToDevice(dc_, 200, 0, 8, 8, 0, 0, 4, 4, band.data(), dib.info(), DIB_RGB_COLORS), 4);
  std::vector<uint32_t> shown = Shown();
  EXPECT_EQ(shown[0 * 640 + 200], DibTestColor(0, 0));
  EXPECT_EQ(shown[3 * 640 + 207], DibTestColor(7, 3));
  EXPECT_EQ(shown[4 * 640 + 200], 0xFF000000u);  // not in the band: untouched
}

// The screen's context and a released one show nothing; a DIB reaching past the client area
// shows the part inside.
TEST_F(DibOnSurface, OnlyWindowContextsAndOnlyTheClientArea) {
  TestDib dib = MakeTestDib(8, 8, 32, true);
  const void* bits = dib.bits.data();
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(SetDIBitsToDevice(screen, 0, 0, 8, 8, 0, 0, 0, 8, bits, dib.info(), DIB_RGB_COLORS), 0);
  ReleaseDC(nullptr, screen);
  HDC released = GetDC(window_);
  ReleaseDC(window_, released);
  EXPECT_EQ(
      StretchDIBits(released, 0, 0, 8, 8, 0, 0, 8, 8, bits, dib.info(), DIB_RGB_COLORS, SRCCOPY),
      0);
  EXPECT_EQ(SetDIBitsToDevice(dc_, 636, 476, 8, 8, 0, 0, 0, 8, bits, dib.info(), DIB_RGB_COLORS),
            8);
  std::vector<uint32_t> shown = Shown();
  EXPECT_EQ(shown[479 * 640 + 639], DibTestColor(3, 3));
  EXPECT_EQ(shown[476 * 640 + 636], DibTestColor(0, 0));
}

// The picture's place on a larger area: the largest size that keeps its shape, centred.
TEST(Letterbox, TheLargestRectangleOfThePicturesShapeCentred) {
  struct Case {
    int pw, ph, aw, ah;
    SDL_Rect box;
  } cases[] = {
      {640, 480, 1280, 1024, {0, 32, 1280, 960}},    // 5:4: bars above and below
      {640, 480, 1920, 1080, {240, 0, 1440, 1080}},  // 16:9: bars left and right
      {640, 480, 1024, 768, {0, 0, 1024, 768}},      // 4:3: none
      {640, 480, 640, 480, {0, 0, 640, 480}},
      {640, 480, 641, 480, {0, 0, 640, 480}},  // an odd pixel goes to the right
      {0, 480, 800, 600, {0, 0, 800, 600}},    // no picture: the whole area
  };
  for (const Case& c : cases) {
    const SDL_Rect r = PortLetterboxRect(c.pw, c.ph, c.aw, c.ah);
    EXPECT_EQ((std::vector<int>{r.x, r.y, r.w, r.h}),
              (std::vector<int>{c.box.x, c.box.y, c.box.w, c.box.h}))
        << c.aw << " x " << c.ah;
  }
}

// A window shown full screen on a 1280 x 1024 desktop (its surface of the desktop's size, its
// client area of the 640 x 480 mode): the DIB shows at 1280 x 960, every pixel doubled, between
// black bars of 32 rows that cover whatever the surface held.
TEST_F(DibOnSurface, AFrameOnALargerDesktopKeepsItsShapeBetweenBlackBars) {
  SDL_Window* sdl = PortGetSdlWindow(window_);
  SDL_SetWindowSize(sdl, 1280, 1024);
  SDL_Surface* surface = SDL_GetWindowSurface(sdl);
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(surface->w, 1280);
  ASSERT_EQ(surface->h, 1024);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
  RECT c;
  GetClientRect(window_, &c);
  ASSERT_EQ(c.right, 640);

  TestDib dib = MakeTestDib(640, 480, 32, true);
  ASSERT_EQ(SetDIBitsToDevice(dc_, 0, 0, 640, 480, 0, 0, 0, 480, dib.bits.data(), dib.info(),
                              DIB_RGB_COLORS),
            480);
  surface = SDL_GetWindowSurface(sdl);
  auto shown = [&](int x, int y) {
    const auto* row =
        static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    Uint32 value = 0;
    const int bpp = surface->format->BytesPerPixel;
    for (int i = 0; i < bpp; ++i)
      value |= static_cast<Uint32>(row[static_cast<size_t>(x) * bpp + i]) << (8 * i);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  };
  for (int y = 0; y < 1024; ++y) {
    for (int x = 0; x < 1280; ++x) {
      const bool bar = y < 32 || y >= 992;
      const uint32_t expected = bar ? 0u : DibTestColor(x / 2, (y - 32) / 2) & 0xFFFFFFu;
      ASSERT_EQ(shown(x, y), expected) << x << ", " << y;
    }
  }
}

// A small area written to a window whose surface is scaled from its client area: the surface's
// first row and column of the area map back to the area's own first pixels, never to the pixel
// before them (which the caller does not hold).
TEST_F(DibOnSurface, AScaledSurfaceReadsOnlyTheWrittenAreasPixels) {
  struct Case {
    int surfaceW, surfaceH;
    RECT dest;
  };
  const Case cases[] = {
      {320, 240, {3, 3, 13, 13}},   // halved: row 1 maps back to row 2, above the area
      {1000, 750, {1, 1, 11, 11}},  // scaled by 1.5625: row 1 maps back to row 0
  };
  SDL_Window* sdl = PortGetSdlWindow(window_);
  for (const Case& c : cases) {
    SDL_SetWindowSize(sdl, c.surfaceW, c.surfaceH);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr, 0);
    const int w = c.dest.right - c.dest.left, h = c.dest.bottom - c.dest.top;
    // Exactly the area's pixels, on the heap, so a read outside them is caught.
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0x00C08040u);
    ASSERT_TRUE(PortWindowWriteArgb(window_, c.dest, pixels.data(), static_cast<size_t>(w)));
    const int sx = static_cast<int>(int64_t{c.dest.left} * c.surfaceW / 640);
    const int sy = static_cast<int>(int64_t{c.dest.top} * c.surfaceH / 480);
    const auto* row =
        static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(sy) * surface->pitch;
    Uint32 value = 0;
    const int bpp = surface->format->BytesPerPixel;
    for (int i = 0; i < bpp; ++i)
      value |= static_cast<Uint32>(row[static_cast<size_t>(sx) * bpp + i]) << (8 * i);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    EXPECT_EQ(r << 16 | g << 8 | b, 0xC08040) << c.surfaceW << " x " << c.surfaceH;
  }
}

}  // namespace
