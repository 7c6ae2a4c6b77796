// The event codes stage 6's maps may hold, shared by every check of those maps.
#pragma once

#include <set>

// The stage's pool-0 (11-19) and pool-1 (75-82) kinds, the speed commands 131 and 133, and the
// scroll directions the hall uses: level (144) and the two of its climb and dip (145, 159).
inline std::set<int> Stage6MapCodes() {
  return {11, 12, 13, 14, 18, 19, 75, 76, 77, 78, 79, 80, 81, 82, 131, 133, 144, 145, 159};
}
