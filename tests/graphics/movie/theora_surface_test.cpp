// The YUV surface on the port's Direct3D device (Mesa's llvmpipe, in a child process on SDL's
// offscreen driver): the first format the device offers, the frame's planes laid out in it,
// no surface for frames it cannot hold, and nothing left on the device after the movies close.
#include <gtest/gtest.h>

#include <cstring>

#include "port/win32.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/support/child_process.h"

namespace {

IDirect3DDevice9* gDevice = nullptr;
IDirect3DDevice9* TestDevice() { return gDevice; }

// The surface's bytes against the display frame's planes, by the surface's layout.
testing::AssertionResult SurfaceHoldsFrame(TheoraDecoder* d, const TheoraStockFrame* f) {
  D3DLOCKED_RECT locked;
  if (FAILED(d->Surface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    return testing::AssertionFailure() << "lock failed";
  const uint8_t* bits = static_cast<const uint8_t*>(locked.pBits);
  const size_t pitch = static_cast<size_t>(locked.Pitch);
  testing::AssertionResult result = testing::AssertionSuccess();
  auto check = [&](int want, int got, const char* plane, int x, int y) {
    if (want != got && result)
      result = testing::AssertionFailure()
               << plane << " (" << x << ", " << y << "): " << got << " instead of " << want;
  };
  for (int y = 0; y < f->YHeight; ++y)
    for (int x = 0; x < f->YWidth; ++x) {
      const int Y = f->Y[y * f->YStride + x];
      const int U = f->U[y / 2 * f->ChromaStride + x / 2];
      const int V = f->V[y / 2 * f->ChromaStride + x / 2];
      if (d->SurfaceFormat == D3DFMT_YV12) {
        const uint8_t* v = bits + pitch * f->YHeight;
        const uint8_t* u = v + pitch / 2 * (f->YHeight / 2);
        check(Y, bits[y * pitch + x], "Y", x, y);
        check(V, v[y / 2 * (pitch / 2) + x / 2], "V", x, y);
        check(U, u[y / 2 * (pitch / 2) + x / 2], "U", x, y);
      } else {
        const uint8_t* pair = bits + y * pitch + x / 2 * 4;
        const bool yuy2 = d->SurfaceFormat == D3DFMT_YUY2;
        check(Y, pair[(yuy2 ? 0 : 1) + (x & 1) * 2], "Y", x, y);
        check(U, pair[yuy2 ? 1 : 0], "U", x, y);
        check(V, pair[yuy2 ? 3 : 2], "V", x, y);
      }
    }
  d->Surface->UnlockRect();
  return result;
}

TEST(TheoraSurface, DISABLED_ChildOnTheDevice) {
  if (!IsChildRunOf("TheoraSurface.DISABLED_ChildOnTheDevice"))
    GTEST_SKIP() << "runs as the child of TheoraSurface.FramesGoIntoTheDevicesYuvSurface";
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "MovieSurfaceTest";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  HWND window = CreateWindowExA(0, "MovieSurfaceTest", "movie", WS_POPUP, 0, 0, 64, 48, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d) GTEST_SKIP() << "no OpenGL on this machine: no device";
  D3DPRESENT_PARAMETERS params = {};
  params.BackBufferWidth = 64;
  params.BackBufferHeight = 48;
  params.BackBufferFormat = D3DFMT_X8R8G8B8;
  params.BackBufferCount = 1;
  params.SwapEffect = D3DSWAPEFFECT_COPY;
  params.hDeviceWindow = window;
  params.Windowed = TRUE;
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                              D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &gDevice),
            D3D_OK);
  BuildYuvTables();
  SetTheoraSurfaceDeviceQuery(TestDevice);
  TempFolder folder;
  auto open = [&folder](const TheoraMovieOptions& o, FileHandle* file) {
    const Bytes bytes = EncodeTheoraMovie(o).File;
    folder.WriteFile("movie.ogv", std::string(bytes.begin(), bytes.end()));
    *file = OpenStreamFile((folder.WindowsPath() + "\\movie.ogv").c_str(), 0, 1, 0);
    return OpenTheoraMovie(&CurrentFileFunctions, *file, 10);
  };
  TheoraMovieOptions movie;
  movie.WithAudio = false;

  const struct {
    std::vector<D3DFORMAT> unsupported;
    D3DFORMAT made;
  } cases[] = {
      {{}, D3DFMT_YV12},
      {{D3DFMT_YV12}, D3DFMT_YUY2},
      {{D3DFMT_YV12, D3DFMT_YUY2}, D3DFMT_UYVY},
      {{D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY}, D3DFMT_UNKNOWN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.made);
    for (D3DFORMAT f : c.unsupported) PortSetD3DFormatUnsupported(f, true);
    FileHandle file;
    TheoraDecoder* d = open(movie, &file);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->SurfaceFormat, c.made);
    if (c.made == D3DFMT_UNKNOWN) {
      EXPECT_EQ(GetTheoraSurface(d), nullptr);
    } else {
      ASSERT_NE(GetTheoraSurface(d), nullptr);
      EXPECT_EQ(d->SurfaceCurrent, 1) << "the first frame is in the surface at open";
      EXPECT_TRUE(SurfaceHoldsFrame(d, DisplayFrame(d)));
      SeekTheoraMovie(d, 6);
      EXPECT_EQ(ConvertTheoraFrame(d, 0, 1), 1);
      EXPECT_EQ(d->RgbCurrent, 0) << "only the surface was asked for";
      EXPECT_TRUE(SurfaceHoldsFrame(d, DisplayFrame(d)));
      EXPECT_NEAR(DisplayFrame(d)->Y[0], MovieFrameYuv(6).Y, 3);
    }
    CloseTheoraMovie(d);
    CloseStreamFile(file);
    PortResetD3DSwitches();
  }

  // Frames the surface cannot take get none: their graphs go through the RGB image.
  const struct {
    th_pixel_fmt format;
    int width, height;
  } others[] = {{TH_PF_444, 64, 48}, {TH_PF_422, 64, 48}, {TH_PF_420, 63, 47}};
  for (const auto& c : others) {
    SCOPED_TRACE(c.width + c.format);
    TheoraMovieOptions o = movie;
    o.PixelFormat = c.format;
    o.Width = c.width;
    o.Height = c.height;
    FileHandle file;
    TheoraDecoder* d = open(o, &file);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(GetTheoraSurface(d), nullptr);
    EXPECT_TRUE(ShowsFrame(GetTheoraRgbImage(d), 0, MovieFlatRows(o)));
    CloseTheoraMovie(d);
    CloseStreamFile(file);
  }

  SetTheoraSurfaceDeviceQuery(nullptr);
  EXPECT_EQ(gDevice->Release(), 0u) << "a surface is still held";
  gDevice = nullptr;
  d3d->Release();
  DestroyWindow(window);
  UnregisterClassA("MovieSurfaceTest", nullptr);
}

TEST(TheoraSurface, FramesGoIntoTheDevicesYuvSurface) {
  EXPECT_EQ(
      RunTestInChild("TheoraSurface.DISABLED_ChildOnTheDevice", {"SDL_VIDEODRIVER=offscreen"}), 0);
}

}  // namespace
