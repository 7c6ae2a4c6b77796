#include "stg_src/shell/result_scenes.h"

#include "stg_src/deterministic.h"

// Empty until the closing scenes are written.
void UpdateStageClearScene() {}
void DrawStageClearScene() {}
void UpdateGameOverScene() {}
void DrawGameOverScene() {}
void DrawEndingCredits() {}
