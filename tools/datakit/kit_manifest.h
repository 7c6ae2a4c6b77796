// What the game data kit holds: every image with its cell grid and painter, the sound effects,
// the music and the texts, by the file names the game opens, grouped for the contact sheets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How an image's pixels are kept: sprites are transparent around what they show (the key
// colour in BMP files, alpha in PNG files); layers may be transparent anywhere (parallax
// layers, frames, fades); opaque images have no transparent pixel.
enum class Surface : uint8_t { Sprite, Layer, Opaque };

struct Canvas;
struct PaintCell;
// Paints one cell of an image (tools/datakit/painters.h).
typedef void (*PainterFunction)(Canvas& canvas, const PaintCell& cell);

enum class Paint : uint8_t {
  // The ship and the HUD.
  Ship,
  Jet,
  ChargeOrb,
  Shield,
  Item,
  InfoStrip,
  Caption,
  Board,
  Hide,
  SpeedPip,
  BonusStar,
  WeaponIcon,
  IconCursor,
  Font,
  // Scenes.
  AlphaBlack,
  Title,
  TitleBoss,
  HeroShip,
  Backdrop,
  Panel,
  MenuBar,
  Frame,
  BeamBand,
  Logo,
  Gauge,
  // Effects and the player's weapons.
  Explosion,
  HitSpark,
  PowerBurst,
  BossFlash,
  BossBand,
  Trail,
  Sparks,
  Shot,
  Blast,
  Wave,
  // Enemy shots.
  Bullet,
  WarnLine,
  LaserEnd,
  LaserHit,
  LaserRing,
  Beam,
  Flame,
  // Enemies and stage objects.
  Craft,
  Turret,
  Hatch,
  Walker,
  Legs,
  Rock,
  Orb,
  Fire,
  Boss,
  Wall,
  Missile,
  Carrier,
  Segment,
  Portal,
  Sky,
  // Map chip sheets.
  FarChips,
  NearChips,
  MainChips,
  Skyline,
};

struct KitImage {
  const char* path;  // as the game spells it, case included
  int count;         // cells the game takes (1 for a whole image)
  int cellWidth, cellHeight;
  int columns, rows;
  Paint paint;
  int variant;  // the painter's own choice of look
  // A stage's own painter (tools/datakit/stages/) in place of the kind's, which still says how
  // the pixels are kept; called cell by cell (frame 0 for a whole image).
  PainterFunction painter = nullptr;
};

struct KitImageGroup {
  const char* name;  // contact sheet and --only group name
  int stage;         // 1..7 for a stage's palette, 0 for the common one
  std::vector<KitImage> images;
};

// Every image group (the common ones, then each stage's), a file that several tables load
// appearing once, in its first group.
const std::vector<KitImageGroup>& KitImageGroups();
// The surface that the painter's images have.
Surface PaintSurface(Paint paint);
// The stage whose palette a path belongs to (from "stageN" in it), 0 for the common palette.
int StageOfPath(const std::string& path);

enum class SoundKind : uint8_t { Effect, Music };
// Mono samples at the effect rate (tools/datakit/audio.h).
typedef std::vector<int16_t> (*EffectRecipe)();
struct KitSound {
  const char* path;
  SoundKind kind;
  int id;  // effect slot (the recipe of that slot) or music track
  // A stage's own effect recipe (tools/datakit/stages/) in place of the slot's.
  EffectRecipe recipe = nullptr;
};
// The common effects, each stage's, then the music.
const std::vector<KitSound>& KitSounds();

// Folder names the game expects beside its data.
extern const char* const kDifficultyFolders[4];
