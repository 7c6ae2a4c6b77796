// The option files: the sixteen settings round trip byte for byte, missing and damaged files
// keep the boot values and say so in the log, the key files cross over, start stages and high
// scores are written only when the rules allow, and a write that fails leaves the old file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/graphics/screen/screen_mode.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/support/child_process.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

const char* const kSettingsFiles[16] = {
    "volumese.dat", "volumemusic.dat", "conf0.dat",    "conf1.dat",
    "conf2.dat",    "conf3.dat",       "confKey0.dat", "confKey1.dat",
    "confKey2.dat", "confKey3.dat",    "confKey4.dat", "confKey5.dat",
    "confKey6.dat", "confKey7.dat",    "confKey8.dat", "confKey9.dat"};

class OptionFiles : public testing::Test {
 protected:
  OptionFiles() : current_(folder_.path()) {
    folder_.MakeDirectory("Option");
    MenuCursors[0] = 0;
    DemoPlaying = 0;
  }
  void Write(const std::string& name, const std::string& text) {
    folder_.WriteFile("Option/" + name, text);
  }
  std::string Read(const std::string& name) const { return folder_.ReadFile("Option/" + name); }
  bool Exists(const std::string& name) const { return folder_.Exists("Option/" + name); }

  TempFolder folder_;
  ScopedCurrentDirectory current_;
};

void SetBootValues() {
  SoundEffectVolume = MusicVolume = 0;
  for (int32_t& bit : ButtonPadBits) bit = 0;
  for (int32_t& key : KeyConfig) key = 0;
  for (int32_t& score : HighScores) score = 0;
  ScreenshotCounter = 0;
}

TEST_F(OptionFiles, TheSixteenSettingsRoundTripByteForByte) {
  const char* const values[16] = {"75", "25", "7",  "9",  "4",  "11", "30", "31",
                                  "32", "33", "34", "35", "36", "37", "38", "2"};
  for (int i = 0; i < 16; ++i) Write(kSettingsFiles[i], std::string(values[i]) + "\r\n");
  SetBootValues();
  LoadSettings();
  EXPECT_EQ(SoundEffectVolume, 75);
  EXPECT_EQ(MusicVolume, 25);
  EXPECT_EQ(std::vector<int32_t>(ButtonPadBits + 4, ButtonPadBits + 8),
            (std::vector<int32_t>{7, 9, 4, 11}));
  // confKey1 is Right and confKey2 Up; KeyConfig goes left, up, right, down.
  EXPECT_EQ(std::vector<int32_t>(KeyConfig, KeyConfig + 10),
            (std::vector<int32_t>{30, 32, 31, 33, 34, 35, 36, 37, 38, 2}));

  for (const char* name : kSettingsFiles) Write(name, "");
  SaveSettings();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(Read(kSettingsFiles[i]), std::string(values[i]) + "\r\n") << kSettingsFiles[i];
  EXPECT_FALSE(Exists("volumese.dat.tmp"));
}

TEST_F(OptionFiles, WithoutFilesTheGameStartsSilentWithTheDefaultsAndSaysWhatIsMissing) {
  LogCapture log;
  SetBootValues();
  LoadSettings();
  LoadHighScores();
  LoadStartStages();
  LoadScreenshotCounter();
  EXPECT_EQ(SoundEffectVolume, 0);
  EXPECT_EQ(MusicVolume, 0);
  EXPECT_EQ(std::vector<int32_t>(ButtonPadBits + 4, ButtonPadBits + 8),
            (std::vector<int32_t>{4, 5, 6, 8}));
  EXPECT_EQ(std::vector<int32_t>(KeyConfig, KeyConfig + 10),
            (std::vector<int32_t>{75, 72, 77, 80, 44, 45, 46, 25, 19, 16}));
  EXPECT_EQ(std::vector<int32_t>(HighScores, HighScores + 4), std::vector<int32_t>(4, 0));
  EXPECT_EQ(std::vector<int16_t>(StartStages, StartStages + 4), std::vector<int16_t>(4, 1));
  EXPECT_EQ(ScreenshotCounter, 0);
  const std::string text = log.Contents();
  for (const char* name : kSettingsFiles)
    EXPECT_NE(text.find(std::string("Option/") + name + " is missing"), std::string::npos) << name;
  for (const char* name : {"score_insane.dat", "start3.dat", "savess.dat"})
    EXPECT_NE(text.find(std::string("Option/") + name + " is missing"), std::string::npos) << name;

  // Equal Shot and ChargeWeapon bits are never saved.
  SaveSettings();
  EXPECT_TRUE(Exists("volumese.dat"));
  ButtonPadBits[kButtonChargeWeapon] = ButtonPadBits[kButtonShot];
  SoundEffectVolume = 50;
  SaveSettings();
  EXPECT_EQ(Read("volumese.dat"), "0\r\n");
}

