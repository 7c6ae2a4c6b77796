// Copies between surfaces and textures: UpdateSurface, UpdateTexture, GetRenderTargetData,
// StretchRect and ColorFill, and the framebuffer attachments they and the draws use.
#include <algorithm>
#include <cstring>

#include "port/d3d9/d3d9_objects.h"

namespace {

// Copies `rect` of one memory surface to (at.x, at.y) of another of the same format.
void CopyBytes(PortD3DSurface* src, const RECT& rect, PortD3DSurface* dst, POINT at) {
  const PortFormatInfo* f = PortD3DFormatInfo(src->format());
  if (src->format() == D3DFMT_YV12) {
    std::memcpy(dst->bytes(), src->bytes(),
                PortD3DSurfaceBytes(src->format(), src->width(), src->height()));
    return;
  }
  size_t rowBytes, rows, srcOffset, dstOffset;
  if (f->kind == kPortFormatDxt) {
    rowBytes = static_cast<size_t>((rect.right - rect.left + 3) / 4) * f->blockBytes;
    rows = static_cast<size_t>((rect.bottom - rect.top + 3) / 4);
    srcOffset = static_cast<size_t>(rect.top / 4) * src->pitch() +
                static_cast<size_t>(rect.left / 4) * f->blockBytes;
    dstOffset = static_cast<size_t>(at.y / 4) * dst->pitch() +
                static_cast<size_t>(at.x / 4) * f->blockBytes;
  } else {
    rowBytes = static_cast<size_t>(rect.right - rect.left) * f->bytesPerPixel;
    rows = static_cast<size_t>(rect.bottom - rect.top);
    srcOffset = static_cast<size_t>(rect.top) * src->pitch() +
                static_cast<size_t>(rect.left) * f->bytesPerPixel;
    dstOffset =
        static_cast<size_t>(at.y) * dst->pitch() + static_cast<size_t>(at.x) * f->bytesPerPixel;
  }
  for (size_t y = 0; y < rows; ++y)
    std::memcpy(dst->bytes() + dstOffset + y * dst->pitch(),
                src->bytes() + srcOffset + y * src->pitch(), rowBytes);
}

std::vector<uint32_t> DecodeRect(PortD3DSurface* s, const RECT& r) {
  size_t w = static_cast<size_t>(r.right - r.left);
  std::vector<uint32_t> argb(w * static_cast<size_t>(r.bottom - r.top));
  PortD3DDecodeToArgb(s->format(), s->bytes(), s->pitch(), s->width(), s->height(), r, argb.data(),
                      w);
  return argb;
}

bool BlockAligned(const PortFormatInfo* f, LONG v, UINT size) {
  return f->kind != kPortFormatDxt || v % 4 == 0 || v == static_cast<LONG>(size);
}

// The level-`level` region of a level-0 rectangle, widened to whole blocks for DXT.
RECT LevelRect(const RECT& r0, UINT level, UINT width, UINT height, bool blocks) {
  RECT r = {r0.left >> level, r0.top >> level, (r0.right + (1 << level) - 1) >> level,
            (r0.bottom + (1 << level) - 1) >> level};
  if (blocks) {
    r.left &= ~3;
    r.top &= ~3;
    r.right = (r.right + 3) & ~3;
    r.bottom = (r.bottom + 3) & ~3;
  }
  r.right = std::min<LONG>(r.right, static_cast<LONG>(width));
  r.bottom = std::min<LONG>(r.bottom, static_cast<LONG>(height));
  return r;
}

GLenum GlFilter(D3DTEXTUREFILTERTYPE filter) {
  return filter == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
}

}  // namespace

