// A Direct3D 9 device that records every call made to it (name and arguments) and passes it on
// to a real device, or answers D3D_OK on its own when it wraps none. Chosen calls can be made
// to fail. Tests put it in place of the graphics layer's device pointer.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "port/win32.h"
#include "tests/support/stand_in_texture.h"

struct RecordedCall {
  std::string name;
  std::vector<uint64_t> args;  // integers as they are, pointers as addresses, floats as bits
};

class RecordingDevice : public IDirect3DDevice9Ex {
 public:
  // Takes over the caller's reference to inner (which may be null).
  explicit RecordingDevice(IDirect3DDevice9* inner);

  std::vector<RecordedCall> calls;
  // Calls of these names return failureResult (and are not passed on).
  std::set<std::string> failing;
  HRESULT failureResult = D3DERR_INVALIDCALL;
  // Calls of these names return D3D_OK without being passed on (outputs left as they are).
  std::set<std::string> answered;
  // Called with each call as it is recorded (a test can slow chosen calls down).
  std::function<void(const RecordedCall&)> onCall;
  // Without an inner device, CreateTexture makes stand-in textures (tests/support/
  // stand_in_texture.h) instead of leaving the output alone.
  bool makeStandInTextures = false;

  void Clear() { calls.clear(); }
  int Count(const std::string& name) const;
  // Calls of the name whose leading arguments equal the given ones.
  int Count(const std::string& name, std::vector<uint64_t> leading) const;
  // The names of the calls in order, without Get* queries.
  std::vector<std::string> Names() const;
  IDirect3DDevice9* inner() const { return inner_; }

  static uint64_t FloatArg(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
  }

  HRESULT QueryInterface(REFIID riid, void** object) override;
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override;

