#include "runtime/graphics/screen/draw_target.h"

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"

namespace {

// tan 30 degrees as the camera takes it: at z = 0 the target's height fills the view.
constexpr float kTan30 = 0.5773502588272095f;
constexpr float kFieldOfView = 1.0471976f;

// The depth surface went with the current render target (a graph larger than the screen has
// none), so a clear of the target clears depth too only then.
bool gDepthWithTarget = false;

bool IsScreenCode(int target) { return target <= -2 && target >= -5; }

// A live graph that can be drawn into: any software graph, or a render-target set.
const GraphEntry* DrawableGraph(int target) {
  const GraphEntry* entry = GetGraphEntry(target);
  if (entry == nullptr || entry->textureSet == nullptr) return nullptr;
  return entry->textureSet->record.DrawTargetCapable ? entry : nullptr;
}

IDirect3DSurface9* ScreenSurface() {
  return SubBackBufferSurface != nullptr ? SubBackBufferSurface : BackBufferSurface;
}

IDirect3DSurface9* GraphSurface(const GraphEntry* entry) {
  const GraphTextureSet* set = entry->textureSet;
  return set->record.TextureBacked && set->tileCount > 0 ? set->tiles[0].surface : nullptr;
}

void SelectDeviceTarget(const GraphEntry* graph) {
  FlushVertexBatch();
  EndSceneIfActive();
  // A texture kept for the next draw may be the target itself: the next draw sends its own.
  if (BlendSelection.texture != nullptr || ForceStateWrite) {
    TextureDirty = 1;
    if (BlendSelection.texture != nullptr) BlendStateDirty = 1;
    BlendSelection.texture = nullptr;
  }
  int screenWidth, screenHeight;
  GetScreenSize(&screenWidth, &screenHeight);
  gDepthWithTarget =
      graph == nullptr || (graph->width <= screenWidth && graph->height <= screenHeight);
  SetDeviceRenderTarget(graph != nullptr ? GraphSurface(graph) : ScreenSurface());
  Direct3DDevice->SetDepthStencilSurface(gDepthWithTarget ? DepthSurface : nullptr);
}

void SetTargetCamera(int width, int height) {
  Matrix4 identity;
  MakeIdentityMatrix(&identity);
  SetWorldMatrix(&identity);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  Matrix4 viewport;
  MakeViewportMatrix(&viewport, w / 2, h / 2, w, h);
  SetViewportMatrix(&viewport);
  Camera.centreX = w * 0.5f;
  Camera.centreY = h * 0.5f;
  const float d = static_cast<float>(height / 2) / kTan30;
  const Vector3 eye = {w / 2, h / 2, -d};
  const Vector3 at = {w / 2, h / 2, -d + 1.0f};
  const Vector3 up = {0.0f, 1.0f, 0.0f};
  Matrix4 view;
  MakeLookAtMatrix(&view, &eye, &at, &up);
  SetViewMatrix(&view);
  Camera.projectionKind = ProjectionKindPerspective;
  Camera.fieldOfView = kFieldOfView;
  Camera.nearZ = d * 0.1f;
  Camera.farZ = d + 20000.0f;
  RefreshProjection();
}

}  // namespace

