#include "tests/d3d9/d3d9_fixture.h"

#include <cstdlib>
#include <cstring>

int MaxChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 32; shift += 8)
    worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                     static_cast<int>((b >> shift) & 0xFF)));
  return worst;
}

void D3D9Test::SetUp() {
  ASSERT_TRUE(PortEnsureVideo()) << SDL_GetError();
  if (!PortGlAvailable())
    GTEST_SKIP() << "no OpenGL context can be made with SDL's \"" << SDL_GetCurrentVideoDriver()
                 << "\" driver";
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kClass;
  ASSERT_NE(RegisterClassExA(&wc), 0);
  window_ = MakeWindow(width(), height());
  ASSERT_NE(window_, nullptr);
  ASSERT_EQ(MakeDevice(false), D3D_OK);
}

void D3D9Test::TearDown() {
  ReleaseDevice();
  for (HWND w : extraWindows_) DestroyWindow(w);
  if (window_) DestroyWindow(window_);
  UnregisterClassA(kClass, nullptr);
  PortResetD3DSwitches();
  PortResetModuleSwitches();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

HWND D3D9Test::MakeWindow(int w, int h) {
  return CreateWindowExA(0, kClass, "d3d9 test", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                         nullptr, nullptr, nullptr);
}

HRESULT D3D9Test::MakeDevice(bool ex, D3DFORMAT backBuffer) {
  ReleaseDevice();
  params_ = {};
  params_.BackBufferWidth = static_cast<UINT>(width());
  params_.BackBufferHeight = static_cast<UINT>(height());
  params_.BackBufferFormat = backBuffer;
  params_.BackBufferCount = 1;
  params_.SwapEffect = D3DSWAPEFFECT_COPY;
  params_.hDeviceWindow = window_;
  params_.Windowed = TRUE;
  params_.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  params_.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (ex) {
    HRESULT hr = Direct3DCreate9Ex(D3D_SDK_VERSION, &d3dEx_);
    if (FAILED(hr)) return hr;
    d3d_ = d3dEx_;
    IDirect3DDevice9Ex* device = nullptr;
    hr = d3dEx_->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params_, nullptr, &device);
    device_ = device;
    return hr;
  }
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  if (!d3d_) return D3DERR_NOTAVAILABLE;
  return d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params_, &device_);
}

void D3D9Test::ReleaseDevice() {
  if (device_) { EXPECT_EQ(device_->Release(), 0u) << "something still holds the device"; }
  if (d3d_) d3d_->Release();
  device_ = nullptr;
  d3d_ = nullptr;
  d3dEx_ = nullptr;
}

std::vector<uint32_t> D3D9Test::ReadTarget(IDirect3DSurface9* target) {
  D3DSURFACE_DESC desc;
  EXPECT_EQ(target->GetDesc(&desc), D3D_OK);
  IDirect3DSurface9* copy = nullptr;
  std::vector<uint32_t> pixels;
  if (device_->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                           &copy, nullptr) != D3D_OK)
    return pixels;
  EXPECT_EQ(device_->GetRenderTargetData(target, copy), D3D_OK);
  D3DLOCKED_RECT lr;
  if (copy->LockRect(&lr, nullptr, D3DLOCK_READONLY) == D3D_OK) {
    for (UINT y = 0; y < desc.Height; ++y) {
      const uint8_t* row =
          static_cast<const uint8_t*>(lr.pBits) + static_cast<size_t>(y) * lr.Pitch;
      for (UINT x = 0; x < desc.Width; ++x) {
        uint32_t v;
        if (desc.Format == D3DFMT_X8R8G8B8 || desc.Format == D3DFMT_A8R8G8B8) {
          std::memcpy(&v, row + x * 4, 4);
          if (desc.Format == D3DFMT_X8R8G8B8) v |= 0xFF000000u;
        } else {
          uint16_t p;
          std::memcpy(&p, row + x * 2, 2);
          v = p;  // 16-bit formats are returned raw
        }
        pixels.push_back(v);
      }
    }
    copy->UnlockRect();
  }
  copy->Release();
  return pixels;
}

std::vector<uint32_t> D3D9Test::ReadBackBuffer() {
  IDirect3DSurface9* back = nullptr;
  EXPECT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  std::vector<uint32_t> pixels = ReadTarget(back);
  back->Release();
  return pixels;
}

void D3D9Test::DrawQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float u0, float v0,
                        float u1, float v1) {
  TLVertex v[6] = {
      {x0, y0, 0.5f, 1.0f, color, u0, v0}, {x1, y0, 0.5f, 1.0f, color, u1, v0},
      {x0, y1, 0.5f, 1.0f, color, u0, v1}, {x1, y1, 0.5f, 1.0f, color, u1, v1},
      {x0, y1, 0.5f, 1.0f, color, u0, v1}, {x1, y0, 0.5f, 1.0f, color, u1, v0},
  };
  ASSERT_EQ(device_->SetFVF(kTLVertexFvf), D3D_OK);
  ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, v, sizeof(TLVertex)), D3D_OK);
}

IDirect3DTexture9* D3D9Test::MakeTexture(int w, int h, D3DFORMAT format,
                                         const std::vector<uint32_t>& argb) {
  return MakeTextureFromBytes(w, h, format, argb.data(), static_cast<size_t>(w) * 4);
}

IDirect3DTexture9* D3D9Test::MakeTextureFromBytes(int w, int h, D3DFORMAT format, const void* bytes,
                                                  size_t pitch) {
  IDirect3DTexture9* t = nullptr;
  if (device_->CreateTexture(static_cast<UINT>(w), static_cast<UINT>(h), 1, 0, format,
                             D3DPOOL_MANAGED, &t, nullptr) != D3D_OK)
    return nullptr;
  D3DLOCKED_RECT lr;
  if (t->LockRect(0, &lr, nullptr, 0) != D3D_OK) {
    t->Release();
    return nullptr;
  }
  bool dxt = format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 ||
             format == D3DFMT_DXT4 || format == D3DFMT_DXT5;
  size_t rows = dxt ? static_cast<size_t>((h + 3) / 4) : static_cast<size_t>(h);
  for (size_t y = 0; y < rows; ++y)
    std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch,
                static_cast<const uint8_t*>(bytes) + y * pitch,
                std::min<size_t>(pitch, static_cast<size_t>(lr.Pitch)));
  t->UnlockRect(0);
  return t;
}

void D3D9Test::BeginDraw(D3DCOLOR clear) {
  ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, clear, 1.0f, 0), D3D_OK);
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  // The 2-D defaults: no depth, lighting or culling; flat colour from the vertices.
  device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void D3D9Test::EndDraw() { ASSERT_EQ(device_->EndScene(), D3D_OK); }
