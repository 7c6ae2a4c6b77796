#include "runtime/graphics/graph/graph_upload.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/graphics/screen/draw_target_readback.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr const char* kDxtRefusal =
    "DXTフォーマットのテクスチャに標準形式のイメージを転送することはできません\n";

int DxtKindOfFormat(D3DFORMAT format) {
  switch (format) {
    case D3DFMT_DXT1:
      return 1;
    case D3DFMT_DXT2:
      return 2;
    case D3DFMT_DXT3:
      return 3;
    case D3DFMT_DXT4:
      return 4;
    case D3DFMT_DXT5:
      return 5;
    default:
      return 0;
  }
}

int BlockKind(const GraphImage* image) {
  return image != nullptr ? static_cast<int>(image->Format.BlockCompression) : 0;
}

int LevelSide(int side, int level) { return side >> level > 0 ? side >> level : 1; }
// The picture as the conversion reads it: the caller's images, or copies of them expanded from
// DXT blocks the first time a piece needs plain pixels.
struct Picture {
  const GraphImage* image;
  const GraphImage* alpha;
  GraphImage expanded;
  GraphImage expandedAlpha;

  ~Picture() {
    FreeGraphImage(&expanded);
    FreeGraphImage(&expandedAlpha);
  }

  static int Expand(const GraphImage* from, GraphImage* to) {
    const int64_t bytes =
        BlockCompressedLevelBytes(from->Format.BlockCompression, from->Width, from->Height, 0);
    *to = *from;
    to->Pixels =
        static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(bytes), __FILE__, __LINE__));
    if (to->Pixels == nullptr) return -1;
    std::memcpy(to->Pixels, from->Pixels, static_cast<size_t>(bytes));
    to->MipLevels = 0;
    if (ExpandBlockCompressedImage(to) != 0) {
      FreeGraphImage(to);
      return -1;
    }
    return 0;
  }

  // 0 once image and alpha hold plain pixels; -1 with the line when memory runs out.
  int MakePlain() {
    if (BlockKind(image) != 0) {
      if (Expand(image, &expanded) != 0)
        return WriteLogText("標準イメージ用のメモリ確保に失敗しました\n");
      image = &expanded;
    }
    if (BlockKind(alpha) != 0) {
      if (Expand(alpha, &expandedAlpha) != 0)
        return WriteLogText("標準イメージ用のメモリ確保に失敗しました\n");
      alpha = &expandedAlpha;
    }
    return 0;
  }
};

// Where one texture tile receives part of the upload: the texels written and the picture's
// rectangle they come from, of the same size.
struct TilePiece {
  GraphTextureTile* tile;
  RECT texel;
  RECT source;
};

