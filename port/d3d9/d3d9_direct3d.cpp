// "d3d9.dll": the Direct3D object, its one HAL adapter, the capability and format checks, and
// the test switches.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <set>

#include "port/d3d9/d3d9_objects.h"
#include "port/kernel/module_exports.h"
#include "port/user/user32.h"
#include "port/user/window_internal.h"

namespace {

std::mutex gSwitchMutex;
bool gLost = false;
int gFailCreations = 0;
std::optional<D3DCAPS9> gCapsOverride;
std::set<DWORD> gUnsupported;

std::mutex gDeviceMutex;
std::set<PortD3DDevice*> gDevices;

bool IsDisplayFormat(D3DFORMAT f) {
  return f == D3DFMT_X8R8G8B8 || f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5;
}

int BitsOf(D3DFORMAT f) {
  if (f == D3DFMT_X8R8G8B8) return 32;
  if (f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5) return 16;
  return 0;
}

bool Supported(D3DFORMAT f) { return PortD3DFormatInfo(f) && !PortD3DFormatSwitchedOff(f); }

// The texture-stage operations the device's fragment programs carry out.
DWORD TextureOpCaps() {
  const DWORD ops[] = {D3DTOP_DISABLE,
                       D3DTOP_SELECTARG1,
                       D3DTOP_SELECTARG2,
                       D3DTOP_MODULATE,
                       D3DTOP_MODULATE2X,
                       D3DTOP_MODULATE4X,
                       D3DTOP_ADD,
                       D3DTOP_ADDSIGNED,
                       D3DTOP_ADDSIGNED2X,
                       D3DTOP_SUBTRACT,
                       D3DTOP_ADDSMOOTH,
                       D3DTOP_BLENDDIFFUSEALPHA,
                       D3DTOP_BLENDTEXTUREALPHA,
                       D3DTOP_BLENDFACTORALPHA,
                       D3DTOP_BLENDTEXTUREALPHAPM,
                       D3DTOP_BLENDCURRENTALPHA,
                       D3DTOP_DOTPRODUCT3,
                       D3DTOP_MULTIPLYADD,
                       D3DTOP_LERP};
  DWORD caps = 0;
  for (DWORD op : ops) caps |= PORT_D3DTEXOPCAPS(op);
  return caps;
}

void OwnCaps(D3DCAPS9* c) {
  std::memset(c, 0, sizeof(*c));
  DWORD maxTexture = static_cast<DWORD>(std::min(PortGlMaxTextureSize(), 8192));
  if (maxTexture == 0) maxTexture = 2048;
  c->DeviceType = D3DDEVTYPE_HAL;
  c->AdapterOrdinal = 0;
  c->Caps2 = D3DCAPS2_CANMANAGERESOURCE | D3DCAPS2_DYNAMICTEXTURES;
  c->Caps3 = D3DCAPS3_COPY_TO_VIDMEM | D3DCAPS3_COPY_TO_SYSTEMMEM;
  c->PresentationIntervals = D3DPRESENT_INTERVAL_CAPS;
  c->DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
               D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_DRAWPRIMTLVERTEX |
               D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
               D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWRASTERIZATION;
  c->PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                         D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE |
                         D3DPMISCCAPS_CLIPTLVERTS | D3DPMISCCAPS_TSSARGTEMP | D3DPMISCCAPS_BLENDOP;
  c->RasterCaps = D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_SCISSORTEST;
  c->ZCmpCaps = c->AlphaCmpCaps = 0xFF;
  c->SrcBlendCaps = c->DestBlendCaps = 0x3FFF;
  c->ShadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB |
                 D3DPSHADECAPS_ALPHAGOURAUDBLEND;
  c->TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
  c->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                         D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                         D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
  c->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                          D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_INDEPENDENTUV;
  c->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_BLEND | D3DLINECAPS_ALPHACMP;
  c->MaxTextureWidth = c->MaxTextureHeight = maxTexture;
  c->MaxTextureRepeat = 8192;
  c->MaxTextureAspectRatio = maxTexture;
  c->MaxAnisotropy = 1;
  c->MaxVertexW = 1e10f;
  c->FVFCaps = 8;
  c->TextureOpCaps = TextureOpCaps();
  c->MaxTextureBlendStages = PORT_D3D_STAGE_COUNT;
  c->MaxSimultaneousTextures = PORT_D3D_STAGE_COUNT;
  c->MaxActiveLights = 8;
  c->MaxPointSize = 1.0f;
  c->MaxPrimitiveCount = 0xFFFFF;
  c->MaxVertexIndex = 0xFFFFFF;
  c->MaxStreams = 1;
  c->MaxStreamStride = 255;
  // No programmable stages: version 0.0 of both, so no shader path is ever chosen.
  c->VertexShaderVersion = D3DVS_VERSION(0, 0);
  c->PixelShaderVersion = D3DPS_VERSION(0, 0);
  c->NumberOfAdaptersInGroup = 1;
  c->NumSimultaneousRTs = 1;
  c->StretchRectFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                             D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
}

bool KnownSdkVersion(UINT sdkVersion) { return (sdkVersion & 0x7FFFFFFFu) == D3D_SDK_VERSION; }

}  // namespace

