// Sound and movie files written by FFmpeg's own encoders and muxers (through the libraries),
// for the tests of the port's compression manager and filter graph.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// A sound file of the interleaved 16-bit samples: `muxer` ("wav", "mp3") with `encoder`
// ("adpcm_ima_wav", "adpcm_ms", "pcm_mulaw", "libmp3lame", ...). Empty when the encoder is
// missing. An MP3 keeps the muxer's ID3v2 tag and has no Xing frame.
Bytes EncodeSoundFile(const char* muxer, const char* encoder, const std::vector<int16_t>& samples,
                      int channels, int rate, int bitRate = 128000);

// A colour per frame of a test movie: R, G, B.
struct FlatColour {
  uint8_t r, g, b;
};

struct MovieToEncode {
  const char* muxer;    // "mpeg", "avi", "mp4"
  const char* encoder;  // "mpeg1video", "mpeg4", "libx264"
  int width, height, fps;
  // Frame i is colours[i]: the top half of the frame is the colour, the bottom half its
  // complement, so an upside-down frame shows. Sides should be multiples of 16.
  std::vector<FlatColour> colours;
  const char* audioEncoder = nullptr;  // "libmp3lame", "aac", or none
  int audioRate = 44100;
};

// The movie, or empty when an encoder or muxer is missing.
Bytes EncodeMovieFile(const MovieToEncode& movie);

// Whether this FFmpeg has the encoder.
bool HasEncoder(const char* encoder);

// Best alignment of `got` against `want` (mono or one channel of interleaved data): the shift
// in frames (got[i + shift] ~ want[i]) within 0..maxShift that leaves the least error, and
// the RMS of that error relative to the RMS of `want`.
struct AlignedError {
  int shift;
  double relativeRms;
};
AlignedError AlignAndCompare(const std::vector<int16_t>& got, const std::vector<int16_t>& want,
                             int channels, int maxShift);

// `count` frame colours far apart from each other and from each other's complements.
std::vector<FlatColour> MovieTestColours(int count);
// The index of the colour a frame shows (its top half that colour, its bottom half the
// complement, each within `tolerance`), or -1. Pixels are top-down rows of B, G, R bytes
// (`bytesPerPixel` 3 or 4).
int IdentifyMovieFrame(const uint8_t* pixels, int pitch, int width, int height, int bytesPerPixel,
                       const std::vector<FlatColour>& colours, int tolerance);
