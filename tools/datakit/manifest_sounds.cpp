#include <cstdlib>
#include <cstring>
#include <iterator>

#include "tools/datakit/kit_manifest.h"
#include "tools/datakit/stages/stage_kits.h"

namespace {

// The common sound effects by slot (the recipe id is the slot; the title's two beam sounds
// take 50 and 51).
const KitSound kCommonEffects[] = {
    {"data/se/jiki/m1.wav", SoundKind::Effect, 0},
    {"data/se/jiki/m2.wav", SoundKind::Effect, 1},
    {"data/se/jiki/m3.wav", SoundKind::Effect, 2},
    {"data/se/jiki/m4.wav", SoundKind::Effect, 3},
    {"data/se/jiki/s1.wav", SoundKind::Effect, 4},
    {"data/se/jiki/s2.wav", SoundKind::Effect, 5},
    {"data/se/jiki/s3.wav", SoundKind::Effect, 6},
    {"data/se/jiki/s4.wav", SoundKind::Effect, 7},
    {"data/se/jiki/s5.wav", SoundKind::Effect, 8},
    {"data/se/jiki/s6.wav", SoundKind::Effect, 9},
    {"data/se/jiki/c1.wav", SoundKind::Effect, 10},
    {"data/se/jiki/c1_2.wav", SoundKind::Effect, 11},
    {"data/se/jiki/c2.wav", SoundKind::Effect, 12},
    {"data/se/jiki/c3.wav", SoundKind::Effect, 13},
    {"data/se/jiki/charge.wav", SoundKind::Effect, 14},
    {"data/se/jiki/jiki_death.wav", SoundKind::Effect, 15},
    {"data/se/jiki/shieldhit.wav", SoundKind::Effect, 16},
    {"data/se/item/item0.wav", SoundKind::Effect, 17},
    {"data/se/item/item1.wav", SoundKind::Effect, 18},
    {"data/se/item/item2.wav", SoundKind::Effect, 19},
    {"data/se/item/item3.wav", SoundKind::Effect, 20},
    {"data/se/item/item4.wav", SoundKind::Effect, 21},
    {"data/se/item/item5.wav", SoundKind::Effect, 22},
    {"data/se/item/item6.wav", SoundKind::Effect, 23},
    {"data/se/menu/cursor.wav", SoundKind::Effect, 24},
    {"data/se/menu/ok.wav", SoundKind::Effect, 25},
    {"data/se/menu/cancel.wav", SoundKind::Effect, 26},
    {"data/se/boss_death.wav", SoundKind::Effect, 27},
    {"data/se/charge.wav", SoundKind::Effect, 28},
    {"data/se/enemy_death0.wav", SoundKind::Effect, 29},
    {"data/se/enemy_death1.wav", SoundKind::Effect, 30},
    {"data/se/enemy_death2.wav", SoundKind::Effect, 31},
    {"data/se/jiki/w_change.wav", SoundKind::Effect, 32},
    {"data/se/enemy_shot2.wav", SoundKind::Effect, 33},
    {"data/se/enemy_shot3.wav", SoundKind::Effect, 34},
    {"data/se/enemy_shot4.wav", SoundKind::Effect, 35},
    {"data/se/enemy_shot5.wav", SoundKind::Effect, 36},
    {"data/se/enemy_shot6.wav", SoundKind::Effect, 37},
    {"data/se/enemy_shot7.wav", SoundKind::Effect, 38},
    {"data/se/enemy_shot8.wav", SoundKind::Effect, 39},
    {"data/se/enemy_shot9.wav", SoundKind::Effect, 40},
    {"data/se/enemy_shot10.wav", SoundKind::Effect, 41},
    {"data/se/ext.wav", SoundKind::Effect, 42},
    {"data/se/hit.wav", SoundKind::Effect, 43},
    {"data/se/mech.wav", SoundKind::Effect, 44},
    {"data/se/mech2.wav", SoundKind::Effect, 45},
    {"data/se/mech3.wav", SoundKind::Effect, 46},
    {"data/se/quake.wav", SoundKind::Effect, 47},
    {"data/se/robo_down.wav", SoundKind::Effect, 48},
    {"data/se/op/beam1.wav", SoundKind::Effect, 50},
    {"data/se/op/beam2.wav", SoundKind::Effect, 51},
};

const KitSound kMusic[] = {
    {"data/music/boss.ogg", SoundKind::Music, 0},
    {"data/music/stage1.ogg", SoundKind::Music, 1},
    {"data/music/stage2.ogg", SoundKind::Music, 2},
    {"data/music/stage3.ogg", SoundKind::Music, 3},
    {"data/music/stage4.ogg", SoundKind::Music, 4},
    {"data/music/stage5.ogg", SoundKind::Music, 5},
    {"data/music/stage6.ogg", SoundKind::Music, 6},
    {"data/music/warning.ogg", SoundKind::Music, 7},
    {"data/music/lastboss.ogg", SoundKind::Music, 8},
    {"data/music/goodend.ogg", SoundKind::Music, 9},
    {"data/music/badend.ogg", SoundKind::Music, 10},
    {"data/music/gameover.ogg", SoundKind::Music, 11},
    {"data/music/select.ogg", SoundKind::Music, 12},
};

}  // namespace

const std::vector<KitSound>& KitSounds() {
  static const std::vector<KitSound> sounds = [] {
    std::vector<KitSound> all(std::begin(kCommonEffects), std::end(kCommonEffects));
    for (int stage = 1; stage <= 7; ++stage)
      for (const KitSound& sound : StageKitOf(stage).sounds) all.push_back(sound);
    all.insert(all.end(), std::begin(kMusic), std::end(kMusic));
    return all;
  }();
  return sounds;
}

const char* const kDifficultyFolders[4] = {"easy", "normal", "hard", "insane"};

Surface PaintSurface(Paint paint) {
  switch (paint) {
    case Paint::Board:
    case Paint::Backdrop:
    case Paint::Logo:
    case Paint::Sky:
    case Paint::FarChips:
    case Paint::Skyline:
      return Surface::Opaque;
    case Paint::AlphaBlack:
    case Paint::Hide:
    case Paint::Panel:
    case Paint::MenuBar:
    case Paint::Frame:
    case Paint::BeamBand:
    case Paint::Gauge:
    case Paint::BossBand:
    case Paint::WarnLine:
    case Paint::Beam:
    case Paint::NearChips:
    case Paint::MainChips:
      return Surface::Layer;
    default:
      return Surface::Sprite;
  }
}

int StageOfPath(const std::string& path) {
  const size_t at = path.find("stage");
  if (at == std::string::npos || at + 5 >= path.size()) return 0;
  const int n = path[at + 5] - '0';
  return n >= 1 && n <= 7 ? n : 0;
}