// --- switches -----------------------------------------------------------------------------

void PortSetD3DDeviceLost(bool lost) {
  {
    std::lock_guard lock(gSwitchMutex);
    gLost = lost;
  }
  std::lock_guard lock(gDeviceMutex);
  for (PortD3DDevice* d : gDevices) d->SetLost(lost);
}

void PortFailNextD3DDeviceCreations(int count) {
  std::lock_guard lock(gSwitchMutex);
  gFailCreations = std::max(0, count);
}

void PortSetD3DCaps(const D3DCAPS9* caps) {
  std::lock_guard lock(gSwitchMutex);
  if (caps)
    gCapsOverride = *caps;
  else
    gCapsOverride.reset();
}

void PortSetD3DFormatUnsupported(D3DFORMAT format, bool unsupported) {
  std::lock_guard lock(gSwitchMutex);
  if (unsupported)
    gUnsupported.insert(format);
  else
    gUnsupported.erase(format);
}

void PortResetD3DSwitches() {
  PortSetD3DDeviceLost(false);
  std::lock_guard lock(gSwitchMutex);
  gFailCreations = 0;
  gCapsOverride.reset();
  gUnsupported.clear();
}

bool PortD3DFormatSwitchedOff(D3DFORMAT format) {
  std::lock_guard lock(gSwitchMutex);
  return gUnsupported.count(format) != 0;
}

bool PortD3DLostSwitchOn() {
  std::lock_guard lock(gSwitchMutex);
  return gLost;
}

bool PortD3DTakeCreationFailure() {
  std::lock_guard lock(gSwitchMutex);
  if (gFailCreations == 0) return false;
  --gFailCreations;
  return true;
}

void PortD3DFillCaps(D3DCAPS9* caps) {
  {
    std::lock_guard lock(gSwitchMutex);
    if (gCapsOverride) {
      *caps = *gCapsOverride;
      return;
    }
  }
  OwnCaps(caps);
}

void PortD3DRegisterDevice(PortD3DDevice* device, bool live) {
  std::lock_guard lock(gDeviceMutex);
  if (live)
    gDevices.insert(device);
  else
    gDevices.erase(device);
}

// --- display modes ----------------------------------------------------------------------------

D3DFORMAT PortD3DDisplayFormat() {
  switch (PortCurrentDisplayMode().bits) {
    case 16:
      return D3DFMT_R5G6B5;
    case 24:
      return D3DFMT_R8G8B8;
    default:
      return D3DFMT_X8R8G8B8;
  }
}

std::vector<D3DDISPLAYMODE> PortD3DAdapterModes(D3DFORMAT format) {
  std::vector<D3DDISPLAYMODE> modes;
  int bits = BitsOf(format);
  if (!bits) return modes;
  DEVMODEA dm;
  for (DWORD i = 0;; ++i) {
    std::memset(&dm, 0, sizeof(dm));
    dm.dmSize = sizeof(dm);
    if (!EnumDisplaySettingsA(nullptr, i, &dm)) break;
    if (static_cast<int>(dm.dmBitsPerPel) != bits) continue;
    modes.push_back({dm.dmPelsWidth, dm.dmPelsHeight, dm.dmDisplayFrequency, format});
  }
  return modes;
}

