#include "stg_src/field/map/scrolling.h"

#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/map_spawner.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

double CameraX;
double ViewRight;
double ViewTop;
double ViewBottom;
double ViewTopTarget;
double ViewBottomTarget;
double DrawOffsetX;
double DrawOffsetY;
double ScrollSpeed;
double ScrollTargetSpeed;
int16_t ScrollAngle;
double ScrollDeltaX;
double ScrollDeltaY;
uint8_t SnapViewToPlayer;
uint8_t PlayerPushedDown;
int32_t ShipBankFrame;
int16_t CheckpointIndex;
int16_t SpeedUpTimer;
double StageFourParallaxX;
double BackLayer0OffsetX;
double BackLayer0OffsetY;
double BackLayer1OffsetX;
double BackLayer1OffsetY;
double BackLayer0BaseX;
double BackLayer0BaseY;
double BackLayer1BaseX;
double BackLayer1BaseY;

namespace {

constexpr double kScrollEasing = 0.02;
constexpr double kRangeNarrowing = 4;
constexpr double kEdgeMargin = 20;
constexpr double kDiagonalDivisor = 1.4;
constexpr int16_t kSpeedUpTimerEnd = 17;
// The ship's screen y is held between these while the view range allows.
constexpr double kShipScreenTop = 160;
constexpr double kShipScreenBottom = 260;
constexpr double kShipStartScreenX = 160;
constexpr double kShipStartScreenY = 200;
constexpr int32_t kBankLevel = 31;
constexpr int32_t kBankMax = 62;
// Charge gauge size by charge weapon (homing bomb, wave, bomb).
constexpr int16_t kChargeGaugeMax[3] = {1800, 1440, 1260};

double PushDownStep() { return Difficulty <= 1 ? 1.6 : 3.2; }

bool IsHeld(int role) { return GetButtonHoldCount(ButtonPadBits[role]) > 0; }

// The scroll stops for good at the map's top and bottom, until a map command sets a speed.
void StopScroll() {
  ScrollDeltaY = 0;
  ScrollSpeed = 0;
  ScrollTargetSpeed = 0;
}

void RideRangeWithScroll() {
  ViewTop += ScrollDeltaY;
  ViewTopTarget += ScrollDeltaY;
  ViewBottom += ScrollDeltaY;
  ViewBottomTarget += ScrollDeltaY;
  const double mapBottom = MapHeight * kTileSize;
  for (double* top : {&ViewTop, &ViewTopTarget}) {
    if (*top < 0) {
      *top = 0;
      StopScroll();
    }
  }
  for (double* bottom : {&ViewBottom, &ViewBottomTarget}) {
    if (*bottom > mapBottom) {
      *bottom = mapBottom;
      StopScroll();
    }
  }
  ViewBottom = std::max(ViewBottom, ViewTop + kViewHeight);
  ViewBottomTarget = std::max(ViewBottomTarget, ViewTopTarget + kViewHeight);
}

// Widening is taken at once, narrowing 4 px a frame.
void MoveRangeTowardTargets() {
  if (ViewTopTarget < ViewTop) {
    ViewTop = ViewTopTarget;
  } else if (ViewTopTarget > ViewTop) {
    ViewTop = std::min(ViewTop + kRangeNarrowing, ViewTopTarget);
  }
  if (ViewBottomTarget > ViewBottom) {
    ViewBottom = ViewBottomTarget;
  } else if (ViewBottomTarget < ViewBottom) {
    ViewBottom = std::max(ViewBottom - kRangeNarrowing, ViewBottomTarget);
  }
}

// The next marker is passed near the window's centre line across the scroll.
void PassCheckpoints() {
  const int k = CheckpointIndex + 1;
  if (k >= CheckpointCount || k < 1 || k >= kMarkerCount) return;
  const double x = CheckpointX[k], y = CheckpointY[k];
  bool passed;
  if (ScrollDeltaX == 0) {
    passed = CameraX <= x && x <= ViewRight && ViewTop + 160 <= y && y <= ViewTop + 240;
  } else {
    const double top = VerticalFreeMode == 1 ? ViewTop : -DrawOffsetY;
    const double bottom = VerticalFreeMode == 1 ? ViewBottom : -DrawOffsetY + kViewHeight;
    passed = top <= y && y <= bottom && CameraX + 280 <= x && x <= CameraX + 360;
  }
  if (passed) CheckpointIndex = static_cast<int16_t>(k);
}

void ReadShipInput() {
  PlayerMoveX = 0;
  PlayerMoveY = 0;
  if (PlayerActive != 1) return;
  const double s = ShipSpeed + 2.5;
  if (IsHeld(kButtonLeft)) PlayerMoveX = -s;
  if (IsHeld(kButtonRight)) PlayerMoveX = s;
  if (IsHeld(kButtonUp)) PlayerMoveY = -s;
  if (IsHeld(kButtonDown)) PlayerMoveY = s;
  if (PlayerMoveX != 0 && PlayerMoveY != 0) {
    PlayerMoveX /= kDiagonalDivisor;
    PlayerMoveY /= kDiagonalDivisor;
  }
}

// The bank tilts 3 a frame toward the vertical motion relative to the scroll, else returns to
// level one step a frame.
void UpdateBank(double newY, double oldY) {
  const double riding = oldY + ScrollDeltaY;
  if (newY < riding) {
    ShipBankFrame = std::max(ShipBankFrame - 3, 0);
  } else if (newY > riding) {
    ShipBankFrame = std::min(ShipBankFrame + 3, kBankMax);
  } else {
    if (ShipBankFrame <= kBankLevel - 1) ShipBankFrame += 1;
    if (ShipBankFrame >= kBankLevel + 1) ShipBankFrame -= 1;
  }
}

void MoveShip() {
  ReadShipInput();
  double x = PlayerX + PlayerMoveX + ScrollDeltaX;
  double y = PlayerY + PlayerMoveY + ScrollDeltaY;
  if (PlayerPushedDown == 1) y += PushDownStep();
  PlayerPushedDown = 0;
  x = std::min(std::max(x, CameraX + kEdgeMargin), ViewRight - kEdgeMargin);
  if (VerticalLoopBottom <= 0) {
    y = std::min(std::max(y, ViewTop + kEdgeMargin), ViewBottom - kEdgeMargin);
  }
  const bool hitTerrain = TestTerrainHit(x, y, PlayerX, PlayerY, 1) >= 0;
  PlayerX = x;
  UpdateBank(y, PlayerY);
  PlayerY = y;
  if (hitTerrain) {
    KillPlayer(0);
    SpendShield();
  }
}

void UpdateParallaxAxis(double base, double divisor, double correction, double* offset) {
  if (divisor < kFixedParallaxDivisor) *offset = base / divisor + correction;
}

}  // namespace

