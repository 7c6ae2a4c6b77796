// The behaviour of each effect type, reached through EffectHandlers. Each runs its set-up while
// the slot is in state 1 and moves it to 2, then (in the same call) advances the effect and frees
// the slot when it is over.
#include <cstdint>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kCells = 12;
constexpr int kHalfCells = 6;

// The blast family's first two cells last 2..5 frames, one draw at set-up.
int16_t RandomFirstPeriod() { return static_cast<int16_t>(2 + LcgRandom() % 4); }

bool SetUp(Effect& e) {
  if (e.state != 1) return false;
  e.state = 2;
  return true;
}

void SetAdditive(Effect& e, int16_t value) {
  e.blendMode = kEffectBlendAdditive;
  e.blendValue = value;
}

void StopInPlace(Effect& e) {
  e.vx = 0;
  e.vy = 0;
}

// --- the blast and spark family: a core plays its 12 cells where it was spawned, a fading spark
// of the same type also flies and slows to a rest.

void UpdateBlast(int16_t slot, int16_t margin, int n) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.margin = margin;
    e.firstPeriod = RandomFirstPeriod();
  }
  AnimateSparkEffect(slot, n, kCells, e.firstPeriod);
}

void UpdateLargeBlastEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (e.state == 1) e.rotation = 0;
  UpdateBlast(slot, 100, 5);
}

void UpdateMediumBlastEffect(int16_t slot) { UpdateBlast(slot, 48, 5); }
void UpdateSmallBlastEffect(int16_t slot) { UpdateBlast(slot, 24, 4); }
void UpdateTinyBlastEffect(int16_t slot) { UpdateBlast(slot, 18, 4); }

void UpdateShipBlastEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) e.margin = 48;
  AnimateSparkEffect(slot, 4, kCells, 3);
}

// Rides with the screen both ways instead of flying: the update's drift and EffectDriftX
// cancel, and the vertical scroll is added here.
void UpdateScreenSparkEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.margin = 18;
    e.firstPeriod = RandomFirstPeriod();
  }
  if (e.frame % SparkStepPeriod(e.animFrame, 4, e.firstPeriod) == 0) {
    e.animFrame += 1;
    e.frame = 0;
  }
  if (e.animFrame >= kCells) e.state = 0;
  e.x -= EffectDriftX;
  e.y += ScrollDeltaY;
}

// --- looping, fading pieces: debris and the unspawned 13-15.

void UpdateFadingLoop(int16_t slot, int16_t margin) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.blendMode = kEffectBlendAlpha;
    e.blendValue = 255;
    e.animFrame = 0;
    e.margin = margin;
  }
  AnimateFadingLoopEffect(slot, 4, kHalfCells);
}

void UpdateLargeDebrisEffect(int16_t slot) { UpdateFadingLoop(slot, 19); }
void UpdateDebrisEffect(int16_t slot) { UpdateFadingLoop(slot, 12); }

void UpdateBak13Family(int16_t slot, int16_t margin) {
  Effect& e = Effects[slot];
  if (e.state == 1) {
    e.rotation = 0;
    e.stopCounter = 0;
  }
  UpdateFadingLoop(slot, margin);
}

void UpdateBak13Effect(int16_t slot) { UpdateBak13Family(slot, 48); }
void UpdateBak14Effect(int16_t slot) { UpdateBak13Family(slot, 32); }
void UpdateBak15Effect(int16_t slot) { UpdateBak13Family(slot, 24); }

// --- single blasts and trails.

void UpdatePlainAnimation(int16_t slot, int16_t margin, int n, int m) {
  Effect& e = Effects[slot];
  if (SetUp(e)) e.margin = margin;
  AnimateEffect(slot, n, m);
}

void UpdateBak10Effect(int16_t slot) { UpdatePlainAnimation(slot, 48, 4, kHalfCells); }
void UpdateBak11Effect(int16_t slot) { UpdatePlainAnimation(slot, 32, 4, kHalfCells); }
void UpdateTrailEffect(int16_t slot) { UpdatePlainAnimation(slot, 32, 4, 8); }

