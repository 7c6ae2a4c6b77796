#include "runtime/graphics/device/blend_state.h"

#include <cstring>

#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"

const BlendStateRow BlendStateTable[kBlendModeCount] = {
    {-1, -1, 0, D3DBLENDOP_ADD},
    {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, 0, D3DBLENDOP_ADD},
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA, 0, D3DBLENDOP_ADD},
    {D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR, 0, D3DBLENDOP_ADD},
    {D3DBLEND_SRCCOLOR, D3DBLEND_ZERO, 0, D3DBLENDOP_ADD},
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA, 0, D3DBLENDOP_ADD},
    {-1, -1, 0, D3DBLENDOP_ADD},
    {-1, -1, 0, D3DBLENDOP_ADD},
    {D3DBLEND_ONE, D3DBLEND_ZERO, 0, D3DBLENDOP_ADD},
    {D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR, 0, D3DBLENDOP_ADD},
    {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, 2, D3DBLENDOP_ADD},
    {D3DBLEND_SRCCOLOR, D3DBLEND_ZERO, 1, D3DBLENDOP_ADD},
    {D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, 3, D3DBLENDOP_ADD},
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA, 3, D3DBLENDOP_ADD},
    {D3DBLEND_ONE, D3DBLEND_SRCALPHA, 0, D3DBLENDOP_REVSUBTRACT},
};

BlendSelectionState BlendSelection = {};
int BlendStateDirty = 0;
int TextureDirty = 0;
TextureStageSetup TextureStageOverride = {};
int TextureStageOverrideActive = 0;
int TextureStageOverrideTexturesOnly = 0;
int BlendGraphHandle = -1;
int BlendGraphBorder = 0;
int BlendGraphRange = 0;
const MEMIMG* SoftBlendImage = nullptr;
int WhiteTextureGraph = -1;

