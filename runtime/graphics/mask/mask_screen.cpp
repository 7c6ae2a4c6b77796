#include "runtime/graphics/mask/mask_screen.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/geometry.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_startup.h"

namespace {

void* gMaskSlots[HandleCapacity(HandleTypeMask)];

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

// The wrap's rectangle inside the draw area and the screen, whose size the mask bytes and the
// mask screen have (a draw-target graph may be larger than the screen).
RECT ClipToMask(const RECT* rect) {
  RECT r = *rect;
  ClipRectInPlace(&r, &DrawArea);
  int width = 0, height = 0;
  GetScreenSize(&width, &height);
  const RECT screen = {0, 0, width, height};
  ClipRectInPlace(&r, &screen);
  return r;
}

// The memory image of the real target: the draw-target graph's, else the screen's.
MEMIMG* RealTargetImage() {
  GraphEntry* graph = GetGraphEntry(DrawTarget);
  return graph != nullptr ? &graph->image : &ScreenMemImg;
}

void CreateMaskTextures() {
  const D3DFORMAT colour = TextureFormatTable[TextureFormatTargetScreen];
  const D3DFORMAT alpha =
      TextureFormatTable[GetScreenBitDepth() == 32 ? TextureFormatAlpha32 : TextureFormatAlpha16];
  if (colour == D3DFMT_UNKNOWN)
    AbortWithLog("マスク描画用カラーバッファで使用できるテクスチャフォーマットがありませんでした");
  if (alpha == D3DFMT_UNKNOWN)
    AbortWithLog(
        "マスク描画用アルファチャンネルバッファで使用できるテクスチャフォーマットがありませんでし"
        "た");
  int width = 0, height = 0;
  GetScreenSize(&width, &height);
  MaskScreenState& m = MaskScreen;
  m.textureWidth = PowerOfTwoAtLeast(width);
  m.textureHeight = PowerOfTwoAtLeast(height);
  if (m.maskImageTexture == nullptr) {
    if (FAILED(Direct3DDevice->CreateTexture(m.textureWidth, m.textureHeight, 1, D3DUSAGE_DYNAMIC,
                                             alpha, D3DPOOL_DEFAULT, &m.maskImageTexture,
                                             nullptr)) ||
        m.maskImageTexture == nullptr)
      AbortWithLog("マスク用イメージテクスチャの作成に失敗しました");
    // Nothing masked until a mask is written.
    D3DLOCKED_RECT locked = {};
    if (SUCCEEDED(m.maskImageTexture->LockRect(0, &locked, nullptr, 0))) {
      const PixelFormat* format = GetPixelFormatOfD3DFormat(alpha);
      const size_t row = static_cast<size_t>(width) * (format ? format->BytesPerPixel : 4);
      for (int y = 0; y < height; ++y)
        std::memset(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch, 0,
                    row);
      m.maskImageTexture->UnlockRect(0);
    }
  }
  if (m.screenTexture == nullptr && (FAILED(Direct3DDevice->CreateTexture(
                                         m.textureWidth, m.textureHeight, 1, D3DUSAGE_RENDERTARGET,
                                         colour, D3DPOOL_DEFAULT, &m.screenTexture, nullptr)) ||
                                     m.screenTexture == nullptr))
    AbortWithLog("マスク用スクリーンテクスチャの作成に失敗しました");
  if (m.screenSurface == nullptr) m.screenTexture->GetSurfaceLevel(0, &m.screenSurface);
}

// The mask screen's pixels where the mask byte is 0 go to the real target.
void CopyThroughMask(MEMIMG* target, const RECT& r) {
  const MEMIMG& mask = MaskScreen.image;
  if (!IsMemImgValid(target) || !IsMemImgValid(&mask)) return;
  const int bytes = MemImgBytesPerPixel(target);
  if (bytes != MemImgBytesPerPixel(&mask)) return;
  const int right = std::min<int>(r.right, std::min(target->width, mask.width));
  const int bottom = std::min<int>(r.bottom, std::min(target->height, mask.height));
  for (int y = r.top; y < bottom; ++y) {
    const uint8_t* maskRow = MaskScreen.bytes + static_cast<size_t>(y) * MaskScreen.pitch;
    uint8_t* to = target->pixels + static_cast<size_t>(y) * target->body->pitch;
    const uint8_t* from = mask.pixels + static_cast<size_t>(y) * mask.body->pitch;
    for (int x = r.left; x < right; ++x)
      if (maskRow[x] == 0) std::memcpy(to + x * bytes, from + x * bytes, bytes);
  }
}

// Draws the mask screen's rectangle onto the real target through the alpha test: stage 0 takes
// the colour of the mask screen, stage 1 the alpha of the mask image, and only alpha 0 passes.
void DrawThroughMask(const RECT& r) {
  MaskScreenState& m = MaskScreen;
  FlushVertexBatch();
  SetDeviceRenderTarget(m.realTarget);
  BeginSceneIfNeeded();
  const TextureStageSetup saved = TextureStageOverride;
  const int savedActive = TextureStageOverrideActive;
  const int savedTexturesOnly = TextureStageOverrideTexturesOnly;
  SetTextureStageOverride(nullptr, 0);

  TextureStageSetup setup = {};
  setup.alphaTestEnable = 1;
  setup.alphaRef = 0;
  setup.alphaFunc = D3DCMP_EQUAL;
  setup.alphaBlendEnable = 0;
  setup.textureFactor = setup.srcBlend = setup.destBlend = setup.blendOp = -1;
  setup.stageCount = 3;
  setup.stages[0] = {reinterpret_cast<intptr_t>(m.screenTexture),
                     0,
                     0,
                     D3DTA_CURRENT,
                     -1,
                     D3DTOP_SELECTARG1,
                     D3DTA_TEXTURE,
                     -1,
                     D3DTOP_SELECTARG1};
  setup.stages[1] = {reinterpret_cast<intptr_t>(m.maskImageTexture),
                     0,
                     0,
                     D3DTA_TEXTURE,
                     -1,
                     D3DTOP_SELECTARG1,
                     D3DTA_CURRENT,
                     -1,
                     D3DTOP_SELECTARG1};
  setup.stages[2] = {-1, 0, 0, -1, -1, D3DTOP_DISABLE, -1, -1, D3DTOP_DISABLE};
  ApplyTextureStageSetup(&setup, 0, 0);

  const float tw = static_cast<float>(m.textureWidth), th = static_cast<float>(m.textureHeight);
  const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
  const float rr = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
  const ScreenVertex quad[4] = {
      {l - 0.5f, t - 0.5f, 0, 1, 0xFFFFFFFF, l / tw, t / th},
      {rr - 0.5f, t - 0.5f, 0, 1, 0xFFFFFFFF, rr / tw, t / th},
      {l - 0.5f, b - 0.5f, 0, 1, 0xFFFFFFFF, l / tw, b / th},
      {rr - 0.5f, b - 0.5f, 0, 1, 0xFFFFFFFF, rr / tw, b / th},
  };
  if (DeviceStateCache.fvf != kScreenVertexFvf) {
    Direct3DDevice->SetFVF(kScreenVertexFvf);
    DeviceStateCache.fvf = kScreenVertexFvf;
  }
  Direct3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
  EndSceneIfActive();

  SetTextureStageOverride(nullptr, 0);
  if (savedActive) SetTextureStageOverride(&saved, savedTexturesOnly);
  SetDeviceRenderTarget(m.screenSurface);
}

}  // namespace

