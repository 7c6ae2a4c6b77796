// Stream sounds on the manual output: signals that make any lost, doubled or shifted sample
// visible, WAV images of them, and rendering on the per-frame refill path.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/stream_sound.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/log_capture.h"
#include "tests/support/sound_files.h"

// 16-bit mono samples with no zero among them, so silence is told apart.
inline std::vector<int16_t> StreamSignal(int frames, uint32_t seed) {
  std::vector<int16_t> out(static_cast<size_t>(frames));
  uint32_t x = seed * 2654435761u + 12345u;
  for (int16_t& s : out) {
    x = x * 1664525u + 1013904223u;
    s = static_cast<int16_t>(x >> 16);
    if (s == 0) s = 1;
  }
  return out;
}

inline Bytes MonoWav(const std::vector<int16_t>& samples, int rate = 44100) {
  return PcmWavFile(16, 1, rate, Samples16ToBytes(samples));
}

inline std::vector<int16_t> Concat(const std::vector<std::vector<int16_t>>& parts) {
  std::vector<int16_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// The log's lines without their time stamps ("<ms>:"), leaving out the refusals of the last
// decoder of the chain, which every file that no decoder takes brings.
inline std::string LogTexts(const std::string& contents) {
  std::string out;
  for (const std::string& line : SplitLogLines(contents)) {
    const std::string text = line.substr(line.find(':') + 1);
    if (text.rfind("MP3変換用", 0) != 0 && text != "グラフの構築に失敗しました") out += text + "\n";
  }
  return out;
}

inline std::vector<int16_t> Silence(int frames) {
  return std::vector<int16_t>(static_cast<size_t>(frames), 0);
}

class StreamSoundTest : public StartedSound {
 protected:
  // The service period in device frames.
  static constexpr int kStep = 1323;

  void SetUp() override {
    StartedSound::SetUp();
    ASSERT_EQ(SetSoundCreateType(2), 0);
  }

  // A stream sound of the image, primed, as loading makes it.
  static int LoadStream(const Bytes& wav, int shareHandle = -1) {
    return LoadSoundFromMemory(wav.data(), static_cast<int>(wav.size()), 3, shareHandle);
  }

  // `frames` frames of output on the per-frame path: a refill, then one service period of
  // output (or `step` frames), over and over. The left channel; the right one must be the same.
  // `afterStep` sees the frames rendered so far after each step.
  static std::vector<int16_t> Render(int frames,
                                     const std::function<void(int)>& afterStep = nullptr,
                                     int step = kStep) {
    std::vector<int16_t> left;
    int done = 0;
    while (done < frames) {
      UpdateStreamSounds();
      const int n = std::min(step, frames - done);
      const std::vector<int16_t> out = Advance(n);
      for (int i = 0; i < n; ++i) {
        left.push_back(out[2 * static_cast<size_t>(i)]);
        EXPECT_EQ(out[2 * static_cast<size_t>(i)], out[2 * static_cast<size_t>(i) + 1]);
      }
      done += n;
      if (afterStep) afterStep(done);
    }
    return left;
  }

  // The same, both channels interleaved.
  static std::vector<int16_t> RenderStereo(int frames) {
    std::vector<int16_t> out;
    for (int done = 0; done < frames;) {
      UpdateStreamSounds();
      const int n = std::min(kStep, frames - done);
      const std::vector<int16_t> part = Advance(n);
      out.insert(out.end(), part.begin(), part.end());
      done += n;
    }
    return out;
  }

  // Where two sample runs first differ, for readable failures.
  static testing::AssertionResult SameSamples(const std::vector<int16_t>& got,
                                              const std::vector<int16_t>& want) {
    if (got.size() != want.size())
      return testing::AssertionFailure()
             << "length " << got.size() << " instead of " << want.size();
    for (size_t i = 0; i < got.size(); ++i)
      if (got[i] != want[i])
        return testing::AssertionFailure()
               << "frame " << i << ": " << got[i] << " instead of " << want[i];
    return testing::AssertionSuccess();
  }
};
