// The title intro (scene 2002): a fixed 432-frame timeline on SceneFrame. The scroll layers, the
// boss and its blasts, the beam cues, the ship's steering, its shots and flare are stepped in
// the update; the drawing shows them; what was drawn (beams, shots, muzzle flash, flare, the
// ship) moves on in EndTitleIntroFrame.
//
// The intro borrows the play field's words for its ship and beams:
//   SceneWork 0 curtain edge x, 1 far layer x, 2 near layer x, 3 boss x, 4 white flash level
//   PlayerX, PlayerY, PlayerMoveX, PlayerMoveY  the ship and its motion per frame
//   ShipBankFrame  the ship image 0..6, 3 level
//   SpeedUpTimer   the flare, 3..17 while it shows
//   StageWork / StageWorkY 0..15  shot x and y
//   StageWork 16   shots fired; StageWork 17 the muzzle flash counter
//   StageWork 100..108 / StageWorkY 100..108  thin / thick beam counters by row, -1 none
#include "stg_src/shell/front_scenes.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "runtime/graphics/draw/draw_calls.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/scenes/scene_drawing.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kIntroFrames = 432;
constexpr int16_t kBlastStart[5] = {5, 0, 11, 0, 5};
constexpr int16_t kLastBlastFrame = 11;
constexpr int kShots = 16;
constexpr int kShotsFired = 16;
constexpr int kMuzzleFlash = 17;
constexpr int kBeamCounters = 100;
constexpr int kBeamRows = 9;
constexpr int kBeamLastFrame = 31;
constexpr int32_t kFirstShotAfter = 232;
constexpr int32_t kFlareFrame = 260;
constexpr int32_t kBossLeavesFrom = 281;
constexpr int16_t kBossGoneX = -700;

struct BeamCue {
  int32_t frame;
  int row;
};
constexpr BeamCue kThinBeamCues[] = {{10, 0},  {30, 5},  {40, 8},  {60, 2},  {80, 6},  {90, 4},
                                     {110, 0}, {130, 5}, {140, 8}, {160, 2}, {180, 6}, {190, 4}};
constexpr BeamCue kThickBeamCues[] = {{50, 4}, {90, 1}, {130, 8}, {180, 2}};

// The ship's vertical target speed at frame f; none (0 by small steps) outside the ranges.
struct SteerRange {
  int32_t first, last;
  double target;
};
constexpr SteerRange kSteering[] = {
    {21, 39, -4.8}, {41, 89, 4.8}, {91, 129, -4.8}, {131, 179, 4.8}, {181, 259, -2.4}};

bool IsBossOnScreen(int16_t x) { return x >= -381 && x <= 639; }

// Curtain, layers and boss, then the boss's blasts every fourth frame.
void ScrollIntro(int32_t f) {
  SceneWork[0] -= 4;
  SceneWork[1] = static_cast<int16_t>(SceneWork[1] - 8 <= -960 ? 0 : SceneWork[1] - 8);
  SceneWork[2] = static_cast<int16_t>(SceneWork[2] - 12 <= -320 ? 0 : SceneWork[2] - 12);
  int16_t& boss = SceneWork[3];
  const int16_t before = boss;
  if (f >= kBossLeavesFrom) boss -= 16;
  if (boss < kBossGoneX) {
    if (before >= kBossGoneX) {
      RequestSoundEffect(27);
      StopMusicSlot();
    }
    SceneWork[4] = static_cast<int16_t>(std::min(SceneWork[4] + 16, 255));
  }
  if (f % 4 != 0) return;
  for (int i = 0; i < 5; ++i) {
    IntroBlastFrames[i] += 1;
    if (IntroBlastFrames[i] <= kLastBlastFrame) continue;
    IntroBlastFrames[i] = 0;
    if (i < 3 && IsBossOnScreen(boss)) RequestSoundEffect(static_cast<int16_t>(29 + i));
  }
}

void CueBeams(int32_t f) {
  for (const BeamCue& cue : kThinBeamCues) {
    if (cue.frame != f) continue;
    StageWork[kBeamCounters + cue.row] = 0;
    RequestSoundEffect(50);
  }
  for (const BeamCue& cue : kThickBeamCues) {
    if (cue.frame != f) continue;
    StageWorkY[kBeamCounters + cue.row] = 0;
    RequestSoundEffect(51);
  }
}

