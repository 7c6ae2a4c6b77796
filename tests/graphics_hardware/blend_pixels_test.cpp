// The blend tables checked by what the device draws: a textured quad over a known background
// in every mode 0-14, with a draw brightness, read back and compared with the equation each
// table row means (stage set-up by its variant, then the row's blend factors and operation).
#include <algorithm>
#include <cstring>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/graphics_hardware/hardware_fixture.h"

namespace {

struct Rgb {
  double r, g, b;
};

constexpr Rgb kBackground = {60, 120, 180};
constexpr Rgb kTexel = {200, 100, 50};
constexpr Rgb kBright = {255, 192, 128};
constexpr int kParam = 160;

double Clamp(double v) { return std::clamp(v, 0.0, 255.0); }

Rgb Map(const Rgb& a, double (*f)(double, double), const Rgb& b) {
  return {Clamp(f(a.r, b.r)), Clamp(f(a.g, b.g)), Clamp(f(a.b, b.b))};
}

// What the texture stages give for a variant: the texel modulated by the vertex colour.
Rgb StageColour(int variant, double alpha) {
  const auto mul = [](double a, double b) { return a * b / 255; };
  switch (variant) {
    case 1: {  // then blended towards the white texture factor by the vertex alpha
      const Rgb c = Map(kTexel, mul, kBright);
      const auto toWhite = [](double a, double w) { return a * w + 255 * (1 - w); };
      return Map(c, toWhite, {alpha / 255, alpha / 255, alpha / 255});
    }
    case 2:
      return Map({255 - kTexel.r, 255 - kTexel.g, 255 - kTexel.b}, mul, kBright);
    case 3:
      return Map(
          kTexel, [](double a, double b) { return 4 * a * b / 255; }, kBright);
    default:
      return Map(kTexel, mul, kBright);
  }
}

double Factor(int blend, double s, double sa, double d) {
  switch (blend) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return 1;
    case D3DBLEND_SRCCOLOR:
      return s / 255;
    case D3DBLEND_SRCALPHA:
      return sa / 255;
    case D3DBLEND_INVSRCALPHA:
      return 1 - sa / 255;
    case D3DBLEND_INVDESTCOLOR:
      return 1 - d / 255;
    default:
      ADD_FAILURE() << "factor " << blend;
      return 0;
  }
}

double Blend(int src, int dest, int op, double s, double sa, double d) {
  const double a = s * Factor(src, s, sa, d), b = d * Factor(dest, s, sa, d);
  return Clamp(op == D3DBLENDOP_REVSUBTRACT ? b - a : a + b);
}

using BlendPixels = HardwareDeviceTest;

TEST_F(BlendPixels, EveryModeDrawsWhatItsRowMeans) {
  // The plain device, whose managed textures can be filled by a lock.
  PortSetExportAbsent("d3d9.dll", "Direct3DCreate9Ex", true);
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  ASSERT_EQ(HardwareRendering, 1);
  ResetDeviceStateCache();
  ResetBlendStateCache();
  InitializeVertexBatchBuffers();
  TextureFilterMode = 0;

  IDirect3DTexture9* texture = nullptr;
  ASSERT_EQ(Direct3DDevice->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture,
                                          nullptr),
            D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t texel = D3DCOLOR_ARGB(255, 200, 100, 50);
      std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, &texel, 4);
    }
  texture->UnlockRect(0);

  DrawBright = static_cast<uint32_t>(kBright.r) << 16 | static_cast<uint32_t>(kBright.g) << 8 |
               static_cast<uint32_t>(kBright.b);
  int lastSrc = D3DBLEND_ONE, lastDest = D3DBLEND_ZERO;
  for (int mode = 0; mode < kBlendModeCount; ++mode) {
    SCOPED_TRACE(mode);
    Direct3DDevice->Clear(
        0, nullptr, D3DCLEAR_TARGET,
        D3DCOLOR_XRGB(static_cast<int>(kBackground.r), static_cast<int>(kBackground.g),
                      static_cast<int>(kBackground.b)),
        1.0f, 0);
    CurrentBlendMode = mode;
    ASSERT_EQ(PrepareDrawState(0, 0, texture, 0), 0);
    const uint32_t alpha = mode == 0 ? 255 : kParam;
    const uint32_t diffuse = alpha << 24 | DrawBright;
    auto* v = static_cast<ScreenVertex*>(QueueBatchVertices(6));
    ASSERT_NE(v, nullptr);
    const float x0 = 8, y0 = 8, x1 = 24, y1 = 24;
    const ScreenVertex corners[6] = {{x0, y0, 0, 1, diffuse, 0, 0}, {x1, y0, 0, 1, diffuse, 1, 0},
                                     {x0, y1, 0, 1, diffuse, 0, 1}, {x1, y0, 0, 1, diffuse, 1, 0},
                                     {x1, y1, 0, 1, diffuse, 1, 1}, {x0, y1, 0, 1, diffuse, 0, 1}};
    std::memcpy(v, corners, sizeof(corners));
    ASSERT_EQ(FlushVertexBatch(), 0);
    EndSceneIfActive();

    // The equation the row means.
    BlendStateRow row = BlendStateTable[mode == 3 && SubtractBlendSupported ? 14 : mode];
    if (row.srcBlend != -1) {
      lastSrc = row.srcBlend;
      lastDest = row.destBlend;
    }
    const Rgb s = StageColour(row.variant, alpha);
    Rgb expected = s;
    if (mode != 0 && mode != 6) {
      expected = {Blend(lastSrc, lastDest, row.blendOp, s.r, alpha, kBackground.r),
                  Blend(lastSrc, lastDest, row.blendOp, s.g, alpha, kBackground.g),
                  Blend(lastSrc, lastDest, row.blendOp, s.b, alpha, kBackground.b)};
    }
    D3DLOCKED_RECT back;
    ASSERT_EQ(BackBufferSurface->LockRect(&back, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t pixel;
    std::memcpy(&pixel, static_cast<uint8_t*>(back.pBits) + 16 * back.Pitch + 16 * 4, 4);
    BackBufferSurface->UnlockRect();
    EXPECT_NEAR((pixel >> 16) & 0xFF, expected.r, 2.0);
    EXPECT_NEAR((pixel >> 8) & 0xFF, expected.g, 2.0);
    EXPECT_NEAR(pixel & 0xFF, expected.b, 2.0);
  }
  texture->Release();
}

}  // namespace
