// Fuzz smoke test of the option files: thousands of damaged file sets from a fixed seed, read
// as at boot. Whatever the bytes, every value the game indexes with stays within its table and
// every volume within 0..100, under the sanitizers.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/platform/core/log.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/shell_state.h"
#include "tests/support/temp_folder.h"

namespace {

const char* const kFiles[] = {"volumese.dat",   "volumemusic.dat", "conf0.dat",    "conf1.dat",
                              "conf2.dat",      "conf3.dat",       "confKey0.dat", "confKey1.dat",
                              "confKey2.dat",   "confKey3.dat",    "confKey4.dat", "confKey5.dat",
                              "confKey6.dat",   "confKey7.dat",    "confKey8.dat", "confKey9.dat",
                              "score_easy.dat", "score_hard.dat",  "start1.dat",   "savess.dat"};

std::string RandomText(std::mt19937& rng) {
  static const char* const pieces[] = {
      "0",           "1",          "4",   "11",  "12",  "-",        "+",     " ",
      "\r\n",        "\t",         "255", "256", "-1",  "7",        "32767", "2147483647",
      "-2147483648", "9999999999", "x",   "00",  "100", "\x81\x40", "3"};
  std::string text;
  for (int n = static_cast<int>(rng() % 5); n > 0; --n) text += pieces[rng() % std::size(pieces)];
  if (rng() % 8 == 0) text.push_back(static_cast<char>(rng()));
  return text;
}

TEST(OptionFilesFuzzSmoke, DamagedFileSetsLeaveEveryValueUsable) {
  TempFolder folder;
  ScopedCurrentDirectory current(folder.path());
  folder.MakeDirectory("Option");
  SetLogOutput(0);  // a line per damaged file is not what this test reads
  std::mt19937 rng(0x5EED0104);
  for (int round = 0; round < 200; ++round) {
    for (const char* name : kFiles) {
      if (rng() % 4 == 0)
        std::remove((folder.path() + "/Option/" + name).c_str());
      else
        folder.WriteFile(std::string("Option/") + name, RandomText(rng));
    }
    LoadSettings();
    LoadHighScores();
    LoadStartStages();
    LoadScreenshotCounter();
    for (int role = kButtonShot; role <= kButtonScreenShot; ++role) {
      ASSERT_GE(ButtonPadBits[role], 4) << round;
      ASSERT_LE(ButtonPadBits[role], 11) << round;
    }
    ASSERT_NE(ButtonPadBits[kButtonShot], ButtonPadBits[kButtonChargeWeapon]) << round;
    for (int32_t key : KeyConfig) {
      ASSERT_GE(key, 0) << round;
      ASSERT_LT(key, 256) << round;
    }
    ASSERT_GE(SoundEffectVolume, 0);
    ASSERT_LE(SoundEffectVolume, 100);
    ASSERT_GE(MusicVolume, 0);
    ASSERT_LE(MusicVolume, 100);
    for (int d = 0; d < 4; ++d) {
      ASSERT_GE(HighScores[d], 0);
      ASSERT_GE(StartStages[d], 0);
      ASSERT_LE(StartStages[d], 3);
    }
  }
}

}  // namespace
