#include "stg_src/game_state.h"

#include "stg_src/field/play_field.h"
#include "stg_src/shell/input_state.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/deterministic.h"

void ResetGameState() {
  ResetShellState();
  ResetInputState();
  ResetReplayState();
  ResetPlayFieldState();
}

StateDigest DigestGameState(DigestScope scope) {
  StateDigest digest;
  DigestShellState(digest, scope);
  DigestInputState(digest, scope);
  DigestReplayState(digest, scope);
  DigestPlayFieldState(digest, scope);
  return digest;
}
