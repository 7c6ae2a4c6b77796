// The headers nearly every test source parses, precompiled once per set of compile flags:
// GoogleTest and the standard library's heaviest. Nothing of the project goes here, so a test
// still names what it uses. <chrono> stays out: it does not compile with Shift-JIS literals.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>
