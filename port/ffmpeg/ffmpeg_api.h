// The FFmpeg functions the port calls (the movie decoder filter and the compression manager),
// in a table filled at the first use, when the libraries are loaded. Callers take FFmpeg's
// types from its headers and its functions only from here: the port does not link FFmpeg.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#define PORT_FFMPEG_FUNCTIONS(X)          \
  X(Util, av_log_set_level)               \
  X(Util, av_malloc)                      \
  X(Util, av_mallocz)                     \
  X(Util, av_free)                        \
  X(Util, av_freep)                       \
  X(Util, av_rescale)                     \
  X(Util, av_rescale_q)                   \
  X(Util, av_channel_layout_default)      \
  X(Util, av_sample_fmt_is_planar)        \
  X(Util, av_get_packed_sample_fmt)       \
  X(Util, av_frame_alloc)                 \
  X(Util, av_frame_free)                  \
  X(Util, av_frame_unref)                 \
  X(Codec, av_packet_alloc)               \
  X(Codec, av_packet_free)                \
  X(Codec, av_packet_unref)               \
  X(Codec, av_new_packet)                 \
  X(Codec, avcodec_find_decoder)          \
  X(Codec, avcodec_alloc_context3)        \
  X(Codec, avcodec_free_context)          \
  X(Codec, avcodec_parameters_to_context) \
  X(Codec, avcodec_open2)                 \
  X(Codec, avcodec_send_packet)           \
  X(Codec, avcodec_receive_frame)         \
  X(Format, avio_alloc_context)           \
  X(Format, avio_context_free)            \
  X(Format, avformat_alloc_context)       \
  X(Format, avformat_open_input)          \
  X(Format, avformat_find_stream_info)    \
  X(Format, avformat_close_input)         \
  X(Format, av_find_input_format)         \
  X(Format, av_read_frame)                \
  X(Scale, sws_getCachedContext)          \
  X(Scale, sws_scale)                     \
  X(Scale, sws_freeContext)               \
  X(Resample, swr_alloc_set_opts2)        \
  X(Resample, swr_init)                   \
  X(Resample, swr_get_out_samples)        \
  X(Resample, swr_convert)                \
  X(Resample, swr_free)

struct PortFFmpegApi {
#define PORT_FFMPEG_MEMBER(library, name) decltype(&::name) name;
  PORT_FFMPEG_FUNCTIONS(PORT_FFMPEG_MEMBER)
#undef PORT_FFMPEG_MEMBER
};

// The table, FFmpeg's own log made quiet (damaged files are refused through the port's results,
// not its messages). Null when a library or a function is missing: the first such call says
// which on stderr, and each caller fails as it would on a file it cannot read.
const PortFFmpegApi* PortFFmpeg();

// Test switch: PortFFmpeg() answers as if FFmpeg were missing while on.
void PortSetFFmpegMissingForTest(bool missing);
