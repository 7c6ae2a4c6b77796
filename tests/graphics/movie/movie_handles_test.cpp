// Movie handles: Theora movies with their sound track, refusals through the filter graph, the
// table's limits and slots, bad handles, the frame callback and the window hooks.
#include <gtest/gtest.h>

#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/sound/sound_converter.h"
#include "runtime/sound/sound_file_loading.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/log_capture.h"

namespace {

// The sound system on the manual output, and movie files in a folder.
class MovieHandlesTest : public StartedSound {
 protected:
  void SetUp() override {
    StartedSound::SetUp();
    BuildYuvTables();
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

  // The log's lines without their time stamps.
  static std::vector<std::string> Lines(const LogCapture& log) {
    std::vector<std::string> out;
    for (const std::string& line : SplitLogLines(log.Contents()))
      out.push_back(line.substr(line.find(':') + 1));
    return out;
  }

  TempFolder folder_;
};

TEST_F(MovieHandlesTest, OpensATheoraMovieWithItsVorbisTrackAndClosesEverything) {
  const TheoraMovie movie = EncodeTheoraMovie(TheoraMovieOptions{});
  const std::string path = Write("movie.ogv", movie.File);
  ASSERT_EQ(SetSoundCreateType(2), 0);
  SetSoundDecoderMask(0x10);
  const LeftBehind before = LeftBehind::Now();

  int width = 0, height = 0;
  const int handle = OpenMovie(path.c_str(), &width, &height, 0);
  ASSERT_NE(handle, -1);
  EXPECT_EQ(HandleTypeOf(handle), HandleTypeMovie);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 48);
  MovieEntry* e = GetMovieEntry(handle);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->theora, 1);
  EXPECT_EQ(e->playType, 1);
  EXPECT_EQ(e->stopped, 1);
  EXPECT_EQ(e->playing, 0);
  EXPECT_EQ(e->currentImage, GetTheoraRgbImage(e->theoraDecoder));
  EXPECT_TRUE(ShowsFrame(e->currentImage, 0, MovieFlatRows(TheoraMovieOptions{})));

  // The track is a stream sound of the movie's own Vorbis stream, every sample of it.
  ASSERT_NE(e->soundTrack, -1);
  const SoundEntry* track = GetSoundEntry(e->soundTrack);
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->kind, SoundKindStream);
  EXPECT_EQ(GetSoundTotalSamples(e->soundTrack), static_cast<int>(movie.Audio.size()));
  EXPECT_EQ(GetSoundCreateType(), 2);
  EXPECT_EQ(GetSoundDecoderMask(), 0x10);
  EXPECT_EQ(gSoundSystem.movieAudioFlag, 0);
  SetSoundDecoderMask(0);

  const int soundTrack = e->soundTrack;
  EXPECT_EQ(CloseMovie(handle), 0);
  EXPECT_EQ(GetMovieEntry(handle), nullptr);
  EXPECT_EQ(GetSoundEntry(soundTrack), nullptr);
  EXPECT_EQ(CloseMovie(handle), -1);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_EQ(after.threads, before.threads);
}

TEST_F(MovieHandlesTest, MovieWithoutSoundOrWithoutTrackHasNoSoundTrack) {
  TheoraMovieOptions silent;
  silent.WithAudio = false;
  const int quiet =
      OpenMovie(Write("quiet.ogv", EncodeTheoraMovie(silent).File).c_str(), nullptr, nullptr, 0);
  ASSERT_NE(quiet, -1);
  EXPECT_EQ(GetMovieEntry(quiet)->soundTrack, -1);

  ShutdownSound();
  const int unheard =
      OpenMovie(Write("movie.ogv", EncodeTheoraMovie(TheoraMovieOptions{}).File).c_str(), nullptr,
                nullptr, 0);
  ASSERT_NE(unheard, -1);
  EXPECT_EQ(GetMovieEntry(unheard)->soundTrack, -1);
  EXPECT_EQ(GetMovieEntry(unheard)->theora, 1);
}

TEST_F(MovieHandlesTest, FilesTheDecoderRefusesGoToTheFilterGraphAndFail) {
  const std::vector<int16_t> tone(30000, 500);
  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"vorbis.ogg", EncodeOggVorbis(tone, 1, 44100)},
      {"picture.bmp", Bytes(300, 'B')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LogCapture log;
    const LeftBehind before = LeftBehind::Now();
    int width = 7;
    const std::string path = Write(c.name, c.bytes);
    EXPECT_EQ(OpenMovie(path.c_str(), &width, nullptr, 0), -1);
    EXPECT_EQ(width, 7);
    // The graph takes a sound alone, but without a picture it is no movie.
    EXPECT_EQ(Lines(log),
              (std::vector<std::string>{"ファイル:" + path + " が開けませんでした",
                                        "ムービーファイルオープン処理時にエラーが発生しました"}));
    EXPECT_EQ(MovieHandles.count, 0);
    const LeftBehind after = LeftBehind::Now();
    EXPECT_EQ(after.heap.blocks, before.heap.blocks);
    EXPECT_EQ(after.handles, before.handles);
  }
}

