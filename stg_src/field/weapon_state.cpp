#include "stg_src/field/weapon_state.h"

#include <algorithm>

#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

int16_t MainWeaponCooldown;
int16_t SubWeaponCooldown;
int16_t LaserFireCounter;
int16_t FireHoldLatch;
int16_t ChargeGaugeMax;
int16_t ChargeFullFlash;

namespace {

constexpr int16_t kRaisedShield = 8;
constexpr int16_t kFullFlash = 100;
constexpr int16_t kFullFlashStep = 4;
constexpr int16_t kMaxLevel = 8;
constexpr int16_t kHoldLatch = 8;
// Nothing fires in the stage's first two field frames.
constexpr int32_t kFirstFiringFrame = 2;

constexpr int16_t kGaugeFullSound = 14;
constexpr int16_t kWeaponChangeSound = 32;

enum MainWeapon { kVulcan = 0, kWide = 1, kLaser = 2, kNapalm = 3 };
enum SubWeapon {
  kTwoway = 0,
  kMissile = 1,
  kSearch = 2,
  kHoming = 3,
  kNapalmSub = 4,
  kRolling = 5
};
enum ChargeWeapon { kHomingBomb = 0, kWave = 1, kBomb = 2 };

constexpr int kFirstOrbSlot = kFirstSubShotSlot;
constexpr int kOrbSlots = 4;
constexpr int kFirstWaveSubShotSlot = kFirstSubShotSlot + kOrbSlots;
constexpr int kChargeShotSlots = 8;

// One shot of a volley: its position in the window, angle argument, level, offset from the
// ship and muzzle flash.
struct VolleyShot {
  int position;
  int16_t angle;
  int32_t level;
  double dx, dy;
  uint8_t flash;
};

// The starts first, first + stride, ... up to last: the first whose width slots are all free.
int FindFreeRun(int first, int stride, int last, int width) {
  for (int start = first; start <= last; start += stride) {
    bool free = true;
    for (int k = 0; k < width && free; ++k) free = IsPlayerShotFree(start + k);
    if (free) return start;
  }
  return -1;
}

void FireVolley(int start, int type, const VolleyShot* shots, int count) {
  for (int n = 0; n < count; ++n) {
    const VolleyShot& v = shots[n];
    InitPlayerShot(start + v.position, type, v.angle, v.level, PlayerX + v.dx, PlayerY + v.dy,
                   v.flash);
  }
}

// ---- main weapon -----------------------------------------------------------------------------

constexpr int16_t kRapidCooldowns[3] = {9, 7, 5};
// The napalm's 16 / 14 / 12 stretched by 4/3.
constexpr int16_t kNapalmCooldowns[3] = {21, 18, 16};
constexpr int16_t kLaserThresholds[3] = {19, 15, 11};
constexpr int16_t kLaserBurst = 26;
constexpr int16_t kLaserStepCooldown = 2;

void FireVulcan(int16_t band) {
  MainWeaponCooldown = kRapidCooldowns[band];
  const int start = FindFreeRun(0, 5, 55, 5);
  if (start < 0) return;
  // The centre shot and the two angled ones in every band, the wide pair at the top band.
  constexpr int32_t kLevels[3][3] = {{1, 0, 0}, {2, 1, 1}, {2, 2, 2}};
  const VolleyShot shots[5] = {
      {0, 0, kLevels[band][0], 20, 0, 1},
      {1, 32, kLevels[band][1], 10, 0, 0},
      {2, 992, kLevels[band][2], 10, 0, 0},
      {3, 64, 0, 0, 0, 0},
      {4, 960, 0, 0, 0, 0},
  };
  FireVolley(start, kVulcanShot, shots, band == 2 ? 5 : 3);
  RequestSoundEffect(0);
}

void FireWide(int16_t band) {
  MainWeaponCooldown = kRapidCooldowns[band];
  const int start = FindFreeRun(0, 8, 48, 8);
  if (start < 0) return;
  const double backX = band == 0 ? -10 : -14;
  const double spreadY = band == 0 ? 4 : 6;
  const VolleyShot shots[6] = {
      {3, 0, band, 14, -2, 0},
      {4, 0, band, 14, 2, 0},
      {1, 928, band, backX, -spreadY, 1},
      {2, 96, band, backX, spreadY, 1},
      {5, 560, band, -20, -6, 1},
      {6, 464, band, -20, 6, 1},
  };
  FireVolley(start, 1, shots, 6);
  RequestSoundEffect(1);
}

void FireLaser(int16_t band) {
  const int16_t threshold = kLaserThresholds[band];
  if (LaserFireCounter > 0) {
    LaserFireCounter -= 1;
    MainWeaponCooldown = kLaserStepCooldown;
  }
  if (FireHoldLatch >= 1 && LaserFireCounter <= 0) {
    LaserFireCounter = kLaserBurst;
    RequestSoundEffect(2);
  } else if (FireHoldLatch == 0 && LaserFireCounter >= threshold) {
    // Releasing SHOT ends the burst's segments; the counter still runs down to 0.
    LaserFireCounter = static_cast<int16_t>(threshold - 1);
  }
  if (LaserFireCounter < threshold) return;
  const int slot = FindFreeRun(0, 1, kFirstSubShotSlot - 1, 1);
  if (slot >= 0) InitPlayerShot(slot, 2, 0, band, PlayerX + 24, PlayerY, 1);
}

void FireNapalm(int16_t band) {
  MainWeaponCooldown = kNapalmCooldowns[band];
  const int slot = FindFreeRun(0, 1, kFirstSubShotSlot - 1, 1);
  if (slot < 0) return;
  InitPlayerShot(slot, 3, 0, band, PlayerX + 13, PlayerY, 1);
  RequestSoundEffect(3);
}

// ---- sub weapons -----------------------------------------------------------------------------

// By sub weapon and band.
constexpr int16_t kSubCooldowns[kSubWeapons][3] = {
    {32, 24, 16}, {16, 16, 16}, {12, 9, 6}, {9, 9, 9}, {30, 22, 14}, {6, 6, 6},
};

int OrbCount(int16_t band) { return band + 2; }

void PlaceOrbs(int16_t band) {
  constexpr int16_t kOrbAngles[3][kOrbSlots] = {{0, 512}, {0, 341, 682}, {0, 256, 512, 768}};
  for (int k = 0; k < OrbCount(band); ++k)
    InitPlayerShot(kFirstOrbSlot + k, 9, kOrbAngles[band][k], band, PlayerX, PlayerY, 0);
}

// The window each sub weapon looks for, its start of the search, stride and last start.
struct SubWindow {
  int first, stride, last, width;
};
constexpr SubWindow kSubWindows[kSubWeapons] = {
    {64, 4, 120, 4}, {64, 6, 118, 8}, {64, 4, 120, 4},
    {64, 6, 118, 6}, {64, 6, 118, 6}, {kFirstWaveSubShotSlot, 4, 120, 4},
};
constexpr int16_t kSubSounds[kSubWeapons] = {4, 5, 6, 7, 8, 9};

void FireSubVolley(int16_t sub, int16_t band, int start) {
  switch (sub) {
    case kTwoway: {
      const VolleyShot shots[4] = {{0, 832, band, 4, -3, 1},
                                   {1, 192, band, 4, 3, 1},
                                   {2, 704, band, -12, -3, 1},
                                   {3, 320, band, -12, 3, 1}};
      FireVolley(start, 5, shots, 4);
      break;
    }
    case kMissile: {
      // Spread indices -n .. n by 2 in the window's first positions; the inner pair flashes.
      const int count = 4 + 2 * band;
      for (int k = 0; k < count; ++k) {
        const int16_t index = static_cast<int16_t>(-(count - 1) + 2 * k);
        const uint8_t flash = index == -1 || index == 1 ? 1 : 0;
        InitPlayerShot(start + k, kMissileShot, index, band, PlayerX - 12,
                       PlayerY + (index < 0 ? -6 : 6), flash);
      }
      break;
    }
    case kSearch: {
      const VolleyShot shots[4] = {{0, kSearchAheadAbove, band, 1, -3, 1},
                                   {1, kSearchAheadBelow, band, 1, 3, 1},
                                   {2, kSearchBehindAbove, band, -11, -3, 1},
                                   {3, kSearchBehindBelow, band, -11, 3, 1}};
      FireVolley(start, 7, shots, 4);
      break;
    }
    case kHoming: {
      // The outer pair in every band, the inner pair from band 1; levels per shot.
      constexpr int32_t kOuterLevels[3] = {1, 1, 2};
      constexpr int32_t kInnerLevels[3] = {0, 0, 1};
      const VolleyShot shots[4] = {{0, 832, kOuterLevels[band], 0, -3, 0},
                                   {5, 192, kOuterLevels[band], 0, 3, 0},
                                   {2, 960, kInnerLevels[band], 0, -3, 0},
                                   {3, 64, kInnerLevels[band], 0, 3, 0}};
      FireVolley(start, kHomingShot, shots, band == 0 ? 2 : 4);
      break;
    }
    case kNapalmSub: {
      const VolleyShot shots[4] = {{0, -1, band, 4, -6, 1},
                                   {1, 1, band, 4, 6, 1},
                                   {2, -2, band, -12, -6, 1},
                                   {3, 2, band, -12, 6, 1}};
      FireVolley(start, 10, shots, 4);
      break;
    }
    default: {  // rolling: each live, harmful orb fires a wave sub shot
      for (int k = 0; k < OrbCount(band); ++k) {
        const PlayerShot& orb = PlayerShots[kFirstOrbSlot + k];
        if (orb.state != 2 || orb.type != 9 || orb.damage <= 0) continue;
        InitPlayerShot(start + k, kWaveSubShot, 0, 0, orb.x + 6, orb.y, 0);
      }
      break;
    }
  }
}

// ---- charge weapon ---------------------------------------------------------------------------

bool SlotsFree(int first, int count) { return FindFreeRun(first, 1, first, count) == first; }

// True when the weapon's slots were free and it fired.
bool FireChargeVolley(int16_t weapon, int16_t band) {
  const int first = kFirstChargeShotSlot;
  switch (weapon) {
    case kHomingBomb:
      if (!SlotsFree(first, kChargeShotSlots)) return false;
      for (int k = 0; k < kChargeShotSlots; ++k)
        InitPlayerShot(first + k, kHomingBombShot, static_cast<int16_t>(64 + 128 * k), band,
                       PlayerX, PlayerY, 0);
      RequestSoundEffect(10);
      return true;
    case kWave:
      if (!SlotsFree(first, 2)) return false;
      InitPlayerShot(first, 14, 0, band, PlayerX + 20, PlayerY, 0);
      InitPlayerShot(first + 1, 14, 512, band, PlayerX - 20, PlayerY, 0);
      RequestSoundEffect(12);
      return true;
    default:
      if (!SlotsFree(first, 1)) return false;
      InitPlayerShot(first, 15, 0, band, PlayerX, PlayerY, 0);
      RequestSoundEffect(13);
      return true;
  }
}

bool IsHeld(int role) { return GetButtonHoldCount(ButtonPadBits[role]) > 0; }
bool IsPressed(int role) { return GetButtonHoldCount(ButtonPadBits[role]) == 1; }

WeaponEntry Entry(int16_t* levels, int16_t* timers, int count, int16_t selected) {
  if (selected < 0 || selected >= count) return {nullptr, nullptr};
  return {&levels[selected], &timers[selected]};
}

// A running timer counts down; running out at the top level drops the weapon to 7.
void RunMaxLevelTimer(WeaponEntry w) {
  if (w.timer == nullptr || *w.timer <= 0) return;
  *w.timer -= 1;
  if (*w.timer == 0 && *w.level == kMaxLevel) *w.level = kMaxLevel - 1;
}

}  // namespace