TEST_F(OptionFiles, DamagedFilesKeepTheBootValueAndAreLogged) {
  struct Case {
    const char* file;
    const char* text;
    int32_t expected;  // the value read, 50 for the boot value kept
  };
  const Case cases[] = {
      {"volumese.dat", "abc", 50},
      {"volumese.dat", "", 50},
      {"volumese.dat", " \r\n", 50},
      {"volumese.dat", "-", 50},
      {"volumese.dat", "101", 50},
      {"volumese.dat", "-1", 50},
      {"volumese.dat", "70000", 50},
      {"volumese.dat", "100", 100},
      {"volumese.dat", " \t\r\n 42abc 7", 42},  // whitespace first; the first number counts
      {"volumese.dat", "+7", 7},
      {"score_easy.dat", "-1", 50},
      {"score_easy.dat", "2147483648", 50},
      {"score_easy.dat", "99999999999999999999999", 50},
      {"score_easy.dat", "2147483647", 2147483647},
      {"savess.dat", "x1", 50},
      {"savess.dat", "-3", -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " \"" + c.text + "\"");
    LogCapture log;
    Write(c.file, c.text);
    SoundEffectVolume = 50;
    HighScores[0] = 50;
    ScreenshotCounter = 50;
    LoadSettings();
    LoadHighScores();
    LoadScreenshotCounter();
    const std::string name = c.file;
    const int32_t read = name == "volumese.dat"     ? SoundEffectVolume
                         : name == "score_easy.dat" ? HighScores[0]
                                                    : ScreenshotCounter;
    EXPECT_EQ(read, c.expected);
    EXPECT_EQ(Read(c.file), c.text);  // nothing rewritten
    const bool logged = log.Contents().find("Option/" + name + " holds") != std::string::npos;
    EXPECT_EQ(logged, c.expected == 50);
    folder_.WriteFile("Option/" + name, "");
    std::remove((folder_.path() + "/Option/" + name).c_str());
  }
}

TEST_F(OptionFiles, AssignmentsOutsideTheCountsFallBackToTheDefaults) {
  const char* const keys[10] = {"30", "31", "32", "33", "300", "-1", "36", "37", "38", "39"};
  for (int i = 0; i < 10; ++i) Write(kSettingsFiles[6 + i], keys[i]);
  Write("conf0.dat", "7");
  Write("conf1.dat", "9");
  Write("conf2.dat", "4");
  Write("conf3.dat", "11");
  LogCapture log;
  LoadSettings();
  // Keys of 0..255 stand; others take their role's default (Shot Z, ChargeWeapon X).
  EXPECT_EQ(std::vector<int32_t>(KeyConfig, KeyConfig + 10),
            (std::vector<int32_t>{30, 32, 31, 33, 44, 45, 36, 37, 38, 39}));
  EXPECT_NE(log.Contents().find("Key 300 of role 4"), std::string::npos);

  // A pad bit outside 4..11 applies the defaults, as equal Shot and ChargeWeapon bits do.
  for (const char* bit : {"12", "3", "-1"}) {
    SCOPED_TRACE(bit);
    Write("conf2.dat", bit);
    LoadSettings();
    EXPECT_EQ(std::vector<int32_t>(ButtonPadBits + 4, ButtonPadBits + 8),
              (std::vector<int32_t>{4, 5, 6, 8}));
    EXPECT_EQ(KeyConfig[kButtonLeft], 75);
  }
}

