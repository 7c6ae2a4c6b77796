// Light, vertex-buffer, index-buffer and shader handles: deletes refuse every handle that does
// not name a live record of their type and change nothing; delete-all clears a table.
#include <functional>

#include <gtest/gtest.h>

#include "runtime/graphics/device/device_buffers.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

struct Kind {
  const char* name;
  HandleTable* table;
  std::function<int()> create;
  std::function<int(int)> erase;
};

int NewRecord(HandleTable* table, size_t size) {
  return AllocHandle(table, size, __FILE__, __LINE__);
}

const Kind kKinds[] = {
    {"light", &LightHandles, [] { return CreateLightHandle(); }, &DeleteLightHandle},
    {"vertex buffer", &VertexBufferHandles,
     [] { return NewRecord(&VertexBufferHandles, sizeof(DeviceBufferRecord)); },
     &DeleteVertexBuffer},
    {"index buffer", &IndexBufferHandles,
     [] { return NewRecord(&IndexBufferHandles, sizeof(DeviceBufferRecord)); }, &DeleteIndexBuffer},
    {"shader", &ShaderHandles, [] { return NewRecord(&ShaderHandles, sizeof(ShaderRecord)); },
     &DeleteShader},
};

TEST(DeviceHandles, BadHandlesAreRefusedAndChangeNothing) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(kind.name);
    const int stale = kind.create();
    ASSERT_NE(stale, -1);
    ASSERT_EQ(kind.erase(stale), 0);
    const int live = kind.create();
    ASSERT_EQ(HandleSlotOf(live), HandleSlotOf(stale));
    const int foreign = kind.table == &LightHandles ? kKinds[1].create() : kKinds[0].create();
    const int type = HandleTypeOf(live);
    const int bad[] = {stale, foreign, -1, MakeHandle(type, HandleCheckNumberOf(live), 0xFFFF),
                       MakeHandle(type, HandleCheckNumberOf(live), HandleCapacity(type))};
    const int count = kind.table->count, end = kind.table->endIndex;
    const int blocks = GetTrackedHeapTotals().blocks;
    for (int handle : bad) EXPECT_EQ(kind.erase(handle), -1) << std::hex << handle;
    EXPECT_EQ(kind.table->count, count);
    EXPECT_EQ(kind.table->endIndex, end);
    EXPECT_EQ(GetTrackedHeapTotals().blocks, blocks);
    EXPECT_TRUE(IsHandleValid(kind.table, live));
    EXPECT_EQ(kind.erase(live), 0);
    EXPECT_EQ(kind.erase(live), -1);
    (kind.table == &LightHandles ? kKinds[1] : kKinds[0]).erase(foreign);
  }
}

TEST(DeviceHandles, DeleteAllEmptiesTheBufferTablesWhileGraphicsRun) {
  for (int i = 0; i < 3; ++i) kKinds[1].create();
  GraphicsInitialised = 0;
  EXPECT_EQ(DeleteAllVertexBuffers(), 0);
  EXPECT_EQ(VertexBufferHandles.count, 3);
  GraphicsInitialised = 1;
  EXPECT_EQ(DeleteAllVertexBuffers(), 0);
  GraphicsInitialised = 0;
  EXPECT_EQ(VertexBufferHandles.count, 0);
  EXPECT_EQ(VertexBufferHandles.endIndex, 0);
}

}  // namespace
