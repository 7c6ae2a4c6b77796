// The game-like frame of bench/game_frame_scene.h drawn through the graphics layer: graphs made
// from the same pictures, drawn with DrawGraphAt, DrawGraphRotated, DrawGraphStretched,
// DrawBoxOutline and SetBlendMode, with the library started for real (SDL's offscreen driver).
//
// LayerFrameSoftware: the layer on the software path beside the same frame drawn straight by the
// renderer, in the same loop, drawing only. The renderer draws the graphs' own memory images
// (which carry the renderer's run tables, as every graph's does), so that the ratio shows what
// the layer adds. Counters: layer_ms and renderer_ms per frame and layer_over_renderer, their
// ratio (the goal is below 1.25: the layer adds under 25%); plain_images_ms, the renderer's
// frame with the pictures as images without run tables (bench/softrender_frame's), and
// layer_over_plain_images, the layer's frame over that one (the same goal); and
// differing_pixels, the pixels where the layer's screen and the renderer's differ by more than
// 2 levels after the first frame.
//
// LayerFrameDevice: the layer on the device (Mesa's llvmpipe), each frame cleared, drawn and
// presented with the vertical-blank wait off, beside an empty frame (clear and present) in the
// same run. Counters: fps, empty_frame_fps and frame_vs_empty_frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "bench/bench_baseline.h"
#include "bench/game_frame_renderer.h"
#include "port/win32.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/window_state.h"

namespace {

using namespace game_frame;

// The library started on a 640 x 480 x 32 window, on the device or the software renderer; ended
// with the object.
struct StartedLibrary {
  bool running = false;
  explicit StartedLibrary(bool hardware) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SetLogOutput(0);
    ChangeWindowMode(1);
    SetUseHardwareRendering(hardware ? 1 : 0);
    SetScreenMode(kWidth, kHeight, 32, 60);
    if (InitLibrary() != 0) return;
    running = HardwareRendering == (hardware ? 1 : 0);
    // The offscreen window never gets the focus, and draws wait while it is inactive.
    WindowState.active = 1;
    SetColorKey(255, 0, 255);
    SetDrawTarget(-2);
    SetVSyncWait(0);
  }
  ~StartedLibrary() { EndLibrary(); }
};

// The drawer of DrawFrame for the graphics layer.
struct LayerFrame {
  int graphs[kPictureCount] = {};
  uint32_t white = 0;

  explicit LayerFrame(const Content& content) {
    for (int i = 0; i < kPictureCount; ++i) {
      const Picture& p = content.pictures[i];
      GraphImage image = {};
      if (p.hasAlpha)
        CreateArgbGraphImage(p.width, p.height, &image);
      else
        CreateXrgbGraphImage(p.width, p.height, &image);
      // An opaque picture's fourth byte is spare: set, as the image loaders leave it.
      const uint32_t spare = p.hasAlpha ? 0 : 0xFF000000u;
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
          const uint32_t v = p.pixels[static_cast<size_t>(y) * p.width + x] | spare;
          std::memcpy(image.Pixels + y * image.Pitch + 4 * x, &v, 4);
        }
      graphs[i] = MakeGraphFromGraphImage(&image, nullptr, 1, 0, 0);
      FreeGraphImage(&image);
    }
    white = MakeColorValue(255, 255, 255);
  }
  bool Made() const {
    for (int g : graphs)
      if (g == -1) return false;
    return true;
  }

  void SetMode(int mode, int param) { SetBlendMode(mode, param); }
  void Plain(int picture, int x, int y, int transparent) {
    DrawGraphAt(x, y, graphs[picture], transparent);
  }
  void Rotated(int picture, int x, int y, float angle, float scale) {
    DrawGraphRotated(x, y, scale, angle, graphs[picture], 1, 0);
  }
  void Stretched(int picture, int x1, int y1, int x2, int y2) {
    DrawGraphStretched(x1, y1, x2, y2, graphs[picture], 1);
  }
  void BoxOutline(int x1, int y1, int x2, int y2) { DrawBoxOutline(x1, y1, x2, y2, white); }
};

// The renderer's frame with the draw state it changes put back, so that the layer's own state
// (its draw target, area, mode and brightness) is the same before each of its frames.
void DrawRendererFrame(RendererFrame& renderer, const Content& content, int frame) {
  MEMIMG* target = SoftDrawTarget;
  const RECT area = DrawArea;
  const int32_t mode = CurrentBlendMode, param = BlendParam;
  const uint32_t bright = DrawBright;
  renderer.Draw(content, frame);
  SoftDrawTarget = target;
  DrawArea = area;
  CurrentBlendMode = mode;
  BlendParam = param;
  DrawBright = bright;
}