namespace {

constexpr int kSubtractMode = 3;
constexpr int kSubtractRow = 14;

// A texture-stage operation with its two arguments (-1: leave).
struct Op {
  int16_t op;
  int16_t arg1;
  int16_t arg2;
};

constexpr int16_t kTexture = D3DTA_TEXTURE;
constexpr int16_t kDiffuse = D3DTA_DIFFUSE;
constexpr int16_t kCurrent = D3DTA_CURRENT;
constexpr int16_t kFactor = D3DTA_TFACTOR;
constexpr int16_t kSpecular = D3DTA_SPECULAR;
constexpr int16_t kComplement = D3DTA_COMPLEMENT;

StageEntry Stage(int texCoord, Op color, Op alpha) {
  return {0, texCoord, 0, alpha.arg1, alpha.arg2, alpha.op, color.arg1, color.arg2, color.op};
}

// The entry after the last counted stage: colour and alpha disabled, all else left.
constexpr StageEntry kEndStage = {-1, -1, -1, -1, -1, D3DTOP_DISABLE, -1, -1, D3DTOP_DISABLE};

// The colour the graph texture gives, by stage variant and colour modulation.
Op GraphColor(int variant, int colorModulate) {
  if (variant == 3) return {D3DTOP_MODULATE4X, kTexture, kDiffuse};
  const int16_t texture = variant == 2 ? (kTexture | kComplement) : kTexture;
  return colorModulate ? Op{D3DTOP_MODULATE, texture, kDiffuse}
                       : Op{D3DTOP_SELECTARG1, texture, -1};
}

StageSetupBlock BuildBlock(int n, int a, int c, int g, int v) {
  StageSetupBlock block = {};
  StageEntry* s = block.stages;
  int count = 0;
  const Op color = GraphColor(v, c);
  const Op selectCurrent = {D3DTOP_SELECTARG1, kCurrent, -1};
  if (!g) {
    Op alpha = n == 0 ? Op{D3DTOP_SELECTARG2, -1, kDiffuse}
               : a    ? Op{D3DTOP_MODULATE, kTexture, kDiffuse}
                      : Op{D3DTOP_SELECTARG1, kTexture, -1};
    s[count++] = Stage(0, color, alpha);
    if (v == 1) s[count++] = Stage(1, {D3DTOP_BLENDCURRENTALPHA, kCurrent, kFactor}, selectCurrent);
  } else {
    s[count++] = Stage(0, {D3DTOP_SELECTARG2, -1, kDiffuse}, {D3DTOP_ADD, kTexture, kFactor});
    const Op textureAlpha = {D3DTOP_MODULATE, kTexture, kCurrent};
    const Op diffuseAlpha = {D3DTOP_MODULATE, kDiffuse, kCurrent};
    if (n == 0) {
      s[count++] = Stage(
          1, color,
          a ? Op{D3DTOP_MODULATE, kDiffuse, kCurrent} : Op{D3DTOP_MODULATE, kCurrent, kDiffuse});
    } else if (n == 2) {
      s[count++] = Stage(1, color, textureAlpha);
      if (a) s[count++] = Stage(1, selectCurrent, diffuseAlpha);
    } else {
      s[count++] = Stage(1, selectCurrent, {D3DTOP_MODULATE, kSpecular, kCurrent});
      s[count++] = Stage(1, color, textureAlpha);
      if (a) s[count++] = Stage(0, selectCurrent, diffuseAlpha);
    }
  }
  block.stageCount = count;
  s[count] = kEndStage;
  return block;
}

StageSetupBlock gStageSetupTable[kStageSetupBlockCount];
bool gStageSetupBuilt = false;

int StageSetupIndex(int n, int a, int c, int g, int v) {
  return n + 3 * a + 6 * c + 12 * g + 24 * v;
}

bool IsBlendingMode(int mode) { return mode != 0 && mode != 6; }

// Whether a textured draw of the row weighs its pixels by the source alpha: through the blend
// factors, through the stages (variant 1 blends towards the factor by it), or, without
// blending, through the alpha blend that a texture with an alpha channel is given.
bool ReadsSourceAlpha(const BlendStateRow& row, bool blending) {
  const auto alpha = [](int32_t factor) {
    return factor == D3DBLEND_SRCALPHA || factor == D3DBLEND_INVSRCALPHA;
  };
  return !blending || row.variant == 1 || alpha(row.srcBlend) || alpha(row.destBlend);
}

// Whether a state goes out, and with what value. -1 leaves the state, except in a replay into
// a new device (ForceStateWrite): that device starts from its own defaults, so the shadow's
// value goes out again, unless it is a 0 that stands for "never sent" (zeroIsAValue false).
bool TakeValue(const int32_t* shadow, int32_t* value, bool zeroIsAValue) {
  if (*value == -1) {
    if (!ForceStateWrite || (*shadow == 0 && !zeroIsAValue)) return false;
    *value = *shadow;
    return true;
  }
  return ForceStateWrite || *shadow != *value;
}

// No compare function or blend factor is 0, and the new device starts with a reference of 0
// and both enables off: a 0 header shadow needs no replay.
void SendHeaderState(int32_t* shadow, int32_t value, D3DRENDERSTATETYPE state) {
  if (!TakeValue(shadow, &value, false)) return;
  FlushVertexBatch();
  *shadow = value;
  Direct3DDevice->SetRenderState(state, static_cast<DWORD>(value));
}

void SendStageState(int stage, int32_t* shadow, int32_t value, D3DTEXTURESTAGESTATETYPE type,
                    bool zeroIsAValue) {
  if (!TakeValue(shadow, &value, zeroIsAValue)) return;
  FlushVertexBatch();
  *shadow = value;
  Direct3DDevice->SetTextureStageState(static_cast<DWORD>(stage), type, static_cast<DWORD>(value));
}

void SendStageTexture(int stage, IDirect3DBaseTexture9* texture) {
  StageStateShadow& shadow = DeviceStateCache.stages[stage];
  if (!ForceStateWrite && shadow.texture == texture) return;
  FlushVertexBatch();
  shadow.texture = texture;
  Direct3DDevice->SetTexture(static_cast<DWORD>(stage), texture);
}

// Every field left: what a replay sends for the stages a set-up does not reach.
constexpr StageEntry kLeftStage = {-1, -1, -1, -1, -1, -1, -1, -1, -1};

IDirect3DBaseTexture9* EntryTexture(intptr_t field, int handles) {
  if (!handles) return reinterpret_cast<IDirect3DBaseTexture9*>(field);
  IDirect3DTexture9* texture = DeviceGraphHooks.graphTexture
                                   ? DeviceGraphHooks.graphTexture(static_cast<int>(field))
                                   : nullptr;
  return texture;
}

// Sends a whole set-up. factorSet: the texture factor is a value to send (white is -1),
// rather than -1 meaning leave it.
void SendSetup(const TextureStageSetup& setup, int stageCount, int handles, int texturesOnly,
               bool factorSet) {
  DeviceStateShadows& cache = DeviceStateCache;
  SendHeaderState(&cache.alphaFunc, setup.alphaFunc, D3DRS_ALPHAFUNC);
  SendHeaderState(&cache.alphaRef, setup.alphaRef, D3DRS_ALPHAREF);
  SendHeaderState(&cache.alphaTestEnable, setup.alphaTestEnable, D3DRS_ALPHATESTENABLE);
  SendHeaderState(&cache.alphaBlendEnable, setup.alphaBlendEnable, D3DRS_ALPHABLENDENABLE);
  if (factorSet || setup.textureFactor != -1 || ForceStateWrite) {
    const uint32_t factor = factorSet || setup.textureFactor != -1
                                ? static_cast<uint32_t>(setup.textureFactor)
                                : cache.textureFactor;
    if (ForceStateWrite || cache.textureFactor != factor) {
      FlushVertexBatch();
      cache.textureFactor = factor;
      Direct3DDevice->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
      if (!CallerShaderConstantsActive) {
        const float c5[4] = {static_cast<float>(factor & 0xFF) / 255.0f,
                             static_cast<float>((factor >> 8) & 0xFF) / 255.0f,
                             static_cast<float>((factor >> 16) & 0xFF) / 255.0f,
                             static_cast<float>(factor >> 24) / 255.0f};
        SetPixelShaderConstants(1, 5, c5);
      }
    }
  }
  SendHeaderState(&cache.srcBlend, setup.srcBlend, D3DRS_SRCBLEND);
  SendHeaderState(&cache.destBlend, setup.destBlend, D3DRS_DESTBLEND);
  SendHeaderState(&cache.blendOp, setup.blendOp, D3DRS_BLENDOP);
  // A replay goes on through all eight stages, so that every stage shadow reaches the device.
  const int count = stageCount < kDeviceStageCount ? stageCount : kDeviceStageCount;
  bool past = false;
  for (int i = 0; i < kDeviceStageCount; ++i) {
    past = past || i >= count ||
           (!texturesOnly && i >= 2 && setup.stages[i - 1].alphaOp == D3DTOP_DISABLE);
    if (past && !ForceStateWrite) break;
    StageEntry entry = past ? kLeftStage : setup.stages[i];
    if (texturesOnly) {
      const StageEntry kept = entry;
      entry = kLeftStage;
      entry.texture = kept.texture;
      entry.texCoordIndex = kept.texCoordIndex;
    }
    StageStateShadow& shadow = cache.stages[i];
    if (entry.texture != -1)
      SendStageTexture(i, EntryTexture(entry.texture, handles));
    else if (ForceStateWrite)
      SendStageTexture(i, nullptr);  // the shadow's texture may belong to the device replaced
    SendStageState(i, &shadow.texCoordIndex, entry.texCoordIndex, D3DTSS_TEXCOORDINDEX, true);
    if (TempRegisterSupported) {
      const int32_t result = entry.resultTemp == -1 ? -1
                             : entry.resultTemp     ? static_cast<int32_t>(D3DTA_TEMP)
                                                    : static_cast<int32_t>(D3DTA_CURRENT);
      SendStageState(i, &shadow.resultTemp, result, D3DTSS_RESULTARG, false);
    }
    SendStageState(i, &shadow.alphaOp, entry.alphaOp, D3DTSS_ALPHAOP, false);
    SendStageState(i, &shadow.alphaArg1, entry.alphaArg1, D3DTSS_ALPHAARG1, true);
    SendStageState(i, &shadow.alphaArg2, entry.alphaArg2, D3DTSS_ALPHAARG2, true);
    SendStageState(i, &shadow.colorOp, entry.colorOp, D3DTSS_COLOROP, false);
    SendStageState(i, &shadow.colorArg1, entry.colorArg1, D3DTSS_COLORARG1, true);
    SendStageState(i, &shadow.colorArg2, entry.colorArg2, D3DTSS_COLORARG2, true);
  }
}

// Raises ActiveSamplerCount's filters to a new stage count.
void UseStageCount(int count) {
  if (count == ActiveSamplerCount) return;
  ActiveSamplerCount = count;
  const int force = ForceStateWrite;
  ForceStateWrite = 1;
  SetDeviceFilterMode(TextureFilterMode);
  SetDeviceMaxAnisotropy(TextureMaxAnisotropy);
  ForceStateWrite = force;
}

IDirect3DTexture9* WhiteTexture() {
  // A white graph deleted with every graph is made again.
  if (WhiteTextureGraph != -1 && DeviceGraphHooks.graphSize &&
      DeviceGraphHooks.graphSize(WhiteTextureGraph, nullptr, nullptr) != 0)
    WhiteTextureGraph = -1;
  if (WhiteTextureGraph == -1 && DeviceGraphHooks.createWhiteTextureGraph)
    WhiteTextureGraph = DeviceGraphHooks.createWhiteTextureGraph();
  if (WhiteTextureGraph == -1 || !DeviceGraphHooks.graphTexture) return nullptr;
  return DeviceGraphHooks.graphTexture(WhiteTextureGraph);
}

intptr_t AsField(IDirect3DTexture9* texture) { return reinterpret_cast<intptr_t>(texture); }

// The set-up chosen from the tables for the current selection (steps of the table path).
void ApplyTableSetup() {
  const BlendSelectionState& sel = BlendSelection;
  const int mode = sel.blendMode;
  BlendStateRow row = BlendStateTable[mode];
  const bool subtractNative = mode == kSubtractMode && SubtractBlendSupported;
  if (subtractNative) row = BlendStateTable[kSubtractRow];
  const bool blending = IsBlendingMode(mode);
  const int e = sel.alphaChannel, d = sel.transparentColor;
  const bool zEnabled = DeviceStateCache.zEnable == 1;

  TextureStageSetup setup = {};
  setup.alphaRef = -1;
  setup.alphaFunc = -1;
  setup.destBlend = row.destBlend;
  setup.srcBlend = row.srcBlend;
  setup.blendOp = row.blendOp;
  setup.textureFactor = -1;
  bool factorSet = false;
  int stageCount;

  if (!sel.texture) {
    SkipBatchDraw = 0;
    SetBatchVertexKind(BatchVertexUntextured);
    const Op diffuseAlpha = {D3DTOP_SELECTARG2, -1, kDiffuse};
    Op color;
    IDirect3DTexture9* texture = nullptr;
    if (mode == kSubtractMode && !SubtractBlendSupported) {
      color = {D3DTOP_SELECTARG1, kDiffuse, -1};
    } else {
      switch (row.variant) {
        case 1:
          color = {D3DTOP_BLENDDIFFUSEALPHA, kDiffuse, kFactor};
          factorSet = true;
          break;
        case 2:
          color = {D3DTOP_SELECTARG1, static_cast<int16_t>(kDiffuse | kComplement), -1};
          break;
        case 3:
          color = {D3DTOP_MODULATE4X, kDiffuse, kTexture};
          texture = WhiteTexture();
          break;
        default:
          color = {D3DTOP_SELECTARG2, -1, kDiffuse};
          break;
      }
    }
    setup.stages[0] = Stage(0, color, diffuseAlpha);
    setup.stages[0].texture = AsField(texture);
    setup.stages[1] = kEndStage;
    stageCount = 1;
    setup.alphaTestEnable = FALSE;
    setup.alphaBlendEnable = blending ? TRUE : FALSE;
  } else {
    const int n = (!e && !d && (!zEnabled || sel.blendTexture)) ? 0 : e ? 1 : 2;
    const int a = sel.alphaModulate, c = sel.colorModulate;
    if (!sel.blendTexture) {
      SkipBatchDraw = 0;
      SetBatchVertexKind(BatchVertexTextured);
      const StageSetupBlock& block = GetStageSetupTable()[StageSetupIndex(n, a, c, 0, row.variant)];
      std::memcpy(setup.stages, block.stages, sizeof(setup.stages));
      stageCount = block.stageCount;
      setup.stages[0].texture = AsField(sel.texture);
      if (d) {
        setup.alphaTestEnable = TRUE;
        setup.alphaRef = 16;
        setup.alphaFunc = D3DCMP_GREATER;
      } else if (zEnabled || (e && !ReadsSourceAlpha(row, blending))) {
        // A blend that never looks at the source alpha (multiply, invert) would draw the
        // transparent texels too: the alpha test keeps them out.
        setup.alphaTestEnable = TRUE;
        setup.alphaRef = 0;
        setup.alphaFunc = D3DCMP_GREATER;
      } else {
        setup.alphaTestEnable = FALSE;
      }
      if (e && !blending) {
        setup.srcBlend = D3DBLEND_SRCALPHA;
        setup.destBlend = D3DBLEND_INVSRCALPHA;
      }
      setup.alphaBlendEnable = (e || blending) ? TRUE : FALSE;
      factorSet = row.variant == 1;
    } else {
      SetBatchVertexKind(BatchVertexBlend);
      const int variant = (CurrentBlendMode == 12 || CurrentBlendMode == 13) ? 3 : 0;
      const StageSetupBlock& block = GetStageSetupTable()[StageSetupIndex(n, a, c, 1, variant)];
      std::memcpy(setup.stages, block.stages, sizeof(setup.stages));
      stageCount = block.stageCount;
      if (!blending) {
        setup.srcBlend = D3DBLEND_SRCALPHA;
        setup.destBlend = D3DBLEND_INVSRCALPHA;
      }
      SkipBatchDraw = sel.blendBorder == 255 ? 1 : 0;
      setup.stages[0].texture = AsField(sel.blendTexture);
      if (e) {
        setup.stages[1].texture = 0;
        setup.stages[2].texture = AsField(sel.texture);
      } else {
        setup.stages[1].texture = AsField(sel.texture);
      }
      const int border = sel.blendBorder, range = sel.blendRange;
      factorSet = true;
      if (range <= 1) {
        setup.alphaTestEnable = TRUE;
        setup.alphaFunc = D3DCMP_GREATEREQUAL;
        setup.alphaRef = (border == 0 && (e || d)) ? 1 : border;
        setup.alphaBlendEnable = FALSE;
        setup.textureFactor = 0x00FFFFFF;
      } else {
        setup.alphaTestEnable = FALSE;
        setup.alphaBlendEnable = TRUE;
        int top, scale, threshold;
        int16_t stage1Op;
        if (range <= 64) {
          top = 1280, scale = 64, threshold = 1024, stage1Op = D3DTOP_MODULATE4X;
        } else if (range <= 128) {
          top = 768, scale = 128, threshold = 512, stage1Op = D3DTOP_MODULATE2X;
        } else {
          top = 512, scale = 255, threshold = 256, stage1Op = D3DTOP_MODULATE;
        }
        const int t = top - top * border / 255;
        int factorAlpha;
        if (t < threshold) {
          setup.stages[0].alphaOp = D3DTOP_SUBTRACT;
          factorAlpha = 255 - t * 255 / threshold;
        } else {
          factorAlpha = (t - threshold) * scale / 256;
        }
        setup.textureFactor =
            static_cast<int32_t>(static_cast<uint32_t>(factorAlpha) << 24 | 0xFFFFFFu);
        setup.stages[1].alphaOp = stage1Op;
      }
    }
  }

  UseStageCount(stageCount);
  const int sendCount = stageCount < kDeviceStageCount ? stageCount + 1 : kDeviceStageCount;
  if (factorSet && setup.textureFactor == -1)
    setup.textureFactor = static_cast<int32_t>(0xFFFFFFFFu);
  SendSetup(setup, sendCount, 0, 0, factorSet);
}

}  // namespace

