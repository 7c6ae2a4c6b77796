#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

// The opening: the mothership (pool 0, type 14) carries the ship and its own scenery as parts
// and runs the scene on GameFrame; the two beam cannons (types 15, 16) it calls sweep the screen
// from beyond its right edge. Mothership words: imageFrame 0 intact, 1 sinking, 2 broken;
// intWork0 1 once the hull is blown; vx, vy the sinking drift. Part words: cue an anchor's
// under-fire flag or an emitter's beam count; work0 the hatch's open flag; work1 a shell's
// delay; startX the ship's fall speed or a shell's distance from its anchor.

namespace {

constexpr int16_t kHighCannon = 15;
constexpr int16_t kLowCannon = 16;
constexpr int16_t kBgObjectType = 0;
constexpr int16_t kGlowType = 2;
constexpr int16_t kAfterNone = -1;

constexpr int32_t kHatchSlot = 2;
constexpr int32_t kLastFlameSlot = 6;
constexpr int kAnchors = 4;
constexpr int32_t kHullBlownFrame = 170;
constexpr double kCrawlSpeed = 0.5;
constexpr double kSinkGravity = 0.009375;
constexpr double kBreakUpLine = 270;

constexpr double kShipLeavesLine = 192;
constexpr double kShipFallSpeed = 2;
constexpr double kShipGlideBrake = 0.04;

constexpr double kShellRange = 800;
constexpr double kShellStep = 16;
constexpr int16_t kShellHidden = 6;
constexpr int16_t kShellLaunchSound = 33;
constexpr int16_t kShellLandSound = 30;
constexpr int16_t kLastShellVariant = 10;  // the one above it re-arms its anchor

constexpr double kCannonScreenX = 720;
constexpr int16_t kCannonBeamType = 15;  // owners from here on fire the reduced beam

void Tick(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

struct PartRow {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t parent;
  int16_t variant;
};

constexpr PartRow kPartsA[] = {
    {0, 25, -32, 0, 0, 1, 0},     {1, 8, -128, 48, 0, -1, 0},   {2, 9, -128, 124, 0, -1, 0},
    {3, 10, -320, 120, 0, -1, 0}, {4, 10, -266, 120, 0, -1, 0}, {5, 10, 10, 114, 0, -1, 0},
    {6, 10, 64, 114, 0, -1, 0},
};
// Anchors 0..3 on the hull, then three shells aimed at each, their variant the launch delay.
constexpr PartRow kPartsB[] = {
    {0, 11, -399, 16, 0, -1, 0}, {1, 11, -290, 48, 0, -1, 0}, {2, 11, 55, 56, 0, -1, 0},
    {3, 11, 142, 33, 0, -1, 0},  {4, 11, 0, 0, 64, 0, 2},     {5, 11, 0, 0, 64, 0, 8},
    {6, 11, 0, 0, 64, 0, 14},    {7, 11, 0, 0, 32, 1, 2},     {8, 11, 0, 0, 32, 1, 8},
    {9, 11, 0, 0, 32, 1, 14},    {10, 11, 0, 0, 48, 2, 2},    {11, 11, 0, 0, 48, 2, 8},
    {12, 11, 0, 0, 48, 2, 14},   {13, 11, 0, 0, 16, 3, 2},    {14, 11, 0, 0, 16, 3, 8},
    {15, 11, 0, 0, 16, 3, 14},
};

void AttachAll(EnemyPart* parts, const PartRow* rows, int n) {
  for (int k = 0; k < n; ++k) {
    const PartRow& r = rows[k];
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].parentPart = r.parent;
    parts[r.slot].variant = r.variant;
  }
}

// The scene's script by GameFrame: the cannons called in, the blasts of the ground fire under
// the hull, and the anchors put under fire.
struct ScriptEvent {
  int32_t frame;
  int16_t cannon;  // 0 none
  double blastX;   // screen x of a pool-3 type-0 spawn at screen y 400; negative none
  int anchor;      // -1 none
};
constexpr ScriptEvent kScript[] = {
    {2, kHighCannon, -1, -1}, {10, 0, 200, 1}, {20, 0, 640, -1},        {30, 0, 480, 3},
    {40, 0, 160, -1},         {50, 0, -1, 0},  {70, kLowCannon, -1, 2}, {90, 0, -1, 1},
    {110, 0, -1, 3},          {130, 0, -1, 0}, {150, 0, -1, 2},         {155, 0, -1, 1},
    {165, 0, -1, 3},          {175, 0, -1, 0}, {185, 0, -1, 2},
};

double CannonScreenY(int32_t type) { return type == kHighCannon ? 120 : 200; }

void RunScript(EnemyObject& o) {
  for (const ScriptEvent& e : kScript) {
    if (e.frame != GameFrame) continue;
    if (e.blastX >= 0) {
      SpawnPool3Object(ScreenToWorldX(e.blastX), ScreenToWorldY(400), kBgObjectType, 0, kAfterNone);
    }
    if (e.anchor >= 0) o.partsB[e.anchor].cue = 1;
    if (e.cannon != 0) {
      SpawnPool0Enemy(ScreenToWorldX(kCannonScreenX), ScreenToWorldY(CannonScreenY(e.cannon)),
                      e.cannon, 0, -1, 0);
    }
  }
  if (GameFrame == kHullBlownFrame) {
    o.intWork0 = 1;
    for (int32_t j = kHatchSlot; j <= kLastFlameSlot; ++j) {
      if (o.partsA[j].state != 0) o.partsA[j].state = 3;
    }
    o.imageFrame = 1;
  }
}

void SetUpBokan(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(290);
  o.imageFrame = 0;
  o.vx = o.vy = o.speed = 0;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = 440;
  o.despawnMarginY = 4000;
  o.cullMarginX = 400;
  o.cullMarginY = 144;
  AttachAll(o.partsA, kPartsA, static_cast<int>(std::size(kPartsA)));
  AttachAll(o.partsB, kPartsB, static_cast<int>(std::size(kPartsB)));
  o.partCountA = static_cast<int16_t>(std::size(kPartsA));
  o.partCountB = static_cast<int16_t>(std::size(kPartsB));
  // A restart after a death no longer replays the opening.
  if (CheckpointIndex == 0) CheckpointIndex = 1;
  SpawnPool3Object(ScreenToWorldX(640), ScreenToWorldY(400), kBgObjectType, 0, kAfterNone);
  SpawnPool3Object(ScreenToWorldX(320), ScreenToWorldY(0), kGlowType, 0, kAfterNone);
}

void Sink(EnemyObject& o) {
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  o.vx = -ScrollDeltaX;  // from the second sinking frame on the hulk keeps its world x
  o.vy += kSinkGravity;
  if (o.frame % 32 == 0) {
    const int r1 = LcgRandom();
    const int r2 = LcgRandom();
    SpawnLargeExplosion(o.x - 360 + r2 % 720, o.y + r1 % 160, 1, -1);
  }
}

void BreakUp(EnemyObject& o) {
  ScreenFlashWhite = 255;
  StartScreenShake(64);
  o.imageFrame = 2;
  const double y = o.y + 80;
  SpawnBossExplosion(o.x - 320, y, 1);
  SpawnMediumExplosion(o.x - 240, y, 1, -1);
  SpawnBossExplosion(o.x - 160, y, 1);
  SpawnBossExplosion(o.x, y, 1);
  SpawnBossExplosion(o.x + 160, y, 1);
  SpawnMediumExplosion(o.x + 240, y, 1, -1);
  for (int j = 0; j < o.partCountB && j < kPartsBCount; ++j) o.partsB[j].state = 0;
}

// What the opening's plain parts set up alike: live, no life, no hit, no work words.
void SetUpPlain(EnemyPart* parts, int16_t j, int32_t cullX, int32_t cullY) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = -1;
  p.imageFrame = 0;
  ClearPartHitCircles(parts, j);
  p.hitMode = 0;
  p.cue = p.work0 = p.work1 = 0;
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
}

