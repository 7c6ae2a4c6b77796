// The blend graph on both paths through a stand-in for the graph layer, and the
// programmable-shader set-up with a pack that holds the library's two slots.
#include <cstring>

#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/shader_pack.h"
#include "runtime/softrender/memimg.h"
#include "runtime/softrender/memimg_tables.h"
#include "tests/graphics/device/device_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/lib/shader_pack_writer.h"

namespace {

constexpr int kTextureGraph = 0x08000001;
constexpr int kImageGraph = 0x08000002;
constexpr int kColourGraph = 0x08000003;

MEMIMG gSingle8 = {};
MEMIMG gColour = {};

// Three graphs: one with a 64 x 32 texture, one with an 8-bit image, one with a colour image.
int Source(int handle, BlendGraphSource* out) {
  *out = {};
  if (handle == kTextureGraph) {
    out->texture = reinterpret_cast<IDirect3DTexture9*>(0x700);
    out->textureWidth = 64;
    out->textureHeight = 32;
  } else if (handle == kImageGraph) {
    out->image = &gSingle8;
  } else if (handle == kColourGraph) {
    out->image = &gColour;
  } else {
    return -1;
  }
  return 0;
}

class BlendGraph : public RecordedDeviceTest {
 protected:
  void SetUp() override {
    RecordedDeviceTest::SetUp();
    ASSERT_EQ(CreateMemImg(&gSingle8, 16, 16, -1, 0, Single8, 0, 0, 0, nullptr), 0);
    ASSERT_EQ(CreateMemImg(&gColour, 16, 16, -1, 0, Xrgb8888, 0, 0, 0, nullptr), 0);
    DeviceGraphHooks.blendGraphSource = &Source;
  }
  void TearDown() override {
    DeviceGraphHooks = {};
    ReleaseMemImg(&gSingle8);
    ReleaseMemImg(&gColour);
    SoftBlendImage = nullptr;
    RecordedDeviceTest::TearDown();
  }
};

TEST_F(BlendGraph, HardwarePathTakesTextureBackedGraphsOnly) {
  ASSERT_EQ(SetBlendGraph(kTextureGraph, 300, -5), 0);
  EXPECT_EQ(BlendGraphHandle, kTextureGraph);
  EXPECT_EQ(BlendGraphBorder, 255);
  EXPECT_EQ(BlendGraphRange, 0);
  EXPECT_EQ(BlendSelection.blendTexture, reinterpret_cast<IDirect3DTexture9*>(0x700));
  EXPECT_EQ(BlendSelection.blendTextureInvWidth, 1.0f / 64);
  EXPECT_EQ(BlendSelection.blendTextureHeight, 32.0f);
  EXPECT_EQ(BlendStateDirty, 1);

  for (int refused : {kImageGraph, 0x08000009, 0x10000001})
    EXPECT_EQ(SetBlendGraph(refused, 10, 10), -1) << std::hex << refused;
  EXPECT_EQ(BlendGraphHandle, kTextureGraph);
  EXPECT_EQ(BlendGraphBorder, 255);

  ASSERT_EQ(SetBlendGraph(-1, 0, 0), 0);
  EXPECT_EQ(BlendGraphHandle, -1);
  EXPECT_EQ(BlendSelection.blendTexture, nullptr);

  Direct3DDevice = nullptr;
  EXPECT_EQ(SetBlendGraph(kTextureGraph, 1, 1), -1);
  Direct3DDevice = device_;
}

TEST_F(BlendGraph, SoftwarePathRefusesAColourImage) {
  HardwareRendering = 0;
  EXPECT_EQ(SetBlendGraph(kColourGraph, 128, 64), -1);
  EXPECT_EQ(BlendGraphHandle, -1);
  EXPECT_EQ(SoftBlendImage, nullptr);
  BuildBlendImageRamp(0, 0);
  uint8_t before[256], ramp[256];
  std::memcpy(before, BlendImageRamp, sizeof(before));
  ASSERT_EQ(SetBlendGraph(kImageGraph, 128, 64), 0);
  EXPECT_EQ(SoftBlendImage, &gSingle8);
  std::memcpy(ramp, BlendImageRamp, sizeof(ramp));
  BuildBlendImageRamp(128, 64);
  EXPECT_EQ(std::memcmp(ramp, BlendImageRamp, sizeof(ramp)), 0);
  EXPECT_NE(std::memcmp(before, BlendImageRamp, sizeof(ramp)), 0);
  EXPECT_TRUE(device_->calls.empty());
  // Without the graph layer no handle is a graph.
  DeviceGraphHooks.blendGraphSource = nullptr;
  EXPECT_EQ(SetBlendGraph(kImageGraph, 1, 1), -1);
}

class ProgrammableShaders : public RecordedDeviceTest {
 protected:
  void SetUp() override {
    RecordedDeviceTest::SetUp();
    FreeShaderPack();
    VertexShader2Supported = PixelShader2Supported = 1;
  }
  void TearDown() override {
    VertexShader2Supported = PixelShader2Supported = 0;
    ReleaseShaderObjects();
    FreeShaderPack();
    UseProgrammableShaders = 0;
    RecordedDeviceTest::TearDown();
  }
};

TEST_F(ProgrammableShaders, ThePackSlotsBecomeTheDevicesShaders) {
  const std::vector<uint8_t> vertex = {1, 2, 3, 4}, pixel = {5, 6, 7, 8};
  const std::vector<uint8_t> block = BuildShaderPackBlock(BuildShaderPack(
      {{kLibraryVertexShaderSlot, vertex}, {kVertexShaderSlots + kLibraryPixelShaderSlot, pixel}}));
  ASSERT_EQ(LoadShaderPackFromBlock(block.data(), block.size()), 1);
  LogCapture log;
  ASSERT_EQ(SetUpProgrammableShaders(), 0);
  EXPECT_EQ(UseProgrammableShaders, 1);
  EXPECT_EQ(
      device_->Count("CreateVertexShader",
                     {reinterpret_cast<uintptr_t>(VertexShaderCode[kLibraryVertexShaderSlot])}),
      1);
  EXPECT_EQ(device_->Count("CreatePixelShader"), 1);
  EXPECT_EQ(device_->Count("SetVertexShaderConstantF", {0}), 1);
  EXPECT_EQ(device_->Count("SetPixelShaderConstantF", {0}), 1);
  EXPECT_EQ(PixelConstantMirror[0][3], 2.0f);
  EXPECT_NE(log.Contents().find("プログラマブルシェーダーを使用します\r\n"), std::string::npos);
  ASSERT_EQ(CreateShaderVertexDeclarations(), 0);
  EXPECT_EQ(device_->Count("CreateVertexDeclaration"), kShaderDeclarationCount);

  // A pack without the vertex slot leaves the fixed-function path.
  FreeShaderPack();
  const std::vector<uint8_t> partial = BuildShaderPackBlock(
      BuildShaderPack({{kVertexShaderSlots + kLibraryPixelShaderSlot, pixel}}));
  ASSERT_EQ(LoadShaderPackFromBlock(partial.data(), partial.size()), 1);
  ASSERT_EQ(SetUpProgrammableShaders(), 0);
  EXPECT_EQ(UseProgrammableShaders, 0);
  EXPECT_NE(log.Contents().find("プログラマブルシェーダーを使用しません\r\n"), std::string::npos);
}

}  // namespace
