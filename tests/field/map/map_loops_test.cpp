// The map loops on a small map: the horizontal jump, the four vertical events and the vertical
// shift keep the ship and every record where they are on screen (and the backgrounds in step);
// pool 3 moves with them on stages 1 and 5 only; spawns in the repeated band land in the copy on
// screen; an armed loop whose end is in view wraps at once; the ship's vertical intent drives
// the wraps; objects drifting out of the band are moved over with their parts.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

// The loop: rows 1600..2000 show what 400..800 show; L = 1200, the band's midpoint 1200.
constexpr double kTop = 400;
constexpr double kBottom = 2000;
constexpr double kHeight = 1200;
// Background spans the bases are kept within: 24 x 80 wide, 5 x 80 high.
constexpr double kBackSpanX = 24 * 80;
constexpr double kBackSpanY = 5 * 80;

class MapLoopsTest : public testing::Test {
 protected:
  MapLoopsTest() { field.digestFrames = false; }

  // A 100 x 60 map (4,000 x 2,400 px) on stage 3 (no opening count), by default with only the
  // start at column 10, row 30.
  void Start(const std::string& cells = "cell 2 10 30 16\n") {
    field.WriteStageMaps(3, PlainBackgroundDescription(), FieldMapDescription(100, 60, 5, cells));
    ASSERT_EQ(field.StartStage(3), 1);
  }

  // The vertical loop on, with the view range its commands give, and no scroll.
  static void SetLoop() {
    VerticalLoopTop = ViewTop = ViewTopTarget = kTop;
    VerticalLoopBottom = ViewBottom = ViewBottomTarget = kBottom;
  }

  // The window's top at world y top, the ship at screen (160, 200), the scroll standing.
  static void PlaceWindow(double top) {
    ScrollSpeed = ScrollTargetSpeed = 0;
    ScrollAngle = 0;
    UpdateViewRight();
    DrawOffsetX = -CameraX;
    DrawOffsetY = -top;
    PlayerX = CameraX + 160;
    PlayerY = top + 200;
    UpdateDrawOffsets();
  }

  FieldFixture field;
};

// A world point of a record and where it is.
struct Point {
  std::string name;
  double* x;
  double* y;
};

// One record of every kind on screen, each at its own screen point; parts of both arrays;
// the enemy shot's three points apart.
std::vector<Point> PutRecordsOnScreen() {
  std::vector<Point> points;
  int n = 0;
  auto at = [&n](double* x, double* y) {
    *x = ScreenToWorldX(40 + 45 * (n % 13));
    *y = ScreenToWorldY(30 + 25 * (n / 13) + 7 * n % 60);
    ++n;
  };
  points.push_back({"ship", &PlayerX, &PlayerY});
  const int pools[3] = {0, 1, 2};
  for (int pool : pools) {
    EnemyObject& o = PutEnemy(PoolArray(pool), 3 + pool, 0, 0, 8, 10);
    at(&o.x, &o.y);
    points.push_back({"pool " + std::to_string(pool), &o.x, &o.y});
    EnemyPart& a = PutPart(o, false, 1, 0, 0, 4, 10);
    at(&a.x, &a.y);
    points.push_back({"part A of pool " + std::to_string(pool), &a.x, &a.y});
    EnemyPart& b = PutPart(o, true, 2, 0, 0, 4, 10);
    at(&b.x, &b.y);
    points.push_back({"part B of pool " + std::to_string(pool), &b.x, &b.y});
  }
  EnemyShot& s = PutEnemyShot(10, 0, 0, 4);
  at(&s.x, &s.y);
  at(&s.spawnX, &s.spawnY);
  at(&s.workReal[2], &s.workReal[3]);
  points.push_back({"enemy shot", &s.x, &s.y});
  points.push_back({"enemy shot's spawn point", &s.spawnX, &s.spawnY});
  points.push_back({"enemy shot's anchor", &s.workReal[2], &s.workReal[3]});
  Effect& e = Effects[4];
  e.state = 2;
  e.type = 0;
  at(&e.x, &e.y);
  points.push_back({"effect", &e.x, &e.y});
  PlayerShot& p = PutPlayerShot(20, 0, 0, 4, 1);
  at(&p.x, &p.y);
  points.push_back({"player shot", &p.x, &p.y});
  Item& it = Items[2];
  it.state = 2;
  it.frame = 1;
  it.kind = kMainPowerUpItem;
  it.removalMarginX = it.removalMarginY = 80;
  it.x = ScreenToWorldX(560);
  it.y = ScreenToWorldY(40);
  points.push_back({"item", &it.x, &it.y});
  InfoPopup& pop = InfoPopups[1];
  pop.state = 2;
  pop.frame = 1;
  pop.rise = 0;
  pop.x = ScreenToWorldX(600);
  pop.y = ScreenToWorldY(360);
  points.push_back({"popup", &pop.x, &pop.y});
  return points;
}

