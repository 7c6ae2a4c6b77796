// DecodeLzBlock against a byte-by-byte decoder of the same blocks, timed in the same run: the
// ratio counter is the baseline's time over the decoder's (above 1 means faster).
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "runtime/platform/files/lz_block.h"

namespace {

using Bytes = std::vector<uint8_t>;

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void PutMatch(Bytes& p, size_t length, size_t distance) {
  uint32_t extra = static_cast<uint32_t>(length - 4), field = static_cast<uint32_t>(distance - 1);
  uint32_t size = field < 0x100 ? 0 : field < 0x10000 ? 1 : 2;
  uint32_t code = (extra & 31) << 3 | (extra >= 32 ? 4u : 0u) | size;
  p.push_back(0);  // escape 0: codes are stored one higher
  p.push_back(static_cast<uint8_t>(code + 1));
  if (extra >= 32) p.push_back(static_cast<uint8_t>(extra >> 5));
  for (uint32_t k = 0; k <= size; ++k) p.push_back(static_cast<uint8_t>(field >> (8 * k)));
}

// kind 0: long overlapping matches (a short period repeated); kind 1: short matches from
// up to 4 KiB back between literals, as text compresses.
Bytes MakeBlock(int kind, size_t* decodedSize) {
  std::mt19937 rng(42);
  Bytes payload;
  size_t produced = 0;
  for (int i = 0; i < 64; ++i, ++produced) payload.push_back(static_cast<uint8_t>(1 + rng() % 255));
  while (produced < (4u << 20)) {
    if (kind == 0) {
      PutMatch(payload, 8195, 3);
      produced += 8195;
    } else if (rng() % 3 == 0) {
      payload.push_back(static_cast<uint8_t>(1 + rng() % 255));
      ++produced;
    } else {
      size_t length = 4 + rng() % 40, distance = 1 + rng() % (produced < 4096 ? produced : 4096);
      PutMatch(payload, length, distance);
      produced += length;
    }
  }
  Bytes block(9 + payload.size());
  uint32_t enc = static_cast<uint32_t>(block.size());
  for (int i = 0; i < 4; ++i) {
    block[i] = static_cast<uint8_t>(produced >> (8 * i));
    block[4 + i] = static_cast<uint8_t>(enc >> (8 * i));
  }
  block[8] = 0;
  std::copy(payload.begin(), payload.end(), block.begin() + 9);
  *decodedSize = produced;
  return block;
}

// The baseline: the format decoded one output byte at a time.
void DecodeBytewise(const Bytes& block, uint8_t* out) {
  uint32_t enc = block[4] | block[5] << 8 | block[6] << 16 | static_cast<uint32_t>(block[7]) << 24;
  uint8_t esc = block[8];
  size_t i = 9, o = 0;
  while (i < enc) {
    uint8_t b = block[i++];
    if (b != esc) {
      out[o++] = b;
      continue;
    }
    uint8_t c = block[i++];
    if (c == esc) {
      out[o++] = esc;
      continue;
    }
    unsigned code = c > esc ? c - 1u : c;
    size_t length = code >> 3;
    if (code & 4) length += block[i++] * 32u;
    length += 4;
    size_t field = block[i++];
    if ((code & 3) >= 1) field |= block[i++] << 8;
    if ((code & 3) == 2) field |= block[i++] << 16;
    for (size_t k = 0; k < length; ++k, ++o) out[o] = out[o - field - 1];
  }
}

void BM_DecodeLzBlock(benchmark::State& state) {
  size_t size = 0;
  Bytes block = MakeBlock(static_cast<int>(state.range(0)), &size);
  Bytes out(size), base(size);
  double decoder = 0, baseline = 0;
  for (auto _ : state) {
    double t0 = Now();
    benchmark::DoNotOptimize(DecodeLzBlock(block.data(), block.size(), out.data(), out.size()));
    double t1 = Now();
    DecodeBytewise(block, base.data());
    benchmark::DoNotOptimize(base.data());
    double t2 = Now();
    decoder += t1 - t0;
    baseline += t2 - t1;
  }
  if (out != base) state.SkipWithError("the decoders disagree");
  state.counters["ratio"] = baseline / decoder;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(BM_DecodeLzBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
