// Stage 6's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage6/stage6.h"

inline constexpr StageHandlerColumn kStage6Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage6Boss),                      // 10
            StepOnly(UpdateStage6Robo),                      // 11
            StepOnly(UpdateStage6Club),                      // 12
            StepOnly(UpdateStage6Entry),                     // 13
            StepOnly(UpdateStage6OrbitCarrier),              // 14
            StepOnly(UpdateStage6FloorGunner),               // 15
            StepOnly(UpdateStage6CeilingGunner),             // 16
            {UpdateZakoPairSpawner, GateStage6PairSpawner},  // 17
            {UpdateZakoSpawner, GateStage6SingleSpawner},    // 18
            kNoStageBehaviour,                               // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage6Press),              // 10
            StepOnly(UpdateStage6BlockPairMount),     // 11
            StepOnly(UpdateStage6PistonMount),        // 12
            StepOnly(UpdateStage6CornerTurretMount),  // 13
            StepOnly(UpdateStage6Elevator),           // 14
            StepOnly(UpdateStage6WarpGate),           // 15
            StepOnly(UpdateStage6Fusha),              // 16
            StepOnly(UpdateStage6Shutter),            // 17
            kNoStageBehaviour,                        // 18
            kNoStageBehaviour,                        // 19
        },
    .pool3 =
        {
            StepOnly(UpdateStage6ClubBackLegs),  // 0
            kNoStageBehaviour,                   // 1
            kNoStageBehaviour,                   // 2
            kNoStageBehaviour,                   // 3
        },
    .parts =
        {
            UpdateStage6PressPart,             // 2
            UpdateStage6BlockPairPart,         // 3
            UpdateStage6PistonPart,            // 4
            UpdateStage6CornerTurretPart,      // 5
            UpdateStage6BlockPairCorePart,     // 6
            UpdateStage6ElevatorPlatformPart,  // 7
            UpdateStage6ElevatorSidePart,      // 8
            UpdateStage6ElevatorGunPart,       // 9
            UpdateStage6WarpPart,              // 10
            UpdateStage6FushaBladePart,        // 11
            UpdateStage6RoboLegPart,           // 12
            UpdateStage6RoboHeadPart,          // 13
            UpdateStage6RoboHatchPart,         // 14
            UpdateStage6ClubLegPart,           // 15
            UpdateStage6ClubCorePart,          // 16
            UpdateStage6ClubBeamPart,          // 17
            UpdateStage6ClubGunPart,           // 18
            UpdateStage6ShutterPart,           // 19
            UpdateStage6BossHullPart,          // 20
            UpdateStage6BossCorePart,          // 21
            UpdateStage6BossShellPart,         // 22
            UpdateStage6BossJawPart,           // 23
            UpdateStage6OrbitGunPart,          // 24
            UpdateStage6RedPart,               // 25
            UpdateStage6BluePart,              // 26
            UpdateStage6PortalPart,            // 27
            UpdateStage6BossGunPart,           // 28
            UpdateStage6BossTentaclePart,      // 29
            UpdateStage6ClubBackLegPart,       // 30
            UpdateStage6BossAnimPart,          // 31
        },
    .shots =
        {
            UpdateStage6BigShot,         // 17
            UpdateStage6CannonShot,      // 18
            UpdateStage6BouncingShot,    // 19
            UpdateStage6TrailDotShot,    // 20
            UpdateStage6LongShot,        // 21
            UpdateStage6HeavyShot,       // 22
            UpdateStage6PortalBlueShot,  // 23
            UpdateStage6PortalRedShot,   // 24
            UpdateStage6TrailDotShot,    // 25
            UpdateStage6TurningShot,     // 26
        },
    .script = nullptr,
};
