// Stage 5's boss chain on a still field: the hand-over from form to form (and past forms a
// restarted chain has beaten), entry and braking, the cores' life, score, unlock weight and
// time-out, form 1's two cores, the death sequence's frames and the clear after the last form.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr int kCoreType = 20;

// The field's boot state on stage 5 at this difficulty, world and screen agreeing, the chain
// untouched (StageMarker 10), the ship immune at (60, 200).
class ChainField {
 public:
  explicit ChainField(int difficulty) : field_(difficulty) {
    ClearAllObjects();
    CurrentStage = 5;
    StageMarker = 10;
    DrawOffsetX = DrawOffsetY = 0;
    ScrollDeltaX = ScrollDeltaY = 0;
    TimeRank = PowerRank = 0;
    StageUnlockId = -1;
    StageClearTimer = 0;
    BossState = 0;
    Score = 0;
    field_.SetShipImmune(true);
    PlayerX = 60;
    PlayerY = 200;
  }
  void SpawnForm(int16_t type, double x = 640) {
    ASSERT_EQ(SpawnPool0Enemy(x, 200, type, 0, -1, 0), 0);
  }
  void Step() {
    UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
    UpdateEffects();
  }
  // Steps until done() or limit frames; true when done was met.
  template <typename Done>
  bool RunUntil(Done done, int limit) {
    for (int i = 0; i < limit; ++i) {
      Step();
      if (done()) return true;
    }
    return false;
  }
  FieldFixture& field() { return field_; }

 private:
  FieldFixture field_;
};

// The live form (state not 0) in pool 0, or null.
EnemyObject* Form() {
  for (EnemyObject& o : EnemyPool0)
    if (o.state != 0 && o.type >= 10 && o.type <= 14) return &o;
  return nullptr;
}

int16_t CoreSlot(const EnemyObject& o) {
  for (int j = 0; j < o.partCountB; ++j)
    if (o.partsB[j].partType == kCoreType && o.partsB[j].state != 0) return static_cast<int16_t>(j);
  return -1;
}

TestDamageTarget CoreOf(const EnemyObject& o, int16_t part) {
  return {0, static_cast<int16_t>(&o - EnemyPool0), kTestPartsB, part};
}

int CapsuleItems() {
  int n = 0;
  for (const Item& it : Items) n += it.state != 0 && it.kind == 7 ? 1 : 0;
  return n;
}

TEST(Stage5BossChainTest, AFormEntersAtSpeedThenBrakesFor32FramesAndRestartsItsFrame) {
  for (int16_t type : {11, 12, 13}) {
    SCOPED_TRACE(type);
    ChainField chain(1);
    StageMarker = type;
    chain.SpawnForm(type);
    chain.Step();
    const EnemyObject& o = EnemyPool0[0];
    EXPECT_EQ(BossState, 1);
    EXPECT_EQ(o.life, -1);
    EXPECT_EQ(o.y, 200);
    EXPECT_GT(o.x, 640 + 100);  // started past the right edge by its shift
    ASSERT_TRUE(chain.RunUntil([&] { return o.phase == -4; }, 200));
    EXPECT_LT(o.x, 620);
    int braking = 0;
    while (o.phase == -4 && braking < 100) {
      chain.Step();
      ++braking;
    }
    EXPECT_EQ(braking, 32);
    EXPECT_EQ(o.phase, -3);
    EXPECT_EQ(o.frame, 0);
  }
}

TEST(Stage5BossChainTest, CoreLifeByVariantIsScaledByPowerRank) {
  struct Case {
    int16_t type;
    int32_t life;
  };
  for (const Case& c : {Case{11, 5100}, Case{12, 6000}, Case{13, 6000}, Case{10, 4750}}) {
    SCOPED_TRACE(c.type);
    ChainField chain(1);
    PowerRank = 200;
    StageMarker = c.type;
    chain.SpawnForm(c.type);
    chain.Step();
    chain.Step();
    const EnemyObject& o = EnemyPool0[0];
    const int16_t core = CoreSlot(o);
    ASSERT_GE(core, 0);
    EXPECT_EQ(o.partsB[core].life, c.life + 200 * c.life / 440);
    EXPECT_EQ(o.partsB[core].scoreBase, o.partsB[core].life);
  }
  ChainField chain(1);
  PowerRank = 200;
  StageMarker = 11;
  chain.SpawnForm(11);
  chain.Step();
  chain.Step();
  EXPECT_EQ(EnemyPool0[0].partsB[0].life, 7418);
}

