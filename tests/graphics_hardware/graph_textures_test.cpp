// Graphs on a real device: texture tiles by the size limit and the square-only cap, uploads and
// their edge texels, DXT blocks copied or expanded, fills, copies between draw-target graphs,
// and the device layer's graph services.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "tests/graphics_hardware/graph_device_fixture.h"
#include "tests/support/graph_pictures.h"
#include "tests/support/log_capture.h"

namespace {

struct SavedDeviceFacts {
  int maxTextureSize = MaxTextureSize;
  DWORD textureCaps = DeviceCaps.TextureCaps;
  D3DFORMAT formats[TextureFormatCount];
  SavedDeviceFacts() { std::memcpy(formats, TextureFormatTable, sizeof formats); }
  ~SavedDeviceFacts() {
    MaxTextureSize = maxTextureSize;
    DeviceCaps.TextureCaps = textureCaps;
    std::memcpy(TextureFormatTable, formats, sizeof formats);
  }
};

const GraphTextureSet& SetOf(int graph) { return *GetGraphEntry(graph)->textureSet; }

int Upload(int graph, const GraphImage& image, RECT source, int dstX, int dstY) {
  return UploadImageToGraph(graph, 0, nullptr, nullptr, &source, dstX, dstY, 0, &image, nullptr, 0,
                            0, 0);
}

uint32_t At(const std::vector<uint32_t>& texels, int width, int x, int y) {
  return texels[static_cast<size_t>(y) * width + x];
}

TEST_F(HardwareGraphs, ImagesAreCutIntoTilesByTheLimitAndTheSquareOnlyCap) {
  SavedDeviceFacts saved;
  MaxTextureSize = 2048;
  const int screen = NewGraph(640, 480);
  ASSERT_GE(screen, 0);
  const GraphTextureSet& set = SetOf(screen);
  // Graphs carry the transparent colour as alpha (the alpha-test option is on after a reset).
  EXPECT_EQ(set.formatIndex, TextureFormatAlphaTest32);
  ASSERT_EQ(set.tileCount, 2);
  struct Tile {
    int x, y, usedWidth, usedHeight, textureWidth, textureHeight;
  } expected[] = {{0, 0, 512, 480, 512, 512}, {512, 0, 128, 480, 128, 512}};
  for (int i = 0; i < 2; ++i) {
    const GraphTextureTile& t = set.tiles[i];
    EXPECT_EQ(t.x, expected[i].x);
    EXPECT_EQ(t.y, expected[i].y);
    EXPECT_EQ(t.usedWidth, expected[i].usedWidth);
    EXPECT_EQ(t.usedHeight, expected[i].usedHeight);
    EXPECT_EQ(t.textureWidth, expected[i].textureWidth);
    EXPECT_EQ(t.textureHeight, expected[i].textureHeight);
    ASSERT_NE(t.texture, nullptr);
    ASSERT_NE(t.surface, nullptr);
    D3DSURFACE_DESC desc;
    t.texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, static_cast<UINT>(t.textureWidth));
    EXPECT_EQ(desc.Height, static_cast<UINT>(t.textureHeight));
    EXPECT_EQ(desc.Format, TextureFormatTable[TextureFormatAlphaTest32]);
  }
  // A new texture holds no undefined texel.
  for (uint32_t texel : ReadTextureLevel(ReadableTexture(screen, 1), 0)) ASSERT_EQ(texel, 0u);

  DeviceCaps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
  const int wide = NewGraph(512, 128);
  ASSERT_EQ(SetOf(wide).tileCount, 4);
  for (int i = 0; i < 4; ++i) {
    const GraphTextureTile& t = SetOf(wide).tiles[i];
    EXPECT_EQ(t.x, 128 * i);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.textureWidth, 128);
    EXPECT_EQ(t.textureHeight, 128);
    EXPECT_EQ(t.usedWidth, 128);
    EXPECT_EQ(t.usedHeight, 128);
  }
}

TEST_F(HardwareGraphs, AFormatTheDeviceCannotServeLeavesNoGraph) {
  SavedDeviceFacts saved;
  TextureFormatTable[TextureFormatAlphaTest32] = D3DFMT_UNKNOWN;
  LogCapture log;
  const int count = GraphHandles.count;
  EXPECT_EQ(NewGraph(32, 32), -1);
  EXPECT_EQ(GraphHandles.count, count);
  EXPECT_NE(log.Contents().find(
                "指定のフォーマットで作成できるテクスチャフォーマットがありませんでした\r\n"),
            std::string::npos);
}

