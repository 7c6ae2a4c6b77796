// Plays a replay file headless on the data kit and the test stage's maps, and prints the run's
// digest after every unpaused play frame, so that two builds (or two machines) can be compared
// frame for frame.
//
//   play_replay [--stage N] [--difficulty D] [--frames N] [--fast] [--kit PATTERN] REPLAY
//
//   The run starts from the title as the replay's own run did: playback mode, the difficulty
//   (default 1, normal) and the stage (default 1; a later one stands for those cleared before
//   it). It plays until the run leaves play (the stream's end, a game over, a stage clear) or
//   after N play frames. --fast draws one frame in eight, as a fast-forwarded replay does (the
//   digests do not depend on it). --kit writes only the kit's files the pattern selects (default:
//   the whole kit). Each line: the play frame's number from 0 and its digest in hex.
#include <stdlib.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/shell_state.h"
#include "tools/headless/headless_game.h"

namespace {

constexpr const char* kPlaybackPath = "replay/playback.rpy";

int Usage() {
  std::fprintf(stderr,
               "usage: play_replay [--stage N] [--difficulty D] [--frames N] [--fast] "
               "[--kit PATTERN] REPLAY\n");
  return 2;
}

// A fresh folder below the system's temporary folder, removed when the player ends.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "play_replay-XXXXXX").string();
    if (mkdtemp(name.data()) != nullptr) path_ = name;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

int Play(const std::string& replay, const GameStartChoice& choice, long frames, bool fast,
         const char* kit) {
  ScratchFolder folder;
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
    std::fprintf(stderr, "play_replay: the run did not reach play\n");
    return 1;
  }
  while (game.running() && CurrentScene == kScenePlay &&
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
    const bool valued = i + 1 < argc;
    if (a == "--stage" && valued) {
      choice.stage = static_cast<int16_t>(std::atoi(argv[++i]));
    } else if (a == "--difficulty" && valued) {
      choice.difficulty = static_cast<int16_t>(std::atoi(argv[++i]));
    } else if (a == "--frames" && valued) {
      frames = std::atol(argv[++i]);
    } else if (a == "--kit" && valued) {
      kit = argv[++i];
    } else if (a == "--fast") {
      fast = true;
    } else if (!a.empty() && a[0] != '-' && replay.empty()) {
      replay = a;
    } else {
      return Usage();
    }
  }
  if (replay.empty() || choice.stage < 1 || choice.stage > 7 || choice.difficulty < 0 ||
      choice.difficulty > 3)
    return Usage();
  // Headless, whatever the caller's session has.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  return Play(replay, choice, frames, fast, kit);
}
