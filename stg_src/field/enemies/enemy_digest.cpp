// The pools' digest: every field of every slot, free slots and unused parts included, since a
// spawn or an attach leaves most fields as the previous occupant left them. The four pools hold
// over four megabytes, summed after every frame of the tests and replays, so a record is read as
// 8-byte words with its padding masked out (the mask is built from every field, member by
// member) and the words are folded in four lanes; the record's result enters the run's digest
// as one value. Built optimised even in debug builds.
#include <cstddef>
#include <cstring>

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr uint64_t kLaneFactor = 0x9E3779B97F4A7C15ull;
constexpr int kLanes = 4;
constexpr size_t kObjectWords = sizeof(EnemyObject) / 8;
static_assert(sizeof(EnemyObject) % 8 == 0);

// 0xFF over the bytes of a field, 0 over padding.
struct RecordMask {
  unsigned char bytes[sizeof(EnemyObject)] = {};
  uint64_t words[kObjectWords] = {};

  void Mark(size_t offset, size_t size) { std::memset(bytes + offset, 0xFF, size); }
};

#define MARK(base, record, field) mask.Mark(base + offsetof(record, field), sizeof(record::field))

void MarkHitCircles(RecordMask& mask, size_t base) {
  MARK(base, HitCircles, size);
  MARK(base, HitCircles, dx);
  MARK(base, HitCircles, dy);
}

// beamDrawn is the drawing's own mark (set while drawing, cleared by the next pass before
// anything reads it): a run's digest must not depend on whether a frame was drawn.
void MarkPart(RecordMask& mask, size_t base, DigestScope scope) {
  MARK(base, EnemyPart, state);
  MARK(base, EnemyPart, counter);
  MARK(base, EnemyPart, partType);
  MARK(base, EnemyPart, facing);
  MARK(base, EnemyPart, scoreBase);
  MARK(base, EnemyPart, angle);
  MARK(base, EnemyPart, baseAngle);
  MARK(base, EnemyPart, recoil);
  MARK(base, EnemyPart, x);
  MARK(base, EnemyPart, y);
  MARK(base, EnemyPart, offsetX);
  MARK(base, EnemyPart, offsetY);
  MARK(base, EnemyPart, cullMarginX);
  MARK(base, EnemyPart, cullMarginY);
  MARK(base, EnemyPart, life);
  MARK(base, EnemyPart, maxLife);
  MARK(base, EnemyPart, imageFrame);
  MARK(base, EnemyPart, work0);
  MARK(base, EnemyPart, work1);
  MarkHitCircles(mask, base + offsetof(EnemyPart, hitCircles));
  MARK(base, EnemyPart, cue);
  MARK(base, EnemyPart, startX);
  MARK(base, EnemyPart, startCos);
  MARK(base, EnemyPart, startY);
  MARK(base, EnemyPart, startSin);
  MARK(base, EnemyPart, hitMode);
  MARK(base, EnemyPart, facingSign);
  MARK(base, EnemyPart, hitFlash);
  MARK(base, EnemyPart, drawOffsetY);
  MARK(base, EnemyPart, beamStopped);
  MARK(base, EnemyPart, stopFrame);
  MARK(base, EnemyPart, beamReach);
  MARK(base, EnemyPart, beamReachLast);
  if (scope == DigestScope::All) MARK(base, EnemyPart, beamDrawn);
  MARK(base, EnemyPart, linkActive);
  MARK(base, EnemyPart, sideFlag);
  MARK(base, EnemyPart, unlockWeight);
  MARK(base, EnemyPart, parentPart);
  MARK(base, EnemyPart, variant);
  MARK(base, EnemyPart, blend);
  MARK(base, EnemyPart, brightness);
}

