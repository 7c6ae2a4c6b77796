#include "runtime/graphics/font/font_handles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_cache_layout.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/window/window_state.h"

namespace {

void* gFontSlots[HandleCapacity(HandleTypeFont)];

// The GDI charsets of the charset indexes 0 to 4.
constexpr DWORD kCharsets[] = {DEFAULT_CHARSET, SHIFTJIS_CHARSET, HANGUL_CHARSET,
                               CHINESEBIG5_CHARSET, GB2312_CHARSET};
constexpr int kCharsetCount = 5;
// The system's Japanese gothic face, the face of fonts made without one.
constexpr const char kDefaultFace[] = "ＭＳ ゴシック";

HFONT MakeGdiFont(const FontEntry& e, DWORD charset, const char* face, int italic) {
  return CreateFontA(e.Size, 0, 0, 0, e.Thickness * 100, italic, FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH,
                     face);
}

// The GDI font with the fall-backs: a named face with its charset, the default charset and
// Shift-JIS; without a name the gothic face with the charset, then with the default charset
// and upright, then any face. Null with the line logged when none could be made.
HFONT CreateGdiFontWithFallbacks(const FontEntry& e) {
  const DWORD charset = kCharsets[e.CharsetIndex];
  HFONT font = nullptr;
  if (e.FaceName[0] != '\0') {
    for (DWORD c : {charset, DWORD{DEFAULT_CHARSET}, DWORD{SHIFTJIS_CHARSET}})
      if ((font = MakeGdiFont(e, c, e.FaceName, e.Italic)) != nullptr) return font;
    WriteLogText("指定のフォントの作成に失敗しました\n");
    return nullptr;
  }
  if ((font = MakeGdiFont(e, charset, kDefaultFace, e.Italic)) != nullptr) return font;
  if ((font = MakeGdiFont(e, DEFAULT_CHARSET, kDefaultFace, FALSE)) != nullptr) return font;
  if ((font = MakeGdiFont(e, DEFAULT_CHARSET, nullptr, FALSE)) != nullptr) return font;
  WriteLogText("フォントの作成に失敗しました\n");
  return nullptr;
}

// The cell from the font's text metrics; false when no context could be had.
bool MeasureCell(FontEntry* e) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return false;
  HGDIOBJ old = SelectObject(dc, e->Font);
  TEXTMETRICA metrics = {};
  const bool measured = old != nullptr && GetTextMetricsA(dc, &metrics);
  if (old != nullptr) SelectObject(dc, old);
  DeleteDC(dc);
  FontCellSize cell;
  const int edge = (e->Type & kFontTypeEdge) ? e->EdgeSize : 0;
  if (!measured || ComputeFontCellSize(metrics.tmMaxCharWidth, metrics.tmHeight, edge, &cell) != 0)
    return false;
  e->CellWidth = cell.Width;
  e->CellHeight = cell.Height;
  return true;
}

bool Antialiased(const FontEntry& e) { return (e.Type & kFontTypeAntialias) != 0; }

// The texture formats the cache graphs get: the 16-bit alpha format for anti-aliased fonts,
// the 16-bit alpha-test format otherwise.
int CacheTextureFormatIndex(const FontEntry& e) {
  return Antialiased(e) ? TextureFormatAlpha16 : TextureFormatAlphaTest16;
}

// The base image's pixels are written two bytes at a time; a device that gave these roles a
// wider format keeps its fonts in memory.
bool CacheTextureIsTwoBytes(const FontEntry& e) {
  const PixelFormat* format =
      GetPixelFormatOfD3DFormat(TextureFormatTable[CacheTextureFormatIndex(e)]);
  return format != nullptr && format->BytesPerPixel == 2;
}

const PixelFormat* GetFontTexturePixelFormat(const FontEntry& e) {
  GraphCreationRecord record = {};
  record.TextureBacked = 1;
  record.HasAlpha = Antialiased(e) ? 1 : 0;
  record.AlphaTest = Antialiased(e) ? 0 : 1;
  record.BitDepth = 16;
  return GetTextureSetPixelFormat(&record);
}

int SetUpHardwareCache(FontEntry* e) {
  const FontCacheLayout layout = ComputeHardwareCacheLayout(e->CellWidth);
  e->CacheWidth = layout.Width;
  e->CacheHeight = layout.Height;
  e->Capacity = layout.Capacity;
  e->RowsPerColumn = layout.RowsPerColumn;
  e->CacheGraphsLost = 1;
  return CreateFontCacheGraphs(e);
}

