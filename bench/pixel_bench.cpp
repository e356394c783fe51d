// Narrowing a 4096x4096 layer to RGBA32 and loading RGB24 back, beside a memcpy
// of the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 4096;

struct BigCanvas {
  BigCanvas() {
    CVL_SetRandomSeed(1);
    CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
    CVL_CreateLayer(2, kEdge, kEdge);
    CVL_SetLayer(2);
    CVL_Clear(10, 20, 30, 255);
  }
  ~BigCanvas() { CVL_DeleteImage(); }
};

BigCanvas& canvas() {
  static BigCanvas c;
  return c;
}

void set_rate(benchmark::State& state, size_t bytes) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kEdge * kEdge / 1e6,
                                                benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_NarrowLayerToRGBA32(benchmark::State& state) {
  canvas();
  std::vector<uint8_t> out(size_t{kEdge} * kEdge * 4);
  for (auto _ : state) {
    CVL_GetRGBA32Layer(out.data(), kEdge * 4, 2);
    benchmark::DoNotOptimize(out.data());
  }
  set_rate(state, size_t{kEdge} * kEdge * 12);
}

void BM_LoadRGB24IntoLayer(benchmark::State& state) {
  canvas();
  std::vector<uint8_t> in(size_t{kEdge} * kEdge * 3, 77);
  for (auto _ : state) {
    CVL_LoadRGB24(in.data(), kEdge * 3, 0);
    benchmark::ClobberMemory();
  }
  set_rate(state, size_t{kEdge} * kEdge * 11);
}

// The floor: moving the layer's bytes once.
void BM_MemcpyLayerBytes(benchmark::State& state) {
  std::vector<uint8_t> a(size_t{kEdge} * kEdge * 8, 1), b(a.size());
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size());
    benchmark::DoNotOptimize(b.data());
  }
  set_rate(state, a.size() * 2);
}

BENCHMARK(BM_NarrowLayerToRGBA32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRGB24IntoLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyLayerBytes)->Unit(benchmark::kMillisecond);

}  // namespace