// A restarted chain: form 1 from the map marks the boss type and every beaten form hands over in
// its set-up frame, so the first unbeaten form starts fresh at screen (640, 200) + its shift.
TEST(Stage5BossChainTest, BeatenFormsHandOverInTheirSetUpFrame) {
  ChainField chain(2);
  StageMarker = 13;
  chain.SpawnForm(10, 900);
  chain.Step();
  EXPECT_EQ(BossType, 10);
  EXPECT_EQ(StageMarker, 13);
  int passes = 1;
  while (Form() != nullptr && Form()->type != 13 && passes < 10) {
    chain.Step();
    ++passes;
  }
  ASSERT_NE(Form(), nullptr);
  EXPECT_EQ(Form()->type, 13);
  chain.Step();  // form 4's set-up
  const EnemyObject& o = *Form();
  EXPECT_EQ(o.state, 2);
  EXPECT_EQ(o.x, 640 + 180);
  EXPECT_EQ(o.y, 200);
  chain.Step();
  EXPECT_EQ(o.partsB[0].life, o.partsB[0].maxLife);
  EXPECT_EQ(o.partsB[0].life, 6000);
  int forms = 0;
  for (const EnemyObject& e : EnemyPool0) forms += e.state != 0 ? 1 : 0;
  EXPECT_EQ(forms, 1);
}

// Left alone, every form cues its core on the first frame past its time-out, the core turns to
// its closed cell and cannot be hurt there, and it bursts 181 frames after the cue; no score and
// no capsule come of it. The chain ends after form 4 on easy and after form 5 on hard.
TEST(Stage5BossChainTest, AnUntouchedChainTimesOutFormByFormToTheClear) {
  struct Case {
    int difficulty;
    int lastType;
  };
  for (const Case& c : {Case{0, 13}, Case{2, 14}}) {
    SCOPED_TRACE(c.difficulty);
    ChainField chain(c.difficulty);
    // Below the line form 1's cannon slides along to the left edge, so nothing rams a core.
    PlayerX = 300;
    PlayerY = 360;
    chain.SpawnForm(10);
    std::vector<int> seen;
    while (StageClearTimer == 0 && seen.size() < 6) {
      EnemyObject* form = nullptr;
      ASSERT_TRUE(chain.RunUntil(
          [&] {
            return (form = Form()) && form->state == 2 && form->frame > 2 && form->phase != 0 &&
                   form->phase != -4;
          },
          400));
      EnemyObject& o = *form;
      seen.push_back(o.type);
      const int32_t limit = o.type == 14 ? 6400 : 4800;
      const int16_t core = CoreSlot(o);
      ASSERT_GE(core, 0);
      // Form 1 cues only in its patrol: the first frame past the limit that starts there.
      int16_t startPhase = o.phase;
      int missed = 0;
      ASSERT_TRUE(chain.RunUntil(
          [&] {
            const bool cued = o.partsB[core].cue > 0;
            if (!cued && o.frame > limit && startPhase == -3) ++missed;
            if (!cued) startPhase = o.phase;
            return cued;
          },
          limit + 2000))
          << "form " << o.type << " phase " << o.phase << " frame " << o.frame;
      if (o.type == 10) {
        EXPECT_EQ(startPhase, -3);
        EXPECT_GT(o.frame, limit);
        EXPECT_EQ(missed, 0);
      } else {
        EXPECT_EQ(o.frame, limit + 1);
      }
      int passes = 1;  // the cue's own pass
      while (o.partsB[core].imageFrame != 5 && passes < 40) {
        chain.Step();
        ++passes;
      }
      EXPECT_EQ(o.partsB[core].life, -1);
      EXPECT_TRUE(chain.field().DamageEnemy(CoreOf(o, core), 100000));
      EXPECT_EQ(o.partsB[core].life, -1);
      while (!(o.state == 4 && o.frame == 0) && passes < 400) {
        chain.Step();
        ++passes;
      }
      EXPECT_EQ(passes, 181);  // the death sequence starts 181 frames after the cue
      // The hand-over (the slot freed, the next form spawned into it) or the clear at death
      // frame 80 for form 1, 160 for the others.
      const int32_t deathType = o.type;
      int deathFrames = 0;
      while (o.type == deathType && o.state != 0 && StageClearTimer == 0 && deathFrames < 400) {
        chain.Step();
        ++deathFrames;
      }
      EXPECT_EQ(deathFrames, deathType == 10 ? 80 : 160);
    }
    EXPECT_EQ(seen.back(), c.lastType);
    std::vector<int> expected;
    for (int t = 10; t <= c.lastType; ++t) expected.push_back(t);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(BossState, -1);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(CapsuleItems(), 0);
    ASSERT_NE(Form(), nullptr);  // the last form stays, dying and hidden
    EXPECT_EQ(Form()->state, 4);
    EXPECT_EQ(Form()->imageFrame, -1);
  }
}

}  // namespace