// Calls piece(TilePiece) for every tile the destination rectangle touches, until it returns
// nonzero; returns that value or 0. The rectangle is in set coordinates (wholeSet) or graph
// coordinates, and the source rectangle's top-left sits at its top-left.
template <typename Fn>
int ForEachTilePiece(GraphEntry* entry, int wholeSet, const RECT& dst, const RECT& src, Fn piece) {
  GraphTextureSet* set = entry->textureSet;
  const int count = wholeSet ? set->tileCount : entry->tileDrawCount;
  for (int i = 0; i < count; ++i) {
    // The part of the destination space the tile holds, and the texel of its top-left.
    RECT region;
    int texelX, texelY;
    GraphTextureTile* tile;
    if (wholeSet) {
      tile = &set->tiles[i];
      region = {tile->x, tile->y, tile->x + tile->usedWidth, tile->y + tile->usedHeight};
      texelX = texelY = 0;
    } else {
      const GraphTileDraw& d = entry->tileDraws[i];
      tile = d.tile;
      region = {d.dstX, d.dstY, d.dstX + d.width, d.dstY + d.height};
      texelX = d.srcX;
      texelY = d.srcY;
    }
    const LONG left = dst.left > region.left ? dst.left : region.left;
    const LONG top = dst.top > region.top ? dst.top : region.top;
    const LONG right = dst.right < region.right ? dst.right : region.right;
    const LONG bottom = dst.bottom < region.bottom ? dst.bottom : region.bottom;
    if (left >= right || top >= bottom) continue;
    TilePiece p;
    p.tile = tile;
    p.texel = {texelX + left - region.left, texelY + top - region.top, texelX + right - region.left,
               texelY + bottom - region.top};
    p.source = {src.left + left - dst.left, src.top + top - dst.top, src.left + right - dst.left,
                src.top + bottom - dst.top};
    if (const int result = piece(p); result != 0) return result;
  }
  return 0;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool WholeTexture(const TilePiece& p) {
  return p.texel.left == 0 && p.texel.top == 0 && p.texel.right == p.tile->textureWidth &&
         p.texel.bottom == p.tile->textureHeight;
}

// Copies the blocks of the picture's level under source (block aligned) into a locked level.
// 0, or -1 when the rectangle does not fall on whole blocks of the level.
int CopyBlocks(const GraphImage* picture, int level, const RECT& source, const D3DLOCKED_RECT& to) {
  const uint32_t kind = picture->Format.BlockCompression;
  const int levelWidth = LevelSide(picture->Width, level);
  const int levelHeight = LevelSide(picture->Height, level);
  if (source.left % 4 != 0 || source.top % 4 != 0 || source.right > levelWidth ||
      source.bottom > levelHeight)
    return -1;
  // The levels follow each other; rows of blocks run across the whole level.
  const int64_t pitch = BlockCompressedRowBytes(kind, levelWidth);
  const int64_t levelStart =
      level == 0 ? 0 : BlockCompressedDataBytes(kind, picture->Width, picture->Height, level);
  const uint8_t* from = picture->Pixels + levelStart + source.top / 4 * pitch +
                        BlockCompressedRowBytes(kind, source.left);
  const int rows = (Height(source) + 3) / 4;
  const size_t rowBytes = static_cast<size_t>(BlockCompressedRowBytes(kind, Width(source)));
  for (int row = 0; row < rows; ++row)
    std::memcpy(static_cast<uint8_t*>(to.pBits) + static_cast<ptrdiff_t>(row) * to.Pitch,
                from + row * pitch, rowBytes);
  return 0;
}

struct TileUpload {
  GraphTextureSet* set;
  const PixelFormat* format;  // the texture format's pixels; null for DXT formats
  int textureKind;            // DXT kind of the texture format
  Picture* picture;
  int keyToAlpha;
  uint32_t key;
};

IDirect3DTexture9* WrittenTexture(const TileUpload& u, const GraphTextureTile* tile) {
  return u.set->record.SystemMemoryCopy ? tile->stagingTexture : tile->texture;
}

// Converts the picture's rectangle into locked texels at (x, y) of the lock.
int ConvertInto(const TileUpload& u, const RECT& source, void* bits, int pitch, int x, int y) {
  const GraphImage* image = u.picture->image;
  const GraphImage* alpha = u.picture->alpha;
  return ConvertImagePixels(bits, pitch, u.format, image->Pixels, image->Pitch, &image->Format,
                            alpha != nullptr ? alpha->Pixels : nullptr,
                            alpha != nullptr ? alpha->Pitch : 0,
                            alpha != nullptr ? &alpha->Format : nullptr, x, y, &source, 0,
                            u.keyToAlpha, u.key, 0, 0, 0, 0, 0);
}

// A texture of one level: the piece's texels, one more column and row where the image part
// ends inside the texture, repeating the last ones so that filtering at the edge reads no
// undefined texel.
int WriteSingleLevel(const TileUpload& u, const TilePiece& p) {
  GraphTextureTile* tile = p.tile;
  const bool right = p.texel.right == tile->usedWidth && tile->textureWidth > tile->usedWidth;
  const bool down = p.texel.bottom == tile->usedHeight && tile->textureHeight > tile->usedHeight;
  RECT lockRect = p.texel;
  if (right) ++lockRect.right;
  if (down) ++lockRect.bottom;
  IDirect3DTexture9* texture = WrittenTexture(u, tile);
  D3DLOCKED_RECT locked;
  if (texture == nullptr || FAILED(texture->LockRect(0, &locked, &lockRect, 0)))
    return WriteLogText("テクスチャのロックに失敗しました\n");

  int result = 0;
  if (u.textureKind != 0) {
    if (!WholeTexture(p) || BlockKind(u.picture->image) != u.textureKind ||
        CopyBlocks(u.picture->image, 0, p.source, locked) != 0)
      result = WriteLogText(kDxtRefusal);
  } else if (u.picture->MakePlain() != 0 ||
             ConvertInto(u, p.source, locked.pBits, locked.Pitch, 0, 0) < 0) {
    result = -1;
  } else {
    const int bytes = u.format->BytesPerPixel;
    const int w = Width(p.texel), h = Height(p.texel);
    auto* bits = static_cast<uint8_t*>(locked.pBits);
    if (right)
      for (int row = 0; row < h; ++row) {
        uint8_t* last = bits + static_cast<ptrdiff_t>(row) * locked.Pitch + (w - 1) * bytes;
        std::memcpy(last + bytes, last, static_cast<size_t>(bytes));
      }
    if (down)
      std::memcpy(bits + static_cast<ptrdiff_t>(h) * locked.Pitch,
                  bits + static_cast<ptrdiff_t>(h - 1) * locked.Pitch,
                  static_cast<size_t>(w + (right ? 1 : 0)) * bytes);
  }
  texture->UnlockRect(0);
  return result;
}

RECT ShiftedRect(const RECT& r, int level) {
  RECT out = {r.left >> level, r.top >> level, r.right >> level, r.bottom >> level};
  if (out.right <= out.left) out.right = out.left + 1;
  if (out.bottom <= out.top) out.bottom = out.top + 1;
  return out;
}

int NextPowerOfTwo(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

// Levels made by halving the converted level 0 again and again, down to 1 x 1.
int WriteGeneratedLevels(const TileUpload& u, const TilePiece& p, IDirect3DTexture9* texture,
                         int levels) {
  if (u.picture->MakePlain() != 0) return -1;
  const int bytes = u.format->BytesPerPixel;
  const int width = NextPowerOfTwo(Width(p.texel)), height = NextPowerOfTwo(Height(p.texel));
  const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * bytes;
  auto* work = static_cast<uint8_t*>(AllocTrackedZero(size * 2, __FILE__, __LINE__));
  if (work == nullptr)
    return WriteLogText(
        "テクスチャへ転送する画像を一時的に格納するメモリ領域の確保に失敗しました\n");
  uint8_t* current = work;
  uint8_t* next = work + size;
  int result = ConvertInto(u, p.source, current, width * bytes, 0, 0) < 0 ? -1 : 0;
  int w = width, h = height;
  for (int level = 0; level < levels && result == 0; ++level) {
    // The rounded-up size may reach past the level where the piece does not start at 0.
    const int left = p.texel.left >> level, top = p.texel.top >> level;
    const int copyWidth = std::min(w, LevelSide(p.tile->textureWidth, level) - left);
    const int copyHeight = std::min(h, LevelSide(p.tile->textureHeight, level) - top);
    if (copyWidth <= 0 || copyHeight <= 0) break;
    const RECT texel = {left, top, left + copyWidth, top + copyHeight};
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(static_cast<UINT>(level), &locked, &texel, 0))) {
      result = WriteLogText("ミップマップテクスチャのロックに失敗しました\n");
      break;
    }
    for (int row = 0; row < copyHeight; ++row)
      std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(row) * locked.Pitch,
                  current + static_cast<size_t>(row) * w * bytes,
                  static_cast<size_t>(copyWidth) * bytes);
    texture->UnlockRect(static_cast<UINT>(level));
    if (w == 1 && h == 1) break;
    const int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
    HalveGraphImagePixels(u.format, next, nw * bytes, current, w * bytes, 0, 0, 0, 0, w, h);
    uint8_t* swap = current;
    current = next;
    next = swap;
    w = nw;
    h = nh;
  }
  FreeTracked(work);
  return result;
}

