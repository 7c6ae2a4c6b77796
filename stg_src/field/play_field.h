// What the game shell calls of the play field and the play-field words it reads or writes: the
// stage start and the map load, the per-frame updates in the order of the play scene, drawing
// (with the table of draw calls the shell fills), respawn, score and the helpers the front-end
// scenes borrow; each area's header holds its words. The shell includes no other field header.
// ResetPlayFieldState puts every area back to its value at program start;
// DigestPlayFieldState sums them in a fixed order.
#pragma once

#include <cstdint>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/map_spawner.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_events.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/state_digest.h"

// The field's updates of an unpaused play frame from GameFrame 0 on, in their order:
// SpawnFromEventLayer, ScrollAndMovePlayer, UpdatePlayerWeapons (while PlayerActive is 1),
// UpdateEnemyPools, UpdateItemsAndPopups, UpdateEnemyShots, UpdateEffectsAndShake,
// AdvanceRanks(0), RunStageEvents. The play scene draws with DrawPlayField after them.
void UpdatePlayField();
// Draws the play frame (also while paused); steps FrameSkipPhase while FastForwardRequest is 1
// and draws nothing while it is not 0; calls DrawEndingCredits last.
void DrawPlayField();

void ResetPlayFieldState();
void DigestPlayFieldState(StateDigest& digest, DigestScope scope);
