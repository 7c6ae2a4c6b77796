#include "port/gdi/window_output.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "port/gdi/device_context.h"
#include "port/gdi/gdi_dib.h"
#include "port/user/user32.h"
#include "port/user/window_internal.h"

namespace {

std::map<HWND, PortGlCanvas> gCanvases;
int gSwapInterval = -1;

bool ClientSize(HWND window, int* width, int* height) {
  RECT c;
  if (!GetClientRect(window, &c)) return false;
  *width = c.right - c.left;
  *height = c.bottom - c.top;
  return *width > 0 && *height > 0;
}

void DeleteCanvas(PortGlCanvas& c) {
  PortGl.DeleteFramebuffers(1, &c.framebuffer);
  PortGl.DeleteTextures(1, &c.texture);
}

// Canvases of windows that are gone.
void PurgeDeadCanvases() {
  for (auto it = gCanvases.begin(); it != gCanvases.end();) {
    if (!PortGetSdlWindow(it->first)) {
      DeleteCanvas(it->second);
      it = gCanvases.erase(it);
    } else {
      ++it;
    }
  }
}

bool ComposeToDrawable(SDL_Window* sdl, const PortGlCanvas& canvas) {
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(sdl, &dw, &dh);
  return PortGlComposeCanvas(canvas, 0, dw, dh);
}

// The client area's place on a window surface of another size (a window shown full screen).
SDL_Rect SurfaceBox(SDL_Surface* surface, int cw, int ch) {
  return PortLetterboxRect(cw, ch, surface->w, surface->h);
}

bool WriteThroughGl(HWND window, const RECT& dest, const uint32_t* pixels, size_t stride,
                    const RECT& cut) {
  {
    PortGlScope scope;
    if (!scope.ok()) return false;
    PortGlCanvas* canvas = PortGlWindowCanvas(window);
    if (!canvas) return false;
    PortGl.BindTexture(GL_TEXTURE_2D, canvas->texture);
    PortGl.PixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(stride));
    const uint32_t* first =
        pixels + static_cast<size_t>(cut.top - dest.top) * stride + (cut.left - dest.left);
    PortGl.TexSubImage2D(GL_TEXTURE_2D, 0, cut.left, cut.top, cut.right - cut.left,
                         cut.bottom - cut.top, GL_BGRA, GL_UNSIGNED_BYTE, first);
    PortGl.PixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  }
  return true;
}

