// Stage 2's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage2/stage2.h"

inline constexpr StageHandlerColumn kStage2Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage2Boss),           // 10
            StepOnly(UpdateStage2Marui),          // 11
            StepOnly(UpdateStage2Sikaku),         // 12
            StepOnly(UpdateStage2Senkan),         // 13
            StepOnly(UpdateStage2Senkan2),        // 14
            StepOnly(UpdateStage2Houdai),         // 15
            StepOnly(UpdateStage2HoudaiReverse),  // 16
            StepOnly(UpdateStage2IwaLSpawner),    // 17
            StepOnly(UpdateStage2IwaMSpawner),    // 18
            StepOnly(UpdateStage2IwaSSpawner),    // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage2SpreadGunner),  // 10
            StepOnly(UpdateStage2WingOpener),    // 11
            StepOnly(UpdateStage2Iwa),           // 12
            StepOnly(UpdateStage2IwaPiece),      // 13
            StepOnly(UpdateStage2IwaPiece),      // 14
            StepOnly(UpdateStage2IwaPiece),      // 15
            StepOnly(UpdateStage2IwaPiece),      // 16
            StepOnly(UpdateStage2IwaPiece),      // 17
            StepOnly(UpdateStage2Ion),           // 18
            StepOnly(UpdateStage2IwaKabe),       // 19
        },
    .pool3 =
        {
            kNoStageBehaviour,  // 0
            kNoStageBehaviour,  // 1
            kNoStageBehaviour,  // 2
            kNoStageBehaviour,  // 3
        },
    .parts =
        {
            UpdateStage2SpreadGunnerWingPart,   // 2
            UpdateStage2WingOpenerWingPart,     // 3
            UpdateStage2MaruiPart,              // 4
            UpdateStage2SikakuJetPart,          // 5
            UpdateStage2SenkanHullPart,         // 6
            UpdateStage2SenkanUpperTurretPart,  // 7
            UpdateStage2SenkanLowerTurretPart,  // 8
            UpdateStage2IwaKabePart,            // 9
            UpdateStage2KabeCorePart,           // 10
            nullptr,                            // 11
            nullptr,                            // 12
            nullptr,                            // 13
            nullptr,                            // 14
            nullptr,                            // 15
            nullptr,                            // 16
            nullptr,                            // 17
            nullptr,                            // 18
            nullptr,                            // 19
            UpdateStage2BossCorePart,           // 20
            UpdateStage2BossArmPart,            // 21
            UpdateStage2BossFinPart,            // 22
            UpdateStage2BossSideGunPart,        // 23
            UpdateStage2BossTailGunPart,        // 24
            UpdateStage2SenkanBeamPart,         // 25
            UpdateStage2Senkan2BeamPart,        // 26
            nullptr,                            // 27
            nullptr,                            // 28
            nullptr,                            // 29
            nullptr,                            // 30
            nullptr,                            // 31
        },
    .shots =
        {
            UpdateStage2RetargetShot,  // 17
            nullptr,                   // 18
            nullptr,                   // 19
            nullptr,                   // 20
            nullptr,                   // 21
            nullptr,                   // 22
            nullptr,                   // 23
            nullptr,                   // 24
            nullptr,                   // 25
            nullptr,                   // 26
        },
    .script = nullptr,
};
