// The configuration pages of the title menu: 4 the page list, 5 the pad buttons, 6 the keys,
// 7 the volumes. Changes take effect at once; only RETURN on page 4 writes them.
#include <cstdint>

#include "runtime/graphics/draw/draw_calls.h"
#include "stg_src/game/font_text.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scenes/scene_drawing.h"
#include "stg_src/shell/scenes/title_menu_pages.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kConfigRows = 4;  // PAD CONFIG, KEY CONFIG, SOUND, RETURN
constexpr int kConfigRowReturn = 3;
constexpr int kPadRows = 6;  // four buttons, DEFAULT, RETURN
constexpr int kPadButtonRows = 4;
constexpr int kKeyRows = 12;  // ten keys, DEFAULT, RETURN
constexpr int kKeyRoleRows = 10;
constexpr int kSoundRows = 3;  // SE VOLUME, MUSIC VOLUME, RETURN
constexpr int16_t kVolumeStep = 25;

// The role of each key row: the page lists left, right, up, down.
constexpr int kKeyRowRoles[kKeyRoleRows] = {
    kButtonLeft,         kButtonRight,        kButtonUp,         kButtonDown,        kButtonShot,
    kButtonChargeWeapon, kButtonWeaponChange, kButtonScreenShot, kButtonBackToTitle, kButtonPause};

// Gives slots[row] the value; the first other slot, in order, that held it takes the row's old
// value, so that no two slots share one.
void AssignSwapping(int32_t* const slots[], int count, int row, int32_t value) {
  const int32_t old = *slots[row];
  *slots[row] = value;
  for (int other = 0; other < count; ++other) {
    if (other != row && *slots[other] == value) {
      *slots[other] = old;
      return;
    }
  }
}

int UpdateConfigList(const MenuInput& input) {
  const int16_t row = MenuCursors[kMenuConfig];
  if (IsRolePressed(kButtonShot)) {
    if (row < kConfigRowReturn) {
      OpenMenuPage(static_cast<int16_t>(kMenuPadConfig + row), 0);
      // A key held now is not one to assign.
      LastConfigKey = static_cast<int16_t>(input.key);
    } else if (row == kConfigRowReturn) {
      SaveSettings();
      OpenMenuPage(kMenuTop, MenuCursors[kMenuTop]);
    }
  } else if (IsRolePressed(kButtonChargeWeapon)) {
    RequestSoundEffect(kSoundCancel);
    OpenMenuPage(kMenuTop, MenuCursors[kMenuTop]);
  }
  return kConfigRows;
}

int UpdatePadPage(const MenuInput& input) {
  const int16_t row = MenuCursors[kMenuPadConfig];
  const bool anything = input.padButton != 0 || input.key != 0;
  if (row < kPadButtonRows && input.padButton != 0) {
    int32_t* const slots[kPadButtonRows] = {
        &ButtonPadBits[kButtonShot], &ButtonPadBits[kButtonChargeWeapon],
        &ButtonPadBits[kButtonWeaponChange], &ButtonPadBits[kButtonScreenShot]};
    AssignSwapping(slots, kPadButtonRows, row, input.padButton);
  } else if (row == kPadButtonRows && anything) {
    for (int role = kButtonShot; role <= kButtonScreenShot; ++role)
      ButtonPadBits[role] = kDefaultPadBits[role];
  } else if (row == kPadButtonRows + 1 && anything) {
    OpenMenuPage(kMenuConfig, MenuCursors[kMenuConfig]);
  }
  return kPadRows;
}

int UpdateKeyPage(const MenuInput& input) {
  const int16_t row = MenuCursors[kMenuKeyConfig];
  const bool anything = input.padButton != 0 || input.key != 0;
  // A held key is assigned once, on the frame it is first seen.
  if (row < kKeyRoleRows && input.key != 0 && input.key != LastConfigKey) {
    int32_t* slots[kKeyRoleRows];
    for (int i = 0; i < kKeyRoleRows; ++i) slots[i] = &KeyConfig[kKeyRowRoles[i]];
    AssignSwapping(slots, kKeyRoleRows, row, input.key);
  } else if (row == kKeyRoleRows && anything) {
    for (int role = 0; role < kRoleCount; ++role) KeyConfig[role] = kDefaultKeyConfig[role];
  } else if (row == kKeyRoleRows + 1 && anything) {
    OpenMenuPage(kMenuConfig, MenuCursors[kMenuConfig]);
    return kKeyRows;
  }
  LastConfigKey = static_cast<int16_t>(input.key);
  return kKeyRows;
}

