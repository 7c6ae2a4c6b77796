// A lost device, found by the present that follows the window's reactivation: every handle
// keeps its value, graphs loaded from files are read again (a sheet once per run of its
// graphs, mirrored again, DXT sets whole), graphs without a file come back cleared unless a
// restore callback refills them, soft images stay, and the next frame draws as before. A
// device that cannot be made again ends the program; the software path makes none.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_graph_hooks.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/soft_image.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/screen/device_loss.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/graphics_startup.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/platform/window/window_state.h"
#include "tests/graphics_hardware/graph_device_fixture.h"
#include "tests/graphics_hardware/hardware_screen_fixture.h"
#include "tests/support/child_process.h"
#include "tests/support/graph_pictures.h"
#include "tools/lib/image_file_fixtures.h"

namespace {

// The names the file functions were asked to open.
std::vector<std::string> gOpened;
FileHandle (*gDefaultOpen)(const char*, int, int, int) = nullptr;

// A sheet's colour at (x, y): distinct per sheet and never the colour key (black).
uint32_t SheetColour(int sheet, int x, int y) {
  return (PatternColour(x, y) ^ static_cast<uint32_t>(sheet) * 0x3C0000u) | 0xFF010101u;
}

std::string BmpFileOf(int sheet, int width, int height) {
  std::vector<std::vector<uint32_t>> rows(height, std::vector<uint32_t>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rows[y][x] = SheetColour(sheet, x, y) & 0xFFFFFF;
  BmpFileLayout layout;
  layout.width = width;
  layout.height = -height;
  const ByteString bytes = MakeBmpFile(layout, PackDibRows(rows, 24, true));
  return std::string(bytes.begin(), bytes.end());
}

uint16_t DxtColour(int, int bx, int by) {
  return static_cast<uint16_t>(0x0841 * (bx + 4 * by) + 1);
}

class DeviceLoss : public HardwareScreen {
 protected:
  void SetUp() override {
    HardwareScreen::SetUp();
    if (IsSkipped()) return;
    for (int sheet : {0, 1, 2, 3}) {
      static const char* const kNames[] = {"a.bmp", "b.bmp", "c.bmp", "d.bmp"};
      folder_.WriteFile(kNames[sheet], BmpFileOf(sheet, 64, 32));
    }
    GraphImage dxt = MakeDxtPicture(1, 64, 64, 1, DxtColour);
    DdsFileLayout layout;
    layout.width = layout.height = 64;
    layout.fourCC = "DXT1";
    const ByteString dds = MakeDdsFile(
        layout, ByteString(dxt.Pixels, dxt.Pixels + BlockCompressedDataBytes(1, 64, 64, 1)));
    folder_.WriteFile("e.dds", std::string(dds.begin(), dds.end()));
    FreeGraphImage(&dxt);
    StartOnDevice();
    // Start-up installed the plain file functions; the opens are counted from here on.
    FileFunctionTable counting = CurrentFileFunctions;
    gDefaultOpen = counting.Open;
    counting.Open = [](const char* name, int cache, int block, int async) {
      gOpened.push_back(name);
      return gDefaultOpen(name, cache, block, async);
    };
    SetFileFunctionTable(&counting);
    gOpened.clear();
  }
  void TearDown() override {
    SetFileFunctionTable(nullptr);
    HardwareScreen::TearDown();
  }

  // As the loaders make graphs of a sheet: the whole picture into a graph that records the
  // file, cells cut from it, the whole graph deleted. mirror loads the sheet mirrored.
  std::vector<int> LoadCells(const char* name, int cells, int cellWidth, bool mirror = false) {
    GraphImage sheet = {};
    EXPECT_EQ(ReadImageToGraphImage(name, nullptr, 0, 0, &sheet, mirror ? 1 : 0), 0);
    const int whole = CreateGraphForImage(&sheet, nullptr);
    EXPECT_EQ(TransferImageToGraph(0, nullptr, nullptr, name, 0, &sheet, nullptr, 0, 0, whole, 0),
              0);
    if (mirror) SetGraphSourceMirror(whole, 1);
    std::vector<int> handles;
    for (int i = 0; i < cells; ++i)
      handles.push_back(CreateSubGraph(i * cellWidth, 0, cellWidth, sheet.Height, whole));
    DeleteGraphHandle(whole);
    FreeGraphImage(&sheet);
    return handles;
  }

  // The texels of the graph's own rectangle of its set's first texture.
  static std::vector<uint32_t> Texels(int graph) {
    const GraphEntry& entry = *GetGraphEntry(graph);
    const GraphTextureTile& tile = entry.textureSet->tiles[0];
    const std::vector<uint32_t> all = entry.textureSet->record.DrawTargetCapable
                                          ? ReadSurface(tile.surface)
                                          : ReadTextureLevel(ReadableTexture(graph, 0), 0);
    std::vector<uint32_t> texels;
    for (int y = entry.y; y < entry.y + entry.height && !all.empty(); ++y)
      for (int x = entry.x; x < entry.x + entry.width; ++x)
        texels.push_back(all[static_cast<size_t>(y) * tile.textureWidth + x]);
    return texels;
  }

  static bool Cleared(const std::vector<uint32_t>& texels) {
    return !texels.empty() && (texels[0] & 0xFFFFFF) == 0 &&
           std::all_of(texels.begin(), texels.end(), [&](uint32_t t) { return t == texels[0]; });
  }

  // Opens of the file of this name (its alpha companion "a_a.bmp" is another file).
  static int Opens(const std::string& file) {
    return static_cast<int>(std::count_if(
        gOpened.begin(), gOpened.end(),
        [&](const std::string& n) { return n.substr(n.find_last_of("\\/") + 1) == file; }));
  }

  int CountLogged(const std::string& part) const {
    const std::vector<std::string> lines = LogLines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
      return l.find(part) != std::string::npos;
    }));
  }

  // The present after the window is activated again fails on the lost device, and the window
  // procedure has the device made again.
  static void LoseDevice() {
    PortSetD3DDeviceLost(true);
    SendMessageA(WindowState.mainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
    PortSetD3DDeviceLost(false);
  }
};

