#include "runtime/platform/core/ring_buffer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/log_capture.h"

namespace {

struct Ring : testing::Test {
  RingBuffer ring = {};
  void TearDown() override { FreeRingBuffer(&ring); }
};

TEST_F(Ring, RandomTrafficMatchesADequeByteForByte) {
  std::mt19937 rng(1234);
  std::deque<unsigned char> model;
  unsigned char next = 0;
  std::vector<unsigned char> out(5000);
  for (int step = 0; step < 20000; ++step) {
    int op = static_cast<int>(rng() % 3);
    // Mostly small transfers so the positions wrap often, now and then a large one that grows.
    int n = (rng() % 50 == 0) ? static_cast<int>(rng() % 4000) : static_cast<int>(rng() % 64);
    if (op == 0) {
      std::vector<unsigned char> in(static_cast<size_t>(n));
      for (auto& b : in) b = next++;
      ASSERT_EQ(WriteRingBuffer(&ring, in.data(), n), 0);
      model.insert(model.end(), in.begin(), in.end());
    } else {
      int peek = op == 2;
      std::memset(out.data(), 0xEE, out.size());
      int result = ReadRingBuffer(&ring, out.data(), n, peek);
      if (static_cast<size_t>(n) > model.size()) {
        ASSERT_EQ(result, -1) << step;
        ASSERT_EQ(out[0], 0xEE) << "a refused read copied bytes";
        continue;
      }
      ASSERT_EQ(result, 0) << step;
      for (int i = 0; i < n; ++i)
        ASSERT_EQ(out[i], model[static_cast<size_t>(i)]) << "step " << step << " byte " << i;
      if (!peek) model.erase(model.begin(), model.begin() + n);
    }
    ASSERT_EQ(ring.storedBytes, static_cast<int>(model.size()));
    ASSERT_LE(ring.storedBytes, ring.capacity);
    ASSERT_GE(ring.readPosition, 0);
    ASSERT_LE(ring.readPosition, ring.capacity);
  }
  // Drain: everything that went in comes out once, in order.
  int rest = ring.storedBytes;
  std::vector<unsigned char> all(static_cast<size_t>(rest));
  ASSERT_EQ(ReadRingBuffer(&ring, all.data(), rest, 0), 0);
  EXPECT_TRUE(std::equal(all.begin(), all.end(), model.begin()));
  EXPECT_EQ(ring.storedBytes, 0);
}

TEST_F(Ring, WrappedBytesReadBackInOneCallAndPeekChangesNothing) {
  // Capacity 10 holding 6 bytes from position 7: 7, 8, 9, then 0, 1, 2.
  unsigned char storage[10] = {'d', 'e', 'f', 0, 0, 0, 0, 'a', 'b', 'c'};
  RingBuffer fixed = {storage, 7, 3, 6, 10};
  char out[7] = {};
  ASSERT_EQ(ReadRingBuffer(&fixed, out, 6, 1), 0);
  EXPECT_STREQ(out, "abcdef");
  EXPECT_EQ(fixed.readPosition, 7);
  EXPECT_EQ(fixed.writePosition, 3);
  EXPECT_EQ(fixed.storedBytes, 6);
  std::memset(out, 0, sizeof out);
  ASSERT_EQ(ReadRingBuffer(&fixed, out, 6, 0), 0);
  EXPECT_STREQ(out, "abcdef");
  EXPECT_EQ(fixed.readPosition, 3);
  EXPECT_EQ(fixed.storedBytes, 0);

  // Asking for more than is stored copies nothing; so does a negative count.
  RingBuffer six = {storage, 7, 3, 6, 10};
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(ReadRingBuffer(&six, out, 7, 0), -1);
  EXPECT_EQ(ReadRingBuffer(&six, out, -1, 0), -1);
  EXPECT_EQ(out[0], 'x');
  EXPECT_EQ(six.storedBytes, 6);
  EXPECT_EQ(six.readPosition, 7);

  // A position at the capacity means 0.
  RingBuffer atEnd = {storage, 10, 10, 0, 10};
  EXPECT_EQ(NormalizeRingBuffer(&atEnd), &atEnd);
  EXPECT_EQ(atEnd.readPosition, 0);
  EXPECT_EQ(atEnd.writePosition, 0);
}

// A full ring of the given capacity whose bytes start at position start (so they wrap).
void MakeFullWrappedRing(RingBuffer* ring, std::vector<unsigned char>* bytes, int capacity = 1000,
                         int start = 400) {
  bytes->resize(static_cast<size_t>(capacity));
  for (int i = 0; i < capacity; ++i)
    (*bytes)[static_cast<size_t>(i)] = static_cast<unsigned char>(i * 13 + 1);
  auto* data = static_cast<unsigned char*>(
      AllocTracked(static_cast<size_t>(capacity), "ring_test", __LINE__));
  for (int i = 0; i < capacity; ++i)
    data[(start + i) % capacity] = (*bytes)[static_cast<size_t>(i)];
  *ring = RingBuffer{data, start, start, capacity, capacity};
}

TEST_F(Ring, GrowthFollowsTheFormula) {
  ASSERT_EQ(ReserveRingBuffer(&ring, 100), 0);
  EXPECT_EQ(ring.capacity, 1100);
  EXPECT_NE(ring.data, nullptr);
  unsigned char* data = ring.data;
  ASSERT_EQ(ReserveRingBuffer(&ring, 1100), 0);  // fits: nothing changes
  EXPECT_EQ(ring.data, data);
  EXPECT_EQ(ring.capacity, 1100);
  FreeRingBuffer(&ring);
  EXPECT_EQ(ring.data, nullptr);
  EXPECT_EQ(ring.capacity, 0);

  std::vector<unsigned char> bytes;
  MakeFullWrappedRing(&ring, &bytes);
  ASSERT_EQ(ReserveRingBuffer(&ring, 100), 0);
  EXPECT_EQ(ring.capacity, 2600);  // 100 + 1,000 x 3 / 2 + 1,000
  EXPECT_EQ(ring.readPosition, 0);
  EXPECT_EQ(ring.writePosition, 1000);
  EXPECT_EQ(ring.storedBytes, 1000);
  EXPECT_EQ(std::memcmp(ring.data, bytes.data(), 1000), 0);

  // An odd stored count rounds its half down: 7 stored, 10 asked.
  FreeRingBuffer(&ring);
  MakeFullWrappedRing(&ring, &bytes, 7, 5);
  ASSERT_EQ(ReserveRingBuffer(&ring, 10), 0);
  EXPECT_EQ(ring.capacity, 10 + 10 + 1000);
  EXPECT_EQ(std::memcmp(ring.data, bytes.data(), 7), 0);
}

TEST_F(Ring, FailedGrowthKeepsTheQueuedBytes) {
  LogCapture log(0);
  std::vector<unsigned char> bytes;
  MakeFullWrappedRing(&ring, &bytes);
  const RingBuffer before = ring;

  SetTrackedHeapFailures(1);
  EXPECT_EQ(ReserveRingBuffer(&ring, 100), -1);
  SetTrackedHeapFailures(0);
  EXPECT_EQ(std::memcmp(&ring, &before, sizeof ring), 0);
  // A request past what an int can size fails the same way, without wrapping around.
  EXPECT_EQ(ReserveRingBuffer(&ring, INT_MAX - 500), -1);
  EXPECT_EQ(std::memcmp(&ring, &before, sizeof ring), 0);
  EXPECT_EQ(WriteRingBuffer(&ring, bytes.data(), INT_MAX - 500), -1);
  EXPECT_EQ(ring.storedBytes, 1000);

  std::vector<unsigned char> out(1000);
  ASSERT_EQ(ReadRingBuffer(&ring, out.data(), 1000, 0), 0);
  EXPECT_EQ(out, bytes);
  // The heap logs its own report of the failed request first; the ring's lines close the log.
  const std::string expected =
      "0:リングバッファの再確保に失敗しました(確保しようとしたサイズ 2600 byte)\r\n"
      "0:リングバッファの再確保に失敗しました(確保しようとしたサイズ 2147485647 byte)\r\n"
      "0:リングバッファの再確保に失敗しました(確保しようとしたサイズ 2147485647 byte)\r\n";
  const std::string contents = log.Contents();
  ASSERT_GE(contents.size(), expected.size());
  EXPECT_EQ(contents.substr(contents.size() - expected.size()), expected);
}

}  // namespace
