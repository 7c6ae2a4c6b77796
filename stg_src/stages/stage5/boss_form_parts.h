// Small steps the parts of forms 3, 4 and 5 share: their set-up without life, the part clock,
// angle turns, the form's drift toward its x and the end of a part with its form.
#pragma once

#include <cstdint>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/shared_state.h"

struct PartCircle {
  int16_t size, dx, dy;
};

inline void TickPart(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

inline int16_t TurnAngle(int target, int current, int step) {
  return static_cast<int16_t>(TurnTowardAngle(target, current, step));
}

// Live, no life of its own (life -1 unless given), the circles with every dy times ySign, the
// image cell, cleared words; baseAngle keeps the attach angle.
template <int N>
void SetUpFormPart(EnemyPart* parts, int16_t j, int16_t hitMode, const PartCircle (&circles)[N],
                   int ySign, int32_t cullX, int32_t cullY, int32_t cell, int32_t life = -1) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = life;
  p.scoreBase = -1;
  p.imageFrame = cell;
  ClearPartHitCircles(parts, j);
  p.hitMode = hitMode;
  for (int i = 0; i < N; ++i) {
    SetPartHitCircle(parts, j, i, circles[i].size, circles[i].dx,
                     static_cast<int16_t>(circles[i].dy * ySign));
  }
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
  p.cue = 0;
  p.work0 = p.work1 = 0;
  p.baseAngle = p.angle;
}

inline void SetUpFormPart(EnemyPart* parts, int16_t j, int16_t hitMode, int32_t cullX,
                          int32_t cullY, int32_t cell, int32_t life = -1) {
  const PartCircle none[1] = {{0, 0, 0}};
  SetUpFormPart(parts, j, hitMode, none, 1, cullX, cullY, cell, life);
}

// vx eases toward -0.4 while the form is right of screen x right (player right of screen x 240)
// or left (otherwise), and toward +0.4 while it is left of it.
inline void DriftTowardScreenX(EnemyObject& o, double right, double left) {
  const double target = ScreenToWorldX(PlayerX > ScreenToWorldX(240) ? right : left);
  if (o.x > target) o.vx = ApproachValue(o.vx, 0.02, -0.4);
  if (o.x < target) o.vx = ApproachValue(o.vx, 0.02, 0.4);
}

// vy eases toward +speed or -speed by step as the player's y (kept between the two screen
// heights) lies below or above the form.
inline void TrackPlayerY(EnemyObject& o, double top, double bottom, double speed, double step) {
  double target = PlayerY;
  if (target < ScreenToWorldY(top)) target = ScreenToWorldY(top);
  if (target > ScreenToWorldY(bottom)) target = ScreenToWorldY(bottom);
  if (target > o.y) o.vy = ApproachValue(o.vy, step, speed);
  if (target < o.y) o.vy = ApproachValue(o.vy, step, -speed);
}

// The form's end reaches a part in state 3 or more: freed, with an explosion when asked. True
// when the part was freed.
enum class PartEnd { Silent, Small, Large, LargeNoDebris };
inline bool EndWithForm(EnemyPart& p, PartEnd end) {
  if (p.state < 3) return false;
  p.state = 0;
  if (end == PartEnd::Small) SpawnSmallExplosion(p.x, p.y, 1);
  if (end == PartEnd::Large) SpawnLargeExplosion(p.x, p.y, 1, -1);
  if (end == PartEnd::LargeNoDebris) SpawnLargeExplosion(p.x, p.y, 0, -1);
  return true;
}

// The form's words cleared when it changes phase: speed, velocity, the listed work words and
// both work reals.
inline void ResetFormForPhase(EnemyObject& o, int16_t phase, bool keepPatternSteps) {
  o.phase = phase;
  o.speed = o.vx = o.vy = 0;
  o.intWork0 = o.intWork1 = 0;
  if (!keepPatternSteps) o.intWork2 = o.intWork3 = 0;
  o.realWork0 = o.realWork1 = 0;
}
