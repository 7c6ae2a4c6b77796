// LZ block decoder (runtime) and encoder (tools): examples, refusals of malformed blocks, and
// agreement with a plain byte-by-byte decoder.
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/files/lz_block.h"
#include "tools/lib/lz_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Block(uint32_t decodedSize, uint8_t escape, const Bytes& payload, int encodedSize = -1) {
  Bytes b(9);
  uint32_t enc = encodedSize >= 0 ? static_cast<uint32_t>(encodedSize)
                                  : static_cast<uint32_t>(9 + payload.size());
  for (int i = 0; i < 4; ++i) {
    b[i] = static_cast<uint8_t>(decodedSize >> (8 * i));
    b[4 + i] = static_cast<uint8_t>(enc >> (8 * i));
  }
  b[8] = escape;
  b.insert(b.end(), payload.begin(), payload.end());
  return b;
}

// Decodes into an output of exactly the given capacity (heap, so ASan sees any overrun).
int Decode(const Bytes& block, size_t capacity, Bytes* out) {
  out->assign(capacity, 0xEE);
  static uint8_t none;  // a non-null output for a zero capacity
  return DecodeLzBlock(block.data(), block.size(), capacity ? out->data() : &none, capacity);
}

// The format read the slow, obvious way: one byte at a time, no checks beyond the format's.
Bytes OracleDecode(const Bytes& block) {
  uint32_t enc = block[4] | block[5] << 8 | block[6] << 16 | static_cast<uint32_t>(block[7]) << 24;
  uint8_t esc = block[8];
  Bytes out;
  size_t i = 9;
  while (i < enc) {
    uint8_t b = block[i++];
    if (b != esc) {
      out.push_back(b);
      continue;
    }
    uint8_t c = block[i++];
    if (c == esc) {
      out.push_back(esc);
      continue;
    }
    unsigned code = c > esc ? c - 1 : c;
    size_t length = code >> 3;
    if (code & 4) length += block[i++] * 32u;
    length += 4;
    size_t field = block[i++];
    if ((code & 3) >= 1) field |= block[i++] << 8;
    if ((code & 3) == 2) field |= block[i++] << 16;
    size_t distance = field + 1;
    for (size_t k = 0; k < length; ++k) out.push_back(out[out.size() - distance]);
  }
  return out;
}

TEST(LzBlock, KnownExamples) {
  // 0x10 0x08 0x00 with escape 0x10: repeat the last byte 5 times.
  Bytes out;
  EXPECT_EQ(Decode(Block(6, 0x10, {'A', 0x10, 0x08, 0x00}), 6, &out), 6);
  EXPECT_EQ(out, Bytes(6, 'A'));

  // 0x10 0x1D 0x02 0x40: c' = 0x1C, length 3 + 2 x 32 + 4 = 71, distance 65.
  Bytes payload, expected;
  for (int i = 0; i < 65; ++i) {
    uint8_t v = static_cast<uint8_t>(0x20 + i);
    payload.push_back(v);
    expected.push_back(v);
  }
  for (int i = 0; i < 71; ++i) expected.push_back(expected[expected.size() - 65]);
  payload.insert(payload.end(), {0x10, 0x1D, 0x02, 0x40});
  EXPECT_EQ(Decode(Block(136, 0x10, payload), 136, &out), 136);
  EXPECT_EQ(out, expected);
}

