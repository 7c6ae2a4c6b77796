// Memory device contexts, DIB sections, and SetDIBitsToDevice / StretchDIBits.
#include "port/gdi/gdi_dib.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_set>

#include "port/gdi/gdi_objects.h"
#include "port/kernel/last_error.h"

namespace {

constexpr uint32_t kMemoryDcMagic = 0x43444D50;  // "PMDC"
constexpr uint32_t kSectionMagic = 0x42444950;   // "PIDB"
constexpr uint32_t kStockBitmapMagic = 0x4B545350;
constexpr uint32_t kStockFontMagic = 0x46545350;

struct DibSection;

struct MemoryDc {
  uint32_t magic;
  DibSection* selected;  // null: the stock bitmap
  HGDIOBJ font;          // null: the stock font
};

struct DibSection {
  uint32_t magic;
  MemoryDc* selectedInto;
  int width;
  int height;
  bool topDown;
  int bitCount;
  int stride;
  uint32_t masks[3];
  uint8_t* bits;
};

// What a new memory context holds: a 1 x 1 placeholder that nothing draws into.
struct StockBitmap {
  uint32_t magic;
} gStockBitmap = {kStockBitmapMagic};

// The font a new memory context holds: it has no glyphs, so text calls on it fail.
struct StockFont {
  uint32_t magic;
} gStockFont = {kStockFontMagic};

std::mutex gMutex;
std::unordered_set<const void*> gLive;  // memory contexts and sections
std::atomic<int> gSectionFailures{0};
std::atomic<PortDibDeviceOutput> gDeviceOutput{nullptr};

MemoryDc* LiveDc(HDC dc) {
  if (!dc || !gLive.count(dc)) return nullptr;
  auto* p = static_cast<MemoryDc*>(dc);
  return p->magic == kMemoryDcMagic ? p : nullptr;
}

DibSection* LiveSection(HGDIOBJ object) {
  if (!object || !gLive.count(object)) return nullptr;
  auto* p = static_cast<DibSection*>(object);
  return p->magic == kSectionMagic ? p : nullptr;
}

bool TakeSectionFailure() {
  int left = gSectionFailures.load();
  while (left > 0)
    if (gSectionFailures.compare_exchange_weak(left, left - 1)) return true;
  return false;
}

// The copy into a context: a memory context draws into its section, any other goes to the
// registered device output. Called without the lock held for the device output.
bool DrawDib(HDC dc, const PortDibSource* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
             int xDst, int yDst, int dstWidth, int dstHeight) {
  {
    std::lock_guard lock(gMutex);
    if (MemoryDc* memory = LiveDc(dc)) {
      DibSection* s = memory->selected;
      if (!s) return true;  // the stock bitmap: nothing to see
      PortDibTarget target{};
      target.pitch = s->topDown ? s->stride : -s->stride;
      target.pixels =
          s->topDown ? s->bits : s->bits + static_cast<ptrdiff_t>(s->height - 1) * s->stride;
      target.width = s->width;
      target.height = s->height;
      target.bitCount = s->bitCount;
      std::memcpy(target.masks, s->masks, sizeof target.masks);
      return PortStretchDib(source, xSrc, ySrc, srcWidth, srcHeight, &target, xDst, yDst, dstWidth,
                            dstHeight);
    }
  }
  PortDibDeviceOutput output = gDeviceOutput.load();
  if (output &&
      output(dc, source, xSrc, ySrc, srcWidth, srcHeight, xDst, yDst, dstWidth, dstHeight))
    return true;
  SetLastError(ERROR_INVALID_HANDLE);
  return false;
}

}  // namespace

HDC WINAPI CreateCompatibleDC(HDC) {
  auto* dc = new (std::nothrow) MemoryDc{kMemoryDcMagic, nullptr, nullptr};
  if (!dc) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard lock(gMutex);
  gLive.insert(dc);
  return dc;
}

