// libFuzzer target: any bytes as a Theora movie, opened from memory, moved to its last, a
// middle and its first frame and converted at each, then closed.
#include <cstddef>
#include <cstdint>

#include "runtime/graphics/movie/theora_decoder.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/files/data_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (SetLogOutput(0), BuildYuvTables(), true);
  (void)ready;
  if (size > (1u << 24)) return 0;
  MemoryStream* stream = OpenMemoryStream(data, static_cast<int>(size));
  if (!stream) return 0;
  FileFunctionTable functions = {};
  functions.Seek = SeekMemoryStream;
  functions.Read = ReadMemoryStream;
  functions.Eof = EofMemoryStream;
  TheoraDecoder* decoder = OpenTheoraMovie(&functions, reinterpret_cast<FileHandle>(stream),
                                           1 + static_cast<int>(size % 10));
  if (decoder) {
    TheoraMovieInfo info;
    GetTheoraInfo(decoder, &info);
    const int last = static_cast<int>(info.FrameCount) - 1;
    for (int frame : {last, last / 2, 0}) {
      SeekTheoraMovie(decoder, frame);
      ConvertTheoraFrame(decoder, 1, 1);
    }
    CloseTheoraMovie(decoder);
  }
  CloseMemoryStream(reinterpret_cast<FileHandle>(stream));
  return 0;
}
