// Which way of reading the back buffer is faster on this device: locking it, or copying it
// through a temporary render target into system memory. Three passes; the last decides.
#include <cstring>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"

namespace {

void CopyRows(const D3DLOCKED_RECT& from, const D3DLOCKED_RECT& to, int rowBytes, int rows) {
  for (int y = 0; y < rows; ++y)
    std::memcpy(static_cast<uint8_t*>(to.pBits) + static_cast<ptrdiff_t>(y) * to.Pitch,
                static_cast<const uint8_t*>(from.pBits) + static_cast<ptrdiff_t>(y) * from.Pitch,
                static_cast<size_t>(rowBytes));
}

struct PassTimes {
  int64_t lock = -1;
  int64_t transfer = -1;
};

int64_t Now() { return static_cast<int64_t>(GetNowMicroseconds(1)); }

// One pass; any failed call ends it with the times it had.
PassTimes MeasurePass(int size, int rowBytes) {
  PassTimes times;
  IDirect3DSurface9* target = nullptr;
  IDirect3DSurface9* renderTarget = nullptr;
  IDirect3DSurface9* staging = nullptr;
  const RECT rect = {0, 0, size, size};
  D3DLOCKED_RECT into = {};
  bool intoLocked = false;
  do {
    if (FAILED(Direct3DDevice->CreateOffscreenPlainSurface(size, size, ScreenFormat,
                                                           D3DPOOL_SYSTEMMEM, &target, nullptr)))
      break;
    if (FAILED(target->LockRect(&into, nullptr, D3DLOCK_READONLY))) break;
    intoLocked = true;

    int64_t start = Now();
    D3DLOCKED_RECT back = {};
    if (FAILED(BackBufferSurface->LockRect(&back, &rect, D3DLOCK_READONLY))) break;
    CopyRows(back, into, rowBytes, size);
    BackBufferSurface->UnlockRect();
    times.lock = Now() - start;

    start = Now();
    if (FAILED(Direct3DDevice->CreateRenderTarget(size, size, ScreenFormat, D3DMULTISAMPLE_NONE, 0,
                                                  FALSE, &renderTarget, nullptr)) ||
        FAILED(Direct3DDevice->CreateOffscreenPlainSurface(size, size, ScreenFormat,
                                                           D3DPOOL_SYSTEMMEM, &staging, nullptr)) ||
        FAILED(Direct3DDevice->StretchRect(BackBufferSurface, &rect, renderTarget, nullptr,
                                           D3DTEXF_NONE)) ||
        FAILED(Direct3DDevice->GetRenderTargetData(renderTarget, staging)))
      break;
    D3DLOCKED_RECT copied = {};
    if (FAILED(staging->LockRect(&copied, nullptr, D3DLOCK_READONLY))) break;
    CopyRows(copied, into, rowBytes, size);
    staging->UnlockRect();
    ReleaseAndClear(staging);
    ReleaseAndClear(renderTarget);
    times.transfer = Now() - start;
  } while (false);
  if (intoLocked) target->UnlockRect();
  ReleaseAndClear(staging);
  ReleaseAndClear(renderTarget);
  ReleaseAndClear(target);
  return times;
}

}  // namespace

void MeasureBackBufferReadBack() {
  UseBackBufferLock = 0;
  int size = 256;
  while (size > ScreenMode.width || size > ScreenMode.height) size /= 2;
  const PixelFormat* format = GetPixelFormatOfD3DFormat(ScreenFormat);
  const int rowBytes = (format ? format->BytesPerPixel : 4) * size;
  PassTimes times;
  for (int pass = 0; pass < 3; ++pass)
    times = BackBufferSurface && size > 0 ? MeasurePass(size, rowBytes) : PassTimes{};
  if (times.lock == -1 || times.transfer == -1) {
    WriteLogText("バックバッファロックはロックできません\n");
    return;
  }
  LogPrintf(
      "バックバッファロック転送の時間:%dnsec  一時的な描画可能バッファを使用した転送の時間:%dnsec",
      static_cast<int>(static_cast<uint32_t>(times.lock)),
      static_cast<int>(static_cast<uint32_t>(times.transfer)));
  if (times.lock < times.transfer) {
    UseBackBufferLock = 1;
    WriteLogText("バックバッファロックを使用します\n");
  } else {
    WriteLogText("バックバッファロックを使用しません\n");
  }
}
