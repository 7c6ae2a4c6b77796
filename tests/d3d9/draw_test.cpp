// Pre-transformed drawing: pixel coverage, texel mapping, blending, alpha test, the texture
// stages, flat shading and viewport clipping, read back from the render target.
#include "tests/d3d9/d3d9_fixture.h"

namespace {

using Draw = D3D9Test;

constexpr uint32_t kRed = 0xFFFF0000u, kBlack = 0xFF000000u;

// Integer coordinates are pixel centres: a quad from (10, 10) to (20, 17) covers the pixels
// whose centres lie inside, left and top edges included, right and bottom edges excluded; a
// half-transparent quad made of two triangles blends each pixel once.
TEST_F(Draw, FlatQuadAtIntegerCoordinatesCoversExactlyItsPixels) {
  BeginDraw();
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  DrawQuad(10, 10, 20, 17, kRed);
  // Half a pixel off the grid: exactly the pixels 30..33 x 5..8.
  DrawQuad(29.5f, 4.5f, 33.5f, 8.5f, 0xFF00FF00u);
  // Two blended triangles sharing a diagonal: no pixel gets both.
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  DrawQuad(40, 20, 51, 33, 0x800000FFu);
  EndDraw();
  std::vector<uint32_t> p = ReadBackBuffer();
  ASSERT_EQ(p.size(), static_cast<size_t>(width() * height()));
  for (int y = 0; y < height(); ++y) {
    for (int x = 0; x < width(); ++x) {
      uint32_t expected = kBlack;
      if (x >= 10 && x < 20 && y >= 10 && y < 17) expected = kRed;
      if (x >= 30 && x < 34 && y >= 5 && y < 9) expected = 0xFF00FF00u;
      if (x >= 40 && x < 51 && y >= 20 && y < 33) expected = 0xFF000080u;
      ASSERT_LE(MaxChannelDifference(Pixel(p, x, y, width()), expected), 1)
          << "pixel " << x << ", " << y;
    }
  }
}

// Point sampling of a texture drawn at its own size maps texel (i, j) to pixel (i, j),
// wherever the quad starts; linear sampling at that size reads texel centres too.
TEST_F(Draw, TexturedQuadMapsTexelsToPixels) {
  const int n = 16;
  std::vector<uint32_t> texels(n * n);
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i)
      texels[j * n + i] = 0xFF000000u | (i * 16u << 16) | (j * 16u << 8) | ((i + j) * 7u);
  IDirect3DTexture9* t = MakeTexture(n, n, D3DFMT_A8R8G8B8, texels);
  ASSERT_NE(t, nullptr);
  for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
    SCOPED_TRACE(filter == D3DTEXF_POINT ? "point" : "linear");
    BeginDraw();
    device_->SetTexture(0, t);
    device_->SetSamplerState(0, D3DSAMP_MINFILTER, filter);
    device_->SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    DrawQuad(-0.5f, -0.5f, n - 0.5f, n - 0.5f, 0xFFFFFFFFu);
    DrawQuad(29.5f, 20.5f, 29.5f + n, 20.5f + n, 0xFFFFFFFFu);
    EndDraw();
    std::vector<uint32_t> p = ReadBackBuffer();
    for (int j = 0; j < n; ++j) {
      for (int i = 0; i < n; ++i) {
        ASSERT_LE(MaxChannelDifference(Pixel(p, i, j, width()), texels[j * n + i]), 1)
            << i << ", " << j;
        ASSERT_LE(MaxChannelDifference(Pixel(p, 30 + i, 21 + j, width()), texels[j * n + i]), 1)
            << i << ", " << j;
      }
    }
    EXPECT_EQ(Pixel(p, n, 0, width()), kBlack);
    EXPECT_EQ(Pixel(p, 29, 21, width()), kBlack);
  }
  device_->SetTexture(0, nullptr);
  t->Release();
}

struct BlendCase {
  const char* name;
  DWORD src, dest, op;
  uint32_t expected;
};

