// The Theora decoder on movies encoded here: the index, the first frame at open, seeks, the
// stock and its wrap, both conversion paths, refusals and what open and close leave behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "runtime/platform/core/log.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int kFrames = 12;

// Until the thread has filled the stock and idles (bounded, so a hang fails instead).
bool WaitForIdleStock(TheoraDecoder* d) {
  for (int i = 0; i < 10000; ++i) {
    if (d->ThreadState == TheoraThreadIdle) return true;
    Sleep(1);
  }
  return false;
}

struct LayoutCase {
  const char* name;
  th_pixel_fmt format;
  int width;
  int height;
  bool fixedPoint;  // the conversion the frames take
};

class TheoraLayouts : public MovieFolder, public testing::WithParamInterface<LayoutCase> {};

TEST_P(TheoraLayouts, FirstFrameIsInTheRgbImageWhenTheOpenReturns) {
  const LayoutCase& c = GetParam();
  TheoraMovieOptions o;
  o.PixelFormat = c.format;
  o.Width = c.width;
  o.Height = c.height;
  const TheoraMovie movie = EncodeTheoraMovie(o);
  TheoraDecoder* d = Open(Write("movie.ogv", movie.File));
  ASSERT_NE(d, nullptr);

  TheoraMovieInfo info;
  GetTheoraInfo(d, &info);
  EXPECT_DOUBLE_EQ(info.FrameRate, 10.0);
  EXPECT_EQ(info.FrameCount, kFrames);
  EXPECT_EQ(info.Width, c.width);
  EXPECT_EQ(info.Height, c.height);
  EXPECT_EQ(GetTheoraDisplayIndex(d), 0);
  GraphImage* image = GetTheoraRgbImage(d);
  ASSERT_EQ(image->Width, c.width);
  ASSERT_EQ(image->Height, c.height);
  EXPECT_EQ(image->Format.BitsPerPixel, 32);
  EXPECT_TRUE(ShowsFrame(image, 0, MovieFlatRows(o)));
  EXPECT_EQ(ConvertTheoraFrame(d, 1, 1), 0) << "the frame was converted already";
  EXPECT_EQ(GetTheoraSurface(d), nullptr) << "no device: no surface";

  // Every pixel, the noise band too, by the path's own rule from the decoded planes. The two
  // rules must disagree somewhere on the band, or the comparison could not tell them apart.
  const TheoraStockFrame* f = DisplayFrame(d);
  ASSERT_NE(f, nullptr);
  ASSERT_EQ(f->YWidth, c.width);
  const int xShift = f->ChromaWidth < f->YWidth ? 1 : 0;
  const int yShift = f->ChromaHeight < f->YHeight ? 1 : 0;
  int disagreements = 0;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const int Y = f->Y[y * f->YStride + x];
      const int U = f->U[(y >> yShift) * f->ChromaStride + (x >> xShift)];
      const int V = f->V[(y >> yShift) * f->ChromaStride + (x >> xShift)];
      const Rgb table = TableRgb(Y, U, V);
      const Rgb real = FloatRgb(Y, U, V);
      disagreements += !Near(table, real, 0);
      const Rgb want = c.fixedPoint ? table : real;
      const Rgb got = ImageRgb(image, x, y);
      ASSERT_TRUE(Near(got, want, 0)) << "(" << x << ", " << y << ")";
    }
  EXPECT_GT(disagreements, 0);
}

INSTANTIATE_TEST_SUITE_P(Movies, TheoraLayouts,
                         testing::Values(LayoutCase{"Yuv420", TH_PF_420, 64, 48, true},
                                         LayoutCase{"Yuv444", TH_PF_444, 64, 48, false},
                                         LayoutCase{"Yuv422", TH_PF_422, 64, 48, false},
                                         LayoutCase{"Yuv420OddSize", TH_PF_420, 63, 47, false}),
                         [](const testing::TestParamInfo<LayoutCase>& info) {
                           return info.param.name;
                         });

struct SeekCase {
  const char* name;
  int keyFrameInterval;
};

class TheoraSeeks : public MovieFolder, public testing::WithParamInterface<SeekCase> {};

