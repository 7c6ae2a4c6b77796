#include "runtime/graphics/screen/device_loss.h"

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_buffers.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/startup/library_startup.h"

namespace {

void (*RestoreCallback)() = nullptr;

template <typename Hook>
void Call(Hook hook) {
  if (hook) hook();
}

// The picture read for the graphs of one file in a row, kept while the next graph names the
// same file, load option and mirroring. A failed read is held too, so that it is reported once
// for the run of its graphs.
struct HeldPicture {
  bool held = false;
  std::string path;
  int loadOption = 0;
  int mirrored = 0;
  int status = -1;  // ReadImageFileWithAlpha's result: -1 failed, 0 with alpha image, 1 without
  GraphImage image = {};
  GraphImage alpha = {};

  bool Holds(const GraphSourceFile& file, int option) const {
    return held && path == file.path && loadOption == option && mirrored == file.mirrored;
  }
  void Free() {
    FreeGraphImage(&image);
    FreeGraphImage(&alpha);
    held = false;
  }
};

void Refill(int handle, const GraphEntry& entry, HeldPicture* held,
            std::vector<const GraphTextureSet*>* dxtSets) {
  GraphTextureSet* set = entry.textureSet;
  if (set == nullptr) return;
  const GraphImage* alpha = held->status == 0 ? &held->alpha : nullptr;
  const int useColorKey = NoTransColorOption ? 0 : 1;
  // DXT textures take only whole uploads: the set is written once, from its place in the
  // picture, by the first of its graphs.
  if (set->record.DxtKind != 0) {
    if (std::find(dxtSets->begin(), dxtSets->end(), set) != dxtSets->end()) return;
    dxtSets->push_back(set);
    const int left = entry.sourceX - entry.x, top = entry.sourceY - entry.y;
    const RECT whole = {left, top, left + set->width, top + set->height};
    UploadImageToGraph(handle, 0, nullptr, nullptr, &whole, 0, 0, 0, &held->image, alpha,
                       set->record.BlendImage, useColorKey, 1);
    return;
  }
  const RECT rect = {entry.sourceX, entry.sourceY, entry.sourceX + entry.width,
                     entry.sourceY + entry.height};
  UploadImageToGraph(handle, 0, nullptr, nullptr, &rect, 0, 0, 0, &held->image, alpha,
                     set->record.BlendImage, useColorKey, 0);
}

// Keeps the path the set-up started on: a re-creation that landed on the other path would
// leave graphs stored for one path with the state of the other.
void SetUpDeviceOnSamePath(bool hardware) {
  const int requested = SoftwareRenderingRequested;
  if (!hardware) SoftwareRenderingRequested = 1;
  SetUpGraphicsDevice();
  SoftwareRenderingRequested = requested;
  if (hardware && (!HardwareRendering || Direct3DDevice == nullptr))
    AbortWithLog("デバイスロスト後の Direct3DDevice9 の再作成に失敗しました");
}

}  // namespace

int SetRestoreCallback(void (*callback)()) {
  RestoreCallback = callback != nullptr ? callback : &RestoreGraphics;
  return 0;
}

int HasRestoreCallback() { return RestoreCallback != nullptr ? 1 : 0; }

void RestoreGraphics() {
  WriteLogText("グラフィックを復帰します\n");
  HeldPicture held;
  std::vector<const GraphTextureSet*> dxtSets;
  for (int slot = 0; slot < GraphHandles.endIndex; ++slot) {
    const int handle = HandleOfSlot(&GraphHandles, slot);
    const GraphEntry* entry = GetGraphEntry(handle);
    if (entry == nullptr || entry->sourceFile == nullptr) continue;
    const GraphSourceFile& file = *entry->sourceFile;
    if (!held.Holds(file, entry->loadOption)) {
      held.Free();
      held.held = true;
      held.path = file.path;
      held.loadOption = entry->loadOption;
      held.mirrored = file.mirrored;
      held.status = ReadImageFileWithAlpha(held.path.c_str(), nullptr, 0, 0, nullptr, 0, 0,
                                           &held.image, &held.alpha, held.mirrored);
      if (held.status < 0) LogPrintf("ファイル:%s がロードできませんでした", held.path.c_str());
    }
    if (held.status >= 0) Refill(handle, *entry, &held, &dxtSets);
  }
  held.Free();
}

int ReleaseAllDeviceResources() {
  for (int slot = 0; slot < GraphHandles.endIndex; ++slot)
    if (const GraphEntry* entry = GetGraphEntry(HandleOfSlot(&GraphHandles, slot)))
      ReleaseGraphTextures(entry->textureSet);
  ReleaseDeviceBufferObjects();
  ReleaseAllMovieSurfaces();
  return 0;
}

int ReleaseGraphicsForDisplayChange() { return RecreateGraphicsDevice(); }

int RecreateGraphicsDevice() {
  const bool running = GraphicsInitialised != 0;
  const bool hardware = HardwareRendering != 0;
  if (running) {
    if (hardware) {
      Call(ScreenHooks.releaseMaskScreen);
      ReleaseAllDeviceResources();
    }
    ReleaseGraphicsDevice();
  }
  ReleaseInputDevices();
  InitInputDevices();
  if (!running) return 0;

  SetUpDeviceOnSamePath(hardware);
  if (!hardware) return 0;
  RecreateDeviceResources();
  RecreateAllMovieSurfaces();
  // The white graph of the untextured blend modes is made again when next needed.
  if (WhiteTextureGraph != -1) {
    DeleteGraphHandle(WhiteTextureGraph);
    WhiteTextureGraph = -1;
  }
  Call(ScreenHooks.recreateMaskScreen);
  const Matrix4 view = ViewMatrix, projection = ProjectionMatrix, viewport = ViewportMatrix;
  const RECT clip = RequestedDrawClipRect;
  SetDrawTarget(DrawTarget);
  ReapplyAllDeviceStates();
  for (int i = 0; i < 2; ++i) {
    ClearDrawTarget(nullptr);
    PresentBackBuffer(nullptr);
  }
  RestoreGraphicsAfterRecreate();
  ReapplyDrawStates();
  Call(ScreenHooks.setupAllModelBaseBuffers);
  LightState.forceReapply = 1;
  SetDrawClipRect(clip.left, clip.top, clip.right, clip.bottom);
  SetWorldTransformDirect(&WorldMatrix);
  SetViewMatrix(&view);
  SetProjectionMatrix(&projection);
  SetViewportMatrix(&viewport);
  return 0;
}

void RestoreGraphicsAfterRecreate() {
  if (RestoreCallback != nullptr)
    RestoreCallback();
  else
    RestoreGraphics();
  Call(ScreenHooks.restoreModelTextures);
  Call(ScreenHooks.recreateAllFonts);
}
