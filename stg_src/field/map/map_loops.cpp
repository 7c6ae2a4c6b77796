#include "stg_src/field/map/map_loops.h"

#include "stg_src/deterministic.h"

int16_t MapLoopMode;
double HorizontalLoopStart;
double HorizontalLoopEnd;
double VerticalLoopTop;
double VerticalLoopBottom;
int16_t VerticalLoopJump;
double VerticalShift;

void WrapMapLoops() {}

void ShiftAllForMapLoop() {}

void ResetMapLoops() {
  MapLoopMode = 0;
  HorizontalLoopStart = 0;
  HorizontalLoopEnd = 0;
  VerticalLoopTop = 0;
  VerticalLoopBottom = 0;
  VerticalLoopJump = 0;
  VerticalShift = 0;
}

void DigestMapLoops(StateDigest& d, DigestScope) {
  DigestValue(d, MapLoopMode);
  DigestValue(d, HorizontalLoopStart);
  DigestValue(d, HorizontalLoopEnd);
  DigestValue(d, VerticalLoopTop);
  DigestValue(d, VerticalLoopBottom);
  DigestValue(d, VerticalLoopJump);
  DigestValue(d, VerticalShift);
}
