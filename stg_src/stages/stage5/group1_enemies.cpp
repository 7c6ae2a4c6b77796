// Stage 5's pool-1 enemies and its background objects: the shutters whose panels slide across a
// passage, the rammer that brakes, fans out a burst and charges, the invisible launcher with its
// column of climbing fliers, the jet that chases a point behind the player and drops bombs, the
// ring of sixteen gun segments, the solid block, and the pool-3 animations beside them.
#include <algorithm>
#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kFollowerPartType = 2;
constexpr int16_t kRammerGunPartType = 4;
constexpr int16_t kFlierGunPartType = 5;
constexpr int16_t kFlamePartType = 7;
constexpr int16_t kPanelPartType = 8;
constexpr int16_t kSegmentPartType = 9;
constexpr int16_t kLaunchedFlierType = 15;
constexpr int16_t kWaypointType = 18;
constexpr int16_t kBlockType = 19;
constexpr int16_t kLoopAnimType = 0;
constexpr int16_t kLauncherAnimType = 1;
constexpr int16_t kShellType = 2;  // the play field's shootable shell in pool 2
constexpr int16_t kRingShotType = 17;
constexpr int16_t kFiresAfterOnScreen = 32;
constexpr int kRingSegments = 16;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }

void SetLife(EnemyObject& o, int32_t life) {
  o.life = o.maxLife = o.scoreBase = life > 0 ? ScaleLifeByRank(life) : life;
}

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

// A gun part whose owner has died: its cue, cut to 30, runs down by 3 a frame and the part goes
// at 1 or less.
void FadeGunPart(EnemyPart& p) {
  p.cue = static_cast<int16_t>(std::min<int>(p.cue, 30) - 3);
  if (p.cue <= 1) p.state = 0;
}

// The part's shared set-up: no life, inert, no circles, these cull margins and cell.
void SetUpInertPart(EnemyPart* parts, int j, int32_t life, int32_t cullX, int32_t cullY,
                    int32_t imageFrame) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = life;
  p.hitMode = 0;
  ClearPartHitCircles(parts, j);
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
  p.imageFrame = imageFrame;
}

}  // namespace

// ---- Shutter (type 12, panels part type 8) ------------------------------------------------------
// The units digit of variant picks the panel size; 10 and above start the panels open. A panel's
// work0 is 1 while it closes, 0 while it opens; cue counts toward its next toggle.
namespace {

struct PanelSize {
  int16_t halfHeight;
  double closed;  // |offsetY| closed and open
  double open;
  double slide;
};
constexpr PanelSize kPanelSizes[3] = {{20, 20, 60, 2.4}, {40, 40, 120, 4.8}, {60, 60, 180, 7.2}};

bool IsUpperPanel(const EnemyPart& p) { return p.variant % 2 == 0; }
const PanelSize& SizeOf(const EnemyPart& p) { return kPanelSizes[(p.variant / 2) % 3]; }

}  // namespace

void UpdateStage5Shutter(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    const int size = o.variant % 10;
    if (o.variant < 0 || size > 2) {
      LogRefusedMapValue("stage 5 shutter variant", o.variant);
      o.state = 0;
      return;
    }
    o.state = 2;
    SetLife(o, -1);
    o.hitMode = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.solid = 1;
    SetMargins(o, 160, 160, 20, 120);
    o.imageFrame = size;
    o.y += 20;
    const PanelSize& s = kPanelSizes[size];
    const double start = o.variant >= 10 ? s.open : s.closed;
    AttachPart(o.partsA, 0, kPanelPartType, 0, -start, 0, 2 * size);
    o.partsA[0].variant = static_cast<int16_t>(2 * size);
    AttachPart(o.partsA, 1, kPanelPartType, 0, start, 0, 2 * size + 1);
    o.partsA[1].variant = static_cast<int16_t>(2 * size + 1);
    o.partCountA = 2;
  }
  if (o.state >= 3) o.state = 0;
}

void UpdateStage5ShutterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const PanelSize& size = SizeOf(p);
  const double sign = IsUpperPanel(p) ? -1 : 1;
  if (p.state == 1) {
    SetUpInertPart(parts, partIndex, -1, 20, size.halfHeight, p.variant);
    SetSolidPartBox(parts, partIndex, 12, size.halfHeight);
    p.cue = 0;
    p.work0 = p.offsetY == size.closed * sign ? 1 : 0;
    if (GetDifficulty() == 0) p.work0 = 0;
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  MarkSolidPartPresent();
  p.cue = CountUpSaturated(p.cue);
  if (p.cue == ComputeFireIntervalFlat(p.work0 == 1 ? 20 : 30, 0)) {
    p.work0 = p.work0 == 1 ? 0 : 1;
    p.cue = 0;
  }
  if (GetDifficulty() == 0) p.work0 = 0;
  p.offsetY = ApproachValue(p.offsetY, size.slide, (p.work0 == 1 ? size.closed : size.open) * sign);
}

