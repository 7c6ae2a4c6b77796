#include "tools/headless/film_strip.h"

#include <exception>
#include <filesystem>
#include <fstream>

#include "port/gdi/window_output.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"
#include "tools/headless/film_sheet.h"
#include "tools/headless/scratch_folder.h"

namespace {

constexpr const char* kPlaybackPath = "replay/playback.rpy";
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr const char* kDifficultyNames[] = {"EASY", "NORMAL", "HARD", "INSANE"};

// The scripted flight's input byte (bits: 0 left, 1 up, 2 right, 3 down, 4 Shot): Shot always,
// and a weave of 240 frames that rises 30, holds 60, falls 60, holds 60 and rises 30 again, so
// the ship sweeps the rows around its start and meets what comes along them.
constexpr uint8_t kShotBit = 1 << 4;
constexpr uint8_t kUpBit = 1 << 1;
constexpr uint8_t kDownBit = 1 << 3;
constexpr int kWeavePeriod = 240;

uint8_t FlightByte(int32_t position) {
  const int phase = position % kWeavePeriod;
  uint8_t byte = kShotBit;
  if (phase < 30 || phase >= 210) byte |= kUpBit;
  if (phase >= 90 && phase < 150) byte |= kDownBit;
  return byte;
}

// The weapons the scripted flight takes at each weapon select: the first of each kind, the
// second sub weapon the next one (the two must differ).
constexpr int16_t kFlightWeapons[4] = {0, 0, 1, 0};

// The map's end on a stage without a boss: the view has stood still this long with no enemy
// (pools 0 to 2) in use and no boss fight (BossState above 0), so nothing more will come.
constexpr int kStillFramesAtMapEnd = 300;

int LiveObjects(const EnemyObject* pool, int count) {
  int live = 0;
  for (int i = 0; i < count; ++i) live += pool[i].state != 0 ? 1 : 0;
  return live;
}

int LiveEnemies() {
  return LiveObjects(EnemyPool0, kEnemyPool0Size) + LiveObjects(EnemyPool1, kEnemyPool1Size) +
         LiveObjects(EnemyPool2, kEnemyPool2Size) + LiveObjects(EnemyPool3, kEnemyPool3Size);
}

bool AnyFoeLeft() {
  return BossState > 0 || LiveObjects(EnemyPool0, kEnemyPool0Size) > 0 ||
         LiveObjects(EnemyPool1, kEnemyPool1Size) > 0 ||
         LiveObjects(EnemyPool2, kEnemyPool2Size) > 0;
}

// Counts the play frames the view has not moved in with nothing left to fight.
class MapEndWatch {
 public:
  bool Reached() {
    const bool still = CameraX == cameraX_ && ViewTop == viewTop_ && !AnyFoeLeft();
    cameraX_ = CameraX;
    viewTop_ = ViewTop;
    stillFrames_ = still && CurrentScene == kScenePlay ? stillFrames_ + 1 : 0;
    return stillFrames_ >= kStillFramesAtMapEnd;
  }

 private:
  double cameraX_ = -1, viewTop_ = -1;
  int stillFrames_ = 0;
};

// The stage groups of the kit from the first filmed stage on (only it when the film stops at
// its end), with what every stage draws; sounds are never heard.
std::string KitPatternFor(const FilmOptions& options) {
  std::string pattern = "common,effects,weapons,scenes,enemies";
  const int last = options.frames > 0 ? 7 : options.start.stage;
  for (int stage = options.start.stage; stage <= last; ++stage)
    pattern += ",stage" + std::to_string(stage);
  return pattern;
}

std::string SheetTitle(const FilmOptions& options) {
  const int d = options.start.difficulty;
  std::string title = "STAGE " + std::to_string(options.start.stage) + "  " +
                      (d >= 0 && d <= 3 ? kDifficultyNames[d] : "?") + "  CHECKPOINT " +
                      std::to_string(options.start.checkpoint) + "  EVERY " +
                      std::to_string(options.every) + " FRAMES  ";
  if (options.replay.empty()) return title + "SCRIPTED FLIGHT, SHIP IMMUNE";
  return title + "REPLAY " + std::filesystem::path(options.replay).filename().string();
}

std::string FrameLabel(const FilmFrame& f) {
  return std::to_string(f.frame) + "  S" + std::to_string(f.stage) + " " + SceneLabel(f.scene) +
         "  ENEMIES " + std::to_string(f.enemies);
}

// What the next frame reads from the stream: the scripted flight writes it just ahead of the
// reading, the weapon bytes at a weapon select and the flight's byte elsewhere.
void WriteFlightInput() {
  if (CurrentScene == kSceneWeaponSelectSetUp || CurrentScene == kSceneWeaponSelect) {
    for (int i = 0; i < 4; ++i)
      WriteReplayByte(ReplayPosition + i, static_cast<uint8_t>(kFlightWeapons[i]));
  } else {
    WriteReplayByte(ReplayPosition, FlightByte(ReplayPosition));
  }
}

class Filming {
 public:
  Filming(const FilmOptions& options, HeadlessGame& game, FilmResult& result)
      : options_(options), game_(game), result_(result) {}

