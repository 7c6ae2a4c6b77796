#include "runtime/graphics/graph/graph_storage.h"

#include <cstring>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

int Fail(int handle, const char* line) {
  if (line != nullptr) WriteLogText(line);
  DeleteGraphHandle(handle);
  return -1;
}

GraphCreationRecord MakeCreationRecord(int mipLevels, int hasAlpha, int paletted, int dxtKind) {
  GraphCreationRecord r = {};
  r.TextureBacked = HardwareRendering ? 1 : 0;
  r.SystemMemoryCopy = SystemMemoryCopyOption ? 1 : 0;
  r.DxtKind = static_cast<uint8_t>(dxtKind);
  r.MipLevels = static_cast<uint8_t>(mipLevels == -1 ? 1 : mipLevels);
  if (DrawTargetGraphOption == 1) {
    r.DrawTargetCapable = 1;
    r.SystemMemoryCopy = 1;
    r.AlphaTest = 0;
    r.DxtKind = 0;
    r.MipLevels = 0;
    r.HasAlpha = 0;
  } else {
    r.HasAlpha = hasAlpha ? 1 : 0;
    r.AlphaTest = AlphaTestGraphOption ? 1 : 0;
    r.DrawTargetCapable = 0;
  }
  if (r.TextureBacked) {
    r.BitDepth = static_cast<uint8_t>(GraphBitDepthOption != 0 ? GraphBitDepthOption
                                      : r.HasAlpha             ? 32
                                                               : GetScreenBitDepth());
    r.SoftwareImage = 0;
    if (r.HasAlpha) r.AlphaTest = 0;
  } else {
    r.BitDepth =
        static_cast<uint8_t>(GraphBitDepthOption != 0 ? GraphBitDepthOption : GetScreenBitDepth());
    r.SoftwareImage = 1;
    r.SystemMemoryCopy = 0;
    r.DxtKind = 0;
    r.MipLevels = 0;
    r.AlphaTest = 0;
    r.DrawTargetCapable = 1;
    r.Paletted = paletted ? 1 : 0;
  }
  return r;
}

// Lays out the tiles of an image row by row (tiles null: only counts them). On a device that
// takes only square textures, a long tile becomes squares of its shorter side.
int LayOutTiles(int width, int height, int single, GraphTextureTile* tiles) {
  const int columnCount = SplitTextureLength(width, nullptr, single);
  const int rowCount = SplitTextureLength(height, nullptr, single);
  auto* columns = static_cast<int*>(
      AllocTracked(sizeof(int) * static_cast<size_t>(columnCount + rowCount), __FILE__, __LINE__));
  if (columns == nullptr) return -1;
  int* rows = columns + columnCount;
  SplitTextureLength(width, columns, single);
  SplitTextureLength(height, rows, single);
  const bool squareOnly = (DeviceCaps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;

  int count = 0;
  int y = 0;
  for (int i = 0; i < rowCount; y += rows[i], ++i) {
    int x = 0;
    for (int j = 0; j < columnCount; x += columns[j], ++j) {
      int w = columns[j], h = rows[i];
      int extra = 0;
      if (squareOnly && w != h) {
        const int side = w < h ? w : h;
        extra = (w < h ? h : w) / side - 1;
        w = h = side;
      }
      for (int k = 0; k <= extra; ++k, ++count) {
        if (tiles == nullptr) continue;
        GraphTextureTile& t = tiles[count];
        t.x = x + (columns[j] > w ? k * w : 0);
        t.y = y + (rows[i] > h ? k * h : 0);
        t.textureWidth = w;
        t.textureHeight = h;
      }
    }
  }
  FreeTracked(columns);
  return count;
}

// Zeroes every level of a new texture, so that no undefined texel is ever drawn.
void ClearTextureLevels(IDirect3DTexture9* texture, int textureHeight) {
  const DWORD levels = texture->GetLevelCount();
  for (DWORD level = 0; level < levels; ++level) {
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) return;
    int rows = textureHeight >> level;
    if (rows < 1) rows = 1;
    std::memset(locked.pBits, 0, static_cast<size_t>(locked.Pitch) * static_cast<size_t>(rows));
    texture->UnlockRect(level);
  }
}

// The overlap of [graphStart, graphStart + graphLength) with a tile's used part in one
// direction, as the draw info records it.
void Overlap(int graphStart, int graphLength, int tileStart, int tileUsed, int32_t* dst,
             int32_t* src, int32_t* length) {
  const int graphEnd = graphStart + graphLength, tileEnd = tileStart + tileUsed;
  if (tileStart > graphStart) {
    *dst = tileStart - graphStart;
    *src = 0;
    *length = graphEnd < tileEnd ? graphEnd - tileStart : tileUsed;
  } else {
    *dst = 0;
    *src = graphStart - tileStart;
    *length = graphEnd < tileEnd ? graphLength : tileEnd - graphStart;
  }
}

