// The enemy shots: the EnemyShot record and its 256-slot pool, spawning (lowest or highest free
// slot), tying a shot to the part that fired it, the straight motion plain shots share, the
// per-frame driver, and the behaviour table with its per-stage dispatchers. ResetEnemyShots puts
// every slot back to its value at program start; DigestEnemyShots sums every field of every slot.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/game/state_digest.h"

constexpr int kEnemyShotSlots = 256;
constexpr int kEnemyShotTypes = 27;
constexpr int kCommonEnemyShotTypes = 17;  // 0..16; 17..26 go to the stage's behaviour
constexpr int kEnemyShotHitPoints = 4;
constexpr int16_t kNoBeamEnd = -9999;

// The part that fired a shot, held as indices so that a record never points anywhere: the pool
// (0..3), the object's slot, the array (0 partsA, 1 partsB) and the part's index.
enum EnemyShotPartArray : int16_t { kShotPartsA = 0, kShotPartsB = 1 };

struct EnemyShot {
  int32_t state;        // 0 free, 1 spawned (set-up pending), 2 live, 3 vanishing
  int32_t type;         // 0..26
  int32_t frame;        // updates since spawn, mod 65535; +1 before the behaviour
  int16_t motionAngle;  // direction of travel
  int16_t drawAngle;    // turns the image and the hit points; the hit tests sweep along it
  double x, y;
  double speed;  // also the length the hit tests sweep the circles over
  double vx, vy;
  int16_t hitSize[kEnemyShotHitPoints];  // -1 at spawn: no circle
  double hitX[kEnemyShotHitPoints];      // world centres, from x/y every frame
  double hitY[kEnemyShotHitPoints];
  double hitDx[kEnemyShotHitPoints];  // along the draw angle
  double hitDy[kEnemyShotHitPoints];  // across it
  uint8_t hitActive;                  // hurts the ship, meets the charge shots, is cancelled
  uint8_t passesTerrain;              // the straight motion skips the terrain test
  int16_t anim;            // 0..3 muzzle flash, 4..7 flight, 8..11 vanish; negative not drawn
  int16_t linkMode;        // per-type parameter from LinkEnemyShot
  int16_t workWord;        // per-type counter
  double workReal[4];      // per-type; 2 and 3 hold the anchor of shots tied to a part
  double linkOffset1;      // anchor offset from the part along the draw angle
  double linkOffset2;      // and across it
  int16_t linkObject;      // the owner object's slot, -1 none
  int16_t linkPart;        // the owner part's index, -1 none
  int16_t ownerPool;       // 0..3
  int16_t ownerPartArray;  // EnemyShotPartArray
  int16_t additive;
  int16_t rotated;            // 1 drawn turned to the draw angle
  int16_t alpha;              // 0 or less not drawn
  int16_t scale;              // percent
  double beamEndX, beamEndY;  // kNoBeamEnd: no beam
  int16_t beamImage;          // LaserImages entry, -1 none
  int16_t beamHalfWidth;
  double spawnX, spawnY;  // the muzzle flash and the start of a beam
  int16_t spawnAngle;
  int16_t age;            // +1 every second frame (fourth for type 22)
  int16_t removalMargin;  // freed this far off screen once age is above 3
  int16_t drawMargin;
  uint8_t collides;  // the collision step handles the shot at all
  // Drawn upright while flying along the motion angle: the hit tests sweep along that instead
  // of the draw angle.
  uint8_t upright;
};

extern EnemyShot EnemyShots[kEnemyShotSlots];

using EnemyShotHandler = void (*)(int16_t slot);
// 0..16 the common behaviours, 17..26 DispatchShotType17..26.
extern const EnemyShotHandler EnemyShotHandlers[kEnemyShotTypes];
// [type - 17][stage - 1]: the stage's behaviour for a stage shot type, null for none; assembled
// from the stages' columns (stg_src/field/stage_handlers.h).
extern EnemyShotHandler (
    &EnemyShotStageCells)[kEnemyShotTypes - kCommonEnemyShotTypes][kStageCount];

// Lowest (highest) slot in state 0, or -1.
int16_t FindFreeShotSlot();
int16_t FindFreeShotSlotHigh();
// A fresh shot of type 0..26 (others refused) at the angle (wrapped). With onScreenOnly 1 the
// point must lie strictly inside the screen. The slot, or -1 with nothing spawned.
int16_t SpawnEnemyShot(int16_t type, int16_t angle, double speed, double x, double y,
                       uint8_t onScreenOnly);
int16_t SpawnEnemyShotHigh(int16_t type, int16_t angle, double speed, double x, double y,
                           uint8_t onScreenOnly);
// Ties the shot to part partIndex of ownerParts, an array of object objectIndex of ownerPool. A
// pool or array that is not one of the game's is recorded as no owner.
void LinkEnemyShot(int16_t slot, int16_t objectIndex, int16_t partIndex, double offset1,
                   double offset2, const EnemyObject* ownerPool, const EnemyPart* ownerParts,
                   int16_t mode);
// The part the shot is tied to, or null when it has none or its link lies outside the pools.
EnemyPart* LinkedPart(const EnemyShot& shot);
// The straight motion of plain shots: set-up (radius, velocity, sound; freed without sound more
// than 60 px off screen), flight with the terrain test, riding the scroll, vanish frames.
void MoveEnemyShotStraight(int16_t slot, int16_t hitRadius, int16_t sound, uint8_t upright);
// The direction (radians) the hit tests sweep a shot's circles along.
double EnemyShotSweepRadians(const EnemyShot& shot);
// Whether the shot's next step, its velocity with the scroll's movement, meets terrain.
bool EnemyShotMeetsTerrainAhead(const EnemyShot& shot);
// A trail's dot lying still on the map: rides the scroll and steps a cell every `framesPerCell`
// frames; harmless past `lastHurtingCell`, freed past `lastCell`.
void RideScrollAndFade(EnemyShot& shot, int framesPerCell, int lastHurtingCell, int lastCell);
// A big shot that met terrain (state 3): drifts on at a quarter of its speed, a cell a frame, and
// is freed past cell 7.
void BreakUpAgainstTerrain(EnemyShot& shot);

// Every slot in use from 0 up: frame, age, behaviour, hit points, removal off screen, cancel,
// collisions.
void UpdateEnemyShots();

void DispatchShotType17(int16_t slot);
void DispatchShotType18(int16_t slot);
void DispatchShotType19(int16_t slot);
void DispatchShotType20(int16_t slot);
void DispatchShotType21(int16_t slot);
void DispatchShotType22(int16_t slot);
void DispatchShotType23(int16_t slot);
void DispatchShotType24(int16_t slot);
void DispatchShotType25(int16_t slot);
void DispatchShotType26(int16_t slot);

void ResetEnemyShots();
void DigestEnemyShots(StateDigest& digest, DigestScope scope);
