// The 3-D model system: started on the device only, its hooks touching no device with empty
// tables, the embedded default images, the texture images prepared from files, the grey ramp,
// and bases and models (built here as their absent loader would) with their buffers, handles
// and deletion.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9.h"
#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/model/model_system.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/platform/core/handle_table.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_hooks.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/recording_device.h"

namespace {

class ModelSystem : public StartedGraphics {
 protected:
  void SetUp() override {
    StartedGraphics::SetUp();
    InstallModelHooks();
  }
  void TearDown() override {
    TerminateModelSystem();
    StartedGraphics::TearDown();
    LibraryHooks = library_;
    ScreenHooks = screen_;
    DeviceGraphHooks.releaseModelBuffers = nullptr;
  }

 private:
  LibraryServiceHooks library_ = LibraryHooks;
  ScreenServiceHooks screen_ = ScreenHooks;
};

uint32_t Rgb(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }

std::vector<uint32_t> Pixels(const GraphImage& image) {
  std::vector<uint32_t> out;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) out.push_back(GetGraphImagePixelArgb(&image, x, y));
  return out;
}

TEST_F(ModelSystem, StaysUninitialisedOnTheSoftwarePath) {
  ASSERT_TRUE(Start(false));
  EXPECT_EQ(InitializeModelSystem(), 0);
  EXPECT_EQ(Models.initialised, 0);
  EXPECT_EQ(TerminateModelSystem(), 0);
  EXPECT_EQ(Models.initialised, 0);
}

// Started on the device, with the sine table; with empty tables no hook calls the device.
TEST_F(ModelSystem, HooksWithEmptyTablesMakeNoDeviceCall) {
  ASSERT_TRUE(Start(true));
  ASSERT_EQ(InitializeModelSystem(), 0);
  ASSERT_EQ(Models.initialised, 1);
  EXPECT_EQ(ModelSineTable[0], 0.0f);
  EXPECT_EQ(ModelSineTable[16384], std::sin(16384.0f * 2 * 3.1415927f / 65536));
  EXPECT_NEAR(ModelSineTable[16384], 1.0f, 1e-6);
  EXPECT_NEAR(ModelSineTable[8192], std::sqrt(0.5f), 1e-6);

  IDirect3DDevice9* const device = Direct3DDevice;
  device->AddRef();
  auto* recorder = new RecordingDevice(device);
  Direct3DDevice = recorder;
  EXPECT_EQ(RestoreModelTextures(), 0);
  EXPECT_EQ(SetupAllModelBaseBuffers(), 0);
  ReleaseAllModelBuffers();
  EXPECT_EQ(TerminateModelSystem(), 0);
  EXPECT_EQ(Models.initialised, 0);
  EXPECT_TRUE(recorder->Names().empty()) << recorder->Names()[0];
  Direct3DDevice = device;
  recorder->Release();
}

TEST(ModelImages, EmbeddedImagesDecodeToTheirPixels) {
  EXPECT_EQ(ModelWhiteTga.size(), 84u);
  EXPECT_EQ(ModelToonTga.size(), 172u);
  const char footer[] = "TRUEVISION-XFILE.";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ModelWhiteTga[84 - 18]), 17), footer);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&ModelToonTga[172 - 18]), 17), footer);

  GraphImage white = {}, toon = {};
  ASSERT_EQ(ReadImageToGraphImage(nullptr, ModelWhiteTga.data(), 84, 1, &white, 0), 0);
  ASSERT_EQ(ReadImageToGraphImage(nullptr, ModelToonTga.data(), 172, 1, &toon, 0), 0);
  EXPECT_EQ(white.Width, 8);
  EXPECT_EQ(white.Height, 8);
  EXPECT_EQ(white.Format.BitsPerPixel, 32);
  for (uint32_t p : Pixels(white)) ASSERT_EQ(p, 0xFFFFFFFFu);
  EXPECT_EQ(toon.Width, 256);
  EXPECT_EQ(toon.Height, 8);
  EXPECT_EQ(toon.Format.BitsPerPixel, 24);
  const std::vector<uint32_t> tones = Pixels(toon);
  for (int i = 0; i < 256 * 8; ++i) {
    const int grey = 0x55 * (i % 256 / 64);
    ASSERT_EQ(tones[i] & 0xFFFFFF, Rgb(grey, grey, grey)) << i;
  }
  FreeGraphImage(&white);
  FreeGraphImage(&toon);
}

