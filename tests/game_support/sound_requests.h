// The sound-effect requests the game makes, recorded call by call through the test-only
// observer (stg_src/game/sound_test_hooks.h): what was asked for, before any retrigger guard
// drops a repeat.
#pragma once

#include <vector>

// Records while it lives; one at a time (the field fixture holds one).
class SoundRequestRecorder {
 public:
  SoundRequestRecorder();
  ~SoundRequestRecorder();
  SoundRequestRecorder(const SoundRequestRecorder&) = delete;
  SoundRequestRecorder& operator=(const SoundRequestRecorder&) = delete;

  // The slots requested since the recorder started or the last Take, in call order.
  std::vector<int> Take();

 private:
  std::vector<int> slots_;
};
