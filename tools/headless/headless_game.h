// The game run headless, for the tests' driver, the replay player and the film of a stage: a
// folder that holds the player folders the game expects, the data kit's files asked for and the
// maps of stages 1-7 (a stage's own, the test stage's where it has none); the game's own
// start-up (SetGameScreen on whatever screen SDL's video driver leaves), loop iterations and exit
// sequence, with the port's clock moved 17 ms a frame (no waiting unless paced) and the manual
// sound back-end moved one frame a frame; the run's digest after every unpaused play frame; and a
// run started from the title menu on a chosen stage and checkpoint. Input is the caller's: it is
// pushed before a frame and read by that frame's message pass.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/datakit/kit_file.h"

// What a game folder gets besides the player folders: the data kit's files that a pattern
// selects (tools/datakit/kit_build.h; "" is the whole kit; hasKit false for none), and every
// stage's maps (tools/datakit/maps/stage_maps.h: its own, the test stage's where it has none),
// whatever the kit selects.
struct GameFolderFiles {
  bool hasKit = false;
  std::vector<KitFile> kit;
  std::vector<KitFile> maps;
};
GameFolderFiles BuildGameFolderFiles(const char* kit);

// The player folders, the kit's files as files or as one archive, and the maps as files. "" or
// what could not be written.
std::string PrepareGameFolder(const std::string& folder, const GameFolderFiles& files,
                              bool kitArchive);
// The same with the files built for kit (null: none).
std::string PrepareGameFolder(const std::string& folder, const char* kit, bool kitArchive);

class HeadlessGame {
 public:
  struct Options {
    int messageBoxAnswer = 7;  // IDNO: a window
    // The real clock and the game's own waiting, instead of 17 ms steps of the port's clock.
    bool paced = false;
    // Play frames draw one frame in eight, as a fast-forwarded replay does (the digests never
    // depend on drawing): in normal play through the fast-forward word, in a playback by the
    // Shot key held, as the player fast-forwards one (playback resets the word otherwise).
    bool fast = false;
  };

  // The folder is made current while the game lives (it must exist).
  HeadlessGame(const std::string& folder, Options options);
  ~HeadlessGame();  // a game still running quits through its exit sequence
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // The game's state back to program start, then its start-up. 0, or -1 as WinMain returns
  // when the library does not start.
  int Start();
  // One frame: the clock on, the window's messages, one loop iteration. False once the loop has
  // ended; the exit sequence has then run.
  bool Step();
  // Ends a running game through its exit sequence, as the loop's end does.
  void Quit();

  // The digest after every unpaused play frame; long runs that read none switch it off (the
  // enemy pools alone are megabytes to sum).
  bool digestFrames = true;
  bool running() const { return running_; }
  // The run's digest after every unpaused play frame (DigestGameState(DigestScope::Run)).
  const std::vector<uint64_t>& digests() const { return digests_; }
  // The folder as the game sees it ("Z:\...").
  std::string WindowsFolder() const;

 private:
  // Presses or lets go the Shot key for a playback's fast-forward, as the frame needs.
  void HoldFastForwardKey();

  std::string folder_;
  std::string previousDirectory_;
  Options options_;
  bool running_ = false;
  bool shotKeyHeld_ = false;
  std::vector<uint64_t> digests_;
};

// The SDL scancode that the port's key layout reads as this DirectInput key code, 0 for none.
int ScancodeOfKey(int code);
// A key event for the game's window, as the keyboard sends it.
void PushGameKey(int scancode, bool down);

// How a run is started from the title menu: the play mode (0 normal, 1 replay playback), the
// difficulty, the stage and its checkpoint. A stage after the first stands for the ones cleared
// before it: the run goes on there as the stage-clear scene hands over. A checkpoint above 0
// starts the stage there as a continue restarts it (RestartAtCheckpoint: no opening count, the
// window filled at the marker on the first play frame).
struct GameStartChoice {
  int16_t mode = 0;
  int16_t difficulty = 1;
  int16_t stage = 1;
  int16_t checkpoint = 0;  // 0 the stage's start
};

// A run started as the title leads to it: one frame of the title visit (a new game's lives,
// credits and weapons), then the title menu's start (StartPlay) with that choice and the stage
// chosen, then frames until the stage's first play frame has run. step(i) runs frame i with the
// caller's input (it holds the weapon select's Shot there; playback reads the weapons from the
// stream) and is false once the loop has ended. False when play was not reached within 64
// frames, and for a checkpoint the stage's map does not have (HasCheckpoint).
bool StartRunFromTitle(const GameStartChoice& choice, const std::function<bool(int frame)>& step);
// Whether the loaded stage's map has checkpoint k: 0, its start, always; from 1 up to the markers
// it holds less one, as the restart counts them (CheckpointCount).
bool HasCheckpoint(int k);
// Why StartRunFromTitle gave false, for the tools' messages.
std::string DescribeFailedStart(const GameStartChoice& choice);
// The run is in a stage or on its way into the next one (stage clear, weapon select, stage
// start), where a run's playback goes on; not once it has ended (a game over, the title, the
// game end that closes a playback).
bool IsRunGoingOn();
