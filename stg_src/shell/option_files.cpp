#include "stg_src/shell/option_files.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/user_report.h"
#include "stg_src/game/file_reports.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

const char* const DifficultyNames[4] = {"easy", "normal", "hard", "insane"};

const int32_t kDefaultPadBits[kPadRoleCount] = {1, 3, 2, 0, 4, 5, 6, 8};
const int32_t kDefaultKeyConfig[kRoleCount] = {75, 72, 77, 80, 44, 45, 46, 25, 19, 16};

namespace {

constexpr int kFirstConfigurablePadBit = 4;
constexpr int kLastConfigurablePadBit = 11;

// The key files go left, right, up, down; KeyConfig goes left, up, right, down.
constexpr int kKeyFileRoles[kRoleCount] = {
    kButtonLeft,         kButtonRight,        kButtonUp,         kButtonDown,        kButtonShot,
    kButtonChargeWeapon, kButtonWeaponChange, kButtonScreenShot, kButtonBackToTitle, kButtonPause};

const char* const kHighScoreFiles[4] = {"Option/score_easy.dat", "Option/score_normal.dat",
                                        "Option/score_hard.dat", "Option/score_insane.dat"};
const char* const kStartStageFiles[4] = {"Option/start0.dat", "Option/start1.dat",
                                         "Option/start2.dat", "Option/start3.dat"};
constexpr const char* kScreenshotCounterFile = "Option/savess.dat";
constexpr int kScreenshotNameTries = 10000;

bool IsKnownDifficulty(int16_t d) { return d >= 0 && d < 4; }

// The first decimal number of the file (whitespace before it skipped, an optional sign). The
// value is stored only when the file holds one within lowest..highest; otherwise the value
// stays as it was and the log says why.
template <typename T>
void ReadOptionFile(const char* path, T* value, int64_t lowest, int64_t highest) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    LogPrintf("Option file %s is missing: the value stays %" PRId64, path, int64_t{*value});
    return;
  }
  int c;
  do c = std::fgetc(file);
  while (c != EOF && std::isspace(c));
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = std::fgetc(file);
  }
  int64_t magnitude = 0;
  int digits = 0;
  bool tooLong = false;
  for (; c >= '0' && c <= '9'; c = std::fgetc(file), ++digits) {
    if (magnitude > (INT64_MAX - 9) / 10) tooLong = true;  // far outside every type anyway
    if (!tooLong) magnitude = magnitude * 10 + (c - '0');
  }
  std::fclose(file);
  if (digits == 0) {
    LogPrintf("Option file %s holds no number: the value stays %" PRId64, path, int64_t{*value});
    return;
  }
  const int64_t read = negative ? -magnitude : magnitude;
  if (tooLong || read < lowest || read > highest) {
    LogPrintf("Option file %s holds %s%" PRId64 "%s, outside %" PRId64 "..%" PRId64
              ": the value stays %" PRId64,
              path, negative ? "-" : "", magnitude, tooLong ? "..." : "", lowest, highest,
              int64_t{*value});
    return;
  }
  *value = static_cast<T>(read);
}

// False when the file could not be written; `unsaved` (when not null) then tells the player
// what is lost.
bool WriteOptionFile(const char* path, int64_t value, const char* unsaved) {
  char text[32];
  const int length = std::snprintf(text, sizeof(text), "%" PRId64 "\r\n", value);
  return ReplaceFileContents(path, text, static_cast<size_t>(length), unsaved);
}

void ApplyDefaultAssignments() {
  for (int role = kButtonShot; role <= kButtonScreenShot; ++role)
    ButtonPadBits[role] = kDefaultPadBits[role];
  for (int role = 0; role < kRoleCount; ++role) KeyConfig[role] = kDefaultKeyConfig[role];
}

bool HasAssignedPadBits() {
  for (int role = kButtonShot; role <= kButtonScreenShot; ++role) {
    if (ButtonPadBits[role] < kFirstConfigurablePadBit ||
        ButtonPadBits[role] > kLastConfigurablePadBit)
      return false;
  }
  return true;
}

void SettingFileName(char* out, size_t size, const char* stem, int index) {
  std::snprintf(out, size, "Option/%s%d.dat", stem, index);
}

}  // namespace

void LoadSettings() {
  ReadOptionFile("Option/volumese.dat", &SoundEffectVolume, 0, 100);
  ReadOptionFile("Option/volumemusic.dat", &MusicVolume, 0, 100);
  char path[32];
  for (int i = 0; i < 4; ++i) {
    SettingFileName(path, sizeof(path), "conf", i);
    ReadOptionFile(path, &ButtonPadBits[kButtonShot + i], INT32_MIN, INT32_MAX);
  }
  for (int i = 0; i < kRoleCount; ++i) {
    SettingFileName(path, sizeof(path), "confKey", i);
    ReadOptionFile(path, &KeyConfig[kKeyFileRoles[i]], INT32_MIN, INT32_MAX);
  }
  // Equal Shot and ChargeWeapon bits are what missing files leave; a bit outside the pad
  // bits the configuration page offers would index past the counts.
  if (ButtonPadBits[kButtonShot] == ButtonPadBits[kButtonChargeWeapon] || !HasAssignedPadBits())
    ApplyDefaultAssignments();
  for (int role = 0; role < kRoleCount; ++role) {
    if (KeyConfig[role] < 0 || KeyConfig[role] >= kKeyCount) {
      LogPrintf("Key %" PRId32 " of role %d is not a key: the default %" PRId32 " stands",
                KeyConfig[role], role, kDefaultKeyConfig[role]);
      KeyConfig[role] = kDefaultKeyConfig[role];
    }
  }
}

