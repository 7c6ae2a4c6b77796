// Movie files in a temporary folder opened through the file functions, the colour references
// of the two conversion paths, and the counts that show what a movie left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/graphics/movie/theora_decoder.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"
#include "tests/support/temp_folder.h"
#include "tests/support/theora_movie_files.h"

struct Rgb {
  int Red;
  int Green;
  int Blue;
};

inline int ClampByte(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// 14-bit fixed point, the division truncating toward zero.
inline Rgb TableRgb(int y, int u, int v) {
  const int l = 19070 * (y - 16);
  return {ClampByte((l + 26148 * (v - 128)) / 16384),
          ClampByte((l - 6406 * (u - 128) - 13320 * (v - 128)) / 16384),
          ClampByte((l + 33062 * (u - 128)) / 16384)};
}

inline Rgb FloatRgb(int y, int u, int v) {
  const double l = 1.164 * (y - 16);
  auto c = [](double x) { return x < 0 ? 0 : x > 255 ? 255 : static_cast<int>(x); };
  return {c(l + 1.596 * (v - 128)), c(l - 0.391 * (u - 128) - 0.813 * (v - 128)),
          c(l + 2.018 * (u - 128))};
}

inline Rgb ImageRgb(const GraphImage* image, int x, int y) {
  const uint8_t* p = image->Pixels + static_cast<size_t>(y) * image->Pitch + x * 4;
  return {p[2], p[1], p[0]};
}

inline bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.Red - b.Red) <= tolerance && std::abs(a.Green - b.Green) <= tolerance &&
         std::abs(a.Blue - b.Blue) <= tolerance;
}

// The flat rows of the picture show the frame's colour (within what the coding loses).
inline testing::AssertionResult ShowsFrame(const GraphImage* image, int frame, int flatRows) {
  const MovieFrameColor c = MovieFrameYuv(frame);
  const Rgb want = FloatRgb(c.Y, c.U, c.V);
  for (int y = 0; y < flatRows; ++y)
    for (int x = 0; x < image->Width; ++x) {
      const Rgb got = ImageRgb(image, x, y);
      if (!Near(got, want, 8))
        return testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") is " << got.Red << "," << got.Green << ","
               << got.Blue << " where frame " << frame << " is " << want.Red << "," << want.Green
               << "," << want.Blue;
    }
  return testing::AssertionSuccess();
}

// What a movie may leave behind: tracked blocks, kernel handles and threads.
struct LeftBehind {
  TrackedHeapTotals heap;
  int handles;
  int threads;

  static int ThreadCount() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
      (void)entry;
      ++n;
    }
    return n;
  }
  // A thread whose routine has returned leaves the process a moment later: the count once it
  // has stayed the same for 20 looks a millisecond apart.
  static int SteadyThreadCount() {
    int n = ThreadCount();
    for (int same = 0, i = 0; same < 20 && i < 5000; ++i) {
      Sleep(1);
      const int now = ThreadCount();
      same = now == n ? same + 1 : 0;
      n = now;
    }
    return n;
  }

  static LeftBehind Now() {
    StartSanitizerThreads();
    return {GetTrackedHeapTotals(), PortOpenHandleCount(), SteadyThreadCount()};
  }

  // ThreadSanitizer starts a helper thread of its own with the first thread of the process:
  // start it before counting.
  static void StartSanitizerThreads() {
    static const bool started = [] {
      HANDLE thread = CreateThread(
          nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, 0, nullptr);
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
      return true;
    }();
    (void)started;
  }
};

// The stock entry of the display frame, once the thread has stored it.
inline const TheoraStockFrame* DisplayFrame(TheoraDecoder* d) {
  for (int i = 0; i < d->StockCount; ++i)
    if (d->Stock[i].Valid && d->Stock[i].FrameIndex == d->DisplayIndex) return &d->Stock[i];
  return nullptr;
}

class MovieFolder : public testing::Test {
 protected:
  void SetUp() override { BuildYuvTables(); }
  void TearDown() override {
    for (TheoraDecoder* d : decoders_) CloseTheoraMovie(d);
    for (FileHandle f : files_) CloseStreamFile(f);
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    folder_.WriteFile(name, std::string(bytes.begin(), bytes.end()));
    return folder_.WindowsPath() + "\\" + name;
  }

  // Opens as the movie handles do; the decoder and the file are closed after the test.
  TheoraDecoder* Open(const std::string& path, int stock = 10) {
    const FileHandle file = OpenStreamFile(path.c_str(), 0, 1, 0);
    EXPECT_NE(file, 0) << path;
    TheoraDecoder* d = OpenTheoraMovie(&CurrentFileFunctions, file, stock);
    if (d) decoders_.push_back(d);
    files_.push_back(file);
    return d;
  }

  void Close(TheoraDecoder* d) {
    std::erase(decoders_, d);
    CloseTheoraMovie(d);
  }

  TempFolder folder_;
  std::vector<TheoraDecoder*> decoders_;
  std::vector<FileHandle> files_;
};