void ScrollAndMovePlayer() {
  if (ScrollAngle < 0) ScrollAngle = 0;
  ScrollDeltaX = CosineTable[WrapAngle(ScrollAngle)] * ScrollSpeed;
  ScrollDeltaY = SineTable[WrapAngle(ScrollAngle)] * ScrollSpeed;

  if (SpeedUpTimer > 0) {
    SpeedUpTimer += 1;
    if (SpeedUpTimer > kSpeedUpTimerEnd) SpeedUpTimer = 0;
  }

  CameraX += ScrollDeltaX;
  if (CameraX < 0) {
    CameraX = 0;
    ScrollDeltaX = 0;
  }
  UpdateViewRight();
  RideRangeWithScroll();

  UpdateDrawOffsets();
  if (SnapViewToPlayer == 1) {
    UpdateViewRight();
    UpdateDrawOffsets();
    SnapViewToPlayer = 0;
  }
  WrapMapLoops();
  ShiftAllForMapLoop();
  UpdateDrawOffsets();

  MoveRangeTowardTargets();
  ScrollSpeed =
      ScrollTargetSpeed == 0 ? 0 : ApproachValue(ScrollSpeed, kScrollEasing, ScrollTargetSpeed);
  PassCheckpoints();

  if (DeathTimer > 0) return;
  MoveShip();
}

void UpdateViewRight() {
  ViewRight = CameraX + kViewWidth;
  const double mapRight = MapWidth * kTileSize;
  if (ViewRight > mapRight) {
    ViewRight = mapRight;
    CameraX = ViewRight - kViewWidth;
    ScrollDeltaX = 0;
  }
}

double ShipVerticalIntent() {
  return PlayerPushedDown == 1 ? PlayerMoveY + PushDownStep() : PlayerMoveY;
}

void UpdateDrawOffsets() {
  const double m = ShipVerticalIntent();
  DrawOffsetX = -CameraX;
  if (SnapViewToPlayer == 1) {
    DrawOffsetY = kShipStartScreenY - PlayerY;
  } else {
    const double screenY = PlayerY + DrawOffsetY;
    if (screenY < kShipScreenTop) {
      DrawOffsetY += m < -2 ? -m : 2;
      DrawOffsetY = std::min(DrawOffsetY, kShipScreenTop - PlayerY);
    } else if (screenY > kShipScreenBottom) {
      DrawOffsetY += m > 2 ? -m : -2;
      DrawOffsetY = std::max(DrawOffsetY, kShipScreenBottom - PlayerY);
    }
    DrawOffsetY = std::min(DrawOffsetY, -ViewTop);
    DrawOffsetY = std::max(DrawOffsetY, -(ViewBottom - kViewHeight));
  }
  const double baseX = GetParallaxBaseX();
  UpdateParallaxAxis(baseX, BackLayer0DivisorX, BackLayer0BaseX, &BackLayer0OffsetX);
  UpdateParallaxAxis(DrawOffsetY, BackLayer0DivisorY, BackLayer0BaseY, &BackLayer0OffsetY);
  UpdateParallaxAxis(baseX, BackLayer1DivisorX, BackLayer1BaseX, &BackLayer1OffsetX);
  UpdateParallaxAxis(DrawOffsetY, BackLayer1DivisorY, BackLayer1BaseY, &BackLayer1OffsetY);
}