int16_t WeaponBand(int16_t level) { return static_cast<int16_t>(std::clamp(level / 4, 0, 2)); }

WeaponEntry SelectedMainWeaponEntry() {
  return Entry(MainWeaponLevels, MainWeaponTimers, kMainWeapons, SelectedMainWeapon);
}

int16_t ActiveSubWeapon() {
  if (ActiveSubSlot < 0 || ActiveSubSlot > 1) return -1;
  const int16_t sub = SelectedSubWeapons[ActiveSubSlot];
  return sub >= 0 && sub < kSubWeapons ? sub : int16_t{-1};
}

WeaponEntry ActiveSubWeaponEntry() {
  return Entry(SubWeaponLevels, SubWeaponTimers, kSubWeapons, ActiveSubWeapon());
}

WeaponEntry SelectedChargeWeaponEntry() {
  return Entry(ChargeWeaponLevels, ChargeWeaponTimers, kChargeWeapons, SelectedChargeWeapon);
}

void UpdatePlayerWeapons() {
  UpdatePlayerShots();
  if (MainWeaponCooldown > 0) MainWeaponCooldown -= 1;
  if (SubWeaponCooldown > 0) SubWeaponCooldown -= 1;
  UpdateWeaponState();
}

void UpdateWeaponState() {
  if (ShieldLevel >= 1 && ShieldLevel < kRaisedShield) ShieldLevel -= 1;
  if (ChargeFullFlash > 0)
    ChargeFullFlash = static_cast<int16_t>(std::max(ChargeFullFlash - kFullFlashStep, 0));
  if (ChargeGauge < ChargeGaugeMax) {
    ChargeGauge = static_cast<int16_t>(ChargeGauge + (FireHoldLatch == 0 ? 2 : 1));
    if (ChargeGauge >= ChargeGaugeMax) {
      ChargeGauge = ChargeGaugeMax;
      ChargeFullFlash = kFullFlash;
      RequestSoundEffect(kGaugeFullSound);
    }
  }
  RunMaxLevelTimer(SelectedMainWeaponEntry());
  RunMaxLevelTimer(ActiveSubWeaponEntry());
  RunMaxLevelTimer(SelectedChargeWeaponEntry());
  if (FireHoldLatch > 0) FireHoldLatch -= 1;
  if (IsHeld(kButtonShot)) FireHoldLatch = kHoldLatch;

  if (GameFrame < kFirstFiringFrame || DeathTimer > 0) {
    LaserFireCounter = 0;
    return;
  }
  if (IsPressed(kButtonWeaponChange)) {
    RequestSoundEffect(kWeaponChangeSound);
    ActiveSubSlot = ActiveSubSlot == 0 ? 1 : 0;
  }
  FireMainWeapon();
  FireSubWeapon();
  FireChargeWeapon();
}

