// The vertex batch and the blend selection, call by call on a recording device.
#include <cstring>

#include "tests/graphics/device/device_fixture.h"

namespace {

using Batch = RecordedDeviceTest;

IDirect3DTexture9* FakeTexture(uintptr_t n) { return reinterpret_cast<IDirect3DTexture9*>(n); }

TEST_F(Batch, QuadsShareOneDrawUntilTheBufferIsFull) {
  SetBatchVertexKind(BatchVertexTextured);
  for (int i = 0; i < 389; ++i) QueueQuad();
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 0);
  QueueQuad();  // 2334 + 6 is not below 2340
  ASSERT_EQ(device_->Count("DrawPrimitiveUP"), 1);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP", {D3DPT_TRIANGLELIST, 778}), 1);
  EXPECT_EQ(device_->Count("SetFVF", {kScreenVertexFvf}), 1);
  EXPECT_EQ(VertexBatch.count, 6);
  ASSERT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP", {D3DPT_TRIANGLELIST, 2}), 1);
  EXPECT_EQ(device_->Count("SetFVF"), 1);
  EXPECT_EQ(VertexBatch.cursor, reinterpret_cast<uint8_t*>(TexturedBatch));
}

TEST_F(Batch, AfterTheQuitMessageQueuedVerticesAreDropped) {
  QueueQuad();
  WindowState.quitSeen = 1;
  EXPECT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 0);
  EXPECT_EQ(VertexBatch.count, 0);
}

// Each mode's blend factors on a textured draw; modes 0 and 6 leave the factors and blend off.
TEST_F(Batch, BlendRowsPerMode) {
  struct Row {
    int mode;
    int64_t src, dest, op, enable;
  } rows[] = {
      {1, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1},
      {2, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, 1},
      {3, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 1},
      {4, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, 1},
      {0, -1, -1, -1, 0},
      {8, D3DBLEND_ZERO, D3DBLEND_ONE, D3DBLENDOP_ADD, 1},
      {6, -1, -1, -1, 0},
      {9, D3DBLEND_INVDESTCOLOR, D3DBLEND_ZERO, D3DBLENDOP_ADD, 1},
      {10, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1},
      {11, D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DBLENDOP_ADD, 1},
      {12, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD, 1},
      {13, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, 1},
      {14, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_REVSUBTRACT, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    ResetDeviceLayer();
    device_->Clear();
    CurrentBlendMode = r.mode;
    ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
    EXPECT_EQ(LastRenderState(D3DRS_ALPHABLENDENABLE), r.enable);
    if (r.src != -1) {
      EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), r.src);
      EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), r.dest);
      EXPECT_EQ(LastRenderState(D3DRS_BLENDOP), r.op);
    } else {
      EXPECT_EQ(device_->Count("SetRenderState", {D3DRS_SRCBLEND}), 0);
      EXPECT_EQ(device_->Count("SetRenderState", {D3DRS_DESTBLEND}), 0);
    }
  }
}

TEST_F(Batch, SubtractWithoutTheBlendOperationCapInvertsTheDestination) {
  SubtractBlendSupported = 0;
  CurrentBlendMode = 3;
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), D3DBLEND_INVDESTCOLOR);
  EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), D3DBLEND_ZERO);
  EXPECT_EQ(LastRenderState(D3DRS_BLENDOP), D3DBLENDOP_ADD);
}

// A transparent-colour texture in mode 0: the alpha test under point filtering, blending under
// bilinear filtering unless the draw keeps the alpha test.
TEST_F(Batch, ColourKeyUsesTheAlphaTestOrBlending) {
  struct Case {
    int filter;
    int flags;
    int64_t test, ref, func, blend;
  } cases[] = {
      {0, kDrawUsesTransparency, 1, 16, D3DCMP_GREATER, 0},
      {1, kDrawUsesTransparency, 0, -1, -1, 1},
      {1, kDrawUsesTransparency | kDrawKeepAlphaTest, 1, 16, D3DCMP_GREATER, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter * 10 + c.flags);
    ResetDeviceLayer();
    device_->Clear();
    TextureFilterMode = c.filter;
    ASSERT_EQ(PrepareDrawState(0, 1, FakeTexture(0x200), c.flags), 0);
    EXPECT_EQ(LastRenderState(D3DRS_ALPHATESTENABLE), c.test);
    EXPECT_EQ(LastRenderState(D3DRS_ALPHABLENDENABLE), c.blend);
    if (c.test) {
      EXPECT_EQ(LastRenderState(D3DRS_ALPHAREF), c.ref);
      EXPECT_EQ(LastRenderState(D3DRS_ALPHAFUNC), c.func);
    } else {
      EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
      EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    }
  }

  // A texture with an alpha channel in mode 0 blends by it even under point filtering.
  ResetDeviceLayer();
  device_->Clear();
  TextureFilterMode = 0;
  ASSERT_EQ(PrepareDrawState(1, 0, FakeTexture(0x200), kDrawUsesTransparency), 0);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHABLENDENABLE), 1);
  EXPECT_NE(LastRenderState(D3DRS_ALPHATESTENABLE), 1);
  EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
  EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
}