HandleTable MaskHandles = MakeHandleTable(HandleTypeMask, gMaskSlots);
MaskScreenState MaskScreen = {};

int DeleteMaskHandle(int handle) {
  auto* record = static_cast<MaskHandleRecord*>(GetHandleRecord(&MaskHandles, handle));
  if (record == nullptr || record->inUse != 1) return -1;
  FreeTracked(record->bytes);
  return ReleaseHandle(&MaskHandles, handle);
}

int DeleteAllMaskHandles() {
  for (int slot = 0; slot < MaskHandles.endIndex; ++slot) {
    const int handle = HandleOfSlot(&MaskHandles, slot);
    if (handle != -1) DeleteMaskHandle(handle);
  }
  return 0;
}

int CreateMaskScreen(int requested) {
  if (requested == 0) return 0;
  int width = 0, height = 0;
  GetScreenSize(&width, &height);
  MaskScreenState& m = MaskScreen;
  if (m.bytes == nullptr) {
    m.pitch = (width + 3) / 4 * 4;
    m.bytes = static_cast<uint8_t*>(
        AllocTrackedZero(static_cast<size_t>(m.pitch) * height, __FILE__, __LINE__));
    // Drawing through a buffer that is not there would write anywhere.
    if (m.bytes == nullptr) AbortWithLog("マスク用バッファの確保に失敗しました");
  }
  if (!HardwareRendering) {
    if (!IsMemImgValid(&m.image)) {
      const int colorType = IsMemImgValid(&ScreenMemImg) ? ScreenMemImg.body->colorType : -1;
      if (CreateScreenMemImg(&m.image, width, height, colorType) != 0)
        AbortWithLog("マスク用 MEMIMG の作成に失敗しました");
      m.imageMade = 1;
    }
    return 0;
  }
  if (Direct3DDevice != nullptr) CreateMaskTextures();
  return 0;
}

