#include "runtime/platform/core/random.h"

namespace {

constexpr int kN = kRandomStateWords;
constexpr int kM = 397;
constexpr uint32_t kMatrixA = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;

uint32_t Temper(uint32_t y) {
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

// Two 32-bit lanes in one 64-bit word, low lane first, as the packed MMX registers held them.
uint64_t Pair(uint32_t low, uint32_t high) { return low | (static_cast<uint64_t>(high) << 32); }
uint64_t Lanes(uint32_t v) { return Pair(v, v); }

// Shifts and masks that keep the lanes apart: bits that would cross into the other lane are
// cleared by the mask of each step.
uint64_t TemperPair(uint64_t y) {
  y ^= (y >> 11) & Lanes(0x001FFFFFu);
  y ^= (y << 7) & Lanes(0x9D2C5680u);
  y ^= (y << 15) & Lanes(0xEFC60000u);
  y ^= (y >> 18) & Lanes(0x00003FFFu);
  return y;
}

bool ProcessorHasMmx() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("mmx");
#else
  return false;
#endif
}

}  // namespace

RandomGenerator RandomState = {{}, {}, kN, 0, 0};

void GenerateRandomBlock() {
  uint32_t* mt = RandomState.state;
  for (int k = 0; k < kN; ++k) {
    uint32_t y = (mt[k] & kUpperMask) | (mt[(k + 1) % kN] & kLowerMask);
    mt[k] = mt[(k + kM) % kN] ^ (y >> 1) ^ ((y & 1u) ? kMatrixA : 0u);
  }
  for (int k = 0; k < kN; ++k) RandomState.output[k] = Temper(mt[k]);
  RandomState.index = 0;
}

void GenerateRandomBlockMmx() {
  uint32_t* mt = RandomState.state;
  // Pairs (k, k + 1) never read each other's new value: they read words k + 1, k + 2 (not yet
  // rewritten) and k + 397, k + 398 (old or already rewritten, exactly as the word-wise loop).
  for (int k = 0; k < kN; k += 2) {
    uint64_t cur = Pair(mt[k], mt[k + 1]);
    uint64_t next = Pair(mt[k + 1], mt[(k + 2) % kN]);
    uint64_t far = Pair(mt[(k + kM) % kN], mt[(k + kM + 1) % kN]);
    uint64_t y = (cur & Lanes(kUpperMask)) | (next & Lanes(kLowerMask));
    uint64_t odd = (y & Lanes(1u)) * 0xFFFFFFFFu;  // all ones in each lane whose y is odd
    uint64_t r = far ^ ((y >> 1) & Lanes(kLowerMask)) ^ (odd & Lanes(kMatrixA));
    mt[k] = static_cast<uint32_t>(r);
    mt[k + 1] = static_cast<uint32_t>(r >> 32);
  }
  for (int k = 0; k < kN; k += 2) {
    uint64_t t = TemperPair(Pair(mt[k], mt[k + 1]));
    RandomState.output[k] = static_cast<uint32_t>(t);
    RandomState.output[k + 1] = static_cast<uint32_t>(t >> 32);
  }
  RandomState.index = 0;
}

void SeedRandom(uint32_t seed) {
  uint32_t x = seed;
  for (int k = 0; k < kN; ++k) {
    uint32_t word = x & 0xFFFF0000u;
    x = 69069u * x + 1u;
    word |= x >> 16;
    x = 69069u * x + 1u;
    RandomState.state[k] = word;
  }
  RandomState.mmx = ProcessorHasMmx() ? 1 : 0;
  RandomState.seeded = 1;
  if (RandomState.mmx)
    GenerateRandomBlockMmx();
  else
    GenerateRandomBlock();
}

uint32_t NextRandom() {
  if (RandomState.index >= kN) {
    if (!RandomState.seeded)
      SeedRandom(4357u);  // generates the block itself
    else if (RandomState.mmx)
      GenerateRandomBlockMmx();
    else
      GenerateRandomBlock();
  }
  return RandomState.output[RandomState.index++];
}

int GetRandomRange(int max) {
  // Callers ask for 0..max with max >= 0; a negative range has no member, so give 0.
  if (max < 0) return 0;
  uint64_t product = static_cast<uint64_t>(NextRandom()) * (static_cast<uint64_t>(max) + 1u);
  return static_cast<int>(product >> 32);
}
