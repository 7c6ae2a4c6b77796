// Replays: a recorded run played back gives the same digests frame for frame; loading files of
// every length; the list of replay files; the stream's end in recording and playback; the
// weapon bytes; saving; the attract demo's ends; damaged files played back.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tools/datakit/kit_build.h"

namespace {

constexpr int kKeyEscape = 1;
constexpr int kKeyZ = 44;
constexpr int kKeyC = 46;  // WeaponChange
constexpr int kKeyR = 19;  // BackToTitle
constexpr int kKeyQ = 16;  // Pause
constexpr int kKeyNumpad8 = 72;
constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadLeft = 1u << 1;
constexpr uint32_t kPadRight = 1u << 2;
constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadCharge = 1u << 5;
constexpr const char* kSavedReplay = "replay/normal/normal_000012345.rpy";

void Boot(GameDriver& driver) {
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  ASSERT_EQ(CurrentScene, kSceneLogo);
}

// Every replay opens with the weapon select's four bytes.
constexpr int kWeaponBytes = 4;

// From the title menu into the weapon select: StartPlay and the select's set-up.
void StartWeaponSelect(GameDriver& driver, int16_t mode) {
  MenuCursors[0] = mode;
  CurrentScene = kSceneTitleMenu;
  StartPlay();
  ASSERT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  driver.Step();
  ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
}

// On into the first play frame: in normal play the weapons as they stand, confirmed four times
// (their bytes recorded); in playback the recorded bytes read in one frame.
void StartRun(GameDriver& driver, int16_t mode) {
  StartWeaponSelect(driver, mode);
  if (mode == 1) {
    driver.Step();
  } else {
    for (int step = 0; step < 4; ++step) {
      if (step > 0) driver.Step();
      driver.Step(FrameInput{{}, kPadShot});
    }
  }
  ASSERT_EQ(CurrentScene, kSceneStageStart);
  ASSERT_EQ(ReplayPosition, kWeaponBytes);
  driver.Step();
  ASSERT_EQ(CurrentScene, kScenePlay);
}

// 600 frames of play: the pad steers and shoots in stretches, the keyboard changes weapons,
// and Pause is pressed at 200 and again at 260.
FrameInput RecordedInput(int frame) {
  FrameInput in;
  if (frame % 90 < 50) in.padBits |= kPadRight;
  if (frame % 70 > 40) in.padBits |= kPadDown;
  if (frame % 130 < 20) in.padBits |= kPadLeft;
  if ((frame / 25) % 3 != 1) in.padBits |= kPadShot;
  if (frame % 97 == 10) in.keys.insert(kKeyC);
  if (frame == 200 || frame == 260) in.keys.insert(kKeyQ);
  return in;
}

struct Recording {
  std::vector<uint64_t> digests;
  std::string file;
};

Recording RecordRun() {
  Recording r;
  GameDriver driver;
  Boot(driver);
  Difficulty = 1;
  StartRun(driver, 0);
  const int ran = driver.Run(600, RecordedInput);
  EXPECT_EQ(ran, 600);
  Score = 12345;
  EXPECT_TRUE(SaveReplayFile());
  r.digests = driver.digests();
  r.file = driver.folder().ReadFile(kSavedReplay);
  return r;
}

// Plays the replay file back, with the keyboard and the pad's moves busy (playback ignores
// them) until the stream's frames are used up.
std::vector<uint64_t> PlayBack(const std::string& file, int frames) {
  GameDriver driver;
  driver.folder().WriteFile(kSavedReplay, file);
  Boot(driver);
  Difficulty = 1;
  LoadReplayFile(kSavedReplay);
  StartRun(driver, 1);
  driver.Run(frames, [](int f) {
    FrameInput in;
    in.keys = {kKeyNumpad8, f % 3 ? kKeyC : kKeyQ};
    in.padBits = f % 2 ? kPadLeft : kPadDown;
    return in;
  });
  return driver.digests();
}

TEST(Replay, APlaybackGivesTheRecordedDigestsAndAFlippedByteChangesThem) {
  const Recording rec = RecordRun();
  ASSERT_EQ(rec.file.size(), 512000u);
  ASSERT_GT(rec.digests.size(), 500u);
  EXPECT_LT(rec.digests.size(), 600u);  // the paused frames record nothing

  const int frames = static_cast<int>(rec.digests.size());
  EXPECT_EQ(PlayBack(rec.file, frames), rec.digests);

  // A byte in the middle of a stretch of held Shot: the count restarts there, so every digest
  // from that frame to the end of the stretch differs, and none before it. Frame i's byte
  // follows the weapon bytes.
  const std::string stream = rec.file.substr(kWeaponBytes);
  EXPECT_EQ(rec.file.substr(0, kWeaponBytes), std::string("\0\0\1\0", 4));
  int flipped = -1;
  for (int i = 100; i < frames; ++i)
    if ((stream[i] & 0x10) && (stream[i - 1] & 0x10) && (stream[i + 1] & 0x10)) {
      flipped = i;
      break;
    }
  ASSERT_GE(flipped, 0);
  std::string damaged = rec.file;
  damaged[kWeaponBytes + flipped] ^= 0x10;
  const std::vector<uint64_t> changed = PlayBack(damaged, frames);
  ASSERT_EQ(changed.size(), rec.digests.size());
  for (int i = 0; i < flipped; ++i) ASSERT_EQ(changed[i], rec.digests[i]) << i;
  for (int i = flipped; i < frames && (stream[i] & 0x10); ++i)
    EXPECT_NE(changed[i], rec.digests[i]) << i;
}

TEST(Replay, LoadingFillsWhatTheFileDoesNotCoverWithZeroCharacters) {
  TempFolder folder;
  ScopedCurrentDirectory current(folder.path());
  LogCapture log;
  struct Case {
    const char* name;
    int length;  // -1: no file
    const char* logged;
  };
  const Case cases[] = {
      {"empty.rpy", 0, "holds 0 bytes"},
      {"short.rpy", 100, "holds 100 bytes"},
      {"nearly.rpy", 511999, "holds 511999 bytes"},
      {"exact.rpy", 512000, nullptr},
      {"long.rpy", 512001, "is longer than 512000 bytes"},
      {"missing.rpy", -1, "not found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes;
    for (int i = 0; i < c.length; ++i) bytes += static_cast<char>(i * 7 + 1);
    if (c.length >= 0) folder.WriteFile(c.name, bytes);
    for (uint8_t& b : ReplayBuffer) b = 0xEE;  // what an earlier run left
    const size_t logBefore = log.Contents().size();
    LoadReplayFile(c.name);
    const size_t covered = std::min<size_t>(std::max(c.length, 0), kReplayBufferSize);
    for (size_t i = 0; i < covered; ++i) ASSERT_EQ(ReplayBuffer[i], static_cast<uint8_t>(bytes[i]));
    for (size_t i = covered; i < kReplayBufferSize; ++i) ASSERT_EQ(ReplayBuffer[i], '0') << i;
    const std::string logged = log.Contents().substr(logBefore);
    if (c.logged) {
      EXPECT_NE(logged.find(c.name), std::string::npos) << logged;
      EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
    } else {
      EXPECT_EQ(logged, "");
    }
  }
}

TEST(Replay, TheListTakesNamesOf4To28CharactersAndAtMost1000) {
  TempFolder folder;
  ScopedCurrentDirectory current(folder.path());
  folder.MakeDirectory("replay/hard");
  const std::string n28 = std::string(24, 'b') + ".rpy";
  const std::string n29 = std::string(25, 'c') + ".rpy";
  for (const std::string& name : {std::string(".rpy"), std::string("a.rpy"), n28, n29})
    folder.WriteFile("replay/hard/" + name, "x");
  folder.MakeDirectory("replay/hard/x.rpy");
  folder.WriteFile("replay/hard/other.txt", "x");

  ASSERT_EQ(ListReplayFiles(2), 3);
  std::vector<std::string> names;
  int row = 0;
  for (const ReplayFileNode* n = ReplayFiles.head; n; n = n->next, ++row) {
    EXPECT_EQ(n->row, row);
    EXPECT_EQ(n->previous ? n->previous->next : ReplayFiles.head, n);
    names.push_back(n->name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".rpy", "a.rpy", n28}));
  EXPECT_EQ(ReplayFiles.tail->next, nullptr);

  folder.MakeDirectory("replay/easy");
  for (int i = 0; i < 1200; ++i) folder.WriteFile("replay/easy/r" + std::to_string(i) + ".rpy", "");
  EXPECT_EQ(ListReplayFiles(0), 1000);
  EXPECT_EQ(ReplayFiles.tail->row, 999);
  EXPECT_EQ(ListReplayFiles(3), 0);  // no folder
  EXPECT_EQ(ReplayFiles.head, nullptr);
  EXPECT_EQ(ListReplayFiles(4), 0);  // no difficulty of that number
}

TEST(Replay, TheStreamEndsAt512000Bytes) {
  GameDriver driver;
  Boot(driver);
  // Recording fills the last two bytes and then stops.
  MenuCursors[0] = 0;
  CurrentScene = kScenePlay;
  CurrentStage = 2;
  ReplayPosition = kReplayBufferSize - 2;
  driver.Run(4, [](int) { return FrameInput{{}, kPadLeft}; });
  EXPECT_EQ(ReplayPosition, kReplayBufferSize);
  EXPECT_EQ(ReplayBuffer[kReplayBufferSize - 1], 0x01);  // Left
  EXPECT_EQ(CurrentScene, kScenePlay);

  // Playback of the last byte runs its frame and then returns to the title.
  MenuCursors[0] = 1;
  ReplayPosition = kReplayBufferSize - 1;
  driver.Step();
  EXPECT_EQ(ReplayPosition, kReplayBufferSize);
  EXPECT_EQ(CurrentScene, kSceneTitleVisit);
}

TEST(Replay, WeaponBytes) {
  const int16_t chosen[4] = {3, 5, 4, 2};
  ReplayPosition = kReplayBufferSize - 4;
  ASSERT_TRUE(WriteReplayWeaponBytes(chosen));
  EXPECT_EQ(ReplayPosition, kReplayBufferSize);
  ReplayPosition = kReplayBufferSize - 4;
  int16_t read[4] = {};
  ASSERT_TRUE(ReadReplayWeaponBytes(read));
  EXPECT_EQ(std::vector<int16_t>(read, read + 4), std::vector<int16_t>(chosen, chosen + 4));

  // Four that do not fit are neither written nor read.
  ReplayPosition = kReplayBufferSize - 3;
  ReplayBuffer[kReplayBufferSize - 3] = 0x77;
  EXPECT_FALSE(WriteReplayWeaponBytes(chosen));
  EXPECT_FALSE(ReadReplayWeaponBytes(read));
  EXPECT_EQ(ReplayPosition, kReplayBufferSize - 3);
  EXPECT_EQ(ReplayBuffer[kReplayBufferSize - 3], 0x77);

  // Bytes are signed: 0xFF reads -1.
  ReplayPosition = 0;
  ReplayBuffer[0] = 0xFF;
  ASSERT_TRUE(ReadReplayWeaponBytes(read));
  EXPECT_EQ(read[0], -1);

  struct Case {
    int16_t set[4];
    bool valid;
  };
  const Case cases[] = {
      {{0, 0, 1, 0}, true},      {{3, 5, 4, 2}, true},   {{0, 1, 0, 2}, true},
      {{48, 48, 48, 48}, false},  // a missing file's filler
      {{4, 0, 1, 0}, false},     {{-1, 0, 1, 0}, false}, {{0, 2, 2, 0}, false},
      {{0, 6, 1, 0}, false},     {{0, 0, -1, 0}, false}, {{0, 0, 1, 3}, false},
      {{0, 0, 1, -1}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsValidWeaponSet(c.set), c.valid)
        << c.set[0] << " " << c.set[1] << " " << c.set[2] << " " << c.set[3];
}

TEST(Replay, SavingReplacesAFileOfTheSameName) {
  TempFolder folder;
  ScopedCurrentDirectory current(folder.path());
  folder.MakeDirectory("replay/insane");
  Difficulty = 3;
  Score = 7;
  for (uint8_t& b : ReplayBuffer) b = 1;
  ASSERT_TRUE(SaveReplayFile());
  ReplayBuffer[511999] = 2;
  ASSERT_TRUE(SaveReplayFile());
  const std::string saved = folder.ReadFile("replay/insane/insane_000000007.rpy");
  ASSERT_EQ(saved.size(), 512000u);
  EXPECT_EQ(saved[0], 1);
  EXPECT_EQ(saved[511999], 2);
  EXPECT_FALSE(folder.Exists("replay/insane/insane_000000007.rpy.tmp"));

  Difficulty = 0;  // no folder: nothing written
  EXPECT_FALSE(SaveReplayFile());
  Difficulty = 4;
  EXPECT_FALSE(SaveReplayFile());
}

TEST(Replay, EveryEndOfTheAttractDemoRestoresTheDifficulty) {
  struct Case {
    const char* name;
    FrameInput held;
    bool quits;
  };
  const Case cases[] = {
      {"Esc", {{kKeyEscape}}, true},
      {"BackToTitle", {{kKeyR}}, false},
      {"Shot", {{}, kPadShot}, false},
      {"ChargeWeapon", {{kKeyZ + 1}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameDriver driver;
    Boot(driver);
    Difficulty = 0;
    StartAttractDemo();  // "data/mihon.rpy" is missing: the stream is all '0'
    EXPECT_EQ(Difficulty, 2);
    EXPECT_EQ(GetPlayMode(), 1);
    driver.Step();
    CurrentScene = kSceneStageStart;
    driver.Step();
    driver.Run(5);
    ASSERT_EQ(CurrentScene, kScenePlay);
    EXPECT_EQ(driver.Step(c.held), !c.quits);
    EXPECT_EQ(Difficulty, 0);
    if (!c.quits) { EXPECT_EQ(CurrentScene, kSceneTitleVisit); }
  }
}

// Damaged and cut replays played back: whatever the bytes, the playback runs or ends cleanly.
// 200 files, in four shards that ctest runs side by side. The playback reads a byte a frame, so
// a file plays until a second past its last damaged byte or its cut end, where what the damage
// does has shown, and every fifth file plays the whole 300 frames.
class DamagedReplays : public testing::TestWithParam<int> {};

constexpr int kDamagedReplayFrames = 300;
constexpr int kFramesPastTheDamage = 60;

// The play frames that show what the damage does: up to kFramesPastTheDamage past the last
// byte that differs from the seed, or past the end of a cut file.
int FramesToShowTheDamage(const std::string& seed, const std::string& bytes) {
  size_t last = bytes.size() < seed.size() ? bytes.size() : 0;
  for (size_t i = 0; i < std::min(seed.size(), bytes.size()); ++i)
    if (bytes[i] != seed[i]) last = std::max(last, i);
  const int frames = static_cast<int>(last) - kWeaponBytes + 1 + kFramesPastTheDamage;
  return std::clamp(frames, 1, kDamagedReplayFrames);
}

TEST_P(DamagedReplays, PlayBackSafely) {
  std::string seed(kReplayBufferSize, '\0');
  seed.replace(0, kWeaponBytes, std::string("\0\0\1\0", 4));
  for (int i = kWeaponBytes; i < kReplayBufferSize; ++i)
    seed[i] = static_cast<char>(RecordedInput(i).padBits);
  std::mt19937 rng(0x5EED0027 + GetParam());
  GameDriver::Options options;
  options.fast = true;  // one frame in eight drawn and shown: enough to run the drawing too
  GameDriver driver(options);
  driver.digestFrames = false;  // read by nothing here
  Boot(driver);
  int32_t position = 0;
  bool playing = false;
  driver.afterFrame = [&] {
    if (!playing) return;
    EXPECT_EQ(ReplayPosition, ++position);  // a byte a frame, whatever it holds
  };
  int refused = 0;
  for (int n = 0; n < 50; ++n) {
    playing = false;
    std::string bytes = seed;
    for (int e = 1 + static_cast<int>(rng() % 8); e > 0; --e)
      bytes[rng() % (n % 5 == 0 ? 8 : 400)] = static_cast<char>(rng());
    if (n % 3 == 0) bytes.resize(rng() % 400);
    driver.folder().WriteFile("replay/easy/fuzz.rpy", bytes);
    LoadReplayFile("replay/easy/fuzz.rpy");
    int16_t weapons[4];
    for (int i = 0; i < 4; ++i) weapons[i] = static_cast<int8_t>(ReplayBuffer[i]);
    if (!IsValidWeaponSet(weapons)) {
      // Bytes no weapon select writes end the playback before its first play frame.
      StartWeaponSelect(driver, 1);
      driver.Step();
      ASSERT_EQ(CurrentScene, kSceneTitleVisit);
      ++refused;
      continue;
    }
    StartRun(driver, 1);
    position = kWeaponBytes;
    playing = true;
    const int frames = n % 5 == 4 ? kDamagedReplayFrames : FramesToShowTheDamage(seed, bytes);
    ASSERT_EQ(driver.Run(frames), frames);
    ASSERT_TRUE(driver.running());
    ASSERT_EQ(CurrentScene, kScenePlay);
  }
  EXPECT_GT(refused, 0);
  EXPECT_LT(refused, 40);
}

INSTANTIATE_TEST_SUITE_P(Shards, DamagedReplays, testing::Range(0, 4));

}  // namespace

namespace {

// The attract demo's replay as the data kit makes it, read through the runtime's file
// functions: from the data folder, and from the kit's archive in its place.
TEST(Replay, TheDemoReplayIsReadFromTheDataFolderOrItsArchive) {
  const std::vector<uint8_t> demo = DemoReplay();
  ASSERT_EQ(demo.size(), static_cast<size_t>(kReplayBufferSize));
  for (bool archive : {false, true}) {
    SCOPED_TRACE(archive ? "archive" : "folder");
    GameDriver::Options options;
    options.kit = "data/mihon.rpy";
    options.kitArchive = archive;
    GameDriver driver(options);
    EXPECT_EQ(driver.folder().Exists("data.ARC"), archive);
    Boot(driver);
    for (uint8_t& b : ReplayBuffer) b = 0;
    StartAttractDemo();
    EXPECT_TRUE(std::equal(demo.begin(), demo.end(), ReplayBuffer));

    // Its weapons are a set the weapon select takes, and it plays: a byte a frame, still in
    // play after ten seconds of it. (With the archive in place of the data folder the stage
    // would look for its maps there; once is enough.)
    if (archive) continue;
    int16_t weapons[4];
    ASSERT_TRUE(ReadReplayWeaponBytes(weapons));
    EXPECT_TRUE(IsValidWeaponSet(weapons));
    ReplayPosition = 0;
    driver.Run(2);  // the weapon select's set-up, then its one frame
    ASSERT_EQ(CurrentScene, kSceneStageStart);
    EXPECT_EQ(SelectedMainWeapon, weapons[0]);
    driver.Step();
    ASSERT_EQ(CurrentScene, kScenePlay);
    const int32_t position = ReplayPosition;
    EXPECT_EQ(driver.Run(600), 600);
    EXPECT_EQ(CurrentScene, kScenePlay);
    EXPECT_EQ(ReplayPosition, position + 600);
  }
}

}  // namespace
