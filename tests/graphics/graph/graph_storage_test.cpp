// Graph storage without a device: how lengths are cut into textures, the texture format a
// creation record selects, the tile list of a graph that crosses a tile edge, and the memory
// image of the software path.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_storage.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/softrender/memimg.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/log_capture.h"

namespace {

using GraphStorage = SoftwareGraphs;

TEST_F(GraphStorage, LengthsAreCutIntoPowerOfTwoTextures) {
  struct Case {
    int maxSize, length, single;
    std::vector<int> sizes;
  } cases[] = {
      // With a 2048 limit and a 640-wide screen.
      {2048, 640, 0, {512, 128}},
      {2048, 480, 0, {512}},
      {2048, 700, 0, {512, 128, 64}},
      {2048, 300, 0, {512}},
      {2048, 1000, 0, {1024}},         // the rest is more than three quarters: one doubled tile
      {2048, 652, 0, {512, 128, 16}},  // 8 + 8 at the end merge
      {2048, 3000, 1, {2048, 1024}},   // one texture would pass the limit
      {2048, 2048, 1, {2048}},
      {2048, 9, 0, {16}},
      {2048, 8, 0, {8}},
      {2048, 1, 0, {8}},
      {2048, 0, 0, {8}},
      {256, 640, 0, {256, 256, 128}},  // a small limit: no doubling past it
      {256, 512, 0, {256, 256}},       // equal, but merged they would not fit
  };
  const int savedMax = MaxTextureSize;
  for (const Case& c : cases) {
    MaxTextureSize = c.maxSize;
    std::vector<int> sizes(16, -1);
    const int count = SplitTextureLength(c.length, sizes.data(), c.single);
    EXPECT_EQ(count, SplitTextureLength(c.length, nullptr, c.single));
    sizes.resize(static_cast<size_t>(count));
    EXPECT_EQ(sizes, c.sizes) << "length " << c.length << ", limit " << c.maxSize;
  }
  MaxTextureSize = savedMax;
}

GraphCreationRecord Record(int bits, int hasAlpha, int alphaTest, int dxtKind, int drawTarget) {
  GraphCreationRecord r = {};
  r.BitDepth = static_cast<uint8_t>(bits);
  r.HasAlpha = static_cast<uint8_t>(hasAlpha);
  r.AlphaTest = static_cast<uint8_t>(alphaTest);
  r.DxtKind = static_cast<uint8_t>(dxtKind);
  r.DrawTargetCapable = static_cast<uint8_t>(drawTarget);
  return r;
}

TEST_F(GraphStorage, TheCreationRecordSelectsItsTextureFormat) {
  struct Case {
    GraphCreationRecord record;
    int index;
  } cases[] = {
      {Record(16, 0, 0, 0, 0), 0},  {Record(32, 0, 0, 0, 0), 1},  {Record(16, 1, 0, 0, 0), 2},
      {Record(32, 1, 0, 0, 0), 3},  {Record(16, 0, 1, 0, 0), 4},  {Record(32, 0, 1, 0, 0), 5},
      {Record(32, 1, 1, 1, 0), 6},  {Record(16, 0, 0, 5, 1), 10}, {Record(16, 0, 0, 0, 1), 11},
      {Record(32, 0, 0, 0, 1), 12}, {Record(16, 0, 1, 0, 1), 13}, {Record(32, 1, 0, 0, 1), 13},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetTextureFormatIndex(&c.record), c.index);
    const PixelFormat* nominal = GetTextureSetPixelFormat(&c.record);
    ASSERT_NE(nominal, nullptr);
    EXPECT_EQ(nominal, GetPixelFormatOfTextureIndex(c.index));
  }
  EXPECT_EQ(GetPixelFormatOfTextureIndex(0)->RedMask, 0xF800u);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(4)->AlphaMask, 0x8000u);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(6)->BlockCompression, 1u);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(6)->BitsPerPixel, 4);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(9)->BlockCompression, 4u);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(9)->BitsPerPixel, 8);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(12)->AlphaMask, 0u);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(14), nullptr);
  EXPECT_EQ(GetPixelFormatOfTextureIndex(-1), nullptr);
}

