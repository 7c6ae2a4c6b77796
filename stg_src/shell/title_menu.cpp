#include "stg_src/shell/title_menu.h"

#include <algorithm>
#include <cstdio>

#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/platform/input/input_devices.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/font_text.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/scenes/scene_drawing.h"
#include "stg_src/shell/scenes/title_menu_pages.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kTopRows = 5;  // START, REPLAY, PRACTICE, CONFIG, QUIT
constexpr int kTopRowConfig = 3;
constexpr int kTopRowQuit = 4;
constexpr int32_t kAttractDemoFrame = 1200;
constexpr int32_t kSceneFrameWrap = 1024;
constexpr int32_t kReplayListRows = 29;
constexpr int16_t kReplayListSlideStart = 1260;
constexpr int kPracticeRows = 3;
constexpr int16_t kMaxShotPower = 8;
constexpr int16_t kMaxShipSpeed = 3;

// The menu takes input once the flash has faded to 65, when it has slid all the way in.
int SlideOffset() { return ScreenFlashWhite * 6 - 390; }

// The first of the pad buttons 4..11 down now, 0 when none.
int32_t FirstPadButton() {
  const int mask = GetPadInputMask(1);
  for (int32_t bit = 4; bit <= 11; ++bit)
    if ((mask >> bit) & 1) return bit;
  return 0;
}

// The difficulties page 1 offers, in row order: HARD and INSANE each open on their own, so
// INSANE can stand third; replays offer all four.
int OfferedDifficulties(int16_t rows[4]) {
  int n = 0;
  rows[n++] = 0;
  rows[n++] = 1;
  const bool all = GetPlayMode() == 1;
  if (all || StartStages[1] >= 3) rows[n++] = 2;
  if (all || StartStages[2] >= 3) rows[n++] = 3;
  return n;
}

// Wraps value + step into first..last.
int16_t Cycle(int16_t value, int step, int16_t first, int16_t last) {
  int v = value + step;
  if (v < first) v = last;
  if (v > last) v = first;
  return static_cast<int16_t>(v);
}

// -1 for Left pressed, +1 for Right, else 0.
int LeftRightPress() {
  if (IsRolePressed(kButtonLeft)) return -1;
  if (IsRolePressed(kButtonRight)) return 1;
  return 0;
}

int UpdateTopPage() {
  const int16_t row = MenuCursors[kMenuTop];
  if (IsRolePressed(kButtonShot)) {
    RequestSoundEffect(kSoundConfirm);
    if (row < kTopRowConfig) {
      ReplayFileCount = 0;
      OpenMenuPage(kMenuDifficulty, Difficulty);
    } else if (row == kTopRowConfig) {
      OpenMenuPage(kMenuConfig, 0);
    } else if (row == kTopRowQuit) {
      CurrentScene = kSceneQuit;
    }
  }
  // Counted since the page was entered; moving the cursor does not hold it off.
  if (SceneFrame == kAttractDemoFrame && MenuPage == kMenuTop && CurrentScene == kSceneTitleMenu)
    StartAttractDemo();
  return kTopRows;
}

int UpdateDifficultyPage() {
  int16_t offered[4];
  const int n = OfferedDifficulties(offered);
  int16_t& row = MenuCursors[kMenuDifficulty];
  // The page opens on the row of the difficulty last played, which may not be offered now.
  if (row < 0 || row >= n) row = 0;
  if (IsRolePressed(kButtonShot)) {
    RequestSoundEffect(kSoundConfirm);
    Difficulty = offered[row];
    switch (GetPlayMode()) {
      case 0:
        StartPlay();
        row = 0;
        break;
      case 1:
        ReplayListSlide = kReplayListSlideStart;
        ReplayFileCount = ListReplayFiles(Difficulty);
        ReplayListRows = 0;
        ReplayListTop = 0;
        OpenMenuPage(kMenuReplays, 0);
        break;
      default:
        OpenMenuPage(kMenuPractice, 0);
        break;
    }
  } else if (IsRolePressed(kButtonChargeWeapon)) {
    RequestSoundEffect(kSoundCancel);
    OpenMenuPage(kMenuTop, MenuCursors[kMenuTop]);
  }
  return n;
}

// Loads the listed replay of that row and starts it; false when no entry has the row.
bool StartListedReplay(int32_t row) {
  for (const ReplayFileNode* node = ReplayFiles.head; node; node = node->next) {
    if (node->row != row) continue;
    char path[160];
    std::snprintf(path, sizeof(path), "replay/%s/%s", DifficultyNames[Difficulty], node->name);
    LoadReplayFile(path);
    StartPlay();
    return true;
  }
  return false;
}

