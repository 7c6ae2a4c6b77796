// The log file: stamps, indentation, CR LF conversion, the off switch, long texts and threads.
#include "runtime/platform/core/log.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(Log, ScriptedSequenceGivesExactBytes) {
  LogCapture log(1000);
  LogCapture::SetTime(1005);
  WriteLogText("a\nb\n");  // one stamp for both lines
  LogCapture::SetTime(1010);
  WriteLogText("x, ");  // no line end: the next call continues the line
  WriteLogText("y\n");
  LogIndentIn();
  LogIndentIn();
  LogCapture::SetTime(1020);
  EXPECT_EQ(LogPrintf("deep %d", 2), -1);
  LogIndentOut();
  LogIndentOut();
  LogIndentOut();  // stays at 0
  LogCapture::SetTime(1030);
  WriteLogText("a\r\nb\nc");  // conversion stops at the first CR LF
  WriteLogText("\n");         // a leading line feed is converted
  LogCapture::SetTime(1041);
  WriteLogText("システムの情報を出力します\n");
  WriteLogText("");  // writes nothing, not even a stamp
  LogCapture::SetTime(1050);
  EXPECT_EQ(WriteLogText("ＣＰＵ\r\nend\r\n"), -1);

  const std::string expected = std::string("5:a\r\nb\r\n") + "10:x, y\r\n" + "20:\t\tdeep 2\r\n" +
                               "30:a\r\nb\nc\r\n" + "41:システムの情報を出力します\r\n" +
                               "50:ＣＰＵ\r\nend\r\n";
  EXPECT_EQ(log.Contents(), expected);
}

TEST(Log, IndentationFollowsEveryNewLineStart) {
  LogCapture log(0);
  LogIndentIn();
  WriteLogText("one\n");
  LogIndentIn();
  WriteLogText("two\nthree\n");  // the second line of one text carries no stamp and no tabs
  LogIndentOut();
  LogIndentOut();
  WriteLogText("four\n");
  EXPECT_EQ(log.Contents(), "0:\tone\r\n0:\t\ttwo\r\nthree\r\n0:four\r\n");
}

TEST(Log, StartRecreatesTheFileEmpty) {
  LogCapture log;
  WriteLogText("old\n");
  ASSERT_FALSE(log.Contents().empty());
  StartLogFile();
  EXPECT_EQ(log.Contents(), "");
  EXPECT_STREQ(GetLogFileName(), "Log.txt");
}

TEST(Log, OffLeavesAnExistingFileAloneAndCreatesNothing) {
  TempFolder folder;
  folder.WriteFile("Log.txt", "keep");
  static std::string debugSeen;
  debugSeen.clear();
  PortSetDebugOutputHook([](const char* text) { debugSeen += text; });
  SetLogDirectory(folder.WindowsPath().c_str());
  SetLogOutput(0);
  EXPECT_EQ(StartLogFile(), 0);
  WriteLogText("dropped\n");
  LogPrintf("dropped %d", 1);
  EXPECT_EQ(folder.ReadFile("Log.txt"), "keep");

  TempFolder empty;
  SetLogDirectory(empty.WindowsPath().c_str());
  StartLogFile();
  WriteLogText("dropped\n");
  EXPECT_FALSE(empty.Exists("Log.txt"));
  EXPECT_EQ(debugSeen, "");

  SetLogOutput(1);
  SetLogDirectory("");
  PortSetDebugOutputHook(nullptr);
}

TEST(Log, EveryPieceIsMirroredToTheDebuggerOutput) {
  static std::vector<std::string> pieces;
  pieces.clear();
  LogCapture log(100);
  PortSetDebugOutputHook([](const char* text) { pieces.push_back(text); });
  LogCapture::SetTime(107);
  LogIndentIn();
  WriteLogText("x\n");
  LogIndentOut();
  PortSetDebugOutputHook(nullptr);
  EXPECT_EQ(pieces, (std::vector<std::string>{"7:", "\t", "x\r\n"}));
}

TEST(Log, LongTextsComeOutWhole) {
  LogCapture log(0);
  std::string longText;
  for (int i = 0; i < 5000; ++i) longText += static_cast<char>('a' + i % 26);
  LogPrintf("%s", longText.c_str());
  const std::string feeds(200, '\n');
  WriteLogText(feeds.c_str());
  // Just past the local buffer: 255 bytes that grow by one.
  const std::string edge = std::string(254, 'e') + "\n";
  WriteLogText(edge.c_str());

  std::string expected = "0:" + longText + "\r\n" + "0:";
  for (int i = 0; i < 200; ++i) expected += "\r\n";
  expected += "0:" + std::string(254, 'e') + "\r\n";
  EXPECT_EQ(log.Contents(), expected);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, 0);  // the work blocks were given back
}

TEST(Log, LongTextIsConvertedInATrackedBlock) {
  LogCapture log(0);
  // A 300-byte text with one line feed borrows a block of exactly its converted size (300 + CR +
  // NUL); tracing that size shows the block without the log deadlocking on itself.
  SetTrackedHeapDebugOptions(302, 0, 0, 0);
  WriteLogText((std::string(299, 'q') + "\n").c_str());
  SetTrackedHeapDebugOptions(0, 0, 0, 0);
  const std::string contents = log.Contents();
  EXPECT_EQ(contents.find("0:mem alloc  \tsize:       302("), 0u) << contents;
  EXPECT_NE(contents.find("mem free  \tsize:       302("), std::string::npos);
  EXPECT_NE(contents.find(std::string(299, 'q') + "\r\n"), std::string::npos);
}

