// The pickups and the captions that rise from the ship: the Item record and its 24-slot pool
// (weapon power-ups, speed up and down, bonus stars, the shield, the weapon-unlock capsule), the
// InfoPopup record and its 16-slot pool (slot 15 the banner), spawning, the per-frame steps and
// what a pickup does. ResetItemsAndPopups empties both pools; DigestItemsAndPopups sums every
// field of every slot.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kItemSlots = 24;
constexpr int kPopupSlots = 16;
constexpr int kBannerPopupSlot = 15;
constexpr int kItemKinds = 8;
constexpr int kPopupKinds = 21;

enum ItemKind : int32_t {
  kMainPowerUpItem = 0,
  kSubPowerUpItem = 1,
  kSpeedUpItem = 2,
  kSpeedDownItem = 3,
  kChargePowerUpItem = 4,
  kBonusStarItem = 5,
  kShieldItem = 6,
  kUnlockCapsuleItem = 7,
};

struct Item {
  int32_t state;  // 0 free, 1 spawned, 2 live, 3 taken (freed at the end of the update)
  int32_t frame;  // modulo 65535
  int32_t kind;   // ItemKind
  double x, y;
  int16_t anim;  // 0..3
  int16_t pickupRadius;
  int32_t removalMarginX, removalMarginY;  // outside the view box by this much: removed
  int32_t drawMarginX, drawMarginY;
  double speed;             // the capsule's homing speed
  double screenX, screenY;  // the capsule's place on the screen
  int16_t angle;            // the capsule's homing direction
};

struct InfoPopup {
  int32_t state;  // 0 free, 1 spawned, 2 live
  int32_t frame;  // modulo 65535
  int32_t kind;   // caption 0..20
  double x, y;
  double rise;    // px a frame upward
  int16_t blink;  // 1 hidden this frame
};

extern Item Items[kItemSlots];
extern InfoPopup InfoPopups[kPopupSlots];

// The lowest free item slot, or -1.
int FindFreeItemSlot();
// A kind 0..7 in the lowest free slot; nothing for a full pool or a kind without an image row.
void SpawnItem(int32_t kind, double x, double y);
// The lowest free slot of 0..14, or -1.
int FindFreePopupSlot();
// A caption 0..20 in the lowest free slot of 0..14; refused for any other kind or a full pool.
void SpawnInfoPopup(int32_t kind, double x, double y);
// Slot 15, whatever it held; refused for a kind outside 0..20.
void SpawnBannerPopup(int32_t kind, double x, double y);

void UpdateItem(int slot);
void UpdateInfoPopup(int slot);
// Once per unpaused frame after the enemy pools: the live items, then the live popups.
void UpdateItemsAndPopups();

void ResetItemsAndPopups();
void DigestItemsAndPopups(StateDigest& digest, DigestScope scope);