struct Spot {
  double x, y;
};

std::vector<Spot> ScreenSpots(const std::vector<Point>& points) {
  std::vector<Spot> spots;
  for (const Point& p : points) spots.push_back({WorldToScreenX(*p.x), WorldToScreenY(*p.y)});
  return spots;
}

std::vector<Spot> WorldSpots(const std::vector<Point>& points) {
  std::vector<Spot> spots;
  for (const Point& p : points) spots.push_back({*p.x, *p.y});
  return spots;
}

// Equal up to whole spans of the repeating background.
void ExpectSameInRepeat(double before, double after, double span, const char* what) {
  const double r = std::fmod(std::fabs(after - before), span);
  EXPECT_TRUE(r < 1e-9 || span - r < 1e-9) << what << ": " << before << " -> " << after;
}

// The scroll step and the item step as the frame runs them.
void RunLoopSteps() {
  ScrollAndMovePlayer();
  UpdateItemsAndPopups();
}

TEST_F(MapLoopsTest, EveryJumpKeepsTheShipAndEveryRecordWhereTheyAreOnScreen) {
  struct Case {
    const char* name;
    bool loop;         // the vertical loop on
    double top;        // the window's top
    double moveY;      // the ship's vertical intent
    int command33Row;  // -1 none
    bool horizontal;   // an armed horizontal loop whose end is in view
    int16_t jump;      // VerticalLoopJump after the step
    double dx, dy;     // the world moves by this
    double farY;       // an object off the window...
    double farYAfter;  // ...ends here
  } cases[] = {
      {"bottom to top", true, 1600, 2.5, -1, false, 1, 0, -kHeight, 1000, 1000},
      {"top to bottom", true, 400, -2.5, -1, false, 2, 0, kHeight, 1000, 1000},
      {"lower half moving down", true, 1100, 2.5, -1, false, 3, 0, 0, 700, 700 + kHeight},
      {"upper half moving up", true, 900, -2.5, -1, false, 4, 0, 0, 1700, 1700 - kHeight},
      {"vertical shift", false, 1000, 0, 5, false, 0, 0, -800, 300, -500},
      {"horizontal jump", false, 1000, 0, -1, true, 0, -1360, 0, 300, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    ViewTop = ViewTopTarget = c.top;
    ViewBottom = ViewBottomTarget = c.top + 400;
    if (c.loop) SetLoop();
    if (c.horizontal) {
      CameraX = 1760;  // the window's right edge at the loop's end
      HorizontalLoopStart = 400;
      HorizontalLoopEnd = 2400;
      MapLoopMode = 1;
    }
    PlaceWindow(c.top);
    if (c.command33Row >= 0) RunMapCommand(33, 0, c.command33Row);
    PlayerMoveY = c.moveY;
    const std::vector<Point> points = PutRecordsOnScreen();
    EnemyObject& far = PutEnemy(EnemyPool1, 40, CameraX + 300, c.farY, 8, 10);
    EnemyPart& farPart = PutPart(far, true, 0, far.x, c.farY + 10, 4, 10);
    const std::vector<Spot> screen = ScreenSpots(points);
    const std::vector<Spot> world = WorldSpots(points);
    const double back[4] = {BackLayer0OffsetX, BackLayer0OffsetY, BackLayer1OffsetX,
                            BackLayer1OffsetY};

    RunLoopSteps();

    EXPECT_EQ(VerticalLoopJump, c.jump);
    EXPECT_EQ(MapLoopMode, c.horizontal ? 2 : 0);
    EXPECT_TRUE(IsMapLoopShifting());
    const std::vector<Spot> screenAfter = ScreenSpots(points);
    const std::vector<Spot> worldAfter = WorldSpots(points);
    for (size_t i = 0; i < points.size(); ++i) {
      SCOPED_TRACE(points[i].name);
      EXPECT_NEAR(screenAfter[i].x, screen[i].x, 1e-9);
      EXPECT_NEAR(screenAfter[i].y, screen[i].y, 1e-9);
      EXPECT_NEAR(worldAfter[i].x, world[i].x + c.dx, 1e-9);
      EXPECT_NEAR(worldAfter[i].y, world[i].y + c.dy, 1e-9);
    }
    EXPECT_NEAR(far.y, c.farYAfter, 1e-9);
    EXPECT_NEAR(farPart.y, c.farYAfter + 10, 1e-9);
    // The backgrounds stay where they were, up to whole repeats of the background.
    ExpectSameInRepeat(back[0], BackLayer0OffsetX, kBackSpanX, "layer 0 x");
    ExpectSameInRepeat(back[1], BackLayer0OffsetY, kBackSpanY, "layer 0 y");
    ExpectSameInRepeat(back[2], BackLayer1OffsetX, kBackSpanX, "layer 1 x");
    ExpectSameInRepeat(back[3], BackLayer1OffsetY, kBackSpanY, "layer 1 y");
  }
}

TEST_F(MapLoopsTest, WithoutAJumpNothingMoves) {
  Start();
  SetLoop();
  PlaceWindow(1000);
  PlayerMoveY = 0;
  const std::vector<Point> points = PutRecordsOnScreen();
  const std::vector<Spot> world = WorldSpots(points);
  RunLoopSteps();
  EXPECT_FALSE(IsMapLoopShifting());
  const std::vector<Spot> after = WorldSpots(points);
  for (size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(after[i].x, world[i].x) << points[i].name;
    EXPECT_EQ(after[i].y, world[i].y) << points[i].name;
  }
}

TEST_F(MapLoopsTest, TheBackgroundBasesStayWithinOneRepeat) {
  // Stage 3's divisors: layer 0 by 20, layer 1 by 4 on both axes. A wrap to the bottom also
  // takes one background height (5 x 80) off.
  struct Case {
    double top, moveY;
    double base0, base1;
  } wraps[] = {{1600, 2.5, -1200 / 20.0, -1200 / 4.0},
               {400, -2.5, 1200 / 20.0 - 400, 1200 / 4.0 - 400}};
  for (const Case& c : wraps) {
    Start();
    SetLoop();
    PlaceWindow(c.top);
    PlayerMoveY = c.moveY;
    ScrollAndMovePlayer();
    EXPECT_DOUBLE_EQ(BackLayer0BaseY, c.base0) << c.top;
    EXPECT_DOUBLE_EQ(BackLayer1BaseY, c.base1) << c.top;
  }

  Start();
  // Many horizontal jumps of 1,360 px, then many wraps to the top of 1,200 px.
  for (int i = 0; i < 12; ++i) {
    CameraX = 1760;
    HorizontalLoopStart = 400;
    HorizontalLoopEnd = 2400;
    MapLoopMode = 1;
    PlaceWindow(1000);
    ScrollAndMovePlayer();
    ASSERT_EQ(MapLoopMode, 2);
    MapLoopMode = 0;
    EXPECT_LE(std::fabs(BackLayer0BaseX), kBackSpanX) << i;
    EXPECT_LE(std::fabs(BackLayer1BaseX), kBackSpanX) << i;
  }
  EXPECT_NE(BackLayer1BaseX, 0);
  for (int i = 0; i < 12; ++i) {
    SetLoop();
    PlaceWindow(1600);
    PlayerMoveY = 2.5;
    ScrollAndMovePlayer();
    ASSERT_EQ(VerticalLoopJump, 1);
    VerticalLoopJump = 0;
    EXPECT_LE(std::fabs(BackLayer0BaseY), kBackSpanY) << i;
    EXPECT_LE(std::fabs(BackLayer1BaseY), kBackSpanY) << i;
  }
  EXPECT_NE(BackLayer1BaseY, 0);
}

TEST_F(MapLoopsTest, PoolThreeMovesOnlyOnStagesOneAndFiveBeforeTheBoss) {
  struct Case {
    int16_t stage, bossState;
    bool moves;
  } cases[] = {{1, -1, true}, {1, 1, true},  {5, 0, true},  {5, 1, false},
               {6, 0, false}, {3, 0, false}, {2, 0, false}, {4, 0, false}};
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "stage " << c.stage << " boss " << c.bossState);
    CurrentStage = c.stage;
    BossState = c.bossState;
    HorizontalLoopStart = 400;
    HorizontalLoopEnd = 2400;
    MapLoopMode = 2;
    EnemyObject& o = PutEnemy(EnemyPool3, 5, 2000, 500, 8, 10);
    EnemyPart& part = PutPart(o, false, 0, 2010, 500, 4, 10);
    EnemyObject& common = PutEnemy(EnemyPool0, 5, 2000, 500, 8, 10);
    ShiftAllForMapLoop();
    EXPECT_EQ(o.x, c.moves ? 640 : 2000);
    EXPECT_EQ(part.x, c.moves ? 650 : 2010);
    EXPECT_EQ(common.x, 640);
  }
}