const StageSetupBlock* GetStageSetupTable() {
  if (!gStageSetupBuilt) {
    for (int v = 0; v < 4; ++v)
      for (int g = 0; g < 2; ++g)
        for (int c = 0; c < 2; ++c)
          for (int a = 0; a < 2; ++a)
            for (int n = 0; n < 3; ++n)
              gStageSetupTable[StageSetupIndex(n, a, c, g, v)] = BuildBlock(n, a, c, g, v);
    gStageSetupBuilt = true;
  }
  return gStageSetupTable;
}

void ResetBlendStateCache() {
  BlendSelection = {};
  BlendStateDirty = 0;
  TextureDirty = 0;
  ActiveSamplerCount = 0;
  DeviceStateCache.alphaFunc = 0;
  DeviceStateCache.alphaRef = 0;
  DeviceStateCache.alphaTestEnable = 0;
  DeviceStateCache.alphaBlendEnable = 0;
  DeviceStateCache.textureFactor = 0xFFFFFFFFu;  // as a new device starts
  DeviceStateCache.srcBlend = 0;
  DeviceStateCache.destBlend = 0;
  DeviceStateCache.blendOp = 0;
  for (StageStateShadow& stage : DeviceStateCache.stages) {
    stage.texture = nullptr;
    stage.colorArg1 = stage.alphaArg1 = D3DTA_TEXTURE;
    stage.colorArg2 = stage.alphaArg2 = D3DTA_DIFFUSE;
    stage.colorOp = stage.alphaOp = D3DTOP_DISABLE;
  }
}