// --- the Direct3D object ------------------------------------------------------------------------

namespace {
std::atomic<int> gLiveDirect3DObjects{0};
}  // namespace

PortDirect3D::PortDirect3D(bool ex) : ex_(ex) { ++gLiveDirect3DObjects; }
PortDirect3D::~PortDirect3D() { --gLiveDirect3DObjects; }

int PortLiveDirect3DObjects() { return gLiveDirect3DObjects.load(); }

HRESULT PortDirect3D::QueryInterface(REFIID riid, void** object) {
  return Answer(riid == IID_IDirect3D9 || (ex_ && riid == IID_IDirect3D9Ex), object);
}

HRESULT PortDirect3D::GetAdapterIdentifier(UINT adapter, DWORD,
                                           D3DADAPTER_IDENTIFIER9* identifier) {
  if (adapter != 0 || !identifier) return D3DERR_INVALIDCALL;
  std::memset(identifier, 0, sizeof(*identifier));
  std::snprintf(identifier->Driver, sizeof(identifier->Driver), "opengl");
  std::snprintf(identifier->Description, sizeof(identifier->Description), "OpenGL %s",
                PortGlRenderer());
  std::snprintf(identifier->DeviceName, sizeof(identifier->DeviceName), "\\\\.\\DISPLAY1");
  return D3D_OK;
}

UINT PortDirect3D::GetAdapterModeCount(UINT adapter, D3DFORMAT format) {
  if (adapter != 0) return 0;
  return static_cast<UINT>(PortD3DAdapterModes(format).size());
}

HRESULT PortDirect3D::EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                                       D3DDISPLAYMODE* displayMode) {
  if (adapter != 0 || !displayMode) return D3DERR_INVALIDCALL;
  std::vector<D3DDISPLAYMODE> modes = PortD3DAdapterModes(format);
  if (modes.empty()) return D3DERR_NOTAVAILABLE;
  if (mode >= modes.size()) return D3DERR_INVALIDCALL;
  *displayMode = modes[mode];
  return D3D_OK;
}

HRESULT PortDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
  if (adapter != 0 || !mode) return D3DERR_INVALIDCALL;
  PortDisplayMode m = PortCurrentDisplayMode();
  *mode = {static_cast<UINT>(m.width), static_cast<UINT>(m.height), static_cast<UINT>(m.refresh),
           PortD3DDisplayFormat()};
  return D3D_OK;
}

HRESULT PortDirect3D::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                      D3DFORMAT backBufferFormat, BOOL windowed) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat) || !Supported(adapterFormat))
    return D3DERR_NOTAVAILABLE;
  if (backBufferFormat == D3DFMT_UNKNOWN) return windowed ? D3D_OK : D3DERR_INVALIDCALL;
  const PortFormatInfo* f = PortD3DFormatInfo(backBufferFormat);
  if (!f || f->kind != kPortFormatColor || !Supported(backBufferFormat)) return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT PortDirect3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                        DWORD usage, D3DRESOURCETYPE resourceType,
                                        D3DFORMAT checkFormat) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat) || !Supported(adapterFormat))
    return D3DERR_NOTAVAILABLE;
  const PortFormatInfo* f = PortD3DFormatInfo(checkFormat);
  if (!f || !Supported(checkFormat)) return D3DERR_NOTAVAILABLE;
  bool renderTarget = usage & D3DUSAGE_RENDERTARGET, depth = usage & D3DUSAGE_DEPTHSTENCIL;
  switch (resourceType) {
    case D3DRTYPE_TEXTURE:
      if (depth || (f->kind != kPortFormatColor && f->kind != kPortFormatDxt))
        return D3DERR_NOTAVAILABLE;
      return renderTarget && !f->renderTarget ? D3DERR_NOTAVAILABLE : D3D_OK;
    case D3DRTYPE_SURFACE:
      if (depth) return f->kind == kPortFormatDepth && !renderTarget ? D3D_OK : D3DERR_NOTAVAILABLE;
      if (renderTarget) return f->renderTarget ? D3D_OK : D3DERR_NOTAVAILABLE;
      return f->kind == kPortFormatColor || f->kind == kPortFormatDxt || f->kind == kPortFormatYuv
                 ? D3D_OK
                 : D3DERR_NOTAVAILABLE;
    default:
      return D3DERR_NOTAVAILABLE;
  }
}