bool PortD3DDevice::AttachRead(PortD3DSurface* surface) {
  if (!surface || !surface->hasGlColor()) return false;
  PortGl.BindFramebuffer(GL_READ_FRAMEBUFFER, gl_.readFramebuffer);
  PortGl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                              surface->glTexture(), surface->glLevel());
  PortGl.ReadBuffer(GL_COLOR_ATTACHMENT0);
  return PortGl.CheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool PortD3DDevice::AttachDraw(PortD3DSurface* surface, PortD3DSurface* depth) {
  if (!surface || !surface->hasGlColor()) return false;
  PortGl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, gl_.drawFramebuffer);
  GLuint color = surface->glTexture(), rb = depth ? depth->glRenderbuffer() : 0;
  if (color != gl_.attachedColor || surface->glLevel() != gl_.attachedLevel) {
    PortGl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color,
                                surface->glLevel());
    PortGl.DrawBuffer(GL_COLOR_ATTACHMENT0);
    gl_.attachedColor = color;
    gl_.attachedLevel = surface->glLevel();
  }
  if (rb != gl_.attachedDepth) {
    PortGl.FramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb);
    gl_.attachedDepth = rb;
  }
  return true;
}

HRESULT PortD3DDevice::UpdateSurface(IDirect3DSurface9* source, const RECT* sourceRect,
                                     IDirect3DSurface9* dest, const POINT* destPoint) {
  PortD3DSurface* src = PortSurfaceOf(source);
  PortD3DSurface* dst = PortSurfaceOf(dest);
  if (!src || !dst || src == dst || src->pool() != D3DPOOL_SYSTEMMEM ||
      dst->pool() != D3DPOOL_DEFAULT || src->format() != dst->format() ||
      dst->kind() == PortSurfaceKind::DepthStencil || src->locked() || dst->locked())
    return D3DERR_INVALIDCALL;
  const PortFormatInfo* f = PortD3DFormatInfo(src->format());
  RECT r;
  if (!PortD3DCheckRect(sourceRect, src->width(), src->height(), &r)) return D3DERR_INVALIDCALL;
  POINT at = destPoint ? *destPoint : POINT{0, 0};
  RECT to = {at.x, at.y, at.x + (r.right - r.left), at.y + (r.bottom - r.top)};
  RECT checked;
  if (!PortD3DCheckRect(&to, dst->width(), dst->height(), &checked)) return D3DERR_INVALIDCALL;
  if (!BlockAligned(f, r.left, src->width()) || !BlockAligned(f, r.top, src->height()) ||
      !BlockAligned(f, r.right, src->width()) || !BlockAligned(f, r.bottom, src->height()) ||
      !BlockAligned(f, at.x, dst->width()) || !BlockAligned(f, at.y, dst->height()))
    return D3DERR_INVALIDCALL;
  if (src->format() == D3DFMT_YV12 &&
      (r.left || r.top || at.x || at.y || src->width() != dst->width() ||
       src->height() != dst->height() || r.right != static_cast<LONG>(src->width()) ||
       r.bottom != static_cast<LONG>(src->height())))
    return D3DERR_INVALIDCALL;
  if (dst->cpuHeld()) CopyBytes(src, r, dst, at);
  if (dst->hasGlColor()) {
    std::vector<uint32_t> argb = DecodeRect(src, r);
    PortGlScope scope;
    if (!scope.ok()) return D3DERR_INVALIDCALL;
    dst->WriteGlArgb(to, argb.data(), static_cast<size_t>(r.right - r.left));
  }
  return D3D_OK;
}

HRESULT PortD3DDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* dest) {
  PortD3DTexture* src = PortTextureOf(source);
  PortD3DTexture* dst = PortTextureOf(dest);
  if (!src || !dst || src == dst || src->pool() != D3DPOOL_SYSTEMMEM ||
      dst->pool() != D3DPOOL_DEFAULT || src->format() != dst->format())
    return D3DERR_INVALIDCALL;
  // The source may have more levels: its level that matches the destination's top is copied
  // to it, and so on down.
  UINT first = 0;
  while (first < src->levelCount() && (src->level(first)->width() != dst->width() ||
                                       src->level(first)->height() != dst->height()))
    ++first;
  if (first == src->levelCount() || src->levelCount() - first < dst->levelCount())
    return D3DERR_INVALIDCALL;
  for (UINT i = 0; i < src->levelCount(); ++i)
    if (src->level(i)->locked()) return D3DERR_INVALIDCALL;
  RECT dirty = src->dirty();
  if (dirty.left >= dirty.right || dirty.top >= dirty.bottom) return D3D_OK;
  const PortFormatInfo* f = PortD3DFormatInfo(src->format());
  PortGlScope scope;
  if (!scope.ok()) return D3DERR_INVALIDCALL;
  for (UINT i = 0; i < dst->levelCount(); ++i) {
    PortD3DSurface* from = src->level(first + i);
    PortD3DSurface* to = dst->level(i);
    RECT r = LevelRect(dirty, first + i, from->width(), from->height(), f->kind == kPortFormatDxt);
    if (r.left >= r.right || r.top >= r.bottom) continue;
    if (to->cpuHeld()) CopyBytes(from, r, to, POINT{r.left, r.top});
    std::vector<uint32_t> argb = DecodeRect(from, r);
    to->WriteGlArgb(r, argb.data(), static_cast<size_t>(r.right - r.left));
  }
  src->ClearDirty();
  return D3D_OK;
}

