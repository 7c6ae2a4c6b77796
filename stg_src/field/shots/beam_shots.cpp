// The pieces of the part-mounted beams (types 8..14): warning dots, beam segments, charge
// particles, the burst flash and the muzzle glow. Each reads the part it is tied to
// (LinkEnemyShot); a piece whose link is missing or lies outside the pools takes its part for
// gone: it goes to state 3 and is then freed, reading nothing.
#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kLive = 2;
constexpr int16_t kNoStop = 9999;
constexpr double kBeamSpeed = 16;
// The warning dot's image base: 0 while it waits at the anchor, 4 once it runs out.
constexpr int16_t kRunningImageBase = 4;
constexpr int16_t kDefaultLinkMode = 100;
constexpr int16_t kParticleLastFrame = 5;
constexpr int16_t kBurstLastFrame = 3;
constexpr int16_t kGlowFullScale = 60;

bool MeetsTerrain(const EnemyShot& s) {
  return TestTerrainHit(s.x + s.vx, s.y + s.vy, s.x, s.y, 1) >= 0;
}

void SetHarmlessPiece(EnemyShot& s) {
  s.hitSize[0] = 4;
  s.rotated = 1;
  s.additive = 1;
  s.hitActive = 0;
  s.collides = 0;
  s.age = 99;
}

// The part of a live piece, or null after sending the piece to state 3 when its link leads
// nowhere or (with mustLive) the part is not live.
EnemyPart* LivePart(EnemyShot& s, bool mustLive) {
  EnemyPart* part = LinkedPart(s);
  if (part == nullptr || (mustLive && part->state != kLive)) {
    s.state = 3;
    return nullptr;
  }
  return part;
}

void RunBeamSegment(int16_t slot, int16_t beamImage, int16_t halfWidth) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 48;
  if (s.state == 1) {
    s.state = 2;
    s.rotated = 1;
    s.additive = 1;
    s.speed = kBeamSpeed;
    s.scale = 100;
    s.beamImage = beamImage;
    s.beamHalfWidth = halfWidth;
    s.hitSize[0] = static_cast<int16_t>(halfWidth / 5);
  }
  EnemyPart* part = LinkedPart(s);
  if (part == nullptr) {
    s.state = s.state == 3 ? 0 : 3;
    return;
  }
  if (part->cue == 0) {
    s.state = 0;
    return;
  }
  if (part->stopFrame < kNoStop && part->stopFrame <= s.frame) {
    s.state = 0;
    return;
  }
  if (s.anim >= 0 && s.frame % 2 == 0) {
    s.anim += 1;
    if (s.anim > 7) s.anim = 4;
  }
  s.alpha = static_cast<int16_t>(std::min(std::abs(part->cue) * 8, 32767));
  if (s.alpha < 128) s.hitActive = 0;
  if (s.state == 2) {
    if (part->linkActive == 1) s.drawAngle = part->angle;
    SetShotVelocity(s, s.drawAngle, kBeamSpeed);
    AnchorShotToPart(s, *part);
    if (s.frame >= 2 && MeetsTerrain(s)) s.state = 3;
    if (part->linkActive == 1) {
      s.x = s.workReal[2] + s.frame * s.vx;
      s.y = s.workReal[3] + s.frame * s.vy;
    } else {
      s.x += s.vx;
      s.y += s.vy;
    }
  }
  if (s.state == 3) {
    // The beam learns where it was cut: the segments from here on end on their next update.
    if (s.frame < part->stopFrame) {
      part->stopFrame = static_cast<int16_t>(s.frame);
      part->beamStopped = 1;
    }
    s.state = 0;
  }
  s.beamEndX = s.workReal[2] + part->beamReachLast * s.vx;
  s.beamEndY = s.workReal[3] + part->beamReachLast * s.vy;
  s.spawnX = s.workReal[2];
  s.spawnY = s.workReal[3];
  s.age = s.frame <= 2 ? static_cast<int16_t>((GameFrame / 2) % 4) : int16_t{100};
  // The farthest segment's own sprite is not drawn: the beam's end flash stands there.
  if (part->beamReach < s.frame) {
    part->beamReach = static_cast<int16_t>(s.frame);
    s.alpha = static_cast<int16_t>(-std::abs(s.alpha));
  }
}

}  // namespace