TEST_F(DeviceLoss, GraphsFromFilesComeBackAndTheRestCleared) {
  // Sheets in the slots as A, A, B, A: read A, B, A.
  std::vector<int> a = LoadCells("a.bmp", 2, 32);
  const std::vector<int> b = LoadCells("b.bmp", 1, 32);
  const std::vector<int> a2 = LoadCells("a.bmp", 1, 32);
  const std::vector<int> mirrored = LoadCells("c.bmp", 1, 32, true);
  const std::vector<int> dxt = LoadCells("e.dds", 2, 32);
  const std::vector<int> missing = LoadCells("d.bmp", 2, 32);
  ASSERT_EQ(GetGraphEntry(dxt[0])->textureSet->record.DxtKind, 1);

  TestPicture pattern(32, 32, PatternColour);
  const int blank = NewGraph(32, 32);
  ASSERT_EQ(UploadWhole(blank, pattern.image), 0);
  const int fromMemory = CreateGraphForImage(&pattern.image, nullptr);
  ASSERT_EQ(TransferImageToGraph(0, nullptr, nullptr, nullptr, 0, &pattern.image, nullptr, 0, 0,
                                 fromMemory, 0),
            0);
  SetDrawTargetGraphOption(1);
  const int target = NewGraph(32, 32);
  SetDrawTargetGraphOption(0);
  ASSERT_EQ(FillGraph(target, 200, 100, 50, 255), 0);
  TestPicture softPicture(16, 16, PatternColour);
  GraphImage softCopy = softPicture.image;
  softPicture.image = {};  // the soft image takes the pixels
  const int soft = CreateSoftImage(&softCopy);
  ASSERT_GE(soft, 0);

  const std::vector<int> reloaded = {a[0], b[0], a2[0], mirrored[0]};
  std::vector<std::vector<uint32_t>> before;
  for (int g : reloaded) before.push_back(Texels(g));
  const std::vector<uint8_t> dxtBefore = ReadLevelBytes(ReadableTexture(dxt[0], 0), 0);
  const std::vector<int> cleared = {blank, fromMemory, target};
  for (int g : cleared) ASSERT_FALSE(Cleared(Texels(g)));
  ASSERT_EQ(Texels(mirrored[0])[0], SheetColour(2, 63, 0));  // the sheet's rightmost column
  ASSERT_NE(std::remove((folder_.path() + "/d.bmp").c_str()), -1);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  ASSERT_EQ(SetDrawClipRect(10, 20, 600, 400), 0);
  gOpened.clear();

  LoseDevice();
  ASSERT_TRUE(Logged("グラフィックを復帰します"));
  EXPECT_EQ(HardwareRendering, 1);
  EXPECT_EQ(GetDrawTarget(), -2);
  EXPECT_EQ(DrawArea.left * 1000 + DrawArea.bottom, 10400);
  for (const std::vector<int>& group : {a, b, a2, mirrored, dxt, missing, cleared})
    for (int g : group) {
      ASSERT_NE(GetGraphEntry(g), nullptr) << g;
      EXPECT_EQ(GetGraphEntry(g)->handle, g);
    }
  for (size_t i = 0; i < reloaded.size(); ++i) EXPECT_EQ(Texels(reloaded[i]), before[i]) << i;
  EXPECT_EQ(ReadLevelBytes(ReadableTexture(dxt[0], 0), 0), dxtBefore);
  EXPECT_EQ(Opens("a.bmp"), 2);
  EXPECT_EQ(Opens("b.bmp"), 1);
  EXPECT_EQ(Opens("e.dds"), 1);
  EXPECT_EQ(CountLogged("d.bmp がロードできませんでした"), 1);
  for (int g : missing) EXPECT_TRUE(Cleared(Texels(g))) << g;
  for (int g : cleared) EXPECT_TRUE(Cleared(Texels(g))) << g;
  const GraphImage* kept = GetSoftImage(soft);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(GetGraphImagePixelArgb(kept, 15, 15), PatternColour(15, 15));
  DeleteSoftImage(soft);
}

