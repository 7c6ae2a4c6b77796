#include "stg_src/shell/scene_assets.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "runtime/graphics/font/font_system.h"
#include "runtime/platform/files/file_functions.h"
#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "stg_src/shell/assets/asset_lists.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

int32_t SceneImage;
int32_t TitleImage;
int32_t WeaponBackImage;

namespace {

// The title's two beam sounds, and the stage sound slot that the title empties with them.
constexpr int kTitleSoundFirst = 49;
constexpr int kTitleSoundLast = 51;
const char* const kTitleSoundFiles[] = {nullptr, "data/se/op/beam1.wav", "data/se/op/beam2.wav"};

// The intro's two scroll positions start at the screen's right edge.
constexpr int16_t kTitleSceneWork[5] = {640, 0, 0, 640, 0};

// Stopped if playing, deleted, and 0, so that no later call sees the dead handle.
void ReleaseTitleSounds() {
  for (int slot = kTitleSoundFirst; slot <= kTitleSoundLast; ++slot) {
    int32_t& handle = SoundEffectHandles[slot];
    if (IsSoundPlaying(handle) == 1) StopSoundHandle(handle);
    if (handle != 0) DeleteSoundHandle(handle);
    handle = 0;
  }
}

}  // namespace

void LoadCommonAssets() {
  SetSoundCreateType(2);
  LoadImageList(kCommonImages);
  for (int slot = 0; slot < kCommonSoundEffects; ++slot) {
    SoundEffectHandles[slot] = LoadGameSoundFile(kCommonSoundFiles[slot]);
  }
  ApplySoundEffectVolume(0);
}

void ReleaseCommonAssets() {
  ReleaseImages(OneEntry(AlphaBlackImage));
  ReleaseImages(ShipJetImages);
  ReleaseImages(ShipJetSmallImages);
  ReleaseImages(ShipImages);
  ReleaseImages(OneEntry(ShipChargeImage));
  ReleaseImages(ShieldImages);
  ReleaseImages(ItemImages);
  ReleaseImages(InfoImages);
  ReleaseImages(OneEntry(BoardImage));
  ReleaseImages(HideImages);
  ReleaseImages(WeaponIconImages);
  ReleaseImages(OneEntry(UnlockedImage));
  ReleaseImages(OneEntry(SpeedImage));
  ReleaseImages(OneEntry(BonusImage));
  ReleaseImages(FontImages);
  ReleaseImages(EffectImages);
  ReleaseImages(PlayerShotImages);
  ReleaseImages(EnemyImages0);
  ReleaseImages(EnemyImages1);
  ReleaseImages(EnemyImages2);
  ReleaseImages(EnemyImages3);
  ReleaseImages(PartImages);
  ReleaseImages(EnemyShotImages);
  ReleaseImages(LaserImages);
}

void LoadTitleAssets() {
  ReleaseEnemyCommonAssets();
  SetDefaultFontSize(20);
  std::copy(std::begin(kTitleSceneWork), std::end(kTitleSceneWork), SceneWork);
  LoadImageList(kTitleImages);
  ReleaseTitleSounds();
  for (int slot = kTitleSoundFirst; slot <= kTitleSoundLast; ++slot) {
    const char* file = kTitleSoundFiles[slot - kTitleSoundFirst];
    if (file != nullptr) SoundEffectHandles[slot] = LoadGameSoundFile(file);
  }
  TitleAssetsLoaded = 1;
}

void ReleaseTitleAssets() {
  if (TitleAssetsLoaded == 0) return;
  ReleaseImages(OneEntry(TitleImage));
  ReleaseImages(OneEntry(WeaponBackImage));
  ReleaseImages(ImageEntries(BgChipImages1).first(3));
  ReleaseImages(ImageEntries(BgChipImages2).first(3));
  ReleaseImages(ImageEntries(EnemyImages3[3]).first(4));  // entries 48..51
  ReleaseImages(EnemyImages0[0]);                         // entries 0..15
  ReleaseImages(EnemyImages1[0]);
  ReleaseTitleSounds();
  TitleAssetsLoaded = 0;
}

void LoadLogoImage() {
  SceneWork[1] = 0;
  SceneWork[2] = 255;  // the fade level
  LoadImageList(kLogoImages);
  LogoLoaded = 1;
}

void ReleaseLogoImage() {
  if (LogoLoaded == 0) return;
  ReleaseImages(OneEntry(SceneImage));
  LogoLoaded = 0;
}

void LoadWeaponSelectAssets() {
  LoadImageList(kWeaponSelectImages);
  WeaponSelectAssetsLoaded = 1;
}

void ReleaseWeaponSelectAssets() {
  if (WeaponSelectAssetsLoaded == 0) return;
  ReleaseImages(OneEntry(SceneImage));
  ReleaseImages(EnemyImages3[0]);  // entries 0..15
  WeaponSelectAssetsLoaded = 0;
}

void LoadResultAssets() {
  LoadImageList(kResultImages);
  ResultAssetsLoaded = 1;
}

void ReleaseResultAssets() {
  if (ResultAssetsLoaded == 0) return;
  ReleaseImages(OneEntry(WeaponBackImage));
  ReleaseImages(ImageEntries(EnemyImages3[0]).first(3));
  ResultAssetsLoaded = 0;
}
