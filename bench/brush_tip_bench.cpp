// Building the brush tip and the grit patterns, as SetTool does once per tool
// change, beside a memcpy of the tip's bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "corvel/corvel.h"

namespace {

constexpr int kBrush = 512;

struct BrushCanvas {
  BrushCanvas() {
    CVL_SetRandomSeed(3);
    CVL_CreateImage(nullptr, 64, 64, kBrush, 0);
    CVL_SetSize(kBrush);
  }
  ~BrushCanvas() { CVL_DeleteImage(); }
};

BrushCanvas& canvas() {
  static BrushCanvas c;
  return c;
}

void pixel_rate(benchmark::State& state, double pixels_per_iteration) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * pixels_per_iteration / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_RoundSoftTip(benchmark::State& state) {
  canvas();
  for (auto _ : state) {
    CVL_SetTool(1.0f, 0, 0, 0, 128, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    benchmark::ClobberMemory();
  }
  pixel_rate(state, double{kBrush} * kBrush);
}

// Twenty (512 + 25)^2 patterns of 2 x 2 dots per call.
void BM_RandomGritPatterns(benchmark::State& state) {
  canvas();
  for (auto _ : state) {
    CVL_SetTool(1.0f, 2, 128, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    benchmark::ClobberMemory();
  }
  pixel_rate(state, 20.0 * (kBrush + 25) * (kBrush + 25) + double{kBrush} * kBrush);
}

// The floor for the tip: writing its 16-bit values once.
void BM_MemcpyTipBytes(benchmark::State& state) {
  std::vector<uint16_t> a(size_t{kBrush} * kBrush, 1), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 2);
    benchmark::DoNotOptimize(b.data());
  }
  pixel_rate(state, double{kBrush} * kBrush);
}

}  // namespace

BENCHMARK(BM_RoundSoftTip);
BENCHMARK(BM_RandomGritPatterns);
BENCHMARK(BM_MemcpyTipBytes);
