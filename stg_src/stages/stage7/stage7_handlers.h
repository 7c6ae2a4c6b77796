// Stage 7's column of the play field's behaviour tables: the behaviour each stage-specific
// type has on this stage (kNoStageBehaviour or null for none). Only the tables' assembly
// (stg_src/stages/stage_handler_grids.cpp) includes it.
#pragma once

#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage7/stage7.h"

inline constexpr StageHandlerColumn kStage7Handlers = {
    .pool0 =
        {
            StepOnly(UpdateStage7Fire),    // 10
            StepOnly(UpdateStage7Bokan),   // 11
            StepOnly(UpdateStage7Bokan2),  // 12
            kNoStageBehaviour,             // 13
            kNoStageBehaviour,             // 14
            kNoStageBehaviour,             // 15
            kNoStageBehaviour,             // 16
            kNoStageBehaviour,             // 17
            kNoStageBehaviour,             // 18
            kNoStageBehaviour,             // 19
        },
    .pool1 =
        {
            kNoStageBehaviour,  // 10
            kNoStageBehaviour,  // 11
            kNoStageBehaviour,  // 12
            kNoStageBehaviour,  // 13
            kNoStageBehaviour,  // 14
            kNoStageBehaviour,  // 15
            kNoStageBehaviour,  // 16
            kNoStageBehaviour,  // 17
            kNoStageBehaviour,  // 18
            kNoStageBehaviour,  // 19
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
            UpdateStage7VerniaPart,  // 2
            nullptr,                 // 3
            nullptr,                 // 4
            nullptr,                 // 5
            nullptr,                 // 6
            nullptr,                 // 7
            nullptr,                 // 8
            nullptr,                 // 9
            nullptr,                 // 10
            nullptr,                 // 11
            nullptr,                 // 12
            nullptr,                 // 13
            nullptr,                 // 14
            nullptr,                 // 15
            nullptr,                 // 16
            nullptr,                 // 17
            nullptr,                 // 18
            nullptr,                 // 19
            nullptr,                 // 20
            nullptr,                 // 21
            nullptr,                 // 22
            nullptr,                 // 23
            nullptr,                 // 24
            nullptr,                 // 25
            nullptr,                 // 26
            nullptr,                 // 27
            nullptr,                 // 28
            nullptr,                 // 29
            nullptr,                 // 30
            nullptr,                 // 31
        },
    .shots =
        {
            nullptr,  // 17
            nullptr,  // 18
            nullptr,  // 19
            nullptr,  // 20
            nullptr,  // 21
            nullptr,  // 22
            nullptr,  // 23
            nullptr,  // 24
            nullptr,  // 25
            nullptr,  // 26
        },
    .script = RunStage7ClosingFlight,
};