// Waits at the anchor for two frames, then runs out along the line the beam will take.
void UpdateWarningLineShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 16;
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.additive = 1;
    s.alpha = 32;
    s.linkMode = 0;  // steps run out
    s.workWord = 0;  // image base
    s.hitActive = 0;
    s.age = 99;
  }
  if (s.state == 2) {
    EnemyPart* part = LivePart(s, true);
    if (part == nullptr) return;
    if (part->linkActive == 1) s.drawAngle = part->angle;
    SetShotVelocity(s, s.drawAngle, s.speed);
    AnchorShotToPart(s, *part);
    if (s.workWord == kRunningImageBase) s.linkMode += 1;
    if (part->linkActive == 1) {
      s.x = s.workReal[2] + s.linkMode * s.vx;
      s.y = s.workReal[3] + s.linkMode * s.vy;
    } else {
      s.x += s.vx;
      s.y += s.vy;
    }
    if (MeetsTerrain(s)) s.state = 3;
    if (s.frame % 2 == 0) s.workWord = kRunningImageBase;
    s.anim = static_cast<int16_t>(s.workWord + (GameFrame / 2) % 3);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}

void UpdateBeamShot(int16_t slot) { RunBeamSegment(slot, 1, 40); }

void UpdateThinBeamShot(int16_t slot) { RunBeamSegment(slot, 0, 25); }

// Falls in toward the anchor from a random angle, closing in faster as it goes. Link mode is its
// size in percent (0 read as 100).
void UpdateBeamChargeShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 8;
  if (s.state == 1) {
    s.state = 2;
    SetHarmlessPiece(s);
    if (s.linkMode == 0) s.linkMode = kDefaultLinkMode;
    s.workWord = static_cast<int16_t>(LcgRandom() % 1024);  // the particle's angle
    s.scale = 0;
    s.anim = 0;
    s.beamHalfWidth = kParticleLastFrame;
    s.vx = s.linkMode * 90 / 100;  // radius
    s.vy = 0.1;                    // shrink
    s.alpha = 255;
  }
  if (s.state == 2) {
    EnemyPart* part = LinkedPart(s);
    if (part == nullptr || s.vx <= 0 || part->state != kLive) {
      s.state = 3;
      return;
    }
    if (part->linkActive == 1) {
      s.drawAngle = static_cast<int16_t>(WrapAngle(part->angle));
      AnchorShotToPart(s, *part);
    }
    s.scale = ApproachInt(s.scale, static_cast<int16_t>(s.linkMode / 10), s.linkMode);
    if (s.anim < s.beamHalfWidth && s.frame % 3 == 0) s.anim += 1;
    s.x = s.workReal[2] + CosineTable[WrapAngle(s.workWord)] * s.vx;
    s.y = s.workReal[3] + SineTable[WrapAngle(s.workWord)] * s.vx;
    s.vx -= s.vy;
    // Sizes above 100 would make the period 0: they speed up every frame.
    const int period = std::max(100 / s.linkMode, 1);
    if (s.frame % period == 0) s.vy += 0.3;
  } else if (s.state == 3) {
    s.state = 0;
  }
}

// Grows at the anchor it found on its first live update, then plays its four frames.
void UpdateBeamBurstShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 52;
  if (s.state == 1) {
    s.state = 2;
    SetHarmlessPiece(s);
    if (s.linkMode == 0) s.linkMode = kDefaultLinkMode;
    s.workWord = 0;  // anchored
    s.scale = 100;
    s.anim = 0;
    s.beamHalfWidth = kBurstLastFrame;
  }
  if (s.state == 2) {
    if (s.workWord == 0) {
      EnemyPart* part = LivePart(s, false);
      if (part == nullptr) return;
      if (part->linkActive == 1) s.drawAngle = part->angle;
      AnchorShotToPart(s, *part);
      s.workWord = 1;
    }
    s.x = s.workReal[2];
    s.y = s.workReal[3];
    s.scale = static_cast<int16_t>(s.scale + s.linkMode / 10);
    if (s.scale >= 4 * s.linkMode && s.frame % 4 == 0) s.anim += 1;
    if (s.anim > s.beamHalfWidth) s.state = 0;
  } else if (s.state == 3) {
    s.state = 0;
  }
}

// Sits on the muzzle while the part aims; the caller picks the image by the angle's parity.
void UpdateMuzzleGlowShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  s.drawMargin = 37;
  if (s.state == 1) {
    s.state = 2;
    SetHarmlessPiece(s);
    s.linkMode = 0;
    s.workWord = 0;
    s.scale = 0;
    s.anim = s.spawnAngle % 2 != 0 ? 1 : 0;
  }
  if (s.state == 2) {
    EnemyPart* part = LivePart(s, true);
    if (part == nullptr) return;
    if (part->linkActive != 1) {
      s.state = 0;
      return;
    }
    s.drawAngle = static_cast<int16_t>(WrapAngle(part->angle));
    AnchorShotToPart(s, *part);
    s.x = s.workReal[2];
    s.y = s.workReal[3];
    s.scale = std::min<int16_t>(s.scale + 4, kGlowFullScale);
  } else if (s.state == 3) {
    s.state = 0;
  }
}
