// The records of the play field's enemies: EnemyObject, the one layout of all four enemy pools,
// with its two arrays of attached EnemyPart records, and the HitCircles table both carry. Fields
// keep the order the game has always kept them in; the generic work fields are named here once,
// and each behaviour's block says what they mean for it.
#pragma once

#include <cstdint>

constexpr int kHitCircleCount = 6;
constexpr int kPartsACount = 25;  // drawn behind the body
constexpr int kPartsBCount = 46;  // drawn in front of the body

// Six hit entries. For a part in a box mode (hitMode 4 or 5) entries 0 and 1 hold the box: dx[0]
// left, dx[1] right, dy[0] top, dy[1] bottom.
struct HitCircles {
  int16_t size[kHitCircleCount];  // radius, 0 = empty entry
  int16_t dx[kHitCircleCount];    // offset of the centre before turning
  int16_t dy[kHitCircleCount];
};

struct EnemyPart {
  int32_t state;      // 0 free, 1 attached (set-up pending), 2 live, 3 destroyed
  int32_t counter;    // 1 at attach, 0 when a follow sees the state change
  int32_t partType;   // EnemyPartHandlers and PartImages (16 cells a type)
  int32_t facing;     // 0 normal, 1 turning, 2 mirrored
  int32_t scoreBase;  // kill score base
  int16_t angle;      // draw and aim angle
  int16_t baseAngle;  // second angle: rolling wheels, swing bases
  double recoil;      // pulled back along the angle; -0.5 a frame to 0
  double x;
  double y;
  double offsetX;       // from the parent, along the parent's angle
  double offsetY;       // across it
  int32_t cullMarginX;  // -1 = always drawn
  int32_t cullMarginY;
  int32_t life;
  int32_t maxLife;
  int32_t imageFrame;  // negative = not drawn
  int16_t work0;
  int16_t work1;
  HitCircles hitCircles;
  int16_t cue;    // signal and countdown word between the owner and the part
  double startX;  // start of a swing on a circle
  double startCos;
  double startY;
  double startSin;
  int16_t hitMode;
  int16_t facingSign;  // the owner's, written by the pool pass
  int16_t hitFlash;    // -16 a frame to 0
  int16_t drawOffsetY;
  uint8_t beamStopped;    // a beam tied to the part has ended
  int16_t stopFrame;      // frame a tied beam stopped at; 9999 none
  int16_t beamReach;      // this frame's reach of the tied beam
  int16_t beamReachLast;  // the previous frame's, which sets the drawn length
  uint8_t beamDrawn;      // one beam body a part a frame
  uint8_t linkActive;     // tied shots follow the part's angle and motion
  uint8_t sideFlag;       // side of a multi-segment leg
  int16_t unlockWeight;   // off StageUnlockId when the part is killed
  int16_t parentPart;     // part of the same array this one hangs on; -1 the owner object
  int16_t variant;
  int16_t blend;       // 256 normal, below alpha, above additive (value - 256)
  int16_t brightness;  // 0..255; 256 and above unchanged
};

struct EnemyObject {
  int32_t state;   // 0 free, 1 spawned, 2 live, 3 destroyed, 4 and above the type's own
  int32_t frame;   // 1 at spawn, +1 each pass, 65534 wraps to 0
  int32_t type;    // handler and image index; negative = freed at the next pass
  int32_t facing;  // 0 normal, 1 turning, 2 mirrored
  uint8_t solid;   // stops enemy shots, meets box parts
  int32_t sideCount;
  int32_t scoreBase;
  int16_t angle;
  int16_t angle2;       // walkers turn it toward the ground slope
  int16_t groundSlope;  // under a walker
  double x;
  double y;
  int32_t life;
  int32_t maxLife;
  int32_t imageFrame;  // negative = body not drawn
  double vx;
  double vy;
  double speed;
  double groundSpeed;
  int16_t airFrames;  // since a walker last stood on ground
  int16_t landTimer;  // 32 on a landing after more than 2 airborne frames
  int16_t spare1;     // cleared at spawn, not used
  int16_t heading;    // motion angle of homing and steering movers
  HitCircles hitCircles;
  int16_t phase;
  uint8_t onMarker;  // a walker stopped at a route marker
  int32_t intWork0;
  int32_t intWork1;
  int32_t intWork2;
  int32_t intWork3;
  double realWork0;
  double realWork1;
  int16_t hitMode;         // 1 at spawn
  int16_t facingSign;      // +1 facing 0, -1 facing 2, 0 turning; set every pass
  int32_t despawnMarginX;  // negative = never removed off screen
  int32_t despawnMarginY;
  int32_t cullMarginX;
  int32_t cullMarginY;
  uint8_t useViewBox;  // off-screen tests against the view box, not the screen
  int16_t hitFlash;    // -16 a frame to 0
  double probeOffset;  // terrain probe distance of walkers
  int16_t partCountA;  // slots in use in partsA / partsB
  int16_t partCountB;
  EnemyPart partsA[kPartsACount];
  EnemyPart partsB[kPartsBCount];
  int16_t drawOffsetY;
  int16_t spare2[4];  // cleared at spawn, not used
  double realWork2;
  double realWork3;
  int16_t spare3;  // -1 at spawn, not used
  int16_t blend;
  int16_t brightness;
  int16_t spawnDir;   // +1 map leading edge, -1 trailing edge, 0 code
  int16_t acceptDir;  // the spawn direction accepted, 1 at spawn
  int16_t variant;    // map cell value / 1000 - 1, or 0 from code
  int16_t rank;       // TimeRank at spawn
};
