// Every graph operation given a handle that names no live graph (a stale one, one of another
// type, -1, one past the table) refuses it with -1, writes no line and changes nothing.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/graph/soft_image.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/log_capture.h"

namespace {

using BadHandles = SoftwareGraphs;

TEST_F(BadHandles, AreRefusedWithoutALineAndChangeNothing) {
  TestPicture picture(8, 8, PatternColour);
  const int graph = NewGraph(8, 8);
  ASSERT_EQ(UploadWhole(graph, picture.image), 0);
  const int stale = NewGraph(8, 8);
  ASSERT_EQ(DeleteGraphHandle(stale), 0);
  const int reused = NewGraph(8, 8);
  ASSERT_EQ(HandleSlotOf(reused), HandleSlotOf(stale));
  GraphImage softPicture = {};
  ASSERT_EQ(CreateXrgbGraphImage(4, 4, &softPicture), 0);
  const int softImage = CreateSoftImage(&softPicture);
  ASSERT_GE(softImage, 0);
  BlendGraphHandle = graph;  // a valid blend graph, so that only the argument is wrong

  const auto foreignOf = [](int handle, int type) {
    return MakeHandle(type, HandleCheckNumberOf(handle), HandleSlotOf(handle));
  };
  const int graphHandles[] = {stale, foreignOf(graph, HandleTypeSound), -1,
                              MakeHandle(HandleTypeGraph, 0, 40000)};
  const int softHandles[] = {
      MakeHandle(HandleTypeSoftImage, HandleCheckNumberOf(softImage) ^ 1, HandleSlotOf(softImage)),
      foreignOf(softImage, HandleTypeGraph), -1, MakeHandle(HandleTypeSoftImage, 0, 9000)};

  const RECT rect = {0, 0, 8, 8};
  int lost = 0;
  struct Operation {
    const char* name;
    std::function<int(int)> call;
  } graphOperations[] = {
      {"GetGraphDimensions", [](int h) { return GetGraphDimensions(h, nullptr, nullptr); }},
      {"CreateSubGraph", [](int h) { return CreateSubGraph(0, 0, 4, 4, h); }},
      {"DeleteGraphHandle", [](int h) { return DeleteGraphHandle(h); }},
      {"SetGraphSourceFile", [](int h) { return SetGraphSourceFile(h, "x.png", -1); }},
      {"SetGraphSourceFile share", [&](int h) { return SetGraphSourceFile(h, nullptr, graph); }},
      {"SetGraphLostFlag", [&](int h) { return SetGraphLostFlag(h, &lost); }},
      {"CreateGraphStorage", [](int h) { return CreateGraphStorage(1, h, 8, 8, 0, 0, 0); }},
      {"BuildGraphDrawInfo", [](int h) { return BuildGraphDrawInfo(h); }},
      {"UploadImageToGraph",
       [&](int h) {
         return UploadImageToGraph(h, 0, nullptr, nullptr, &rect, 0, 0, 0, &picture.image, nullptr,
                                   0, 0, 0);
       }},
      {"TransferImageToGraph",
       [&](int h) {
         return TransferImageToGraph(0, nullptr, nullptr, "x.png", 0, &picture.image, nullptr, 0, 0,
                                     h, 0);
       }},
      {"TransferImageRectToGraph",
       [&](int h) {
         return TransferImageRectToGraph(0, nullptr, nullptr, "x.png", 0, &picture.image, nullptr,
                                         &rect, 0, 0, h, 0);
       }},
      {"FillGraph", [](int h) { return FillGraph(h, 1, 2, 3, 4); }},
      {"CopyDrawTargetToGraph", [](int h) { return CopyDrawTargetToGraph(0, 0, 8, 8, h); }},
      {"CheckBlendGraphSize", [](int h) { return CheckBlendGraphSize(h); }},
      {"SetBlendGraph", [](int h) { return SetBlendGraph(h, 10, 20); }},
  };

  LogCapture log;
  const std::string logBefore = log.Contents();
  const auto unchanged = [&](const std::string& what) {
    EXPECT_EQ(log.Contents(), logBefore) << what;
    EXPECT_EQ(GraphHandles.count, 2) << what;
    EXPECT_EQ(GraphHandles.endIndex, 2) << what;
    EXPECT_EQ(SoftImageHandles.count, 1) << what;
    EXPECT_EQ(GetGraphEntry(graph)->textureSet->refCount, 1) << what;
    EXPECT_EQ(GetGraphSourcePath(graph), nullptr) << what;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        ASSERT_EQ(SoftGraphPixel(graph, x, y), PatternColour(x, y)) << what;
  };
  const TrackedHeapTotals heap = GetTrackedHeapTotals();
  for (const Operation& op : graphOperations)
    for (int h : graphHandles) {
      if (h == -1 && std::string(op.name) == "SetBlendGraph") continue;  // -1 asks for none
      const std::string what = std::string(op.name) + " " + std::to_string(h);
      EXPECT_EQ(op.call(h), -1) << what;
      unchanged(what);
    }
  for (int h : softHandles) {
    EXPECT_EQ(DeleteSoftImage(h), -1) << h;
    unchanged("DeleteSoftImage " + std::to_string(h));
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, heap.blocks);
  BlendGraphHandle = -1;
}

}  // namespace
