// The kit check: a written kit carries a manifest of its files; the check finds the files that
// are missing or changed (in size or only in content), writes them again byte for byte, makes
// the player folders that are gone and leaves every file of the player's as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/kit_check.h"

namespace {

std::string Text(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(KitCheck, RewritesWhatIsMissingOrChangedAndLeavesThePlayersFilesAlone) {
  TempFolder folder;
  // A part of the kit stands for the whole: the check looks only at what the manifest lists.
  const std::vector<KitFile> files = BuildKitFiles("data/ed.txt,data/font.png,data/mihon.rpy", 0);
  ASSERT_EQ(files.size(), 3u);
  ASSERT_TRUE(WriteKitFiles(folder.path(), files, false).ok);
  // The player's own files, some of them in the kit's folder and named like kit files.
  folder.WriteFile("Option/volumese.dat", "35\r\n");
  folder.WriteFile("Option/savess.dat", "8\r\n");
  folder.WriteFile("replay/normal/normal_000001234.rpy", "mine");
  folder.WriteFile("ScreenShots/SS0007.bmp", "my shot");
  folder.WriteFile("data/extra.txt", "left there by the player");

  KitCheckResult intact = CheckKit(folder.path(), 1);
  ASSERT_TRUE(intact.ok) << intact.error;
  EXPECT_EQ(intact.checked, 3u);
  EXPECT_FALSE(intact.rewritten);
  EXPECT_EQ(intact.repaired, std::vector<std::string>{});
  EXPECT_EQ(intact.folders, std::vector<std::string>{});

  // One file gone, one changed without changing its size, one cut short; a player folder gone.
  std::filesystem::remove(folder.path() + "/data/font.png");
  std::string ending = Text(files[0].bytes);
  ASSERT_EQ(files[0].path, "data/ed.txt");
  ending[0] ^= 1;
  folder.WriteFile("data/ed.txt", ending);
  ASSERT_EQ(files[2].path, "data/mihon.rpy");
  folder.WriteFile("data/mihon.rpy", Text(files[2].bytes).substr(0, 10));
  std::filesystem::remove_all(folder.path() + "/replay/hard");

  KitCheckResult repaired = CheckKit(folder.path(), 1);
  ASSERT_TRUE(repaired.ok) << repaired.error;
  EXPECT_FALSE(repaired.rewritten);
  EXPECT_EQ(repaired.repaired,
            (std::vector<std::string>{"data/ed.txt", "data/font.png", "data/mihon.rpy"}));
  EXPECT_EQ(repaired.folders, std::vector<std::string>{"replay/hard"});
  for (const KitFile& f : files) EXPECT_EQ(folder.ReadFile(f.path), Text(f.bytes)) << f.path;
  EXPECT_EQ(folder.ReadFile("Option/volumese.dat"), "35\r\n");
  EXPECT_EQ(folder.ReadFile("Option/savess.dat"), "8\r\n");
  EXPECT_EQ(folder.ReadFile("replay/normal/normal_000001234.rpy"), "mine");
  EXPECT_EQ(folder.ReadFile("ScreenShots/SS0007.bmp"), "my shot");
  EXPECT_EQ(folder.ReadFile("data/extra.txt"), "left there by the player");
  EXPECT_FALSE(folder.Exists("data/font.png.partial"));
  EXPECT_EQ(ReadKitStamp(folder.path()), kKitVersion);

  // A file that became a folder is replaced too.
  std::filesystem::remove(folder.path() + "/data/ed.txt");
  folder.MakeDirectory("data/ed.txt");
  repaired = CheckKit(folder.path(), 1);
  ASSERT_TRUE(repaired.ok) << repaired.error;
  EXPECT_EQ(repaired.repaired, std::vector<std::string>{"data/ed.txt"});
  EXPECT_EQ(folder.ReadFile("data/ed.txt"), Text(files[0].bytes));

  // An archive kit lists its one archive, and an intact one is left as it is.
  TempFolder arc;
  ASSERT_TRUE(WriteKitFiles(arc.path(), files, true).ok);
  const std::string archive = arc.ReadFile("data.ARC");
  intact = CheckKit(arc.path(), 1);
  ASSERT_TRUE(intact.ok) << intact.error;
  EXPECT_EQ(intact.checked, 1u);
  EXPECT_EQ(intact.repaired, std::vector<std::string>{});
  EXPECT_EQ(arc.ReadFile("data.ARC"), archive);
}

// The hash tells apart what the check must tell apart (one bit, one byte more, a swapped word)
// and comes out the same whole or in pieces.
TEST(KitCheck, TheContentHashSeesEveryKindOfChange) {
  std::vector<uint8_t> bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  const uint64_t base = KitContentHash(bytes.data(), bytes.size());
  EXPECT_EQ(KitContentHash(bytes.data(), bytes.size()), base);
  std::vector<uint8_t> bit = bytes;
  bit[500] ^= 0x10;
  std::vector<uint8_t> tail = bytes;
  tail[999] ^= 0x01;
  std::vector<uint8_t> longer = bytes;
  longer.push_back(0);
  std::vector<uint8_t> swapped = bytes;
  std::swap_ranges(swapped.begin(), swapped.begin() + 8, swapped.begin() + 8);
  for (const std::vector<uint8_t>* changed : {&bit, &tail, &longer, &swapped})
    EXPECT_NE(KitContentHash(changed->data(), changed->size()), base);
  EXPECT_NE(KitContentHash(bytes.data(), 0), KitContentHash(bytes.data(), 1));

  // Taken piece by piece, as the check reads a file, the hash is the same.
  for (size_t piece : {8u, 64u, 992u}) {
    KitHasher hasher(bytes.size());
    for (size_t at = 0; at < bytes.size(); at += piece)
      hasher.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
    EXPECT_EQ(hasher.Finish(), base) << piece;
  }
}

}  // namespace
