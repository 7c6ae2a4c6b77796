// What the mixer plays, read back from the manual output at 44,100 Hz: levels, cursors,
// looping, resampling, duplicates, pan, and summing with clipping.
#include <cmath>

#include "tests/port/dsound/manual_sound_fixture.h"
#include "tests/support/sound_signals.h"

namespace {

using SoundMixer = ManualSound;

// Samples across the whole 16-bit range, different on the two channels.
std::vector<int16_t> StereoRamp(int frames) {
  std::vector<int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<int16_t>(-32768 + (i * 65535) / (frames - 1)));
    s.push_back(static_cast<int16_t>(32767 - (i * 65535) / (frames - 1)));
  }
  return s;
}

TEST_F(SoundMixer, OutputIsThePcmScaledByTheAttenuation) {
  struct Case {
    LONG attenuation;  // hundredths of a decibel
    double gain;       // 10^(attenuation / 2000)
  };
  const Case cases[] = {
      {0, 1.0},         {-105, 0.886135},  {-299, 0.708761},
      {-600, 0.501187}, {-2406, 0.062661}, {-10000, 0.00001},
  };
  const int frames = 1000;
  const std::vector<int16_t> pcm = StereoRamp(frames);
  for (const Case& c : cases) {
    IDirectSoundBuffer* b = MakePcm16(pcm, 2);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->SetVolume(c.attenuation), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    const std::vector<int16_t> out = Advance(frames);
    int worst = 0;
    for (size_t i = 0; i < out.size(); ++i) {
      const int expected = static_cast<int>(std::lround(pcm[i] * c.gain));
      worst = std::max(worst, std::abs(out[i] - expected));
    }
    EXPECT_LE(worst, 1) << "attenuation " << c.attenuation;
  }
}

TEST_F(SoundMixer, OneShotPlaysUntilExactlyItsLengthIsMixed) {
  // 300 frames played at the device rate, or at half of it (by format or by frequency),
  // which takes twice as many output frames.
  struct Case {
    int rate;
    DWORD frequency;
    int outputFrames;
  };
  const Case cases[] = {{44100, 0, 300}, {22050, 0, 600}, {44100, 22050, 600}, {22050, 44100, 300}};
  for (const Case& c : cases) {
    std::vector<int16_t> pcm(300, 1000);
    IDirectSoundBuffer* b = MakePcm16(pcm, 1, c.rate);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->SetFrequency(c.frequency), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    std::vector<int16_t> out = Advance(c.outputFrames - 1);
    EXPECT_TRUE(Playing(b)) << c.rate << " Hz at " << c.frequency;
    EXPECT_EQ(out.back(), 1000) << c.rate << " Hz at " << c.frequency;
    out = Advance(1);
    EXPECT_EQ(out[0], 1000) << c.rate << " Hz at " << c.frequency;
    EXPECT_FALSE(Playing(b)) << c.rate << " Hz at " << c.frequency;
    EXPECT_EQ(PlayCursor(b), 0u) << c.rate << " Hz at " << c.frequency
                                 << ": a finished one-shot rewinds";
    out = Advance(10);
    EXPECT_EQ(out, std::vector<int16_t>(20, 0)) << c.rate << " Hz at " << c.frequency;
    ASSERT_EQ(b->Stop(), DS_OK);
  }
}

