// The device: creation and the swap chain, the pipeline state the Set calls keep, scenes,
// clearing, presenting, and the lost-device rules.
#include <algorithm>
#include <cstring>

#include "port/d3d9/d3d9_objects.h"
#include "port/gdi/window_output.h"
#include "port/user/user32.h"
#include "port/user/window_internal.h"

namespace {

DWORD FloatBits(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof(d));
  return d;
}

int BitsOfBackBuffer(D3DFORMAT f) {
  const PortFormatInfo* info = PortD3DFormatInfo(f);
  return info && info->bytesPerPixel == 2 ? 16 : 32;
}

}  // namespace

PortD3DDevice::PortD3DDevice(PortDirect3D* direct3d, bool ex, HWND focusWindow, DWORD behaviorFlags)
    : direct3d_(direct3d), ex_(ex), focusWindow_(focusWindow), behaviorFlags_(behaviorFlags) {
  direct3d_->AddRef();
  PortD3DRegisterDevice(this, true);
}

PortD3DDevice::~PortD3DDevice() {
  PortD3DRegisterDevice(this, false);
  UnbindAll();
  DropSwapChain();
  ReleaseGl();
  direct3d_->Release();
}

HRESULT PortD3DDevice::Initialize(D3DPRESENT_PARAMETERS* params,
                                  const D3DDISPLAYMODEEX* fullscreenMode) {
  deviceWindow_ = params->hDeviceWindow ? params->hDeviceWindow : focusWindow_;
  if (!PortGetSdlWindow(deviceWindow_)) return D3DERR_INVALIDCALL;
  if (!PortGlAvailable() || !PortEnableOpenGL(deviceWindow_)) return D3DERR_NOTAVAILABLE;
  {
    PortGlScope scope;
    if (!scope.ok()) return D3DERR_NOTAVAILABLE;
    PortGl.GenFramebuffers(1, &gl_.drawFramebuffer);
    PortGl.GenFramebuffers(1, &gl_.readFramebuffer);
    PortGl.GenFramebuffers(1, &gl_.blitFramebuffer);
    PortGl.GenVertexArrays(1, &gl_.vertexArray);
    PortGl.GenBuffers(1, &gl_.vertexBuffer);
    PortGl.GenBuffers(1, &gl_.indexBuffer);
    PortGl.GenSamplers(PORT_D3D_STAGE_COUNT, gl_.samplers);
  }
  HRESULT hr = MakeSwapChain(params, fullscreenMode);
  if (FAILED(hr)) return hr;
  ResetState();
  return D3D_OK;
}

void PortD3DDevice::ReleaseGl() {
  PortGlScope scope;
  if (!scope.ok()) return;
  for (auto& entry : gl_.programs) PortGl.DeleteProgram(entry.second.program);
  gl_.programs.clear();
  GLuint framebuffers[] = {gl_.drawFramebuffer, gl_.readFramebuffer, gl_.blitFramebuffer};
  PortGl.DeleteFramebuffers(3, framebuffers);
  PortGl.DeleteVertexArrays(1, &gl_.vertexArray);
  PortGl.DeleteBuffers(1, &gl_.vertexBuffer);
  PortGl.DeleteBuffers(1, &gl_.indexBuffer);
  PortGl.DeleteSamplers(PORT_D3D_STAGE_COUNT, gl_.samplers);
  if (gl_.scratchTexture) PortGl.DeleteTextures(1, &gl_.scratchTexture);
  gl_ = PortD3DGl();
}

// --- swap chain ---------------------------------------------------------------------------

