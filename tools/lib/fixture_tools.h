// Fixture makers shared by the tool programs and the tests: each area adds its own header
// beside this one (archive writer, LZ encoder, ...).
#pragma once
