#include "stg_src/field/map/map_spawner.h"

#include "stg_src/deterministic.h"

int32_t SpawnLeftColumn;
int32_t SpawnRightColumn;
int32_t SpawnTopRow;
int32_t SpawnBottomRow;
int32_t LastSpawnLeftColumn;
int32_t LastSpawnTopRow;
uint8_t VerticalFreeMode;

void SpawnFromEventLayer() {}

void RestartAtCheckpoint() {}

void ResetMapSpawner() {
  SpawnLeftColumn = 0;
  SpawnRightColumn = 0;
  SpawnTopRow = 0;
  SpawnBottomRow = 0;
  LastSpawnLeftColumn = 0;
  LastSpawnTopRow = 0;
  VerticalFreeMode = 0;
}

void DigestMapSpawner(StateDigest& d, DigestScope) {
  DigestValue(d, SpawnLeftColumn);
  DigestValue(d, SpawnRightColumn);
  DigestValue(d, SpawnTopRow);
  DigestValue(d, SpawnBottomRow);
  DigestValue(d, LastSpawnLeftColumn);
  DigestValue(d, LastSpawnTopRow);
  DigestValue(d, VerticalFreeMode);
}
