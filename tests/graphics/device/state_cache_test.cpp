// The device state cache: a setter sends only a change, flushes the pending batch before it
// does, replays everything under ForceStateWrite, and the public settings above it.
#include <functional>

#include "runtime/graphics/device/display_modes.h"
#include "tests/graphics/device/device_fixture.h"
#include "tests/support/log_capture.h"

namespace {

using StateCache = RecordedDeviceTest;

TEST_F(StateCache, EqualValuesSendNothingAndAChangeFlushesTheBatchFirst) {
  ASSERT_EQ(SetDeviceZWriteEnable(1), 0);
  ASSERT_EQ(SetDeviceZWriteEnable(1), 0);
  EXPECT_EQ(device_->Count("SetRenderState", {D3DRS_ZWRITEENABLE}), 1);

  QueueQuad();
  device_->Clear();
  ASSERT_EQ(SetDeviceZWriteEnable(0), 0);
  EXPECT_EQ(device_->Names(), (std::vector<std::string>{"BeginScene", "SetFVF", "DrawPrimitiveUP",
                                                        "SetRenderState"}));
  EXPECT_EQ(VertexBatch.count, 0);

  // The replay flag sends equal values too, each after a flush.
  device_->Clear();
  ForceStateWrite = 1;
  QueueQuad();
  ASSERT_EQ(SetDeviceZWriteEnable(0), 0);
  ForceStateWrite = 0;
  EXPECT_EQ(device_->Names(), (std::vector<std::string>{"DrawPrimitiveUP", "SetRenderState"}));
}

TEST_F(StateCache, MaterialSourcesStartUnsentSoTheFirstCallReachesTheDevice) {
  ASSERT_EQ(SetDeviceDiffuseMaterialSource(0), 0);
  ASSERT_EQ(SetDeviceSpecularMaterialSource(1), 0);
  EXPECT_EQ(LastRenderState(D3DRS_DIFFUSEMATERIALSOURCE), D3DMCS_MATERIAL);
  EXPECT_EQ(LastRenderState(D3DRS_SPECULARMATERIALSOURCE), D3DMCS_COLOR2);
}

// The setters' edge cases, each as (call, result, what the device saw).
TEST_F(StateCache, SetterEdgeCases) {
  ActiveSamplerCount = 2;
  struct Case {
    const char* what;
    std::function<int()> call;
    int result;
    std::vector<std::vector<uint64_t>> sampler;  // SetSamplerState calls expected
    int64_t cull;                                // D3DRS_CULLMODE last sent, -1 none
  } cases[] = {
      {"filter mode 3", [] { return SetDeviceFilterMode(3); }, -1, {}, -1},
      {"filter mode 1 on two samplers",
       [] { return SetDeviceFilterMode(1); },
       0,
       {{0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},
        {0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR},
        {1, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR},
        {1, D3DSAMP_MINFILTER, D3DTEXF_LINEAR}},
       -1},
      {"anisotropy 0 sends 1",
       [] { return SetDeviceMaxAnisotropy(0); },
       0,
       {{0, D3DSAMP_MAXANISOTROPY, 1}, {1, D3DSAMP_MAXANISOTROPY, 1}},
       -1},
      {"address on sampler 8",
       [] { return SetDeviceTextureAddress(D3DTADDRESS_WRAP, 8); },
       -1,
       {},
       -1},
      {"address on sampler 3",
       [] { return SetDeviceTextureAddress(D3DTADDRESS_WRAP, 3); },
       0,
       {{3, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},
        {3, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
        {3, D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP}},
       -1},
      {"cull 1 is counter-clockwise", [] { return SetDeviceCullMode(1); }, 0, {}, D3DCULL_CCW},
      {"cull 2 is clockwise", [] { return SetDeviceCullMode(2); }, 0, {}, D3DCULL_CW},
      {"cull 0 is none", [] { return SetDeviceCullMode(0); }, 0, {}, D3DCULL_NONE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    device_->Clear();
    EXPECT_EQ(c.call(), c.result);
    for (const auto& args : c.sampler) EXPECT_EQ(device_->Count("SetSamplerState", args), 1);
    EXPECT_EQ(device_->Count("SetSamplerState"), static_cast<int>(c.sampler.size()));
    EXPECT_EQ(LastRenderState(D3DRS_CULLMODE), c.cull);
  }
}

TEST_F(StateCache, ARefusedViewportIsLoggedAndKeepsTheOldShadow) {
  LogCapture log;
  ASSERT_EQ(SetDeviceViewportRect(0, 0, 640, 480), 0);
  device_->failing.insert("SetViewport");
  EXPECT_EQ(SetDeviceViewportRect(10, 10, 100, 100), -1);
  EXPECT_EQ(DeviceStateCache.viewport.X, 0u);
  EXPECT_EQ(DeviceStateCache.viewport.Width, 640u);
  EXPECT_NE(log.Contents().find("ビューポートのセットに失敗しました ErrorCode 8876086c\r\n"),
            std::string::npos);
  // Another device failure is passed on but still updates its shadow.
  device_->failing = {"SetRenderState"};
  EXPECT_EQ(SetDeviceZFunc(D3DCMP_LESS), -1);
  EXPECT_EQ(DeviceStateCache.zFunc, D3DCMP_LESS);
}

TEST_F(StateCache, WithoutADeviceTheListedSettersFailAndTheOthersDoNothing) {
  Direct3DDevice = nullptr;
  const RECT rect = {0, 0, 1, 1};
  const D3DMATERIAL9 material = {};
  const std::pair<const char*, std::function<int()>> failing[] = {
      {"filter", [] { return SetDeviceFilterMode(0); }},
      {"anisotropy", [] { return SetDeviceMaxAnisotropy(1); }},
      {"blend", [] { return SetDeviceBlendMode(1, 0, 0); }},
      {"texture", [] { return SetDeviceTexture(nullptr); }},
      {"blend texture", [] { return SetDeviceBlendTexture(nullptr, 0, 0); }},
      {"z", [] { return SetDeviceZEnable(1); }},
      {"z write", [] { return SetDeviceZWriteEnable(1); }},
      {"z func", [] { return SetDeviceZFunc(2); }},
      {"depth bias", [] { return SetDeviceDepthBias(1); }},
      {"viewport", [] { return SetDeviceViewportRect(0, 0, 1, 1); }},
      {"scissor", [&] { return SetDeviceScissorRect(&rect); }},
      {"render target", [] { return SetDeviceRenderTarget(nullptr); }},
      {"flush", [] { return FlushVertexBatch(); }},
      {"blend state", [] { return ApplyBlendState(0, nullptr, 0); }},
      {"prepare", [] { return PrepareDrawState(0, 0, nullptr, 0); }},
  };
  for (const auto& [what, call] : failing) EXPECT_EQ(call(), -1) << what;
  const std::pair<const char*, std::function<int()>> quiet[] = {
      {"cull", [] { return SetDeviceCullMode(1); }},
      {"fog", [] { return SetDeviceFogEnable(1); }},
      {"fog colour", [] { return SetDeviceFogColor(5); }},
      {"material", [&] { return SetDeviceMaterial(&material); }},
      {"ambient", [] { return SetDeviceAmbient(5); }},
      {"light enable", [] { return EnableDeviceLight(0, 1); }},
  };
  for (const auto& [what, call] : quiet) EXPECT_EQ(call(), 0) << what;
  EXPECT_EQ(DeviceStateCache.cullMode, 0);
  Direct3DDevice = device_;
  EXPECT_TRUE(device_->calls.empty());
}

TEST_F(StateCache, ConstantMirrorsRefuseWritesPastTheirEnd) {
  const float four[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  EXPECT_EQ(SetVertexShaderConstants(2, 254, &four[0][0]), 0);
  EXPECT_EQ(VertexConstantMirror[255][3], 8.0f);
  EXPECT_EQ(SetVertexShaderConstants(2, 255, &four[0][0]), -1);
  EXPECT_EQ(SetVertexShaderConstants(1, -1, &four[0][0]), -1);
  EXPECT_EQ(SetVertexShaderConstants(0x7FFFFFFF, 2, &four[0][0]), -1);
  EXPECT_EQ(SetPixelShaderConstants(1, 31, &four[1][0]), 0);
  EXPECT_EQ(PixelConstantMirror[31][0], 5.0f);
  EXPECT_EQ(SetPixelShaderConstants(2, 31, &four[0][0]), -1);
  EXPECT_EQ(PixelConstantMirror[31][0], 5.0f);
}

TEST_F(StateCache, DrawClipRectOrdersClampsAndSetsTheDevice) {
  struct Case {
    RECT asked;
    RECT area;
    int empty;
  } cases[] = {
      {{600, 400, 100, 50}, {100, 50, 600, 400}, 0},
      {{-10, -10, 700, 500}, {0, 0, 640, 480}, 0},
      {{5, 5, 5, 100}, {5, 5, 5, 100}, 1},
  };
  for (const Case& c : cases) {
    device_->Clear();
    ASSERT_EQ(SetDrawClipRect(c.asked.left, c.asked.top, c.asked.right, c.asked.bottom), 0);
    EXPECT_EQ(DrawArea.left, c.area.left);
    EXPECT_EQ(DrawArea.top, c.area.top);
    EXPECT_EQ(DrawArea.right, c.area.right);
    EXPECT_EQ(DrawArea.bottom, c.area.bottom);
    EXPECT_EQ(DrawAreaEmpty, c.empty);
    EXPECT_EQ(RequestedDrawClipRect.left, c.asked.left);
    EXPECT_EQ(device_->Count("SetScissorRect"), c.empty ? 0 : 1);
  }
  EXPECT_EQ(DeviceStateCache.viewport.X, 0u);
  EXPECT_EQ(DeviceStateCache.viewport.Width, 640u);

  // A draw target that is no graph the layer knows changes nothing.
  DrawTarget = 0x08010000;
  EXPECT_EQ(SetDrawClipRect(1, 1, 2, 2), -1);
  EXPECT_EQ(DrawArea.left, 5);
  EXPECT_EQ(RequestedDrawClipRect.left, 5);
}

TEST_F(StateCache, FilterSettingReachesTheDeviceOnlyOnTheHardwarePath) {
  ActiveSamplerCount = 1;
  ASSERT_EQ(SetTextureFilterMode(1), 0);
  EXPECT_EQ(device_->Count("SetSamplerState", {0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}), 1);
  DrawSuppressed = 1;
  ASSERT_EQ(SetTextureFilterMode(2), 0);
  EXPECT_EQ(TextureFilterMode, 1);
  DrawSuppressed = 0;
  HardwareRendering = 0;
  device_->Clear();
  ASSERT_EQ(SetTextureFilterMode(0), 0);
  EXPECT_EQ(TextureFilterMode, 0);
  EXPECT_TRUE(device_->calls.empty());
}

}  // namespace

namespace {

TEST_F(StateCache, DefaultStatesAndTheirConstants) {
  DeviceStateCache.vertexShader = reinterpret_cast<IDirect3DVertexShader9*>(0x10);
  DeviceStateCache.fvf = kScreenVertexFvf;
  SetDefaultDeviceStates();
  const int64_t indexes[4] = {0, 1, 1, 0};
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(LastStageState(s, D3DTSS_TEXCOORDINDEX), indexes[s]);
    EXPECT_EQ(LastStageState(s, D3DTSS_RESULTARG), D3DTA_CURRENT);
  }
  EXPECT_EQ(LastRenderState(D3DRS_CULLMODE), D3DCULL_NONE);
  EXPECT_EQ(LastRenderState(D3DRS_DITHERENABLE), FALSE);
  EXPECT_EQ(device_->Count("SetVertexShader", {0}), 1);
  EXPECT_EQ(device_->Count("SetPixelShader"), 0);
  EXPECT_EQ(DeviceStateCache.fvf, 0u);
  EXPECT_EQ(VertexConstantMirror[0][1], 1.0f);
  EXPECT_EQ(PixelConstantMirror[0][1], 0.5f);
}

// Fog through the public setters: stored, sent once, and mirrored into constant c10.
TEST_F(StateCache, FogSettingsReachTheDeviceAndTheConstants) {
  ASSERT_EQ(SetFogStartEnd(100.0f, 500.0f), 0);
  EXPECT_EQ(LastRenderState(D3DRS_FOGSTART), RecordingDevice::FloatArg(100.0f));
  EXPECT_EQ(LastRenderState(D3DRS_FOGEND), RecordingDevice::FloatArg(500.0f));
  EXPECT_FLOAT_EQ(VertexConstantMirror[10][0], 500.0f / 400.0f);
  EXPECT_FLOAT_EQ(VertexConstantMirror[10][1], -1.0f / 400.0f);
  ASSERT_EQ(SetFogColor(300, 128, -1), 0);
  EXPECT_EQ(LastRenderState(D3DRS_FOGCOLOR), 0xFF2C80FF);
  ASSERT_EQ(SetFogMode(D3DFOG_EXP), 0);
  EXPECT_EQ(VertexBoolConstantMirror[1], TRUE);
  EXPECT_EQ(VertexBoolConstantMirror[3], TRUE);
  device_->Clear();
  ASSERT_EQ(SetFogStartEnd(100.0f, 500.0f), 0);
  ASSERT_EQ(SetFogMode(D3DFOG_EXP), 0);
  EXPECT_TRUE(device_->calls.empty());
}

TEST_F(StateCache, DialogBoxModeEndsTheSceneFirst) {
  InScene = 1;
  ASSERT_EQ(SetDeviceDialogBoxMode(1), 0);
  EXPECT_EQ(device_->Names(), (std::vector<std::string>{"EndScene", "SetDialogBoxMode"}));
  device_->Clear();
  ASSERT_EQ(ResetDialogBoxMode(reinterpret_cast<HWND>(0x1)), 0);
  EXPECT_EQ(device_->Count("SetDialogBoxMode", {FALSE}), 1);
  EXPECT_EQ(device_->Count("SetDialogBoxMode", {TRUE}), 1);
}

}  // namespace
