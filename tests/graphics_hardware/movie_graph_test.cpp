// Graphs made from movie files on both paths: the first frame shown by a draw (on the device
// through the movie's YUV surface, or from the filter graph's renderer for other formats), the
// movie closed with its graph, the frame back after the device was lost, and the files that are
// no movie.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "port/d3d9/d3d9.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/device_loss.h"
#include "runtime/graphics/screen/draw_target.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/encoded_media.h"
#include "tests/support/log_capture.h"
#include "tests/support/recording_device.h"
#include "tests/support/sound_files.h"
#include "tests/support/temp_folder.h"

namespace {

class MovieGraphs : public StartedGraphics, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    StartedGraphics::SetUp();
    BuildYuvTables();
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    folder_.WriteFile(name, std::string(bytes.begin(), bytes.end()));
    return folder_.WindowsPath() + "\\" + name;
  }

  // The flat rows of the graph drawn at the top-left of a cleared screen.
  std::vector<uint32_t> Drawn(int graph) {
    ClearDrawTarget(nullptr);
    EXPECT_EQ(DrawGraphAt(0, 0, graph, 0), 0);
    return SavedScreen(0, 0, options_.Width, MovieFlatRows(options_));
  }

  testing::AssertionResult ShowsColour(const std::vector<uint32_t>& pixels, Rgb want,
                                       int tolerance) {
    if (pixels.empty()) return testing::AssertionFailure() << "nothing read back";
    for (size_t i = 0; i < pixels.size(); ++i) {
      const Rgb got = {static_cast<int>(pixels[i] >> 16 & 0xFF),
                       static_cast<int>(pixels[i] >> 8 & 0xFF), static_cast<int>(pixels[i] & 0xFF)};
      if (!Near(got, want, tolerance))
        return testing::AssertionFailure()
               << "pixel " << i << " is " << got.Red << "," << got.Green << "," << got.Blue
               << " where " << want.Red << "," << want.Green << "," << want.Blue << " was wanted";
    }
    return testing::AssertionSuccess();
  }

  TempFolder folder_;
  TheoraMovieOptions options_;
};

// The first frame, as the decoder's RGB image holds it; the device converts the YUV surface
// itself, within a few steps of that.
TEST_P(MovieGraphs, ShowTheFirstFrameAndCloseTheMovieWithTheGraph) {
  const bool hardware = GetParam();
  ASSERT_TRUE(Start(hardware));
  const LeftBehind before = LeftBehind::Now();
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(options_).File);

  const int graph = LoadGraphFromFile(path.c_str(), 0);
  ASSERT_NE(graph, -1);
  const int movie = GetGraphEntry(graph)->movieHandle;
  MovieEntry* entry = GetMovieEntry(movie);
  ASSERT_NE(entry, nullptr);
  int width = 0, height = 0;
  GetGraphDimensions(graph, &width, &height);
  EXPECT_EQ(width, options_.Width);
  EXPECT_EQ(height, options_.Height);
  EXPECT_EQ(GetTheoraSurface(entry->theoraDecoder) != nullptr, hardware);

  const GraphImage* image = GetTheoraRgbImage(entry->theoraDecoder);
  ASSERT_TRUE(ShowsFrame(image, 0, MovieFlatRows(options_)));
  EXPECT_TRUE(ShowsColour(Drawn(graph), ImageRgb(image, 0, 0), hardware ? 4 : 0));

  EXPECT_EQ(DeleteGraphHandle(graph), 0);
  EXPECT_EQ(GetMovieEntry(movie), nullptr);
  EXPECT_EQ(MovieHandles.count, 0);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
}

