// The stage-map check passes the test stage's maps and tells each fault of a small broken map.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_map_check.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

using testing::HasSubstr;
using testing::IsEmpty;

// The test stage's event codes: the common enemies, the speeds, the scroll turns, the loops.
StageMapRules TestStageRules(int stage) {
  StageMapRules rules;
  rules.stage = stage;
  for (int code = 1; code <= 10; ++code) rules.codes.insert(code);
  for (int code = 65; code <= 74; ++code) rules.codes.insert(code);
  for (int code : {130, 131, 132, 133, 144, 148, 163, 164, 165, 180, 181}) rules.codes.insert(code);
  return rules;
}

TEST(StageMapCheckTest, PassesTheTestStageOnEveryStage) {
  // Stages that bring maps of their own fly the test stage's here.
  const StageMapDescriptions none;
  for (int stage = 1; stage <= 7; ++stage) OverrideStageMapsForTest(stage, &none);
  struct Restore {
    ~Restore() {
      for (int stage = 1; stage <= 7; ++stage) OverrideStageMapsForTest(stage, nullptr);
    }
  } restore;
  for (int stage = 1; stage <= 7; ++stage) {
    EXPECT_THAT(CheckStageMaps(TestStageRules(stage)), IsEmpty()) << "stage " << stage;
  }
}

TEST(StageMapCheckTest, TheStagesOwnRulesRunOnEachMap) {
  StageMapRules rules = TestStageRules(3);
  std::vector<int> seen;
  rules.more = [&](int difficulty, std::vector<std::string>& problems) {
    seen.push_back(difficulty);
    problems.push_back("own rule");
  };
  EXPECT_EQ(CheckStageMaps(rules), (std::vector<std::string>{"own rule", "own rule"}));
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

// A main map 60 x 12: the start at column 2 with the scroll right under it, checkpoint 1 (cell
// value 17) at column 20, and what the case adds.
std::string SmallMap(const std::string& more) {
  return FieldMapDescription(60, 12, 5, "cell 2 20 5 17\ncell 3 2 6 144\n" + more);
}

TEST(StageMapCheckTest, TellsEachFaultOfABrokenMap) {
  const std::string start = "cell 2 2 5 16\n";
  struct Case {
    const char* name;
    std::string main;
    const char* problem;  // a part of the line the check gives
  };
  const Case cases[] = {
      {"sound", SmallMap(start + "cell 3 50 5 11\n"), nullptr},
      {"no start marker", SmallMap(""), "no start marker"},
      {"no checkpoint", FieldMapDescription(60, 12, 5, start + "cell 3 2 6 144\n"),
       "0 checkpoints beyond the start"},
      {"a checkpoint 15 columns before the boss", SmallMap(start + "cell 3 35 5 11\n"),
       "checkpoint 1 at (20, 5) is too close before the boss cell at (35, 5)"},
      {"the boss before a checkpoint", SmallMap(start + "cell 3 10 5 11\n"),
       "too close before the boss cell at (10, 5)"},
      {"a code the stage does not use", SmallMap(start + "cell 3 30 5 3\n"),
       "code 3 at (30, 5) is not one the stage uses"},
      {"a value the loader refuses", SmallMap(start + "cell 3 30 5 30\n"), "LoadStage gave 0"},
  };
  const std::string background = PlainBackgroundDescription();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StageMapDescriptions own{background.c_str(), c.main.c_str(), c.main.c_str()};
    OverrideStageMapsForTest(4, &own);
    StageMapRules rules;
    rules.stage = 4;
    rules.codes = {11, 144};
    const std::vector<std::string> problems = CheckStageMaps(rules);
    OverrideStageMapsForTest(4, nullptr);
    if (c.problem == nullptr) {
      EXPECT_THAT(problems, IsEmpty());
      continue;
    }
    ASSERT_EQ(problems.size() % 2, 0u);  // told for the easy map and the hard one
    EXPECT_THAT(problems, testing::Contains(HasSubstr(c.problem)));
    EXPECT_THAT(problems[0], HasSubstr("stage 4 easy map: "));
    EXPECT_THAT(problems.back(), HasSubstr("stage 4 hard map: "));
  }
}

// On a stretch that scrolls down (the code under the marker), the lead is counted in rows.
TEST(StageMapCheckTest, OnAVerticalStretchTheLeadIsInRows) {
  for (int bossRow : {29, 30}) {
    SCOPED_TRACE(bossRow);
    const std::string main =
        FieldMapDescription(60, 40, 5,
                            "cell 2 2 5 16\ncell 3 2 6 144\ncell 2 20 20 17\ncell 3 20 21 148\n"
                            "cell 3 21 " +
                                std::to_string(bossRow) + " 11\n");
    const std::string background = PlainBackgroundDescription();
    const StageMapDescriptions own{background.c_str(), main.c_str(), main.c_str()};
    OverrideStageMapsForTest(4, &own);
    StageMapRules rules;
    rules.stage = 4;
    rules.codes = {11, 144, 148};
    const std::vector<std::string> problems = CheckStageMaps(rules);
    OverrideStageMapsForTest(4, nullptr);
    if (bossRow == 30) {
      EXPECT_THAT(problems, IsEmpty());
    } else {
      EXPECT_THAT(problems, testing::Contains(HasSubstr("too close before the boss cell")));
    }
  }
}

}  // namespace
