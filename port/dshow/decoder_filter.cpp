// The decoder the graph puts behind a byte stream: FFmpeg demultiplexes the stream (read through
// the upstream pin's IAsyncReader) and decodes its first video and first audio stream on a
// streaming thread of its own, which hands RGB24 frames and 16-bit PCM to the connected pins.
#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>

#include "port/dshow/graph_filters.h"
#include "port/ffmpeg/ffmpeg_api.h"

namespace {

const CLSID kDecoderClass = {
    0x2D1B3A40, 0x6F0C, 0x4E8A, {0xB7, 0x12, 0x5C, 0x9D, 0x31, 0xE0, 0x44, 0x8F}};

constexpr int kIoBufferBytes = 32768;
// How many packets the open may read before it gives up finding a first frame.
constexpr int kProbePackets = 2000;
// The largest frame the decoder hands on; bigger ones are taken for damage.
constexpr int64_t kMaxFramePixels = int64_t{1} << 28;
constexpr REFERENCE_TIME kUnitsPerSecond = 10000000;

REFERENCE_TIME ToUnits(const PortFFmpegApi& ff, int64_t t, AVRational base) {
  return ff.av_rescale_q(t, base, AVRational{1, static_cast<int>(kUnitsPerSecond)});
}

// One opening of the byte stream with FFmpeg: the format, the two chosen streams and their
// decoders, and the converters to what the pins give.
struct Media {
  const PortFFmpegApi* ff = nullptr;  // null until opened
  IAsyncReader* reader = nullptr;     // no reference: the filter holds one
  LONGLONG size = 0;
  int64_t at = 0;
  AVIOContext* io = nullptr;
  AVFormatContext* format = nullptr;
  int video = -1, audio = -1;
  AVCodecContext* videoCodec = nullptr;
  AVCodecContext* audioCodec = nullptr;
  SwsContext* scaler = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int64_t startTime = 0;  // of the container, AV_TIME_BASE units

  static int Read(void* self, uint8_t* buffer, int bytes) {
    auto* m = static_cast<Media*>(self);
    const int64_t n = std::min<int64_t>(bytes, m->size - m->at);
    if (n <= 0) return AVERROR_EOF;
    if (FAILED(m->reader->SyncRead(m->at, static_cast<LONG>(n), buffer))) return AVERROR(EIO);
    m->at += n;
    return static_cast<int>(n);
  }
  static int64_t Seek(void* self, int64_t offset, int whence) {
    auto* m = static_cast<Media*>(self);
    if (whence & AVSEEK_SIZE) return m->size;
    whence &= ~AVSEEK_FORCE;
    const int64_t base = whence == SEEK_CUR ? m->at : whence == SEEK_END ? m->size : 0;
    if (base + offset < 0 || base + offset > m->size) return AVERROR(EINVAL);
    m->at = base + offset;
    return m->at;
  }

  ~Media() {
    if (!ff) return;
    ff->sws_freeContext(scaler);
    ff->swr_free(&resampler);
    ff->avcodec_free_context(&videoCodec);
    ff->avcodec_free_context(&audioCodec);
    ff->av_packet_free(&packet);
    ff->av_frame_free(&frame);
    ff->avformat_close_input(&format);
    if (io) ff->av_freep(&io->buffer);
    ff->avio_context_free(&io);
  }

  bool Open(IAsyncReader* r, bool mpegAudioOnly) {
    ff = PortFFmpeg();
    if (!ff) return false;
    reader = r;
    LONGLONG available = 0;
    if (FAILED(reader->Length(&size, &available)) || size <= 0) return false;
    auto* buffer = static_cast<uint8_t*>(ff->av_malloc(kIoBufferBytes));
    if (!buffer) return false;
    io = ff->avio_alloc_context(buffer, kIoBufferBytes, 0, this, &Read, nullptr, &Seek);
    if (!io) {
      ff->av_free(buffer);
      return false;
    }
    format = ff->avformat_alloc_context();
    if (!format) return false;
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    const AVInputFormat* forced = mpegAudioOnly ? ff->av_find_input_format("mp3") : nullptr;
    if (ff->avformat_open_input(&format, nullptr, forced, nullptr) < 0) return false;
    if (ff->avformat_find_stream_info(format, nullptr) < 0) return false;
    startTime = format->start_time == AV_NOPTS_VALUE ? 0 : format->start_time;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
      const AVCodecParameters* p = format->streams[i]->codecpar;
      if (!ff->avcodec_find_decoder(p->codec_id)) continue;
      if (p->codec_type == AVMEDIA_TYPE_VIDEO && video < 0 && !mpegAudioOnly)
        video = static_cast<int>(i);
      if (p->codec_type == AVMEDIA_TYPE_AUDIO && audio < 0 && p->ch_layout.nb_channels > 0)
        audio = static_cast<int>(i);
    }
    packet = ff->av_packet_alloc();
    frame = ff->av_frame_alloc();
    return packet && frame && (video >= 0 || audio >= 0);
  }

