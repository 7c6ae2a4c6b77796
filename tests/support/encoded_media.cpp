#include "tests/support/encoded_media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "port/ffmpeg/ffmpeg_loader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace {

// The FFmpeg functions the encoders call, found as the port finds its own: the test programs
// do not link FFmpeg either, and load it at the first fixture written.
#define ENCODER_FUNCTIONS(X)                \
  X(Util, av_log_set_level)                 \
  X(Util, av_malloc)                        \
  X(Util, av_freep)                         \
  X(Util, av_channel_layout_default)        \
  X(Util, av_channel_layout_copy)           \
  X(Util, av_dict_set)                      \
  X(Util, av_dict_free)                     \
  X(Util, av_frame_alloc)                   \
  X(Util, av_frame_free)                    \
  X(Util, av_frame_unref)                   \
  X(Util, av_frame_get_buffer)              \
  X(Util, av_frame_make_writable)           \
  X(Util, av_sample_fmt_is_planar)          \
  X(Util, av_get_packed_sample_fmt)         \
  X(Util, av_opt_set)                       \
  X(Codec, avcodec_find_encoder_by_name)    \
  X(Codec, avcodec_alloc_context3)          \
  X(Codec, avcodec_free_context)            \
  X(Codec, avcodec_open2)                   \
  X(Codec, avcodec_parameters_from_context) \
  X(Codec, avcodec_send_frame)              \
  X(Codec, avcodec_receive_packet)          \
  X(Codec, av_packet_alloc)                 \
  X(Codec, av_packet_free)                  \
  X(Codec, av_packet_rescale_ts)            \
  X(Format, avformat_alloc_output_context2) \
  X(Format, avformat_free_context)          \
  X(Format, avformat_new_stream)            \
  X(Format, avformat_write_header)          \
  X(Format, av_interleaved_write_frame)     \
  X(Format, av_write_trailer)               \
  X(Format, avio_alloc_context)             \
  X(Format, avio_context_free)              \
  X(Format, avio_flush)

struct EncoderApi {
#define ENCODER_MEMBER(library, name) decltype(&::name) name;
  ENCODER_FUNCTIONS(ENCODER_MEMBER)
#undef ENCODER_MEMBER
};