// ---- Rammer (type 13, gun part type 4) ----------------------------------------------------------
// intWork0 0 while it brakes, 1 once its gun has been told to fire; angle2 the one aim it charges
// on (-1 before it is taken). The gun's work1 is the fan's half-width.
void UpdateStage5Rammer(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, 280);
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 20, -3, -18);
    SetEnemyHitCircle(EnemyPool1, slot, 1, 20, -3, 18);
    SetEnemyHitCircle(EnemyPool1, slot, 2, 10, 29, -20);
    SetEnemyHitCircle(EnemyPool1, slot, 3, 10, 29, 20);
    SetMargins(o, 120, 120, 64, 64);
    o.imageFrame = 0;
    o.x += 20;
    o.y += GetVariantYShift(o.variant);
    o.speed = 4;
    o.angle = o.heading = 512;
    o.angle2 = -1;
    o.vx = -4;
    o.vy = 0;
    o.phase = 0;
    o.intWork0 = 0;
    AttachPart(o.partsB, 0, kRammerGunPartType, 0, 0, 512, 0);
    o.partCountB = 1;
    if (IsOffScreenXY(o.x, o.y, 2 * o.despawnMarginX, 2 * o.despawnMarginY, false, false)) {
      o.state = 0;
      return;
    }
  }
  if (o.state == 2) {
    CountFramesOnScreen(o);
    EnemyPart& gun = o.partsB[0];
    if (o.intWork0 == 0) {
      if (WorldToScreenX(o.x) < 630) {
        o.speed = ApproachValue(o.speed, 0.08, 0);
        if (o.speed == 0) {
          o.intWork0 = 1;
          gun.cue = 1;
        }
      }
    } else if (gun.cue == 0) {
      if (o.angle2 < 0) {
        o.angle2 = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
      } else {
        if (o.speed < 3.6) o.speed += 0.05;
        o.angle = static_cast<int16_t>(TurnTowardAngle(o.angle2, o.angle, 4));
      }
    }
    o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
    o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
    const double oldX = o.x, oldY = o.y;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || IsPointInSolidPart(o.x, o.y, 1, slot))
      o.state = 3;
    if (o.frame % 3 == 0) o.imageFrame = (o.imageFrame + 1) % 6;
  }
  if (o.state >= 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

// A burst: three shots, at the gun's angle and that angle -/+ the half-width, every
// I(8) at I(2) of cue while the half-width closes in by 3 a frame; it ends at 32.
void UpdateStage5RammerGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) SetUpInertPart(parts, partIndex, 0, 32, 32, 0);
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.state > 2) {
    FadeGunPart(p);
    return;
  }
  const int16_t rank = pool[slot].rank;
  if (p.cue <= 0) {
    p.work1 = 192;
    p.angle =
        static_cast<int16_t>(TurnTowardAngle(AimAngle(p.x, p.y, PlayerX, PlayerY), p.angle, 8));
    return;
  }
  p.cue = CountUpSaturated(p.cue);
  if (p.cue % ComputeFireIntervalFlat(8, rank) == ComputeFireIntervalFlat(2, rank)) {
    const double x = RotateOffsetX(p.x, 16, 0, p.angle), y = RotateOffsetY(p.y, 16, 0, p.angle);
    const double speed = ScaleShotSpeed(4.4);
    SpawnEnemyShot(0, p.angle, speed, x, y, 1);
    SpawnEnemyShot(0, Wrap(p.angle - p.work1), speed, x, y, 1);
    SpawnEnemyShot(0, Wrap(p.angle + p.work1), speed, x, y, 1);
  }
  p.work1 = static_cast<int16_t>(p.work1 - 3);
  if (p.work1 <= 32) p.cue = 0;
}

// ---- Launcher (type 14) and launched flier (type 15, gun part type 5) ---------------------------
// The launcher's realWork0 is its release clock (vy a frame, one flier at 80). The flier's
// intWork2 is 1 when it was launched for the vertical loop (removed at the loop's seams);
// realWork0 its climb.
namespace {

int16_t LaunchAngle(const EnemyObject& launcher) { return launcher.variant > 29 ? 1 : 0; }

}  // namespace