TEST_F(HardwareGraphs, UploadsMatchTheSoftwarePathAndRepeatTheEdgeIntoTheSpareTexels) {
  TestPicture small(100, 60, PatternColour);
  const int graph = NewGraph(100, 60);
  ASSERT_EQ(UploadWhole(graph, small.image), 0);
  const GraphTextureTile& tile = SetOf(graph).tiles[0];
  ASSERT_EQ(tile.textureWidth, 128);
  ASSERT_EQ(tile.textureHeight, 64);
  const std::vector<uint32_t> texels = ReadTextureLevel(ReadableTexture(graph, 0), 0);

  // The same picture on the software path.
  HardwareRendering = 0;
  const int soft = NewGraph(100, 60);
  ASSERT_EQ(UploadWhole(soft, small.image), 0);
  HardwareRendering = 1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      ASSERT_EQ(At(texels, 128, x, y), PatternColour(x, y)) << x << "," << y;
      ASSERT_EQ(At(texels, 128, x, y), SoftGraphPixel(soft, x, y)) << x << "," << y;
    }
  for (int y = 0; y < 60; ++y) EXPECT_EQ(At(texels, 128, 100, y), PatternColour(99, y)) << y;
  for (int x = 0; x < 100; ++x) EXPECT_EQ(At(texels, 128, x, 60), PatternColour(x, 59)) << x;
  EXPECT_EQ(At(texels, 128, 100, 60), PatternColour(99, 59));
  EXPECT_EQ(At(texels, 128, 101, 0), 0u);  // beyond the spare column: untouched
  EXPECT_EQ(At(texels, 128, 0, 61), 0u);

  // A 512 tile holding 480 rows.
  TestPicture screen(640, 480, PatternColour);
  const int big = NewGraph(640, 480);
  ASSERT_EQ(UploadWhole(big, screen.image), 0);
  const std::vector<uint32_t> left = ReadTextureLevel(ReadableTexture(big, 0), 0);
  const std::vector<uint32_t> right = ReadTextureLevel(ReadableTexture(big, 1), 0);
  for (int x = 0; x < 512; x += 37) {
    EXPECT_EQ(At(left, 512, x, 479), PatternColour(x, 479));
    EXPECT_EQ(At(left, 512, x, 480), PatternColour(x, 479));
  }
  for (int x = 0; x < 128; x += 13) {
    EXPECT_EQ(At(right, 128, x, 0), PatternColour(512 + x, 0));
    EXPECT_EQ(At(right, 128, x, 480), PatternColour(512 + x, 479));
  }
}

TEST_F(HardwareGraphs, ACellIsWrittenInItsOwnCoordinatesAcrossTilesAndAnEmptyUploadWritesNothing) {
  const int sheet = NewGraph(640, 480);
  const int cell = CreateSubGraph(500, 100, 20, 10, sheet);
  ASSERT_EQ(GetGraphEntry(cell)->tileDrawCount, 2);
  TestPicture patch(20, 10, PatternColour);
  const std::vector<uint32_t> before = ReadTextureLevel(ReadableTexture(sheet, 0), 0);
  EXPECT_EQ(Upload(cell, patch.image, {0, 0, 20, 0}, 0, 0), 0);
  EXPECT_EQ(Upload(cell, patch.image, {0, 0, 0, 10}, 0, 0), 0);
  EXPECT_EQ(ReadTextureLevel(ReadableTexture(sheet, 0), 0), before);

  ASSERT_EQ(UploadWhole(cell, patch.image), 0);
  const std::vector<uint32_t> left = ReadTextureLevel(ReadableTexture(sheet, 0), 0);
  const std::vector<uint32_t> right = ReadTextureLevel(ReadableTexture(sheet, 1), 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const uint32_t texel =
          x < 12 ? At(left, 512, 500 + x, 100 + y) : At(right, 128, x - 12, 100 + y);
      ASSERT_EQ(texel, PatternColour(x, y)) << x << "," << y;
    }
  EXPECT_EQ(At(left, 512, 499, 100), 0u);
  EXPECT_EQ(At(right, 128, 8, 100), 0u);
}

