// The Direct3D object and the device: what the adapter reports, the 9Ex path, full screen,
// the lost-device rules with the test switch, presenting to the window, and references.
#include "tests/d3d9/d3d9_fixture.h"

namespace {

using Device = D3D9Test;

TEST_F(Device, AdapterReportsAHalDeviceWithoutShaderModelTwo) {
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  D3DCAPS9 caps;
  ASSERT_EQ(d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
  EXPECT_EQ(d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_REF, &caps), D3DERR_NOTAVAILABLE);
  ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
  EXPECT_EQ(caps.DeviceType, D3DDEVTYPE_HAL);
  EXPECT_LT(caps.VertexShaderVersion & 0xFFFF, 0x200u);
  EXPECT_LT(caps.PixelShaderVersion & 0xFFFF, 0x200u);
  EXPECT_TRUE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_TSSARGTEMP);
  EXPECT_TRUE(caps.PrimitiveMiscCaps & D3DPMISCCAPS_BLENDOP);
  EXPECT_FALSE(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
  EXPECT_GE(caps.MaxTextureWidth, 2048u);
  EXPECT_GE(caps.MaxTextureBlendStages, 8u);

  D3DADAPTER_IDENTIFIER9 id;
  ASSERT_EQ(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &id), D3D_OK);
  EXPECT_STRNE(id.Driver, "");
  EXPECT_STRNE(id.Description, "");
  IDirect3D9Ex* ex = nullptr;
  EXPECT_EQ(d3d_->QueryInterface(IID_IDirect3D9Ex, reinterpret_cast<void**>(&ex)), E_NOINTERFACE);
}

// The display format follows the desktop's depth; 16-bit modes are listed; the format checks
// take what the device holds, and a switched-off format is refused everywhere.
TEST_F(Device, DisplayModesAndFormatChecks) {
  D3DDISPLAYMODE mode;
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
  PortSetDesktopColorBits(16);
  ASSERT_EQ(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
  EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);
  PortSetDesktopColorBits(0);
  UINT count = d3d_->GetAdapterModeCount(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5);
  ASSERT_GE(count, 1u);
  bool has640 = false;
  for (UINT i = 0; i < count; ++i) {
    ASSERT_EQ(d3d_->EnumAdapterModes(D3DADAPTER_DEFAULT, D3DFMT_R5G6B5, i, &mode), D3D_OK);
    has640 |= mode.Width == 640 && mode.Height == 480;
  }
  EXPECT_TRUE(has640);

  const D3DFORMAT screen = D3DFMT_X8R8G8B8;
  struct Check {
    DWORD usage;
    D3DRESOURCETYPE type;
    D3DFORMAT format;
    HRESULT expected;
  } checks[] = {
      {0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_X1R5G5B5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_A1R5G5B5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_DXT5, D3D_OK},
      {0, D3DRTYPE_TEXTURE, D3DFMT_R8G8B8, D3DERR_NOTAVAILABLE},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5, D3D_OK},
      {D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_DXT1, D3DERR_NOTAVAILABLE},
      {0, D3DRTYPE_SURFACE, D3DFMT_YUY2, D3D_OK},
      {0, D3DRTYPE_SURFACE, D3DFMT_YV12, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16, D3D_OK},
      {D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_X8R8G8B8, D3DERR_NOTAVAILABLE},
  };
  for (const Check& c : checks)
    EXPECT_EQ(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, screen, c.usage, c.type,
                                      c.format),
              c.expected)
        << "format " << c.format << " usage " << c.usage;
  for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D32})
    EXPECT_EQ(
        d3d_->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, screen, screen, depth),
        D3D_OK);

  PortSetD3DFormatUnsupported(D3DFMT_R5G6B5, true);
  EXPECT_EQ(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, screen, 0, D3DRTYPE_TEXTURE,
                                    D3DFMT_R5G6B5),
            D3DERR_NOTAVAILABLE);
  IDirect3DTexture9* t = nullptr;
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &t, nullptr),
            D3DERR_INVALIDCALL);
  PortSetD3DFormatUnsupported(D3DFMT_D16, true);
  EXPECT_EQ(
      d3d_->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, screen, screen, D3DFMT_D16),
      D3DERR_NOTAVAILABLE);
  D3DCAPS9 caps;
  device_->GetDeviceCaps(&caps);
  caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
  PortSetD3DCaps(&caps);
  D3DCAPS9 seen;
  d3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &seen);
  EXPECT_TRUE(seen.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY);
}