TEST_F(MovieHandlesTest, RecordThatCannotBeAllocatedIsLogged) {
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(TheoraMovieOptions{}).File);
  const int check = MovieHandles.nextCheckNumber;
  LogCapture log;
  SetTrackedHeapFailures(1);
  EXPECT_EQ(OpenMovie(path.c_str(), nullptr, nullptr, 0), -1);
  SetTrackedHeapFailures(0);
  // After the heap's own report of the failed request.
  EXPECT_EQ(Lines(log).back(), "メモリの確保に失敗しました in OpenMovie");
  EXPECT_EQ(MovieHandles.count, 0);
  EXPECT_EQ(MovieHandles.nextCheckNumber, check) << "a failed open takes no check number";
}

TEST_F(MovieHandlesTest, HundredMoviesFillTheTableAndFreedSlotsAreTakenFromTheFirst) {
  TheoraMovieOptions tiny;
  tiny.Frames = 2;
  tiny.Width = tiny.Height = 16;
  tiny.NoiseRows = 0;
  tiny.WithAudio = false;
  const std::string path = Write("tiny.ogv", EncodeTheoraMovie(tiny).File);
  std::vector<int> handles;
  for (int i = 0; i < 100; ++i) {
    handles.push_back(OpenMovie(path.c_str(), nullptr, nullptr, 0));
    ASSERT_NE(handles.back(), -1) << i;
    EXPECT_EQ(HandleSlotOf(handles.back()), i);
  }
  {
    LogCapture log;
    EXPECT_EQ(OpenMovie(path.c_str(), nullptr, nullptr, 0), -1);
    EXPECT_EQ(log.Contents(), "");
  }
  ASSERT_EQ(CloseMovie(handles[37]), 0);
  ASSERT_EQ(CloseMovie(handles[80]), 0);
  const int again = OpenMovie(path.c_str(), nullptr, nullptr, 0);
  EXPECT_EQ(HandleSlotOf(again), 37);
  EXPECT_EQ(HandleCheckNumberOf(again), (HandleCheckNumberOf(handles[99]) + 1) % 2048);
  EXPECT_EQ(GetMovieEntry(handles[37]), nullptr) << "the old handle stays stale";
  EXPECT_EQ(HandleSlotOf(OpenMovie(path.c_str(), nullptr, nullptr, 0)), 80);
}

int gCalls = 0;
MovieEntry* gCalledWith = nullptr;
int gUserValue = 0;
void RecordFrame(MovieEntry* movie, int userValue) {
  ++gCalls;
  gCalledWith = movie;
  gUserValue = userValue;
}

TEST_F(MovieHandlesTest, UpdateHandsTheFrameToTheCallback) {
  TheoraMovieOptions silent;
  silent.WithAudio = false;
  const int handle =
      OpenMovie(Write("movie.ogv", EncodeTheoraMovie(silent).File).c_str(), nullptr, nullptr, 0);
  ASSERT_NE(handle, -1);
  MovieEntry* e = GetMovieEntry(handle);
  gCalls = 0;
  EXPECT_EQ(UpdateMovieFrame(handle), 0);
  EXPECT_EQ(e->frameUpdated, 0) << "no callback yet";

  ASSERT_EQ(SetMovieCallback(handle, RecordFrame, 77), 0);
  EXPECT_EQ(UpdateMovieFrame(handle), 0);
  EXPECT_EQ(gCalls, 1);
  EXPECT_EQ(gCalledWith, e);
  EXPECT_EQ(gUserValue, 77);
  EXPECT_EQ(e->frameUpdated, 1);

  // The window hooks find no movie that plays, pauses or draws itself.
  EXPECT_EQ(PauseAllMovies(), 0);
  EXPECT_EQ(ResumeAllMovies(), 0);
  EXPECT_EQ(DrawAutoMovies(), 0);
  EXPECT_EQ(e->stopped, 1);
  EXPECT_EQ(e->playing, 0);
  EXPECT_EQ(gCalls, 1);
}

TEST_F(MovieHandlesTest, BadHandlesAreRefusedAndChangeNothing) {
  TheoraMovieOptions silent;
  silent.WithAudio = false;
  const std::string path = Write("movie.ogv", EncodeTheoraMovie(silent).File);
  const int closed = OpenMovie(path.c_str(), nullptr, nullptr, 0);
  ASSERT_EQ(CloseMovie(closed), 0);
  const int live = OpenMovie(path.c_str(), nullptr, nullptr, 0);
  ASSERT_NE(live, -1);
  ASSERT_EQ(HandleSlotOf(live), HandleSlotOf(closed));
  const int slot = HandleSlotOf(live);
  const int check = HandleCheckNumberOf(live);

  const int bad[] = {
      -1,
      closed,                                                 // stale
      MakeHandle(HandleTypeSound, check, slot),               // another type
      MakeHandle(HandleTypeMovie, (check + 5) % 2048, slot),  // another check number
      MakeHandle(HandleTypeMovie, check, 100),                // beyond the table
  };
  for (int handle : bad) {
    SCOPED_TRACE(handle);
    EXPECT_EQ(GetMovieEntry(handle), nullptr);
    EXPECT_EQ(SetMovieCallback(handle, RecordFrame, 1), -1);
    EXPECT_EQ(UpdateMovieFrame(handle), -1);
    EXPECT_EQ(CloseMovie(handle), -1);
  }
  MovieEntry* e = GetMovieEntry(live);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->callback, nullptr);
  EXPECT_EQ(MovieHandles.count, 1);
}

}  // namespace