TEST_F(HardwareGraphs, OnlyThePictureIsReadAndMissingLevelsAreMadeByHalving) {
  // A rectangle reaching past the picture writes what the picture has, moved with its corner.
  TestPicture small(10, 10, PatternColour);
  const int graph = NewGraph(40, 40);
  ASSERT_EQ(Upload(graph, small.image, {-5, -5, 30, 30}, 0, 0), 0);
  std::vector<uint32_t> texels = ReadTextureLevel(ReadableTexture(graph, 0), 0);
  EXPECT_EQ(At(texels, 64, 5, 5), PatternColour(0, 0));
  EXPECT_EQ(At(texels, 64, 14, 14), PatternColour(9, 9));
  EXPECT_EQ(At(texels, 64, 15, 15), 0u);
  EXPECT_EQ(At(texels, 64, 4, 4), 0u);
  EXPECT_EQ(Upload(graph, small.image, {10, 0, 20, 10}, 0, 0), -1);

  // A texture of three levels from a picture of one: 2 x 2 averages.
  const uint32_t quadrant[4] = {0xFF204060, 0xFF406080, 0xFF6080A0, 0xFF80A0C0};
  TestPicture squares(8, 8, [&](int x, int y) { return quadrant[x / 4 + 2 * (y / 4)]; });
  const int mipped = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(3, mipped, 8, 8, 1, 0, 0), 0);
  ASSERT_EQ(UploadWhole(mipped, squares.image), 0);
  for (int level = 0; level < 3; ++level) {
    texels = ReadTextureLevel(ReadableTexture(mipped, 0), level);
    const int side = 8 >> level;
    ASSERT_EQ(texels.size(), static_cast<size_t>(side * side)) << "level " << level;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        ASSERT_EQ(At(texels, side, x, y), quadrant[x * 2 / side + 2 * (y * 2 / side)])
            << "level " << level << " " << x << "," << y;
  }
}

TEST_F(HardwareGraphs, DxtPicturesAreCopiedAsBlocksOrExpanded) {
  SavedDeviceFacts saved;
  const auto colour = [](int level, int bx, int by) {
    return static_cast<uint16_t>(0x0841 * (1 + bx + 5 * by) + 0x1000 * level);
  };
  // Into a texture of its own kind, byte for byte; into an A8R8G8B8 texture, expanded.
  GraphImage dxt1 = MakeDxtPicture(1, 16, 8, 1, colour);
  int graph = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(-1, graph, 16, 8, 1, 0, 1), 0);
  ASSERT_EQ(TextureFormatTable[SetOf(graph).formatIndex], D3DFMT_DXT1);
  ASSERT_EQ(UploadWhole(graph, dxt1), 0);
  const std::vector<uint8_t> blocks(dxt1.Pixels, dxt1.Pixels + 8 * 4 * 2);
  EXPECT_EQ(ReadLevelBytes(ReadableTexture(graph, 0), 0), blocks);

  const int argb = NewGraph(16, 8, 1);
  ASSERT_EQ(SetOf(argb).formatIndex, TextureFormatAlpha32);
  ASSERT_EQ(UploadWhole(argb, dxt1), 0);
  const std::vector<uint32_t> texels = ReadTextureLevel(ReadableTexture(argb, 0), 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(At(texels, 16, x, y), Expand565(colour(0, x / 4, y / 4))) << x << "," << y;

  // A DXT texture refuses a plain picture and a picture that covers only part of it, and keeps
  // what it held.
  LogCapture log;
  TestPicture plain(16, 8, PatternColour);
  EXPECT_EQ(UploadWhole(graph, plain.image), -1);
  EXPECT_EQ(Upload(graph, dxt1, {0, 0, 8, 8}, 0, 0), -1);
  EXPECT_EQ(ReadLevelBytes(ReadableTexture(graph, 0), 0), blocks);
  const std::string refusal =
      "DXTフォーマットのテクスチャに標準形式のイメージを転送することはできません\r\n";
  const std::string contents = log.Contents();
  const size_t first = contents.find(refusal);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(contents.find(refusal, first + 1), std::string::npos);
  FreeGraphImage(&dxt1);

  // DXT5 with every level down to 1 x 1: the small levels are whole 16-byte blocks.
  GraphImage dxt5 = MakeDxtPicture(5, 16, 16, 5, colour);
  graph = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(5, graph, 16, 16, 1, 0, 5), 0);
  ASSERT_EQ(UploadWhole(graph, dxt5), 0);
  const int levelBytes[5] = {256, 64, 16, 16, 16};
  const uint8_t* level = dxt5.Pixels;
  for (int i = 0; i < 5; ++i) {
    const std::vector<uint8_t> expected(level, level + levelBytes[i]);
    EXPECT_EQ(ReadLevelBytes(ReadableTexture(graph, 0), i), expected) << "level " << i;
    level += levelBytes[i];
  }
  FreeGraphImage(&dxt5);

  // A sheet wider than one texture: each tile takes its own blocks.
  MaxTextureSize = 16;
  GraphImage sheet = MakeDxtPicture(1, 32, 16, 1, colour);
  graph = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(-1, graph, 32, 16, 1, 0, 1), 0);
  ASSERT_EQ(SetOf(graph).tileCount, 2);
  ASSERT_EQ(UploadWhole(graph, sheet), 0);
  for (int tile = 0; tile < 2; ++tile) {
    std::vector<uint8_t> expected;
    for (int row = 0; row < 4; ++row) {
      const uint8_t* from = sheet.Pixels + row * 64 + tile * 32;
      expected.insert(expected.end(), from, from + 32);
    }
    EXPECT_EQ(ReadLevelBytes(ReadableTexture(graph, tile), 0), expected) << "tile " << tile;
  }
  FreeGraphImage(&sheet);
}