double GetParallaxBaseX() {
  return CurrentStage == 4 && BackgroundVariant == 0 ? StageFourParallaxX : DrawOffsetX;
}

void PlacePlayerAtStart() {
  FireHoldLatch = 0;
  MainWeaponCooldown = 0;
  SubWeaponCooldown = 0;
  LaserFireCounter = 0;
  ChargeGauge = 0;
  ChargeFullFlash = 0;
  ChargeGaugeMax = SelectedChargeWeapon >= 0 && SelectedChargeWeapon < 3
                       ? kChargeGaugeMax[SelectedChargeWeapon]
                       : kChargeGaugeMax[0];
  SpeedUpTimer = 0;
  StageUnlockId = -1;
  CancelEnemyShots = 0;

  const int marker = MarkerEntry(CheckpointIndex);
  PlayerX = CheckpointX[marker];
  PlayerY = CheckpointY[marker];
  ViewTop = ViewTopTarget = PlayerY - kShipStartScreenY;
  ViewBottom = ViewBottomTarget = PlayerY + kShipStartScreenY;
  CameraX = PlayerX - kShipStartScreenX;
  UpdateViewRight();
  if (CameraX < 0) {
    CameraX = 0;
    UpdateViewRight();
    PlayerX = kShipStartScreenX;
  }
  ShipBankFrame = kBankLevel;
  SnapViewToPlayer = 1;
  UpdateDrawOffsets();
  std::ranges::fill(StageWork, 0);
  std::ranges::fill(StageWorkY, 0);
}

void ResetScrolling() {
  CameraX = 0;
  ViewRight = 0;
  ViewTop = 0;
  ViewBottom = 0;
  ViewTopTarget = 0;
  ViewBottomTarget = 0;
  DrawOffsetX = 0;
  DrawOffsetY = 0;
  ScrollSpeed = 0;
  ScrollTargetSpeed = 0;
  ScrollAngle = 0;
  ScrollDeltaX = 0;
  ScrollDeltaY = 0;
  SnapViewToPlayer = 0;
  PlayerPushedDown = 0;
  ShipBankFrame = 0;
  CheckpointIndex = 0;
  SpeedUpTimer = 0;
  StageFourParallaxX = 0;
  BackLayer0OffsetX = 0;
  BackLayer0OffsetY = 0;
  BackLayer1OffsetX = 0;
  BackLayer1OffsetY = 0;
  BackLayer0BaseX = 0;
  BackLayer0BaseY = 0;
  BackLayer1BaseX = 0;
  BackLayer1BaseY = 0;
}

void DigestScrolling(StateDigest& d, DigestScope) {
  DigestValue(d, CameraX);
  DigestValue(d, ViewRight);
  DigestValue(d, ViewTop);
  DigestValue(d, ViewBottom);
  DigestValue(d, ViewTopTarget);
  DigestValue(d, ViewBottomTarget);
  DigestValue(d, DrawOffsetX);
  DigestValue(d, DrawOffsetY);
  DigestValue(d, ScrollSpeed);
  DigestValue(d, ScrollTargetSpeed);
  DigestValue(d, ScrollAngle);
  DigestValue(d, ScrollDeltaX);
  DigestValue(d, ScrollDeltaY);
  DigestValue(d, SnapViewToPlayer);
  DigestValue(d, PlayerPushedDown);
  DigestValue(d, ShipBankFrame);
  DigestValue(d, CheckpointIndex);
  DigestValue(d, SpeedUpTimer);
  DigestValue(d, StageFourParallaxX);
  DigestValue(d, BackLayer0OffsetX);
  DigestValue(d, BackLayer0OffsetY);
  DigestValue(d, BackLayer1OffsetX);
  DigestValue(d, BackLayer1OffsetY);
  DigestValue(d, BackLayer0BaseX);
  DigestValue(d, BackLayer0BaseY);
  DigestValue(d, BackLayer1BaseX);
  DigestValue(d, BackLayer1BaseY);
}