TEST_F(DeviceLoss, ARestoreCallbackRefillsInsteadOfTheFiles) {
  static int blank;
  static int calls;
  static const TestPicture* picture;
  TestPicture pattern(32, 32, PatternColour);
  picture = &pattern;
  calls = 0;
  blank = NewGraph(32, 32);
  ASSERT_EQ(UploadWhole(blank, pattern.image), 0);
  const std::vector<uint32_t> before = Texels(blank);
  const std::vector<int> a = LoadCells("a.bmp", 1, 32);
  ASSERT_EQ(SetRestoreCallback([] {
              ++calls;
              UploadWhole(blank, picture->image);
            }),
            0);
  gOpened.clear();
  LoseDevice();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Texels(blank), before);
  EXPECT_FALSE(Logged("グラフィックを復帰します"));
  EXPECT_EQ(Opens("a.bmp"), 0);
  EXPECT_TRUE(Cleared(Texels(a[0])));
  SetRestoreCallback(nullptr);
  EXPECT_EQ(HasRestoreCallback(), 1);
}

TEST_F(DeviceLoss, AFrameDrawnAfterTheLossEqualsTheOneBefore) {
  ASSERT_EQ(SetDrawTarget(-2), 0);
  DrawRectangleFrame();
  const std::vector<uint32_t> before = ReadDrawTarget(640, 480);
  ASSERT_EQ(before.size(), 640u * 480u);
  LoseDevice();
  DrawRectangleFrame();
  EXPECT_EQ(ReadDrawTarget(640, 480), before);
}

// The blend graph's texture is made again with the others; the selection must not keep the
// one released with the old device.
TEST_F(DeviceLoss, ABlendGraphSetAcrossTheLossDrawsWithItsNewTexture) {
  ASSERT_EQ(SetDrawTarget(-2), 0);
  const int graph = LoadCells("a.bmp", 1, 64)[0];
  const int blend = LoadCells("b.bmp", 1, 64)[0];
  ASSERT_EQ(SetBlendGraph(blend, 128, 0), 0);
  ASSERT_EQ(DrawGraphAt(10, 10, graph, 1), 0);
  const std::vector<uint32_t> before = ReadDrawTarget(640, 480);
  LoseDevice();
  BlendGraphSource source = {};
  ASSERT_EQ(DeviceGraphHooks.blendGraphSource(blend, &source), 0);
  EXPECT_EQ(BlendSelection.blendTexture, source.texture);
  ASSERT_EQ(DrawGraphAt(10, 10, graph, 1), 0);
  EXPECT_EQ(ReadDrawTarget(640, 480), before);
  SetBlendGraph(-1, 0, 0);
}

TEST_F(DeviceLoss, DISABLED_NoNewDeviceChild) {
  if (!IsChildRunOf("DeviceLoss.DISABLED_NoNewDeviceChild")) GTEST_SKIP();
  SetLogDirectory(getenv("KELVANOR_TEST_DIR"));
  StartLogFile();
  PortFailNextD3DDeviceCreations(2);
  LoseDevice();
  ADD_FAILURE() << "the program went on without a device";
}

TEST_F(DeviceLoss, NoNewDeviceEndsTheProgram) {
  TempFolder dir;
  EXPECT_EQ(RunTestInChild("DeviceLoss.DISABLED_NoNewDeviceChild",
                           {"KELVANOR_TEST_DIR=" + dir.WindowsPath()}),
            255);
  EXPECT_NE(
      dir.ReadFile("Log.txt").find("デバイスロスト後の Direct3DDevice9 の再作成に失敗しました"),
      std::string::npos);
}

// On the software path the graphics are set up again without a device, even where one could
// be made.
TEST_F(HardwareScreen, TheSoftwarePathMakesNoDeviceAgain) {
  ASSERT_EQ(SetUseHardwareRendering(0), 0);
  ASSERT_EQ(Start(), 0);
  PaintScreenImage();
  const uint32_t painted = ScreenImagePixel(100, 100);
  ASSERT_EQ(ReleaseGraphicsForDisplayChange(), 0);
  EXPECT_EQ(HardwareRendering, 0);
  EXPECT_EQ(Direct3DDevice, nullptr);
  EXPECT_EQ(ScreenImagePixel(100, 100), painted);
}

}  // namespace