void ExplodePart(EnemyPart& p) {
  p.state = 0;
  SpawnLargeExplosion(p.x, p.y, 1, -1);
}

void StepAnchor(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  FollowParentObject(pool, slot, parts, j, 0);
  if (pool[slot].imageFrame != 1 || p.counter % 6 != 0) return;
  // The burning hull throws blasts up and to the left.
  const int d = LcgRandom() % 64;
  const int r = LcgRandom() % 1024;
  SpawnEffect(1, p.x, p.y, static_cast<int16_t>(r), static_cast<int16_t>(736 + d), 4);
}

void LandShell(EnemyPart& p, EnemyPart& anchor) {
  p.startX = 0;
  p.work1 = -1;  // spent until its anchor re-arms
  anchor.imageFrame = 1;
  RequestSoundEffect(kShellLandSound);
  SpawnEffect(0, p.x, p.y, static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
  StartScreenShake(4);
  p.imageFrame = kShellHidden;
  if (p.variant > kLastShellVariant) anchor.cue = 0;
}

void StepShell(EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  if (FollowParentPart(parts, p.parentPart, parts, j) == 0) return;
  EnemyPart& anchor = parts[p.parentPart];
  if (anchor.cue == 0) {
    p.startX = kShellRange;
    p.imageFrame = kShellHidden;
    p.work1 = p.variant;
  } else if (anchor.cue == 1) {
    if (p.work1 > 0) {
      p.work1 = static_cast<int16_t>(p.work1 - 1);
      if (p.work1 == 0) RequestSoundEffect(kShellLaunchSound);
    }
    if (p.work1 == 0) {
      p.startX -= kShellStep;
      if (p.startX <= 0) {
        LandShell(p, anchor);
      } else {
        if (p.counter % 3 == 0) p.imageFrame += 1;
        if (p.imageFrame > 5) p.imageFrame = 2;
      }
    }
  }
  const int16_t a = static_cast<int16_t>(WrapAngle(p.baseAngle));
  p.offsetX = CosineTable[a] * p.startX;
  p.offsetY = SineTable[a] * p.startX;
}

}  // namespace

