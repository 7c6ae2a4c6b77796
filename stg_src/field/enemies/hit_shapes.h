// Where enemies and their parts can be hit: the six hit circles of an object or part and the
// calls that fill them, the boxes of solid and plain box parts, the presence timers of solid
// objects and parts, the world centre of a circle, and the primitives every collision rests
// on (circle against circle, a circle swept along a beam, a point in a box). Also the terrain
// follower that runs walkers along the tops and bottoms of solid box parts.
#pragma once

#include <cstdint>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_records.h"

// hitMode of a part whose entries 0 and 1 hold a box: solid (stops shots and walkers) or plain.
constexpr int16_t kSolidBoxHitMode = 4;
constexpr int16_t kBoxHitMode = 5;
// What SolidEnemyTimer and SolidPartTimer are set to; the pool pass counts them down.
constexpr int16_t kSolidPresenceFrames = 16;

// The six entries of an object or a part; an entry k outside 0..5 is ignored.
void ClearEnemyHitCircles(EnemyObject* pool, int slot);
void SetEnemyHitCircle(EnemyObject* pool, int slot, int k, int16_t size, int16_t dx, int16_t dy);
void ClearPartHitCircles(EnemyPart* parts, int j);
void SetPartHitCircle(EnemyPart* parts, int j, int k, int16_t size, int16_t dx, int16_t dy);
// The box -w..w x -h..h around the part in entries 0 and 1 (sizes and entries 2..5 kept), with
// hitMode 4 and SolidPartTimer 16, or with hitMode 5 and the timer untouched.
void SetSolidPartBox(EnemyPart* parts, int j, int16_t w, int16_t h);
void SetPartBox(EnemyPart* parts, int j, int16_t w, int16_t h);
// Called every frame by each live solid object or solid box part.
void MarkSolidEnemyPresent();
void MarkSolidPartPresent();

// The world centre of a circle at (dx, dy) turned by angle: an object's facing sign mirrors the
// x offset, a part's the y offset.
inline double CircleCentreX(int16_t facingSign, double x, int16_t dx, int16_t dy, int16_t angle) {
  return RotateOffsetX(x, facingSign * dx, dy, angle);
}
inline double CircleCentreY(int16_t facingSign, double y, int16_t dx, int16_t dy, int16_t angle) {
  return RotateOffsetY(y, facingSign * dx, dy, angle);
}
inline double PartCircleCentreX(int16_t facingSign, double x, int16_t dx, int16_t dy,
                                int16_t angle) {
  return RotateOffsetX(x, dx, facingSign * dy, angle);
}
inline double PartCircleCentreY(int16_t facingSign, double y, int16_t dx, int16_t dy,
                                int16_t angle) {
  return RotateOffsetY(y, dx, facingSign * dy, angle);
}

// Strict: circles that only touch do not overlap.
inline bool CirclesOverlap(double x1, double y1, double x2, double y2, double r1, double r2) {
  return (r1 + r2) * (r1 + r2) > SquaredDistance(x1, y1, x2, y2);
}
// A circle of radius r1 that moved length along direction (radians) to (ax, ay), against a
// circle of radius r2 at (bx, by): samples every r1 + r2 from the far end (library sine and
// cosine), then the point itself. Never true for a radius of 0 or less; with length at most
// r1 + r2 it is CirclesOverlap.
bool BeamHitsCircle(double ax, double ay, double bx, double by, double r1, double r2, double length,
                    double direction);

// Inside the part's box widened by margin, edges included: for a live solid box part (true),
// or for a live part of either box mode (its hitMode, else 0).
bool IsPointInSolidBoxPart(const EnemyPart* parts, int j, double x, double y, int16_t margin);
int16_t IsPointInPartBox(const EnemyPart* parts, int j, double x, double y, int16_t margin);
// Inside a solid box part of any live solid EnemyPool1 object but skipIndex: behind parts, then
// front parts, up to each array's size whatever the counts say. False while SolidPartTimer is 0.
bool IsPointInSolidPart(double x, double y, int16_t margin, int16_t skipIndex);

// FollowTerrain's contract against the first solid box part (of the live solid EnemyPool1
// objects) that holds the foot (moving down or level) or the head (moving up) and spans x:
// standing walkers snap within 20 px, airborne ones land from above (below) with 5 px of
// tolerance, on slope 0. Returns 0 or 1; oldX and speedOut are not used.
int16_t FollowSolidParts(double* x, double* y, int16_t mode, double footOffset, double headOffset,
                         double oldX, double oldY, double* speed, double* speedOut, int16_t* slope);
