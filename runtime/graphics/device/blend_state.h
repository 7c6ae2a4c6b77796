// Blend-state selection: before each hardware draw PrepareDrawState brings the device into line
// with the draw settings, and ApplyBlendState picks the blend factors from BlendStateTable and
// the texture-stage set-up from StageSetupTable (or applies a caller's record). Also the blend
// graph and the caller's texture-stage override.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct MEMIMG;

// One row per blend mode 0..14: destination and source blend, stage variant, blend operation
// (-1: leave the state as it is).
struct BlendStateRow {
  int32_t destBlend;
  int32_t srcBlend;
  int32_t variant;
  int32_t blendOp;
};
inline constexpr int kBlendModeCount = 15;
extern const BlendStateRow BlendStateTable[kBlendModeCount];

// One texture stage of a set-up. texture holds a texture pointer, or a graph handle where the
// record says so; -1 in any field (the texture too) leaves that state as it is.
struct StageEntry {
  intptr_t texture;
  int32_t texCoordIndex;
  int32_t resultTemp;  // nonzero: D3DTA_TEMP, 0: D3DTA_CURRENT
  int16_t alphaArg1;
  int16_t alphaArg2;
  int16_t alphaOp;
  int16_t colorArg1;
  int16_t colorArg2;
  int16_t colorOp;
};

// A whole set-up: the caller override, and the record form of ApplyBlendState. Each header
// field -1 leaves its state.
struct TextureStageSetup {
  int32_t alphaTestEnable;
  int32_t alphaRef;
  int32_t alphaFunc;
  int32_t alphaBlendEnable;
  int32_t textureFactor;  // D3DCOLOR
  int32_t srcBlend;
  int32_t destBlend;
  int32_t blendOp;
  int32_t stageCount;
  StageEntry stages[8];
};

// One block of StageSetupTable: its stage count and the stages, the entry after the last
// counted one disabling colour and alpha.
struct StageSetupBlock {
  int32_t stageCount;
  StageEntry stages[8];
};
// Index N + 3 A + 6 C + 12 G + 24 V: N the alpha source (0 vertex alpha, 1 the texture's alpha
// channel, 2 its transparent-colour alpha), A alpha modulate, C colour modulate, G a blend
// graph is set, V the stage variant. Built from the rule on first use.
inline constexpr int kStageSetupBlockCount = 96;
const StageSetupBlock* GetStageSetupTable();

// The blend selection state the recorders of the state cache write.
struct BlendSelectionState {
  int blendMode;         // the device blend mode, 0..14 (others store but queue nothing)
  int alphaChannel;      // e: the texture's alpha channel is used
  int transparentColor;  // d: the texture's transparent colour is used
  int colorModulate;
  int alphaModulate;
  IDirect3DTexture9* texture;
  IDirect3DTexture9* blendTexture;
  int blendBorder;  // 0..255
  int blendRange;   // 0..255
  float blendTextureWidth;
  float blendTextureHeight;
  float blendTextureInvWidth;
  float blendTextureInvHeight;
};
extern BlendSelectionState BlendSelection;
extern int BlendStateDirty;
extern int TextureDirty;

// The caller's override record, whether it is active and whether it sends textures only.
extern TextureStageSetup TextureStageOverride;
extern int TextureStageOverrideActive;
extern int TextureStageOverrideTexturesOnly;

// The blend graph of the draw settings (-1 none) with its border and range (0..255), and the
// software renderer's blend image made from it.
extern int BlendGraphHandle;
extern int BlendGraphBorder;
extern int BlendGraphRange;
extern const MEMIMG* SoftBlendImage;

// The 8 x 8 white graph that untextured draws in the variant-3 modes sample (-1 until made).
extern int WhiteTextureGraph;

// Clears the blend selection and the stage shadows for a new device: no textures, stage
// arguments texture and diffuse, operations disabled, ActiveSamplerCount 0.
void ResetBlendStateCache();

// PrepareDrawState flags.
inline constexpr int kDrawUsesTransparency = 0x1;  // the draw call's transparent flag
inline constexpr int kDrawKeepAlphaTest = 0x2;     // alpha test even under bilinear filtering
inline constexpr int kDrawModulateColor = 0x20;    // the vertex colour always modulates
// Called by every hardware draw before it queues vertices. hasAlpha and alphaTest are the
// HasAlpha and AlphaTest bytes of the graph's storage record, texture its first texture (all
// 0 for untextured draws). -1 without a device.
int PrepareDrawState(int hasAlpha, int alphaTest, IDirect3DTexture9* texture, int flags);
// With a record: applies it (texture fields as graph handles when handles is 1); without one,
// the active override or the set-up chosen from the tables. 0, or -1 without a device or when
// nothing was pending.
int ApplyBlendState(int handles, const TextureStageSetup* record, int texturesOnly);
// Installs (record) or removes (null) the caller's override. 0.
int SetTextureStageOverride(const TextureStageSetup* record, int texturesOnly);
// handle -1 clears the blend graph. 0, or -1 for an invalid graph, a graph the path cannot use
// as a blend image, or no device on the hardware path.
int SetBlendGraph(int handle, int border, int range);
// After the graphs' textures were made again for a new device: the blend selection takes the
// blend graph's new texture, as the old one went with the old device. 0, -1 without a device.
int ReselectBlendGraphTexture();
