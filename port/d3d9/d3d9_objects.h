// The Direct3D 9 objects of the port and what their files share. Port-internal.
//
// Storage: a surface keeps its pixels in memory in the Direct3D layout (system-memory and
// scratch resources, off-screen plain surfaces, and the levels of managed and dynamic
// textures, which are uploaded to OpenGL when unlocked), in an OpenGL texture level (render
// targets, the back buffer, default-pool textures), or both. Depth surfaces are OpenGL
// renderbuffers. OpenGL images hold rows from the top, as Direct3D does.
//
// References: every resource holds a reference on its device while the caller holds it; the
// device holds what is bound to it (textures, render target, depth surface) by a binding
// reference of its own, so a bound object lives until it is unbound. Texture levels count on
// their texture; the swap chain and the back buffer count on the device.
#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include "port/com/com_object.h"
#include "port/d3d9/d3d9.h"
#include "port/d3d9/d3d9_formats.h"
#include "port/d3d9/gl_context.h"

class PortDirect3D;
class PortD3DDevice;
class PortD3DTexture;

// The switches of port/d3d9/d3d9.h, read by the device files.
bool PortD3DFormatSwitchedOff(D3DFORMAT format);
void PortD3DRegisterDevice(PortD3DDevice* device, bool live);
bool PortD3DLostSwitchOn();
bool PortD3DTakeCreationFailure();
void PortD3DFillCaps(D3DCAPS9* caps);  // the caps GetDeviceCaps reports

// The reference counts of one object: the caller's, and the device's bindings.
struct PortRefs {
  std::atomic<ULONG> owned{1};
  std::atomic<ULONG> bound{0};
};

enum class PortSurfaceKind { TextureLevel, RenderTarget, BackBuffer, DepthStencil, OffscreenPlain };

class PortD3DSurface final : public IDirect3DSurface9 {
 public:
  PortD3DSurface(PortD3DDevice* device, PortSurfaceKind kind, D3DFORMAT format, UINT width,
                 UINT height, DWORD usage, D3DPOOL pool, PortD3DTexture* container, UINT level,
                 bool deviceOwned);
  ~PortD3DSurface() override;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect() override;

  // Makes the storage; false when OpenGL refused it. `cpuHeld` keeps the pixels in memory.
  bool Allocate(bool cpuHeld, bool lockable);
  void Bind();
  void Unbind();
  // The caller's references of a back buffer (Reset needs them all released).
  ULONG OwnedReferences() const { return refs_.owned; }

  PortD3DDevice* device() const { return device_; }
  PortSurfaceKind kind() const { return kind_; }
  D3DFORMAT format() const { return format_; }
  UINT width() const { return width_; }
  UINT height() const { return height_; }
  DWORD usage() const { return usage_; }
  D3DPOOL pool() const { return pool_; }
  PortD3DTexture* container() const { return container_; }
  bool locked() const { return locked_; }
  bool cpuHeld() const { return cpuHeld_; }
  uint8_t* bytes() { return cpu_.data(); }
  UINT pitch() const { return PortD3DRowPitch(format_, width_); }
  // An OpenGL colour image: render targets, the back buffer and levels of GL textures.
  bool hasGlColor() const;
  GLuint glTexture() const;
  GLint glLevel() const;
  GLuint glRenderbuffer() const { return renderbuffer_; }
  bool renderTarget() const {
    return kind_ == PortSurfaceKind::BackBuffer || (usage_ & D3DUSAGE_RENDERTARGET);
  }

  // OpenGL side, inside a PortGlScope. Upload converts `rect` of the memory pixels; the
  // ARGB forms carry rows of `rect` with the given stride (pixels).
  void UploadRect(const RECT& rect);
  void WriteGlArgb(const RECT& rect, const uint32_t* argb, size_t stride);
  bool ReadGlArgb(const RECT& rect, uint32_t* argb);

 private:
  PortD3DDevice* device_;
  PortD3DTexture* container_;
  UINT level_;
  PortSurfaceKind kind_;
  D3DFORMAT format_;
  UINT width_;
  UINT height_;
  DWORD usage_;
  D3DPOOL pool_;
  bool deviceOwned_;
  PortRefs refs_;
  bool lockable_ = false;
  bool cpuHeld_ = false;
  std::vector<uint8_t> cpu_;  // memory pixels, or the staging copy of a locked GL surface
  GLuint texture_ = 0;        // own colour texture (render targets and the back buffer)
  GLuint renderbuffer_ = 0;   // depth
  bool locked_ = false;
  RECT lockRect_ = {};
  DWORD lockFlags_ = 0;

