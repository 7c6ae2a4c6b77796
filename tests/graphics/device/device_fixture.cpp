#include "tests/graphics/device/device_fixture.h"

#include "runtime/graphics/device/lights_camera.h"

void ResetDeviceLayer() {
  ForceStateWrite = 0;
  ResetDeviceStateCache();
  ResetBlendStateCache();
  VertexBatch = {0, BatchVertexUntextured, D3DPT_TRIANGLELIST, nullptr};
  SkipBatchDraw = 0;
  TextureStageOverrideActive = 0;
  BlendGraphHandle = -1;
  BlendGraphBorder = BlendGraphRange = 0;
  InitializeVertexBatchBuffers();
  HardwareRendering = 1;
  SubtractBlendSupported = 1;
  TempRegisterSupported = 1;
  UseProgrammableShaders = 0;
  TextureFilterMode = 0;
  TextureMaxAnisotropy = 1;
  CurrentBlendMode = 0;
  BlendParam = 0;
  DrawBright = 0xFFFFFF;
  DrawSuppressed = 0;
  DrawTarget = -2;
  ScreenMode = {640, 480, 32, 60};
  WindowState.quitSeen = 0;
  WindowState.windowModeFlag = 1;
  InScene = 0;
}

void RecordedDeviceTest::SetUp() {
  ResetDeviceLayer();
  device_ = new RecordingDevice(nullptr);
  Direct3DDevice = device_;
}

void RecordedDeviceTest::TearDown() {
  Direct3DDevice = nullptr;
  device_->Release();
  HardwareRendering = 0;
  ScreenMode = {0, 0, 0, 0};
  WindowState.windowModeFlag = 0;
}

void RecordedDeviceTest::QueueQuad() { ASSERT_NE(QueueBatchVertices(6), nullptr); }

int64_t RecordedDeviceTest::LastRenderState(D3DRENDERSTATETYPE state) const {
  // A value equal to the cache's start value is never sent: the device holds it already.
  const DeviceStateShadows& c = DeviceStateCache;
  const std::pair<D3DRENDERSTATETYPE, int64_t> held[] = {
      {D3DRS_ALPHATESTENABLE, c.alphaTestEnable},
      {D3DRS_ALPHABLENDENABLE, c.alphaBlendEnable},
      {D3DRS_ALPHAREF, c.alphaRef},
      {D3DRS_ALPHAFUNC, c.alphaFunc},
      {D3DRS_SRCBLEND, c.srcBlend},
      {D3DRS_DESTBLEND, c.destBlend},
      {D3DRS_BLENDOP, c.blendOp}};
  int64_t value = -1;
  for (const auto& [s, v] : held)
    if (s == state && v == 0) value = 0;
  for (const RecordedCall& c : device_->calls)
    if (c.name == "SetRenderState" && c.args[0] == state) value = static_cast<int64_t>(c.args[1]);
  return value;
}

int64_t RecordedDeviceTest::LastStageState(int stage, D3DTEXTURESTAGESTATETYPE type) const {
  int64_t value = -1;
  for (const RecordedCall& c : device_->calls)
    if (c.name == "SetTextureStageState" && c.args[0] == static_cast<uint64_t>(stage) &&
        c.args[1] == type)
      value = static_cast<int64_t>(c.args[2]);
  return value;
}