HRESULT PortD3DDevice::MakeSwapChain(D3DPRESENT_PARAMETERS* params,
                                     const D3DDISPLAYMODEEX* fullscreenMode) {
  D3DPRESENT_PARAMETERS p = *params;
  if (p.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY ||
      p.BackBufferCount > 3)
    return D3DERR_INVALIDCALL;
  if (p.BackBufferCount == 0) p.BackBufferCount = 1;
  if (p.hDeviceWindow && !PortGetSdlWindow(p.hDeviceWindow)) return D3DERR_INVALIDCALL;
  if (p.Windowed) {
    if (p.FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
    RECT client = {};
    GetClientRect(deviceWindow_, &client);
    if (p.BackBufferWidth == 0)
      p.BackBufferWidth = static_cast<UINT>(std::max<LONG>(1, client.right - client.left));
    if (p.BackBufferHeight == 0)
      p.BackBufferHeight = static_cast<UINT>(std::max<LONG>(1, client.bottom - client.top));
    if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = PortD3DDisplayFormat();
  } else {
    if (p.BackBufferFormat == D3DFMT_UNKNOWN || p.BackBufferWidth == 0 || p.BackBufferHeight == 0)
      return D3DERR_INVALIDCALL;
    if (fullscreenMode && (fullscreenMode->Width != p.BackBufferWidth ||
                           fullscreenMode->Height != p.BackBufferHeight ||
                           fullscreenMode->RefreshRate != p.FullScreen_RefreshRateInHz))
      return D3DERR_INVALIDCALL;
    D3DFORMAT display =
        BitsOfBackBuffer(p.BackBufferFormat) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
    bool listed = false;
    for (const D3DDISPLAYMODE& m : PortD3DAdapterModes(display))
      if (m.Width == p.BackBufferWidth && m.Height == p.BackBufferHeight &&
          (p.FullScreen_RefreshRateInHz == 0 || m.RefreshRate == p.FullScreen_RefreshRateInHz))
        listed = true;
    if (!listed) return D3DERR_INVALIDCALL;
  }
  const PortFormatInfo* f = PortD3DFormatInfo(p.BackBufferFormat);
  if (!f || f->kind != kPortFormatColor || PortD3DFormatSwitchedOff(p.BackBufferFormat))
    return D3DERR_INVALIDCALL;
  if (p.EnableAutoDepthStencil) {
    const PortFormatInfo* d = PortD3DFormatInfo(p.AutoDepthStencilFormat);
    if (!d || d->kind != kPortFormatDepth || PortD3DFormatSwitchedOff(p.AutoDepthStencilFormat))
      return D3DERR_INVALIDCALL;
  }

  backBuffer_ = std::make_unique<PortD3DSurface>(
      this, PortSurfaceKind::BackBuffer, p.BackBufferFormat, p.BackBufferWidth, p.BackBufferHeight,
      D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, nullptr, 0, true);
  if (!backBuffer_->Allocate(false, (p.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0)) {
    backBuffer_.reset();
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  if (p.EnableAutoDepthStencil) {
    autoDepth_ = std::make_unique<PortD3DSurface>(
        this, PortSurfaceKind::DepthStencil, p.AutoDepthStencilFormat, p.BackBufferWidth,
        p.BackBufferHeight, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, nullptr, 0, true);
    if (!autoDepth_->Allocate(false, false)) {
      autoDepth_.reset();
      backBuffer_.reset();
      return D3DERR_OUTOFVIDEOMEMORY;
    }
  }
  if (!p.Windowed) {
    PortDisplayMode mode = {
        static_cast<int>(p.BackBufferWidth), static_cast<int>(p.BackBufferHeight),
        BitsOfBackBuffer(p.BackBufferFormat),
        p.FullScreen_RefreshRateInHz ? static_cast<int>(p.FullScreen_RefreshRateInHz)
                                     : PortCurrentDisplayMode().refresh};
    PortSwitchDisplayMode(&mode);
    switchedDisplay_ = true;
  } else if (switchedDisplay_) {
    PortSwitchDisplayMode(nullptr);
    switchedDisplay_ = false;
  }
  swapChain_ = std::make_unique<PortD3DSwapChain>(this);
  params_ = p;
  *params = p;
  // A new back buffer starts black.
  PortGlScope scope;
  if (scope.ok() && AttachDraw(backBuffer_.get(), autoDepth_.get())) {
    PortGl.Disable(GL_SCISSOR_TEST);
    PortGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    PortGl.DepthMask(GL_TRUE);
    PortGl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    PortGl.ClearDepth(1.0);
    PortGl.Clear(GL_COLOR_BUFFER_BIT | (autoDepth_ ? GL_DEPTH_BUFFER_BIT : 0));
  }
  return D3D_OK;
}

void PortD3DDevice::DropSwapChain() {
  if (renderTarget_ && renderTarget_ != backBuffer_.get()) renderTarget_->Unbind();
  if (depthStencil_ && depthStencil_ != autoDepth_.get()) depthStencil_->Unbind();
  renderTarget_ = nullptr;
  depthStencil_ = nullptr;
  gl_.attachedColor = gl_.attachedDepth = 0;
  gl_.attachedLevel = -1;
  backBuffer_.reset();
  autoDepth_.reset();
  swapChain_.reset();
  if (switchedDisplay_) {
    PortSwitchDisplayMode(nullptr);
    switchedDisplay_ = false;
  }
}

// The state a new or reset device starts with, as Direct3D 9 defines it.
void PortD3DDevice::ResetState() {
  UnbindAll();
  DWORD* rs = state_.render;
  std::memset(rs, 0, sizeof(state_.render));
  rs[D3DRS_ZENABLE] = autoDepth_ ? D3DZB_TRUE : D3DZB_FALSE;
  rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRS_ZWRITEENABLE] = TRUE;
  rs[D3DRS_LASTPIXEL] = TRUE;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_FOGEND] = FloatBits(1.0f);
  rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
  rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  rs[D3DRS_CLIPPING] = TRUE;
  rs[D3DRS_LIGHTING] = TRUE;
  rs[D3DRS_COLORVERTEX] = TRUE;
  rs[D3DRS_LOCALVIEWER] = TRUE;
  rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  rs[D3DRS_POINTSIZE] = FloatBits(1.0f);
  rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
  rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
  rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFFu;
  rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
  rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
  for (DWORD i = 0; i < PORT_D3D_STAGE_COUNT; ++i) {
    DWORD* ts = state_.stage[i];
    std::memset(ts, 0, sizeof(state_.stage[i]));
    ts[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    ts[D3DTSS_TEXCOORDINDEX] = i;
    DWORD* ss = state_.sampler[i];
    std::memset(ss, 0, sizeof(state_.sampler[i]));
    ss[D3DSAMP_ADDRESSU] = ss[D3DSAMP_ADDRESSV] = ss[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    ss[D3DSAMP_MAGFILTER] = ss[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    ss[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
    ss[D3DSAMP_MAXANISOTROPY] = 1;
    state_.texture[i] = nullptr;
  }
  state_.fvf = 0;
  std::memset(&state_.material, 0, sizeof(state_.material));
  state_.transforms.clear();
  state_.lights.clear();
  state_.lightEnabled.clear();
  declaration_ = nullptr;
  shaderSet_ = false;
  vertexConstants_.assign(256 * 4, 0.0f);
  pixelConstants_.assign(224 * 4, 0.0f);
  vertexBoolConstants_.assign(16, FALSE);
  renderTarget_ = backBuffer_.get();
  depthStencil_ = autoDepth_.get();
  if (backBuffer_) {
    state_.viewport = {0, 0, backBuffer_->width(), backBuffer_->height(), 0.0f, 1.0f};
    state_.scissor = {0, 0, static_cast<LONG>(backBuffer_->width()),
                      static_cast<LONG>(backBuffer_->height())};
  }
  inScene_ = false;
}

void PortD3DDevice::UnbindAll() {
  for (PortD3DTexture*& t : state_.texture) {
    PortD3DTexture* old = t;
    t = nullptr;
    if (old) old->Unbind();
  }
  PortD3DSurface* rt = renderTarget_;
  PortD3DSurface* ds = depthStencil_;
  renderTarget_ = backBuffer_.get();
  depthStencil_ = autoDepth_.get();
  if (rt && rt != backBuffer_.get()) rt->Unbind();
  if (ds && ds != autoDepth_.get()) ds->Unbind();
}

void PortD3DDevice::Forget(const void* object) {
  for (PortD3DTexture*& t : state_.texture)
    if (t == object) t = nullptr;
  if (renderTarget_ == object) renderTarget_ = backBuffer_.get();
  if (depthStencil_ == object) depthStencil_ = autoDepth_.get();
  if (declaration_ == object) declaration_ = nullptr;
  // A GL name may come back for a new object: attach again next time.
  gl_.attachedColor = gl_.attachedDepth = 0;
  gl_.attachedLevel = -1;
}

void PortD3DDevice::ResourceMade(D3DPOOL pool) {
  if (pool == D3DPOOL_DEFAULT) ++defaultResources_;
}

void PortD3DDevice::ResourceGone(D3DPOOL pool) {
  if (pool == D3DPOOL_DEFAULT) --defaultResources_;
}

void PortD3DDevice::SetLost(bool lost) {
  if (lost)
    loss_ = Loss::Lost;
  else if (loss_ == Loss::Lost)
    loss_ = Loss::NotReset;
}

// --- IUnknown and the plain queries
// ---------------------------------------------------------------

HRESULT PortD3DDevice::QueryInterface(REFIID riid, void** object) {
  return Answer(riid == IID_IDirect3DDevice9 || (ex_ && riid == IID_IDirect3DDevice9Ex), object);
}

HRESULT PortD3DDevice::TestCooperativeLevel() {
  switch (loss_) {
    case Loss::None:
      return D3D_OK;
    case Loss::Lost:
      return D3DERR_DEVICELOST;
    default:
      return D3DERR_DEVICENOTRESET;
  }
}

HRESULT PortD3DDevice::GetDirect3D(IDirect3D9** direct3d) {
  if (!direct3d) return D3DERR_INVALIDCALL;
  direct3d_->AddRef();
  *direct3d = direct3d_;
  return D3D_OK;
}

HRESULT PortD3DDevice::GetDeviceCaps(D3DCAPS9* caps) {
  if (!caps) return D3DERR_INVALIDCALL;
  PortD3DFillCaps(caps);
  return D3D_OK;
}

HRESULT PortD3DDevice::GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) {
  if (!swapChain) return D3DERR_INVALIDCALL;
  *swapChain = nullptr;
  if (index != 0 || !swapChain_) return D3DERR_INVALIDCALL;
  swapChain_->AddRef();
  *swapChain = swapChain_.get();
  return D3D_OK;
}

HRESULT PortD3DDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                     IDirect3DSurface9** backBuffer) {
  if (!backBuffer) return D3DERR_INVALIDCALL;
  *backBuffer = nullptr;
  if (swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO || !backBuffer_)
    return D3DERR_INVALIDCALL;
  backBuffer_->AddRef();
  *backBuffer = backBuffer_.get();
  return D3D_OK;
}

HRESULT PortD3DDevice::SetDialogBoxMode(BOOL enable) {
  if (enable && !(params_.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER)) return D3DERR_INVALIDCALL;
  dialogBoxMode_ = enable != FALSE;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetMaximumFrameLatency(UINT maxLatency) {
  if (maxLatency > 16) return D3DERR_INVALIDCALL;
  maxFrameLatency_ = maxLatency ? maxLatency : 3;
  return D3D_OK;
}

HRESULT PortD3DDevice::GetMaximumFrameLatency(UINT* maxLatency) {
  if (!maxLatency) return D3DERR_INVALIDCALL;
  *maxLatency = maxFrameLatency_;
  return D3D_OK;
}

// --- resource creation
// ----------------------------------------------------------------------------

namespace {

// The end of each creation: the new resource counts in its pool from the start, so that the
// Release of one whose storage could not be made takes it off again.
template <class Resource, class Interface>
HRESULT FinishCreate(PortD3DDevice* device, Resource* made, bool allocated, Interface** out) {
  device->ResourceMade(made->pool());
  if (!allocated) {
    made->Release();
    return D3DERR_OUTOFVIDEOMEMORY;
  }
  *out = made;
  return D3D_OK;
}

}  // namespace

HRESULT PortD3DDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                     D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                     HANDLE* sharedHandle) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  D3DCAPS9 caps;
  PortD3DFillCaps(&caps);
  if (sharedHandle || !f || PortD3DFormatSwitchedOff(format) || width == 0 || height == 0 ||
      width > caps.MaxTextureWidth || height > caps.MaxTextureHeight || pool > D3DPOOL_SCRATCH)
    return D3DERR_INVALIDCALL;
  if (f->kind != kPortFormatColor && f->kind != kPortFormatDxt) return D3DERR_INVALIDCALL;
  if (f->kind == kPortFormatDxt && (width % 4 || height % 4)) return D3DERR_INVALIDCALL;
  if (usage & D3DUSAGE_DEPTHSTENCIL) return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_RENDERTARGET) &&
      (pool != D3DPOOL_DEFAULT || !f->renderTarget || (usage & D3DUSAGE_DYNAMIC)))
    return D3DERR_INVALIDCALL;
  if ((usage & D3DUSAGE_DYNAMIC) && (pool == D3DPOOL_MANAGED || pool == D3DPOOL_SCRATCH))
    return D3DERR_INVALIDCALL;
  if (pool == D3DPOOL_MANAGED && ex_) return D3DERR_INVALIDCALL;  // not on a 9Ex device
  auto* t = new PortD3DTexture(this, width, height, levels, usage, format, pool);
  return FinishCreate(this, t, t->Allocate(), texture);
}

