// The session recorded through the shell as a replay, saved (512,000 bytes), loaded and played
// back with the same set-up gives the recorded digest at every frame, in this process and by the
// replay player (tools/play_replay) in its own.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kFrames = 800;  // past the shield's burst and the first life lost
constexpr const char* kReplayPath = "replay/normal/session.rpy";

struct Recording {
  std::vector<uint64_t> digests;
  int32_t position = 0;  // the stream's position at the end
  std::string file;
};

Recording RecordSession() {
  GameDriver driver(SessionOptions(true));
  Recording r;
  if (!StartSession(driver)) return r;
  driver.Run(kFrames - 1, SessionInput);  // the first play frame ran in the start
  Score = 12345;
  EXPECT_TRUE(SaveReplayFile());
  r.digests = driver.digests();
  r.position = ReplayPosition;
  r.file = driver.folder().ReadFile("replay/normal/normal_000012345.rpy");
  return r;
}

// The pad's moves stay busy: playback takes the replay's bytes, not the devices; and Shot held
// now and then fast-forwards the playback, which changes no digest.
FrameInput Noise(int frame) {
  FrameInput in;
  in.padBits = static_cast<uint32_t>(frame * 2654435761u >> 20) & 0x1F;
  return in;
}

TEST(ReplaySession, TheSavedSessionPlaysBackWithItsDigestsHereAndInTheReplayPlayer) {
  const Recording rec = RecordSession();
  ASSERT_EQ(rec.digests.size(), static_cast<size_t>(kFrames));
  ASSERT_EQ(rec.file.size(), static_cast<size_t>(kReplayBufferSize));

  GameDriver driver(SessionOptions(true));
  driver.folder().WriteFile(kReplayPath, rec.file);
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  LoadReplayFile(kReplayPath);
  ASSERT_TRUE(driver.StartGame({1, 1, kSessionStage}));
  driver.Run(kFrames - 1, Noise);
  EXPECT_EQ(ReplayPosition, rec.position);  // a byte a play frame, after any weapon bytes
  EXPECT_GE(ReplayPosition, kFrames);
  EXPECT_EQ(driver.digests(), rec.digests);

#ifdef KELVANOR_PLAY_REPLAY
  // The library's font layer leaves fontconfig's caches to the process's end, which a
  // sanitizer build of the player would report.
  const std::string command = "LSAN_OPTIONS=detect_leaks=0 " + std::string(KELVANOR_PLAY_REPLAY) +
                              " --stage 2 --difficulty 1 --fast --kit common --frames " +
                              std::to_string(kFrames) + " " + driver.folder().path() + "/" +
                              kReplayPath + " 2>&1";
  FILE* out = popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::vector<uint64_t> printed;
  char line[256];
  while (std::fgets(line, sizeof(line), out)) {
    // The player's lines about the pictures of other stages that the partial kit leaves out.
    if (std::strncmp(line, "KELVANOR: could not read ", 25) == 0) continue;
    size_t frame = 0;
    uint64_t digest = 0;
    if (std::sscanf(line, "%zu %" SCNx64, &frame, &digest) != 2) {
      ADD_FAILURE() << "play_replay said: " << line;
      continue;
    }
    EXPECT_EQ(frame, printed.size());
    printed.push_back(digest);
  }
  EXPECT_EQ(pclose(out), 0);
  EXPECT_EQ(printed, rec.digests);
#endif
}

}  // namespace