TEST_F(HardwareGraphs, DrawTargetGraphsAreFilledExactlyAndCopiedFromTheTarget) {
  DrawTargetGraphOption = 1;
  TestPicture picture(120, 60, PatternColour);
  const int source = NewGraph(120, 60);
  const int copy = NewGraph(100, 50);
  const int other = NewGraph(100, 51);
  DrawTargetGraphOption = 0;
  ASSERT_EQ(SetOf(source).record.DrawTargetCapable, 1);
  ASSERT_EQ(UploadWhole(source, picture.image), 0);

  DrawTarget = source;
  EXPECT_EQ(CopyDrawTargetToGraph(10, 5, 110, 55, other), -1);
  EXPECT_EQ(CopyDrawTargetToGraph(30, 5, 130, 55, copy), -1);
  ASSERT_EQ(CopyDrawTargetToGraph(10, 5, 110, 55, copy), 0);
  DrawTarget = kBackBufferTarget;
  const std::vector<uint32_t> copied = ReadSurface(SetOf(copy).tiles[0].surface);
  const int pitch = SetOf(copy).tiles[0].textureWidth;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(At(copied, pitch, x, y), PatternColour(x + 10, y + 5)) << x << "," << y;

  const int cell = CreateSubGraph(20, 10, 30, 20, copy);
  ASSERT_EQ(FillGraph(cell, 300, -5, 128, 255), 0);
  const std::vector<uint32_t> filled = ReadSurface(SetOf(copy).tiles[0].surface);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool inCell = x >= 20 && x < 50 && y >= 10 && y < 30;
      ASSERT_EQ(At(filled, pitch, x, y), inCell ? 0xFFFF0080u : PatternColour(x + 10, y + 5))
          << x << "," << y;
    }

  // A graph that cannot be drawn into is left as it is.
  const int plain = NewGraph(16, 16);
  TestPicture small(16, 16, PatternColour);
  ASSERT_EQ(UploadWhole(plain, small.image), 0);
  const std::vector<uint32_t> before = ReadTextureLevel(ReadableTexture(plain, 0), 0);
  EXPECT_EQ(FillGraph(plain, 1, 2, 3, 4), 0);
  EXPECT_EQ(ReadTextureLevel(ReadableTexture(plain, 0), 0), before);
}

TEST_F(HardwareGraphs, TheLastGraphOfASetReleasesItsTextures) {
  const int source = NewGraph(64, 20);
  const int cell = CreateSubGraph(10, 0, 100, 20, source);
  const GraphTextureTile& tile = SetOf(source).tiles[0];
  IDirect3DTexture9* textures[2] = {tile.texture, tile.stagingTexture};
  for (IDirect3DTexture9* t : textures)
    if (t != nullptr) t->AddRef();
  ASSERT_EQ(DeleteGraphHandle(source), 0);
  ASSERT_EQ(DeleteGraphHandle(cell), 0);
  // The set held them, and the level-0 surface, no more.
  for (IDirect3DTexture9* t : textures) {
    if (t != nullptr) { EXPECT_EQ(t->Release(), 0u); }
  }
}

