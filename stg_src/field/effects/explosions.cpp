#include "stg_src/field/effects/explosions.h"

#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

// A ring of fading sparks around the centre. Per spark the draws are r, a, s, rot:
// r = R % rMod (or 10 - R % rMod), halved for the inner rings; s = (R % sMod + sAdd) / sDiv.
struct SparkRing {
  int count;
  int type;
  int rMod;
  bool rFromTen;
  bool halveR;
  int sMod, sAdd;
  double sDiv;
};

// Fading pieces thrown around the centre. Per piece the draws are s, a, rot, dy, dx, t:
// s as for the rings, dy = R % 41 - 20, dx = R % dxMod - dxMod / 2, t = typeBase + R % typeMod.
struct DebrisSpec {
  int count;
  int sMod, sAdd;
  double sDiv;
  int dxMod;
  int typeBase, typeMod;
};

constexpr int kNoCore = -1;

struct ExplosionShape {
  SparkRing first, second;
  int coreType;
  bool coreRandomRotation;  // drawn after the rings
  DebrisSpec debris;
  int16_t sound;
};

constexpr ExplosionShape kLarge = {{6, 1, 16, false, false, 32, 64, 10},
                                   {4, 1, 16, false, true, 32, 64, 20},
                                   0,
                                   false,
                                   {10, 32, 64, 12, 121, 5, 3},
                                   29};
constexpr ExplosionShape kMedium = {{6, 2, 12, false, false, 24, 48, 10},
                                    {3, 1, 12, false, true, 24, 48, 20},
                                    1,
                                    true,
                                    {8, 24, 48, 12, 81, 5, 3},
                                    30};
constexpr ExplosionShape kSparkBurst = {{6, 2, 8, false, false, 18, 36, 10},
                                        {5, 2, 8, false, true, 18, 36, 20},
                                        kNoCore,
                                        false,
                                        {8, 18, 36, 12, 41, 6, 2},
                                        31};
constexpr ExplosionShape kSmall = {{3, 3, 8, false, false, 18, 36, 20},
                                   {2, 2, 8, false, true, 18, 36, 40},
                                   2,
                                   true,
                                   {4, 18, 36, 24, 41, 6, 2},
                                   31};
constexpr ExplosionShape kTiny = {{3, 3, 3, true, false, 16, 32, 20},
                                  {2, 3, 3, true, true, 16, 32, 40},
                                  3,
                                  true,
                                  {0, 1, 0, 1, 1, 0, 1},
                                  31};

int16_t RandomAngle() { return static_cast<int16_t>(LcgRandom() % 1024); }

double RandomSpeed(int sMod, int sAdd, double sDiv) { return (LcgRandom() % sMod + sAdd) / sDiv; }

void SpawnRing(const SparkRing& ring, double x, double y) {
  for (int i = 0; i < ring.count; ++i) {
    int r = ring.rFromTen ? 10 - LcgRandom() % ring.rMod : LcgRandom() % ring.rMod;
    if (ring.halveR) r /= 2;
    const int16_t a = RandomAngle();
    const double s = RandomSpeed(ring.sMod, ring.sAdd, ring.sDiv);
    const int16_t rot = RandomAngle();
    SpawnFadingEffect(ring.type, x + CosineTable[a] * r, y + SineTable[a] * r, rot, a, s);
  }
}

void SpawnDebris(const DebrisSpec& debris, double x, double y) {
  for (int i = 0; i < debris.count; ++i) {
    const double s = RandomSpeed(debris.sMod, debris.sAdd, debris.sDiv);
    const int16_t a = RandomAngle();
    const int16_t rot = RandomAngle();
    const int dy = LcgRandom() % 41 - 20;
    const int dx = LcgRandom() % debris.dxMod - debris.dxMod / 2;
    const int type = debris.typeBase + LcgRandom() % debris.typeMod;
    SpawnFadingEffect(type, x + dx, y + dy, rot, a, s);
  }
}

// Everything but the sound.
void SpawnShape(const ExplosionShape& shape, double x, double y, int debris) {
  SpawnRing(shape.first, x, y);
  SpawnRing(shape.second, x, y);
  if (shape.coreType != kNoCore) {
    const int16_t rot = shape.coreRandomRotation ? RandomAngle() : int16_t{0};
    SpawnEffect(shape.coreType, x, y, rot, 0, 0);
  }
  if (debris == 1) SpawnDebris(shape.debris, x, y);
}

void RequestPresetSound(int16_t sound, int16_t preset) {
  RequestSoundEffect(sound == -1 ? preset : sound);
}

// A burning fragment from each lower and upper corner of the boss and one from its centre,
// each aimed into its own quarter (the centre's anywhere).
struct Fragment {
  int dx, dy;
  int angleBase, angleRange;
};
constexpr Fragment kBossFragments[] = {
    {-60, 60, 0, 256},    {60, 60, 256, 256},  {0, 0, 0, 1024},
    {-60, -60, 512, 256}, {60, -60, 768, 256},
};

void SpawnBlastInBox(int type, int16_t sound, double x, double y, int16_t w, int16_t h) {
  // The draws take a remainder by each size.
  const int width = std::max<int>(w, 1);
  const int height = std::max<int>(h, 1);
  const int16_t rot = RandomAngle();
  const int dy = LcgRandom() % height;
  const int dx = LcgRandom() % width;
  SpawnEffect(type, x + dx - width / 2, y + dy - height / 2, rot, 0, 0);
  RequestSoundEffect(sound);
}

}  // namespace

void SpawnLargeExplosion(double x, double y, int debris, int16_t sound) {
  SpawnShape(kLarge, x, y, debris);
  RequestPresetSound(sound, kLarge.sound);
}

void SpawnBossExplosion(double x, double y, int debris) {
  SpawnShape(kLarge, x, y, debris);
  for (const Fragment& f : kBossFragments) {
    const int16_t angle = static_cast<int16_t>(f.angleBase + LcgRandom() % f.angleRange);
    SpawnBurningFragment(angle, x + f.dx, y + f.dy);
  }
  RequestSoundEffect(kLarge.sound);
}

void SpawnMediumExplosion(double x, double y, int debris, int16_t sound) {
  SpawnShape(kMedium, x, y, debris);
  RequestPresetSound(sound, kMedium.sound);
}

void SpawnSparkBurst(double x, double y, int debris, int16_t sound) {
  SpawnShape(kSparkBurst, x, y, debris);
  RequestPresetSound(sound, kSparkBurst.sound);
}

void SpawnSmallExplosion(double x, double y, int debris) {
  SpawnShape(kSmall, x, y, debris);
  RequestSoundEffect(kSmall.sound);
}

void SpawnTinyExplosion(double x, double y) {
  SpawnShape(kTiny, x, y, 0);
  RequestSoundEffect(kTiny.sound);
}

void SpawnBak10Explosion(double x, double y) {
  SpawnEffect(10, x, y, 0, 0, 0);
  RequestSoundEffect(30);
}

void SpawnBak11Explosion(double x, double y) {
  SpawnEffect(11, x, y, 0, 0, 0);
  RequestSoundEffect(30);
}

void SpawnLargeBlastInBox(double x, double y, int16_t w, int16_t h) {
  SpawnBlastInBox(0, 29, x, y, w, h);
}

void SpawnMediumBlastInBox(double x, double y, int16_t w, int16_t h) {
  SpawnBlastInBox(1, 30, x, y, w, h);
}

void SpawnSmallBlastInBox(double x, double y, int16_t w, int16_t h) {
  SpawnBlastInBox(2, 31, x, y, w, h);
}