TEST(LzBlock, EdgeTokens) {
  Bytes out;
  // Escape, escape is one literal escape byte.
  EXPECT_EQ(Decode(Block(3, 0x7F, {1, 0x7F, 0x7F, 2}), 3, &out), 3);
  EXPECT_EQ(out, (Bytes{1, 0x7F, 2}));
  // A code one above the escape is c' = escape: with escape 0x08 that is length 5, distance 1.
  EXPECT_EQ(Decode(Block(6, 0x08, {'z', 0x08, 0x09, 0x00}), 6, &out), 6);
  EXPECT_EQ(out, Bytes(6, 'z'));
  // Distance 1, length 8,195 (c' = 31 << 3 | 4, extension 255): c' = 0xFC, above escape 0x10.
  EXPECT_EQ(Decode(Block(8196, 0x10, {'q', 0x10, 0xFD, 0xFF, 0x00}), 8196, &out), 8196);
  EXPECT_EQ(out, Bytes(8196, 'q'));
  // Three-byte distance: 70,000 back (field 69,999 = 0x01116F, low 16 bits first).
  Bytes lits(70000);
  for (size_t i = 0; i < lits.size(); ++i) lits[i] = static_cast<uint8_t>(1 + i % 200);
  Bytes payload = lits;
  payload.insert(payload.end(),
                 {0x00, 0x03, 0x6F, 0x11, 0x01});  // escape 0: c = 3 is c' = 2, length 4
  EXPECT_EQ(Decode(Block(70004, 0x00, payload), 70004, &out), 70004);
  EXPECT_TRUE(std::equal(out.begin() + 70000, out.end(), lits.begin()));
  // Encoded size 9: nothing to decode; a zero decoded size is a whole, empty block.
  EXPECT_EQ(Decode(Block(0, 0x10, {}), 0, &out), 0);
}

TEST(LzBlock, NullOutputReadsOnlyTheHeader) {
  // The payload is absent: the block claims 100 encoded bytes but the buffer holds 9.
  Bytes header = Block(12345, 0x10, {}, 100);
  EXPECT_EQ(DecodeLzBlock(header.data(), header.size(), nullptr, 0), 12345);
  EXPECT_EQ(DecodeLzBlock(header.data(), 8, nullptr, 0), -1);  // not even a header
  Bytes huge = Block(0x80000000u, 0x10, {});
  EXPECT_EQ(DecodeLzBlock(huge.data(), huge.size(), nullptr, 0), -1);
}

TEST(LzBlock, MalformedBlocksAreRefused) {
  struct Case {
    const char* what;
    Bytes block;
    size_t capacity;
  };
  const Case cases[] = {
      {"encoded size below the header", Block(0, 0x10, {}, 8), 0},
      {"encoded size past the buffer", Block(1, 0x10, {'a'}, 11), 1},
      {"decoded size above the output", Block(4, 0x10, {'a', 'b', 'c', 'd'}), 3},
      {"lone escape at the end", Block(2, 0x10, {'a', 0x10}), 2},
      {"extension byte cut off", Block(40, 0x10, {'a', 0x10, 0x04}), 40},
      {"distance field cut off", Block(8, 0x10, {'a', 'b', 'c', 0x10, 0x01, 0x00}), 8},
      {"distance size code 3", Block(8, 0x10, {'a', 'b', 'c', 'd', 0x10, 0x03, 0, 0, 0, 0}), 8},
      {"match before the output's start", Block(6, 0x10, {'a', 0x10, 0x08, 0x01}), 6},
      {"match from an empty output", Block(5, 0x10, {0x10, 0x08, 0x00}), 5},
      {"match past the decoded size", Block(5, 0x10, {'a', 0x10, 0x08, 0x00, 'b'}), 64},
      {"match longer than the rest", Block(4, 0x10, {'a', 0x10, 0x08, 0x00}), 64},
      {"literal past the decoded size", Block(2, 0x10, {'a', 'b', 'c'}), 64},
      {"escaped escape past the decoded size", Block(1, 0x10, {'a', 0x10, 0x10}), 64},
      {"payload short of the decoded size", Block(5, 0x10, {'a', 'b'}), 5},
      {"empty payload, non-zero decoded size", Block(5, 0x10, {}), 5},
  };
  for (const Case& c : cases) {
    Bytes out;
    EXPECT_EQ(Decode(c.block, c.capacity, &out), -1) << c.what;
  }
}

