// Films a stage headless on the software path and writes one PNG contact sheet, so that people
// can see a stage without playing it.
//
//   film_stage [--stage N] [--difficulty D] [--checkpoint N] [--every N] [--frames N]
//              [--replay FILE] [--kit PATTERN] OUTPUT.png
//
//   The run starts from the title on the stage (default 1) and difficulty (default 1, normal),
//   at its start or at a checkpoint of its map. It flies a scripted pattern (Shot held, a slow
//   weave up and down, the ship immune, the first weapons) or plays the replay FILE back, and
//   films a frame every N (default 60), counted from the stage's first play frame: half size,
//   four to a row, each labelled with its frame number, stage, scene and the live enemies of
//   the four pools. It stops at the stage's end (a stage clear, a game over, the stream's end,
//   or the map's end with nothing left to fight), or with --frames after N frames, playing on
//   through stage clears. --kit writes only the kit's files the pattern selects (default: the
//   pictures the stages need, no sound). Prints what it filmed and why it stopped.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/headless/film_strip.h"
#include "tools/headless/tool_arguments.h"

namespace {

constexpr long kMaxEvery = 100000;

int Usage() {
  std::fprintf(stderr,
               "usage: film_stage [--stage N] [--difficulty D] [--checkpoint N] [--every N] "
               "[--frames N] [--replay FILE] [--kit PATTERN] OUTPUT.png\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  FilmOptions options;
  std::string output;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    long number = 0;
    if (ReadStartArgument(a, value, &options.start)) {
      ++i;
    } else if (a == "--every" && ReadNumberArgument(value, 1, kMaxEvery, &number)) {
      options.every = static_cast<int>(number);
      ++i;
    } else if (a == "--frames" && ReadNumberArgument(value, 1, kMaxFramesArgument, &number)) {
      options.frames = number;
      ++i;
    } else if (a == "--replay" && value) {
      options.replay = argv[++i];
    } else if (a == "--kit" && value) {
      options.kit = argv[++i];
    } else if (!a.empty() && a[0] != '-' && output.empty()) {
      output = a;
    } else {
      const bool valued = a.rfind("--", 0) == 0 && value != nullptr;
      std::fprintf(stderr, "film_stage: bad argument %s%s%s\n", a.c_str(), valued ? " " : "",
                   valued ? value : "");
      return Usage();
    }
  }
  if (output.empty()) return Usage();

  // The output is tried first, so that no film is made for nowhere; a file that was there is
  // replaced only by a finished sheet.
  std::error_code unknown;
  const bool existed = std::filesystem::exists(output, unknown);
  if (!std::ofstream(output, std::ios::binary | std::ios::app)) {
    std::fprintf(stderr, "film_stage: cannot write %s\n", output.c_str());
    return 1;
  }
  // Headless on the software path, whatever the caller's session has.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const FilmResult film = FilmStage(options);
  if (!film.error.empty()) {
    if (!existed) std::remove(output.c_str());
    std::fprintf(stderr, "film_stage: %s\n", film.error.c_str());
    return 1;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(film.png.data()),
            static_cast<std::streamsize>(film.png.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "film_stage: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s: %zu frames filmed of %ld played; %s\n", output.c_str(), film.frames.size(),
              film.played, film.ending.c_str());
  return 0;
}
