#include "tests/game_support/live_handles.h"

#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/sound/sound_handles.h"

int LiveGraphCount() { return GraphHandles.count; }
int LiveSoundCount() { return SoundHandles.count; }