int SetDrawTarget(int target) {
  if (!GraphicsInitialised) return -1;
  WaitWhileInactive();
  const GraphEntry* graph = nullptr;
  if (!IsScreenCode(target)) {
    graph = DrawableGraph(target);
    if (graph == nullptr) return -1;
  }
  // The codes -3 and -5 render into the back buffer and are measured as it is.
  if (target != kFrontBufferTarget && IsScreenCode(target)) target = kBackBufferTarget;

  int oldWidth = 0, oldHeight = 0;
  const bool oldSize = GetDrawTargetSize(&oldWidth, &oldHeight) == 0;
  // The mask screen is switched off while the target changes and given back afterwards.
  const int useMask = ScreenHooks.getUseMaskScreen ? ScreenHooks.getUseMaskScreen() : 0;
  if (useMask && ScreenHooks.setUseMaskScreen) ScreenHooks.setUseMaskScreen(0);

  if (!HardwareRendering) {
    // What was drawn into a graph is not in its skip table, which would step over it in a
    // transparent draw: the table is made again once the graph stops being the target.
    if (GraphEntry* old = GetGraphEntry(DrawTarget); old != nullptr && old != graph)
      NoteMemImgWritten(&old->image);
    SoftDrawTarget = graph != nullptr ? const_cast<MEMIMG*>(&graph->image) : &ScreenMemImg;
  } else if (Direct3DDevice != nullptr) {
    SelectDeviceTarget(graph);
  }

  DrawTarget = target;
  if (target == kFrontBufferTarget && WindowState.mainWindow != nullptr)
    SetTimer(WindowState.mainWindow, kScreenRefreshTimerId, kScreenRefreshIntervalMs,
             &ScreenRefreshTimerProc);
  int width = 0, height = 0;
  GetDrawTargetSize(&width, &height);
  if (!oldSize || oldWidth != width || oldHeight != height)
    SetDrawClipRect(0, 0, width, height);
  else
    SetDrawClipRect(DrawArea.left, DrawArea.top, DrawArea.right, DrawArea.bottom);
  SetTargetCamera(width, height);

  if (useMask && ScreenHooks.setUseMaskScreen) ScreenHooks.setUseMaskScreen(useMask);
  return 0;
}

int ClearDrawTarget(const RECT* rect) {
  if (rect != nullptr && (rect->left < 0 || rect->top < 0)) rect = nullptr;
  GraphEntry* graph = GetGraphEntry(DrawTarget);
  if (!HardwareRendering) {
    MEMIMG* image = graph != nullptr ? &graph->image : &ScreenMemImg;
    if (!IsMemImgValid(image)) return 0;
    FillMemImgRect(image, rect,
                   MakePixelValue(image->body->format, BackgroundColor.red, BackgroundColor.green,
                                  BackgroundColor.blue, 255));
    if (graph != nullptr) NoteMemImgWritten(image);
    return 0;
  }
  if (Direct3DDevice == nullptr || Direct3DDevice->TestCooperativeLevel() != D3D_OK) return 0;
  FlushVertexBatch();
  EndSceneIfActive();
  const bool masked = ScreenHooks.maskScreenActive && ScreenHooks.maskScreenActive();
  if (masked) SetDeviceRenderTarget(DrawTargetSurface());
  int width = 0, height = 0;
  GetDrawTargetSize(&width, &height);
  SetDeviceViewportRect(0, 0, width, height);
  const D3DRECT area =
      rect != nullptr ? D3DRECT{rect->left, rect->top, rect->right, rect->bottom} : D3DRECT{};
  const DWORD count = rect != nullptr ? 1 : 0;
  Direct3DDevice->Clear(
      count, rect != nullptr ? &area : nullptr, D3DCLEAR_TARGET,
      D3DCOLOR_ARGB(0, BackgroundColor.red, BackgroundColor.green, BackgroundColor.blue), 1.0f, 0);
  if (DepthSurface != nullptr && gDepthWithTarget)
    Direct3DDevice->Clear(count, rect != nullptr ? &area : nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
  if (masked && ScreenHooks.maskScreenSurface)
    SetDeviceRenderTarget(ScreenHooks.maskScreenSurface());
  if (!DrawAreaEmpty)
    SetDeviceViewportRect(DrawArea.left, DrawArea.top, DrawArea.right, DrawArea.bottom);
  return 0;
}

IDirect3DSurface9* DrawTargetSurface() {
  const GraphEntry* graph = GetGraphEntry(DrawTarget);
  return graph != nullptr && graph->textureSet != nullptr ? GraphSurface(graph) : ScreenSurface();
}

int ClearWholeDrawTarget() { return ClearDrawTarget(nullptr); }

void CALLBACK ScreenRefreshTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = WindowState.mainWindow;
  KillTimer(window, kScreenRefreshTimerId);
  if (DrawTarget != kFrontBufferTarget) return;
  if (IsFullScreen() && HardwareRendering) CopyBackBufferToSubBackBuffer();
  PresentBackBuffer(nullptr);
  SetTimer(window, kScreenRefreshTimerId, kScreenRefreshIntervalMs, &ScreenRefreshTimerProc);
}
