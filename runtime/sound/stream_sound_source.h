// One source of a stream sound: the file image or the stream it decodes while it plays.
#pragma once

#include <cstdint>

#include "runtime/platform/files/data_stream.h"
#include "runtime/sound/sound_converter.h"

constexpr int kStreamSourceMax = 3;

enum StreamSourceType {
  StreamSourceImage = 2,   // a file image held in memory, decoded while playing
  StreamSourceStream = 3,  // decoded from the caller's open stream
};

struct StreamSoundSource {
  int8_t repeatCount;  // -1 repeats forever from the loop start; n >= 0 plays n + 1 times
  int type;
  void* image;  // tracked block (image sources)
  int imageSize;
  DataStream ownStream;  // a MemoryStream over the image; handle 0 when there is none
  int loopStart;         // frame a forever-repeating source starts again from
  int endFrame;          // frame a pass ends at; -1 the end of the data
  SoundConverter converter;
};
