#include "tests/support/theora_movie_files.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tests/support/sound_signals.h"

namespace {

constexpr uint32_t kVideoSerial = 0x7E0;
constexpr uint32_t kAudioSerial = 0xA0D;
constexpr int kAudioRate = 44100;

// Lays packets into pages by hand, so a test can choose where pages are cut, packets included.
class OggPager {
 public:
  OggPager(uint32_t serial, int segmentsPerPage) : serial_(serial), limit_(segmentsPerPage) {}

  void Add(const ogg_packet& packet) {
    const long bytes = packet.bytes;
    data_.insert(data_.end(), packet.packet, packet.packet + bytes);
    for (long left = bytes;; left -= 255) {
      const bool last = left < 255;
      segments_.push_back({static_cast<uint8_t>(last ? left : 255), last, packet.granulepos});
      if (last) break;
    }
  }

  // Every queued segment into pages of at most the limit.
  std::vector<Bytes> Flush(bool endOfStream) {
    std::vector<Bytes> pages;
    size_t next = 0;
    size_t bodyAt = 0;
    while (next < segments_.size()) {
      const size_t count = std::min(segments_.size() - next, static_cast<size_t>(limit_));
      int64_t granule = -1;
      size_t bodyBytes = 0;
      for (size_t i = next; i < next + count; ++i) {
        bodyBytes += segments_[i].length;
        if (segments_[i].ends) granule = segments_[i].granule;
      }
      const bool lastPage = next + count == segments_.size();
      Bytes header = {'O', 'g', 'g', 'S', 0};
      header.push_back(static_cast<uint8_t>((continued_ ? 1 : 0) | (sequence_ == 0 ? 2 : 0) |
                                            (endOfStream && lastPage ? 4 : 0)));
      for (int i = 0; i < 8; ++i) header.push_back(static_cast<uint8_t>(granule >> (8 * i)));
      AppendLe32(header, serial_);
      AppendLe32(header, sequence_++);
      AppendLe32(header, 0);
      header.push_back(static_cast<uint8_t>(count));
      for (size_t i = next; i < next + count; ++i) header.push_back(segments_[i].length);
      Bytes page = header;
      page.insert(page.end(), data_.begin() + static_cast<long>(bodyAt),
                  data_.begin() + static_cast<long>(bodyAt + bodyBytes));
      pages.push_back(page);
      continued_ = !segments_[next + count - 1].ends;
      bodyAt += bodyBytes;
      next += count;
    }
    segments_.clear();
    data_.clear();
    for (Bytes& page : pages) MendOggChecksums(&page);
    return pages;
  }

 private:
  struct Segment {
    uint8_t length;
    bool ends;
    int64_t granule;
  };
  uint32_t serial_;
  int limit_;
  uint32_t sequence_ = 0;
  bool continued_ = false;
  std::vector<Segment> segments_;
  Bytes data_;
};

struct TimedPage {
  Bytes bytes;
  double time;  // when the last thing it completes is due
};

uint8_t Noise(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return static_cast<uint8_t>(*state >> 24);
}

}  // namespace

MovieFrameColor MovieFrameYuv(int frame) {
  return {40 + 15 * (frame % 13), 128 + 24 * (frame % 3 - 1), 128 + 20 * (frame % 2 * 2 - 1)};
}

int MovieFlatRows(const TheoraMovieOptions& options) {
  // The loop filter reaches a few rows across the block edge where the band starts.
  return options.NoiseRows > 0 ? std::max(0, options.Height - options.NoiseRows - 8)
                               : options.Height;
}

void MendOggChecksums(Bytes* file) {
  size_t at = 0;
  while (at + 27 <= file->size()) {
    uint8_t* p = file->data() + at;
    if (std::memcmp(p, "OggS", 4) != 0) {
      ++at;
      continue;
    }
    const size_t segments = p[26];
    if (at + 27 + segments > file->size()) return;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += p[27 + i];
    const size_t headerBytes = 27 + segments;
    if (at + headerBytes + body > file->size()) return;
    ogg_page page;
    page.header = p;
    page.header_len = static_cast<long>(headerBytes);
    page.body = p + headerBytes;
    page.body_len = static_cast<long>(body);
    ogg_page_checksum_set(&page);
    at += headerBytes + body;
  }
}

