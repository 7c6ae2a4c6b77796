// The kit's sound files built in memory by path, for the tests that also use the runtime's
// sound handles (whose names the kit's manifest would clash with).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Every kit file the pattern selects (tools/datakit/kit_build.h), by path.
std::map<std::string, std::vector<uint8_t>> BuildKitFilesByPath(const char* pattern);
