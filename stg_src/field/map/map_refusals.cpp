#include "stg_src/field/map/map_refusals.h"

#include <cstring>

#include "runtime/platform/core/log.h"

#include "stg_src/game/deterministic.h"

namespace {

// More kinds than a stage has behaviours that check their values: past it, new kinds go untold
// rather than told every frame.
constexpr int kMaxRefusalKinds = 64;

const char* ToldKinds[kMaxRefusalKinds];
int ToldCount = 0;

bool WasTold(const char* kind) {
  for (int i = 0; i < ToldCount; ++i)
    if (std::strcmp(ToldKinds[i], kind) == 0) return true;
  return false;
}

}  // namespace

void LogRefusedMapValue(const char* kind, int32_t value) {
  if (kind == nullptr || WasTold(kind) || ToldCount == kMaxRefusalKinds) return;
  ToldKinds[ToldCount++] = kind;
  LogPrintf("マップの値 %d を使いません：%s", static_cast<int>(value), kind);
}

void ForgetRefusedMapValues() { ToldCount = 0; }