TEST_F(MapLoopsTest, OnlyPartsInUseWithinTheCountsMove) {
  Start();
  MapLoopMode = 2;
  HorizontalLoopStart = 0;
  HorizontalLoopEnd = 1000;  // a jump of 360
  EnemyObject& o = PutEnemy(EnemyPool0, 0, 1000, 500, 8, 10);
  PutPart(o, false, 0, 1000, 500, 4, 10);
  PutPart(o, false, 1, 1000, 500, 4, 10).state = 0;  // free
  o.partsA[2] = o.partsA[0];                         // in use, past the count
  // A count past the array (the pass frees such an object) reaches no further than the array.
  o.partCountB = 400;
  for (EnemyPart& p : o.partsB) p = o.partsA[0];
  EnemyObject& freed = PutEnemy(EnemyPool0, 1, 1000, 500, 8, 10);
  freed.state = 0;
  ShiftPoolForMapLoop(EnemyPool0, kEnemyPool0Size);
  EXPECT_EQ(o.x, 640);
  EXPECT_EQ(o.partsA[0].x, 640);
  EXPECT_EQ(o.partsA[1].x, 1000);
  EXPECT_EQ(o.partsA[2].x, 1000);
  for (const EnemyPart& p : o.partsB) EXPECT_EQ(p.x, 640);
  EXPECT_EQ(freed.x, 1000);
}