int UpdateReplayPage() {
  ReplayListRows = kReplayListRows;
  const int32_t count = ReplayFileCount;
  int16_t& row = MenuCursors[kMenuReplays];
  if (count > 0) {
    if (IsRolePressed(kButtonUp)) {
      RequestSoundEffect(kSoundCursor);
      row = static_cast<int16_t>((row + count - 1) % count);
    } else if (IsRolePressed(kButtonDown)) {
      RequestSoundEffect(kSoundCursor);
      row = static_cast<int16_t>((row + count + 1) % count);
    }
    if (row >= ReplayListTop + kReplayListRows) ReplayListTop = row - (kReplayListRows - 1);
    if (row < ReplayListTop) ReplayListTop = row;
  }
  if (IsRolePressed(kButtonShot) && ReplayListSlide <= 0) {
    RequestSoundEffect(kSoundConfirm);
    if (count == 0)
      OpenMenuPage(kMenuTop, MenuCursors[kMenuTop]);
    else
      StartListedReplay(row);
  } else if (IsRolePressed(kButtonChargeWeapon)) {
    RequestSoundEffect(kSoundCancel);
    OpenMenuPage(kMenuDifficulty, Difficulty);
  }
  return 1;  // the page moves its own cursor
}

// The weapons that the clears before the practice stage would have given.
void UnlockPracticeWeapons(int16_t stage) {
  if (stage >= 2) MainWeaponUnlocked[2] = 1;
  if (stage >= 3) SubWeaponUnlocked[4] = 1;
  if (stage >= 4) MainWeaponUnlocked[3] = 1;
  if (stage >= 5) SubWeaponUnlocked[5] = 1;
  if (stage >= 6) ChargeWeaponUnlocked[2] = 1;
}

int UpdatePracticePage() {
  int16_t& row = MenuCursors[kMenuPractice];
  const int step = LeftRightPress();
  if (row == 0) {
    const int16_t limit = StartStages[Difficulty];
    PracticeStage = std::min(PracticeStage, limit);
    if (step != 0) {
      RequestSoundEffect(kSoundCursor);
      PracticeStage = Cycle(PracticeStage, step, 1, limit);
    }
    if (PracticeStage == 0) PracticeStage = 1;
  } else if (row == 1 && step != 0) {
    RequestSoundEffect(kSoundCursor);
    PracticeShotPower = Cycle(PracticeShotPower, step, 0, kMaxShotPower);
  } else if (row == 2 && step != 0) {
    RequestSoundEffect(kSoundCursor);
    PracticeSpeed = Cycle(PracticeSpeed, step, 0, kMaxShipSpeed);
  }
  if (IsRolePressed(kButtonShot)) {
    RequestSoundEffect(kSoundConfirm);
    UnlockPracticeWeapons(PracticeStage);
    StartPlay();
    row = 0;
  } else if (IsRolePressed(kButtonChargeWeapon)) {
    RequestSoundEffect(kSoundCancel);
    OpenMenuPage(kMenuDifficulty, Difficulty);
  }
  return kPracticeRows;
}

int UpdatePage(const MenuInput& input) {
  switch (MenuPage) {
    case kMenuTop:
      return UpdateTopPage();
    case kMenuDifficulty:
      return UpdateDifficultyPage();
    case kMenuReplays:
      return UpdateReplayPage();
    case kMenuPractice:
      return UpdatePracticePage();
    default:
      return UpdateConfigPage(input);
  }
}

void MoveCursor(int16_t& row, int rows) {
  if (IsRolePressed(kButtonUp)) {
    RequestSoundEffect(kSoundCursor);
    row = static_cast<int16_t>(row - 1 < 0 ? rows - 1 : row - 1);
  } else if (IsRolePressed(kButtonDown)) {
    RequestSoundEffect(kSoundCursor);
    row = static_cast<int16_t>(row + 1 > rows - 1 ? 0 : row + 1);
  } else if (row > rows - 1) {
    row = 0;
  }
}

}  // namespace

void OpenMenuPage(int16_t page, int16_t row) {
  MenuPage = page;
  MenuCursors[page] = row;
}

void UpdateTitleMenu() {
  const MenuInput input = {FirstPadButton(), GetFirstPressedKey()};
  // Only the top page may count up to the demo.
  if (MenuPage != kMenuTop && SceneFrame >= kSceneFrameWrap) SceneFrame = 0;
  if (SlideOffset() > 0) return;
  // A page outside 0..7 never comes from the menu itself; start over at the top.
  if (MenuPage < kMenuTop || MenuPage > kMenuSound) MenuPage = kMenuTop;

  const int16_t page = MenuPage;
  const int rows = UpdatePage(input);
  const bool changed = MenuPage != page;
  if (!changed && rows > 1) MoveCursor(MenuCursors[page], rows);
  if (changed && MenuPage == kMenuTop) SceneFrame = 0;
}

void EndTitleMenuFrame() {
  if (CurrentScene != kSceneTitleMenu) return;
  if (MenuPage == kMenuReplays)
    ReplayListSlide = static_cast<int16_t>(std::max(ReplayListSlide - 40, 0));
  if (ScreenFlashWhite >= 1)
    ScreenFlashWhite = static_cast<int16_t>(std::max(ScreenFlashWhite - 4, 0));
}