// "d3d9.dll" carries both create calls; the 9Ex device takes the frame-latency call, and a
// windowed device takes its size from the window and its format from the display.
TEST_F(Device, ModuleAndTheExDevice) {
  ReleaseDevice();
  HMODULE d3d9 = LoadLibraryA("d3d9.dll");
  ASSERT_NE(d3d9, nullptr);
  auto createEx = reinterpret_cast<HRESULT(WINAPI*)(UINT, IDirect3D9Ex**)>(
      GetProcAddress(d3d9, "Direct3DCreate9Ex"));
  ASSERT_NE(createEx, nullptr);
  ASSERT_NE(GetProcAddress(d3d9, "Direct3DCreate9"), nullptr);
  PortSetExportAbsent("d3d9.dll", "Direct3DCreate9Ex", true);
  EXPECT_EQ(GetProcAddress(d3d9, "Direct3DCreate9Ex"), nullptr);
  FreeLibrary(d3d9);

  ASSERT_EQ(createEx(D3D_SDK_VERSION, &d3dEx_), S_OK);
  d3d_ = d3dEx_;
  D3DPRESENT_PARAMETERS pp = {};
  pp.SwapEffect = D3DSWAPEFFECT_COPY;
  pp.Windowed = TRUE;
  pp.hDeviceWindow = window_;
  D3DDISPLAYMODEEX fullscreen = {sizeof(D3DDISPLAYMODEEX),       640, 480, 60, D3DFMT_X8R8G8B8,
                                 D3DSCANLINEORDERING_PROGRESSIVE};
  IDirect3DDevice9Ex* ex = nullptr;
  EXPECT_EQ(d3dEx_->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &fullscreen, &ex),
            D3DERR_INVALIDCALL);  // a windowed device takes no full-screen mode
  EXPECT_EQ(
      d3dEx_->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, 0, &pp, nullptr, &ex),
      D3DERR_INVALIDCALL);  // no vertex processing chosen
  PortFailNextD3DDeviceCreations(1);
  EXPECT_EQ(d3dEx_->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                   D3DCREATE_MIXED_VERTEXPROCESSING, &pp, nullptr, &ex),
            D3DERR_NOTAVAILABLE);
  ASSERT_EQ(d3dEx_->CreateDeviceEx(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, nullptr, &ex),
            D3D_OK);
  device_ = ex;
  EXPECT_EQ(pp.BackBufferWidth, static_cast<UINT>(width()));
  EXPECT_EQ(pp.BackBufferHeight, static_cast<UINT>(height()));
  EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(ex->SetMaximumFrameLatency(1), D3D_OK);
  EXPECT_EQ(ex->SetMaximumFrameLatency(17), D3DERR_INVALIDCALL);
  IDirect3DDevice9Ex* again = nullptr;
  ASSERT_EQ(device_->QueryInterface(IID_IDirect3DDevice9Ex, reinterpret_cast<void**>(&again)),
            S_OK);
  again->Release();
  IDirect3DTexture9* t = nullptr;
  EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr),
            D3DERR_INVALIDCALL);
}

// A full-screen device switches the display mode the port shows and gives it back when it
// goes; a mode the adapter does not list is refused. The dialog-box mode needs a lockable
// back buffer.
TEST_F(Device, FullScreenDeviceTakesTheDisplayMode) {
  ReleaseDevice();
  d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d_, nullptr);
  D3DPRESENT_PARAMETERS pp = {};
  pp.BackBufferWidth = 1234;
  pp.BackBufferHeight = 567;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.SwapEffect = D3DSWAPEFFECT_COPY;
  pp.hDeviceWindow = window_;
  pp.Windowed = FALSE;
  EXPECT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device_),
            D3DERR_INVALIDCALL);
  pp.BackBufferWidth = 640;
  pp.BackBufferHeight = 480;
  pp.BackBufferFormat = D3DFMT_R5G6B5;
  ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device_),
            D3D_OK);
  PortDisplayMode shown = PortCurrentDisplayMode();
  EXPECT_EQ(shown.width, 640);
  EXPECT_EQ(shown.height, 480);
  EXPECT_EQ(shown.bits, 16);
  EXPECT_EQ(device_->SetDialogBoxMode(TRUE), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetDialogBoxMode(FALSE), D3D_OK);
  ReleaseDevice();
  EXPECT_EQ(PortCurrentDisplayMode().bits, PortDesktopDisplayMode().bits);
  EXPECT_EQ(PortCurrentDisplayMode().width, PortDesktopDisplayMode().width);
}

