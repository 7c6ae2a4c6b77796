// The scenes that end a stage or a run: the stage-clear screen (scene 1002), the closing scenes
// 998 to 1001 (continue question, game end, game over, end screen), and the overlay that
// frames the play field from stage 3 on and scrolls the ending text.
#pragma once

#include <cstdint>

void UpdateStageClearScene();
void DrawStageClearScene();
// The cleared stage's bonus: the items collected times the difficulty's unit, doubled for 10.
int32_t StageBonus();
void UpdateGameOverScene();
void DrawGameOverScene();
// Last step of every drawn play frame.
void DrawEndingCredits();
