#include "stg_src/field/items_and_popups.h"

#include <algorithm>
#include <cstring>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

Item Items[kItemSlots];
InfoPopup InfoPopups[kPopupSlots];

namespace {

constexpr int32_t kSpawned = 1;
constexpr int32_t kLive = 2;
constexpr int32_t kTaken = 3;
constexpr int32_t kFrameWrap = 65535;

constexpr int32_t kItemRemovalMargin = 80;
constexpr int32_t kItemDrawMargin = 16;
constexpr int16_t kPickupRadius = 16;
constexpr int kShipCircles = 3;
// The capsule is held this far outside the screen's sides, and still for this many frames.
constexpr double kCapsuleEdge = -16;
constexpr int32_t kCapsuleHeldFrames = 32;
constexpr double kCapsuleAcceleration = 0.025;
constexpr double kCapsuleTopSpeed = 4.8;

constexpr int16_t kMaxLevel = 8;
constexpr int16_t kTimerGain = 1500;
constexpr int16_t kTimerCap = 3000;
constexpr int16_t kTopShipSpeed = 3;
constexpr int16_t kSpeedFlameStart = 3;
constexpr int16_t kRaisedShield = 8;
constexpr int16_t kBonusSound = 22;
constexpr int32_t kFirstStarCaption = 10;

constexpr double kPopupRise = 4.0;
constexpr double kPopupRiseFall = 0.2;
constexpr int32_t kPopupBlinkFrame = 48;
constexpr int32_t kPopupLastFrame = 60;

bool IsLive(int32_t state) { return state > 0; }

int KnownDifficulty() { return Difficulty >= 0 && Difficulty < 4 ? Difficulty : 0; }

void SpawnCaption(int32_t kind) { SpawnInfoPopup(kind, PlayerX, PlayerY); }

// A level up to 8; reaching 4 or 8 shows the caption (and at 4 raises the rank); at 8 the
// maximum-level timer gains its frames.
void PowerUp(WeaponEntry w, int32_t rankEvent, int32_t caption, int effect) {
  if (w.level == nullptr) return;
  if (*w.level < kMaxLevel) {
    *w.level += 1;
    if (*w.level % 4 == 0) {
      if (*w.level < kMaxLevel) AdvanceRanks(rankEvent);
      SpawnCaption(caption);
      SpawnEffect(effect, PlayerX, PlayerY, 0, 0, 0);
    }
  }
  if (*w.level == kMaxLevel)
    *w.timer = static_cast<int16_t>(std::min(*w.timer + kTimerGain, int{kTimerCap}));
}

// A speed item at its limit pays the difficulty's item bonus instead.
void ChangeSpeed(int16_t step, int16_t sound) {
  const int16_t speed = static_cast<int16_t>(ShipSpeed + step);
  if (speed >= 0 && speed <= kTopShipSpeed) {
    RequestSoundEffect(sound);
    ShipSpeed = speed;
    SpeedUpTimer = kSpeedFlameStart;
    return;
  }
  RequestSoundEffect(kBonusSound);
  AddScore(ScoreTable[KnownDifficulty()][0], false);
  SpawnCaption(2 * KnownDifficulty());
}

void PickUp(int32_t kind) {
  switch (kind) {
    case kMainPowerUpItem:
      RequestSoundEffect(17);
      PowerUp(SelectedMainWeaponEntry(), 1, 8, 28);
      break;
    case kSubPowerUpItem:
      RequestSoundEffect(18);
      PowerUp(ActiveSubWeaponEntry(), 2, 9, 29);
      break;
    case kSpeedUpItem:
      ChangeSpeed(1, 19);
      break;
    case kSpeedDownItem:
      ChangeSpeed(-1, 20);
      break;
    case kChargePowerUpItem:
      RequestSoundEffect(21);
      PowerUp(SelectedChargeWeaponEntry(), 3, 10, 30);
      break;
    case kBonusStarItem:
      StageBonusCount += 1;
      SpawnBannerPopup(StageBonusCount + kFirstStarCaption, PlayerX, PlayerY);
      RequestSoundEffect(kBonusSound);
      break;
    case kShieldItem:
      if (ShieldLevel < kRaisedShield) {
        RequestSoundEffect(23);
        ShieldLevel = kRaisedShield;
      } else {
        RequestSoundEffect(kBonusSound);
        AddScore(ScoreTable[KnownDifficulty()][1], false);
        SpawnCaption(2 * KnownDifficulty() + 1);
      }
      break;
    default:  // the capsule does nothing of its own
      break;
  }
}

// The capsule's step before each circle test: held on the screen, then homing on the ship.
void MoveCapsule(Item& it) {
  if (it.frame <= kCapsuleHeldFrames) {
    it.x = ScreenToWorldX(it.screenX);
    it.y = ScreenToWorldY(it.screenY);
    return;
  }
  it.angle = static_cast<int16_t>(WrapAngle(AimAngle(it.x, it.y, PlayerX, PlayerY)));
  it.x = ScreenToWorldX(it.screenX) + CosineTable[it.angle] * it.speed;
  it.y = ScreenToWorldY(it.screenY) + SineTable[it.angle] * it.speed;
  it.speed = std::min(it.speed + kCapsuleAcceleration, kCapsuleTopSpeed);
  it.screenX = WorldToScreenX(it.x);
  it.screenY = WorldToScreenY(it.y);
}

// The nudge a caption gets inward at its set-up: wide captions more.
double PopupInset(int32_t kind) {
  if (kind <= 7) return 70;
  if (kind <= 10) return 60;
  return 40;
}

}  // namespace