HRESULT PortD3DDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget,
                                           IDirect3DSurface9* dest) {
  PortD3DSurface* src = PortSurfaceOf(renderTarget);
  PortD3DSurface* dst = PortSurfaceOf(dest);
  if (!src || !dst || !src->renderTarget() || !src->hasGlColor() ||
      dst->pool() != D3DPOOL_SYSTEMMEM || !dst->cpuHeld() || dst->locked() ||
      src->format() != dst->format() || src->width() != dst->width() ||
      src->height() != dst->height())
    return D3DERR_INVALIDCALL;
  if (!drawable()) return D3DERR_DEVICELOST;
  PortGlScope scope;
  RECT whole = {0, 0, static_cast<LONG>(src->width()), static_cast<LONG>(src->height())};
  std::vector<uint32_t> argb(static_cast<size_t>(src->width()) * src->height());
  if (!scope.ok() || !src->ReadGlArgb(whole, argb.data())) return D3DERR_INVALIDCALL;
  PortD3DEncodeFromArgb(dst->format(), argb.data(), src->width(), whole, dst->bytes(),
                        dst->pitch());
  return D3D_OK;
}

HRESULT PortD3DDevice::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect,
                                   IDirect3DSurface9* dest, const RECT* destRect,
                                   D3DTEXTUREFILTERTYPE filter) {
  PortD3DSurface* src = PortSurfaceOf(source);
  PortD3DSurface* dst = PortSurfaceOf(dest);
  if (!src || !dst || src == dst || filter > D3DTEXF_LINEAR || src->locked() || dst->locked())
    return D3DERR_INVALIDCALL;
  const PortFormatInfo* sf = PortD3DFormatInfo(src->format());
  const PortFormatInfo* df = PortD3DFormatInfo(dst->format());
  if (!sf || !df || sf->kind == kPortFormatDepth || df->kind == kPortFormatDepth ||
      sf->kind == kPortFormatDxt || src->pool() != D3DPOOL_DEFAULT ||
      dst->pool() != D3DPOOL_DEFAULT)
    return D3DERR_INVALIDCALL;
  RECT s, d;
  if (!PortD3DCheckRect(sourceRect, src->width(), src->height(), &s) ||
      !PortD3DCheckRect(destRect, dst->width(), dst->height(), &d))
    return D3DERR_INVALIDCALL;
  // Into a GL image (render targets, and default-pool texture levels, which movie frames fill
  // from YUV surfaces), or
  bool toGl = dst->hasGlColor() && !dst->cpuHeld();
  bool sameSize = s.right - s.left == d.right - d.left && s.bottom - s.top == d.bottom - d.top;
  // into memory (an off-screen plain surface): a copy of the same size, into a colour format or
  // between surfaces of one format.
  if (!toGl && (dst->kind() != PortSurfaceKind::OffscreenPlain || !sameSize ||
                (df->kind != kPortFormatColor && src->format() != dst->format())))
    return D3DERR_INVALIDCALL;
  if (!drawable()) return D3D_OK;
  PortGlScope scope;
  if (!scope.ok()) return D3DERR_INVALIDCALL;
  size_t sw = static_cast<size_t>(s.right - s.left);
  if (!toGl) {
    if (src->format() == dst->format() && src->cpuHeld()) {
      CopyBytes(src, s, dst, POINT{d.left, d.top});
      return D3D_OK;
    }
    std::vector<uint32_t> argb(sw * static_cast<size_t>(s.bottom - s.top));
    if (src->cpuHeld())
      argb = DecodeRect(src, s);
    else if (!src->ReadGlArgb(s, argb.data()))
      return D3DERR_INVALIDCALL;
    PortD3DEncodeFromArgb(dst->format(), argb.data(), sw, d, dst->bytes(), dst->pitch());
    return D3D_OK;
  }
  RECT from = s;
  if (src->hasGlColor()) {
    if (!AttachRead(src)) return D3DERR_INVALIDCALL;
  } else {
    // A memory surface (YUV or colour) goes through the scratch texture, converted to RGB.
    std::vector<uint32_t> argb = DecodeRect(src, s);
    int w = s.right - s.left, h = s.bottom - s.top;
    if (!gl_.scratchTexture || gl_.scratchWidth < w || gl_.scratchHeight < h) {
      if (!gl_.scratchTexture) PortGl.GenTextures(1, &gl_.scratchTexture);
      gl_.scratchWidth = std::max(gl_.scratchWidth, w);
      gl_.scratchHeight = std::max(gl_.scratchHeight, h);
      PortGl.BindTexture(GL_TEXTURE_2D, gl_.scratchTexture);
      PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
      PortGl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, gl_.scratchWidth, gl_.scratchHeight, 0, GL_BGRA,
                        GL_UNSIGNED_BYTE, nullptr);
    }
    PortGl.BindTexture(GL_TEXTURE_2D, gl_.scratchTexture);
    PortGl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_BGRA, GL_UNSIGNED_BYTE, argb.data());
    PortGl.BindFramebuffer(GL_READ_FRAMEBUFFER, gl_.readFramebuffer);
    PortGl.FramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                gl_.scratchTexture, 0);
    PortGl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    from = {0, 0, w, h};
  }
  PortGl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, gl_.blitFramebuffer);
  PortGl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                              dst->glTexture(), dst->glLevel());
  PortGl.DrawBuffer(GL_COLOR_ATTACHMENT0);
  PortGl.Disable(GL_SCISSOR_TEST);
  PortGl.BlitFramebuffer(from.left, from.top, from.right, from.bottom, d.left, d.top, d.right,
                         d.bottom, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GlFilter(filter));
  return D3D_OK;
}