  void Destroy();
};

class PortD3DTexture final : public IDirect3DTexture9 {
 public:
  PortD3DTexture(PortD3DDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool);
  ~PortD3DTexture() override;

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
  HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
  HRESULT UnlockRect(UINT level) override;
  HRESULT AddDirtyRect(const RECT* rect) override;

  bool Allocate();
  void Bind();
  void Unbind();
  PortD3DSurface* level(UINT i) const { return levels_[i].get(); }
  UINT levelCount() const { return static_cast<UINT>(levels_.size()); }
  D3DFORMAT format() const { return format_; }
  D3DPOOL pool() const { return pool_; }
  DWORD usage() const { return usage_; }
  UINT width() const { return width_; }
  UINT height() const { return height_; }
  GLuint glTexture() const { return texture_; }
  bool hasGl() const { return texture_ != 0; }
  bool cpuHeld() const { return pool_ != D3DPOOL_DEFAULT || (usage_ & D3DUSAGE_DYNAMIC); }
  // The level-0 region UpdateTexture copies next; empty when nothing changed.
  const RECT& dirty() const { return dirty_; }
  void MarkDirty(const RECT* rect);
  void ClearDirty() { dirty_ = {0, 0, 0, 0}; }

 private:
  PortD3DDevice* device_;
  UINT width_;
  UINT height_;
  DWORD usage_;
  D3DFORMAT format_;
  D3DPOOL pool_;
  PortRefs refs_;
  GLuint texture_ = 0;
  std::vector<std::unique_ptr<PortD3DSurface>> levels_;
  RECT dirty_ = {};

  friend class PortD3DSurface;
  ULONG SurfaceRelease() { return Release(); }
  void Destroy();
};

// Vertex and index buffers: bytes in memory that the caller fills through Lock. The two kinds
// differ only in what their description carries (the vertex format, or the index format).
template <class Interface>
class PortD3DBuffer : public Interface {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9** device) override;
  HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
  HRESULT Unlock() override;

 protected:
  PortD3DBuffer(PortD3DDevice* device, UINT length, DWORD usage, D3DPOOL pool);

  PortD3DDevice* device_;
  std::vector<uint8_t> data_;
  DWORD usage_;
  D3DPOOL pool_;

 private:
  std::atomic<ULONG> refs_{1};
  bool locked_ = false;
};

class PortD3DVertexBuffer final : public PortD3DBuffer<IDirect3DVertexBuffer9> {
 public:
  PortD3DVertexBuffer(PortD3DDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

 private:
  DWORD fvf_;
};

class PortD3DIndexBuffer final : public PortD3DBuffer<IDirect3DIndexBuffer9> {
 public:
  PortD3DIndexBuffer(PortD3DDevice* device, UINT length, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool);
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

 private:
  D3DFORMAT format_;
};

// Shader and declaration objects: the tokens or elements they were made from.
template <class Interface>
class PortD3DShader final : public Interface {
 public:
  PortD3DShader(PortD3DDevice* device, std::vector<DWORD> tokens);
  ~PortD3DShader() override;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT GetFunction(void* data, UINT* size) override;

 private:
  PortD3DDevice* device_;
  std::vector<DWORD> tokens_;
  std::atomic<ULONG> refs_{1};
};
using PortD3DVertexShader = PortD3DShader<IDirect3DVertexShader9>;
using PortD3DPixelShader = PortD3DShader<IDirect3DPixelShader9>;

class PortD3DVertexDeclaration final : public IDirect3DVertexDeclaration9 {
 public:
  PortD3DVertexDeclaration(PortD3DDevice* device, std::vector<D3DVERTEXELEMENT9> elements);
  ~PortD3DVertexDeclaration() override;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

 private:
  PortD3DDevice* device_;
  std::vector<D3DVERTEXELEMENT9> elements_;
  std::atomic<ULONG> refs_{1};
};

class PortD3DSwapChain final : public IDirect3DSwapChain9 {
 public:
  explicit PortD3DSwapChain(PortD3DDevice* device) : device_(device) {}
  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const void* dirtyRegion, DWORD flags) override;
  HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** backBuffer) override;
  HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* params) override;

 private:
  PortD3DDevice* device_;
};