TEST_F(HardwareGraphs, TheDeviceLayerReachesGraphsThroughItsServices) {
  const int graph = NewGraph(64, 32);
  // Textures made again after a lost device, cleared.
  TestPicture picture(64, 32, PatternColour);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  ReleaseGraphTextures(GetGraphEntry(graph)->textureSet);
  ASSERT_EQ(SetOf(graph).tiles[0].texture, nullptr);
  ASSERT_EQ(RecreateDeviceResources(), 0);
  ASSERT_NE(SetOf(graph).tiles[0].texture, nullptr);
  ASSERT_NE(SetOf(graph).tiles[0].surface, nullptr);
  EXPECT_EQ(ReadTextureLevel(ReadableTexture(graph, 0), 0)[0], 0u);

  // A graph as blend graph gives its first texture and that texture's size.
  ASSERT_EQ(SetBlendGraph(graph, 128, 64), 0);
  EXPECT_EQ(BlendGraphHandle, graph);
  EXPECT_EQ(BlendSelection.blendTexture, SetOf(graph).tiles[0].texture);
  EXPECT_FLOAT_EQ(BlendSelection.blendTextureWidth, 64.0f);
  EXPECT_EQ(SetBlendGraph(graph + 1, 128, 64), -1);
  ASSERT_EQ(SetBlendGraph(-1, 0, 0), 0);

  // A texture-stage record naming graphs sends their first textures; an invalid one none.
  TextureStageSetup record;
  std::memset(&record, 0xFF, sizeof record);
  record.stageCount = 1;
  record.stages[0].texture = graph;
  record.stages[0].texCoordIndex = 0;
  ASSERT_EQ(ApplyBlendState(1, &record, 1), 0);
  EXPECT_EQ(DeviceStateCache.stages[0].texture, SetOf(graph).tiles[0].texture);
  record.stages[0].texture = graph + 1;
  ASSERT_EQ(ApplyBlendState(1, &record, 1), 0);
  EXPECT_EQ(DeviceStateCache.stages[0].texture, nullptr);

  // A graph as draw target bounds the draw area by its size.
  DrawTarget = graph;
  ASSERT_EQ(SetDrawClipRect(-10, -10, 100, 100), 0);
  EXPECT_EQ(DrawArea.right, 64);
  EXPECT_EQ(DrawArea.bottom, 32);
  DrawTarget = graph + 1;
  EXPECT_EQ(SetDrawClipRect(0, 0, 8, 8), -1);
  DrawTarget = kBackBufferTarget;
  SetDrawClipRect(0, 0, 640, 480);
}

TEST_F(ManagedPoolGraphs, TexturesAreWrittenInPlaceWithoutAStagingCopy) {
  ASSERT_EQ(Direct3DObjectEx, nullptr);
  TestPicture picture(100, 60, PatternColour);
  const int graph = NewGraph(100, 60);
  const GraphTextureTile& tile = SetOf(graph).tiles[0];
  EXPECT_EQ(SetOf(graph).record.SystemMemoryCopy, 0);
  EXPECT_EQ(tile.stagingTexture, nullptr);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  const std::vector<uint32_t> texels = ReadTextureLevel(tile.texture, 0);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(At(texels, 128, x, y), PatternColour(x, y));
  EXPECT_EQ(At(texels, 128, 100, 60), PatternColour(99, 59));

  GraphImage dxt = MakeDxtPicture(3, 8, 8, 1, [](int, int bx, int by) {
    return static_cast<uint16_t>(0xF800 >> (bx + 2 * by));
  });
  const int blocks = AllocGraphHandle();
  ASSERT_EQ(CreateGraphStorage(-1, blocks, 8, 8, 1, 0, 3), 0);
  ASSERT_EQ(UploadWhole(blocks, dxt), 0);
  EXPECT_EQ(ReadLevelBytes(SetOf(blocks).tiles[0].texture, 0),
            std::vector<uint8_t>(dxt.Pixels, dxt.Pixels + 64));
  FreeGraphImage(&dxt);
}

}  // namespace
