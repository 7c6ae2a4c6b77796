#include "stg_src/game_state.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

void ResetGameState() {
  ResetSharedState();
  ResetShellState();
  ResetSoundState();
  ResetInputState();
  ResetReplayState();
  ResetPlayFieldState();
}

StateDigest DigestGameState(DigestScope scope) {
  StateDigest digest;
  DigestSharedState(digest, scope);
  DigestShellState(digest, scope);
  DigestSoundState(digest, scope);
  DigestInputState(digest, scope);
  DigestReplayState(digest, scope);
  DigestPlayFieldState(digest, scope);
  return digest;
}
