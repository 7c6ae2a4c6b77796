// Sound effects: requests played once per frame from the top, the retrigger guards, muting,
// slots outside the table, the volume expressions, stopping and the release at program end; the
// tests' observer of the requests.
#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "stg_src/game_state.h"
#include "tests/game_support/sound_requests.h"
#include "tests/shell/game_sound_fixture.h"

namespace {

class SoundEffectTest : public GameSoundTest {
 protected:
  void WriteFixtures() override {
    WriteFile("se.wav", PcmWavFile(16, 1, kRate, Samples16ToBytes(Tone(kRate))));
  }

  int LoadEffect(int slot) {
    SoundEffectHandles[slot] = LoadSoundFile("se.wav", 3, -1);
    EXPECT_GT(SoundEffectHandles[slot], 0);
    return SoundEffectHandles[slot];
  }
};

TEST_F(SoundEffectTest, RequestsWithinTheGuardPlayOnce) {
  struct Case {
    int slot;
    std::set<int> requested;  // frames
    int frames;
    std::set<int> starts;  // frames in which the slot starts from the top
  };
  std::set<int> everyFrame;
  for (int f = 0; f < 18; ++f) everyFrame.insert(f);
  const Case cases[] = {
      {5, {0, 2}, 6, {0}},
      {5, {0, 3}, 6, {0, 3}},
      {13, {0, 1, 2}, 6, {0}},
      {14, {0, 7}, 10, {0}},
      {20, {0, 8}, 10, {0, 8}},
      {54, {0, 5}, 10, {0}},
      {0, everyFrame, 10, {0, 3, 6, 9}},
      {13, everyFrame, 10, {0, 3, 6, 9}},
      {14, everyFrame, 18, {0, 8, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "slot " << c.slot);
    std::fill(std::begin(SoundEffectGuards), std::end(SoundEffectGuards), int16_t{0});
    StopAllSoundEffects();
    const int handle = LoadEffect(c.slot);
    std::set<int> starts;
    for (int f = 0; f < c.frames; ++f) {
      if (c.requested.count(f))
        EffectFrame({c.slot, c.slot});  // two objects asking in one frame start it once
      else
        EffectFrame({});
      if (StartedThisFrame(handle)) starts.insert(f);
      // Between starts the sound plays on: no frame leaves it stopped.
      EXPECT_TRUE(Playing(handle)) << "frame " << f;
    }
    EXPECT_EQ(starts, c.starts);
  }
}

TEST_F(SoundEffectTest, MutedEffectsPlayNothingAndTheirGuardsWait) {
  const int shortSlot = LoadEffect(3);
  const int longSlot = LoadEffect(30);
  SoundEffectVolume = 0;
  EffectFrame({3, 30});
  for (int f = 0; f < 20; ++f) {
    EffectFrame({3, 30});
    EXPECT_FALSE(Playing(shortSlot));
    EXPECT_FALSE(Playing(longSlot));
  }
  EXPECT_EQ(SoundEffectGuards[3], 3);
  EXPECT_EQ(SoundEffectGuards[30], 8);

  // Raised again: the guards set while muted run down first, then requests play.
  SoundEffectVolume = 25;
  std::set<int> shortStarts, longStarts;
  for (int f = 0; f < 10; ++f) {
    EffectFrame({3, 30});
    if (StartedThisFrame(shortSlot)) shortStarts.insert(f);
    if (StartedThisFrame(longSlot)) longStarts.insert(f);
  }
  EXPECT_EQ(shortStarts, (std::set<int>{3, 6, 9}));
  EXPECT_EQ(longStarts, (std::set<int>{8}));
}

TEST_F(SoundEffectTest, SlotsOutsideTheTableAreIgnored) {
  for (int slot = 0; slot < kSoundEffectSlots; ++slot) LoadEffect(slot);
  for (int16_t slot : {int16_t{55}, int16_t{-1}, int16_t{32767}, int16_t{-32768}}) {
    SCOPED_TRACE(slot);
    EffectFrame({slot});
    for (int s = 0; s < kSoundEffectSlots; ++s) {
      EXPECT_EQ(SoundEffectRequests[s], 0) << s;
      EXPECT_EQ(SoundEffectGuards[s], 0) << s;
      EXPECT_FALSE(Playing(SoundEffectHandles[s])) << s;
    }
  }
}

TEST_F(SoundEffectTest, VolumesAreIntegerPercentagesOf255) {
  const int below = LoadEffect(48);
  const int first = LoadEffect(49);
  const int last = LoadEffect(54);
  struct Case {
    int16_t percent;
    int volume;
  };
  for (const Case& c : {Case{75, 191}, Case{25, 63}, Case{100, 255}, Case{0, 0}}) {
    SCOPED_TRACE(c.percent);
    SoundEffectVolume = c.percent;
    ApplySoundEffectVolume(0);
    EXPECT_EQ(GetSoundEntry(below)->volume, SoundVolumeToAttenuation(c.volume));
    EXPECT_EQ(GetSoundEntry(last)->volume, SoundVolumeToAttenuation(c.volume));
  }
  // From the first slot given on: a stage's slots change, the common ones do not.
  SoundEffectVolume = 75;
  ApplySoundEffectVolume(49);
  EXPECT_EQ(GetSoundEntry(below)->volume, SoundVolumeToAttenuation(0));
  EXPECT_EQ(GetSoundEntry(first)->volume, SoundVolumeToAttenuation(191));
  EXPECT_EQ(GetSoundEntry(last)->volume, SoundVolumeToAttenuation(191));
}

TEST_F(SoundEffectTest, StopAllAndTheReleaseAtProgramEnd) {
  const int a = LoadEffect(2);
  const int b = LoadEffect(40);
  EffectFrame({2, 40});
  ASSERT_TRUE(Playing(a) && Playing(b));
  StopAllSoundEffects();
  EXPECT_FALSE(Playing(a));
  EXPECT_FALSE(Playing(b));
  EXPECT_EQ(IsSoundPlaying(a), 0);  // stopped, still loaded

  // The release deletes the slots' sounds and every other sound of the library.
  const int other = LoadSoundFile("se.wav", 3, -1);
  EffectFrame({2});
  ReleaseGameSounds();
  for (int handle : {a, b, other}) EXPECT_EQ(IsSoundPlaying(handle), -1);
  EXPECT_EQ(SoundEffectHandles[2], 0);
  EXPECT_EQ(SoundEffectHandles[40], 0);
}

TEST(SoundRequestObserverTest, SeesEveryRequestAsAskedAndChangesNothing) {
  const auto requestAll = [] {
    for (int16_t slot : {5, 5, 30, 55, -1, 30}) RequestSoundEffect(slot);
  };
  ResetGameState();
  requestAll();
  const uint64_t unobserved = DigestGameState(DigestScope::All).value;

  ResetGameState();
  {
    SoundRequestRecorder recorder;
    requestAll();
    // The guards dropped the repeats and the table refused two slots; the observer saw all.
    EXPECT_EQ(recorder.Take(), (std::vector<int>{5, 5, 30, 55, -1, 30}));
    EXPECT_TRUE(recorder.Take().empty());
    EXPECT_EQ(DigestGameState(DigestScope::All).value, unobserved);
  }
  SoundRequestRecorder later;
  ResetGameState();  // a reset leaves the observer on
  RequestSoundEffect(7);
  EXPECT_EQ(later.Take(), std::vector<int>{7});
  ResetGameState();
}

}  // namespace
