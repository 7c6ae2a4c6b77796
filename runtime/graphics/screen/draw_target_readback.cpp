#include "runtime/graphics/screen/draw_target_readback.h"

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/image_writer.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"

namespace {

// The surface that holds the draw target's pixels on the hardware path, with its format and
// size: a graph's first tile, or the screen's (sub) back buffer.
struct TargetSurface {
  IDirect3DSurface9* surface;
  D3DFORMAT format;
  int width;
  int height;
};

bool FindTargetSurface(TargetSurface* out) {
  if (const GraphEntry* entry = GetGraphEntry(DrawTarget)) {
    const GraphTextureSet* set = entry->textureSet;
    if (set == nullptr || !set->record.TextureBacked || set->tileCount == 0) return false;
    const GraphTextureTile& tile = set->tiles[0];
    *out = {tile.surface, TextureFormatTable[set->formatIndex], tile.textureWidth,
            tile.textureHeight};
  } else {
    int width, height;
    GetScreenSize(&width, &height);
    *out = {SubBackBufferSurface != nullptr ? SubBackBufferSurface : BackBufferSurface,
            ScreenFormat, width, height};
  }
  return out->surface != nullptr && GetPixelFormatOfD3DFormat(out->format) != nullptr;
}

// The target's memory image on the software path.
MEMIMG* TargetMemImg() {
  GraphEntry* entry = GetGraphEntry(DrawTarget);
  MEMIMG* image = entry != nullptr ? &entry->image : &ScreenMemImg;
  return IsMemImgValid(image) ? image : nullptr;
}

bool InsideTarget(int x1, int y1, int x2, int y2) {
  int width, height;
  if (GetDrawTargetSize(&width, &height) != 0) return false;
  return x1 >= 0 && x1 < x2 && x2 <= width && y1 >= 0 && y1 < y2 && y2 <= height;
}

// A view of (x, y, width, height) of pixels laid out with format and pitch.
GraphImage ViewOf(const PixelFormat& format, uint8_t* pixels, int pitch, int x, int y, int width,
                  int height) {
  GraphImage image = {};
  image.Format = format;
  image.Width = width;
  image.Height = height;
  image.Pitch = pitch;
  image.Pixels =
      pixels + static_cast<ptrdiff_t>(x) * format.BytesPerPixel + static_cast<ptrdiff_t>(y) * pitch;
  return image;
}

int WriteImageFile(const char* fileName, const GraphImage& image, int type, int jpegQuality,
                   int jpegOption, int pngLevel) {
  switch (type) {
    case 0:
      return SaveGraphImageAsBmp(fileName, &image);
    case 1:
      return SaveGraphImageAsJpeg(fileName, &image, jpegQuality, jpegOption);
    default:
      return SaveGraphImageAsPng(fileName, &image, pngLevel);
  }
}

// The lock lent out: the temporary copy of the copy route, or the surface locked directly.
struct DrawTargetLock {
  int locked;
  IDirect3DSurface9* temporary;
  IDirect3DSurface9* direct;
};
DrawTargetLock Lock = {};

void FlushDevice() {
  if (!HardwareRendering) return;
  FlushVertexBatch();
  EndSceneIfActive();
}

// The copy route: the rectangle through a render target into system memory, then locked.
int LockThroughCopy(const TargetSurface& source, const RECT& rect, D3DLOCKED_RECT* locked) {
  const UINT width = static_cast<UINT>(rect.right - rect.left);
  const UINT height = static_cast<UINT>(rect.bottom - rect.top);
  IDirect3DSurface9* target = nullptr;
  if (FAILED(Direct3DDevice->CreateRenderTarget(width, height, source.format, D3DMULTISAMPLE_NONE,
                                                0, FALSE, &target, nullptr)))
    return WriteLogText("バックバッファロック用描画可能サーフェスの作成に失敗しました\n");
  IDirect3DSurface9* copy = nullptr;
  if (FAILED(Direct3DDevice->CreateOffscreenPlainSurface(width, height, source.format,
                                                         D3DPOOL_SYSTEMMEM, &copy, nullptr))) {
    target->Release();
    return WriteLogText("バックバッファロック用システムメモリサーフェスの作成に失敗しました\n");
  }
  const bool ok = SUCCEEDED(Direct3DDevice->StretchRect(source.surface, &rect, target, nullptr,
                                                        D3DTEXF_NONE)) &&
                  SUCCEEDED(Direct3DDevice->GetRenderTargetData(target, copy)) &&
                  SUCCEEDED(copy->LockRect(locked, nullptr, D3DLOCK_READONLY));
  target->Release();
  if (!ok) {
    copy->Release();
    return -1;
  }
  Lock.temporary = copy;
  return 0;
}

}  // namespace