void MarkObject(RecordMask& mask, DigestScope scope) {
  constexpr size_t base = 0;
  MARK(base, EnemyObject, state);
  MARK(base, EnemyObject, frame);
  MARK(base, EnemyObject, type);
  MARK(base, EnemyObject, facing);
  MARK(base, EnemyObject, solid);
  MARK(base, EnemyObject, sideCount);
  MARK(base, EnemyObject, scoreBase);
  MARK(base, EnemyObject, angle);
  MARK(base, EnemyObject, angle2);
  MARK(base, EnemyObject, groundSlope);
  MARK(base, EnemyObject, x);
  MARK(base, EnemyObject, y);
  MARK(base, EnemyObject, life);
  MARK(base, EnemyObject, maxLife);
  MARK(base, EnemyObject, imageFrame);
  MARK(base, EnemyObject, vx);
  MARK(base, EnemyObject, vy);
  MARK(base, EnemyObject, speed);
  MARK(base, EnemyObject, groundSpeed);
  MARK(base, EnemyObject, airFrames);
  MARK(base, EnemyObject, landTimer);
  MARK(base, EnemyObject, spare1);
  MARK(base, EnemyObject, heading);
  MarkHitCircles(mask, offsetof(EnemyObject, hitCircles));
  MARK(base, EnemyObject, phase);
  MARK(base, EnemyObject, onMarker);
  MARK(base, EnemyObject, intWork0);
  MARK(base, EnemyObject, intWork1);
  MARK(base, EnemyObject, intWork2);
  MARK(base, EnemyObject, intWork3);
  MARK(base, EnemyObject, realWork0);
  MARK(base, EnemyObject, realWork1);
  MARK(base, EnemyObject, hitMode);
  MARK(base, EnemyObject, facingSign);
  MARK(base, EnemyObject, despawnMarginX);
  MARK(base, EnemyObject, despawnMarginY);
  MARK(base, EnemyObject, cullMarginX);
  MARK(base, EnemyObject, cullMarginY);
  MARK(base, EnemyObject, useViewBox);
  MARK(base, EnemyObject, hitFlash);
  MARK(base, EnemyObject, probeOffset);
  MARK(base, EnemyObject, partCountA);
  MARK(base, EnemyObject, partCountB);
  for (int i = 0; i < kPartsACount; ++i)
    MarkPart(mask, offsetof(EnemyObject, partsA) + i * sizeof(EnemyPart), scope);
  for (int i = 0; i < kPartsBCount; ++i)
    MarkPart(mask, offsetof(EnemyObject, partsB) + i * sizeof(EnemyPart), scope);
  MARK(base, EnemyObject, drawOffsetY);
  MARK(base, EnemyObject, spare2);
  MARK(base, EnemyObject, realWork2);
  MARK(base, EnemyObject, realWork3);
  MARK(base, EnemyObject, spare3);
  MARK(base, EnemyObject, blend);
  MARK(base, EnemyObject, brightness);
  MARK(base, EnemyObject, spawnDir);
  MARK(base, EnemyObject, acceptDir);
  MARK(base, EnemyObject, variant);
  MARK(base, EnemyObject, rank);
}

#undef MARK

RecordMask MakeObjectMask(DigestScope scope) {
  RecordMask m;
  MarkObject(m, scope);
  std::memcpy(m.words, m.bytes, sizeof(m.words));
  return m;
}

const RecordMask& ObjectMask(DigestScope scope) {
  static const RecordMask run = MakeObjectMask(DigestScope::Run);
  static const RecordMask all = MakeObjectMask(DigestScope::All);
  return scope == DigestScope::Run ? run : all;
}

__attribute__((no_sanitize("address", "undefined"))) uint64_t FoldWord(uint64_t lane,
                                                                       const unsigned char* bytes,
                                                                       const uint64_t* mask,
                                                                       size_t i) {
  uint64_t word;
  std::memcpy(&word, bytes + 8 * i, 8);
  const uint64_t h = (lane ^ (word & mask[i])) * kLaneFactor;
  return h ^ (h >> 29);
}

template <int N>
void DigestPool(StateDigest& d, const EnemyObject (&pool)[N], DigestScope scope) {
  for (const EnemyObject& object : pool) DigestEnemyObject(d, object, scope);
}

}  // namespace

// Reads only whole records of the pools, so the sanitizers' checks of every word are left out.
__attribute__((no_sanitize("address", "undefined"))) void DigestEnemyObject(
    StateDigest& d, const EnemyObject& object, DigestScope scope) {
  const uint64_t* mask = ObjectMask(scope).words;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&object);
  uint64_t lanes[kLanes] = {1, 2, 3, 4};
  size_t i = 0;
  for (; i + kLanes <= kObjectWords; i += kLanes) {
    for (int k = 0; k < kLanes; ++k) lanes[k] = FoldWord(lanes[k], bytes, mask, i + k);
  }
  for (; i < kObjectWords; ++i) lanes[0] = FoldWord(lanes[0], bytes, mask, i);
  for (uint64_t lane : lanes) DigestWord(d, lane);
}

void DigestEnemyPools(StateDigest& d, DigestScope scope) {
  DigestPool(d, EnemyPool0, scope);
  DigestPool(d, EnemyPool1, scope);
  DigestPool(d, EnemyPool2, scope);
  DigestPool(d, EnemyPool3, scope);
}
