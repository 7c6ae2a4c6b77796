#include "stg_src/stages/stage4/laser_weapons.h"

#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kNoStop = 9999;
constexpr double kWarningSpeed = 15;
constexpr double kBeamSpawnSpeed = 15;
constexpr int16_t kParticleParameter = 80;

// Spawned at (0, 0) off-screen or not, tied to the part at once; -1 (pool full) ties nothing.
int16_t SpawnTiedShot(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                      const Stage4LaserUser& u, int16_t type, int16_t angle, double speed,
                      int16_t parameter, bool far) {
  const int16_t s = SpawnEnemyShot(type, angle, speed, 0, 0, 0);
  LinkEnemyShot(s, static_cast<int16_t>(slot), static_cast<int16_t>(j), u.along, u.across, pool,
                parts, parameter);
  if (s >= 0 && far) EnemyShots[s].removalMargin = kLaserFarMargin;
  return s;
}

int16_t LineAngle(const EnemyPart& p, const Stage4LaserUser& u) {
  return u.spawnAtAngleZero ? int16_t{0} : p.angle;
}

}  // namespace

void BeginStage4LaserFrame(EnemyPart& p, const Stage4LaserUser& u) {
  if (p.cue == u.startValue) {
    p.stopFrame = kNoStop;
    p.beamReach = 0;
    p.beamReachLast = 0;
  } else if (p.cue > 0 && p.stopFrame < kNoStop) {
    // The collision pass forgets a stop that nothing renewed; this beam keeps its cut until the
    // next start, whatever the part's angle does meanwhile.
    p.beamStopped = 1;
  }
}

void RunStage4LaserWarningStep(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                               const Stage4LaserUser& u) {
  EnemyPart& p = parts[j];
  p.linkActive = 1;
  SpawnTiedShot(pool, slot, parts, j, u, u.warningShot, LineAngle(p, u), kWarningSpeed, 0,
                u.farWarning);
  if (p.counter % 2 == 0)
    SpawnTiedShot(pool, slot, parts, j, u, u.chargeShot, p.angle, 0, kParticleParameter,
                  u.farCharge);
  p.cue = static_cast<int16_t>(p.cue - 1);
}

void RunStage4LaserBeamStep(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                            const Stage4LaserUser& u) {
  EnemyPart& p = parts[j];
  if (p.cue == u.burstValue) {
    RequestSoundEffect(u.burstSound);
    SpawnTiedShot(pool, slot, parts, j, u, u.burstShot, p.angle, 0, kParticleParameter, u.farBurst);
  }
  p.linkActive = 1;
  const int16_t s = SpawnTiedShot(pool, slot, parts, j, u, u.beamShot, LineAngle(p, u),
                                  kBeamSpawnSpeed, 0, u.farBeam);
  // Every third frame a segment shows its own sprite; the body is drawn from the others.
  if (s >= 0)
    EnemyShots[s].anim =
        p.counter % 3 == 0 ? static_cast<int16_t>((p.counter / 3) % 4 + 4) : int16_t{-1};
  p.cue = static_cast<int16_t>(p.cue - 1);
}

void RunStage4Laser(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                    const Stage4LaserUser& u) {
  EnemyPart& p = parts[j];
  BeginStage4LaserFrame(p, u);
  if (p.cue >= u.warningFloor) {
    RunStage4LaserWarningStep(pool, slot, parts, j, u);
  } else if (p.cue < 1) {
    p.linkActive = 0;
  } else {
    RunStage4LaserBeamStep(pool, slot, parts, j, u);
  }
}

// Beam segment: a train of segments 16 px apart along the muzzle line while the part fires; a
// segment that meets terrain cuts the beam at its age for the rest of the sequence, and the count
// running down narrows the beam and ends its harm below 16.
void UpdateStage4LaserShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.drawMargin = 120;
    s.state = 2;
    s.rotated = 1;
    s.additive = 1;
    s.speed = 16;
    s.beamImage = 2;
    s.scale = 100;
    s.beamHalfWidth = 100;
    s.hitSize[0] = 25;
  }
  EnemyPart* part = LinkedPart(s);
  if (part == nullptr || part->cue == 0) {
    s.state = 0;
    return;
  }
  if (part->stopFrame < kNoStop && s.frame >= part->stopFrame) {
    s.state = 0;
    return;
  }
  if (s.anim >= 0 && s.frame % 2 == 0) {
    s.anim += 1;
    if (s.anim > 7) s.anim = 4;
  }
  s.alpha = static_cast<int16_t>(std::min(std::abs(part->cue) * 8, 32767));
  if (s.alpha < 128) s.hitActive = 0;
  bool freed = false;
  if (s.state == 2) {
    if (part->linkActive == 1) s.drawAngle = part->angle;
    SetShotVelocity(s, s.drawAngle, s.speed);
    AnchorShotToPart(s, *part);
    if (s.frame >= 2 && TestTerrainHit(s.x + s.vx, s.y + s.vy, s.x, s.y, 1) >= 0) s.state = 3;
    if (part->linkActive == 1) {
      s.x = s.workReal[2] + s.vx * s.frame;
      s.y = s.workReal[3] + s.vy * s.frame;
    } else {
      s.x += s.vx;
      s.y += s.vy;
    }
  }
  if (s.state >= 3) {
    if (s.state == 3 && s.frame < part->stopFrame) {
      part->stopFrame = static_cast<int16_t>(s.frame);
      part->beamStopped = 1;
    }
    freed = true;
  }
  s.beamEndX = s.workReal[2] + s.vx * part->beamReachLast;
  s.beamEndY = s.workReal[3] + s.vy * part->beamReachLast;
  s.spawnX = s.workReal[2];
  s.spawnY = s.workReal[3];
  s.age = s.frame <= 2 ? static_cast<int16_t>((GameFrame / 2) % 4) : int16_t{100};
  if (part->beamReach < s.frame) {
    part->beamReach = static_cast<int16_t>(s.frame);
    s.alpha = static_cast<int16_t>(-std::abs(s.alpha));
  }
  if (freed) s.state = 0;
}

// Charge particle and burst flash: the common pieces, with a negative size read as positive.
void UpdateStage4LaserChargeShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) s.linkMode = static_cast<int16_t>(std::abs(s.linkMode));
  UpdateBeamChargeShot(slot);
}

void UpdateStage4LaserBurstShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) s.linkMode = static_cast<int16_t>(std::abs(s.linkMode));
  UpdateBeamBurstShot(slot);
}