BOOL WINAPI DeleteDC(HDC dc) {
  std::lock_guard lock(gMutex);
  MemoryDc* memory = LiveDc(dc);
  if (!memory) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (memory->selected) memory->selected->selectedInto = nullptr;
  gLive.erase(memory);
  memory->magic = 0;
  delete memory;
  return TRUE;
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits,
                                HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section || offset) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int bitCount = h.biBitCount;
  const bool fields = h.biCompression == BI_BITFIELDS;
  const bool accepted =
      (h.biCompression == BI_RGB && (bitCount == 16 || bitCount == 24 || bitCount == 32)) ||
      (fields && (bitCount == 16 || bitCount == 32));
  if (!accepted || h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 ||
      h.biHeight == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int64_t height = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
  const int64_t stride = (int64_t{h.biWidth} * bitCount + 31) / 32 * 4;
  if (stride * height > INT32_MAX || TakeSectionFailure()) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* s = new (std::nothrow) DibSection{};
  uint8_t* pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride * height), 1));
  if (!s || !pixels) {
    delete s;
    std::free(pixels);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  s->magic = kSectionMagic;
  s->width = h.biWidth;
  s->height = static_cast<int>(height);
  s->topDown = h.biHeight < 0;
  s->bitCount = bitCount;
  s->stride = static_cast<int>(stride);
  s->bits = pixels;
  if (fields) {
    std::memcpy(s->masks, reinterpret_cast<const uint8_t*>(info) + sizeof(BITMAPINFOHEADER),
                sizeof s->masks);
  } else if (bitCount == 16) {
    s->masks[0] = 0x7C00, s->masks[1] = 0x3E0, s->masks[2] = 0x1F;
  } else {
    s->masks[0] = 0xFF0000, s->masks[1] = 0xFF00, s->masks[2] = 0xFF;
  }
  {
    std::lock_guard lock(gMutex);
    gLive.insert(s);
  }
  if (bits) *bits = pixels;
  return s;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard lock(gMutex);
  MemoryDc* memory = LiveDc(dc);
  if (memory && (object == &gStockFont || PortLiveFontLocked(object))) {
    HGDIOBJ previous = memory->font ? memory->font : &gStockFont;
    memory->font = object == &gStockFont ? nullptr : object;
    return previous;
  }
  DibSection* section = LiveSection(object);
  const bool stock = object == &gStockBitmap;
  if (!memory || (!section && !stock) ||
      (section && section->selectedInto && section->selectedInto != memory)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ previous = memory->selected ? static_cast<HGDIOBJ>(memory->selected) : &gStockBitmap;
  if (memory->selected) memory->selected->selectedInto = nullptr;
  memory->selected = section;
  if (section) section->selectedInto = memory;
  return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (object == &gStockBitmap || object == &gStockFont) return TRUE;
  std::lock_guard lock(gMutex);
  if (PortFont* font = PortLiveFontLocked(object)) {
    // A font still selected somewhere stays, so that no context is left holding a dead one.
    for (const void* live : gLive) {
      const MemoryDc* memory = LiveDc(const_cast<void*>(live));
      if (memory && memory->font == object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
      }
    }
    PortFreeFontLocked(font);
    return TRUE;
  }
  DibSection* s = LiveSection(object);
  if (!s || s->selectedInto) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  gLive.erase(s);
  s->magic = 0;
  std::free(s->bits);
  delete s;
  return TRUE;
}

int WINAPI SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc,
                             int ySrc, UINT startScan, UINT lines, const void* bits,
                             const BITMAPINFO* info, UINT usage) {
  PortDibSource source;
  if (!PortDescribeDib(info, usage, bits, startScan, lines, &source) || width > INT32_MAX ||
      height > INT32_MAX) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (width == 0 || height == 0) return static_cast<int>(lines);
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  if (!DrawDib(dc, &source, xSrc, ySrc, w, h, xDest, yDest, w, h)) return 0;
  return static_cast<int>(lines);
}

int WINAPI StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                         int ySrc, int srcWidth, int srcHeight, const void* bits,
                         const BITMAPINFO* info, UINT usage, DWORD rop) {
  constexpr UINT kAllRows = 0xFFFFFFFFu;  // the whole DIB is given
  PortDibSource source;
  if (rop != SRCCOPY || destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 ||
      !PortDescribeDib(info, usage, bits, 0, kAllRows, &source)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!DrawDib(dc, &source, xSrc, ySrc, srcWidth, srcHeight, xDest, yDest, destWidth, destHeight))
    return 0;
  return srcHeight;
}

void PortSetDibDeviceOutput(PortDibDeviceOutput output) { gDeviceOutput.store(output); }

void PortSetDibSectionFailures(int count) { gSectionFailures.store(count < 0 ? 0 : count); }

int PortLiveGdiObjectCount() {
  std::lock_guard lock(gMutex);
  return static_cast<int>(gLive.size()) + PortLiveFontCountLocked();
}

std::mutex& PortGdiObjectLock() { return gMutex; }

HGDIOBJ PortSelectedFontLocked(HDC dc) {
  const MemoryDc* memory = LiveDc(dc);
  return memory ? memory->font : nullptr;
}