int ApplyBlendState(int handles, const TextureStageSetup* record, int texturesOnly) {
  if (!Direct3DDevice) return -1;
  if (record || TextureStageOverrideActive) {
    const TextureStageSetup& setup = record ? *record : TextureStageOverride;
    const int only = record ? texturesOnly : TextureStageOverrideTexturesOnly;
    SendSetup(setup, setup.stageCount, record ? handles : 0, only, false);
    if (!record) BlendStateDirty = TextureDirty = 0;
    return 0;
  }
  const BlendSelectionState& sel = BlendSelection;
  if (!ForceStateWrite && !BlendStateDirty) {
    if (!TextureDirty) return -1;
    const int stage = !sel.blendTexture ? 0 : sel.alphaChannel ? 2 : 1;
    SendStageTexture(stage, sel.texture);
    TextureDirty = 0;
    return 0;
  }
  FlushVertexBatch();
  BlendStateDirty = TextureDirty = 0;
  if (sel.blendMode < 0 || sel.blendMode >= kBlendModeCount) {
    // No row for this mode: the software renderer draws nothing for it, and neither do we.
    SkipBatchDraw = 1;
    return 0;
  }
  ApplyTableSetup();
  return 0;
}

int SetTextureStageOverride(const TextureStageSetup* record, int texturesOnly) {
  FlushVertexBatch();
  if (!record) {
    // The device holds the override's set-up: the next draw must send its own again.
    if (TextureStageOverrideActive) BlendStateDirty = 1;
    TextureStageOverrideActive = 0;
    return 0;
  }
  TextureStageOverride = *record;
  TextureStageOverrideActive = 1;
  TextureStageOverrideTexturesOnly = texturesOnly;
  BlendStateDirty = TextureDirty = 1;
  ApplyBlendState(0, nullptr, 0);
  return 0;
}