// The surface may be larger than the client area (a window shown full screen): each surface
// pixel takes the client pixel it covers.
bool WriteThroughSurface(HWND window, const RECT& dest, const uint32_t* pixels, size_t stride,
                         const RECT& cut, int cw, int ch) {
  SDL_Window* sdl = PortGetSdlWindow(window);
  SDL_Surface* surface = sdl ? SDL_GetWindowSurface(sdl) : nullptr;
  if (!surface) return false;
  const SDL_Rect box = SurfaceBox(surface, cw, ch);
  const int sw = box.w, sh = box.h;
  SDL_Rect area;
  area.x = box.x + static_cast<int>(int64_t{cut.left} * sw / cw);
  area.y = box.y + static_cast<int>(int64_t{cut.top} * sh / ch);
  area.w = box.x + static_cast<int>(int64_t{cut.right} * sw / cw) - area.x;
  area.h = box.y + static_cast<int>(int64_t{cut.bottom} * sh / ch) - area.y;
  if (area.w <= 0 || area.h <= 0) return true;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  int bpp = surface->format->BytesPerPixel;
  // A surface of the client's size in 32-bit RGB (what SDL gives a window without OpenGL): the
  // pixels go across as they are.
  const Uint32 format = surface->format->format;
  const bool direct = sw == cw && sh == ch && surface->w == cw && surface->h == ch &&
                      (format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888);
  const Uint32 alpha = format == SDL_PIXELFORMAT_ARGB8888 ? 0xFF000000u : 0;
  for (int sy = area.y; sy < area.y + area.h; ++sy) {
    // Rounding both ways can land the first row or column of a scaled area one short of the
    // cut, outside the caller's pixels: clamp to the cut.
    int cy = std::clamp(static_cast<int>(int64_t{sy - box.y} * ch / sh), static_cast<int>(cut.top),
                        static_cast<int>(cut.bottom) - 1);
    auto* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(sy) * surface->pitch;
    const uint32_t* src = pixels + static_cast<size_t>(cy - dest.top) * stride;
    if (direct) {
      // A row at once, then a plain loop over it, which the compiler vectorises: this runs
      // for every pixel of every frame the game shows.
      Uint32* to = reinterpret_cast<Uint32*>(row) + area.x;
      std::memcpy(to, src + (area.x - dest.left), static_cast<size_t>(area.w) * 4);
      for (int i = 0; i < area.w; ++i) to[i] = (to[i] & 0xFFFFFFu) | alpha;
      continue;
    }
    for (int sx = area.x; sx < area.x + area.w; ++sx) {
      int cx = std::clamp(static_cast<int>(int64_t{sx - box.x} * cw / sw),
                          static_cast<int>(cut.left), static_cast<int>(cut.right) - 1);
      uint32_t argb = src[cx - dest.left];
      Uint32 value =
          SDL_MapRGB(surface->format, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
      uint8_t* p = row + static_cast<size_t>(sx) * bpp;
      if (bpp == 4)
        *reinterpret_cast<Uint32*>(p) = value;
      else if (bpp == 2)
        *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value);
      else
        for (int i = 0; i < bpp; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
    }
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return true;
}

// The area's pixels, opaque, when a 32-bit XRGB DIB shown at its own size reaches every one of
// them (the software screen, every frame): one pass, with no marking of the pixels not reached.
// False, with pixels untouched, for any other copy.
bool CopyWholeArea(const PortDibSource* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
                   int xDst, int yDst, int dstWidth, int dstHeight, const RECT& area,
                   std::vector<uint32_t>* pixels) {
  if (srcWidth != dstWidth || srcHeight != dstHeight || source->bitCount != 32 ||
      source->masks[0] != 0xFF0000 || source->masks[1] != 0xFF00 || source->masks[2] != 0xFF)
    return false;
  const int w = area.right - area.left, h = area.bottom - area.top;
  // The source column and row (from the top) under the area's top-left pixel.
  const int64_t left = int64_t{xSrc} + area.left - xDst;
  const int64_t top = int64_t{source->height} - ySrc - srcHeight + area.top - yDst;
  if (left < 0 || left + w > source->width || top < 0 || top + h > source->height) return false;
  for (int y = 0; y < h; ++y)
    if (!PortDibRowGiven(source, static_cast<int>(top + y))) return false;
  pixels->resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    uint32_t* to = pixels->data() + static_cast<size_t>(y) * w;
    std::memcpy(to, PortDibRow(source, static_cast<int>(top + y)) + left * 4,
                static_cast<size_t>(w) * 4);
    for (int x = 0; x < w; ++x) to[x] |= 0xFF000000u;
  }
  return true;
}

// SetDIBitsToDevice and StretchDIBits (port/gdi/gdi_dib.h) hand every device context that is not a
// memory context to this output: a window's context (GetDC, BeginPaint) shows the DIB in the
// client area. Pixels the DIB does not reach (outside it, or outside the rows given) keep what
// the window shows.
bool WindowDibOutput(HDC dc, const PortDibSource* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, int xDst, int yDst, int dstWidth, int dstHeight) {
  PortDeviceContext* context = PortCheckDeviceContext(dc);
  if (!context || context->kind != kPortWindowDC) return false;
  int cw = 0, ch = 0;
  if (!ClientSize(context->window, &cw, &ch)) return false;
  RECT area = {std::max<LONG>(xDst, 0), std::max<LONG>(yDst, 0),
               static_cast<LONG>(std::min<int64_t>(int64_t{xDst} + dstWidth, cw)),
               static_cast<LONG>(std::min<int64_t>(int64_t{yDst} + dstHeight, ch))};
  if (area.left >= area.right || area.top >= area.bottom) return true;
  const int w = area.right - area.left, h = area.bottom - area.top;
  // The copy writes no alpha: a pixel that keeps this alpha was not reached.
  constexpr uint32_t kUntouched = 0xFF000000u;
  // Kept between calls: a window shows a frame through here sixty times a second, and fresh
  // megabytes each time cost a page fault every few pixels.
  thread_local std::vector<uint32_t> pixels;
  if (CopyWholeArea(source, xSrc, ySrc, srcWidth, srcHeight, xDst, yDst, dstWidth, dstHeight, area,
                    &pixels))
    return PortWindowWriteArgb(context->window, area, pixels.data(), w) &&
           PortWindowShow(context->window);
  pixels.assign(static_cast<size_t>(w) * h, kUntouched);
  PortDibTarget target = {};
  target.pixels = reinterpret_cast<uint8_t*>(pixels.data());
  target.pitch = w * 4;
  target.width = w;
  target.height = h;
  target.bitCount = 32;
  target.masks[0] = 0xFF0000;
  target.masks[1] = 0xFF00;
  target.masks[2] = 0xFF;
  if (!PortStretchDib(source, xSrc, ySrc, srcWidth, srcHeight, &target, xDst - area.left,
                      yDst - area.top, dstWidth, dstHeight))
    return false;
  // A row the copy reached everywhere is made opaque and goes with its whole neighbours in one
  // write; other rows go run by run of reached pixels.
  auto wholeRow = [&](int y) {
    uint32_t* row = &pixels[static_cast<size_t>(y) * w];
    for (int x = 0; x < w; ++x)
      if (row[x] == kUntouched) return false;
    for (int x = 0; x < w; ++x) row[x] |= 0xFF000000u;
    return true;
  };
  int y = 0;
  while (y < h) {
    if (wholeRow(y)) {
      int start = y++;
      while (y < h && wholeRow(y)) ++y;
      RECT block = {area.left, area.top + start, area.right, area.top + y};
      if (!PortWindowWriteArgb(context->window, block, &pixels[static_cast<size_t>(start) * w], w))
        return false;
      continue;
    }
    uint32_t* row = &pixels[static_cast<size_t>(y) * w];
    for (int x = 0; x < w;) {
      if (row[x] == kUntouched) {
        ++x;
        continue;
      }
      int start = x;
      while (x < w && row[x] != kUntouched) row[x++] |= 0xFF000000u;
      RECT run = {area.left + start, area.top + y, area.left + x, area.top + y + 1};
      if (!PortWindowWriteArgb(context->window, run, row + start, w)) return false;
    }
    ++y;
  }
  return PortWindowShow(context->window);
}

// Registered when the program loads; the GDI side keeps the pointer constant-initialised, so
// the order of static initialisation does not matter. This file is in every program that
// shows windows through the port: the Direct3D device and the module table lead to it.
const bool kWindowDibOutputRegistered = (PortSetDibDeviceOutput(&WindowDibOutput), true);

}  // namespace