// A graph whose set holds the tiles of a 640 x 480 image: 512 x 512 and 128 x 512, 480 used.
int GraphOverTwoTiles(int x, int y, int width, int height) {
  const int handle = AllocGraphHandle();
  auto* set = static_cast<GraphTextureSet*>(
      AllocTrackedZero(sizeof(GraphTextureSet) + 2 * sizeof(GraphTextureTile), __FILE__, __LINE__));
  set->refCount = 1;
  set->record.TextureBacked = 1;
  set->width = 640;
  set->height = 480;
  set->tileCount = 2;
  set->tiles = reinterpret_cast<GraphTextureTile*>(set + 1);
  set->tiles[0] = {nullptr, nullptr, nullptr, nullptr, 0, 0, 512, 480, 512, 512};
  set->tiles[1] = {nullptr, nullptr, nullptr, nullptr, 512, 0, 128, 480, 128, 512};
  GraphEntry* entry = GetGraphEntry(handle);
  entry->textureSet = set;
  entry->x = x;
  entry->y = y;
  entry->width = width;
  entry->height = height;
  return handle;
}

TEST_F(GraphStorage, ACellAcrossATileEdgeGetsOneDrawRecordPerTile) {
  const int cell = GraphOverTwoTiles(500, 100, 20, 10);
  ASSERT_EQ(BuildGraphDrawInfo(cell), 0);
  const GraphEntry* entry = GetGraphEntry(cell);
  ASSERT_EQ(entry->tileDrawCount, 2);
  const GraphTileDraw& left = entry->tileDraws[0];
  const GraphTileDraw& right = entry->tileDraws[1];
  EXPECT_EQ(left.tile, &entry->textureSet->tiles[0]);
  EXPECT_EQ(right.tile, &entry->textureSet->tiles[1]);

  struct Expected {
    int dstX, dstY, srcX, srcY, width, height;
    GraphTileVertex vertices[4];
    uint8_t onDiagonal[4];
  } expected[2] = {
      {0,
       0,
       500,
       100,
       12,
       10,
       {{0, 0, 500 / 512.f, 100 / 512.f},
        {12, 0, 1.f, 100 / 512.f},
        {0, 10, 500 / 512.f, 110 / 512.f},
        {12, 10, 1.f, 110 / 512.f}},
       // y <= 10 - x * 10 / 20
       {1, 1, 1, 0}},
      {12,
       0,
       0,
       100,
       8,
       10,
       {{12, 0, 0.f, 100 / 512.f},
        {20, 0, 8 / 128.f, 100 / 512.f},
        {12, 10, 0.f, 110 / 512.f},
        {20, 10, 8 / 128.f, 110 / 512.f}},
       {1, 1, 0, 0}},
  };
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const GraphTileDraw& d = entry->tileDraws[i];
    const Expected& e = expected[i];
    EXPECT_EQ(d.dstX, e.dstX);
    EXPECT_EQ(d.dstY, e.dstY);
    EXPECT_EQ(d.srcX, e.srcX);
    EXPECT_EQ(d.srcY, e.srcY);
    EXPECT_EQ(d.width, e.width);
    EXPECT_EQ(d.height, e.height);
    for (int v = 0; v < 4; ++v) {
      EXPECT_FLOAT_EQ(d.vertices[v].x, e.vertices[v].x) << "vertex " << v;
      EXPECT_FLOAT_EQ(d.vertices[v].y, e.vertices[v].y) << "vertex " << v;
      EXPECT_FLOAT_EQ(d.vertices[v].u, e.vertices[v].u) << "vertex " << v;
      EXPECT_FLOAT_EQ(d.vertices[v].v, e.vertices[v].v) << "vertex " << v;
      EXPECT_EQ(d.onDiagonal[v], e.onDiagonal[v]) << "vertex " << v;
    }
  }
}

