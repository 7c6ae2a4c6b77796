#include "stg_src/shell/assets/asset_lists.h"

#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/scene_assets.h"

#include "stg_src/deterministic.h"

namespace {

constexpr ImageLoad kCommonLoads[] = {
    // The ship, items, HUD and font.
    Whole("data/demo/alphablack.png", OneEntry(AlphaBlackImage), 0),
    Cells("data/robo/jiki0_jet.bmp", ShipJetImages, 1, 5, 256, 32, 1, 5),
    Cells("data/robo/jiki0_jet2.bmp", ShipJetSmallImages, 0, 4, 96, 32, 1, 4),
    Cells("data/robo/jiki.bmp", ShipImages, 0, 7, 64, 64, 1, 7),
    Whole("data/robo/charge.bmp", OneEntry(ShipChargeImage), 0),
    Cells("data/robo/jikishield.bmp", ShieldImages, 0, 4, 160, 96, 2, 2),
    Cells("data/item/item0.bmp", ItemImages[0], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item1.bmp", ItemImages[1], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item2.bmp", ItemImages[2], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item3.bmp", ItemImages[3], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item4.bmp", ItemImages[4], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item5.bmp", ItemImages[5], 0, 4, 32, 32, 4, 1),
    Cells("data/item/item6.bmp", ItemImages[6], 0, 4, 32, 32, 4, 1),
    Cells("data/item/unlock.bmp", ItemImages[7], 0, 4, 32, 32, 4, 1),
    Cells("data/info/info.png", InfoImages, 0, 8, 140, 20, 2, 4),
    Whole("data/info/powerupM.png", InfoImages, 8),
    Whole("data/info/powerupS.png", InfoImages, 9),
    Whole("data/info/powerupC.png", InfoImages, 10),
    Whole("data/info/star01.png", InfoImages, 11),
    Whole("data/info/star02.png", InfoImages, 12),
    Whole("data/info/star03.png", InfoImages, 13),
    Whole("data/info/star04.png", InfoImages, 14),
    Whole("data/info/star05.png", InfoImages, 15),
    Whole("data/info/star06.png", InfoImages, 16),
    Whole("data/info/star07.png", InfoImages, 17),
    Whole("data/info/star08.png", InfoImages, 18),
    Whole("data/info/star09.png", InfoImages, 19),
    Whole("data/info/star10.png", InfoImages, 20),
    Whole("data/board/board.bmp", OneEntry(BoardImage), 0),
    Cells("data/board/hide.bmp", HideImages, 0, 2, 84, 78, 2, 1),
    Cells("data/weapon/weaponicon.bmp", WeaponIconImages, 0, 16, 64, 74, 4, 4),
    Whole("data/weapon/UNLOCKED.bmp", OneEntry(UnlockedImage), 0),
    Whole("data/board/speed.bmp", OneEntry(SpeedImage), 0),
    Whole("data/board/bonus.bmp", OneEntry(BonusImage), 0),
    Cells("data/font.png", FontImages, 0, 96, 20, 20, 16, 16),
    // Effects by type and frame.
    Cells("data/effect/bak0.bmp", EffectImages[0], 0, 12, 200, 200, 3, 4),
    Cells("data/effect/bak1.bmp", EffectImages[1], 0, 12, 96, 96, 3, 4),
    Cells("data/effect/bak2.bmp", EffectImages[2], 0, 12, 48, 48, 3, 4),
    Cells("data/effect/bak3.bmp", EffectImages[3], 0, 12, 37, 37, 3, 4),
    Cells("data/effect/bak_jiki.bmp", EffectImages[4], 0, 12, 128, 128, 3, 4),
    Cells("data/effect/bak5.bmp", EffectImages[5], 0, 6, 39, 39, 1, 6),
    Cells("data/effect/bak5_2.bmp", EffectImages[5], 6, 6, 39, 39, 1, 6),
    Cells("data/effect/bak6.bmp", EffectImages[6], 0, 6, 24, 24, 1, 6),
    Cells("data/effect/bak6_2.bmp", EffectImages[6], 6, 6, 24, 24, 1, 6),
    Cells("data/effect/bak7.bmp", EffectImages[7], 0, 6, 24, 24, 1, 6),
    Cells("data/effect/bak7_2.bmp", EffectImages[7], 6, 6, 24, 24, 1, 6),
    Cells("data/effect/bak3.bmp", EffectImages[8], 0, 12, 37, 37, 3, 4),
    Cells("data/effect/bak10.png", EffectImages[10], 0, 6, 96, 96, 3, 2),
    Cells("data/effect/bak11.png", EffectImages[11], 0, 6, 64, 64, 3, 2),
    Cells("data/effect/bak12.png", EffectImages[12], 0, 6, 64, 64, 3, 2),
    Cells("data/effect/bak13.bmp", EffectImages[13], 0, 6, 96, 96, 3, 2),
    Cells("data/effect/bak13_2.bmp", EffectImages[13], 6, 6, 96, 96, 3, 2),
    Cells("data/effect/bak14.bmp", EffectImages[14], 0, 6, 64, 64, 3, 2),
    Cells("data/effect/bak14_2.bmp", EffectImages[14], 6, 6, 64, 64, 3, 2),
    Cells("data/effect/bak15.bmp", EffectImages[15], 0, 6, 48, 48, 3, 2),
    Cells("data/effect/bak15_2.bmp", EffectImages[15], 6, 6, 48, 48, 3, 2),
    Cells("data/effect/bak16.png", EffectImages[16], 0, 6, 40, 40, 3, 2),
    Cells("data/effect/bak16_2.png", EffectImages[16], 6, 6, 52, 52, 3, 2),
    Cells("data/effect/bak17.png", EffectImages[17], 0, 6, 64, 64, 3, 2),
    Cells("data/effect/homing_k2.png", EffectImages[20], 0, 8, 64, 32, 4, 2),
    Cells("data/effect/biteff.bmp", EffectImages[25], 0, 6, 64, 32, 3, 2),
    Cells("data/effect/biteff2.bmp", EffectImages[25], 6, 6, 64, 32, 3, 2),
    Cells("data/effect/homing_k.png", EffectImages[26], 0, 8, 32, 32, 4, 2),
    Cells("data/effect/hibana.png", EffectImages[27], 0, 12, 51, 26, 2, 6),
    Cells("data/effect/pr.bmp", EffectImages[28], 0, 4, 192, 128, 2, 2),
    Cells("data/effect/pg.bmp", EffectImages[29], 0, 4, 192, 128, 2, 2),
    Cells("data/effect/py.bmp", EffectImages[30], 0, 4, 192, 128, 2, 2),
    Cells("data/effect/hiteff.bmp", EffectImages[31], 0, 6, 48, 48, 3, 2),
    Whole("data/effect/boss_death.png", EffectImages[32], 0),
    Cells("data/effect/boss_dead1.bmp", EffectImages[33], 0, 6, 1280, 80, 1, 6),
    Cells("data/effect/bak34.bmp", EffectImages[34], 0, 4, 96, 96, 2, 2),
    Cells("data/effect/bak34_2.bmp", EffectImages[34], 4, 4, 64, 64, 2, 2),
    // Player shots by type, level band and frame. A file "for each band" is loaded once per band,
    // each band holding its own handles.
    Cells("data/weapon/vulcan_lav1.png", PlayerShotImages[0][0], 0, 8, 76, 76, 4, 2),
    Cells("data/weapon/vulcan_lav2.png", PlayerShotImages[0][1], 0, 8, 86, 86, 4, 2),
    Cells("data/weapon/vulcan_lav3.png", PlayerShotImages[0][2], 0, 8, 96, 96, 4, 2),
    Cells("data/weapon/parti3.png", PlayerShotImages[0][0], 8, 4, 80, 40, 2, 2),
    Cells("data/weapon/parti4.png", PlayerShotImages[0][1], 8, 4, 92, 46, 2, 2),
    Cells("data/weapon/parti5.png", PlayerShotImages[0][2], 8, 4, 104, 52, 2, 2),
    Cells("data/weapon/wide_lav1.png", PlayerShotImages[1][0], 0, 8, 56, 56, 4, 2),
    Cells("data/weapon/wide_lav2.png", PlayerShotImages[1][1], 0, 8, 66, 66, 4, 2),
    Cells("data/weapon/wide_lav3.png", PlayerShotImages[1][2], 0, 8, 76, 76, 4, 2),
    Cells("data/weapon/parti1.png", PlayerShotImages[1][0], 8, 4, 56, 28, 2, 2),
    Cells("data/weapon/parti2.png", PlayerShotImages[1][1], 8, 4, 68, 34, 2, 2),
    Cells("data/weapon/parti3.png", PlayerShotImages[1][2], 8, 4, 80, 40, 2, 2),
    Cells("data/weapon/laser_lav1.png", PlayerShotImages[2][0], 0, 8, 128, 64, 4, 2),
    Cells("data/weapon/laser_lav2.png", PlayerShotImages[2][1], 0, 8, 128, 96, 4, 2),
    Cells("data/weapon/laser_lav3.png", PlayerShotImages[2][2], 0, 8, 128, 128, 4, 2),
    Cells("data/weapon/parti3.png", PlayerShotImages[2][0], 8, 4, 80, 40, 2, 2),
    Cells("data/weapon/parti4.png", PlayerShotImages[2][1], 8, 4, 92, 46, 2, 2),
    Cells("data/weapon/parti5.png", PlayerShotImages[2][2], 8, 4, 104, 52, 2, 2),
    Cells("data/weapon/mazu_napalm.png", PlayerShotImages[3][0], 0, 4, 32, 32, 4, 1),
    Cells("data/weapon/mazu_napalm.png", PlayerShotImages[3][1], 0, 4, 32, 32, 4, 1),
    Cells("data/weapon/mazu_napalm.png", PlayerShotImages[3][2], 0, 4, 32, 32, 4, 1),
    Whole("data/weapon/napalm_lav0.bmp", PlayerShotImages[3][0], 4),
    Whole("data/weapon/napalm_lav1.bmp", PlayerShotImages[3][1], 4),
    Whole("data/weapon/napalm_lav2.bmp", PlayerShotImages[3][2], 4),
    Cells("data/weapon/napalmbomb.bmp", PlayerShotImages[4][0], 0, 4, 120, 120, 4, 1),
    Cells("data/weapon/twoway.png", PlayerShotImages[5][0], 0, 8, 64, 64, 4, 2),
    Cells("data/weapon/twoway2.png", PlayerShotImages[5][1], 0, 8, 64, 64, 4, 2),
    Cells("data/weapon/twoway3.png", PlayerShotImages[5][2], 0, 8, 64, 64, 4, 2),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[5][0], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[5][1], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[5][2], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/missile.png", PlayerShotImages[6][0], 0, 8, 40, 40, 4, 2),
    Cells("data/weapon/missile.png", PlayerShotImages[6][1], 0, 8, 40, 40, 4, 2),
    Cells("data/weapon/missile.png", PlayerShotImages[6][2], 0, 8, 40, 40, 4, 2),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[6][0], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[6][1], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/missile_hit.png", PlayerShotImages[6][2], 8, 4, 80, 80, 4, 1),
    Cells("data/weapon/search_lav1.bmp", PlayerShotImages[7][0], 0, 12, 32, 32, 4, 3),
    Cells("data/weapon/search_lav2.bmp", PlayerShotImages[7][1], 0, 12, 48, 48, 4, 3),
    Cells("data/weapon/search_lav3.bmp", PlayerShotImages[7][2], 0, 12, 64, 64, 4, 3),
    Cells("data/weapon/homing_lav1.bmp", PlayerShotImages[8][0], 0, 12, 32, 32, 4, 3),
    Cells("data/weapon/homing_lav2.bmp", PlayerShotImages[8][1], 0, 12, 40, 40, 4, 3),
    Cells("data/weapon/homing_lav3.bmp", PlayerShotImages[8][2], 0, 12, 48, 48, 4, 3),
    Cells("data/weapon/rolling.bmp", PlayerShotImages[9][0], 0, 6, 24, 24, 3, 2),
    Cells("data/weapon/rolling.bmp", PlayerShotImages[9][1], 0, 6, 24, 24, 3, 2),
    Cells("data/weapon/rolling.bmp", PlayerShotImages[9][2], 0, 6, 24, 24, 3, 2),
    Cells("data/weapon/mazu_napalmsub.png", PlayerShotImages[10][0], 0, 4, 32, 32, 4, 1),
    Cells("data/weapon/mazu_napalmsub.png", PlayerShotImages[10][1], 0, 4, 32, 32, 4, 1),
    Cells("data/weapon/mazu_napalmsub.png", PlayerShotImages[10][2], 0, 4, 32, 32, 4, 1),
    Whole("data/weapon/napalmsub.bmp", PlayerShotImages[10][0], 4),
    Whole("data/weapon/napalmsub2.bmp", PlayerShotImages[10][1], 4),
    Whole("data/weapon/napalmsub3.bmp", PlayerShotImages[10][2], 4),
    Cells("data/weapon/napalmsub_bak.bmp", PlayerShotImages[11][0], 0, 4, 120, 120, 4, 1),
    Cells("data/weapon/napalmsub_bak.bmp", PlayerShotImages[11][1], 0, 4, 120, 120, 4, 1),
    Cells("data/weapon/napalmsub_bak.bmp", PlayerShotImages[11][2], 0, 4, 120, 120, 4, 1),
    Cells("data/weapon/homingbomb1.bmp", PlayerShotImages[12][0], 0, 4, 40, 40, 2, 2),
    Cells("data/weapon/homingbomb2.bmp", PlayerShotImages[12][1], 0, 4, 52, 52, 2, 2),
    Cells("data/weapon/homingbomb3.bmp", PlayerShotImages[12][2], 0, 4, 64, 64, 2, 2),
    Cells("data/weapon/homingbomb_bak.bmp", PlayerShotImages[13][0], 0, 8, 256, 256, 4, 2),
    Cells("data/weapon/wave1.bmp", PlayerShotImages[14][0], 0, 5, 128, 192, 5, 1),
    Cells("data/weapon/wave2.bmp", PlayerShotImages[14][1], 0, 5, 128, 280, 5, 1),
    Cells("data/weapon/wave3.bmp", PlayerShotImages[14][2], 0, 5, 128, 400, 5, 1),
    Cells("data/weapon/bomb.bmp", PlayerShotImages[15][0], 0, 6, 256, 256, 3, 2),
    Cells("data/weapon/bomb.bmp", PlayerShotImages[15][1], 0, 6, 256, 256, 3, 2),
    Cells("data/weapon/bomb.bmp", PlayerShotImages[15][2], 0, 6, 256, 256, 3, 2),
    Cells("data/weapon/shieldeff_.bmp", PlayerShotImages[16][0], 0, 6, 240, 240, 2, 3),
    Cells("data/weapon/wave_sub.png", PlayerShotImages[17][0], 0, 5, 128, 64, 5, 1),
};

// Entries the drawing reads with no picture behind them: the jet's first and last frames (no
// flame), frame 0 of the effect types without images, and the napalm shots' frames past 4.
constexpr EntryValue kCommonValues[] = {
    {ShipJetImages, 0, 1, 0},
    {ShipJetImages, 6, 1, 0},
    {EffectImages[9], 0, 1, 0},
    {EffectImages[19], 0, 1, 0},
    {EffectImages[21], 0, 1, 0},
    {EffectImages[22], 0, 1, 0},
    {EffectImages[23], 0, 1, 0},
    {EffectImages[24], 0, 1, 0},
    {PlayerShotImages[3][0], 5, 7, 0},
    {PlayerShotImages[3][1], 5, 7, 0},
    {PlayerShotImages[3][2], 5, 7, 0},
    {PlayerShotImages[10][0], 5, 7, 0},
    {PlayerShotImages[10][1], 5, 7, 0},
    {PlayerShotImages[10][2], 5, 7, 0},
};

constexpr ImageLoad kTitleLoads[] = {
    Whole("data/title/title.png", OneEntry(TitleImage), 0),
    Whole("data/title/weaponback.bmp", OneEntry(WeaponBackImage), 0),
    Whole("data/map/stage4_1/map4b.bmp", BgChipImages1, 0),
    Whole("data/title/boss.bmp", BgChipImages1, 2),
    Whole("data/map/stage4_1/map4b2.bmp", BgChipImages2, 0),
    Whole("data/title/kelv.png", BgChipImages2, 2),
    // Entries 48..51.
    Whole("data/title/weaponback2.png", EnemyImages3[3], 0),
    Whole("data/title/menu_bg.png", EnemyImages3[3], 1),
    Whole("data/title/menu_bg_.png", EnemyImages3[3], 2),
    Whole("data/title/quorvwaku.bmp", EnemyImages3[3], 3),
    Cells("data/title/beam2.png", EnemyImages0[0], 0, 8, 640, 40, 1, 8),
    Cells("data/title/beam.png", EnemyImages1[0], 0, 8, 640, 80, 1, 8),
};
// The intro's scrolling layers: the top of stage 4's background sheets.
constexpr SubImageCut kTitleCuts[] = {
    {BgChipImages1, 1, 0, 0, 0, 960, 400},
    {BgChipImages2, 1, 0, 0, 0, 320, 400},
};

constexpr ImageLoad kLogoLoads[] = {
    Whole("data/demo/logo.bmp", OneEntry(SceneImage), 0),
};

constexpr ImageLoad kWeaponSelectLoads[] = {
    Whole("data/weapon/weaponselect.bmp", OneEntry(SceneImage), 0),
    Cells("data/weapon/weaponiconcursor.bmp", EnemyImages3[0], 0, 2, 64, 74, 2, 1),
};

constexpr ImageLoad kResultLoads[] = {
    Whole("data/title/weaponback.bmp", OneEntry(WeaponBackImage), 0),
    // The gauge sheet has three rows; the screen uses the first two.
    Cells("data/board/geji.png", EnemyImages3[0], 0, 2, 253, 20, 1, 3),
    Whole("data/title/weaponback2.png", EnemyImages3[0], 2),
};

}  // namespace

const ImageList kCommonImages = {kCommonLoads, {}, kCommonValues};
const ImageList kTitleImages = {kTitleLoads, kTitleCuts};
const ImageList kLogoImages = {kLogoLoads};
const ImageList kWeaponSelectImages = {kWeaponSelectLoads};
const ImageList kResultImages = {kResultLoads};

// Slot by slot; 0..13 are the player's weapons.
const char* const kCommonSoundFiles[kCommonSoundEffects] = {
    "data/se/jiki/m1.wav",         "data/se/jiki/m2.wav",         "data/se/jiki/m3.wav",
    "data/se/jiki/m4.wav",         "data/se/jiki/s1.wav",         "data/se/jiki/s2.wav",
    "data/se/jiki/s3.wav",         "data/se/jiki/s4.wav",         "data/se/jiki/s5.wav",
    "data/se/jiki/s6.wav",         "data/se/jiki/c1.wav",         "data/se/jiki/c1_2.wav",
    "data/se/jiki/c2.wav",         "data/se/jiki/c3.wav",         "data/se/jiki/charge.wav",
    "data/se/jiki/jiki_death.wav", "data/se/jiki/shieldhit.wav",  "data/se/item/item0.wav",
    "data/se/item/item1.wav",      "data/se/item/item2.wav",      "data/se/item/item3.wav",
    "data/se/item/item4.wav",      "data/se/item/item5.wav",      "data/se/item/item6.wav",
    "data/se/menu/cursor.wav",     "data/se/menu/ok.wav",         "data/se/menu/cancel.wav",
    "data/se/boss_death.wav",      "data/se/charge.wav",          "data/se/enemy_death0.wav",
    "data/se/enemy_death1.wav",    "data/se/enemy_death2.wav",    "data/se/jiki/w_change.wav",
    "data/se/enemy_shot2.wav",     "data/se/enemy_shot3.wav",     "data/se/enemy_shot4.wav",
    "data/se/enemy_shot5.wav",     "data/se/enemy_shot6.wav",     "data/se/enemy_shot7.wav",
    "data/se/enemy_shot8.wav",     "data/se/enemy_shot9.wav",     "data/se/enemy_shot10.wav",
    "data/se/ext.wav",             "data/se/hit.wav",             "data/se/mech.wav",
    "data/se/mech2.wav",           "data/se/mech3.wav",           "data/se/quake.wav",
    "data/se/robo_down.wav",
};