// A movie of another format goes through the filter graph; once the graph is paused (nothing
// in the library starts a movie) its first frame is drawn, upright, by the graph's draws.
TEST_P(MovieGraphs, FilterGraphMovieShowsItsFirstFrame) {
  ASSERT_TRUE(Start(GetParam()));
  const LeftBehind before = LeftBehind::Now();
  const std::vector<FlatColour> colours = MovieTestColours(4);
  const std::string path =
      Write("movie.mpg", EncodeMovieFile(MovieToEncode{"mpeg", "mpeg1video", 64, 48, 25, colours}));
  const int graph = LoadGraphFromFile(path.c_str(), 0);
  ASSERT_NE(graph, -1);
  MovieEntry* entry = GetMovieEntry(GetGraphEntry(graph)->movieHandle);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->theora, 0);
  ASSERT_EQ(entry->control->Pause(), S_OK);
  int shown = -1;
  for (int i = 0; i < 5000 && shown == -1; ++i) {
    ClearDrawTarget(nullptr);
    ASSERT_EQ(DrawGraphAt(0, 0, graph, 0), 0);
    const std::vector<uint32_t> pixels = SavedScreen(0, 0, 64, 48);
    ASSERT_EQ(pixels.size(), 64u * 48u);
    shown = IdentifyMovieFrame(reinterpret_cast<const uint8_t*>(pixels.data()), 64 * 4, 64, 48, 4,
                               colours, 40);
    if (shown == -1) Sleep(2);
  }
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(DeleteGraphHandle(graph), 0);
  EXPECT_EQ(MovieHandles.count, 0);
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, MovieGraphs, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Hardware" : "Software"; });

using MovieGraphsOnDevice = MovieGraphs;

// The YUV surface is an object of the device: released with it and made again on the new one,
// so the movie's frame comes back into its graph.
TEST_F(MovieGraphsOnDevice, FrameComesBackAfterTheDeviceWasLost) {
  ASSERT_TRUE(Start(true));
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(options_).File);
  const int graph = LoadGraphFromFile(path.c_str(), 0);
  ASSERT_NE(graph, -1);
  const std::vector<uint32_t> before = Drawn(graph);
  ASSERT_FALSE(before.empty());
  IDirect3DSurface9* oldSurface =
      GetTheoraSurface(GetMovieEntry(GetGraphEntry(graph)->movieHandle)->theoraDecoder);

  PortSetD3DDeviceLost(true);
  RecreateGraphicsDevice();
  PortSetD3DDeviceLost(false);

  const TheoraDecoder* decoder = GetMovieEntry(GetGraphEntry(graph)->movieHandle)->theoraDecoder;
  EXPECT_NE(decoder->Surface, nullptr);
  EXPECT_NE(decoder->Surface, oldSurface);
  EXPECT_EQ(Drawn(graph), before);
  DeleteGraphHandle(graph);
}

// A graph whose storage cannot be made takes its movie with it: no thread or sound is left.
TEST_F(MovieGraphsOnDevice, StorageThatCannotBeMadeClosesTheMovie) {
  ASSERT_TRUE(Start(true));
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(options_).File);
  const LeftBehind before = LeftBehind::Now();
  const int graphsBefore = GraphHandles.count;
  IDirect3DDevice9* const device = Direct3DDevice;
  device->AddRef();
  auto* recorder = new RecordingDevice(device);
  Direct3DDevice = recorder;
  recorder->failing = {"CreateTexture"};
  LogCapture log;
  EXPECT_EQ(LoadGraphFromFile(path.c_str(), 0), -1);
  Direct3DDevice = device;
  recorder->Release();
  EXPECT_NE(log.Contents().find(
                "右記のグラフィックファイルの格納用グラフィック領域の作成に失敗しました："),
            std::string::npos);
  EXPECT_EQ(MovieHandles.count, 0);
  EXPECT_EQ(GraphHandles.count, graphsBefore);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
}

// An Ogg file without a video stream is neither picture nor movie: the movie player's two lines,
// then the graph loader's.
TEST_F(MovieGraphs, OggFileWithOnlyVorbisIsNoGraph) {
  ASSERT_TRUE(Start(false));
  const std::string path =
      Write("sound.ogg", EncodeOggVorbis(std::vector<int16_t>(4410, 1000), 1, 44100));
  LogCapture log;
  EXPECT_EQ(LoadGraphFromFile(path.c_str(), 0), -1);
  const std::string text = log.Contents();
  const size_t filterGraph = text.find("ファイル:" + path + " が開けませんでした");
  const size_t movie = text.find("ムービーファイルオープン処理時にエラーが発生しました");
  const size_t graph = text.find("右記のグラフィックファイルのロードに失敗しました：" + path + " ");
  EXPECT_NE(filterGraph, std::string::npos);
  EXPECT_NE(movie, std::string::npos);
  EXPECT_NE(graph, std::string::npos);
  EXPECT_LT(filterGraph, movie);
  EXPECT_LT(movie, graph);
  EXPECT_EQ(MovieHandles.count, 0);
  EXPECT_EQ(GraphHandles.count, 0);
}

}  // namespace