// A transparent draw in a mode whose blend never reads the source alpha (multiply) keeps its
// transparent texels out by the alpha test; the alpha blending modes need none.
TEST_F(Batch, BlendsBlindToAlphaTestItInstead) {
  struct Case {
    int mode, hasAlpha, alphaTest, flags;
    int64_t test;
  } cases[] = {
      {4, 0, 1, kDrawUsesTransparency, 1},  // keyed
      {4, 1, 0, kDrawUsesTransparency, 1},  // alpha channel
      {4, 0, 1, 0, 0},                      // not a transparent draw
      {1, 0, 1, kDrawUsesTransparency, 0},
      {11, 0, 1, kDrawUsesTransparency, 0},  // the stages blend towards white by the alpha
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode * 100 + c.hasAlpha * 10 + c.flags);
    ResetDeviceLayer();
    device_->Clear();
    CurrentBlendMode = c.mode;
    ASSERT_EQ(PrepareDrawState(c.hasAlpha, c.alphaTest, FakeTexture(0x200), c.flags), 0);
    EXPECT_EQ(LastRenderState(D3DRS_ALPHATESTENABLE), c.test);
    if (c.test) {
      EXPECT_EQ(LastRenderState(D3DRS_ALPHAREF), 0);
      EXPECT_EQ(LastRenderState(D3DRS_ALPHAFUNC), D3DCMP_GREATER);
    }
  }
}

TEST_F(Batch, ATextureChangeAloneSendsOnlySetTexture) {
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  QueueQuad();
  device_->Clear();
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x300), 0), 0);
  EXPECT_EQ(device_->Names(),
            (std::vector<std::string>{"BeginScene", "SetFVF", "DrawPrimitiveUP", "SetTexture"}));
  EXPECT_EQ(device_->Count("SetTexture", {0, 0x300}), 1);
  device_->Clear();
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x300), 0), 0);
  EXPECT_TRUE(device_->Names().empty());
}

TEST_F(Batch, AModeWithoutARowIsStoredButDrawsNothing) {
  CurrentBlendMode = 20;
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  EXPECT_EQ(BlendSelection.blendMode, 20);
  QueueQuad();
  ASSERT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 0);
  // Back to a real mode, drawing resumes.
  CurrentBlendMode = 1;
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  QueueQuad();
  ASSERT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 1);
}

TEST_F(Batch, ABlendGraphWithBorder255DiscardsItsQuads) {
  ASSERT_EQ(SetDeviceBlendTexture(FakeTexture(0x400), 255, 0), 0);
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  EXPECT_EQ(VertexBatch.kind, BatchVertexBlend);
  for (int i = 0; i < 300; ++i) QueueQuad();  // past one buffer's worth
  ASSERT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 0);
  EXPECT_EQ(device_->Count("SetTexture", {0, 0x400}), 1);
  EXPECT_EQ(device_->Count("SetTexture", {1, 0x100}), 1);
}

// The soft threshold of a blend graph: border 128 with range 100 uses the second band.
TEST_F(Batch, BlendGraphRangeSetsTheThreshold) {
  ASSERT_EQ(SetDeviceBlendTexture(FakeTexture(0x400), 128, 100), 0);
  CurrentBlendMode = 1;
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  // t = 768 - 768 * 128 / 255 = 383 < 512: subtract, alpha 255 - 383 * 255 / 512 = 65.
  EXPECT_EQ(LastRenderState(D3DRS_TEXTUREFACTOR), 0x41FFFFFF);
  EXPECT_EQ(LastStageState(0, D3DTSS_ALPHAOP), D3DTOP_SUBTRACT);
  EXPECT_EQ(LastStageState(1, D3DTSS_ALPHAOP), D3DTOP_MODULATE2X);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHATESTENABLE), 0);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHABLENDENABLE), 1);
}

TEST_F(Batch, TheCallersOverrideReplacesTheTablesUntilRemoved) {
  TextureStageSetup setup;
  std::memset(&setup, 0xFF, sizeof(setup));
  setup.alphaTestEnable = TRUE;
  setup.alphaRef = 99;
  setup.stageCount = 1;
  setup.stages[0] = {0x500, 0, 0, -1, -1, D3DTOP_SELECTARG1, -1, -1, D3DTOP_ADD};
  ASSERT_EQ(SetTextureStageOverride(&setup, 0), 0);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHAREF), 99);
  EXPECT_EQ(LastStageState(0, D3DTSS_COLOROP), D3DTOP_ADD);
  EXPECT_EQ(device_->Count("SetTexture", {0, 0x500}), 1);
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);
  EXPECT_EQ(LastStageState(0, D3DTSS_COLOROP), D3DTOP_ADD);
  ASSERT_EQ(SetTextureStageOverride(nullptr, 0), 0);
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x600), 0), 0);
  EXPECT_EQ(LastStageState(0, D3DTSS_COLOROP), D3DTOP_SELECTARG1);
}

