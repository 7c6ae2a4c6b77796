// Textures, surfaces, buffers, shader and declaration objects of the port's device.
#include <algorithm>
#include <cstring>

#include "port/d3d9/d3d9_objects.h"

namespace {

// Texture levels and standalone colour images get the same OpenGL setup: no mipmaps past the
// levels made, and alpha read as 1 for formats without it.
void SetupGlTexture(GLuint texture, const PortFormatInfo* f, GLint levels) {
  PortGl.BindTexture(GL_TEXTURE_2D, texture);
  PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
  PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels - 1);
  PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  if (!f->hasAlpha) PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
}

bool GlFine() {
  bool fine = true;
  while (PortGl.GetError() != GL_NO_ERROR) fine = false;
  return fine;
}

}  // namespace

bool PortD3DCheckRect(const RECT* rect, UINT width, UINT height, RECT* out) {
  if (!rect) {
    *out = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    return width > 0 && height > 0;
  }
  if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom)
    return false;
  if (rect->right > static_cast<LONG>(width) || rect->bottom > static_cast<LONG>(height))
    return false;
  *out = *rect;
  return true;
}

// --- surfaces -----------------------------------------------------------------------------

PortD3DSurface::PortD3DSurface(PortD3DDevice* device, PortSurfaceKind kind, D3DFORMAT format,
                               UINT width, UINT height, DWORD usage, D3DPOOL pool,
                               PortD3DTexture* container, UINT level, bool deviceOwned)
    : device_(device),
      container_(container),
      level_(level),
      kind_(kind),
      format_(format),
      width_(width),
      height_(height),
      usage_(usage),
      pool_(pool),
      deviceOwned_(deviceOwned) {
  // The back buffer and the automatic depth surface belong to the device: the caller's
  // references start at none and count on the device. Texture levels count on their texture.
  if (deviceOwned_ || kind == PortSurfaceKind::TextureLevel)
    refs_.owned = 0;
  else
    device_->AddRef();
}

PortD3DSurface::~PortD3DSurface() {
  if (texture_ || renderbuffer_) {
    PortGlScope scope;
    if (scope.ok()) {
      if (texture_) PortGl.DeleteTextures(1, &texture_);
      if (renderbuffer_) PortGl.DeleteRenderbuffers(1, &renderbuffer_);
    }
  }
}

bool PortD3DSurface::Allocate(bool cpuHeld, bool lockable) {
  const PortFormatInfo* f = PortD3DFormatInfo(format_);
  if (!f) return false;
  cpuHeld_ = cpuHeld;
  lockable_ = lockable;
  if (cpuHeld) cpu_.assign(PortD3DSurfaceBytes(format_, width_, height_), 0);
  if (kind_ == PortSurfaceKind::RenderTarget || kind_ == PortSurfaceKind::BackBuffer) {
    PortGlScope scope;
    if (!scope.ok()) return false;
    GlFine();
    PortGl.GenTextures(1, &texture_);
    SetupGlTexture(texture_, f, 1);
    PortGl.TexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(f->glInternal),
                      static_cast<GLsizei>(width_), static_cast<GLsizei>(height_), 0, GL_BGRA,
                      GL_UNSIGNED_BYTE, nullptr);
    return GlFine();
  }
  if (kind_ == PortSurfaceKind::DepthStencil) {
    PortGlScope scope;
    if (!scope.ok()) return false;
    GlFine();
    PortGl.GenRenderbuffers(1, &renderbuffer_);
    PortGl.BindRenderbuffer(GL_RENDERBUFFER, renderbuffer_);
    PortGl.RenderbufferStorage(GL_RENDERBUFFER, f->glInternal, static_cast<GLsizei>(width_),
                               static_cast<GLsizei>(height_));
    return GlFine();
  }
  return true;
}

bool PortD3DSurface::hasGlColor() const {
  if (kind_ == PortSurfaceKind::TextureLevel) return container_->hasGl();
  return texture_ != 0;
}