// A texture of several levels: DXT blocks level by level, the picture's own levels converted,
// or levels made by halving when the picture has fewer.
int WriteMipLevels(const TileUpload& u, const TilePiece& p) {
  IDirect3DTexture9* texture = WrittenTexture(u, p.tile);
  if (texture == nullptr) return WriteLogText("ミップマップテクスチャのロックに失敗しました\n");
  const int levels = static_cast<int>(texture->GetLevelCount());
  const GraphImage* picture = u.picture->image;
  const int pictureLevels = picture->MipLevels > 1 ? picture->MipLevels : 1;

  if (u.textureKind != 0) {
    if (!WholeTexture(p) || pictureLevels < levels || BlockKind(picture) != u.textureKind)
      return WriteLogText(kDxtRefusal);
    for (int level = 0; level < levels; ++level) {
      D3DLOCKED_RECT locked;
      if (FAILED(texture->LockRect(static_cast<UINT>(level), &locked, nullptr, 0)))
        return WriteLogText("ミップマップテクスチャのロックに失敗しました\n");
      const int copied = CopyBlocks(picture, level, ShiftedRect(p.source, level), locked);
      texture->UnlockRect(static_cast<UINT>(level));
      if (copied != 0) return WriteLogText(kDxtRefusal);
    }
    return 0;
  }
  if (pictureLevels < levels || BlockKind(picture) != 0 || u.picture->alpha != nullptr)
    return WriteGeneratedLevels(u, p, texture, levels);

  // The picture's levels follow each other, each a quarter of the one before.
  int64_t offset = 0;
  int64_t levelBytes = int64_t{picture->Pitch} * picture->Height;
  for (int level = 0; level < levels; ++level) {
    const int pitch = picture->Pitch >> level;
    GraphImage view = *picture;
    view.Width = LevelSide(picture->Width, level);
    view.Height = LevelSide(picture->Height, level);
    view.Pitch = pitch;
    view.Pixels = picture->Pixels + offset;
    const RECT texel = ShiftedRect(p.texel, level);
    const RECT source = ShiftedRect(p.source, level);
    if (int64_t{pitch} * view.Height > levelBytes || source.right > view.Width ||
        source.bottom > view.Height)
      break;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(static_cast<UINT>(level), &locked, &texel, 0)))
      return WriteLogText("ミップマップテクスチャのロックに失敗しました\n");
    Picture one = {&view, nullptr, {}, {}};
    TileUpload levelUpload = u;
    levelUpload.picture = &one;
    const int converted = ConvertInto(levelUpload, source, locked.pBits, locked.Pitch, 0, 0);
    texture->UnlockRect(static_cast<UINT>(level));
    if (converted < 0) return -1;
    offset += levelBytes;
    levelBytes /= 4;
  }
  return 0;
}

