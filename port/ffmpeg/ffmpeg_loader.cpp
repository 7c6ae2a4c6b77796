#include "port/ffmpeg/ffmpeg_loader.h"

#include <dlfcn.h>

#include <mutex>

extern "C" {
#include <libavcodec/version_major.h>
#include <libavformat/version_major.h>
#include <libavutil/version.h>
#include <libswresample/version_major.h>
#include <libswscale/version_major.h>
}

#define PORT_FFMPEG_FILE(name, major) "lib" name ".so." AV_STRINGIFY(major)

const char* FFmpegLibraryFile(FFmpegLibrary library) {
  switch (library) {
    case FFmpegLibrary::Util:
      return PORT_FFMPEG_FILE("avutil", LIBAVUTIL_VERSION_MAJOR);
    case FFmpegLibrary::Codec:
      return PORT_FFMPEG_FILE("avcodec", LIBAVCODEC_VERSION_MAJOR);
    case FFmpegLibrary::Format:
      return PORT_FFMPEG_FILE("avformat", LIBAVFORMAT_VERSION_MAJOR);
    case FFmpegLibrary::Scale:
      return PORT_FFMPEG_FILE("swscale", LIBSWSCALE_VERSION_MAJOR);
    case FFmpegLibrary::Resample:
      return PORT_FFMPEG_FILE("swresample", LIBSWRESAMPLE_VERSION_MAJOR);
  }
  return "";
}

void* FindSharedFunction(const char* file, const char* function, std::string* error) {
  // dlopen keeps its own count: a library already open is only looked up, and none is closed,
  // since the functions found stay in use until the process ends.
  static std::mutex mutex;
  const std::lock_guard<std::mutex> lock(mutex);
  void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    *error = std::string(file) + " cannot be loaded: " + (why ? why : "no reason given");
    return nullptr;
  }
  dlerror();
  void* address = dlsym(library, function);
  if (!address) {
    *error = std::string(file) + " has no function " + function;
    return nullptr;
  }
  return address;
}

void* FindFFmpegFunction(FFmpegLibrary library, const char* function, std::string* error) {
  return FindSharedFunction(FFmpegLibraryFile(library), function, error);
}