GLuint PortD3DSurface::glTexture() const {
  return kind_ == PortSurfaceKind::TextureLevel ? container_->glTexture() : texture_;
}

GLint PortD3DSurface::glLevel() const {
  return kind_ == PortSurfaceKind::TextureLevel ? static_cast<GLint>(level_) : 0;
}

HRESULT PortD3DSurface::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG PortD3DSurface::AddRef() {
  if (kind_ == PortSurfaceKind::TextureLevel) return container_->AddRef();
  ULONG n = ++refs_.owned;
  // The device hands out what it has bound (GetRenderTarget): a surface the caller had let go
  // is the caller's again, with its hold on the device.
  if (deviceOwned_ || n == 1) device_->AddRef();
  if (!deviceOwned_ && n == 1) device_->ResourceMade(pool_);
  return n;
}

ULONG PortD3DSurface::Release() {
  if (kind_ == PortSurfaceKind::TextureLevel) return container_->SurfaceRelease();
  PortD3DDevice* device = device_;
  if (refs_.owned == 0) return 0;
  ULONG n = --refs_.owned;
  if (deviceOwned_) {
    device->Release();
    return n;
  }
  if (n) return n;
  device->ResourceGone(pool_);
  if (refs_.bound == 0) Destroy();
  device->Release();
  return 0;
}

void PortD3DSurface::Bind() {
  if (kind_ == PortSurfaceKind::TextureLevel)
    container_->Bind();
  else
    ++refs_.bound;
}

void PortD3DSurface::Unbind() {
  if (kind_ == PortSurfaceKind::TextureLevel) {
    container_->Unbind();
    return;
  }
  if (refs_.bound == 0) return;
  if (--refs_.bound == 0 && refs_.owned == 0 && !deviceOwned_) Destroy();
}

void PortD3DSurface::Destroy() {
  device_->Forget(this);
  delete this;
}

HRESULT PortD3DSurface::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT PortD3DSurface::GetDesc(D3DSURFACE_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {format_, D3DRTYPE_SURFACE, usage_, pool_, D3DMULTISAMPLE_NONE, 0, width_, height_};
  return D3D_OK;
}

HRESULT PortD3DSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
  if (!locked || locked_) return D3DERR_INVALIDCALL;
  const PortFormatInfo* f = PortD3DFormatInfo(format_);
  bool allowed = false;
  switch (kind_) {
    case PortSurfaceKind::TextureLevel:
      allowed = container_->cpuHeld();
      break;
    case PortSurfaceKind::RenderTarget:
    case PortSurfaceKind::BackBuffer:
      allowed = lockable_;
      break;
    case PortSurfaceKind::OffscreenPlain:
      allowed = true;
      break;
    case PortSurfaceKind::DepthStencil:
      allowed = false;
      break;
  }
  RECT r;
  if (!allowed || !f || !PortD3DCheckRect(rect, width_, height_, &r)) return D3DERR_INVALIDCALL;
  if (f->kind == kPortFormatDxt) {
    auto aligned = [](LONG v, UINT size) { return v % 4 == 0 || v == static_cast<LONG>(size); };
    if (r.left % 4 || r.top % 4 || !aligned(r.right, width_) || !aligned(r.bottom, height_))
      return D3DERR_INVALIDCALL;
  }
  // A planar surface is locked whole; packed YUV on pixel pairs.
  if (format_ == D3DFMT_YV12 && rect &&
      (r.left || r.top || r.right != static_cast<LONG>(width_) ||
       r.bottom != static_cast<LONG>(height_)))
    return D3DERR_INVALIDCALL;
  if ((format_ == D3DFMT_YUY2 || format_ == D3DFMT_UYVY) && (r.left & 1)) return D3DERR_INVALIDCALL;

  if (!cpuHeld_) {
    // A lockable render target: its pixels come back from OpenGL for the lock.
    cpu_.resize(PortD3DSurfaceBytes(format_, width_, height_));
    if (!(flags & D3DLOCK_DISCARD)) {
      PortGlScope scope;
      std::vector<uint32_t> argb(static_cast<size_t>(r.right - r.left) * (r.bottom - r.top));
      if (!scope.ok() || !ReadGlArgb(r, argb.data())) return D3DERR_INVALIDCALL;
      PortD3DEncodeFromArgb(format_, argb.data(), static_cast<size_t>(r.right - r.left), r,
                            cpu_.data(), pitch());
    }
  }
  size_t offset;
  if (f->kind == kPortFormatDxt)
    offset =
        static_cast<size_t>(r.top / 4) * pitch() + static_cast<size_t>(r.left / 4) * f->blockBytes;
  else
    offset = static_cast<size_t>(r.top) * pitch() + static_cast<size_t>(r.left) * f->bytesPerPixel;
  locked->pBits = cpu_.data() + offset;
  locked->Pitch = static_cast<INT>(pitch());
  locked_ = true;
  lockRect_ = r;
  lockFlags_ = flags;
  if (kind_ == PortSurfaceKind::TextureLevel && level_ == 0 &&
      !(flags & (D3DLOCK_READONLY | D3DLOCK_NO_DIRTY_UPDATE)))
    container_->MarkDirty(&r);
  return D3D_OK;
}

