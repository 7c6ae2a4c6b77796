// The check every stage's kit maps pass: each main map the stage loader reads (the easy and the
// hard one; stage 7 only its hard one) loads through LoadStage with the background and nothing
// logged (no file refused, no value refused, no marker missing); it has a start marker and
// checkpoints; its event cells hold only the codes the stage uses; and every checkpoint lies at
// least 16 columns before each boss cell (10 rows, along the scroll, on a vertical stretch).
// A stage test fills the rules with its own codes and adds rules of its own.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

struct StageMapRules {
  int stage = 1;
  // The event codes (value % 1000: 1..63 pool 0, 65..127 pool 1, 128..255 map commands) the
  // stage's maps may hold.
  std::set<int> codes;
  // The codes of the cells that bring the stage's boss (pool 0 type 10).
  std::set<int> bossCodes = {11};
  int checkpoints = 1;  // at least this many beyond the start
  int bossLeadColumns = 16;
  int bossLeadRows = 10;
  // The stage's own rules, run on each loaded main map (the field's map arrays and markers):
  // a problem is added as one line.
  std::function<void(int difficulty, std::vector<std::string>& problems)> more;
};

// The problems found, one line each, naming the map (by difficulty); empty when every map passes.
// Runs its own field (FieldFixture): no game may be running.
std::vector<std::string> CheckStageMaps(const StageMapRules& rules);
