// The files of a game folder for a kit pattern (tools/headless/headless_game.h), built once for
// all the tests of a test program: ctest runs each test in a process of its own, and the stage
// tests would otherwise paint and synthesise the same kit seconds at a time in every one. The
// first process that asks builds the files and keeps them in a pack beside the program; the
// others wait for it and read the pack. A rebuilt program (another size or time) starts afresh;
// while a test fakes a stage's maps, the files are built for it alone.
#pragma once

#include <string>

#include "tools/headless/headless_game.h"

GameFolderFiles CachedGameFolderFiles(const char* kit);

// Where the pack of that kit pattern is kept ("" when the program's folder cannot hold one).
std::string GameFolderPackPath(const char* kit);
