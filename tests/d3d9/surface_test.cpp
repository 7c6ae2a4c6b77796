// Textures and surfaces: render-target textures, StretchRect, ColorFill, locks, UpdateSurface
// and UpdateTexture, DXT textures and YUV surfaces, read back through the device.
#include <cstring>

#include "tests/d3d9/d3d9_fixture.h"

namespace {

using Surfaces = D3D9Test;

IDirect3DSurface9* Level0(IDirect3DTexture9* t) {
  IDirect3DSurface9* s = nullptr;
  EXPECT_EQ(t->GetSurfaceLevel(0, &s), D3D_OK);
  return s;
}

void SelectTexture(IDirect3DDevice9* d, IDirect3DBaseTexture9* t) {
  d->SetTexture(0, t);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
}

// Draws into a render-target texture, then draws that texture onto the back buffer.
TEST_F(Surfaces, RenderTargetTextureIsDrawnIntoAndSampled) {
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8,
                                   D3DPOOL_DEFAULT, &target, nullptr),
            D3D_OK);
  IDirect3DSurface9* surface = Level0(target);
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetRenderTarget(0, &back), D3D_OK);
  ASSERT_EQ(device_->SetRenderTarget(0, surface), D3D_OK);
  D3DVIEWPORT9 vp;
  device_->GetViewport(&vp);
  EXPECT_EQ(vp.Width, 16u);  // SetRenderTarget sets the viewport to the whole target
  BeginDraw(0x00000000u);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  DrawQuad(3.5f, 3.5f, 7.5f, 7.5f, 0x80FF8000u);
  EndDraw();
  std::vector<uint32_t> rt = ReadTarget(surface);
  EXPECT_EQ(rt[5 * 16 + 5], 0x80FF8000u);
  EXPECT_EQ(rt[0], 0x00000000u);

  ASSERT_EQ(device_->SetRenderTarget(0, back), D3D_OK);
  BeginDraw();
  SelectTexture(device_, target);
  DrawQuad(19.5f, 19.5f, 35.5f, 35.5f, 0xFFFFFFFFu);
  EndDraw();
  std::vector<uint32_t> p = ReadBackBuffer();
  EXPECT_EQ(Pixel(p, 25, 25, width()), 0xFFFF8000u);
  EXPECT_EQ(Pixel(p, 20, 20, width()), 0xFF000000u);
  device_->SetTexture(0, nullptr);
  back->Release();
  surface->Release();
  target->Release();
}

// ColorFill paints rectangles of a render target; StretchRect copies them to the back buffer,
// doubled with point filtering; a lockable target's lock shows and takes the same pixels.
TEST_F(Surfaces, ColorFillStretchRectAndLockRoundTrip) {
  IDirect3DSurface9* rt = nullptr;
  ASSERT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &rt,
                                        nullptr),
            D3D_OK);
  ASSERT_EQ(device_->ColorFill(rt, nullptr, 0xFF102030u), D3D_OK);
  RECT quarter = {4, 0, 8, 4};
  ASSERT_EQ(device_->ColorFill(rt, &quarter, 0xFFC0A080u), D3D_OK);

  D3DLOCKED_RECT lr;
  ASSERT_EQ(rt->LockRect(&lr, nullptr, 0), D3D_OK);
  auto at = [&](int x, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch) + x;
  };
  EXPECT_EQ(*at(1, 1) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(*at(5, 1) & 0xFFFFFF, 0xC0A080u);
  *at(0, 7) = 0xFF0000FFu;  // written through the lock
  ASSERT_EQ(rt->UnlockRect(), D3D_OK);
  EXPECT_EQ(rt->UnlockRect(), D3DERR_INVALIDCALL);

  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  RECT to = {10, 10, 26, 26};
  ASSERT_EQ(device_->StretchRect(rt, nullptr, back, &to, D3DTEXF_POINT), D3D_OK);
  EXPECT_EQ(device_->StretchRect(rt, nullptr, rt, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
  RECT outside = {0, 0, 9, 8};
  EXPECT_EQ(device_->StretchRect(rt, &outside, back, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
  std::vector<uint32_t> p = ReadBackBuffer();
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      uint32_t expected = (x >= 8 && y < 8) ? 0xFFC0A080u : 0xFF102030u;
      if (x < 2 && y >= 14) expected = 0xFF0000FFu;
      ASSERT_EQ(Pixel(p, 10 + x, 10 + y, width()), expected) << x << ", " << y;
    }
  }
  EXPECT_EQ(Pixel(p, 9, 10, width()), 0xFF000000u);
  EXPECT_EQ(Pixel(p, 26, 26, width()), 0xFF000000u);
  back->Release();
  rt->Release();
}

// Locks follow the pool rules; the lock of a lockable back buffer reads what was drawn.
TEST_F(Surfaces, LockRulesByPoolAndUsage) {
  IDirect3DTexture9* fixed = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &fixed, nullptr),
            D3D_OK);
  D3DLOCKED_RECT lr;
  EXPECT_EQ(fixed->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL);  // default pool, not dynamic
  fixed->Release();
  IDirect3DTexture9* dynamic = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   &dynamic, nullptr),
            D3D_OK);
  ASSERT_EQ(dynamic->LockRect(0, &lr, nullptr, D3DLOCK_DISCARD), D3D_OK);
  EXPECT_EQ(lr.Pitch, 32);
  EXPECT_EQ(dynamic->LockRect(0, &lr, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
  EXPECT_EQ(dynamic->UnlockRect(0), D3D_OK);
  RECT past = {0, 0, 9, 1};
  EXPECT_EQ(dynamic->LockRect(0, &lr, &past, 0), D3DERR_INVALIDCALL);
  dynamic->Release();
  IDirect3DSurface9* rt = nullptr;
  ASSERT_EQ(device_->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &rt,
                                        nullptr),
            D3D_OK);
  EXPECT_EQ(rt->LockRect(&lr, nullptr, D3DLOCK_READONLY), D3DERR_INVALIDCALL);  // not lockable
  rt->Release();

  BeginDraw(0xFF336699u);
  EndDraw();
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  RECT r = {4, 2, 8, 6};
  ASSERT_EQ(back->LockRect(&lr, &r, D3DLOCK_READONLY), D3D_OK);
  EXPECT_EQ(*static_cast<uint32_t*>(lr.pBits) & 0xFFFFFF, 0x336699u);
  EXPECT_EQ(back->UnlockRect(), D3D_OK);
  back->Release();
}

