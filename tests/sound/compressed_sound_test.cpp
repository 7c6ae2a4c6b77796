// Compressed WAVs and MP3 made by FFmpeg's encoders, decoded through the port's compression
// manager: close to what the encoder was given, the same PCM whole, as a normal sound and as
// a stream sound from memory or from the open file, and exact after a move.
#include <string>

#include "port/msacm/msacm.h"
#include "runtime/sound/sound_converter.h"
#include "tests/sound/stream_sound_fixture.h"
#include "tests/support/encoded_media.h"
#include "tests/support/sound_signals.h"

namespace {

struct EncodedCase {
  const char* file;
  const char* muxer;
  const char* encoder;
  int channels;
  int rate;
  // How far the decoded PCM may lie from the encoder's input (RMS relative to the signal) and
  // how many frames of encoder delay may come before it.
  double maxError;
  int maxDelay;
  int bitRate = 128000;
};

// The first four also play as sounds (at the device's rate, so the output can be compared).
const EncodedCase kCases[] = {
    {"tone.mp3", "mp3", "libmp3lame", 2, 44100, 0.10, 3000},
    {"ima.wav", "wav", "adpcm_ima_wav", 1, 44100, 0.02, 0},
    {"ms.wav", "wav", "adpcm_ms", 2, 44100, 0.03, 0},
    {"mulaw.wav", "wav", "pcm_mulaw", 1, 44100, 0.03, 0},
    {"alaw.wav", "wav", "pcm_alaw", 2, 22050, 0.03, 0},
    // FFmpeg's layer II encoder is the least exact of them.
    {"layer2.wav", "wav", "mp2", 2, 32000, 0.20, 1500, 256000},
    {"gsm.wav", "wav", "libgsm_ms", 1, 8000, 0.25, 400, 13000},
};

constexpr double kSeconds = 1.5;

int Frames(const EncodedCase& c) { return static_cast<int>(c.rate * kSeconds); }

// Two tones, different in each channel, so a swapped or shifted channel shows.
std::vector<int16_t> Signal(const EncodedCase& c) {
  const int frames = Frames(c);
  const Bytes left = MakeSinePcm(16, 1, c.rate, frames, 440.0, 9000.0);
  const Bytes right = MakeSinePcm(16, 1, c.rate, frames, 1250.0, 6000.0);
  const std::vector<int16_t> l = BytesToSamples16(left), r = BytesToSamples16(right);
  const int channels = c.channels;
  std::vector<int16_t> out;
  for (int i = 0; i < frames; ++i) {
    out.push_back(l[i]);
    if (channels == 2) out.push_back(r[i]);
  }
  return out;
}

std::vector<int16_t> DecodeWhole(const Bytes& file, int* kind, WaveFormat* format) {
  MemoryDataStream stream(file);
  SoundConverter conv;
  if (SetupSoundConverter(stream.stream(), &conv) != 0) return {};
  *kind = conv.Kind;
  void* pcm = nullptr;
  int size = 0;
  EXPECT_EQ(DecodeWholeSound(&conv, format, &pcm, &size), 0);
  TerminateSoundConverter(&conv);
  const auto* p = static_cast<const uint8_t*>(pcm);
  std::vector<int16_t> out = BytesToSamples16(Bytes(p, p + size));
  FreeTracked(pcm);
  return out;
}

std::vector<int16_t> AsStereo(const std::vector<int16_t>& pcm, int channels) {
  if (channels == 2) return pcm;
  std::vector<int16_t> out;
  for (int16_t s : pcm) out.insert(out.end(), {s, s});
  return out;
}

class CompressedSound : public StreamSoundTest {
 protected:
  // Decodes the case's file whole (by the decoder of `kind`), as a normal sound and as stream
  // sounds from memory and from the open file; each plays the same PCM, close to the input.
  void CheckDecodesEverywhere(const EncodedCase& c, const Bytes& file,
                              const std::vector<int16_t>& input, int kind) {
    folder_.WriteFile(c.file, std::string(file.begin(), file.end()));
    const std::string path = folder_.WindowsPath() + "\\" + c.file;
    int made = -1;
    WaveFormat format = {};
    const std::vector<int16_t> pcm = DecodeWhole(file, &made, &format);
    EXPECT_EQ(made, kind);
    EXPECT_EQ(format.nChannels, c.channels);
    EXPECT_EQ(format.nSamplesPerSec, static_cast<DWORD>(c.rate));
    EXPECT_EQ(format.wBitsPerSample, 16);
    const AlignedError e = AlignAndCompare(pcm, input, c.channels, c.maxDelay);
    EXPECT_LT(e.relativeRms, c.maxError) << "shift " << e.shift;
    // The coded blocks may pad the end with up to one block of silence.
    EXPECT_GE(pcm.size(), input.size());
    EXPECT_LT(pcm.size(), input.size() + static_cast<size_t>(c.maxDelay + 2048) * c.channels);
    if (c.rate != 44100) return;

    // A normal sound holds the same PCM.
    ASSERT_EQ(SetSoundCreateType(0), 0);
    int h = LoadSoundFile(path.c_str(), 1, -1);
    ASSERT_NE(h, -1);
    const SoundEntry* entry = GetSoundEntry(h);
    const auto* held = static_cast<const uint8_t*>(entry->pcmData);
    EXPECT_EQ(BytesToSamples16(Bytes(held, held + entry->pcmSize)), pcm);
    EXPECT_EQ(DeleteSoundHandle(h), 0);

    // Stream sounds play it, and a loop starts again at its first sample.
    const int frames = static_cast<int>(pcm.size()) / c.channels;
    const std::vector<int16_t> stereo = AsStereo(pcm, c.channels);
    for (int type : {2, 3}) {
      SCOPED_TRACE(type);
      ASSERT_EQ(SetSoundCreateType(type), 0);
      h = LoadSoundFile(path.c_str(), 3, -1);
      ASSERT_NE(h, -1);
      EXPECT_EQ(GetSoundTotalSamples(h), frames);
      ASSERT_EQ(PlaySoundHandle(h, SoundPlayLoop, 1), 0);
      const std::vector<int16_t> out = RenderStereo(frames + 2000);
      EXPECT_TRUE(
          SameSamples(std::vector<int16_t>(out.begin(), out.begin() + stereo.size()), stereo));
      EXPECT_TRUE(SameSamples(std::vector<int16_t>(out.begin() + stereo.size(), out.end()),
                              std::vector<int16_t>(stereo.begin(), stereo.begin() + 4000)));
      EXPECT_EQ(DeleteSoundHandle(h), 0);
    }
  }