void SteerShip(int32_t f) {
  bool steered = false;
  for (const SteerRange& r : kSteering) {
    if (f < r.first || f > r.last) continue;
    PlayerMoveY = ApproachValue(PlayerMoveY, 0.3, r.target);
    steered = true;
  }
  if (!steered) PlayerMoveY = ApproachValue(PlayerMoveY, 0.05, 0);
  if (f % 4 != 0) return;
  const int32_t goal = PlayerMoveY < 0 ? 0 : PlayerMoveY > 0 ? 6 : 3;
  if (ShipBankFrame < goal) ShipBankFrame += 1;
  if (ShipBankFrame > goal) ShipBankFrame -= 1;
}

void FireShots(int32_t f) {
  if (f > kFirstShotAfter && f % 4 == 0 && StageWork[kShotsFired] < kShots) {
    const int n = StageWork[kShotsFired];
    StageWork[n] = static_cast<int32_t>(PlayerX + 28);
    StageWorkY[n] = static_cast<int32_t>(PlayerY);
    StageWork[kShotsFired] += 1;
    StageWork[kMuzzleFlash] = 1;
    RequestSoundEffect(0);
  }
  // The flash shows frame counter / 2 up to 4, seven frames, and ends after drawing that one.
  if (StageWork[kMuzzleFlash] > 0) StageWork[kMuzzleFlash] += 1;
}

void StartFlare(int32_t f) {
  if (f == kFlareFrame) {
    SpeedUpTimer = 3;
    RequestSoundEffect(19);
  }
  if (f >= kFlareFrame) PlayerMoveX = ApproachValue(PlayerMoveX, 0.1, 12);
}

void SetUpTitleIntro() {
  std::copy(std::begin(kBlastStart), std::end(kBlastStart), IntroBlastFrames);
  for (int i = 0; i < 200; ++i) {
    StageWork[i] = i < 100 ? 0 : -1;
    StageWorkY[i] = i < 100 ? 0 : -1;
  }
  PlayerX = 160;
  PlayerY = 240;
  PlayerMoveX = 0;
  PlayerMoveY = 0;
  ShipBankFrame = 3;
  SpeedUpTimer = 0;
}

bool IsShotOnScreen(int i) { return StageWork[i] > 0 && StageWork[i] < 672; }

}  // namespace

void UpdateTitleIntro() {
  if (SceneFrame <= 1) SetUpTitleIntro();
  SceneFrame += 1;
  if (SceneFrame > kIntroFrames) CurrentScene = kSceneTitleMenu;
  if (IsRolePressed(kButtonShot) || IsRolePressed(kButtonChargeWeapon))
    CurrentScene = kSceneTitleMenu;
  if (CurrentScene != kSceneTitleIntro) {
    SceneFrame = 0;
    StopMusicSlot();
    return;
  }
  const int32_t f = SceneFrame;
  ScrollIntro(f);
  CueBeams(f);
  SteerShip(f);
  FireShots(f);
  StartFlare(f);
}

void EndTitleIntroFrame() {
  if (CurrentScene != kSceneTitleIntro) return;
  for (int r = 0; r < kBeamRows; ++r) {
    int32_t& thin = StageWork[kBeamCounters + r];
    if (thin >= 0 && thin <= kBeamLastFrame) thin = thin == kBeamLastFrame ? 0 : thin + 1;
    int32_t& thick = StageWorkY[kBeamCounters + r];
    if (thick >= 0 && thick <= kBeamLastFrame) thick = thick == kBeamLastFrame ? -1 : thick + 1;
  }
  for (int i = 0; i < kShots; ++i)
    if (IsShotOnScreen(i)) StageWork[i] += 16;
  if (StageWork[kMuzzleFlash] / 2 >= 4) StageWork[kMuzzleFlash] = 0;
  if (SpeedUpTimer > 0)
    SpeedUpTimer = static_cast<int16_t>(SpeedUpTimer >= 17 ? 0 : SpeedUpTimer + 1);
  PlayerX += PlayerMoveX;
  PlayerY += PlayerMoveY;
}