  bool OpenCodec(AVStream* stream, AVCodecContext** out) const {
    const AVCodec* codec = ff->avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* c = codec ? ff->avcodec_alloc_context3(codec) : nullptr;
    if (!c) return false;
    *out = c;
    if (ff->avcodec_parameters_to_context(c, stream->codecpar) < 0) return false;
    c->pkt_timebase = stream->time_base;
    c->thread_count = 1;
    return ff->avcodec_open2(c, codec, nullptr) >= 0;
  }

  bool OpenDecoders(bool wantVideo, bool wantAudio) {
    if (!wantVideo) video = -1;
    if (!wantAudio) audio = -1;
    if (video >= 0 && !OpenCodec(format->streams[video], &videoCodec)) return false;
    if (audio >= 0 && !OpenCodec(format->streams[audio], &audioCodec)) return false;
    return true;
  }

  // The stream time of a decoded frame of the stream, or -1 when it has none.
  REFERENCE_TIME FrameTime(int stream) const {
    const int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) return -1;
    return ToUnits(*ff, pts, format->streams[stream]->time_base) -
           ToUnits(*ff, startTime, AVRational{1, AV_TIME_BASE});
  }
};

void VideoType(AM_MEDIA_TYPE* type, int width, int height, REFERENCE_TIME frameTime) {
  *type = AM_MEDIA_TYPE{};
  auto* info = static_cast<VIDEOINFOHEADER*>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
  if (!info) return;
  *info = VIDEOINFOHEADER{};
  const DWORD pitch = (3 * static_cast<DWORD>(width) + 3) & ~3u;
  info->rcSource = RECT{0, 0, width, height};
  info->rcTarget = info->rcSource;
  info->AvgTimePerFrame = frameTime;
  BITMAPINFOHEADER& b = info->bmiHeader;
  b.biSize = sizeof(BITMAPINFOHEADER);
  b.biWidth = width;
  b.biHeight = height;  // positive: bottom-up rows, as RGB24 comes by default
  b.biPlanes = 1;
  b.biBitCount = 24;
  b.biCompression = 0;
  b.biSizeImage = pitch * static_cast<DWORD>(height);
  type->majortype = MEDIATYPE_Video;
  type->subtype = MEDIASUBTYPE_RGB24;
  type->formattype = FORMAT_VideoInfo;
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = b.biSizeImage;
  type->cbFormat = sizeof(VIDEOINFOHEADER);
  type->pbFormat = reinterpret_cast<BYTE*>(info);
}

void AudioType(AM_MEDIA_TYPE* type, int channels, int rate) {
  *type = AM_MEDIA_TYPE{};
  auto* f = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
  if (!f) return;
  f->wFormatTag = WAVE_FORMAT_PCM;
  f->nChannels = static_cast<WORD>(channels);
  f->nSamplesPerSec = static_cast<DWORD>(rate);
  f->wBitsPerSample = 16;
  f->nBlockAlign = static_cast<WORD>(2 * channels);
  f->nAvgBytesPerSec = f->nSamplesPerSec * f->nBlockAlign;
  f->cbSize = 0;
  type->majortype = MEDIATYPE_Audio;
  type->subtype = MEDIASUBTYPE_PCM;
  type->formattype = FORMAT_WaveFormatEx;
  type->bFixedSizeSamples = TRUE;
  type->lSampleSize = f->nBlockAlign;
  type->cbFormat = sizeof(WAVEFORMATEX);
  type->pbFormat = reinterpret_cast<BYTE*>(f);
}

}  // namespace

class DecoderFilter : public PortFilter {
 public:
  DecoderFilter() : PortFilter(kDecoderClass) { AddPin(PINDIR_INPUT); }
  ~DecoderFilter() override {
    StopStreaming();
    if (reader_) reader_->Release();
  }

