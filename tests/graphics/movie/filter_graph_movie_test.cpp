// Movies of other formats than Ogg Theora, made by FFmpeg's encoders, through the port's filter
// graph: each frame reaches the movie in order while the graph runs (started through the
// graph's control, as nothing in the library starts a movie), the stop position ends the
// playback, a movie inside an archive plays from a temporary copy, open and close leave
// nothing behind, and damaged files are refused with their lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "port/ffmpeg/ffmpeg_api.h"
#include "port/files/path_translate.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/movie/movie_renderer.h"
#include "runtime/platform/files/archive_file_functions.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/encoded_media.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int kFrames = 8;
constexpr int kFps = 25;
constexpr REFERENCE_TIME kFrameTime = 10000000 / kFps;

struct MovieCase {
  const char* file;
  MovieToEncode movie;
};

std::vector<MovieCase> Cases() {
  const std::vector<FlatColour> colours = MovieTestColours(kFrames);
  std::vector<MovieCase> out = {
      {"mpeg1.mpg", {"mpeg", "mpeg1video", 64, 48, kFps, colours}},
      {"mpeg4.avi", {"avi", "mpeg4", 64, 48, kFps, colours, "libmp3lame"}},
  };
  // H.264 only where this FFmpeg can write it.
  if (HasEncoder("libx264"))
    out.push_back({"h264.mp4", {"mp4", "libx264", 80, 64, kFps, colours, "aac"}});
  return out;
}

class FilterGraphMovies : public StartedSound {
 protected:
  void SetUp() override {
    StartedSound::SetUp();
    seen_.clear();
  }
  void TearDown() override {
    for (int slot = 0; slot < MovieHandles.capacity; ++slot) {
      const int handle = HandleOfSlot(&MovieHandles, slot);
      if (handle != -1) CloseMovie(handle);
    }
    StartedSound::TearDown();
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    folder_.WriteFile(name, std::string(bytes.begin(), bytes.end()));
    return folder_.WindowsPath() + "\\" + name;
  }

  // The frame callback: notes each new frame the movie hands over by the colour it shows.
  static void RecordFrame(MovieEntry* e, int) {
    const GraphImage* image = e->currentImage;
    const int frame = IdentifyMovieFrame(image->Pixels, image->Pitch, image->Width, image->Height,
                                         3, MovieTestColours(kFrames), 40);
    seen_.push_back(frame);
  }

