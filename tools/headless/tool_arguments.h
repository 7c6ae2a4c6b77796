// The command-line arguments that the headless tools share: whole numbers read strictly, and
// the run's start (--stage, --difficulty, --checkpoint) into a GameStartChoice.
#pragma once

#include <string>

#include "tools/headless/headless_game.h"

// More play frames than a replay's stream holds bytes are never needed.
constexpr long kMaxFramesArgument = 512000;

// text as a whole decimal number within [low, high] into *out; false (out untouched) for null,
// anything else, or a number outside.
bool ReadNumberArgument(const char* text, long low, long high, long* out);
// --stage 1..7, --difficulty 0..3 or --checkpoint 0..99 with its value into *choice; false for
// another name or a value that is missing or out of range.
bool ReadStartArgument(const std::string& name, const char* value, GameStartChoice* choice);