  HRESULT CheckInputType(PortPin* pin, const AM_MEDIA_TYPE& type) override {
    return pin == pins()[0] && type.majortype == MEDIATYPE_Stream ? S_OK : S_FALSE;
  }

  HRESULT CompleteConnection(PortPin* pin, IPin* peer, const AM_MEDIA_TYPE& type) override {
    if (pin != pins()[0]) return S_OK;
    IAsyncReader* reader = nullptr;
    if (FAILED(peer->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&reader))))
      return VFW_E_TYPE_NOT_ACCEPTED;
    if (reader_) reader_->Release();
    reader_ = reader;
    mpegAudioOnly_ = type.subtype == MEDIASUBTYPE_MPEG1Audio;
    if (!Probe()) {
      reader_->Release();
      reader_ = nullptr;
      return VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (width_ > 0) videoPin_ = AddPin(PINDIR_OUTPUT);
    if (channels_ > 0) audioPin_ = AddPin(PINDIR_OUTPUT);
    return S_OK;
  }

  void BreakConnection(PortPin* pin) override {
    if (pin != pins()[0]) return;
    if (reader_) reader_->Release();
    reader_ = nullptr;
    // The outputs go with the input, unless something still holds them.
    bool outputsFree = true;
    for (size_t i = 1; i < pins().size(); ++i) outputsFree = outputsFree && !pins()[i]->peer();
    if (outputsFree) {
      TrimPins(1);
      videoPin_ = audioPin_ = nullptr;
    }
  }

  bool OfferOutputType(PortPin* pin, AM_MEDIA_TYPE* type) override {
    if (pin == videoPin_ && width_ > 0) {
      VideoType(type, width_, height_, frameTime_);
    } else if (pin == audioPin_ && channels_ > 0) {
      AudioType(type, channels_, rate_);
    } else {
      return false;
    }
    return type->pbFormat != nullptr;
  }

  REFERENCE_TIME duration() const { return duration_; }
  void SetStop(REFERENCE_TIME stop) { stop_ = stop; }
  REFERENCE_TIME position() const { return position_; }

 protected:
  void OnStateChange(FILTER_STATE from, FILTER_STATE to) override {
    if (from == State_Stopped && reader_) {
      stopRequested_ = false;
      position_ = 0;
      thread_ = std::thread([this] { Stream(); });
    }
    if (to == State_Stopped) StopStreaming();
  }

 private:
  // Opens the stream once to learn its streams and to decode a first frame of the main one
  // (the picture when there is one): a stream that gives none is not taken.
  bool Probe() {
    Media m;
    width_ = height_ = channels_ = rate_ = 0;
    if (!m.Open(reader_, mpegAudioOnly_) || !m.OpenDecoders(true, true)) return false;
    const int main = m.video >= 0 ? m.video : m.audio;
    AVCodecContext* mainCodec = m.video >= 0 ? m.videoCodec : m.audioCodec;
    bool got = false;
    for (int n = 0; n < kProbePackets && !got; ++n) {
      if (m.ff->av_read_frame(m.format, m.packet) < 0) {
        m.ff->avcodec_send_packet(mainCodec, nullptr);
        got = m.ff->avcodec_receive_frame(mainCodec, m.frame) == 0;
        break;
      }
      if (m.packet->stream_index == main && m.ff->avcodec_send_packet(mainCodec, m.packet) >= 0)
        got = m.ff->avcodec_receive_frame(mainCodec, m.frame) == 0;
      m.ff->av_packet_unref(m.packet);
    }
    // A picture made up by error concealment (a damaged stream) is no first frame.
    if (!got || m.frame->decode_error_flags || (m.frame->flags & AV_FRAME_FLAG_CORRUPT))
      return false;
    if (m.video >= 0) {
      const int64_t w = m.frame->width, h = m.frame->height;
      if (w <= 0 || h <= 0 || w * h > kMaxFramePixels) return false;
      width_ = static_cast<int>(w);
      height_ = static_cast<int>(h);
      const AVStream* s = m.format->streams[m.video];
      AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
      frameTime_ = rate.num > 0 && rate.den > 0
                       ? m.ff->av_rescale(kUnitsPerSecond, rate.den, rate.num)
                       : kUnitsPerSecond / 25;
    }
    if (m.audio >= 0) {
      channels_ = std::min(2, m.audioCodec->ch_layout.nb_channels);
      rate_ = m.audioCodec->sample_rate;
      if (rate_ < 100 || rate_ > 200000) channels_ = rate_ = 0;
    }
    duration_ = m.format->duration > 0
                    ? ToUnits(*m.ff, m.format->duration, AVRational{1, AV_TIME_BASE})
                    : 0;
    // A length not written in the file is guessed by FFmpeg, often far off (MPEG program
    // streams): the last packet's time tells it.
    if (!mpegAudioOnly_ && m.format->duration_estimation_method != AVFMT_DURATION_FROM_STREAM)
      duration_ = ScanDuration(m);
    return true;
  }

  // The end of the latest packet, read to the end of the stream. A packet with a decoding time
  // only is shown as much later as the last packet that had both.
  REFERENCE_TIME ScanDuration(Media& m) {
    REFERENCE_TIME end = 0;
    int64_t shown[2] = {0, 0};  // presentation minus decoding time, video and audio
    while (m.ff->av_read_frame(m.format, m.packet) >= 0) {
      const AVPacket* p = m.packet;
      const int which = p->stream_index == m.video ? 0 : p->stream_index == m.audio ? 1 : -1;
      if (which >= 0 && p->pts != AV_NOPTS_VALUE && p->dts != AV_NOPTS_VALUE)
        shown[which] = p->pts - p->dts;
      const int64_t t = p->pts != AV_NOPTS_VALUE   ? p->pts
                        : p->dts != AV_NOPTS_VALUE ? p->dts + (which >= 0 ? shown[which] : 0)
                                                   : AV_NOPTS_VALUE;
      if (which >= 0 && t != AV_NOPTS_VALUE) {
        const AVStream* s = m.format->streams[p->stream_index];
        REFERENCE_TIME last = ToUnits(*m.ff, t + p->duration, s->time_base) -
                              ToUnits(*m.ff, m.startTime, AVRational{1, AV_TIME_BASE});
        if (p->duration == 0 && which == 0) last += frameTime_;
        end = std::max(end, last);
      }
      m.ff->av_packet_unref(m.packet);
    }
    return end;
  }

  void StopStreaming() {
    stopRequested_ = true;
    if (thread_.joinable()) thread_.join();
  }

  static IMemInputPin* Downstream(PortPin* pin) {
    IMemInputPin* in = nullptr;
    if (pin && pin->peer())
      pin->peer()->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&in));
    return in;
  }

  // Hands the sample on; false when the stream should end (downstream stopped or refused).
  bool Deliver(IMemInputPin* to, REFERENCE_TIME start, REFERENCE_TIME end) {
    if (start >= stop_) {
      reachedStop_ = true;
      return false;
    }
    sample_->start = start;
    sample_->end = end;
    sample_->timed = start >= 0;
    const HRESULT hr = to->Receive(sample_);
    position_ = std::max<REFERENCE_TIME>(position_, std::min(end, stop_.load()));
    return SUCCEEDED(hr) && !stopRequested_;
  }

  bool DeliverVideo(Media& m, IMemInputPin* to) {
    const AVFrame* f = m.frame;
    m.scaler = m.ff->sws_getCachedContext(
        m.scaler, f->width, f->height, static_cast<AVPixelFormat>(f->format), width_, height_,
        AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m.scaler) return true;  // a frame that cannot be converted is left out
    const int pitch = (3 * width_ + 3) & ~3;
    sample_->data.assign(static_cast<size_t>(pitch) * height_, 0);
    // Bottom-up: the first row of the picture is the last of the buffer.
    uint8_t* rows[4] = {sample_->data.data() + static_cast<size_t>(pitch) * (height_ - 1)};
    const int strides[4] = {-pitch};
    m.ff->sws_scale(m.scaler, f->data, f->linesize, 0, f->height, rows, strides);
    REFERENCE_TIME start = m.FrameTime(m.video);
    if (start < 0) start = videoFrames_ * frameTime_;
    ++videoFrames_;
    return Deliver(to, start, start + frameTime_);
  }

  bool DeliverAudio(Media& m, IMemInputPin* to) {
    AVFrame* f = m.frame;
    if (!m.resampler) {
      AVChannelLayout out;
      m.ff->av_channel_layout_default(&out, channels_);
      if (m.ff->swr_alloc_set_opts2(&m.resampler, &out, AV_SAMPLE_FMT_S16, rate_, &f->ch_layout,
                                    static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                                    nullptr) < 0 ||
          m.ff->swr_init(m.resampler) < 0)
        return true;
    }
    const int room = m.ff->swr_get_out_samples(m.resampler, f->nb_samples);
    if (room <= 0) return true;
    sample_->data.resize(static_cast<size_t>(room) * channels_ * 2);
    uint8_t* out[1] = {sample_->data.data()};
    const int made = m.ff->swr_convert(
        m.resampler, out, room, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    if (made <= 0) return true;
    sample_->data.resize(static_cast<size_t>(made) * channels_ * 2);
    REFERENCE_TIME start = m.FrameTime(m.audio);
    if (start < 0) start = audioSamples_ * kUnitsPerSecond / rate_;
    audioSamples_ += made;
    return Deliver(to, start, start + static_cast<REFERENCE_TIME>(made) * kUnitsPerSecond / rate_);
  }

  // Decodes what the packet (null: the end) gives for one stream; false when the stream ends.
  bool Decode(Media& m, AVCodecContext* codec, const AVPacket* packet, IMemInputPin* to,
              bool video) {
    if (m.ff->avcodec_send_packet(codec, packet) < 0 && packet) return true;  // a damaged packet
    while (m.ff->avcodec_receive_frame(codec, m.frame) == 0) {
      const bool go = video ? DeliverVideo(m, to) : DeliverAudio(m, to);
      m.ff->av_frame_unref(m.frame);
      if (!go) return false;
    }
    return true;
  }

  void Stream() {
    IMemInputPin* videoOut = Downstream(videoPin_);
    IMemInputPin* audioOut = Downstream(audioPin_);
    sample_ = new PortMediaSample;
    videoFrames_ = audioSamples_ = 0;
    reachedStop_ = false;
    Media m;
    bool failed = !m.Open(reader_, mpegAudioOnly_) || !m.OpenDecoders(videoOut, audioOut);
    bool go = !failed;
    while (go && !stopRequested_) {
      if (m.ff->av_read_frame(m.format, m.packet) < 0) break;
      if (m.packet->stream_index == m.video && videoOut) {
        go = Decode(m, m.videoCodec, m.packet, videoOut, true);
      } else if (m.packet->stream_index == m.audio && audioOut) {
        go = Decode(m, m.audioCodec, m.packet, audioOut, false);
      }
      m.ff->av_packet_unref(m.packet);
    }
    if (go && !stopRequested_) {
      if (m.videoCodec) Decode(m, m.videoCodec, nullptr, videoOut, true);
      if (m.audioCodec && !stopRequested_) Decode(m, m.audioCodec, nullptr, audioOut, false);
    }
    // The end of the data, or the stop position: the renderers finish what they have.
    if (!stopRequested_ && (go || reachedStop_)) {
      for (PortPin* pin : {videoPin_, audioPin_})
        if (pin && pin->peer()) pin->peer()->EndOfStream();
    }
    if (failed && !stopRequested_) NotifyGraph(EC_ERRORABORT);
    if (videoOut) videoOut->Release();
    if (audioOut) audioOut->Release();
    sample_->Release();
    sample_ = nullptr;
  }

  IAsyncReader* reader_ = nullptr;
  bool mpegAudioOnly_ = false;
  PortPin* videoPin_ = nullptr;
  PortPin* audioPin_ = nullptr;
  int width_ = 0, height_ = 0, channels_ = 0, rate_ = 0;
  REFERENCE_TIME frameTime_ = 0, duration_ = 0;
  std::atomic<REFERENCE_TIME> stop_{LLONG_MAX};
  std::atomic<REFERENCE_TIME> position_{0};
  std::atomic<bool> stopRequested_{false};
  std::thread thread_;
  // Streaming thread only.
  PortMediaSample* sample_ = nullptr;
  int64_t videoFrames_ = 0, audioSamples_ = 0;
  bool reachedStop_ = false;
};

PortFilter* MakeDecoderFilter() { return new DecoderFilter; }
DecoderFilter* AsDecoder(IBaseFilter* filter) { return dynamic_cast<DecoderFilter*>(filter); }
REFERENCE_TIME DecoderDuration(DecoderFilter* d) { return d->duration(); }
void SetDecoderStop(DecoderFilter* d, REFERENCE_TIME stop) { d->SetStop(stop); }
REFERENCE_TIME DecoderPosition(DecoderFilter* d) { return d->position(); }
