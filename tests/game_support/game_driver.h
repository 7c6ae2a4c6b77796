// The headless game driver for the shell, field and stage tests: the headless game
// (tools/headless/headless_game.h: the game's own start-up, loop iterations and exit sequence in
// a folder with the player folders, the data kit's files a test asks for and every stage's maps,
// the port's clock 17 ms a frame, the manual sound back-end, the run's digests) in a
// temporary folder, under SDL's dummy drivers (or the offscreen one a test sets), with the port's
// scripted message-box answer and one virtual joypad. Each frame: the script's keys and pad bits
// and the damage it deals to chosen enemies, then the game's frame and the test's callback. The
// ship can be made immune for the whole run. A run can be started from the title menu on any
// stage.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "stg_src/field/test_hooks.h"
#include "tests/support/input_fixtures.h"
#include "tests/support/temp_folder.h"
#include "tools/headless/headless_game.h"

// What is held during one frame.
struct FrameInput {
  std::set<int> keys;    // DirectInput key codes
  uint32_t padBits = 0;  // pad-mask bits: 0 down, 1 left, 2 right, 3 up, 4 and on the buttons
  // Damage dealt before the frame runs, as a player shot's hit would (DamageEnemyForTest).
  std::vector<std::pair<TestDamageTarget, int32_t>> damage = {};
};

class GameDriver {
 public:
  struct Options {
    int messageBoxAnswer = 7;  // IDNO: a window
    // The real clock and the game's own waiting, instead of 17 ms steps of the port's clock.
    bool paced = false;
    // Play frames draw one frame in eight, as a fast-forwarded replay does (the digests never
    // depend on drawing).
    bool fast = false;
    // The data kit's files that this pattern selects (tools/datakit/kit_build.h; "" is the
    // whole kit) written into the folder before start-up, as files or as one archive; null for
    // none (tests then write their own fixtures).
    const char* kit = nullptr;
    bool kitArchive = false;
    // The ship neither dies nor spends its shield when hit (SetShipImmuneForTest).
    bool immuneShip = false;
  };

  explicit GameDriver(Options options);
  GameDriver() : GameDriver(Options()) {}
  ~GameDriver();  // a game still running quits through its exit sequence
  GameDriver(const GameDriver&) = delete;
  GameDriver& operator=(const GameDriver&) = delete;

  // The game's state back to program start, then its start-up. 0, or -1 as WinMain returns
  // when the library does not start.
  int Start();
  // From the title into the chosen stage's first play frame (StartRunFromTitle), the weapon
  // select's four choices confirmed with Shot. False when play was not reached.
  bool StartGame(const GameStartChoice& choice);
  // One frame with this input. False once the loop has ended; the exit sequence has then run.
  bool Step(const FrameInput& input = {});
  // Steps until the loop ends or `frames` have run, frame i held as script(i). The frames run.
  int Run(int frames, const std::function<FrameInput(int)>& script = nullptr);
  // Ends a running game through its exit sequence, as the loop's end does.
  void Quit();
  // Asks the window to close, as its close button does.
  void CloseWindow();

  // Runs after every loop iteration; tests set scenes and play-field words here.
  std::function<void()> afterFrame;
  // The digest after every unpaused play frame; long runs that read none switch it off (the
  // enemy pools alone are megabytes to sum).
  bool digestFrames = true;

  bool running() const { return game_ && game_->running(); }
  int frames() const { return static_cast<int>(scenes_.size()); }
  // CurrentScene after every frame.
  const std::vector<int32_t>& scenes() const { return scenes_; }
  // The run's digest after every unpaused play frame (DigestGameState(DigestScope::Run)).
  const std::vector<uint64_t>& digests() const { return game_->digests(); }
  const TempFolder& folder() const { return folder_; }
  // The runtime's log ("Log.txt" beside the game), which the game switches off and the driver
  // back on after start-up.
  std::string LogText() const;

 private:
  void ApplyInput(const FrameInput& input);

  Options options_;
  TempFolder folder_;
  std::unique_ptr<HeadlessGame> game_;
  VirtualPads pads_;
  int pad_ = -1;
  FrameInput held_;
  std::vector<int32_t> scenes_;
};