int FindFreeItemSlot() {
  for (int slot = 0; slot < kItemSlots; ++slot)
    if (Items[slot].state == 0) return slot;
  return -1;
}

void SpawnItem(int32_t kind, double x, double y) {
  // A kind without an image row (a box's variant below its first item) drops nothing.
  if (kind < 0 || kind >= kItemKinds) return;
  const int slot = FindFreeItemSlot();
  if (slot < 0) return;
  Item& it = Items[slot];
  it.state = kSpawned;
  it.frame = 0;
  it.kind = kind;
  it.x = x;
  it.y = y;
}

int FindFreePopupSlot() {
  for (int slot = 0; slot < kBannerPopupSlot; ++slot)
    if (InfoPopups[slot].state == 0) return slot;
  return -1;
}

namespace {

void StartPopup(int slot, int32_t kind, double x, double y) {
  InfoPopup& p = InfoPopups[slot];
  p.state = kSpawned;
  p.frame = 0;
  p.kind = kind;
  p.x = x;
  p.y = y;
}

bool IsCaption(int32_t kind) { return kind >= 0 && kind < kPopupKinds; }

}  // namespace

void SpawnInfoPopup(int32_t kind, double x, double y) {
  if (!IsCaption(kind)) return;
  const int slot = FindFreePopupSlot();
  if (slot >= 0) StartPopup(slot, kind, x, y);
}

void SpawnBannerPopup(int32_t kind, double x, double y) {
  // Past ten stars the count has no caption.
  if (IsCaption(kind)) StartPopup(kBannerPopupSlot, kind, x, y);
}