int UploadToTextures(GraphEntry* entry, Picture* picture, const RECT& dst, const RECT& src,
                     int wholeSet, int useColorKey) {
  GraphTextureSet* set = entry->textureSet;
  if (Direct3DDevice == nullptr) return -1;
  const D3DFORMAT textureFormat = TextureFormatTable[set->formatIndex];
  TileUpload u;
  u.set = set;
  u.format = GetPixelFormatOfD3DFormat(textureFormat);
  u.textureKind = DxtKindOfFormat(textureFormat);
  u.picture = picture;
  u.keyToAlpha =
      useColorKey && u.format != nullptr && u.format->AlphaWidth != 0 && picture->alpha == nullptr
          ? 1
          : 0;
  u.key = set->colorKey;
  if (u.format == nullptr && u.textureKind == 0) return -1;

  if (set->record.DrawTargetCapable) {
    // Render-target textures cannot be locked: the pixels go through a system-memory surface.
    IDirect3DSurface9* staging = nullptr;
    if (u.format == nullptr || FAILED(Direct3DDevice->CreateOffscreenPlainSurface(
                                   static_cast<UINT>(Width(src)), static_cast<UINT>(Height(src)),
                                   textureFormat, D3DPOOL_SYSTEMMEM, &staging, nullptr)))
      return WriteLogText("画像転送用のシステムメモリテクスチャの作成に失敗しました\n");
    D3DLOCKED_RECT locked;
    int result = -1;
    if (picture->MakePlain() == 0 && SUCCEEDED(staging->LockRect(&locked, nullptr, 0))) {
      result = ConvertInto(u, src, locked.pBits, locked.Pitch, 0, 0) < 0 ? -1 : 0;
      staging->UnlockRect();
    }
    if (result == 0)
      result = ForEachTilePiece(entry, wholeSet, dst, src, [&](const TilePiece& p) {
        const RECT from = {p.source.left - src.left, p.source.top - src.top,
                           p.source.right - src.left, p.source.bottom - src.top};
        const POINT at = {p.texel.left, p.texel.top};
        if (FAILED(Direct3DDevice->UpdateSurface(staging, &from, p.tile->surface, &at)))
          return WriteLogText("描画可能テクスチャへの画像の転送に失敗しました\n");
        return 0;
      });
    staging->Release();
    return result;
  }

  return ForEachTilePiece(entry, wholeSet, dst, src, [&](const TilePiece& p) {
    const int result = set->mipLevels > 1 ? WriteMipLevels(u, p) : WriteSingleLevel(u, p);
    if (result == 0 && set->record.SystemMemoryCopy && p.tile->stagingTexture != nullptr)
      Direct3DDevice->UpdateTexture(p.tile->stagingTexture, p.tile->texture);
    return result;
  });
}

