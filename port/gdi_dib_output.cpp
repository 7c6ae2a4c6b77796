#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "port/device_context.h"
#include "port/gdi_dib.h"
#include "port/window_output.h"

namespace {

std::mutex gHandlerMutex;
std::map<int, PortDibHandler> gHandlers;

// How to read one pixel of a DIB: its bytes and channel masks.
struct DibLayout {
  int width;
  int height;  // always positive
  bool topDown;
  int bytesPerPixel;
  size_t rowBytes;
  uint32_t masks[3];  // red, green, blue
};

bool DescribeDib(const BITMAPINFO* info, UINT usage, DibLayout* d) {
  if (!info || usage != DIB_RGB_COLORS) return false;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1) return false;
  d->width = h.biWidth;
  d->topDown = h.biHeight < 0;
  d->height = d->topDown ? -h.biHeight : h.biHeight;
  d->bytesPerPixel = h.biBitCount / 8;
  d->rowBytes = ((static_cast<size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
  if (h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)) {
    // The masks follow a 40-byte header and sit at the same place inside a longer one.
    std::memcpy(d->masks, reinterpret_cast<const uint8_t*>(info) + sizeof(BITMAPINFOHEADER), sizeof(d->masks));
    return d->masks[0] && d->masks[1] && d->masks[2];
  }
  if (h.biCompression != BI_RGB) return false;
  switch (h.biBitCount) {
    case 16: d->masks[0] = 0x7C00, d->masks[1] = 0x3E0, d->masks[2] = 0x1F; return true;
    case 24:
    case 32: d->masks[0] = 0xFF0000, d->masks[1] = 0xFF00, d->masks[2] = 0xFF; return true;
    default: return false;
  }
}

uint32_t Scale(uint32_t value, uint32_t mask) {
  int shift = 0;
  while (!(mask & 1u)) mask >>= 1, ++shift;
  return (((value >> shift) & mask) * 255 + mask / 2) / mask;
}

uint32_t ReadArgb(const DibLayout& d, const uint8_t* row, int x) {
  const uint8_t* p = row + static_cast<size_t>(x) * d.bytesPerPixel;
  uint32_t v = 0;
  for (int i = 0; i < d.bytesPerPixel; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return 0xFF000000u | (Scale(v, d.masks[0]) << 16) | (Scale(v, d.masks[1]) << 8) | Scale(v, d.masks[2]);
}

// Row `fromBottom` (0 = the bottom row) of the DIB, or null when the given bits do not hold it.
const uint8_t* DibRow(const DibLayout& d, const void* bits, int fromBottom, int firstBand, int bandLines) {
  if (fromBottom < 0 || fromBottom >= d.height) return nullptr;
  if (fromBottom < firstBand || fromBottom >= firstBand + bandLines) return nullptr;
  const auto* base = static_cast<const uint8_t*>(bits);
  size_t index = d.topDown ? static_cast<size_t>(d.height - 1 - fromBottom) : static_cast<size_t>(fromBottom - firstBand);
  return base + index * d.rowBytes;
}

int CallHandler(const PortDibCall& call, PortDeviceContext* dc) {
  PortDibHandler handler = nullptr;
  {
    std::lock_guard lock(gHandlerMutex);
    auto it = gHandlers.find(dc->kind);
    if (it != gHandlers.end()) handler = it->second;
  }
  return handler ? handler(call) : 0;
}

// Draws `destWidth` x `destHeight` at (destX, destY): each destination pixel takes the source
// pixel (srcX + dx * srcWidth / destWidth, counted from the left, and likewise from the top of
// the source rectangle, whose bottom row lies `srcY` rows above the DIB's bottom).
bool DrawToWindow(HWND window, const DibLayout& d, const void* bits, int destX, int destY, int destWidth,
                  int destHeight, int srcX, int srcY, int srcWidth, int srcHeight, int firstBand, int bandLines) {
  std::vector<uint32_t> pixels(static_cast<size_t>(destWidth) * destHeight);
  std::vector<bool> drawn(pixels.size(), false);
  bool any = false;
  for (int dy = 0; dy < destHeight; ++dy) {
    int fromTopOfRect = static_cast<int>(int64_t{dy} * srcHeight / destHeight);
    int fromBottom = srcY + (srcHeight - 1 - fromTopOfRect);
    const uint8_t* row = DibRow(d, bits, fromBottom, firstBand, bandLines);
    if (!row) continue;
    for (int dx = 0; dx < destWidth; ++dx) {
      int sx = srcX + static_cast<int>(int64_t{dx} * srcWidth / destWidth);
      if (sx < 0 || sx >= d.width) continue;
      size_t i = static_cast<size_t>(dy) * destWidth + dx;
      pixels[i] = ReadArgb(d, row, sx);
      drawn[i] = true;
      any = true;
    }
  }
  if (!any) return true;
  // Pixels the source does not cover keep what the window shows: whole rows go in one write,
  // partly covered rows run by run.
  auto rowDrawn = [&](int row, int from, int to) {
    for (int x = from; x < to; ++x)
      if (!drawn[static_cast<size_t>(row) * destWidth + x]) return false;
    return true;
  };
  int dy = 0;
  while (dy < destHeight) {
    if (rowDrawn(dy, 0, destWidth)) {
      int start = dy;
      while (dy < destHeight && rowDrawn(dy, 0, destWidth)) ++dy;
      RECT block = {destX, destY + start, destX + destWidth, destY + dy};
      if (!PortWindowWriteArgb(window, block, &pixels[static_cast<size_t>(start) * destWidth], destWidth))
        return false;
      continue;
    }
    int dx = 0;
    while (dx < destWidth) {
      if (!drawn[static_cast<size_t>(dy) * destWidth + dx]) {
        ++dx;
        continue;
      }
      int start = dx;
      while (dx < destWidth && drawn[static_cast<size_t>(dy) * destWidth + dx]) ++dx;
      RECT run = {destX + start, destY + dy, destX + dx, destY + dy + 1};
      if (!PortWindowWriteArgb(window, run, &pixels[static_cast<size_t>(dy) * destWidth + start], destWidth))
        return false;
    }
    ++dy;
  }
  return PortWindowShow(window);
}

}  // namespace

int WINAPI SetDIBitsToDevice(HDC dc, int destX, int destY, DWORD width, DWORD height, int srcX, int srcY,
                             UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                             UINT colorUse) {
  PortDeviceContext* p = PortCheckDeviceContext(dc);
  if (!p || !bits || !info || width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return 0;
  if (p->kind != kPortWindowDC) {
    PortDibCall call = {dc,        false,     destX, destY,    static_cast<int>(width), static_cast<int>(height),
                        srcX,      srcY,      static_cast<int>(width), static_cast<int>(height), startScan,
                        scanLines, bits,      info,  colorUse, SRCCOPY};
    return CallHandler(call, p);
  }
  DibLayout d;
  if (!DescribeDib(info, colorUse, &d) || scanLines == 0) return 0;
  // Rows of a top-down DIB are numbered from the top in memory; only the whole image is taken.
  if (d.topDown && (startScan != 0 || scanLines < static_cast<UINT>(d.height))) return 0;
  if (startScan >= static_cast<UINT>(d.height)) return 0;
  int band = static_cast<int>(std::min<UINT>(scanLines, static_cast<UINT>(d.height) - startScan));
  if (!DrawToWindow(p->window, d, bits, destX, destY, static_cast<int>(width), static_cast<int>(height), srcX, srcY,
                    static_cast<int>(width), static_cast<int>(height), static_cast<int>(startScan), band))
    return 0;
  return static_cast<int>(scanLines);
}

int WINAPI StretchDIBits(HDC dc, int destX, int destY, int destWidth, int destHeight, int srcX, int srcY,
                         int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                         DWORD rop) {
  PortDeviceContext* p = PortCheckDeviceContext(dc);
  if (!p || !bits || !info) return 0;
  if (p->kind != kPortWindowDC) {
    PortDibCall call = {dc,   true, destX, destY, destWidth, destHeight, srcX, srcY, srcWidth,
                        srcHeight, 0, 0, bits, info, usage, rop};
    return CallHandler(call, p);
  }
  DibLayout d;
  if (rop != SRCCOPY || !DescribeDib(info, usage, &d)) return 0;
  if (destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0) return 0;
  if (!DrawToWindow(p->window, d, bits, destX, destY, destWidth, destHeight, srcX, srcY, srcWidth, srcHeight, 0,
                    d.height))
    return 0;
  return srcHeight;
}

void PortSetDibHandler(int deviceContextKind, PortDibHandler handler) {
  std::lock_guard lock(gHandlerMutex);
  if (handler)
    gHandlers[deviceContextKind] = handler;
  else
    gHandlers.erase(deviceContextKind);
}
