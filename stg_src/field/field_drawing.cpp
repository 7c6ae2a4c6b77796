#include "stg_src/field/play_field.h"
#include "stg_src/shell/result_scenes.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/deterministic.h"

void DrawPlayField() {
  if (FastForwardRequest == 1) FrameSkipPhase = static_cast<int16_t>((FrameSkipPhase + 1) % 8);
  DrawEndingCredits();
}