int UploadToMemImg(GraphEntry* entry, Picture* picture, RECT dst, const RECT& src, int wholeSet,
                   int useColorKey) {
  GraphTextureSet* set = entry->textureSet;
  // Cut to the set's image, or to the graph, measured from the destination corner.
  int width = Width(src), height = Height(src);
  const int roomX = (wholeSet ? set->width : entry->width) - dst.left;
  const int roomY = (wholeSet ? set->height : entry->height) - dst.top;
  if (width > roomX) width = roomX;
  if (height > roomY) height = roomY;
  if (width < 1 || height < 1) return -1;
  if (!wholeSet) {
    dst.left += entry->x;
    dst.top += entry->y;
  }
  // The software renderer reads plain pixels only: a DXT picture is expanded first, as the
  // hardware path does for plain textures.
  if (picture->MakePlain() != 0) return -1;
  if (TransferGraphImageToMemImg(picture->image, picture->alpha, &set->image, src.left, src.top,
                                 width, height, dst.left, dst.top, useColorKey) < 0)
    return -1;
  MemImgBody* body = set->image.body;
  if (body->paletted) {
    const uint32_t key =
        body->colorType == Rgb565
            ? MakePixelValue(GetMemImgPixelFormat(Rgb565, 0, 0), (set->colorKey >> 16) & 0xFF,
                             (set->colorKey >> 8) & 0xFF, set->colorKey & 0xFF, 0)
            : set->colorKey;
    SetMemImgTransparentIndex(&set->image, key);
    // The skip table a whole transfer built marks transparent pixels by that index.
    if (body->skipTableValid && body->skipTableView == set->image.pixels)
      RebuildMemImgWorkBuffers(&set->image);
  }
  return 0;
}

}  // namespace

