// Stage 3's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage3/stage3.h"

inline constexpr StageHandlerColumn kStage3Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage3Boss),                             // 10
            StepOnly(UpdateStage3FlameVent),                        // 11
            StepOnly(UpdateStage3RockSpout),                        // 12
            StepOnly(UpdateStage3Snake),                            // 13
            StepOnly(UpdateStage3FireballVolley),                   // 14
            StepOnly(UpdateStage3SmallFireballVolley),              // 15
            {UpdateZakoPairSpawner, UpdateStage3SnakePlaceholder},  // 16
            {UpdateZakoSpawner, UpdateStage3SnakePlaceholder2},     // 17
            StepOnly(UpdateStage3FireCurtain),                      // 18
            StepOnly(UpdateStage3Shokushu),                         // 19
        },
    .pool1 =
        {
            StepOnly(UpdateStage3Fireball),       // 10
            StepOnly(UpdateStage3SmallFireball),  // 11
            StepOnly(UpdateStage3SmallRock),      // 12
            StepOnly(UpdateStage3SmallRock2),     // 13
            StepOnly(UpdateStage3SmallRock2),     // 14
            StepOnly(UpdateStage3BouncingMine),   // 15
            StepOnly(UpdateStage3FloorWalker),    // 16
            StepOnly(UpdateStage3CeilingWalker),  // 17
            StepOnly(UpdateStage3SlidingRock),    // 18
            StepOnly(UpdateStage3FallingFire),    // 19
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
            nullptr,                           // 2
            nullptr,                           // 3
            nullptr,                           // 4
            nullptr,                           // 5
            nullptr,                           // 6
            nullptr,                           // 7
            nullptr,                           // 8
            nullptr,                           // 9
            UpdateStage3ShokushuUpperPart,     // 10
            UpdateStage3ShokushuLowerPart,     // 11
            UpdateStage3RockPart,              // 12
            UpdateStage3HouBasePart,           // 13
            UpdateStage3HouBarrelPart,         // 14
            UpdateStage3WalkerGunPart,         // 15
            UpdateStage3FloorWalkerLegPart,    // 16
            UpdateStage3CeilingWalkerLegPart,  // 17
            UpdateStage3SnakeJointPart,        // 18
            UpdateStage3SnakeSegmentPart,      // 19
            UpdateStage3BossCorePart,          // 20
            UpdateStage3BossSpinePart,         // 21
            UpdateStage3BossUpperArmPart,      // 22
            UpdateStage3BossLowerArmPart,      // 23
            UpdateStage3BossClawPart,          // 24
            UpdateStage3BossLowerClawPart,     // 25
            UpdateStage3BossShieldPart,        // 26
            UpdateStage3BossFlamePart,         // 27
            UpdateStage3RingGunPart,           // 28
            nullptr,                           // 29
            nullptr,                           // 30
            nullptr,                           // 31
        },
    .shots =
        {
            UpdateStage3FlameJetShot,    // 17
            UpdateStage3RoundShot,       // 18
            UpdateStage3CannonShot,      // 19
            UpdateStage3FlameShot,       // 20
            UpdateStage3FlameTrailShot,  // 21
            UpdateStage3RingShot,        // 22
            nullptr,                     // 23
            nullptr,                     // 24
            nullptr,                     // 25
            nullptr,                     // 26
        },
    .script = nullptr,
};