  HRESULT TestCooperativeLevel() override {
    if (Record("TestCooperativeLevel", {})) return Failure();
    return inner_ ? inner_->TestCooperativeLevel() : D3D_OK;
  }
  HRESULT GetDirect3D(IDirect3D9** direct3d) override {
    if (Record("GetDirect3D", {Arg(direct3d)})) return Failure();
    return inner_ ? inner_->GetDirect3D(direct3d) : D3D_OK;
  }
  HRESULT GetDeviceCaps(D3DCAPS9* caps) override {
    if (Record("GetDeviceCaps", {Arg(caps)})) return Failure();
    return inner_ ? inner_->GetDeviceCaps(caps) : D3D_OK;
  }
  HRESULT GetSwapChain(UINT index, IDirect3DSwapChain9** swapChain) override {
    if (Record("GetSwapChain", {static_cast<uint64_t>(index), Arg(swapChain)})) return Failure();
    return inner_ ? inner_->GetSwapChain(index, swapChain) : D3D_OK;
  }
  HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
    if (Record("Reset", {Arg(params)})) return Failure();
    return inner_ ? inner_->Reset(params) : D3D_OK;
  }
  HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                  const void* dirtyRegion) override {
    if (Record("Present",
               {Arg(sourceRect), Arg(destRect), Arg(destWindowOverride), Arg(dirtyRegion)}))
      return Failure();
    return inner_ ? inner_->Present(sourceRect, destRect, destWindowOverride, dirtyRegion) : D3D_OK;
  }
  HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                        IDirect3DSurface9** backBuffer) override {
    if (Record("GetBackBuffer", {static_cast<uint64_t>(swapChain), static_cast<uint64_t>(index),
                                 static_cast<uint64_t>(type), Arg(backBuffer)}))
      return Failure();
    return inner_ ? inner_->GetBackBuffer(swapChain, index, type, backBuffer) : D3D_OK;
  }
  HRESULT SetDialogBoxMode(BOOL enable) override {
    if (Record("SetDialogBoxMode", {static_cast<uint64_t>(enable)})) return Failure();
    return inner_ ? inner_->SetDialogBoxMode(enable) : D3D_OK;
  }
  HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                        D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override {
    if (Record("CreateTexture", {static_cast<uint64_t>(width), static_cast<uint64_t>(height),
                                 static_cast<uint64_t>(levels), static_cast<uint64_t>(usage),
                                 static_cast<uint64_t>(format), static_cast<uint64_t>(pool),
                                 Arg(texture), Arg(sharedHandle)}))
      return Failure();
    if (!inner_ && makeStandInTextures) {
      *texture = MakeStandInTexture(width, height, levels, format);
      return D3D_OK;
    }
    return inner_ ? inner_->CreateTexture(width, height, levels, usage, format, pool, texture,
                                          sharedHandle)
                  : D3D_OK;
  }
  HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle) override {
    if (Record("CreateVertexBuffer", {static_cast<uint64_t>(length), static_cast<uint64_t>(usage),
                                      static_cast<uint64_t>(fvf), static_cast<uint64_t>(pool),
                                      Arg(buffer), Arg(sharedHandle)}))
      return Failure();
    return inner_ ? inner_->CreateVertexBuffer(length, usage, fvf, pool, buffer, sharedHandle)
                  : D3D_OK;
  }
  HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override {
    if (Record("CreateIndexBuffer", {static_cast<uint64_t>(length), static_cast<uint64_t>(usage),
                                     static_cast<uint64_t>(format), static_cast<uint64_t>(pool),
                                     Arg(buffer), Arg(sharedHandle)}))
      return Failure();
    return inner_ ? inner_->CreateIndexBuffer(length, usage, format, pool, buffer, sharedHandle)
                  : D3D_OK;
  }
  HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format,
                             D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                             BOOL lockable, IDirect3DSurface9** surface,
                             HANDLE* sharedHandle) override {
    if (Record("CreateRenderTarget",
               {static_cast<uint64_t>(width), static_cast<uint64_t>(height),
                static_cast<uint64_t>(format), static_cast<uint64_t>(multiSample),
                static_cast<uint64_t>(multiSampleQuality), static_cast<uint64_t>(lockable),
                Arg(surface), Arg(sharedHandle)}))
      return Failure();
    return inner_ ? inner_->CreateRenderTarget(width, height, format, multiSample,
                                               multiSampleQuality, lockable, surface, sharedHandle)
                  : D3D_OK;
  }
  HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                    D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                    BOOL discard, IDirect3DSurface9** surface,
                                    HANDLE* sharedHandle) override {
    if (Record("CreateDepthStencilSurface",
               {static_cast<uint64_t>(width), static_cast<uint64_t>(height),
                static_cast<uint64_t>(format), static_cast<uint64_t>(multiSample),
                static_cast<uint64_t>(multiSampleQuality), static_cast<uint64_t>(discard),
                Arg(surface), Arg(sharedHandle)}))
      return Failure();
    return inner_ ? inner_->CreateDepthStencilSurface(width, height, format, multiSample,
                                                      multiSampleQuality, discard, surface,
                                                      sharedHandle)
                  : D3D_OK;
  }
  HRESULT UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const POINT* destPoint) override {
    if (Record("UpdateSurface", {Arg(source), Arg(sourceRect), Arg(dest), Arg(destPoint)}))
      return Failure();
    return inner_ ? inner_->UpdateSurface(source, sourceRect, dest, destPoint) : D3D_OK;
  }
  HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) override {
    if (Record("UpdateTexture", {Arg(source), Arg(dest)})) return Failure();
    return inner_ ? inner_->UpdateTexture(source, dest) : D3D_OK;
  }
  HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* dest) override {
    if (Record("GetRenderTargetData", {Arg(renderTarget), Arg(dest)})) return Failure();
    return inner_ ? inner_->GetRenderTargetData(renderTarget, dest) : D3D_OK;
  }
  HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                      const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override {
    if (Record("StretchRect", {Arg(source), Arg(sourceRect), Arg(dest), Arg(destRect),
                               static_cast<uint64_t>(filter)}))
      return Failure();
    return inner_ ? inner_->StretchRect(source, sourceRect, dest, destRect, filter) : D3D_OK;
  }
  HRESULT ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) override {
    if (Record("ColorFill", {Arg(surface), Arg(rect), static_cast<uint64_t>(color)}))
      return Failure();
    return inner_ ? inner_->ColorFill(surface, rect, color) : D3D_OK;
  }
  HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DSurface9** surface, HANDLE* sharedHandle) override {
    if (Record("CreateOffscreenPlainSurface",
               {static_cast<uint64_t>(width), static_cast<uint64_t>(height),
                static_cast<uint64_t>(format), static_cast<uint64_t>(pool), Arg(surface),
                Arg(sharedHandle)}))
      return Failure();
    return inner_ ? inner_->CreateOffscreenPlainSurface(width, height, format, pool, surface,
                                                        sharedHandle)
                  : D3D_OK;
  }
  HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
    if (Record("SetRenderTarget", {static_cast<uint64_t>(index), Arg(surface)})) return Failure();
    return inner_ ? inner_->SetRenderTarget(index, surface) : D3D_OK;
  }
  HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override {
    if (Record("GetRenderTarget", {static_cast<uint64_t>(index), Arg(surface)})) return Failure();
    return inner_ ? inner_->GetRenderTarget(index, surface) : D3D_OK;
  }
  HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override {
    if (Record("SetDepthStencilSurface", {Arg(surface)})) return Failure();
    return inner_ ? inner_->SetDepthStencilSurface(surface) : D3D_OK;
  }
  HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override {
    if (Record("GetDepthStencilSurface", {Arg(surface)})) return Failure();
    return inner_ ? inner_->GetDepthStencilSurface(surface) : D3D_OK;
  }
  HRESULT BeginScene() override {
    if (Record("BeginScene", {})) return Failure();
    return inner_ ? inner_->BeginScene() : D3D_OK;
  }
  HRESULT EndScene() override {
    if (Record("EndScene", {})) return Failure();
    return inner_ ? inner_->EndScene() : D3D_OK;
  }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override {
    if (Record("Clear",
               {static_cast<uint64_t>(count), Arg(rects), static_cast<uint64_t>(flags),
                static_cast<uint64_t>(color), FloatArg(z), static_cast<uint64_t>(stencil)}))
      return Failure();
    return inner_ ? inner_->Clear(count, rects, flags, color, z, stencil) : D3D_OK;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    if (Record("SetTransform", {static_cast<uint64_t>(state), Arg(matrix)})) return Failure();
    return inner_ ? inner_->SetTransform(state, matrix) : D3D_OK;
  }
  HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
    if (Record("SetViewport", {Arg(viewport)})) return Failure();
    return inner_ ? inner_->SetViewport(viewport) : D3D_OK;
  }
  HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
    if (Record("GetViewport", {Arg(viewport)})) return Failure();
    return inner_ ? inner_->GetViewport(viewport) : D3D_OK;
  }
  HRESULT SetMaterial(const D3DMATERIAL9* material) override {
    if (Record("SetMaterial", {Arg(material)})) return Failure();
    return inner_ ? inner_->SetMaterial(material) : D3D_OK;
  }
  HRESULT GetMaterial(D3DMATERIAL9* material) override {
    if (Record("GetMaterial", {Arg(material)})) return Failure();
    return inner_ ? inner_->GetMaterial(material) : D3D_OK;
  }
  HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override {
    if (Record("SetLight", {static_cast<uint64_t>(index), Arg(light)})) return Failure();
    return inner_ ? inner_->SetLight(index, light) : D3D_OK;
  }
  HRESULT LightEnable(DWORD index, BOOL enable) override {
    if (Record("LightEnable", {static_cast<uint64_t>(index), static_cast<uint64_t>(enable)}))
      return Failure();
    return inner_ ? inner_->LightEnable(index, enable) : D3D_OK;
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    if (Record("SetRenderState", {static_cast<uint64_t>(state), static_cast<uint64_t>(value)}))
      return Failure();
    return inner_ ? inner_->SetRenderState(state, value) : D3D_OK;
  }
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
    if (Record("GetRenderState", {static_cast<uint64_t>(state), Arg(value)})) return Failure();
    return inner_ ? inner_->GetRenderState(state, value) : D3D_OK;
  }
  HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
    if (Record("SetTexture", {static_cast<uint64_t>(stage), Arg(texture)})) return Failure();
    return inner_ ? inner_->SetTexture(stage, texture) : D3D_OK;
  }
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
    if (Record("SetTextureStageState", {static_cast<uint64_t>(stage), static_cast<uint64_t>(type),
                                        static_cast<uint64_t>(value)}))
      return Failure();
    return inner_ ? inner_->SetTextureStageState(stage, type, value) : D3D_OK;
  }
  HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
    if (Record("SetSamplerState", {static_cast<uint64_t>(sampler), static_cast<uint64_t>(type),
                                   static_cast<uint64_t>(value)}))
      return Failure();
    return inner_ ? inner_->SetSamplerState(sampler, type, value) : D3D_OK;
  }
  HRESULT SetScissorRect(const RECT* rect) override {
    if (Record("SetScissorRect", {Arg(rect)})) return Failure();
    return inner_ ? inner_->SetScissorRect(rect) : D3D_OK;
  }
  HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                          UINT vertexStride) override {
    if (Record("DrawPrimitiveUP",
               {static_cast<uint64_t>(type), static_cast<uint64_t>(primitiveCount), Arg(vertexData),
                static_cast<uint64_t>(vertexStride)}))
      return Failure();
    return inner_ ? inner_->DrawPrimitiveUP(type, primitiveCount, vertexData, vertexStride)
                  : D3D_OK;
  }
  HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                 UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                 const void* vertexData, UINT vertexStride) override {
    if (Record("DrawIndexedPrimitiveUP",
               {static_cast<uint64_t>(type), static_cast<uint64_t>(minVertexIndex),
                static_cast<uint64_t>(numVertices), static_cast<uint64_t>(primitiveCount),
                Arg(indexData), static_cast<uint64_t>(indexFormat), Arg(vertexData),
                static_cast<uint64_t>(vertexStride)}))
      return Failure();
    return inner_
               ? inner_->DrawIndexedPrimitiveUP(type, minVertexIndex, numVertices, primitiveCount,
                                                indexData, indexFormat, vertexData, vertexStride)
               : D3D_OK;
  }
  HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                  IDirect3DVertexDeclaration9** declaration) override {
    if (Record("CreateVertexDeclaration", {Arg(elements), Arg(declaration)})) return Failure();
    return inner_ ? inner_->CreateVertexDeclaration(elements, declaration) : D3D_OK;
  }
  HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override {
    if (Record("SetVertexDeclaration", {Arg(declaration)})) return Failure();
    return inner_ ? inner_->SetVertexDeclaration(declaration) : D3D_OK;
  }
  HRESULT SetFVF(DWORD fvf) override {
    if (Record("SetFVF", {static_cast<uint64_t>(fvf)})) return Failure();
    return inner_ ? inner_->SetFVF(fvf) : D3D_OK;
  }
  HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override {
    if (Record("CreateVertexShader", {Arg(function), Arg(shader)})) return Failure();
    return inner_ ? inner_->CreateVertexShader(function, shader) : D3D_OK;
  }
  HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override {
    if (Record("SetVertexShader", {Arg(shader)})) return Failure();
    return inner_ ? inner_->SetVertexShader(shader) : D3D_OK;
  }
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override {
    if (Record("SetVertexShaderConstantF",
               {static_cast<uint64_t>(start), Arg(data), static_cast<uint64_t>(count)}))
      return Failure();
    return inner_ ? inner_->SetVertexShaderConstantF(start, data, count) : D3D_OK;
  }
  HRESULT SetVertexShaderConstantB(UINT start, const BOOL* data, UINT count) override {
    if (Record("SetVertexShaderConstantB",
               {static_cast<uint64_t>(start), Arg(data), static_cast<uint64_t>(count)}))
      return Failure();
    return inner_ ? inner_->SetVertexShaderConstantB(start, data, count) : D3D_OK;
  }
  HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override {
    if (Record("CreatePixelShader", {Arg(function), Arg(shader)})) return Failure();
    return inner_ ? inner_->CreatePixelShader(function, shader) : D3D_OK;
  }
  HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override {
    if (Record("SetPixelShader", {Arg(shader)})) return Failure();
    return inner_ ? inner_->SetPixelShader(shader) : D3D_OK;
  }
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override {
    if (Record("SetPixelShaderConstantF",
               {static_cast<uint64_t>(start), Arg(data), static_cast<uint64_t>(count)}))
      return Failure();
    return inner_ ? inner_->SetPixelShaderConstantF(start, data, count) : D3D_OK;
  }
  HRESULT SetMaximumFrameLatency(UINT maxLatency) override {
    if (Record("SetMaximumFrameLatency", {static_cast<uint64_t>(maxLatency)})) return Failure();
    return innerEx_ ? innerEx_->SetMaximumFrameLatency(maxLatency) : D3D_OK;
  }
  HRESULT GetMaximumFrameLatency(UINT* maxLatency) override {
    if (Record("GetMaximumFrameLatency", {Arg(maxLatency)})) return Failure();
    return innerEx_ ? innerEx_->GetMaximumFrameLatency(maxLatency) : D3D_OK;
  }

 private:
  template <typename T>
  static uint64_t Arg(T* p) {
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p));
  }
  // Records the call; true when it is not to be passed on, with Failure() its result.
  bool Record(const char* name, std::vector<uint64_t> args);
  HRESULT Failure() const { return interceptResult_; }

  IDirect3DDevice9* inner_;
  IDirect3DDevice9Ex* innerEx_;
  ULONG references_ = 1;
  HRESULT interceptResult_ = D3D_OK;
};