void UpdateStage5ZakoLauncher(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.x += 20;
    if (WorldToScreenX(o.x) < 320) {
      o.state = 0;
      return;
    }
    o.state = 2;
    SetLife(o, -1);
    o.hitMode = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 30, 0, 0);
    SetMargins(o, 40, 3960, 0, 0);
    o.imageFrame = -1;
    o.vy = 1.6;
    o.realWork0 = 0;
    SpawnPool3Object(o.x, o.y - 48, kLauncherAnimType, 0, -1);
    if (o.variant == 29) {
      o.state = 0;
      return;
    }
    const int n = o.variant == 30 ? 2 : o.variant;
    for (int k = 0; k < n; ++k) {
      double y = o.y - 80.0 * k;
      if (y <= 0) y += MapHeight * 40.0;
      SpawnPool1Enemy(o.x, y, kLaunchedFlierType, LaunchAngle(o), -1, 0);
    }
  }
  if (o.state == 2) {
    o.realWork0 += o.vy;
    if (o.realWork0 >= 80) {
      SpawnPool1Enemy(o.x, o.y, kLaunchedFlierType, LaunchAngle(o), -1, 0);
      o.realWork0 = 0;
    }
  }
  if (o.state >= 3) o.state = 0;
}

void UpdateStage5LaunchedZako(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.intWork2 = o.angle != 0 ? 1 : 0;
    SetLife(o, 10);
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 16, 0, 0);
    SetMargins(o, 80, 3960, 32, 32);
    o.imageFrame = 0;
    o.heading = o.angle = 0;
    o.vx = 0;
    o.vy = -1.6;
    o.phase = 0;
    o.realWork0 = 0;
    AttachPart(o.partsB, 0, kFlierGunPartType, 0, 0, 0, 0);
    AttachPart(o.partsB, 1, kFlierGunPartType, 0, 0, 0, 4);
    o.partCountB = 2;
  }
  if (o.state == 2) {
    if (o.intWork2 == 1 && ((o.y > -40 && o.y < -20) || (o.y > 920 && o.y < 940))) o.state = 4;
  }
  if (o.state == 2) {
    const double oldY = o.y;
    o.y += o.vy;
    o.realWork0 += 1.6;
    if (o.frame % 4 == 0) o.imageFrame = (o.imageFrame + 1) % 6;
    CountFramesOnScreen(o);
    if (o.phase > kFiresAfterOnScreen &&
        o.frame % ComputeFireInterval(80, o.rank) == ComputeFireInterval(20, o.rank) &&
        ScrollSpeed < 4 && IsHarderThanEasy()) {
      o.partsB[PlayerX < o.x ? 0 : 1].cue = 1;
    }
    if (o.realWork0 > 40 && TestTerrainHit(o.x, o.y, o.x, oldY, 1) >= 0) o.state = 4;
  }
  if (o.state == 3) SpawnSmallExplosion(o.x, o.y, 1);
  if (o.state >= 3) o.state = 0;
}

// Slot 0 the left gun (cells 0..3), slot 1 the right (4..7): on its cue it opens over 15 frames
// and fires one aimed shot kept to its side.
void UpdateStage5ZakoGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const bool left = partIndex == 0;
  const int32_t first = left ? 0 : 4;
  if (p.state == 1) SetUpInertPart(parts, partIndex, 0, 24, 16, first);
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.state > 2) {
    FadeGunPart(p);
    return;
  }
  if (p.cue > 0) {
    p.cue = CountUpSaturated(p.cue);
    if (p.cue % 3 == 0 && p.imageFrame < first + 3) p.imageFrame += 1;
    if (p.cue == 15) {
      const double x = p.x + (left ? -10 : 10), y = p.y - 2;
      const int16_t aim = static_cast<int16_t>(AimAngle(x, y, PlayerX, PlayerY));
      const int16_t angle =
          left ? ClampAngleToArc(aim, 432, 592, 0) : ClampAngleToArc(aim, -80, 80, 0);
      SpawnEnemyShot(0, angle, ScaleShotSpeed(2.5), x, y, 1);
      p.cue = 0;
    }
  } else if (p.counter % 3 == 0 && p.imageFrame > first) {
    p.imageFrame -= 1;
  }
}

