// What form 1's own files share: the slots of its front parts, its phases, and the part set-up
// and motion helpers the cannon assembly and the side assembly both use.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

namespace stage5_form1 {

inline constexpr int16_t kPatrol = -3;
inline constexpr int16_t kCentre = 1;
inline constexpr int16_t kSlideOut = 2;
inline constexpr int16_t kAttack = 3;
inline constexpr int16_t kReturnY = -1;
inline constexpr int16_t kReturnX = -2;

inline constexpr int kArmSlot1 = 1;
inline constexpr int kSideSlot = 4;
inline constexpr int kSideCoreSlot = 5;
inline constexpr int kGunSlots[] = {6, 7};
inline constexpr int kLauncherSlots[] = {8, 9};
inline constexpr int kCannonSlot = 10;
inline constexpr int kCannonCoreSlot = 11;
inline constexpr int kEmitterSlot = 12;
inline constexpr int kArmSlots[] = {0, 1, 2, 3};

inline constexpr int16_t kDockSound = 44;

// The first frame of every part but the cores: indestructible, its circles and cull margins by
// type and variant, image cell 0 (the cannon and the emitter: their variant), the work words
// cleared and baseAngle = angle. The emitter also turns to face left.
void SetUpFormOnePart(EnemyPart* parts, int16_t partIndex);

// A part slot of the form is live (state 2).
inline bool IsLive(const EnemyObject& o, int slot) { return o.partsB[slot].state == 2; }

// A speed moved toward +-limit by step as the player lies below or above y (unchanged level).
double TrackTowardPlayer(double speed, double y, double limit, double step);

// Offset and its speed brought back toward 0 at up to limit by step, stopping at 0. True when
// the offset reached 0 in this step.
bool ReturnOffset(double& offset, double& speed, double limit, double step);

// The part's end of a state-3 part: freed with a large explosion. True when it ended.
bool EndIfDestroyed(EnemyPart& p);

}  // namespace stage5_form1