TheoraMovie EncodeTheoraMovie(const TheoraMovieOptions& o) {
  th_info info;
  th_info_init(&info);
  info.frame_width = static_cast<uint32_t>((o.Width + 15) & ~15);
  info.frame_height = static_cast<uint32_t>((o.Height + 15) & ~15);
  info.pic_width = static_cast<uint32_t>(o.Width);
  info.pic_height = static_cast<uint32_t>(o.Height);
  info.pic_x = 0;
  info.pic_y = 0;
  info.colorspace = TH_CS_UNSPECIFIED;
  info.pixel_fmt = o.PixelFormat;
  info.quality = 63;
  info.keyframe_granule_shift = 6;
  info.fps_numerator = static_cast<uint32_t>(o.FpsNumerator);
  info.fps_denominator = static_cast<uint32_t>(o.FpsDenominator);
  th_enc_ctx* encoder = th_encode_alloc(&info);
  if (!encoder) throw std::runtime_error("th_encode_alloc refused the format");
  uint32_t interval = static_cast<uint32_t>(o.KeyFrameInterval);
  th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &interval, sizeof interval);

  TheoraMovie movie;
  OggPager video(kVideoSerial, o.SegmentsPerPage);
  std::vector<Bytes> videoHeaders;
  std::vector<TimedPage> data;

  th_comment comment;
  th_comment_init(&comment);
  ogg_packet packet;
  for (int n = 0; th_encode_flushheader(encoder, &comment, &packet) > 0; ++n) {
    video.Add(packet);
    // The identification header alone on the stream's first page.
    if (n == 0)
      for (Bytes& page : video.Flush(false)) videoHeaders.push_back(page);
  }
  for (Bytes& page : video.Flush(o.Frames == 0)) videoHeaders.push_back(page);
  th_comment_clear(&comment);

  const int xShift = !(o.PixelFormat & 1);
  const int yShift = !(o.PixelFormat & 2);
  const int width = static_cast<int>(info.frame_width);
  const int height = static_cast<int>(info.frame_height);
  const int chromaWidth = width >> xShift;
  const int chromaHeight = height >> yShift;
  std::vector<uint8_t> y(static_cast<size_t>(width * height));
  std::vector<uint8_t> u(static_cast<size_t>(chromaWidth * chromaHeight));
  std::vector<uint8_t> v(u.size());
  const int bandTop = o.Height - o.NoiseRows;
  for (int frame = 0; frame < o.Frames; ++frame) {
    const MovieFrameColor c = MovieFrameYuv(frame);
    std::fill(y.begin(), y.end(), static_cast<uint8_t>(c.Y));
    std::fill(u.begin(), u.end(), static_cast<uint8_t>(c.U));
    std::fill(v.begin(), v.end(), static_cast<uint8_t>(c.V));
    // The same noise in every frame: it costs only the key frames.
    uint32_t state = 99;
    for (int row = std::max(0, bandTop); row < o.Height; ++row) {
      for (int x = 0; x < width; ++x) y[static_cast<size_t>(row * width + x)] = Noise(&state);
      for (int x = 0; x < chromaWidth; ++x) {
        const size_t at = static_cast<size_t>((row >> yShift) * chromaWidth + x);
        u[at] = static_cast<uint8_t>(96 + Noise(&state) / 4);
        v[at] = static_cast<uint8_t>(96 + Noise(&state) / 4);
      }
    }
    th_ycbcr_buffer planes = {
        {width, height, width, y.data()},
        {chromaWidth, chromaHeight, chromaWidth, u.data()},
        {chromaWidth, chromaHeight, chromaWidth, v.data()},
    };
    if (th_encode_ycbcr_in(encoder, planes) != 0) throw std::runtime_error("frame refused");
    while (th_encode_packetout(encoder, frame == o.Frames - 1, &packet) > 0) {
      if (th_packet_iskeyframe(&packet) == 1) movie.KeyFrames.push_back(frame);
      video.Add(packet);
    }
    if ((frame + 1) % o.FramesPerFlush == 0 || frame == o.Frames - 1) {
      const double time = static_cast<double>(frame + 1) * o.FpsDenominator / o.FpsNumerator;
      for (Bytes& page : video.Flush(frame == o.Frames - 1)) data.push_back({page, time});
    }
  }
  th_encode_free(encoder);
  th_info_clear(&info);

  std::vector<OggPageBytes> audio;
  if (o.WithAudio) {
    const int samples = static_cast<int>(static_cast<int64_t>(o.Frames) * kAudioRate *
                                         o.FpsDenominator / o.FpsNumerator);
    movie.Audio = BytesToSamples16(MakeSinePcm(16, 1, kAudioRate, samples, 440.0, 8000.0));
    audio = EncodeVorbisPages(movie.Audio, 1, kAudioRate, kAudioSerial);
  }

  // Every stream's first page, then the rest of the headers, then the data in time order.
  auto append = [&movie](const Bytes& page) {
    movie.File.insert(movie.File.end(), page.begin(), page.end());
  };
  append(videoHeaders[0]);
  if (!audio.empty()) append(audio[0].bytes);
  for (size_t i = 1; i < videoHeaders.size(); ++i) append(videoHeaders[i]);
  for (size_t i = 1; i < audio.size(); ++i)
    if (audio[i].header) append(audio[i].bytes);
  for (const OggPageBytes& page : audio)
    if (!page.header)
      data.push_back({page.bytes, static_cast<double>(page.granule) / kAudioRate + 1e-9});
  std::stable_sort(data.begin(), data.end(),
                   [](const TimedPage& a, const TimedPage& b) { return a.time < b.time; });
  for (const TimedPage& page : data) append(page.bytes);
  return movie;
}
