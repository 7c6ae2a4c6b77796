#include "runtime/graphics/device/device_formats.h"

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"

D3DFORMAT TextureFormatTable[TextureFormatCount] = {};
D3DFORMAT ZBufferFormat = D3DFMT_UNKNOWN;

namespace {

struct FormatLayout {
  D3DFORMAT format;
  int bits;
  uint32_t red, green, blue, alpha;
};

constexpr FormatLayout kFormatLayouts[] = {
    {D3DFMT_R8G8B8, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_A8R8G8B8, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {D3DFMT_X8R8G8B8, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_R5G6B5, 16, 0xF800, 0x7E0, 0x1F, 0},
    {D3DFMT_X1R5G5B5, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {D3DFMT_A1R5G5B5, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {D3DFMT_A4R4G4B4, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {D3DFMT_R3G3B2, 8, 0xE0, 0x1C, 0x3, 0},
    {D3DFMT_A8R3G3B2, 16, 0xE0, 0x1C, 0x3, 0xFF00},
    {D3DFMT_X4R4G4B4, 16, 0xF00, 0xF0, 0xF, 0},
    {D3DFMT_A2B10G10R10, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
    {D3DFMT_A8B8G8R8, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {D3DFMT_X8B8G8R8, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {D3DFMT_A2R10G10B10, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
};
constexpr int kFormatLayoutCount = sizeof(kFormatLayouts) / sizeof(kFormatLayouts[0]);

PixelFormat gLayouts[kFormatLayoutCount];
bool gLayoutsBuilt = false;

// One format to try for a role, with the name its log line gives it.
struct Trial {
  D3DFORMAT format;
  const char* name;
};

// What a role does when none of its formats passes.
enum NoneRule { NoneFatal, NoneZero, NoneTakesEntry };

struct Role {
  int index;
  DWORD usage;
  Trial trials[3];
  const char* chosenLine;  // printf text taking the name
  NoneRule none;
  const char* noneLine;  // NoneFatal and NoneZero
  int fallbackIndex;     // NoneTakesEntry
};

const Role kPlainRoles[] = {
    {TextureFormatColor16,
     0,
     {{D3DFMT_R5G6B5, "D_D3DFMT_R5G6B5"}, {D3DFMT_X1R5G5B5, "D_D3DFMT_X1R5G5B5"}},
     "16bit カラーフォーマットは %s です",
     NoneFatal,
     "使用できる 16bit カラーフォーマットが見つかりませんでした\n",
     0},
    {TextureFormatColor32,
     0,
     {{D3DFMT_X8R8G8B8, "D_D3DFMT_X8R8G8B8"}},
     "32bit カラーフォーマットは %s です",
     NoneTakesEntry,
     nullptr,
     TextureFormatColor16},
    {TextureFormatAlpha16,
     0,
     {{D3DFMT_A4R4G4B4, "D_D3DFMT_A4R4G4B4"}, {D3DFMT_A8R8G8B8, "D_D3DFMT_A8R8G8B8"}},
     "アルファ付き 16bit カラーフォーマットは %s です",
     NoneFatal,
     "使用できるアルファ付き 16bit カラーフォーマットが見つかりませんでした\n",
     0},
    {TextureFormatAlpha32,
     0,
     {{D3DFMT_A8R8G8B8, "D_D3DFMT_A8R8G8B8"}, {D3DFMT_A4R4G4B4, "D_D3DFMT_A4R4G4B4"}},
     "アルファ付き 32bit カラーフォーマットは %s です",
     NoneFatal,
     "使用できるアルファ付き 32bit カラーフォーマットが見つかりませんでした\n",
     0},
    {TextureFormatAlphaTest16,
     0,
     {{D3DFMT_A1R5G5B5, "D_D3DFMT_A1R5G5B5"},
      {D3DFMT_A8R8G8B8, "D_D3DFMT_A8R8G8B8"},
      {D3DFMT_A4R4G4B4, "D_D3DFMT_A4R4G4B4"}},
     "アルファテスト用 16bit カラーフォーマットは %s です",
     NoneFatal,
     "使用できるアルファテスト用 16bit カラーフォーマットが見つかりませんでした\n",
     0},
    {TextureFormatAlphaTest32,
     0,
     {{D3DFMT_A8R8G8B8, "D_D3DFMT_A8R8G8B8"},
      {D3DFMT_A1R5G5B5, "D_D3DFMT_A1R5G5B5"},
      {D3DFMT_A4R4G4B4, "D_D3DFMT_A4R4G4B4"}},
     "アルファテスト用 32bit カラーフォーマットは %s です",
     NoneFatal,
     "使用できるアルファテスト用 32bit カラーフォーマットが見つかりませんでした\n",
     0},
};

struct DxtRole {
  D3DFORMAT format;
  const char* line;
  const char* name;
  int fallbackIndex;
};

const DxtRole kDxtRoles[] = {
    {D3DFMT_DXT1, "ＤＸＴ１テクスチャフォーマットは%s", " D_D3DFMT_DXT1 です",
     TextureFormatAlphaTest16},
    {D3DFMT_DXT2, "ＤＸＴ２テクスチャフォーマットは%s", " D_D3DFMT_DXT2 です",
     TextureFormatAlpha32},
    {D3DFMT_DXT3, "ＤＸＴ３テクスチャフォーマットは%s", " D_D3DFMT_DXT3 です",
     TextureFormatAlpha32},
    {D3DFMT_DXT4, "ＤＸＴ４テクスチャフォーマットは%s", " D_D3DFMT_DXT4 です",
     TextureFormatAlpha32},
    {D3DFMT_DXT5, "ＤＸＴ５テクスチャフォーマットは%s", " D_D3DFMT_DXT5 です",
     TextureFormatAlpha32},
};

bool TexturePasses(D3DFORMAT format, DWORD usage) {
  return Direct3DObject->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, ScreenFormat, usage,
                                           D3DRTYPE_TEXTURE, format) == D3D_OK;
}

// 0, or -1 after a fatal line.
int ChooseRole(const Role& role) {
  for (const Trial& trial : role.trials) {
    if (!trial.name) break;
    if (TexturePasses(trial.format, role.usage)) {
      TextureFormatTable[role.index] = trial.format;
      LogPrintf(role.chosenLine, trial.name);
      return 0;
    }
  }
  switch (role.none) {
    case NoneFatal:
      return WriteLogText(role.noneLine);
    case NoneZero:
      TextureFormatTable[role.index] = D3DFMT_UNKNOWN;
      WriteLogText(role.noneLine);
      return 0;
    case NoneTakesEntry:
      break;
  }
  // Entry 0 is always chosen first; its name follows it.
  TextureFormatTable[role.index] = TextureFormatTable[role.fallbackIndex];
  LogPrintf(role.chosenLine, TextureFormatTable[role.index] == D3DFMT_R5G6B5 ? "D_D3DFMT_R5G6B5"
                                                                             : "D_D3DFMT_X1R5G5B5");
  return 0;
}

// The draw-target roles, which depend on the screen's format.
Role DrawTargetRole16() {
  if (ScreenFormat == D3DFMT_R5G6B5)
    return {TextureFormatTarget16,
            D3DUSAGE_RENDERTARGET,
            {{D3DFMT_R5G6B5, "D3DFMT_R5G6B5"},
             {D3DFMT_X1R5G5B5, "D3DFMT_R5G5B5"},
             {D3DFMT_X8R8G8B8, "D_D3DFMT_X8R8G8B8"}},
            "描画用 16bit カラーフォーマットは %s です",
            NoneZero,
            "使用できる描画用 16bit カラーフォーマットがありませんでした\n",
            0};
  return {TextureFormatTarget16,
          D3DUSAGE_RENDERTARGET,
          {{D3DFMT_X1R5G5B5, "D_D3DFMT_R5G5B5"},
           {D3DFMT_R5G6B5, "D_D3DFMT_R5G6B5"},
           {D3DFMT_X8R8G8B8, "D_D3DFMT_X8R8G8B8"}},
          "描画用 16bit カラーフォーマットは %s です",
          NoneZero,
          "使用できる描画用 16bit カラーフォーマットがありませんでした\n",
          0};
}

const Role kTargetRoles[] = {
    {TextureFormatTarget32,
     D3DUSAGE_RENDERTARGET,
     {{D3DFMT_X8R8G8B8, "D_D3DFMT_X8R8G8B8"},
      {D3DFMT_R5G6B5, "D3DFMT_R5G6B5"},
      {D3DFMT_X1R5G5B5, "D3DFMT_R5G5B5"}},
     "描画用 32bit カラーフォーマットは %s です",
     NoneZero,
     "使用できる描画用 32bit カラーフォーマットがありませんでした\n",
     0},
    {TextureFormatTargetAlpha,
     D3DUSAGE_RENDERTARGET,
     {{D3DFMT_A8R8G8B8, "D_D3DFMT_A8R8G8B8"}, {D3DFMT_A4R4G4B4, "D3DFMT_A4R4G4B4"}},
     "描画用アルファ付き 32bit カラーフォーマットは %s です",
     NoneZero,
     "使用できる描画用アルファ付き 32bit カラーフォーマットがありませんでした\n",
     0},
};

}  // namespace

const PixelFormat* GetPixelFormatOfD3DFormat(D3DFORMAT format) {
  if (!gLayoutsBuilt) {
    for (int i = 0; i < kFormatLayoutCount; ++i) {
      const FormatLayout& l = kFormatLayouts[i];
      SetupPixelFormat(&gLayouts[i], l.bits, l.red, l.green, l.blue, l.alpha);
    }
    gLayoutsBuilt = true;
  }
  for (int i = 0; i < kFormatLayoutCount; ++i)
    if (kFormatLayouts[i].format == format) return &gLayouts[i];
  return nullptr;
}

int ChooseTextureFormats() {
  for (const Role& role : kPlainRoles)
    if (ChooseRole(role) != 0) return -1;
  for (int i = 0; i < 5; ++i) {
    const DxtRole& dxt = kDxtRoles[i];
    const bool passes = TexturePasses(dxt.format, 0);
    TextureFormatTable[TextureFormatDxt1 + i] =
        passes ? dxt.format : TextureFormatTable[dxt.fallbackIndex];
    LogPrintf(dxt.line, passes ? dxt.name : "使えません");
  }
  ChooseRole(DrawTargetRole16());
  for (const Role& role : kTargetRoles) ChooseRole(role);
  const bool screen32 = ScreenMode.bits == 32;
  TextureFormatTable[TextureFormatTargetScreen] =
      TextureFormatTable[screen32 ? TextureFormatTarget32 : TextureFormatTarget16];
  TextureFormatTable[TextureFormatAlphaTestScreen] =
      TextureFormatTable[screen32 ? TextureFormatAlphaTest32 : TextureFormatAlphaTest16];
  return 0;
}

int ChooseZBufferFormat() {
  const Trial depths[] = {
      {D3DFMT_D16, "D3DFMT_D16"}, {D3DFMT_D24X8, "D3DFMT_D24X8"}, {D3DFMT_D32, "D3DFMT_D32"}};
  for (const Trial& depth : depths) {
    if (Direct3DObject->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, ScreenFormat,
                                               ScreenFormat, depth.format) == D3D_OK) {
      ZBufferFormat = depth.format;
      LogPrintf("Ｚバッファのフォーマットは %s です", depth.name);
      return 0;
    }
  }
  ZBufferFormat = D3DFMT_UNKNOWN;
  return WriteLogText("使用できる Zバッファフォーマットが見つかりませんでした\n");
}