HRESULT PortD3DDevice::ColorFill(IDirect3DSurface9* surface, const RECT* rect, D3DCOLOR color) {
  PortD3DSurface* s = PortSurfaceOf(surface);
  if (!s || s->pool() != D3DPOOL_DEFAULT || s->locked()) return D3DERR_INVALIDCALL;
  const PortFormatInfo* f = PortD3DFormatInfo(s->format());
  RECT r;
  if (!f || f->kind != kPortFormatColor || !PortD3DCheckRect(rect, s->width(), s->height(), &r))
    return D3DERR_INVALIDCALL;
  bool gl = s->hasGlColor() && s->renderTarget();
  if (!gl && s->kind() != PortSurfaceKind::OffscreenPlain) return D3DERR_INVALIDCALL;
  if (!drawable()) return D3D_OK;
  if (!gl) {
    size_t w = static_cast<size_t>(r.right - r.left);
    std::vector<uint32_t> argb(w * static_cast<size_t>(r.bottom - r.top), color);
    PortD3DEncodeFromArgb(s->format(), argb.data(), w, r, s->bytes(), s->pitch());
    return D3D_OK;
  }
  PortGlScope scope;
  if (!scope.ok()) return D3DERR_INVALIDCALL;
  PortGl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, gl_.blitFramebuffer);
  PortGl.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                              s->glTexture(), s->glLevel());
  PortGl.DrawBuffer(GL_COLOR_ATTACHMENT0);
  PortGl.Enable(GL_SCISSOR_TEST);
  PortGl.Scissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
  PortGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  float a = f->hasAlpha ? static_cast<float>(color >> 24) / 255.0f : 1.0f;
  PortGl.ClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                    static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                    static_cast<float>(color & 0xFF) / 255.0f, a);
  PortGl.Clear(GL_COLOR_BUFFER_BIT);
  return D3D_OK;
}
