// What the five forms of stage 5's boss chain share: the hand-over of a beaten or already
// beaten form to the next, the common set-up, entry and braking, the death sequence and the
// core's time-out cue.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

inline constexpr int32_t kStage5FirstFormType = 10;
inline constexpr int32_t kStage5CorePartType = 20;
inline constexpr int32_t kStage5FormTimeOut = 4800;
inline constexpr int32_t kStage5LastFormTimeOut = 6400;

// The set-up values that differ by form.
struct Stage5FormSetUp {
  double spawnShiftX;
  int32_t cullMarginX;
  int32_t cullMarginY;
  int16_t hitMode;
};

// Set-up frame of forms 1-4 whose type is below StageMarker: the slot is freed and the next
// form spawned at screen (640, 200). True when the form handed over (nothing else runs then).
bool HandOverIfBeaten(int16_t slot);

// The common set-up: state 2, an indestructible body, entry speed and heading, cleared hit
// circles and work words, the shift past the right edge; the form attaches its own parts and
// sets its circles afterwards, then calls FinishFormSetUp.
void BeginFormSetUp(int16_t slot, const Stage5FormSetUp& setUp);
// BossState 1 when it is 0: the last step of every form's set-up.
void FinishFormSetUp();

// Entry (phase 0) and braking (phase -4); the velocity follows heading and speed there. True
// while the form is in one of them. Braking ends with frame 0 and firstPhase.
bool StepFormEntry(EnemyObject& o, int16_t firstPhase, bool stopOnArrival);

// The form's own velocity plus the scroll.
void MoveFormWithScroll(EnemyObject& o);

// Cue 1 on the core once frame passes limit, unless the core already has a cue.
void CueCoreOnTimeOut(const EnemyObject& o, EnemyPart& core, int32_t limit);

// States 3 and 4 of a form: the death sequence, then the hand-over or the stage clear.
void StepFormDeath(int16_t slot);

// A form whose only part is its core (front slot 0, of the given variant): set-up, entry and
// braking into firstPhase, drifting near screen x 500-590 with the player's height in it, the
// time-out cue after timeOut frames, and the death sequence.
struct Stage5CoreForm {
  Stage5FormSetUp setUp;
  int16_t coreVariant;
  int16_t firstPhase;
  int32_t timeOut;
  bool stopOnArrival;
};
void UpdateStage5CoreForm(int16_t slot, const Stage5CoreForm& form);
