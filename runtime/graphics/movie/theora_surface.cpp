// The YUV surface of a movie: an off-screen plain surface of the device that takes 4:2:0
// frames as they are, for the device to convert while copying them into a graph's texture.
#include <cstring>

#include "runtime/graphics/movie/theora_decoder_internal.h"

namespace {

IDirect3DDevice9* (*gDeviceQuery)() = nullptr;

constexpr D3DFORMAT kSurfaceFormats[] = {D3DFMT_YV12, D3DFMT_YUY2, D3DFMT_UYVY};

void CopyPlanar(const TheoraStockFrame* f, const D3DLOCKED_RECT& locked) {
  uint8_t* bits = static_cast<uint8_t*>(locked.pBits);
  const size_t pitch = static_cast<size_t>(locked.Pitch);
  for (int y = 0; y < f->YHeight; ++y)
    std::memcpy(bits + y * pitch, f->Y + static_cast<size_t>(y) * f->YStride, f->YWidth);
  // YV12: the V plane, then the U plane, each at half the pitch.
  uint8_t* v = bits + pitch * f->YHeight;
  uint8_t* u = v + (pitch / 2) * f->ChromaHeight;
  for (int y = 0; y < f->ChromaHeight; ++y) {
    std::memcpy(v + y * (pitch / 2), f->V + static_cast<size_t>(y) * f->ChromaStride,
                f->ChromaWidth);
    std::memcpy(u + y * (pitch / 2), f->U + static_cast<size_t>(y) * f->ChromaStride,
                f->ChromaWidth);
  }
}

// Packed 4:2:2 rows, each chroma row serving two luma rows: Y0 U Y1 V, or U Y0 V Y1.
void CopyPacked(const TheoraStockFrame* f, const D3DLOCKED_RECT& locked, bool lumaFirst) {
  const int yAt = lumaFirst ? 0 : 1;
  const int cAt = lumaFirst ? 1 : 0;
  for (int y = 0; y < f->YHeight; ++y) {
    uint8_t* row = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
    const uint8_t* luma = f->Y + static_cast<size_t>(y) * f->YStride;
    const uint8_t* u = f->U + static_cast<size_t>(y / 2) * f->ChromaStride;
    const uint8_t* v = f->V + static_cast<size_t>(y / 2) * f->ChromaStride;
    for (int x = 0; x < f->ChromaWidth; ++x) {
      uint8_t* pair = row + x * 4;
      pair[yAt] = luma[x * 2];
      pair[yAt + 2] = luma[x * 2 + 1];
      pair[cAt] = u[x];
      pair[cAt + 2] = v[x];
    }
  }
}

}  // namespace

void SetTheoraSurfaceDeviceQuery(IDirect3DDevice9* (*query)()) { gDeviceQuery = query; }

void ReleaseTheoraSurface(TheoraDecoder* d) {
  if (d->Surface) d->Surface->Release();
  d->Surface = nullptr;
  d->SurfaceFormat = D3DFMT_UNKNOWN;
  d->SurfaceCurrent = 0;
}

int CreateTheoraSurface(TheoraDecoder* d) {
  ReleaseTheoraSurface(d);
  IDirect3DDevice9* device = gDeviceQuery ? gDeviceQuery() : nullptr;
  if (!device) return -1;
  // A surface that no frame of the stream can be copied into would only ever show garbage:
  // such a movie goes through its RGB image.
  const TheoraPlaneSizes s = GetTheoraPlaneSizes(&d->Info);
  if (!IsHalfChroma(s.YWidth, s.YHeight, s.ChromaWidth, s.ChromaHeight)) return -1;
  for (D3DFORMAT format : kSurfaceFormats) {
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(static_cast<UINT>(s.YWidth),
                                                      static_cast<UINT>(s.YHeight), format,
                                                      D3DPOOL_DEFAULT, &surface, nullptr)) &&
        surface) {
      d->Surface = surface;
      d->SurfaceFormat = format;
      return 0;
    }
  }
  return -1;
}

int CopyTheoraFrameToSurface(TheoraDecoder* d, const TheoraStockFrame* f) {
  if (!IsHalfChroma(f->YWidth, f->YHeight, f->ChromaWidth, f->ChromaHeight)) return 0;
  D3DLOCKED_RECT locked = {};
  bool isLocked = false;
  for (int attempt = 0; attempt < 3 && d->Surface && !isLocked; ++attempt) {
    isLocked = SUCCEEDED(d->Surface->LockRect(&locked, nullptr, 0));
    if (!isLocked) CreateTheoraSurface(d);
  }
  if (!isLocked) return 0;
  if (d->SurfaceFormat == D3DFMT_YV12)
    CopyPlanar(f, locked);
  else
    CopyPacked(f, locked, d->SurfaceFormat == D3DFMT_YUY2);
  d->Surface->UnlockRect();
  return 1;
}