// Random well-formed token streams, every code and field size among them, decode exactly as
// the byte-by-byte oracle does; long overlapping matches exercise the doubling block copy.
TEST(LzBlock, AgreesWithByteByByteOracle) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 300; ++round) {
    uint8_t esc = static_cast<uint8_t>(rng());
    Bytes payload;
    size_t produced = 0;
    int tokens = 1 + rng() % 60;
    for (int t = 0; t < tokens; ++t) {
      if (produced == 0 || rng() % 3 == 0) {
        uint8_t b = static_cast<uint8_t>(rng());
        payload.push_back(b);
        if (b == esc) payload.push_back(esc);
        ++produced;
        continue;
      }
      size_t distance = 1 + rng() % (rng() % 4 == 0 ? produced : (produced < 16 ? produced : 16));
      size_t length = rng() % 2 ? 4 + rng() % 28 : 4 + rng() % (kLzMaxMatch - 3);
      uint32_t extra = static_cast<uint32_t>(length - 4);
      uint32_t field = static_cast<uint32_t>(distance - 1);
      // Sometimes a wider distance field than needed: the decoder must not care.
      uint32_t size = field < 0x100 ? rng() % 3 : field < 0x10000 ? 1 + rng() % 2 : 2;
      uint32_t code = (extra & 31) << 3 | (extra >= 32 ? 4 : 0) | size;
      payload.push_back(esc);
      payload.push_back(static_cast<uint8_t>(code >= esc ? code + 1 : code));
      if (extra >= 32) payload.push_back(static_cast<uint8_t>(extra >> 5));
      for (uint32_t k = 0; k <= size; ++k)
        payload.push_back(static_cast<uint8_t>(field >> (8 * k)));
      produced += length;
    }
    Bytes block = Block(static_cast<uint32_t>(produced), esc, payload);
    Bytes expected = OracleDecode(block);
    ASSERT_EQ(expected.size(), produced);
    Bytes out;
    ASSERT_EQ(Decode(block, produced, &out), static_cast<int>(produced)) << "round " << round;
    ASSERT_EQ(out, expected) << "round " << round;
  }
}

Bytes Pattern(size_t n, int kind, std::mt19937& rng) {
  Bytes v(n);
  for (size_t i = 0; i < n; ++i) {
    switch (kind) {
      case 0:
        v[i] = static_cast<uint8_t>(rng());
        break;  // no matches
      case 1:
        v[i] = static_cast<uint8_t>("abcab"[rng() % 5]);
        break;  // short matches
      case 2:
        v[i] = static_cast<uint8_t>(i < 3 ? 'x' + i : v[i - 3]);
        break;  // one long overlap
      default:
        v[i] = static_cast<uint8_t>(i / 700 % 4 == 0 ? rng() : 0);
        break;  // runs
    }
  }
  return v;
}

TEST(LzEncoder, RoundTripsThroughTheDecoder) {
  std::mt19937 rng(99);
  const size_t sizes[] = {0, 1, 4, 5, 100, 8195, 8200, 40000};
  for (size_t n : sizes) {
    for (int kind = 0; kind < 4; ++kind) {
      Bytes data = Pattern(n, kind, rng);
      for (int escape : {-1, 0x00, 0x61, 0xFF}) {
        LzEncodeOptions opt;
        opt.escape = escape;
        Bytes block = EncodeLzBlock(data, opt);
        Bytes out;
        ASSERT_EQ(Decode(block, n, &out), static_cast<int>(n)) << n << " " << kind << " " << escape;
        ASSERT_EQ(out, data) << n << " " << kind << " " << escape;
        ASSERT_EQ(OracleDecode(block), data);
      }
    }
  }
}

TEST(LzEncoder, FindsLongAndFarMatches) {
  // A period-3 pattern of 40,000 bytes: a handful of tokens of up to 8,195 bytes.
  std::mt19937 rng(5);
  Bytes overlap = Pattern(40000, 2, rng);
  EXPECT_LT(EncodeLzBlock(overlap).size(), 40u);
  // 70,000 random bytes twice: the second copy is reached with three-byte distances.
  Bytes noise = Pattern(70000, 0, rng);
  Bytes twice = noise;
  twice.insert(twice.end(), noise.begin(), noise.end());
  Bytes block = EncodeLzBlock(twice);
  EXPECT_LT(block.size(), noise.size() + noise.size() / 50);
  Bytes out;
  ASSERT_EQ(Decode(block, twice.size(), &out), static_cast<int>(twice.size()));
  EXPECT_EQ(out, twice);
}

}  // namespace
