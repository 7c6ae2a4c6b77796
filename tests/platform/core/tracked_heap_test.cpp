// The tracked heap: headers, the block list, the damage check, the leak dump and its format.
#include "runtime/platform/core/tracked_heap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/platform/core/log.h"
#include "tests/support/log_capture.h"

namespace {

std::string Address(const void* data) {
  char text[32];
  std::snprintf(text, sizeof(text), "%016llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)));
  return text;
}

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  return text + std::string(width > static_cast<int>(text.size()) ? width - text.size() : 0, ' ');
}

// Lines of the log, each without its stamp and CR LF.
std::vector<std::string> Lines(const std::string& contents) {
  std::vector<std::string> lines = SplitLogLines(contents);
  for (std::string& line : lines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos && line.find_first_not_of("0123456789") == colon)
      line = line.substr(colon + 1);
  }
  return lines;
}

class TrackedHeap : public testing::Test {
 protected:
  void TearDown() override {
    SetTrackedHeapDebugOptions(0, 0, 0, 0);
    SetTrackedHeapFailures(0);
    EXPECT_EQ(GetTrackedHeapTotals().blocks, 0) << "a test leaked a block";
  }
};

TEST_F(TrackedHeap, HeaderHoldsNameLineSizeAndRunningIds) {
  void* a = AllocTracked(10, "fifteen_chars.c", 7);        // 15 characters: stored whole
  void* b = AllocTracked(10, "twenty_char_name.cpp", -1);  // 20: the last 15 characters
  void* c = AllocTracked(10, nullptr, 65535);
  const MemoryBlockHeader* ha = TrackedBlockHeader(a);
  const MemoryBlockHeader* hb = TrackedBlockHeader(b);
  const MemoryBlockHeader* hc = TrackedBlockHeader(c);
  EXPECT_STREQ(ha->name, "fifteen_chars.c");
  EXPECT_STREQ(hb->name, "y_char_name.cpp");
  EXPECT_STREQ(hc->name, "");
  EXPECT_EQ(ha->line, 7);
  EXPECT_EQ(hb->line, 0xFFFF);
  EXPECT_EQ(ha->size, 10u);
  EXPECT_EQ(static_cast<uint16_t>(ha->id + 1), hb->id);
  EXPECT_EQ(static_cast<uint16_t>(hb->id + 1), hc->id);
  // The list links newest to oldest and each copy mirrors its header.
  EXPECT_EQ(hc->next, hb);
  EXPECT_EQ(hb->prev, hc);
  EXPECT_EQ(hc->prev, nullptr);
  for (const MemoryBlockHeader* h : {ha, hb, hc}) EXPECT_EQ(std::memcmp(h, h->copy, 40), 0);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 16, 0u);

  void* grown = ReallocTracked(b, 20, "again.cpp", 3);  // a reallocation takes an id too
  EXPECT_EQ(TrackedBlockHeader(grown)->id, static_cast<uint16_t>(hc->id + 1));
  FreeTracked(a);
  FreeTracked(grown);
  FreeTracked(c);
  FreeTracked(nullptr);
}

TEST_F(TrackedHeap, IdsRepeatAfter65536Blocks) {
  void* first = AllocTracked(1, "wrap", 1);
  const uint16_t id = TrackedBlockHeader(first)->id;
  FreeTracked(first);
  for (int i = 0; i < 65535; ++i) FreeTracked(AllocTracked(1, "wrap", 1));
  void* again = AllocTracked(1, "wrap", 1);
  EXPECT_EQ(TrackedBlockHeader(again)->id, id);
  FreeTracked(again);
}

TEST_F(TrackedHeap, LeakDumpListsLiveBlocksNewestFirstInItsLineFormat) {
  LogCapture log;
  void* text = AllocTracked(20, "graph_loader.cpp", 120);
  std::memcpy(text, "Hello, world! 0123456", 20);
  void* gone = AllocTracked(8, "gone.cpp", 5);
  void* raw = AllocTracked(3, "x.cpp", 9);
  const unsigned char bytes[3] = {0x1F, 0x7F, 0x80};  // control, DEL (shown), high bit (dot)
  std::memcpy(raw, bytes, 3);
  FreeTracked(gone);
  const int idText = TrackedBlockHeader(text)->id;
  const int idRaw = TrackedBlockHeader(raw)->id;
  StartLogFile();
  DumpTrackedBlocks();

  const std::vector<std::string> expected = {
      "",
      "Alloc memory dump",
      "\tsize:         3(     0.003kb)  file:x.cpp                       line:9      ID:" +
          Padded(idRaw, 5) + "  addr:" + Address(raw) + "  data:<.\x7F.> [1f 7f 80]",
      "\tsize:        20(     0.020kb)  file:raph_loader.cpp             line:120    ID:" +
          Padded(idText, 5) + "  addr:" + Address(text) +
          "  data:<Hello, world! 01> [48 65 6c 6c 6f 2c 20 77 6f 72 6c 64 21 20 30 31]",
      "\tTotal size:23(0.022kb)  Alloc num:2",
      "",
  };
  // ("graph_loader.cpp" is 16 characters: its last 15 are kept.)
  EXPECT_EQ(Lines(log.Contents()), expected);
  FreeTracked(text);
  FreeTracked(raw);

  StartLogFile();
  DumpTrackedBlocks();
  EXPECT_EQ(Lines(log.Contents()),
            (std::vector<std::string>{"", "Alloc memory dump",
                                      "\tTotal size:0(0.000kb)  Alloc num:0", ""}));
}