TEST_F(OptionFiles, StartStagesAndHighScores) {
  Write("start0.dat", "7\r\n");
  Write("start1.dat", "0");
  Write("start2.dat", "-5");
  LoadStartStages();
  EXPECT_EQ(std::vector<int16_t>(StartStages, StartStages + 4), (std::vector<int16_t>{3, 0, 0, 1}));

  struct Case {
    int16_t mode, demo, difficulty, stage;
    const char* written;  // what start1.dat then holds, null for no file written
  };
  const Case cases[] = {
      {1, 0, 1, 2, nullptr},  // replay playback
      {0, 1, 1, 2, nullptr},  // the attract demo
      {2, 0, 1, 2, nullptr},  // practice
      {0, 0, 1, 4, nullptr},  // past the third stage
      {0, 0, 1, 0, nullptr},  // not above the stored entry
      {0, 0, 1, 2, "2\r\n"},  // stage 1 cleared on NORMAL
      {0, 0, 1, 2, nullptr},  // once is enough
      {0, 0, 1, 3, "3\r\n"},  // stage 2 cleared
      {0, 0, 5, 3, nullptr},  // no such difficulty
  };
  for (const Case& c : cases) {
    MenuCursors[0] = c.mode;
    DemoPlaying = static_cast<uint8_t>(c.demo);
    std::remove((folder_.path() + "/Option/start1.dat").c_str());
    SaveStartStage(c.difficulty, c.stage);
    EXPECT_EQ(Exists("start1.dat") ? Read("start1.dat") : "", c.written ? c.written : "")
        << c.mode << c.demo << c.difficulty << c.stage;
  }
  DemoPlaying = 0;
  EXPECT_EQ(StartStages[1], 3);

  HighScores[2] = 1234567;
  MenuCursors[0] = 1;
  SaveHighScore(2);
  EXPECT_FALSE(Exists("score_hard.dat"));
  MenuCursors[0] = 0;
  SaveHighScore(2);
  EXPECT_EQ(Read("score_hard.dat"), "1234567\r\n");
  SaveHighScore(-1);
  SaveHighScore(4);
}

// Writes that fail part-way (a file-size limit) or cannot start (a read-only folder): the old
// files stay as they were and no temporary file is left behind.
TEST_F(OptionFiles, AFailedWriteLeavesTheOldFile) {
  folder_.MakeDirectory("replay/normal");
  const std::string oldReplay(1000, 'o');
  folder_.WriteFile("replay/normal/normal_000000000.rpy", oldReplay);
  Write("savess.dat", "41\r\n");
  for (const char* how : {"size", "readonly"}) {
    SCOPED_TRACE(how);
    if (std::string(how) == "readonly") {
      chmod(folder_.path().c_str(), 0755);
      chmod((folder_.path() + "/Option").c_str(), 0555);
      chmod((folder_.path() + "/replay/normal").c_str(), 0555);
    }
    EXPECT_EQ(RunTestInChild("OptionFilesChild.DISABLED_WriteInChild",
                             {"KELVANOR_WRITE_FOLDER=" + folder_.path(),
                              std::string("KELVANOR_WRITE_FAILURE=") + how}),
              0);
    EXPECT_EQ(Read("savess.dat"), "41\r\n");
    EXPECT_EQ(folder_.ReadFile("replay/normal/normal_000000000.rpy"), oldReplay);
    EXPECT_FALSE(Exists("savess.dat.tmp"));
    EXPECT_FALSE(folder_.Exists("replay/normal/normal_000000000.rpy.tmp"));
  }
  chmod((folder_.path() + "/Option").c_str(), 0755);
  chmod((folder_.path() + "/replay/normal").c_str(), 0755);
}