// Source 0x40 alpha (64/255), colour (200, 100, 40); destination (100, 150, 250).
TEST_F(Draw, BlendFactorsAndOperations) {
  const uint32_t dest = 0xFF6496FAu;
  const uint32_t source = 0x40C86428u;
  auto mix = [](int s, int d, double fs, double fd, int sign) {
    double v = sign > 0 ? s * fs + d * fd : d * fd - s * fs;
    return static_cast<uint32_t>(std::clamp(static_cast<int>(v + 0.5), 0, 255));
  };
  const double a = 64.0 / 255.0;
  auto rgb = [&](double fs, double fd, int sign) {
    return 0xFF000000u | mix(200, 100, fs, fd, sign) << 16 | mix(100, 150, fs, fd, sign) << 8 |
           mix(40, 250, fs, fd, sign);
  };
  const BlendCase cases[] = {
      {"one/zero", D3DBLEND_ONE, D3DBLEND_ZERO, D3DBLENDOP_ADD, 0xFFC86428u},
      {"srcalpha/invsrcalpha", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD,
       rgb(a, 1 - a, 1)},
      {"srcalpha/one", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, rgb(a, 1, 1)},
      {"revsubtract srcalpha/one", D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT,
       rgb(a, 1, -1)},
      {"invdestcolor/zero", D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD,
       0xFF000000u | mix(200, 0, 155 / 255.0, 0, 1) << 16 | mix(100, 0, 105 / 255.0, 0, 1) << 8 |
           mix(40, 0, 5 / 255.0, 0, 1)},
      {"srccolor/zero", D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD,
       0xFF000000u | mix(0, 100, 0, 200 / 255.0, 1) << 16 | mix(0, 150, 0, 100 / 255.0, 1) << 8 |
           mix(0, 250, 0, 40 / 255.0, 1)},
  };
  for (const BlendCase& c : cases) {
    SCOPED_TRACE(c.name);
    BeginDraw(dest);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, c.src);
    device_->SetRenderState(D3DRS_DESTBLEND, c.dest);
    device_->SetRenderState(D3DRS_BLENDOP, c.op);
    DrawQuad(-0.5f, -0.5f, 7.5f, 7.5f, source);
    EndDraw();
    std::vector<uint32_t> p = ReadBackBuffer();
    EXPECT_LE(MaxChannelDifference(Pixel(p, 3, 3, width()), c.expected), 1)
        << std::hex << Pixel(p, 3, 3, width()) << " against " << c.expected;
    EXPECT_EQ(Pixel(p, 9, 3, width()), dest);
  }
}

// GREATER 16 drops a texel of alpha 16 and keeps one of 17; GREATEREQUAL and EQUAL likewise
// at their edges.
TEST_F(Draw, AlphaTestComparesAgainstTheReference) {
  IDirect3DTexture9* t =
      MakeTexture(4, 1, D3DFMT_A8R8G8B8, {0x0FFF0000u, 0x10FF0000u, 0x11FF0000u, 0x12FF0000u});
  ASSERT_NE(t, nullptr);
  struct Case {
    DWORD func;
    DWORD ref;
    bool kept[4];
  } cases[] = {{D3DCMP_GREATER, 16, {false, false, true, true}},
               {D3DCMP_GREATEREQUAL, 17, {false, false, true, true}},
               {D3DCMP_EQUAL, 16, {false, true, false, false}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.func);
    BeginDraw();
    device_->SetTexture(0, t);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, c.ref);
    device_->SetRenderState(D3DRS_ALPHAFUNC, c.func);
    DrawQuad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFFu);
    EndDraw();
    std::vector<uint32_t> p = ReadBackBuffer();
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(Pixel(p, i, 0, width()), c.kept[i] ? kRed : kBlack) << "texel " << i;
  }
  device_->SetTexture(0, nullptr);
  t->Release();
}