TEST_F(TrackedHeap, ZeroByteBlockIsTracedWithAnEmptyDataPart) {
  LogCapture log;
  void* empty = AllocTracked(0, "zero.cpp", 1);
  const std::string address = Address(empty);
  const int id = TrackedBlockHeader(empty)->id;
  FreeTracked(empty);
  const std::string line =
      "\tsize:         0(     0.000kb)  file:zero.cpp                    line:1      ID:" +
      Padded(id, 5) + "  addr:" + address + "  data:<> ]";
  EXPECT_EQ(Lines(log.Contents()),
            (std::vector<std::string>{"mem alloc  " + line, "mem free  " + line}));
}

TEST_F(TrackedHeap, DamagedHeaderFailsTheCheckAndNamesThatBlock) {
  void* older = AllocTracked(4, "older.cpp", 1);
  void* damaged = AllocTracked(4, "victim.cpp", 2);
  void* newer = AllocTracked(4, "newer.cpp", 3);
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  LogCapture log;
  MemoryBlockHeader* h = TrackedBlockHeader(damaged);
  const char saved = h->name[0];
  h->name[0] = 'V';
  EXPECT_EQ(CheckTrackedHeaders(), -1);
  const std::string contents = log.Contents();
  EXPECT_NE(contents.find("以下のメモリ確保情報が破損しました\tsize:         4("),
            std::string::npos)
      << contents;
  EXPECT_NE(contents.find("file:Victim.cpp"), std::string::npos);
  EXPECT_EQ(contents.find("newer.cpp"), std::string::npos);
  h->name[0] = saved;
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  // A damaged name without its NUL still prints within its field.
  std::memset(h->name, 'Z', sizeof(h->name));
  EXPECT_EQ(CheckTrackedHeaders(), -1);
  EXPECT_NE(log.Contents().find("file:ZZZZZZZZZZZZZZZ             line"), std::string::npos);
  std::memcpy(h, h->copy, 40);
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  FreeTracked(older);
  FreeTracked(damaged);
  FreeTracked(newer);
}

TEST_F(TrackedHeap, ReallocGrowsWithZerosAndKeepsTheListWhole) {
  void* older = AllocTracked(8, "a.cpp", 1);
  auto* block = static_cast<unsigned char*>(AllocTracked(16, "b.cpp", 2));
  void* newer = AllocTracked(8, "c.cpp", 3);
  std::memset(block, 0xAA, 16);
  auto* grown = static_cast<unsigned char*>(ReallocTracked(block, 1 << 16, "b2.cpp", 4));
  ASSERT_NE(grown, nullptr);
  for (int i = 0; i < 16; ++i) ASSERT_EQ(grown[i], 0xAA);
  for (int i = 16; i < (1 << 16); ++i) ASSERT_EQ(grown[i], 0) << i;
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  // It keeps its place between its neighbours.
  EXPECT_EQ(TrackedBlockHeader(newer)->next, TrackedBlockHeader(grown));
  EXPECT_EQ(TrackedBlockHeader(grown)->next, TrackedBlockHeader(older));
  EXPECT_EQ(TrackedBlockHeader(older)->prev, TrackedBlockHeader(grown));
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 8 + (1 << 16) + 8);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, 3);
  // Shrinking the newest block keeps it the head.
  void* shrunk = ReallocTracked(newer, 2, "c.cpp", 5);
  void* next = AllocTracked(1, "d.cpp", 6);
  EXPECT_EQ(TrackedBlockHeader(next)->next, TrackedBlockHeader(shrunk));
  // From null: a new block of exactly that size.
  void* fresh = ReallocTracked(nullptr, 33, "e.cpp", 7);
  EXPECT_EQ(TrackedBlockHeader(fresh)->size, 33u);
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 8 + (1 << 16) + 2 + 1 + 33);
  for (void* p : {older, static_cast<void*>(grown), shrunk, next, fresh}) FreeTracked(p);
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 0);
}

