#include "runtime/graphics/draw/draw_settings.h"

#include <algorithm>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/softrender/memimg.h"

namespace {

void RefreshPackedDrawColor() {
  if (HardwareRendering) PackedDrawColor = PackedDrawColorOf();
}

// The format of the screen's colour values: 5-6-5 on a 16-bit screen, else 32-bit XRGB.
const PixelFormat* ScreenColorFormat() {
  const bool shallow = GetScreenBitDepth() == 16;
  if (HardwareRendering)
    return GetPixelFormatOfD3DFormat(shallow ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8);
  return GetMemImgPixelFormat(shallow ? Rgb565 : Xrgb8888, 0, 0);
}

}  // namespace

int SetBlendMode(int mode, int parameter) {
  if (DrawSuppressed || (mode == CurrentBlendMode && parameter == BlendParam)) return 0;
  WaitWhileInactive();
  CurrentBlendMode = mode;
  BlendParam = std::clamp(parameter, 0, 255);
  RefreshPackedDrawColor();
  return 0;
}

int SetDrawBrightness(int r, int g, int b) {
  if (r == static_cast<int>((DrawBright >> 16) & 0xFF) &&
      g == static_cast<int>((DrawBright >> 8) & 0xFF) && b == static_cast<int>(DrawBright & 0xFF))
    return 0;
  DrawBright = static_cast<uint32_t>(std::clamp(r, 0, 255) << 16 | std::clamp(g, 0, 255) << 8 |
                                     std::clamp(b, 0, 255));
  RefreshPackedDrawColor();
  return 0;
}

int SetDrawBrightnessPacked(uint32_t colour) {
  if ((colour & 0xFFFFFF) == (DrawBright & 0xFFFFFF)) return 0;
  DrawBright = colour & 0xFFFFFF;
  RefreshPackedDrawColor();
  return 0;
}

uint32_t PackedDrawColorOf() {
  const uint32_t alpha = CurrentBlendMode != 0 ? static_cast<uint32_t>(BlendParam) : 255u;
  return alpha << 24 | (DrawBright & 0xFFFFFF);
}

int CheckBlendGraphSize(int graph) {
  const GraphEntry* entry = GetGraphEntry(graph);
  const GraphEntry* blend = GetGraphEntry(BlendGraphHandle);
  if (entry == nullptr || blend == nullptr || blend->width < entry->width ||
      blend->height < entry->height)
    return -1;
  return 0;
}

int SetColorKey(int r, int g, int b) {
  if (GetScreenBitDepth() == 8) return 0;
  ColorKey = static_cast<uint32_t>((r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
  return 0;
}

uint32_t MakeColorValue(int r, int g, int b) {
  return MakePixelValue(ScreenColorFormat(), r, g, b, 255);
}

int GetColorComponents(uint32_t colour, int* r, int* g, int* b) {
  SplitPixelValue(ScreenColorFormat(), colour, r, g, b, nullptr);
  return 0;
}

int SetGraphBitDepthOption(int bits) {
  GraphBitDepthOption = bits;
  return 0;
}
int GetGraphBitDepthOption() { return GraphBitDepthOption; }
int SetDrawTargetGraphOption(int flag) {
  DrawTargetGraphOption = flag;
  return 0;
}
int GetDrawTargetGraphOption() { return DrawTargetGraphOption; }
int SetAlphaTestGraphOption(int flag) {
  AlphaTestGraphOption = flag;
  return 0;
}
int GetAlphaTestGraphOption() { return AlphaTestGraphOption; }
int SetSystemMemoryCopyOption(int flag) {
  SystemMemoryCopyOption = flag;
  return 0;
}
int GetSystemMemoryCopyOption() { return SystemMemoryCopyOption; }
int SetBlankGraphAlphaOption(int flag) {
  BlankGraphAlphaOption = flag;
  return 0;
}
int GetBlankGraphAlphaOption() { return BlankGraphAlphaOption; }
int SetUseTransColor(int flag) {
  NoTransColorOption = flag == 0 ? 1 : 0;
  return 0;
}
int SetVSyncWait(int flag) {
  NoVSyncWait = flag == 0 ? 1 : 0;
  return 0;
}
int GetVSyncWait() { return NoVSyncWait == 0 ? 1 : 0; }
int GetDrawTarget() { return DrawTarget; }

int ResetDrawSettings() {
  // Every setting of the block back to zero; the vertical-blank choice, the 320 x 240
  // fall-back, DrawSuppressed and the lights are not part of it.
  DrawArea = {0, 0, 0, 0};
  CurrentBlendMode = 0;
  BlendParam = 0;
  DrawBright = 0;
  PackedDrawColor = 0;
  ColorKey = 0;
  NoTransColorOption = 0;
  GraphBitDepthOption = 0;
  DrawTargetGraphOption = 0;
  AlphaTestGraphOption = 0;
  SystemMemoryCopyOption = 0;
  BlankGraphAlphaOption = 0;
  SingleTextureGraphOption = 0;
  DrawTarget = 0;

  BlendGraphHandle = -1;
  BlendGraphBorder = 0;
  BlendGraphRange = 0;
  SoftBlendImage = nullptr;
  TextureFilterMode = 0;
  TextureMaxAnisotropy = 1;
  LightState.lightingOff = 0;

  AlphaTestGraphOption = 1;
  SetDrawBrightness(255, 255, 255);
  FogMode = 3;
  FogColor = 0xFFFFFFFFu;
  FogStart = 0.0f;
  FogEnd = 1500.0f;

  // Drawing is allowed again before the draw area is set: a suppressed SetDrawClipRect would
  // leave the area empty, and nothing would draw after the reset.
  DrawSuppressed = 0;
  DrawTarget = kBackBufferTarget;
  SetDrawTarget(kFrontBufferTarget);
  int width, height;
  GetGraphDimensions(DrawTarget, &width, &height);
  SetDrawClipRect(0, 0, width, height);
  ResetLightAndCameraDefaults();
  return 0;
}