TEST_P(TheoraSeeks, IndexesEveryFrameAndSeeksToKeyAndOtherFrames) {
  TheoraMovieOptions o;
  o.KeyFrameInterval = GetParam().keyFrameInterval;
  o.FramesPerFlush = 3;
  o.SegmentsPerPage = 3;  // key frames continue across pages
  const TheoraMovie movie = EncodeTheoraMovie(o);
  TheoraDecoder* d = Open(Write("movie.ogv", movie.File));
  ASSERT_NE(d, nullptr);

  ASSERT_EQ(d->FrameCount, kFrames);
  std::vector<int> keys;
  for (int i = 0; i < kFrames; ++i)
    if (d->KeyFlags[i]) keys.push_back(i);
  EXPECT_EQ(keys, movie.KeyFrames);
  for (int i = 0; i < kFrames; ++i)
    ASSERT_EQ(std::count(keys.begin(), keys.end(), i), i % o.KeyFrameInterval == 0 ? 1 : 0);
  int next = 0;
  int continuedEntries = 0;
  for (int i = 0; i < d->PageCount; ++i) {
    const TheoraPageEntry& e = d->Pages[i];
    EXPECT_EQ(e.FirstFrame, next);
    next += e.Frames;
    const uint8_t* page = movie.File.data() + e.Offset;
    EXPECT_EQ(std::string(page, page + 4), "OggS");
    continuedEntries += i > 0 && (page[5] & 1) != 0;
    bool key = false;
    for (int f = e.FirstFrame; f < e.FirstFrame + e.Frames; ++f) key |= d->KeyFlags[f] != 0;
    EXPECT_EQ(e.KeyFrame, key ? 1 : 0);
  }
  EXPECT_EQ(next, kFrames);
  // With a key frame in every page, seeks start on pages that begin with a packet's rest.
  if (o.KeyFrameInterval == 1) { EXPECT_EQ(continuedEntries, d->PageCount - 1); }

  const struct {
    int request;
    int shown;
  } seeks[] = {{5, 5},    {8, 8},  {11, 11}, {2, 2}, {4, 4}, {7, 7}, {0, 0},
               {100, 11}, {-3, 0}, {10, 10}, {9, 9}, {1, 1}, {6, 6}, {3, 3}};
  for (const auto& s : seeks) {
    SCOPED_TRACE(s.request);
    SeekTheoraMovie(d, s.request);
    EXPECT_EQ(GetTheoraDisplayIndex(d), s.shown);
    ASSERT_EQ(ConvertTheoraFrame(d, 1, 0), 1);
    EXPECT_TRUE(ShowsFrame(GetTheoraRgbImage(d), s.shown, MovieFlatRows(o)));
    EXPECT_EQ(ConvertTheoraFrame(d, 1, 0), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Movies, TheoraSeeks,
                         testing::Values(SeekCase{"KeyEveryFourth", 4}, SeekCase{"AllKeys", 1}),
                         [](const testing::TestParamInfo<SeekCase>& info) {
                           return info.param.name;
                         });

TEST_F(MovieFolder, StockHoldsTheFramesAheadAndWrapsToTheStart) {
  TheoraMovieOptions o;
  o.WithAudio = false;
  TheoraDecoder* d = Open(Write("movie.ogv", EncodeTheoraMovie(o).File));
  ASSERT_NE(d, nullptr);

  const struct {
    int display;
    std::set<int> stocked;
  } cases[] = {
      {8, {8, 9, 10, 11, 0, 1, 2, 3, 4, 5}},
      {3, {3, 4, 5, 6, 7, 8, 9, 10, 11, 0}},
      {0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.display);
    SeekTheoraMovie(d, c.display);
    ASSERT_EQ(ConvertTheoraFrame(d, 1, 0), 1);
    ASSERT_TRUE(WaitForIdleStock(d));
    std::set<int> stocked;
    for (int i = 0; i < d->StockCount; ++i) {
      const TheoraStockFrame& e = d->Stock[i];
      ASSERT_TRUE(e.Valid);
      stocked.insert(e.FrameIndex);
      // Each entry holds the frame it is labelled with.
      EXPECT_NEAR(e.Y[8 * e.YStride + 8], MovieFrameYuv(e.FrameIndex).Y, 3) << e.FrameIndex;
    }
    EXPECT_EQ(stocked, c.stocked);
  }
}

TEST(TheoraConversion, TablesAndFloatingPointOnSyntheticPlanes) {
  BuildYuvTables();
  const struct {
    int y, u, v;
    bool halfChroma;
    Rgb want;
  } cases[] = {
      {235, 128, 128, true, {254, 254, 254}},  // the division truncates
      {16, 128, 128, true, {0, 0, 0}},
      {255, 128, 128, true, {255, 255, 255}},  // through the clamp
      {0, 255, 255, true, {184, 0, 237}},      // green below 0
      {100, 122, 122, true, {88, 104, 85}},
      {100, 122, 122, false, {88, 105, 85}},  // the same sample in floating point
      {235, 128, 128, false, {254, 254, 254}},
      {128, 0, 255, false, {255, 77, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.y << " " << c.u << " " << c.v << " " << c.halfChroma);
    // 4 x 2 luma; chroma 2 x 1 (4:2:0) or 4 x 2 (4:4:4).
    uint8_t y[8], u[8], v[8];
    std::fill(std::begin(y), std::end(y), c.y);
    std::fill(std::begin(u), std::end(u), c.u);
    std::fill(std::begin(v), std::end(v), c.v);
    TheoraStockFrame f{};
    f.Y = y;
    f.U = u;
    f.V = v;
    f.YWidth = f.YStride = 4;
    f.YHeight = 2;
    f.ChromaWidth = f.ChromaStride = c.halfChroma ? 2 : 4;
    f.ChromaHeight = c.halfChroma ? 1 : 2;
    GraphImage image = {};
    ASSERT_EQ(CreateXrgbGraphImage(4, 2, &image), 0);
    ConvertTheoraStockFrame(&f, &image);
    for (int py = 0; py < 2; ++py)
      for (int px = 0; px < 4; ++px) {
        const Rgb got = ImageRgb(&image, px, py);
        EXPECT_EQ(got.Red, c.want.Red);
        EXPECT_EQ(got.Green, c.want.Green);
        EXPECT_EQ(got.Blue, c.want.Blue);
        EXPECT_EQ(image.Pixels[py * image.Pitch + px * 4 + 3], 255);
      }
    FreeGraphImage(&image);
  }
}

TEST_F(MovieFolder, RefusesFilesWithoutTheoraFramesSilently) {
  TheoraMovieOptions headersOnly;
  headersOnly.Frames = 0;
  headersOnly.WithAudio = false;
  const Bytes movie = EncodeTheoraMovie(TheoraMovieOptions{}).File;
  const std::vector<int16_t> tone(20000, 1000);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"vorbis.ogg", EncodeOggVorbis(tone, 1, 44100)},
      {"headers.ogv", EncodeTheoraMovie(headersOnly).File},
      {"cut.ogv", Bytes(movie.begin(), movie.begin() + 200)},
      {"plain.bin", Bytes(4096, 'x')},
      {"short.bin", Bytes{'O', 'g'}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture log;
    const FileHandle file = OpenStreamFile(Write(c.name, c.bytes).c_str(), 0, 1, 0);
    ASSERT_NE(file, 0);
    const LeftBehind before = LeftBehind::Now();
    EXPECT_EQ(OpenTheoraMovie(&CurrentFileFunctions, file, 10), nullptr);
    const LeftBehind after = LeftBehind::Now();
    CloseStreamFile(file);
    EXPECT_EQ(log.Contents(), "");
    EXPECT_EQ(after.heap.blocks, before.heap.blocks);
    EXPECT_EQ(after.handles, before.handles);
    EXPECT_EQ(after.threads, before.threads);
  }
}

TEST_F(MovieFolder, LogsTheDecoderThatCannotBeAllocated) {
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(TheoraMovieOptions{}).File);
  LogCapture log;
  const FileHandle file = OpenStreamFile(path.c_str(), 0, 1, 0);
  SetTrackedHeapFailures(1);
  EXPECT_EQ(OpenTheoraMovie(&CurrentFileFunctions, file, 10), nullptr);
  SetTrackedHeapFailures(0);
  CloseStreamFile(file);
  EXPECT_NE(log.Contents().find("Theora ムービーデコード処理用のメモリ確保に失敗しました\r\n"),
            std::string::npos);
}

TEST_F(MovieFolder, TwentyOpenAndCloseCyclesLeaveNothingBehind) {
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(TheoraMovieOptions{}).File);
  const LeftBehind before = LeftBehind::Now();
  for (int i = 0; i < 20; ++i) {
    const FileHandle file = OpenStreamFile(path.c_str(), 0, 1, 0);
    TheoraDecoder* d = OpenTheoraMovie(&CurrentFileFunctions, file, 10);
    ASSERT_NE(d, nullptr);
    SeekTheoraMovie(d, i % kFrames);
    if (i % 2) ConvertTheoraFrame(d, 1, 1);
    CloseTheoraMovie(d);
    CloseStreamFile(file);
  }
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.heap.bytes, before.heap.bytes);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(after.threads, before.threads);
}

}  // namespace