TEST_F(SoundMixer, LoopingWrapsStopKeepsTheCursorAndPositionsMoveTheCursor) {
  // Mono samples equal to their frame index, so each output sample tells where the cursor was.
  const int frames = 100;
  std::vector<int16_t> pcm;
  for (int i = 0; i < frames; ++i) pcm.push_back(static_cast<int16_t>(i));
  IDirectSoundBuffer* b = MakePcm16(pcm, 1);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  std::vector<int16_t> out = Advance(250);
  for (int n = 0; n < 250; ++n) ASSERT_EQ(out[2 * n], n % frames) << n;
  EXPECT_TRUE(Playing(b));
  EXPECT_EQ(PlayCursor(b), 50u * 2);
  DWORD status = 0;
  ASSERT_EQ(b->GetStatus(&status), DS_OK);
  EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);

  ASSERT_EQ(b->Stop(), DS_OK);
  EXPECT_FALSE(Playing(b));
  EXPECT_EQ(PlayCursor(b), 100u);
  out = Advance(20);
  EXPECT_EQ(out, std::vector<int16_t>(40, 0));
  EXPECT_EQ(PlayCursor(b), 100u);

  // Stopped: a new position, then play goes on from there. An odd byte offset rounds down
  // to its frame.
  ASSERT_EQ(b->SetCurrentPosition(2 * 90 + 1), DS_OK);
  EXPECT_EQ(PlayCursor(b), 180u);
  ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  out = Advance(3);
  EXPECT_EQ(out[0], 90);
  EXPECT_EQ(out[4], 92);

  // Playing: the next mixed frame comes from the new position.
  ASSERT_EQ(b->SetCurrentPosition(2 * 10), DS_OK);
  out = Advance(2);
  EXPECT_EQ(out[0], 10);
  EXPECT_EQ(out[2], 11);
  EXPECT_EQ(b->SetCurrentPosition(2 * frames), DSERR_INVALIDPARAM);

  // While playing, the write cursor runs ahead of the play cursor, around the ring.
  DWORD play = 0, write = 0;
  ASSERT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
  EXPECT_EQ(play, 24u);
  EXPECT_NE(write, play);
  EXPECT_LT(write, 200u);
}

TEST_F(SoundMixer, TonesOfOtherFormatsComeOutAtTheDeviceRateWithTheirLengthAndLevel) {
  struct Case {
    const char* what;
    int bits;
    int channels;
    int rate;
    double amplitude;  // in 16-bit units
  };
  const Case cases[] = {
      {"8-bit mono 22050 Hz", 8, 1, 22050, 100 * 256},
      {"16-bit stereo 48000 Hz", 16, 2, 48000, 20000},
  };
  const double hz = 1000;
  for (const Case& c : cases) {
    const int frames = c.rate / 2;  // half a second
    IDirectSoundBuffer* b =
        MakePcm(MakeSinePcm(c.bits, c.channels, c.rate, frames, hz, c.amplitude), c.bits,
                c.channels, c.rate);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    const int expectedFrames = kRate / 2;
    std::vector<int16_t> out = Advance(expectedFrames - 2);
    EXPECT_TRUE(Playing(b)) << c.what;
    const std::vector<int16_t> tail = Advance(4);
    EXPECT_FALSE(Playing(b)) << c.what;
    for (int channel = 0; channel < 2; ++channel) {
      const ToneMeasure m = MeasureTone(StereoChannel(out, channel), kRate);
      EXPECT_NEAR(m.frequency, hz, hz * 0.002) << c.what << " channel " << channel;
      EXPECT_NEAR(m.amplitude, c.amplitude, c.amplitude * 0.02) << c.what << " channel " << channel;
      // Interpolated, not held: holding samples would leave several per cent over.
      EXPECT_LT(m.distortion, 0.02) << c.what << " channel " << channel;
    }
    EXPECT_EQ(tail[6], 0) << c.what;
    EXPECT_EQ(tail[7], 0) << c.what;
  }
}

