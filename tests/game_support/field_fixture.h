// The play field driven through the shell's play scene, without the library's start-up, for
// the field and stage tests: a temporary folder (made current) that holds the stage's maps
// written from descriptions, the boot state the field reads (trigonometry tables, score table,
// default buttons, a new run at a chosen difficulty), the stage started as the shell's
// stage-start scene does, and frames run through RunPlayScene with the game buttons held as
// hold counts. Before each frame the ship can be pinned (position, and a shield of 7) and a
// hook can set any word; the test hooks (an immune ship, damage dealt to a chosen enemy) are at
// hand. Each frame reports what the field drew from LcgRandom, the sound effects it requested,
// the run's digest (the enemy pools' and both shot pools' every slot among it) and the slots in
// use of the pools.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "stg_src/field/test_hooks.h"
#include "tests/game_support/sound_requests.h"
#include "tests/support/temp_folder.h"

// Bit of a game role (GameButton, stg_src/game/input_state.h) in a frame's held set.
constexpr uint32_t HeldRole(int role) { return 1u << role; }

struct FieldFrameReport {
  int32_t gameFrame;  // after the frame
  int32_t scene;
  // The LcgRandom values the frame drew, in order; reseeded is set when the state moved in a way
  // no run of draws explains (a reseed).
  std::vector<int> draws;
  bool reseeded = false;
  // The slots of the frame's RequestSoundEffect calls, in order: what the field asked for,
  // repeats a retrigger guard drops among them.
  std::vector<int> sounds;
  // The run's digest after the frame (DigestGameState(DigestScope::Run)); 0 while the fixture's
  // digestFrames is off.
  uint64_t digest = 0;
  // Slots in use (state not 0) of EnemyPool0 .. EnemyPool3 after the frame.
  int liveObjects[4] = {};
  // Enemy shots and player shots in use after the frame.
  int liveEnemyShots = 0;
  int livePlayerShots = 0;
  // Items and info popups in use after the frame.
  int liveItems = 0;
  int livePopups = 0;
  // Effects alive after the frame, and the screen shake's amplitude and offsets (the offsets
  // come from the runtime's generator and stay out of the digest).
  int liveEffects = 0;
  int shakeAmplitude = 0;
  int shakeX = 0, shakeY = 0;
};

class FieldFixture {
 public:
  // Game state reset, then the boot state at this difficulty with a new run (3 lives).
  explicit FieldFixture(int difficulty = 1);
  ~FieldFixture();
  FieldFixture(const FieldFixture&) = delete;
  FieldFixture& operator=(const FieldFixture&) = delete;

  // Writes the stage's background map and both main maps (easy and hard) from descriptions
  // (tools/lib/fmf_map_writer.h).
  void WriteStageMaps(int stage, const std::string& background, const std::string& main);
  // The stage-start scene: InitStageParameters, LoadStage, ComputeStartPowerRank, the play
  // scene, and RestartAtCheckpoint while CheckpointIndex is above 0. LoadStage's result.
  int StartStage(int stage);

  // The ship held at (x, y) with ShieldLevel 7 before every frame, until UnpinShip.
  void PinShip(double x, double y);
  void UnpinShip();

  // The ship neither dies nor spends its shield when hit (off after the fixture).
  void SetShipImmune(bool on);
  // Damage dealt as a player shot's hit would (DamageEnemyForTest); false for no such target.
  bool DamageEnemy(const TestDamageTarget& target, int32_t damage);

  // The sound effects requested since the last frame or take, for tests that call the field's
  // functions themselves (each Step starts afresh after beforeFrame).
  std::vector<int> TakeSoundRequests() { return sounds_.Take(); }

  // One play-scene frame with these roles held; a role's hold count rises while it stays held.
  FieldFrameReport Step(uint32_t held = 0);
  // Frames 0..frames-1, frame i with script(i) held.
  std::vector<FieldFrameReport> Run(int frames,
                                    const std::function<uint32_t(int)>& script = nullptr);

  // Runs before every frame, after the pin: tests set play-field words here.
  std::function<void(int frame)> beforeFrame;
  // The digest after every frame; long runs that read none switch it off (the enemy pools alone
  // are megabytes to sum).
  bool digestFrames = true;

  const TempFolder& folder() const { return folder_; }

 private:
  void ApplyHeld(uint32_t held);

  TempFolder folder_;
  SoundRequestRecorder sounds_;
  std::unique_ptr<ScopedCurrentDirectory> directory_;
  bool pinned_ = false;
  double pinX_ = 0, pinY_ = 0;
  int frame_ = 0;
};

// A map description with only the size, the layers and the cells given (empty elsewhere).
std::string FieldMapDescription(int width, int height, int layers, const std::string& content);
// The background every field test can use: 24 x 5 cells of chip 0.
std::string PlainBackgroundDescription();
