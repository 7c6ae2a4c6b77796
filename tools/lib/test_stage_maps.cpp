#include "tools/lib/test_stage_maps.h"

#include <filesystem>

#include "tools/lib/fmf_map_writer.h"

const char* TestStageBackgroundMapDescription() {
  return R"(# Test stage background: a sky of 80-pixel chips from 12-column sheets, laid in the
# order the sheet holds them (so the picture runs on without seams), clouds above it.
size 24 5
layers 2
palette 0 12
palette 1 12
legend 0 0=0
legend 1 0=1
legend 2 0=2
legend 3 0=3
legend 4 0=4
legend 5 0=5
legend 6 0=6
legend 7 0=7
legend 8 0=8
legend 9 0=9
legend a 0=10
legend b 0=11
legend e 0=12
legend f 0=13
legend g 0=14
legend h 0=15
legend i 0=16
legend j 0=17
legend k 0=18
legend l 0=19
legend m 0=20
legend n 0=21
legend o 0=22
legend p 0=23
legend q 0=24
legend r 0=25
legend s 0=26
legend t 0=27
legend u 0=28
legend v 0=29
legend w 0=30
legend x 0=31
legend y 0=32
legend z 0=33
legend A 0=34
legend B 0=35
legend C 0=36
legend D 0=37
legend E 0=38
legend F 0=39
legend G 0=40
legend H 0=41
legend I 0=42
legend J 0=43
legend K 0=44
legend L 0=45
legend M 0=46
legend N 0=47
legend O 0=48
legend P 0=49
legend Q 0=50
legend R 0=51
legend S 0=52
legend T 0=53
legend U 0=54
legend V 0=55
legend W 0=56
legend X 0=57
legend Y 0=58
legend Z 0=59
grid 0 0
0123456789ab0123456789ab
efghijklmnopefghijklmnop
qrstuvwxyzABqrstuvwxyzAB
CDEFGHIJKLMNCDEFGHIJKLMN
OPQRSTUVWXYZOPQRSTUVWXYZ
end
legend c 1=100
legend d 1=101
grid 0 0
..cd......cd..........cd
......cd.......cd.......
end
)";
}