// The child ends after its writes: it does not return to a folder it may no longer enter.
TEST(OptionFilesChild, DISABLED_WriteInChild) {
  if (!IsChildRunOf("OptionFilesChild.DISABLED_WriteInChild")) GTEST_SKIP();
  ASSERT_EQ(chdir(std::getenv("KELVANOR_WRITE_FOLDER")), 0);
  if (std::string(std::getenv("KELVANOR_WRITE_FAILURE")) == "size") {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails instead of ending us
    const rlimit limit = {3, 3};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  } else if (geteuid() == 0) {
    ASSERT_EQ(setgid(65534), 0);  // as nobody: root would write into a read-only folder
    ASSERT_EQ(setuid(65534), 0);
  }
  const bool readOnly = std::string(std::getenv("KELVANOR_WRITE_FAILURE")) == "readonly";
  const std::string here = std::filesystem::current_path().string();
  // Standard error into a pipe: a file would be held to the size limit too.
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const int savedStderr = dup(2);
  ASSERT_EQ(dup2(pipeEnds[1], 2), 2);
  ScreenshotCounter = 123456;
  EXPECT_FALSE(ReplaceFileContents("Option/savess.dat", "123456\r\n", 8));  // no line asked for
  SaveScreenshotCounter();
  Difficulty = 1;
  Score = 0;
  EXPECT_FALSE(SaveReplayFile());
  // Sixteen settings files fail, and the player reads of the first.
  ButtonPadBits[kButtonShot] = 4;
  ButtonPadBits[kButtonChargeWeapon] = 5;
  SoundEffectVolume = 100;
  SaveSettings();

  // One line for each thing that was not saved: the file's full path, the system's reason.
  const std::string why = readOnly ? "Permission denied" : "File too large";
  dup2(savedStderr, 2);
  close(savedStderr);
  close(pipeEnds[1]);
  std::string lines;
  char buffer[512];
  for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof(buffer))) > 0;)
    lines.append(buffer, got);
  close(pipeEnds[0]);
  EXPECT_EQ(lines, "Tarnu: could not write " + here + "/Option/savess.dat (" + why +
                       "); the screenshot counter is not saved (the next run skips the numbers "
                       "taken)\n"
                       "Tarnu: could not write " +
                       here + "/replay/normal/normal_000000000.rpy (" + why +
                       "); the replay is not saved\n"
                       "Tarnu: could not write " +
                       here + "/Option/volumese.dat (" + why + "); the settings are not saved\n");
}

}  // namespace

namespace {

// The files in the screenshot folder.
std::vector<std::string> Screenshots(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder.path() + "/ScreenShots"))
    names.push_back("ScreenShots/" + e.path().filename().string());
  return names;
}

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return v;
}