int PrepareDrawState(int hasAlpha, int alphaTest, IDirect3DTexture9* texture, int flags) {
  if (!Direct3DDevice) return -1;
  DeviceStateShadows& cache = DeviceStateCache;
  if (cache.vertexShader) {
    FlushVertexBatch();
    Direct3DDevice->SetVertexShader(nullptr);
    cache.vertexShader = nullptr;
    cache.fvf = 0;
  }
  if (cache.pixelShader) {
    FlushVertexBatch();
    Direct3DDevice->SetPixelShader(nullptr);
    cache.pixelShader = nullptr;
  }
  SetDeviceLighting(0);
  SetDeviceSpecularEnable(0);
  SetDeviceZEnable(0);
  SetDeviceFogEnable(0);
  SetDeviceFillMode(D3DFILL_SOLID);

  const int mode = CurrentBlendMode;
  int e = 0, d = 0;
  if (texture && (flags & kDrawUsesTransparency) && (alphaTest || hasAlpha)) {
    if ((mode != 0 && mode != 8) || (!(flags & kDrawKeepAlphaTest) && TextureFilterMode == 1)) {
      e = 1;
    } else {
      e = hasAlpha ? 1 : 0;
      d = alphaTest ? 1 : 0;
    }
  }
  const int colorModulate = ((flags & kDrawModulateColor) || (DrawBright & 0xFFFFFF) != 0xFFFFFF);
  const int alphaModulate = mode != 0 ? 1 : 0;
  if (colorModulate != BlendSelection.colorModulate ||
      alphaModulate != BlendSelection.alphaModulate) {
    FlushVertexBatch();
    BlendSelection.colorModulate = colorModulate;
    BlendSelection.alphaModulate = alphaModulate;
    BlendStateDirty = 1;
  }
  SetDeviceTexture(texture);
  SetDeviceBlendMode(mode, e, d);
  if (BlendStateDirty || TextureDirty) ApplyBlendState(1, nullptr, 0);

  SetDeviceShadeMode(D3DSHADE_FLAT);
  SetDeviceFilterMode(TextureFilterMode);
  SetDeviceMaxAnisotropy(1);
  SetDeviceCullMode(0);
  for (int s = 0; s < 4; ++s) {
    const SamplerStateShadow& sampler = cache.samplers[s];
    if (sampler.addressU != D3DTADDRESS_CLAMP || sampler.addressV != D3DTADDRESS_CLAMP)
      SetDeviceTextureAddress(D3DTADDRESS_CLAMP, s);
  }
  return 0;
}

