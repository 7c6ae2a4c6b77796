// FFmpeg's libraries found at their first use: each file is the one of the headers' major
// version, a missing library or function is an error that names it, and never a crash.
#include <gtest/gtest.h>

#include <string>

#include "port/ffmpeg/ffmpeg_loader.h"

namespace {

TEST(FFmpegLoader, EachLibraryFileIsTheVersionTheHeadersDescribe) {
  // Each library's own version call, major version in the top bits.
  const struct {
    FFmpegLibrary library;
    const char* versionFunction;
    const char* fileStart;
  } cases[] = {
      {FFmpegLibrary::Util, "avutil_version", "libavutil.so."},
      {FFmpegLibrary::Codec, "avcodec_version", "libavcodec.so."},
      {FFmpegLibrary::Format, "avformat_version", "libavformat.so."},
      {FFmpegLibrary::Scale, "swscale_version", "libswscale.so."},
      {FFmpegLibrary::Resample, "swresample_version", "libswresample.so."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.versionFunction);
    const std::string file = FFmpegLibraryFile(c.library);
    ASSERT_EQ(file.rfind(c.fileStart, 0), 0u) << file;
    const int major = std::stoi(file.substr(std::string(c.fileStart).size()));
    std::string error;
    auto version =
        reinterpret_cast<unsigned (*)()>(FindFFmpegFunction(c.library, c.versionFunction, &error));
    ASSERT_NE(version, nullptr) << error;
    EXPECT_EQ(static_cast<int>(version() >> 16), major);
    EXPECT_EQ(error, "");
  }
}

TEST(FFmpegLoader, AMissingLibraryOrFunctionIsAnErrorNamingIt) {
  std::string error;
  EXPECT_EQ(FindSharedFunction("libkelvanor-absent.so.3", "avcodec_version", &error), nullptr);
  const std::string start = "libkelvanor-absent.so.3 cannot be loaded: ";
  EXPECT_EQ(error.rfind(start, 0), 0u) << error;
  EXPECT_GT(error.size(), start.size()) << "no reason from the loader";

  error.clear();
  EXPECT_EQ(FindFFmpegFunction(FFmpegLibrary::Codec, "avcodec_no_such_call", &error), nullptr);
  EXPECT_EQ(error, std::string(FFmpegLibraryFile(FFmpegLibrary::Codec)) +
                       " has no function avcodec_no_such_call");
}

}  // namespace
