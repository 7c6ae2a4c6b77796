// The baseline a benchmark measures its work against in the same run: a memcpy of a given
// number of bytes, timed beside every iteration of the work, so that a ratio of the two says
// how fast the work is on this machine today.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

// <chrono> is avoided: its unit suffixes do not survive the Shift-JIS execution character set.
inline double BenchNowSeconds() {
  timespec ts;
  timespec_get(&ts, TIME_UTC);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Seconds spent over a whole run in the work and in the baseline.
struct BenchTimes {
  double work = 0;
  double baseline = 0;

  // The ratios a benchmark reports (0 when the divisor was never timed).
  double WorkOverBaseline() const { return baseline > 0 ? work / baseline : 0.0; }
  double BaselineOverWork() const { return work > 0 ? baseline / work : 0.0; }
};

// Runs work() once an iteration and, with the benchmark's own timing paused, a memcpy of
// `copyBytes` between two buffers made beforehand.
template <class Work>
BenchTimes RunAgainstMemcpy(benchmark::State& state, size_t copyBytes, Work&& work) {
  std::vector<uint8_t> copyFrom(copyBytes, 0x5A), copyTo(copyBytes);
  BenchTimes times;
  for (auto _ : state) {
    const double t0 = BenchNowSeconds();
    work();
    benchmark::ClobberMemory();
    const double t1 = BenchNowSeconds();
    state.PauseTiming();
    const double t2 = BenchNowSeconds();
    std::memcpy(copyTo.data(), copyFrom.data(), copyBytes);
    benchmark::ClobberMemory();
    const double t3 = BenchNowSeconds();
    state.ResumeTiming();
    times.work += t1 - t0;
    times.baseline += t3 - t2;
  }
  return times;
}
