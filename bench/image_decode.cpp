// Decoding a 640 x 480 PNG and a 640 x 480 24-bit BMP from memory, against baselines timed in
// the same loop: libpng decoding the same file straight into a buffer, and a memcpy of as many
// bytes as the BMP's pixels.
//
// The counters libpng_ratio and memcpy_ratio are the loader's time divided by the baseline's.
#include <benchmark/benchmark.h>

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "bench/bench_baseline.h"
#include "runtime/graphics/image/image_loader.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A screen-like picture: flat areas, gradients and some noise, as B, G, R rows.
std::vector<uint8_t> Picture() {
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  uint32_t seed = 12345;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 214013u + 2531011u;
      uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      const bool flat = ((x / 40) + (y / 40)) % 3 == 0;
      p[0] = flat ? 40 : static_cast<uint8_t>(x / 3 + ((seed >> 16) & 7));
      p[1] = flat ? 90 : static_cast<uint8_t>(y / 2);
      p[2] = flat ? 200 : static_cast<uint8_t>((x + y) / 5);
    }
  return rgb;
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

bool EncodePng(png_structp png, png_infop info, const std::vector<uint8_t>& bgr,
               std::vector<uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, &AppendToVector, nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_bgr(png);
  png_write_info(png, info);
  for (int y = 0; y < kHeight; ++y)
    png_write_row(png, const_cast<png_bytep>(&bgr[static_cast<size_t>(y) * kWidth * 3]));
  png_write_end(png, nullptr);
  return true;
}

std::vector<uint8_t> PngFile() {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<uint8_t> out;
  if (!EncodePng(png, info, Picture(), &out)) out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> BmpFile() {
  const uint32_t rowBytes = kWidth * 3, dataSize = rowBytes * kHeight;
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, kWidth);
  put32(22, kHeight);
  file[26] = 1;
  file[28] = 24;
  const std::vector<uint8_t> picture = Picture();
  for (int y = 0; y < kHeight; ++y)
    std::memcpy(&file[54 + static_cast<size_t>(kHeight - 1 - y) * rowBytes],
                &picture[static_cast<size_t>(y) * rowBytes], rowBytes);
  return file;
}

struct PngMemory {
  const uint8_t* data;
  size_t size;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* m = static_cast<PngMemory*>(png_get_io_ptr(png));
  if (m->size - m->at < length) png_error(png, "short");
  std::memcpy(out, m->data + m->at, length);
  m->at += length;
}

// The baseline: libpng alone, into a buffer made once.
bool RawLibpngDecode(png_structp png, png_infop info, PngMemory* m, std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, m, &ReadFromMemory);
  png_read_info(png, info);
  png_set_bgr(png);
  png_read_update_info(png, info);
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

int LoadFromMemory(ImageLoaderFunction loader, const std::vector<uint8_t>& file) {
  DataStream stream{};
  stream.Functions = *GetMemoryStreamFunctions();
  stream.Handle =
      reinterpret_cast<FileHandle>(OpenMemoryStream(file.data(), static_cast<int>(file.size())));
  GraphImage image{};
  const int result = loader ? loader(&stream, &image) : LoadGraphImage(&stream, &image);
  stream.Functions.Close(stream.Handle);
  FreeGraphImage(&image);
  return result;
}

void PngAgainstLibpng(benchmark::State& state, ImageLoaderFunction loader) {
  const std::vector<uint8_t> file = PngFile();
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 3);
  std::vector<png_bytep> rows(kHeight);
  for (int y = 0; y < kHeight; ++y) rows[y] = &pixels[static_cast<size_t>(y) * kWidth * 3];
  BenchTimes times;
  for (auto _ : state) {
    const double t0 = BenchNowSeconds();
    benchmark::DoNotOptimize(LoadFromMemory(loader, file));
    const double t1 = BenchNowSeconds();
    state.PauseTiming();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngMemory m{file.data(), file.size(), 0};
    const double t2 = BenchNowSeconds();
    benchmark::DoNotOptimize(RawLibpngDecode(png, info, &m, &rows));
    benchmark::ClobberMemory();
    const double t3 = BenchNowSeconds();
    png_destroy_read_struct(&png, &info, nullptr);
    state.ResumeTiming();
    times.work += t1 - t0;
    times.baseline += t3 - t2;
  }
  state.counters["libpng_ratio"] = times.WorkOverBaseline();
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

void BmpAgainstMemcpy(benchmark::State& state, ImageLoaderFunction loader) {
  const std::vector<uint8_t> file = BmpFile();
  const size_t pixelBytes = file.size() - 54;
  const BenchTimes times = RunAgainstMemcpy(
      state, pixelBytes, [&] { benchmark::DoNotOptimize(LoadFromMemory(loader, file)); });
  state.counters["memcpy_ratio"] = times.WorkOverBaseline();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(pixelBytes));
}

}  // namespace

BENCHMARK_CAPTURE(PngAgainstLibpng, png_loader, LoadPngImage)->Unit(benchmark::kMillisecond);
// Through the chain the BMP and JPEG loaders look at the file first.
BENCHMARK_CAPTURE(PngAgainstLibpng, png_through_chain, nullptr)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BmpAgainstMemcpy, bmp_loader, LoadBmpImage)->Unit(benchmark::kMicrosecond);
