// The 18 player-shot behaviours that PlayerShotHandlers holds in type order, and the steps they
// share. Each takes the slot and runs once per frame after UpdatePlayerShots advanced the frame:
// state 1 sets the shot up (and it flies in the same update), state 2 flies, state 3 vanishes.
#pragma once

#include <cstdint>

#include "stg_src/field/shots/player_shots.h"

// Flying shots (player_shot_behaviours.cpp).
void UpdateVulcanShot(int16_t slot);
void UpdateWideShot(int16_t slot);
void UpdateLaserShot(int16_t slot);
void UpdateNapalmShot(int16_t slot);
void UpdateTwowayShot(int16_t slot);
void UpdateMissileShot(int16_t slot);
void UpdateSearchShot(int16_t slot);
void UpdateHomingShot(int16_t slot);
void UpdateNapalmSubShot(int16_t slot);
void UpdateHomingBombShot(int16_t slot);
// Orbs, blasts and flashes (player_shot_blasts.cpp).
void UpdateNapalmBombShot(int16_t slot);
void UpdateRollingShot(int16_t slot);
void UpdateNapalmSubBombShot(int16_t slot);
void UpdateHomingBombBlast(int16_t slot);
void UpdateWaveShot(int16_t slot);
void UpdateBombShot(int16_t slot);
void UpdateShieldBurst(int16_t slot);
void UpdateWaveSubShot(int16_t slot);

// ---- steps the behaviours share -------------------------------------------------------------

// The shot's level as an index of the per-level tables: 0..2.
int ShotLevelIndex(const PlayerShot& shot);
// Velocity = (cosine, sine) of angle a times speed.
void SetShotVelocity(PlayerShot& shot, int a, double speed);
// x += vx + ScrollDeltaX, y += vy + ScrollDeltaY.
void MoveShot(PlayerShot& shot);
// x += ScrollDeltaX, y += ScrollDeltaY.
void RideScroll(PlayerShot& shot);
// Hit entry 0 at the shot's integer position.
void HitAtShot(PlayerShot& shot);
// A value truncated toward zero into a hit entry's 16 bits.
int16_t HitValue(double v);
// The swept test toward the next position; a hit sends the shot to state 3. True on a hit.
bool TerrainStopsShot(PlayerShot& shot);
// anim +1 on every third frame, never above 4.
void StepAnimHeldAtFour(PlayerShot& shot);
// The blast that replaces a spent shot in its own slot: a fresh type-4 shot at the same place
// and level, then set up as type blastType from frame 4 (additive, anim 0, scale 0.2, no flash).
void TurnIntoBlast(int16_t slot, int32_t blastType);
