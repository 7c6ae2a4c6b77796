// Where the club walker keeps its pieces: the partsB slots its body and its parts read from
// each other, and the slot of its far-legs object in the background pool.
#pragma once

#include <cstdint>

namespace club {

// partsB slots.
constexpr int kNearLeftHip = 0;
constexpr int kNearLeftShin = 2;
constexpr int kNearRightShin = 5;
constexpr int kLeftEmitter = 8;
constexpr int kRightEmitter = 11;
constexpr int kLeftBarrel = 13;
constexpr int kRightBarrel = 15;
constexpr int kBodyImage = 16;
constexpr int kCore = 18;

constexpr int kFarLegCount = 12;  // partsA 0..11, mirrored into the legs object

// The legs object's pool-3 slot from the stage's counter, or -1 when there is none (0), when
// the pool was full at set-up (99) or the counter holds anything outside the pool's range.
int16_t LegsObjectSlot();

}  // namespace club
