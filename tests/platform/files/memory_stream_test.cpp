// Memory streams: reads, seeks and the end flag over a block the caller keeps.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/data_stream.h"

namespace {

class MemoryStreamTest : public testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 20; ++i) data[i] = static_cast<char>('a' + i);
    stream = OpenMemoryStream(data, sizeof data);
    ASSERT_NE(stream, nullptr);
    handle = reinterpret_cast<FileHandle>(stream);
    s = *GetMemoryStreamFunctions();
  }
  void TearDown() override { EXPECT_EQ(s.Close(handle), 0); }

  char data[20];
  MemoryStream* stream = nullptr;
  FileHandle handle = 0;
  StreamFunctionTable s;
};

TEST_F(MemoryStreamTest, SeeksClampToTheBlockAndClearTheEndFlag) {
  struct Case {
    int start;
    int offset;
    int origin;
    int result;
    int position;
  } cases[] = {
      {5, 3, 0, 0, 3},           {5, 3, 1, 0, 8},   {5, -3, 2, 0, 17}, {5, -9, 0, 0, 0},
      {5, -9, 1, 0, 0},          {5, 99, 1, 0, 20}, {5, 1, 2, 0, 20},  {5, -99, 2, 0, 0},
      {5, 0x7FFFFFFF, 1, 0, 20}, {5, 2, 3, -1, 5},  // no such origin: refused, nothing moves
  };
  for (const Case& c : cases) {
    ASSERT_EQ(s.Seek(handle, 20, 0), 0);
    char byte;
    ASSERT_EQ(s.Read(&byte, 1, 1, handle), 0u);
    ASSERT_EQ(s.Eof(handle), -1);
    ASSERT_EQ(s.Seek(handle, c.start, 0), 0);
    ASSERT_EQ(s.Eof(handle), 0);
    EXPECT_EQ(s.Seek(handle, c.offset, c.origin), c.result) << c.offset << "/" << c.origin;
    EXPECT_EQ(s.Tell(handle), c.position) << c.offset << "/" << c.origin;
  }
}

TEST_F(MemoryStreamTest, ReadsCountWholeElementsAndConsumeTheTail) {
  char out[64];
  std::memset(out, 0, sizeof out);
  ASSERT_EQ(s.Seek(handle, 10, 0), 0);
  // Ten elements of 4 bytes with 10 bytes left: two counted, all ten copied.
  EXPECT_EQ(s.Read(out, 4, 10, handle), 2u);
  EXPECT_EQ(std::memcmp(out, data + 10, 10), 0);
  EXPECT_EQ(out[10], 0);
  EXPECT_EQ(s.Tell(handle), 20);
  EXPECT_EQ(s.Eof(handle), 0);
  // The next read starts at the end: nothing, and the end flag.
  EXPECT_EQ(s.Read(out, 4, 10, handle), 0u);
  EXPECT_EQ(s.Eof(handle), -1);

  // Fewer bytes left than one element: they are consumed, none is counted.
  ASSERT_EQ(s.Seek(handle, -3, 2), 0);
  std::memset(out, 0, sizeof out);
  EXPECT_EQ(s.Read(out, 4, 1, handle), 0u);
  EXPECT_EQ(std::memcmp(out, data + 17, 3), 0);
  EXPECT_EQ(s.Tell(handle), 20);
  EXPECT_EQ(s.Eof(handle), 0);

  // A read that copies clears the flag; zero elements copy nothing and change nothing.
  ASSERT_EQ(s.Read(out, 1, 1, handle), 0u);
  ASSERT_EQ(s.Seek(handle, 0, 0), 0);
  EXPECT_EQ(s.Read(out, 5, 0, handle), 0u);
  EXPECT_EQ(s.Read(out, 0, 5, handle), 0u);
  EXPECT_EQ(s.Tell(handle), 0);
  EXPECT_EQ(s.Read(out, 5, 4, handle), 4u);
  EXPECT_EQ(std::memcmp(out, data, 20), 0);
  EXPECT_EQ(s.IdleCheck(handle), 1);
}

TEST(MemoryStream, OpeningChecksItsArguments) {
  EXPECT_EQ(OpenMemoryStream(nullptr, -1), nullptr);
  char byte = 0;
  EXPECT_EQ(OpenMemoryStream(&byte, -1), nullptr);
  EXPECT_EQ(OpenMemoryStream(nullptr, 1), nullptr);
  MemoryStream* empty = OpenMemoryStream(nullptr, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(ReadMemoryStream(&byte, 1, 1, reinterpret_cast<FileHandle>(empty)), 0u);
  EXPECT_EQ(EofMemoryStream(reinterpret_cast<FileHandle>(empty)), -1);
  EXPECT_EQ(CloseMemoryStream(reinterpret_cast<FileHandle>(empty)), 0);

  // The record comes from the tracked heap; when it cannot, there is no stream.
  SetTrackedHeapFailures(1);
  EXPECT_EQ(OpenMemoryStream(&byte, 1), nullptr);
  SetTrackedHeapFailures(0);
}

}  // namespace
