#include "runtime/graphics/screen/present.h"

#include <cstring>

#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/on_screen_log.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/window_state.h"

RECT LastPresentSourceRect = {0, 0, 0, 0};

namespace {

// A BITMAPINFO with room for the three bit-field masks after the header.
struct BitFieldDib {
  BITMAPINFOHEADER header;
  DWORD masks[3];
};

// The on-screen log is drawn over the whole screen with plain settings, which are put back.
void DrawOnScreenLogOver(int screenWidth, int screenHeight) {
  if (!GetOnScreenLogFlag()) return;
  const RECT area = DrawArea;
  const int mode = CurrentBlendMode, parameter = BlendParam;
  const uint32_t bright = DrawBright;
  SetDrawClipRect(0, 0, screenWidth, screenHeight);
  SetBlendMode(0, 0);
  SetDrawBrightness(255, 255, 255);
  DrawOnScreenLog();
  SetDrawClipRect(area.left, area.top, area.right, area.bottom);
  SetBlendMode(mode, parameter);
  SetDrawBrightnessPacked(bright);
}

int PresentThroughDevice(const RECT* rect, const RECT& mapped, const RECT& source, const RECT& dest,
                         bool emulated) {
  FlushVertexBatch();
  EndSceneIfActive();
  if (Direct3DDevice == nullptr) return 0;
  if (SubBackBufferSurface != nullptr &&
      FAILED(Direct3DDevice->StretchRect(SubBackBufferSurface, nullptr, BackBufferSurface, nullptr,
                                         D3DTEXF_NONE)))
    return -1;
  if (DeviceSwapChain == nullptr) return 0;
  HWND window = WindowState.mainWindow;
  HRESULT result;
  if (!IsFullScreen()) {
    if (rect != nullptr) {
      result = DeviceSwapChain->Present(&mapped, rect, window, nullptr, 0);
    } else {
      LastPresentSourceRect = source;
      result = DeviceSwapChain->Present(&source, &dest, window, nullptr, 0);
    }
  } else if (emulated) {
    const RECT quarter = {0, 0, 320, 240}, whole = {0, 0, 640, 480};
    result = DeviceSwapChain->Present(&quarter, &whole, window, nullptr, 0);
  } else {
    result = DeviceSwapChain->Present(nullptr, nullptr, window, nullptr, 0);
  }
  return FAILED(result) ? -1 : 0;
}

int PresentThroughGdi(const RECT* rect, const RECT& mapped, int screenWidth, int screenHeight,
                      const RECT& dest, bool emulated) {
  if (!IsMemImgValid(&ScreenMemImg)) return 0;
  if (!NoVSyncWait) WaitVSync();
  const MemImgBody& body = *ScreenMemImg.body;
  const PixelFormat& format = *body.format;
  // GDI takes the row length from the width: the image's rows are its pitch long, which may
  // be more than the screen's width, so the DIB is described that wide and the copies read
  // only the screen's width of it.
  BitFieldDib dib = {};
  dib.header.biSize = sizeof(BITMAPINFOHEADER);
  dib.header.biWidth = body.pitch / format.BytesPerPixel;
  dib.header.biHeight = -screenHeight;
  dib.header.biPlanes = 1;
  dib.header.biBitCount = format.BitsPerPixel;
  dib.header.biCompression = BI_BITFIELDS;
  dib.masks[0] = format.RedMask;
  dib.masks[1] = format.GreenMask;
  dib.masks[2] = format.BlueMask;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(&dib);

  HWND window = WindowState.mainWindow;
  HDC dc = GetDC(window);
  if (dc == nullptr) return 0;
  const void* bits = ScreenMemImg.pixels;
  if (emulated) {
    // Rows count from the bottom of the DIB: the top quarter starts 240 rows up.
    StretchDIBits(dc, 0, 0, 640, 480, 0, 240, 320, 240, bits, info, DIB_RGB_COLORS, SRCCOPY);
    LastPresentSourceRect = {0, 0, 640, 480};
  } else if (rect != nullptr) {
    StretchDIBits(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                  mapped.left, screenHeight - mapped.bottom, mapped.right - mapped.left,
                  mapped.bottom - mapped.top, bits, info, DIB_RGB_COLORS, SRCCOPY);
  } else {
    LastPresentSourceRect = dest;
    if (dest.right == screenWidth && dest.bottom == screenHeight)
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(screenWidth), static_cast<DWORD>(screenHeight),
                        0, 0, 0, static_cast<UINT>(screenHeight), bits, info, DIB_RGB_COLORS);
    else
      StretchDIBits(dc, 0, 0, dest.right, dest.bottom, 0, 0, screenWidth, screenHeight, bits, info,
                    DIB_RGB_COLORS, SRCCOPY);
  }
  ReleaseDC(window, dc);
  return 0;
}

}  // namespace

int PresentBackBuffer(const RECT* rect) {
  if (!gSystemState.initialised || WindowState.quitSeen) return -1;
  int screenWidth, screenHeight;
  GetScreenSize(&screenWidth, &screenHeight);
  RECT mapped = {0, 0, 0, 0};
  if (rect != nullptr) {
    const RECT& last = LastPresentSourceRect;
    mapped.left = last.left + rect->left * (last.right - last.left) / screenWidth;
    mapped.right = last.left + rect->right * (last.right - last.left) / screenWidth;
    mapped.top = last.top + rect->top * (last.bottom - last.top) / screenHeight;
    mapped.bottom = last.top + rect->bottom * (last.bottom - last.top) / screenHeight;
    if (mapped.left == mapped.right || mapped.top == mapped.bottom) return -1;
  }
  DrawOnScreenLogOver(screenWidth, screenHeight);

  const bool emulated =
      (Emulate320x240 || Emulate320x240Fallback) && screenWidth == 640 && screenHeight == 480;
  const RECT source = emulated ? RECT{0, 0, 320, 240} : RECT{0, 0, screenWidth, screenHeight};
  RECT dest = {0, 0, screenWidth, screenHeight};
  if (!IsFullScreen() && !emulated) {
    double rateX, rateY;
    GetWindowStretchRates(&rateX, &rateY);
    dest.right = static_cast<int>(screenWidth * rateX);
    dest.bottom = static_cast<int>(screenHeight * rateY);
  }
  if (HardwareRendering) {
    const RECT deviceDest = emulated ? RECT{0, 0, 640, 480} : dest;
    return PresentThroughDevice(rect, mapped, source, deviceDest, emulated);
  }
  return PresentThroughGdi(rect, mapped, screenWidth, screenHeight, dest, emulated);
}

int PresentScreen() { return PresentBackBuffer(nullptr); }

int PresentForPaint(const RECT* rect) {
  const int wait = NoVSyncWait;
  NoVSyncWait = 1;
  const int result = PresentBackBuffer(rect);
  NoVSyncWait = wait;
  return result;
}