int SetUpBaseImage(FontEntry* e) {
  GraphImage& image = e->BaseImage;
  image.Format = *GetFontTexturePixelFormat(*e);
  image.Width = e->CacheWidth * ((e->Type & kFontTypeEdge) ? 2 : 1);
  image.Height = e->CacheHeight;
  image.Pitch = image.Format.BytesPerPixel * image.Width;
  const size_t bytes = static_cast<size_t>(image.Pitch) * static_cast<size_t>(image.Height);
  image.Pixels = bytes <= kMaxTrackedBlockSize
                     ? static_cast<uint8_t*>(AllocTrackedZero(bytes, __FILE__, __LINE__))
                     : nullptr;
  if (image.Pixels == nullptr) {
    image = {};
    return WriteLogText("文字キャッシュ基本イメージ用のメモリの確保に失敗しました\n");
  }
  return 0;
}

int SetUpSoftwareCache(FontEntry* e) {
  FontCacheLayout layout;
  ComputeSoftwareCacheLayout(e->CellWidth, e->Type, &layout);
  e->CacheWidth = layout.Width;
  e->CacheHeight = layout.Height;
  e->Capacity = layout.Capacity;
  e->RowsPerColumn = layout.RowsPerColumn;
  e->SoftBitsPerPixel = layout.BitsPerPixel;
  e->SoftBytesPerRow = layout.BytesPerRow;
  e->SoftCache = layout.BufferBytes <= static_cast<int64_t>(kMaxTrackedBlockSize)
                     ? static_cast<uint8_t*>(AllocTrackedZero(
                           static_cast<size_t>(layout.BufferBytes), __FILE__, __LINE__))
                     : nullptr;
  if (e->SoftCache == nullptr)
    return WriteLogText("フォントのキャッシュ用メモリの確保に失敗しました in CreateFontToHandle");
  return 0;
}

int FirstFreeSlot() {
  for (int slot = 0; slot < kMaxFontHandles; ++slot)
    if (FontHandles.slots[slot] == nullptr) return slot;
  return -1;
}

}  // namespace

HandleTable FontHandles = MakeHandleTable(HandleTypeFont, gFontSlots);

int CreateFontToHandle(const char* face, int size, int thickness, int type, int charset,
                       int edgeSize, int italic, int slot, int checkNumber) {
  if (WindowState.destroyed) return -1;
  if (type == -1) type = 0;
  if (edgeSize > 1) type |= kFontTypeEdge;
  if (charset == -1) charset = CharSetMode >= 0 && CharSetMode < kCharsetCount ? CharSetMode : 0;
  // No outline format or cache depth is defined for other types, nor a GDI charset for other
  // indexes.
  if (type < 0 || type > 3 || charset < 0 || charset >= kCharsetCount) return -1;

  if (slot == -1) {
    slot = FirstFreeSlot();
    if (slot < 0) {
      char line[128];
      std::snprintf(line, sizeof(line), "作成できるフォントハンドル数 %d の限界を超えました",
                    kMaxFontHandles);
      return WriteLogText(line);
    }
  } else if (slot < 0 || slot >= kMaxFontHandles || FontHandles.slots[slot] != nullptr) {
    return -1;
  }
  const bool chosenCheck = checkNumber == -1;
  if (chosenCheck) checkNumber = FontHandles.nextCheckNumber;
  const int handle = AllocHandleAt(
      &FontHandles, MakeHandle(HandleTypeFont, checkNumber & (kHandleCheckNumbers - 1), slot),
      sizeof(FontEntry), __FILE__, __LINE__);
  if (handle < 0) return WriteLogText("フォント管理用メモリ領域の確保に失敗しました\n");
  if (chosenCheck) FontHandles.nextCheckNumber = (checkNumber + 1) % kHandleCheckNumbers;

  FontEntry* e = GetFontEntry(handle);
  e->CacheGraph = -1;
  e->EdgeGraph = -1;
  if (GetScreenBitDepth() == 8) type &= ~kFontTypeAntialias;
  e->EdgeSize = edgeSize == -1 ? 1 : std::max(edgeSize, 0);
  e->Type = type;
  e->Size = size == -1 ? 16 : size;
  e->Thickness = thickness == -1 ? 6 : thickness;
  e->Italic = italic;
  e->Spacing = 0;
  e->CharsetIndex = charset;
  e->HardwareCache = HardwareRendering && GraphicsInitialised ? 1 : 0;
  CopyTextBounded(e->FaceName, sizeof(e->FaceName), face != nullptr ? face : "");

  e->Font = CreateGdiFontWithFallbacks(*e);
  if (e->Font == nullptr) {
    DeleteFontHandle(handle);
    return -1;
  }
  if (!MeasureCell(e)) {
    WriteLogText("ＤＣの取得に失敗しました\n");
    DeleteFontHandle(handle);
    return -1;
  }

  if (e->HardwareCache) {
    if (!CacheTextureIsTwoBytes(*e)) {
      e->HardwareCache = 0;
    } else if (SetUpHardwareCache(e) != 0) {
      WriteLogText("テクスチャ文字キャッシュの作成に失敗しました\n");
      e->HardwareCache = 0;
    }
  }
  if (e->HardwareCache ? SetUpBaseImage(e) != 0 : SetUpSoftwareCache(e) != 0) {
    DeleteFontHandle(handle);
    return -1;
  }
  ResetGlyphCache(e);
  e->LostFlag = nullptr;
  return handle;
}