  TempFolder folder_;
};

TEST_F(CompressedSound, DecodesCloseToTheEncodersInputWholeAndStreamed) {
  for (const EncodedCase& c : kCases) {
    SCOPED_TRACE(c.file);
    const std::vector<int16_t> input = Signal(c);
    const Bytes file = EncodeSoundFile(c.muxer, c.encoder, input, c.channels, c.rate, c.bitRate);
    ASSERT_FALSE(file.empty());
    CheckDecodesEverywhere(c, file, input, SoundConverterAcm);
  }
  EXPECT_EQ(PortOpenAcmStreamCount(), 0);
}

TEST_F(CompressedSound, Mp3DecodesThroughTheFilterGraphWithoutTheCompressionManager) {
  ASSERT_EQ(ShutdownSound(), 0);
  PortSetModuleAbsent("msacm32.dll", true);
  ASSERT_EQ(InitSound(), 0);
  ASSERT_EQ(AcmFunctionsAvailable(), 0);
  const EncodedCase& c = kCases[0];
  const std::vector<int16_t> input = Signal(c);
  const Bytes file = EncodeSoundFile(c.muxer, c.encoder, input, c.channels, c.rate, c.bitRate);
  CheckDecodesEverywhere(c, file, input, SoundConverterMemoryPcm);
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);

  // Without the graph's classes the decoder refuses with the line of what could not be made.
  const struct {
    const CLSID& absent;
    const char* line;
  } refusals[] = {
      {CLSID_NullRenderer, "MP3変換用 NullRender の作成に失敗しました"},
      {CLSID_FilterGraph, "MP3変換用 IGraphBuilder の作成に失敗しました"},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.line);
    PortSetClassAbsent(r.absent, true);
    LogCapture log;
    MemoryDataStream stream(file);
    SoundConverter conv;
    EXPECT_EQ(SetupSoundConverter(stream.stream(), &conv), -1);
    EXPECT_NE(log.Contents().find(std::string(r.line) + "\r\n"), std::string::npos);
    PortResetComSwitches();
  }
  EXPECT_EQ(PortLiveFilterGraphObjects(), 0);
}

TEST_F(CompressedSound, MovesLandOnTheFrameAskedForInEitherDirection) {
  for (const EncodedCase& c : kCases) {
    SCOPED_TRACE(c.file);
    const Bytes file =
        EncodeSoundFile(c.muxer, c.encoder, Signal(c), c.channels, c.rate, c.bitRate);
    int kind = -1;
    WaveFormat format = {};
    const std::vector<int16_t> whole = DecodeWhole(file, &kind, &format);
    MemoryDataStream stream(file);
    SoundConverter conv;
    ASSERT_EQ(SetupSoundConverter(stream.stream(), &conv), 0);
    // Forward, back into the same block, back to the start, far back, and past the end.
    const int n = Frames(c);
    for (int frame : {n / 2, n / 2 - 1000, 0, n - 500, n / 5, n * 2}) {
      SCOPED_TRACE(frame);
      ASSERT_EQ(SeekSoundConverter(&conv, frame), 0);
      std::vector<int16_t> got(static_cast<size_t>(1000 * c.channels));
      const int bytes = ReadSoundConverter(&conv, got.data(), static_cast<int>(got.size() * 2));
      const size_t at = static_cast<size_t>(frame) * c.channels;
      const size_t expected = at < whole.size() ? std::min(got.size(), whole.size() - at) : 0;
      ASSERT_EQ(bytes, static_cast<int>(expected * 2));
      got.resize(expected);
      EXPECT_EQ(got, std::vector<int16_t>(
                         whole.begin() + static_cast<long>(std::min(at, whole.size())),
                         whole.begin() + static_cast<long>(std::min(at, whole.size()) + expected)));
    }
    EXPECT_EQ(TerminateSoundConverter(&conv), 0);
  }
  EXPECT_EQ(PortOpenAcmStreamCount(), 0);
}

}  // namespace