int SetBlendGraph(int handle, int border, int range) {
  if (DrawSuppressed) return 0;
  if (handle == BlendGraphHandle && border == BlendGraphBorder && range == BlendGraphRange)
    return 0;
  BlendGraphSource source = {};
  if (handle != -1 && (!DeviceGraphHooks.blendGraphSource ||
                       DeviceGraphHooks.blendGraphSource(handle, &source) != 0))
    return -1;
  WaitWhileInactive();
  border = border < 0 ? 0 : border > 255 ? 255 : border;
  range = range < 0 ? 0 : range > 255 ? 255 : range;
  if (HardwareRendering) {
    if (!Direct3DDevice) return -1;
    if (handle != -1 && !source.texture) return -1;
  } else if (handle != -1 && (source.colorImage || !source.image || !source.image->body ||
                              source.image->body->colorType != Single8)) {
    // The renderer reads a blend image as one 8-bit channel; a colour image would make every
    // draw silently draw nothing.
    return -1;
  }
  BlendGraphHandle = handle;
  BlendGraphBorder = border;
  BlendGraphRange = range;
  if (HardwareRendering) {
    SetDeviceBlendTexture(source.texture, border, range);
    const float w = static_cast<float>(source.textureWidth),
                h = static_cast<float>(source.textureHeight);
    BlendSelection.blendTextureWidth = w;
    BlendSelection.blendTextureHeight = h;
    BlendSelection.blendTextureInvWidth = w > 0 ? 1.0f / w : 0.0f;
    BlendSelection.blendTextureInvHeight = h > 0 ? 1.0f / h : 0.0f;
  } else {
    SoftBlendImage = source.image;
    BuildBlendImageRamp(border, range);
  }
  return 0;
}

int ReselectBlendGraphTexture() {
  if (!Direct3DDevice) return -1;
  BlendGraphSource source = {};
  if (BlendGraphHandle == -1 || !DeviceGraphHooks.blendGraphSource ||
      DeviceGraphHooks.blendGraphSource(BlendGraphHandle, &source) != 0)
    source.texture = nullptr;
  return SetDeviceBlendTexture(source.texture, -1, -1);
}
