// The explosion presets that enemies, bosses and the ship spawn when they blow up: rings of
// fading sparks, a core, debris and a sound, each drawn from LcgRandom in a fixed order (replays
// rebuild them from the inputs alone), and the single and boxed blasts.
#pragma once

#include <cstdint>

// debris 1 adds the flying debris; sound is a sound-effect slot, -1 for the preset's own.
void SpawnLargeExplosion(double x, double y, int debris, int16_t sound);
// The large explosion with five burning fragments thrown from its corners and centre.
void SpawnBossExplosion(double x, double y, int debris);
void SpawnMediumExplosion(double x, double y, int debris, int16_t sound);
void SpawnSparkBurst(double x, double y, int debris, int16_t sound);
void SpawnSmallExplosion(double x, double y, int debris);
void SpawnTinyExplosion(double x, double y);
void SpawnBak10Explosion(double x, double y);
void SpawnBak11Explosion(double x, double y);
// One blast at a random point of the w x h box centred on (x, y); sizes below 1 count as 1.
void SpawnLargeBlastInBox(double x, double y, int16_t w, int16_t h);
void SpawnMediumBlastInBox(double x, double y, int16_t w, int16_t h);
void SpawnSmallBlastInBox(double x, double y, int16_t w, int16_t h);
