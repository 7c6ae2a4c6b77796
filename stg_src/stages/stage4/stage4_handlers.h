// Stage 4's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage4/stage4.h"

inline constexpr StageHandlerColumn kStage4Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage4Boss),          // 10
            StepOnly(UpdateStage4Chubosu),       // 11
            StepOnly(UpdateStage4Gunboat),       // 12
            StepOnly(UpdateStage4LauncherShip),  // 13
            StepOnly(UpdateStage4LaserWheel),    // 14
            StepOnly(UpdateStage4TurretMount),   // 15
            StepOnly(UpdateStage4FireWall),      // 16
            kNoStageBehaviour,                   // 17
            kNoStageBehaviour,                   // 18
            kNoStageBehaviour,                   // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage2SpreadGunner),  // 10
            StepOnly(UpdateStage4Striker),       // 11
            StepOnly(UpdateStage4HatchZako),     // 12
            StepOnly(UpdateStage4Entry),         // 13
            StepOnly(UpdateStage4PodRing),       // 14
            StepOnly(UpdateStage4Piston),        // 15
            StepOnly(UpdateStage4SlidingBlock),  // 16
            StepOnly(UpdateStage4Dasher),        // 17
            StepOnly(UpdateStage4Swooper),       // 18
            kNoStageBehaviour,                   // 19
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
            UpdateStage2SpreadGunnerWingPart,  // 2
            UpdateStage4LauncherPart,          // 3
            UpdateStage4EntryCorePart,         // 4
            UpdateStage4EntryWallPart,         // 5
            UpdateStage4EntryGunPart,          // 6
            UpdateStage4UpperTurretPart,       // 7
            UpdateStage4LowerTurretPart,       // 8
            UpdateStage4RingPodPart,           // 9
            UpdateStage4PistonBasePart,        // 10
            UpdateStage4PistonHeadPart,        // 11
            UpdateStage4SlidingBlockPart,      // 12
            UpdateStage4LaserWheelPart,        // 13
            nullptr,                           // 14
            nullptr,                           // 15
            nullptr,                           // 16
            nullptr,                           // 17
            nullptr,                           // 18
            nullptr,                           // 19
            UpdateStage4BossCorePart,          // 20
            UpdateStage4BossArmPart,           // 21
            UpdateStage4BossBodyPart,          // 22
            UpdateStage4BossLaserPart,         // 23
            UpdateStage4BossCannonPart,        // 24
            UpdateStage4ExhaustPart,           // 25
            UpdateStage4ChubosuCorePart,       // 26
            UpdateStage4ChubosuBodyPart,       // 27
            UpdateStage4ChubosuGunPart,        // 28
            UpdateStage4ChubosuTurretPart,     // 29
            UpdateStage4ChubosuAnimPart,       // 30
            nullptr,                           // 31
        },
    .shots =
        {
            UpdateStage4PodShot,          // 17
            UpdateStage4BouncingShot,     // 18
            UpdateStage4BounceTrailShot,  // 19
            UpdateStage4SpinningShot,     // 20
            UpdateStage4BurstShot,        // 21
            UpdatePlainShot,              // 22
            UpdateWarningLineShot,        // 23
            UpdateStage4LaserShot,        // 24
            UpdateStage4LaserChargeShot,  // 25
            UpdateStage4LaserBurstShot,   // 26
        },
    .script = nullptr,
};
