// Soft images: deletion and the end index, refused handles, and their release when the library
// ends.
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "port/user/window_internal.h"
#include "runtime/graphics/graph/soft_image.h"
#include "runtime/platform/startup/library_hooks.h"
#include "runtime/platform/startup/library_startup.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

using SoftImages = SoftwareGraphs;

int NewSoftImage(int width = 4, int height = 4) {
  GraphImage image = {};
  if (CreateXrgbGraphImage(width, height, &image) != 0) return -1;
  const int handle = CreateSoftImage(&image);
  EXPECT_EQ(image.Pixels, nullptr);  // taken over
  return handle;
}

TEST_F(SoftImages, DeletingTwiceIsRefusedAndTheEndIndexFallsPastEmptySlots) {
  int handles[10];
  for (int& h : handles) h = NewSoftImage();
  for (int slot = 0; slot < 10; ++slot) {
    EXPECT_EQ(HandleSlotOf(handles[slot]), slot);
    EXPECT_EQ(HandleTypeOf(handles[slot]), HandleTypeSoftImage);
    if (slot != 0 && slot != 5 && slot != 9) { ASSERT_EQ(DeleteSoftImage(handles[slot]), 0); }
  }
  EXPECT_EQ(SoftImageHandles.count, 3);
  EXPECT_EQ(SoftImageHandles.endIndex, 10);
  EXPECT_EQ(DeleteSoftImage(handles[9]), 0);
  EXPECT_EQ(SoftImageHandles.endIndex, 6);
  EXPECT_EQ(DeleteSoftImage(handles[9]), -1);
  EXPECT_EQ(SoftImageHandles.count, 2);
  EXPECT_NE(GetSoftImage(handles[5]), nullptr);
}

TEST_F(SoftImages, AGraphHandleIsNoSoftImage) {
  const int image = NewSoftImage();
  const int graph = NewGraph(4, 4);
  EXPECT_EQ(DeleteSoftImage(graph), -1);
  // The soft image's own slot and check number under the graph type.
  EXPECT_EQ(
      DeleteSoftImage(MakeHandle(HandleTypeGraph, HandleCheckNumberOf(image), HandleSlotOf(image))),
      -1);
  EXPECT_EQ(SoftImageHandles.count, 1);
  EXPECT_EQ(GraphHandles.count, 1);
}

TEST(SoftImagesAtShutdown, EndLibraryFreesThemAll) {
  ASSERT_TRUE(PortEnsureVideo());
  TempFolder folder;
  ScopedCurrentDirectory cwd(folder.path());
  const std::string title = "SoftImageTest-" + std::to_string(getpid());
  WindowState = {};
  WindowHooks = {};
  LibraryHooks = {};
  SetWindowTitleText(title.c_str());
  WindowState.windowModeFlag = 1;
  LogCapture log;
  ASSERT_EQ(InitLibrary(), 0);
  for (int i = 0; i < 3; ++i) ASSERT_GE(NewSoftImage(16, 16), 0);
  ASSERT_EQ(EndLibrary(), 0);
  EXPECT_EQ(SoftImageHandles.count, 0);
  EXPECT_EQ(SoftImageHandles.endIndex, 0);
  const std::string contents = log.Contents();
  const size_t dump = contents.find("Alloc memory dump\r\n");
  ASSERT_NE(dump, std::string::npos);
  EXPECT_NE(contents.find("Alloc num:0\r\n", dump), std::string::npos) << contents.substr(dump);
  UnregisterClassA(title.c_str(), nullptr);
  WindowState = {};
  LibraryHooks = {};
}

}  // namespace