HRESULT PortD3DDevice::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                                          D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL lockable,
                                          IDirect3DSurface9** surface, HANDLE* sharedHandle) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (sharedHandle || !f || !f->renderTarget || PortD3DFormatSwitchedOff(format) || width == 0 ||
      height == 0)
    return D3DERR_INVALIDCALL;
  if (multiSample != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  auto* s = new PortD3DSurface(this, PortSurfaceKind::RenderTarget, format, width, height,
                               D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, nullptr, 0, false);
  return FinishCreate(this, s, s->Allocate(false, lockable != FALSE), surface);
}

HRESULT PortD3DDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                 D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                                 IDirect3DSurface9** surface,
                                                 HANDLE* sharedHandle) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (sharedHandle || !f || f->kind != kPortFormatDepth || PortD3DFormatSwitchedOff(format) ||
      width == 0 || height == 0)
    return D3DERR_INVALIDCALL;
  if (multiSample != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  auto* s = new PortD3DSurface(this, PortSurfaceKind::DepthStencil, format, width, height,
                               D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, nullptr, 0, false);
  return FinishCreate(this, s, s->Allocate(false, false), surface);
}

HRESULT PortD3DDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format,
                                                   D3DPOOL pool, IDirect3DSurface9** surface,
                                                   HANDLE* sharedHandle) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  const PortFormatInfo* f = PortD3DFormatInfo(format);
  if (sharedHandle || !f || PortD3DFormatSwitchedOff(format) || width == 0 || height == 0 ||
      pool == D3DPOOL_MANAGED || pool > D3DPOOL_SCRATCH)
    return D3DERR_INVALIDCALL;
  if (f->kind == kPortFormatDepth || f->kind == kPortFormatIndex) return D3DERR_INVALIDCALL;
  if (f->kind == kPortFormatDxt && (width % 4 || height % 4)) return D3DERR_INVALIDCALL;
  if (f->kind == kPortFormatYuv && (width % 2 || (format == D3DFMT_YV12 && height % 2)))
    return D3DERR_INVALIDCALL;
  auto* s = new PortD3DSurface(this, PortSurfaceKind::OffscreenPlain, format, width, height, 0,
                               pool, nullptr, 0, false);
  return FinishCreate(this, s, s->Allocate(true, true), surface);
}