TEST_F(MapLoopsTest, ASpawnInTheRepeatedBandLandsInTheCopyOnScreen) {
  struct Case {
    bool loop;
    double top;  // the window's top
    double y;    // asked for
    double placed;
  } cases[] = {
      {true, 1500, 500, 500 + kHeight},  // the window shows the lower copy
      {true, 1500, 800, 800 + kHeight},  // the band's last row
      {true, 1500, 820, 820},            // below the band
      {true, 1200, 500, 500},            // the window's bottom at the copy's top: not yet
      {true, 1000, 500, 500},            // the window in the band's upper part
      {false, 1500, 500, 500},           // no loop
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.loop << " " << c.top << " " << c.y);
    Start();
    if (c.loop) SetLoop();
    PlaceWindow(c.top);
    EXPECT_EQ(LoopAdjustedY(c.y), c.placed);
    const int16_t slot = SpawnPool0Enemy(1000, c.y, 2, 0, -1, 0);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(EnemyPool0[slot].y, c.placed);
  }

  // From the map, scanning every row while the window shows the lower copy: the cell of row
  // 12 (y 500) spawns at y 1700, screen y 200.
  Start("cell 2 10 30 16\ncell 3 22 12 1\n");
  HandlerRecorder recorder;
  ScopedEntry<EnemyObjectHandler> entry{EnemyPool0Handlers[0], RecordPool0};
  field.Step();  // the first frame of play
  SetLoop();
  VerticalFreeMode = 1;
  PlaceWindow(1500);
  ScrollSpeed = ScrollTargetSpeed = 1;
  ScrollDeltaX = 1;
  field.Step();
  ASSERT_EQ(recorder.calls.size(), 1u);
  EXPECT_EQ(recorder.calls[0].x, 22 * 40 + 20);
  EXPECT_EQ(recorder.calls[0].y, 500 + kHeight);
  EXPECT_EQ(WorldToScreenY(recorder.calls[0].y), 200);
}