  // One frame: the stream's input, the drawing switched on for a filmed play frame and off for
  // the others, the frame, then the filmed frame read from the window. False once the loop has
  // ended or the screen could not be read.
  bool Step() {
    if (options_.replay.empty()) WriteFlightInput();
    const bool counted = counting_ || CurrentScene == kScenePlay;
    const bool filmed = counted && frame_ % options_.every == 0;
    // With the playback's fast-forward held, DrawPlayField moves the phase on by one and draws
    // at phase 0 only.
    if (CurrentScene == kScenePlay) FrameSkipPhase = filmed ? 7 : 0;
    if (!game_.Step()) return false;
    if (filmed && !Capture()) return false;
    if (counted) {
      counting_ = true;
      ++frame_;
    }
    return true;
  }

  long frames() const { return frame_; }
  std::vector<FilmPicture>& pictures() { return pictures_; }

 private:
  bool Capture() {
    if (!PortReadWindowPixels(WindowState.mainWindow, kScreenWidth, kScreenHeight,
                              screen_.data())) {
      result_.error = "the screen could not be read";
      return false;
    }
    FilmFrame f;
    f.frame = frame_;
    f.stage = CurrentStage;
    f.scene = CurrentScene;
    f.enemies = LiveEnemies();
    result_.frames.push_back(f);
    pictures_.push_back(HalvePicture(screen_.data(), kScreenWidth, kScreenHeight));
    pictures_.back().label = FrameLabel(f);
    return true;
  }

  const FilmOptions& options_;
  HeadlessGame& game_;
  FilmResult& result_;
  bool counting_ = false;  // from the stage's first play frame on
  long frame_ = 0;
  std::vector<uint32_t> screen_ = std::vector<uint32_t>(kScreenWidth * kScreenHeight);
  std::vector<FilmPicture> pictures_;
};

}  // namespace

std::string SceneLabel(int32_t scene) {
  switch (scene) {
    case kScenePlay:
      return "PLAY";
    case kSceneStageClear:
      return "STAGE CLEAR";
    case kSceneStageStart:
      return "STAGE START";
    case kSceneWeaponSelectSetUp:
    case kSceneWeaponSelect:
      return "WEAPON SELECT";
    case kSceneGameOver:
      return "GAME OVER";
    case kSceneContinue:
      return "CONTINUE";
    case kSceneGameEnd:
      return "GAME END";
    case kSceneEndScreen:
      return "END SCREEN";
    case kSceneTitleVisit:
    case kSceneTitleMenu:
    case kSceneLogoSetUp:
    case kSceneLogo:
    case kSceneTitleIntro:
      return "TITLE";
    default:
      return "SCENE " + std::to_string(scene);
  }
}

FilmResult FilmStage(const FilmOptions& options) {
  FilmResult result;
  if (options.every < 1) {
    result.error = "the frames between filmed frames must be 1 or more";
    return result;
  }
  std::error_code unreadable;
  if (!options.replay.empty() && (!std::filesystem::is_regular_file(options.replay, unreadable) ||
                                  !std::ifstream(options.replay, std::ios::binary))) {
    result.error = "cannot read " + options.replay;
    return result;
  }
  ScratchFolder folder("film_stage");
  if (folder.path().empty()) {
    result.error = "no temporary folder";
    return result;
  }
  const std::string kit = options.kit.empty() ? KitPatternFor(options) : options.kit;
  result.error = PrepareGameFolder(folder.path(), kit.c_str(), false);
  if (!result.error.empty()) return result;
  if (!options.replay.empty() &&
      !std::filesystem::copy_file(options.replay, folder.path() + "/" + kPlaybackPath,
                                  unreadable)) {
    result.error = "cannot read " + options.replay;
    return result;
  }

  HeadlessGame::Options gameOptions;
  gameOptions.fast = true;  // the playback's fast-forward, which the film steers frame by frame
  HeadlessGame game(folder.path(), gameOptions);
  game.digestFrames = false;
  if (game.Start() != 0) {
    result.error = "the game did not start";
    return result;
  }
  game.Step();  // boot
  game.Step();  // the logo's set-up
  if (options.replay.empty()) {
    SetShipImmuneForTest(true);
  } else {
    LoadReplayFile(kPlaybackPath);
  }

  Filming filming(options, game, result);
  GameStartChoice choice = options.start;
  choice.mode = 1;
  if (!StartRunFromTitle(choice, [&](int) { return filming.Step(); })) {
    if (result.error.empty()) result.error = DescribeFailedStart(choice);
    return result;
  }
  MapEndWatch mapEnd;
  const int16_t stage = CurrentStage;
  while (result.error.empty()) {
    if (options.frames > 0) {
      if (filming.frames() >= options.frames) {
        result.ending = "the frames asked for were played";
        break;
      }
      if (!IsRunGoingOn()) {
        result.ending = "the run ended (" + SceneLabel(CurrentScene) + ")";
        break;
      }
    } else {
      if (CurrentScene != kScenePlay || CurrentStage != stage) {
        result.ending = "the run left the stage (" + SceneLabel(CurrentScene) + ")";
        break;
      }
      if (mapEnd.Reached()) {
        result.ending = "the map's end was reached with nothing left to fight";
        break;
      }
    }
    if (!filming.Step()) {
      if (result.error.empty()) result.ending = "the game's loop ended";
      break;
    }
  }
  result.played = filming.frames();
  game.Quit();
  if (!result.error.empty()) return result;
  try {
    result.png = EncodeFilmSheet(SheetTitle(options), filming.pictures());
  } catch (const std::exception& e) { result.error = e.what(); }
  return result;
}