HRESULT PortD3DDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                          IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (sharedHandle || length == 0 || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
  *buffer = new PortD3DVertexBuffer(this, length, usage, fvf, pool);
  ResourceMade(pool);
  return D3D_OK;
}

HRESULT PortD3DDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                         IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) {
  if (!buffer) return D3DERR_INVALIDCALL;
  *buffer = nullptr;
  if (sharedHandle || length == 0 || pool > D3DPOOL_SCRATCH ||
      (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
    return D3DERR_INVALIDCALL;
  *buffer = new PortD3DIndexBuffer(this, length, usage, format, pool);
  ResourceMade(pool);
  return D3D_OK;
}

HRESULT PortD3DDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                               IDirect3DVertexDeclaration9** declaration) {
  if (!elements || !declaration) return D3DERR_INVALIDCALL;
  std::vector<D3DVERTEXELEMENT9> list;
  for (int i = 0;; ++i) {
    if (i > 64) return D3DERR_INVALIDCALL;
    list.push_back(elements[i]);
    if (elements[i].Stream == 0xFF) break;
  }
  *declaration = new PortD3DVertexDeclaration(this, std::move(list));
  return D3D_OK;
}

namespace {

// A shader's tokens up to and including its end token; empty when there is none in reach.
std::vector<DWORD> ShaderTokens(const DWORD* function) {
  std::vector<DWORD> tokens;
  if (!function) return tokens;
  for (size_t i = 0; i < (1u << 20); ++i) {
    tokens.push_back(function[i]);
    if (function[i] == 0x0000FFFFu) return tokens;
  }
  return {};
}

}  // namespace

HRESULT PortD3DDevice::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  std::vector<DWORD> tokens = ShaderTokens(function);
  if (tokens.empty()) return D3DERR_INVALIDCALL;
  *shader = new PortD3DVertexShader(this, std::move(tokens));
  return D3D_OK;
}