struct StageCase {
  const char* name;
  // Stage 0 and stage 1 colour op and arguments (stage 1 op 0: disabled).
  DWORD op0, arg01, arg02;
  DWORD op1, arg11, arg12;
  DWORD result0;  // D3DTA_CURRENT or D3DTA_TEMP
  uint32_t expected;
};

// Texture (200, 100, 50), diffuse (128, 255, 64) with alpha 0x80, factor (10, 20, 30) alpha 0x40.
TEST_F(Draw, TextureStageOperations) {
  IDirect3DTexture9* t = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0xC0C86432u});
  ASSERT_NE(t, nullptr);
  const D3DCOLOR diffuse = 0x8080FF40u, factor = 0x400A141Eu;
  auto scale = [](int a, int b, int k) { return std::min(255, (a * b * k + 127) / 255); };
  auto rgb = [](int r, int g, int b) {
    return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
  };
  const StageCase cases[] = {
      {"modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0, 0, 0, D3DTA_CURRENT,
       rgb(scale(200, 128, 1), scale(100, 255, 1), scale(50, 64, 1))},
      {"modulate2x", D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0, 0, 0, D3DTA_CURRENT,
       rgb(scale(200, 128, 2), scale(100, 255, 2), scale(50, 64, 2))},
      {"modulate4x", D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE, 0, 0, 0, D3DTA_CURRENT,
       rgb(255, 255, scale(50, 64, 4))},
      {"add", D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_TFACTOR, 0, 0, 0, D3DTA_CURRENT, rgb(210, 120, 80)},
      {"subtract", D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_TFACTOR, 0, 0, 0, D3DTA_CURRENT,
       rgb(190, 80, 20)},
      {"selectarg2 specular", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_SPECULAR, 0, 0, 0,
       D3DTA_CURRENT, rgb(0, 0, 0)},
      {"complement", D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, 0, 0, 0, 0, D3DTA_CURRENT,
       rgb(55, 155, 205)},
      {"blenddiffusealpha", D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_TFACTOR, 0, 0, 0,
       D3DTA_CURRENT,
       rgb((200 * 128 + 10 * 127 + 127) / 255, (100 * 128 + 20 * 127 + 127) / 255,
           (50 * 128 + 30 * 127 + 127) / 255)},
      // Stage 1 blends the current colour (the texture) with the factor by the current alpha,
      // the texture's 0xC0 that stage 0's alpha op selects.
      {"blendcurrentalpha", D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_BLENDCURRENTALPHA,
       D3DTA_CURRENT, D3DTA_TFACTOR, D3DTA_CURRENT,
       rgb((200 * 192 + 10 * 63 + 127) / 255, (100 * 192 + 20 * 63 + 127) / 255,
           (50 * 192 + 30 * 63 + 127) / 255)},
      // Stage 0 writes the texture to TEMP; current stays the diffuse colour; stage 1 adds both.
      {"temp register", D3DTOP_SELECTARG1, D3DTA_TEXTURE, 0, D3DTOP_ADD, D3DTA_TEMP, D3DTA_CURRENT,
       D3DTA_TEMP, rgb(255, 255, 114)},
  };
  for (const StageCase& c : cases) {
    SCOPED_TRACE(c.name);
    BeginDraw();
    device_->SetTexture(0, t);
    device_->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, c.op0);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg01);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg02);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device_->SetTextureStageState(0, D3DTSS_RESULTARG, c.result0);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, c.op1 ? c.op1 : D3DTOP_DISABLE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, c.arg11);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, c.arg12);
    device_->SetTextureStageState(1, D3DTSS_ALPHAOP, c.op1 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE);
    device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    DrawQuad(-0.5f, -0.5f, 1.5f, 1.5f, diffuse);
    EndDraw();
    std::vector<uint32_t> p = ReadBackBuffer();
    EXPECT_LE(MaxChannelDifference(Pixel(p, 0, 0, width()), c.expected), 1)
        << std::hex << Pixel(p, 0, 0, width()) << " against " << c.expected;
  }
  device_->SetTexture(0, nullptr);
  t->Release();
}

