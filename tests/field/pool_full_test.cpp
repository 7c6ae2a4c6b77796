// Every spawn into a full pool, as one table: the four enemy pools, the part arrays, the enemy
// shots, the player shots' firing windows, the effects, the items and the popups refuse it and
// leave every record byte for byte as it was; only the designed takeovers write, each into its
// own slot (an exact enemy spawn, the banner popup's slot 15, the boss flash's effect slot 255,
// the shield burst's player-shot slot 138).
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/weapons/weapon_test_support.h"

namespace {

// One pool's records as bytes.
struct Span {
  uint8_t* bytes;
  size_t recordSize;
  int count;
  std::vector<uint8_t> Copy() const { return {bytes, bytes + recordSize * count}; }
  const uint8_t* Record(int slot) const { return bytes + recordSize * slot; }
};

template <typename T, size_t N>
Span SpanOf(T (&pool)[N]) {
  return {reinterpret_cast<uint8_t*>(pool), sizeof(T), static_cast<int>(N)};
}

// Slots first, first + stride, ... up to last in use: every byte a pattern of its slot, then
// state 2 (live).
template <typename T, size_t N>
void Busy(T (&pool)[N], int first = 0, int last = N - 1, int stride = 1) {
  for (int slot = first; slot <= last; slot += stride) {
    std::memset(&pool[slot], 0x41 + slot % 61, sizeof(T));
    pool[slot].state = 2;
  }
}

// Every window of a weapon holds a busy slot at its start; the slots between stay free.
void BusyWindows(int first, int stride, int last) { Busy(PlayerShots, first, last, stride); }

// Firing with SHOT and CHARGE pressed (gauge full, no cooldown) with this main, sub and charge
// weapon selected.
void Fire(WeaponField& w, int16_t main, int16_t sub, int16_t charge) {
  SelectedMainWeapon = main;
  SelectedSubWeapons[0] = sub;
  SelectedChargeWeapon = charge;
  ChargeGauge = ChargeGaugeMax;
  MainWeaponCooldown = SubWeaponCooldown = 0;
  w.FireOnly(HeldRole(kButtonShot) | HeldRole(kButtonChargeWeapon));
}

struct FullCase {
  std::string name;
  Span pool;
  std::function<void()> fill;
  std::function<int(WeaponField&)> spawn;  // the spawn's result, where it has one
  int result;                              // what it must give
  int takeover = -1;                       // the one slot it may write, or -1
};

std::vector<FullCase> Cases() {
  auto enemies0 = [] { Busy(EnemyPool0); };
  auto enemies1 = [] { Busy(EnemyPool1); };
  auto shots = [] { Busy(PlayerShots); };
  std::vector<FullCase> cases = {
      {"pool 0, lowest free", SpanOf(EnemyPool0), enemies0,
       [](WeaponField&) { return SpawnPool0Enemy(300, 200, 0, 0, -1, 0); }, -1},
      {"pool 0, highest free below a slot", SpanOf(EnemyPool0), enemies0,
       [](WeaponField&) { return SpawnPool0Enemy(300, 200, 0, 0, 40, 0); }, -1},
      {"pool 0, from the map", SpanOf(EnemyPool0), enemies0,
       [](WeaponField&) { return SpawnPool0AtTile(0, 5, 5, true, -1); }, -1},
      {"pool 0, exact slot", SpanOf(EnemyPool0), enemies0,
       [](WeaponField&) { return SpawnPool0Enemy(300, 200, 3, 0, 17, 1); }, -1, 17},
      {"pool 1, lowest free", SpanOf(EnemyPool1), enemies1,
       [](WeaponField&) { return SpawnPool1Enemy(300, 200, 4, 0, -1, 0); }, -1},
      {"pool 1, highest free below a slot", SpanOf(EnemyPool1), enemies1,
       [](WeaponField&) { return SpawnPool1Enemy(300, 200, 4, 0, 100, 0); }, -1},
      {"pool 1, from the map", SpanOf(EnemyPool1), enemies1,
       [](WeaponField&) { return SpawnPool1AtTile(4, 5, 5, true, -1); }, -1},
      {"pool 1, exact slot", SpanOf(EnemyPool1), enemies1,
       [](WeaponField&) { return SpawnPool1Enemy(300, 200, 4, 0, 127, 1); }, -1, 127},
      {"pool 2", SpanOf(EnemyPool2), [] { Busy(EnemyPool2); },
       [](WeaponField&) { return SpawnPool2Enemy(300, 200, 0, 512); }, -1},
      {"pool 3", SpanOf(EnemyPool3), [] { Busy(EnemyPool3); },
       [](WeaponField&) { return SpawnPool3Object(300, 200, 0, 0, -1); }, -1},
      // The part arrays are full at their capacity: a slot past it is refused.
      {"parts behind the body", SpanOf(EnemyPool0), enemies0,
       [](WeaponField&) {
         AttachPart(EnemyPool0[9].partsA, kPartsACount, 0, 0, 0, 0, 0);
         return -1;
       },
       -1},
      {"parts in front of the body", SpanOf(EnemyPool1), enemies1,
       [](WeaponField&) {
         AttachPart(EnemyPool1[9].partsB, kPartsBCount, 1, 0, 0, 0, 0);
         return -1;
       },
       -1},
      {"enemy shots", SpanOf(EnemyShots), [] { Busy(EnemyShots); },
       [](WeaponField&) { return SpawnEnemyShot(1, 0, 3, 300, 200, 0); }, -1},
      {"enemy shots from the top", SpanOf(EnemyShots), [] { Busy(EnemyShots); },
       [](WeaponField&) { return SpawnEnemyShotHigh(1, 0, 3, 300, 200, 0); }, -1},
      {"the vulcan's windows, one slot of each busy", SpanOf(PlayerShots),
       [] { BusyWindows(0, 5, 55); },
       [](WeaponField&) {
         SelectedMainWeapon = 0;
         MainWeaponCooldown = 0;
         FireHoldLatch = 1;
         FireMainWeapon();
         return -1;
       },
       -1},
      {"the twoway's windows, one slot of each busy", SpanOf(PlayerShots),
       [] { BusyWindows(64, 4, 120); },
       [](WeaponField&) {
         SelectedSubWeapons[0] = 0;
         ActiveSubSlot = 0;
         SubWeaponCooldown = 0;
         FireHoldLatch = 1;
         FireSubWeapon();
         return -1;
       },
       -1},
      {"the shield's burst", SpanOf(PlayerShots), shots,
       [](WeaponField&) {
         ShieldLevel = 8;
         SpendShield();
         return ShieldLevel;
       },
       7, kShieldBurstSlot},
      {"effects", SpanOf(Effects), [] { Busy(Effects); },
       [](WeaponField&) { return SpawnEffect(0, 300, 200, 0, 0, 0); }, -1},
      {"fading effects", SpanOf(Effects), [] { Busy(Effects); },
       [](WeaponField&) { return SpawnFadingEffect(0, 300, 200, 0, 0, 0); }, -1},
      {"the boss's death flash", SpanOf(Effects), [] { Busy(Effects); },
       [](WeaponField&) { return SpawnEffect(kBossDeathFlashEffect, 300, 200, 0, 0, 0); },
       kEffectSlots - 1, kEffectSlots - 1},
      {"items", SpanOf(Items), [] { Busy(Items); },
       [](WeaponField&) {
         SpawnItem(6, 300, 200);
         return -1;
       },
       -1},
      {"popups, with the banner's slot free", SpanOf(InfoPopups),
       [] { Busy(InfoPopups, 0, kBannerPopupSlot - 1); },
       [](WeaponField&) {
         SpawnInfoPopup(8, 300, 200);
         return FindFreePopupSlot();
       },
       -1},
      {"the banner popup", SpanOf(InfoPopups), [] { Busy(InfoPopups); },
       [](WeaponField&) {
         SpawnBannerPopup(12, 300, 200);
         return -1;
       },
       -1, kBannerPopupSlot},
  };
  // Every main, sub and charge weapon fired at a full pool.
  for (int16_t k = 0; k < 6; ++k) {
    cases.push_back({"weapons " + std::to_string(k), SpanOf(PlayerShots), shots,
                     [k](WeaponField& w) {
                       Fire(w, k % kMainWeapons, k % kSubWeapons, k % kChargeWeapons);
                       return -1;
                     },
                     -1});
  }
  return cases;
}

TEST(PoolFullTest, ASpawnIntoAFullPoolIsRefusedAndOnlyTheDesignedTakeoversWrite) {
  for (const FullCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    WeaponField w;
    c.fill();
    const std::vector<uint8_t> before = c.pool.Copy();
    EXPECT_EQ(c.spawn(w), c.result);
    for (int slot = 0; slot < c.pool.count; ++slot) {
      const bool same = std::memcmp(c.pool.Record(slot), before.data() + c.pool.recordSize * slot,
                                    c.pool.recordSize) == 0;
      EXPECT_EQ(same, slot != c.takeover) << "slot " << slot;
    }
    if (c.takeover >= 0) {
      int32_t state;
      std::memcpy(&state, c.pool.Record(c.takeover), sizeof(state));
      EXPECT_EQ(state, 1);  // a fresh record, set up on its first update
    }
  }
}

}  // namespace