// ---- Jet (type 16, flame part type 7) -----------------------------------------------------------
// intWork0 the bomb clock, intWork2 the frames a steering mark still holds, intWork3 the mark's
// heading (-1 none).
namespace {

void SteerJetByMarks(EnemyObject& o) {
  if (SolidEnemyTimer <= 0) return;
  for (int k = 0; k < kEnemyPool1Size; ++k) {
    const EnemyObject& other = EnemyPool1[k];
    if (&other == &o || other.state != 2 || other.solid != 1) continue;
    const double radius = other.hitCircles.size[0] * (other.type == kWaypointType ? 1 : 4);
    if (!CirclesOverlap(o.x, o.y, other.x, other.y, 8, radius)) continue;
    if (other.type == kWaypointType) {
      o.intWork3 = Wrap(other.variant * 256 + 768);
      o.intWork2 = 8;
    } else if (other.type == kBlockType) {
      o.y += 2;
    } else {
      o.state = 3;
    }
    return;
  }
}

void DropJetBombs(EnemyObject& o) {
  if (o.frame % ComputeFireInterval(200, o.rank) == ComputeFireInterval(80, o.rank) &&
      o.facing % 2 == 0)
    o.intWork0 = 1;
  if (o.intWork0 <= 0) {
    if (o.frame % 3 == 0 && o.imageFrame > 0) o.imageFrame -= 1;
    return;
  }
  o.intWork0 += 1;
  if (o.intWork0 % 3 == 0 && o.imageFrame < 3) o.imageFrame += 1;
  if (o.intWork0 % 8 == 0 && o.intWork0 >= 16 && o.intWork0 <= 40) {
    for (int dy : {-20, 20}) {
      SpawnPool2Enemy(RotateOffsetX(o.x, 30, dy, o.angle), RotateOffsetY(o.y, 30, dy, o.angle),
                      kShellType, 0);
    }
  }
  if (o.intWork0 > 40) o.intWork0 = 0;
}

}  // namespace

void UpdateStage5Jet(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.acceptDir = -1;  // only a jet met while the view backs up stays
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, 80);
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 26, 0, 0);
    SetEnemyHitCircle(EnemyPool1, slot, 1, 12, 34, 0);
    SetMargins(o, 240, 240, 64, 64);
    o.imageFrame = 0;
    o.x -= 64;
    o.y += GetVariantYShift(o.variant);
    o.speed = 4.8;
    o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
    o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
    o.heading = o.angle = 0;
    o.intWork0 = o.intWork2 = 0;
    o.intWork3 = -1;
    AttachPart(o.partsA, 0, kFlamePartType, 0, 0, 0, 0);
    o.partCountA = 1;
  }
  if (o.state == 2) {
    const double chaseX = std::max(PlayerX - 240, ScreenToWorldX(32)), chaseY = PlayerY;
    const double screenY = WorldToScreenY(o.y);
    const bool inBand = screenY >= -64 && screenY <= 464;
    const int aim = inBand && o.frame <= 320 ? AimAngle(o.x, o.y, chaseX, chaseY) : 0;
    o.heading = o.intWork3 < 0 ? static_cast<int16_t>(TurnTowardAngle(aim, o.heading, 8))
                               : static_cast<int16_t>(TurnTowardAngle(o.intWork3, o.heading, 16));
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
    const double oldX = o.x, oldY = o.y;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    int lean = 0;
    if (o.speed >= 1.6) lean = o.heading > 511 ? 1024 - (1024 - o.heading) / 8 : o.heading / 8;
    o.angle = static_cast<int16_t>(TurnTowardAngle(lean, o.angle, 2));
    if (o.frame <= 320 && o.intWork3 <= 0) {
      if (inBand) {
        const bool near = SquaredDistance(o.x, o.y, chaseX, chaseY) < 6400;
        o.speed = ApproachValue(o.speed, 0.1, near ? 0.9 : 2.7);
      } else {
        o.speed = ApproachValue(o.speed, 0.01, 0);
      }
    } else {
      o.speed = ApproachValue(o.speed, 0.1, 4.8);
    }
    DropJetBombs(o);
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
    if (o.state == 2) SteerJetByMarks(o);
    if (o.intWork2 > 0) o.intWork2 -= 1;
    if (o.intWork2 == 0) o.intWork3 = -1;
  }
  if (o.state >= 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

// The jet's flame: leans with it and flickers; a flame that is destroyed takes the jet with it.
void UpdateStage5JetPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& jet = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpInertPart(parts, partIndex, -1, 64, 64, 0);
    p.blend = 511;
  }
  if (p.state == 3) {
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    jet.state = 3;
    p.state = 0;
    return;
  }
  p.angle = Wrap(jet.angle + p.baseAngle);
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.counter % 3 == 0) p.imageFrame = (p.imageFrame + 1) % 4;
}