bool Covers(const GraphEntry& entry, const GraphTextureTile& tile) {
  return entry.x < tile.x + tile.usedWidth && tile.x < entry.x + entry.width &&
         entry.y < tile.y + tile.usedHeight && tile.y < entry.y + entry.height;
}

void FillTileDraw(const GraphEntry& entry, GraphTextureTile* tile, GraphTileDraw* d) {
  Overlap(entry.x, entry.width, tile->x, tile->usedWidth, &d->dstX, &d->srcX, &d->width);
  Overlap(entry.y, entry.height, tile->y, tile->usedHeight, &d->dstY, &d->srcY, &d->height);
  d->tile = tile;
  const float tw = static_cast<float>(tile->textureWidth);
  const float th = static_cast<float>(tile->textureHeight);
  const int xs[2] = {d->dstX, d->dstX + d->width};
  const int ys[2] = {d->dstY, d->dstY + d->height};
  const int us[2] = {d->srcX, d->srcX + d->width};
  const int vs[2] = {d->srcY, d->srcY + d->height};
  for (int i = 0; i < 4; ++i) {
    const int col = i & 1, row = i >> 1;
    GraphTileVertex& v = d->vertices[i];
    v.x = static_cast<float>(xs[col]);
    v.y = static_cast<float>(ys[row]);
    v.u = static_cast<float>(us[col]) / tw;
    v.v = static_cast<float>(vs[row]) / th;
    // y <= height - x * height / width, kept exact in integers.
    const int64_t lhs = int64_t{ys[row]} * entry.width + int64_t{xs[col]} * entry.height;
    d->onDiagonal[i] = lhs <= int64_t{entry.height} * entry.width ? 1 : 0;
  }
}

}  // namespace

int SplitTextureLength(int length, int* sizes, int single) {
  int count = 0, last = 0, previous = 0;
  auto emit = [&](int size) {
    if (sizes != nullptr) sizes[count] = size;
    ++count;
    previous = last;
    last = size;
  };
  if (length <= 8) {
    emit(8);
    return 1;
  }
  const int maxSize = MaxTextureSize < 8 ? 8 : MaxTextureSize;
  int s = maxSize;
  while (s > 8 && s > length) s /= 2;
  if ((single || length < ScreenMode.width) && 2 * s <= maxSize) {
    emit(s < length ? 2 * s : s);
    return 1;
  }
  int rest = length;
  for (;;) {
    emit(s);
    rest -= s;
    if (rest <= 0) break;
    if (rest > 3 * s / 4 && s < maxSize) {
      last = 2 * s;
      if (sizes != nullptr) sizes[count - 1] = last;
      break;
    }
    while (s > rest && s > 8) s /= 2;
  }
  if (count >= 2 && last == previous && 2 * last <= maxSize) {
    --count;
    if (sizes != nullptr) sizes[count - 1] = 2 * last;
  }
  return count;
}

int GetTextureFormatIndex(const GraphCreationRecord* record) {
  const int wide = record->BitDepth == 32 ? 1 : 0;
  if (record->DxtKind != 0) return 5 + record->DxtKind;
  if (record->DrawTargetCapable) {
    if (record->HasAlpha || record->AlphaTest) return TextureFormatTargetAlpha;
    return wide ? TextureFormatTarget32 : TextureFormatTarget16;
  }
  if (record->HasAlpha) return TextureFormatAlpha16 + wide;
  if (record->AlphaTest) return TextureFormatAlphaTest16 + wide;
  return TextureFormatColor16 + wide;
}

