#include "tests/field/end_to_end/session_script.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadRight = 1u << 2;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;

}  // namespace

FrameInput SessionInput(int frame) {
  FrameInput in;
  if (frame >= 80 && frame < 100) in.padBits |= kPadUp;
  if (frame >= 100 && frame < 120) in.padBits |= kPadDown;
  if (frame >= 80 && frame < 140) in.padBits |= kPadRight;
  if (frame >= kSessionShotStart && frame < kSessionShotEnd) in.padBits |= kPadShot;
  if (frame >= kSessionDiveStart) in.padBits = kPadDown;
  return in;
}

GameDriver::Options SessionOptions(bool fast) {
  GameDriver::Options options;
  options.kit = "common";
  options.fast = fast;
  return options;
}

bool StartSession(GameDriver& driver) {
  EXPECT_EQ(driver.Start(), 0);
  driver.Run(2);
  const bool started = driver.StartGame({0, 1, kSessionStage});
  EXPECT_TRUE(started);
  return started;
}
