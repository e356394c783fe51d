// Mask builders over a canvas-sized RGBA32 image and the HSV adjuster, beside a
// memcpy of the image bytes they must read, in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/engine.h"
#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 4096;

// The process has one canvas, which other benchmarks create and delete: make a
// fresh one unless a live canvas of this size (with its mask) is already there.
std::vector<uint8_t> noisy_canvas_image() {
  if (!cvl::engine().mask || cvl::engine().canvas_width != kEdge || cvl::engine().canvas_height != kEdge) {
    CVL_DeleteImage();
    CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
  }
  std::vector<uint8_t> image(cvl::engine().canvas_pixels() * 4);
  uint32_t state = 12345;
  for (auto& byte : image) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(state >> 16);
  }
  return image;
}

void set_rate(benchmark::State& state, size_t pixels) {
  state.counters["Mpix/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pixels * 4));
}

void BM_MaskColourRange(benchmark::State& state) {
  const std::vector<uint8_t> image = noisy_canvas_image();
  for (auto _ : state) {
    benchmark::DoNotOptimize(CVL_CreateMaskFromRGBAImageColorRange(image.data(), 128, 128, 128, 20, 200));
  }
  set_rate(state, image.size() / 4);
}

// Worst case for the hue test: noise, so every pixel is converted.
void BM_MaskHueRangeNoise(benchmark::State& state) {
  const std::vector<uint8_t> image = noisy_canvas_image();
  for (auto _ : state) {
    benchmark::DoNotOptimize(CVL_CreateMaskFromRGBAImageHueRange(image.data(), 255, 0, 42, 10, 200));
  }
  set_rate(state, image.size() / 4);
}

void BM_HsvAdjustNoise(benchmark::State& state) {
  std::vector<uint8_t> image = noisy_canvas_image();
  image.resize(size_t{1024} * 1024 * 4);
  for (auto _ : state) {
    CVL_ProcessBuffer_HSVAdjust(image.data(), 1024, 1024, 7, 1, 0);
    benchmark::ClobberMemory();
  }
  set_rate(state, image.size() / 4);
}

// The floor: reading the image bytes once.
void BM_MemcpyCanvasImage(benchmark::State& state) {
  const std::vector<uint8_t> image = noisy_canvas_image();
  std::vector<uint8_t> copy(image.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), image.data(), image.size());
    benchmark::ClobberMemory();
  }
  set_rate(state, image.size() / 4);
}

BENCHMARK(BM_MaskColourRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MaskHueRangeNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HsvAdjustNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyCanvasImage)->Unit(benchmark::kMillisecond);

}  // namespace