// The system-memory staging path: a texture filled through locks, copied by UpdateTexture
// (only what changed since the last copy) and by UpdateSurface into a render-target texture.
TEST_F(Surfaces, UpdateTextureCopiesDirtyRegionsAndUpdateSurfaceCopiesRectangles) {
  IDirect3DTexture9* staging = nullptr;
  IDirect3DTexture9* shown = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                   &staging, nullptr),
            D3D_OK);
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &shown, nullptr),
            D3D_OK);
  auto fill = [&](const RECT* r, uint32_t color, DWORD flags) {
    D3DLOCKED_RECT lr;
    ASSERT_EQ(staging->LockRect(0, &lr, r, flags), D3D_OK);
    int w = r ? r->right - r->left : 8, h = r ? r->bottom - r->top : 8;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = color;
    staging->UnlockRect(0);
  };
  auto show = [&]() {
    BeginDraw();
    SelectTexture(device_, shown);
    DrawQuad(-0.5f, -0.5f, 7.5f, 7.5f, 0xFFFFFFFFu);
    EndDraw();
    device_->SetTexture(0, nullptr);
    return ReadBackBuffer();
  };
  fill(nullptr, 0xFF0000FFu, 0);
  ASSERT_EQ(device_->UpdateTexture(staging, shown), D3D_OK);
  EXPECT_EQ(Pixel(show(), 7, 7, width()), 0xFF0000FFu);

  RECT corner = {0, 0, 2, 2};
  fill(&corner, 0xFF00FF00u, 0);
  // Changed without marking: not copied until marked.
  RECT other = {6, 6, 8, 8};
  fill(&other, 0xFFFF0000u, D3DLOCK_NO_DIRTY_UPDATE);
  ASSERT_EQ(device_->UpdateTexture(staging, shown), D3D_OK);
  std::vector<uint32_t> p = show();
  EXPECT_EQ(Pixel(p, 1, 1, width()), 0xFF00FF00u);
  EXPECT_EQ(Pixel(p, 7, 7, width()), 0xFF0000FFu);
  ASSERT_EQ(staging->AddDirtyRect(&other), D3D_OK);
  ASSERT_EQ(device_->UpdateTexture(staging, shown), D3D_OK);
  EXPECT_EQ(Pixel(show(), 7, 7, width()), 0xFFFF0000u);
  EXPECT_EQ(device_->UpdateTexture(shown, staging), D3DERR_INVALIDCALL);

  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                   &target, nullptr),
            D3D_OK);
  IDirect3DSurface9* from = Level0(staging);
  IDirect3DSurface9* to = Level0(target);
  RECT source = {6, 6, 8, 8};
  POINT at = {1, 2};
  ASSERT_EQ(device_->ColorFill(to, nullptr, 0xFF000000u), D3D_OK);
  ASSERT_EQ(device_->UpdateSurface(from, &source, to, &at), D3D_OK);
  std::vector<uint32_t> rt = ReadTarget(to);
  EXPECT_EQ(rt[2 * 8 + 1], 0xFFFF0000u);
  EXPECT_EQ(rt[3 * 8 + 2], 0xFFFF0000u);
  EXPECT_EQ(rt[2 * 8 + 3], 0xFF000000u);
  POINT tooFar = {7, 7};
  EXPECT_EQ(device_->UpdateSurface(from, &source, to, &tooFar), D3DERR_INVALIDCALL);
  from->Release();
  to->Release();
  target->Release();
  staging->Release();
  shown->Release();
}

