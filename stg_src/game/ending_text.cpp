#include "stg_src/game/ending_text.h"

#include <cstring>

#include "runtime/platform/files/file_functions.h"
#include "stg_src/game/file_reports.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

char EndingTextLines[kEndingTextRows][kEndingTextRowBytes];

namespace {

// Each line read stores at most 63 bytes and its terminating zero.
constexpr int kEndingLineBuffer = 64;

}  // namespace

void LoadEndingText() {
  std::memset(EndingTextLines, 0, sizeof EndingTextLines);
  SceneWork[1] = 0;
  const FileHandle file = OpenFileForRead("data/ed.txt", 0);
  if (file == 0) {
    ReportUnreadableFile("data/ed.txt", "the ending shows no text");
    return;
  }
  // A line longer than a row goes on in the next row; an empty line ends the text.
  while (SceneWork[1] < kEndingTextRows &&
         ReadFileLine(EndingTextLines[SceneWork[1]], kEndingLineBuffer, file) > 0) {
    SceneWork[1] += 1;
  }
  CloseStreamFile(file);
}
