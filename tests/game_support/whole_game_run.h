// The whole game played through the headless driver from start-up back to the title: the boot
// and the logo, the title menu's START on HARD, each weapon select confirmed, stages 1-7 flown
// on a script (weaving and firing in bursts), the end screen with its replay question, and the
// logo and the title again. The ship is immune; the script deals damage only to the boss on
// screen and to the enemies that hold the scroll, once they have been there a while, and only to
// what a shot could hit (a live, shown, shootable part or body with a hit circle and life left).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tests/game_support/game_driver.h"

// The driver the run needs: the whole kit, fast play, the immune ship.
GameDriver::Options WholeGameOptions();

// The script's play: Input() before each play frame, Watch() after it; a new stage starts it
// afresh. It reads the play field's words only.
class WholeGamePlayScript {
 public:
  FrameInput Input() const;
  void Watch();
  // The view has stood still for long with no boss or scroll holder live: nothing is left to
  // end the stage.
  bool Stalled() const;

 private:
  int frame_ = 0;        // play frames of the stage
  int bossFrames_ = 0;   // frames the boss has stood on screen
  int holdFrames_ = 0;   // frames the scroll has been held with a holder live
  int stillFrames_ = 0;  // frames the view has stood with no boss or holder live
};

struct WholeGameRun {
  // The scenes from start-up on, in order, a scene held for frames told once.
  std::vector<int32_t> scenes;
  // The pool-0 types of the bosses beaten on each stage (index: the stage), in order: each object
  // of the boss's type that went from live to beaten.
  std::vector<int> bossesBeaten[8];
  int playFrames[8] = {};
  int32_t score = 0;
  int16_t lowestCredits = 9;
  bool gameOver = false;
  // The stage whose play ran out of frames before it cleared; 0 for none.
  int stalledStage = 0;
  bool backAtTitle = false;
  // Live graph and sound handles at the first title menu and back at the title.
  int graphsAtFirstTitle = 0, soundsAtFirstTitle = 0;
  int graphsBackAtTitle = 0, soundsBackAtTitle = 0;
};

// Plays the run on a started-up driver (GameDriver::Start not yet called). afterPlayFrame runs
// after every frame of play. A stage that stalls or has not cleared after mostPlayFrames stops
// the run.
WholeGameRun PlayWholeGame(GameDriver& driver, int mostPlayFrames = 16000,
                           const std::function<void()>& afterPlayFrame = nullptr);