// A DXT1 texture filled through a lock samples to its decoded colours: the two end colours,
// their thirds, and in three-colour mode the half and transparent black.
TEST_F(Surfaces, DxtTexturesSampleToTheirDecodedColours) {
  // Block 1: red (0xF800) and blue (0x001F); rows of indices 0 1 2 3.
  // Block 2: c0 = blue < c1 = red gives three-colour mode: 0 1 2 3 = blue, red, half, transparent.
  const uint8_t blocks[16] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4,
                              0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};
  IDirect3DTexture9* t = MakeTextureFromBytes(8, 4, D3DFMT_DXT1, blocks, 16);
  ASSERT_NE(t, nullptr);
  BeginDraw(0xFF00FF00u);
  SelectTexture(device_, t);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  DrawQuad(-0.5f, -0.5f, 7.5f, 3.5f, 0xFFFFFFFFu);
  EndDraw();
  std::vector<uint32_t> p = ReadBackBuffer();
  const uint32_t expected[8] = {0xFFFF0000u, 0xFF0000FFu, 0xFFAA0055u, 0xFF5500AAu,
                                0xFF0000FFu, 0xFFFF0000u, 0xFF800080u, 0xFF00FF00u};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_LE(MaxChannelDifference(Pixel(p, x, y, width()), expected[x]), 1)
          << x << ", " << y << std::hex << " " << Pixel(p, x, y, width());
  D3DLOCKED_RECT lr;
  RECT unaligned = {2, 0, 6, 4};
  EXPECT_EQ(t->LockRect(0, &lr, &unaligned, 0), D3DERR_INVALIDCALL);
  IDirect3DTexture9* odd = nullptr;
  EXPECT_EQ(device_->CreateTexture(6, 4, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &odd, nullptr),
            D3DERR_INVALIDCALL);
  device_->SetTexture(0, nullptr);
  t->Release();
}

