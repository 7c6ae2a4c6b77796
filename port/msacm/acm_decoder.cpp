#include "port/msacm/acm_decoder.h"

#include <algorithm>
#include <cstring>

#include "port/ffmpeg/ffmpeg_api.h"
#include "port/msacm/msacm.h"

namespace {

struct MpegFrame {
  int layer;  // 1, 2 or 3
  int bytes;
  int samples;
};

// The 4-byte MPEG audio frame header (MPEG-1, -2 and 2.5); free-format frames are not taken.
bool ParseMpegFrame(const uint8_t* b, MpegFrame* f) {
  if (b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return false;
  const int version = (b[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  const int layer = 4 - ((b[1] >> 1) & 3);
  const int rateIndex = (b[2] >> 4) & 15;
  const int freqIndex = (b[2] >> 2) & 3;
  if (version == 1 || layer == 4 || rateIndex == 0 || rateIndex == 15 || freqIndex == 3)
    return false;
  static const short kRates[5][15] = {
      {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
      {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
  };
  static const int kFrequencies[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int kbps = kRates[mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4)][rateIndex];
  const int hz = kFrequencies[freqIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const int padding = (b[2] >> 1) & 1;
  f->layer = layer;
  if (layer == 1) {
    f->bytes = (12000 * kbps / hz + padding) * 4;
    f->samples = 384;
  } else if (layer == 2 || mpeg1) {
    f->bytes = 144000 * kbps / hz + padding;
    f->samples = 1152;
  } else {
    f->bytes = 72000 * kbps / hz + padding;
    f->samples = 576;
  }
  return f->bytes >= 4;
}

bool IsMpeg(WORD tag) { return tag == WAVE_FORMAT_MPEG || tag == WAVE_FORMAT_MPEGLAYER3; }

AVCodecID CodecOfTag(WORD tag) {
  switch (tag) {
    case WAVE_FORMAT_ADPCM:
      return AV_CODEC_ID_ADPCM_MS;
    case WAVE_FORMAT_IMA_ADPCM:
      return AV_CODEC_ID_ADPCM_IMA_WAV;
    case WAVE_FORMAT_GSM610:
      return AV_CODEC_ID_GSM_MS;
    case WAVE_FORMAT_MULAW:
      return AV_CODEC_ID_PCM_MULAW;
    case WAVE_FORMAT_ALAW:
      return AV_CODEC_ID_PCM_ALAW;
    default:
      return AV_CODEC_ID_NONE;
  }
}

// Output frames of one coded block (of channels bytes for the logarithmic codings), from the
// block layout of each coding; 0 when the block cannot hold a frame.
int FramesPerBlock(const WAVEFORMATEX& f) {
  const int perChannel = f.nChannels ? f.nBlockAlign / f.nChannels : 0;
  switch (f.wFormatTag) {
    case WAVE_FORMAT_ADPCM:
      return perChannel >= 7 ? (perChannel - 7) * 2 + 2 : 0;
    case WAVE_FORMAT_IMA_ADPCM:
      return perChannel > 4 ? (perChannel - 4) * 2 + 1 : 0;
    case WAVE_FORMAT_GSM610:
      return f.nBlockAlign == 65 ? 320 : 0;
    case WAVE_FORMAT_MULAW:
    case WAVE_FORMAT_ALAW:
      return f.nBlockAlign == f.nChannels ? 1 : 0;
    default:
      return 0;
  }
}

bool OpenCodec(AcmDecoder* d, AVCodecID id) {
  const PortFFmpegApi& ff = *d->ffmpeg;
  const WAVEFORMATEX& f = AcmSourceFormat(*d);
  const AVCodec* codec = ff.avcodec_find_decoder(id);
  if (!codec) return false;
  AVCodecContext* c = ff.avcodec_alloc_context3(codec);
  if (!c) return false;
  c->sample_rate = static_cast<int>(f.nSamplesPerSec);
  ff.av_channel_layout_default(&c->ch_layout, f.nChannels);
  c->block_align = f.nBlockAlign;
  c->bits_per_coded_sample = f.wBitsPerSample;
  const size_t extra = d->source.size() - sizeof(WAVEFORMATEX);
  if (extra > 0 && !IsMpeg(f.wFormatTag)) {
    c->extradata = static_cast<uint8_t*>(ff.av_mallocz(extra + AV_INPUT_BUFFER_PADDING_SIZE));
    if (c->extradata) {
      std::memcpy(c->extradata, d->source.data() + sizeof(WAVEFORMATEX), extra);
      c->extradata_size = static_cast<int>(extra);
    }
  }
  if (ff.avcodec_open2(c, codec, nullptr) < 0) {
    ff.avcodec_free_context(&c);
    return false;
  }
  ff.avcodec_free_context(&d->codec);
  d->codec = c;
  return true;
}

int16_t ToSample16(const PortFFmpegApi& ff, const AVFrame* f, int channel, int i) {
  const auto fmt = static_cast<AVSampleFormat>(f->format);
  const int channels = f->ch_layout.nb_channels;
  const bool planar = ff.av_sample_fmt_is_planar(fmt);
  const uint8_t* plane = f->extended_data[planar ? channel : 0];
  const int index = planar ? i : i * channels + channel;
  switch (ff.av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_S16:
      return reinterpret_cast<const int16_t*>(plane)[index];
    case AV_SAMPLE_FMT_S32:
      return static_cast<int16_t>(reinterpret_cast<const int32_t*>(plane)[index] >> 16);
    case AV_SAMPLE_FMT_FLT: {
      const float v = reinterpret_cast<const float*>(plane)[index] * 32768.0f;
      return static_cast<int16_t>(std::clamp(v, -32768.0f, 32767.0f));
    }
    default:
      return 0;
  }
}

// Sends one packet and writes the frames it gives, at most `maxFrames` of them.
int DecodePacket(AcmDecoder* d, const uint8_t* in, int inBytes, uint8_t* out, int maxFrames) {
  const PortFFmpegApi& ff = *d->ffmpeg;
  AVPacket* p = d->packet;
  ff.av_packet_unref(p);
  if (ff.av_new_packet(p, inBytes) < 0) return 0;
  std::memcpy(p->data, in, static_cast<size_t>(inBytes));
  if (ff.avcodec_send_packet(d->codec, p) < 0) return 0;
  const int channels = d->destination.nChannels;
  int made = 0;
  while (ff.avcodec_receive_frame(d->codec, d->frame) == 0) {
    const AVFrame* f = d->frame;
    // A frame of another channel count belongs to no stream this one can give.
    if (f->ch_layout.nb_channels == channels) {
      const int n = std::min(f->nb_samples, maxFrames - made);
      auto* o = reinterpret_cast<int16_t*>(out) + made * channels;
      for (int i = 0; i < n; ++i)
        for (int ch = 0; ch < channels; ++ch) *o++ = ToSample16(ff, f, ch, i);
      made += n;
    }
    ff.av_frame_unref(d->frame);
  }
  return made;
}

void ConvertMpeg(AcmDecoder* d, const uint8_t* in, uint32_t inBytes, uint8_t* out,
                 uint32_t outBytes, uint32_t* inUsed, uint32_t* outUsed) {
  const uint32_t frameBytes = d->destination.nBlockAlign;
  uint32_t at = 0, made = 0;
  while (at + 4 <= inBytes) {
    MpegFrame m;
    if (!ParseMpegFrame(in + at, &m)) {
      ++at;  // lost sync: look for the next header
      continue;
    }
    if (at + static_cast<uint32_t>(m.bytes) > inBytes) break;
    if (made + static_cast<uint32_t>(m.samples) * frameBytes > outBytes) break;
    if (m.layer != d->mpegLayer) {
      const AVCodecID id = m.layer == 1   ? AV_CODEC_ID_MP1
                           : m.layer == 2 ? AV_CODEC_ID_MP2
                                          : AV_CODEC_ID_MP3;
      if (OpenCodec(d, id)) d->mpegLayer = m.layer;
    }
    if (m.layer == d->mpegLayer)
      made += static_cast<uint32_t>(DecodePacket(d, in + at, m.bytes, out + made, m.samples)) *
              frameBytes;
    at += static_cast<uint32_t>(m.bytes);
  }
  *inUsed = at;
  *outUsed = made;
}

}  // namespace

const WAVEFORMATEX& AcmSourceFormat(const AcmDecoder& d) {
  return *reinterpret_cast<const WAVEFORMATEX*>(d.source.data());
}

bool SuggestAcmDestination(const WAVEFORMATEX& s, int sourceBytes, WAVEFORMATEX* destination) {
  if (s.nChannels == 0 || s.nSamplesPerSec == 0) return false;
  if (s.wFormatTag == WAVE_FORMAT_PCM) {
    if (s.wBitsPerSample != 8 && s.wBitsPerSample != 16) return false;
  } else if (!IsMpeg(s.wFormatTag) && CodecOfTag(s.wFormatTag) == AV_CODEC_ID_NONE) {
    return false;
  }
  if (sourceBytes < static_cast<int>(sizeof(WAVEFORMATEX)) + (s.wFormatTag == 1 ? 0 : s.cbSize))
    return false;
  WAVEFORMATEX d = {};
  d.wFormatTag = WAVE_FORMAT_PCM;
  d.nChannels = s.nChannels;
  d.nSamplesPerSec = s.nSamplesPerSec;
  d.wBitsPerSample = s.wFormatTag == WAVE_FORMAT_PCM ? s.wBitsPerSample : 16;
  d.nBlockAlign = static_cast<WORD>(d.nChannels * d.wBitsPerSample / 8);
  d.nAvgBytesPerSec = d.nSamplesPerSec * d.nBlockAlign;
  *destination = d;
  return true;
}

bool OpenAcmDecoder(AcmDecoder* d, const uint8_t* source, int sourceBytes,
                    const WAVEFORMATEX& destination) {
  const auto& s = *reinterpret_cast<const WAVEFORMATEX*>(source);
  WAVEFORMATEX suggested;
  if (!SuggestAcmDestination(s, sourceBytes, &suggested)) return false;
  if (destination.wFormatTag != WAVE_FORMAT_PCM || destination.nChannels != s.nChannels ||
      destination.nSamplesPerSec != s.nSamplesPerSec ||
      destination.wBitsPerSample != suggested.wBitsPerSample ||
      destination.nBlockAlign != suggested.nBlockAlign)
    return false;
  const size_t bytes = sizeof(WAVEFORMATEX) + (s.wFormatTag == WAVE_FORMAT_PCM ? 0u : s.cbSize);
  d->source.assign(source, source + bytes);
  d->destination = destination;
  d->ffmpeg = nullptr;
  d->codec = nullptr;
  d->packet = nullptr;
  d->frame = nullptr;
  d->mpegLayer = 0;
  if (s.wFormatTag == WAVE_FORMAT_PCM) return true;
  d->ffmpeg = PortFFmpeg();
  if (!d->ffmpeg) return false;
  const PortFFmpegApi& ff = *d->ffmpeg;
  d->packet = ff.av_packet_alloc();
  d->frame = ff.av_frame_alloc();
  const bool ready =
      d->packet && d->frame &&
      (IsMpeg(s.wFormatTag) || (FramesPerBlock(s) > 0 && OpenCodec(d, CodecOfTag(s.wFormatTag))));
  if (!ready) CloseAcmDecoder(d);
  return ready;
}

void CloseAcmDecoder(AcmDecoder* d) {
  if (!d->ffmpeg) return;
  const PortFFmpegApi& ff = *d->ffmpeg;
  ff.avcodec_free_context(&d->codec);
  ff.av_packet_free(&d->packet);
  ff.av_frame_free(&d->frame);
}

void ConvertAcmBlocks(AcmDecoder* d, const uint8_t* in, uint32_t inBytes, uint8_t* out,
                      uint32_t outBytes, uint32_t* inUsed, uint32_t* outUsed) {
  const WAVEFORMATEX& s = AcmSourceFormat(*d);
  const uint32_t frameBytes = d->destination.nBlockAlign;
  if (s.wFormatTag == WAVE_FORMAT_PCM) {
    const uint32_t n = std::min(inBytes, outBytes) / frameBytes * frameBytes;
    std::memcpy(out, in, n);
    *inUsed = *outUsed = n;
    return;
  }
  if (IsMpeg(s.wFormatTag)) {
    ConvertMpeg(d, in, inBytes, out, outBytes, inUsed, outUsed);
    return;
  }
  const uint32_t block = s.nBlockAlign;
  const uint32_t framesPerBlock = static_cast<uint32_t>(FramesPerBlock(s));
  // The logarithmic codings take many one-frame blocks in one packet.
  const uint32_t blocksPerPacket = framesPerBlock == 1 ? 4096 : 1;
  uint32_t at = 0, made = 0;
  for (;;) {
    const uint32_t blocks = std::min({blocksPerPacket, (inBytes - at) / block,
                                      (outBytes - made) / (framesPerBlock * frameBytes)});
    if (blocks == 0) break;
    made +=
        static_cast<uint32_t>(DecodePacket(d, in + at, static_cast<int>(blocks * block), out + made,
                                           static_cast<int>(blocks * framesPerBlock))) *
        frameBytes;
    at += blocks * block;
  }
  *inUsed = at;
  *outUsed = made;
}

uint32_t AcmConvertedSize(const AcmDecoder& d, uint32_t bytes, bool toSource) {
  const WAVEFORMATEX& s = AcmSourceFormat(d);
  const uint64_t out = d.destination.nAvgBytesPerSec;
  const uint64_t n = bytes;
  uint64_t result;
  if (s.wFormatTag == WAVE_FORMAT_PCM) {
    result = n;
  } else if (IsMpeg(s.wFormatTag)) {
    // By the average rate, kept to whole output frames.
    const uint64_t coded = s.nAvgBytesPerSec ? s.nAvgBytesPerSec : 1;
    result = toSource ? (n * coded + out - 1) / out
                      : n * out / coded / d.destination.nBlockAlign * d.destination.nBlockAlign;
  } else {
    // Whole blocks: a partial block gives nothing, and any PCM needs a whole block.
    const uint64_t coded = s.nBlockAlign;
    const uint64_t pcm = static_cast<uint64_t>(FramesPerBlock(s)) * d.destination.nBlockAlign;
    result = toSource ? (n + pcm - 1) / pcm * coded : n / coded * pcm;
  }
  return static_cast<uint32_t>(std::min<uint64_t>(result, UINT32_MAX));
}
