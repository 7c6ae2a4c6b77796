#include "tests/game_support/sound_requests.h"

#include <gtest/gtest.h>

#include <utility>

#include "stg_src/game/sound_test_hooks.h"

namespace {

std::vector<int>* Recording = nullptr;

void Record(int16_t slot) {
  if (Recording != nullptr) Recording->push_back(slot);
}

}  // namespace

SoundRequestRecorder::SoundRequestRecorder() {
  if (Recording != nullptr) ADD_FAILURE() << "a second sound request recorder";
  Recording = &slots_;
  SetSoundRequestObserverForTest(Record);
}

SoundRequestRecorder::~SoundRequestRecorder() {
  if (Recording != &slots_) return;
  SetSoundRequestObserverForTest(nullptr);
  Recording = nullptr;
}

std::vector<int> SoundRequestRecorder::Take() { return std::exchange(slots_, {}); }