HRESULT PortD3DDevice::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
  if (!shader) return D3DERR_INVALIDCALL;
  std::vector<DWORD> tokens = ShaderTokens(function);
  if (tokens.empty()) return D3DERR_INVALIDCALL;
  *shader = new PortD3DPixelShader(this, std::move(tokens));
  return D3D_OK;
}

// --- state ------------------------------------------------------------------------------------

HRESULT PortD3DDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
  PortD3DSurface* s = PortSurfaceOf(surface);
  if (index != 0 || !s || s->device() != this || !s->renderTarget() || !s->hasGlColor())
    return D3DERR_INVALIDCALL;
  if (s != renderTarget_) {
    s->Bind();
    PortD3DSurface* old = renderTarget_;
    renderTarget_ = s;
    if (old && old != backBuffer_.get()) old->Unbind();
  }
  state_.viewport = {0, 0, s->width(), s->height(), 0.0f, 1.0f};
  state_.scissor = {0, 0, static_cast<LONG>(s->width()), static_cast<LONG>(s->height())};
  return D3D_OK;
}

HRESULT PortD3DDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (index != 0 || !renderTarget_) return D3DERR_INVALIDCALL;
  renderTarget_->AddRef();
  *surface = renderTarget_;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetDepthStencilSurface(IDirect3DSurface9* surface) {
  PortD3DSurface* s = PortSurfaceOf(surface);
  if (s && (s->device() != this || s->kind() != PortSurfaceKind::DepthStencil))
    return D3DERR_INVALIDCALL;
  if (s == depthStencil_) return D3D_OK;
  if (s) s->Bind();
  PortD3DSurface* old = depthStencil_;
  depthStencil_ = s;
  if (old && old != autoDepth_.get()) old->Unbind();
  return D3D_OK;
}

