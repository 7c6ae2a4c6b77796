#include "runtime/platform/core/handle_table.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/log_capture.h"

namespace {

struct Record {
  int checkNumber;
  int payload[3];
};

// Tables of a few types over slot arrays of their own, emptied after every test.
struct Handles : testing::Test {
  void* movieSlots[HandleCapacity(HandleTypeMovie)] = {};
  void* fontSlots[HandleCapacity(HandleTypeFont)] = {};
  std::vector<void*> soundSlots = std::vector<void*>(HandleCapacity(HandleTypeSound));
  HandleTable movies = MakeHandleTable(HandleTypeMovie, movieSlots);
  HandleTable fonts = MakeHandleTable(HandleTypeFont, fontSlots);
  HandleTable sounds = MakeHandleTable(HandleTypeSound, soundSlots.data());

  int New(HandleTable* t) { return AllocHandle(t, sizeof(Record), __FILE__, __LINE__); }

  void TearDown() override {
    for (HandleTable* t : {&movies, &fonts, &sounds})
      for (int slot = 0; slot < t->capacity; ++slot)
        if (t->slots[slot]) ReleaseHandle(t, HandleOfSlot(t, slot));
  }
};

TEST(HandleTypes, TableRowsAndPacking) {
  const int capacities[16] = {0,   32768, 32768, 100,  40,   512, 8192,  256,
                              256, 4096,  0,     8192, 4096, 0,   16384, 16384};
  for (int type = 0; type < 16; ++type) EXPECT_EQ(HandleCapacity(type), capacities[type]) << type;
  // slot | (check | type x 2048) << 16
  EXPECT_EQ(MakeHandle(HandleTypeGraph, 0, 0), 0x08000000);
  EXPECT_EQ(MakeHandle(HandleTypeSound, 2047, 0x7FFF), 0x17FF7FFF);
  EXPECT_EQ(MakeHandle(HandleTypeIndexBuffer, 5, 3), 0x78050003);
  const int h = MakeHandle(HandleTypeLight, 1234, 4095);
  EXPECT_EQ(HandleTypeOf(h), HandleTypeLight);
  EXPECT_EQ(HandleCheckNumberOf(h), 1234);
  EXPECT_EQ(HandleSlotOf(h), 4095);
  EXPECT_GE(MakeHandle(15, 2047, 0xFFFF), 0);  // every handle is positive
}

TEST_F(Handles, ScriptedUseOverSeveralTypes) {
  int m0 = New(&movies), f0 = New(&fonts), m1 = New(&movies), s0 = New(&sounds), f1 = New(&fonts);
  EXPECT_EQ(m0, MakeHandle(HandleTypeMovie, 0, 0));
  EXPECT_EQ(m1, MakeHandle(HandleTypeMovie, 1, 1));
  EXPECT_EQ(f0, MakeHandle(HandleTypeFont, 0, 0));
  EXPECT_EQ(f1, MakeHandle(HandleTypeFont, 1, 1));
  EXPECT_EQ(s0, MakeHandle(HandleTypeSound, 0, 0));
  EXPECT_EQ(movies.count, 2);
  EXPECT_EQ(movies.endIndex, 2);

  // New records are zeroed and begin with their check number.
  auto* r1 = static_cast<Record*>(GetHandleRecord(&movies, m1));
  ASSERT_NE(r1, nullptr);
  EXPECT_EQ(r1->checkNumber, 1);
  EXPECT_EQ(r1->payload[0] | r1->payload[1] | r1->payload[2], 0);

  // Same slot and check number, another type: refused by each other's table.
  EXPECT_EQ(GetHandleRecord(&fonts, m0), nullptr);
  EXPECT_EQ(GetHandleRecord(&movies, f0), nullptr);
  EXPECT_EQ(GetHandleRecord(&sounds, f0), nullptr);
  EXPECT_TRUE(IsHandleValid(&fonts, f0));

  // Release and reuse: the old handle is stale, the new one differs only in its check number.
  ASSERT_EQ(ReleaseHandle(&movies, m1), 0);
  EXPECT_EQ(movies.endIndex, 1);
  int m2 = New(&movies);
  EXPECT_EQ(HandleSlotOf(m2), HandleSlotOf(m1));
  EXPECT_NE(m2, m1);
  EXPECT_EQ((m2 ^ m1) & ~0x07FF0000, 0);
  EXPECT_EQ(GetHandleRecord(&movies, m1), nullptr);
  EXPECT_EQ(ReleaseHandle(&movies, m1), -1);
  EXPECT_EQ(movies.count, 2);
  EXPECT_NE(GetHandleRecord(&movies, m2), nullptr);

  // The check number runs per table: the font table's next is still 2.
  EXPECT_EQ(HandleCheckNumberOf(New(&fonts)), 2);
  EXPECT_EQ(HandleOfSlot(&movies, 1), m2);
  EXPECT_EQ(HandleOfSlot(&movies, 5), -1);
  EXPECT_EQ(HandleOfSlot(&movies, 100), -1);
  EXPECT_EQ(HandleOfSlot(&movies, -1), -1);
}

TEST_F(Handles, MalformedHandlesAreRefused) {
  int f = New(&fonts);
  const int cases[] = {
      -1,
      INT_MIN,
      static_cast<int>(static_cast<unsigned>(f) | 0x80000000u),  // valid bits under a sign bit
      MakeHandle(HandleTypeFont, 0, 1),                          // empty slot
      MakeHandle(HandleTypeFont, 0, 40),                         // beyond the table
      MakeHandle(HandleTypeFont, 0, 0xFFFF),
      MakeHandle(HandleTypeFont, 1, 0),      // wrong check number
      MakeHandle(HandleTypeFont + 8, 0, 0),  // another type, same low bits
  };
  for (int h : cases) {
    EXPECT_EQ(GetHandleRecord(&fonts, h), nullptr) << std::hex << h;
    EXPECT_EQ(ReleaseHandle(&fonts, h), -1) << std::hex << h;
  }
  EXPECT_EQ(fonts.count, 1);
  EXPECT_TRUE(IsHandleValid(&fonts, f));
}

TEST_F(Handles, CheckNumberWrapsAfter2048) {
  int first = New(&movies);
  EXPECT_EQ(HandleCheckNumberOf(first), 0);
  ReleaseHandle(&movies, first);
  int h = -1;
  for (int i = 1; i < 2048; ++i) {
    h = New(&movies);
    ASSERT_EQ(HandleCheckNumberOf(h), i);
    ASSERT_EQ(HandleSlotOf(h), 0);
    ReleaseHandle(&movies, h);
  }
  EXPECT_EQ(HandleCheckNumberOf(h), 2047);
  int wrapped = New(&movies);  // the 2,049th
  EXPECT_EQ(HandleCheckNumberOf(wrapped), 0);
  EXPECT_EQ(movies.nextCheckNumber, 1);
  EXPECT_EQ(GetHandleRecord(&movies, h), nullptr);
}

TEST_F(Handles, EndIndexFollowsTheHighestSlot) {
  int h[10];
  for (int& x : h) x = New(&movies);
  EXPECT_EQ(movies.endIndex, 10);
  ReleaseHandle(&movies, h[5]);
  EXPECT_EQ(movies.endIndex, 10);  // a hole below the top leaves it
  ReleaseHandle(&movies, h[9]);
  EXPECT_EQ(movies.endIndex, 9);
  // Releasing the top with empty slots below it moves past all of them.
  ReleaseHandle(&movies, h[7]);
  ReleaseHandle(&movies, h[6]);
  EXPECT_EQ(movies.endIndex, 9);
  ReleaseHandle(&movies, h[8]);
  EXPECT_EQ(movies.endIndex, 5);
  // The next record goes to the end index, not into the lower hole.
  int next = New(&movies);
  EXPECT_EQ(HandleSlotOf(next), 5);
  EXPECT_EQ(movies.endIndex, 6);
  for (int i : {0, 1, 2, 3, 4}) ReleaseHandle(&movies, h[i]);
  EXPECT_EQ(movies.endIndex, 6);
  ReleaseHandle(&movies, next);
  EXPECT_EQ(movies.endIndex, 0);
  EXPECT_EQ(movies.count, 0);
}

TEST_F(Handles, FullTableFillsLowHolesThenRefuses) {
  LogCapture log(0);
  int h[40];
  for (int& x : h) ASSERT_GE(x = New(&fonts), 0);
  EXPECT_EQ(fonts.endIndex, 40);
  ReleaseHandle(&fonts, h[17]);
  ReleaseHandle(&fonts, h[3]);
  EXPECT_EQ(fonts.endIndex, 40);
  EXPECT_EQ(HandleSlotOf(New(&fonts)), 3);  // lowest free slot once the end index is at the top
  EXPECT_EQ(HandleSlotOf(New(&fonts)), 17);
  const HandleTable before = fonts;
  EXPECT_EQ(New(&fonts), -1);
  EXPECT_EQ(fonts.count, before.count);
  EXPECT_EQ(fonts.nextCheckNumber, before.nextCheckNumber);
  EXPECT_EQ(log.Contents(), "");  // fonts word their refusal themselves

  // Sounds log their line.
  for (int i = 0; i < 32768; ++i) ASSERT_GE(New(&sounds), 0) << i;
  EXPECT_EQ(sounds.endIndex, 32768);
  EXPECT_EQ(New(&sounds), -1);
  EXPECT_EQ(sounds.count, 32768);
  EXPECT_EQ(log.Contents(), "0:サウンドの数が許容量を越えました\r\n");
}

TEST_F(Handles, FailedRecordLeavesTheTableAsItWas) {
  LogCapture log(0);
  int first = New(&sounds);
  const HandleTable before = sounds;
  SetTrackedHeapFailures(1);
  EXPECT_EQ(New(&sounds), -1);
  SetTrackedHeapFailures(0);
  EXPECT_EQ(sounds.count, before.count);
  EXPECT_EQ(sounds.endIndex, before.endIndex);
  EXPECT_EQ(sounds.nextCheckNumber, before.nextCheckNumber);
  EXPECT_EQ(sounds.slots[1], nullptr);
  const std::string line = "0:メモリ領域の確保に失敗しました in AddSoundData\r\n";
  const std::string contents = log.Contents();
  ASSERT_GE(contents.size(), line.size());
  EXPECT_EQ(contents.substr(contents.size() - line.size()), line);  // after the heap's own report
  EXPECT_EQ(New(&sounds), MakeHandle(HandleTypeSound, 1, 1));
  EXPECT_TRUE(IsHandleValid(&sounds, first));
}

TEST_F(Handles, PlacingARecordUnderAGivenHandle) {
  New(&sounds);
  New(&sounds);
  const int wanted = MakeHandle(HandleTypeSound, 700, 50);
  EXPECT_EQ(AllocHandleAt(&sounds, wanted, sizeof(Record), __FILE__, __LINE__), wanted);
  EXPECT_EQ(static_cast<Record*>(GetHandleRecord(&sounds, wanted))->checkNumber, 700);
  EXPECT_EQ(sounds.nextCheckNumber, 2);  // left alone
  EXPECT_EQ(sounds.endIndex, 51);
  EXPECT_EQ(sounds.count, 3);
  // Below the end index it stays where it is.
  const int low = MakeHandle(HandleTypeSound, 9, 20);
  EXPECT_EQ(AllocHandleAt(&sounds, low, sizeof(Record), __FILE__, __LINE__), low);
  EXPECT_EQ(sounds.endIndex, 51);

  const int refused[] = {
      MakeHandle(HandleTypeSound, 3, 50),  // slot taken
      MakeHandle(HandleTypeFont, 3, 60),   // another type
      -1,
  };
  for (int h : refused)
    EXPECT_EQ(AllocHandleAt(&sounds, h, sizeof(Record), __FILE__, __LINE__), -1) << std::hex << h;
  EXPECT_EQ(
      AllocHandleAt(&fonts, MakeHandle(HandleTypeFont, 0, 40), sizeof(Record), __FILE__, __LINE__),
      -1);
  EXPECT_EQ(sounds.count, 4);
  EXPECT_EQ(fonts.count, 0);
}

TEST(HandleLists, LinkWalkAndUnlink) {
  HandleListNode head, tail, a, b, c;
  EXPECT_EQ(ClearHandleList(&head, &tail), 0);
  EXPECT_EQ(head.handle, -1);
  EXPECT_EQ(tail.handle, -1);
  EXPECT_EQ(head.object, nullptr);
  EXPECT_EQ(head.previous, nullptr);
  EXPECT_EQ(head.next, &tail);
  EXPECT_EQ(tail.previous, &head);
  EXPECT_EQ(tail.next, nullptr);

  int objects[3];
  LinkHandleNode(&head, &a, 100, &objects[0]);
  LinkHandleNode(&head, &b, 200, &objects[1]);
  LinkHandleNode(&head, &c, 300, &objects[2]);
  auto walk = [&] {
    std::vector<int> seen;
    for (HandleListNode* n = head.next; n != &tail; n = n->next) seen.push_back(n->handle);
    std::vector<int> back;
    for (HandleListNode* n = tail.previous; n != &head; n = n->previous)
      back.insert(back.begin(), n->handle);
    EXPECT_EQ(seen, back);  // both directions agree
    return seen;
  };
  EXPECT_EQ(walk(), (std::vector<int>{300, 200, 100}));  // newest first
  EXPECT_EQ(b.object, &objects[1]);

  EXPECT_EQ(UnlinkHandleNode(&b), 0);
  EXPECT_EQ(walk(), (std::vector<int>{300, 100}));
  // The unlinked node keeps its links, so a walk can step on from it.
  EXPECT_EQ(b.next, &a);
  EXPECT_EQ(b.previous, &c);

  UnlinkHandleNode(&c);
  UnlinkHandleNode(&a);
  EXPECT_EQ(walk(), std::vector<int>{});
  EXPECT_EQ(head.next, &tail);
  EXPECT_EQ(tail.previous, &head);
}

}  // namespace