void UpdateStage1Bokan(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpBokan(slot);
  } else if (o.state == 2) {
    RunScript(o);
    if (o.intWork0 > 0 && o.imageFrame == 1) {
      Sink(o);
      if (o.y >= ScreenToWorldY(kBreakUpLine)) BreakUp(o);
    }
  }
  // The scroll crawls until the hull is blown, whatever the map asks.
  if (o.intWork0 == 0) ScrollSpeed = kCrawlSpeed;
}

namespace {

void UpdateBeamCannon(int16_t slot, int16_t angle, double screenY) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.vx = o.vy = o.speed = 0;
    o.airFrames = 0;
    ClearEnemyHitCircles(EnemyPool0, slot);
    o.hitMode = 0;
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    o.despawnMarginX = 120;
    o.despawnMarginY = 80;
    o.cullMarginX = o.cullMarginY = 0;
    o.angle = angle;
    AttachPart(o.partsA, 0, 3, 0, 0, angle, 0);
    o.partCountA = 1;
    return;
  }
  if (o.state != 2) return;
  o.x = ScreenToWorldX(kCannonScreenX);
  o.y = ScreenToWorldY(screenY);
  EnemyPart& emitter = o.partsA[0];
  if (o.intWork0 == 0) {
    emitter.cue = kTiedBeamStart;
    o.intWork0 = 1;
  } else if (emitter.cue == 0) {
    o.state = 0;
  }
}

}  // namespace

void UpdateStage1BeamCannonHigh(int16_t slot) {
  UpdateBeamCannon(slot, 544, CannonScreenY(kHighCannon));
}
void UpdateStage1BeamCannonLow(int16_t slot) {
  UpdateBeamCannon(slot, 576, CannonScreenY(kLowCannon));
}

void UpdateStage1BeamEmitterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& owner = pool[slot];
  Tick(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.imageFrame = -1;
    p.cue = p.work0 = p.work1 = 0;
  }
  if (p.state > 1) {
    p.angle = owner.angle;
    FollowParentObject(pool, slot, parts, partIndex, 0);
    RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(0, owner.type >= kCannonBeamType));
    // The emitter goes silently with its owner.
    if (p.state > 2) p.state = 0;
  }
  p.drawOffsetY = owner.drawOffsetY;
}

void UpdateStage1JikiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = p.work0 = p.work1 = 0;
    p.startX = kShipFallSpeed;
    p.imageFrame = p.variant;
    p.cullMarginX = p.cullMarginY = 32;
    return;
  }
  if (p.state != 2) return;
  if (p.y < ScreenToWorldY(kShipLeavesLine)) {
    // Still in the hull: it slides down through the hatch.
    p.offsetY += p.startX;
    FollowParentObject(pool, slot, parts, partIndex, 0);
    return;
  }
  p.startX = ApproachValue(p.startX, kShipGlideBrake, 0);
  p.y += p.startX;
  p.x += ScrollDeltaX;
  if (p.startX != 0) return;
  // The hand-over: from here the player flies.
  p.state = 0;
  SpeedUpTimer = 3;
  PlayerX = p.x;
  PlayerY = p.y;
  PlayerActive = 1;
  BossState = 0;
}

void UpdateStage1JetFlamePart(EnemyObject*, uint16_t, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpPlain(parts, partIndex, 48, 48);
    p.blend = 511;
  } else if (p.state == 2) {
    FollowParentPart(parts, p.parentPart, parts, partIndex);
    if (p.counter % 4 == 0) p.imageFrame += 1;
    if (p.imageFrame > 3) p.imageFrame = 0;
  } else if (p.state == 3) {
    p.state = 0;
  }
  // It goes with the ship at the hand-over.
  const int parent = p.parentPart;
  const bool parentGone = parent < 0 || parent >= PartArrayCapacity(parts) || parent == partIndex ||
                          parts[parent].state == 0 || parts[parent].state > 2;
  if (parentGone) p.state = 0;
}

void UpdateStage1BokanHatchPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpPlain(parts, partIndex, 96, 32);
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 0);
    if (p.counter == 6) p.work0 = 1;
    if (p.counter == 76) p.work0 = 0;
    if (p.counter % 4 == 0) {
      if (p.work0 == 1 && p.imageFrame < 5) p.imageFrame += 1;
      if (p.work0 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
    }
  } else if (p.state == 3) {
    ExplodePart(p);
  }
}

void UpdateStage1BokanVerniaPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpPlain(parts, partIndex, 32, 128);
    p.blend = 511;
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 0);
    p.imageFrame += 1;
    if (p.imageFrame > 3) p.imageFrame = 0;
  } else if (p.state == 3) {
    ExplodePart(p);
  }
}

void UpdateStage1HougekiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpPlain(parts, partIndex, 53, 37);
    p.startX = 0;
    if (p.parentPart == 0) p.angle = static_cast<int16_t>(WrapAngle(p.angle + 512));
  } else if (p.state == 2) {
    // A shell's anchor is a part of the same array; a parent index outside it frees the shell.
    if (p.parentPart < 0) {
      StepAnchor(pool, slot, parts, partIndex);
    } else {
      StepShell(parts, partIndex);
    }
  } else if (p.state == 3) {
    ExplodePart(p);
  }
}
