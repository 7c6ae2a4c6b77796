// Plays a replay file headless on the data kit and the test stage's maps, and prints the run's
// digest after every unpaused play frame, so that two builds (or two machines) can be compared
// frame for frame.
//
//   play_replay [--stage N] [--difficulty D] [--checkpoint N] [--frames N] [--fast]
//               [--kit PATTERN] REPLAY
//
//   The run starts from the title as the replay's own run did: playback mode, the difficulty
//   (default 1, normal), the stage (default 1; a later one stands for those cleared before it)
//   and the checkpoint (default 0, the stage's start; a checkpoint the map does not have is an
//   error). It plays on through a stage clear into the next stage's play, as the game's playback
//   does, until the run ends (the stream's end, a game over, the clear that ends a playback, the
//   last stage) or after N play frames. --fast draws one frame in eight, as a fast-forwarded
//   replay does (the digests do not depend on it). --kit writes only the kit's files the pattern
//   selects (default: the whole kit). Each line: the play frame's number, from 0 and counted on
//   across stages, and its digest in hex.
#include <stdlib.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "stg_src/shell/replay_files.h"
#include "tools/headless/headless_game.h"
#include "tools/headless/scratch_folder.h"
#include "tools/headless/tool_arguments.h"

namespace {

constexpr const char* kPlaybackPath = "replay/playback.rpy";

int Usage() {
  std::fprintf(stderr,
               "usage: play_replay [--stage N] [--difficulty D] [--checkpoint N] [--frames N] "
               "[--fast] [--kit PATTERN] REPLAY\n");
  return 2;
}

int Play(const std::string& replay, const GameStartChoice& choice, long frames, bool fast,
         const char* kit) {
  ScratchFolder folder("play_replay");
  if (folder.path().empty()) {
    std::fprintf(stderr, "play_replay: no temporary folder\n");
    return 1;
  }
  const std::string prepared = PrepareGameFolder(folder.path(), kit, false);
  if (!prepared.empty()) {
    std::fprintf(stderr, "play_replay: %s\n", prepared.c_str());
    return 1;
  }
  std::error_code copied;
  std::filesystem::copy_file(replay, folder.path() + "/" + kPlaybackPath, copied);
  if (copied) {
    std::fprintf(stderr, "play_replay: cannot read %s\n", replay.c_str());
    return 1;
  }

  HeadlessGame::Options options;
  options.fast = fast;
  HeadlessGame game(folder.path(), options);
  if (game.Start() != 0) {
    std::fprintf(stderr, "play_replay: the game did not start\n");
    return 1;
  }
  game.Step();  // boot
  game.Step();  // the logo's set-up
  LoadReplayFile(kPlaybackPath);
  if (!StartRunFromTitle(choice, [&](int) { return game.Step(); })) {
    std::fprintf(stderr, "play_replay: %s\n", DescribeFailedStart(choice).c_str());
    return 1;
  }
  while (game.running() && IsRunGoingOn() &&
         (frames <= 0 || static_cast<long>(game.digests().size()) < frames)) {
    game.Step();
  }
  size_t count = game.digests().size();
  if (frames > 0) count = std::min(count, static_cast<size_t>(frames));
  for (size_t i = 0; i < count; ++i) std::printf("%zu %016" PRIx64 "\n", i, game.digests()[i]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  GameStartChoice choice;
  choice.mode = 1;
  long frames = 0;
  bool fast = false;
  const char* kit = "";
  std::string replay;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (ReadStartArgument(a, value, &choice)) {
      ++i;
    } else if (a == "--frames" && ReadNumberArgument(value, 1, kMaxFramesArgument, &frames)) {
      ++i;
    } else if (a == "--kit" && value) {
      kit = argv[++i];
    } else if (a == "--fast") {
      fast = true;
    } else if (!a.empty() && a[0] != '-' && replay.empty()) {
      replay = a;
    } else {
      return Usage();
    }
  }
  if (replay.empty()) return Usage();
  // Headless, whatever the caller's session has.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return Play(replay, choice, frames, fast, kit);
}