// A 3 x 3 height map with a peak in the middle: the normals by hand (strength 1, so z = 1; and
// strength 0 taken as 0.000001, where z all but vanishes), then scaled to 4 x 4 as every image
// read from data is.
TEST(ModelImages, NormalMapOfAHeightMap) {
  const ByteString heights =
      MakeBmpSheet(3, 3, [](int x, int y) { return x == 1 && y == 1 ? 0xFFFF0000u : 0xFF000000u; });
  struct Case {
    float strength;
    uint32_t flat, up, left, peak;  // (0,0) and the other flat pixels, (1,0), (0,1), (1,1)
  };
  const Case cases[] = {
      // (0,0,1); (0,-1,1)/sqrt 2; (-1,0,1)/sqrt 2; (1,1,1)/sqrt 3: (n + 1) x 127.5, truncated.
      {1.0f, Rgb(127, 127, 255), Rgb(127, 37, 217), Rgb(37, 127, 217), Rgb(201, 201, 201)},
      {0.0f, Rgb(127, 127, 255), Rgb(127, 0, 127), Rgb(0, 127, 127), Rgb(217, 217, 127)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strength);
    GraphImage expected = {};
    ASSERT_EQ(CreateXrgbGraphImage(3, 3, &expected), 0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) {
        const uint32_t v = x == 1 && y == 0   ? c.up
                           : x == 0 && y == 1 ? c.left
                           : x == 1 && y == 1 ? c.peak
                                              : c.flat;
        SetGraphImagePixel(&expected, x, y, v >> 16, v >> 8 & 0xFF, v & 0xFF, 255);
      }
    GraphImage scaled = {};
    ASSERT_EQ(CreateXrgbGraphImage(4, 4, &scaled), 0);
    ASSERT_EQ(ScaleGraphImageRect(0, 0, 3, 3, &expected, 0, 0, 4, 4, &scaled, 1), 0);

    GraphImage colour = {}, alpha = {};
    ASSERT_EQ(
        PrepareModelTextureImages(&colour, &alpha, heights.data(), static_cast<int>(heights.size()),
                                  nullptr, 0, 1, c.strength, 0),
        0);
    EXPECT_EQ(alpha.Pixels, nullptr);
    ASSERT_EQ(colour.Width, 4);
    ASSERT_EQ(colour.Height, 4);
    std::vector<uint32_t> got = Pixels(colour), want = Pixels(scaled);
    for (uint32_t& p : got) p &= 0xFFFFFF;
    for (uint32_t& p : want) p &= 0xFFFFFF;
    EXPECT_EQ(got, want);
    FreeGraphImage(&colour);
    FreeGraphImage(&expected);
    FreeGraphImage(&scaled);
  }
}

TEST(ModelImages, AlphaOnlyAndSizesToPowersOfTwo) {
  const ByteString picture = MakeBmpSheet(3, 5, SheetColour);
  GraphImage colour = {}, alpha = {};
  // Only an alpha image: the colour image is its size after the scaling, every byte 0xFF.
  ASSERT_EQ(PrepareModelTextureImages(&colour, &alpha, nullptr, 0, picture.data(),
                                      static_cast<int>(picture.size()), 0, 1, 0),
            0);
  EXPECT_EQ(alpha.Width, 4);
  EXPECT_EQ(alpha.Height, 8);
  ASSERT_EQ(colour.Width, 4);
  ASSERT_EQ(colour.Height, 8);
  for (int y = 0; y < colour.Height; ++y)
    for (int x = 0; x < colour.Width * 4; ++x)
      ASSERT_EQ(colour.Pixels[y * colour.Pitch + x], 0xFF) << x << ", " << y;
  FreeGraphImage(&colour);
  FreeGraphImage(&alpha);

  // A 3 x 5 picture comes out 4 x 8; turned half a turn on request.
  GraphImage turned = {};
  ASSERT_EQ(PrepareModelTextureImages(&colour, &alpha, picture.data(),
                                      static_cast<int>(picture.size()), nullptr, 0, 0, 1, 0),
            0);
  ASSERT_EQ(PrepareModelTextureImages(&turned, &alpha, picture.data(),
                                      static_cast<int>(picture.size()), nullptr, 0, 0, 1, 1),
            0);
  EXPECT_EQ(colour.Width, 4);
  EXPECT_EQ(colour.Height, 8);
  EXPECT_EQ(GetGraphImagePixelArgb(&turned, 0, 0), GetGraphImagePixelArgb(&colour, 3, 7));
  FreeGraphImage(&colour);
  FreeGraphImage(&turned);

  // Data that is no image, or no data at all, makes nothing.
  const uint8_t junk[16] = {1, 2, 3};
  EXPECT_EQ(PrepareModelTextureImages(&colour, &alpha, junk, 16, nullptr, 0, 0, 1, 0), -1);
  EXPECT_EQ(PrepareModelTextureImages(&colour, &alpha, nullptr, 0, nullptr, 0, 0, 1, 0), -1);
  EXPECT_EQ(colour.Pixels, nullptr);
  EXPECT_EQ(alpha.Pixels, nullptr);
}