// ---- Ring (type 17, segment part type 9) --------------------------------------------------------
// intWork0 the pair that fires next (0..7), intWork2 which of the pair.
void UpdateStage5Ring(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, -1);
    o.hitMode = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.solid = 1;
    SetMargins(o, 160, 160, 0, 0);
    o.imageFrame = -1;
    o.x += 140;
    o.y -= 20;
    o.intWork0 = o.intWork2 = 0;
    for (int k = 0; k < kRingSegments; ++k) {
      const int a = 64 * k;
      AttachPart(o.partsB, k, kSegmentPartType, 100 * CosineTable[a], 100 * SineTable[a],
                 static_cast<int16_t>(a), 0);
    }
    o.partCountB = kRingSegments;
  }
  if (o.state == 2) {
    const int step = GetDifficulty() >= 2 ? 4 : 3;
    o.angle = Wrap(o.angle + (o.variant == 1 ? -step : step));
    if (o.frame % ComputeFireInterval(12, o.rank) == ComputeFireInterval(3, o.rank)) {
      o.partsB[o.intWork0 + (o.intWork2 == 1 ? 8 : 0)].cue = 1;
      if (o.intWork2 == 1) o.intWork0 = (o.intWork0 + 1) % 8;
      o.intWork2 = o.intWork2 == 1 ? 0 : 1;
    }
  }
  if (o.state >= 3) o.state = 0;
}

void UpdateStage5RingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpInertPart(parts, partIndex, ScaleLifeByRank(16), 24, 24, 0);
    p.scoreBase = p.life;
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 12, 0, 0);
  }
  if (p.state == 3) {
    SpawnSmallExplosion(p.x, p.y, 1);
    p.state = 0;
    return;
  }
  p.angle = Wrap(pool[slot].angle + p.baseAngle);
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  p.angle = 0;
  if (p.cue > 0) {
    SpawnEnemyShot(kRingShotType, 512, ScaleShotSpeed(1.6), p.x, p.y, 1);
    p.cue = 0;
  }
  if (p.counter % 4 == 0) p.imageFrame = (p.imageFrame + 1) % 6;
}

// ---- Block (type 19, box part type 2) and the background animations -----------------------------
void UpdateStage5AnimBlock(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, -1);
    o.hitMode = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 20, 0, -20);
    SetEnemyHitCircle(EnemyPool1, slot, 1, 20, 0, 0);
    SetEnemyHitCircle(EnemyPool1, slot, 2, 20, 0, 20);
    o.solid = 1;
    SetMargins(o, 120, 120, 0, 0);
    o.imageFrame = -1;
    AttachPart(o.partsA, 0, kFollowerPartType, 20, 20, 0, -1);
    o.partsA[0].variant = 0;
    o.partCountA = 1;
    SpawnPool3Object(o.x + 20, o.y + 20, kLoopAnimType, 0, -1);
  }
  if (o.state >= 3) o.state = 0;
}

void UpdateStage5FollowerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpInertPart(parts, partIndex, -1, 0, 0, -1);
    if (p.variant == 0) SetPartBox(parts, partIndex, 40, 40);
  }
  FollowParentObject(pool, slot, parts, partIndex, 1);
}

namespace {

void SetUpBackgroundAnim(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX,
                         int32_t cullY) {
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.hitMode = 0;
  for (int k = 0; k < kHitCircleCount; ++k) o.hitCircles.size[k] = 0;
  SetMargins(o, despawnX, despawnY, cullX, cullY);
  o.imageFrame = 0;
}

}  // namespace

// Ten cells, one a frame on hard and insane, one every second frame below.
void UpdateStage5LoopAnim(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) SetUpBackgroundAnim(o, 40, 40, 40, 40);
  if (o.state == 2) {
    if (GetDifficulty() >= 2 || o.frame % 2 == 0) o.imageFrame = (o.imageFrame + 1) % 10;
  }
  if (o.state >= 3) o.state = 0;
}

void UpdateStage5LauncherAnim(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) SetUpBackgroundAnim(o, 80, 80, 64, 32);
  if (o.state == 2 && o.frame % 4 == 0) o.imageFrame = (o.imageFrame + 1) % 4;
  if (o.state >= 3) o.state = 0;
}