HRESULT PortD3DSurface::UnlockRect() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (lockFlags_ & D3DLOCK_READONLY) return D3D_OK;
  if (hasGlColor()) {
    PortGlScope scope;
    if (!scope.ok()) return D3DERR_INVALIDCALL;
    UploadRect(lockRect_);
  }
  return D3D_OK;
}

void PortD3DSurface::UploadRect(const RECT& rect) {
  size_t w = static_cast<size_t>(rect.right - rect.left);
  std::vector<uint32_t> argb(w * static_cast<size_t>(rect.bottom - rect.top));
  PortD3DDecodeToArgb(format_, cpu_.data(), pitch(), width_, height_, rect, argb.data(), w);
  WriteGlArgb(rect, argb.data(), w);
}

void PortD3DSurface::WriteGlArgb(const RECT& rect, const uint32_t* argb, size_t stride) {
  PortGl.ActiveTexture(GL_TEXTURE0);
  PortGl.BindTexture(GL_TEXTURE_2D, glTexture());
  PortGl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(stride));
  PortGl.TexSubImage2D(GL_TEXTURE_2D, glLevel(), rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, GL_BGRA, GL_UNSIGNED_BYTE, argb);
  PortGl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

bool PortD3DSurface::ReadGlArgb(const RECT& rect, uint32_t* argb) {
  if (!device_->AttachRead(this)) return false;
  PortGl.ReadPixels(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GL_BGRA,
                    GL_UNSIGNED_BYTE, argb);
  return true;
}

// --- textures -----------------------------------------------------------------------------