  // Hands over frames until `done` holds, for at most 20 seconds.
  static bool UpdateUntil(int handle, const std::function<bool()>& done) {
    for (int i = 0; i < 10000; ++i) {
      EXPECT_EQ(UpdateMovieFrame(handle), 0);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  // The frames seen came one after another in the movie's order.
  static testing::AssertionResult InOrder(const std::vector<int>& seen) {
    for (size_t i = 0; i < seen.size(); ++i) {
      if (seen[i] < 0) return testing::AssertionFailure() << "frame " << i << " shows no colour";
      if (i > 0 && seen[i] <= seen[i - 1])
        return testing::AssertionFailure() << "frame " << seen[i] << " after " << seen[i - 1];
    }
    return testing::AssertionSuccess();
  }

  // Pauses the graph and waits for the first frame.
  static bool ShowFirstFrame(int handle) {
    MovieEntry* e = GetMovieEntry(handle);
    e->control->Pause();
    return UpdateUntil(handle, [] { return !seen_.empty(); });
  }

  static inline std::vector<int> seen_;
  TempFolder folder_;
};

TEST_F(FilterGraphMovies, EachFrameArrivesInOrderWhileTheGraphRunsAndTheEndStopsIt) {
  for (const MovieCase& c : Cases()) {
    SCOPED_TRACE(c.file);
    seen_.clear();
    const Bytes file = EncodeMovieFile(c.movie);
    ASSERT_FALSE(file.empty());
    int width = 0, height = 0;
    const int handle = OpenMovie(Write(c.file, file).c_str(), &width, &height, 0);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(width, c.movie.width);
    EXPECT_EQ(height, c.movie.height);
    MovieEntry* e = GetMovieEntry(handle);
    EXPECT_EQ(e->theora, 0);
    EXPECT_EQ(e->stopped, 1);
    EXPECT_EQ(e->playing, 0);
    EXPECT_GE(e->duration, (kFrames - 1) * kFrameTime);
    EXPECT_LE(e->duration, (kFrames + 3) * kFrameTime);
    EXPECT_EQ(e->stopPosition, e->duration);
    ASSERT_EQ(SetMovieCallback(handle, &RecordFrame, 0), 0);

    // Built but not run: nothing to show yet.
    ASSERT_EQ(UpdateMovieFrame(handle), 0);
    EXPECT_TRUE(seen_.empty());
    ASSERT_TRUE(ShowFirstFrame(handle));
    EXPECT_EQ(seen_, std::vector<int>{0});
    EXPECT_EQ(e->currentImage, &e->frameImage);
    EXPECT_EQ(e->frameImage.Pitch, (3 * width + 3) / 4 * 4);

    e->playing = 1;
    e->stopped = 0;
    ASSERT_EQ(e->control->Run(), S_OK);
    ASSERT_TRUE(UpdateUntil(handle, [e] { return e->playing == 0; }));
    EXPECT_EQ(e->stopped, 1);
    EXPECT_TRUE(InOrder(seen_));
    // The end comes by the graph's clock: on a loaded machine the last frame, decoded late, can
    // arrive after it and is then not shown.
    EXPECT_GE(seen_.back(), kFrames - 2);
    EXPECT_LE(seen_.back(), kFrames - 1);
    EXPECT_GE(seen_.size(), 3u);

    // The sound track's volume goes to the graph's audio renderer.
    long volume = 0;
    if (c.movie.audioEncoder) {
      EXPECT_EQ(e->audio->put_Volume(-2000), S_OK);
      EXPECT_EQ(e->audio->get_Volume(&volume), S_OK);
      EXPECT_EQ(volume, -2000);
    } else {
      EXPECT_EQ(e->audio->put_Volume(-2000), E_NOTIMPL);
    }
    EXPECT_EQ(CloseMovie(handle), 0);
  }
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
}

TEST_F(FilterGraphMovies, StopPositionEndsThePlaybackBeforeTheEnd) {
  const MovieCase c = Cases()[1];
  const int handle =
      OpenMovie(Write(c.file, EncodeMovieFile(c.movie)).c_str(), nullptr, nullptr, 0);
  ASSERT_NE(handle, -1);
  MovieEntry* e = GetMovieEntry(handle);
  LONGLONG stop = 4 * kFrameTime;
  ASSERT_EQ(e->seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop,
                                     AM_SEEKING_AbsolutePositioning),
            S_OK);
  LONGLONG reported = 0;
  ASSERT_EQ(e->seeking->GetStopPosition(&reported), S_OK);
  EXPECT_EQ(reported, stop);
  e->stopPosition = reported;
  ASSERT_EQ(SetMovieCallback(handle, &RecordFrame, 0), 0);
  e->playing = 1;
  e->stopped = 0;
  ASSERT_EQ(e->control->Run(), S_OK);
  ASSERT_TRUE(UpdateUntil(handle, [e] { return e->playing == 0; }));
  EXPECT_GE(e->position, 4 * kFrameTime / 10000);
  ASSERT_FALSE(seen_.empty());
  EXPECT_TRUE(InOrder(seen_));
  // Frames 0 to 3 start before the stop position; none after them is shown.
  EXPECT_EQ(seen_.back(), 3);
}

TEST_F(FilterGraphMovies, MovieInsideAnArchivePlaysFromATemporaryCopy) {
  const MovieCase c = Cases()[0];
  ArchiveWriterEntry entry;
  entry.path = "movie.mpg";
  entry.data = EncodeMovieFile(c.movie);
  WriteFileBytes(std::filesystem::path(folder_.path()) / "data.ARC", BuildArchiveImage({entry}));
  ScopedCurrentDirectory cwd(folder_.path());
  SetFileFunctionTable(&ArchiveFileFunctions);
  const int handle = OpenMovie("data\\movie.mpg", nullptr, nullptr, 0);
  ASSERT_NE(handle, -1);
  MovieEntry* e = GetMovieEntry(handle);
  EXPECT_EQ(e->temporaryCopy, 1);
  PortHostPath copy;
  DWORD error = 0;
  ASSERT_TRUE(PortTranslatePath(e->temporaryFileName, &copy, &error));
  EXPECT_TRUE(std::filesystem::exists(copy.path));
  EXPECT_EQ(std::filesystem::file_size(copy.path), entry.data.size());
  ASSERT_EQ(SetMovieCallback(handle, &RecordFrame, 0), 0);
  ASSERT_TRUE(ShowFirstFrame(handle));
  EXPECT_EQ(seen_, std::vector<int>{0});
  EXPECT_EQ(CloseMovie(handle), 0);
  EXPECT_FALSE(std::filesystem::exists(copy.path));
  SetFileFunctionTable(nullptr);
  CloseUnusedArchives();
}

TEST_F(FilterGraphMovies, TwentyOpensAndClosesLeaveNothingBehind) {
  const MovieCase c = Cases()[1];
  const std::string path = Write(c.file, EncodeMovieFile(c.movie));
  const LeftBehind before = LeftBehind::Now();
  for (int i = 0; i < 20; ++i) {
    const int handle = OpenMovie(path.c_str(), nullptr, nullptr, 0);
    ASSERT_NE(handle, -1);
    // Every other one closes while its streaming thread runs.
    if (i % 2) GetMovieEntry(handle)->control->Run();
    ASSERT_EQ(CloseMovie(handle), 0);
  }
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.heap.bytes, before.heap.bytes);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
}

