// A window on SDL's offscreen driver with a Direct3D 9 device on it, and helpers to draw
// pre-transformed quads and read pixels back. Tests skip (saying why) only when no OpenGL
// context can be made at all.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/gl_context.h"
#include "port/gdi/window_output.h"
#include "port/user/window_internal.h"
#include "port/win32.h"

struct TLVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
inline constexpr DWORD kTLVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct ColorVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
};
inline constexpr DWORD kColorVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// Which channel of two ARGB values differs most, and by how much.
int MaxChannelDifference(uint32_t a, uint32_t b);

class D3D9Test : public testing::Test {
 protected:
  static constexpr const char* kClass = "D3D9TestWindow";

  // Window and back buffer size, and whether to make the device through Direct3DCreate9Ex.
  virtual int width() const { return 64; }
  virtual int height() const { return 48; }
  void SetUp() override;
  void TearDown() override;

  HWND MakeWindow(int w, int h);
  HRESULT MakeDevice(bool ex, D3DFORMAT backBuffer = D3DFMT_X8R8G8B8);
  void ReleaseDevice();

  // The render target's pixels as ARGB (through GetRenderTargetData and a lock).
  std::vector<uint32_t> ReadTarget(IDirect3DSurface9* target);
  std::vector<uint32_t> ReadBackBuffer();
  uint32_t Pixel(const std::vector<uint32_t>& pixels, int x, int y, int stride) const {
    return pixels[static_cast<size_t>(y) * stride + x];
  }

  // Two triangles covering (x0, y0)-(x1, y1) in screen coordinates, texture (u0, v0)-(u1, v1).
  void DrawQuad(float x0, float y0, float x1, float y1, D3DCOLOR color, float u0 = 0, float v0 = 0,
                float u1 = 1, float v1 = 1);
  // A managed texture filled from ARGB pixels (converted to the format) or raw bytes.
  IDirect3DTexture9* MakeTexture(int w, int h, D3DFORMAT format, const std::vector<uint32_t>& argb);
  IDirect3DTexture9* MakeTextureFromBytes(int w, int h, D3DFORMAT format, const void* bytes,
                                          size_t pitch);
  void BeginDraw(D3DCOLOR clear = 0xFF000000u);
  void EndDraw();

  HWND window_ = nullptr;
  IDirect3D9* d3d_ = nullptr;
  IDirect3D9Ex* d3dEx_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  D3DPRESENT_PARAMETERS params_ = {};
  std::vector<HWND> extraWindows_;
};