// Flat shading takes each triangle's colour from its first vertex; Gouraud shading mixes.
TEST_F(Draw, FlatShadingTakesTheFirstVertexColour) {
  ColorVertex v[6] = {
      {0, 0, 0, 1, 0xFFFF0000u},   {30, 0, 0, 1, 0xFF00FF00u},  {0, 30, 0, 1, 0xFF0000FFu},
      {60, 30, 0, 1, 0xFFFFFF00u}, {30, 30, 0, 1, 0xFF00FFFFu}, {60, 0, 0, 1, 0xFFFF00FFu},
  };
  for (DWORD mode : {D3DSHADE_FLAT, D3DSHADE_GOURAUD}) {
    BeginDraw();
    device_->SetRenderState(D3DRS_SHADEMODE, mode);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device_->SetFVF(kColorVertexFvf);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(ColorVertex)), D3D_OK);
    EndDraw();
    std::vector<uint32_t> p = ReadBackBuffer();
    if (mode == D3DSHADE_FLAT) {
      EXPECT_EQ(Pixel(p, 5, 5, width()), 0xFFFF0000u);
      EXPECT_EQ(Pixel(p, 20, 5, width()), 0xFFFF0000u);
      EXPECT_EQ(Pixel(p, 50, 25, width()), 0xFFFFFF00u);
      EXPECT_EQ(Pixel(p, 45, 20, width()), 0xFFFFFF00u);
    } else {
      EXPECT_NE(Pixel(p, 20, 5, width()), 0xFFFF0000u);
      EXPECT_NE(Pixel(p, 45, 20, width()), 0xFFFFFF00u);
    }
  }
}

// The viewport clips pre-transformed geometry; with the scissor test on, so does the scissor
// rectangle. Clear keeps to the viewport too.
TEST_F(Draw, ViewportAndScissorClip) {
  BeginDraw();
  D3DVIEWPORT9 vp = {10, 5, 20, 15, 0.0f, 1.0f};
  ASSERT_EQ(device_->SetViewport(&vp), D3D_OK);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  DrawQuad(-0.5f, -0.5f, width() - 0.5f, height() - 0.5f, kRed);
  RECT scissor = {12, 0, 14, 48};
  device_->SetScissorRect(&scissor);
  device_->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
  DrawQuad(-0.5f, -0.5f, width() - 0.5f, height() - 0.5f, 0xFF00FF00u);
  device_->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
  EndDraw();
  D3DVIEWPORT9 bad = {60, 0, 10, 10, 0.0f, 1.0f};
  EXPECT_EQ(device_->SetViewport(&bad), D3DERR_INVALIDCALL);
  std::vector<uint32_t> p = ReadBackBuffer();
  for (int y = 0; y < height(); ++y) {
    for (int x = 0; x < width(); ++x) {
      bool inside = x >= 10 && x < 30 && y >= 5 && y < 20;
      uint32_t expected = !inside ? kBlack : (x >= 12 && x < 14 ? 0xFF00FF00u : kRed);
      ASSERT_EQ(Pixel(p, x, y, width()), expected) << x << ", " << y;
    }
  }
}

