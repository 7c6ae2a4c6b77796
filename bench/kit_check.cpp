// The kit check that ./run.sh runs on every start, on an intact kit of the real kit's shape (542
// files, 110 MB, from the page cache): seconds a check and its ratio to copying the same bytes
// once in memory. The target is well under a second.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_baseline.h"
#include "tools/datakit/kit_check.h"

namespace {

constexpr int kFiles = 542;
constexpr size_t kKitBytes = 110u << 20;

std::string gWrittenKit;  // removed when the program ends

// A kit folder written once for the whole run; the bytes only have to be the same each time.
const std::string& KitFolder() {
  static const std::string folder = [] {
    char name[] = "/tmp/kelvanor-bench-kit-XXXXXX";
    const char* made = mkdtemp(name);
    std::vector<KitFile> files(kFiles);
    uint32_t seed = 12345;
    for (int i = 0; i < kFiles; ++i) {
      // A few large files (the music) and many small ones, as the kit has.
      const size_t size = i < 20 ? kKitBytes / 25 : (kKitBytes / 5) / (kFiles - 20);
      files[i].path = "data/file" + std::to_string(i) + ".bin";
      files[i].bytes.resize(size);
      for (uint8_t& b : files[i].bytes)
        b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    }
    const KitWriteResult written = WriteKitFiles(made ? made : "", files, false);
    if (made) gWrittenKit = made;
    return written.ok ? std::string(made) : std::string();
  }();
  return folder;
}

void BM_IntactKitCheck(benchmark::State& state) {
  const std::string& folder = KitFolder();
  if (folder.empty()) {
    state.SkipWithError("could not write the kit");
    return;
  }
  bool intact = true;
  const BenchTimes times = RunAgainstMemcpy(state, kKitBytes, [&] {
    const KitCheckResult r = CheckKit(folder, 1);
    intact = intact && r.ok && r.repaired.empty() && !r.rewritten;
  });
  if (!intact) state.SkipWithError("the kit did not check as intact");
  state.counters["seconds_a_check"] = times.work / static_cast<double>(state.iterations());
  state.counters["memcpy_ratio"] = times.WorkOverBaseline();
}
BENCHMARK(BM_IntactKitCheck)->Unit(benchmark::kMillisecond);

// The folder goes with the program.
struct RemoveKit {
  ~RemoveKit() {
    std::error_code ec;
    if (!gWrittenKit.empty()) std::filesystem::remove_all(gWrittenKit, ec);
  }
} gRemoveKit;

}  // namespace