const char* TestStageMainMapDescription() {
  return R"(# Test stage main map, 160 x 30 cells of 40 pixels; layers: 0 and 1 pictures, 2 collision,
# 3 event codes, 4 event variants. Rock everywhere, with three open stretches cut out: the
# first (rows 8-16, columns 0-89) scrolls right, a shaft (columns 60-89, rows 17-28) scrolls
# down, the last (rows 19-28, columns 90-159) scrolls right to the map's end. Inside the last,
# the loop stretch (columns 100-139) is open from the map's top to its bottom and loops
# vertically: rows 20-29 show what rows 0-9 show.
size 160 30
layers 5
rect 0 0 0 160 30 1
rect 2 0 0 160 30 1
rect 0 0 8 90 9 -
rect 2 0 8 90 9 -
rect 0 60 17 30 12 -
rect 2 60 17 30 12 -
rect 0 90 19 70 10 -
rect 2 90 19 70 10 -
rect 0 100 0 40 30 -
rect 2 100 0 40 30 -

# Terrain of every slope kind beside the first stretch: floors below, ceilings above; the
# picture chip carries the tile type's number.
legend # 0=1 2=1
legend a 0=2 2=2
legend b 0=3 2=3
legend c 0=4 2=4
legend d 0=5 2=5
legend e 0=6 2=6
legend f 0=7 2=7
legend g 0=8 2=8
legend h 0=9 2=9
legend i 0=10 2=10
legend j 0=11 2=11
legend k 0=12 2=12
legend l 0=13 2=13
legend m 0=14 2=14
legend n 0=15 2=15
legend o 0=44 2=44
legend p 0=45 2=45
legend q 0=46 2=46
legend r 0=47 2=47
legend s 0=60 2=60
legend t 0=61 2=61
legend u 0=62 2=62
legend v 0=63 2=63
legend w 0=76 2=76
legend x 0=77 2=77
legend y 0=92 2=92
legend z 0=93 2=93
legend A 0=18 2=18
legend B 0=19 2=19
legend C 0=20 2=20
legend D 0=21 2=21
legend E 0=22 2=22
legend F 0=23 2=23
legend G 0=24 2=24
legend H 0=25 2=25
legend I 0=26 2=26
legend J 0=27 2=27
legend K 0=28 2=28
legend L 0=29 2=29
legend M 0=30 2=30
legend N 0=31 2=31
legend O 0=78 2=78
legend P 0=79 2=79
legend Q 0=94 2=94
legend R 0=95 2=95
legend S 0=108 2=108
legend T 0=109 2=109
legend U 0=110 2=110
legend V 0=111 2=111
grid 0 7
####################A#B#C#D#E#F#G#H#I#J#K#L#M#N#O#P#Q#R#S#T#U#V###########################
end
grid 0 17
########a#b#c#d#e#f#g#h#i#j#k#l#m#n#o#p#q#r#s#t#u#v#w#x#y#z#
end

# Foreground pictures drawn over the ship; the loop stretch's has its twin ten rows up.
rect 1 24 16 4 1 240
rect 1 100 28 6 1 241
rect 1 100 8 6 1 241

# Markers: the start (its view, x 100-740 and y 300-700, lies inside the map), checkpoint 1
# in the first stretch, checkpoint 2 in the shaft.
cell 2 6 12 16
cell 2 40 12 17
cell 2 72 20 32

# Scroll commands (leading edge: 129 + code; 129-143 speed code x 0.5, 144 right, 148 down).
# Under each marker, its scroll direction; near each, a speed inside its first view.
cell 3 6 13 144
cell 3 10 9 131
cell 3 30 9 133
cell 3 40 13 144
cell 3 44 9 133
cell 3 55 9 132
cell 3 80 9 148
cell 3 80 10 131
cell 3 72 21 148
cell 3 74 22 131
cell 3 70 29 144
cell 3 71 29 133
cell 3 150 20 130

# The common enemies along the way (layer 3: 1 + pool-0 type, 65 + pool-1 type; layer 4:
# variant + 1, so item boxes and carriers of variant 33 + kind hold 34 + kind). In the first
# stretch, on the ship's row: three boxes of main power-ups and one of the shield; then turrets
# on the floor and the ceiling, hatches, both spawners, the carrier, walkers (the backward ones
# vanish, as the map scrolls forward), every flier, and the hatch fliers placed by hand.
cell 3 19 12 9
cell 4 19 12 34
cell 3 21 12 9
cell 4 21 12 34
cell 3 23 12 9
cell 4 23 12 34
cell 3 26 12 9
cell 4 26 12 40
cell 3 31 16 1
cell 3 33 8 2
cell 3 37 16 1
cell 3 42 16 3
cell 3 46 8 4
cell 3 48 12 7
cell 3 50 10 10
cell 4 50 10 36
cell 3 52 14 8
cell 3 54 16 65
cell 3 56 8 66
cell 3 57 16 67
cell 3 57 8 68
cell 3 58 11 69
cell 3 60 13 70
cell 4 60 13 33
cell 3 62 9 71
cell 3 64 12 72
cell 3 66 10 73
cell 4 66 10 4
cell 3 68 14 74
cell 4 68 14 4
cell 3 70 12 5
cell 3 70 14 6
# Down the shaft, fliers; at the start of the last stretch, before the loop stretch, turrets, a
# box of the charge power-up, a walker and a dash flier. The map's last view holds none, so
# every enemy has left once the scroll stops there.
cell 3 68 22 69
cell 3 74 26 73
cell 4 74 26 1
cell 3 92 28 1
cell 3 94 19 2
cell 3 96 24 9
cell 4 96 24 38
cell 3 97 28 65
cell 3 98 23 72

# The loop stretch (129 + code: 35 rows scanned whole, 36 loop top, 52 loop bottom, 34 view
# range, 51 rows scanned by the window): every row is read from column 98; at column 100 the
# loop from the map's top (row 0) to its bottom (row 19 + 11 = 30); at column 136 the last
# stretch's range again, which ends the loop, and the window's rows only.
cell 3 98 20 164
cell 3 100 0 165
cell 3 100 19 181
cell 3 136 19 163
cell 3 136 20 180
)";
}

std::vector<TestStageMapFile> TestStageMapFiles(int stage) {
  const std::string s = std::to_string(stage);
  const std::string dir = "data/map/stage" + s + "_1/map" + s;
  std::vector<TestStageMapFile> files = {{dir + "b.fmf", StageMapKind::Background},
                                         {dir + ".fmf", StageMapKind::HardMain}};
  // Stage 7 plays its hard map on every difficulty.
  if (stage != 7) files.push_back({dir + "e.fmf", StageMapKind::EasyMain});
  return files;
}

std::vector<uint8_t> BuildTestStageMap(bool background) {
  return BuildFmfMap(background ? TestStageBackgroundMapDescription()
                                : TestStageMainMapDescription());
}

void WriteTestStageMaps(const std::string& folder, const std::vector<int>& stages) {
  const std::vector<uint8_t> background = BuildTestStageMap(true);
  const std::vector<uint8_t> main = BuildTestStageMap(false);
  for (int stage : stages)
    for (const TestStageMapFile& f : TestStageMapFiles(stage)) {
      const std::filesystem::path path = std::filesystem::path(folder) / f.path;
      std::filesystem::create_directories(path.parent_path());
      WriteFmfMapFile(path.string(), f.kind == StageMapKind::Background ? background : main);
    }
}
