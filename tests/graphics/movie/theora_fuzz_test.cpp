// Mutated movies (their page checksums mended, so the changes reach the decoder) opened from
// memory, seeked and converted: each ends in a clean refusal or a movie that closes cleanly.
#include <gtest/gtest.h>

#include <random>

#include "runtime/platform/core/log.h"
#include "runtime/platform/files/data_stream.h"
#include "tests/graphics/movie/movie_fixture.h"
#include "tests/support/image_file_support.h"

namespace {

FileFunctionTable MemoryFileFunctions() {
  FileFunctionTable t = {};
  t.Close = CloseMemoryStream;
  t.Tell = TellMemoryStream;
  t.Seek = SeekMemoryStream;
  t.Read = ReadMemoryStream;
  t.Eof = EofMemoryStream;
  t.IdleCheck = IdleCheckMemoryStream;
  return t;
}

TEST(TheoraFuzzSmoke, MutatedMoviesOpenCleanlyOrAreRefused) {
  BuildYuvTables();
  SetLogOutput(0);
  TheoraMovieOptions small;
  small.Frames = 6;
  small.Width = 32;
  small.Height = 32;
  small.NoiseRows = 8;
  small.SegmentsPerPage = 4;
  TheoraMovieOptions full = small;
  full.PixelFormat = TH_PF_444;
  full.KeyFrameInterval = 2;
  full.WithAudio = false;
  const std::vector<Bytes> seeds = {EncodeTheoraMovie(small).File, EncodeTheoraMovie(full).File};

  const FileFunctionTable functions = MemoryFileFunctions();
  const LeftBehind before = LeftBehind::Now();
  std::mt19937 random(2604);
  int opened = 0;
  for (int i = 0; i < 150; ++i) {
    Bytes bytes = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], random);
    MendOggChecksums(&bytes);
    MemoryStream* stream = OpenMemoryStream(bytes.data(), static_cast<int>(bytes.size()));
    ASSERT_NE(stream, nullptr);
    TheoraDecoder* d =
        OpenTheoraMovie(&functions, reinterpret_cast<FileHandle>(stream), 1 + i % 10);
    if (d) {
      ++opened;
      TheoraMovieInfo info;
      GetTheoraInfo(d, &info);
      ASSERT_GE(info.FrameCount, 1);
      for (int frame : {static_cast<int>(info.FrameCount) - 1, static_cast<int>(random() % 8), 0}) {
        SeekTheoraMovie(d, frame);
        ConvertTheoraFrame(d, 1, 1);
      }
      CloseTheoraMovie(d);
    }
    CloseMemoryStream(reinterpret_cast<FileHandle>(stream));
  }
  SetLogOutput(1);
  const LeftBehind after = LeftBehind::Now();
  EXPECT_EQ(after.heap.blocks, before.heap.blocks);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_GT(opened, 20) << "the mutations should leave many movies playable";
}

}  // namespace