// The switch makes the device lost: TestCooperativeLevel reports lost, then (switched off)
// not reset; Reset needs every default-pool resource and back-buffer reference released, and
// restores the device with default states.
TEST_F(Device, LostDeviceFollowsTheRules) {
  IDirect3DTexture9* managed = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFF123456u});
  IDirect3DTexture9* target = nullptr;
  ASSERT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                   &target, nullptr),
            D3D_OK);
  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);

  PortSetD3DDeviceLost(true);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0),
            D3D_OK);  // quietly does nothing
  EXPECT_EQ(device_->Reset(&params_), D3DERR_DEVICELOST);
  // The restore path makes a new device meanwhile: it starts sound.
  IDirect3DDevice9* second = nullptr;
  D3DPRESENT_PARAMETERS pp = params_;
  ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &second),
            D3D_OK);
  EXPECT_EQ(second->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(second->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(second->Release(), 0u);

  PortSetD3DDeviceLost(false);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(device_->Reset(&params_),
            D3DERR_INVALIDCALL);  // the texture and the back buffer are held
  target->Release();
  EXPECT_EQ(device_->Reset(&params_), D3DERR_INVALIDCALL);  // the back buffer still is
  EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  back->Release();
  ASSERT_EQ(device_->Reset(&params_), D3D_OK);
  EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
  DWORD cull = 0;
  device_->GetRenderState(D3DRS_CULLMODE, &cull);
  EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_CCW));

  // A managed texture keeps its contents across the reset.
  BeginDraw();
  device_->SetTexture(0, managed);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawQuad(-0.5f, -0.5f, 1.5f, 1.5f, 0xFFFFFFFFu);
  EndDraw();
  EXPECT_EQ(Pixel(ReadBackBuffer(), 0, 0, width()), 0xFF123456u);
  EXPECT_EQ(Pixel(ReadBackBuffer(), 5, 5, width()), 0xFF000000u);
  device_->SetTexture(0, nullptr);
  managed->Release();
}

// Present copies the back buffer (or a rectangle of it, scaled) to the window's client area,
// through the device or its swap chain, or to another window.
TEST_F(Device, PresentShowsTheBackBufferInTheWindow) {
  BeginDraw(0xFF202020u);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  DrawQuad(-0.5f, -0.5f, 15.5f, 11.5f, 0xFFFF0000u);
  DrawQuad(15.5f, 11.5f, 31.5f, 23.5f, 0xFF00FF00u);
  EndDraw();
  std::vector<uint32_t> back = ReadBackBuffer();
  ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  std::vector<uint32_t> shown(back.size());
  ASSERT_TRUE(PortReadWindowPixels(window_, width(), height(), shown.data()));
  EXPECT_EQ(shown, back);

  // The top-left quarter doubled to the whole window, through the swap chain.
  IDirect3DSwapChain9* chain = nullptr;
  ASSERT_EQ(device_->GetSwapChain(0, &chain), D3D_OK);
  RECT quarter = {0, 0, width() / 2, height() / 2};
  ASSERT_EQ(chain->Present(&quarter, nullptr, nullptr, nullptr, 0), D3D_OK);
  chain->Release();
  ASSERT_TRUE(PortReadWindowPixels(window_, width(), height(), shown.data()));
  for (int y = 0; y < height(); ++y)
    for (int x = 0; x < width(); ++x)
      ASSERT_EQ(Pixel(shown, x, y, width()), Pixel(back, x / 2, y / 2, width())) << x << ", " << y;

  // A destination rectangle leaves the rest of the window as it was.
  RECT corner = {0, 0, 8, 6};
  RECT to = {40, 30, 48, 36};
  ASSERT_EQ(device_->Present(&corner, &to, nullptr, nullptr), D3D_OK);
  ASSERT_TRUE(PortReadWindowPixels(window_, width(), height(), shown.data()));
  EXPECT_EQ(Pixel(shown, 44, 33, width()), 0xFFFF0000u);
  EXPECT_EQ(Pixel(shown, 39, 33, width()), Pixel(back, 19, 16, width()));

  HWND other = MakeWindow(width(), height());
  extraWindows_.push_back(other);
  ASSERT_EQ(device_->Present(nullptr, nullptr, other, nullptr), D3D_OK);
  ASSERT_TRUE(PortReadWindowPixels(other, width(), height(), shown.data()));
  EXPECT_EQ(shown, back);
  RECT outside = {0, 0, width() + 1, height()};
  EXPECT_EQ(device_->Present(&outside, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
}

// What the device has bound lives until it is unbound, even when the caller has let it go;
// the back buffer and swap chain hold the device.
TEST_F(Device, BoundObjectsOutliveTheirCallersReferences) {
  IDirect3DTexture9* t = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0xFF00FFFFu});
  ASSERT_NE(t, nullptr);
  device_->SetTexture(0, t);
  EXPECT_EQ(t->Release(), 0u);
  BeginDraw();
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  DrawQuad(-0.5f, -0.5f, 1.5f, 1.5f, 0xFFFFFFFFu);
  EndDraw();
  EXPECT_EQ(Pixel(ReadBackBuffer(), 0, 0, width()), 0xFF00FFFFu);
  device_->SetTexture(0, nullptr);

  IDirect3DSurface9* rt = nullptr;
  ASSERT_EQ(device_->CreateRenderTarget(4, 4, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &rt,
                                        nullptr),
            D3D_OK);
  ASSERT_EQ(device_->SetRenderTarget(0, rt), D3D_OK);
  EXPECT_EQ(rt->Release(), 0u);
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0), D3D_OK);
  IDirect3DSurface9* current = nullptr;
  ASSERT_EQ(device_->GetRenderTarget(0, &current), D3D_OK);
  EXPECT_EQ(ReadTarget(current)[0], 0xFF0000FFu);
  current->Release();

  IDirect3DSurface9* back = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
  ASSERT_EQ(device_->SetRenderTarget(0, back), D3D_OK);  // the 4 x 4 target goes now
  EXPECT_EQ(device_->SetRenderTarget(1, back), D3DERR_INVALIDCALL);
  EXPECT_GT(device_->Release(), 0u);  // the back buffer holds the device
  device_->AddRef();
  back->Release();
}

