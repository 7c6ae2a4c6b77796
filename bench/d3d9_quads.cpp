// Frames of 2,000 textured 32 x 32 quads drawn through DrawPrimitiveUP on the port's
// Direct3D 9 device (headless OpenGL: Mesa's llvmpipe under SDL's offscreen driver), batched as
// the graphics layer batches them (389 quads a call) with alpha blending and a modulating
// stage. Reported: frames per second, and the frame's time against an empty frame (clear and
// present only) measured in the same run.
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

#include "port/win32.h"

namespace {

constexpr int kQuads = 2000;
constexpr int kQuadsPerCall = 389;
constexpr int kWidth = 640, kHeight = 480;

struct Vertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};

double Seconds() {
  LARGE_INTEGER count, rate;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&rate);
  return static_cast<double>(count.QuadPart) / static_cast<double>(rate.QuadPart);
}

struct Scene {
  HWND window = nullptr;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  IDirect3DTexture9* texture = nullptr;
  std::vector<Vertex> vertices;

  bool Make() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "D3D9QuadsBench";
    RegisterClassExA(&wc);
    window = CreateWindowExA(0, wc.lpszClassName, "quads", WS_POPUP | WS_VISIBLE, 0, 0, kWidth,
                             kHeight, nullptr, nullptr, nullptr, nullptr);
    d3d = window ? Direct3DCreate9(D3D_SDK_VERSION) : nullptr;
    if (!d3d) return false;
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = kWidth;
    pp.BackBufferHeight = kHeight;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.SwapEffect = D3DSWAPEFFECT_COPY;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    if (d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                          &device) != D3D_OK)
      return false;
    if (device->CreateTexture(32, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) !=
        D3D_OK)
      return false;
    D3DLOCKED_RECT lr;
    texture->LockRect(0, &lr, nullptr, 0);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
            ((x ^ y) & 8) ? 0xFFFFC080u : 0x80406080u;
    texture->UnlockRect(0);
    // Quads spread over the screen by a fixed linear congruential walk.
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
      seed = seed * 214013u + 2531011u;
      return static_cast<float>((seed >> 16) % static_cast<uint32_t>(range));
    };
    for (int i = 0; i < kQuads; ++i) {
      float x = next(kWidth - 32) - 0.5f, y = next(kHeight - 32) - 0.5f;
      D3DCOLOR c = 0xC0FFFFFFu;
      Vertex q[6] = {{x, y, 0.2f, 1, c, 0, 0},      {x + 32, y, 0.2f, 1, c, 1, 0},
                     {x, y + 32, 0.2f, 1, c, 0, 1}, {x + 32, y + 32, 0.2f, 1, c, 1, 1},
                     {x, y + 32, 0.2f, 1, c, 0, 1}, {x + 32, y, 0.2f, 1, c, 1, 0}};
      vertices.insert(vertices.end(), q, q + 6);
    }
    return true;
  }

  void Frame(int quads) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    for (int first = 0; first < quads; first += kQuadsPerCall) {
      int n = std::min(kQuadsPerCall, quads - first);
      device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(n * 2),
                              &vertices[static_cast<size_t>(first) * 6], sizeof(Vertex));
    }
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    // The device queues its work: reading one pixel back waits for all of it, so a frame is
    // timed whole.
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    RECT one = {0, 0, 1, 1};
    D3DLOCKED_RECT lr;
    if (back->LockRect(&lr, &one, D3DLOCK_READONLY) == D3D_OK) back->UnlockRect();
    back->Release();
  }

  ~Scene() {
    if (device) device->SetTexture(0, nullptr);
    if (texture) texture->Release();
    if (device) device->Release();
    if (d3d) d3d->Release();
    if (window) DestroyWindow(window);
  }
};

void BM_D3D9TexturedQuads(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  Scene scene;
  if (!scene.Make()) {
    state.SkipWithError("no OpenGL context (the offscreen driver needs Mesa's EGL)");
    return;
  }
  const int baselineFrames = 30;
  scene.Frame(0);
  double start = Seconds();
  for (int i = 0; i < baselineFrames; ++i) scene.Frame(0);
  double emptyFrame = (Seconds() - start) / baselineFrames;

  double loopStart = Seconds();
  for (auto _ : state) scene.Frame(kQuads);
  double frame = (Seconds() - loopStart) / static_cast<double>(state.iterations());
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["empty_frame_fps"] = 1.0 / emptyFrame;
  state.counters["frame_vs_empty_frame"] = frame / emptyFrame;
}

BENCHMARK(BM_D3D9TexturedQuads)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