int ReleaseMaskScreen() {
  MaskScreenState& m = MaskScreen;
  FreeTracked(m.bytes);
  m.bytes = nullptr;
  if (m.imageMade) ReleaseMemImg(&m.image);
  m.imageMade = 0;
  ReleaseAndClear(m.maskImageTexture);
  ReleaseAndClear(m.screenSurface);
  ReleaseAndClear(m.screenTexture);
  m.realTarget = nullptr;
  return 0;
}

int RecreateMaskScreen() {
  CreateMaskScreen(MaskScreen.requested);
  if (MaskScreen.use) SetUseMaskScreen(1);
  return 0;
}

int TerminateMaskScreen() {
  if (MaskScreen.use) SetUseMaskScreen(0);
  ReleaseMaskScreen();
  MaskScreen.requested = 0;
  MaskScreen.active = 0;
  return 0;
}

int SetUseMaskScreen(int flag) {
  MaskScreenState& m = MaskScreen;
  if (m.bytes == nullptr) return -1;
  m.use = flag;
  m.active = flag && m.requested ? 1 : 0;
  GraphEntry* graph = GetGraphEntry(DrawTarget);
  if (!HardwareRendering) {
    SoftDrawTarget = m.active ? &m.image : graph != nullptr ? &graph->image : &ScreenMemImg;
    return 0;
  }
  if (Direct3DDevice == nullptr) return 0;
  FlushVertexBatch();
  SetDeviceRenderTarget(m.active && m.screenSurface != nullptr ? m.screenSurface
                                                               : DrawTargetSurface());
  const int force = ForceStateWrite;
  ForceStateWrite = 1;
  SetDeviceViewportRect(DrawArea.left, DrawArea.top, DrawArea.right, DrawArea.bottom);
  ForceStateWrite = force;
  return 0;
}

int GetUseMaskScreen() { return MaskScreen.use; }

int BeginMaskedDraw(const RECT* rect) {
  MaskScreenState& m = MaskScreen;
  if (m.drawDepth++ != 0 || rect == nullptr) return 0;
  const RECT r = ClipToMask(rect);
  if (Empty(r) || !m.active) return 0;
  if (HardwareRendering) {
    if (m.screenSurface == nullptr || Direct3DDevice == nullptr) return 0;
    FlushVertexBatch();
    m.realTarget = DrawTargetSurface();
    if (m.realTarget != nullptr)
      Direct3DDevice->StretchRect(m.realTarget, &r, m.screenSurface, &r, D3DTEXF_NONE);
    return 0;
  }
  CopyMemImgRect(&m.image, RealTargetImage(), &r, r.left, r.top);
  return 0;
}

int EndMaskedDraw(const RECT* rect) {
  MaskScreenState& m = MaskScreen;
  // An unpaired end must not wrap the depth below 0.
  if (m.drawDepth == 0 || --m.drawDepth != 0 || rect == nullptr) return 0;
  const RECT r = ClipToMask(rect);
  if (Empty(r) || !m.active) return 0;
  if (HardwareRendering) {
    if (m.screenSurface != nullptr && m.realTarget != nullptr && Direct3DDevice != nullptr)
      DrawThroughMask(r);
    return 0;
  }
  CopyThroughMask(RealTargetImage(), r);
  return 0;
}

void InstallMaskScreenHooks() {
  ScreenServiceHooks& hooks = ScreenHooks;
  hooks.getUseMaskScreen = &GetUseMaskScreen;
  hooks.setUseMaskScreen = &SetUseMaskScreen;
  hooks.maskScreenActive = [] { return MaskScreen.active; };
  hooks.maskScreenSurface = [] { return MaskScreen.screenSurface; };
  hooks.releaseMaskScreen = [] { ReleaseMaskScreen(); };
  hooks.recreateMaskScreen = [] { RecreateMaskScreen(); };
  hooks.terminateMaskScreen = [] { TerminateMaskScreen(); };
  hooks.deleteAllMaskHandles = [] { DeleteAllMaskHandles(); };
}