TEST_F(FilterGraphMovies, DamagedFilesAreRefusedWithTheirLines) {
  const Bytes mpeg = EncodeMovieFile(Cases()[0].movie);
  const Bytes avi = EncodeMovieFile(Cases()[1].movie);
  std::mt19937 rng(99);
  // The headers, then noise in place of the frames.
  Bytes noisy = avi;
  const std::string movi = "movi";
  const auto at = std::search(noisy.begin(), noisy.end(), movi.begin(), movi.end());
  ASSERT_NE(at, noisy.end());
  for (auto i = at + 4; i != noisy.end(); ++i) *i = static_cast<uint8_t>(rng());
  // The sequence header of the MPEG-1 video declares 4095 x 4095.
  Bytes huge = mpeg;
  for (size_t i = 0; i + 7 < huge.size(); ++i) {
    if (huge[i] == 0 && huge[i + 1] == 0 && huge[i + 2] == 1 && huge[i + 3] == 0xB3) {
      huge[i + 4] = 0xFF;
      huge[i + 5] = 0xFF;
      huge[i + 6] = 0xFF;
    }
  }
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"truncated.mpg", Bytes(mpeg.begin(), mpeg.begin() + 40)},
      {"noise.avi", noisy},
      {"huge.mpg", huge},
      {"empty.avi", Bytes()},
  };
  const LeftBehind before = LeftBehind::Now();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture log;
    const std::string path = Write(c.name, c.bytes);
    EXPECT_EQ(OpenMovie(path.c_str(), nullptr, nullptr, 0), -1);
    std::vector<std::string> lines;
    for (const std::string& line : SplitLogLines(log.Contents()))
      lines.push_back(line.substr(line.find(':') + 1));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"ファイル:" + path + " が開けませんでした",
                                        "ムービーファイルオープン処理時にエラーが発生しました"}));
    EXPECT_EQ(MovieHandles.count, 0);
  }
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
}

TEST_F(FilterGraphMovies, WithoutTheGraphClassTheMovieIsRefusedWithItsLine) {
  const std::string path = Write("movie.mpg", EncodeMovieFile(Cases()[0].movie));
  PortSetClassAbsent(CLSID_FilterGraph, true);
  LogCapture log;
  EXPECT_EQ(OpenMovie(path.c_str(), nullptr, nullptr, 0), -1);
  std::vector<std::string> lines;
  for (const std::string& line : SplitLogLines(log.Contents()))
    lines.push_back(line.substr(line.find(':') + 1));
  EXPECT_EQ(lines,
            (std::vector<std::string>{"CLSID_FilterGraph の作成に失敗しました",
                                      "ムービーファイルオープン処理時にエラーが発生しました"}));
  EXPECT_EQ(MovieHandles.count, 0);
}