// The screenshot button's rules, read after whole frames of input: a press (not a hold) of the
// key or the pad bit, in any scene (playback and pause too) but the configuration pages, with
// a counter that can still count on. The shot is the frame's 640 x 480 screen as a 24-bit BMP:
// here the frame is cleared to a colour of the test's and nothing is drawn on it at the pixels
// read, but for the play field's pause shade (black at half alpha).
TEST(Screenshots, TheButtonSavesTheFrameUnderTheCountersName) {
  constexpr int kKeyP = 25;
  constexpr uint32_t kPadScreenShot = 1u << 8;
  struct Case {
    const char* name;
    FrameInput held;
    int16_t menuPage, mode;
    uint8_t paused;
    int32_t scene, counter;
    const char* shot;  // null: none
  };
  const Case cases[] = {
      {"the key", {{kKeyP}}, 0, 0, 0, kSceneLogo, 0, "ScreenShots/SS0000.bmp"},
      {"the pad", {{}, kPadScreenShot}, 0, 0, 0, kSceneLogo, 7, "ScreenShots/SS0007.bmp"},
      {"five digits", {{kKeyP}}, 0, 0, 0, kSceneLogo, 12345, "ScreenShots/SS12345.bmp"},
      {"paused", {{kKeyP}}, 0, 0, 1, kScenePlay, 3, "ScreenShots/SS0003.bmp"},
      {"playback", {{}, kPadScreenShot}, 0, 1, 0, kScenePlay, 3, "ScreenShots/SS0003.bmp"},
      {"a configuration page", {{kKeyP}}, 6, 0, 0, kSceneTitleMenu, 3, nullptr},
      {"a negative counter", {{kKeyP}}, 0, 0, 0, kSceneLogo, -1, nullptr},
      {"a counter at its end", {{kKeyP}}, 0, 0, 0, kSceneLogo, INT32_MAX, nullptr},
      {"nothing pressed", {}, 0, 0, 0, kSceneLogo, 3, nullptr},
  };
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    driver.Step();
    std::filesystem::remove_all(driver.folder().path() + "/ScreenShots");
    driver.folder().MakeDirectory("ScreenShots");
    CurrentScene = c.scene;
    CurrentStage = 2;
    MenuPage = c.menuPage;
    MenuCursors[0] = c.mode;
    GamePaused = c.paused;
    GameFrame = 100;   // the play field's opening curtains are gone
    SceneWork[2] = 0;  // nor does the logo's fade darken the frame
    ScreenshotCounter = c.counter;
    BackgroundColor = {30, 60, 90};
    driver.Step(c.held);
    BackgroundColor = {0, 0, 0};
    EXPECT_EQ(ScreenshotCounter, c.shot ? c.counter + 1 : c.counter);
    if (!c.shot) {
      EXPECT_EQ(Screenshots(driver.folder()), std::vector<std::string>{});
      continue;
    }
    ASSERT_EQ(Screenshots(driver.folder()), std::vector<std::string>{c.shot});
    const std::string bmp = driver.folder().ReadFile(c.shot);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bmp, 18), 640u);
    const int32_t height = static_cast<int32_t>(Le32(bmp, 22));
    EXPECT_TRUE(height == 480 || height == -480) << height;
    EXPECT_EQ(Le32(bmp, 28) & 0xFFFF, 24u);
    const size_t pixels = Le32(bmp, 10);
    ASSERT_EQ(bmp.size(), pixels + 640u * 3 * 480);
    for (size_t at : {pixels, pixels + 320 * 3 + 1920 * 240, bmp.size() - 3})
      EXPECT_EQ(bmp.substr(at, 3), std::string(c.paused ? "\x2D\x1E\x0F" : "\x5A\x3C\x1E", 3))
          << at;
    // Held on, it is no longer a press.
    std::filesystem::remove(driver.folder().path() + "/" + c.shot);
    driver.Step(c.held);
    EXPECT_EQ(Screenshots(driver.folder()), std::vector<std::string>{});
  }
}

// A counter that was not saved (a read-only option folder) comes back lower next time: the shots
// already taken under its numbers stay, and the new one takes the first free number. Without the
// screenshot folder the player is told that no shot was taken.
TEST(Screenshots, AShotAlreadyTakenIsNeverOverwritten) {
  const FrameInput press = {{25}};
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  driver.folder().MakeDirectory("ScreenShots");
  driver.folder().WriteFile("ScreenShots/SS0007.bmp", "mine");
  driver.folder().WriteFile("ScreenShots/SS0008.bmp", "mine too");
  CurrentScene = kSceneLogo;
  ScreenshotCounter = 7;
  driver.Step(press);
  EXPECT_EQ(ScreenshotCounter, 10);
  EXPECT_EQ(driver.folder().ReadFile("ScreenShots/SS0007.bmp"), "mine");
  EXPECT_EQ(driver.folder().ReadFile("ScreenShots/SS0008.bmp"), "mine too");
  EXPECT_EQ(driver.folder().ReadFile("ScreenShots/SS0009.bmp").substr(0, 2), "BM");

  driver.Step();
  std::filesystem::remove_all(driver.folder().path() + "/ScreenShots");
  const std::string here = std::filesystem::current_path().string();
  testing::internal::CaptureStderr();
  driver.Step(press);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "KELVANOR: could not write " + here +
                "/ScreenShots/SS0010.bmp (its folder ScreenShots does not exist); no screenshot "
                "taken\n");
}

}  // namespace
