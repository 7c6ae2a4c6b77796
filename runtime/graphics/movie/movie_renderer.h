// The video renderer filter that the platform's filter graph renders a movie into: it takes
// 24-bit RGB frames only, so the graph converts to them, and keeps the newest frame top-down.
// Frames arrive on the graph's streaming thread; the main thread takes them through
// TakeMovieFrame, under the renderer's lock, so a frame is never read half-written.
#pragma once

#include <cstdint>
#include <mutex>

#include "port/win32.h"

class MovieRenderer : public CBaseVideoRenderer {
 public:
  MovieRenderer(IUnknown* outer, HRESULT* result);
  // Does not free a frame buffer that was handed over: the movie owns it.
  ~MovieRenderer() override;

  HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override;
  HRESULT DoRenderSample(IMediaSample* sample) override;
  HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override;

  // The frame size of the connection (0 before it).
  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }

  // When a new frame came since the last call: copies it into `pixels` (pitch x height bytes)
  // and returns true.
  bool TakeMovieFrame(uint8_t* pixels);

 private:
  std::mutex frameMutex_;
  uint8_t* frameBuffer_ = nullptr;  // tracked block, pitch x height bytes
  int newFrame_ = 0;
  int bottomUp_ = 0;
  int width_ = 0, height_ = 0, pitch_ = 0;
};

// The renderer filter class id the renderer is made with.
extern const CLSID kMovieRendererClass;