int SaveDrawScreen(int x1, int y1, int x2, int y2, const char* fileName, int type, int jpegQuality,
                   int jpegOption, int pngLevel) {
  if (type < 0 || type > 2 || fileName == nullptr || !InsideTarget(x1, y1, x2, y2)) return -1;
  if (!HardwareRendering) {
    MEMIMG* image = TargetMemImg();
    if (image == nullptr) return -1;
    const MemImgBody& body = *image->body;
    return WriteImageFile(fileName,
                          ViewOf(*body.format, image->pixels, body.pitch, x1, y1, x2 - x1, y2 - y1),
                          type, jpegQuality, jpegOption, pngLevel);
  }
  if (Direct3DDevice == nullptr) return -1;
  FlushDevice();
  TargetSurface source;
  if (!FindTargetSurface(&source)) return -1;
  IDirect3DSurface9* copy = nullptr;
  if (FAILED(Direct3DDevice->CreateOffscreenPlainSurface(
          static_cast<UINT>(source.width), static_cast<UINT>(source.height), source.format,
          D3DPOOL_SYSTEMMEM, &copy, nullptr)))
    return WriteLogText("SaveDrawScreen 用システムメモリサーフェスの作成に失敗しました\n");
  int result = -1;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(Direct3DDevice->GetRenderTargetData(source.surface, copy)) &&
      SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    result = WriteImageFile(
        fileName,
        ViewOf(*GetPixelFormatOfD3DFormat(source.format), static_cast<uint8_t*>(locked.pBits),
               locked.Pitch, x1, y1, x2 - x1, y2 - y1),
        type, jpegQuality, jpegOption, pngLevel);
    copy->UnlockRect();
  }
  copy->Release();
  return result;
}

int LockDrawTargetImage(const RECT* rect, GraphImage* image) {
  // A second lock would lose the first one's temporary copy.
  if (Lock.locked || rect == nullptr || image == nullptr ||
      !InsideTarget(rect->left, rect->top, rect->right, rect->bottom))
    return -1;
  FlushDevice();
  const int width = rect->right - rect->left, height = rect->bottom - rect->top;
  if (!HardwareRendering) {
    MEMIMG* target = TargetMemImg();
    if (target == nullptr) return -1;
    const MemImgBody& body = *target->body;
    *image = ViewOf(*body.format, target->pixels, body.pitch, rect->left, rect->top, width, height);
    Lock.locked = 1;
    return 0;
  }
  TargetSurface source;
  if (Direct3DDevice == nullptr || !FindTargetSurface(&source)) return -1;
  D3DLOCKED_RECT locked;
  if (UseBackBufferLock && SUCCEEDED(source.surface->LockRect(&locked, rect, D3DLOCK_READONLY))) {
    Lock.direct = source.surface;
  } else if (LockThroughCopy(source, *rect, &locked) != 0) {
    return -1;
  }
  *image = ViewOf(*GetPixelFormatOfD3DFormat(source.format), static_cast<uint8_t*>(locked.pBits),
                  locked.Pitch, 0, 0, width, height);
  Lock.locked = 1;
  return 0;
}

int UnlockDrawTargetImage() {
  if (!Lock.locked) return 0;
  if (Lock.temporary != nullptr) {
    Lock.temporary->UnlockRect();
    Lock.temporary->Release();
  } else if (Lock.direct != nullptr) {
    Lock.direct->UnlockRect();
  }
  Lock = {};
  return 0;
}
