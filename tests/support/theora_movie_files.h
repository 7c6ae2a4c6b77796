// Ogg Theora movies made by tests with libtheora's encoder: flat frames whose colour tells the
// frame's number, a band of fixed noise at the bottom that makes key frames large, and an
// optional Vorbis track interleaved by time.
#pragma once

#include <theora/codec.h>

#include <cstdint>
#include <vector>

#include "tests/support/sound_files.h"

struct TheoraMovieOptions {
  int Frames = 12;
  int Width = 64;  // the picture; the coded frame is rounded up to 16
  int Height = 48;
  th_pixel_fmt PixelFormat = TH_PF_420;
  int KeyFrameInterval = 4;
  int FramesPerFlush = 2;  // video pages are written after every this many frames
  // Most lacing segments of a video page: small values cut the large key-frame packets across
  // pages, so pages begin with the rest of a packet.
  int SegmentsPerPage = 255;
  int NoiseRows = 16;     // rows of fixed noise at the bottom of the picture
  bool WithAudio = true;  // 44,100 Hz mono, as long as the video
  int FpsNumerator = 10;
  int FpsDenominator = 1;
};

struct TheoraMovie {
  Bytes File;
  std::vector<int> KeyFrames;  // as the encoder marked them
  std::vector<int16_t> Audio;  // the samples encoded
};

TheoraMovie EncodeTheoraMovie(const TheoraMovieOptions& options);

// The flat colour of a frame, in Y, Cb (U) and Cr (V).
struct MovieFrameColor {
  int Y;
  int U;
  int V;
};
MovieFrameColor MovieFrameYuv(int frame);
// The rows of the picture that are flat for sure (clear of the noise band and its filtering).
int MovieFlatRows(const TheoraMovieOptions& options);

// Recomputes every page checksum of an Ogg file that a test has changed, so readers look at
// the changed contents instead of dropping the pages.
void MendOggChecksums(Bytes* file);
