// DIB output to a window that carries the device's OpenGL context: the pixels reach the
// window's framebuffer, 1:1 and stretched, and share it with the device's presents.
#include "tests/d3d9/d3d9_fixture.h"
#include "tests/support/dib_images.h"

namespace {

class DibOnGlWindow : public D3D9Test {
 protected:
  int width() const override { return 640; }
  int height() const override { return 480; }
  std::vector<uint32_t> Shown() {
    std::vector<uint32_t> pixels(static_cast<size_t>(width()) * height());
    EXPECT_TRUE(PortReadWindowPixels(window_, width(), height(), pixels.data()));
    return pixels;
  }
};

// A 640 x 480 picture shows 1:1; its top-left 320 x 240 (source y 240: counted from the
// bottom) stretched fills the window with every pixel doubled.
TEST_F(DibOnGlWindow, SetDIBitsToDeviceAndStretchDIBitsShowTheImage) {
  ASSERT_TRUE(PortWindowHasOpenGL(window_));
  TestDib dib = MakeTestDib(640, 480, 32, true);
  HDC dc = GetDC(window_);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 640, 480, 0, 0, 0, 480, dib.bits.data(), dib.info(),
                              DIB_RGB_COLORS),
            480);
  std::vector<uint32_t> shown = Shown();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(Pixel(shown, x, y, 640), DibTestColor(x, y)) << x << ", " << y;

  EXPECT_EQ(StretchDIBits(dc, 0, 0, 640, 480, 0, 240, 320, 240, dib.bits.data(), dib.info(),
                          DIB_RGB_COLORS, SRCCOPY),
            240);
  shown = Shown();
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(Pixel(shown, x, y, 640), DibTestColor(x / 2, y / 2)) << x << ", " << y;
  EXPECT_EQ(ReleaseDC(window_, dc), 1);
}

// 16-bit bit fields (5-6-5) widen to the nearest 8-bit values; a DIB drawn beside a present
// stays, as both write the one window image.
TEST_F(DibOnGlWindow, SixteenBitDibBesidePresents) {
  TestDib dib = MakeTestDib(64, 32, 16, true);
  HDC dc = GetDC(window_);
  BeginDraw(0xFF405060u);
  EndDraw();
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(SetDIBitsToDevice(dc, 100, 50, 64, 32, 0, 0, 0, 32, dib.bits.data(), dib.info(),
                              DIB_RGB_COLORS),
            32);
  RECT left = {0, 0, 80, 480};
  ASSERT_EQ(device_->Present(&left, &left, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> shown = Shown();
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(Pixel(shown, 100 + x, 50 + y, 640), DibTestColor565(x, y)) << x << ", " << y;
  EXPECT_EQ(Pixel(shown, 99, 50, 640), 0xFF405060u);
  EXPECT_EQ(Pixel(shown, 10, 60, 640), 0xFF405060u);
  ReleaseDC(window_, dc);
}

// Full screen on a desktop that is not 4:3: a present of the 640 x 480 back buffer shows at the
// largest size that keeps its shape, centred, with black bars (here into a 1280 x 1024 target,
// as the window's drawable would be; the same composition shows the window).
TEST_F(DibOnGlWindow, AFrameOnALargerDesktopKeepsItsShapeBetweenBlackBars) {
  BeginDraw(0xFF405060u);
  EndDraw();
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  constexpr int kW = 1280, kH = 1024;
  std::vector<uint32_t> rows(static_cast<size_t>(kW) * kH);
  {
    PortGlScope scope;
    ASSERT_TRUE(scope.ok());
    PortGlCanvas* canvas = PortGlWindowCanvas(window_);
    ASSERT_NE(canvas, nullptr);
    GLuint texture = 0, framebuffer = 0;
    PortGl.GenTextures(1, &texture);
    PortGl.BindTexture(GL_TEXTURE_2D, texture);
    std::vector<uint32_t> white(rows.size(), 0xFFFFFFFFu);  // what the bars must cover
    PortGl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kW, kH, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                      white.data());
    PortGl.GenFramebuffers(1, &framebuffer);
    PortGl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    PortGl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    ASSERT_TRUE(PortGlComposeCanvas(*canvas, framebuffer, kW, kH));
    PortGl.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    PortGl.ReadPixels(0, 0, kW, kH, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    PortGl.DeleteFramebuffers(1, &framebuffer);
    PortGl.DeleteTextures(1, &texture);
  }
  // GL rows run from the bottom: row y from the top is kH - 1 - y.
  auto shown = [&](int x, int y) {
    return rows[static_cast<size_t>(kH - 1 - y) * kW + x] & 0xFFFFFFu;
  };
  for (int y : {0, 31, 992, 1023})
    for (int x : {0, 640, 1279}) EXPECT_EQ(shown(x, y), 0u) << x << ", " << y;
  for (int y : {32, 512, 991})
    for (int x : {0, 640, 1279}) EXPECT_EQ(shown(x, y), 0x405060u) << x << ", " << y;
}

}  // namespace