TEST_F(ModelSystem, GradientFillsTheGraphWithTheGreyRamp) {
  ASSERT_TRUE(Start(false));
  const int graph = CreateBlankGraph(256, 8);
  ASSERT_NE(graph, -1);
  EXPECT_EQ(CreateGradientTexture(graph), graph);
  ASSERT_EQ(DrawGraphAt(0, 0, graph, 0), 0);
  const std::vector<uint32_t> shown = SavedScreen(0, 0, 256, 8);
  ASSERT_EQ(shown.size(), 256u * 8u);
  for (int i = 0; i < 256 * 8; ++i) ASSERT_EQ(shown[i], Rgb(i % 256, i % 256, i % 256)) << i;
  DeleteGraphHandle(graph);
}

// What a model loader would leave: a base with two rigid meshes and a skinned one, and models
// of it.
class ModelTablesTest : public ModelSystem {
 protected:
  static void* Block(size_t bytes) { return AllocTrackedZero(bytes, __FILE__, __LINE__); }

  static ModelMesh Mesh(int kind, int vertices) {
    ModelMesh m = {};
    m.vertexKind = kind;
    m.fvf = D3DFVF_XYZ;
    m.vertexStride = 12;
    m.vertexCount = vertices;
    m.indexCount = 3;
    m.vertices = Block(static_cast<size_t>(vertices) * 12);
    m.indices = static_cast<uint16_t*>(Block(6));
    m.indices[1] = 1;
    m.indices[2] = 2;
    return m;
  }

  int AddBase() {
    Models.bases = static_cast<ModelBaseRecord**>(Block(sizeof(void*) * 4));
    Models.baseCapacity = 4;
    Models.bases[0] = static_cast<ModelBaseRecord*>(kModelBaseSlotTaken);
    auto* base = static_cast<ModelBaseRecord*>(Block(sizeof(ModelBaseRecord)));
    base->meshCount = 3;
    base->meshes = static_cast<ModelMesh*>(Block(sizeof(ModelMesh) * 3));
    base->meshes[0] = Mesh(ModelVertexRigid, 3);
    base->meshes[1] = Mesh(ModelVertexSkinned4, 4);
    base->meshes[2] = Mesh(ModelVertexRigid, 5);
    base->materialCount = 1;
    base->materials = static_cast<ModelTextureSlot*>(Block(sizeof(ModelTextureSlot)));
    base->materials[0].graph = CreateBlankGraph(4, 4);
    Models.bases[1] = base;
    Models.baseCount = 2;
    return MakeModelBaseHandle(1);
  }

  int AddModel(int baseHandle, int slot) {
    if (Models.models == nullptr) {
      Models.models = static_cast<ModelRecord**>(Block(sizeof(void*) * 4));
      Models.modelCapacity = 4;
    }
    auto* base = static_cast<ModelBaseRecord*>(Models.bases[baseHandle & 0x1FFFF]);
    auto* model = static_cast<ModelRecord*>(Block(sizeof(ModelRecord)));
    model->checkNumber = 7 + slot;
    model->base = baseHandle;
    model->nextOfBase = base->models;
    base->models = model;
    ++base->refCount;
    Models.models[slot] = model;
    ++Models.modelCount;
    if (slot >= Models.modelEndIndex) Models.modelEndIndex = slot + 1;
    return MakeHandle(HandleTypeModel, model->checkNumber, slot);
  }
};

