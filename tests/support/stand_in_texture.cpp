#include "tests/support/stand_in_texture.h"

namespace {

class StandInTexture;

// Level 0 of a stand-in texture; it shares its texture's reference count.
class StandInSurface : public IDirect3DSurface9 {
 public:
  explicit StandInSurface(StandInTexture* owner) : owner_(owner) {}
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
  HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
  HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
  HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }

 private:
  StandInTexture* owner_;
};

class StandInTexture : public IDirect3DTexture9 {
 public:
  StandInTexture(UINT width, UINT height, UINT levels, D3DFORMAT format)
      : surface_(this),
        width_(width),
        height_(height),
        levels_(levels == 0 ? 1 : levels),
        format_(format) {}
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
  D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
  DWORD GetLevelCount() override { return levels_; }
  HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
    if (level >= levels_) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = format_;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Pool = D3DPOOL_MANAGED;
    desc->Width = width_ >> level == 0 ? 1 : width_ >> level;
    desc->Height = height_ >> level == 0 ? 1 : height_ >> level;
    return D3D_OK;
  }
  HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override {
    if (level != 0) return D3DERR_INVALIDCALL;
    AddRef();
    *surface = &surface_;
    return D3D_OK;
  }
  HRESULT LockRect(UINT, D3DLOCKED_RECT*, const RECT*, DWORD) override {
    return D3DERR_INVALIDCALL;
  }
  HRESULT UnlockRect(UINT) override { return D3DERR_INVALIDCALL; }
  HRESULT AddDirtyRect(const RECT*) override { return D3D_OK; }

 private:
  StandInSurface surface_;
  UINT width_, height_, levels_;
  D3DFORMAT format_;
  ULONG references_ = 1;
};

ULONG StandInSurface::AddRef() { return owner_->AddRef(); }
ULONG StandInSurface::Release() { return owner_->Release(); }
HRESULT StandInSurface::GetDesc(D3DSURFACE_DESC* desc) { return owner_->GetLevelDesc(0, desc); }

}  // namespace

IDirect3DTexture9* MakeStandInTexture(UINT width, UINT height, UINT levels, D3DFORMAT format) {
  return new StandInTexture(width, height, levels, format);
}
