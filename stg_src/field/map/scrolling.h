// The camera over the main map and the ship's flight: the scroll speed easing toward the map's
// commands, the horizontal camera held inside the map, the vertical view range following its
// targets, the draw offsets with the background parallax, the ship moved by input inside the
// window, checkpoint passing, and the placement at the start or a checkpoint. ResetScrolling
// puts every member back to its value at program start; DigestScrolling sums them. The ship's
// position and input motion (PlayerX, PlayerY, PlayerMoveX, PlayerMoveY) are the shell's.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kViewWidth = 640;
constexpr int kViewHeight = 400;

extern double CameraX;    // world x of the window's left edge
extern double ViewRight;  // CameraX + 640, at most the map's right edge
extern double ViewTop;    // vertical range the window may move in, 400 or more apart
extern double ViewBottom;
extern double ViewTopTarget;  // where the range is heading
extern double ViewBottomTarget;
extern double DrawOffsetX;  // screen = world + offset
extern double DrawOffsetY;
extern double ScrollSpeed;  // px a frame, easing toward ScrollTargetSpeed
extern double ScrollTargetSpeed;
extern int16_t ScrollAngle;  // negative read as 0
extern double ScrollDeltaX;  // this frame's camera motion
extern double ScrollDeltaY;
extern uint8_t SnapViewToPlayer;  // the next draw-offset update puts the ship at screen y 200
extern uint8_t PlayerPushedDown;  // a box part pushed the ship this frame
extern int32_t ShipBankFrame;     // 0..62, 31 level
extern int16_t CheckpointIndex;   // the marker the ship restarts at, 0 the start
extern int16_t SpeedUpTimer;      // the speed-up flame, 3..17 while it shows
extern double StageFourParallaxX;
extern double BackLayer0OffsetX;
extern double BackLayer0OffsetY;
extern double BackLayer1OffsetX;
extern double BackLayer1OffsetY;
extern double BackLayer0BaseX;  // base corrections kept by the map loops
extern double BackLayer0BaseY;
extern double BackLayer1BaseX;
extern double BackLayer1BaseY;

// Once per unpaused frame from GameFrame 0 on, after the map spawner.
void ScrollAndMovePlayer();
// ViewRight from CameraX, with the camera held at the map's right edge.
void UpdateViewRight();
// The ship's vertical motion this frame: its input, plus the push of a box part.
double ShipVerticalIntent();
// The draw offsets (the ship's screen y held between 160 and 260 inside the view range) and
// the background layers' parallax offsets.
void UpdateDrawOffsets();
// The x the background parallax follows: on stage 4's first background, its own drift.
double GetParallaxBaseX();
// The ship at the current checkpoint's marker, the camera and view range around it, the
// weapon counters and the stage's work areas cleared.
void PlacePlayerAtStart();

void ResetScrolling();
void DigestScrolling(StateDigest& digest, DigestScope scope);