void UpdateSmallTrailEffect(int16_t slot) {
  UpdateTrailEffect(slot);
  Effects[slot].margin = 16;
}

// Types 16, 17 and 25 read their speed as a size: above 0 the second image's cells 6-11.
void UpdateBombBlastEffect(int16_t slot) {
  Effect& e = Effects[slot];
  const bool large = e.speed > 0;
  if (SetUp(e)) {
    e.animFrame = large ? kHalfCells : 0;
    e.margin = large ? 26 : 20;
    StopInPlace(e);
  }
  AnimateEffect(slot, 3, large ? kCells : kHalfCells);
}

void UpdateBak17Effect(int16_t slot) {
  Effect& e = Effects[slot];
  const bool large = e.speed > 0;
  if (SetUp(e)) {
    e.animFrame = large ? kHalfCells : 0;
    e.margin = 32;
    StopInPlace(e);
  }
  if (large) {
    AnimateEffect(slot, 2, kCells);
  } else {
    AnimateEffect(slot, 3, kHalfCells);
  }
}

void UpdateBiteffEffect(int16_t slot) {
  Effect& e = Effects[slot];
  const bool large = e.speed > 0;
  if (SetUp(e)) {
    SetAdditive(e, 255);
    e.animFrame = large ? kHalfCells : 0;
    StopInPlace(e);
    e.margin = 32;
  }
  AnimateEffect(slot, CurrentStage == 4 ? 2 : 3, large ? kCells : kHalfCells);
  e.vy = 0;
}

// Even cells face one way and odd cells the other; it turns with its flight.
void UpdateSparkStreakEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    SetAdditive(e, 255);
    e.animFrame = e.rotation > 256 && e.rotation < 768 ? 1 : 0;
    e.margin = 25;
  }
  if (e.frame % 4 == 0) e.animFrame += 2;
  if (e.animFrame >= kCells) e.state = 0;
  e.x += e.vx;
  e.y += e.vy;
  e.rotation = static_cast<int16_t>(AimAngle(0, 0, e.vx, e.vy));
}

// --- glows and flashes.

// Held on the ship, 12 px left of its centre, whatever the animation did.
void UpdatePickupGlowEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    SetAdditive(e, 192);
    e.animFrame = 0;
    e.margin = 64;
  }
  AnimateEffect(slot, 5, 4);
  e.x = PlayerX - 12;
  e.y = PlayerY;
}

void UpdatePickupGlowEffectB(int16_t slot) { UpdatePickupGlowEffect(slot); }

void UpdateHitEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.blendMode = kEffectBlendAdditive;
    e.rotation = static_cast<int16_t>(LcgRandom() % 1024);
    e.blendValue = 128;
    e.margin = 24;
  }
  if (e.frame % 3 == 0) e.animFrame += 1;
  if (e.animFrame > 5) e.state = 0;
  e.x -= EffectDriftX;
}

// Enemy shots and the small enemies are cancelled while the flash lives. On stages 1 and 2 it
// throws pairs of spinning rings while it is still small.
void UpdateBossDeathFlashEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.animFrame = 0;
    e.blendMode = kEffectBlendAdditive;
    e.scale = 0.1;
    e.blendValue = 255;
    e.growth = 0;
    CancelEnemyShots = 1;
    e.margin = 640;
  }
  e.growth += 0.005;
  e.scale += e.growth;
  if (e.scale > 1.2) {
    e.blendValue -= 3;
    if (e.blendValue <= 0) {
      e.blendValue = 0;
      e.state = 0;
      CancelEnemyShots = 0;
    }
  }
  if ((CurrentStage == 1 || CurrentStage == 2) && e.frame % 2 == 0 && e.scale < 1.0) {
    int16_t spin = static_cast<int16_t>(LcgRandom() % 11 - 5);
    int16_t rotation = static_cast<int16_t>(LcgRandom() % 1024);
    SpawnEffect(33, e.x, e.y, rotation, spin, 0);
    spin = static_cast<int16_t>(LcgRandom() % 7 - 3);
    rotation = static_cast<int16_t>(LcgRandom() % 1024);
    SpawnEffect(33, e.x, e.y, rotation, spin, 0);
  }
}