PortGlCanvas* PortGlWindowCanvas(HWND window) {
  int w = 0, h = 0;
  SDL_Window* sdl = PortGetSdlWindow(window);
  if (!sdl || !PortWindowHasOpenGL(window) || !ClientSize(window, &w, &h)) return nullptr;
  PurgeDeadCanvases();
  Uint32 id = SDL_GetWindowID(sdl);
  auto it = gCanvases.find(window);
  if (it != gCanvases.end() && it->second.width == w && it->second.height == h &&
      it->second.sdlWindowId == id)
    return &it->second;
  if (it != gCanvases.end()) {
    DeleteCanvas(it->second);
    gCanvases.erase(it);
  }
  PortGlCanvas c = {0, 0, w, h, id};
  PortGl.GenTextures(1, &c.texture);
  PortGl.BindTexture(GL_TEXTURE_2D, c.texture);
  PortGl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  std::vector<uint32_t> black(static_cast<size_t>(w) * h, 0xFF000000u);
  PortGl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, black.data());
  PortGl.GenFramebuffers(1, &c.framebuffer);
  PortGl.BindFramebuffer(GL_FRAMEBUFFER, c.framebuffer);
  PortGl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, c.texture, 0);
  return &(gCanvases[window] = c);
}

bool PortGlShowWindow(HWND window, bool vsync) {
  SDL_Window* sdl = PortWindowHasOpenGL(window) ? PortGetSdlWindow(window) : nullptr;
  if (!sdl) return false;
  PortGlScope scope(sdl);
  if (!scope.ok()) return false;
  PortGlCanvas* canvas = PortGlWindowCanvas(window);
  if (!canvas || !ComposeToDrawable(sdl, *canvas)) return false;
  if (gSwapInterval != (vsync ? 1 : 0)) {
    gSwapInterval = vsync ? 1 : 0;
    SDL_GL_SetSwapInterval(gSwapInterval);
  }
  SDL_GL_SwapWindow(sdl);
  return true;
}

void PortGlDropWindowCanvas(HWND window) {
  auto it = gCanvases.find(window);
  if (it == gCanvases.end()) return;
  PortGlScope scope;
  if (scope.ok()) DeleteCanvas(it->second);
  gCanvases.erase(it);
}

bool PortWindowWriteArgb(HWND window, const RECT& dest, const uint32_t* pixels, size_t stride) {
  int cw = 0, ch = 0;
  if (!ClientSize(window, &cw, &ch)) return false;
  RECT cut = {std::max<LONG>(dest.left, 0), std::max<LONG>(dest.top, 0),
              std::min<LONG>(dest.right, cw), std::min<LONG>(dest.bottom, ch)};
  if (cut.left >= cut.right || cut.top >= cut.bottom) return true;
  if (PortWindowHasOpenGL(window)) return WriteThroughGl(window, dest, pixels, stride, cut);
  return WriteThroughSurface(window, dest, pixels, stride, cut, cw, ch);
}