namespace {

// Kills the live form's every active core through the damage route and runs the chain until the
// next form is set up (or the stage clears); the score each kill paid.
std::vector<int64_t> KillForm(ChainField& chain) {
  std::vector<int64_t> paid;
  EnemyObject* form = nullptr;
  EXPECT_TRUE(chain.RunUntil(
      [&] { return (form = Form()) && form->state == 2 && form->phase != 0 && form->phase != -4; },
      600));
  if (form == nullptr) return paid;
  const int32_t type = form->type;
  for (int j = 0; j < form->partCountB; ++j) {
    EnemyPart& p = form->partsB[j];
    if (p.partType != kCoreType || p.state != 2) continue;
    const int64_t before = Score;
    EXPECT_TRUE(chain.field().DamageEnemy(CoreOf(*form, static_cast<int16_t>(j)), p.life + 1));
    paid.push_back(Score - before);
  }
  chain.RunUntil([&] { return Form() == nullptr || Form()->type != type || StageClearTimer > 0; },
                 400);
  return paid;
}

TEST(Stage5BossChainTest, KilledCoresPayTheirLifeAndOnlyTheLastFormUnlocksTheCapsule) {
  struct Case {
    int difficulty;
    int lastType;
  };
  for (const Case& c : {Case{1, 13}, Case{3, 14}}) {
    SCOPED_TRACE(c.difficulty);
    ChainField chain(c.difficulty);
    chain.SpawnForm(10);
    for (int type = 10; type <= c.lastType; ++type) {
      SCOPED_TRACE(type);
      chain.RunUntil([&] { return Form() != nullptr && Form()->state == 2; }, 10);
      ASSERT_NE(Form(), nullptr);
      ASSERT_EQ(Form()->type, type);
      EXPECT_EQ(StageUnlockId, -1);
      chain.Step();
      const EnemyObject& o = *Form();
      const int16_t core = CoreSlot(o);
      const int32_t scoreBase = o.partsB[core].scoreBase;
      EXPECT_EQ(o.partsB[core].unlockWeight, type == c.lastType ? 2 : 0);
      const std::vector<int64_t> paid = KillForm(chain);
      ASSERT_EQ(paid.size(), type == 10 ? 2u : 1u);
      EXPECT_EQ(paid.back(), std::max(scoreBase, 30) * (c.difficulty + 1));
      if (type < c.lastType) { EXPECT_EQ(StageMarker, type + 1); }
    }
    // The last core moved StageUnlockId -1 -> -3, which the field turns into stage 5's weapon,
    // and the capsule falls at death frame 80.
    EXPECT_EQ(StageUnlockId, 14);
    EXPECT_EQ(StageClearTimer, 2);
    EXPECT_EQ(BossState, -1);
    // No form writes a marker past its own type: a death in the clear brings the last one back.
    EXPECT_EQ(StageMarker, c.lastType);
  }
}

TEST(Stage5BossChainTest, TheCapsuleFallsAtDeathFrame80OfTheLastForm) {
  ChainField chain(0);
  StageMarker = 13;
  chain.SpawnForm(13);
  ASSERT_TRUE(chain.RunUntil([] { return Form()->state == 2 && Form()->phase == -3; }, 600));
  EnemyObject& o = *Form();
  ASSERT_TRUE(chain.field().DamageEnemy(CoreOf(o, 0), o.partsB[0].life + 1));
  EXPECT_EQ(StageUnlockId, 14);
  ASSERT_TRUE(chain.RunUntil([&] { return o.state == 4; }, 5));
  ASSERT_TRUE(chain.RunUntil([] { return CapsuleItems() > 0; }, 200));
  EXPECT_EQ(o.frame, 80);
  EXPECT_EQ(o.imageFrame, -1);
  EXPECT_EQ(StageClearTimer, 0);  // the clear waits for frame 160
}

// Form 1 carries two cores: losing either one sets phase -3 and ends its own assembly; the form
// dies with the second, where that core was.
TEST(Stage5BossChainTest, FormOneDiesOnlyWithBothCoresEachTakingItsAssembly) {
  for (int first : {5, 11}) {
    SCOPED_TRACE(first);
    ChainField chain(1);
    chain.SpawnForm(10);
    ASSERT_TRUE(chain.RunUntil([] { return Form()->state == 2 && Form()->phase == -3; }, 600));
    EnemyObject& o = *Form();
    const int carrier = first == 5 ? 4 : 10;
    const int other = first == 5 ? 11 : 5;
    o.phase = 3;  // as if attacking
    ASSERT_TRUE(chain.field().DamageEnemy(CoreOf(o, static_cast<int16_t>(first)),
                                          o.partsB[first].life + 1));
    chain.Step();
    EXPECT_EQ(o.phase, -3);
    EXPECT_EQ(o.state, 2);
    chain.Step();
    EXPECT_EQ(o.partsB[carrier].state, 0);
    EXPECT_EQ(o.partsB[other].state, 2);
    const double otherX = o.partsB[other].x;
    ASSERT_TRUE(chain.field().DamageEnemy(CoreOf(o, static_cast<int16_t>(other)),
                                          o.partsB[other].life + 1));
    chain.Step();
    EXPECT_EQ(o.state, 3);  // the core ends the form after the form's own update
    EXPECT_NEAR(o.x, otherX, 1.0);
    chain.Step();
    EXPECT_EQ(o.state, 4);
  }
}

}  // namespace

