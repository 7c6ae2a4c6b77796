// Stage 6's boss on a plain map 380 columns wide, wide enough to put the view's right edge at the
// world x where the boss stops the scroll: the stage started at a difficulty, the opening frames
// run, the ship pinned and immune, and the boss spawned by code at a screen point and set up.
#pragma once

#include <cstdint>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "tests/game_support/field_fixture.h"

constexpr int16_t kStage6BossType = 10;

struct Stage6BossField {
  FieldFixture field;
  int16_t slot = -1;

  // The boss's spawn point on screen; it sets itself up 162 px right and 20 px down of it.
  explicit Stage6BossField(int difficulty, double spawnScreenX = 380, double spawnScreenY = 180)
      : field(difficulty) {
    field.digestFrames = false;
    field.WriteStageMaps(6, PlainBackgroundDescription(), FieldMapDescription(380, 12, 5, ""));
    EXPECT_EQ(field.StartStage(6), 1);
    field.SetShipImmune(true);
    field.PinShip(ScreenToWorldX(60), ScreenToWorldY(200));
    while (field.Step().gameFrame < 0) {}
    slot = SpawnPool0Enemy(ScreenToWorldX(spawnScreenX), ScreenToWorldY(spawnScreenY),
                           kStage6BossType, 0, -1, 0);
    field.Step();
  }
  EnemyObject& boss() { return EnemyPool0[slot]; }
  EnemyPart& B(int j) { return boss().partsB[j]; }
  EnemyPart& core() { return boss().partsA[0]; }

  // Moves the view (and the pinned ship) so that its right edge stands at world x edge.
  void MoveViewEdgeTo(double edge) {
    const double shift = edge - ViewRight;
    CameraX += shift;
    ViewRight += shift;
    field.PinShip(ScreenToWorldX(60) + shift, ScreenToWorldY(200));
  }
  // The pool-0 objects of a type in use.
  static int CountPool0(int32_t type) {
    int n = 0;
    for (const EnemyObject& o : EnemyPool0) n += o.state != 0 && o.type == type;
    return n;
  }
};