// A replay into a new device sends what the current set-up leaves from the shadows: the alpha
// function and reference of an earlier keyed draw, a zero source factor, the texture factor and
// the stages of an earlier blend-graph set-up; the old device's textures are not sent on.
TEST_F(Batch, AReplayResendsTheStatesTheSetUpLeaves) {
  CurrentBlendMode = 1;
  ASSERT_EQ(SetDeviceBlendTexture(FakeTexture(0x400), 128, 100), 0);
  ASSERT_EQ(PrepareDrawState(1, 0, FakeTexture(0x100), kDrawUsesTransparency), 0);
  ASSERT_EQ(SetDeviceBlendTexture(nullptr, 0, 0), 0);
  const int32_t stage2ColorOp = DeviceStateCache.stages[2].colorOp;
  ASSERT_NE(stage2ColorOp, D3DTOP_DISABLE);
  CurrentBlendMode = 4;
  ASSERT_EQ(PrepareDrawState(0, 0, FakeTexture(0x100), 0), 0);  // source factor ZERO
  CurrentBlendMode = 0;
  ASSERT_EQ(PrepareDrawState(0, 1, FakeTexture(0x100), kDrawUsesTransparency), 0);
  ASSERT_EQ(PrepareDrawState(0, 0, nullptr, 0), 0);  // leaves the function, factors, stage 2

  device_->Clear();
  ForceStateWrite = 1;
  ASSERT_EQ(ApplyBlendState(0, nullptr, 0), 0);
  ForceStateWrite = 0;
  EXPECT_EQ(LastRenderState(D3DRS_ALPHATESTENABLE), FALSE);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHAFUNC), D3DCMP_GREATER);
  EXPECT_EQ(LastRenderState(D3DRS_ALPHAREF), 16);
  EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), D3DBLEND_ZERO);
  EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), D3DBLEND_SRCCOLOR);
  EXPECT_EQ(LastRenderState(D3DRS_TEXTUREFACTOR), 0x41FFFFFF);
  EXPECT_EQ(LastStageState(2, D3DTSS_COLOROP), stage2ColorOp);
  for (unsigned long stage = 0; stage < 3; ++stage) {
    EXPECT_EQ(device_->Count("SetTexture", {stage, 0}), 1);
  }
  EXPECT_EQ(device_->Count("SetTexture", {1, 0x100}), 0);
}

// The table follows its rule: the two stage counts without a blend graph, the terminating
// stage, and a blend-graph block worked by hand (N 1, A 1: four stages).
TEST(StageSetupTable, BlocksFollowTheRule) {
  const StageSetupBlock* table = GetStageSetupTable();
  for (int i = 0; i < kStageSetupBlockCount; ++i) {
    const StageSetupBlock& b = table[i];
    ASSERT_GE(b.stageCount, 1);
    ASSERT_LE(b.stageCount, 4);
    EXPECT_EQ(b.stages[b.stageCount].colorOp, D3DTOP_DISABLE) << i;
    EXPECT_EQ(b.stages[b.stageCount].alphaOp, D3DTOP_DISABLE) << i;
    EXPECT_EQ(b.stages[b.stageCount].texCoordIndex, -1) << i;
  }
  const StageSetupBlock& plain = table[0];
  EXPECT_EQ(plain.stageCount, 1);
  EXPECT_EQ(plain.stages[0].colorOp, D3DTOP_SELECTARG1);
  EXPECT_EQ(plain.stages[0].colorArg1, D3DTA_TEXTURE);
  EXPECT_EQ(plain.stages[0].alphaOp, D3DTOP_SELECTARG2);
  EXPECT_EQ(plain.stages[0].alphaArg2, D3DTA_DIFFUSE);
  const StageSetupBlock& variant1 = table[1 + 3 + 6 + 24];  // N 1, A 1, C 1, V 1
  EXPECT_EQ(variant1.stageCount, 2);
  EXPECT_EQ(variant1.stages[0].colorOp, D3DTOP_MODULATE);
  EXPECT_EQ(variant1.stages[0].alphaOp, D3DTOP_MODULATE);
  EXPECT_EQ(variant1.stages[1].colorOp, D3DTOP_BLENDCURRENTALPHA);
  EXPECT_EQ(variant1.stages[1].colorArg2, D3DTA_TFACTOR);
  const StageSetupBlock& graph = table[1 + 3 + 12];  // N 1, A 1, G 1
  ASSERT_EQ(graph.stageCount, 4);
  EXPECT_EQ(graph.stages[0].alphaOp, D3DTOP_ADD);
  EXPECT_EQ(graph.stages[1].alphaArg1, D3DTA_SPECULAR);
  EXPECT_EQ(graph.stages[2].alphaArg1, D3DTA_TEXTURE);
  EXPECT_EQ(graph.stages[3].texCoordIndex, 0);
  EXPECT_EQ(graph.stages[3].alphaArg1, D3DTA_DIFFUSE);
  const StageSetupBlock& complement = table[24 * 2 + 6];  // V 2, C 1
  EXPECT_EQ(complement.stages[0].colorArg1, D3DTA_TEXTURE | D3DTA_COMPLEMENT);
}

}  // namespace