TEST_F(SoundMixer, DuplicatesShareSamplesButKeepTheirOwnCursorVolumeAndStatus) {
  const int frames = 100;
  std::vector<int16_t> pcm;
  for (int i = 0; i < frames; ++i) pcm.push_back(static_cast<int16_t>(100 * i));
  IDirectSoundBuffer* original = MakePcm16(pcm, 1);
  ASSERT_NE(original, nullptr);
  ASSERT_EQ(original->SetVolume(-600), DS_OK);
  IDirectSoundBuffer* dup = nullptr;
  ASSERT_EQ(ds_->DuplicateSoundBuffer(original, &dup), DS_OK);
  buffers_.push_back(dup);
  LONG volume = 0;
  ASSERT_EQ(dup->GetVolume(&volume), DS_OK);
  EXPECT_EQ(volume, -600);  // settings are copied at duplication
  ASSERT_EQ(dup->SetVolume(0), DS_OK);

  // The same memory: what is written through the original is heard from the duplicate.
  void* p1 = nullptr;
  DWORD n1 = 0;
  ASSERT_EQ(original->Lock(0, 2, &p1, &n1, nullptr, nullptr, 0), DS_OK);
  const int16_t marker = 7777;
  std::memcpy(p1, &marker, 2);
  ASSERT_EQ(original->Unlock(p1, n1, nullptr, 0), DS_OK);

  ASSERT_EQ(original->SetCurrentPosition(2 * 50), DS_OK);
  ASSERT_EQ(dup->Play(0, 0, 0), DS_OK);
  EXPECT_FALSE(Playing(original));
  std::vector<int16_t> out = Advance(1);
  EXPECT_EQ(out[0], marker);
  ASSERT_EQ(original->Play(0, 0, 0), DS_OK);
  out = Advance(1);
  // Duplicate at full volume from frame 1, original at -600 from frame 50.
  EXPECT_NEAR(out[0], 100 + 5000 * 0.501187, 1);
  EXPECT_EQ(PlayCursor(dup), 4u);
  EXPECT_EQ(PlayCursor(original), 102u);

  ASSERT_EQ(original->Stop(), DS_OK);
  EXPECT_TRUE(Playing(dup));
  // The duplicate keeps the shared samples after the original is gone.
  buffers_.erase(buffers_.begin());
  EXPECT_EQ(original->Release(), 0u);
  out = Advance(1);
  EXPECT_EQ(out[0], 200);
  EXPECT_TRUE(Playing(dup));

  IDirectSoundBuffer* primary = nullptr;
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  ASSERT_EQ(ds_->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
  buffers_.push_back(primary);
  IDirectSoundBuffer* none = nullptr;
  EXPECT_EQ(ds_->DuplicateSoundBuffer(primary, &none), DSERR_INVALIDCALL);
}

TEST_F(SoundMixer, PanMovesTheLevelBetweenChannels) {
  struct Case {
    LONG pan;
    double left;
    double right;
  };
  const Case cases[] = {
      {DSBPAN_LEFT, 1.0, 0.00001}, {-600, 1.0, 0.501187},        {0, 1.0, 1.0},
      {2406, 0.062661, 1.0},       {DSBPAN_RIGHT, 0.00001, 1.0},
  };
  const std::vector<int16_t> pcm(64, 20000);
  for (const Case& c : cases) {
    IDirectSoundBuffer* b = MakePcm16(pcm, 1);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->SetPan(c.pan), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    const std::vector<int16_t> out = Advance(64);
    EXPECT_NEAR(out[0], 20000 * c.left, 1) << "pan " << c.pan;
    EXPECT_NEAR(out[1], 20000 * c.right, 1) << "pan " << c.pan;
  }
}

TEST_F(SoundMixer, BuffersSumAndClipAtSixteenBits) {
  struct Case {
    int16_t a;
    uint8_t b8;  // an 8-bit unsigned buffer mixed in alongside
    int16_t c;
    int16_t expected;
  };
  const Case cases[] = {
      {20000, 128, 15000, 32767},
      {-20000, 128, -15000, -32768},
      {20000, 0, -5000, -17768},  // 8-bit 0 is -32768 in 16-bit units
      {-10000, 255, 2000, -8000 + 127 * 256},
  };
  for (const Case& c : cases) {
    IDirectSoundBuffer* a = MakePcm16(std::vector<int16_t>(32, c.a), 1);
    IDirectSoundBuffer* b = MakePcm(std::vector<uint8_t>(32, c.b8), 8, 1, kRate);
    IDirectSoundBuffer* d = MakePcm16(std::vector<int16_t>(64, c.c), 2);
    ASSERT_TRUE(a && b && d);
    // New buffers hold silence in their own format, so these add nothing.
    IDirectSoundBuffer* fresh8 = Make(PcmFormat(8, 2, kRate), 64);
    IDirectSoundBuffer* fresh16 = Make(PcmFormat(16, 1, kRate), 64);
    ASSERT_TRUE(fresh8 && fresh16);
    for (IDirectSoundBuffer* x : {a, b, d, fresh8, fresh16}) ASSERT_EQ(x->Play(0, 0, 0), DS_OK);
    const std::vector<int16_t> out = Advance(32);
    EXPECT_EQ(out[0], c.expected);
    EXPECT_EQ(out[63], c.expected);
  }
}

}  // namespace