void LayerFrameSoftware(benchmark::State& state) {
  StartedLibrary library(false);
  if (!library.running) {
    state.SkipWithError("the library did not start on the software renderer");
    return;
  }
  const Content content;
  LayerFrame layer(content);
  if (!layer.Made()) {
    state.SkipWithError("the frame's graphs could not be made");
    return;
  }
  std::vector<const MEMIMG*> graphImages;
  for (int g : layer.graphs) graphImages.push_back(&GetGraphEntry(g)->image);
  RendererFrame renderer(graphImages);
  RendererFrame plainImages(content);
  // Both draw the same frame: the pixels where their screens differ by more than 2 levels in a
  // channel are reported (the graphs' images carry the renderer's work buffers, which take
  // other pixel loops that may round the last bit differently).
  DrawFrame(content, layer, 0);
  DrawRendererFrame(renderer, content, 0);
  int differing = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t* a = ScreenMemImg.pixels + y * ScreenMemImg.body->pitch + 4 * x;
      const uint8_t* b =
          renderer.screen.image.pixels + y * renderer.screen.image.body->pitch + 4 * x;
      for (int c = 0; c < 3; ++c)
        if (std::abs(a[c] - b[c]) > 2) {
          ++differing;
          break;
        }
    }
  state.counters["differing_pixels"] = differing;

  BenchTimes times;  // work: the layer; baseline: the renderer
  double plain = 0;
  int frame = 0;
  for (auto _ : state) {
    const double t0 = BenchNowSeconds();
    DrawFrame(content, layer, frame);
    const double t1 = BenchNowSeconds();
    state.PauseTiming();
    const double t2 = BenchNowSeconds();
    DrawRendererFrame(renderer, content, frame);
    const double t3 = BenchNowSeconds();
    DrawRendererFrame(plainImages, content, frame);
    const double t4 = BenchNowSeconds();
    state.ResumeTiming();
    times.work += t1 - t0;
    times.baseline += t3 - t2;
    plain += t4 - t3;
    ++frame;
  }
  const double frames = static_cast<double>(state.iterations());
  state.counters["layer_ms"] = frames > 0 ? times.work / frames * 1e3 : 0.0;
  state.counters["renderer_ms"] = frames > 0 ? times.baseline / frames * 1e3 : 0.0;
  state.counters["plain_images_ms"] = frames > 0 ? plain / frames * 1e3 : 0.0;
  state.counters["layer_over_renderer"] = times.WorkOverBaseline();
  state.counters["layer_over_plain_images"] = plain > 0 ? times.work / plain : 0.0;
}

// Waits until the device has done everything queued: reading one pixel back needs it all.
void FinishDeviceWork() {
  RECT one = {0, 0, 1, 1};
  D3DLOCKED_RECT locked;
  if (BackBufferSurface != nullptr &&
      BackBufferSurface->LockRect(&locked, &one, D3DLOCK_READONLY) == D3D_OK)
    BackBufferSurface->UnlockRect();
}

void LayerFrameDevice(benchmark::State& state) {
  StartedLibrary library(true);
  if (!library.running) {
    state.SkipWithError("no Direct3D device (the offscreen driver needs Mesa's EGL)");
    return;
  }
  const Content content;
  LayerFrame layer(content);
  if (!layer.Made()) {
    state.SkipWithError("the frame's graphs could not be made");
    return;
  }
  const auto present = [] {
    PresentScreen();
    FinishDeviceWork();
  };
  constexpr int kEmptyFrames = 30;
  ClearWholeDrawTarget();
  present();
  double start = BenchNowSeconds();
  for (int i = 0; i < kEmptyFrames; ++i) {
    ClearWholeDrawTarget();
    present();
  }
  const double emptyFrame = (BenchNowSeconds() - start) / kEmptyFrames;

  int frame = 0;
  start = BenchNowSeconds();
  for (auto _ : state) {
    ClearWholeDrawTarget();
    DrawFrame(content, layer, frame++);
    present();
  }
  const double frameTime = (BenchNowSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["empty_frame_fps"] = 1.0 / emptyFrame;
  state.counters["frame_vs_empty_frame"] = frameTime / emptyFrame;
}

BENCHMARK(LayerFrameSoftware)->Unit(benchmark::kMillisecond);
BENCHMARK(LayerFrameDevice)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
