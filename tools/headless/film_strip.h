// A film strip of a stage, for people to see it: the game played headless on the software path
// from a stage's start or a checkpoint, on a replay or on a scripted flight, drawing only the
// frames it films, and one PNG contact sheet of them: a frame every N, half size, four to a
// row, each labelled with its frame number, stage and scene, and the live enemies of the four
// pools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/headless/headless_game.h"

struct FilmOptions {
  // Stage, difficulty and checkpoint; the film always plays a stream back (its mode is 1).
  GameStartChoice start;
  int every = 60;  // frames from one filmed frame to the next
  // 0: until the stage ends (a stage clear, a game over, the stream's end, or the map's end
  // reached with nothing left to fight). Else this many frames, on through stage clears.
  long frames = 0;
  // A replay file to play back; "" for the scripted flight: Shot held, a slow weave up and
  // down, the ship immune, the first weapons of each weapon select.
  std::string replay;
  // The data kit's files to write (tools/datakit/kit_build.h patterns); "" for the pictures
  // the filmed stages need, without sound.
  std::string kit;
};

struct FilmFrame {
  long frame = 0;  // frames since the stage's first play frame, which is 0
  int16_t stage = 0;
  int32_t scene = 0;
  int enemies = 0;  // objects in use in the four enemy pools
};

struct FilmResult {
  std::string error;  // "" when the film was made
  std::vector<FilmFrame> frames;
  std::vector<uint8_t> png;  // the contact sheet
  long played = 0;           // frames run from the stage's first play frame
  std::string ending;        // why the film stopped, in words
};

// Plays and films as the options say. Starts the game in a scratch folder and quits it again;
// the caller's SDL drivers should be the dummy ones (the software path).
FilmResult FilmStage(const FilmOptions& options);

// The scene's name as the sheet's labels print it.
std::string SceneLabel(int32_t scene);