// Buffers, shaders and declarations keep what they were made from; only the null shader can
// be set, as the device reports no shader model.
TEST_F(Device, BufferShaderAndDeclarationObjects) {
  IDirect3DVertexBuffer9* vb = nullptr;
  ASSERT_EQ(
      device_->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0x2D2, D3DPOOL_DEFAULT, &vb, nullptr),
      D3D_OK);
  void* data = nullptr;
  ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
  static_cast<uint8_t*>(data)[63] = 7;
  EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(vb->Unlock(), D3D_OK);
  EXPECT_EQ(vb->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL);  // past the end
  D3DVERTEXBUFFER_DESC vd;
  ASSERT_EQ(vb->GetDesc(&vd), D3D_OK);
  EXPECT_EQ(vd.Size, 64u);
  EXPECT_EQ(vd.FVF, 0x2D2u);
  IDirect3DIndexBuffer9* ib = nullptr;
  EXPECT_EQ(device_->CreateIndexBuffer(32, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &ib, nullptr),
            D3DERR_INVALIDCALL);
  ASSERT_EQ(device_->CreateIndexBuffer(32, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr),
            D3D_OK);

  const DWORD tokens[] = {D3DVS_VERSION(2, 0), 0x12345678u, 0x0000FFFFu};
  IDirect3DVertexShader9* vs = nullptr;
  ASSERT_EQ(device_->CreateVertexShader(tokens, &vs), D3D_OK);
  UINT size = 0;
  ASSERT_EQ(vs->GetFunction(nullptr, &size), D3D_OK);
  EXPECT_EQ(size, sizeof(tokens));
  EXPECT_EQ(device_->SetVertexShader(vs), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_->SetVertexShader(nullptr), D3D_OK);
  EXPECT_EQ(device_->SetPixelShader(nullptr), D3D_OK);
  const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, 0, D3DDECLUSAGE_POSITION, 0},
                                        D3DDECL_END()};
  IDirect3DVertexDeclaration9* decl = nullptr;
  ASSERT_EQ(device_->CreateVertexDeclaration(elements, &decl), D3D_OK);
  UINT count = 0;
  ASSERT_EQ(decl->GetDeclaration(nullptr, &count), D3D_OK);
  EXPECT_EQ(count, 2u);
  const float constants[8] = {};
  EXPECT_EQ(device_->SetVertexShaderConstantF(0, constants, 2), D3D_OK);
  EXPECT_EQ(device_->SetVertexShaderConstantF(255, constants, 2), D3DERR_INVALIDCALL);
  decl->Release();
  vs->Release();
  ib->Release();
  vb->Release();
}

}  // namespace
