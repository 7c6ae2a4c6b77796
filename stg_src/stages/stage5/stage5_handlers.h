// Stage 5's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage5/stage5.h"
#include "stg_src/stages/stage6/stage6.h"

inline constexpr StageHandlerColumn kStage5Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage5Boss1),             // 10
            StepOnly(UpdateStage5Boss2),             // 11
            StepOnly(UpdateStage5Boss3),             // 12
            StepOnly(UpdateStage5Boss4),             // 13
            StepOnly(UpdateStage5Boss5),             // 14
            StepOnly(UpdateStage5HatchZako),         // 15
            StepOnly(UpdateStage5HatchZakoReverse),  // 16
            StepOnly(UpdateStage5LaserHou),          // 17
            StepOnly(UpdateStage5LaserHou2),         // 18
            StepOnly(UpdateStage5Maru),              // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage1CrossGunner),   // 10
            StepOnly(UpdateStage4Striker),       // 11
            StepOnly(UpdateStage5Shutter),       // 12
            StepOnly(UpdateStage5Rammer),        // 13
            StepOnly(UpdateStage5ZakoLauncher),  // 14
            StepOnly(UpdateStage5LaunchedZako),  // 15
            StepOnly(UpdateStage5Jet),           // 16
            StepOnly(UpdateStage5Ring),          // 17
            StepOnly(UpdateStage1BossWaypoint),  // 18
            StepOnly(UpdateStage5AnimBlock),     // 19
        },
    .pool3 =
        {
            StepOnly(UpdateStage5LoopAnim),      // 0
            StepOnly(UpdateStage5LauncherAnim),  // 1
            kNoStageBehaviour,                   // 2
            kNoStageBehaviour,                   // 3
        },
    .parts =
        {
            UpdateStage5FollowerPart,       // 2
            UpdateStage5LaserHouPart,       // 3
            UpdateStage5RammerGunPart,      // 4
            UpdateStage5ZakoGunPart,        // 5
            UpdateStage5MaruPart,           // 6
            UpdateStage5JetPart,            // 7
            UpdateStage5ShutterPart,        // 8
            UpdateStage5RingPart,           // 9
            UpdateStage5Boss1CannonPart,    // 10
            UpdateStage5Boss1SidePart,      // 11
            UpdateStage5Boss1GunPart,       // 12
            UpdateStage5Boss1LauncherPart,  // 13
            UpdateStage5Boss1ArmPart,       // 14
            UpdateStage5Boss2ArmAPart,      // 15
            UpdateStage5Boss2ArmBPart,      // 16
            UpdateStage5Boss2GunPart,       // 17
            UpdateStage5Boss2WingPart,      // 18
            UpdateStage5Boss2TailPart,      // 19
            UpdateStage5BossCorePart,       // 20
            UpdateStage5Boss3ArmPart,       // 21
            UpdateStage5Boss3CannonPart,    // 22
            UpdateStage5Boss3LauncherPart,  // 23
            UpdateStage5Boss4ArmPart,       // 24
            UpdateStage5Boss4PodPart,       // 25
            UpdateStage5Boss4BeamPart,      // 26
            UpdateStage5Boss5PlatePart,     // 27
            UpdateStage5Boss5ClawPart,      // 28
            UpdateStage5Boss5BarPart,       // 29
            UpdateStage5Boss5GunPart,       // 30
            UpdateStage5Boss5RailPart,      // 31
        },
    .shots =
        {
            UpdateStage5CannonShot,    // 17
            UpdateStage5CurveShot,     // 18
            UpdateStage5SeekerShot,    // 19
            UpdateStage6TrailDotShot,  // 20
            UpdateStage5TurningShot,   // 21
            UpdateStage6TrailDotShot,  // 22
            nullptr,                   // 23
            nullptr,                   // 24
            nullptr,                   // 25
            nullptr,                   // 26
        },
    .script = nullptr,
};
