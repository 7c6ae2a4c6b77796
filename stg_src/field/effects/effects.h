// The effect pool: the purely visual objects of the play field (explosion cores, sparks, debris,
// flashes, puffs and glows), their spawning, the per-frame update through EffectHandlers, the
// screen shake's update and the animation helpers the behaviours are built from.
// ResetEffects puts every member back to its value at program start; DigestEffects sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kEffectSlots = 256;
constexpr int kEffectTypes = 35;
// SpawnEffect's type argument from here on asks for the fading form of type - 100.
constexpr int kFadingEffectBase = 100;
// The boss-death flash: a full pool gives it the last slot rather than losing it.
constexpr int kBossDeathFlashEffect = 32;

enum EffectBlendMode : int16_t {
  kEffectBlendOpaque = 0,
  kEffectBlendAdditive = 1,
  kEffectBlendAlpha = 2,
};

struct Effect {
  int32_t state;        // 0 free, 1 spawned (set-up next), 2 live
  int32_t frame;        // +1 per update before the behaviour, mod 65535; the spark steps restart it
  int32_t type;         // 0..34
  int16_t animFrame;    // image cell 0..11 of the type
  int16_t stopCounter;  // fading sparks: 1 once stopped
  int16_t firstPeriod;  // sparks: frames per step of the first two steps
  int16_t rotation;     // Angle the image is drawn at
  int16_t motionAngle;  // Angle of motion (the boss-death ring: its spin a frame)
  double x, y;          // world position of the image centre
  double speed;         // along motionAngle; a size selector for some types
  double vx, vy;
  double growth;  // the boss-death flash: added to scale every frame
  int16_t blendMode;
  int16_t blendValue;  // 0..255, with the additive and alpha modes
  double scale;
  double fadeStep;  // fading forms: speed / 32 at spawn, taken off the speed every frame
  uint8_t fading;
  int16_t margin;  // off-screen margin for drawing
};

extern Effect Effects[kEffectSlots];
// Extra x drift of every effect a frame: stage events set it to -ScrollDeltaX so that effects
// stay put in the world instead of riding with the screen.
extern double EffectDriftX;

// Types without behaviour hold the shared UpdateNothing; the update frees their slots.
using EffectHandler = void (*)(int16_t slot);
extern const EffectHandler EffectHandlers[kEffectTypes];

void InitEffectSlot(int slot);
// The lowest free slot, or -1.
int FindFreeEffectSlot();
// type 100..134 spawns the fading form of type - 100. -1 when no slot is free (a plain
// boss-death flash then takes slot 255 over) or the type has no behaviour entry.
int16_t SpawnEffect(int type, double x, double y, int16_t rotation, int16_t motionAngle,
                    double speed);
int16_t SpawnFadingEffect(int type, double x, double y, int16_t rotation, int16_t motionAngle,
                          double speed);

// Every live slot from 0 up: the frame count, the type's behaviour, then the scroll drift.
void UpdateEffects();
// Once a frame after the effects: the shake's amplitude and offsets.
void UpdateScreenShake();
// The play frame's effect step: UpdateEffects, then UpdateScreenShake.
void UpdateEffectsAndShake();

// x follows ScrollDeltaX + EffectDriftX (y never).
void DriftEffectWithScroll(int slot);
// One cell every n frames; freed on reaching cell m.
void AnimateEffect(int slot, int n, int m);
// Cells 0 and 1 last `first` frames, the later ones n, one less from cell 7 and another from
// cell 11; each step restarts the frame count; freed at cell m. A fading spark also slows by
// its fade step to a rest.
void AnimateSparkEffect(int slot, int n, int m, int first);
// The frames per cell of that spark rule at this cell.
int SparkStepPeriod(int animFrame, int n, int first);
// Cells 0..m-1 in a loop, one every n frames; after frame 16 the blend fades out (faster once
// the speed is spent) and the slot is freed at 0. The speed slows by the fade step.
void AnimateFadingLoopEffect(int slot, int n, int m);

void ResetEffects();
void DigestEffects(StateDigest& digest, DigestScope scope);