class PortDirect3D final : public PortComObject<IDirect3D9Ex> {
 public:
  explicit PortDirect3D(bool ex);
  ~PortDirect3D() override;
  HRESULT QueryInterface(REFIID riid, void** object) override;
  UINT GetAdapterCount() override { return 1; }
  HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags,
                               D3DADAPTER_IDENTIFIER9* identifier) override;
  UINT GetAdapterModeCount(UINT adapter, D3DFORMAT format) override;
  HRESULT EnumAdapterModes(UINT adapter, D3DFORMAT format, UINT mode,
                           D3DDISPLAYMODE* displayMode) override;
  HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
  HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                          D3DFORMAT backBufferFormat, BOOL windowed) override;
  HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                            D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
  HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                 D3DFORMAT renderTargetFormat,
                                 D3DFORMAT depthStencilFormat) override;
  HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
  HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                       D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override;
  HRESULT CreateDeviceEx(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* params, D3DDISPLAYMODEEX* fullscreenMode,
                         IDirect3DDevice9Ex** device) override;

 private:
  bool ex_;
  HRESULT MakeDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                     D3DPRESENT_PARAMETERS* params, const D3DDISPLAYMODEEX* fullscreenMode,
                     PortD3DDevice** out);
};

// Display modes of the port as the adapter lists them for a format.
std::vector<D3DDISPLAYMODE> PortD3DAdapterModes(D3DFORMAT format);
D3DFORMAT PortD3DDisplayFormat();  // of the current display mode

// The device's pipeline state, as the Set calls leave it.
struct PortD3DState {
  DWORD render[PORT_D3D_RENDER_STATE_COUNT] = {};
  DWORD stage[PORT_D3D_STAGE_COUNT][PORT_D3D_STAGE_STATE_COUNT] = {};
  DWORD sampler[PORT_D3D_STAGE_COUNT][PORT_D3D_SAMPLER_STATE_COUNT] = {};
  PortD3DTexture* texture[PORT_D3D_STAGE_COUNT] = {};
  D3DVIEWPORT9 viewport = {};
  RECT scissor = {};
  DWORD fvf = 0;
  D3DMATERIAL9 material = {};
  std::map<DWORD, D3DMATRIX> transforms;
  std::map<DWORD, D3DLIGHT9> lights;
  std::map<DWORD, bool> lightEnabled;
};

// A fixed-function program made for one combination of stage and alpha-test states.
struct PortD3DProgram {
  GLuint program = 0;
  GLint screen = -1;    // uniform vec4: 2 / width, 2 / height, and the pixel-centre offset
  GLint factor = -1;    // D3DRS_TEXTUREFACTOR
  GLint alphaRef = -1;  // D3DRS_ALPHAREF
};

// What selects a program: shading, specular, alpha function, then eleven bytes for each
// enabled stage (unused stages zero).
using PortD3DProgramKey = std::array<uint8_t, 3 + 11 * PORT_D3D_STAGE_COUNT>;

// What the draw files keep of the OpenGL side of a device.
struct PortD3DGl {
  GLuint drawFramebuffer = 0;
  GLuint readFramebuffer = 0;
  GLuint blitFramebuffer = 0;
  GLuint vertexArray = 0;
  GLuint vertexBuffer = 0;
  GLuint indexBuffer = 0;
  GLuint samplers[PORT_D3D_STAGE_COUNT] = {};
  GLuint scratchTexture = 0;  // uploads of memory surfaces for StretchRect
  int scratchWidth = 0, scratchHeight = 0;
  std::map<PortD3DProgramKey, PortD3DProgram> programs;
  GLuint attachedColor = 0, attachedDepth = 0;
  GLint attachedLevel = -1;
  DWORD attribFvf = ~0u;
  UINT attribStride = 0;
};

class PortD3DDevice final : public PortComObject<IDirect3DDevice9Ex> {
 public:
  PortD3DDevice(PortDirect3D* direct3d, bool ex, HWND focusWindow, DWORD behaviorFlags);
  ~PortD3DDevice() override;
  // Checks the parameters, makes the back buffer and the automatic depth surface, and fills in
  // what the parameters left to the device.
  HRESULT Initialize(D3DPRESENT_PARAMETERS* params, const D3DDISPLAYMODEEX* fullscreenMode);