TEST(Log, DirectoryEndingInATrailByte5CStillGetsItsSeparator) {
  LogCapture outer;
  // The folder name's CP932 bytes are 0x95 0x5C: its last byte is not a backslash.
  outer.folder().MakeDirectory("\xE8\xA1\xA8");
  const std::string directory = outer.folder().WindowsPath() + "\\\x95\x5C";
  ASSERT_EQ(SetLogDirectory(directory.c_str()), 0);
  StartLogFile();
  WriteLogText("here\n");
  EXPECT_TRUE(outer.folder().Exists("\xE8\xA1\xA8/Log.txt"));
  EXPECT_EQ(outer.folder().ReadFile("\xE8\xA1\xA8/Log.txt"), "0:here\r\n");
}

TEST(Log, DirectoryLongerThanAPathIsRefused) {
  const std::string before = GetLogDirectory();
  EXPECT_EQ(SetLogDirectory(std::string(260, 'd').c_str()), -1);
  EXPECT_EQ(GetLogDirectory(), before);
  EXPECT_EQ(SetLogDirectory(nullptr), -1);
}

TEST(Log, DatedFileName) {
  LogCapture log;
  SetLogDateFileName(1);
  int before[6];
  GetLocalDateTime(before);
  StartLogFile();
  SetLogDateFileName(0);
  const std::string name = GetLogFileName();
  std::smatch m;
  ASSERT_TRUE(
      std::regex_match(name, m, std::regex("Log(\\d+)_(\\d+)_(\\d+)_(\\d+)_(\\d+)_(\\d+)\\.txt")))
      << name;
  EXPECT_EQ(std::stoi(m[1]), before[0]);
  for (int i = 2; i <= 6; ++i)
    EXPECT_EQ(m[i].str()[0] == '0', m[i].str() == "0") << "no leading zeros: " << name;
  EXPECT_TRUE(log.folder().Exists(name));
  WriteLogText("dated\n");
  EXPECT_EQ(log.folder().ReadFile(name), "0:dated\r\n");
}

// Without a clock of a test's own, lines are stamped by the multimedia timer of the run-time
// library table; while the table is not loaded there is no timer and stamps read 0.
TEST(Log, StampsComeFromTheLibraryTableTimer) {
  LogCapture log;
  SetLogClock(nullptr);
  StartLogFile();
  WriteLogText("no table\n");
  EXPECT_EQ(log.Contents(), "0:no table\r\n");

  LoadStartupLibraries();
  PortSetSimulatedTime(true);
  StartLogFile();
  PortSetTimeGetTimeOffset(5000);  // the timer jumps 5 s ahead
  WriteLogText("table\n");
  const std::string stamped = log.Contents();
  EXPECT_EQ(stamped, "5000:table\r\n");

  FreeRuntimeLibraries();
  WriteLogText("freed\n");
  EXPECT_EQ(log.Contents(), stamped + "0:freed\r\n");
  PortSetTimeGetTimeOffset(0);
  PortSetSimulatedTime(false);
}

DWORD WINAPI LogLines(LPVOID parameter) {
  const int thread = static_cast<int>(reinterpret_cast<intptr_t>(parameter));
  for (int i = 0; i < 500; ++i) {
    if (i % 2)
      LogPrintf("thread %d line %d", thread, i);
    else
      WriteLogText(
          ("thread " + std::to_string(thread) + " line " + std::to_string(i) + "\n").c_str());
  }
  return 0;
}

TEST(Log, EightThreadsLoseAndSplitNothing) {
  LogCapture log;
  LoadStartupLibraries();
  SetLogClock(nullptr);  // the multimedia timer of the table, so stamps vary while threads race
  StartLogFile();
  std::vector<HANDLE> threads;
  for (int t = 0; t < 8; ++t)
    threads.push_back(CreateThread(nullptr, 0, &LogLines,
                                   reinterpret_cast<LPVOID>(static_cast<intptr_t>(t)), 0, nullptr));
  for (HANDLE t : threads) {
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
  }
  FreeRuntimeLibraries();
  const std::string contents = log.Contents();
  std::set<std::string> seen;
  const std::regex line("(\\d+):(thread \\d line \\d+)");
  size_t start = 0, lines = 0;
  while (start < contents.size()) {
    size_t end = contents.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    std::string text = contents.substr(start, end - start);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << "split or unstamped: " << text;
    EXPECT_TRUE(seen.insert(m[2]).second) << "twice: " << text;
    ++lines;
    start = end + 2;
  }
  EXPECT_EQ(lines, 4000u);
  for (int t = 0; t < 8; ++t)
    for (int i = 0; i < 500; ++i)
      EXPECT_EQ(seen.count("thread " + std::to_string(t) + " line " + std::to_string(i)), 1u);
}

}  // namespace