void FireMainWeapon() {
  const WeaponEntry w = SelectedMainWeaponEntry();
  if (MainWeaponCooldown > 0 || w.level == nullptr) return;
  const int16_t band = WeaponBand(*w.level);
  if (SelectedMainWeapon == kLaser) {
    FireLaser(band);
    return;
  }
  if (FireHoldLatch == 0) return;
  switch (SelectedMainWeapon) {
    case kVulcan:
      FireVulcan(band);
      break;
    case kWide:
      FireWide(band);
      break;
    default:
      FireNapalm(band);
      break;
  }
}

void FireSubWeapon() {
  const int16_t sub = ActiveSubWeapon();
  if (FireHoldLatch == 0 || sub < 0) return;
  const int16_t band = WeaponBand(SubWeaponLevels[sub]);
  if (sub == kRolling && SlotsFree(kFirstOrbSlot, kOrbSlots)) PlaceOrbs(band);
  if (SubWeaponCooldown > 0) return;
  SubWeaponCooldown = kSubCooldowns[sub][band];
  const SubWindow& w = kSubWindows[sub];
  const int start = FindFreeRun(w.first, w.stride, w.last, w.width);
  if (start < 0) return;
  FireSubVolley(sub, band, start);
  RequestSoundEffect(kSubSounds[sub]);
}

void FireChargeWeapon() {
  const WeaponEntry w = SelectedChargeWeaponEntry();
  if (w.level == nullptr || !IsPressed(kButtonChargeWeapon) || ChargeGauge < ChargeGaugeMax) return;
  if (FireChargeVolley(SelectedChargeWeapon, WeaponBand(*w.level))) ChargeGauge = 0;
}

void ResetWeaponState() {
  MainWeaponCooldown = 0;
  SubWeaponCooldown = 0;
  LaserFireCounter = 0;
  FireHoldLatch = 0;
  ChargeGaugeMax = 0;
  ChargeFullFlash = 0;
}

void DigestWeaponState(StateDigest& d, DigestScope) {
  DigestValue(d, MainWeaponCooldown);
  DigestValue(d, SubWeaponCooldown);
  DigestValue(d, LaserFireCounter);
  DigestValue(d, FireHoldLatch);
  DigestValue(d, ChargeGaugeMax);
  DigestValue(d, ChargeFullFlash);
}
