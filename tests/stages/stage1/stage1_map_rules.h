// The stage-map check's rules for stage 1's maps: the codes the stage uses, four checkpoints
// with checkpoint 1 just after the start, and a boss route the boss can finish: waypoints only
// with route commands, commands 1, 2 or 4 among them, a command-9 waypoint that sends it right
// (without one it would never transform, time out or end the stage), and a large rock in its
// path past the line where the wing plates break off.
#pragma once

#include "tests/game_support/stage_map_check.h"

StageMapRules Stage1MapRules();