int UploadImageToGraph(int handle, int, HBITMAP, HBITMAP, const RECT* sourceRect, int dstX,
                       int dstY, int fromBitmap, const GraphImage* image,
                       const GraphImage* alphaImage, int, int useColorKey, int wholeSet) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (!GraphicsInitialised || entry == nullptr || entry->textureSet == nullptr) return -1;
  if (HardwareRendering) FlushVertexBatch();
  if (sourceRect == nullptr) return -1;
  const int width = Width(*sourceRect), height = Height(*sourceRect);
  if (width <= 0 || height <= 0) return 0;
  if (fromBitmap || image == nullptr || image->Pixels == nullptr) return -1;

  // Only the picture (and its alpha image) is read: a rectangle reaching past it is cut, and
  // the destination moves with its corner.
  RECT src = *sourceRect;
  RECT dst = {dstX, dstY, dstX + width, dstY + height};
  int pictureWidth = image->Width, pictureHeight = image->Height;
  if (alphaImage != nullptr) {
    pictureWidth = std::min(pictureWidth, alphaImage->Width);
    pictureHeight = std::min(pictureHeight, alphaImage->Height);
  }
  if (src.left < 0) {
    dst.left -= src.left;
    src.left = 0;
  }
  if (src.top < 0) {
    dst.top -= src.top;
    src.top = 0;
  }
  src.right = std::min<LONG>(src.right, pictureWidth);
  src.bottom = std::min<LONG>(src.bottom, pictureHeight);
  if (src.right <= src.left || src.bottom <= src.top) return -1;
  dst.right = dst.left + Width(src);
  dst.bottom = dst.top + Height(src);

  Picture picture = {image, alphaImage, {}, {}};
  if (!entry->textureSet->record.TextureBacked)
    return UploadToMemImg(entry, &picture, dst, src, wholeSet, useColorKey);
  return UploadToTextures(entry, &picture, dst, src, wholeSet, useColorKey);
}

int CopyDrawTargetToGraph(int x1, int y1, int x2, int y2, int handle) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || entry->textureSet == nullptr) return -1;
  if (HardwareRendering && Direct3DDevice != nullptr) {
    FlushVertexBatch();
    EndSceneIfActive();
  }
  GraphEntry* target = GetGraphEntry(DrawTarget);
  int targetWidth, targetHeight;
  GetGraphDimensions(target != nullptr ? DrawTarget : kBackBufferTarget, &targetWidth,
                     &targetHeight);
  if (x1 < 0 || x1 >= x2 || x2 > targetWidth || y1 < 0 || y1 >= y2 || y2 > targetHeight) return -1;
  if (entry->width != x2 - x1 || entry->height != y2 - y1) return -1;
  const RECT rect = {x1, y1, x2, y2};

  GraphTextureSet* set = entry->textureSet;
  if (!set->record.TextureBacked) {
    MEMIMG* source = target != nullptr ? &target->image : &ScreenMemImg;
    if (!IsMemImgValid(source) || CopyMemImgRect(&entry->image, source, &rect, 0, 0) < 0) return -1;
    NoteMemImgWritten(&entry->image);
    return 0;
  }
  if (Direct3DDevice == nullptr || set->tileCount == 0) return -1;
  if (set->record.DrawTargetCapable) {
    IDirect3DSurface9* source;
    if (target != nullptr)
      source = target->textureSet->record.TextureBacked && target->textureSet->tileCount > 0
                   ? target->textureSet->tiles[0].surface
                   : nullptr;
    else
      source = SubBackBufferSurface != nullptr ? SubBackBufferSurface : BackBufferSurface;
    const RECT whole = {0, 0, entry->width, entry->height};
    if (source == nullptr || set->tiles[0].surface == nullptr ||
        FAILED(Direct3DDevice->StretchRect(source, &rect, set->tiles[0].surface, &whole,
                                           D3DTEXF_NONE)))
      return -1;
    return 0;
  }
  // Textures that cannot be drawn into take the target's pixels read back, as an upload.
  GraphImage pixels;
  if (LockDrawTargetImage(&rect, &pixels) != 0) return -1;
  const RECT whole = {0, 0, entry->width, entry->height};
  const int result = UploadImageToGraph(handle, 0, nullptr, nullptr, &whole, 0, 0, 0, &pixels,
                                        nullptr, set->record.BlendImage, 1, 0);
  UnlockDrawTargetImage();
  return result;
}