PortD3DTexture::PortD3DTexture(PortD3DDevice* device, UINT width, UINT height, UINT levels,
                               DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : device_(device), width_(width), height_(height), usage_(usage), format_(format), pool_(pool) {
  UINT full = 1;
  while ((width >> full) || (height >> full)) ++full;
  UINT count = levels == 0 ? full : std::min(levels, full);
  for (UINT i = 0; i < count; ++i)
    levels_.push_back(std::make_unique<PortD3DSurface>(
        device, PortSurfaceKind::TextureLevel, format, std::max(1u, width >> i),
        std::max(1u, height >> i), usage, pool, this, i, false));
  device_->AddRef();
}

PortD3DTexture::~PortD3DTexture() {
  levels_.clear();
  if (texture_) {
    PortGlScope scope;
    if (scope.ok()) PortGl.DeleteTextures(1, &texture_);
  }
}

bool PortD3DTexture::Allocate() {
  const PortFormatInfo* f = PortD3DFormatInfo(format_);
  if (!f) return false;
  for (auto& level : levels_)
    if (!level->Allocate(cpuHeld(), cpuHeld())) return false;
  dirty_ = {0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  if (pool_ == D3DPOOL_SYSTEMMEM || pool_ == D3DPOOL_SCRATCH) return true;
  PortGlScope scope;
  if (!scope.ok()) return false;
  GlFine();
  PortGl.GenTextures(1, &texture_);
  SetupGlTexture(texture_, f, static_cast<GLint>(levels_.size()));
  for (UINT i = 0; i < levels_.size(); ++i)
    PortGl.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(f->glInternal),
                      static_cast<GLsizei>(levels_[i]->width()),
                      static_cast<GLsizei>(levels_[i]->height()), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                      nullptr);
  return GlFine();
}

HRESULT PortD3DTexture::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG PortD3DTexture::AddRef() {
  ULONG n = ++refs_.owned;
  if (n == 1) {
    device_->AddRef();
    device_->ResourceMade(pool_);
  }
  return n;
}

ULONG PortD3DTexture::Release() {
  if (refs_.owned == 0) return 0;
  ULONG n = --refs_.owned;
  if (n) return n;
  PortD3DDevice* device = device_;
  device->ResourceGone(pool_);
  if (refs_.bound == 0) Destroy();
  device->Release();
  return 0;
}

void PortD3DTexture::Bind() { ++refs_.bound; }

void PortD3DTexture::Unbind() {
  if (refs_.bound == 0) return;
  if (--refs_.bound == 0 && refs_.owned == 0) Destroy();
}

void PortD3DTexture::Destroy() {
  device_->Forget(this);
  for (auto& level : levels_) device_->Forget(level.get());
  delete this;
}

HRESULT PortD3DTexture::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

HRESULT PortD3DTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->GetDesc(desc);
}

HRESULT PortD3DTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
  if (!surface || level >= levels_.size()) return D3DERR_INVALIDCALL;
  AddRef();
  *surface = levels_[level].get();
  return D3D_OK;
}

HRESULT PortD3DTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect,
                                 DWORD flags) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->LockRect(locked, rect, flags);
}

HRESULT PortD3DTexture::UnlockRect(UINT level) {
  if (level >= levels_.size()) return D3DERR_INVALIDCALL;
  return levels_[level]->UnlockRect();
}

HRESULT PortD3DTexture::AddDirtyRect(const RECT* rect) {
  RECT r;
  if (rect && !PortD3DCheckRect(rect, width_, height_, &r)) return D3DERR_INVALIDCALL;
  MarkDirty(rect);
  return D3D_OK;
}

