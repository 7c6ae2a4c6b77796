#include "stg_src/shell/replay_files.h"

#include <cstdio>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/files/file_functions.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/file_reports.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kMaxListedReplays = 1000;
constexpr size_t kMinReplayNameLength = 4;
constexpr size_t kMaxReplayNameLength = 28;
constexpr uint8_t kReplayFiller = '0';
constexpr const char* kAttractDemoReplay = "data/mihon.rpy";

bool IsKnownDifficulty(int16_t d) { return d >= 0 && d < 4; }

}  // namespace

void ClearReplayFileList(ReplayFileList& list) {
  ReplayFileNode* node = list.head;
  while (node) {
    ReplayFileNode* next = node->next;
    delete node;
    node = next;
  }
  list.head = nullptr;
  list.tail = nullptr;
}

void AddReplayFileName(ReplayFileList& list, const char* name, int32_t row) {
  auto* node = new ReplayFileNode{};
  std::snprintf(node->name, sizeof(node->name), "%s", name);
  node->row = row;
  node->previous = list.tail;
  if (list.tail)
    list.tail->next = node;
  else
    list.head = node;
  list.tail = node;
}

int32_t ListReplayFiles(int16_t difficulty) {
  ClearReplayFileList(ReplayFiles);
  if (!IsKnownDifficulty(difficulty)) return 0;
  char pattern[64];
  std::snprintf(pattern, sizeof(pattern), "replay/%s/*.rpy", DifficultyNames[difficulty]);
  FileFindInfo info;
  const FindHandle find = CurrentFileFunctions.FindFirst(pattern, &info);
  if (find == -1) return 0;
  int32_t count = 0;
  for (int found = 0; found == 0 && count < kMaxListedReplays;
       found = CurrentFileFunctions.FindNext(find, &info)) {
    const size_t length = std::strlen(info.Name);
    if (info.DirFlag || length < kMinReplayNameLength || length > kMaxReplayNameLength) continue;
    AddReplayFileName(ReplayFiles, info.Name, count);
    ++count;
  }
  CurrentFileFunctions.FindClose(find);
  return count;
}

void LoadReplayFile(const char* path) {
  std::memset(ReplayBuffer, kReplayFiller, sizeof(ReplayBuffer));
  const FileHandle file = OpenFileForRead(path, 0);
  if (!file) {
    LogPrintf("Replay file %s not found: the stream is all '0'", path);
    ReportUnreadableFile(path, "the replay plays with no input");
    return;
  }
  size_t length = 0;
  while (length < sizeof(ReplayBuffer)) {
    const size_t got =
        ReadStreamFile(ReplayBuffer + length, 1, sizeof(ReplayBuffer) - length, file);
    if (got == 0) break;
    length += got;
  }
  uint8_t beyond;
  const bool longer = length == sizeof(ReplayBuffer) && ReadStreamFile(&beyond, 1, 1, file) == 1;
  CloseStreamFile(file);
  if (length < sizeof(ReplayBuffer))
    LogPrintf("Replay file %s holds %zu bytes: the rest of the stream is '0'", path, length);
  else if (longer)
    LogPrintf("Replay file %s is longer than %d bytes: the rest is not read", path,
              kReplayBufferSize);
}

bool SaveReplayFile() {
  if (!IsKnownDifficulty(Difficulty)) return false;
  const char* name = DifficultyNames[Difficulty];
  char path[96];
  std::snprintf(path, sizeof(path), "replay/%s/%s_%09d.rpy", name, name, Score);
  return ReplaceFileContents(path, ReplayBuffer, sizeof(ReplayBuffer), "the replay is not saved");
}

int ReadReplayByte(int32_t position) {
  return position >= 0 && position < kReplayBufferSize ? ReplayBuffer[position] : -1;
}

bool WriteReplayByte(int32_t position, uint8_t value) {
  if (position < 0 || position >= kReplayBufferSize) return false;
  ReplayBuffer[position] = value;
  return true;
}

bool WriteReplayWeaponBytes(const int16_t weapons[4]) {
  if (ReplayPosition < 0 || ReplayPosition > kReplayBufferSize - 4) return false;
  for (int i = 0; i < 4; ++i) WriteReplayByte(ReplayPosition + i, static_cast<uint8_t>(weapons[i]));
  ReplayPosition += 4;
  return true;
}

bool ReadReplayWeaponBytes(int16_t weapons[4]) {
  if (ReplayPosition < 0 || ReplayPosition > kReplayBufferSize - 4) return false;
  for (int i = 0; i < 4; ++i) weapons[i] = static_cast<int8_t>(ReadReplayByte(ReplayPosition + i));
  ReplayPosition += 4;
  return true;
}

bool IsValidWeaponSet(const int16_t weapons[4]) {
  auto within = [](int16_t value, int16_t last) { return value >= 0 && value <= last; };
  return within(weapons[0], kMainWeapons - 1) && within(weapons[1], kSubWeapons - 1) &&
         within(weapons[2], kSubWeapons - 1) && weapons[1] != weapons[2] &&
         within(weapons[3], kChargeWeapons - 1);
}

void StartPlay() {
  ClearReplayFileList(ReplayFiles);
  ReleaseTitleAssets();
  ReplayPosition = 0;
  for (int16_t& level : MainWeaponLevels) level = 0;
  for (int16_t& level : SubWeaponLevels) level = 0;
  for (int16_t& level : ChargeWeaponLevels) level = 0;
  for (int16_t& timer : MainWeaponTimers) timer = 0;
  for (int16_t& timer : SubWeaponTimers) timer = 0;
  for (int16_t& timer : ChargeWeaponTimers) timer = 0;
  if (GetPlayMode() == 2) {
    CurrentStage = PracticeStage;
    const int16_t timer = PracticeShotPower == 8 ? 3000 : 0;
    for (int16_t& level : MainWeaponLevels) level = PracticeShotPower;
    for (int16_t& level : SubWeaponLevels) level = PracticeShotPower;
    for (int16_t& level : ChargeWeaponLevels) level = PracticeShotPower;
    for (int16_t& t : MainWeaponTimers) t = timer;
    for (int16_t& t : SubWeaponTimers) t = timer;
    for (int16_t& t : ChargeWeaponTimers) t = timer;
    ShipSpeed = PracticeSpeed;
  } else {
    CurrentStage = 1;
  }
  Lives = 3;
  DeathTimer = 0;
  LoadEnemyCommonAssets();
  CurrentScene = CurrentStage == 3 ? kSceneStageStart : kSceneWeaponSelectSetUp;
}

void StartAttractDemo() {
  DemoSavedDifficulty = Difficulty;
  Difficulty = 2;
  LoadReplayFile(kAttractDemoReplay);
  DemoPlaying = 1;
  StartPlay();
}