HRESULT PortD3DDevice::GetDepthStencilSurface(IDirect3DSurface9** surface) {
  if (!surface) return D3DERR_INVALIDCALL;
  *surface = nullptr;
  if (!depthStencil_) return D3DERR_NOTFOUND;
  depthStencil_->AddRef();
  *surface = depthStencil_;
  return D3D_OK;
}

HRESULT PortD3DDevice::BeginScene() {
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  return D3D_OK;
}

HRESULT PortD3DDevice::EndScene() {
  if (!inScene_) return D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  state_.transforms[state] = *matrix;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetViewport(const D3DVIEWPORT9* viewport) {
  if (!viewport || !renderTarget_) return D3DERR_INVALIDCALL;
  if (viewport->Width == 0 || viewport->Height == 0 ||
      uint64_t{viewport->X} + viewport->Width > renderTarget_->width() ||
      uint64_t{viewport->Y} + viewport->Height > renderTarget_->height() || viewport->MinZ < 0.0f ||
      viewport->MaxZ > 1.0f || viewport->MinZ > viewport->MaxZ)
    return D3DERR_INVALIDCALL;
  state_.viewport = *viewport;
  return D3D_OK;
}

HRESULT PortD3DDevice::GetViewport(D3DVIEWPORT9* viewport) {
  if (!viewport) return D3DERR_INVALIDCALL;
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetMaterial(const D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  state_.material = *material;
  return D3D_OK;
}

HRESULT PortD3DDevice::GetMaterial(D3DMATERIAL9* material) {
  if (!material) return D3DERR_INVALIDCALL;
  *material = state_.material;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetLight(DWORD index, const D3DLIGHT9* light) {
  if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
    return D3DERR_INVALIDCALL;
  state_.lights[index] = *light;
  return D3D_OK;
}

HRESULT PortD3DDevice::LightEnable(DWORD index, BOOL enable) {
  // Enabling a light never set gives it the default light: white, pointing along +z.
  if (!state_.lights.count(index)) {
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    state_.lights[index] = light;
  }
  state_.lightEnabled[index] = enable != FALSE;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= PORT_D3D_RENDER_STATE_COUNT) return D3DERR_INVALIDCALL;
  state_.render[state] = value;
  return D3D_OK;
}

HRESULT PortD3DDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (!value || state >= PORT_D3D_RENDER_STATE_COUNT) return D3DERR_INVALIDCALL;
  *value = state_.render[state];
  return D3D_OK;
}

HRESULT PortD3DDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  if (stage >= PORT_D3D_STAGE_COUNT) return D3DERR_INVALIDCALL;
  PortD3DTexture* t = PortTextureOf(texture);
  if (t && (!t->hasGl() || t->pool() == D3DPOOL_SCRATCH)) return D3DERR_INVALIDCALL;
  if (t == state_.texture[stage]) return D3D_OK;
  if (t) t->Bind();
  PortD3DTexture* old = state_.texture[stage];
  state_.texture[stage] = t;
  if (old) old->Unbind();
  return D3D_OK;
}