void PortD3DTexture::MarkDirty(const RECT* rect) {
  RECT r = rect ? *rect : RECT{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
  if (dirty_.left >= dirty_.right || dirty_.top >= dirty_.bottom) {
    dirty_ = r;
    return;
  }
  dirty_ = {std::min(dirty_.left, r.left), std::min(dirty_.top, r.top),
            std::max(dirty_.right, r.right), std::max(dirty_.bottom, r.bottom)};
}

// --- buffers ------------------------------------------------------------------------------

template <class Interface>
PortD3DBuffer<Interface>::PortD3DBuffer(PortD3DDevice* device, UINT length, DWORD usage,
                                        D3DPOOL pool)
    : device_(device), data_(length, 0), usage_(usage), pool_(pool) {
  device_->AddRef();
}

template <class Interface>
HRESULT PortD3DBuffer<Interface>::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

template <class Interface>
ULONG PortD3DBuffer<Interface>::Release() {
  ULONG n = --refs_;
  if (n) return n;
  PortD3DDevice* device = device_;
  device->ResourceGone(pool_);
  delete this;
  device->Release();
  return 0;
}

template <class Interface>
HRESULT PortD3DBuffer<Interface>::GetDevice(IDirect3DDevice9** device) {
  if (!device) return D3DERR_INVALIDCALL;
  device_->AddRef();
  *device = device_;
  return D3D_OK;
}

template <class Interface>
HRESULT PortD3DBuffer<Interface>::Lock(UINT offset, UINT size, void** data, DWORD) {
  if (!data || locked_) return D3DERR_INVALIDCALL;
  if (size == 0 && offset == 0) size = static_cast<UINT>(data_.size());
  if (offset > data_.size() || size > data_.size() - offset) return D3DERR_INVALIDCALL;
  *data = data_.data() + offset;
  locked_ = true;
  return D3D_OK;
}

template <class Interface>
HRESULT PortD3DBuffer<Interface>::Unlock() {
  if (!locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  return D3D_OK;
}

template class PortD3DBuffer<IDirect3DVertexBuffer9>;
template class PortD3DBuffer<IDirect3DIndexBuffer9>;

PortD3DVertexBuffer::PortD3DVertexBuffer(PortD3DDevice* device, UINT length, DWORD usage, DWORD fvf,
                                         D3DPOOL pool)
    : PortD3DBuffer(device, length, usage, pool), fvf_(fvf) {}

HRESULT PortD3DVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {D3DFMT_VERTEXDATA,
           D3DRTYPE_VERTEXBUFFER,
           usage_,
           pool_,
           static_cast<UINT>(data_.size()),
           fvf_};
  return D3D_OK;
}

PortD3DIndexBuffer::PortD3DIndexBuffer(PortD3DDevice* device, UINT length, DWORD usage,
                                       D3DFORMAT format, D3DPOOL pool)
    : PortD3DBuffer(device, length, usage, pool), format_(format) {}

HRESULT PortD3DIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  *desc = {format_, D3DRTYPE_INDEXBUFFER, usage_, pool_, static_cast<UINT>(data_.size())};
  return D3D_OK;
}

// --- shaders and declarations ---------------------------------------------------------------

template <class Interface>
PortD3DShader<Interface>::PortD3DShader(PortD3DDevice* device, std::vector<DWORD> tokens)
    : device_(device), tokens_(std::move(tokens)) {
  device_->AddRef();
}

template <class Interface>
PortD3DShader<Interface>::~PortD3DShader() = default;

template <class Interface>
HRESULT PortD3DShader<Interface>::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

template <class Interface>
ULONG PortD3DShader<Interface>::Release() {
  ULONG n = --refs_;
  if (n) return n;
  PortD3DDevice* device = device_;
  delete this;
  device->Release();
  return 0;
}

template <class Interface>
HRESULT PortD3DShader<Interface>::GetFunction(void* data, UINT* size) {
  if (!size) return D3DERR_INVALIDCALL;
  UINT bytes = static_cast<UINT>(tokens_.size() * sizeof(DWORD));
  if (data) {
    if (*size < bytes) return D3DERR_INVALIDCALL;
    std::memcpy(data, tokens_.data(), bytes);
  }
  *size = bytes;
  return D3D_OK;
}

template class PortD3DShader<IDirect3DVertexShader9>;
template class PortD3DShader<IDirect3DPixelShader9>;

PortD3DVertexDeclaration::PortD3DVertexDeclaration(PortD3DDevice* device,
                                                   std::vector<D3DVERTEXELEMENT9> elements)
    : device_(device), elements_(std::move(elements)) {
  device_->AddRef();
}

PortD3DVertexDeclaration::~PortD3DVertexDeclaration() = default;

HRESULT PortD3DVertexDeclaration::QueryInterface(REFIID, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}

ULONG PortD3DVertexDeclaration::Release() {
  ULONG n = --refs_;
  if (n) return n;
  PortD3DDevice* device = device_;
  device->Forget(this);
  delete this;
  device->Release();
  return 0;
}

HRESULT PortD3DVertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
  if (!count) return D3DERR_INVALIDCALL;
  UINT n = static_cast<UINT>(elements_.size());
  if (elements) std::copy(elements_.begin(), elements_.end(), elements);
  *count = n;
  return D3D_OK;
}
