#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kNoStop = 9999;
constexpr double kPieceSpeed = 15;
constexpr int16_t kFlashLinkMode = 80;
constexpr int16_t kKeepAnim = 0;  // the spawn's own first frame

// A spawn that finds the pool full links nothing; the count goes on regardless.
void SpawnTied(int16_t type, int16_t angle, double speed, EnemyObject* pool, uint16_t slot,
               EnemyPart* parts, int16_t partIndex, double along, int16_t mode, int16_t anim) {
  const int16_t s = SpawnEnemyShot(type, angle, speed, 0, 0, 0);
  if (s < 0) return;
  if (anim != kKeepAnim) EnemyShots[s].anim = anim;
  LinkEnemyShot(s, static_cast<int16_t>(slot), partIndex, along, 0, pool, parts, mode);
}

}  // namespace

void RunTiedBeam(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                 const TiedBeamRow& row) {
  EnemyPart& p = parts[partIndex];
  if (p.cue == row.start) {
    p.stopFrame = kNoStop;
    p.beamReach = 0;
    p.beamReachLast = 0;
  }
  if (p.cue > row.beamStart) {
    p.linkActive = 1;
    if (!row.reduced) {
      SpawnTied(row.warningShot, p.angle, kPieceSpeed, pool, slot, parts, partIndex, row.along, 0,
                kKeepAnim);
      if (p.counter % 2 == 0) {
        SpawnTied(row.chargeShot, 0, 0, pool, slot, parts, partIndex, row.along, kFlashLinkMode,
                  kKeepAnim);
      }
    }
    p.cue = static_cast<int16_t>(p.cue - 1);
    return;
  }
  if (p.cue < 1) {
    p.linkActive = 0;
    return;
  }
  // The reduced form's count falls on even counters only; its sound still comes once.
  const bool falls = !row.reduced || p.counter % 2 == 0;
  if (p.cue == row.beamStart && falls) {
    RequestSoundEffect(row.sound);
    if (!row.reduced) {
      SpawnTied(row.burstShot, 0, 0, pool, slot, parts, partIndex, row.along, kFlashLinkMode,
                kKeepAnim);
    }
  }
  p.linkActive = 1;
  const int16_t anim = p.counter % 3 == 0 ? static_cast<int16_t>((p.counter / 3) % 4 + 4) : -1;
  SpawnTied(row.beamShot, p.angle, kPieceSpeed, pool, slot, parts, partIndex, row.along, 0, anim);
  if (falls) p.cue = static_cast<int16_t>(p.cue - 1);
}