void UpdateItem(int slot) {
  Item& it = Items[slot];
  it.frame = (it.frame + 1) % kFrameWrap;
  if (it.state == kSpawned) {
    it.state = kLive;
    it.frame = 0;
    it.removalMarginX = it.removalMarginY = kItemRemovalMargin;
    it.drawMarginX = it.drawMarginY = kItemDrawMargin;
    it.pickupRadius = kPickupRadius;
    it.anim = 0;
    it.speed = 0;
    it.angle = 0;
    it.screenX = 0;
    if (it.kind == kUnlockCapsuleItem) {
      // Pulled in to just outside the screen's side.
      it.x = ClampToScreenX(it.x, kCapsuleEdge);
      it.screenX = WorldToScreenX(it.x);
      it.screenY = WorldToScreenY(it.y);
    }
  }
  if (it.state == kLive) {
    if (IsOffScreenXY(it.x, it.y, it.removalMarginX, it.removalMarginY, true, false)) {
      // The capsule is never lost.
      if (it.kind != kUnlockCapsuleItem) it.state = 0;
      return;
    }
    for (int k = 0; k < kShipCircles; ++k) {
      if (it.kind == kUnlockCapsuleItem) MoveCapsule(it);
      const double size = (k == 0 ? 1 : 2) * PlayerHitCircles.size[k];
      if (!CirclesOverlap(PlayerX + 2 * PlayerHitCircles.dx[k], PlayerY + PlayerHitCircles.dy[k],
                          it.x, it.y, size, it.pickupRadius))
        continue;
      PickUp(it.kind);
      if (it.kind != kUnlockCapsuleItem || it.frame > kCapsuleHeldFrames) it.state = kTaken;
      break;
    }
    if (it.frame % 5 == 0) it.anim = static_cast<int16_t>(it.anim >= 3 ? 0 : it.anim + 1);
  }
  if (it.state == kTaken) it.state = 0;
}

void UpdateInfoPopup(int slot) {
  InfoPopup& p = InfoPopups[slot];
  p.frame = (p.frame + 1) % kFrameWrap;
  if (p.state == kSpawned) {
    p.state = kLive;
    p.frame = 0;
    p.blink = 0;
    const double inset = PopupInset(p.kind);
    const double screenX = WorldToScreenX(p.x);
    if (screenX < inset) {
      p.x += inset;
    } else if (screenX > kViewWidth - inset) {
      p.x -= inset;
    }
    p.rise = kPopupRise;
  }
  if (p.state != kLive) return;
  p.y -= p.rise;
  p.rise = std::max(p.rise - kPopupRiseFall, 0.0);
  if (p.frame > kPopupBlinkFrame) p.blink = p.blink == 0 ? 1 : 0;
  if (p.frame > kPopupLastFrame) p.state = 0;
  p.x += ScrollDeltaX;
  p.y += ScrollDeltaY;
}

void UpdateItemsAndPopups() {
  const bool shifting = IsMapLoopShifting();
  for (int slot = 0; slot < kItemSlots; ++slot) {
    Item& it = Items[slot];
    if (!IsLive(it.state)) continue;
    if (shifting) ShiftForMapLoop(&it.x, &it.y);
    UpdateItem(slot);
  }
  for (int slot = 0; slot < kPopupSlots; ++slot) {
    InfoPopup& p = InfoPopups[slot];
    if (!IsLive(p.state)) continue;
    if (shifting) ShiftForMapLoop(&p.x, &p.y);
    UpdateInfoPopup(slot);
  }
}

void ResetItemsAndPopups() {
  std::memset(Items, 0, sizeof(Items));
  std::memset(InfoPopups, 0, sizeof(InfoPopups));
}

void DigestItemsAndPopups(StateDigest& d, DigestScope) {
  for (const Item& it : Items) {
    DigestValue(d, it.state);
    DigestValue(d, it.frame);
    DigestValue(d, it.kind);
    DigestValue(d, it.x);
    DigestValue(d, it.y);
    DigestValue(d, it.anim);
    DigestValue(d, it.pickupRadius);
    DigestValue(d, it.removalMarginX);
    DigestValue(d, it.removalMarginY);
    DigestValue(d, it.drawMarginX);
    DigestValue(d, it.drawMarginY);
    DigestValue(d, it.speed);
    DigestValue(d, it.screenX);
    DigestValue(d, it.screenY);
    DigestValue(d, it.angle);
  }
  for (const InfoPopup& p : InfoPopups) {
    DigestValue(d, p.state);
    DigestValue(d, p.frame);
    DigestValue(d, p.kind);
    DigestValue(d, p.x);
    DigestValue(d, p.y);
    DigestValue(d, p.rise);
    DigestValue(d, p.blink);
  }
}