namespace {

// EnemyImages3 entries of the title set: the selected and plain row frames, the frame picture.
constexpr int kRowFrameSelected = 49;
constexpr int kRowFrame = 50;
constexpr int kFramePicture = 51;
constexpr int kItemX = 136;
constexpr int kFirstItemY = 270;
constexpr int kItemStep = 30;
constexpr int kReplayRowHeight = 16;

const char* const kTopItems[kTopRows] = {"START", "REPLAY", "PRACTICE", "CONFIG", "QUIT"};
const char* const kDifficultyItems[4] = {"EASY", "NORMAL", "HARD", "INSANE"};
const char* const kPracticeItems[kPracticeRows] = {"STAGE SELECT", "SHOT POWER", "SPEED"};

// Row frames behind `frames` rows and the pointer at the page's row, all slid by s.
void DrawRowFrames(int s, int frames, int16_t row) {
  for (int i = 0; i < frames; ++i)
    DrawGraphAt(84 + s, 267 + kItemStep * i,
                FlatEntry(EnemyImages3, i == row ? kRowFrameSelected : kRowFrame), 1);
  DrawSceneText(89 + s, 268 + kItemStep * row, ">");
}

void DrawFramePicture(int alpha) {
  BeginSceneBlend(kSceneAlphaBlend, alpha);
  DrawGraphAt(0, 0, FlatEntry(EnemyImages3, kFramePicture), 1);
  EndSceneBlend();
}

void DrawTopPage(int s, int alpha) {
  DrawGraphAt(0, 0, WeaponBackImage, 1);
  DrawSceneImageCentred(320, 100, 1.0, TitleImage);
  DrawRowFrames(s, kTopRows, MenuCursors[kMenuTop]);
  for (int i = 0; i < kTopRows; ++i)
    DrawSceneText(kItemX + s, kFirstItemY + kItemStep * i, kTopItems[i]);
  DrawFramePicture(alpha);
  // The title's three ghosts grow and fade as the flash falls.
  for (int c : {255, 223, 191}) {
    const int h = 2 * ScreenFlashWhite - c;
    if (h <= 0 || h > 255) continue;
    BeginSceneBlend(kSceneAlphaBlend, (255 - h) / 2);
    DrawSceneImageCentred(320, 100, h / 32 + 1, TitleImage);
    EndSceneBlend();
  }
}

void DrawDimmedTitle() {
  SetDrawBrightness(120, 120, 120);
  DrawGraphAt(0, 0, WeaponBackImage, 1);
  DrawGraphAt(0, 0, TitleImage, 1);
  SetDrawBrightness(255, 255, 255);
}

void DrawDifficultyPage(int s, int alpha) {
  DrawDimmedTitle();
  DrawRowFrames(s, 4, MenuCursors[kMenuDifficulty]);
  int16_t offered[4];
  const int n = OfferedDifficulties(offered);
  for (int i = 0; i < n; ++i)
    DrawSceneText(kItemX + s, kFirstItemY + kItemStep * i, kDifficultyItems[offered[i]]);
  DrawFramePicture(alpha);
}

void DrawPracticePage(int s, int alpha) {
  DrawDimmedTitle();
  DrawRowFrames(s, kPracticeRows, MenuCursors[kMenuPractice]);
  const int16_t values[kPracticeRows] = {PracticeStage, PracticeShotPower, PracticeSpeed};
  for (int i = 0; i < kPracticeRows; ++i) {
    const int y = kFirstItemY + kItemStep * i;
    DrawSceneText(kItemX + s, y, kPracticeItems[i]);
    DrawFontNumber(326 + s, y, values[i], 1, kSceneTextSize);
  }
  DrawFramePicture(alpha);
}

void DrawReplayPage() {
  DrawGraphAt(0, 0, WeaponBackImage, 0);
  if (ReplayFileCount <= 0) {
    DrawSceneText(16, 3, "NOTHING");
    return;
  }
  for (const ReplayFileNode* node = ReplayFiles.head; node; node = node->next) {
    if (node->row < ReplayListTop) continue;
    if (node->row >= ReplayListTop + kReplayListRows) break;
    DrawSceneText(40 + ReplayListSlide, (node->row - ReplayListTop) * kReplayRowHeight + 3,
                  node->name);
  }
  DrawSceneText(16, (MenuCursors[kMenuReplays] - ReplayListTop) * kReplayRowHeight + 3, ">");
}

}  // namespace

void DrawTitleMenu() {
  if (CurrentScene != kSceneTitleMenu) return;
  const int s = std::max(SlideOffset(), 0);
  const int alpha = std::clamp((255 - ScreenFlashWhite) * 3 / 4, 0, 255);
  switch (MenuPage) {
    case kMenuTop:
      DrawTopPage(s, alpha);
      break;
    case kMenuDifficulty:
      DrawDifficultyPage(s, alpha);
      break;
    case kMenuReplays:
      DrawReplayPage();
      break;
    case kMenuPractice:
      DrawPracticePage(s, alpha);
      break;
    default:
      DrawConfigPage();
      break;
  }
  FillSceneScreen(244, 244, 244, kSceneAddBlend, ScreenFlashWhite);
}