  // IUnknown
  HRESULT QueryInterface(REFIID riid, void** object) override;
  // IDirect3DDevice9
  HRESULT TestCooperativeLevel() override;
  HRESULT GetDirect3D(IDirect3D9** direct3d) override;
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
  HRESULT GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) override;
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const void* dirtyRegion) override;
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** backBuffer) override;
  HRESULT SetDialogBoxMode(BOOL enable) override;
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) override;
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
  HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                             D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                             BOOL lockable, IDirect3DSurface9** surface,
                             HANDLE* sharedHandle) override;
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                    D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                    BOOL discard, IDirect3DSurface9** surface,
                                    HANDLE* sharedHandle) override;
  HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const POINT* destPoint) override;
  HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) override;
  HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) override;
  HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                      const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
  HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override;
  HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
  HRESULT SetMaterial(const D3DMATERIAL9* material) override;
  HRESULT GetMaterial(D3DMATERIAL9* material) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
  HRESULT LightEnable(DWORD index, BOOL enable) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
  HRESULT SetScissorRect(const RECT* rect) override;
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                          UINT vertexStride) override;
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                 UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                 const void* vertexData, UINT vertexStride) override;
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                  IDirect3DVertexDeclaration9** declaration) override;
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
  HRESULT SetFVF(DWORD fvf) override;
  HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
  HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override;
  HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) override;
  HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
  HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override;
  // IDirect3DDevice9Ex
  HRESULT SetMaximumFrameLatency(UINT maxLatency) override;
  HRESULT GetMaximumFrameLatency(UINT* maxLatency) override;

  // For the swap chain, the resources and the switches.
  HRESULT PresentBackBuffer(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride);
  PortD3DSurface* backBuffer() const { return backBuffer_.get(); }
  const D3DPRESENT_PARAMETERS& presentParameters() const { return params_; }
  void ResourceMade(D3DPOOL pool);
  void ResourceGone(D3DPOOL pool);
  void Forget(const void* object);  // a resource is being destroyed
  void SetLost(bool lost);
  PortD3DGl& gl() { return gl_; }
  // Binds `surface` to the read framebuffer (colour) inside a PortGlScope.
  bool AttachRead(PortD3DSurface* surface);
  bool AttachDraw(PortD3DSurface* surface, PortD3DSurface* depth);
  // Where the GL framebuffer of the next draw points.
  PortD3DSurface* currentRenderTarget() const { return renderTarget_; }
  PortD3DSurface* currentDepth() const { return depthStencil_; }

 private:
  enum class Loss { None, Lost, NotReset };

  PortDirect3D* direct3d_;
  bool ex_;
  HWND focusWindow_;
  DWORD behaviorFlags_;
  D3DPRESENT_PARAMETERS params_ = {};
  HWND deviceWindow_ = nullptr;
  bool switchedDisplay_ = false;
  std::unique_ptr<PortD3DSurface> backBuffer_;
  std::unique_ptr<PortD3DSurface> autoDepth_;
  std::unique_ptr<PortD3DSwapChain> swapChain_;
  PortD3DSurface* renderTarget_ = nullptr;
  PortD3DSurface* depthStencil_ = nullptr;
  PortD3DState state_;
  PortD3DGl gl_;
  bool inScene_ = false;
  bool dialogBoxMode_ = false;
  UINT maxFrameLatency_ = 3;
  Loss loss_ = Loss::None;
  int defaultResources_ = 0;
  bool shaderSet_ = false;
  std::vector<float> vertexConstants_;
  std::vector<float> pixelConstants_;
  std::vector<BOOL> vertexBoolConstants_;
  PortD3DVertexDeclaration* declaration_ = nullptr;

  HRESULT MakeSwapChain(D3DPRESENT_PARAMETERS* params, const D3DDISPLAYMODEEX* fullscreenMode);
  void DropSwapChain();
  void ResetState();
  void UnbindAll();
  void ReleaseGl();
  bool drawable() const { return loss_ == Loss::None; }
  // d3d9_draw.cpp
  HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
               UINT vertexStride, UINT vertexCount, const void* indexData, D3DFORMAT indexFormat,
               UINT indexCount);
  int ApplyDrawState(DWORD fvf, UINT stride);
  const PortD3DProgram* ProgramFor();
};

// Casts of interface pointers the caller passes back: only the port's objects exist here.
inline PortD3DSurface* PortSurfaceOf(IDirect3DSurface9* s) {
  return static_cast<PortD3DSurface*>(s);
}
inline PortD3DTexture* PortTextureOf(IDirect3DBaseTexture9* t) {
  return static_cast<PortD3DTexture*>(t);
}

// Clamps `rect` (null: the whole surface) into `width` x `height`; false when it is empty or
// reaches outside.
bool PortD3DCheckRect(const RECT* rect, UINT width, UINT height, RECT* out);
