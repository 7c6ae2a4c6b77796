#include "tools/headless/tool_arguments.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr long kLastStage = 7;
constexpr long kLastDifficulty = 3;
constexpr long kLastCheckpoint = 99;

}  // namespace

bool ReadNumberArgument(const char* text, long low, long high, long* out) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  *out = value;
  return true;
}

bool ReadStartArgument(const std::string& name, const char* value, GameStartChoice* choice) {
  int16_t* field = nullptr;
  long low = 0, high = 0;
  if (name == "--stage") {
    field = &choice->stage, low = 1, high = kLastStage;
  } else if (name == "--difficulty") {
    field = &choice->difficulty, high = kLastDifficulty;
  } else if (name == "--checkpoint") {
    field = &choice->checkpoint, high = kLastCheckpoint;
  } else {
    return false;
  }
  long number = 0;
  if (!ReadNumberArgument(value, low, high, &number)) return false;
  *field = static_cast<int16_t>(number);
  return true;
}
