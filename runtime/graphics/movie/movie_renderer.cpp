#include "runtime/graphics/movie/movie_renderer.h"

#include <cstdlib>
#include <cstring>

#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

const CLSID kMovieRendererClass = {
    0x71771540, 0x2017, 0x11CF, {0xAE, 0x26, 0x00, 0x20, 0xAF, 0xD7, 0x97, 0x67}};

namespace {

const BITMAPINFOHEADER& BitmapHeader(const AM_MEDIA_TYPE* type) {
  return reinterpret_cast<const VIDEOINFOHEADER*>(type->pbFormat)->bmiHeader;
}

}  // namespace

MovieRenderer::MovieRenderer(IUnknown* outer, HRESULT* result)
    : CBaseVideoRenderer(kMovieRendererClass, L"MovieRenderer", outer, result) {}

MovieRenderer::~MovieRenderer() { FreeTracked(frameBuffer_); }

HRESULT MovieRenderer::CheckMediaType(const AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  if (type->formattype != FORMAT_VideoInfo || !type->pbFormat ||
      type->cbFormat < sizeof(VIDEOINFOHEADER))
    return E_INVALIDARG;
  if (type->majortype != MEDIATYPE_Video || type->subtype != MEDIASUBTYPE_RGB24) return E_FAIL;
  // The size comes from the file: a frame larger than any image the loaders take is damage.
  const BITMAPINFOHEADER& b = BitmapHeader(type);
  const int64_t width = b.biWidth, height = std::llabs(static_cast<int64_t>(b.biHeight));
  if (!ImageSizeAllowed(width, height, (3 * width + 3) / 4 * 4)) return E_FAIL;
  return S_OK;
}

HRESULT MovieRenderer::SetMediaType(const AM_MEDIA_TYPE* type) {
  const BITMAPINFOHEADER& b = BitmapHeader(type);
  std::lock_guard lock(frameMutex_);
  width_ = b.biWidth;
  height_ = b.biHeight < 0 ? -b.biHeight : b.biHeight;
  bottomUp_ = b.biHeight >= 0 ? 1 : 0;
  pitch_ = (3 * width_ + 3) / 4 * 4;
  FreeTracked(frameBuffer_);
  frameBuffer_ = static_cast<uint8_t*>(
      AllocTracked(static_cast<size_t>(pitch_) * height_, __FILE__, __LINE__));
  newFrame_ = 0;
  return S_OK;
}

HRESULT MovieRenderer::DoRenderSample(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  std::lock_guard lock(frameMutex_);
  if (!frameBuffer_) return S_OK;
  BYTE* data = nullptr;
  const size_t bytes = static_cast<size_t>(pitch_) * height_;
  // A short sample would be read past its end: it is dropped.
  if (FAILED(sample->GetPointer(&data)) || !data ||
      static_cast<size_t>(sample->GetActualDataLength()) < bytes)
    return S_OK;
  if (bottomUp_) {
    for (int r = 0; r < height_; ++r)
      std::memcpy(frameBuffer_ + static_cast<size_t>(height_ - 1 - r) * pitch_,
                  data + static_cast<size_t>(r) * pitch_, static_cast<size_t>(pitch_));
  } else {
    std::memcpy(frameBuffer_, data, bytes);
  }
  newFrame_ = 1;
  return S_OK;
}

bool MovieRenderer::TakeMovieFrame(uint8_t* pixels) {
  std::lock_guard lock(frameMutex_);
  if (!newFrame_ || !frameBuffer_) return false;
  newFrame_ = 0;
  std::memcpy(pixels, frameBuffer_, static_cast<size_t>(pitch_) * height_);
  return true;
}