// A depth surface larger than the target (the power-of-two size the graphics make), cleared
// to 1.0: with depth testing on, nearer quads win and farther ones are dropped; with it off
// every quad draws.
TEST_F(Draw, DepthSurfaceLargerThanTheTarget) {
  IDirect3DSurface9* depth = nullptr;
  ASSERT_EQ(device_->CreateDepthStencilSurface(128, 64, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE,
                                               &depth, nullptr),
            D3D_OK);
  ASSERT_EQ(device_->SetDepthStencilSurface(depth), D3D_OK);
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0),
            D3D_OK);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  auto quad = [&](float x0, float x1, float z, D3DCOLOR c) {
    ColorVertex v[4] = {
        {x0, -0.5f, z, 1, c}, {x1, -0.5f, z, 1, c}, {x0, 9.5f, z, 1, c}, {x1, 9.5f, z, 1, c}};
    device_->SetFVF(kColorVertexFvf);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ColorVertex)), D3D_OK);
  };
  quad(-0.5f, 19.5f, 0.5f, kRed);
  quad(9.5f, 29.5f, 0.7f, 0xFF00FF00u);  // behind the red quad where they overlap
  quad(-0.5f, 4.5f, 0.3f, 0xFF0000FFu);  // in front
  device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  quad(39.5f, 44.5f, 0.9f, 0xFFFFFFFFu);
  EndDraw();
  std::vector<uint32_t> p = ReadBackBuffer();
  EXPECT_EQ(Pixel(p, 2, 5, width()), 0xFF0000FFu);
  EXPECT_EQ(Pixel(p, 12, 5, width()), kRed);
  EXPECT_EQ(Pixel(p, 25, 5, width()), 0xFF00FF00u);
  EXPECT_EQ(Pixel(p, 42, 5, width()), 0xFFFFFFFFu);
  device_->SetDepthStencilSurface(nullptr);
  depth->Release();
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0),
            D3DERR_INVALIDCALL);  // no depth surface now
}

// Draws need a scene and pre-transformed FVF vertices; drawing nothing is fine.
TEST_F(Draw, DrawCallsCheckTheirArguments) {
  TLVertex v[3] = {};
  device_->SetFVF(kTLVertexFvf);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex)),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0, v, sizeof(TLVertex)), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, 8),
            D3DERR_INVALIDCALL);  // stride below the format
  device_->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
  EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex)),
            D3DERR_INVALIDCALL);
  device_->SetFVF(kTLVertexFvf);
  uint16_t indices[3] = {0, 1, 3};
  EXPECT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, v,
                                            sizeof(TLVertex)),
            D3DERR_INVALIDCALL);  // index 3 is past the vertices given
  indices[2] = 2;
  EXPECT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, v,
                                            sizeof(TLVertex)),
            D3D_OK);
  EXPECT_EQ(device_->EndScene(), D3D_OK);
  EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
}

// An indexed triangle strip and a point list land where their vertices say.
TEST_F(Draw, IndexedStripsAndPoints) {
  ColorVertex grid[4] = {{9.5f, 9.5f, 0, 1, kRed},
                         {19.5f, 9.5f, 0, 1, kRed},
                         {9.5f, 19.5f, 0, 1, kRed},
                         {19.5f, 19.5f, 0, 1, kRed}};
  uint16_t strip[4] = {0, 1, 2, 3};
  ColorVertex points[2] = {{40, 40, 0, 1, 0xFF00FF00u}, {45, 41, 0, 1, 0xFF0000FFu}};
  BeginDraw();
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device_->SetFVF(kColorVertexFvf);
  ASSERT_EQ(device_->DrawIndexedPrimitiveUP(D3DPT_TRIANGLESTRIP, 0, 4, 2, strip, D3DFMT_INDEX16,
                                            grid, sizeof(ColorVertex)),
            D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_POINTLIST, 2, points, sizeof(ColorVertex)), D3D_OK);
  EndDraw();
  std::vector<uint32_t> p = ReadBackBuffer();
  EXPECT_EQ(Pixel(p, 10, 10, width()), kRed);
  EXPECT_EQ(Pixel(p, 19, 19, width()), kRed);
  EXPECT_EQ(Pixel(p, 20, 19, width()), kBlack);
  EXPECT_EQ(Pixel(p, 40, 40, width()), 0xFF00FF00u);
  EXPECT_EQ(Pixel(p, 45, 41, width()), 0xFF0000FFu);
  EXPECT_EQ(Pixel(p, 41, 40, width()), kBlack);
}

}  // namespace