int DeleteFontHandle(int handle) {
  FontEntry* e = GetFontEntry(handle);
  if (e == nullptr) return -1;
  if (e->Font != nullptr) DeleteObject(e->Font);
  if (e->SoftCache != nullptr) FreeTracked(e->SoftCache);
  // Graphs deleted from outside (a screen-mode change) have set the lost flag; their handles
  // are stale then.
  if (!e->CacheGraphsLost) {
    if (e->EdgeGraph != -1) DeleteGraphHandle(e->EdgeGraph);
    if (e->CacheGraph != -1) DeleteGraphHandle(e->CacheGraph);
  }
  if (e->BaseImage.Pixels != nullptr) FreeGraphImage(&e->BaseImage);
  if (e->LostFlag != nullptr) *e->LostFlag = 1;
  return ReleaseHandle(&FontHandles, handle);
}

int SetFontLostFlag(int handle, int* flag) {
  FontEntry* e = GetFontEntry(handle);
  if (e == nullptr) return -1;
  e->LostFlag = flag;
  if (flag != nullptr) *flag = 0;
  return 0;
}

int GetFontHandleSettings(char* face, int* size, int* thickness, int handle) {
  const FontEntry* e = GetFontEntry(handle);
  if (e == nullptr) return -1;
  if (face != nullptr) CopyTextBounded(face, kFontFaceNameBytes, e->FaceName);
  if (size != nullptr) *size = e->Size;
  if (thickness != nullptr) *thickness = e->Thickness;
  return 0;
}

int GetFontSize(int handle) {
  const FontEntry* e = GetFontEntry(handle);
  return e != nullptr ? e->Size : -1;
}

int IsFontHandleValid(int value) { return IsHandleValid(&FontHandles, value) ? 1 : 0; }

FontEntry* GetFontEntry(int handle) {
  return static_cast<FontEntry*>(GetHandleRecord(&FontHandles, handle));
}

int SetFontSpacing(int spacing, int handle) {
  FontEntry* e = GetFontEntry(handle);
  if (e == nullptr) return -1;
  e->Spacing = spacing;
  return 0;
}

int CreateFontCacheGraphs(FontEntry* e) {
  if (!e->CacheGraphsLost) return 0;
  e->CacheGraphsLost = 0;
  const bool edge = (e->Type & kFontTypeEdge) != 0;
  const int bits = GraphBitDepthOption, blankAlpha = BlankGraphAlphaOption,
            alphaTest = AlphaTestGraphOption, target = DrawTargetGraphOption;
  GraphBitDepthOption = 16;
  BlankGraphAlphaOption = Antialiased(*e) ? 1 : 0;
  AlphaTestGraphOption = Antialiased(*e) ? 0 : 1;
  DrawTargetGraphOption = 0;
  e->CacheGraph = CreateBlankGraph(e->CacheWidth * (edge ? 2 : 1), e->CacheHeight);
  e->EdgeGraph = -1;
  if (e->CacheGraph != -1 && edge) {
    e->EdgeGraph = CreateSubGraph(e->CacheWidth, 0, e->CacheWidth, e->CacheHeight, e->CacheGraph);
    if (e->EdgeGraph < 0) {
      DeleteGraphHandle(e->CacheGraph);
      e->CacheGraph = e->EdgeGraph = -1;
    }
  }
  GraphBitDepthOption = bits;
  BlankGraphAlphaOption = blankAlpha;
  AlphaTestGraphOption = alphaTest;
  DrawTargetGraphOption = target;
  if (e->CacheGraph == -1) {
    e->CacheGraphsLost = 1;
    return -1;
  }
  SetGraphLostFlag(e->CacheGraph, &e->CacheGraphsLost);
  FillGraph(e->CacheGraph, 255, 255, 255, 0);
  ResetGlyphCache(e);
  return 0;
}

void ResetGlyphCache(FontEntry* e) {
  std::memset(e->Codes, 0, sizeof(e->Codes));
  std::memset(e->Records, 0, sizeof(e->Records));
  for (int i = 0; i < e->Capacity; ++i) e->Records[i].Slot = i;
  e->Records[e->Capacity].Slot = -1;
  e->NextSlot = 0;
}