namespace {

// Where the scroll layers stand: the play area between the letterbox lines.
constexpr int kLayerY = 40;
constexpr int kFarLayerWidth = 960;
constexpr int kNearLayerWidth = 320;
constexpr int kBossY = 80;
constexpr int kCurtainR = 59, kCurtainG = 59, kCurtainB = 84;
constexpr int kBannerWidth = 1280;

// The nine blasts on the boss: which counter gives the frame, the effect type, the offset.
struct BossBlast {
  int counter, type, dx, y;
};
constexpr BossBlast kBossBlasts[] = {
    {0, 0, 190, 80}, {1, 1, -10, -120}, {2, 2, 380, 240}, {3, 1, 390, -95}, {4, 2, 0, 240},
    {1, 1, 270, 0},  {2, 2, 70, 190},   {3, 1, -90, 80},  {4, 2, 470, 80},
};

// A layer image repeated from x every `width` pixels, where it shows.
void DrawLayer(int x, int width, int copies, int32_t image, int transparent) {
  for (int k = 0; k < copies; ++k) {
    const int at = x + width * k;
    if (at < kScreenWidth && at + width > 0) DrawGraphAt(at, kLayerY, image, transparent);
  }
}

void DrawBoss() {
  const int x = SceneWork[3];
  if (!IsBossOnScreen(static_cast<int16_t>(x))) return;
  DrawGraphAt(x, kBossY, BgChipImages1[2], 1);
  BeginSceneBlend(kSceneAddBlend, 255);
  for (const BossBlast& b : kBossBlasts)
    DrawGraphAt(x + b.dx, b.y, EffectImages[b.type][IntroBlastFrames[b.counter] % 12], 1);
  EndSceneBlend();
}

void DrawBeams() {
  BeginSceneBlend(kSceneAddBlend, 255);
  for (int r = 0; r < kBeamRows; ++r) {
    const int y = 80 + 40 * r;
    const int32_t thin = StageWork[kBeamCounters + r];
    if (thin >= 0 && thin <= kBeamLastFrame)
      DrawGraphRotated(320, y, 1.6, 0.0, EnemyImages0[0][thin / 4], 1, 0);
    const int32_t thick = StageWorkY[kBeamCounters + r];
    if (thick >= 0 && thick <= kBeamLastFrame)
      DrawGraphRotated(320, y, 1.6, 0.0, EnemyImages1[0][thick / 4], 1, 0);
  }
  EndSceneBlend();
}

void DrawShotsAndShip(int32_t f) {
  const int32_t* band = PlayerShotImages[std::clamp<int>(SelectedMainWeapon, 0, 3)][2];
  const int shipX = static_cast<int>(PlayerX);
  const int shipY = static_cast<int>(PlayerY);
  BeginSceneBlend(kSceneAddBlend, 255);
  for (int i = 0; i < kShots; ++i)
    if (IsShotOnScreen(i)) DrawSceneImageCentred(StageWork[i], StageWorkY[i], 1.0, band[4]);
  if (StageWork[kMuzzleFlash] > 0)
    DrawSceneImageCentred(shipX + 24, shipY, 1.0, band[std::min(StageWork[kMuzzleFlash] / 2, 4)]);
  EndSceneBlend();
  DrawSceneImageCentred(shipX, shipY, 1.0, ShipImages[std::clamp<int32_t>(ShipBankFrame, 0, 6)]);
  BeginSceneBlend(kSceneAddBlend, 255);
  DrawSceneImageCentred(shipX, shipY, 1.0, ShipJetImages[std::clamp(SpeedUpTimer / 3, 0, 6)]);
  DrawSceneImageCentred(shipX, shipY, 1.0, ShipJetSmallImages[(f / 3) % 4]);
  EndSceneBlend();
}

// The curtain opens from the right behind the banner and closes again after it.
void DrawCurtain() {
  const int edge = SceneWork[0];
  if (edge > 0) FillSceneBox(0, 0, edge, kScreenHeight, kCurtainR, kCurtainG, kCurtainB);
  if (edge >= 1 - kBannerWidth && edge <= kScreenWidth - 1)
    DrawGraphAt(edge, 0, BgChipImages2[2], 1);
  if (edge <= -kScreenWidth)
    FillSceneBox(std::max(edge + kBannerWidth, 0), 0, kScreenWidth, kScreenHeight, kCurtainR,
                 kCurtainG, kCurtainB);
}

}  // namespace

void DrawTitleIntro() {
  if (CurrentScene != kSceneTitleIntro) {
    // The frame the intro ends in shows the white its flash had reached.
    if (CurrentScene == kSceneTitleMenu) FillSceneScreen(244, 244, 244);
    return;
  }
  const int32_t f = SceneFrame;
  DrawLayer(SceneWork[1], kFarLayerWidth, 2, BgChipImages1[1], 0);
  DrawLayer(SceneWork[2], kNearLayerWidth, 3, BgChipImages2[1], 1);
  DrawBoss();
  DrawBeams();
  DrawShotsAndShip(f);
  DrawCurtain();
  FillSceneScreen(0, 0, 0, kSceneAlphaBlend, 255 - 3 * f);
  FillSceneScreen(244, 244, 244, kSceneAlphaBlend, SceneWork[4]);
}
