// The ship's shots: the PlayerShot record and its 139-slot pool in fixed ranges, firing into a
// slot, the free test, the age tick, the shared vanish step, the per-frame driver with its
// behaviour table, and the target search modes the collision pass keeps. ResetPlayerShots puts
// every slot back to its value at program start; DigestPlayerShots sums every field of every
// slot.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kPlayerShotSlots = 139;
constexpr int kPlayerShotTypes = 18;
constexpr int kPlayerShotHitEntries = 8;
// Slot ranges: 0..63 main weapon, 64..127 sub weapons (64..67 the rolling orbs), 128..135 the
// charge weapon, 136..137 never fired into, 138 the shield burst. Enemy shots that touch a live
// shot from 128 on vanish.
constexpr int kFirstSubShotSlot = 64;
constexpr int kFirstChargeShotSlot = 128;
constexpr int kShieldBurstSlot = 138;

// The types that fly by their heading and are drawn with angle 0.
enum PlayerShotType : int32_t {
  kVulcanShot = 0,
  kMissileShot = 6,
  kHomingShot = 8,
  kHomingBombShot = 12,
  kShieldBurstShot = 16,
  kWaveSubShot = 17,
};

// Search modes: an odd mode takes the first candidate its filter passes and steps to the even
// mode after it; an even mode takes only a nearer one that passes.
enum PlayerShotSearchModes : int16_t {
  kSearchOff = 0,
  kSearchAny = 1,         // then 2
  kSearchAheadAbove = 3,  // x greater, y not greater; then 4
  kSearchAheadBelow = 5,  // x greater, y not smaller; then 6
  kSearchBehindAbove = 7,
  kSearchBehindBelow = 9,
};

struct PlayerShot {
  int32_t state;   // 0 free, 1 fired (set-up pending), 2 live, 3 vanishing
  int32_t damage;  // per hit; 0 harmless this frame
  int32_t level;
  int32_t imageLevel;
  int32_t frame;                           // +1 before the behaviour, so its first call sees 1
  int32_t type;                            // 0..17
  int16_t converted;                       // turned into its blast
  int16_t angle;                           // draw angle
  int16_t heading;                         // motion heading of the steering types
  int16_t hitSize[kPlayerShotHitEntries];  // 0 no circle
  int16_t hitX[kPlayerShotHitEntries];     // world, truncated
  int16_t hitY[kPlayerShotHitEntries];
  int16_t hitCount;
  double x, y;
  double vx, vy;  // before the scroll
  double speed;   // also the length the hit tests sweep the circles over
  double workA, workB;
  double baseOffsetX, baseOffsetY;  // from the ship, for shots that follow it
  int16_t counterA, counterB;
  int16_t counterC;  // also the frames since the last hit of cadence shots
  int16_t anim;      // 0..11; 4 at firing, 8..11 vanish
  int16_t additive;
  int16_t alpha;
  double scale;
  double flashOffsetX, flashOffsetY;  // the launch point from the ship: the muzzle flash
  int16_t flashAngle;
  int16_t age;  // 0 with the flash, else 100; removable off screen above 3
  uint8_t pierce;
  uint8_t sparkPending;
  uint8_t vanishing;
  int16_t searchMode;  // PlayerShotSearchModes
  double targetX, targetY;
  uint8_t stopsOnHit;
  uint8_t hitCadence;  // damages only while counter c is above 3
  int16_t removalMargin;
  int16_t drawMargin;
  int16_t airCounter;  // twoway: frames in the air
};

extern PlayerShot PlayerShots[kPlayerShotSlots];

using PlayerShotHandler = void (*)(int16_t slot);
// One behaviour a type, in type order (player_shot_behaviours.h); tests swap entries.
extern PlayerShotHandler PlayerShotHandlers[kPlayerShotTypes];

// A fresh shot in slot (0..138) of type (0..17); velocity and speed are the type's set-up's.
// 0, or -1 with nothing written for a slot or type out of range.
int InitPlayerShot(int slot, int type, int16_t angle, int32_t level, double x, double y,
                   uint8_t flash);
bool IsPlayerShotFree(int slot);
// Slots in use from 0 up: frame, behaviour, then removal off screen once age is above 3.
void UpdatePlayerShots();
// age +1 on even frames.
void TickPlayerShotAge(int16_t slot);
// The vanish step of state 3: frame restarted once, the pending spark spawned, anim 8..11 one
// every n frames, then freed; the shot rides the scroll meanwhile.
void VanishPlayerShot(int16_t slot, int16_t n);
// The direction (radians) the hit tests sweep a shot's circles along: its heading for the
// types that fly by heading, else its angle.
double PlayerShotSweepRadians(const PlayerShot& shot);

void ResetPlayerShots();
void DigestPlayerShots(StateDigest& digest, DigestScope scope);