// Turns by the spin its flash gave it as motion angle; its speed is 0.
void UpdateBossDeathRingEffect(int16_t slot) {
  Effect& e = Effects[slot];
  if (SetUp(e)) {
    e.animFrame = 0;
    e.blendMode = kEffectBlendAdditive;
    e.scale = 1.5;
    e.blendValue = 255;
    e.margin = 640;
  }
  e.rotation = static_cast<int16_t>(WrapAngle(e.rotation + e.motionAngle));
  if (e.frame % 3 == 0) e.animFrame += 1;
  if (e.animFrame > 5) e.state = 0;
}

// The speed picks the size: above 1 the small second image, up to 1 the large first one. It
// holds its last cell and lives until its blend has run out, 32 frames.
void UpdateSpinPuffEffect(int16_t slot) {
  Effect& e = Effects[slot];
  const double s = e.speed;
  if (SetUp(e)) {
    e.scale = 0.8;
    e.margin = 32;
    if (s > 1) {
      e.animFrame = 4;
      e.margin = 48;
      if (s < 3) e.scale = 1.6;
    } else if (s > 0) {
      e.animFrame = 0;
      e.scale = 1.6;
    } else {
      e.animFrame = 0;
    }
    StopInPlace(e);
    SetAdditive(e, 255);
    if (s > 2) e.scale = e.scale * 3 / 4;
  }
  e.scale += 0.002;
  const int lastCell = s > 1 ? 8 : 4;
  AnimateEffect(slot, 6, lastCell);
  if (e.state == 0) {
    e.animFrame = static_cast<int16_t>(lastCell - 1);
    e.state = 2;
  }
  if (s > 0 && s <= 1) e.scale += 0.002;
  e.rotation = static_cast<int16_t>(WrapAngle(e.rotation + (slot % 2 == 0 ? 4 : -4)));
  e.blendValue -= 8;
  if (e.blendValue <= 0) e.state = 0;
}

}  // namespace

const EffectHandler EffectHandlers[kEffectTypes] = {
    UpdateLargeBlastEffect,      // 0
    UpdateMediumBlastEffect,     // 1
    UpdateSmallBlastEffect,      // 2
    UpdateTinyBlastEffect,       // 3
    UpdateShipBlastEffect,       // 4
    UpdateLargeDebrisEffect,     // 5
    UpdateDebrisEffect,          // 6
    UpdateDebrisEffect,          // 7
    UpdateScreenSparkEffect,     // 8
    UpdateNothing,               // 9
    UpdateBak10Effect,           // 10
    UpdateBak11Effect,           // 11
    UpdateBak11Effect,           // 12
    UpdateBak13Effect,           // 13
    UpdateBak14Effect,           // 14
    UpdateBak15Effect,           // 15
    UpdateBombBlastEffect,       // 16
    UpdateBak17Effect,           // 17
    UpdateNothing,               // 18
    UpdateNothing,               // 19
    UpdateTrailEffect,           // 20
    UpdateNothing,               // 21
    UpdateNothing,               // 22
    UpdateNothing,               // 23
    UpdateNothing,               // 24
    UpdateBiteffEffect,          // 25
    UpdateSmallTrailEffect,      // 26
    UpdateSparkStreakEffect,     // 27
    UpdatePickupGlowEffect,      // 28
    UpdatePickupGlowEffectB,     // 29
    UpdatePickupGlowEffectB,     // 30
    UpdateHitEffect,             // 31
    UpdateBossDeathFlashEffect,  // 32
    UpdateBossDeathRingEffect,   // 33
    UpdateSpinPuffEffect,        // 34
};