const PixelFormat* GetPixelFormatOfTextureIndex(int index) {
  static PixelFormat formats[14];
  static bool built = false;
  if (index < 0 || index > 13) return nullptr;
  if (!built) {
    PixelFormat r565 = {}, x8888 = {}, a4444 = {}, a8888 = {}, a1555 = {};
    SetupPixelFormat(&r565, 16, 0xF800, 0x07E0, 0x001F, 0);
    SetupPixelFormat(&x8888, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SetupPixelFormat(&a4444, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    SetupPixelFormat(&a8888, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
    SetupPixelFormat(&a1555, 16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    const PixelFormat* plain[14] = {&r565,  &x8888, &a4444, &a8888, &a1555, &a8888, &a8888,
                                    &a8888, &a8888, &a8888, &a8888, &r565,  &x8888, &a8888};
    for (int i = 0; i < 14; ++i) formats[i] = *plain[i];
    for (int kind = 1; kind <= 5; ++kind) {
      PixelFormat& f = formats[5 + kind];
      f.BitsPerPixel = kind == 1 ? 4 : 8;
      f.BytesPerPixel = kind == 1 ? 0 : 1;
      f.BlockCompression = static_cast<uint32_t>(kind);
    }
    built = true;
  }
  return &formats[index];
}

int CreateGraphStorage(int mipLevels, int handle, int width, int height, int hasAlpha, int paletted,
                       int dxtKind) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr) return -1;
  const GraphCreationRecord record = MakeCreationRecord(mipLevels, hasAlpha, paletted, dxtKind);

  static const char* const kNoMemory =
      "グラフィックのオリジナル画像データ保存用メモリの確保に失敗しました\n";
  const int single = SingleTextureGraphOption || record.DrawTargetCapable;
  const int tileCount = record.TextureBacked ? LayOutTiles(width, height, single, nullptr) : 0;
  if (tileCount < 0) return Fail(handle, kNoMemory);
  auto* set = static_cast<GraphTextureSet*>(AllocTrackedZero(
      sizeof(GraphTextureSet) + sizeof(GraphTextureTile) * static_cast<size_t>(tileCount), __FILE__,
      __LINE__));
  if (set == nullptr) return Fail(handle, kNoMemory);
  set->refCount = 1;
  set->record = record;
  set->colorKey = ColorKey;
  set->width = width;
  set->height = height;
  entry->textureSet = set;
  entry->x = entry->y = 0;
  entry->width = width;
  entry->height = height;

  if (record.TextureBacked) {
    set->formatIndex = GetTextureFormatIndex(&record);
    set->mipLevels = record.MipLevels;
    set->tileCount = tileCount;
    set->tiles = reinterpret_cast<GraphTextureTile*>(set + 1);
    if (LayOutTiles(width, height, single, set->tiles) != tileCount) return Fail(handle, kNoMemory);
    for (int i = 0; i < tileCount; ++i) {
      GraphTextureTile& t = set->tiles[i];
      const int usedWidth = width - t.x, usedHeight = height - t.y;
      t.usedWidth = usedWidth < 0 ? 0 : usedWidth > t.textureWidth ? t.textureWidth : usedWidth;
      t.usedHeight = usedHeight < 0                 ? 0
                     : usedHeight > t.textureHeight ? t.textureHeight
                                                    : usedHeight;
    }
    if (CreateGraphTextures(set) != 0) return Fail(handle, nullptr);
  } else {
    const int deep = record.BitDepth == 32;
    set->formatIndex = deep ? (record.HasAlpha ? SoftwareSet32Alpha : SoftwareSet32)
                            : (record.HasAlpha ? SoftwareSet16Alpha : SoftwareSet16);
    const int colorType = deep ? Xrgb8888 : Rgb565;
    const int r = (ColorKey >> 16) & 0xFF, g = (ColorKey >> 8) & 0xFF, b = ColorKey & 0xFF;
    // The transparent value is what the image's pixels hold for the key: the raw pixel of an
    // opaque image (the skip table compares it), the plain key of an image with alpha (the
    // transfer turns that key into alpha 0), the key's palette index once one is known.
    uint32_t transparent;
    if (record.Paletted)
      transparent = 0xFFFF;
    else if (record.HasAlpha)
      transparent = MakePixelValue(GetMemImgPixelFormat(Xrgb8888, 1, 0), r, g, b, 0);
    else
      transparent = MakePixelValue(GetMemImgPixelFormat(colorType, 0, 0), r, g, b, 255);
    if (CreateMemImg(&set->image, width, height, -1, transparent, colorType, record.Paletted,
                     record.HasAlpha, 1, nullptr) != 0)
      return Fail(handle, "メモリイメージの作成に失敗しました\n");
  }
  if (BuildGraphDrawInfo(handle) != 0) return Fail(handle, nullptr);
  return 0;
}

int CreateGraphTextures(GraphTextureSet* set) {
  if (set == nullptr || !set->record.TextureBacked) return 0;
  if (Direct3DDevice == nullptr) return -1;
  const D3DFORMAT format = TextureFormatTable[set->formatIndex];
  if (format == D3DFMT_UNKNOWN)
    return WriteLogText("指定のフォーマットで作成できるテクスチャフォーマットがありませんでした\n");
  GraphCreationRecord& r = set->record;
  for (int i = 0; i < set->tileCount; ++i) {
    GraphTextureTile& t = set->tiles[i];
    if (t.texture != nullptr) continue;
    // A 9Ex device has no managed pool: every texture lives in the default pool.
    if (Direct3DObjectEx != nullptr) r.SystemMemoryCopy = 1;
    const DWORD usage = r.DrawTargetCapable ? D3DUSAGE_RENDERTARGET : 0;
    const D3DPOOL pool =
        r.SystemMemoryCopy || r.DrawTargetCapable ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    const UINT w = static_cast<UINT>(t.textureWidth), h = static_cast<UINT>(t.textureHeight);
    const UINT levels = static_cast<UINT>(set->mipLevels);
    if (FAILED(Direct3DDevice->CreateTexture(w, h, levels, usage, format, pool, &t.texture,
                                             nullptr))) {
      t.texture = nullptr;
      return WriteLogText("書き込み専用テクスチャの作成に失敗しました\n");
    }
    if (!r.DrawTargetCapable && r.SystemMemoryCopy &&
        FAILED(Direct3DDevice->CreateTexture(w, h, levels, D3DUSAGE_DYNAMIC, format,
                                             D3DPOOL_SYSTEMMEM, &t.stagingTexture, nullptr))) {
      t.stagingTexture = nullptr;
      t.texture->Release();
      t.texture = nullptr;
      return WriteLogText("メモリテクスチャの作成に失敗しました\n");
    }
    if (FAILED(t.texture->GetSurfaceLevel(0, &t.surface))) {
      t.surface = nullptr;
      return WriteLogText("テクスチャのサーフェスアドレスの取得に失敗しました\n");
    }
    if (r.DrawTargetCapable) {
      Direct3DDevice->ColorFill(t.surface, nullptr, 0);
    } else if (r.DxtKind == 0) {
      IDirect3DTexture9* written = t.stagingTexture != nullptr ? t.stagingTexture : t.texture;
      ClearTextureLevels(written, t.textureHeight);
      if (t.stagingTexture != nullptr) Direct3DDevice->UpdateTexture(t.stagingTexture, t.texture);
    }
  }
  return 0;
}

int BuildGraphDrawInfo(int handle) {
  GraphEntry* entry = GetGraphEntry(handle);
  if (entry == nullptr || entry->textureSet == nullptr) return -1;
  GraphTextureSet* set = entry->textureSet;
  if (!set->record.TextureBacked) {
    DeriveMemImg(&entry->image, &set->image, entry->x, entry->y, entry->width, entry->height);
    return IsMemImgValid(&entry->image) ? 0 : -1;
  }

  int covered = 0;
  for (int i = 0; i < set->tileCount; ++i)
    if (Covers(*entry, set->tiles[i])) ++covered;
  if (covered == 0) return WriteLogText("テクスチャ描画情報の作成に失敗しました\n");
  auto* draws = static_cast<GraphTileDraw*>(
      AllocTrackedZero(sizeof(GraphTileDraw) * static_cast<size_t>(covered), __FILE__, __LINE__));
  if (draws == nullptr) return WriteLogText("画像描画情報格納用メモリの確保に失敗しました\n");
  int n = 0;
  for (int i = 0; i < set->tileCount; ++i)
    if (Covers(*entry, set->tiles[i])) FillTileDraw(*entry, &set->tiles[i], &draws[n++]);
  FreeTracked(entry->tileDraws);
  entry->tileDraws = draws;
  entry->tileDrawCount = covered;
  return 0;
}

void ReleaseGraphTextures(GraphTextureSet* set) {
  if (set == nullptr || !set->record.TextureBacked) return;
  for (int i = 0; i < set->tileCount; ++i) {
    GraphTextureTile& t = set->tiles[i];
    if (t.surface != nullptr) t.surface->Release();
    if (t.texture != nullptr) t.texture->Release();
    if (t.stagingTexture != nullptr) t.stagingTexture->Release();
    t.surface = nullptr;
    t.texture = nullptr;
    t.stagingTexture = nullptr;
  }
}

void ReleaseGraphTargetObjects(GraphTextureSet* set) {
  if (set == nullptr || !set->record.DrawTargetCapable) return;
  if (set->record.TextureBacked) {
    for (int i = 0; i < set->tileCount; ++i) {
      GraphTextureTile& t = set->tiles[i];
      if (t.targetObject != nullptr) t.targetObject->Release();
      t.targetObject = nullptr;
    }
  } else if (set->secondImage != nullptr) {
    ReleaseMemImg(set->secondImage);
    FreeTracked(set->secondImage);
    set->secondImage = nullptr;
  }
}

void NoteMemImgWritten(MEMIMG* view) {
  if (!IsMemImgValid(view)) return;
  MemImgBody* body = view->body;
  body->skipTableValid = 0;
  body->premultipliedValid = 0;
  if (view->pixels == body->pixels && view->width == body->width && view->height == body->height)
    RebuildMemImgWorkBuffers(view);
}
