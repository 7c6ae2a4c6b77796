#include "port/dsound/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

std::mutex gMixerMutex;
MixerVoice gVoices[kMixerVoiceCount];
int gVoiceEnd = 0;  // one past the highest voice ever used
DWORD gOutputRate = 0;
DWORD gOutputPeriod = 0;

// Mixing runs in chunks so the accumulator lives on the stack.
constexpr int kChunkFrames = 512;

template <int Bits>
inline float SampleAt(const uint8_t* p) {
  if constexpr (Bits == 8) {
    return static_cast<float>((static_cast<int>(p[0]) - 128) * 256);
  } else {
    return static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
  }
}

// Adds `frames` output frames of one voice into `acc` (interleaved stereo), reading the
// buffer with linear interpolation at `step` source frames per output frame (32.32).
// A one-shot voice stops, its cursor back at 0, on the output frame that mixes its last frame.
template <int Bits, int Channels>
void MixVoiceRun(MixerVoice& v, float* acc, int frames, uint64_t step) {
  const uint8_t* data = v.samples->data;
  const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
  const size_t stride = v.blockAlign;
  uint64_t pos = v.position;
  for (int n = 0; n < frames; ++n) {
    const DWORD i = static_cast<DWORD>(pos >> 32);
    DWORD j = i + 1;
    if (j >= v.frames) j = v.looping ? 0 : i;
    const float t = static_cast<float>(static_cast<uint32_t>(pos)) * (1.0f / 4294967296.0f);
    const uint8_t* a = data + i * stride;
    const uint8_t* b = data + j * stride;
    const float l0 = SampleAt<Bits>(a);
    const float l1 = SampleAt<Bits>(b);
    float r0 = l0;
    float r1 = l1;
    if constexpr (Channels == 2) {
      r0 = SampleAt<Bits>(a + Bits / 8);
      r1 = SampleAt<Bits>(b + Bits / 8);
    }
    acc[2 * n] += (l0 + (l1 - l0) * t) * v.gainLeft;
    acc[2 * n + 1] += (r0 + (r1 - r0) * t) * v.gainRight;
    pos += step;
    if (pos >= end) {
      if (!v.looping) {
        v.playing = false;
        pos = 0;
        break;
      }
      pos %= end;
    }
  }
  v.position = pos;
}

typedef void (*MixVoiceFunction)(MixerVoice&, float*, int, uint64_t);

// Indexed [bits == 16][channels == 2].
const MixVoiceFunction kMixVoice[2][2] = {
    {&MixVoiceRun<8, 1>, &MixVoiceRun<8, 2>},
    {&MixVoiceRun<16, 1>, &MixVoiceRun<16, 2>},
};

void MixChunk(int16_t* out, int frames) {
  float acc[2 * kChunkFrames] = {};
  for (int k = 0; k < gVoiceEnd; ++k) {
    MixerVoice& v = gVoices[k];
    if (!v.used || !v.playing || v.frames == 0) continue;
    const uint64_t step = (static_cast<uint64_t>(v.frequency) << 32) / gOutputRate;
    kMixVoice[v.bitsPerSample == 16][v.channels == 2](v, acc, frames, step);
  }
  if (!out) return;
  for (int n = 0; n < 2 * frames; ++n) {
    const long s = std::lrint(acc[n]);
    out[n] = static_cast<int16_t>(std::clamp(s, -32768L, 32767L));
  }
}

}  // namespace

std::unique_lock<std::mutex> LockMixer() { return std::unique_lock<std::mutex>(gMixerMutex); }

int MixerAllocVoice(int owner, WORD channels, WORD bitsPerSample, DWORD rate, DWORD bytes,
                    int shareFrom) {
  int slot = -1;
  for (int k = 0; k < kMixerVoiceCount; ++k) {
    if (!gVoices[k].used) {
      slot = k;
      break;
    }
  }
  if (slot < 0) return -1;
  MixerSamples* samples = nullptr;
  if (shareFrom >= 0) {
    samples = gVoices[shareFrom].samples;
    ++samples->references;
  } else {
    samples = new (std::nothrow) MixerSamples{nullptr, bytes, 1};
    if (!samples) return -1;
    samples->data = new (std::nothrow) uint8_t[bytes];
    if (!samples->data) {
      delete samples;
      return -1;
    }
    // A new buffer holds silence: 8-bit samples are unsigned around 128.
    std::memset(samples->data, bitsPerSample == 8 ? 0x80 : 0, bytes);
  }
  MixerVoice& v = gVoices[slot];
  v = MixerVoice{};
  v.used = true;
  v.owner = owner;
  v.samples = samples;
  v.channels = channels;
  v.bitsPerSample = bitsPerSample;
  v.blockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
  v.frames = samples->bytes / v.blockAlign;
  v.formatRate = rate;
  v.frequency = rate;
  MixerUpdateGains(v);
  gVoiceEnd = std::max(gVoiceEnd, slot + 1);
  return slot;
}

void MixerFreeVoice(int voice) {
  MixerVoice& v = gVoices[voice];
  if (--v.samples->references == 0) {
    delete[] v.samples->data;
    delete v.samples;
  }
  v = MixerVoice{};
}

MixerVoice& MixerVoiceAt(int voice) { return gVoices[voice]; }

void MixerUpdateGains(MixerVoice& v) {
  const double level = std::pow(10.0, v.volume / 2000.0);
  const double left = v.pan > 0 ? std::pow(10.0, -v.pan / 2000.0) : 1.0;
  const double right = v.pan < 0 ? std::pow(10.0, v.pan / 2000.0) : 1.0;
  v.gainLeft = static_cast<float>(level * left);
  v.gainRight = static_cast<float>(level * right);
}

void MixerLoseVoices(int owner) {
  std::lock_guard lock(gMixerMutex);
  for (int k = 0; k < gVoiceEnd; ++k) {
    MixerVoice& v = gVoices[k];
    if (v.used && v.owner == owner) {
      v.playing = false;
      v.lost = true;
    }
  }
}

void MixerCursors(const MixerVoice& v, DWORD* play, DWORD* write) {
  const DWORD frame = static_cast<DWORD>(v.position >> 32);
  DWORD lead = 0;
  if (v.playing && gOutputRate != 0 && v.frames > 1) {
    // The frames one mixing pass may take from this voice, rounded up: data there may
    // already be mixed, so the caller writes only from here on.
    const uint64_t need =
        (static_cast<uint64_t>(gOutputPeriod) * v.frequency + gOutputRate - 1) / gOutputRate + 1;
    lead = static_cast<DWORD>(std::min<uint64_t>(need, v.frames - 1));
  }
  if (play) *play = frame * v.blockAlign;
  if (write) *write = ((frame + lead) % v.frames) * v.blockAlign;
}

void MixerSetOutput(DWORD rate, DWORD periodFrames) {
  std::lock_guard lock(gMixerMutex);
  gOutputRate = rate;
  gOutputPeriod = periodFrames;
}

DWORD MixerOutputRate() {
  std::lock_guard lock(gMixerMutex);
  return gOutputRate;
}

void MixerMix(int16_t* out, int frames) {
  std::lock_guard lock(gMixerMutex);
  if (gOutputRate == 0) {
    if (out) std::memset(out, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
    return;
  }
  while (frames > 0) {
    const int n = std::min(frames, kChunkFrames);
    MixChunk(out, n);
    if (out) out += 2 * n;
    frames -= n;
  }
}