// The table, or null when FFmpeg or a function is missing (said once on stderr): every
// fixture then comes out empty, as for a missing encoder.
const EncoderApi* Encoders() {
  static EncoderApi api;
  static const bool loaded = [] {
    std::string error;
#define ENCODER_FIND(library, name)                               \
  api.name = reinterpret_cast<decltype(api.name)>(                \
      FindFFmpegFunction(FFmpegLibrary::library, #name, &error)); \
  if (!api.name) {                                                \
    std::fprintf(stderr, "encoded media: %s\n", error.c_str());   \
    return false;                                                 \
  }
    ENCODER_FUNCTIONS(ENCODER_FIND)
#undef ENCODER_FIND
    api.av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  return loaded ? &api : nullptr;
}

// A seekable in-memory output for the muxers that patch their headers at the end.
struct MemoryOutput {
  Bytes bytes;
  int64_t at = 0;

  static int Write(void* self, uint8_t* data, int size) {
    auto* m = static_cast<MemoryOutput*>(self);
    if (m->bytes.size() < static_cast<size_t>(m->at + size)) m->bytes.resize(m->at + size);
    std::memcpy(m->bytes.data() + m->at, data, static_cast<size_t>(size));
    m->at += size;
    return size;
  }
  static int64_t Seek(void* self, int64_t offset, int whence) {
    auto* m = static_cast<MemoryOutput*>(self);
    if (whence == AVSEEK_SIZE) return static_cast<int64_t>(m->bytes.size());
    whence &= ~AVSEEK_FORCE;
    const int64_t base = whence == SEEK_CUR ? m->at : whence == SEEK_END ? m->bytes.size() : 0;
    m->at = base + offset;
    return m->at;
  }
};

struct Muxer {
  MemoryOutput out;
  AVFormatContext* format = nullptr;
  AVIOContext* io = nullptr;

  bool Open(const char* name) {
    const EncoderApi& ff = *Encoders();
    if (ff.avformat_alloc_output_context2(&format, nullptr, name, nullptr) < 0) return false;
    const int size = 65536;
    auto* buffer = static_cast<uint8_t*>(ff.av_malloc(size));
    io = ff.avio_alloc_context(buffer, size, 1, &out, nullptr, &MemoryOutput::Write,
                               &MemoryOutput::Seek);
    format->pb = io;
    return io != nullptr;
  }
  ~Muxer() {
    const EncoderApi& ff = *Encoders();
    if (io) ff.av_freep(&io->buffer);
    ff.avio_context_free(&io);
    ff.avformat_free_context(format);
  }
};

// One encoder feeding one stream of the muxer.
struct Track {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int64_t next = 0;  // pts of the next frame, in codec time base

  ~Track() {
    const EncoderApi& ff = *Encoders();
    ff.avcodec_free_context(&codec);
    ff.av_frame_free(&frame);
    ff.av_packet_free(&packet);
  }

  bool Start(Muxer& m) {
    const EncoderApi& ff = *Encoders();
    if (m.format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (ff.avcodec_open2(codec, codec->codec, nullptr) < 0) return false;
    stream = ff.avformat_new_stream(m.format, nullptr);
    if (!stream || ff.avcodec_parameters_from_context(stream->codecpar, codec) < 0) return false;
    stream->time_base = codec->time_base;
    frame = ff.av_frame_alloc();
    packet = ff.av_packet_alloc();
    return frame && packet;
  }

  // Sends a frame (null: drains) and writes what comes out.
  bool Send(Muxer& m, AVFrame* f) {
    const EncoderApi& ff = *Encoders();
    if (ff.avcodec_send_frame(codec, f) < 0) return false;
    for (;;) {
      const int r = ff.avcodec_receive_packet(codec, packet);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
      if (r < 0) return false;
      ff.av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      if (ff.av_interleaved_write_frame(m.format, packet) < 0) return false;
    }
  }
};

bool StartAudio(Track& t, const char* encoder, int channels, int rate, int bitRate) {
  const EncoderApi& ff = *Encoders();
  const AVCodec* codec = ff.avcodec_find_encoder_by_name(encoder);
  if (!codec) return false;
  t.codec = ff.avcodec_alloc_context3(codec);
  t.codec->sample_rate = rate;
  ff.av_channel_layout_default(&t.codec->ch_layout, channels);
  t.codec->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  t.codec->bit_rate = bitRate;
  t.codec->time_base = AVRational{1, rate};
  return true;
}

// Writes `count` frames of the interleaved samples from `first` into the track's frame, in
// the encoder's sample format.
bool FillAudio(Track& t, const std::vector<int16_t>& samples, size_t first, int count) {
  const EncoderApi& ff = *Encoders();
  AVFrame* f = t.frame;
  ff.av_frame_unref(f);
  f->nb_samples = count;
  f->format = t.codec->sample_fmt;
  ff.av_channel_layout_copy(&f->ch_layout, &t.codec->ch_layout);
  f->sample_rate = t.codec->sample_rate;
  if (ff.av_frame_get_buffer(f, 0) < 0) return false;
  const int channels = t.codec->ch_layout.nb_channels;
  const auto fmt = static_cast<AVSampleFormat>(f->format);
  const bool planar = ff.av_sample_fmt_is_planar(fmt);
  for (int i = 0; i < count; ++i) {
    for (int ch = 0; ch < channels; ++ch) {
      const size_t k = first + static_cast<size_t>(i) * channels + ch;
      const int16_t v = k < samples.size() ? samples[k] : 0;
      uint8_t* plane = f->extended_data[planar ? ch : 0];
      const int index = planar ? i : i * channels + ch;
      switch (ff.av_get_packed_sample_fmt(fmt)) {
        case AV_SAMPLE_FMT_S16:
          reinterpret_cast<int16_t*>(plane)[index] = v;
          break;
        case AV_SAMPLE_FMT_S32:
          reinterpret_cast<int32_t*>(plane)[index] = v * 65536;
          break;
        case AV_SAMPLE_FMT_FLT:
          reinterpret_cast<float*>(plane)[index] = static_cast<float>(v) / 32768.0f;
          break;
        default:
          return false;
      }
    }
  }
  f->pts = t.next;
  t.next += count;
  return true;
}

// Frame size the encoder takes (any for the PCM-like ones).
int AudioFrameSize(const Track& t) { return t.codec->frame_size > 0 ? t.codec->frame_size : 1024; }

bool EncodeAudioFrames(Track& t, Muxer& m, const std::vector<int16_t>& samples, size_t upToFrame) {
  const int channels = t.codec->ch_layout.nb_channels;
  const size_t total = samples.size() / channels;
  while (static_cast<size_t>(t.next) < std::min(upToFrame, total)) {
    const int n = AudioFrameSize(t);
    // The last frame of a fixed-size encoder is padded with silence.
    const int count =
        t.codec->frame_size > 0 ? n : static_cast<int>(std::min<size_t>(n, total - t.next));
    if (!FillAudio(t, samples, static_cast<size_t>(t.next) * channels, count)) return false;
    if (!t.Send(m, t.frame)) return false;
  }
  return true;
}

void PaintFrame(AVFrame* f, FlatColour c, int width, int height) {
  // BT.601 limited range, as the encoders expect for YUV 4:2:0.
  auto yuv = [](FlatColour k, uint8_t* y, uint8_t* u, uint8_t* v) {
    const double r = k.r, g = k.g, b = k.b;
    *y = static_cast<uint8_t>(std::lround(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255));
    *u = static_cast<uint8_t>(std::lround(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255));
    *v = static_cast<uint8_t>(std::lround(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255));
  };
  uint8_t y[2], u[2], v[2];
  yuv(c, &y[0], &u[0], &v[0]);
  yuv(FlatColour{static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
                 static_cast<uint8_t>(255 - c.b)},
      &y[1], &u[1], &v[1]);
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x) f->data[0][row * f->linesize[0] + x] = y[row >= height / 2];
  for (int row = 0; row < height / 2; ++row) {
    const int half = row >= height / 4;
    for (int x = 0; x < width / 2; ++x) {
      f->data[1][row * f->linesize[1] + x] = u[half];
      f->data[2][row * f->linesize[2] + x] = v[half];
    }
  }
}

}  // namespace

bool HasEncoder(const char* encoder) {
  const EncoderApi* ff = Encoders();
  return ff && ff->avcodec_find_encoder_by_name(encoder) != nullptr;
}

Bytes EncodeSoundFile(const char* muxer, const char* encoder, const std::vector<int16_t>& samples,
                      int channels, int rate, int bitRate) {
  if (!Encoders()) return {};
  const EncoderApi& ff = *Encoders();
  Muxer m;
  Track t;
  if (!m.Open(muxer) || !StartAudio(t, encoder, channels, rate, bitRate) || !t.Start(m)) return {};
  AVDictionary* options = nullptr;
  if (std::strcmp(muxer, "mp3") == 0) ff.av_dict_set(&options, "write_xing", "0", 0);
  const int header = ff.avformat_write_header(m.format, &options);
  ff.av_dict_free(&options);
  if (header < 0) return {};
  if (!EncodeAudioFrames(t, m, samples, SIZE_MAX) || !t.Send(m, nullptr)) return {};
  if (ff.av_write_trailer(m.format) < 0) return {};
  ff.avio_flush(m.io);
  return m.out.bytes;
}

Bytes EncodeMovieFile(const MovieToEncode& movie) {
  if (!Encoders()) return {};
  const EncoderApi& ff = *Encoders();
  Muxer m;
  if (!m.Open(movie.muxer)) return {};
  Track video;
  const AVCodec* codec = ff.avcodec_find_encoder_by_name(movie.encoder);
  if (!codec) return {};
  video.codec = ff.avcodec_alloc_context3(codec);
  video.codec->width = movie.width;
  video.codec->height = movie.height;
  video.codec->pix_fmt = AV_PIX_FMT_YUV420P;
  video.codec->time_base = AVRational{1, movie.fps};
  video.codec->framerate = AVRational{movie.fps, 1};
  video.codec->gop_size = 4;
  video.codec->max_b_frames = 0;
  video.codec->bit_rate = 2000000;
  if (std::strcmp(movie.encoder, "libx264") == 0)
    ff.av_opt_set(video.codec->priv_data, "preset", "ultrafast", 0);
  if (!video.Start(m)) return {};

  Track audio;
  std::vector<int16_t> tone;
  const int audioFrames =
      static_cast<int>(static_cast<int64_t>(movie.colours.size()) * movie.audioRate / movie.fps);
  if (movie.audioEncoder) {
    if (!StartAudio(audio, movie.audioEncoder, 2, movie.audioRate, 128000) || !audio.Start(m))
      return {};
    // The encoder's delay would start the sound before 0 and shift every stream to make up.
    audio.next = audio.codec->initial_padding;
    for (int i = 0; i < audioFrames; ++i) {
      const auto s = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / movie.audioRate));
      tone.push_back(s);
      tone.push_back(s);
    }
  }
  // Without an edit list: it would cut the last frame where the sound ends.
  AVDictionary* options = nullptr;
  if (std::strcmp(movie.muxer, "mp4") == 0) ff.av_dict_set(&options, "use_editlist", "0", 0);
  const int header = ff.avformat_write_header(m.format, &options);
  ff.av_dict_free(&options);
  if (header < 0) return {};

  AVFrame* f = video.frame;
  f->format = AV_PIX_FMT_YUV420P;
  f->width = movie.width;
  f->height = movie.height;
  if (ff.av_frame_get_buffer(f, 0) < 0) return {};
  for (size_t i = 0; i < movie.colours.size(); ++i) {
    if (ff.av_frame_make_writable(f) < 0) return {};
    PaintFrame(f, movie.colours[i], movie.width, movie.height);
    f->pts = static_cast<int64_t>(i);
    if (!video.Send(m, f)) return {};
    if (movie.audioEncoder &&
        !EncodeAudioFrames(audio, m, tone,
                           static_cast<size_t>((i + 1) * movie.audioRate / movie.fps)))
      return {};
  }
  if (!video.Send(m, nullptr)) return {};
  if (movie.audioEncoder &&
      (!EncodeAudioFrames(audio, m, tone, SIZE_MAX) || !audio.Send(m, nullptr)))
    return {};
  if (ff.av_write_trailer(m.format) < 0) return {};
  ff.avio_flush(m.io);
  return m.out.bytes;
}

