// WAV and Ogg Vorbis writers for the kit's sounds.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

#include "tools/datakit/audio.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

}  // namespace

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& mono, int rate) {
  std::vector<uint8_t> out;
  const uint32_t data = static_cast<uint32_t>(mono.size() * 2);
  out.reserve(44 + data);
  PutTag(out, "RIFF");
  Put32(out, 36 + data);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, static_cast<uint32_t>(rate));
  Put32(out, static_cast<uint32_t>(rate * 2));
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, data);
  for (int16_t s : mono) Put16(out, static_cast<uint16_t>(s));
  return out;
}

std::vector<uint8_t> EncodeVorbis(const std::vector<int16_t>& samples, int channels, int rate,
                                  uint32_t serial) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  // The encoder's own low-pass at this quality sits near 18 kHz; the music's top octave (its
  // hats and the edges of its saws) is kept by moving it to the top of the band.
  double lowpassKhz = rate / 2000.0;
  if (vorbis_encode_setup_vbr(&vi, channels, rate, 0.35f) != 0 ||
      vorbis_encode_ctl(&vi, OV_ECTL_LOWPASS_SET, &lowpassKhz) != 0 ||
      vorbis_encode_setup_init(&vi) != 0) {
    vorbis_info_clear(&vi);
    throw std::runtime_error("the Vorbis encoder refused the format");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", "KELVANOR");
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, static_cast<int>(serial));

  std::vector<uint8_t> out;
  ogg_page og;
  auto appendPage = [&out](const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  while (ogg_stream_flush(&os, &og) != 0) appendPage(og);

  const size_t frames = samples.size() / static_cast<size_t>(channels);
  size_t done = 0;
  bool eos = false;
  while (!eos) {
    const size_t n = std::min<size_t>(4096, frames - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
      for (size_t i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
          buffer[c][i] = samples[(done + i) * channels + c] / 32768.0f;
      vorbis_analysis_wrote(&vd, static_cast<int>(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (!eos && ogg_stream_pageout(&os, &og) != 0) {
          appendPage(og);
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
  return out;
}