TEST_F(TrackedHeap, ExhaustedHeapDumpsAndLeavesTheOldBlock) {
  void* kept = AllocTracked(4, "kept.cpp", 1);
  std::memcpy(kept, "abcd", 4);
  LogCapture log;
  SetTrackedHeapFailures(1);
  EXPECT_EQ(AllocTracked(64, "fails.cpp", 2), nullptr);
  EXPECT_NE(log.Contents().find("Alloc memory dump"), std::string::npos);
  SetTrackedHeapFailures(1);
  EXPECT_EQ(ReallocTracked(kept, 1000, "fails.cpp", 3), nullptr);
  EXPECT_EQ(std::memcmp(kept, "abcd", 4), 0);
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 4);
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  // A failure can wait for a given number of requests to be granted first.
  SetTrackedHeapFailures(1, 2);
  void* first = AllocTracked(8, "first.cpp", 4);
  void* second = AllocTrackedZero(8, "second.cpp", 5);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(second, nullptr);
  EXPECT_EQ(AllocTracked(8, "third.cpp", 6), nullptr);
  void* fourth = AllocTracked(8, "fourth.cpp", 7);
  EXPECT_NE(fourth, nullptr);
  for (void* p : {first, second, fourth}) FreeTracked(p);
  FreeTracked(kept);
}

TEST_F(TrackedHeap, AbsurdSizesAreRefusedNotWrapped) {
  void* kept = AllocTracked(4, "kept.cpp", 1);
  for (size_t size :
       {SIZE_MAX, SIZE_MAX - 10, kMaxTrackedBlockSize + 1, static_cast<size_t>(0x100000000ull)}) {
    EXPECT_EQ(AllocTracked(size, "huge.cpp", 1), nullptr) << size;
    EXPECT_EQ(AllocTrackedZero(size, "huge.cpp", 1), nullptr) << size;
    EXPECT_EQ(ReallocTracked(kept, size, "huge.cpp", 1), nullptr) << size;
  }
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 4);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, 1);
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  FreeTracked(kept);
}

TEST_F(TrackedHeap, ZeroFilledAllocation) {
  SetTrackedHeapFailures(0);
  auto* p = static_cast<unsigned char*>(AllocTrackedZero(300, "z.cpp", 1));
  for (int i = 0; i < 300; ++i) ASSERT_EQ(p[i], 0);
  FreeTracked(p);
}

TEST_F(TrackedHeap, DebugOptionsTraceTotalsAndCheck) {
  LogCapture log;
  SetTrackedHeapDebugOptions(-1, 0, 1, 1);
  void* p = AllocTracked(5, "t.cpp", 1);
  p = ReallocTracked(p, 6, "t.cpp", 2);
  FreeTracked(p);
  SetTrackedHeapDebugOptions(0, 0, 0, 0);
  std::vector<std::string> lines = Lines(log.Contents());
  ASSERT_EQ(lines.size(), 6u) << log.Contents();
  EXPECT_EQ(lines[0].rfind("mem alloc  \tsize:         5(", 0), 0u);
  EXPECT_EQ(lines[1], "\tTotal size:5(0.005kb)  Alloc num:1");
  EXPECT_EQ(lines[2].rfind("mem realloc  \tsize:         6(", 0), 0u);
  EXPECT_EQ(lines[3], "\tTotal size:6(0.006kb)  Alloc num:1");
  EXPECT_EQ(lines[4].rfind("mem free  \tsize:         6(", 0), 0u);
  EXPECT_EQ(lines[5], "\tTotal size:0(0.000kb)  Alloc num:0");
}

DWORD WINAPI Churn(LPVOID) {
  std::vector<void*> blocks;
  for (int i = 0; i < 2000; ++i) {
    blocks.push_back(AllocTracked(static_cast<size_t>(i % 97), "churn.cpp", i));
    if (i % 3 == 0)
      blocks.back() =
          ReallocTracked(blocks.back(), static_cast<size_t>(i % 50 + 1), "churn.cpp", i);
    if (blocks.size() > 20) {
      FreeTracked(blocks.front());
      blocks.erase(blocks.begin());
    }
  }
  for (void* p : blocks) FreeTracked(p);
  return 0;
}

TEST_F(TrackedHeap, ThreadsShareTheListSafely) {
  SetTrackedHeapDebugOptions(-2, 0, 0, 0);  // no tracing: the zero-size blocks would log
  std::vector<HANDLE> threads;
  for (int t = 0; t < 8; ++t)
    threads.push_back(CreateThread(nullptr, 0, &Churn, nullptr, 0, nullptr));
  for (HANDLE t : threads) {
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
  }
  EXPECT_EQ(CheckTrackedHeaders(), 0);
  EXPECT_EQ(GetTrackedHeapTotals().bytes, 0);
}

}  // namespace
