// Parts attached to enemy objects: attaching one to a slot of partsA or partsB, placing it on
// its owner object or on a parent part of the same array, the follow steps that copy the
// owner's state, the readiness rule of chained parts, and the arc clamp of turning parts.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// 25 for a partsA array of a pool object, 46 for a partsB array, 0 for any other pointer.
int PartArrayCapacity(const EnemyPart* parts);

// Initialises one slot (state 1, counter 1, ...); facing, facingSign, position and hit circles
// stay as they are, and the owner's part counts are the caller's. A part type past the table or
// a slot outside the array leaves the slot as it was.
void AttachPart(EnemyPart* parts, int slot, int32_t partType, double dx, double dy, int16_t angle,
                int32_t imageFrame);
// Part j on its owner: the offset turned by the owner's angle (x offset mirrored on facing 2,
// dropped on facing 1), then pulled back along extraAngle + its angle by its recoil (not on
// facing 1).
void PlacePartOnObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                       int16_t extraAngle);
// Part j moved 1/n of the way to where PlacePartOnObject would put it (turning parts at once).
void EasePartToObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t n,
                      int16_t extraAngle);
// Facing (or 0), placement, the owner's state copied (counter 0 on a change), linkActive cleared
// unless the owner is live. 1 while the owner exists, else the part is freed and 0.
int FollowParentObject(const EnemyObject* pool, int slot, EnemyPart* parts, int j,
                       uint8_t copyFacing);
// The same on a parent part: facing always copied, mirroring negates the y offset, turning keeps
// the x offset, recoil along the part's own angle. A parent index outside the array or the part
// itself counts as a parent gone.
int FollowParentPart(const EnemyPart* parentParts, int parentIndex, EnemyPart* parts, int j);
// True unless the part hangs on a parent part still in its set-up state 1.
bool IsPartParentReady(const EnemyPart* parts, int j);
// angle kept inside the arc from base + lo to base + hi; outside, the nearer end (hi on a tie).
int16_t ClampAngleToArc(int16_t angle, int16_t lo, int16_t hi, int16_t base);