HRESULT PortDirect3D::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                             D3DFORMAT renderTargetFormat,
                                             D3DFORMAT depthStencilFormat) {
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
  const PortFormatInfo* rt = PortD3DFormatInfo(renderTargetFormat);
  const PortFormatInfo* ds = PortD3DFormatInfo(depthStencilFormat);
  if (!rt || !rt->renderTarget || !Supported(renderTargetFormat)) return D3DERR_NOTAVAILABLE;
  if (!ds || ds->kind != kPortFormatDepth || !Supported(depthStencilFormat))
    return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT PortDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) {
  if (adapter != 0 || !caps) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  PortD3DFillCaps(caps);
  return D3D_OK;
}

HRESULT PortDirect3D::MakeDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                 DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                 const D3DDISPLAYMODEEX* fullscreenMode, PortD3DDevice** out) {
  if (!out) return D3DERR_INVALIDCALL;
  *out = nullptr;
  if (adapter != 0 || !params) return D3DERR_INVALIDCALL;
  if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  DWORD processing =
      behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                       D3DCREATE_MIXED_VERTEXPROCESSING);
  if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
      processing != D3DCREATE_MIXED_VERTEXPROCESSING)
    return D3DERR_INVALIDCALL;
  if (PortD3DTakeCreationFailure()) return D3DERR_NOTAVAILABLE;
  auto* device = new PortD3DDevice(this, ex_, focusWindow, behaviorFlags);
  HRESULT hr = device->Initialize(params, fullscreenMode);
  if (FAILED(hr)) {
    device->Release();
    return hr;
  }
  *out = device;
  return D3D_OK;
}

HRESULT PortDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                   DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                   IDirect3DDevice9** device) {
  PortD3DDevice* made = nullptr;
  HRESULT hr = MakeDevice(adapter, type, focusWindow, behaviorFlags, params, nullptr, &made);
  if (device) *device = made;
  return hr;
}

HRESULT PortDirect3D::CreateDeviceEx(UINT adapter, D3DDEVTYPE type, HWND focusWindow,
                                     DWORD behaviorFlags, D3DPRESENT_PARAMETERS* params,
                                     D3DDISPLAYMODEEX* fullscreenMode,
                                     IDirect3DDevice9Ex** device) {
  if (!params || (params->Windowed ? fullscreenMode != nullptr : fullscreenMode == nullptr))
    return D3DERR_INVALIDCALL;
  PortD3DDevice* made = nullptr;
  HRESULT hr = MakeDevice(adapter, type, focusWindow, behaviorFlags, params, fullscreenMode, &made);
  if (device) *device = made;
  return hr;
}

// --- d3d9.dll ----------------------------------------------------------------------------------

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion) {
  if (!KnownSdkVersion(sdkVersion) || !PortGlAvailable()) return nullptr;
  return new PortDirect3D(false);
}

HRESULT WINAPI Direct3DCreate9Ex(UINT sdkVersion, IDirect3D9Ex** direct3d) {
  if (!direct3d) return D3DERR_INVALIDCALL;
  *direct3d = nullptr;
  if (!KnownSdkVersion(sdkVersion)) return D3DERR_INVALIDCALL;
  if (!PortGlAvailable()) return D3DERR_NOTAVAILABLE;
  *direct3d = new PortDirect3D(true);
  return S_OK;
}

namespace {
const PortExport kD3d9Exports[] = {PORT_EXPORT(Direct3DCreate9), PORT_EXPORT(Direct3DCreate9Ex)};
}  // namespace

std::span<const PortExport> D3d9Exports() { return kD3d9Exports; }