void SaveSettings() {
  if (ButtonPadBits[kButtonShot] == ButtonPadBits[kButtonChargeWeapon]) return;
  // Every file is tried; the player hears of the first that fails, not of all sixteen.
  const char* unsaved = "the settings are not saved";
  auto write = [&unsaved](const char* path, int64_t value) {
    if (!WriteOptionFile(path, value, unsaved)) unsaved = nullptr;
  };
  write("Option/volumese.dat", static_cast<uint16_t>(SoundEffectVolume));
  write("Option/volumemusic.dat", static_cast<uint16_t>(MusicVolume));
  char path[32];
  for (int i = 0; i < 4; ++i) {
    SettingFileName(path, sizeof(path), "conf", i);
    write(path, ButtonPadBits[kButtonShot + i]);
  }
  for (int i = 0; i < kRoleCount; ++i) {
    SettingFileName(path, sizeof(path), "confKey", i);
    write(path, KeyConfig[kKeyFileRoles[i]]);
  }
}

void LoadHighScores() {
  for (int d = 0; d < 4; ++d) ReadOptionFile(kHighScoreFiles[d], &HighScores[d], 0, INT32_MAX);
}

void SaveHighScore(int16_t difficulty) {
  if (GetPlayMode() != 0 || !IsKnownDifficulty(difficulty)) return;
  WriteOptionFile(kHighScoreFiles[difficulty], HighScores[difficulty],
                  "the high score is not saved");
}

void LoadStartStages() {
  for (int d = 0; d < 4; ++d) {
    StartStages[d] = 1;
    ReadOptionFile(kStartStageFiles[d], &StartStages[d], INT16_MIN, INT16_MAX);
    if (StartStages[d] > 3) StartStages[d] = 3;
    if (StartStages[d] < 0) StartStages[d] = 0;  // the practice page counts from it
  }
}

void SaveStartStage(int16_t difficulty, int16_t stage) {
  if (GetPlayMode() != 0 || !IsKnownDifficulty(difficulty)) return;
  if (stage < 1 || stage > 3 || stage <= StartStages[difficulty]) return;
  StartStages[difficulty] = stage;
  WriteOptionFile(kStartStageFiles[difficulty], stage, "the stage reached is not saved");
}

void LoadScreenshotCounter() {
  ReadOptionFile(kScreenshotCounterFile, &ScreenshotCounter, INT32_MIN, INT32_MAX);
}

void SaveScreenshotCounter() {
  WriteOptionFile(kScreenshotCounterFile, ScreenshotCounter,
                  "the screenshot counter is not saved (the next run skips the numbers taken)");
}

bool TakeScreenshotName(char* name, size_t size) {
  if (IsOnConfigPage()) return false;
  if (GetButtonHoldCount(ButtonPadBits[kButtonScreenShot]) != 1) return false;
  // A counter that was not saved last time would name a shot the player already has: numbers
  // whose file exists are passed over rather than overwritten.
  for (int tries = 0; tries < kScreenshotNameTries; ++tries) {
    if (ScreenshotCounter < 0 || ScreenshotCounter == INT32_MAX) return false;
    std::snprintf(name, size, "ScreenShots/SS%04d.bmp", ScreenshotCounter);
    ScreenshotCounter += 1;
    errno = 0;
    std::FILE* existing = std::fopen(name, "rb");
    if (!existing && errno == ENOENT) return true;  // a file that cannot be read is taken too
    if (existing) std::fclose(existing);
  }
  ReportToUser("no free screenshot name after %d tries in ScreenShots; no screenshot taken",
               kScreenshotNameTries);
  return false;
}

bool ReplaceFileContents(const char* path, const void* bytes, size_t size, const char* unsaved) {
  char temporary[300];
  if (std::snprintf(temporary, sizeof(temporary), "%s.tmp", path) >=
      static_cast<int>(sizeof(temporary)))
    return false;
  // The first step that fails says why.
  int error = 0;
  auto step = [&error](bool done) {
    if (!done && error == 0) error = errno != 0 ? errno : EIO;
    return done;
  };
  errno = 0;
  std::FILE* file = std::fopen(temporary, "wb");
  bool written = step(file != nullptr);
  if (file) {
    written = step(std::fwrite(bytes, 1, size, file) == size);
    written = step(std::fflush(file) == 0) && written;
    written = step(std::fclose(file) == 0) && written;
  }
  if (written) written = step(std::rename(temporary, path) == 0);
  if (!written) {
    std::remove(temporary);
    LogPrintf("Could not write %s: it stays as it was", path);
    if (unsaved) ReportUnwritableFile(path, error, unsaved);
  }
  return written;
}
