// The median filter, fast and reference side by side, and the effects built on
// it timed as a host runs them (2048 x 2048, one thread, sliders at the middle of
// their ranges). Times are the calling thread's CPU time, so that other work on
// a shared machine does not count against them.
//
//   corvel_bench --benchmark_filter='^median/'
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host_args.h"
#include "bench_pictures.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "imaging/filters/median_filter.h"
#include "imaging/parallel_bands.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;

using bench::thread_seconds;

void set_rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

using Filter = bool (*)(const cvl::imaging::ImageView&, const cvl::imaging::ImageView&, int32_t, uint32_t);

// Args: radius, channels (3 or 4), 1 for the reference.
void BM_MedianFilter(benchmark::State& state) {
  const int32_t r = int32_t(state.range(0)), ch = int32_t(state.range(1));
  const Filter filter = state.range(2) ? cvl::imaging::median_filter_reference : cvl::imaging::median_filter;
  const std::vector<uint8_t> rgba = bench::varied_picture(kEdge);
  std::vector<uint8_t> src(size_t(kEdge) * kEdge * ch), dst(src.size());
  for (size_t i = 0; i < size_t(kEdge) * kEdge; ++i) std::memcpy(&src[i * ch], &rgba[i * 4], size_t(ch));
  const cvl::imaging::ImageView s{src.data(), kEdge, kEdge, ch, kEdge * ch},
      d{dst.data(), kEdge, kEdge, ch, kEdge * ch};
  cvl::imaging::set_thread_count(1);
  for (auto _ : state) {
    const double t0 = thread_seconds();
    benchmark::DoNotOptimize(filter(s, d, r, ch == 3 ? 7 : 15));
    state.SetIterationTime(thread_seconds() - t0);
  }
  cvl::imaging::set_thread_count(0);
  set_rate(state);
}
BENCHMARK(BM_MedianFilter)
    ->Name("median/filter")
    ->ArgNames({"r", "ch", "ref"})
    ->ArgsProduct({{1, 2, 5, 6, 10}, {3, 4}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void time_effect(benchmark::State& state, const char* name) {
  const std::vector<uint16_t>& words = bench::varied_layer_words(kEdge, kSlot);
  const bench::HostArgs a = bench::host_args(name);
  CVL_SetThreadCount(1);
  for (auto _ : state) {
    std::memcpy(cvl::engine().slot(kSlot).data(), words.data(), words.size() * sizeof(uint16_t));
    CVL_SetRandomSeed(1);
    const double t0 = thread_seconds();
    CVL_SetLayer(kSlot);
    if (!CVL_IPLAllocSrcBuffer32() || !CVL_IPLAllocDstBuffer32()) {
      state.SkipWithError("the IPL buffers were not made");
      break;
    }
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, name, a.i1, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5],
                                                 a.option, a.i2, a.f[0], a.f[1], a.f[2], a.f[3], a.f[4], a.f[5], 0, 0,
                                                 0, ""));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    state.SetIterationTime(thread_seconds() - t0);
  }
  CVL_SetThreadCount(0);
  set_rate(state);
}

void BM_MedianEffect(benchmark::State& state) { time_effect(state, "Median"); }
void BM_DustAndScratches(benchmark::State& state) { time_effect(state, "Dust and Scratches"); }
BENCHMARK(BM_MedianEffect)->Name("median/effect/Median")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DustAndScratches)
    ->Name("median/effect/Dust and Scratches")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
