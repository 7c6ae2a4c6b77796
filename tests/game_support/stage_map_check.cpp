#include "tests/game_support/stage_map_check.h"

#include <sstream>

#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/datakit/maps/stage_maps.h"
#include "tools/lib/fmf_map_writer.h"

namespace {

constexpr int kVariantStep = 1000;
// The scroll direction codes a marker can stand on that turn the scroll down and up.
constexpr int kScrollDownCode = 148;
constexpr int kScrollUpCode = 156;
// The loader's line for a main map without a start marker.
constexpr const char* kNoStartMarker = "開始マーカーがありません";

int EventCode(int row, int column) { return EventLayer[row][column] % kVariantStep; }

// How far ahead of the checkpoint the boss cell lies along the scroll, in rows, on a vertical
// stretch (the direction code under the marker); -1 elsewhere.
int RowLead(int checkpoint, int bossRow) {
  const int column = CheckpointColumn[checkpoint];
  const int row = CheckpointRow[checkpoint];
  const int under = row + 1 < MapHeight ? EventCode(row + 1, column) : 0;
  if (under == kScrollDownCode) return bossRow - row;
  if (under == kScrollUpCode) return row - bossRow;
  return -1;
}

void CheckCodesAndBosses(const StageMapRules& rules, const std::string& map,
                         std::vector<std::string>& problems) {
  std::set<int> told;
  for (int row = 0; row < MapHeight; ++row) {
    for (int column = 0; column < MapWidth; ++column) {
      if (EventLayer[row][column] == 0) continue;
      const int code = EventCode(row, column);
      if (!rules.codes.count(code) && told.insert(code).second) {
        std::ostringstream line;
        line << map << ": code " << code << " at (" << column << ", " << row
             << ") is not one the stage uses";
        problems.push_back(line.str());
      }
      if (!rules.bossCodes.count(code)) continue;
      for (int k = 1; k < CheckpointCount; ++k) {
        const int columnLead = column - CheckpointColumn[k];
        if (columnLead >= rules.bossLeadColumns || RowLead(k, row) >= rules.bossLeadRows) continue;
        std::ostringstream line;
        line << map << ": checkpoint " << k << " at (" << CheckpointColumn[k] << ", "
             << CheckpointRow[k] << ") is too close before the boss cell at (" << column << ", "
             << row << ")";
        problems.push_back(line.str());
      }
    }
  }
}

void CheckOneMap(const StageMapRules& rules, int difficulty, std::vector<std::string>& problems) {
  const std::string map = "stage " + std::to_string(rules.stage) + " " +
                          (difficulty > 1 || rules.stage == 7 ? "hard" : "easy") + " map";
  FieldFixture field(difficulty);
  for (const KitMapFile& file : StageMapFiles(rules.stage)) {
    field.folder().MakeDirectory(file.path.substr(0, file.path.rfind('/')));
    WriteFmfMapFile(field.folder().path() + "/" + file.path, BuildFmfMap(file.description));
  }
  CheckpointIndex = 0;
  LogCapture log;
  const int loaded = field.StartStage(rules.stage);
  bool noStart = false;
  for (const std::string& line : SplitLogLines(log.Contents())) {
    if (line.empty()) continue;
    noStart = noStart || line.find(kNoStartMarker) != std::string::npos;
    problems.push_back(map + ": logged \"" + line + "\"");
  }
  if (loaded != 1) {
    problems.push_back(map + ": LoadStage gave " + std::to_string(loaded));
    return;
  }
  if (noStart) problems.push_back(map + ": no start marker");
  if (CheckpointCount - 1 < rules.checkpoints) {
    problems.push_back(map + ": " + std::to_string(CheckpointCount - 1) +
                       " checkpoints beyond the start, fewer than " +
                       std::to_string(rules.checkpoints));
  }
  CheckCodesAndBosses(rules, map, problems);
  if (rules.more) rules.more(difficulty, problems);
}

}  // namespace

std::vector<std::string> CheckStageMaps(const StageMapRules& rules) {
  std::vector<std::string> problems;
  if (rules.stage < 1 || rules.stage > 7) {
    problems.push_back("no stage " + std::to_string(rules.stage));
    return problems;
  }
  // Normal reads the easy main map, hard the hard one; stage 7 has only its hard one.
  for (int difficulty : {1, 2}) {
    if (rules.stage == 7 && difficulty == 1) continue;
    CheckOneMap(rules, difficulty, problems);
  }
  return problems;
}