AlignedError AlignAndCompare(const std::vector<int16_t>& got, const std::vector<int16_t>& want,
                             int channels, int maxShift) {
  auto errorAt = [&](int shift, size_t length) {
    const size_t offset = static_cast<size_t>(shift) * channels;
    double error = 0;
    for (size_t i = 0; i < length; ++i) {
      const double d = static_cast<double>(got[offset + i]) - want[i];
      error += d * d;
    }
    return error;
  };
  double power = 0;
  for (int16_t s : want) power += static_cast<double>(s) * s;
  AlignedError best{-1, 1e9};
  if (power == 0) return best;
  // The shift is found on the first part of the signal, the error measured over all of it.
  const size_t window = std::min(want.size(), static_cast<size_t>(8192 * channels));
  double least = 0;
  for (int shift = 0; shift <= maxShift; ++shift) {
    if (static_cast<size_t>(shift) * channels + want.size() > got.size()) break;
    const double e = errorAt(shift, window);
    if (best.shift < 0 || e < least) {
      least = e;
      best.shift = shift;
    }
  }
  if (best.shift >= 0) best.relativeRms = std::sqrt(errorAt(best.shift, want.size()) / power);
  return best;
}

std::vector<FlatColour> MovieTestColours(int count) {
  static const FlatColour kColours[] = {{220, 40, 40},  {40, 220, 40},  {40, 40, 220},
                                        {220, 220, 40}, {40, 220, 220}, {220, 40, 220},
                                        {150, 90, 30},  {30, 90, 150}};
  std::vector<FlatColour> out;
  for (int i = 0; i < count; ++i) out.push_back(kColours[i % std::size(kColours)]);
  return out;
}

int IdentifyMovieFrame(const uint8_t* pixels, int pitch, int width, int height, int bytesPerPixel,
                       const std::vector<FlatColour>& colours, int tolerance) {
  // The mean of a small square in the middle of each half.
  auto mean = [&](int cy) {
    int sum[3] = {};
    for (int y = cy - 2; y < cy + 2; ++y)
      for (int x = width / 2 - 2; x < width / 2 + 2; ++x)
        for (int c = 0; c < 3; ++c) sum[c] += pixels[y * pitch + x * bytesPerPixel + c];
    return FlatColour{static_cast<uint8_t>(sum[2] / 16), static_cast<uint8_t>(sum[1] / 16),
                      static_cast<uint8_t>(sum[0] / 16)};
  };
  auto near = [tolerance](FlatColour a, FlatColour b) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
  };
  const FlatColour top = mean(height / 4), bottom = mean(3 * height / 4);
  for (size_t i = 0; i < colours.size(); ++i) {
    const FlatColour c = colours[i];
    const FlatColour complement = {static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
                                   static_cast<uint8_t>(255 - c.b)};
    if (near(top, c) && near(bottom, complement)) return static_cast<int>(i);
  }
  return -1;
}