namespace {

// Bad map data: a second boss cell while any form fights is refused (the chain keeps form 1's
// type as the boss type), and the cell's upper-layer value changes nothing about the chain.
TEST(Stage5BossChainTest, ASecondBossCellIsRefusedWhileAnyFormFights) {
  ChainField chain(1);
  StageMarker = 12;
  chain.SpawnForm(10);
  chain.RunUntil([] { return Form() != nullptr && Form()->type == 12 && Form()->state == 2; }, 5);
  ASSERT_NE(Form(), nullptr);
  EXPECT_EQ(BossType, 10);
  EXPECT_EQ(SpawnPool0AtTile(10, 16, 5, true, 0), -1);
  chain.Step();
  int forms = 0;
  for (const EnemyObject& e : EnemyPool0) forms += e.state != 0 ? 1 : 0;
  EXPECT_EQ(forms, 1);
}

TEST(Stage5BossChainTest, TheBossCellsUpperValueChangesNothing) {
  struct Seen {
    double x, y;
    int16_t phase;
    int32_t coreLife;
  };
  auto play = [](int16_t variant) {
    ChainField field(1);
    field.SpawnForm(10);
    EnemyPool0[0].variant = variant;
    field.RunUntil([] { return false; }, 300);
    const EnemyObject& o = EnemyPool0[0];
    return Seen{o.x, o.y, o.phase, o.partsB[5].life};
  };
  const Seen plain = play(0);
  for (int16_t variant : {1, 7, 99, -1}) {
    SCOPED_TRACE(variant);
    const Seen other = play(variant);
    EXPECT_EQ(other.x, plain.x);
    EXPECT_EQ(other.y, plain.y);
    EXPECT_EQ(other.phase, plain.phase);
    EXPECT_EQ(other.coreLife, plain.coreLife);
  }
  EXPECT_EQ(plain.coreLife, 4750);
}

}  // namespace

namespace {

// Form 2 leaves its first phase at exactly half its core's life (integer half), or after frame
// 2400 but only between volleys; then the arms leave the screen and the attack begins.
TEST(Stage5BossChainTest, FormTwoSwitchesAtHalfLifeOrBetweenVolleysAfter2400) {
  {
    ChainField chain(1);
    StageMarker = 11;
    chain.SpawnForm(11);
    ASSERT_TRUE(chain.RunUntil([] { return Form()->phase == -3; }, 300));
    EnemyObject& o = *Form();
    EnemyPart& core = o.partsB[0];
    const int32_t half = core.maxLife / 2;
    ASSERT_TRUE(chain.field().DamageEnemy(CoreOf(o, 0), core.life - half - 1));
    chain.Step();
    EXPECT_EQ(o.phase, -3);  // one point above half
    ASSERT_TRUE(chain.field().DamageEnemy(CoreOf(o, 0), 1));
    EXPECT_EQ(core.life, half);
    chain.Step();
    EXPECT_EQ(o.phase, 1);
    ASSERT_TRUE(chain.RunUntil([&] { return o.phase == 3; }, 200));
    EXPECT_LE(o.partsB[3].y, -64);
    EXPECT_GE(o.partsB[6].y, 464);
  }
  {
    ChainField chain(1);
    StageMarker = 11;
    chain.SpawnForm(11);
    ASSERT_TRUE(chain.RunUntil([] { return Form()->phase == -3; }, 300));
    EnemyObject& o = *Form();
    // A volley starts at frame 2480 (mod 320 = 240) and runs 120 frames: still -3 past 2400.
    ASSERT_TRUE(chain.RunUntil([&] { return o.frame == 2400; }, 2500));
    chain.Step();
    EXPECT_EQ(o.phase, 1) << "between volleys at frame 2401";
  }
  {
    ChainField chain(1);
    StageMarker = 11;
    chain.SpawnForm(11);
    ASSERT_TRUE(chain.RunUntil([] { return Form()->phase == -3; }, 300));
    EnemyObject& o = *Form();
    ASSERT_TRUE(chain.RunUntil([&] { return o.frame == 2380; }, 2500));
    o.intWork0 = 1;  // a volley under way at the limit
    ASSERT_TRUE(chain.RunUntil([&] { return o.phase != -3; }, 400));
    // The volley clock restarts at 2480 (mod 320 = 240) before it ran out, so the form waits
    // for the end of that volley at 2600.
    EXPECT_EQ(o.frame, 2601);
  }
}

}  // namespace