TEST_F(ModelTablesTest, BuffersAreBuiltReleasedAndBuiltAgain) {
  ASSERT_TRUE(Start(true));
  ASSERT_EQ(InitializeModelSystem(), 0);
  // The buffers are built only for a device that runs version 2.0 vertex shaders, which the
  // port's device does not report; its buffers are real all the same.
  const int shaders = ShaderModel2Available;
  ShaderModel2Available = 1;
  const int base = AddBase();
  AddModel(base, 0);
  const ModelBaseRecord* b = static_cast<const ModelBaseRecord*>(Models.bases[1]);
  ASSERT_EQ(SetupAllModelBaseBuffers(), 0);
  // The two rigid meshes share a chunk: 8 vertices, their indices moved past the first mesh's.
  ASSERT_EQ(b->chunkCounts[ModelVertexRigid], 1);
  EXPECT_EQ(b->chunks[ModelVertexRigid]->vertexCount, 8);
  EXPECT_EQ(b->chunks[ModelVertexRigid]->indexCount, 6);
  uint16_t* indices = nullptr;
  ASSERT_EQ(b->chunks[ModelVertexRigid]->indexBuffer->Lock(0, 0, reinterpret_cast<void**>(&indices),
                                                           D3DLOCK_READONLY),
            D3D_OK);
  EXPECT_EQ(std::vector<uint16_t>(indices, indices + 6), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
  b->chunks[ModelVertexRigid]->indexBuffer->Unlock();
  EXPECT_EQ(b->chunkCounts[ModelVertexSkinned4], 1);
  EXPECT_EQ(b->chunkCounts[ModelVertexSkinned8], 0);
  EXPECT_EQ(Models.models[0]->frameBufferCount, 1);

  ReleaseAllModelBuffers();
  EXPECT_EQ(b->chunks[ModelVertexRigid], nullptr);
  EXPECT_EQ(b->buffersBuilt, 0);
  EXPECT_EQ(Models.models[0]->frameBuffers, nullptr);
  ASSERT_EQ(SetupAllModelBaseBuffers(), 0);
  EXPECT_EQ(b->chunkCounts[ModelVertexRigid], 1);
  ShaderModel2Available = shaders;
  // The device's release takes the buffers first; ending graphics with the records still here
  // leaves no device object (the fixture checks).
  Stop();
  EXPECT_EQ(b->buffersBuilt, 0);
}

TEST_F(ModelTablesTest, BadHandlesAreRefusedAndTheBaseGoesWithItsLastModel) {
  ASSERT_TRUE(Start(true));
  ASSERT_EQ(InitializeModelSystem(), 0);
  const int base = AddBase();
  const int first = AddModel(base, 0);
  const int second = AddModel(base, 2);
  const int graph = static_cast<ModelBaseRecord*>(Models.bases[1])->materials[0].graph;
  for (int bad : {-1, graph, first + (1 << 16), MakeHandle(HandleTypeModel, 0, 1),
                  MakeHandle(HandleTypeModel, 7, 3)})
    EXPECT_EQ(DeleteModel(bad), -1) << bad;
  for (int bad : {-1, MakeModelBaseHandle(0), MakeModelBaseHandle(2), first, base | (1 << 16)})
    EXPECT_EQ(DeleteModelBase(bad), -1) << bad;
  EXPECT_EQ(Models.modelCount, 2);

  EXPECT_EQ(DeleteModel(first), 0);
  EXPECT_EQ(DeleteModel(first), -1);
  EXPECT_EQ(Models.modelCount, 1);
  ASSERT_NE(Models.bases[1], nullptr);
  EXPECT_EQ(static_cast<ModelBaseRecord*>(Models.bases[1])->refCount, 1);
  EXPECT_TRUE(IsGraphHandleValid(graph));
  EXPECT_EQ(DeleteModel(second), 0);
  EXPECT_EQ(Models.bases[1], nullptr);
  EXPECT_FALSE(IsGraphHandleValid(graph));
  EXPECT_EQ(Models.modelEndIndex, 0);
}

}  // namespace