TEST_F(MapLoopsTest, AnArmedLoopWhoseEndIsInViewWrapsAtOnceAndRearmsEveryRound) {
  // The loop runs from the map's left edge (no start command) to column 41's right edge (x
  // 1680). The first view (the camera at 1060, its right edge at 1700) reads the end and a
  // speed of 4: the loop is armed with its end already in view.
  Start("cell 2 30 10 16\ncell 3 35 10 137\ncell 3 41 10 177\n");
  std::vector<int16_t> modes;  // as the pool pass sees them, in the middle of each frame
  HandlerRecorder recorder;
  recorder.onObject = [&modes](EnemyObject&, int, int) { modes.push_back(MapLoopMode); };
  ScopedEntry<EnemyObjectHandler> entry{EnemyPool0Handlers[5], RecordPool0};
  EnemyObject& observer = PutEnemy(EnemyPool0, 0, 1000, 420, 0, 1);
  observer.despawnMarginX = observer.despawnMarginY = -1;
  ASSERT_EQ(CameraX, 1060);
  ASSERT_EQ(MapLoopMode, 0);

  field.Step();
  ASSERT_EQ(modes.size(), 1u);
  EXPECT_EQ(modes[0], 2);
  EXPECT_EQ(MapLoopMode, 0);
  EXPECT_EQ(HorizontalLoopEnd, 1680);
  EXPECT_EQ(CameraX, 1060 + 4 - 1040);
  EXPECT_EQ(WorldToScreenX(PlayerX), 160);

  // The end's column comes into the window again and arms the loop, which jumps back once the
  // window's right edge reaches the end; between rounds it is off.
  std::vector<int> jumps = {0};
  for (int frame = 1; frame < 600; ++frame) {
    field.Step();
    ASSERT_EQ(modes.size(), static_cast<size_t>(frame) + 1);
    ASSERT_NE(MapLoopMode, 2) << frame;
    ASSERT_EQ(WorldToScreenX(PlayerX), 160) << frame;
    if (modes[frame] == 2) {
      jumps.push_back(frame);
      EXPECT_EQ(modes[frame - 1], 1) << frame;
    }
  }
  EXPECT_EQ(jumps, (std::vector<int>{0, 254, 514}));
  EXPECT_EQ(modes[244], 0);
  EXPECT_EQ(modes[245], 1);
  EXPECT_EQ(modes[255], 0);
}

