// One saved step of a 1024x1024 region on a 4096x4096 canvas, undone and redone,
// beside memcpy of the same bytes in the same run. A save copies the region twice
// (before-state into the record, layer into the under-layer buffer); undo and redo
// exchange it with three copies each: eight region copies in all.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "corvel/corvel.h"
#include "undo/stroke_rect.h"

namespace {

constexpr int kCanvas = 4096;
constexpr int kRegion = 1024;
constexpr size_t kRegionBytes = size_t{kRegion} * kRegion * 8;
constexpr int kCopiesPerStep = 8;

void set_rate(benchmark::State& state) {
  const double bytes = static_cast<double>(state.iterations()) * kRegionBytes * kCopiesPerStep;
  state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
}

void BM_SaveUndoRedoRegion(benchmark::State& state) {
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, kCanvas, kCanvas, 64, 0);
  CVL_SetUndoMB(0);
  CVL_SetUndoLevels(8);
  CVL_CreateLayer(2, kCanvas, kCanvas);
  CVL_SetLayer(2);
  const auto step = [] {
    cvl::widen_stroke_rect(kRegion, kRegion, 2 * kRegion - 1, 2 * kRegion - 1);
    CVL_SaveUndoBuffer(1, 0);
    CVL_Undo();
    CVL_Redo();
  };
  // Fill the levels first: the steady state recycles the oldest record's buffers.
  for (int i = 0; i < 9; ++i) step();
  for (auto _ : state) step();
  set_rate(state);
  CVL_DeleteImage();
}

// The floor: the same eight region-sized copies as plain memcpy between two buffers.
void BM_MemcpyRegionBytes(benchmark::State& state) {
  std::vector<uint8_t> a(kRegionBytes, 1), b(kRegionBytes);
  for (auto _ : state) {
    for (int i = 0; i < kCopiesPerStep / 2; ++i) {
      std::memcpy(b.data(), a.data(), kRegionBytes);
      std::memcpy(a.data(), b.data(), kRegionBytes);
    }
    benchmark::DoNotOptimize(a.data());
  }
  set_rate(state);
}

// The same copies spread over as much memory as the history touches (the layer,
// the under-layer buffer and a turnover of eight records), so that, like the
// engine's, they do not run from the cache.
void BM_MemcpyRegionBytesColdBuffers(benchmark::State& state) {
  constexpr int kBuffers = 10;
  std::vector<std::vector<uint8_t>> buffers(kBuffers, std::vector<uint8_t>(kRegionBytes, 1));
  int next = 0;
  for (auto _ : state) {
    for (int i = 0; i < kCopiesPerStep; ++i, next = (next + 1) % kBuffers)
      std::memcpy(buffers[(next + 1) % kBuffers].data(), buffers[next].data(), kRegionBytes);
    benchmark::DoNotOptimize(buffers[next].data());
  }
  set_rate(state);
}

BENCHMARK(BM_SaveUndoRedoRegion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyRegionBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyRegionBytesColdBuffers)->Unit(benchmark::kMillisecond);

}  // namespace