HRESULT PortD3DDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                            DWORD value) {
  if (stage >= PORT_D3D_STAGE_COUNT || type >= PORT_D3D_STAGE_STATE_COUNT)
    return D3DERR_INVALIDCALL;
  state_.stage[stage][type] = value;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
  if (sampler >= PORT_D3D_STAGE_COUNT || type >= PORT_D3D_SAMPLER_STATE_COUNT)
    return D3DERR_INVALIDCALL;
  state_.sampler[sampler][type] = value;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetScissorRect(const RECT* rect) {
  if (!rect) return D3DERR_INVALIDCALL;
  state_.scissor = *rect;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
  declaration_ = static_cast<PortD3DVertexDeclaration*>(declaration);
  if (declaration_) state_.fvf = 0;
  return D3D_OK;
}

HRESULT PortD3DDevice::SetFVF(DWORD fvf) {
  state_.fvf = fvf;
  declaration_ = nullptr;
  return D3D_OK;
}

// The device has no programmable stages: only the null shader can be set.
HRESULT PortD3DDevice::SetVertexShader(IDirect3DVertexShader9* shader) {
  return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT PortD3DDevice::SetPixelShader(IDirect3DPixelShader9* shader) {
  return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT PortD3DDevice::SetVertexShaderConstantF(UINT start, const float* data, UINT count) {
  if (!data || uint64_t{start} + count > vertexConstants_.size() / 4) return D3DERR_INVALIDCALL;
  std::copy_n(data, count * 4, vertexConstants_.begin() + start * 4);
  return D3D_OK;
}

HRESULT PortD3DDevice::SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) {
  if (!data || uint64_t{start} + count > vertexBoolConstants_.size()) return D3DERR_INVALIDCALL;
  std::copy_n(data, count, vertexBoolConstants_.begin() + start);
  return D3D_OK;
}

HRESULT PortD3DDevice::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
  if (!data || uint64_t{start} + count > pixelConstants_.size() / 4) return D3DERR_INVALIDCALL;
  std::copy_n(data, count * 4, pixelConstants_.begin() + start * 4);
  return D3D_OK;
}

// --- clearing
// -------------------------------------------------------------------------------------

HRESULT PortD3DDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                             float z, DWORD) {
  if (!(flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) || (count && !rects) ||
      !renderTarget_)
    return D3DERR_INVALIDCALL;
  // No depth format of the device has stencil.
  if ((flags & D3DCLEAR_STENCIL) || ((flags & D3DCLEAR_ZBUFFER) && !depthStencil_))
    return D3DERR_INVALIDCALL;
  if (!drawable()) return D3D_OK;
  PortGlScope scope;
  if (!scope.ok() ||
      !AttachDraw(renderTarget_, (flags & D3DCLEAR_ZBUFFER) ? depthStencil_ : nullptr))
    return D3DERR_INVALIDCALL;
  const D3DVIEWPORT9& vp = state_.viewport;
  RECT area = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
               static_cast<LONG>(vp.Y + vp.Height)};
  if (state_.render[D3DRS_SCISSORTESTENABLE]) {
    area.left = std::max(area.left, state_.scissor.left);
    area.top = std::max(area.top, state_.scissor.top);
    area.right = std::min(area.right, state_.scissor.right);
    area.bottom = std::min(area.bottom, state_.scissor.bottom);
  }
  const PortFormatInfo* f = PortD3DFormatInfo(renderTarget_->format());
  float a = f && f->hasAlpha ? static_cast<float>(color >> 24) / 255.0f : 1.0f;
  PortGl.ClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                    static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                    static_cast<float>(color & 0xFF) / 255.0f, a);
  PortGl.ClearDepth(std::clamp(z, 0.0f, 1.0f));
  PortGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  PortGl.DepthMask(GL_TRUE);
  PortGl.Enable(GL_SCISSOR_TEST);
  GLbitfield mask = ((flags & D3DCLEAR_TARGET) ? GL_COLOR_BUFFER_BIT : 0) |
                    ((flags & D3DCLEAR_ZBUFFER) ? GL_DEPTH_BUFFER_BIT : 0);
  auto clearRect = [&](RECT r) {
    r.left = std::max(r.left, area.left);
    r.top = std::max(r.top, area.top);
    r.right = std::min(r.right, area.right);
    r.bottom = std::min(r.bottom, area.bottom);
    if (r.left >= r.right || r.top >= r.bottom) return;
    PortGl.Scissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
    PortGl.Clear(mask);
  };
  if (count == 0)
    clearRect(area);
  else
    for (DWORD i = 0; i < count; ++i)
      clearRect({rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
  return D3D_OK;
}

// --- presenting and the lost device
// ------------------------------------------------------------------

HRESULT PortD3DDevice::Present(const RECT* sourceRect, const RECT* destRect,
                               HWND destWindowOverride, const void*) {
  return PresentBackBuffer(sourceRect, destRect, destWindowOverride);
}

HRESULT PortD3DDevice::PresentBackBuffer(const RECT* sourceRect, const RECT* destRect,
                                         HWND destWindowOverride) {
  if (!drawable()) return D3DERR_DEVICELOST;
  if (!backBuffer_) return D3DERR_INVALIDCALL;
  HWND window = destWindowOverride ? destWindowOverride : deviceWindow_;
  RECT source;
  if (!PortD3DCheckRect(sourceRect, backBuffer_->width(), backBuffer_->height(), &source))
    return D3DERR_INVALIDCALL;
  if (!PortWindowHasOpenGL(window) && !PortEnableOpenGL(window)) return D3DERR_INVALIDCALL;
  {
    PortGlScope scope;
    if (!scope.ok()) return D3DERR_INVALIDCALL;
    PortGlCanvas* canvas = PortGlWindowCanvas(window);
    if (!canvas) return D3D_OK;  // nothing of the window shows
    RECT dest =
        destRect && params_.Windowed ? *destRect : RECT{0, 0, canvas->width, canvas->height};
    if (dest.left >= dest.right || dest.top >= dest.bottom) return D3DERR_INVALIDCALL;
    if (!AttachRead(backBuffer_.get())) return D3DERR_INVALIDCALL;
    PortGl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, canvas->framebuffer);
    PortGl.Disable(GL_SCISSOR_TEST);
    PortGl.BlitFramebuffer(source.left, source.top, source.right, source.bottom, dest.left,
                           dest.top, dest.right, dest.bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  PortGlShowWindow(window, params_.PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE);
  return D3D_OK;
}

HRESULT PortD3DDevice::Reset(D3DPRESENT_PARAMETERS* params) {
  if (!params) return D3DERR_INVALIDCALL;
  if (PortD3DLostSwitchOn()) return D3DERR_DEVICELOST;
  if (params->hDeviceWindow && !PortEnableOpenGL(params->hDeviceWindow)) return D3DERR_INVALIDCALL;
  inScene_ = false;
  UnbindAll();
  // Every default-pool resource and every reference to the back buffer must be gone.
  if (defaultResources_ > 0 || (backBuffer_ && backBuffer_->OwnedReferences() > 0) ||
      (autoDepth_ && autoDepth_->OwnedReferences() > 0)) {
    loss_ = Loss::NotReset;
    return D3DERR_INVALIDCALL;
  }
  DropSwapChain();
  deviceWindow_ = params->hDeviceWindow ? params->hDeviceWindow : focusWindow_;
  HRESULT hr = MakeSwapChain(params, nullptr);
  if (FAILED(hr)) {
    loss_ = Loss::NotReset;
    return hr;
  }
  ResetState();
  loss_ = Loss::None;
  return D3D_OK;
}

// --- the swap chain object
// -----------------------------------------------------------------------------

HRESULT PortD3DSwapChain::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG PortD3DSwapChain::AddRef() { return device_->AddRef(); }

ULONG PortD3DSwapChain::Release() { return device_->Release(); }

HRESULT PortD3DSwapChain::Present(const RECT* sourceRect, const RECT* destRect,
                                  HWND destWindowOverride, const void*, DWORD) {
  return device_->PresentBackBuffer(sourceRect, destRect, destWindowOverride);
}

HRESULT PortD3DSwapChain::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                                        IDirect3DSurface9** backBuffer) {
  return device_->GetBackBuffer(0, index, type, backBuffer);
}

HRESULT PortD3DSwapChain::GetPresentParameters(D3DPRESENT_PARAMETERS* params) {
  if (!params) return D3DERR_INVALIDCALL;
  *params = device_->presentParameters();
  return D3D_OK;
}
