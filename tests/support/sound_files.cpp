#include "tests/support/sound_files.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "runtime/sound/mpeg_audio_frames.h"

void AppendLe16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendLe32(Bytes& out, uint32_t v) {
  AppendLe16(out, v & 0xFFFF);
  AppendLe16(out, v >> 16);
}

Bytes WavChunk(const char* id, const Bytes& body, int64_t sizeField) {
  Bytes out(id, id + 4);
  AppendLe32(out,
             static_cast<uint32_t>(sizeField >= 0 ? sizeField : static_cast<int64_t>(body.size())));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}

Bytes FmtBody(int tag, int channels, int rate, int byteRate, int blockAlign, int bits,
              bool withExtra) {
  Bytes out;
  AppendLe16(out, static_cast<uint32_t>(tag));
  AppendLe16(out, static_cast<uint32_t>(channels));
  AppendLe32(out, static_cast<uint32_t>(rate));
  AppendLe32(out, static_cast<uint32_t>(byteRate));
  AppendLe16(out, static_cast<uint32_t>(blockAlign));
  AppendLe16(out, static_cast<uint32_t>(bits));
  if (withExtra) AppendLe16(out, 0);
  return out;
}

Bytes RiffWave(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes out = {'R', 'I', 'F', 'F'};
  AppendLe32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes PcmWavFile(int bits, int channels, int rate, const Bytes& pcm) {
  const int align = channels * bits / 8;
  return RiffWave({WavChunk("fmt ", FmtBody(1, channels, rate, rate * align, align, bits)),
                   WavChunk("data", pcm)});
}

Bytes Samples16ToBytes(const std::vector<int16_t>& samples) {
  Bytes out;
  out.reserve(samples.size() * 2);
  for (int16_t s : samples) AppendLe16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<int16_t> BytesToSamples16(const Bytes& bytes) {
  std::vector<int16_t> out(bytes.size() / 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
  return out;
}

std::vector<OggPageBytes> EncodeVorbisPages(const std::vector<int16_t>& samples, int channels,
                                            int rate, uint32_t serial, bool pagePerPacket) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, rate, 0.5f) != 0) {
    vorbis_info_clear(&vi);
    throw std::runtime_error("vorbis_encode_init_vbr refused the format");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(serial));

  std::vector<OggPageBytes> pages;
  ogg_page og;
  auto appendPage = [&pages](const ogg_page& page, bool header) {
    OggPageBytes p;
    p.bytes.assign(page.header, page.header + page.header_len);
    p.bytes.insert(p.bytes.end(), page.body, page.body + page.body_len);
    p.granule = ogg_page_granulepos(&page);
    p.header = header;
    pages.push_back(std::move(p));
  };

  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  while (ogg_stream_flush(&os, &og) != 0) appendPage(og, true);

  const size_t frames = samples.size() / static_cast<size_t>(channels);
  const size_t chunk = 1024;
  size_t done = 0;
  bool eos = false;
  while (!eos) {
    const size_t n = std::min(chunk, frames - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] =
              samples[(done + i) * static_cast<size_t>(channels) + static_cast<size_t>(c)] /
              32768.0f;
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet) == 1) {
        ogg_stream_packetin(&os, &packet);
        while ((pagePerPacket ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) != 0) {
          appendPage(og, false);
          if (ogg_page_eos(&og)) eos = true;
        }
      }
    }
  }

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return pages;
}

Bytes EncodeOggVorbis(const std::vector<int16_t>& samples, int channels, int rate,
                      bool pagePerPacket) {
  Bytes out;
  for (const OggPageBytes& page : EncodeVorbisPages(samples, channels, rate, 12345, pagePerPacket))
    out.insert(out.end(), page.bytes.begin(), page.bytes.end());
  return out;
}

Bytes MpegFrames(uint8_t h1, uint8_t h2, uint8_t h3, int count) {
  const uint8_t header[4] = {0xFF, h1, h2, h3};
  MpegAudioHeader h;
  if (ParseMpegAudioHeader(header, &h) != 0) throw std::runtime_error("not a frame header");
  Bytes out;
  for (int i = 0; i < count; ++i) {
    out.insert(out.end(), header, header + 4);
    out.insert(out.end(), static_cast<size_t>(h.FrameBytes - 4), 0);
  }
  return out;
}

Bytes Id3v2Tag(int bodyBytes, bool footer) {
  Bytes out = {'I', 'D',
               '3', static_cast<uint8_t>(footer ? 4 : 3),
               0,   static_cast<uint8_t>(footer ? 0x10 : 0)};
  for (int shift = 21; shift >= 0; shift -= 7)
    out.push_back(static_cast<uint8_t>((bodyBytes >> shift) & 0x7F));
  out.insert(out.end(), static_cast<size_t>(bodyBytes), 0);
  if (footer) {
    Bytes foot = {'3', 'D', 'I', 4, 0, 0x10};
    foot.insert(foot.end(), out.begin() + 6, out.begin() + 10);
    out.insert(out.end(), foot.begin(), foot.end());
  }
  return out;
}

Bytes Id3v1Tag() {
  Bytes out = {'T', 'A', 'G'};
  out.resize(128, 0);
  return out;
}
