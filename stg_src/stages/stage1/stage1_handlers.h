// Stage 1's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage1/stage1.h"

inline constexpr StageHandlerColumn kStage1Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage1Boss),            // 10
            StepOnly(UpdateStage1Robo),            // 11
            StepOnly(UpdateStage1HatchRiser),      // 12
            StepOnly(UpdateStage1Hatch),           // 13
            StepOnly(UpdateStage1Bokan),           // 14
            StepOnly(UpdateStage1BeamCannonHigh),  // 15
            StepOnly(UpdateStage1BeamCannonLow),   // 16
            StepOnly(UpdateStage1BgObjectPlacer),  // 17
            StepOnly(UpdateStage1SkyBakuPlacer),   // 18
            StepOnly(UpdateStage1SoraPlacer),      // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage1CrossGunner),   // 10
            StepOnly(UpdateStage1MortarWalker),  // 11
            StepOnly(UpdateStage1IwaL),          // 12
            StepOnly(UpdateStage1IwaM),          // 13
            StepOnly(UpdateStage1IwaS1),         // 14
            StepOnly(UpdateStage1CeilingIwaS1),  // 15
            StepOnly(UpdateStage1CeilingIwaS2),  // 16
            StepOnly(UpdateStage1CeilingIwaS3),  // 17
            StepOnly(UpdateStage1BossWaypoint),  // 18
            StepOnly(UpdateStage1Kabe),          // 19
        },
    .pool3 =
        {
            StepOnly(UpdateStage1DisabledBgObject),  // 0
            StepOnly(UpdateStage1Hougeki),           // 1
            StepOnly(UpdateStage1SkyBaku),           // 2
            StepOnly(UpdateStage1Sora),              // 3
        },
    .parts =
        {
            UpdateStage1RoboAsiPart,       // 2
            UpdateStage1BeamEmitterPart,   // 3
            nullptr,                       // 4
            UpdateStage1MortarWalkerPart,  // 5
            UpdateStage1KabeCorePart,      // 6
            UpdateStage1KabePart,          // 7
            UpdateStage1JikiPart,          // 8
            UpdateStage1BokanHatchPart,    // 9
            UpdateStage1BokanVerniaPart,   // 10
            UpdateStage1HougekiPart,       // 11
            UpdateStage1KabeHouPart,       // 12
            nullptr,                       // 13
            nullptr,                       // 14
            nullptr,                       // 15
            nullptr,                       // 16
            nullptr,                       // 17
            nullptr,                       // 18
            nullptr,                       // 19
            UpdateStage1BossCorePart,      // 20
            UpdateStage1BossArmPart,       // 21
            UpdateStage1BossLauncherPart,  // 22
            UpdateStage1BossSliderPart,    // 23
            UpdateStage1BossGunPart,       // 24
            UpdateStage1JetFlamePart,      // 25
            UpdateStage1BossThrusterPart,  // 26
            UpdateStage1ShurikenPart,      // 27
            UpdateStage1BossWingPart,      // 28
            nullptr,                       // 29
            nullptr,                       // 30
            nullptr,                       // 31
        },
    .shots =
        {
            UpdateStage1RetargetShot,  // 17
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