TEST_F(MapLoopsTest, TheShipsVerticalIntentDrivesTheWraps) {
  Start();
  field.Step();  // the first frame of play
  std::vector<int16_t> jumps;
  HandlerRecorder recorder;
  recorder.onObject = [&jumps](EnemyObject&, int, int) { jumps.push_back(VerticalLoopJump); };
  ScopedEntry<EnemyObjectHandler> entry{EnemyPool0Handlers[5], RecordPool0};
  EnemyObject& observer = PutEnemy(EnemyPool0, 0, 1000, 420, 0, 1);
  observer.despawnMarginX = observer.despawnMarginY = -1;
  observer.useViewBox = 0;  // left where it is
  SetLoop();
  PlaceWindow(kBottom - 400);

  // No vertical input at the loop's bottom: no wrap, the window stays.
  field.Run(100);
  EXPECT_EQ(jumps, std::vector<int16_t>(100, 0));
  EXPECT_EQ(DrawOffsetY, -(kBottom - 400));
  EXPECT_EQ(PlayerY, kBottom - 200);

  // Down: the frame after the first press (its intent) wraps to the top, the ship keeping its
  // pace on screen; in the upper half moving down nothing more happens.
  jumps.clear();
  std::vector<double> shipScreenY;
  for (int i = 0; i < 3; ++i) {
    field.Step(HeldRole(kButtonDown));
    shipScreenY.push_back(WorldToScreenY(PlayerY));
  }
  EXPECT_EQ(jumps, (std::vector<int16_t>{0, 1, 0}));
  EXPECT_LT(PlayerY, kTop + 400);
  EXPECT_NEAR(shipScreenY[1] - shipScreenY[0], 2.5, 1e-9);
  EXPECT_NEAR(shipScreenY[2] - shipScreenY[1], 2.5, 1e-9);

  // Up at the loop's top: the frame after the turn wraps to the bottom.
  PlaceWindow(kTop);
  field.Step();
  jumps.clear();
  field.Run(2, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(jumps, (std::vector<int16_t>{0, 2}));
  EXPECT_GT(PlayerY, kBottom - 400);
}

TEST_F(MapLoopsTest, AnObjectDriftingOutOfTheBandIsMovedOverWithItsParts) {
  struct Case {
    const char* name;
    double top;  // the window's top; the midpoint 1200 lies at its centre 200 below
    double y;
    uint8_t useViewBox;
    int32_t cullMarginY;
    double after;
  } cases[] = {
      {"upper half, above the band", 600, 350, 1, 0, 350 + kHeight},
      {"upper half, in the band", 600, 1000, 1, 0, 1000},
      {"upper half, in the lower copy", 600, 1650, 1, 0, 1650 - kHeight},
      {"upper half, below by its margin", 600, 1650, 1, 100, 1650},
      {"upper half, below past its margin", 600, 1750, 1, 100, 1750 - kHeight},
      {"lower half, in the upper copy", 1300, 700, 1, 0, 700 + kHeight},
      {"lower half, in the band", 1300, 1000, 1, 0, 1000},
      {"lower half, below the band", 1300, 2050, 1, 0, 2050 - kHeight},
      {"on the screen's own terms", 600, 350, 0, 0, 350},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    SetLoop();
    PlaceWindow(c.top);
    EnemyObject& o = PutEnemy(EnemyPool1, 9, 1000, c.y, 8, 10);
    o.useViewBox = c.useViewBox;
    o.cullMarginY = c.cullMarginY;
    PutPart(o, false, 0, 1000, c.y + 5, 4, 10);
    PutPart(o, true, 3, 1000, c.y - 5, 4, 10);
    WrapObjectInVerticalLoop(EnemyPool1, 9);
    EXPECT_EQ(o.y, c.after);
    EXPECT_EQ(o.partsA[0].y, c.after + 5);
    EXPECT_EQ(o.partsB[3].y, c.after - 5);
  }

  // No loop: nothing moves.
  Start();
  PlaceWindow(600);
  EnemyObject& o = PutEnemy(EnemyPool1, 9, 1000, 350, 8, 10);
  o.useViewBox = 1;
  WrapObjectInVerticalLoop(EnemyPool1, 9);
  EXPECT_EQ(o.y, 350);
}

TEST_F(MapLoopsTest, ThePoolPassWrapsOnlyObjectsThatMoved) {
  Start();
  SetLoop();
  PlaceWindow(600);
  HandlerRecorder recorder;
  // Slot 0 moves down 2 px a frame; slot 1 stands still.
  recorder.onObject = [](EnemyObject& o, int, int slot) {
    if (slot == 0) o.y += 2;
  };
  ScopedEntry<EnemyObjectHandler> entry{EnemyPool0Handlers[5], RecordPool0};
  ScopedEntry<EnemyPartHandler> parts{EnemyPartHandlers[0], RecordPart};
  for (int slot : {0, 1}) {
    EnemyObject& o = PutEnemy(EnemyPool0, slot, 1000, 1599, 0, 1);
    o.useViewBox = 1;
    o.despawnMarginX = o.despawnMarginY = -1;
    PutPart(o, true, 0, 1000, 1599, 0, 1);
  }
  EnemyPool0[1].y = EnemyPool0[1].partsB[0].y = 1650;
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  EXPECT_EQ(EnemyPool0[0].y, 1601 - kHeight);
  EXPECT_EQ(EnemyPool0[0].partsB[0].y, 1599 - kHeight);
  EXPECT_EQ(EnemyPool0[1].y, 1650);
  EXPECT_EQ(EnemyPool0[1].partsB[0].y, 1650);
}

}  // namespace
