// What the title menu's two page groups share: the devices read once a frame, the page change,
// and the configuration pages 4 to 7 (pad buttons, keys, sound), whose steps and drawing live
// apart from the top pages.
#pragma once

#include <cstdint>

// The menu sounds.
constexpr int16_t kSoundCursor = 24;
constexpr int16_t kSoundConfirm = 25;
constexpr int16_t kSoundCancel = 26;

constexpr int16_t kMenuTop = 0;
constexpr int16_t kMenuDifficulty = 1;
constexpr int16_t kMenuReplays = 2;
constexpr int16_t kMenuPractice = 3;
constexpr int16_t kMenuConfig = 4;
constexpr int16_t kMenuPadConfig = 5;
constexpr int16_t kMenuKeyConfig = 6;
constexpr int16_t kMenuSound = 7;

// Read once a frame: the first pad button down (4..11, 0 none) and the first assignable key
// down (0 none).
struct MenuInput {
  int32_t padButton;
  int32_t key;
};

// MenuPage = page with that page's row.
void OpenMenuPage(int16_t page, int16_t row);

// The step of page 4..7: its row count.
int UpdateConfigPage(const MenuInput& input);
// Pages 4..7, with the pointer; the caller draws the flash over them.
void DrawConfigPage();