bool PortWindowShow(HWND window) {
  if (PortWindowHasOpenGL(window)) return PortGlShowWindow(window, false);
  SDL_Window* sdl = PortGetSdlWindow(window);
  if (!sdl) return false;
  // Bars where the surface is wider or taller than the client area's shape.
  int cw = 0, ch = 0;
  SDL_Surface* surface = SDL_GetWindowSurface(sdl);
  if (surface && ClientSize(window, &cw, &ch)) {
    const SDL_Rect box = SurfaceBox(surface, cw, ch);
    const Uint32 black = SDL_MapRGB(surface->format, 0, 0, 0);
    const SDL_Rect bars[4] = {{0, 0, surface->w, box.y},
                              {0, box.y + box.h, surface->w, surface->h - box.y - box.h},
                              {0, box.y, box.x, box.h},
                              {box.x + box.w, box.y, surface->w - box.x - box.w, box.h}};
    for (const SDL_Rect& bar : bars)
      if (bar.w > 0 && bar.h > 0) SDL_FillRect(surface, &bar, black);
  }
  return SDL_UpdateWindowSurface(sdl) == 0;
}

SDL_Rect PortLetterboxRect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
    return SDL_Rect{0, 0, std::max(areaWidth, 0), std::max(areaHeight, 0)};
  int w = areaWidth, h = areaHeight;
  // Whichever side the shape fills first decides the scale; the other gets bars.
  if (int64_t{areaWidth} * pictureHeight > int64_t{areaHeight} * pictureWidth)
    w = static_cast<int>(int64_t{areaHeight} * pictureWidth / pictureHeight);
  else
    h = static_cast<int>(int64_t{areaWidth} * pictureHeight / pictureWidth);
  return SDL_Rect{(areaWidth - w) / 2, (areaHeight - h) / 2, w, h};
}

bool PortGlComposeCanvas(const PortGlCanvas& canvas, GLuint framebuffer, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const SDL_Rect box = PortLetterboxRect(canvas.width, canvas.height, width, height);
  PortGl.Disable(GL_SCISSOR_TEST);
  PortGl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
  if (box.w != width || box.h != height) {
    PortGl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    PortGl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    PortGl.Clear(GL_COLOR_BUFFER_BIT);
  }
  PortGl.BindFramebuffer(GL_READ_FRAMEBUFFER, canvas.framebuffer);
  // GL rows run from the bottom: the box's top edge is at height - box.y.
  const bool same = box.w == canvas.width && box.h == canvas.height;
  PortGl.BlitFramebuffer(0, 0, canvas.width, canvas.height, box.x, height - box.y, box.x + box.w,
                         height - box.y - box.h, GL_COLOR_BUFFER_BIT,
                         same ? GL_NEAREST : GL_LINEAR);
  return true;
}

bool PortReadWindowPixels(HWND window, int width, int height, uint32_t* out) {
  int cw = 0, ch = 0;
  if (!out || !ClientSize(window, &cw, &ch) || cw != width || ch != height) return false;
  SDL_Window* sdl = PortGetSdlWindow(window);
  if (!sdl) return false;
  if (PortWindowHasOpenGL(window)) {
    PortGlScope scope(sdl);
    if (!scope.ok()) return false;
    PortGlCanvas* canvas = PortGlWindowCanvas(window);
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(sdl, &dw, &dh);
    if (!canvas || dw != width || dh != height || !ComposeToDrawable(sdl, *canvas)) return false;
    PortGl.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    std::vector<uint32_t> rows(static_cast<size_t>(width) * height);
    PortGl.ReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < height; ++y)
      std::copy_n(&rows[static_cast<size_t>(height - 1 - y) * width], width,
                  out + static_cast<size_t>(y) * width);
    return true;
  }
  SDL_Surface* surface = SDL_GetWindowSurface(sdl);
  if (!surface || surface->w != width || surface->h != height) return false;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  int bpp = surface->format->BytesPerPixel;
  for (int y = 0; y < height; ++y) {
    const auto* row =
        static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    for (int x = 0; x < width; ++x) {
      Uint32 value = 0;
      for (int i = 0; i < bpp; ++i)
        value |= static_cast<Uint32>(row[static_cast<size_t>(x) * bpp + i]) << (8 * i);
      Uint8 r, g, b;
      SDL_GetRGB(value, surface->format, &r, &g, &b);
      out[static_cast<size_t>(y) * width + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return true;
}
