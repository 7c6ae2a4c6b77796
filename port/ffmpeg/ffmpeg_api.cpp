#include "port/ffmpeg/ffmpeg_api.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

#include "port/ffmpeg/ffmpeg_loader.h"

namespace {

std::atomic<bool> gMissingForTest{false};

bool Load(PortFFmpegApi& api, std::string& error) {
#define PORT_FFMPEG_FIND(library, name)                           \
  api.name = reinterpret_cast<decltype(api.name)>(                \
      FindFFmpegFunction(FFmpegLibrary::library, #name, &error)); \
  if (!api.name) return false;
  PORT_FFMPEG_FUNCTIONS(PORT_FFMPEG_FIND)
#undef PORT_FFMPEG_FIND
  return true;
}

}  // namespace

const PortFFmpegApi* PortFFmpeg() {
  static PortFFmpegApi api;
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] {
    std::string error;
    loaded = Load(api, error);
    if (loaded) {
      api.av_log_set_level(AV_LOG_QUIET);
    } else {
      std::fprintf(stderr,
                   "port: FFmpeg is missing, no movie plays and no compressed sound "
                   "converts: %s\n",
                   error.c_str());
    }
  });
  return loaded && !gMissingForTest ? &api : nullptr;
}

void PortSetFFmpegMissingForTest(bool missing) { gMissingForTest = missing; }