TEST_F(GraphStorage, AGraphOnNoTileHasNoDrawInfo) {
  LogCapture log;
  const int graph = GraphOverTwoTiles(0, 480, 16, 16);  // below the used rows
  EXPECT_EQ(BuildGraphDrawInfo(graph), -1);
  EXPECT_EQ(GetGraphEntry(graph)->tileDrawCount, 0);
  EXPECT_NE(log.Contents().find("テクスチャ描画情報の作成に失敗しました\r\n"), std::string::npos);

  // A cell of it fails the same way after its handle was taken: the handle and the set's
  // extra reference go again.
  const int count = GraphHandles.count, endIndex = GraphHandles.endIndex;
  EXPECT_EQ(CreateSubGraph(0, 0, 4, 4, graph), -1);
  EXPECT_EQ(GraphHandles.count, count);
  EXPECT_EQ(GraphHandles.endIndex, endIndex);
  EXPECT_EQ(GetGraphEntry(graph)->textureSet->refCount, 1);
}

TEST_F(GraphStorage, ASoftwareGraphIsAMemoryImageOfTheScreensTypeKeyedByTheColourKey) {
  struct Case {
    int bits, hasAlpha;
    int colorType, formatCode;
    uint32_t transparent;
  } cases[] = {
      {32, 0, Xrgb8888, SoftwareSet32, 0xFFFF00FF},
      {16, 0, Rgb565, SoftwareSet16, 0xF81F},
      {32, 1, Xrgb8888, SoftwareSet32Alpha, 0x00FF00FF},  // the key the transfer turns to alpha
      {16, 1, Rgb565, SoftwareSet16Alpha, 0x00FF00FF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits * 10 + c.hasAlpha);
    ScreenMode.bits = c.bits;
    const int graph = NewGraph(32, 16, c.hasAlpha);
    ASSERT_GE(graph, 0);
    const GraphTextureSet* set = GetGraphEntry(graph)->textureSet;
    EXPECT_EQ(set->record.SoftwareImage, 1);
    EXPECT_EQ(set->record.DrawTargetCapable, 1);
    EXPECT_EQ(set->record.BitDepth, c.bits);
    EXPECT_EQ(set->formatIndex, c.formatCode);
    EXPECT_EQ(set->colorKey, 0xFF00FFu);
    const MemImgBody* body = set->image.body;
    EXPECT_EQ(body->colorType, c.colorType);
    EXPECT_EQ(body->hasAlpha, c.hasAlpha);
    EXPECT_EQ(body->transparentColor, c.transparent);
    EXPECT_EQ(GetGraphEntry(graph)->image.body, body);
    DeleteGraphHandle(graph);
  }
}

TEST_F(GraphStorage, KeyColouredPixelsOfA16BitGraphAreLeftOutOfTransparentDraws) {
  ScreenMode.bits = 16;
  TestPicture picture(4, 1, [](int x, int) { return x % 2 ? 0xFFFF00FFu : 0xFF00FF00u; });
  const int graph = NewGraph(4, 1);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  MEMIMG target = {};
  ASSERT_EQ(CreateMemImg(&target, 4, 1, -1, 0, Rgb565, 0, 0, 0, nullptr), 0);
  FillMemImgRect(&target, nullptr, 0x001F);
  const RECT savedArea = DrawArea;
  DrawArea = {0, 0, 4, 1};
  EXPECT_EQ(DrawMemImgPlain(&target, &GetGraphEntry(graph)->image, 0, 0, 1, nullptr), 1);
  DrawArea = savedArea;
  uint16_t row[4];
  std::memcpy(row, target.pixels, sizeof row);
  EXPECT_EQ(row[0], 0x07E0);
  EXPECT_EQ(row[1], 0x001F);  // the key: not drawn
  EXPECT_EQ(row[2], 0x07E0);
  EXPECT_EQ(row[3], 0x001F);
  ReleaseMemImg(&target);
}

}  // namespace