// Off-screen YUV surfaces become RGB through StretchRect, in each layout, with the studio-range
// conversion: luma 235 with neutral chroma is 254, luma 16 is 0, (81, 90, 240) is red.
TEST_F(Surfaces, YuvSurfacesConvertToRgbThroughStretchRect) {
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  struct Layout {
    D3DFORMAT format;
    // A 4 x 2 picture: the left pair white and black (Y 235 and 16, U = V = 128), then black
    // and white below; the right pairs red (81, 90, 240).
    std::vector<uint8_t> bytes;
  };
  const Layout layouts[] = {
      {D3DFMT_YUY2, {235, 128, 16, 128, 81, 90, 81, 240, 16, 128, 235, 128, 81, 90, 81, 240}},
      {D3DFMT_UYVY, {128, 235, 128, 16, 90, 81, 240, 81, 128, 16, 128, 235, 90, 81, 240, 81}},
  };
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.format == D3DFMT_YUY2 ? "YUY2" : "UYVY");
    IDirect3DSurface9* yuv = nullptr;
    ASSERT_EQ(device_->CreateOffscreenPlainSurface(4, 2, l.format, D3DPOOL_DEFAULT, &yuv, nullptr),
              D3D_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(yuv->LockRect(&lr, nullptr, 0), D3D_OK);
    ASSERT_EQ(lr.Pitch, 8);
    std::memcpy(lr.pBits, l.bytes.data(), l.bytes.size());
    yuv->UnlockRect();
    RECT to = {0, 0, 4, 2};
    ASSERT_EQ(device_->StretchRect(yuv, nullptr, back, &to, D3DTEXF_NONE), D3D_OK);
    std::vector<uint32_t> p = ReadBackBuffer();
    EXPECT_EQ(Pixel(p, 0, 0, width()), 0xFFFEFEFEu);
    EXPECT_EQ(Pixel(p, 1, 0, width()), 0xFF000000u);
    EXPECT_EQ(Pixel(p, 2, 0, width()), 0xFFFE0000u);
    EXPECT_EQ(Pixel(p, 0, 1, width()), 0xFF000000u);
    EXPECT_EQ(Pixel(p, 1, 1, width()), 0xFFFEFEFEu);
    EXPECT_EQ(Pixel(p, 3, 1, width()), 0xFFFE0000u);
    yuv->Release();
  }
  // YV12: a luma plane, then the V plane and the U plane at half the pitch and height.
  IDirect3DSurface9* yv12 = nullptr;
  ASSERT_EQ(
      device_->CreateOffscreenPlainSurface(4, 2, D3DFMT_YV12, D3DPOOL_DEFAULT, &yv12, nullptr),
      D3D_OK);
  D3DLOCKED_RECT lr;
  ASSERT_EQ(yv12->LockRect(&lr, nullptr, 0), D3D_OK);
  ASSERT_EQ(lr.Pitch, 4);
  const uint8_t planes[12] = {235, 16, 81, 81, 16, 235, 81, 81, /* V */ 128, 240, /* U */ 128, 90};
  std::memcpy(lr.pBits, planes, sizeof(planes));
  yv12->UnlockRect();
  ASSERT_EQ(device_->StretchRect(yv12, nullptr, back, nullptr, D3DTEXF_POINT),
            D3D_OK);  // 16 x 24 per pixel
  std::vector<uint32_t> p = ReadBackBuffer();
  EXPECT_EQ(Pixel(p, 0, 0, width()), 0xFFFEFEFEu);
  EXPECT_EQ(Pixel(p, 16, 0, width()), 0xFF000000u);
  EXPECT_EQ(Pixel(p, 63, 0, width()), 0xFFFE0000u);
  EXPECT_EQ(Pixel(p, 0, 47, width()), 0xFF000000u);
  EXPECT_EQ(Pixel(p, 16, 47, width()), 0xFFFEFEFEu);
  RECT part = {0, 0, 2, 2};
  EXPECT_EQ(yv12->LockRect(&lr, &part, 0), D3DERR_INVALIDCALL);  // planar surfaces lock whole
  IDirect3DSurface9* odd = nullptr;
  EXPECT_EQ(device_->CreateOffscreenPlainSurface(3, 2, D3DFMT_YUY2, D3DPOOL_DEFAULT, &odd, nullptr),
            D3DERR_INVALIDCALL);
  yv12->Release();
  back->Release();
}

// 16-bit formats: a texture in each is sampled at its own precision, and a 16-bit render
// target and back buffer hold the nearest value of their format.
TEST_F(Surfaces, SixteenBitFormatsKeepTheirPrecision) {
  struct Case {
    D3DFORMAT format;
    uint16_t texel;
    uint32_t argb;
  } cases[] = {
      {D3DFMT_R5G6B5, 0xF81F, 0xFFFF00FFu},    // magenta
      {D3DFMT_X1R5G5B5, 0x03E0, 0xFF00FF00u},  // green; the X bit is ignored
      {D3DFMT_A1R5G5B5, 0x801F, 0xFF0000FFu},  // opaque blue
      {D3DFMT_A4R4G4B4, 0xF840, 0xFF884400u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    IDirect3DTexture9* t = MakeTextureFromBytes(1, 1, c.format, &c.texel, 2);
    ASSERT_NE(t, nullptr);
    BeginDraw();
    SelectTexture(device_, t);
    DrawQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFFFFFFFFu);
    EndDraw();
    EXPECT_EQ(Pixel(ReadBackBuffer(), 0, 0, width()), c.argb);
    device_->SetTexture(0, nullptr);
    t->Release();
  }
  ASSERT_EQ(MakeDevice(false, D3DFMT_R5G6B5), D3D_OK);
  BeginDraw(0xFF7F3F1Fu);
  EndDraw();
  // (127, 63, 31) to 5-6-5: 127 * 31 / 255 = 15.4 -> 15, 63 * 63 / 255 = 15.6 -> 16, 31 -> 4.
  EXPECT_EQ(ReadBackBuffer()[0], (15u << 11) | (16u << 5) | 4u);
}

}  // namespace