// FFmpeg missing (loaded at the first movie, so a missing library shows there): the movie is
// refused like a file that cannot be read, with nothing left behind, and opens once it is back.
TEST_F(FilterGraphMovies, WithoutFFmpegTheMovieIsRefusedWithItsLines) {
  const std::string path = Write("movie.mpg", EncodeMovieFile(Cases()[0].movie));
  const LeftBehind before = LeftBehind::Now();
  PortSetFFmpegMissingForTest(true);
  {
    LogCapture log;
    EXPECT_EQ(OpenMovie(path.c_str(), nullptr, nullptr, 0), -1);
    PortSetFFmpegMissingForTest(false);
    std::vector<std::string> lines;
    for (const std::string& line : SplitLogLines(log.Contents()))
      lines.push_back(line.substr(line.find(':') + 1));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"ファイル:" + path + " が開けませんでした",
                                        "ムービーファイルオープン処理時にエラーが発生しました"}));
  }
  EXPECT_EQ(MovieHandles.count, 0);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
  const int handle = OpenMovie(path.c_str(), nullptr, nullptr, 0);
  EXPECT_NE(handle, -1);
  if (handle != -1) CloseMovie(handle);
}

// The renderer alone: what it takes, its pitch, and rows turned top-down.
TEST(MovieRendererFilter, TakesRgb24OfLoadableSizesAndTurnsBottomUpRows) {
  HRESULT hr = E_FAIL;
  MovieRenderer* r = new MovieRenderer(nullptr, &hr);
  ASSERT_EQ(hr, S_OK);
  auto type = [](LONG width, LONG height, const GUID& subtype) {
    static VIDEOINFOHEADER info;
    info = VIDEOINFOHEADER{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biBitCount = 24;
    AM_MEDIA_TYPE t = {};
    t.majortype = MEDIATYPE_Video;
    t.subtype = subtype;
    t.formattype = FORMAT_VideoInfo;
    t.cbFormat = sizeof info;
    t.pbFormat = reinterpret_cast<BYTE*>(&info);
    return t;
  };
  AM_MEDIA_TYPE t = type(5, 3, MEDIASUBTYPE_RGB24);
  EXPECT_EQ(r->CheckMediaType(&t), S_OK);
  EXPECT_EQ(r->CheckMediaType(nullptr), E_POINTER);
  t.formattype = FORMAT_WaveFormatEx;
  EXPECT_EQ(r->CheckMediaType(&t), E_INVALIDARG);
  t = type(5, 3, MEDIASUBTYPE_PCM);
  EXPECT_EQ(r->CheckMediaType(&t), E_FAIL);
  t = type(9000, 9000, MEDIASUBTYPE_RGB24);  // more pixels than any loadable image
  EXPECT_EQ(r->CheckMediaType(&t), E_FAIL);

  for (LONG height : {3, -3}) {
    SCOPED_TRACE(height);
    t = type(5, height, MEDIASUBTYPE_RGB24);
    ASSERT_EQ(r->SetMediaType(&t), S_OK);
    EXPECT_EQ(r->pitch(), 16);
    EXPECT_EQ(r->height(), 3);
    std::vector<uint8_t> out(48, 0);
    EXPECT_FALSE(r->TakeMovieFrame(out.data()));
    auto* sample = new PortMediaSample;
    sample->data.assign(48, 0);
    for (int row = 0; row < 3; ++row)
      sample->data[static_cast<size_t>(row) * 16] = static_cast<uint8_t>(row + 1);
    EXPECT_EQ(r->DoRenderSample(sample), S_OK);
    ASSERT_TRUE(r->TakeMovieFrame(out.data()));
    // Positive heights are bottom-up: the sample's first row is the picture's last.
    const uint8_t first = height > 0 ? 3 : 1;
    EXPECT_EQ(out[0], first);
    EXPECT_EQ(out[16], 2);
    EXPECT_EQ(out[32], 4 - first);
    EXPECT_FALSE(r->TakeMovieFrame(out.data()));
    sample->Release();
  }
  t = type(4, 3, MEDIASUBTYPE_RGB24);
  ASSERT_EQ(r->SetMediaType(&t), S_OK);
  EXPECT_EQ(r->pitch(), 12);
  r->Release();
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
}

}  // namespace