// Steps a volume by 25, wrapping past either end to the other.
int16_t StepVolume(int16_t volume, int direction) {
  const int v = volume + direction * kVolumeStep;
  if (v < 0) return 100;
  if (v > 100) return 0;
  return static_cast<int16_t>(v);
}

int UpdateSoundPage() {
  const int16_t row = MenuCursors[kMenuSound];
  const int direction = IsRolePressed(kButtonLeft) ? -1 : IsRolePressed(kButtonRight) ? 1 : 0;
  if (row == 0 && direction != 0) {
    SoundEffectVolume = StepVolume(SoundEffectVolume, direction);
    ApplySoundEffectVolume(0);
  } else if (row == 1 && direction != 0) {
    MusicVolume = StepVolume(MusicVolume, direction);
    ApplyMusicVolume();
  } else if (row == 2 && IsRolePressed(kButtonShot)) {
    OpenMenuPage(kMenuConfig, MenuCursors[kMenuConfig]);
  }
  return kSoundRows;
}

}  // namespace

int UpdateConfigPage(const MenuInput& input) {
  switch (MenuPage) {
    case kMenuConfig:
      return UpdateConfigList(input);
    case kMenuPadConfig:
      return UpdatePadPage(input);
    case kMenuKeyConfig:
      return UpdateKeyPage(input);
    default:
      return UpdateSoundPage();
  }
}

namespace {

const char* const kPageTitles[4] = {"CONFIG", "PAD CONFIG", "KEY CONFIG", "SOUND"};
const char* const kConfigLabels[] = {"PAD CONFIG", "KEY CONFIG", "SOUND", "RETURN"};
const char* const kPadLabels[] = {"SHOT",        "CHARGE WEAPON", "WEAPON CHANGE",
                                  "SCREEN SHOT", "DEFAULT",       "RETURN"};
const char* const kKeyLabels[] = {
    "LEFT",        "RIGHT",         "UP",    "DOWN",    "SHOT",  "CHARGE WEAPON", "WEAPON CHANGE",
    "SCREEN SHOT", "BACK TO TITLE", "PAUSE", "DEFAULT", "RETURN"};
const char* const kSoundLabels[] = {"SE VOLUME", "MUSIC VOLUME", "RETURN"};
// After the key's name: the arrow keys steer as well.
const char* const kArrowNotes[4] = {"              AND LEFT", "              AND RIGHT",
                                    "              AND UP", "              AND DOWN"};

constexpr int kLabelX = 84;
constexpr int kValueX = 298;
constexpr int kVolumeX = 424;

int RowY(int row) { return 137 + 20 * row; }

}  // namespace

void DrawConfigPage() {
  DrawGraphAt(0, 0, WeaponBackImage, 0);
  const int page = MenuPage - kMenuConfig;
  DrawSceneText(99, 78, kPageTitles[page]);
  const char* const* labels = kConfigLabels;
  int rows = kConfigRows;
  if (MenuPage == kMenuPadConfig) {
    labels = kPadLabels;
    rows = kPadRows;
    for (int i = 0; i < kPadButtonRows; ++i)
      DrawFontNumber(kValueX, RowY(i), ButtonPadBits[kButtonShot + i] - 3, 1, kSceneTextSize);
  } else if (MenuPage == kMenuKeyConfig) {
    labels = kKeyLabels;
    rows = kKeyRows;
    for (int i = 0; i < kKeyRoleRows; ++i)
      DrawKeyName(kValueX, RowY(i), KeyConfig[kKeyRowRoles[i]]);
    for (int i = 0; i < 4; ++i) DrawSceneText(kValueX, RowY(i), kArrowNotes[i]);
  } else if (MenuPage == kMenuSound) {
    labels = kSoundLabels;
    rows = kSoundRows;
    DrawFontNumber(kVolumeX, RowY(0), SoundEffectVolume, 3, kSceneTextSize);
    DrawFontNumber(kVolumeX, RowY(1), MusicVolume, 3, kSceneTextSize);
  }
  for (int i = 0; i < rows; ++i) DrawSceneText(kLabelX, RowY(i), labels[i]);
  DrawSceneText(64, RowY(MenuCursors[MenuPage]), ">");
}
